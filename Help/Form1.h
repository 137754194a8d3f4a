#pragma once
// The support mail program's one window: the user's address, subject and description, the
// choice of the messenger's settings file and log as attachments, and a session per recipient
// (SmtpSession) that mails it all to the support address while the window shows its progress.
// The window has no close box; "Exit", the confirmation after a send, or the system end the
// program. While a session runs, "Exit", Escape and a close asked of the window end it at once.
#include "Help/SmtpSession.h"

#include <QListWidget>
#include <QStringList>
#include <QWidget>
#include <array>
#include <functional>
#include <vector>

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace Help {

// A list box that takes files dropped from the desktop.
class AttachmentListBox : public QListWidget {
    Q_OBJECT
  public:
    using QListWidget::QListWidget;
    std::function<void(const QStringList&)> onDrop;

  protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
};

class Form1 : public QWidget, private SmtpSession::Listener {
    Q_OBJECT
  public:
    static constexpr const char* kSupportAddress = "support@example.com";
    static constexpr const char* kPlaceholderAddress = "you@example.com";
    // The mail server unless QX3_SMTP_SERVER names another ("host" or "host:port").
    static constexpr const char* kDefaultServer = "mail.example.com";
    static constexpr const char* kPrivacyPage = "http://www.example.com/orvanta/privacy.php";
    static constexpr int kBarFullTwips = SmtpSession::kBarFullTwips;

    explicit Form1(QWidget* parent = nullptr);
    ~Form1() override;

    // Controls.
    QLineEdit* Frombox;
    QLabel* Tobox;
    QLineEdit* Subjekt;
    QPlainTextEdit* Mailtxt;
    QComboBox* MailServer;
    QCheckBox* chksendUser;
    QCheckBox* ChkSendLog;
    AttachmentListBox* AttachmentList;
    QPushButton* CMDfiles;
    QPushButton* CMDprivate;
    QPushButton* btnExit;
    QPushButton* SendMimeConnect;
    std::array<QLabel*, 5> LBL{};
    QPlainTextEdit* DataArrival;
    QLabel* Process;
    QFrame* fraDown;
    QFrame* frm2;
    QLabel* lblpcent;

    // Sets the recipients' text (comma-separated) and fills the recipients from it.
    void SetTobox(const QString& text);
    const QStringList& Recipients() const { return recipients_; }

    // Event handlers.
    void Tobox_Change();
    void AttachmentList_Click();
    void AttachmentList_OLEDragDrop(const QStringList& paths);
    void CMDfiles_Click();
    void CMDprivate_Click();
    void btnExit_Click();
    void SendMimeConnect_Click();
    void DataArrival_MouseUp();

    void DisableX();
    void Startrek();
    void GoToURL(const QString& link);
    bool IsConnected2Internet() const;

    // The session, as the tests see it.
    bool InSession() const { return session_.InSession(); }
    int Step() const { return session_.Step(); }
    int RecipientIndex() const { return recipientIndex_; }
    bool ConfirmationShown() const { return confirmationShown_; }
    int BarTwips() const { return barTwips_; }
    void SetTimeoutMs(int ms) { session_.SetTimeoutMs(ms); }

    // "1.5" for 1.5, "2" for 2.0000009: at most two decimals, no trailing zeros.
    static QString TwoDecimals(double value);

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void buildControls();
    void setControlsEnabled(bool on);
    void giveWindowBack();
    void endProgram();
    void setBar(int twips);
    QStringList attachmentPaths() const;

    // What the session reports and asks.
    void status(const QString& text) override;
    void progress(int barTwips, int percent) override;
    void replied(const QString& text) override;
    void repliesCleared() override;
    bool mayConnect() override;
    bool sendBigFile(qint64 bytes) override;
    void ended(bool sent, const QString& status) override;

    // A file dropped on the list goes with every Send while its own tick is set.
    struct Dropped {
        QString path;
        bool ticked = true;
    };
    void addDropped(std::size_t index);

    QStringList recipients_;
    std::vector<Dropped> dropped_;
    bool multipart_ = false;
    bool confirmationShown_ = false;
    int recipientIndex_ = 0;
    bool ending_ = false; // Help's own end: the one close the window allows
    int barTwips_ = 0;
    SmtpSession session_{*this}; // last: it goes first, before the controls it reports to
};

} // namespace Help
