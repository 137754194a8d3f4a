// The main window's commands: the menu bar and its twins in the tray menu (built from one
// table), the buttons beside and under the list, the soft buttons and the status button.
#include "mainwin/frmMain.h"

#include "controls/SendBox.h"
#include "controls/chameleonButton.h"
#include "conversation/frmAbout.h"
#include "conversation/frmAlert.h"
#include "core/clsFileXfer.h"
#include "core/modAppFnc.h"
#include "core/modDB.h"
#include "core/modGlobals.h"
#include "core/modGroups.h"
#include "core/modLangConst.h"

#include <QApplication>
#include <QMenu>
#include <QPointer>
#include <QTimer>

using modGlobals::Sets;
using modLangConst::lang;

namespace {

using Act = QAction* frmMain::*;

// A menu-bar item and its copy in the tray menu: one handler, one caption key.
struct Twin {
    Act bar;
    const char* barCaption;
    int shortcut; // 0: none
    Act pop;
    const char* popCaption;
    const char* key; // caption key, after "frmMain."
    void (frmMain::*click)();
};

const Twin kTwins[] = {
    {&frmMain::mnuActionAlertAll, "Send &Alert To All", (Qt::CTRL | Qt::Key_A).toCombined(),
     &frmMain::mnuPopAlertAll, "&Send Alert To All", "mnuActionAlertAll", &frmMain::mnuActionAlertAll_Click},
    {&frmMain::mnuActionOptions, "&Options...", (Qt::CTRL | Qt::Key_O).toCombined(), &frmMain::mnuPopOptions,
     "&Options...", "mnuActionOptions", &frmMain::mnuActionOptions_Click},
    {&frmMain::mnuActionHist, "View Alert &History", (Qt::CTRL | Qt::Key_H).toCombined(),
     &frmMain::mnuPopHist, "View Alert &History", "mnuActionHist", &frmMain::mnuActionHist_Click},
    {&frmMain::mnuActionSignOut, "Sign O&ut", 0, &frmMain::mnuPopSignOut, "Sign O&ut", "mnuActionSignOut",
     &frmMain::mnuActionSignOut_Click},
    {&frmMain::mnuActionExitAct, "&Close Talkvane", 0, &frmMain::mnuPopClose, "&Close Talkvane",
     "mnuActionExit", &frmMain::mnuActionExit_Click},
    {&frmMain::mnuHelpHelp, "&Help", 0, &frmMain::mnuPopHelpHelp, "&Help", "mnuHelpHelp",
     &frmMain::mnuHelpHelp_Click},
    {&frmMain::mnuHelpWebUpdate, "Check For &Updates", 0, &frmMain::mnuPopHelpUpdate, "Check For &Updates",
     "mnuHelpWebUpdate", &frmMain::mnuHelpWebUpdate_Click},
    {&frmMain::mnuHelpAbout, "&About...", 0, &frmMain::mnuPopAbout, "&About Talkvane...", "mnuHelpAbout",
     &frmMain::mnuHelpAbout_Click},
};

// Twin submenus: the tray's copy takes the menu bar's caption key.
struct TwinMenu {
    QMenu* frmMain::*bar;
    QMenu* frmMain::*pop;
    const char* key;
};
const TwinMenu kTwinMenus[] = {
    {&frmMain::mnuActionGrp, &frmMain::mnuPopGrp, "mnuActionGrp"},
    {&frmMain::mnuActionStatus, &frmMain::mnuPopStat, "mnuActionStatus"},
    {&frmMain::mnuHelpWeb, &frmMain::mnuPopHelp, "mnuHelpWeb"},
};

QStringList namesOf(const QString& list) {
    return list.split(modGlobals::kSep, Qt::SkipEmptyParts);
}
} // namespace

Slot<SignOutService>& MainWindowHooks::signOut() {
    static SignOutService none;
    static Slot<SignOutService> slot(none);
    return slot;
}

QAction* frmMain::addTwin(QMenu* menu, QAction* frmMain::*member) {
    for (const Twin& t : kTwins) {
        if (t.bar != member && t.pop != member) continue;
        const bool bar = t.bar == member;
        QAction* a = menu->addAction(QString::fromUtf8(bar ? t.barCaption : t.popCaption));
        if (bar && t.shortcut != 0) a->setShortcut(QKeySequence(t.shortcut));
        connect(a, &QAction::triggered, this, t.click);
        this->*member = a;
        return a;
    }
    return nullptr;
}

