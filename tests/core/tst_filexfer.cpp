// File transfer: the test as a raw peer that checks every answer's exact bytes, and a second
// real process (netpeer) at the other end of whole transfers.
#include "core/clsChat.h"
#include "core/clsFileXfer.h"
#include "core/modAppFnc.h"
#include "core/modGlobals.h"
#include "core/modLangConst.h"
#include "core/modNetCmds.h"
#include "platform/Ansi.h"
#include "support/Headless.h"
#include "support/NetPeer.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {
const QString S(modGlobals::kSep);

// Datagrams with "~" standing for the separator.
QString d(QString text) {
    return text.replace(QLatin1Char('~'), modGlobals::kSep);
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}
void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}
QByteArray allBytes(int size) {
    QByteArray b(size, '\0');
    for (int i = 0; i < size; ++i)
        b[i] = char(i % 256);
    return b;
}

struct ProgressRecorder : XferProgress {
    QStringList calls;
    bool open = false;
    void Open(const QString& to, const QString& file) override {
        open = true;
        calls << QStringLiteral("open %1 %2").arg(to, file);
    }
    void SetPrg(qint64 done, qint64 total) override {
        calls << QStringLiteral("prg %1/%2").arg(done).arg(total);
    }
    void SetStat(int state) override { calls << QStringLiteral("stat %1").arg(state); }
    void Unload() override {
        open = false;
        calls << QStringLiteral("unload");
    }
};
} // namespace

class TestFileXfer : public QObject {
    Q_OBJECT
    TestEnv::Headless env{TestEnv::Loopback};
    QTemporaryDir save;
    TestOwner owner;
    clsChat ear; // the raw peers' own slot: hears what this copy sends
    QStringList heard;
    MessageRecorder& msg = env.messages;
    ProgressRecorder progress;
    std::unique_ptr<Slot<XferProgress>::Override> progressIn;
    int probe = 0;

    // A raw peer sends a datagram under its own name.
    void from(const QString& sender, const QString& data) {
        ear.SendMessage(QString(), QStringLiteral("*"), sender + S + d(data));
    }
    void collect() {
        const QString mine = modNetCmds::MyName() + S;
        for (const QString& m : ear.GetMessages())
            if (m.mid(1).startsWith(mine)) heard << m.mid(1 + mine.size());
    }
    // Waits until this copy has sent `data` (with "~" for the separator), then forgets all heard so far.
    bool expectSent(const QString& data) { return expectSentExact(d(data)); }
    bool expectSentExact(const QString& want) {
        const bool ok = QTest::qWaitFor(
            [&] {
                collect();
                return heard.contains(want);
            },
            TestEnv::kNetWait);
        if (!ok) qWarning() << "heard" << heard << "wanted" << want;
        heard.clear();
        return ok;
    }
    // Everything this copy sent in answer to what came before a probe of its own (an "R"
    // request, which is answered at once); the probe's answer is left out.
    QStringList sentBeforeProbe() {
        const QString tag = QStringLiteral("probe%1").arg(++probe);
        modGlobals::Sets().UPN = tag;
        from(QStringLiteral("Zed"), QStringLiteral("RMe~P~"));
        const QString reply =
            d(QStringLiteral("IZed~")) + modLangConst::Get(QStringLiteral("NetCmd_PhoneSendMsg")) + tag;
        [[maybe_unused]] const bool ok = QTest::qWaitFor(
            [&] {
                collect();
                return heard.contains(reply);
            },
            TestEnv::kNetWait);
        QStringList before;
        for (const QString& h : heard) {
            if (h == reply) break;
            if (!h.startsWith(QLatin1Char('C')) && !h.startsWith(QLatin1Char('S')) &&
                !h.startsWith(QLatin1Char('F')) && !h.startsWith(QLatin1Char('B')) &&
                !h.startsWith(QLatin1Char('P')) && h != QLatin1String("E"))
                before << h; // presence, and the layer's goodbye, are not answers
        }
        heard.clear();
        return before;
    }
    QStringList tempFiles() const { return QDir(save.path()).entryList(QDir::Files | QDir::Hidden); }
    // Bob offers F; this copy says yes and answers "y".
    void acceptFromBob(const QString& F) {
        msg.answers = {0};
        from(QStringLiteral("Bob"), QStringLiteral("1Me~") + F + QStringLiteral("~"));
        QVERIFY(expectSent(QStringLiteral("2Bob~y~") + F + QStringLiteral("~")));
        QCOMPARE(modNetCmds::XferFile(), qint16(1));
    }

