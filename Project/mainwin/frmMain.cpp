// The main window: the list of everybody heard, its drawing and mouse, the menus and commands,
// the skin and layout, the close and the tray icon.
#include "mainwin/frmMain.h"

#include "controls/SendBox.h"
#include "controls/chameleonButton.h"
#include "controls/ctlTaskBarIcon.h"
#include "conversation/frmAbout.h"
#include "conversation/frmAlert.h"
#include "conversation/frmMsgHist.h"
#include "core/ChatRooms.h"
#include "core/InputBox.h"
#include "core/PeerInfo.h"
#include "core/SkinAtlas.h"
#include "core/SkinnableWindow.h"
#include "core/clsFileXfer.h"
#include "core/frmImgs.h"
#include "core/modAppFnc.h"
#include "core/modDB.h"
#include "core/modGDI.h"
#include "core/modGlobals.h"
#include "core/modGroups.h"
#include "core/modLangConst.h"
#include "core/modNetCmds.h"
#include "core/modSettings.h"
#include "core/modSkin.h"
#include "core/modTerminate.h"
#include "mainwin/SpeedBarLink.h"
#include "mainwin/frmMainList.h"
#include "mainwin/frmOpt.h"
#include "platform/Colors.h"
#include "platform/Input.h"
#include "platform/LineBreak.h"
#include "platform/LoadedWindow.h"
#include "platform/OuterGeometry.h"
#include "platform/Twips.h"
#include "platform/WindowShow.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLoggingCategory>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTimer>
#include <cmath>

using modGlobals::Run;
using modGlobals::Sets;

using modLangConst::lang;

// Off unless asked for (QT_LOGGING_RULES="qx3.users.info=true"): every change of the user list.
Q_LOGGING_CATEGORY(lcUsers, "qx3.users", QtWarningMsg)

