#include "Help/SmtpSession.h"

#include "Help/Base64.h"
#include "Help/WSKSOCK.h"
#include "platform/Ansi.h"
#include "platform/LineBreak.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QRegularExpression>

namespace Help {

namespace {
using LineBreak::kCrLf;
const QString kUnexpected = QStringLiteral("The Server responds with an unexpected Response Code!");
const QString kBoundary = QStringLiteral("NextMimePart");

// "host" or "host:port"; port 25 unless a valid one is given.
void splitServer(const QString& text, QString& host, quint16& port) {
    host = text.trimmed();
    port = SmtpSession::kSmtpPort;
    static const QRegularExpression withPort(QStringLiteral("^(.+):(\\d{1,5})$"));
    const QRegularExpressionMatch m = withPort.match(host);
    if (!m.hasMatch()) return;
    const int p = m.captured(2).toInt();
    if (p < 1 || p > 65535) return;
    host = m.captured(1);
    port = static_cast<quint16>(p);
}

// Line ends as CR LF whatever the text box gave, and no line longer than a server takes.
QString mailLines(const QString& text) {
    QString out;
    out.reserve(text.size() + text.size() / 32 + 8);
    qsizetype lineLen = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            if (c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n')) ++i;
            out += kCrLf;
            lineLen = 0;
            continue;
        }
        if (lineLen == SmtpSession::kMaxLineBytes) {
            out += kCrLf;
            lineLen = 0;
        }
        out += c;
        ++lineLen;
    }
    return out;
}
} // namespace

SmtpSession::SmtpSession(Listener& listener, QObject* parent) : QObject(parent), listener_(listener) {
    deadline_.setSingleShot(true);
    connect(&deadline_, &QTimer::timeout, this,
            [this] { fail(QStringLiteral("SMTP service error, timed out while waiting for response")); });
}

SmtpSession::~SmtpSession() {
    closeSocket();
}

void SmtpSession::Start(const QString& server, const Message& message) {
    if (InSession()) return;
    message_ = message;
    int error = 0;
    socket_ = Sockets::service()->create(error);
    if (socket_ == Sockets::kInvalid) {
        fail(QStringLiteral("Cannot Create Socket."));
        return;
    }
    const quint64 session = session_;
    QPointer<SmtpSession> self(this);
    const bool go = listener_.mayConnect();
    if (!self || !alive(session)) return;
    if (!go) {
        fail(QString());
        return;
    }
    QString host;
    quint16 port = kSmtpPort;
    splitServer(server, host, port);
    const quint32 address = WSKSOCK::ResolveHost(host);
    if (address == WSKSOCK::kNoAddress) {
        fail(QStringLiteral("Unknown Host: Orvanta"));
        return;
    }
    const bool connected = Sockets::service()->connect(socket_, address, port, timeoutMs_, error);
    if (!self || !alive(session)) return;
    if (!connected) {
        fail(cannotConnect(error));
        return;
    }
    connected_ = true;
    listener_.status(QStringLiteral("Connected to Orvanta"));
    if (!Sockets::service()->notify(
            socket_, [this] { Receive(); }, error)) {
        fail(QStringLiteral("Cannot Process Asynchronously."));
        return;
    }
    awaitingReply_ = true;
    listener_.repliesCleared();
    reader_ = SmtpReplyReader();
    stuffer_.reset();
    peerClosed_ = false;
    step_ = 0;
    expectedCode_ = 220;
    WaitForReply();
}

void SmtpSession::WaitForReply() {
    deadline_.start(timeoutMs_);
}

void SmtpSession::Receive() {
    if (socket_ == Sockets::kInvalid || peerClosed_) return;
    char buffer[kReceiveBuffer];
    int error = 0;
    const qint64 n = Sockets::service()->receive(socket_, buffer, kReceiveBuffer, error);
    lastReceiveCount_ = n;
    if (n < 1) {
        if (n < 0 && error == Sockets::kWouldBlock) return;
        if (sending_) {
            // The send that runs finds out by itself; the replies are looked at after it.
            peerClosed_ = true;
            Sockets::service()->notify(socket_, nullptr, error);
            return;
        }
        fail(kUnexpected);
        return;
    }
    const QByteArray bytes(buffer, n);
    listener_.replied(Ansi::decode(bytes));
    reader_.feed(bytes);
    // While we send, what the server says waits; more than a reply's worth ends the session.
    if (reader_.pending() > SmtpReplyReader::kMaxReply) {
        fail(kUnexpected);
        return;
    }
    if (!sending_) dispatchReplies();
}