  private slots:
    void initTestCase() {
        QVERIFY(save.isValid());
        modLangConst::SetDefaultStrings();
        clsFileXfer::Install();
        progressIn = std::make_unique<Slot<XferProgress>::Override>(XferWindows::progress(), progress);
        ear.Init(QStringLiteral("QX3"));
        modGlobals::Sets().UNAME = QStringLiteral("Me");
        modNetCmds::OpenNetCom(&owner, QStringLiteral("Me"));
    }
    void cleanupTestCase() {
        modNetCmds::CloseNetCom(1);
        NetHooks::fileTransfer().set(nullptr);
        progressIn.reset();
    }
    void init() {
        msg.shown.clear();
        msg.answers.clear();
        msg.whileOpen = nullptr;
        env.dialogs.answer = {};
        env.dialogs.fileCalls = env.dialogs.folderCalls = 0;
        env.dialogs.folderAnswer.clear();
        auto& s = modGlobals::Sets();
        s.SFLD = save.path();
        s.BLC.clear();
        clsFileXfer::Instance().SetTimeoutMs(0);
        progress.calls.clear();
        QDir(save.path()).removeRecursively();
        QVERIFY(QDir().mkpath(save.path()));
        ear.GetMessages();
        heard.clear();
    }
    void cleanup() {
        // Whatever a case left half done ends with the layer's reopening.
        if (clsFileXfer::Instance().Current()) modNetCmds::OpenNetCom(&owner, QStringLiteral("Me"));
        QCOMPARE(modNetCmds::XferFile(), qint16(-1));
    }

    // --- receiving: names from the network ---------------------------------------------------

    void receivedNames_data() {
        QTest::addColumn<QString>("F");
        QTest::addColumn<QString>("lands"); // "" when the offer is declined unasked
        QTest::newRow("windows path") << "C:\\docs\\a.txt"
                                      << "a.txt";
        QTest::newRow("climbing backslashes") << "..\\..\\x"
                                              << "x";
        QTest::newRow("climbing slashes") << "../../x"
                                          << "x";
        QTest::newRow("absolute") << "/etc/passwd"
                                  << "passwd";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("dot") << "."
                             << "";
        QTest::newRow("dot dot") << ".."
                                 << "";
        QTest::newRow("folder only") << "C:\\docs\\"
                                     << "";
        QTest::newRow("trailing dot dot") << "a/.."
                                          << "";
    }
    void receivedNames() {
        QFETCH(QString, F);
        QFETCH(QString, lands);
        if (lands.isEmpty()) {
            from(QStringLiteral("Bob"), QStringLiteral("1Me~") + F + QStringLiteral("~"));
            QVERIFY(expectSent(QStringLiteral("2Bob~n~") + F + QStringLiteral("~")));
            QVERIFY(msg.shown.empty()); // not asked
            return;
        }
        acceptFromBob(F);
        QCOMPARE(msg.shown.size(), std::size_t(1));
        QCOMPARE(msg.shown[0].text, QStringLiteral("Do you want to receive the file ") + F +
                                        QStringLiteral(" from Bob?\r\nNOTE: if a file with the same name has "
                                                       "already be received it will be over-written with out "
                                                       "prompting"));
        from(QStringLiteral("Bob"), QStringLiteral("3Me~") + F + QStringLiteral("~3~"));
        QVERIFY(expectSent(QStringLiteral("4Bob~") + F + QStringLiteral("~")));
        from(QStringLiteral("Bob"), QStringLiteral("6Me~a\x01z"));
        QVERIFY(expectSent(QStringLiteral("5Bob~")));
        from(QStringLiteral("Bob"), QStringLiteral("7Me~"));
        QTRY_COMPARE_WITH_TIMEOUT(modNetCmds::XferFile(), qint16(-1), TestEnv::kNetWait);
        QCOMPARE(readAll(QDir(save.path()).filePath(lands)), QByteArray("a\x01z"));
        QCOMPARE(tempFiles(), QStringList{lands});
        QCOMPARE(msg.shown.back().text, QStringLiteral("File receive complete."));
        QCOMPARE(progress.calls.first(),
                 QStringLiteral("open Bob %1").arg(QDir(save.path()).filePath(lands)));
        QCOMPARE(progress.calls.last(), QStringLiteral("unload"));
    }

