// The speed bar beside a real main window on a loopback network: whom its buttons address
// (the exact "A" datagrams), its lists kept in step with the main window's, its docking from
// the settings, closing by the user and by code, the status keys, its layout by edge and the
// length of its alert text.
#include "controls/chameleonButton.h"
#include "controls/clsTAppBar.h"
#include "controls/modAppBar.h"
#include "core/modGlobals.h"
#include "core/modLangConst.h"
#include "core/modNetCmds.h"
#include "mainwin/frmMain.h"
#include "mainwin/frmSpeedBar.h"
#include "platform/Ansi.h"
#include "platform/Mailslot.h"
#include "support/AppBarFakes.h"
#include "support/ChatRecorders.h"
#include "support/Headless.h"
#include "support/MainWindowFixture.h"
#include "support/Screenshot.h"
#include "support/TrayRecorder.h"

#include "controls/SendBox.h"
#include "conversation/frmAlert.h"
#include <QClipboard>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPointer>
#include <QScreen>
#include <QtTest>

using modGlobals::Run;
using modGlobals::Sets;

namespace {
const QString S(modGlobals::kSep);
} // namespace

class TestSpeedBar : public QObject, TestEnv::MainWindowFixture {
    Q_OBJECT
    TestEnv::Headless env{TestEnv::Loopback, TestEnv::Windows};
    std::unique_ptr<TrayRecorder> tray;
    std::unique_ptr<ShellRecorder> shell;
    std::unique_ptr<Mailslot> ear;
    std::unique_ptr<RoomFactory> rooms;
    QPointer<frmSpeedBar> bar;

    // The bar first: the main window's load fills it.
    void open() {
        bar = frmSpeedBar::Load();
        bar->show();
        QVERIFY(openMain());
    }
    // Ann Online, Bob Away, Carl Busy.
    void threeUsers() { addUsers({"Ann~S0", "Bob~S2", "Carl~S1"}); }
    // The "A" datagrams heard since the last call, separators shown as "|": everything up to a
    // marker sent now, which arrives after all that this copy sent before it. It comes from a "\"
    // name, which the copy under test ignores.
    QStringList alertsHeard() {
        const QByteArray marker = QByteArray(1, '\0') + "\\SpeedBarTest\x01marker";
        Mailslot::send(QStringLiteral("*"), QStringLiteral("QX3"), marker);
        QStringList got;
        bool marked = false;
        const auto readWaiting = [&] {
            qint64 size = 0;
            int waiting = 0;
            QByteArray bytes;
            while (!marked && ear->info(size, waiting) && ear->read(size, bytes)) {
                if (bytes == marker) {
                    marked = true;
                    break;
                }
                QString d = Ansi::decode(bytes);
                while (d.startsWith(QChar(0))) // the transport's own framing
                    d.remove(0, 1);
                if (d.section(S, 1).startsWith(QLatin1Char('A')))
                    got << QString(d).replace(S, QStringLiteral("|"));
            }
            return marked;
        };
        if (!QTest::qWaitFor(readWaiting, TestEnv::kNetWait))
            qWarning() << "the marker never arrived; heard" << got;
        return got;
    }
    void select(const QStringList& names) {
        bar->lstUsers->clearSelection();
        for (int i = 0; i < bar->lstUsers->count(); ++i)
            if (names.contains(bar->lstUsers->item(i)->text())) {
                bar->lstUsers->item(i)->setSelected(true);
                bar->lstUsers->setCurrentRow(i, QItemSelectionModel::NoUpdate);
            }
    }
    QStringList shownUsers() const {
        QStringList l;
        for (int i = 0; i < bar->lstUsers->count(); ++i)
            l << bar->lstUsers->item(i)->text();
        return l;
    }
    QStringList selectedUsers() const {
        QStringList l;
        for (int i = 0; i < bar->lstUsers->count(); ++i)
            if (bar->lstUsers->item(i)->isSelected()) l << bar->lstUsers->item(i)->text();
        return l;
    }