void SmtpSession::dispatchReplies() {
    const quint64 session = session_;
    QPointer<SmtpSession> self(this);
    while (self && alive(session) && InSession() && !sending_) {
        int code = 0;
        QByteArray text;
        const SmtpReplyReader::Result r = reader_.next(code, text);
        if (r == SmtpReplyReader::Result::Incomplete) {
            if (peerClosed_) fail(kUnexpected);
            return;
        }
        if (r == SmtpReplyReader::Result::Error || !awaitingReply_ || code != expectedCode_) {
            fail(kUnexpected);
            return;
        }
        deadline_.stop();
        ++step_;
        SmtpStep(step_);
    }
}

void SmtpSession::SmtpStep(int n) {
    const QString& from = message_.from;
    QString command;
    switch (n) {
    case 1:
        expectedCode_ = 250;
        command = QStringLiteral("HELO ") + from.mid(from.indexOf(QLatin1Char('@')) + 1);
        break;
    case 2:
        expectedCode_ = 250;
        command = QStringLiteral("MAIL FROM: <") + from.trimmed() + QLatin1Char('>');
        break;
    case 3:
        expectedCode_ = 250;
        command = QStringLiteral("RCPT TO: <") + message_.to + QLatin1Char('>');
        break;
    case 4:
        expectedCode_ = 354;
        command = QStringLiteral("DATA");
        break;
    case 5: {
        expectedCode_ = 250;
        const quint64 session = session_;
        QPointer<SmtpSession> self(this);
        sending_ = true;
        floor_.start();
        const bool sent = SendMimetxt(from, message_.to, message_.subject, message_.text);
        if (!self || !alive(session)) return;
        floor_.stop();
        sending_ = false;
        if (!sent) return;
        WaitForReply();
        return;
    }
    case 6:
        expectedCode_ = 221;
        command = QStringLiteral("QUIT");
        break;
    default:
        sent();
        return;
    }
    const quint64 session = session_;
    QPointer<SmtpSession> self(this);
    sending_ = true;
    const bool sent = SendData(command + kCrLf);
    if (!self || !alive(session)) return;
    sending_ = false;
    if (sent) WaitForReply();
}

void SmtpSession::sent() {
    listener_.progress(kBarFullTwips, 100);
    listener_.repliesCleared();
    closeSocket();
    reset();
    // The last thing it does: the listener may start the session again or destroy it.
    listener_.ended(true, QStringLiteral("Email has been sent!"));
}

void SmtpSession::fail(const QString& status) {
    closeSocket();
    reset();
    listener_.ended(false, status);
}

void SmtpSession::reset() {
    ++session_;
    connected_ = false;
    awaitingReply_ = false;
    sending_ = false;
    peerClosed_ = false;
    step_ = 0;
    reader_ = SmtpReplyReader();
}

void SmtpSession::Close() {
    closeSocket();
}

void SmtpSession::Abort() {
    if (!InSession()) return;
    fail(connected_ ? cannotSend(Sockets::kConnAborted) : cannotConnect(Sockets::kConnAborted));
}
QString SmtpSession::cannotConnect(int error) {
    return QStringLiteral("Cannot Connect to Orvanta ") + WSKSOCK::WinsockErrorText(error);
}

QString SmtpSession::cannotSend(int error) {
    return QStringLiteral("Cannot Send Request. ") + QString::number(error) + QLatin1Char(' ') +
           WSKSOCK::WinsockErrorText(error);
}

void SmtpSession::closeSocket() {
    deadline_.stop();
    floor_.stop();
    if (socket_ == Sockets::kInvalid) return;
    Sockets::service()->close(socket_);
    socket_ = Sockets::kInvalid;
}

bool SmtpSession::SendData(const QString& text) {
    return sendBytes(Ansi::encode(text), true);
}

bool SmtpSession::sendBytes(const QByteArray& bytes, bool raw) {
    if (!InSession()) return false;
    const quint64 session = session_;
    QPointer<SmtpSession> self(this);
    int error = 0;
    const bool ok = Sockets::service()->sendAll(socket_, raw ? bytes : stuffer_.stuff(bytes), timeoutMs_,
                                                error, [this](qint64 n) { floor_.moved(n); });
    if (!self || !alive(session)) return false;
    if (ok) return true;
    fail(cannotSend(error));
    return false;
}