    void targetThatIsNoFile_data() {
        QTest::addColumn<bool>("link");
        QTest::newRow("folder") << false;
        QTest::newRow("link") << true;
    }
    void targetThatIsNoFile() {
        QFETCH(bool, link);
        const QString target = QDir(save.path()).filePath(QStringLiteral("x"));
        QTemporaryDir elsewhere;
        const QString victim = QDir(elsewhere.path()).filePath(QStringLiteral("victim"));
        writeFile(victim, "keep");
        if (link)
            QVERIFY(QFile::link(victim, target));
        else
            QVERIFY(QDir().mkpath(target));
        acceptFromBob(QStringLiteral("x"));
        from(QStringLiteral("Bob"), QStringLiteral("3Me~x~4~"));
        QTRY_COMPARE_WITH_TIMEOUT(modNetCmds::XferFile(), qint16(-1), TestEnv::kNetWait);
        QCOMPARE(msg.shown.back().text, QStringLiteral("File receive failed.\r\n") + target);
        QCOMPARE(msg.shown.back().icon, 6);
        QCOMPARE(readAll(victim), QByteArray("keep"));
        QVERIFY(sentBeforeProbe().isEmpty()); // no "4"
    }

    // --- receiving: what a peer may not do ---------------------------------------------------

    void unsolicitedRequestsSendNothing_data() {
        QTest::addColumn<QString>("datagram");
        QTest::newRow("ready for any path") << "4Me~/etc/passwd~";
        QTest::newRow("accept of no offer") << "2Me~y~/etc/passwd~";
        QTest::newRow("ack of no chunk") << "5Me~";
        QTest::newRow("size of no offer") << "3Me~x~5~";
        QTest::newRow("chunk of nothing") << "6Me~abc";
        QTest::newRow("end of nothing") << "7Me~";
    }
    void unsolicitedRequestsSendNothing() {
        QFETCH(QString, datagram);
        from(QStringLiteral("Bob"), datagram);
        QCOMPARE(sentBeforeProbe(), QStringList());
        QVERIFY(msg.shown.empty());
        QCOMPARE(modNetCmds::XferFile(), qint16(-1));
        QVERIFY(tempFiles().isEmpty());
    }

    void onlyThePeerActs() {
        acceptFromBob(QStringLiteral("x"));
        from(QStringLiteral("Eve"), QStringLiteral("3Me~x~9~")); // not Eve's transfer
        QCOMPARE(sentBeforeProbe(), QStringList());
        from(QStringLiteral("Bob"), QStringLiteral("3Me~x~4~"));
        QVERIFY(expectSent(QStringLiteral("4Bob~x~")));
        from(QStringLiteral("Eve"), QStringLiteral("6Me~EVIL"));
        from(QStringLiteral("Eve"), QStringLiteral("7Me~"));
        QCOMPARE(sentBeforeProbe(), QStringList());
        from(QStringLiteral("Bob"), QStringLiteral("6Me~good"));
        QVERIFY(expectSent(QStringLiteral("5Bob~")));
        from(QStringLiteral("Bob"), QStringLiteral("7Me~"));
        QTRY_COMPARE_WITH_TIMEOUT(modNetCmds::XferFile(), qint16(-1), TestEnv::kNetWait);
        QCOMPARE(readAll(QDir(save.path()).filePath(QStringLiteral("x"))), QByteArray("good"));
    }

    void busyAndBlocked() {
        modGlobals::Sets().BLC = QStringLiteral("eve") + S;
        from(QStringLiteral("Eve"), QStringLiteral("1Me~a~"));
        QCOMPARE(sentBeforeProbe(), QStringList()); // a blocked sender gets no answer
        acceptFromBob(QStringLiteral("x"));
        from(QStringLiteral("Cy"), QStringLiteral("1Me~b~"));
        QVERIFY(expectSent(QStringLiteral("2Cy~c~b~")));
        // An own offer while busy is refused before the dialog.
        modAppFnc::SendFileTo(QStringLiteral("Cy") + S);
        QCOMPARE(msg.shown.back().text, modLangConst::Get(QStringLiteral("FileT_U")));
        QCOMPARE(env.dialogs.fileCalls, 0);
    }

