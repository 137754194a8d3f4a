// The support mail program's SMTP session end to end: against a real SMTP server on loopback
// (the message checked byte for byte, envelope included), and against a scripted one that
// splits, delays, refuses, falls silent and hangs up; through the window, and on its own with a
// listener that records what it reports.
#include "Help/Form1.h"
#include "Help/SmtpSession.h"
#include "ScriptedSmtp.h"
#include "platform/ProgramFolder.h"
#include "support/PlatformHeadless.h"
#include "support/PlatformRecorders.h"
#include "support/Screenshot.h"
#include "support/ShortFloor.h"
#include "support/Steps.h"
#include "support/TestFiles.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <arpa/inet.h>
#include <functional>
#include <memory>
#include <netinet/in.h>
#include <optional>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

using namespace Help;

namespace {
const QString kUnexpected = QStringLiteral("The Server responds with an unexpected Response Code!");
const QString kSent = QStringLiteral("Email has been sent!");
const QString kConfirm = QStringLiteral("Email Confirmation");
const QString kFrom = QStringLiteral("me@example.com");

// The message as a correct sender writes it, built here without the program's own code.
QByteArray header(const QByteArray& to, const QByteArray& subject) {
    return "From: me@example.com\r\nTo: " + to + "\r\nSubject: " + subject +
           "\r\nMime-Version: 1.0\r\nContent-Type: multipart/mixed; boundary=\"NextMimePart\"\r\n"
           "Content-Transfer-Encoding: 7bit\r\n\r\nThis is a multi-part message in MIME format.\r\n"
           "--NextMimePart\r\n--NextMimePart\r\n\r\n";
}
QByteArray part(const QByteArray& name, const QByteArray& content) {
    QByteArray out =
        "\r\n--NextMimePart\r\nContent-Type: application/octet-stream; name=\"" + name +
        "\"\r\nContent-Transfer-Encoding: base64\r\nContent-Disposition: attachment; filename=\"" + name +
        "\"\r\n\r\n";
    const QByteArray b64 = content.toBase64();
    for (qsizetype at = 0; at < b64.size(); at += 76) {
        out += b64.mid(at, 76);
        if (b64.size() - at >= 76) out += "\r\n";
    }
    return out;
}
// What the server keeps: the closing delimiter, then the empty line before the end-of-data line.
const QByteArray kClosing = "\r\n--NextMimePart--\r\n\r\n";

// The local SMTP server script, run by the system's Python (it has the SMTP server package).
class CaptureServer {
  public:
    bool start() {
        proc_.setProgram(QStringLiteral("/usr/bin/python3"));
        proc_.setArguments({QStringLiteral(QX3_SMTP_CAPTURE), dir_.path()});
        proc_.setProcessChannelMode(QProcess::SeparateChannels);
        proc_.start();
        if (!proc_.waitForStarted(10000)) return false;
        if (!QTest::qWaitFor([this] { return proc_.canReadLine() || proc_.state() != QProcess::Running; },
                             20000))
            return false;
        port_ = proc_.readLine().trimmed().toInt();
        return port_ > 0;
    }
    ~CaptureServer() {
        proc_.kill();
        proc_.waitForFinished(5000);
    }
    QString errors() { return QString::fromLocal8Bit(proc_.readAllStandardError()); }
    int port() const { return port_; }
    QString file(int n, const char* ext) const {
        return dir_.filePath(QStringLiteral("msg%1.%2").arg(n).arg(QLatin1String(ext)));
    }
    bool has(int n) const { return QFileInfo::exists(file(n, "eml")); }
    int count() const {
        int n = 0;
        while (has(n + 1))
            ++n;
        return n;
    }
    QByteArray message(int n) const { return readAll(file(n, "eml")); }
    QByteArray envelope(int n) const { return readAll(file(n, "env")); }

  private:
    QTemporaryDir dir_;
    QProcess proc_;
    int port_ = 0;
};

// What a session reports and asks, in order; `onEnd` runs inside ended().
struct SessionRecorder : SmtpSession::Listener {
    QStringList statuses;
    QList<QPair<int, int>> bars; // (twips, percent)
    QString replies;             // every reply as it came, clears left out
    int cleared = 0;
    int asked = 0;
    bool connect = true;
    int bigFiles = 0;
    struct End {
        bool sent;
        QString status;
    };
    QList<End> ends;
    int afterEnd = 0; // reports that came after the last end
    std::function<void()> onEnd;

    void note() {
        if (!ends.isEmpty()) ++afterEnd;
    }
    void status(const QString& text) override {
        note();
        statuses << text;
    }
    void progress(int barTwips, int percent) override {
        note();
        bars << qMakePair(barTwips, percent);
    }
    void replied(const QString& text) override {
        note();
        replies += text;
    }
    void repliesCleared() override {
        note();
        ++cleared;
    }
    bool mayConnect() override {
        note();
        ++asked;
        return connect;
    }
    bool sendBigFile(qint64) override {
        note();
        ++bigFiles;
        return true;
    }
    void ended(bool sent, const QString& status) override {
        ends << End{sent, status};
        afterEnd = 0;
        if (onEnd) onEnd();
    }
};
} // namespace

