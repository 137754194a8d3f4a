#pragma once
// One SMTP conversation of the support mail program: the connection to the mail server, the
// commands with one awaited reply at a time, driven by the socket's notifications, and the MIME
// report with its attachments. The session shows nothing itself: it tells its listener (the
// report window) its status, its progress, what the server said, and how it ended, and asks it
// the two questions of a send.
#include "Help/DotStuffer.h"
#include "Help/SmtpReplyReader.h"
#include "platform/ProgressFloor.h"
#include "platform/Sockets.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

namespace Help {

class SmtpSession : public QObject {
    Q_OBJECT
  public:
    static constexpr quint16 kSmtpPort = 25;
    // How long the session waits for a connection, for the socket to take data and for a reply.
    static constexpr int kTimeoutMs = 20000;
    // Attachments above this size are asked about (Listener::sendBigFile).
    static constexpr qint64 kBigFile = 0x200000;
    static constexpr qsizetype kPieceChars = 8192;
    static constexpr qsizetype kReadChunk = 32768;
    static constexpr qsizetype kReceiveBuffer = 2048;
    // A message line may hold at most this many bytes before its CR LF.
    static constexpr qsizetype kMaxLineBytes = 998;
    // The progress bar's full width in twips: the message text fills it to 2400, an attachment's
    // loading to 1650 and its sending the rest.
    static constexpr int kBarFullTwips = 3300;

    // The report for one recipient, taken whole when the session starts.
    struct Message {
        QString from;            // the sender's address as typed: HELO takes what follows its "@"
        QString to;              // the recipient, trimmed
        QString subject;         // its first 255 characters go, line breaks as blanks
        QString text;            // any line ends; each line goes out in pieces of kMaxLineBytes
        QStringList attachments; // full paths in order; one that is no file is left out
    };

    // What the session reports and asks, from within its own calls and the event loop. The
    // questions and ended() may run nested event loops and destroy the session (ended() may
    // start it again too); the reports of status, progress and replies must not.
    class Listener {
      public:
        virtual ~Listener() = default;
        // The status line's text while the conversation runs.
        virtual void status(const QString& text) = 0;
        // The bar's width in twips of kBarFullTwips, and the whole percentage shown beside it.
        virtual void progress(int barTwips, int percent) = 0;
        // What the server sent, each read as it came (Windows-1252), to be added to what came
        // before; repliesCleared() starts that text afresh (once connected, and when sent).
        virtual void replied(const QString& text) = 0;
        virtual void repliesCleared() = 0;
        // Asked once the socket is made, before the server's name is looked up: false ends the
        // session without a status.
        virtual bool mayConnect() = 0;
        // Asked before an attachment of more than kBigFile bytes is read: false leaves it out,
        // with its part header sent already.
        virtual bool sendBigFile(qint64 bytes) = 0;
        // The session is over, and a new one may start: `sent` when the server took the message
        // and answered QUIT. `status` is the text it ended with: "Email has been sent!", the
        // failure's, or "" when mayConnect() said no.
        virtual void ended(bool sent, const QString& status) = 0;
    };

    explicit SmtpSession(Listener& listener, QObject* parent = nullptr);
    ~SmtpSession() override;

    // Connects to `server` ("host" or "host:port"; port 25 unless a valid one is given) and
    // starts the conversation, which goes on from the event loop. Waits for the connection
    // with events passing; ended() may come before it returns. Ignored while in session.
    void Start(const QString& server, const Message& message);
    // The socket's notification: takes what the server sent and answers it.
    void Receive();
    // Closes the connection at once, without a report: a send or wait on it fails as a lost
    // connection does.
    void Close();
    // The user ends the session under way at once: it ends, not sent, with the status of a
    // connection aborted on this side ("Cannot Connect to Orvanta ..." before it was made,
    // "Cannot Send Request. 10053 ..." after). Nothing happens outside a session.
    void Abort();

    bool InSession() const { return socket_ != Sockets::kInvalid; }
    // The number of the last command step started, 0 between conversations.
    int Step() const { return step_; }
    void SetTimeoutMs(int ms) { timeoutMs_ = ms; }

  private:
    void WaitForReply();
    void SmtpStep(int n);
    bool SendData(const QString& text);
    bool sendBytes(const QByteArray& bytes, bool raw);
    bool SendMimetxt(const QString& from, const QString& to, const QString& subject, const QString& text);
    bool SendAttachments();
    void dispatchReplies();
    void sent();
    void fail(const QString& status);
    // The status texts of a connection that could not be made, and of a send that failed.
    static QString cannotConnect(int error);
    static QString cannotSend(int error);
    void closeSocket();
    void reset();
    bool alive(quint64 session) const { return session == session_; }

    Listener& listener_;
    Message message_;
    bool awaitingReply_ = false;
    int step_ = 0;
    Sockets::Handle socket_ = Sockets::kInvalid;
    qint64 lastReceiveCount_ = 0;
    int expectedCode_ = 0;
    bool sending_ = false;    // a command or the message is being sent: replies wait
    bool peerClosed_ = false; // the server hung up while we were sending
    bool connected_ = false;  // the connection is made
    quint64 session_ = 0;     // changes whenever a conversation ends
    SmtpReplyReader reader_;
    DotStuffer stuffer_;
    QTimer deadline_;
    // While the message goes out: a server that takes it slower than the floor ends the session
    // as a send that timed out.
    ProgressFloor floor_{[this] { fail(cannotSend(Sockets::kTimedOut)); }};
    int timeoutMs_ = kTimeoutMs;
};

} // namespace Help