namespace {
LoadedWindow<frmMain> gLoaded;
LoadedWindow<frmAbout> gAbout; // the About command shows one at a time

// Sets a check mark without running what its change does.
void setChecked(QAction* action, bool on) {
    const QSignalBlocker quiet(action);
    action->setChecked(on);
}

const QString kWebLinks[4] = {
    QStringLiteral("http://www.example.com/"),
    QStringLiteral("http://www.example.com/support/"),
    QStringLiteral("mailto:support@example.com"),
    QStringLiteral("http://www.example.com/bugs/"),
};

constexpr quint32 kListBack = 0xFFFFFF;

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

frmMain* frmMain::Loaded() {
    return gLoaded.Loaded();
}

frmMain::frmMain(QWidget* parent) : QMainWindow(parent) {
    gLoaded.Hold(this);
    MainWindowLink::SetHolder([] { return gLoaded.Loaded(); });
    SkinWindows::Register(this, SkinnableWindow::Kind::Main);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Talkvane3"));
    outer_ = new OuterGeometry(this);
    outer_->FrameKnown = [this] { applyMinimumSize(); };
    outer_->Applied = [this] {
        if (centreOnShow_) centreInWorkArea();
        centreOnShow_ = false;
    };
    outer_->WaitEnded = [this] { centreOnShow_ = false; };
    buildMenus();
    buildControls();
    Form_Load();
    connectCommands();
}

frmMain::~frmMain() {
    gLoaded.Release(this);
}

void frmMain::buildMenus() {
    auto item = [](QMenu* m, const char* caption, QKeySequence key = {}) {
        QAction* a = m->addAction(QString::fromUtf8(caption));
        if (!key.isEmpty()) a->setShortcut(key);
        return a;
    };
    mnuAction = menuBar()->addMenu(QStringLiteral("&Action"));
    addTwin(mnuAction, &frmMain::mnuActionAlertAll);
    mnuActionSel = mnuAction->addMenu(QStringLiteral("&Selection"));
    const char* sel[6] = {"Send &Alert", "Start Live &Chat",      "Send &File...",
                          "&Block",      "Request &Phone Number", "Request Real User &Name"};
    const QKeySequence selKeys[6] = {Qt::Key_F5, Qt::Key_F6, Qt::Key_F7, Qt::Key_F8, {}, {}};
    for (int i = 0; i < 6; ++i) {
        mnuActionSelS[i] = item(mnuActionSel, sel[i], selKeys[i]);
        connect(mnuActionSelS[i], &QAction::triggered, this, [this, i] { mnuActionSelS_Click(i); });
    }
    mnuActionGrp = mnuAction->addMenu(QStringLiteral("Send Alert To &Group"));
    mnuActionAlertGrpI.push_back(mnuActionGrp->addAction(QStringLiteral("[]")));
    mnuAction->addSeparator();
    mnuActionStatus = mnuAction->addMenu(QStringLiteral("Set &My Status"));
    const char* stat[3] = {"&Online", "&Busy", "&Away"};
    const QKeySequence statKeys[3] = {Qt::Key_F2, Qt::Key_F3, Qt::Key_F4};
    for (int i = 0; i < 3; ++i) {
        mnuActionStatusSet[i] = item(mnuActionStatus, stat[i], statKeys[i]);
        mnuActionStatusSet[i]->setCheckable(true);
        connect(mnuActionStatusSet[i], &QAction::triggered, this, [this, i] { mnuActionStatusSet_Click(i); });
    }
    mnuActionStatusSet[0]->setChecked(true);
    addTwin(mnuAction, &frmMain::mnuActionOptions);
    addTwin(mnuAction, &frmMain::mnuActionHist);
    mnuAction->addSeparator();
    addTwin(mnuAction, &frmMain::mnuActionSignOut);
    addTwin(mnuAction, &frmMain::mnuActionExitAct);

    mnuView = menuBar()->addMenu(QStringLiteral("&View"));
    mnuViewSideBar = item(mnuView, "Show &Side Bar", QKeySequence(Qt::CTRL | Qt::Key_S));
    mnuViewSideBar->setCheckable(true);
    mnuViewSideBar->setChecked(true);
    connect(mnuViewSideBar, &QAction::toggled, this, &frmMain::ShowSideBar);
    mnuViewKeepOnTop = item(mnuView, "Keep On &Top", QKeySequence(Qt::CTRL | Qt::Key_T));
    mnuViewKeepOnTop->setCheckable(true);
    connect(mnuViewKeepOnTop, &QAction::toggled, this, &frmMain::KeepOnTop);
    mnuViewMove = mnuView->addMenu(QStringLiteral("&Move Window"));
    const char* moves[5] = {"&Top Left", "T&op Right", "Bottom &Left", "Bottom &Right", "&Center"};
    for (int i = 0; i < 5; ++i) {
        mnuViewMoveTo[i] = item(mnuViewMove, moves[i]);
        connect(mnuViewMoveTo[i], &QAction::triggered, this, [this, i] { mnuViewMoveTo_Click(i); });
    }

    mnuHelp = menuBar()->addMenu(QStringLiteral("&Help"));
    mnuHelpWeb = mnuHelp->addMenu(QStringLiteral("Help On The &Web"));
    const char* web[4] = {"&Orvanta Home", "Online &Support", "Support &Email", "Report A &Bug"};
    for (int i = 0; i < 4; ++i) {
        mnuHelpWebA[i] = item(mnuHelpWeb, web[i]);
        mnuHelpWebA[i]->setData(kWebLinks[i]);
    }
    mnuHelpWeb->addSeparator();
    addTwin(mnuHelpWeb, &frmMain::mnuHelpHelp);
    addTwin(mnuHelpWeb, &frmMain::mnuHelpWebUpdate);
    mnuHelp->addSeparator();
    addTwin(mnuHelp, &frmMain::mnuHelpAbout);

    // The tray menu is never in the menu bar.
    mnuPop = new QMenu(QStringLiteral("POP"), this);
    mnuPopSoft[0] = mnuPop->addAction(QStringLiteral("&1"));
    mnuPopSoft[0]->setVisible(false);
    mnuPopSoftSep = mnuPop->addSeparator();
    mnuPopSoftSep->setVisible(false);
    addTwin(mnuPop, &frmMain::mnuPopAbout);
    mnuPopHelp = mnuPop->addMenu(QStringLiteral("Help On The &Web"));
    mnuPopHelpWeb[0] = mnuPopHelp->addAction(QStringLiteral("{}"));
    mnuPopHelpSep1 = mnuPopHelp->addSeparator();
    addTwin(mnuPopHelp, &frmMain::mnuPopHelpHelp);
    addTwin(mnuPopHelp, &frmMain::mnuPopHelpUpdate);
    mnuPop->addSeparator();
    addTwin(mnuPop, &frmMain::mnuPopHist);
    addTwin(mnuPop, &frmMain::mnuPopOptions);
    mnuPopStat = mnuPop->addMenu(QStringLiteral("Set My &Status"));
    for (int i = 0; i < 3; ++i) {
        mnuPopStatSet[i] = mnuPopStat->addAction(QString::fromUtf8(stat[i]));
        mnuPopStatSet[i]->setCheckable(true);
    }
    mnuPop->addSeparator();
    mnuPopGrp = mnuPop->addMenu(QStringLiteral("Send Alert To &Group"));
    mnuPopAlertGrpI.push_back(mnuPopGrp->addAction(QStringLiteral("[]")));
    addTwin(mnuPop, &frmMain::mnuPopAlertAll);
    mnuPop->addSeparator();
    addTwin(mnuPop, &frmMain::mnuPopClose);
    addTwin(mnuPop, &frmMain::mnuPopSignOut);
    mnuPopShow = mnuPop->addAction(QStringLiteral("Show &Main Window"));
    mnuPopHide = mnuPop->addAction(QStringLiteral("&Hide"));
    mnuPopHide->setVisible(false);
}

void frmMain::buildControls() {
    body = new QWidget(this);
    body->setAutoFillBackground(true);
    setCentralWidget(body);
    body->installEventFilter(this);
    picList = new frmMainList(this);
    vsbLst = new QScrollBar(Qt::Vertical, picList);
    vsbLst->setRange(0, 0);
    vsbLst->hide();
    connect(vsbLst, &QScrollBar::valueChanged, this, [this] { UListChange(); });
    lblStat = new QLabel(body);
    lblStat->setTextFormat(Qt::PlainText);
    lblStat->setGeometry(25, 0, 200, 15);
    lblUName = new QLabel(body);
    lblUName->setTextFormat(Qt::PlainText); // the own name is shown literally
    lblUName->setGeometry(38, 2, 240, 16);
    cmdStat = chameleonButton::LaidOut(body);
    cmdStat->SetCaption(QStringLiteral("Status <stat>"));
    cmdStat->setProperty("Tag", QStringLiteral("Status "));
    cmdStat->setGeometry(38, 17, 130, 18);
    const char* bb[2] = {"&Chat", "&Alert"};
    for (int i = 0; i < 2; ++i) {
        cmdBB[i] = chameleonButton::LaidOut(body);
        cmdBB[i]->SetCaption(QString::fromLatin1(bb[i]));
        cmdBB[i]->resize(60, 25);
    }
    const char* sb[6] = {
        "Send Alert To A&ll", "Send Alert To &Group", "&Options", "www.example.com", "&Sign Out", "&Hide"};
    for (int i = 0; i < 6; ++i) {
        cmdSB[i] = chameleonButton::LaidOut(body);
        cmdSB[i]->SetCaption(QString::fromLatin1(sb[i]));
        cmdSB[i]->resize(125, 25);
    }
    cmdFB[0] = chameleonButton::LaidOut(body);
    cmdFB[0]->SetCaption(QStringLiteral("&1"));
    cmdFB[0]->resize(25, 25);
    tmrRefresh = new QTimer(this);
    connect(tmrRefresh, &QTimer::timeout, this, &frmMain::tmrRefresh_Timer);
    TBI = new ctlTaskBarIcon(this);
    // Trays that draw their own menus send no double click and may forward no right click:
    // the tray offers the menu itself, with the item that brings the window back.
    mnuPop->setDefaultAction(mnuPopShow);
    TBI->SetMenu(mnuPop);
    connect(TBI, &ctlTaskBarIcon::LeftDbClick, this,
            [this](qint16& button, qint16&, float&, float&) { TBI_LeftDbClick(button); });
    connect(TBI, &ctlTaskBarIcon::RightClick, this,
            [this](qint16&, qint16&, float&, float&) { TBI_RightClick(); });
    connect(TBI, &ctlTaskBarIcon::TrayShownChanged, this, &frmMain::trayShownChanged);
    connect(mnuPopShow, &QAction::triggered, this, [this] { TBI_LeftDbClick(1); });
}

void frmMain::Form_Load() {
    auto& s = Sets();
    modAppFnc::WriteLog(QStringLiteral("Starting frmMain_Load"));
    lblUName->setText(s.UNAME);
    QPalette pal = lblUName->palette();
    pal.setColor(QPalette::WindowText, Colors::fromBgr(static_cast<quint32>(s.UCOL) & 0xFFFFFFu));
    lblUName->setPalette(pal);
    QFont f = lblUName->font();
    f.setFamily(s.UFNT);
    lblUName->setFont(f);
    for (int k = 0; k < 4; ++k) {
        mnuHelpWebA[k]->setText(mnuHelpWebA[k]->text() + QLatin1Char('\t') + QLatin1Char('(') +
                                mnuHelpWebA[k]->data().toString() + QLatin1Char(')'));
        if (k > 0) {
            mnuPopHelpWeb[k] = new QAction(mnuPopHelp);
            mnuPopHelp->insertAction(mnuPopHelpSep1, mnuPopHelpWeb[k]);
        }
        mnuPopHelpWeb[k]->setText(mnuHelpWebA[k]->text());
        mnuPopHelpWeb[k]->setData(mnuHelpWebA[k]->data());
    }
    UpdateGrpLst();
    TBI->SetBaseIcon(ctlTaskBarIcon::Picture::FromIcon(frmImgs::Load().trayIcon));
    TBI->SetEnabled(true);
    UListChange();
    for (int k = 1; k < 10; ++k) {
        cmdFB[k] = chameleonButton::LaidOut(body);
        cmdFB[k]->SetCaption(QStringLiteral("&") + QString::number(k + 1));
        cmdFB[k]->resize(cmdFB[0]->size());
    }
    RefFBtn(true, true);
    setChecked(mnuViewKeepOnTop, s.FM_KOT);
    KeepOnTop(s.FM_KOT);
    setChecked(mnuViewSideBar, s.FM_SB);
    applyMinimumSize();
    bool placed = false;
    if (s.FM_PL > -10000) {
        const double dx = Twips::dpiX(this), dy = Twips::dpiY(this);
        const QRect stored(Twips::toPx(s.FM_PL, dx), Twips::toPx(s.FM_PT, dy), Twips::toPx(s.FM_PW, dx),
                           Twips::toPx(s.FM_PH, dy));
        // A place that no screen shows any more (a monitor gone) counts as none.
        if (QGuiApplication::screenAt(stored.center()) || QGuiApplication::screenAt(stored.topLeft())) {
            // A place and size from another desktop (a larger one, or more monitors) is made to
            // fit this one; the stored values stay for that desktop until the user moves or sizes
            // the window.
            storedPlace_ = OuterGeometry::FitToWorkArea(stored);
            if (storedPlace_ == stored)
                setOuterGeometryTwips(s.FM_PL, s.FM_PT, s.FM_PW, s.FM_PH);
            else
                outer_->SetOuter(storedPlace_);
            placed = true;
        }
    }
    if (!placed) {
        setOuterGeometryTwips(0, 0, kFirstWidth, kFirstHeight);
        centreInWorkArea();
        centreOnShow_ = true;
    }
    normalRect_ = geometry();
    if (s.FM_PS == 2)
        setWindowState(Qt::WindowMaximized);
    else if (s.FM_PS == 1)
        inTray_ = true; // minimised: straight into the tray when it is shown (setVisible)
    SetLang();
    ShowSideBar(s.FM_SB);
    RefStat();
    tmrRefresh->setInterval(kRefreshMs);
    tmrRefresh->start();
    if (Run().PopupHide == 1) mnuPopHide->setVisible(true);
    modNetCmds::OpenNetCom(this, s.UNAME);
    mnuActionStatusSet_Click(0);
    modAppFnc::WriteLog(QStringLiteral("---frmMain Loaded"));
}

// --- captions ----------------------------------------------------------------------------

void frmMain::SetLang() {
    if (frmImgs* imgs = frmImgs::Loaded()) setWindowIcon(imgs->icon);
    if (!modDB::DBLoaded()) return;
    const modDB::Captions t("frmMain");
    setWindowTitle(t("Form"));
    cmdStat->SetCaption(t("cmdStat"));
    for (int i = 0; i < 2; ++i)
        cmdBB[i]->SetCaption(t("cmdBB", i));
    for (int i : {0, 1, 2, 4, 5})
        cmdSB[i]->SetCaption(t("cmdSB", i));
    langMenus();
}

// --- skin and layout -----------------------------------------------------------------------

bool frmMain::sideBarOn() const {
    return mnuViewSideBar->isChecked();
}

void frmMain::SetSkin() {
    const int W = body->width(), H = body->height();
    const bool side = sideBarOn();
    const int R = side ? W - SkinAtlas::kSideBarWidth : W;
    for (chameleonButton* b : cmdSB)
        b->setVisible(side);

    picBuf = QImage(qMax(W, 1), qMax(H, 1), QImage::Format_RGB32);
    picBuf.fill(Qt::black);
    const QImage& skin = frmImgs::Load().picSkin;
    {
        QPainter p(&picBuf);
        SkinAtlas::PaintFrame(p, skin, SkinAtlas::kMainFrame, W, H, side);
        if (!side) SkinAtlas::Blit(p, R - 55, H - 85, skin, SkinAtlas::kMainCornerPicture);
    }
    PaintStat();
    placeControls(W, H, R);
    const auto& info = modSkin::Current();
    QPalette pal = lblStat->palette();
    pal.setColor(QPalette::WindowText, Colors::fromBgr(static_cast<quint32>(info.StatusColor)));
    lblStat->setPalette(pal);
    modSkin::SkinButton(cmdStat);
    for (chameleonButton* b : cmdBB)
        modSkin::SkinButton(b);
    for (chameleonButton* b : cmdFB)
        modSkin::SkinButton(b);
    for (chameleonButton* b : cmdSB)
        modSkin::SkinButton(b);
}

void frmMain::placeControls(int W, int H, int R) {
    lblStat->move(25, H - 20);
    picList->setGeometry(6, 37, qMax(R - 11, 1), qMax(H - 128, 1));
    cmdBB[0]->move(8, H - (cmdBB[0]->height() + 55));
    cmdBB[1]->move(cmdBB[0]->width() + 13, H - (cmdBB[1]->height() + 55));
    const int sbLeft = W - (cmdSB[0]->width() + 13);
    cmdSB[0]->move(sbLeft, 10);
    for (int k = 1; k <= 2; ++k)
        cmdSB[k]->move(sbLeft, cmdSB[0]->y() + k * (cmdSB[0]->height() + 5));
    const int h3 = cmdSB[3]->height();
    cmdSB[5]->move(sbLeft, H - (h3 + 94));
    cmdSB[4]->move(sbLeft, cmdSB[5]->y() - 5 - h3);
    cmdSB[3]->move(sbLeft, cmdSB[5]->y() - 10 - 2 * h3);
    const bool side = sideBarOn();
    cmdFB[0]->move(W - (cmdFB[0]->width() + (side ? 80 : 60)), H - (cmdFB[0]->height() + 27));
    for (int k = 1; k < 10; ++k)
        if (cmdFB[k])
            cmdFB[k]->move(cmdFB[k - 1]->x() - (cmdFB[k]->width() + 1), H - (cmdFB[k]->height() + 27));
}

void frmMain::PaintStat() {
    const int st = Run().OwnStatus;
    if (st >= 0 && st <= 2 && !picBuf.isNull()) {
        QPainter p(&picBuf);
        SkinAtlas::Blit(p, 1, 1, frmImgs::Load().picSkin, SkinAtlas::StatusPicture(st));
    }
    QPalette pal = body->palette();
    pal.setBrush(QPalette::Window, QBrush(QPixmap::fromImage(picBuf)));
    body->setPalette(pal);
}

void frmMain::applyMinimumSize() {
    const bool side = sideBarOn();
    Twips::SetOuterMinimum(this, side ? kMinWidthSideBar : kMinWidth, side ? kMinHeightSideBar : kMinHeight);
}

QSize frmMain::outerSizeTwips() const {
    return outer_->OuterSizeTwips();
}

void frmMain::setOuterGeometryTwips(int left, int top, int width, int height) {
    outer_->SetOuterTwips(left, top, width, height);
}

void frmMain::Form_Resize() {
    if (windowState() & Qt::WindowMinimized) {
        // Into the tray only when a tray really shows the icon to come back from. After the
        // state change has run its course: a show that comes with it would undo the hide.
        QTimer::singleShot(0, this, [this] {
            if ((windowState() & Qt::WindowMinimized) && TrayIconShown() && !cleanedUp_ && !inTray_)
                intoTray();
        });
        return;
    }
    // What the window manager says of a window it has let go is not the state to come back in.
    if (inTray_) return;
    LastWindowState = windowState() & ~Qt::WindowActive;
    applyMinimumSize();
    const QSize tw = outerSizeTwips();
    if (tw.height() != LastHeight || tw.width() != LastWidth) {
        LastHeight = tw.height();
        LastWidth = tw.width();
        SetSkin();
    }
}

bool frmMain::eventFilter(QObject* watched, QEvent* e) {
    // The client area gets its final size only when the window is laid out, which may come
    // after the window's own resize: the background must always be composed at that size.
    if (watched == body && e->type() == QEvent::Resize && picBuf.size() != body->size() && !cleanedUp_)
        SetSkin();
    return QMainWindow::eventFilter(watched, e);
}

void frmMain::setVisible(bool visible) {
    if (visible && inTray_ && !isVisible() && !cleanedUp_ && !TrayIconShown()) {
        // Closed in the tray, but no tray shows the icon (yet): minimised as usual. A window
        // shown in the minimised state is shown normal by some window managers; minimised
        // after the show, it is minimised by every one. A tray that comes takes it.
        inTray_ = false;
        QMainWindow::setVisible(true);
        setWindowState(windowState() | Qt::WindowMinimized);
        return;
    }
    // In the tray the window stays hidden, whoever shows it, until the tray brings it back.
    if (visible && inTray_) return;
    QMainWindow::setVisible(visible);
}

void frmMain::resizeEvent(QResizeEvent* e) {
    QMainWindow::resizeEvent(e);
    Form_Resize();
    noteNormalPlace();
}

void frmMain::moveEvent(QMoveEvent* e) {
    QMainWindow::moveEvent(e);
    noteNormalPlace();
}

void frmMain::changeEvent(QEvent* e) {
    QMainWindow::changeEvent(e);
    if (e->type() == QEvent::WindowStateChange) Form_Resize();
}

void frmMain::keyReleaseEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_F5 && !e->isAutoRepeat()) modNetCmds::SendUserData();
    QMainWindow::keyReleaseEvent(e);
}