  private slots:
    void initTestCase() { QVERIFY(env.home.isValid()); }
    void init() {
        env.reset();
        tray = std::make_unique<TrayRecorder>();
        shell = std::make_unique<ShellRecorder>();
        rooms = std::make_unique<RoomFactory>();
        ear = std::make_unique<Mailslot>();
        QVERIFY(ear->create(QStringLiteral("QX3")) >= 0);
        auto& s = Sets();
        s.UNAME = QStringLiteral("Me");
        s.SB_U = 1;
        s.SB_S = 0; // no slide: places are final at once
        s.SB_F = 0;
        s.GRPS = QStringLiteral("Team") + S + QStringLiteral("Ann") + S + QStringLiteral("Bob") + S +
                 QStringLiteral("\r\nGone") + S + QStringLiteral("Zed") + S + QStringLiteral("\r\n");
    }
    void cleanup() {
        QVERIFY(closeMain());
        frmSpeedBar::Unload();
        QTRY_VERIFY(bar.isNull());
        for (ChatRoom* r : ChatRooms::All())
            ChatRooms::Leave(r);
        rooms.reset();
        ear.reset();
        shell.reset();
        tray.reset();
    }

    void recipients_data() {
        QTest::addColumn<int>("tab");
        QTest::addColumn<QStringList>("chosen"); // users, or the group's name
        QTest::addColumn<int>("button");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("sent");
        QTest::addColumn<QString>("message"); // the language keys, "+"-joined
        QTest::addColumn<QString>("room");    // the members of the room opened, "|"-joined
        QTest::newRow("two users, one away")
            << 0 << QStringList{"Ann", "Bob"} << 0 << "hello" << QStringList{"Me|AAnn|hello|"} << ""
            << "";
        QTest::newRow("busy gets alerts") << 0 << QStringList{"Carl", "Ann"} << 0 << "hi"
                                          << QStringList{"Me|AAnn|hi|", "Me|ACarl|hi|"} << ""
                                          << "";
        QTest::newRow("line breaks go as CR LF")
            << 0 << QStringList{"Ann"} << 0 << "a\nb" << QStringList{"Me|AAnn|a\r\nb|"} << ""
            << "";
        QTest::newRow("separators become blanks") << 0 << QStringList{"Ann"} << 0
                                                  << "a\x01"
                                                     "b"
                                                  << QStringList{"Me|AAnn|a b|"} << ""
                                                  << "";
        QTest::newRow("trimmed") << 0 << QStringList{"Ann"} << 0 << "  x  " << QStringList{"Me|AAnn|x|"} << ""
                                 << "";
        QTest::newRow("only away") << 0 << QStringList{"Bob"} << 0 << "hi" << QStringList{}
                                   << "Main_SelUserMsg"
                                   << "";
        QTest::newRow("blank text") << 0 << QStringList{"Ann"} << 0 << "   " << QStringList{} << ""
                                    << "";
        QTest::newRow("group") << 1 << QStringList{"Team"} << 0 << "t" << QStringList{"Me|AAnn|t|"} << ""
                               << "";
        QTest::newRow("group all offline")
            << 1 << QStringList{"Gone"} << 0 << "t" << QStringList{} << "Main_SelUserMsg"
            << "";
        QTest::newRow("(All)") << 1 << QStringList{"(All)"} << 0 << "all" << QStringList{"Me|A(All)|all|"}
                               << ""
                               << "";
        QTest::newRow("chat on (All)")
            << 1 << QStringList{"(All)"} << 2 << "" << QStringList{} << "Main_SelUserMsg+Main_SelUserMsg2"
            << "";
        QTest::newRow("chat with the online")
            << 0 << QStringList{"Ann", "Carl"} << 2 << "" << QStringList{} << ""
            << "Ann";
        QTest::newRow("chat with a group") << 1 << QStringList{"Team"} << 2 << "" << QStringList{} << ""
                                           << "Ann";
        QTest::newRow("chat with the busy")
            << 0 << QStringList{"Carl"} << 2 << "" << QStringList{} << "Main_SelUserMsg+Main_SelUserMsg2"
            << "";
    }
    void recipients() {
        QFETCH(int, tab);
        QFETCH(QStringList, chosen);
        QFETCH(int, button);
        QFETCH(QString, text);
        QFETCH(QStringList, sent);
        QFETCH(QString, message);
        QFETCH(QString, room);
        open();
        threeUsers();
        QCOMPARE(shownUsers(), (QStringList{"Ann", "Bob", "Carl"}));
        alertsHeard();
        if (tab == 1) {
            bar->cmdTab_Click();
            const auto found = bar->lstGrps->findItems(chosen.value(0), Qt::MatchExactly);
            QCOMPARE(found.size(), 1);
            bar->lstGrps->setCurrentItem(found.first());
        } else {
            select(chosen);
        }
        bar->txtSnd->setPlainText(text);
        bar->cmdSel_Click(button);
        QCOMPARE(alertsHeard(), sent);
        QStringList expected;
        for (const QString& key : message.split(QLatin1Char('+'), Qt::SkipEmptyParts))
            expected << modLangConst::Get(key);
        QStringList got;
        for (const auto& m : env.messages.shown)
            got << m.text;
        QCOMPARE(got,
                 expected.isEmpty() ? QStringList{} : QStringList{expected.join(QStringLiteral("\r\n"))});
        if (!sent.isEmpty()) QVERIFY(bar->txtSnd->toPlainText().isEmpty());
        if (room.isEmpty()) {
            QVERIFY(rooms->made.empty());
        } else {
            QCOMPARE(rooms->made.size(), size_t(1));
            QCOMPARE(rooms->made[0]->members.join(QLatin1Char('|')), room);
            QVERIFY(rooms->made[0]->calls.contains(QStringLiteral("show")));
        }
        if (text.trimmed().isEmpty() && button == 0) QCOMPARE(bar->txtSnd->toPlainText(), QString());
    }

