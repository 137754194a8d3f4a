// The desktop toolbar on a recorded desktop: the edge chosen for a point, sizing steps and hit
// codes, docking with and without auto-hide, the shell's refusal, z-order and taskbar button,
// size limits, drags between edges, the slide's frames on a stepped clock, the registry
// record, and the window hook over a real (offscreen) window.
#include "controls/clsTAppBar.h"
#include "controls/modAppBar.h"
#include "platform/Registry.h"
#include "support/AppBarFakes.h"
#include "support/Headless.h"

#include <QMouseEvent>
#include <QTemporaryDir>
#include <QtTest>

using AppBarShell::Rect;
Q_DECLARE_METATYPE(Rect)

namespace {
QString str(const Rect& r) {
    return ShellRecorder::rect(r);
}
} // namespace

class TestAppBar : public QObject {
    Q_OBJECT
    TestEnv::Headless env;
    std::unique_ptr<ShellRecorder> shell;
    std::shared_ptr<DesktopRecorder> desk;
    std::unique_ptr<WindowRecorder> win;
    std::unique_ptr<clsTAppBar> bar;

    // A bound bar that places without sliding, its shell log cleared.
    clsTAppBar& bound() {
        bar->SetSlideEffect(false);
        bar->Extends(win.get());
        shell->log.clear();
        return *bar;
    }

  private slots:
    void initTestCase() { QVERIFY(env.home.isValid()); }
    void init() {
        env.reset();
        shell = std::make_unique<ShellRecorder>();
        desk = std::make_shared<DesktopRecorder>();
        win = std::make_unique<WindowRecorder>();
        bar = std::make_unique<clsTAppBar>(desk);
    }
    void cleanup() {
        bar.reset();
        win.reset();
        shell.reset();
    }

    void defaults() {
        const auto& s = bar->Block();
        QCOMPARE(s.Edge, 5);
        QCOMPARE(s.AllowedEdges, 31);
        QCOMPARE(s.FloatMaxWidth, 1024);
        QCOMPARE(s.FloatMaxHeight, 768);
        QCOMPARE(s.DockedMaxWidth, 512);
        QCOMPARE(s.DockedMaxHeight, 384);
        QCOMPARE(s.TaskBarButton, 2);
        QCOMPARE(bar->RegKey(), QStringLiteral("Software\\Talkvane3\\AppBar"));
        QCOMPARE(bar->RegRoot(), quint32(Registry::CurrentUser));
    }

    void edgeFromPoint_data() {
        QTest::addColumn<int>("allowed");
        QTest::addColumn<QPoint>("pt");
        QTest::addColumn<bool>("ctrl");
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("edge");
        QTest::newRow("ctrl floats") << 31 << QPoint(512, 2) << true << 1 << 5;
        QTest::newRow("ctrl without floating") << 15 << QPoint(512, 2) << true << 1 << 1;
        QTest::newRow("inside the work area floats") << 31 << QPoint(500, 400) << false << 1 << 5;
        QTest::newRow("top") << 31 << QPoint(512, 5) << false << 5 << 1;
        QTest::newRow("bottom") << 31 << QPoint(512, 760) << false << 5 << 3;
        QTest::newRow("bottom under the work area") << 31 << QPoint(300, 730) << false << 5 << 3;
        QTest::newRow("right") << 31 << QPoint(1020, 384) << false << 5 << 2;
        QTest::newRow("left") << 31 << QPoint(3, 300) << false << 5 << 0;
        QTest::newRow("diagonal is left") << 31 << QPoint(0, 0) << false << 5 << 0;
        QTest::newRow("diagonal is right") << 31 << QPoint(1024, 768) << false << 5 << 2;
        QTest::newRow("28: left floats") << 28 << QPoint(3, 384) << false << 1 << 5;
        QTest::newRow("28: top") << 28 << QPoint(512, 3) << false << 5 << 1;
        QTest::newRow("no floating: inside docks") << 15 << QPoint(600, 400) << false << 5 << 2;
        QTest::newRow("not allowed, no floating: stays") << 1 << QPoint(512, 5) << false << 0 << 0;
        QTest::newRow("only floating") << 16 << QPoint(512, 5) << false << 1 << 5;
        QTest::newRow("left of the primary") << 31 << QPoint(-300, 384) << false << 5 << 0;
    }
    void edgeFromPoint() {
        QFETCH(int, allowed);
        QFETCH(QPoint, pt);
        QFETCH(bool, ctrl);
        QFETCH(int, stored);
        QFETCH(int, edge);
        bar->SetAllowedEdges(allowed);
        bar->SetEdge(stored); // not bound: stored only
        desk->ctrl = ctrl;
        QCOMPARE(bar->GetEdgeFromPoint(pt), edge);
    }

