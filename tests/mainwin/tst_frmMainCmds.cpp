// The main window's commands: the menu bar and its tray twins, sign-out, moving and hiding the
// window, soft buttons and group alerts, the selection actions. The screen is an offscreen one
// whose work area does not start at 0,0.
#include "controls/SendBox.h"
#include "controls/chameleonButton.h"
#include "conversation/frmAbout.h"
#include "conversation/frmAlert.h"
#include "conversation/frmChat.h"
#include "core/clsChat.h"
#include "core/clsFileXfer.h"
#include "core/frmImgs.h"
#include "core/modAppFnc.h"
#include "core/modDB.h"
#include "core/modGlobals.h"
#include "core/modLangConst.h"
#include "core/modNetCmds.h"
#include "mainwin/frmMain.h"
#include "platform/Twips.h"
#include "support/Headless.h"
#include "support/MainWindowFixture.h"
#include "support/Screenshot.h"
#include "support/TrayRecorder.h"

#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QPointer>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

using modGlobals::Run;
using modGlobals::Sets;

namespace {
const QString S(modGlobals::kSep);

// The screen's place on the desktop, in pixels at 96 DPI.
constexpr int kScreenX = 150, kScreenY = 60, kScreenW = 1280, kScreenH = 900;

struct RestartCounter : SignOutService {
    int restarts = 0;
    void Restart() override { ++restarts; }
};

template <class W> std::vector<W*> windowsOf() {
    std::vector<W*> out;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* x = qobject_cast<W*>(w)) out.push_back(x);
    return out;
}
} // namespace

class TestMainCommands : public QObject, TestEnv::MainWindowFixture {
    Q_OBJECT
    TestEnv::Headless env{TestEnv::Loopback};
    TrayRecorder tray;
    RestartCounter restarter;
    Slot<SignOutService>::Override restartIn{MainWindowHooks::signOut(), restarter};
    QStringList shownTexts() const {
        QStringList out;
        for (const auto& m : env.messages.shown)
            out << m.text;
        return out;
    }

  private slots:
    void initTestCase() {
        QCOMPARE(QGuiApplication::primaryScreen()->availableGeometry(),
                 QRect(kScreenX, kScreenY, kScreenW, kScreenH));
        modLangConst::SetDefaultStrings();
        frmChat::Install();
        clsFileXfer::Install();
    }
    void init() {
        env.reset();
        restarter.restarts = 0;
        Sets().UNAME = QStringLiteral("Me");
        Sets().SB_U = 0;
    }
    void cleanup() {
        QVERIFY(closeMain());
        for (frmAbout* a : windowsOf<frmAbout>())
            delete a;
        for (frmAlert* a : windowsOf<frmAlert>())
            delete a;
        for (frmChat* c : windowsOf<frmChat>())
            delete c;
    }

    // --- the menu bar and its tray twins -------------------------------------------------------

    void twinsRunOneHandler_data() {
        QTest::addColumn<QString>("twin");
        QTest::addColumn<QString>("shown"); // the first message it shows
        QTest::newRow("sign out") << "signout"
                                  << "Are you sure you want to sign out?";
        QTest::newRow("close") << "close" << lang("Main_CloseMsg");
        QTest::newRow("help") << "help"
                              << "Unable to locate Help EXE.";
        QTest::newRow("updates") << "update"
                                 << "Unable to locate AutoUpdate.";
    }
    void twinsRunOneHandler() {
        QFETCH(QString, twin);
        QFETCH(QString, shown);
        openMain();
        const std::map<QString, std::pair<QAction*, QAction*>> twins = {
            {"signout", {win->mnuActionSignOut, win->mnuPopSignOut}},
            {"close", {win->mnuActionExitAct, win->mnuPopClose}},
            {"help", {win->mnuHelpHelp, win->mnuPopHelpHelp}},
            {"update", {win->mnuHelpWebUpdate, win->mnuPopHelpUpdate}},
        };
        const auto [bar, pop] = twins.at(twin);
        for (QAction* a : {bar, pop}) {
            env.messages.shown.clear();
            env.messages.answers = {1, 1};
            a->trigger();
            QVERIFY2(!env.messages.shown.empty(), qPrintable(a->text()));
            QVERIFY2(env.messages.shown[0].text.startsWith(shown), qPrintable(env.messages.shown[0].text));
        }
        QVERIFY(win); // No to every question: still there
        QCOMPARE(restarter.restarts, 0);
    }