    void offerWhileAQuestionIsOpen() {
        // The question's window polls: a second offer arriving meanwhile gets "c".
        msg.answers = {1};
        bool sentSecond = false;
        msg.whileOpen = [&] {
            if (sentSecond) return;
            sentSecond = true;
            from(QStringLiteral("Cy"), QStringLiteral("1Me~b~"));
            QVERIFY(expectSent(QStringLiteral("2Cy~c~b~")));
        };
        from(QStringLiteral("Bob"), QStringLiteral("1Me~a~"));
        QVERIFY(expectSent(QStringLiteral("2Bob~n~a~")));
        QCOMPARE(msg.shown.size(), std::size_t(1));
    }

    void browserCancelledDeclines() {
        modGlobals::Sets().SFLD.clear();
        msg.answers = {0};
        from(QStringLiteral("Bob"), QStringLiteral("1Me~a~"));
        QVERIFY(expectSent(QStringLiteral("2Bob~n~a~")));
        QCOMPARE(env.dialogs.folderCalls, 1);
    }

    void brokenReceiveKeepsTheOldFile_data() {
        QTest::addColumn<QString>("size");
        QTest::addColumn<QStringList>("chunks");
        QTest::addColumn<bool>("end");
        QTest::addColumn<QString>("message"); // "" for the time-out
        QTest::newRow("short end") << "5" << QStringList{"abc"} << true << "File receive failed.";
        QTest::newRow("overlong chunk") << "2" << QStringList{"abc"} << false << "File receive failed.";
        QTest::newRow("past the size") << "4" << QStringList{"abc", "de"} << false << "File receive failed.";
        QTest::newRow("size not a number") << "1e3" << QStringList{} << false << "File receive failed.";
        QTest::newRow("negative size") << "-1" << QStringList{} << false << "File receive failed.";
        QTest::newRow("silent peer") << "5" << QStringList{"abc"} << false << "";
    }
    void brokenReceiveKeepsTheOldFile() {
        QFETCH(QString, size);
        QFETCH(QStringList, chunks);
        QFETCH(bool, end);
        QFETCH(QString, message);
        const QString target = QDir(save.path()).filePath(QStringLiteral("x"));
        writeFile(target, "old content");
        acceptFromBob(QStringLiteral("x"));
        from(QStringLiteral("Bob"), QStringLiteral("3Me~x~") + size + QStringLiteral("~"));
        if (size.toInt() > 0) QVERIFY(expectSent(QStringLiteral("4Bob~x~")));
        for (const QString& c : chunks) {
            // Silent after the last chunk; until then, however slowly this machine runs, the
            // transfer goes on.
            if (message.isEmpty() && c == chunks.last()) clsFileXfer::Instance().SetTimeoutMs(300);
            from(QStringLiteral("Bob"), QStringLiteral("6Me~") + c);
            if (!(c == chunks.last() && message.startsWith(QLatin1String("File")) && !end))
                QVERIFY(expectSent(QStringLiteral("5Bob~")));
        }
        if (end) from(QStringLiteral("Bob"), QStringLiteral("7Me~"));
        QTRY_COMPARE_WITH_TIMEOUT(modNetCmds::XferFile(), qint16(-1), TestEnv::kNetWait);
        QCOMPARE(msg.shown.back().text,
                 message.isEmpty() ? QStringLiteral("Bob did not answer; the file transfer was stopped.")
                                   : message + QStringLiteral("\r\n") + target);
        QCOMPARE(msg.shown.back().icon, 6);
        QCOMPARE(readAll(target), QByteArray("old content"));
        QCOMPARE(tempFiles(), QStringList{QStringLiteral("x")});
        QVERIFY(!progress.open);
        QCOMPARE(sentBeforeProbe(), QStringList());
        // Free again: the next offer is asked.
        acceptFromBob(QStringLiteral("y"));
    }

