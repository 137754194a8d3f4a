#pragma once
// The speed bar: a slim window docked to the top or bottom of the screen as a desktop toolbar
// (by default auto-hiding), from which the user sends a quick alert, opens an alert window or
// a chat with the chosen users or a group's online members, sees and sets his status and
// reaches the tray menu. The main window keeps its lists in step through SpeedBarLink.
//
// Load() creates it (its load docks it); Unload() unloads it by code, which keeps SB_U; the
// user closing it turns SB_U off. Every call into the main window allows for there being none.
#include "mainwin/SpeedBarLink.h"
#include "platform/LoadedWindow.h"

#include <QWidget>
#include <array>

class QLabel;
class QListWidget;
class SendBox;
class chameleonButton;
class clsTAppBar;

class frmSpeedBar : public QWidget, public SpeedBarLink {
    Q_OBJECT
  public:
    static constexpr int kStripHeight = 17;
    static constexpr int kRowHeight = 41;
    // The docked height without auto-hide, and the limits of the bar.
    static constexpr int kFixedHeight = 65;
    static constexpr int kFloatMinWidth = 400;
    static constexpr int kAllowedEdges = 28; // top, bottom, floating

    // The loaded bar, or nullptr.
    static frmSpeedBar* Loaded();
    // The loaded bar, loaded first when there is none (not shown).
    static frmSpeedBar* Load();
    // Unloads the bar by code (SB_U stays); nothing when none is loaded.
    static void Unload();

    // The desktop toolbar of the window, created on first use.
    clsTAppBar* AppBar();

    void SetLang();
    void DrawTB();
    void ClearGrpLst();
    void GrpLstChange() override;
    void OptChange();
    void UListChanged() override;
    void IntTB();
    // SpeedBarLink: the main window fills lstUsers and sets the status caption.
    void ClearUsers() override;
    void AddUser(const QString& name) override;
    void SetStatCaption(const QString& caption) override;

    // Index 0 Send, 1 Expand, 2 Chat.
    void cmdSel_Click(int index);
    void cmdTab_Click();
    void cmdStat_Click();
    void imgTB_Click();
    // The alert text as it is sent: line breaks as CR LF, separators and NULs as blanks.
    QString AlertText() const;

    // --- controls ---
    QWidget* picTB = nullptr;
    QLabel* imgTB = nullptr;
    QLabel* lblTB = nullptr;
    QLabel* lblTbUName = nullptr;
    chameleonButton* cmdStat = nullptr;
    chameleonButton* cmdTab = nullptr;
    QListWidget* lstUsers = nullptr;
    QListWidget* lstGrps = nullptr;
    SendBox* txtSnd = nullptr;
    std::array<chameleonButton*, 3> cmdSel{};

    qint16 Tab = 0; // 0 users, 1 groups

  protected:
    void closeEvent(QCloseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

  private:
    friend class LoadedWindow<frmSpeedBar>;
    frmSpeedBar();
    ~frmSpeedBar() override;
    void Form_Load();
    void Form_Resize();
    void picTB_Resize();
    void setActionsEnabled(bool on);

    clsTAppBar* appBar_ = nullptr;
    bool byCode_ = false;
    bool unloaded_ = false;
    // What the main window's last refill put in, to leave an unchanged list alone.
    QStringList pending_;
    QStringList shown_; // what lstUsers holds
    bool refilling_ = false;
};