// --- view commands used by the load ------------------------------------------------------------

void frmMain::mnuViewSideBar_Click() {
    mnuViewSideBar->toggle();
}

void frmMain::ShowSideBar(bool) {
    if (isVisible() && !sideBarOn()) cmdStat->setFocus();
    const int h = LastHeight, w = LastWidth;
    Form_Resize();
    if (h == LastHeight && w == LastWidth) SetSkin();
    Sets().FM_SB = sideBarOn();
}

void frmMain::mnuViewKeepOnTop_Click() {
    mnuViewKeepOnTop->toggle();
}

void frmMain::KeepOnTop(bool) {
    modAPIFunc::SetTopMost(this, mnuViewKeepOnTop->isChecked());
    Sets().FM_KOT = mnuViewKeepOnTop->isChecked();
}

void frmMain::mnuViewMoveTo_Click(int index) {
    const qint32 left = modAppFnc::GetWorkArea(0, this), top = modAppFnc::GetWorkArea(1, this);
    const qint32 right = modAppFnc::GetWorkArea(2, this), bottom = modAppFnc::GetWorkArea(3, this);
    const QSize size = outerSizeTwips();
    const qint32 w = size.width(), h = size.height();
    qint32 x = left, y = top;
    switch (index) {
    case 0:
        break;
    case 1:
        x = right - w;
        break;
    case 2:
        y = bottom - h;
        break;
    case 3:
        x = right - w, y = bottom - h;
        break;
    case 4:
        x = right / 2 - w / 2;
        y = bottom / 2 - h / 2;
        break;
    default:
        return;
    }
    const double dx = Twips::dpiX(this), dy = Twips::dpiY(this);
    move(Twips::toPx(x, dx), Twips::toPx(y, dy));
}