    void silentBeforeTheSize() {
        acceptFromBob(QStringLiteral("x"));
        clsFileXfer::Instance().SetTimeoutMs(300);
        QTRY_COMPARE_WITH_TIMEOUT(modNetCmds::XferFile(), qint16(-1), TestEnv::kNetWait);
        QCOMPARE(msg.shown.back().text, QStringLiteral("Bob did not answer; the file transfer was stopped."));
    }

    void closingTheLayerEndsSilently() {
        const QString target = QDir(save.path()).filePath(QStringLiteral("x"));
        writeFile(target, "old content");
        acceptFromBob(QStringLiteral("x"));
        from(QStringLiteral("Bob"), QStringLiteral("3Me~x~10~"));
        QVERIFY(expectSent(QStringLiteral("4Bob~x~")));
        from(QStringLiteral("Bob"), QStringLiteral("6Me~abc"));
        QVERIFY(expectSent(QStringLiteral("5Bob~")));
        const std::size_t shown = msg.shown.size();
        modNetCmds::CloseNetCom(1);
        QCOMPARE(modNetCmds::XferFile(), qint16(-1));
        QCOMPARE(msg.shown.size(), shown);
        QCOMPARE(readAll(target), QByteArray("old content"));
        QCOMPARE(tempFiles(), QStringList{QStringLiteral("x")});
        QVERIFY(!progress.open);
        modNetCmds::OpenNetCom(&owner, QStringLiteral("Me"));
        from(QStringLiteral("Bob"), QStringLiteral("6Me~def")); // the old transfer's chunk
        QCOMPARE(sentBeforeProbe(), QStringList());
    }

    void listeningUnderABackslashNameTakesNoPart() {
        modNetCmds::OpenNetCom(&owner, QStringLiteral("\\logon"));
        from(QStringLiteral("Bob"), QStringLiteral("1Me~a~"));
        from(QStringLiteral("Bob"), QStringLiteral("4Me~/etc/passwd~"));
        const QStringList sent = sentBeforeProbe();
        modNetCmds::OpenNetCom(&owner, QStringLiteral("Me"));
        QCOMPARE(sent, QStringList());
        QVERIFY(msg.shown.empty());
    }

    // --- sending -------------------------------------------------------------------------------

    void sendingToARawPeer() {
        QTemporaryDir src;
        const QString path = QDir(src.path()).filePath(QStringLiteral("f\u00efle.bin"));
        const QByteArray bytes = allBytes(501);
        writeFile(path, bytes);
        env.dialogs.answer = {path, 1};
        modAppFnc::SendFileTo(QStringLiteral("Bob") + S);
        QVERIFY(expectSent(QStringLiteral("1Bob~") + path + QStringLiteral("~")));
        QCOMPARE(progress.calls, QStringList({"open Bob " + path, "prg 0/1", "stat 0"}));
        QCOMPARE(modNetCmds::XferFile(), qint16(-1)); // an offer is not a transfer
        from(QStringLiteral("Eve"),
             QStringLiteral("2Me~y~") + path + QStringLiteral("~")); // not offered to Eve
        from(QStringLiteral("Bob"), QStringLiteral("2Me~y~other~")); // not that file
        QCOMPARE(sentBeforeProbe(), QStringList());
        from(QStringLiteral("Bob"), QStringLiteral("2Me~y~") + path + QStringLiteral("~"));
        QVERIFY(expectSent(QStringLiteral("3Bob~") + path + QStringLiteral("~501~")));
        QCOMPARE(modNetCmds::XferFile(), qint16(1));
        // A file that grows now sends what it held at the accept.
        {
            QFile grow(path);
            QVERIFY(grow.open(QIODevice::Append));
            grow.write("more");
        }
        from(QStringLiteral("Bob"), QStringLiteral("5Me~")); // no "6" sent yet: not an ack
        from(QStringLiteral("Eve"), QStringLiteral("4Me~") + path + QStringLiteral("~"));
        QCOMPARE(sentBeforeProbe(), QStringList());
        from(QStringLiteral("Bob"), QStringLiteral("4Me~") + path + QStringLiteral("~"));
        QVERIFY(expectSentExact(d(QStringLiteral("6Bob~")) + Ansi::decode(bytes.left(250))));
        from(QStringLiteral("Eve"), QStringLiteral("5Me~"));
        QCOMPARE(sentBeforeProbe(), QStringList());
        from(QStringLiteral("Bob"), QStringLiteral("5Me~"));
        QVERIFY(expectSentExact(d(QStringLiteral("6Bob~")) + Ansi::decode(bytes.mid(250, 250))));
        from(QStringLiteral("Bob"), QStringLiteral("5Me~"));
        QVERIFY(expectSentExact(d(QStringLiteral("6Bob~")) + Ansi::decode(bytes.mid(500))));
        from(QStringLiteral("Bob"), QStringLiteral("5Me~"));
        QVERIFY(expectSent(QStringLiteral("7Bob~")));
        QTRY_COMPARE_WITH_TIMEOUT(modNetCmds::XferFile(), qint16(-1), TestEnv::kNetWait);
        QCOMPARE(msg.shown.back().text, QStringLiteral("File send complete."));
        QCOMPARE(progress.calls.mid(progress.calls.size() - 3),
                 QStringList({"prg 501/501", "stat 2", "unload"}));
    }

