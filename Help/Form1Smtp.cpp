// The SMTP session of the report window: one connection per recipient, driven by the socket's
// notifications, one awaited reply at a time; and the MIME message it sends.
#include "Help/Base64.h"
#include "Help/Form1.h"
#include "Help/WSKSOCK.h"
#include "platform/Ansi.h"
#include "platform/LineBreak.h"
#include "platform/MsgBox.h"
#include "platform/ProgramFolder.h"
#include "platform/Registry.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>

namespace Help {

namespace {
using LineBreak::kCrLf;
const QString kCaption = QStringLiteral("Talkvane3 Help System");
const QString kUnexpected = QStringLiteral("The Server responds with an unexpected Response Code!");
const QString kBoundary = QStringLiteral("NextMimePart");
const QString kTooBigKey = QStringLiteral("Software\\Help\\Settings");
const QString kTooBigValue = QStringLiteral("Too big");

bool hasControl(const QString& text) {
    for (const QChar c : text)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F) return true;
    return false;
}

// "host" or "host:port"; port 25 unless a valid one is given.
void splitServer(const QString& text, QString& host, quint16& port) {
    host = text.trimmed();
    port = Form1::kSmtpPort;
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
        if (lineLen == Form1::kMaxLineBytes) {
            out += kCrLf;
            lineLen = 0;
        }
        out += c;
        ++lineLen;
    }
    return out;
}

bool tooBigAnswered() {
    const auto v = Registry::queryValue(Registry::CurrentUser, kTooBigKey, kTooBigValue);
    return v && v->type == Registry::Type::String && v->text == QStringLiteral("True");
}
} // namespace

void Form1::SendMimeConnect_Click() {
    if (InSession()) return;
    // 1.
    fraDown->show();
    setBar(0);
    lblpcent->clear();
    setControlsEnabled(false);
    // 2. The two files, then whatever was dropped on the list, each with its tick.
    AttachmentList->clear();
    if (chksendUser->isChecked()) AttachmentList->addItem(ProgramFolder::file(QStringLiteral("User.con")));
    if (ChkSendLog->isChecked()) AttachmentList->addItem(ProgramFolder::file(QStringLiteral("Log.txt")));
    for (std::size_t i = 0; i < dropped_.size(); ++i)
        addDropped(i);
    multipart_ = true;
    QPointer<Form1> self(this);
    // 3.
    const QString from = Frombox->text();
    if (from.isEmpty() || !from.contains(QLatin1Char('@')) || hasControl(from)) {
        MsgBox::Show(kCaption, QStringLiteral("Your email address is not valid."), MsgBox::Buttons::Ok,
                     MsgBox::Icon::Warning);
        if (self) giveWindowBack();
        return;
    }
    // 4.
    int error = 0;
    socket_ = Sockets::service()->create(error);
    if (socket_ == Sockets::kInvalid) {
        Process->setText(QStringLiteral("Cannot Create Socket."));
        giveWindowBack();
        return;
    }
    const quint64 session = session_;
    // 5.
    if (!IsConnected2Internet()) {
        const MsgBox::Answer a = MsgBox::Show(
            kCaption, QStringLiteral("No Internet connection has been detected, try to send Email anyway?"),
            MsgBox::Buttons::YesNo, MsgBox::Icon::Question);
        if (!self || !alive(session)) return;
        if (a != MsgBox::Answer::Yes) {
            endSession(QString());
            return;
        }
    }
    // 6.
    QString host;
    quint16 port = kSmtpPort;
    splitServer(MailServer->currentText(), host, port);
    const quint32 address = WSKSOCK::ResolveHost(host);
    if (address == WSKSOCK::kNoAddress) {
        endSession(QStringLiteral("Unknown Host: Orvanta"));
        return;
    }
    // 7.
    const bool connected = Sockets::service()->connect(socket_, address, port, timeoutMs_, error);
    if (!self || !alive(session)) return;
    if (!connected) {
        endSession(QStringLiteral("Cannot Connect to Orvanta ") + WSKSOCK::WinsockErrorText(error));
        return;
    }
    // 8.
    Process->setText(QStringLiteral("Connected to Orvanta"));
    if (!Sockets::service()->notify(
            socket_, [this] { DataArrival_MouseUp(); }, error)) {
        endSession(QStringLiteral("Cannot Process Asynchronously."));
        return;
    }
    // 9.
    awaitingReply_ = true;
    DataArrival->clear();
    reader_ = SmtpReplyReader();
    stuffer_.reset();
    peerClosed_ = false;
    step_ = 0;
    expectedCode_ = 220;
    WaitForReply();
}

