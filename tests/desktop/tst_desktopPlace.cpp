// The main window's stored place and size under a real window manager: a place and size from
// another desktop opens with the whole frame, title bar included, in the work area, and the
// stored values stay as they were when the window is closed without being moved.
#include "core/frmImgs.h"
#include "core/modGlobals.h"
#include "core/modLangConst.h"
#include "core/modSettings.h"
#include "mainwin/frmMain.h"
#include "platform/Twips.h"
#include "support/Headless.h"
#include "support/WmView.h"

#include <QApplication>
#include <QPointer>
#include <QTest>

using modGlobals::Sets;

class TestDesktopPlace : public QObject {
    Q_OBJECT
    TestEnv::Headless env{TestEnv::Loopback};

  private slots:
    void initTestCase() {
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        modLangConst::SetDefaultStrings();
        frmImgs::Load();
    }
    void init() {
        env.reset();
        Sets().UNAME = QStringLiteral("Ann");
    }

    // In pixels of the stage's screen; "R" and "B" its last column and row.
    void storedPlaceKeepsTheTitleBarReachable_data() {
        QTest::addColumn<QString>("place"); // left,top,width,height
        QTest::newRow("title bar above the screen") << "40,-160,467,400";
        QTest::newRow("at the screen's last pixel") << "R,B,467,400";
        QTest::newRow("from a desktop of three monitors") << "0,0,7680,4320";
        QTest::newRow("the largest stored size") << "0,0,32767,32767";
    }
    void storedPlaceKeepsTheTitleBarReachable() {
        QFETCH(QString, place);
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QList<int> px;
        for (const QString& v : place.split(QLatin1Char(',')))
            px << (v == QLatin1String("R")   ? screen.right()
                   : v == QLatin1String("B") ? screen.bottom()
                                             : v.toInt());
        const double dx = Twips::dpiX(nullptr), dy = Twips::dpiY(nullptr);
        auto& s = Sets();
        s.FM_PL = Twips::fromPx(px[0], dx);
        s.FM_PT = Twips::fromPx(px[1], dy);
        s.FM_PW = Twips::fromPx(px[2], dx);
        s.FM_PH = Twips::fromPx(px[3], dy);
        const QList<qint32> stored{s.FM_PL, s.FM_PT, s.FM_PW, s.FM_PH};
        QVERIFY(modSettings::SaveSettings());
        s = modGlobals::Settings();
        QVERIFY(modSettings::LoadSettings());

        QPointer<frmMain> main = new frmMain;
        main->show();
        QVERIFY(QTest::qWaitForWindowExposed(main));
        const QRect work = WmView::workArea(0);
        QVERIFY(!work.isEmpty());
        // Framed by the window manager (a title bar above the client), and the whole frame on
        // the screen where the pointer can take it.
        auto framed = [&] {
            const QRect f = WmView::frameRect(main);
            return f.top() < main->geometry().top() && work.contains(f);
        };
        QTRY_VERIFY2_WITH_TIMEOUT(framed(),
                                  qPrintable(QStringLiteral("frame %1,%2 %3x%4, work area %5x%6")
                                                 .arg(WmView::frameRect(main).x())
                                                 .arg(WmView::frameRect(main).y())
                                                 .arg(WmView::frameRect(main).width())
                                                 .arg(WmView::frameRect(main).height())
                                                 .arg(work.width())
                                                 .arg(work.height())),
                                  20000);
        main->CloseByCode();
        QTRY_VERIFY(main.isNull());
        s = modGlobals::Settings();
        QVERIFY(modSettings::LoadSettings());
        QCOMPARE((QList<qint32>{s.FM_PL, s.FM_PT, s.FM_PW, s.FM_PH}), stored);
    }
};

QTEST_MAIN(TestDesktopPlace)
#include "tst_desktopPlace.moc"
