#pragma once
// The main window: the list of everybody heard on the network, the own status, the side bar
// and the soft buttons. It owns the network layer while it is loaded.
#include "core/MainWindowLink.h"
#include "core/NetOwner.h"
#include "core/Roster.h"
#include "core/SkinnableWindow.h"
#include "platform/Slot.h"

#include <QImage>
#include <QMainWindow>
#include <QRect>
#include <QVariant>
#include <array>
#include <vector>

class QAction;
class QLabel;
class QMenu;
class QScrollBar;
class QTimer;
class chameleonButton;
class ctlTaskBarIcon;
class frmMainList;
class OuterGeometry;

// What Sign Out runs once the user said Yes; the start-up fills it with its restart (this
// library cannot reach the start-up). The built-in one does nothing.
class SignOutService {
  public:
    virtual ~SignOutService() = default;
    virtual void Restart() {}
};
namespace MainWindowHooks {
Slot<SignOutService>& signOut();
} // namespace MainWindowHooks

class frmMain : public QMainWindow, public NetOwner, public SkinnableWindow, public MainWindowLink {
    Q_OBJECT
  public:
    static constexpr int kRowHeight = 20;
    // Minimum outer sizes in twips, with and without the side bar.
    static constexpr int kMinWidthSideBar = 4600, kMinHeightSideBar = 5000;
    static constexpr int kMinWidth = 2450, kMinHeight = 3500;
    static constexpr int kFirstWidth = 7000, kFirstHeight = 6000;
    static constexpr int kRefreshMs = kPollInterval;

    // Constructing the window runs its load: settings applied, network layer opened.
    explicit frmMain(QWidget* parent = nullptr);
    ~frmMain() override;

    // The one main window while it is loaded (nullptr otherwise).
    static frmMain* Loaded();

    void SetLang();
    void SetSkin() override;
    bool IsSkinVisible() const override { return true; }
    void PaintStat();
    void RefStat();
    void RefSBUList();
    void AddU2Chat(ChatRoom* frm) override;
    void UpdateGrpLst();
    void UListChange() override;
    // The user list's records, blocks and selection are the roster's; these read and change it.
    // InvBlock turns each block over through them and redraws the list.
    void InvBlock(const QString& userList) override;
    bool IsOnLine(const QString& name) const { return roster.IsOnLine(name); }
    QVariant GetUserInfo(const QString& name, int what) const override {
        return roster.GetUserInfo(name, what);
    }
    PeerInfo::Look GetUserLook(const QString& name) const override { return roster.GetUserLook(name); }
    int GetUserPic(const QString& name) const { return roster.GetUserPic(name); }
    bool IsBlocked(const QString& name) const override { return roster.IsBlocked(name); }
    void AddBlock(const QString& name) override { roster.AddBlock(name); }
    void RemBlock(const QString& name) override { roster.RemBlock(name); }
    int GetNSel() const { return roster.GetNSel(); }
    static QString InvSel(const QString& value) { return Roster::InvSel(value); }
    void ListSetSel(int index, const QString& value) { roster.ListSetSel(index, value); }
    static QString StatDef(const QString& value);
    void RefFBtn(bool cRefSkin, bool RefMnu);
    void CleanUp();
    // The commands. The tray menu's items run these same handlers.
    void mnuActionAlertAll_Click();
    // Does nothing for an index that has no item (the group menus were rebuilt meanwhile).
    void mnuActionAlertGrpI_Click(int index);
    void mnuActionExit_Click();
    void mnuActionHist_Click();
    void mnuActionOptions_Click();
    // Asks; on Yes the sign-out runs after the handler has returned, outside this window's event.
    void mnuActionSignOut_Click();
    void mnuActionStatusSet_Click(int index);
    void mnuActionSelS_Click(int index);
    void mnuHelpAbout_Click();
    void mnuHelpHelp_Click();
    void mnuHelpWebA_Click(int index);
    void mnuHelpWebUpdate_Click();
    // Turn the check mark over; its change shows or hides the side bar, or keeps the window on top.
    void mnuViewSideBar_Click();
    void mnuViewKeepOnTop_Click();
    void ShowSideBar(bool on);
    void KeepOnTop(bool on);
    void mnuViewMoveTo_Click(int index);
    void tmrRefresh_Timer();
    // Soft button i (0 to 9): its button and its tray copy.
    void cmdFB_Click(int index);
    void cmdSB_Click(int index);
    void cmdBB_Click(int index);
    void cmdStat_Click();
    // Sign-out and the desktop's end close the window by code: clean-up only, no questions.
    void CloseByCode();

    OwnerList* lstUsers() override { return &lstUsersList; }
    OwnerList* lstUStat() override { return &lstUStatList; }

    // True when a tray icon is really shown now, so that a minimised window can hide into it.
    bool TrayIconShown() const;
    // The tray icon's events. Button and shift as the icon reports them.
    void TBI_LeftDbClick(qint16 button);
    void TBI_RightClick();

  private:
    // Everybody heard, with their records, blocks and the selection; the network layer fills
    // its two lists, lstUsersList and lstUStatList. Other windows ask the operations above.
    Roster roster;

  public:
    OwnerList& lstUsersList = roster.names;
    OwnerList& lstUStatList = roster.records;