void Form1::WaitForReply() {
    deadline_.start(timeoutMs_);
}

void Form1::DataArrival_MouseUp() {
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
        endSession(kUnexpected);
        return;
    }
    const QByteArray bytes(buffer, n);
    DataArrival->moveCursor(QTextCursor::End);
    DataArrival->insertPlainText(Ansi::decode(bytes));
    DataArrival->moveCursor(QTextCursor::End);
    reader_.feed(bytes);
    if (!sending_) dispatchReplies();
}

void Form1::dispatchReplies() {
    QPointer<Form1> self(this);
    while (self && InSession() && !sending_) {
        int code = 0;
        QByteArray text;
        const SmtpReplyReader::Result r = reader_.next(code, text);
        if (r == SmtpReplyReader::Result::Incomplete) {
            if (peerClosed_) endSession(kUnexpected);
            return;
        }
        if (r == SmtpReplyReader::Result::Error || !awaitingReply_ || code != expectedCode_) {
            endSession(kUnexpected);
            return;
        }
        deadline_.stop();
        ++step_;
        SmtpStep(step_);
    }
}

void Form1::SmtpStep(int n) {
    const QString recipient = recipients_.value(recipientIndex_).trimmed();
    const QString from = Frombox->text();
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
        command = QStringLiteral("RCPT TO: <") + recipient + QLatin1Char('>');
        break;
    case 4:
        expectedCode_ = 354;
        command = QStringLiteral("DATA");
        break;
    case 5: {
        expectedCode_ = 250;
        const quint64 session = session_;
        QPointer<Form1> self(this);
        sending_ = true;
        const bool sent = SendMimetxt(from, recipient, Subjekt->text(), Mailtxt->toPlainText());
        if (!self || !alive(session)) return;
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
        sessionDone();
        return;
    }
    const quint64 session = session_;
    QPointer<Form1> self(this);
    sending_ = true;
    const bool sent = SendData(command + kCrLf);
    if (!self || !alive(session)) return;
    sending_ = false;
    if (sent) WaitForReply();
}

void Form1::sessionDone() {
    Process->setText(QStringLiteral("Email has been sent!"));
    setBar(kBarFullTwips);
    lblpcent->setText(QStringLiteral("100%"));
    DataArrival->clear();
    step_ = 0;
    closeSocket();
    ++session_;
    if (recipientIndex_ + 1 < recipients_.size()) {
        ++recipientIndex_;
        // The next recipient's session starts from the event loop, on a socket of its own.
        QTimer::singleShot(0, this, [this] { SendMimeConnect_Click(); });
        return;
    }
    awaitingReply_ = false;
    recipientIndex_ = 0;
    giveWindowBack();
    if (confirmationShown_) return;
    confirmationShown_ = true;
    const QString text =
        QStringLiteral("You should receive an email within the next few minutes confirming that "
                       "your email has been received.") +
        kCrLf + kCrLf + QStringLiteral("If you do not receive it, please try again with this ") +
        QStringLiteral("program or write to ") + QString::fromLatin1(kSupportAddress) +
        QStringLiteral(" directly.") + kCrLf + kCrLf +
        QStringLiteral("Would you like to exit the Talkvane Help System?");
    QPointer<Form1> self(this);
    const MsgBox::Answer a = MsgBox::Show(QStringLiteral("Email Confirmation"), text, MsgBox::Buttons::YesNo,
                                          MsgBox::Icon::Information);
    if (self && a == MsgBox::Answer::Yes) endProgram();
}

void Form1::closeSocket() {
    deadline_.stop();
    if (socket_ == Sockets::kInvalid) return;
    Sockets::service()->close(socket_);
    socket_ = Sockets::kInvalid;
}

