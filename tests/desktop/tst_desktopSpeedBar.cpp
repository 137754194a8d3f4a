// The speed bar under a real window manager: docked, it is on every desktop and reserves its
// strip on every one; floating, it is as tall as its limits say, frame and all, so its
// controls fill it.
#include "controls/clsTAppBar.h"
#include "core/modGlobals.h"
#include "mainwin/frmSpeedBar.h"
#include "platform/AppBarShell.h"
#include "support/Headless.h"
#include "support/Screenshot.h"
#include "support/WmView.h"

#include <QApplication>
#include <QPointer>
#include <QTest>

using modGlobals::Run;
using modGlobals::Sets;

namespace {
constexpr qint64 kAllDesktops = 0xFFFFFFFF;
}

class TestDesktopSpeedBar : public QObject {
    Q_OBJECT
    TestEnv::Headless env{TestEnv::Loopback, TestEnv::Windows};
    QPointer<frmSpeedBar> bar;

  private slots:
    void initTestCase() {
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        auto& s = Sets();
        s.UNAME = QStringLiteral("Ann");
        s.SB_U = 1;
        s.SB_P = 0;              // the top edge
        Run().SpeedBarSlide = 0; // no auto-hide: the strip is reserved
        bar = frmSpeedBar::Load();
        bar->show();
        bar->AppBar()->OnFullScreenApp(false);
        QTRY_VERIFY_WITH_TIMEOUT(WmView::managed(bar) && WmView::viewable(bar), 20000);
    }
    void cleanupTestCase() {
        WmView::switchDesktop(0);
        frmSpeedBar::Unload();
        QTRY_VERIFY(bar.isNull());
    }

    void dockedOnEveryDesktop() {
        QCOMPARE(bar->AppBar()->Edge(), AppBarShell::kTop);
        QTRY_COMPARE_WITH_TIMEOUT(WmView::desktop(bar), kAllDesktops, 20000);
        QTRY_COMPARE_WITH_TIMEOUT(WmView::workArea(0).top(), frmSpeedBar::kFixedHeight, 20000);
        WmView::switchDesktop(1);
        QTRY_COMPARE_WITH_TIMEOUT(WmView::currentDesktop(), qint64(1), 20000);
        QTRY_VERIFY2_WITH_TIMEOUT(WmView::viewable(bar), "the docked bar is gone from the second desktop",
                                  20000);
        QCOMPARE(WmView::workArea(1).top(), frmSpeedBar::kFixedHeight);
        saveScreenshot(WmView::screen(), QStringLiteral("desktop-speedbar-second-desktop"));
        WmView::switchDesktop(0);
        QTRY_COMPARE_WITH_TIMEOUT(WmView::currentDesktop(), qint64(0), 20000);
    }

    // Floating, it is an ordinary window of the desktop in view, and its frame's height is its
    // limit: the frame comes out of it instead of being added on top.
    void floatingHoldsItsControls() {
        bar->AppBar()->SetEdge(AppBarShell::kFloat);
        const int height = bar->AppBar()->FloatMaxHeight();
        QTRY_VERIFY_WITH_TIMEOUT(WmView::viewable(bar) && WmView::frameRect(bar).height() != bar->height(),
                                 20000);
        QTRY_COMPARE_WITH_TIMEOUT(WmView::frameRect(bar).height(), height, 20000);
        QTRY_COMPARE_WITH_TIMEOUT(WmView::desktop(bar), WmView::currentDesktop(), 20000);
        // No empty band between the row of controls and the title strip.
        QVERIFY2(bar->height() <= frmSpeedBar::kRowHeight + frmSpeedBar::kStripHeight,
                 qPrintable(QStringLiteral("%1 pixels for %2 of controls")
                                .arg(bar->height())
                                .arg(frmSpeedBar::kRowHeight + frmSpeedBar::kStripHeight)));
        saveScreenshot(WmView::screen(), QStringLiteral("desktop-speedbar-floating"));
        // Docked again, on every desktop again. The new type goes with a new mapping, which the
        // window manager starts by forgetting the desktop of the old one: what counts is the
        // desktop once it manages the bar again.
        bar->AppBar()->SetEdge(AppBarShell::kTop);
        QTRY_VERIFY2_WITH_TIMEOUT(WmView::wmState(bar) == 1 && WmView::viewable(bar) &&
                                      WmView::desktop(bar) == kAllDesktops,
                                  qPrintable(QStringLiteral("state %1, desktop %2")
                                                 .arg(WmView::wmState(bar))
                                                 .arg(WmView::desktop(bar), 0, 16)),
                                  20000);
        QTRY_COMPARE_WITH_TIMEOUT(WmView::workArea(0).top(), frmSpeedBar::kFixedHeight, 20000);
    }
};

QTEST_MAIN(TestDesktopSpeedBar)
#include "tst_desktopSpeedBar.moc"