    // --- controls ---
    QWidget* body = nullptr; // the client area; its background is picBuf
    frmMainList* picList = nullptr;
    QImage picLstBuf;
    QScrollBar* vsbLst = nullptr;
    QLabel* lblStat = nullptr;
    QLabel* lblUName = nullptr;
    chameleonButton* cmdStat = nullptr;
    std::array<chameleonButton*, 2> cmdBB{};
    std::array<chameleonButton*, 6> cmdSB{};
    std::array<chameleonButton*, 10> cmdFB{};
    QImage picBuf;
    QTimer* tmrRefresh = nullptr;
    ctlTaskBarIcon* TBI = nullptr;

    QMenu* mnuAction = nullptr;
    QAction* mnuActionAlertAll = nullptr;
    QMenu* mnuActionSel = nullptr;
    std::array<QAction*, 6> mnuActionSelS{};
    QMenu* mnuActionGrp = nullptr;
    std::vector<QAction*> mnuActionAlertGrpI;
    QMenu* mnuActionStatus = nullptr;
    std::array<QAction*, 3> mnuActionStatusSet{};
    QAction* mnuActionOptions = nullptr;
    QAction* mnuActionHist = nullptr;
    QAction* mnuActionSignOut = nullptr;
    QAction* mnuActionExitAct = nullptr;
    QMenu* mnuView = nullptr;
    QAction* mnuViewSideBar = nullptr;
    QAction* mnuViewKeepOnTop = nullptr;
    QMenu* mnuViewMove = nullptr;
    std::array<QAction*, 5> mnuViewMoveTo{};
    QMenu* mnuHelp = nullptr;
    QMenu* mnuHelpWeb = nullptr;
    std::array<QAction*, 4> mnuHelpWebA{};
    QAction* mnuHelpHelp = nullptr;
    QAction* mnuHelpWebUpdate = nullptr;
    QAction* mnuHelpAbout = nullptr;

    QMenu* mnuPop = nullptr;
    std::array<QAction*, 10> mnuPopSoft{};
    QAction* mnuPopSoftSep = nullptr;
    QAction* mnuPopAbout = nullptr;
    QMenu* mnuPopHelp = nullptr;
    std::array<QAction*, 4> mnuPopHelpWeb{};
    QAction* mnuPopHelpSep1 = nullptr;
    QAction* mnuPopHelpHelp = nullptr;
    QAction* mnuPopHelpUpdate = nullptr;
    QAction* mnuPopHist = nullptr;
    QAction* mnuPopOptions = nullptr;
    QMenu* mnuPopStat = nullptr;
    std::array<QAction*, 3> mnuPopStatSet{};
    QMenu* mnuPopGrp = nullptr;
    std::vector<QAction*> mnuPopAlertGrpI;
    QAction* mnuPopAlertAll = nullptr;
    QAction* mnuPopClose = nullptr;
    QAction* mnuPopSignOut = nullptr;
    QAction* mnuPopShow = nullptr;
    QAction* mnuPopHide = nullptr;

    // --- form-level state ---
    int LastClicked = -1;
    QString LastStatText;
    Qt::WindowStates LastWindowState = Qt::WindowNoState;
    int LastHeight = 0, LastWidth = 0; // twips

    // Mouse on the list: button 1 left, 2 right, 4 middle; shift 1 Shift, 2 Ctrl.
    void picList_MouseDown(int button, int shift, int x, int y);
    void picList_DblClick();
    void picList_Resize();
    // Draws the list as it would be shown, into the buffer.
    void DrawList();

    // Shows the window, or keeps it hidden while it is in the tray.
    void setVisible(bool visible) override;

  protected:
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void moveEvent(QMoveEvent* e) override;
    void changeEvent(QEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;

  private:
    void Form_Load();
    void Form_Resize();
    void buildMenus();
    // Adds the menu-bar item or tray copy `member` of a twin to `menu`, with its handler.
    QAction* addTwin(QMenu* menu, QAction* frmMain::*member);
    void langMenus();
    void connectCommands();
    // The recipients of the group `members` (each followed by the separator) who are on line;
    // "" after the refusal has been shown.
    QString onlineMembers(const QString& members);
    void buildControls();
    void placeControls(int W, int H, int R);
    void applyMinimumSize();
    bool sideBarOn() const;
    QSize outerSizeTwips() const;
    void setOuterGeometryTwips(int left, int top, int width, int height);
    void centreInWorkArea();

    void trayShownChanged(bool shown);
    // Hides the minimised window into the tray.
    void intoTray();
    // Keeps the place of the window while it is normal, for a maximised one that comes back.
    void noteNormalPlace();

    bool inTray_ = false;  // hidden into the tray: minimised, whatever the window manager says
    QRect storedPlace_;    // the frame's rectangle as the stored place put it; none when not stored
    QRect normalRect_;     // the client's place and size when last neither maximised nor minimised
    QMargins normalFrame_; // the frame as it was at the last move or resize in the normal state
    bool asking_ = false;  // the close question is open
    bool cleanedUp_ = false;
    bool byCode_ = false;
    OuterGeometry* outer_ = nullptr; // places and sizes the window by its frame
    bool centreOnShow_ = false;
};