    void trayStatusAndAboutTwins() {
        openMain();
        win->mnuPopStatSet[1]->trigger();
        QVERIFY(win->mnuActionStatusSet[1]->isChecked() && win->mnuPopStatSet[1]->isChecked());
        QVERIFY(!win->mnuActionStatusSet[0]->isChecked() && !win->mnuPopStatSet[0]->isChecked());
        QCOMPARE(Run().OwnStatus, qint16(1));
        win->mnuPopAbout->trigger();
        win->mnuHelpAbout->trigger();
        QCOMPARE(windowsOf<frmAbout>().size(), std::size_t(1)); // one About window, shown again
        QVERIFY(windowsOf<frmAbout>()[0]->isVisible());
    }

    void twinsTakeOneCaptionKey() {
        const QString path = env.home.filePath(QStringLiteral("lang.qxl"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("frmMain.mnuActionSignOut|Abmelden\r\nfrmMain.mnuHelpAbout|Info\r\n"
                "frmMain.mnuActionStatusSet(2)|Weg\r\nfrmMain.mnuActionGrp|Gruppe\r\n");
        f.close();
        QVERIFY(modDB::LoadDB(path));
        openMain();
        QVERIFY(modDB::LoadDB(QString()));
        QCOMPARE(win->mnuActionSignOut->text(), QStringLiteral("Abmelden"));
        QCOMPARE(win->mnuPopSignOut->text(), QStringLiteral("Abmelden"));
        QCOMPARE(win->mnuHelpAbout->text(), QStringLiteral("Info"));
        QCOMPARE(win->mnuPopAbout->text(), QStringLiteral("Info"));
        QCOMPARE(win->mnuActionStatusSet[2]->text(), QStringLiteral("Weg"));
        QCOMPARE(win->mnuPopStatSet[2]->text(), QStringLiteral("Weg"));
        QCOMPARE(win->mnuActionGrp->title(), QStringLiteral("Gruppe"));
        QCOMPARE(win->mnuPopGrp->title(), QStringLiteral("Gruppe"));
    }

    void trayMenuOrder() {
        openMain();
        QStringList shown;
        for (QAction* a : win->mnuPop->actions())
            if (a->isVisible()) shown << (a->isSeparator() ? QStringLiteral("-") : a->text());
        QCOMPARE(shown, QStringList({"&About Talkvane...", "Help On The &Web", "-", "View Alert &History",
                                     "&Options...", "Set My &Status", "-", "Send Alert To &Group",
                                     "&Send Alert To All", "-", "&Close Talkvane", "Sign O&ut",
                                     "Show &Main Window"}));
    }

    // --- sign-out -------------------------------------------------------------------------------

    void signOutRestartsAfterTheHandler_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("restarts");
        QTest::newRow("no") << 1 << 0;
        QTest::newRow("yes") << 0 << 1;
    }
    void signOutRestartsAfterTheHandler() {
        QFETCH(int, answer);
        QFETCH(int, restarts);
        openMain();
        env.messages.answers = {answer};
        win->cmdSB[4]->Click();
        QCOMPARE(env.messages.shown.size(), std::size_t(1));
        QCOMPARE(env.messages.shown[0].buttons, 1);
        QCOMPARE(env.messages.shown[0].icon, 4);
        QCOMPARE(restarter.restarts, 0); // never inside the click
        QTRY_COMPARE(restarter.restarts, restarts);
        TestEnv::settle();
        QCOMPARE(restarter.restarts, restarts); // once
    }

    // --- moving and hiding ----------------------------------------------------------------------

    void moveWindow_data() {
        QTest::addColumn<int>("index");
        QTest::newRow("top left") << 0;
        QTest::newRow("top right") << 1;
        QTest::newRow("bottom left") << 2;
        QTest::newRow("bottom right") << 3;
        QTest::newRow("centre") << 4;
    }
    void moveWindow() {
        QFETCH(int, index);
        openMain();
        const QSize outer = win->frameGeometry().size();
        const int w = Twips::fromPx(outer.width(), 96), h = Twips::fromPx(outer.height(), 96);
        const int left = kScreenX * 15, top = kScreenY * 15;
        const int right = (kScreenX + kScreenW) * 15, bottom = (kScreenY + kScreenH) * 15;
        const QPoint want[5] = {
            {left, top},
            {right - w, top},
            {left, bottom - h},
            {right - w, bottom - h},
            {right / 2 - w / 2, bottom / 2 - h / 2}, // by the right and bottom edges alone
        };
        win->mnuViewMoveTo[index]->trigger();
        QTRY_COMPARE(win->frameGeometry().topLeft(),
                     QPoint(Twips::toPx(want[index].x(), 96), Twips::toPx(want[index].y(), 96)));
    }

    void hideButtonAndBack_data() {
        QTest::addColumn<bool>("maximised");
        QTest::newRow("normal") << false;
        QTest::newRow("maximised") << true;
    }
    void hideButtonAndBack() {
        QFETCH(bool, maximised);
        openMain();
        if (maximised) win->showMaximized();
        QTRY_COMPARE(bool(win->windowState() & Qt::WindowMaximized), maximised);
        win->cmdSB[5]->Click();
        QTRY_VERIFY(win->isHidden());
        win->TBI_LeftDbClick(1);
        QTRY_VERIFY(win->isVisible());
        QVERIFY(!(win->windowState() & Qt::WindowMinimized));
        QCOMPARE(bool(win->windowState() & Qt::WindowMaximized), maximised);
    }

    // --- soft buttons and groups ----------------------------------------------------------------

    void softButtonRefusals_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("groups"); // "~" the separator, "|" a line end
        QTest::addColumn<QString>("shown");
        const QString none = lang("Main_NoGrpUsersOnLine");
        QTest::newRow("missing") << "Team"
                                 << "Other~Ann~|"
                                 << "The group Team dose not exist.";
        QTest::newRow("everybody in other letters is a group") << "(all)"
                                                               << ""
                                                               << "The group (all) dose not exist.";
        QTest::newRow("none on the line") << "Team"
                                          << "Team|"
                                          << "The group Team dose not exist.";
        QTest::newRow("last line wins, empty") << "team"
                                               << "Team~Ann~|TEAM~|"
                                               << "The group team dose not exist.";
        QTest::newRow("nobody on line") << "Team"
                                        << "Team~Zed~Yan~|" << none;
    }
    void softButtonRefusals() {
        QFETCH(QString, target);
        QFETCH(QString, groups);
        QFETCH(QString, shown);
        Sets().GRPS = groups.replace(QLatin1Char('~'), S).replace(QLatin1Char('|'), QStringLiteral("\r\n"));
        Sets().FB[3] = {target, 1, QStringLiteral("hello")};
        openMain();
        addUsers({"Ann~B", "Bob~B"});
        win->cmdFB[3]->Click();
        QCOMPARE(shownTexts(), QStringList{shown});
        QCOMPARE(env.messages.shown[0].icon, 3);
    }