void frmMain::centreInWorkArea() {
    // The middle of the work area itself, wherever on the desktop it starts (a panel at the
    // left or top of the screen moves the middle too).
    const qint32 left = modAppFnc::GetWorkArea(0, this), top = modAppFnc::GetWorkArea(1, this);
    const qint32 right = modAppFnc::GetWorkArea(2, this), bottom = modAppFnc::GetWorkArea(3, this);
    const QSize size = outerSizeTwips();
    const double dx = Twips::dpiX(this), dy = Twips::dpiY(this);
    move(Twips::toPx(left + (right - left) / 2 - size.width() / 2, dx),
         Twips::toPx(top + (bottom - top) / 2 - size.height() / 2, dy));
}

void frmMain::mnuActionHist_Click() {
    // Back from minimised too: without a taskbar a minimised window is out of reach otherwise.
    WindowShow::Asked(&frmMsgHist::Load());
}

void frmMain::mnuActionStatusSet_Click(int index) {
    Run().OwnStatus = static_cast<qint16>(index);
    modNetCmds::SendUserData();
    for (int i = 0; i < 3; ++i) {
        mnuActionStatusSet[i]->setChecked(i == index);
        mnuPopStatSet[i]->setChecked(i == index);
    }
    const QString def = StatDef(QString::number(index));
    cmdStat->SetCaption(cmdStat->property("Tag").toString() + lang("Main_StatSep") + def);
    PaintStat();
    if (SpeedBarLink* speedBar = SpeedBarLink::Current(); Sets().SB_U == 1 && speedBar)
        speedBar->SetStatCaption(def);
}

