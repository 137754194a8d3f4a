// The main window's trips through the tray under a real window manager and tray: it comes
// back in the state it went in, on the first double click, with its place and size; closing it
// there stores it as minimised; closed maximised, it starts maximised.
#include "conversation/AlertWindows.h"
#include "core/modGlobals.h"
#include "mainwin/frmMain.h"
#include "support/Headless.h"
#include "support/Screenshot.h"
#include "support/WmView.h"

#include <QApplication>
#include <QPointer>
#include <QTest>

using modGlobals::Sets;

namespace {
// The stored place and size, twips (15 to a pixel here).
constexpr int kLeft = 100 * 15, kTop = 80 * 15, kWidth = 465 * 15, kHeight = 375 * 15;
const QRect kOuterPx(100, 80, 465, 375);

// The tray's icon: the XEmbed window Qt puts into the tray (the one shown now).
QWidget* trayIcon() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (QLatin1String(w->metaObject()->className()) == QLatin1String("QSystemTrayIconSys") &&
            w->isVisible())
            return w;
    return nullptr;
}

bool maximisedOnScreen(const QWidget* w) {
    const QStringList st = WmView::states(w);
    return st.contains(QStringLiteral("MAXIMIZED_VERT")) && st.contains(QStringLiteral("MAXIMIZED_HORZ"));
}
} // namespace

class TestDesktopTray : public QObject {
    Q_OBJECT
    TestEnv::Headless env{TestEnv::Loopback, TestEnv::Windows};
    QPointer<frmMain> main;

    void store(int state) {
        auto& s = Sets();
        s.FM_PL = kLeft;
        s.FM_PT = kTop;
        s.FM_PW = kWidth;
        s.FM_PH = kHeight;
        s.FM_PS = static_cast<qint16>(state);
    }
    // Starts the main window as the start-up does; `inTray`: it goes straight into the tray.
    void open(bool inTray = false) {
        main = new frmMain;
        main->show();
        if (!inTray) QVERIFY(QTest::qWaitForWindowExposed(main));
        QTRY_VERIFY_WITH_TIMEOUT(main->TrayIconShown() && trayIcon() && WmView::viewable(trayIcon()), 20000);
    }
    // Hide, then one double click on the tray's icon; true when the window is back on screen.
    bool trayTrip() {
        main->cmdSB_Click(5);
        if (!QTest::qWaitFor([&] { return !main->isVisible(); }, 20000)) return false;
        WmView::doubleClick(WmView::win(trayIcon()));
        return QTest::qWaitFor([&] { return main->isVisible() && WmView::viewable(main); }, 20000);
    }

  private slots:
    void initTestCase() {
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        Sets().UNAME = QStringLiteral("Ann");
    }
    void cleanup() {
        if (main) main->CloseByCode();
        QTRY_VERIFY(main.isNull());
    }