    void groupWithNobodyOnLine() {
        Sets().GRPS = QStringLiteral("Team") + S + QStringLiteral("Zed") + S + QStringLiteral("\r\n");
        openMain();
        win->UpdateGrpLst();
        win->mnuPopAlertGrpI[0]->trigger();
        QCOMPARE(shownTexts(), QStringList{lang("Main_NoGrpUsersOnLine")});
        win->mnuActionAlertGrpI_Click(5); // no such item (the menus were rebuilt): nothing
        QCOMPARE(env.messages.shown.size(), std::size_t(1));
    }

    void softButtonsAndTrayCopies_data() {
        QTest::addColumn<int>("fbe");
        QTest::newRow("tray copies off") << 0;
        QTest::newRow("tray copies on") << 1;
    }
    void softButtonsAndTrayCopies() {
        QFETCH(int, fbe);
        Sets().FBe = static_cast<qint16>(fbe);
        Sets().FB[0] = {QStringLiteral("(All)"), 0, QStringLiteral("a")};
        Sets().FB[7] = {QStringLiteral("Team"), 0, QStringLiteral("b")};
        openMain();
        for (int i = 0; i < 10; ++i) {
            const bool used = i == 0 || i == 7;
            QCOMPARE(win->cmdFB[i]->isVisible(), used);
            QCOMPARE(win->mnuPopSoft[i]->isVisible(), used && fbe == 1);
            QCOMPARE(win->mnuPopSoft[i]->text(), QStringLiteral("&%1").arg(i + 1));
        }
        QCOMPARE(win->mnuPopSoftSep->isVisible(), fbe == 1);
        Sets().FB[7] = {};
        win->RefFBtn(false, true);
        QVERIFY(!win->cmdFB[7]->isVisible());
        QVERIFY(!win->mnuPopSoft[7]->isVisible());
        QCOMPARE(win->mnuPopSoftSep->isVisible(), fbe == 1);
        // The tray copy runs the same soft button.
        Sets().FB[0] = {QStringLiteral("Nobody"), 0, QStringLiteral("a")};
        win->mnuPopSoft[0]->trigger();
        QCOMPARE(shownTexts(), QStringList{"The group Nobody dose not exist."});
        saveScreenshot(win, QStringLiteral("frmMain-softbuttons-%1").arg(fbe));
    }