    void expandOpensTheComposeWindow_data() {
        QTest::addColumn<int>("tab");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("to"); // "|" for the separator
        QTest::newRow("users, the away left out") << 0 << "Ann|Bob|Carl"
                                                  << "Ann|Carl|";
        QTest::newRow("group's online") << 1 << "Team"
                                        << "Ann|";
        QTest::newRow("(All)") << 1 << "(All)"
                               << "(All)|";
    }
    void expandOpensTheComposeWindow() {
        QFETCH(int, tab);
        QFETCH(QString, chosen);
        QFETCH(QString, to);
        open();
        threeUsers();
        if (tab == 1) {
            bar->cmdTab_Click();
            bar->lstGrps->setCurrentItem(bar->lstGrps->findItems(chosen, Qt::MatchExactly).value(0));
        } else {
            select(chosen.split(QLatin1Char('|')));
        }
        bar->txtSnd->setPlainText(QStringLiteral("first\nsecond"));
        alertsHeard();
        bar->cmdSel_Click(1);
        QPointer<frmAlert> alert;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* a = qobject_cast<frmAlert*>(w)) alert = a;
        QVERIFY(alert);
        QCOMPARE(alert->UTo(), QString(to).replace(QLatin1Char('|'), S));
        QCOMPARE(alert->txtMsg->Text(), QStringLiteral("first\r\nsecond"));
        QVERIFY(bar->txtSnd->toPlainText().isEmpty());
        QVERIFY(alertsHeard().isEmpty()); // nothing goes out until the window sends it
        alert->close();
        QTRY_VERIFY(alert.isNull());
    }

    void chatLeavesOutWhoIsInARoom() {
        open();
        threeUsers();
        addUsers({"Dee~S0"});
        RoomRecorder existing;
        existing.members << QStringLiteral("Ann");
        select({"Ann", "Dee"});
        bar->cmdSel_Click(2);
        QCOMPARE(env.messages.shown.size(), size_t(1));
        QCOMPARE(env.messages.shown[0].text,
                 QStringLiteral("Ann") + modLangConst::Get(QStringLiteral("Main_UserInChat")));
        QCOMPARE(env.messages.shown[0].icon, 3);
        QCOMPARE(rooms->made.size(), size_t(1));
        QCOMPARE(rooms->made[0]->members, QStringList{"Dee"});
        ChatRooms::Leave(&existing);
    }

    void nobodyChosenDoesNothing() {
        open();
        threeUsers();
        bar->lstUsers->setCurrentRow(-1);
        alertsHeard();
        bar->txtSnd->setPlainText(QStringLiteral("x"));
        for (int b : {0, 1, 2})
            bar->cmdSel_Click(b);
        QVERIFY(alertsHeard().isEmpty());
        QVERIFY(env.messages.shown.empty());
    }

    void selectionAndTabSurviveRefills() {
        open();
        threeUsers();
        QCOMPARE(selectedUsers(), QStringList{"Ann"}); // the first, when nothing was chosen
        select({"Bob", "Carl"});
        auto* first = bar->lstUsers->item(0);
        win->RefSBUList();
        QCOMPARE(bar->lstUsers->item(0), first); // an unchanged list is left alone
        addUsers({"Abe~S0"});
        QCOMPARE(shownUsers(), (QStringList{"Abe", "Ann", "Bob", "Carl"}));
        QCOMPARE(selectedUsers(), (QStringList{"Bob", "Carl"}));
        QVERIFY(bar->lstUsers->currentRow() >= 2);
        addUsers({"Bob~E"}); // Bob leaves
        QCOMPARE(selectedUsers(), QStringList{"Carl"});
        addUsers({"Carl~E"});
        QCOMPARE(selectedUsers(), QStringList{"Abe"});
        // The groups tab and the group chosen stay too.
        bar->cmdTab_Click();
        bar->lstGrps->setCurrentRow(2);
        QCOMPARE(bar->lstGrps->currentItem()->text(), QStringLiteral("Gone"));
        addUsers({"Dan~S0"});
        QCOMPARE(bar->Tab, qint16(1));
        win->UpdateGrpLst();
        QCOMPARE(bar->lstGrps->currentItem()->text(), QStringLiteral("Gone"));
        Sets().GRPS = QStringLiteral("Gone") + S + QStringLiteral("Zed") + S + QStringLiteral("\r\n");
        win->UpdateGrpLst();
        QCOMPARE(bar->lstGrps->count(), 2);
        QCOMPARE(bar->lstGrps->currentItem()->text(), QStringLiteral("Gone"));
    }

    void emptyList() {
        open();
        threeUsers();
        bar->cmdTab_Click();
        addUsers({"Ann~E", "Bob~E", "Carl~E"});
        QCOMPARE(shownUsers(), QStringList{modLangConst::Get(QStringLiteral("SpeedBar_NoUsers"))});
        QCOMPARE(bar->Tab, qint16(0));
        QVERIFY(bar->lstUsers->isVisible());
        QVERIFY(!bar->lstUsers->isEnabled());
        QVERIFY(!bar->txtSnd->isEnabled());
        QVERIFY(!bar->cmdTab->Enabled());
        for (auto* b : bar->cmdSel)
            QVERIFY(!b->Enabled());
        addUsers({"Ann~S0"});
        QCOMPARE(shownUsers(), QStringList{"Ann"});
        QVERIFY(bar->txtSnd->isEnabled());
        QVERIFY(bar->cmdSel[0]->Enabled());
    }

    void filterOfTheMainWindow() {
        Sets().SB_F = 3;
        open();
        threeUsers();
        QCOMPARE(shownUsers(), QStringList{"Ann"});
    }

    // Geometry on the test screen (its height H, 800 wide).
    void docking_data() {
        QTest::addColumn<int>("slide");
        QTest::addColumn<int>("side");
        QTest::addColumn<int>("edge");
        QTest::addColumn<QString>("frame"); // x y w h, H for the screen's height
        QTest::addColumn<QString>("setpos");
        QTest::newRow("auto-hide top") << 1 << 0 << 1 << "0 -63 800 65"
                                       << "SETPOS 0 0,0,0,0";
        QTest::newRow("auto-hide bottom") << 1 << 1 << 3 << "0 H-2 800 65"
                                          << "SETPOS 0 0,0,0,0";
        QTest::newRow("fixed top") << 0 << 0 << 1 << "0 0 800 65"
                                   << "SETPOS 1 0,0,800,65";
        QTest::newRow("fixed bottom") << 0 << 1 << 3 << "0 H-65 800 65"
                                      << "SETPOS 3 0,H-65,800,H";
        // Where the window was made (centred, 640 wide), at the floating height of 81.
        QTest::newRow("no edge: floats") << 1 << 7 << 5 << "80 C 640 81"
                                         << "SETPOS 5 0,0,0,0";
    }
    void docking() {
        QFETCH(int, slide);
        QFETCH(int, side);
        QFETCH(int, edge);
        QFETCH(QString, frame);
        QFETCH(QString, setpos);
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QCOMPARE(screen.width(), 800);
        const int H = screen.height();
        auto value = [H](QString v) {
            v.replace(QStringLiteral("H-65"), QString::number(H - 65));
            v.replace(QStringLiteral("H-2"), QString::number(H - 2));
            v.replace(QLatin1Char('C'), QString::number((H - 1) / 2 - 32));
            v.replace(QLatin1Char('H'), QString::number(H));
            return v;
        };
        const QStringList f = value(frame).split(QLatin1Char(' '));
        Run().SpeedBarSlide = qint16(slide);
        Sets().SB_P = qint16(side);
        open();
        bar->AppBar()->OnFullScreenApp(false);
        QCOMPARE(bar->AppBar()->Edge(), edge);
        QCOMPARE(bar->AppBar()->AutoHide(), slide == 1);
        QTRY_COMPARE(bar->frameGeometry(), QRect(f[0].toInt(), f[1].toInt(), f[2].toInt(), f[3].toInt()));
        QCOMPARE(shell->only(QStringLiteral("SETPOS")).last(), value(setpos));
        QCOMPARE(bar->AppBar()->AllowedEdges(), 28);
        QCOMPARE(bar->AppBar()->FloatMinWidth(), 400);
        saveScreenshot(bar, QStringLiteral("speedbar-%1-%2").arg(slide).arg(side));
    }

    void layoutByEdge_data() {
        QTest::addColumn<int>("side");
        QTest::addColumn<int>("stripTop");
        QTest::addColumn<int>("rowTop");
        QTest::newRow("top: strip below") << 0 << 65 - 17 << 0;
        QTest::newRow("bottom: strip above") << 1 << 0 << 17;
    }
    void layoutByEdge() {
        QFETCH(int, side);
        QFETCH(int, stripTop);
        QFETCH(int, rowTop);
        Run().SpeedBarSlide = 0;
        Sets().SB_P = qint16(side);
        open();
        QTRY_COMPARE(bar->height(), 65);
        QCOMPARE(bar->picTB->geometry(), QRect(0, stripTop, 800, 17));
        QCOMPARE(bar->cmdTab->geometry(), QRect(0, rowTop, 17, 41));
        QCOMPARE(bar->lstUsers->geometry(), QRect(17, rowTop, 127, 40));
        QCOMPARE(bar->cmdSel[2]->geometry(), QRect(144, rowTop, 17, 41));
        QCOMPARE(bar->txtSnd->geometry(), QRect(161, rowTop, 800 - 57 - 161, 41));
        QCOMPARE(bar->cmdSel[0]->geometry(), QRect(800 - 57, rowTop, 57, 25));
        QCOMPARE(bar->cmdSel[1]->geometry(), QRect(800 - 57, rowTop + 25, 57, 17));
        QCOMPARE(bar->cmdStat->geometry(), QRect(800 - 113, 0, 113, 17));
        saveScreenshot(bar, QStringLiteral("speedbar-layout-%1").arg(side));
    }

    void closing_data() {
        QTest::addColumn<bool>("byUser");
        QTest::newRow("by the user") << true;
        QTest::newRow("by code") << false;
    }
    void closing() {
        QFETCH(bool, byUser);
        open();
        threeUsers();
        shell->log.clear();
        if (byUser)
            bar->close();
        else
            frmSpeedBar::Unload();
        QVERIFY(!frmSpeedBar::Loaded());
        QVERIFY(!SpeedBarLink::Current());
        QCOMPARE(Sets().SB_U, qint16(byUser ? 0 : 1));
        QVERIFY(shell->log.contains(QStringLiteral("REMOVE")));
        QTRY_VERIFY(bar.isNull());
        // The main window goes on without it.
        addUsers({"Dan~S0"});
        win->mnuActionStatusSet_Click(1);
        win->UpdateGrpLst();
    }

    void statusKeys_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("status");
        QTest::newRow("F2") << int(Qt::Key_F2) << 0;
        QTest::newRow("F3") << int(Qt::Key_F3) << 1;
        QTest::newRow("F4") << int(Qt::Key_F4) << 2;
    }
    void statusKeys() {
        QFETCH(int, key);
        QFETCH(int, status);
        open();
        Run().OwnStatus = 5;
        bar->txtSnd->setPlainText(QStringLiteral("abc"));
        QTest::keyClick(bar->txtSnd, Qt::Key(key));
        QCOMPARE(Run().OwnStatus, qint16(status));
        QCOMPARE(bar->cmdStat->Caption(), frmMain::StatDef(QString::number(status)));
        QCOMPARE(bar->txtSnd->toPlainText(), QStringLiteral("abc"));
    }

    void textIsCapped_data() {
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<int>("wire");
        QTest::newRow("500 letters") << QString(500, QLatin1Char('x')) << 390;
        QTest::newRow("line breaks count two") << QStringLiteral("ab\n").repeated(200) << 390;
        QTest::newRow("short") << QStringLiteral("a\nb") << 4;
    }
    void textIsCapped() {
        QFETCH(QString, pasted);
        QFETCH(int, wire);
        open();
        QGuiApplication::clipboard()->setText(pasted);
        bar->txtSnd->Paste();
        QVERIFY(bar->AlertText().size() <= 390);
        QCOMPARE(bar->AlertText().size(), wire);
        QVERIFY(!bar->AlertText().endsWith(QLatin1Char('\r'))); // a break is never cut in half
        // Typing at the start of a full box changes nothing.
        if (wire == 390) {
            const QString before = bar->txtSnd->toPlainText();
            QTextCursor c = bar->txtSnd->textCursor();
            c.setPosition(0);
            bar->txtSnd->setTextCursor(c);
            QTest::keyClicks(bar->txtSnd, QStringLiteral("zz"));
            QCOMPARE(bar->txtSnd->toPlainText(), before);
        }
    }

    void reloadedBarShowsTheStatus() {
        open();
        win->mnuActionStatusSet_Click(2);
        frmSpeedBar::Unload();
        QTRY_VERIFY(bar.isNull());
        bar = frmSpeedBar::Load();
        bar->OptChange();
        QCOMPARE(bar->cmdStat->Caption(), frmMain::StatDef(QStringLiteral("2")));
        threeUsers();
        QCOMPARE(shownUsers(), (QStringList{"Ann", "Bob", "Carl"}));
    }

    void menusOfTheMainWindow_data() {
        QTest::addColumn<int>("side");
        QTest::newRow("docked at the top") << 0;
        QTest::newRow("docked at the bottom") << 1;
    }
    void menusOfTheMainWindow() {
        QFETCH(int, side);
        Sets().SB_P = qint16(side);
        Run().SpeedBarSlide = 0;
        open();
        QTRY_COMPARE(bar->height(), 65);
        QTest::mouseClick(bar->imgTB, Qt::LeftButton);
        QVERIFY(win->mnuPop->isVisible());
        const QPoint icon = bar->imgTB->mapToGlobal(QPoint(0, 0));
        if (side == 0)
            QCOMPARE(win->mnuPop->pos().y(), icon.y() + bar->imgTB->height()); // below the icon
        else
            QVERIFY(win->mnuPop->geometry().bottom() < icon.y() + 1); // above it
        win->mnuPop->hide();
        QVERIFY(!modAppBar::Dragging()); // the icon is no handle to drag the bar by
        bar->cmdStat_Click();
        QVERIFY(win->mnuActionStatus->isVisible());
        win->mnuActionStatus->hide();
    }

    void nameOnTheStrip() {
        Sets().UCOL = 0x0000FF;
        Sets().INV = 1;
        open();
        QCOMPARE(bar->lblTbUName->text(), QStringLiteral("Me"));
        QCOMPARE(bar->lblTbUName->palette().color(QPalette::Window), QColor(0, 255, 255));
        QCOMPARE(bar->windowTitle(), QStringLiteral("SpeedBar - Talkvane3"));
        QVERIFY(!(bar->windowFlags() & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(bar->windowFlags() & Qt::WindowMaximizeButtonHint));
    }
};

QTEST_MAIN(TestSpeedBar)
#include "tst_frmSpeedBar.moc"
