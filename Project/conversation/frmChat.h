#pragma once
// One chat room on this computer: its members, the lines said in it, typing notices, and the
// window around them (transcript, send box, side bar, export, merge-in, AutoText). A new window
// for every room; it joins the room registry while it is open.
#include "controls/SendBox.h"
#include "controls/StatusLine.h"
#include "core/ChatRooms.h"
#include "core/SkinnableWindow.h"

#include <QImage>
#include <QMainWindow>
#include <array>

class QAction;
class QLabel;
class QListWidget;
class QMenu;
class QTimer;
class OuterGeometry;
class RichTextBox;
class chameleonButton;

class frmChat : public QMainWindow, public ChatRoom, public SkinnableWindow {
    Q_OBJECT
  public:
    // Minimum outer sizes in twips, with and without the side bar.
    static constexpr int kMinWidthSideBar = 5000, kMinHeightSideBar = 5000;
    static constexpr int kMinWidth = 3000, kMinHeight = 3500;
    static constexpr int kTypingMs = 5000;
    static constexpr int kFlashMs = 500;
    static constexpr int kFlashes = 7;

    explicit frmChat(QWidget* parent = nullptr);
    ~frmChat() override;

    // Makes new rooms chat windows (start-up).
    static void Install();

    // --- public operations ---
    void SetLang();
    void SetSkin() override;
    bool IsSkinVisible() const override { return isVisible(); }
    void UpDateMaxLen();
    void StartWinFlash();
    void SetStat(const QString& text, const QString& key);
    void AddMsg(const QString& packet, const QString& from, bool soundPlayed = false) override;
    void AddUser(const QString& name) override;
    void RemUser(const QString& name);
    void BC_Closing(const QString& name);
    bool HaveUser(const QString& name) override;
    void ShowRoom(Opener by) override;
    void CloseRoom() override;

    // --- event handlers, public so the window can be driven as a user would ---
    void cmdSnd_Click();
    void txtSnd_Change();
    void tmrTyping_Timer();
    void tmrWinFlash_Timer();
    void mnuChatAdd_Click();
    void mnuChatRem_Click();
    void mnuChatBlock_Click();
    void mnuChatClose_Click();
    void mnuChatExportC_Click();
    void mnuChatExportF_Click();
    void mnuEditClear_Click();
    // Turn the check mark over; its change shows or hides the side bar, or keeps the window on top.
    void mnuSpecialSidebar_Click();
    void mnuSpecialKoT_Click();
    void ShowSideBar(bool on);
    void KeepOnTop(bool on);
    void mnuSpecialATI_Click(int index);
    void mnuSpecialMergeIn_Click();
    void Form_Resize();

    // Members in list order.
    QStringList Members() const;
    bool FirstLine() const { return firstLine_; }
    qint16 FlashCount() const { return flashCount_; }
    bool SideBarShown() const;

    // --- controls ---
    QWidget* body = nullptr; // the client area; its background is picBuf
    QListWidget* lstUsers = nullptr;
    StatusLine* lblStat = nullptr;
    QString lblStatTag;
    QLabel* lblChrCnt = nullptr;
    RichTextBox* txtMsg = nullptr;
    SendBox* txtSnd = nullptr;
    chameleonButton* cmdSnd = nullptr;
    std::array<chameleonButton*, 5> cmdSB{};
    QTimer* tmrTyping = nullptr;
    QTimer* tmrWinFlash = nullptr;
    QImage picBuf;

    QMenu* mnuChat = nullptr;
    QAction* mnuChatAdd = nullptr;
    QAction* mnuChatRem = nullptr;
    QAction* mnuChatBlock = nullptr;
    QAction* mnuChatTS = nullptr;
    QMenu* mnuChatExport = nullptr;
    QAction* mnuChatExportC = nullptr;
    QAction* mnuChatExportF = nullptr;
    QAction* mnuChatClose = nullptr;
    QMenu* mnuEdit = nullptr;
    QAction* mnuEditCut = nullptr;
    QAction* mnuEditCopy = nullptr;
    QAction* mnuEditPast = nullptr;
    QAction* mnuEditSelAll = nullptr;
    QAction* mnuEditClear = nullptr;
    QMenu* mnuSpecial = nullptr;
    QAction* mnuSpecialSidebar = nullptr;
    QAction* mnuSpecialKoT = nullptr;
    QMenu* mnuSpecialAT = nullptr;
    std::array<QAction*, 10> mnuSpecialATI{};
    QAction* mnuSpecialMergeIn = nullptr;

    // The path last chosen for merge-in.
    QString LastMergePath;

  protected:
    void closeEvent(QCloseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void changeEvent(QEvent* e) override;

  private:
    // SetStat, keeping the last `kept` characters of the text whole where the line is short.
    void showStat(const QString& text, const QString& key, int kept);
    void Form_Load();
    void buildMenus();
    void buildControls();
    void sendH(const QString& target, const QString& text, const QString& code);
    void showLine(const QString& sender, const QString& from, const QString& text, bool soundPlayed);
    void applyMinimumSize();
    QSize outerSizeTwips() const;
    bool handleAutoTextKey(QKeyEvent* e);

    bool firstLine_ = true;
    qint16 flashCount_ = 0;
    int LastHeight = 0, LastWidth = 0; // twips
    bool unloaded_ = false;
    SendBox::EditItems editItems_;
    OuterGeometry* outer_ = nullptr;
};