    // --- selection actions ----------------------------------------------------------------------

    void selectionRefusals_data() {
        QTest::addColumn<int>("action");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("shown");
        const QString sel = lang("Main_SelUserMsg");
        QTest::newRow("alert to an away user") << 0 << "2" << sel;
        QTest::newRow("chat with a busy user") << 1 << "1" << sel + "\r\n" + lang("Main_SelUserMsg2");
        QTest::newRow("chat with an away user") << 1 << "2" << sel + "\r\n" + lang("Main_SelUserMsg2");
        QTest::newRow("file to an away user") << 2 << "2" << sel;
    }
    void selectionRefusals() {
        QFETCH(int, action);
        QFETCH(QString, status);
        QFETCH(QString, shown);
        openMain();
        addUsers({"Ann~S" + status});
        win->ListSetSel(0, QStringLiteral("1"));
        win->mnuActionSelS[action]->trigger();
        QCOMPARE(shownTexts(), QStringList{shown});
        QCOMPARE(env.messages.shown[0].icon, 3);
    }

    void nothingSelected() {
        openMain();
        addUsers({"Ann~B"});
        for (int action = 0; action < 6; ++action)
            win->mnuActionSelS_Click(action);
        QCOMPARE(env.messages.shown.size(), std::size_t(6));
        QCOMPARE(Sets().BLC, QString());
    }

    void blockTurnsTheSelectionOver() {
        openMain();
        addUsers({"Ann~S2", "Bob~B", "Cy~B"});
        Sets().BLC = QStringLiteral("Bob") + S;
        win->ListSetSel(0, QStringLiteral("1"));
        win->ListSetSel(1, QStringLiteral("1"));
        win->mnuActionSelS[3]->trigger(); // whatever the status
        QCOMPARE(Sets().BLC, QStringLiteral("Ann") + S);
        QVERIFY(env.messages.shown.empty());
    }

    // --- what the commands open ---------------------------------------------------------------