    void sendingFailures() {
        env.dialogs.answer = {QStringLiteral("/nonexistent/file"), 1};
        modAppFnc::SendFileTo(QStringLiteral("Bob") + S + QStringLiteral("Cy") + S);
        QCOMPARE(msg.shown.back().text, modLangConst::Get(QStringLiteral("FileT_O")));
        QCOMPARE(env.dialogs.fileCalls, 0);
        modAppFnc::SendFileTo(QStringLiteral("Bob") + S);
        QVERIFY(expectSent(QStringLiteral("1Bob~/nonexistent/file~")));
        from(QStringLiteral("Bob"), QStringLiteral("2Me~y~/nonexistent/file~"));
        QTRY_COMPARE_WITH_TIMEOUT(msg.shown.back().text,
                                  QStringLiteral("File send failed.\r\n/nonexistent/file"),
                                  TestEnv::kNetWait);
        QCOMPARE(sentBeforeProbe(), QStringList());
        QCOMPARE(modNetCmds::XferFile(), qint16(-1));
    }

    void declinedAndBusyAnswers_data() {
        QTest::addColumn<QString>("reply");
        QTest::addColumn<QString>("text");
        // The name shown is the answering user's, as he sent it.
        QTest::newRow("declined") << "n"
                                  << "bob declined delivery of file.";
        QTest::newRow("busy")
            << "c"
            << "bob can not receive the file, as a they are currently sending / receiving a file.";
    }
    void declinedAndBusyAnswers() {
        QFETCH(QString, reply);
        QFETCH(QString, text);
        QTemporaryDir src;
        const QString path = QDir(src.path()).filePath(QStringLiteral("a"));
        writeFile(path, "abc");
        env.dialogs.answer = {path, 1};
        modAppFnc::SendFileTo(QStringLiteral("Bob") + S);
        QVERIFY(expectSent(QStringLiteral("1Bob~") + path + QStringLiteral("~")));
        bool progressWhileShown = false;
        msg.whileOpen = [&] { progressWhileShown = progress.open; };
        from(QStringLiteral("bob"),
             QStringLiteral("2Me~") + reply + QStringLiteral("~") + path + QStringLiteral("~"));
        QTRY_COMPARE_WITH_TIMEOUT(msg.shown.size(), std::size_t(1), TestEnv::kNetWait);
        QCOMPARE(msg.shown[0].text, text);
        QVERIFY2(progressWhileShown, "the progress window closed before the message");
        QVERIFY(!progress.open);
        // That offer is answered: a second answer does nothing.
        from(QStringLiteral("Bob"), QStringLiteral("2Me~y~") + path + QStringLiteral("~"));
        QCOMPARE(sentBeforeProbe(), QStringList());
    }