class TestSmtpSession : public QObject {
    Q_OBJECT
  private:
    TestEnv::PlatformHeadless env;
    std::unique_ptr<CaptureServer> capture_;
    int& ended_ = env.end.ended;

    std::unique_ptr<Form1> newForm(int port) {
        auto f = std::make_unique<Form1>();
        f->MailServer->setCurrentText(QStringLiteral("127.0.0.1:%1").arg(port));
        f->Frombox->setText(kFrom);
        f->SetTimeoutMs(10000);
        return f;
    }
    static bool windowBack(const Form1& f) {
        return !f.InSession() && f.SendMimeConnect->isEnabled() && f.btnExit->isEnabled() &&
               f.chksendUser->isEnabled() && f.ChkSendLog->isEnabled() && f.CMDfiles->isEnabled() &&
               f.CMDprivate->isEnabled() && !f.fraDown->isVisible();
    }
    static QString file(const char* name) { return ProgramFolder::file(QLatin1String(name)); }
    static QByteArray randomBytes(int n, quint32 seed) {
        QRandomGenerator rng(seed);
        QByteArray b(n, '\0');
        for (char& c : b)
            c = static_cast<char>(rng.bounded(256));
        return b;
    }
    // Sends and waits until the window is given back; the next message the server keeps.
    void send(Form1& f) {
        f.show();
        QVERIFY(f.SendMimeConnect->isEnabled());
        f.SendMimeConnect->click();
        QTRY_VERIFY_WITH_TIMEOUT(windowBack(f), 60000);
    }

  private slots:
    void initTestCase() {
        qunsetenv("QX3_SMTP_SERVER");
        capture_ = std::make_unique<CaptureServer>();
        QVERIFY2(capture_->start(), "the local SMTP server did not start (is python3-aiosmtpd installed?)");
    }
    void init() { env.reset(); }

    void reportArrivesByteExact() {
        QByteArray every;
        for (int b = 0; b < 256; ++b)
            every.append(static_cast<char>(b));
        writeAll(file("User.con"), every);
        // 570 bytes: 760 base64 characters, ten full lines, so the part ends in CR LF.
        const QByteArray log = randomBytes(570, 1);
        writeAll(file("Log.txt"), log);
        BoxRecorder& boxes = env.boxes;
        boxes.answer = [](const MsgBox::Box& s) {
            return s.title == kConfirm ? MsgBox::Answer::No : MsgBox::Answer::Yes;
        };
        auto f = newForm(capture_->port());
        f->Subjekt->setText(QStringLiteral("Crash on start"));
        f->Mailtxt->setPlainText(QStringLiteral("It crashed.\nTwice."));
        const int before = capture_->count();
        send(*f);
        QCOMPARE(f->Process->text(), kSent);
        QCOMPARE(capture_->count(), before + 1);
        const QByteArray expected = header("support@example.com", "Crash on start") +
                                    "It crashed.\r\nTwice." + part("User.con", every) + part("Log.txt", log) +
                                    kClosing;
        QCOMPARE(capture_->message(before + 1), expected);
        QCOMPARE(capture_->envelope(before + 1), QByteArray("me@example.com\nsupport@example.com\n"));
        QCOMPARE(boxes.count(kConfirm), 1);
        QCOMPARE(f->BarTwips(), Form1::kBarFullTwips);
        QCOMPARE(f->lblpcent->text(), QStringLiteral("100%"));
        QCOMPARE(ended_, 0); // "No" keeps the program
    }