    void selectionActions_data() {
        QTest::addColumn<int>("action");
        QTest::addColumn<QString>("opens"); // "alert <UTo>", "room <members>", "sent <datagrams>"
        QTest::newRow("alert skips the away user") << 0 << "alert Ann~Cy~";
        QTest::newRow("chat takes the online users") << 1 << "room Ann|Cy";
        QTest::newRow("phone number of everybody") << 4 << "sent RAnn~P|RBob~P|RCy~P";
        QTest::newRow("logon name of everybody") << 5 << "sent RAnn~U|RBob~U|RCy~U";
        QTest::newRow("file to two users is refused") << 2 << "file";
    }
    void selectionActions() {
        QFETCH(int, action);
        QFETCH(QString, opens);
        opens.replace(QLatin1Char('~'), S);
        openMain();
        clsChat ear;
        ear.Init(QStringLiteral("QX3"));
        addUsers({"Ann~S0", "Bob~S2", "Cy~S0", "Dee~S0"});
        for (int i = 0; i < 3; ++i)
            win->ListSetSel(i, QStringLiteral("1"));
        ear.GetMessages();
        win->mnuActionSelS[action]->trigger();
        if (opens == QLatin1String("file")) {
            // Ann and Cy pass the rule (Bob is away); a file goes to one user only.
            QCOMPARE(shownTexts(), QStringList{lang("FileT_O")});
            QCOMPARE(env.dialogs.fileCalls, 0);
            return;
        }
        QVERIFY(env.messages.shown.empty());
        if (opens.startsWith(QLatin1String("alert "))) {
            QCOMPARE(windowsOf<frmAlert>().size(), std::size_t(1));
            QCOMPARE(windowsOf<frmAlert>()[0]->UTo(), opens.mid(6));
            QVERIFY(windowsOf<frmAlert>()[0]->isVisible());
        } else if (opens.startsWith(QLatin1String("room "))) {
            QCOMPARE(windowsOf<frmChat>().size(), std::size_t(1));
            QCOMPARE(windowsOf<frmChat>()[0]->Members().join(QLatin1Char('|')), opens.mid(5));
        } else {
            QStringList sent;
            QTRY_VERIFY(([&] {
                for (const QString& m : ear.GetMessages())
                    if (m.mid(1).startsWith(QStringLiteral("Me") + S + QLatin1Char('R'))) sent << m.mid(4);
                return sent.size() >= 3;
            }()));
            QCOMPARE(sent.join(QLatin1Char('|')), opens.mid(5));
        }
    }

    void fileToTheOneSelectedUser() {
        openMain();
        clsChat ear;
        ear.Init(QStringLiteral("QX3"));
        addUsers({"Ann~S1", "Bob~S2"});
        win->ListSetSel(0, QStringLiteral("1"));
        win->ListSetSel(1, QStringLiteral("1"));
        ear.GetMessages();
        env.dialogs.answer = {QStringLiteral("/tmp/some file"), 1};
        win->mnuActionSelS[2]->trigger(); // Bob is away: the file is offered to Ann alone
        QCOMPARE(env.dialogs.fileCalls, 1);
        QStringList offers;
        QTRY_VERIFY(([&] {
            for (const QString& m : ear.GetMessages())
                if (m.mid(1).startsWith(QStringLiteral("Me") + S + QLatin1Char('1'))) offers << m.mid(4);
            return !offers.isEmpty();
        }()));
        QCOMPARE(offers, QStringList{"1Ann" + S + "/tmp/some file" + S});
    }

    void chatLeavesOutWhoIsInARoom() {
        openMain();
        addUsers({"Ann~S0", "Bob~S0"});
        modAppFnc::LoadChatWindow(QStringLiteral("Ann") + S);
        QCOMPARE(windowsOf<frmChat>().size(), std::size_t(1));
        win->ListSetSel(0, QStringLiteral("1"));
        win->ListSetSel(1, QStringLiteral("1"));
        win->cmdBB[0]->Click();
        QCOMPARE(shownTexts(), QStringList{"Ann" + lang("Main_UserInChat")});
        QCOMPARE(windowsOf<frmChat>().size(), std::size_t(2));
        QStringList rooms;
        for (frmChat* c : windowsOf<frmChat>())
            rooms << c->Members().join(QLatin1Char('|'));
        rooms.sort();
        QCOMPARE(rooms, QStringList({"Ann", "Bob"}));
    }