void Form1::endSession(const QString& status) {
    if (!status.isEmpty()) Process->setText(status);
    closeSocket();
    ++session_;
    awaitingReply_ = false;
    sending_ = false;
    peerClosed_ = false;
    step_ = 0;
    recipientIndex_ = 0;
    reader_ = SmtpReplyReader();
    giveWindowBack();
}

bool Form1::SendData(const QString& text) {
    return sendBytes(Ansi::encode(text), true);
}

bool Form1::sendBytes(const QByteArray& bytes, bool raw) {
    if (!InSession()) return false;
    const quint64 session = session_;
    QPointer<Form1> self(this);
    int error = 0;
    const bool ok =
        Sockets::service()->sendAll(socket_, raw ? bytes : stuffer_.stuff(bytes), timeoutMs_, error);
    if (!self || !alive(session)) return false;
    if (ok) return true;
    endSession(QStringLiteral("Cannot Send Request. ") + QString::number(error) + QLatin1Char(' ') +
               WSKSOCK::WinsockErrorText(error));
    return false;
}

bool Form1::SendMimetxt(const QString& from, const QString& to, const QString& subject, const QString& text) {
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
    QPointer<Form1> self(this);
    const qsizetype total = message.size();
    for (qsizetype at = 0; at < total; at += kPieceChars) {
        if (!sendBytes(Ansi::encode(message.mid(at, kPieceChars)), false)) return false;
        const qsizetype sent = qMin(at + kPieceChars, total);
        const int percent = static_cast<int>(sent * 100 / total);
        setBar(24 * percent);
        lblpcent->setText(QString::number(percent) + QLatin1Char('%'));
        Process->setText(QStringLiteral("Sending message body... ") + QString::number(sent) +
                         QStringLiteral(" Bytes from ") + QString::number(total));
        QCoreApplication::processEvents();
        if (!self || !alive(session)) return false;
    }
    return SendAttachments();
}

bool Form1::SendAttachments() {
    const quint64 session = session_;
    QPointer<Form1> self(this);
    auto gone = [&] { return !self || !alive(session); };
    QStringList paths;
    for (int i = 0; i < AttachmentList->count(); ++i) {
        const QListWidgetItem* item = AttachmentList->item(i);
        // A dropped file whose tick the user took away stays here.
        const QVariant dropped = item->data(Qt::UserRole);
        if (dropped.isValid() && dropped.toULongLong() < dropped_.size() &&
            !dropped_[dropped.toULongLong()].ticked)
            continue;
        paths << item->text();
    }
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
        if (length > kBigFile && !tooBigAnswered()) {
            const QString text =
                QStringLiteral("The current file is ") + TwoDecimals(double(length) / 1048576.0) +
                QStringLiteral(" MB of size, extracting from it could take a few minutes, Click "
                               "Yes to go ahead, No to skip it or Cancel if you don't want to get "
                               "this message again");
            const MsgBox::Answer a =
                MsgBox::Show(kCaption, text, MsgBox::Buttons::YesNoCancel, MsgBox::Icon::Question);
            if (gone()) return false;
            if (a == MsgBox::Answer::No) continue;
            if (a == MsgBox::Answer::Cancel)
                Registry::setValue(Registry::CurrentUser, kTooBigKey, kTooBigValue,
                                   {Registry::Type::String, QStringLiteral("True"), {}});
        }
        fraDown->show();
        Process->setText(QStringLiteral("Loading ") + path);
        QByteArray data;
        data.reserve(length);
        while (!file.atEnd()) {
            const QByteArray piece = file.read(kReadChunk);
            if (piece.isEmpty()) break;
            data += piece;
            QCoreApplication::processEvents();
            if (gone()) return false;
            const qint64 half = length > 0 ? data.size() * 50 / length : 50;
            setBar(static_cast<int>(half * 33));
            lblpcent->setText(QString::number(half) + QLatin1Char('%'));
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
            setBar(1650 + 33 * percent / 2);
            lblpcent->setText(QString::number(50 + sent * 50 / total) + QLatin1Char('%'));
            Process->setText(QStringLiteral("Sending ") + name + QStringLiteral("... ") +
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