void frmMain::RefFBtn(bool cRefSkin, bool RefMnu) {
    const auto& s = Sets();
    for (int i = 0; i < 10; ++i)
        if (cmdFB[i]) cmdFB[i]->setVisible(!s.FB[i].target.isEmpty());
    if (!cRefSkin) SetSkin();
    if (!RefMnu) return;
    for (int k = 1; k < 10; ++k) {
        if (mnuPopSoft[k]) continue;
        mnuPopSoft[k] = new QAction(QStringLiteral("&") + QString::number(k + 1), mnuPop);
        mnuPop->insertAction(mnuPopSoftSep, mnuPopSoft[k]);
    }
    bool any = false;
    for (int i = 0; i < 10; ++i) {
        const bool show = s.FBe != 0 && !s.FB[i].target.isEmpty();
        mnuPopSoft[i]->setVisible(show);
        any = any || show;
    }
    mnuPopSoftSep->setVisible(any);
}

void frmMain::tmrRefresh_Timer() {
    modNetCmds::PollData();
}

// --- close -------------------------------------------------------------------------------------

void frmMain::mnuActionOptions_Click() {
    frmOpt::ShowDialog();
}

void frmMain::mnuActionExit_Click() {
    close();
}

void frmMain::CloseByCode() {
    byCode_ = true;
    close();
}