    void sizing_data() {
        QTest::addColumn<int>("side");
        QTest::addColumn<Rect>("proposed");
        QTest::addColumn<Rect>("result");
        QTest::newRow("right 124") << 2 << Rect{0, 0, 124, 50} << Rect{0, 0, 120, 50};
        QTest::newRow("right 125") << 2 << Rect{0, 0, 125, 50} << Rect{0, 0, 130, 50};
        QTest::newRow("left 125") << 1 << Rect{10, 0, 135, 50} << Rect{5, 0, 135, 50};
        QTest::newRow("top: no vertical step") << 3 << Rect{0, 7, 124, 50} << Rect{0, 7, 124, 50};
        QTest::newRow("bottom-left") << 7 << Rect{10, 0, 134, 57} << Rect{14, 0, 134, 57};
        QTest::newRow("below the minimum") << 2 << Rect{0, 0, 90, 50} << Rect{0, 0, 100, 50};
    }
    void sizing() {
        QFETCH(int, side);
        QFETCH(Rect, proposed);
        QFETCH(Rect, result);
        bar->SetHorzSizeInc(10);
        bar->SetVertSizeInc(0);
        bar->SetFloatMinWidth(100);
        QCOMPARE(str(bar->OnSizing(side, proposed)), str(result));
    }

    void hitTest_data() {
        QTest::addColumn<int>("edge");
        QTest::addColumn<int>("hinc");
        QTest::addColumn<int>("vinc");
        QTest::addColumn<int>("code");
        QTest::addColumn<QPoint>("pt");
        QTest::addColumn<bool>("primary");
        QTest::addColumn<int>("result");
        const int C = 1, CAP = 2, L = 10, R = 11, T = 12, TL = 13, TR = 14, B = 15, BR = 17, BORDER = 18;
        QTest::newRow("client dragged") << 5 << 1 << 1 << C << QPoint() << true << CAP;
        QTest::newRow("client not pressed") << 5 << 1 << 1 << C << QPoint() << false << C;
        QTest::newRow("float left, no h step") << 5 << 0 << 1 << L << QPoint() << false << BORDER;
        QTest::newRow("float top, no v step") << 5 << 1 << 0 << T << QPoint() << false << BORDER;
        QTest::newRow("float corner, no steps") << 5 << 0 << 0 << BR << QPoint() << false << BORDER;
        QTest::newRow("float corner, no h step") << 5 << 0 << 1 << TR << QPoint() << false << T;
        QTest::newRow("float corner, no v step") << 5 << 1 << 0 << TL << QPoint() << false << L;
        QTest::newRow("float right") << 5 << 1 << 1 << R << QPoint() << false << R;
        // The fake top bar's client area ends 4 px above its bottom edge (y 32 at 0..32).
        QTest::newRow("top bar inner border") << 1 << 1 << 1 << B << QPoint(50, 30) << false << B;
        QTest::newRow("top bar corner inside") << 1 << 1 << 1 << BR << QPoint(1022, 30) << false << B;
        QTest::newRow("top bar outer border") << 1 << 1 << 1 << T << QPoint(50, 1) << false << BORDER;
        QTest::newRow("top bar no v step") << 1 << 1 << 0 << B << QPoint(50, 30) << false << BORDER;
        QTest::newRow("bottom bar inner") << 3 << 1 << 1 << T << QPoint(50, 737) << false << T;
        QTest::newRow("left bar inner") << 0 << 1 << 1 << R << QPoint(30, 100) << false << R;
        QTest::newRow("right bar inner") << 2 << 1 << 1 << L << QPoint(993, 100) << false << L;
        QTest::newRow("right bar no h step") << 2 << 0 << 1 << L << QPoint(993, 100) << false << BORDER;
        QTest::newRow("docked caption stays") << 1 << 1 << 1 << CAP << QPoint(50, 10) << false << CAP;
    }
    void hitTest() {
        QFETCH(int, edge);
        QFETCH(int, hinc);
        QFETCH(int, vinc);
        QFETCH(int, code);
        QFETCH(QPoint, pt);
        QFETCH(bool, primary);
        QFETCH(int, result);
        bar->SetHorzSizeInc(hinc);
        bar->SetVertSizeInc(vinc);
        bar->SetEdge(edge);
        bound();
        desk->primary = primary;
        QCOMPARE(bar->OnNcHitTest(code, pt), result);
    }