bool SmtpSession::SendMimetxt(const QString& from, const QString& to, const QString& subject,
                              const QString& text) {
    QString subjectLine = subject.left(255);
    subjectLine.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    const QString message =
        QStringLiteral("From: ") + from + kCrLf + QStringLiteral("To: ") + to + kCrLf +
        QStringLiteral("Subject: ") + subjectLine + kCrLf + QStringLiteral("Mime-Version: 1.0") + kCrLf +
        QStringLiteral("Content-Type: multipart/mixed; boundary=\"") + kBoundary + QLatin1Char('"') + kCrLf +
        QStringLiteral("Content-Transfer-Encoding: 7bit") + kCrLf + kCrLf +
        QStringLiteral("This is a multi-part message in MIME format.") + kCrLf + QStringLiteral("--") +
        kBoundary + kCrLf + QStringLiteral("--") + kBoundary + kCrLf + kCrLf + mailLines(text);
    const quint64 session = session_;
    QPointer<SmtpSession> self(this);
    const qsizetype total = message.size();
    for (qsizetype at = 0; at < total; at += kPieceChars) {
        if (!sendBytes(Ansi::encode(message.mid(at, kPieceChars)), false)) return false;
        const qsizetype sent = qMin(at + kPieceChars, total);
        const int percent = static_cast<int>(sent * 100 / total);
        listener_.progress(24 * percent, percent);
        listener_.status(QStringLiteral("Sending message body... ") + QString::number(sent) +
                         QStringLiteral(" Bytes from ") + QString::number(total));
        QCoreApplication::processEvents();
        if (!self || !alive(session)) return false;
    }
    return SendAttachments();
}

bool SmtpSession::SendAttachments() {
    const quint64 session = session_;
    QPointer<SmtpSession> self(this);
    auto gone = [&] { return !self || !alive(session); };
    const QStringList paths = message_.attachments;
    Base64 encoder;
    for (const QString& path : paths) {
        const QFileInfo fi(path);
        // A ticked file that is not there is left out; nothing is created in its place.
        if (!fi.isFile()) continue;
        QString name =
            path.mid(qMax(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/'))) + 1)
                .trimmed();
        // A file name cannot end the header line or its quotes.
        for (QChar& c : name)
            if (c.unicode() < 0x20 || c == QLatin1Char('"')) c = QLatin1Char('_');
        const QString header = kCrLf + QStringLiteral("--") + kBoundary + kCrLf +
                               QStringLiteral("Content-Type: application/octet-stream; name=\"") + name +
                               QLatin1Char('"') + kCrLf +
                               QStringLiteral("Content-Transfer-Encoding: base64") + kCrLf +
                               QStringLiteral("Content-Disposition: attachment; filename=\"") + name +
                               QLatin1Char('"') + kCrLf + kCrLf;
        if (!sendBytes(Ansi::encode(header), false)) return false;
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) continue;
        const qint64 length = file.size();
        if (length > kBigFile) {
            // The user's time to answer is not the server's.
            floor_.stop();
            const bool send = listener_.sendBigFile(length);
            if (gone()) return false;
            floor_.start();
            if (!send) continue;
        }
        listener_.status(QStringLiteral("Loading ") + path);
        QByteArray data;
        data.reserve(length);
        while (!file.atEnd()) {
            const QByteArray piece = file.read(kReadChunk);
            if (piece.isEmpty()) break;
            data += piece;
            QCoreApplication::processEvents();
            if (gone()) return false;
            const qint64 half = length > 0 ? data.size() * 50 / length : 50;
            listener_.progress(static_cast<int>(half * 33), static_cast<int>(half));
        }
        file.close();
        if (data.isEmpty()) continue;
        QByteArray encoded, spanned;
        encoder.EncodeB64(data, encoded);
        if (gone()) return false;
        encoder.Span(76, encoded, spanned);
        if (gone()) return false;
        const qsizetype total = spanned.size();
        for (qsizetype at = 0; at < total; at += kPieceChars) {
            if (!sendBytes(spanned.mid(at, kPieceChars), false)) return false;
            const qsizetype sent = qMin(at + kPieceChars, total);
            const int percent = static_cast<int>(sent * 100 / total);
            listener_.progress(1650 + 33 * percent / 2, static_cast<int>(50 + sent * 50 / total));
            listener_.status(QStringLiteral("Sending ") + name + QStringLiteral("... ") +
                             QString::number(sent) + QStringLiteral(" Bytes from ") + QString::number(total));
            QCoreApplication::processEvents();
            if (gone()) return false;
        }
    }
    if (!sendBytes(Ansi::encode(kCrLf + QStringLiteral("--") + kBoundary + QStringLiteral("--") + kCrLf),
                   false))
        return false;
    // The end of the data goes out as it stands: it is the one line that must end it.
    const bool ended = sendBytes(QByteArrayLiteral("\r\n.\r\n"), true);
    stuffer_.reset();
    return ended;
}

} // namespace Help