    void messageTexts_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("body");
        QTest::newRow("a line of one dot") << QStringLiteral("a\n.\nb") << QByteArray("a\r\n.\r\nb");
        QTest::newRow("a line starting with a dot")
            << QStringLiteral("a\n.x\nb") << QByteArray("a\r\n.x\r\nb");
        QTest::newRow("ending in a dot line") << QStringLiteral("a\n.") << QByteArray("a\r\n.");
        QTest::newRow("dot first") << QStringLiteral(".\nQUIT") << QByteArray(".\r\nQUIT");
        QTest::newRow("bare LF") << QStringLiteral("one\ntwo\n") << QByteArray("one\r\ntwo\r\n");
        const QByteArray longLine(1500, 'L');
        QTest::newRow("1500-byte line")
            << QString::fromLatin1(longLine) << longLine.left(998) + "\r\n" + longLine.mid(998);
        // The first 8192-character piece ends inside a run of blanks.
        const qsizetype head = header("support@example.com", "").size();
        QByteArray spaced;
        while (8192 - head - 20 - spaced.size() > 80)
            spaced += QByteArray(78, 'a') + "\r\n";
        spaced += QByteArray(8192 - head - 20 - spaced.size(), 'a') + QByteArray(40, ' ') + "\r\n  b  ";
        QTest::newRow("blanks at a piece boundary")
            << QString::fromLatin1(QByteArray(spaced).replace("\r\n", "\n")) << spaced;
        QTest::newRow("empty") << QString() << QByteArray();
    }
    void messageTexts() {
        QFETCH(QString, text);
        QFETCH(QByteArray, body);
        auto f = newForm(capture_->port());
        f->chksendUser->setChecked(false);
        f->ChkSendLog->setChecked(false);
        f->Mailtxt->setPlainText(text);
        const int before = capture_->count();
        send(*f);
        QCOMPARE(f->Process->text(), kSent);
        QCOMPARE(capture_->count(), before + 1);
        // No attachment: the closing delimiter follows the text.
        QCOMPARE(capture_->message(before + 1), header("support@example.com", "") + body + kClosing);
    }

    void missingFileIsLeftOutNotCreated() {
        const QByteArray user("Name=Ann\r\n");
        writeAll(file("User.con"), user);
        auto f = newForm(capture_->port());
        const int before = capture_->count();
        send(*f);
        QCOMPARE(f->Process->text(), kSent);
        QCOMPARE(capture_->message(before + 1),
                 header("support@example.com", "") + part("User.con", user) + kClosing);
        QVERIFY(!QFileInfo::exists(file("Log.txt")));
    }

    void droppedFilesGoAfterTheTwo() {
        const QByteArray user("U"), dropped("dropped file\r\n");
        writeAll(file("User.con"), user);
        QTemporaryDir elsewhere;
        const QString path = elsewhere.filePath(QStringLiteral("crash dump.bin"));
        writeAll(path, dropped);
        auto f = newForm(capture_->port());
        f->AttachmentList_OLEDragDrop({path});
        const int before = capture_->count();
        send(*f);
        QCOMPARE(f->Process->text(), kSent);
        QCOMPARE(capture_->message(before + 1), header("support@example.com", "") + part("User.con", user) +
                                                    part("crash dump.bin", dropped) + kClosing);
    }

    // A file dropped by mistake is left out by taking away its tick, and goes again when ticked.
    void droppedFileLeftOutByItsTick() {
        writeAll(file("User.con"), "U");
        QTemporaryDir elsewhere;
        const QString wrong = elsewhere.filePath(QStringLiteral("private.txt"));
        const QString meant = elsewhere.filePath(QStringLiteral("trace.txt"));
        writeAll(wrong, "not for them\r\n");
        writeAll(meant, "trace\r\n");
        auto f = newForm(capture_->port());
        f->AttachmentList_OLEDragDrop({wrong, meant});
        QListWidgetItem* item = f->AttachmentList->item(0);
        QCOMPARE(item->text(), wrong);
        QCOMPARE(item->checkState(), Qt::Checked);
        item->setCheckState(Qt::Unchecked); // as a click on its box does
        int before = capture_->count();
        send(*f);
        QCOMPARE(f->Process->text(), kSent);
        QCOMPARE(capture_->message(before + 1), header("support@example.com", "") + part("User.con", "U") +
                                                    part("trace.txt", "trace\r\n") + kClosing);
        // The list the send rebuilt keeps the tick as the user left it.
        QStringList shown;
        for (int i = 0; i < f->AttachmentList->count(); ++i) {
            const QListWidgetItem* it = f->AttachmentList->item(i);
            const bool checkable = it->data(Qt::CheckStateRole).isValid();
            shown << QFileInfo(it->text()).fileName() +
                         (checkable ? (it->checkState() == Qt::Checked ? "+" : "-") : QString());
        }
        QCOMPARE(shown, (QStringList{"User.con", "Log.txt", "private.txt-", "trace.txt+"}));
        f->AttachmentList->item(2)->setCheckState(Qt::Checked);
        before = capture_->count();
        send(*f);
        QCOMPARE(capture_->message(before + 1), header("support@example.com", "") + part("User.con", "U") +
                                                    part("private.txt", "not for them\r\n") +
                                                    part("trace.txt", "trace\r\n") + kClosing);
    }

    void twoRecipientsOneConfirmation() {
        BoxRecorder& boxes = env.boxes;
        boxes.answer = [](const MsgBox::Box& s) {
            return s.title == kConfirm ? MsgBox::Answer::No : MsgBox::Answer::Yes;
        };
        auto f = newForm(capture_->port());
        f->chksendUser->setChecked(false);
        f->ChkSendLog->setChecked(false);
        f->SetTobox(QStringLiteral("support@example.com, second@example.com"));
        const int before = capture_->count();
        send(*f);
        QCOMPARE(capture_->count(), before + 2);
        QVERIFY(
            capture_->message(before + 1).startsWith("From: me@example.com\r\nTo: support@example.com\r\n"));
        QVERIFY(
            capture_->message(before + 2).startsWith("From: me@example.com\r\nTo: second@example.com\r\n"));
        QCOMPARE(capture_->envelope(before + 2), QByteArray("me@example.com\nsecond@example.com\n"));
        QCOMPARE(boxes.count(kConfirm), 1);
        QCOMPARE(f->RecipientIndex(), 0);
        // The next Send starts again from the first recipient, and asks no more.
        send(*f);
        QCOMPARE(capture_->count(), before + 4);
        QVERIFY(capture_->message(before + 3).contains("\r\nTo: support@example.com\r\n"));
        QCOMPARE(boxes.count(kConfirm), 1);
    }

    void confirmationYesEndsTheProgram() {
        BoxRecorder& boxes = env.boxes;
        auto f = newForm(capture_->port());
        f->chksendUser->setChecked(false);
        f->ChkSendLog->setChecked(false);
        send(*f);
        QCOMPARE(boxes.count(kConfirm), 1);
        QCOMPARE(ended_, 1);
    }

    void sizeQuestion_data() {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("answer"); // MsgBox::Answer
        QTest::addColumn<bool>("asked");
        QTest::addColumn<bool>("sent");
        QTest::newRow("2 MiB exactly, no question") << 2097152 << int(MsgBox::Answer::No) << false << true;
        QTest::newRow("one byte more, Yes") << 2097153 << int(MsgBox::Answer::Yes) << true << true;
        QTest::newRow("one byte more, No") << 2097153 << int(MsgBox::Answer::No) << true << false;
        QTest::newRow("one byte more, Cancel") << 2097153 << int(MsgBox::Answer::Cancel) << true << true;
    }
    void sizeQuestion() {
        QFETCH(int, size);
        QFETCH(int, answer);
        QFETCH(bool, asked);
        QFETCH(bool, sent);
        const QByteArray log = randomBytes(size, 2);
        writeAll(file("Log.txt"), log);
        BoxRecorder& boxes = env.boxes;
        boxes.answer = [answer](const MsgBox::Box& s) {
            if (s.title == kConfirm) return MsgBox::Answer::No;
            if (s.buttons == MsgBox::Buttons::YesNoCancel) return MsgBox::Answer(answer);
            return MsgBox::Answer::Yes;
        };
        auto f = newForm(capture_->port());
        f->chksendUser->setChecked(false);
        boxes.whileOpen = [&] {
            if (boxes.shown.back().buttons == MsgBox::Buttons::YesNoCancel)
                saveScreenshot(f.get(), QStringLiteral("help_size_question"));
        };
        const int before = capture_->count();
        send(*f);
        boxes.whileOpen = nullptr;
        QCOMPARE(f->Process->text(), kSent);
        const QString question =
            QStringLiteral("The current file is 2 MB of size, extracting from it could take a few minutes, "
                           "Click Yes to go ahead, "
                           "No to skip it or Cancel if you don't want to get this message again");
        QCOMPARE(boxes.sawText(question), asked);
        // An answered No leaves the part's header with nothing under it.
        const QByteArray logPart =
            sent ? part("Log.txt", log) : part("Log.txt", QByteArray()); // header alone
        QCOMPARE(capture_->message(before + 1), header("support@example.com", "") + logPart + kClosing);

        // Cancel means never again, also for the next start of the program.
        boxes.shown.clear();
        auto again = newForm(capture_->port());
        again->chksendUser->setChecked(false);
        send(*again);
        QCOMPARE(again->Process->text(), kSent);
        const bool never = MsgBox::Answer(answer) == MsgBox::Answer::Cancel;
        QCOMPARE(boxes.sawText(question), asked && !never);
    }

    void scriptedServer_data() {
        QTest::addColumn<QList<ScriptedSmtp::Reply>>("script");
        QTest::addColumn<qint64>("closeInData");
        QTest::addColumn<QString>("status"); // "" for any failure of sending
        using R = ScriptedSmtp::Reply;
        using L = QList<ScriptedSmtp::Reply>;
        const R ok250{{"250 ok\r\n"}}, data354{{"354 go ahead\r\n"}}, bye{{"221 bye\r\n"}, true};
        const R hello{{"220 scripted ESMTP\r\n"}};
        QTest::newRow("greeting split over two reads")
            << L{R{{"22", "0 hello\r\n"}}, ok250, ok250, ok250, data354, ok250, bye} << qint64(-1) << kSent;
        QTest::newRow("multi-line replies") << L{R{{"220-first\r\n", "220-second\r\n", "220 last\r\n"}},
                                                 R{{"250-scripted\r\n250-SIZE 100\r\n", "250 HELP\r\n"}},
                                                 ok250,
                                                 ok250,
                                                 data354,
                                                 R{{"2", "50 queued\r", "\n"}},
                                                 bye}
                                            << qint64(-1) << kSent;
        QTest::newRow("greeting 554") << L{R{{"554 go away\r\n"}}} << qint64(-1) << kUnexpected;
        QTest::newRow("recipient refused")
            << L{hello, ok250, ok250, R{{"550 no such user\r\n"}}} << qint64(-1) << kUnexpected;
        QTest::newRow("garbage greeting") << L{R{{"\x01\x02\xFFgarbage\r\n"}}} << qint64(-1) << kUnexpected;
        QTest::newRow("endless greeting line") << L{R{{QByteArray(4000, 'x')}}} << qint64(-1) << kUnexpected;
        QTest::newRow("hangs up before the greeting") << L{R{{}, true}} << qint64(-1) << kUnexpected;
        QTest::newRow("hangs up after HELO") << L{hello, R{{}, true}} << qint64(-1) << kUnexpected;
        QTest::newRow("silent after HELO")
            << L{hello} << qint64(-1)
            << QStringLiteral("SMTP service error, timed out while waiting for "
                              "response");
        QTest::newRow("hangs up after 354")
            << L{hello, ok250, ok250, ok250, R{{"354 go\r\n"}, true}} << qint64(-1) << QString();
        QTest::newRow("hangs up mid-attachment")
            << L{hello, ok250, ok250, ok250, data354} << qint64(200000) << QString();
    }
    void scriptedServer() {
        QFETCH(QList<ScriptedSmtp::Reply>, script);
        QFETCH(qint64, closeInData);
        QFETCH(QString, status);
        // A log big enough that the data is still being sent when the server hangs up.
        writeAll(file("Log.txt"), randomBytes(1500000, 3));
        ScriptedSmtp server;
        server.script = script;
        server.closeInDataAfter = closeInData;
        QVERIFY(server.start());
        BoxRecorder& boxes = env.boxes;
        boxes.answer = [](const MsgBox::Box& s) {
            return s.title == kConfirm ? MsgBox::Answer::No : MsgBox::Answer::Yes;
        };
        auto f = newForm(server.port());
        f->chksendUser->setChecked(false);
        f->SetTimeoutMs(status.startsWith(QStringLiteral("SMTP service error")) ? 500 : 10000);
        send(*f);
        QCOMPARE(server.received.size(), 1);
        if (status == kSent) {
            QCOMPARE(f->Process->text(), kSent);
            QVERIFY(server.received[0].startsWith("HELO example.com\r\nMAIL FROM: <me@example.com>\r\n"
                                                  "RCPT TO: <support@example.com>\r\nDATA\r\nFrom: "));
            QVERIFY(server.received[0].endsWith("\r\n--NextMimePart--\r\n\r\n.\r\nQUIT\r\n"));
            QCOMPARE(boxes.count(kConfirm), 1);
        } else {
            if (status.isEmpty())
                QVERIFY2(f->Process->text() == kUnexpected ||
                             f->Process->text().startsWith(QStringLiteral("Cannot Send Request. 10054 ")),
                         qPrintable(f->Process->text()));
            else
                QCOMPARE(f->Process->text(), status);
            QCOMPARE(boxes.count(kConfirm), 0);
            QCOMPARE(f->Step(), 0);
        }
        // Our end of the connection is closed in every case.
        QTRY_VERIFY(!server.clientOpen());
        QCOMPARE(ended_, 0);
        // And the window can send again.
        QVERIFY(windowBack(*f));
    }

    // Exit, Escape and a close of the window end a session at once, waiting for a reply or
    // sending to a server that takes the data slowly: the connection is closed, the status says
    // so, nothing is reported sent; Exit ends the program, the others give the window back.
    void userEndsTheSession_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("sending"); // else waiting for the reply to HELO
        for (const char* how : {"exit", "escape", "close"}) {
            QTest::addRow("%s, waiting for a reply", how) << QString::fromLatin1(how) << false;
            QTest::addRow("%s, sending", how) << QString::fromLatin1(how) << true;
        }
    }
    void userEndsTheSession() {
        QFETCH(QString, how);
        QFETCH(bool, sending);
        using R = ScriptedSmtp::Reply;
        const R ok250{{"250 ok\r\n"}};
        ScriptedSmtp server;
        server.script = {R{{"220 hello\r\n"}}};
        if (sending) {
            server.script << ok250 << ok250 << ok250 << R{{"354 go\r\n"}};
            server.dripMs = 100;
            writeAll(file("Log.txt"), randomBytes(8 * 1024 * 1024, 5)); // more than the buffers hold
        }
        QVERIFY(server.start());
        auto* f = new Form1;
        const QPointer<Form1> guard(f);
        f->MailServer->setCurrentText(QStringLiteral("127.0.0.1:%1").arg(server.port()));
        f->Frombox->setText(kFrom);
        f->chksendUser->setChecked(false);
        f->show();
        QVERIFY(QTest::qWaitForWindowActive(f));
        Steps ending;
        bool exitUsable = false;
        ending.add([&] {
            const bool under = sending ? f->Process->text().startsWith(QStringLiteral("Sending Log.txt"))
                                       : f->Step() == 1 && server.received.value(0).contains("HELO");
            if (!under) return false;
            exitUsable = f->btnExit->isEnabled() && !f->SendMimeConnect->isEnabled();
            if (how == QLatin1String("exit"))
                QTest::mouseClick(f->btnExit, Qt::LeftButton);
            else if (how == QLatin1String("escape"))
                QTest::keyClick(f, Qt::Key_Escape);
            else
                f->close();
            return true;
        });
        ending.start(TestEnv::kNetWait, [f] { f->btnExit->click(); });
        QElapsedTimer clock;
        clock.start();
        f->SendMimeConnect->click();
        QVERIFY2(ending.wait(), qPrintable(f->Process->text()));
        QTRY_VERIFY(!f->InSession());
        QVERIFY(clock.elapsed() < TestEnv::kNetWait);
        QVERIFY(exitUsable);
        QCOMPARE(f->Process->text(),
                 QStringLiteral("Cannot Send Request. 10053 Software caused connection abort."));
        // Behind a drip the server sees the close only once it has read what backed up.
        if (!sending) QTRY_VERIFY(!server.clientOpen());
        QVERIFY(!server.received.value(0).contains("\r\n.\r\n"));
        QCOMPARE(env.boxes.count(kConfirm), 0);
        QCOMPARE(ended_, how == QLatin1String("exit") ? 1 : 0);
        if (how != QLatin1String("exit")) {
            QVERIFY(f->isVisible());
            QVERIFY(windowBack(*f));
        }
        QVERIFY(guard);
        delete f;
    }

    // A server that holds up the message ends the session long before any reply's time-out:
    // one that takes it slower than the floor as a send that timed out, one that floods while
    // it goes out as an unexpected answer, cut off at once rather than heard out.
    void serverHoldingUpTheData_data() {
        QTest::addColumn<QByteArray>("flood"); // sent after the 354; none: the floor ends it
        QTest::addColumn<QString>("status");
        QTest::newRow("drips") << QByteArray() << "Cannot Send Request. 10060 Connection timed out.";
        QTest::newRow("floods") << QByteArray(300000, 'x') << kUnexpected;
    }
    void serverHoldingUpTheData() {
        QFETCH(QByteArray, flood);
        QFETCH(QString, status);
        std::optional<ShortFloorWindow> floor;
        if (flood.isEmpty()) floor.emplace();
        using R = ScriptedSmtp::Reply;
        const R ok250{{"250 ok\r\n"}};
        ScriptedSmtp server;
        server.script = {R{{"220 hello\r\n"}},    ok250, ok250, ok250, R{{"354 go\r\n"}}, ok250,
                         R{{"221 bye\r\n"}, true}};
        if (!flood.isEmpty()) server.script[4].chunks << flood;
        server.dripMs = 100; // the message backs up, still going out when the flood comes
        QVERIFY(server.start());
        writeAll(file("Log.txt"), randomBytes(8 * 1024 * 1024, 6));
        auto f = newForm(server.port());
        f->chksendUser->setChecked(false);
        QElapsedTimer clock;
        clock.start();
        send(*f);
        QVERIFY(clock.elapsed() < TestEnv::kNetWait);
        QCOMPARE(f->Process->text(), status);
        QVERIFY(windowBack(*f));
        QVERIFY(!server.received.value(0).contains("\r\n.\r\n"));
        QVERIFY(f->DataArrival->toPlainText().size() < 2 * SmtpReplyReader::kMaxReply);
        QCOMPARE(env.boxes.count(kConfirm), 0);
        QCOMPARE(ended_, 0);
    }

    void cannotConnect_data() {
        QTest::addColumn<QString>("server");
        QTest::addColumn<QString>("status");
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
        const quint16 closedPort = probe.serverPort();
        probe.close();
        QTest::newRow("refused") << QStringLiteral("127.0.0.1:%1").arg(closedPort)
                                 << QStringLiteral("Cannot Connect to Orvanta Connection refused.");
        QTest::newRow("unknown host")
            << QStringLiteral("no-such-host.invalid") << QStringLiteral("Unknown Host: Orvanta");
    }
    void cannotConnect() {
        QFETCH(QString, server);
        QFETCH(QString, status);
        BoxRecorder& boxes = env.boxes;
        auto f = newForm(1);
        f->MailServer->setCurrentText(server);
        send(*f);
        QCOMPARE(f->Process->text(), status);
        QCOMPARE(boxes.count(kConfirm), 0);
    }

    // A connect that neither succeeds nor fails ends at its deadline, or at once by Escape or
    // Exit.
    void connectTimesOut_data() {
        QTest::addColumn<QString>("how"); // "" waits for the deadline
        QTest::addColumn<QString>("status");
        const QString timedOut = QStringLiteral("Cannot Connect to Orvanta Connection timed out.");
        const QString aborted = QStringLiteral("Cannot Connect to Orvanta Software caused connection abort.");
        QTest::newRow("deadline") << QString() << timedOut;
        QTest::newRow("escape") << QStringLiteral("escape") << aborted;
        QTest::newRow("exit") << QStringLiteral("exit") << aborted;
    }
    void connectTimesOut() {
        QFETCH(QString, how);
        QFETCH(QString, status);
        // A listener whose queue is full: the kernel drops further connection requests, so a
        // connect neither succeeds nor fails until the deadline.
        const int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        QVERIFY(listener >= 0);
        sockaddr_in sa{};
        sa.sin_family = AF_INET;
        sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof sa;
        QVERIFY(::bind(listener, reinterpret_cast<sockaddr*>(&sa), sizeof sa) == 0);
        QVERIFY(::listen(listener, 0) == 0);
        QVERIFY(::getsockname(listener, reinterpret_cast<sockaddr*>(&sa), &len) == 0);
        std::vector<int> queued;
        for (int i = 0; i < 4; ++i) {
            const int c = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
            ::connect(c, reinterpret_cast<sockaddr*>(&sa), sizeof sa);
            queued.push_back(c);
        }
        auto f = newForm(ntohs(sa.sin_port));
        f->SetTimeoutMs(how.isEmpty() ? 700 : TestEnv::kNetWait);
        Steps ending;
        if (!how.isEmpty()) {
            f->show();
            QVERIFY(QTest::qWaitForWindowActive(f.get()));
            ending.add([&] {
                if (!f->InSession()) return false;
                if (how == QLatin1String("exit"))
                    QTest::mouseClick(f->btnExit, Qt::LeftButton);
                else
                    QTest::keyClick(f.get(), Qt::Key_Escape);
                return true;
            });
            ending.start(TestEnv::kNetWait, [] {});
        }
        QElapsedTimer clock;
        clock.start();
        f->show();
        f->SendMimeConnect->click();
        QTRY_VERIFY_WITH_TIMEOUT(!f->InSession(), TestEnv::kNetWait);
        if (!how.isEmpty()) {
            QVERIFY(ending.wait());
            QVERIFY(clock.elapsed() < TestEnv::kNetWait);
        }
        QCOMPARE(f->Process->text(), status);
        QCOMPARE(ended_, how == QLatin1String("exit") ? 1 : 0);
        if (how != QLatin1String("exit")) QTRY_VERIFY(windowBack(*f));
        for (int c : queued)
            ::close(c);
        ::close(listener);
    }

    // Without a window: one end, nothing reported after it, the progress within the bar and
    // full at the end, and the whole conversation among the replies.
    void sessionOnItsOwn() {
        QTemporaryDir elsewhere;
        const QString path = elsewhere.filePath(QStringLiteral("trace.bin"));
        const QByteArray content = randomBytes(20000, 4); // several pieces of base64
        writeAll(path, content);
        SessionRecorder rec;
        SmtpSession session(rec);
        session.SetTimeoutMs(10000);
        const int before = capture_->count();
        session.Start(QStringLiteral("127.0.0.1:%1").arg(capture_->port()),
                      {kFrom,
                       QStringLiteral("support@example.com"),
                       QStringLiteral("Subject"),
                       QStringLiteral("Text"),
                       {path, elsewhere.filePath(QStringLiteral("absent"))}});
        QTRY_VERIFY2_WITH_TIMEOUT(!rec.ends.isEmpty(), qPrintable(rec.statuses.join(QLatin1Char('|'))),
                                  TestEnv::kNetWait);
        TestEnv::settle();
        QCOMPARE(rec.ends.size(), 1);
        QCOMPARE(rec.ends[0].sent, true);
        QCOMPARE(rec.ends[0].status, kSent);
        QCOMPARE(rec.afterEnd, 0);
        QVERIFY(!session.InSession());
        QCOMPARE(session.Step(), 0);
        QCOMPARE(capture_->message(before + 1),
                 header("support@example.com", "Subject") + "Text" + part("trace.bin", content) + kClosing);
        QCOMPARE(rec.asked, 1);
        QCOMPARE(rec.bigFiles, 0);
        QCOMPARE(rec.statuses.first(), QStringLiteral("Connected to Orvanta"));
        QVERIFY(rec.statuses.contains(QStringLiteral("Loading ") + path));
        QVERIFY(rec.bars.size() > 4);
        for (const auto& [twips, percent] : rec.bars) {
            QVERIFY2(twips >= 0 && twips <= SmtpSession::kBarFullTwips, qPrintable(QString::number(twips)));
            QVERIFY2(percent >= 0 && percent <= 100, qPrintable(QString::number(percent)));
        }
        QCOMPARE(rec.bars.last(), qMakePair(int(SmtpSession::kBarFullTwips), 100));
        QCOMPARE(rec.cleared, 2); // once connected, and when sent
        QVERIFY2(rec.replies.startsWith(QStringLiteral("220")), qPrintable(rec.replies));
        QVERIFY2(rec.replies.contains(QStringLiteral("\r\n221")), qPrintable(rec.replies));
    }

    // A listener that says no once the socket is made: the session ends without a status and
    // the server never hears of it.
    void declinedSessionConnectsNowhere() {
        ScriptedSmtp server;
        server.script = {ScriptedSmtp::Reply{{"220 hello\r\n"}}};
        QVERIFY(server.start());
        SessionRecorder rec;
        rec.connect = false;
        SmtpSession session(rec);
        session.Start(QStringLiteral("127.0.0.1:%1").arg(server.port()),
                      {kFrom, QStringLiteral("support@example.com"), {}, {}, {}});
        QCOMPARE(rec.asked, 1);
        QCOMPARE(rec.ends.size(), 1);
        QCOMPARE(rec.ends[0].sent, false);
        QCOMPARE(rec.ends[0].status, QString());
        QVERIFY(rec.statuses.isEmpty());
        QVERIFY(!session.InSession());
        TestEnv::settle();
        QCOMPARE(server.received.size(), 0);
    }

    // ended() is the last thing a session does: its listener may start it again there, or
    // destroy it, however it ended.
    void endedMayStartAgainOrDestroy_data() {
        QTest::addColumn<QList<ScriptedSmtp::Reply>>("script");
        QTest::addColumn<bool>("again"); // start again once, else destroy
        QTest::addColumn<QString>("status");
        using R = ScriptedSmtp::Reply;
        using L = QList<ScriptedSmtp::Reply>;
        const R ok250{{"250 ok\r\n"}}, hello{{"220 hello\r\n"}};
        const L good{hello, ok250, ok250, ok250, R{{"354 go\r\n"}}, ok250, R{{"221 bye\r\n"}, true}};
        const L refused{R{{"554 no\r\n"}}};
        QTest::newRow("sent, again") << good << true << kSent;
        QTest::newRow("sent, destroyed") << good << false << kSent;
        QTest::newRow("refused, again") << refused << true << kUnexpected;
        QTest::newRow("refused, destroyed") << refused << false << kUnexpected;
        QTest::newRow("silent, destroyed")
            << L{hello} << false
            << QStringLiteral("SMTP service error, timed out while waiting for response");
        QTest::newRow("hangs up, destroyed") << L{R{{}, true}} << false << kUnexpected;
    }
    void endedMayStartAgainOrDestroy() {
        QFETCH(QList<ScriptedSmtp::Reply>, script);
        QFETCH(bool, again);
        QFETCH(QString, status);
        ScriptedSmtp server;
        server.script = script;
        QVERIFY(server.start());
        const QString address = QStringLiteral("127.0.0.1:%1").arg(server.port());
        SessionRecorder rec;
        auto session = std::make_unique<SmtpSession>(rec);
        session->SetTimeoutMs(status.startsWith(QStringLiteral("SMTP service error")) ? 300 : 10000);
        rec.onEnd = [&] {
            if (!again)
                session.reset();
            else if (rec.ends.size() == 1)
                session->Start(address, {kFrom, QStringLiteral("second@example.com"), {}, {}, {}});
        };
        session->Start(address, {kFrom, QStringLiteral("support@example.com"), {}, {}, {}});
        const qsizetype ends = again ? 2 : 1;
        QTRY_VERIFY2_WITH_TIMEOUT(rec.ends.size() >= ends, qPrintable(rec.statuses.join(QLatin1Char('|'))),
                                  TestEnv::kNetWait);
        TestEnv::settle();
        QCOMPARE(rec.ends.size(), ends);
        for (const SessionRecorder::End& end : rec.ends) {
            QCOMPARE(end.status, status);
            QCOMPARE(end.sent, status == kSent);
        }
        QCOMPARE(rec.afterEnd, 0);
        QCOMPARE(server.received.size(), int(ends));
        if (status == kSent)
            QVERIFY2(server.received.last().contains(again ? "RCPT TO: <second@example.com>\r\n"
                                                           : "RCPT TO: <support@example.com>\r\n"),
                     server.received.last().constData());
        QCOMPARE(bool(session), again);
        if (session) QVERIFY(!session->InSession());
        QTRY_VERIFY(!server.clientOpen());
    }

    void noInternetQuestion() {
        // Where this computer's name maps to 127.0.0.1 the program asks before it tries; No stops.
        if (Form1().IsConnected2Internet()) QSKIP("this computer's name does not map to 127.0.0.1");
        BoxRecorder& boxes = env.boxes;
        boxes.answer = [](const MsgBox::Box&) { return MsgBox::Answer::No; };
        auto f = newForm(capture_->port());
        const int before = capture_->count();
        send(*f);
        QVERIFY(boxes.sawText(
            QStringLiteral("No Internet connection has been detected, try to send Email anyway?")));
        QVERIFY(!f->InSession());
        QCOMPARE(capture_->count(), before);
    }
};

QTEST_MAIN(TestSmtpSession)
#include "tst_smtpsession.moc"