    void docksAtTheTop() {
        bound();
        bar->SetEdge(1);
        QCOMPARE(shell->log, (QStringList{"SETAUTOHIDEBAR 1 1", "QUERYPOS 1 0,0,1024,768",
                                          "SETPOS 1 0,0,1024,32", "ACTIVATE"}));
        QCOMPARE(str(win->rect), QStringLiteral("0,0,1024,32"));
        QVERIFY(!win->caption);
        QVERIFY(!win->taskbar);
        QCOMPARE(win->z, AppBarWindow::ZOrder::TopMost);
    }

    void docksBelowAnotherStrip() {
        shell->topStrip = 30;
        bound();
        bar->SetEdge(1);
        QCOMPARE(str(win->rect), QStringLiteral("0,30,1024,62"));
    }

    void autoHideLeavesTwoPixels_data() {
        QTest::addColumn<int>("edge");
        QTest::addColumn<QString>("hidden");
        QTest::addColumn<QString>("shown");
        QTest::newRow("left") << 0 << "-30,0,2,768"
                              << "0,0,32,768";
        QTest::newRow("top") << 1 << "0,-30,1024,2"
                             << "0,0,1024,32";
        QTest::newRow("right") << 2 << "1022,0,1054,768"
                               << "992,0,1024,768";
        QTest::newRow("bottom") << 3 << "0,766,1024,798"
                                << "0,736,1024,768";
    }
    void autoHideLeavesTwoPixels() {
        QFETCH(int, edge);
        QFETCH(QString, hidden);
        QFETCH(QString, shown);
        bar->SetDockedMaxHeight(768);
        bar->SetDockedMaxWidth(1024);
        bound();
        bar->SetAutoHide(true);
        bar->SetEdge(edge);
        // An auto-hide bar reserves nothing and asks no place of the shell.
        QVERIFY(shell->only(QStringLiteral("QUERYPOS")).isEmpty());
        QCOMPARE(shell->only(QStringLiteral("SETPOS")), QStringList{"SETPOS 0 0,0,0,0"});
        QCOMPARE(str(win->rect), hidden);
        bar->OnNcMouseMove();
        QCOMPARE(str(win->rect), shown);
        QVERIFY(bar->Shown());
        // The pointer near the bar (within the grown rectangle) keeps it; farther off hides it.
        const QPoint near[4] = {{40, 384}, {500, 40}, {984, 384}, {500, 728}};
        desk->pointer = near[edge];
        bar->OnTimer();
        QCOMPARE(str(win->rect), shown);
        desk->pointer = QPoint(512, 384);
        win->active = true; // the active bar stays
        bar->OnTimer();
        QCOMPARE(str(win->rect), shown);
        win->active = false;
        bar->OnTimer();
        QCOMPARE(str(win->rect), hidden);
        bar->OnNcMouseMove();
        bar->OnActivate(0); // losing activation hides it too
        QCOMPARE(str(win->rect), hidden);
    }

