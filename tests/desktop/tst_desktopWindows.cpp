// Single windows under a real window manager: a minimised history window or options dialog
// comes back with the command that shows it, and no window of fixed size can be maximised.
#include "conversation/AlertWindows.h"
#include "conversation/frmInfo.h"
#include "conversation/frmMsg.h"
#include "conversation/frmMsgHist.h"
#include "conversation/frmPop.h"
#include "conversation/frmPrg.h"
#include "core/modGlobals.h"
#include "mainwin/frmLogOn.h"
#include "mainwin/frmMain.h"
#include "mainwin/frmOpt.h"
#include "support/Headless.h"
#include "support/Screenshot.h"
#include "support/WmView.h"

#include <QApplication>
#include <QPointer>
#include <QTest>
#include <functional>

using modGlobals::Sets;

namespace {
// What the window asks of the window manager in its Motif hints: flags, functions, decorations.
constexpr quint32 kMotifFunctionMaximize = 16, kMotifDecorMaximize = 64;

bool minimised(const QWidget* w) {
    return WmView::states(w).contains(QStringLiteral("HIDDEN")) || WmView::wmState(w) == 3;
}
} // namespace

class TestDesktopWindows : public QObject {
    Q_OBJECT
    TestEnv::Headless env{TestEnv::Loopback, TestEnv::Windows};
    QPointer<frmMain> main;

  private slots:
    void initTestCase() {
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        AlertWindows::Install();
        auto& s = Sets();
        s.UNAME = QStringLiteral("Ann");
        s.FM_PL = -10000;
        s.FM_PS = 0;
        main = new frmMain;
        main->show();
        QVERIFY(QTest::qWaitForWindowActive(main));
    }
    void cleanupTestCase() {
        frmOpt::UnloadLoaded();
        if (main) main->CloseByCode();
        QTRY_VERIFY(main.isNull());
    }

    void minimisedWindowComesBack_data() {
        QTest::addColumn<int>("which");
        QTest::newRow("View Alert History") << 0;
        QTest::newRow("Options") << 1;
    }
    // Without a taskbar a minimised window is out of reach but for the command that shows it.
    void minimisedWindowComesBack() {
        QFETCH(int, which);
        auto show = [&] {
            if (which == 0)
                main->mnuActionHist_Click();
            else
                main->mnuActionOptions_Click();
        };
        show();
        QWidget* w = which == 0 ? static_cast<QWidget*>(frmMsgHist::Loaded()) : frmOpt::Loaded();
        QVERIFY(w);
        QVERIFY(QTest::qWaitForWindowActive(w));
        w->showMinimized();
        // Minimised as far as the program knows too: the window manager has taken it off screen.
        QTRY_VERIFY_WITH_TIMEOUT(minimised(w) && !w->windowHandle()->isExposed(), 20000);
        show();
        QTRY_VERIFY2_WITH_TIMEOUT(!minimised(w) && WmView::viewable(w),
                                  qPrintable(WmView::states(w).join(QLatin1Char(' '))), 20000);
        QTRY_VERIFY2_WITH_TIMEOUT(WmView::active(w), "the window came back without the keyboard", 20000);
        QVERIFY(!(w->windowState() & Qt::WindowMinimized));
        w->hide();
    }

    void fixedSizeWindowsCannotBeMaximised_data() {
        QTest::addColumn<int>("which");
        QTest::newRow("alert pop-up") << 0;
        QTest::newRow("alert history") << 1;
        QTest::newRow("options") << 2;
        QTest::newRow("message") << 3;
        QTest::newRow("information") << 4;
        QTest::newRow("file transfer progress") << 5;
        QTest::newRow("sign-in") << 6;
    }
    void fixedSizeWindowsCannotBeMaximised() {
        QFETCH(int, which);
        QPointer<QWidget> w;
        std::function<void()> done = [&] { delete w; };
        switch (which) {
        case 0:
            w = AlertWindows::MakePop(QStringLiteral("hello"), QStringLiteral("Bob"));
            break;
        case 1:
            w = &frmMsgHist::Load();
            done = [&] { w->hide(); };
            break;
        case 2:
            w = frmOpt::ShowDialog();
            done = [] { frmOpt::UnloadLoaded(); };
            break;
        case 3:
            w = new frmMsg;
            break;
        case 4:
            w = new frmInfo;
            break;
        case 5:
            w = &frmPrg::Load();
            done = [&] { w->hide(); };
            break;
        case 6: {
            auto* logOn = new frmLogOn;
            w = logOn;
            done = [logOn] { logOn->Unload(); };
            break;
        }
        default:
            QFAIL("no such window");
        }
        w->show();
        QTRY_VERIFY_WITH_TIMEOUT(WmView::managed(w) && WmView::viewable(w), 20000);
        QTRY_VERIFY(!WmView::allowedActions(w).isEmpty());
        const QStringList actions = WmView::allowedActions(w);
        QVERIFY2(!actions.contains(QStringLiteral("MAXIMIZE_HORZ")) &&
                     !actions.contains(QStringLiteral("MAXIMIZE_VERT")),
                 qPrintable(actions.join(QLatin1Char(' '))));
        const QList<quint32> motif =
            WmView::values(WmView::win(w), "_MOTIF_WM_HINTS", WmView::atom("_MOTIF_WM_HINTS"));
        QVERIFY(motif.size() >= 3);
        QVERIFY2(!(motif[1] & kMotifFunctionMaximize), "the window asks to be maximisable");
        QVERIFY2(!(motif[2] & kMotifDecorMaximize), "the window asks for a maximise button");
        QCOMPARE(w->minimumSize(), w->maximumSize());
        saveScreenshot(WmView::screen(), QStringLiteral("desktop-fixed-%1").arg(which));
        done();
    }
};

QTEST_MAIN(TestDesktopWindows)
#include "tst_desktopWindows.moc"