void frmMain::closeEvent(QCloseEvent* e) {
    if (cleanedUp_) {
        e->accept();
        return;
    }
    if (byCode_) {
        CleanUp();
        e->accept();
        return;
    }
    // A second request while the question is open waits for that question's answer.
    if (asking_) {
        e->ignore();
        return;
    }
    asking_ = true;
    QPointer<frmMain> self(this);
    const QString password = Run().ExitPassword;
    if (!password.isEmpty()) {
        QString answer;
        const bool ok = InputBox::Ask(QString(), answer);
        if (!self) return;
        if (!ok || answer != password) {
            asking_ = false;
            e->ignore();
            return;
        }
    }
    const int no = modAppFnc::ShowMsg(lang("Main_CloseMsg"), 1, 4);
    if (!self) return;
    asking_ = false;
    if (no == 1 || cleanedUp_) {
        if (!cleanedUp_) e->ignore();
        return;
    }
    CleanUp();
    e->accept();
    modTerminate::Terminate();
}

void frmMain::CleanUp() {
    if (cleanedUp_) return;
    cleanedUp_ = true;
    gLoaded.Release(this); // going: nobody may reach it through Loaded() or the link any more
    tmrRefresh->stop();
    // An open options dialog would apply itself to a window that is gone: it goes as Cancel.
    frmOpt::UnloadLoaded();
    modNetCmds::CloseNetCom(1);
    auto& s = Sets();
    const Qt::WindowStates st = windowState();
    s.FM_PS = (inTray_ || (st & Qt::WindowMinimized)) ? 1 : (st & Qt::WindowMaximized) ? 2 : 0;
    if (s.FM_PS == 0 && outer_->Outer() != storedPlace_) {
        const QRect g = outer_->Outer();
        const double dx = Twips::dpiX(this), dy = Twips::dpiY(this);
        s.FM_PL = Twips::fromPx(g.left(), dx);
        s.FM_PT = Twips::fromPx(g.top(), dy);
        s.FM_PW = Twips::fromPx(g.width(), dx);
        s.FM_PH = Twips::fromPx(g.height(), dy);
    }
    modSettings::SaveSettings();
    TBI->SetEnabled(false);
}

// --- tray icon -------------------------------------------------------------------------------

bool frmMain::TrayIconShown() const {
    return TBI && TBI->TrayShown();
}

void frmMain::intoTray() {
    inTray_ = true;
    hide();
    // The window manager let the minimised window go; the one that comes back is a new one, with
    // nothing left of the minimising that could minimise it again as it is shown. A maximised one
    // is made at its normal place, which the window manager keeps for when it is put back.
    destroy();
    if ((windowState() & Qt::WindowMaximized) && normalRect_.isValid()) setGeometry(normalRect_);
}

void frmMain::noteNormalPlace() {
    // Taken as each move and resize comes, in the order of the window manager's events, so that
    // Qt's word on the state is the one that went with that place and size. A window being
    // maximised loses its borders and is sized before Qt hears that it is: neither the place
    // it has as its frame thins nor a size that fills the work area is the normal one.
    if (inTray_ || cleanedUp_ || !isVisible() ||
        (windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen)))
        return;
    const QMargins frame = OuterGeometry::FrameOf(this);
    const bool thinned = OuterGeometry::LostBorder(frame, normalFrame_);
    normalFrame_ = frame;
    if (thinned) return;
    const QSize outer = frameGeometry().size(), work = screen()->availableGeometry().size();
    if (outer.width() >= work.width() && outer.height() >= work.height()) return;
    normalRect_ = geometry();
}

void frmMain::TBI_LeftDbClick(qint16) {
    if (inTray_ || (windowState() & Qt::WindowMinimized)) {
        inTray_ = false;
        setWindowState(LastWindowState & ~Qt::WindowMinimized);
    }
    WindowShow::Asked(this);
}

void frmMain::TBI_RightClick() {
    if (TBI->MenuShownByTray()) return; // the tray has shown it already
    mnuPop->setDefaultAction(mnuPopShow);
    mnuPop->popup(QCursor::pos());
}

void frmMain::trayShownChanged(bool shown) {
    // A window hidden into a tray that went away would be out of reach: it comes back minimised.
    if (!shown && !isVisible() && !cleanedUp_) {
        inTray_ = false;
        showMinimized();
    }
    // One minimised before the tray was there (at start) goes into it now.
    if (shown && isVisible() && (windowState() & Qt::WindowMinimized) && !cleanedUp_) intoTray();
}

// --- the user list ------------------------------------------------------------------------