void frmMain::langMenus() {
    auto t = [](const QString& key) { return modDB::GetDBString(key); };
    auto k = [](const char* name) { return QStringLiteral("frmMain.") + QString::fromLatin1(name); };
    auto idx = [](const char* name, int i) {
        return QStringLiteral("frmMain.%1(%2)").arg(QString::fromLatin1(name)).arg(i);
    };
    for (const Twin& tw : kTwins) {
        const QString text = t(k(tw.key));
        (this->*tw.bar)->setText(text);
        (this->*tw.pop)->setText(text);
    }
    for (const TwinMenu& m : kTwinMenus) {
        (this->*m.bar)->setTitle(t(k(m.key)));
        (this->*m.pop)->setTitle((this->*m.bar)->title());
    }
    for (int i = 0; i < 3; ++i) {
        mnuActionStatusSet[i]->setText(t(idx("mnuActionStatusSet", i)));
        mnuPopStatSet[i]->setText(mnuActionStatusSet[i]->text());
    }
    for (int i = 0; i < 4; ++i) {
        mnuHelpWebA[i]->setText(t(idx("mnuHelpWebA", i)));
        mnuPopHelpWeb[i]->setText(mnuHelpWebA[i]->text());
    }
    mnuAction->setTitle(t(k("mnuAction")));
    mnuActionSel->setTitle(t(k("mnuActionSel")));
    for (int i = 0; i < 6; ++i)
        mnuActionSelS[i]->setText(t(idx("mnuActionSelS", i)));
    mnuView->setTitle(t(k("mnuView")));
    mnuViewSideBar->setText(t(QStringLiteral("mnuSideBar")));
    mnuViewMove->setTitle(t(k("mnuViewMove")));
    for (int i = 0; i < 5; ++i)
        mnuViewMoveTo[i]->setText(t(idx("mnuViewMoveTo", i)));
    mnuHelp->setTitle(t(k("mnuHelp")));
    mnuPopShow->setText(t(k("mnuPopShow")));
    mnuPopHide->setText(t(idx("cmdSB", 5)));
}

void frmMain::connectCommands() {
    for (int i = 0; i < 3; ++i)
        connect(mnuPopStatSet[i], &QAction::triggered, this, [this, i] { mnuActionStatusSet_Click(i); });
    for (int i = 0; i < 4; ++i) {
        connect(mnuHelpWebA[i], &QAction::triggered, this, [this, i] { mnuHelpWebA_Click(i); });
        connect(mnuPopHelpWeb[i], &QAction::triggered, this, [this, i] { mnuHelpWebA_Click(i); });
    }
    for (int i = 0; i < 2; ++i)
        connect(cmdBB[i], &chameleonButton::Click, this, [this, i] { cmdBB_Click(i); });
    for (int i = 0; i < 6; ++i)
        connect(cmdSB[i], &chameleonButton::Click, this, [this, i] { cmdSB_Click(i); });
    for (int i = 0; i < 10; ++i) {
        connect(cmdFB[i], &chameleonButton::Click, this, [this, i] { cmdFB_Click(i); });
        connect(mnuPopSoft[i], &QAction::triggered, this, [this, i] { cmdFB_Click(i); });
    }
    connect(cmdStat, &chameleonButton::Click, this, &frmMain::cmdStat_Click);
    connect(mnuActionAlertGrpI[0], &QAction::triggered, this, [this] { mnuActionAlertGrpI_Click(0); });
    connect(mnuPopAlertGrpI[0], &QAction::triggered, this, [this] { mnuActionAlertGrpI_Click(0); });
}

// --- buttons ---------------------------------------------------------------------------------

void frmMain::cmdBB_Click(int index) {
    if (index == 0) mnuActionSelS_Click(1);
    if (index == 1) mnuActionSelS_Click(0);
}

void frmMain::cmdSB_Click(int index) {
    switch (index) {
    case 0:
        mnuActionAlertAll_Click();
        return;
    case 1:
        mnuActionGrp->popup(cmdSB[1]->mapToGlobal(QPoint(0, cmdSB[1]->height())));
        return;
    case 2:
        mnuActionOptions_Click();
        return;
    case 3:
        mnuHelpWebA_Click(0);
        return;
    case 4:
        mnuActionSignOut_Click();
        return;
    case 5:
        // Minimised, the window goes into the tray (the resize handler).
        setWindowState((windowState() & ~Qt::WindowActive) | Qt::WindowMinimized);
        return;
    default:
        return;
    }
}

void frmMain::cmdStat_Click() {
    mnuActionStatus->popup(cmdStat->mapToGlobal(QPoint(0, cmdStat->height())));
}

// --- menu commands -----------------------------------------------------------------------------

void frmMain::mnuActionSignOut_Click() {
    if (modAppFnc::ShowMsg(lang("Main_SignOutMsg"), 1, 4) != 0) return;
    // The sign-out closes this window: it runs after this handler, never inside its event.
    static bool queued = false;
    if (queued) return;
    queued = true;
    QTimer::singleShot(0, qApp, [] {
        queued = false;
        MainWindowHooks::signOut()->Restart();
    });
}