    void comesBackAsItWent_data() {
        QTest::addColumn<bool>("maximised");
        QTest::addColumn<bool>("putBackEachTrip");
        QTest::newRow("normal") << false << false;
        QTest::newRow("maximised") << true << false;
        QTest::newRow("maximised, put back after each trip") << true << true;
    }
    // Three trips: each on the first double click, each back in the state it went in, the
    // normal window in its place and size, and what is stored at the end is that place and size.
    void comesBackAsItWent() {
        QFETCH(bool, maximised);
        QFETCH(bool, putBackEachTrip);
        store(0);
        open();
        QTRY_COMPARE_WITH_TIMEOUT(WmView::frameRect(main), kOuterPx, 20000);
        for (int trip = 1; trip <= 3; ++trip) {
            if (maximised && (trip == 1 || putBackEachTrip)) {
                WmView::maximise(main, true);
                QTRY_VERIFY_WITH_TIMEOUT(maximisedOnScreen(main) && main->isMaximized(), 20000);
            }
            QVERIFY2(trayTrip(),
                     qPrintable(QStringLiteral("trip %1: the first double click did not bring the "
                                               "window back")
                                    .arg(trip)));
            if (maximised)
                QTRY_VERIFY2_WITH_TIMEOUT(maximisedOnScreen(main) && main->isMaximized(),
                                          qPrintable(QStringLiteral("trip %1 came back normal").arg(trip)),
                                          20000);
            else
                QTRY_COMPARE_WITH_TIMEOUT(WmView::frameRect(main), kOuterPx, 20000);
            QVERIFY(!(main->windowState() & Qt::WindowMinimized));
            if (maximised && (trip == 3 || putBackEachTrip)) {
                // Put back, the window has the place and size it had before it was maximised.
                WmView::maximise(main, false);
                QTRY_VERIFY_WITH_TIMEOUT(!maximisedOnScreen(main) && !main->isMaximized(), 20000);
                QTRY_COMPARE_WITH_TIMEOUT(WmView::frameRect(main), kOuterPx, 20000);
            }
        }
        // Once the program has the window manager's last word on the window, and with no move
        // or resize in between.
        QTRY_COMPARE_WITH_TIMEOUT(main->windowHandle()->frameGeometry(), kOuterPx, 20000);
        main->CloseByCode();
        QTRY_VERIFY(main.isNull());
        const auto& s = Sets();
        QCOMPARE(s.FM_PS, qint16(0));
        QCOMPARE(QRect(s.FM_PL / 15, s.FM_PT / 15, s.FM_PW / 15, s.FM_PH / 15), kOuterPx);
    }

    // Closed from the tray menu while in the tray: minimised is what the next start finds.
    void closedInTheTrayStoresMinimised() {
        store(0);
        open();
        main->cmdSB_Click(5);
        QTRY_VERIFY_WITH_TIMEOUT(!main->isVisible(), 20000);
        env.messages.answers = {0}; // Yes, close
        main->mnuActionExit_Click();
        QTRY_VERIFY(main.isNull());
        QCOMPARE(env.end.terminated, 1);
        const auto& s = Sets();
        QCOMPARE(s.FM_PS, qint16(1));
        QCOMPARE(QRect(s.FM_PL / 15, s.FM_PT / 15, s.FM_PW / 15, s.FM_PH / 15), kOuterPx);
        env.end.terminated = 0;
        // And the next start goes into the tray at once.
        open(true);
        QTRY_VERIFY_WITH_TIMEOUT(!main->isVisible(), 20000);
        WmView::doubleClick(WmView::win(trayIcon()));
        QTRY_VERIFY_WITH_TIMEOUT(main->isVisible() && WmView::viewable(main), 20000);
        QTRY_COMPARE_WITH_TIMEOUT(WmView::frameRect(main), kOuterPx, 20000);
    }

    // Closed maximised, started maximised; put back, it has its stored place and size.
    void closedMaximisedStartsMaximised() {
        store(2);
        for (int start = 1; start <= 2; ++start) {
            open();
            QTRY_VERIFY2_WITH_TIMEOUT(maximisedOnScreen(main) && main->isMaximized(),
                                      qPrintable(QStringLiteral("start %1").arg(start)), 20000);
            saveScreenshot(WmView::screen(), QStringLiteral("desktop-started-maximised"));
            main->CloseByCode();
            QTRY_VERIFY(main.isNull());
            QCOMPARE(Sets().FM_PS, qint16(2));
        }
        open();
        QTRY_VERIFY_WITH_TIMEOUT(maximisedOnScreen(main), 20000);
        WmView::maximise(main, false);
        QTRY_VERIFY_WITH_TIMEOUT(!maximisedOnScreen(main) && !main->isMaximized(), 20000);
        QTRY_COMPARE_WITH_TIMEOUT(WmView::frameRect(main), kOuterPx, 20000);
    }
};

QTEST_MAIN(TestDesktopTray)
#include "tst_desktopTray.moc"