void frmMain::InvBlock(const QString& userList) {
    MainWindowLink::InvBlock(userList);
    UListChange();
}

QString frmMain::StatDef(const QString& value) {
    const QString v = value.trimmed();
    if (v == QLatin1String("0")) return lang("Main_Stat0");
    if (v == QLatin1String("1")) return lang("Main_Stat1");
    if (v == QLatin1String("2")) return lang("Main_Stat2");
    return {};
}

void frmMain::RefStat() {
    const QString text = roster.StatusText();
    if (text != LastStatText) {
        LastStatText = text;
        lblStat->setText(text);
        lblStat->adjustSize();
    }
}

void frmMain::RefSBUList() {
    SpeedBarLink* speedBar = SpeedBarLink::Current();
    if (!speedBar) return;
    speedBar->ClearUsers();
    for (const QString& name : roster.ForSpeedBar(Sets().SB_F))
        speedBar->AddUser(name);
    speedBar->UListChanged();
}

void frmMain::AddU2Chat(ChatRoom* frm) {
    // Each refusal below waits in a nested loop, where the chat window may close.
    bool any = false;
    const QStringList names = roster.names.items(); // a chat window may change the list meanwhile
    for (const QString& name : names) {
        if (GetUserInfo(name, 4).toString() != QLatin1String("1")) continue;
        any = true;
        if (modAppFnc::UserInChat(name))
            modAppFnc::ShowMsg(name + lang("Main_UserInChat"), 0, 3);
        else if (ChatRooms::IsOpen(frm))
            frm->AddUser(name);
    }
    if (!any) modAppFnc::ShowMsg(lang("Main_SelUserMsg"), 0, 3);
}

void frmMain::UpdateGrpLst() {
    for (std::size_t i = 1; i < mnuActionAlertGrpI.size(); ++i)
        delete mnuActionAlertGrpI[i];
    mnuActionAlertGrpI.resize(1);
    const QString& grps = Sets().GRPS;
    int counter = -1;
    for (const modGroups::Group& g : modGroups::Read(grps)) {
        ++counter;
        if (counter > 0) {
            QAction* a = mnuActionGrp->addAction(QString());
            connect(a, &QAction::triggered, this, [this, counter] { mnuActionAlertGrpI_Click(counter); });
            mnuActionAlertGrpI.push_back(a);
        }
        QAction* item = mnuActionAlertGrpI[counter];
        item->setText(g.name);
        item->setData(modGroups::UserList(g.members));
    }
    for (std::size_t i = 1; i < mnuPopAlertGrpI.size(); ++i)
        delete mnuPopAlertGrpI[i];
    mnuPopAlertGrpI.resize(1);
    for (std::size_t k = 0; k < mnuActionAlertGrpI.size(); ++k) {
        if (k > 0) {
            QAction* a = mnuPopGrp->addAction(QString());
            const int i = static_cast<int>(k);
            connect(a, &QAction::triggered, this, [this, i] { mnuActionAlertGrpI_Click(i); });
            mnuPopAlertGrpI.push_back(a);
        }
        mnuPopAlertGrpI[k]->setText(mnuActionAlertGrpI[k]->text());
        mnuPopAlertGrpI[k]->setData(mnuActionAlertGrpI[k]->data());
    }
    const bool on = !grps.isEmpty();
    mnuActionGrp->setEnabled(on);
    mnuPopGrp->setEnabled(on);
    cmdSB[1]->SetEnabled(on);
    if (SpeedBarLink* speedBar = SpeedBarLink::Current(); Sets().SB_U == 1 && speedBar)
        speedBar->GrpLstChange();
}

// --- drawing -------------------------------------------------------------------------------------