    void anotherAutoHideBarOnTheEdge() {
        QWidget other;
        AppBarShell::Data d;
        d.hWnd = &other;
        d.uEdge = 3;
        d.lParam = 1;
        QVERIFY(AppBarShell::shell()->Send(AppBarShell::SetAutoHideBar, d));
        bound();
        bar->SetAutoHide(true);
        bar->SetEdge(3);
        QCOMPARE(desk->infos,
                 QStringList{"SpeedBar - Talkvane3|There is already an auto hidden window on this "
                             "edge.\n\rOnly one auto hidden window is allowed on each edge."});
        QVERIFY(!bar->AutoHide());
        // It docks as an ordinary bar.
        QCOMPARE(shell->only(QStringLiteral("SETPOS")), QStringList{"SETPOS 3 0,736,1024,768"});
        QCOMPARE(str(win->rect), QStringLiteral("0,736,1024,768"));
    }

    void edgeNoneGivesTheStripBack() {
        bound();
        bar->SetEdge(1);
        shell->log.clear();
        bar->SetEdge(4);
        QCOMPARE(shell->log, (QStringList{"SETAUTOHIDEBAR 1 0", "REMOVE", "ACTIVATE"}));
        QCOMPARE(bar->Edge(), 4);
    }

    void floatingGoesToTheFloatingRectangle() {
        bound();
        bar->SetEdge(1);
        bar->SetFloatRect({50, 60, 450, 141});
        shell->log.clear();
        bar->SetEdge(5);
        QCOMPARE(shell->log, (QStringList{"SETAUTOHIDEBAR 1 0", "SETPOS 5 0,0,0,0", "ACTIVATE"}));
        QCOMPARE(str(win->rect), QStringLiteral("50,60,450,141"));
        QVERIFY(win->caption);
        QVERIFY(win->taskbar);
    }

    void zOrder_data() {
        QTest::addColumn<bool>("onTop");
        QTest::addColumn<bool>("fullScreen");
        QTest::addColumn<int>("z");
        QTest::newRow("on top") << true << false << int(AppBarWindow::ZOrder::TopMost);
        QTest::newRow("on top, full screen") << true << true << int(AppBarWindow::ZOrder::Bottom);
        QTest::newRow("not on top") << false << false << int(AppBarWindow::ZOrder::NoTopMost);
        QTest::newRow("not on top, full screen") << false << true << int(AppBarWindow::ZOrder::NoTopMost);
    }
    void zOrder() {
        QFETCH(bool, onTop);
        QFETCH(bool, fullScreen);
        QFETCH(int, z);
        bound();
        bar->SetAlwaysOnTop(onTop);
        bar->SetEdge(3);
        bar->OnAppBarNotify(AppBarShell::kFullScreenApp, fullScreen ? 1 : 0);
        QCOMPARE(int(win->z), z);
        bar->OnFullScreenApp(false);
        QCOMPARE(win->z, onTop ? AppBarWindow::ZOrder::TopMost : AppBarWindow::ZOrder::NoTopMost);
    }