    // An offer accepted while this copy is busy with another transfer: the receiver hears "busy"
    // at once, the user is told, and that offer's progress window closes after the message. The
    // transfer under way goes on.
    void acceptedWhileBusy_data() {
        QTest::addColumn<bool>("sending"); // busy sending, else receiving
        QTest::newRow("while receiving") << false;
        QTest::newRow("while sending") << true;
    }
    void acceptedWhileBusy() {
        QFETCH(bool, sending);
        QTemporaryDir src;
        const QString first = QDir(src.path()).filePath(QStringLiteral("first"));
        const QString second = QDir(src.path()).filePath(QStringLiteral("second"));
        writeFile(first, "abc");
        writeFile(second, "def");
        if (sending) {
            env.dialogs.answer = {first, 1};
            modAppFnc::SendFileTo(QStringLiteral("Bob") + S);
            QVERIFY(expectSent(QStringLiteral("1Bob~") + first + QStringLiteral("~")));
        }
        env.dialogs.answer = {second, 1};
        modAppFnc::SendFileTo(QStringLiteral("Cy") + S);
        QVERIFY(expectSent(QStringLiteral("1Cy~") + second + QStringLiteral("~")));
        if (sending) {
            from(QStringLiteral("Bob"), QStringLiteral("2Me~y~") + first + QStringLiteral("~"));
            QVERIFY(expectSent(QStringLiteral("3Bob~") + first + QStringLiteral("~3~")));
        } else {
            acceptFromBob(QStringLiteral("x"));
        }
        QVERIFY(progress.open); // the offer to Cy still waits
        msg.shown.clear();
        bool progressWhileShown = false;
        msg.whileOpen = [&] { progressWhileShown = progress.open; };
        from(QStringLiteral("Cy"), QStringLiteral("2Me~y~") + second + QStringLiteral("~"));
        QVERIFY(expectSent(QStringLiteral("2Cy~c~") + second + QStringLiteral("~")));
        QTRY_COMPARE(msg.shown.size(), std::size_t(1));
        QCOMPARE(msg.shown[0].text, modLangConst::Get(QStringLiteral("FileT_U")));
        QCOMPARE(msg.shown[0].icon, 6);
        QVERIFY2(progressWhileShown, "the progress window closed before the message");
        QVERIFY(!progress.open);
        msg.whileOpen = nullptr;
        // The transfer under way goes on.
        QCOMPARE(modNetCmds::XferFile(), qint16(1));
        if (sending) {
            from(QStringLiteral("Bob"), QStringLiteral("4Me~") + first + QStringLiteral("~"));
            QVERIFY(expectSent(QStringLiteral("6Bob~abc")));
        } else {
            from(QStringLiteral("Bob"), QStringLiteral("3Me~x~3~"));
            QVERIFY(expectSent(QStringLiteral("4Bob~x~")));
        }
    }

    // The sender of an offer this copy accepted answers "busy" instead of the size: the wait
    // ends at once and the user is told, instead of hearing nothing until the time-out.
    void acceptedOfferFromABusySender() {
        acceptFromBob(QStringLiteral("x"));
        from(QStringLiteral("Eve"), QStringLiteral("2Me~c~x~")); // not the sender
        from(QStringLiteral("Bob"), QStringLiteral("2Me~c~y~")); // not that file
        from(QStringLiteral("Bob"), QStringLiteral("2Me~n~x~")); // not a busy answer
        QCOMPARE(sentBeforeProbe(), QStringList());
        QCOMPARE(modNetCmds::XferFile(), qint16(1));
        QVERIFY(msg.shown.size() == 1); // the question alone
        from(QStringLiteral("bob"), QStringLiteral("2Me~c~x~"));
        QTRY_COMPARE(modNetCmds::XferFile(), qint16(-1));
        QCOMPARE(msg.shown.back().text,
                 QStringLiteral("Bob is busy with another file transfer; the file transfer was stopped."));
        QCOMPARE(tempFiles(), QStringList());
        QCOMPARE(sentBeforeProbe(), QStringList());
        // Free again: the next offer is asked.
        acceptFromBob(QStringLiteral("y"));
    }