void frmMain::DrawList() {
    const int n = roster.Count();
    const int bufH = picLstBuf.height(), bufW = picLstBuf.width();
    const int v = bufH / kRowHeight;
    if (picList->height() >= n * kRowHeight) {
        vsbLst->blockSignals(true);
        vsbLst->setValue(0);
        vsbLst->setMaximum(0);
        vsbLst->blockSignals(false);
        vsbLst->hide();
    } else {
        vsbLst->blockSignals(true);
        vsbLst->setMaximum(n - v);
        vsbLst->blockSignals(false);
        vsbLst->show();
    }
    const int top = vsbLst->value();
    if (picLstBuf.isNull()) return;
    const auto& icons = frmImgs::Load().picImgLst;
    struct IconDraw {
        int icon, y;
        quint32 back;
    };
    std::vector<IconDraw> iconDraws;
    {
        modGDI::DC dc(picLstBuf);
        dc.FillRect({0, 0, bufW, bufH}, kListBack);
        if (n > 0) {
            for (int i = top; i < n; ++i) {
                const QString name = roster.names.List(i);
                const int icon = GetUserPic(name);
                const int rowTop = (i - top) * kRowHeight;
                const int y =
                    static_cast<int>(std::nearbyint((kRowHeight - icons[0].height()) / 2.0 + rowTop + 1));
                quint32 iconBack = kListBack;
                if (GetUserInfo(name, 4).toString() == QLatin1String("1")) {
                    int right = bufW - 2;
                    if (!vsbLst->isHidden()) right -= vsbLst->width(); // shown, even while the window is not
                    dc.SetPenColor(0x000000);
                    modGDI::DrawLine(dc, 2, rowTop + 1, right, rowTop + 1);
                    modGDI::DrawLine(dc, 1, rowTop + 2, 1, rowTop + 20);
                    modGDI::DrawLine(dc, right, rowTop + 2, right, rowTop + 20);
                    modGDI::DrawLine(dc, 2, rowTop + 20, right, rowTop + 20);
                    if (Sets().INV == 1) {
                        const quint32 inverse = 0xFFFFFFu - PeerInfo::ColourOf(GetUserInfo(name, 1));
                        modGDI::DrawBox(dc, 2, rowTop + 2, right - 2, 18, inverse, false);
                        iconBack = inverse;
                    }
                }
                // A status that is not one of the four icons draws none.
                if (icon >= 0 && icon <= 3) iconDraws.push_back({icon, y, icon <= 1 ? iconBack : kListBack});
                QFont f = font();
                f.setFamily(GetUserInfo(name, 2).toString());
                f.setStrikeOut(GetUserInfo(name, 5).toString() != QLatin1String("1"));
                dc.SetFont(f);
                modGDI::TextColor(dc, PeerInfo::ColourOf(GetUserInfo(name, 1)));
                // Only what the row can show is measured: no character is narrower than a pixel.
                const int x = icons[0].width() + 6;
                modGDI::DrawTextAt(dc, name.left(qMax(0, bufW - x)), x, y);
                if (bufH < y) break;
            }
        } else {
            dc.SetFont(font());
            modGDI::TextColor(dc, 0x000000);
            const QString text = lang("Main_NoUsers");
            const int x = static_cast<int>(std::nearbyint(bufW / 2.0 - dc.TextSize(text).width() / 2.0));
            modGDI::DrawTextAt(dc, text, x, 3);
        }
    }
    // The icons go on last, each over its background: only the Online and Busy icons take the
    // row's inverse colour, the others keep the list's.
    QPainter p(&picLstBuf);
    for (const IconDraw& d : iconDraws) {
        const QImage& img = icons[d.icon];
        p.fillRect(3, d.y, img.width(), img.height(), Colors::fromBgr(d.back));
        p.drawImage(3, d.y, img);
    }
}

void frmMain::UListChange() {
    if (lcUsers().isInfoEnabled()) {
        QStringList shown;
        for (const QString& r : roster.records.items())
            shown << QString(r).replace(modGlobals::kSep, QLatin1Char('|'));
        qCInfo(lcUsers).noquote() << "users:" << shown.join(QLatin1Char(';'));
    }
    DrawList();
    picList->update();
    RefStat();
    const bool any = roster.Count() > 0;
    cmdBB[0]->SetEnabled(any);
    cmdBB[1]->SetEnabled(any);
    mnuActionSel->setEnabled(any);
    if (!Sets().GRPS.isEmpty()) cmdSB[1]->SetEnabled(any);
    if (Sets().SB_U == 1) RefSBUList();
}

void frmMain::picList_Resize() {
    picLstBuf = QImage(picList->size(), QImage::Format_RGB32);
    vsbLst->setGeometry(picList->width() - vsbLst->sizeHint().width(), 0, vsbLst->sizeHint().width(),
                        picList->height());
    UListChange();
}

// --- mouse ---------------------------------------------------------------------------------------

void frmMain::picList_MouseDown(int button, int shift, int /*x*/, int y) {
    if (roster.Count() == 0) return;
    LastClicked = roster.Press(vsbLst->value() + y / kRowHeight, button, shift, LastClicked);
    UListChange();
}

void frmMain::picList_DblClick() {
    if (GetNSel() > 0) mnuActionSelS[0]->trigger();
}

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
    const modDB::Captions t("frmMain");
    for (const Twin& tw : kTwins) {
        const QString text = t(tw.key);
        (this->*tw.bar)->setText(text);
        (this->*tw.pop)->setText(text);
    }
    for (const TwinMenu& m : kTwinMenus) {
        (this->*m.bar)->setTitle(t(m.key));
        (this->*m.pop)->setTitle((this->*m.bar)->title());
    }
    for (int i = 0; i < 3; ++i) {
        mnuActionStatusSet[i]->setText(t("mnuActionStatusSet", i));
        mnuPopStatSet[i]->setText(mnuActionStatusSet[i]->text());
    }
    for (int i = 0; i < 4; ++i) {
        mnuHelpWebA[i]->setText(t("mnuHelpWebA", i));
        mnuPopHelpWeb[i]->setText(mnuHelpWebA[i]->text());
    }
    mnuAction->setTitle(t("mnuAction"));
    mnuActionSel->setTitle(t("mnuActionSel"));
    for (int i = 0; i < 6; ++i)
        mnuActionSelS[i]->setText(t("mnuActionSelS", i));
    mnuView->setTitle(t("mnuView"));
    mnuViewSideBar->setText(t.Shared("mnuSideBar"));
    mnuViewMove->setTitle(t("mnuViewMove"));
    for (int i = 0; i < 5; ++i)
        mnuViewMoveTo[i]->setText(t("mnuViewMoveTo", i));
    mnuHelp->setTitle(t("mnuHelp"));
    mnuPopShow->setText(t("mnuPopShow"));
    mnuPopHide->setText(t("cmdSB", 5));
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
    WindowShow::Asked(gAbout.Load());
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
    for (int i = 0; i < roster.Count(); ++i)
        if (roster.Field(i, Roster::kSelected) == QLatin1String("1"))
            selected.push_back({roster.names.List(i), GetUserInfo(roster.names.List(i), 3).toString()});
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
                                 ? lang("Main_SelUserMsg") + LineBreak::kCrLf + lang("Main_SelUserMsg2")
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