void frmMain::mnuHelpAbout_Click() {
    static QPointer<frmAbout> about;
    if (!about) about = new frmAbout;
    about->show();
    about->raise();
}

void frmMain::mnuHelpHelp_Click() {
    modAppFnc::RunHelp();
}

void frmMain::mnuHelpWebUpdate_Click() {
    modAppFnc::RunUpdate();
}

void frmMain::mnuHelpWebA_Click(int index) {
    if (index < 0 || index >= int(mnuHelpWebA.size())) return;
    modAppFnc::OpenLink(mnuHelpWebA[index]->data().toString());
}

QString frmMain::onlineMembers(const QString& members) {
    QString to;
    for (const QString& n : namesOf(members))
        if (IsOnLine(n)) to += n + modGlobals::Sep();
    if (to.isEmpty()) modAppFnc::ShowMsg(lang("Main_NoGrpUsersOnLine"), 0, 3);
    return to;
}

void frmMain::mnuActionAlertGrpI_Click(int index) {
    if (index < 0 || index >= int(mnuActionAlertGrpI.size())) return;
    const QString to = onlineMembers(mnuActionAlertGrpI[std::size_t(index)]->data().toString());
    if (!to.isEmpty()) modAppFnc::NewAlertWindow(to, false);
}

void frmMain::mnuActionAlertAll_Click() {
    modAppFnc::NewAlertWindow(QStringLiteral("(All)") + modGlobals::Sep(), false);
}

void frmMain::mnuActionSelS_Click(int index) {
    if (index < 0 || index > 5) return;
    // The selection is read once, before any message: users come and go while one is open.
    struct Chosen {
        QString name, status;
    };
    std::vector<Chosen> selected;
    for (int i = 0; i < lstUsersList.ListCount(); ++i)
        if (recordField(i, 5) == QLatin1String("1"))
            selected.push_back({lstUsersList.List(i), GetUserInfo(lstUsersList.List(i), 3).toString()});
    QPointer<frmMain> self(this);
    QStringList admitted;
    for (const Chosen& c : selected) {
        bool in = true;
        switch (index) {
        case 0:
        case 2:
            in = c.status != QLatin1String("2");
            break;
        case 1:
            if (modAppFnc::UserInChat(c.name)) {
                modAppFnc::ShowMsg(c.name + lang("Main_UserInChat"), 0, 3);
                if (!self) return;
                in = false;
            } else {
                in = c.status == QLatin1String("0");
            }
            break;
        default:
            break;
        }
        if (in) admitted << c.name;
    }
    // Whoever left while a message was open is not handed on.
    QString list;
    for (const QString& n : admitted)
        if (IsOnLine(n)) list += n + modGlobals::Sep();
    if (list.isEmpty()) {
        const QString text = index == 1
                                 ? lang("Main_SelUserMsg") + QStringLiteral("\r\n") + lang("Main_SelUserMsg2")
                                 : lang("Main_SelUserMsg");
        modAppFnc::ShowMsg(text, 0, 3);
        return;
    }
    switch (index) {
    case 0:
        modAppFnc::NewAlertWindow(list, false);
        return;
    case 1:
        modAppFnc::LoadChatWindow(list);
        return;
    case 2:
        modAppFnc::SendFileTo(list, this);
        return;
    case 3:
        InvBlock(list);
        return;
    default:
        modAppFnc::RequestUserInfo(list, index - 4);
        return;
    }
}

void frmMain::cmdFB_Click(int index) {
    if (index < 0 || index > 9) return;
    const modGlobals::SoftButton b = Sets().FB[std::size_t(index)]; // a copy: messages let events run
    QString to;
    if (b.target == QLatin1String("(All)")) {
        to = QStringLiteral("(All)") + modGlobals::Sep();
    } else {
        QStringList members;
        for (const modGroups::Group& g : modGroups::Read(Sets().GRPS))
            if (modAppFnc::SameNoCase(g.name, b.target))
                members = g.members; // a later line replaces an earlier one
        if (members.isEmpty()) {
            const QString text = lang("Main_GrpDoseNotExist");
            modAppFnc::ShowMsg(modAppFnc::GetField(text, 1, QLatin1Char('|')) + b.target +
                                   modAppFnc::GetField(text, 2, QLatin1Char('|')),
                               0, 3);
            return;
        }
        to = onlineMembers(modGroups::UserList(members));
        if (to.isEmpty()) return;
    }
    const bool now = b.sendNow != 0;
    QPointer<frmAlert> alert = modAppFnc::NewAlertWindow(to, now);
    if (!alert) return;
    alert->txtMsg->SetText(b.text);
    if (now && alert) alert->cmdSnd_Click();
}