    void taskbarButton_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("edge");
        QTest::addColumn<bool>("before");
        QTest::addColumn<bool>("after");
        for (bool before : {false, true}) {
            const char* b = before ? "listed" : "unlisted";
            QTest::addRow("always %s docked", b) << 0 << 1 << before << true;
            QTest::addRow("always %s floating", b) << 0 << 5 << before << true;
            QTest::addRow("never %s floating", b) << 1 << 5 << before << false;
            QTest::addRow("never %s none", b) << 1 << 4 << before << false;
            QTest::addRow("floating only %s docked", b) << 2 << 3 << before << false;
            QTest::addRow("floating only %s floating", b) << 2 << 5 << before << true;
            QTest::addRow("floating only %s none", b) << 2 << 4 << before << before;
        }
    }
    void taskbarButton() {
        QFETCH(int, mode);
        QFETCH(int, edge);
        QFETCH(bool, before);
        QFETCH(bool, after);
        bound();
        win->taskbar = before;
        bar->SetTaskBarButton(mode);
        bar->SetEdge(edge);
        QCOMPARE(win->taskbar, after);
    }

    // A bar whose window cannot be lower than 65 reserves 65, and hides all of it but 2.
    void clampedBar_data() {
        QTest::addColumn<bool>("autoHide");
        QTest::addColumn<QString>("rect");
        QTest::addColumn<QString>("setpos");
        QTest::newRow("docked") << false << "0,0,1024,65"
                                << "SETPOS 1 0,0,1024,65";
        QTest::newRow("auto-hide") << true << "0,-63,1024,2"
                                   << "SETPOS 0 0,0,0,0";
    }
    void clampedBar() {
        QFETCH(bool, autoHide);
        QFETCH(QString, rect);
        QFETCH(QString, setpos);
        bound();
        bar->SetAutoHide(autoHide);
        bar->SetDockedMinHeight(65);
        bar->SetDockedMaxHeight(65);
        QCOMPARE(bar->DockedHeight(), 32);
        bar->SetEdge(1);
        QCOMPARE(str(win->rect), rect);
        QCOMPARE(shell->only(QStringLiteral("SETPOS")), QStringList{setpos});
        QCOMPARE(win->minH, 65);
        QCOMPARE(win->maxH, 65);
        QCOMPARE(win->maxW, 1024);
    }

    void minMax() {
        bar->SetFloatMinWidth(400);
        bar->SetFloatMinHeight(81);
        bar->SetFloatMaxHeight(81);
        bar->SetDockedMinHeight(65);
        bar->SetDockedMaxHeight(65);
        bar->SetEdge(5);
        auto mm = bar->OnGetMinMaxInfo();
        QCOMPARE((QList<int>{mm.minWidth, mm.minHeight, mm.maxWidth, mm.maxHeight}),
                 (QList<int>{400, 81, 1024, 81}));
        bar->SetEdge(1);
        mm = bar->OnGetMinMaxInfo();
        QCOMPARE((QList<int>{mm.minWidth, mm.minHeight, mm.maxWidth, mm.maxHeight}),
                 (QList<int>{0, 65, 1024, 65}));
        bar->SetEdge(0);
        mm = bar->OnGetMinMaxInfo();
        QCOMPARE((QList<int>{mm.minWidth, mm.minHeight, mm.maxWidth, mm.maxHeight}),
                 (QList<int>{0, 65, 512, 768}));
    }

    void dragWithCtrlFloats() {
        bound();
        bar->SetEdge(1);
        bar->OnEnterSizeMove();
        QCOMPARE(bar->Edge(), 1);
        desk->ctrl = true;
        desk->pointer = QPoint(512, 3); // at the top edge, but Ctrl is held
        const Rect r = bar->OnMoving(win->rect);
        QCOMPARE(bar->Edge(), 5);
        QVERIFY(win->caption); // full-window dragging: the caption comes at once
        win->SetWindowRect(r);
        bar->OnExitSizeMove();
        QCOMPARE(bar->Block().Edge, 5);
    }

    void pullingOffADockedBar() {
        bar->SetFloatRect({0, 0, 400, 81});
        bound();
        bar->SetEdge(1);
        bar->OnEnterSizeMove();
        desk->pointer = QPoint(500, 400);
        const Rect r = bar->OnMoving(win->rect);
        QCOMPARE(str(r), QStringLiteral("300,400,700,481")); // top-centre at the pointer
        win->SetWindowRect(r);
        // Back to the bottom edge, then dropped there.
        desk->pointer = QPoint(500, 760);
        const Rect r2 = bar->OnMoving(r);
        QCOMPARE(str(r2), QStringLiteral("0,736,1024,768"));
        QVERIFY(!win->caption);
        win->SetWindowRect(r2);
        bar->OnExitSizeMove();
        QCOMPARE(bar->Edge(), 3);
        QCOMPARE(str(win->rect), QStringLiteral("0,736,1024,768"));
    }

    void droppedFloatingKeepsItsSize_data() {
        QTest::addColumn<Rect>("dropped");
        QTest::addColumn<QString>("floatRect");
        QTest::newRow("full width keeps the old size") << Rect{0, 0, 1024, 32} << "0,0,400,81";
        QTest::newRow("a smaller bar takes its own") << Rect{10, 20, 310, 70} << "10,20,310,70";
    }
    void droppedFloatingKeepsItsSize() {
        QFETCH(Rect, dropped);
        QFETCH(QString, floatRect);
        bar->SetFloatRect({200, 200, 600, 281});
        bound();
        bar->SetEdge(1);
        bar->OnEnterSizeMove();
        desk->ctrl = true;
        bar->OnMoving(win->rect);
        win->rect = dropped; // where the window was when the drag ended
        bar->OnExitSizeMove();
        QCOMPARE(str(bar->FloatRect()), floatRect);
    }

    void dockedDropKeepsTheUsersSize() {
        bound();
        bar->SetEdge(3);
        bar->OnEnterSizeMove();
        win->rect = Rect{0, 700, 1024, 768};
        bar->OnExitSizeMove();
        QCOMPARE(bar->DockedHeight(), 68);
        QCOMPARE(str(win->rect), QStringLiteral("0,700,1024,768"));
    }

    void slideFramesOnASteppedClock() {
        bar->SetFloatRect({100, 100, 500, 181});
        bar->Extends(win.get());
        QCOMPARE(str(win->rect), QStringLiteral("100,100,500,181"));
        win->moves.clear();
        bar->SetEdge(1);
        QVERIFY(bar->Sliding());
        QCOMPARE(win->moves.size(), 1);
        QCOMPARE(str(win->moves[0]), QStringLiteral("100,100,500,181")); // the start place, d = 0
        desk->now += 100;
        bar->OnSlideTick();
        QCOMPARE(str(win->rect), QStringLiteral("75,75,631,144"));
        desk->now += 200;
        bar->OnSlideTick();
        QCOMPARE(str(win->rect), QStringLiteral("25,25,893,70"));
        desk->now += 150;
        bar->OnSlideTick();
        QCOMPARE(str(win->rect), QStringLiteral("0,0,1024,32"));
        QVERIFY(!bar->Sliding());
        // On the real timer too: it ends exactly on the target without anybody stepping it.
        bar->SetEdge(5);
        bar->SetEdge(3);
        QVERIFY(bar->Sliding());
        desk->now += 1000;
        QTRY_VERIFY(!bar->Sliding());
        QCOMPARE(str(win->rect), QStringLiteral("0,736,1024,768"));
    }

    void slideIsCancelledOrSkipped() {
        bar->Extends(win.get());
        bar->SetEdge(1);
        QVERIFY(bar->Sliding());
        // A floating move takes over at once.
        bar->SetFloatRect({10, 10, 410, 91});
        bar->SetEdge(5);
        QVERIFY(!bar->Sliding());
        QCOMPARE(str(win->rect), QStringLiteral("10,10,410,91"));
        desk->now += 1000;
        bar->OnSlideTick();
        QCOMPARE(str(win->rect), QStringLiteral("10,10,410,91"));
        // A hidden window is placed at once.
        win->visible = false;
        bar->SetEdge(3);
        QVERIFY(!bar->Sliding());
        QCOMPARE(str(win->rect), QStringLiteral("0,736,1024,768"));
        // And so is every move with full-window dragging off.
        win->visible = true;
        desk->m.dragFullWindows = false;
        bar->SetEdge(1);
        QVERIFY(!bar->Sliding());
        QCOMPARE(str(win->rect), QStringLiteral("0,0,1024,32"));
    }

    void valuesSetBeforeBindingTouchNothing() {
        bar->SetSlideTime(100);
        bar->SetEdge(1);
        bar->UpdateBar();
        QVERIFY(shell->log.isEmpty());
        QVERIFY(win->moves.isEmpty());
        QCOMPARE(bar->Edge(), 1);
        bar->SetSlideEffect(false);
        bar->Extends(win.get());
        QCOMPARE(shell->log.first(), QStringLiteral("NEW"));
        QCOMPARE(str(win->rect), QStringLiteral("0,0,1024,32"));
    }

    void detachGivesEverythingBack() {
        bound();
        bar->SetAutoHide(true);
        bar->SetEdge(3);
        shell->log.clear();
        bar->Detach();
        QCOMPARE(shell->log, (QStringList{"SETAUTOHIDEBAR 3 0", "REMOVE", "ACTIVATE"}));
        QVERIFY(!bar->Extended());
    }

    void record() {
        bar->SetTaskBarButton(2);
        bar->SetFloatRect({-5, 6, 7, 8});
        const QByteArray b = bar->Record();
        QCOMPARE(b.size(), 90);
        QCOMPARE(b.mid(0, 20).toHex(), QByteArray("5a00000005000000"
                                                  "1f000000"
                                                  "0000ffffffff0000"));
        QCOMPARE(b.mid(40, 4).toHex(), QByteArray("fbffffff"));
        QCOMPARE(b.mid(88, 2).toHex(), QByteArray("0200"));
    }

    void registryRecord_data() {
        QTest::addColumn<int>("size");
        QTest::addColumn<bool>("loaded");
        QTest::newRow("89") << 89 << false;
        QTest::newRow("90") << 90 << true;
        QTest::newRow("91") << 91 << false;
    }
    void registryRecord() {
        QFETCH(int, size);
        QFETCH(bool, loaded);
        clsTAppBar saved(desk);
        saved.SetEdge(3);
        saved.SetDockedHeight(65);
        saved.SetTaskBarButton(2);
        QByteArray bytes = saved.Record();
        bytes.resize(size, '\x7f');
        Registry::Value v;
        v.type = Registry::Type::Binary;
        v.bytes = bytes;
        QVERIFY(Registry::setValue(Registry::CurrentUser, clsTAppBar::DefaultRegKey(), QString(), v));
        QCOMPARE(bar->LoadSettings(), loaded);
        QCOMPARE(bar->Edge(), loaded ? 3 : 5);
        QCOMPARE(bar->DockedHeight(), loaded ? 65 : 32);
        QCOMPARE(bar->TaskBarButton(), 2);
    }

    void savedRecordLoadsBack() {
        bar->SetTaskBarButton(0x12340002); // only the low half is kept
        bar->SetSlideTime(250);
        bar->SetRegKey(QStringLiteral("Software\\Talkvane3\\Test"));
        QVERIFY(bar->SaveSettings());
        clsTAppBar other(desk);
        other.SetRegKey(QStringLiteral("Software\\Talkvane3\\Test"));
        QVERIFY(other.LoadSettings());
        QCOMPARE(other.TaskBarButton(), 2);
        QCOMPARE(other.SlideTime(), 250);
        clsTAppBar missing(desk);
        missing.SetRegKey(QStringLiteral("Software\\Talkvane3\\Nothing"));
        QVERIFY(!missing.LoadSettings());
    }

    // --- the hook over a real window -----------------------------------------------------------

    void secondBarLetsTheFirstGo() {
        QWidget a, b;
        clsTAppBar first(desk), second(desk);
        first.SetSlideEffect(false);
        second.SetSlideEffect(false);
        first.Extends(&a);
        QCOMPARE(modAppBar::AttachedBar(), &first);
        second.Extends(&b);
        QVERIFY(!first.Extended());
        QCOMPARE(modAppBar::AttachedBar(), &second);
        QCOMPARE(modAppBar::AttachedWindow(), &b);
        second.Detach();
        QVERIFY(!modAppBar::AttachedBar());
    }

    void dragOnTheBackground() {
        QWidget form;
        form.resize(400, 81);
        form.move(100, 100);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        clsTAppBar b(desk);
        b.SetSlideEffect(false);
        b.SetEdge(1);
        b.Extends(&form);
        QTRY_COMPARE(form.frameGeometry().top(), 0);
        QCOMPARE(b.Edge(), 1);
        // Pressed on the background and pulled into the middle: the bar floats where it is let go.
        desk->primary = true;
        const QPoint at(200, 16);
        auto send = [&form](QEvent::Type t, QPoint local, Qt::MouseButtons buttons) {
            QMouseEvent e(t, local, form.mapToGlobal(local),
                          t == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons, Qt::NoModifier);
            QApplication::sendEvent(&form, &e);
        };
        send(QEvent::MouseButtonPress, at, Qt::LeftButton);
        QVERIFY(modAppBar::Dragging());
        desk->pointer = QPoint(500, 400);
        send(QEvent::MouseMove, at + QPoint(300, 384), Qt::LeftButton);
        QCOMPARE(b.Edge(), 5);
        send(QEvent::MouseButtonRelease, at + QPoint(300, 384), Qt::NoButton);
        QVERIFY(!modAppBar::Dragging());
        QCOMPARE(b.Block().Edge, 5);
        b.Detach();
    }

    // A floating bar dragged to the top edge loses its frame only when it is let go, and lands
    // exactly on its strip.
    void floatingDraggedToTheTop() {
        QWidget form;
        form.move(200, 300);
        form.resize(396, 77);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        clsTAppBar b(desk);
        b.SetSlideEffect(false);
        b.Extends(&form); // floats where the window is
        QCOMPARE(b.Edge(), 5);
        QTRY_COMPARE(form.frameGeometry().topLeft(), QPoint(200, 300));
        QVERIFY(!(form.windowFlags() & Qt::FramelessWindowHint));
        desk->primary = true;
        auto send = [&form](QEvent::Type t, QPoint global) {
            QMouseEvent e(t, form.mapFromGlobal(global), global,
                          t == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                          t == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(&form, &e);
        };
        send(QEvent::MouseButtonPress, QPoint(400, 340));
        desk->pointer = QPoint(500, 3);
        send(QEvent::MouseMove, QPoint(500, 3));
        QCOMPARE(b.Edge(), 1);
        QVERIFY(!(form.windowFlags() & Qt::FramelessWindowHint)); // not during the drag
        send(QEvent::MouseButtonRelease, QPoint(500, 3));
        QVERIFY(form.windowFlags() & Qt::FramelessWindowHint);
        QTRY_COMPARE(form.frameGeometry(), QRect(0, 0, 1024, 32));
        QCOMPARE(form.geometry(), QRect(0, 0, 1024, 32));
        b.Detach();
    }

    // A bottom bar sized by its inner (upper) border, in steps of 10 from its minimum of 30.
    void sizingByTheInnerBorder() {
        QWidget form;
        form.resize(400, 81);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        clsTAppBar b(desk);
        b.SetSlideEffect(false);
        b.SetVertSizeInc(10);
        b.SetDockedMinHeight(30);
        b.SetEdge(3);
        b.Extends(&form);
        QTRY_COMPARE(form.frameGeometry(), QRect(0, 768 - 32, 1024, 32));
        auto send = [&form](QEvent::Type t, QPoint local) {
            QMouseEvent e(t, local, form.mapToGlobal(local),
                          t == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                          t == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(&form, &e);
        };
        send(QEvent::MouseButtonPress, QPoint(300, 1)); // the border towards the screen's middle
        QVERIFY(modAppBar::Dragging());
        send(QEvent::MouseMove, QPoint(300, 1 - 24)); // 56 high: the nearest step is 60
        QCOMPARE(form.frameGeometry(), QRect(0, 768 - 60, 1024, 60));
        send(QEvent::MouseButtonRelease, QPoint(300, 1 - 24));
        QVERIFY(!modAppBar::Dragging());
        QCOMPARE(b.DockedHeight(), 60);
        QCOMPARE(b.Edge(), 3);
        // The outer border does not size a docked bar: the press there drags nothing at all.
        send(QEvent::MouseButtonPress, QPoint(300, form.height() - 1));
        QVERIFY(!modAppBar::Dragging());
        b.Detach();
    }
};

QTEST_MAIN(TestAppBar)
#include "tst_clsTAppBar.moc"
