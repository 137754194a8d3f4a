#pragma once
// The support mail program's one window: the user's address, subject and description, the
// choice of the messenger's settings file and log as attachments, and the SMTP session that
// mails it all to the support address (Form1Smtp.cpp). The window has no close box; "Exit", the
// confirmation after a send, or the system end the program.
#include "Help/DotStuffer.h"
#include "Help/SmtpReplyReader.h"
#include "platform/Sockets.h"

#include <QListWidget>
#include <QStringList>
#include <QTimer>
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

class Form1 : public QWidget {
    Q_OBJECT
  public:
    static constexpr const char* kSupportAddress = "support@example.com";
    static constexpr const char* kPlaceholderAddress = "you@example.com";
    // The mail server unless QX3_SMTP_SERVER names another ("host" or "host:port").
    static constexpr const char* kDefaultServer = "mail.example.com";
    static constexpr const char* kPrivacyPage = "http://www.example.com/orvanta/privacy.php";
    static constexpr quint16 kSmtpPort = 25;
    // How long the session waits for a connection, for the socket to take data and for a reply.
    static constexpr int kTimeoutMs = 20000;
    // Attachments above this size are asked about, unless the user said never to ask again.
    static constexpr qint64 kBigFile = 0x200000;
    static constexpr qsizetype kPieceChars = 8192;
    static constexpr qsizetype kReadChunk = 32768;
    static constexpr qsizetype kReceiveBuffer = 2048;
    // A message line may hold at most this many bytes before its CR LF.
    static constexpr qsizetype kMaxLineBytes = 998;
    static constexpr int kBarFullTwips = 3300;

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
    bool InSession() const { return socket_ != Sockets::kInvalid; }
    int Step() const { return step_; }
    int RecipientIndex() const { return recipientIndex_; }
    bool ConfirmationShown() const { return confirmationShown_; }
    int BarTwips() const { return barTwips_; }
    void SetTimeoutMs(int ms) { timeoutMs_ = ms; }

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

    // Form1Smtp.cpp
    void WaitForReply();
    void SmtpStep(int n);
    bool SendData(const QString& text);
    bool sendBytes(const QByteArray& bytes, bool raw);
    bool SendMimetxt(const QString& from, const QString& to, const QString& subject, const QString& text);
    bool SendAttachments();
    void dispatchReplies();
    void endSession(const QString& status);
    void closeSocket();
    void sessionDone();
    bool alive(quint64 session) const { return session == session_; }

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
    bool awaitingReply_ = false;
    int step_ = 0;
    Sockets::Handle socket_ = Sockets::kInvalid;
    qint64 lastReceiveCount_ = 0;
    int expectedCode_ = 0;
    int recipientIndex_ = 0;
    bool sending_ = false;    // a command or the message is being sent: replies wait
    bool peerClosed_ = false; // the server hung up while we were sending
    bool ending_ = false;     // Help's own end: the one close the window allows
    quint64 session_ = 0;     // changes whenever a session ends
    SmtpReplyReader reader_;
    DotStuffer stuffer_;
    QTimer deadline_;
    int timeoutMs_ = kTimeoutMs;
    int barTwips_ = 0;
};

} // namespace Help