    void aUserLeavingWhileAMessageIsOpen() {
        openMain();
        addUsers({"Ann~S0", "Bob~S0"});
        modAppFnc::LoadChatWindow(QStringLiteral("Ann") + S);
        win->ListSetSel(0, QStringLiteral("1"));
        win->ListSetSel(1, QStringLiteral("1"));
        env.messages.whileOpen = [this] {
            env.messages.whileOpen = nullptr;
            addUsers({"Bob~E"}); // Bob signs out while Ann's message is open
        };
        win->mnuActionSelS[1]->trigger();
        QCOMPARE(shownTexts(), QStringList({"Ann" + lang("Main_UserInChat"),
                                            lang("Main_SelUserMsg") + "\r\n" + lang("Main_SelUserMsg2")}));
        QCOMPARE(windowsOf<frmChat>().size(), std::size_t(1)); // no room for a user who left
    }

    void softButtonsOpen_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("now");
        QTest::addColumn<QString>("to");
        QTest::newRow("everybody") << "(All)" << false << "(All)~";
        QTest::newRow("group, last line wins") << "team" << false << "Cy~Ann~";
        QTest::newRow("send at once") << "Team" << true << "Cy~Ann~";
    }
    void softButtonsOpen() {
        QFETCH(QString, target);
        QFETCH(bool, now);
        QFETCH(QString, to);
        to.replace(QLatin1Char('~'), S);
        Sets().GRPS = QStringLiteral("Team") + S + "Ann" + S + "\r\n" + "TEAM" + S + "Cy" + S + "Zed" + S +
                      "Ann" + S + "\r\n";
        Sets().FB[2] = {target, qint16(now ? 1 : 0), QStringLiteral("hello")};
        openMain();
        clsChat ear;
        ear.Init(QStringLiteral("QX3"));
        addUsers({"Ann~S0", "Cy~S0"});
        ear.GetMessages();
        win->cmdFB[2]->Click();
        QVERIFY(env.messages.shown.empty());
        if (now) {
            QTRY_VERIFY(windowsOf<frmAlert>().empty());
            QStringList alerts;
            QTRY_VERIFY(([&] {
                for (const QString& m : ear.GetMessages())
                    if (m.mid(1).startsWith(QStringLiteral("Me") + S + QLatin1Char('A')))
                        alerts << m.mid(4); // from "A"
                return alerts.size() >= 2;
            }()));
            QCOMPARE(alerts, QStringList({"ACy" + S + "hello" + S, "AAnn" + S + "hello" + S})); // one each
            return;
        }
        QCOMPARE(windowsOf<frmAlert>().size(), std::size_t(1));
        frmAlert* a = windowsOf<frmAlert>()[0];
        QCOMPARE(a->UTo(), to);
        QCOMPARE(a->txtMsg->Text(), QStringLiteral("hello"));
        QVERIFY(a->isVisible());
    }

  private:
    static QString lang(const char* key) { return modLangConst::Get(QString::fromLatin1(key)); }
};

int main(int argc, char** argv) {
    // An offscreen screen placed away from 0,0, so that the work area's own edges count.
    QTemporaryDir dir;
    const QString config = dir.filePath(QStringLiteral("screens.json"));
    QFile f(config);
    if (!f.open(QIODevice::WriteOnly)) return 2;
    f.write(QStringLiteral("{\"screens\": [{\"name\": \"Offset\", \"x\": %1, \"y\": %2, \"width\": %3, "
                           "\"height\": %4, \"logicalDpi\": 96, \"logicalBaseDpi\": 96, \"dpr\": 1}]}")
                .arg(kScreenX)
                .arg(kScreenY)
                .arg(kScreenW)
                .arg(kScreenH)
                .toUtf8());
    f.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.toLocal8Bit());
    QApplication app(argc, argv);
    TestMainCommands t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_frmMainCmds.moc"