    void silentReceiverEndsTheSender() {
        QTemporaryDir src;
        const QString path = QDir(src.path()).filePath(QStringLiteral("a"));
        writeFile(path, allBytes(600));
        env.dialogs.answer = {path, 1};
        modAppFnc::SendFileTo(QStringLiteral("Bob") + S);
        QVERIFY(expectSent(QStringLiteral("1Bob~") + path + QStringLiteral("~")));
        from(QStringLiteral("Bob"), QStringLiteral("2Me~y~") + path + QStringLiteral("~"));
        QVERIFY(expectSent(QStringLiteral("3Bob~") + path + QStringLiteral("~600~")));
        clsFileXfer::Instance().SetTimeoutMs(300); // silent from here on
        from(QStringLiteral("Bob"), QStringLiteral("4Me~") + path + QStringLiteral("~"));
        QTRY_COMPARE_WITH_TIMEOUT(msg.shown.size(), std::size_t(1), TestEnv::kNetWait);
        QCOMPARE(modNetCmds::XferFile(), qint16(-1));
        QCOMPARE(msg.shown.back().text, QStringLiteral("Bob did not answer; the file transfer was stopped."));
        QVERIFY(!progress.open);
    }

    // --- poll on arrival -----------------------------------------------------------------------

    void answeredWithoutATimer() {
        // Nothing here polls by timer: the datagram's arrival does.
        QVERIFY(sentBeforeProbe().isEmpty());
        modNetCmds::CloseNetCom(1);
        modNetCmds::OpenNetCom(&owner, QStringLiteral("Me"));
        QVERIFY(sentBeforeProbe().isEmpty());
        QVERIFY(heard.isEmpty());
    }

    // --- two processes ---------------------------------------------------------------------------

    void twoProcesses_data() {
        QTest::addColumn<int>("size");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("withFolder");
        QTest::newRow("empty") << 0 << "yes" << true;
        QTest::newRow("one chunk") << 250 << "yes" << true;
        QTest::newRow("two chunks") << 251 << "yes" << true;
        QTest::newRow("64 KiB of every byte") << 65536 << "yes" << true;
        QTest::newRow("replaces a longer file") << 7 << "yes" << true;
        QTest::newRow("declined") << 10 << "no" << true;
        QTest::newRow("browser cancelled") << 10 << "yes" << false;
    }
    void twoProcesses() {
        QFETCH(int, size);
        QFETCH(QString, answer);
        QFETCH(bool, withFolder);
        QTemporaryDir peerSave, src;
        const QString path = QDir(src.path()).filePath(QStringLiteral("data.bin"));
        const QByteArray bytes = allBytes(size);
        writeFile(path, bytes);
        const QString target = QDir(peerSave.path()).filePath(QStringLiteral("data.bin"));
        writeFile(target, QByteArray(1000, 'o')); // an older, longer file of that name
        TestEnv::NetPeer peer;
        QVERIFY(peer.start(QStringLiteral("Bob"), QStringLiteral("0"), QStringLiteral("Arial"),
                           withFolder ? peerSave.path() : QString()));
        QTRY_VERIFY_WITH_TIMEOUT(owner.names.items().contains(QStringLiteral("Bob")), TestEnv::kNetWait);
        peer.send("answer " + answer.toLatin1());
        QVERIFY(peer.saw("OK answer " + answer.toLatin1()));
        env.dialogs.answer = {path, 1};
        modAppFnc::SendFileTo(QStringLiteral("Bob") + S);
        if (answer == QLatin1String("no") || !withFolder) {
            QTRY_COMPARE_WITH_TIMEOUT(msg.shown.size(), std::size_t(1), TestEnv::kNetWait);
            QCOMPARE(msg.shown[0].text, QStringLiteral("Bob declined delivery of file."));
            QCOMPARE(readAll(target), QByteArray(1000, 'o'));
        } else {
            QVERIFY(peer.saw("MSG File receive complete."));
            QTRY_COMPARE_WITH_TIMEOUT(msg.shown.size(), std::size_t(1), TestEnv::kNetWait);
            QCOMPARE(msg.shown[0].text, QStringLiteral("File send complete."));
            QCOMPARE(readAll(target), bytes);
            QCOMPARE(QDir(peerSave.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"data.bin"});
            QVERIFY(peer.output().contains("PRG open Me " + target.toLocal8Bit()));
            QVERIFY(peer.output().contains("PRG stat 2\nMSG File receive complete.\nPRG unload"));
        }
        QVERIFY(peer.quit());
        QCOMPARE(modNetCmds::XferFile(), qint16(-1));
    }
};

QTEST_GUILESS_MAIN(TestFileXfer)
#include "tst_filexfer.moc"
