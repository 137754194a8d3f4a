// File transfer: the test as a raw peer that checks every answer's exact bytes, and a second
// real process (netpeer) at the other end of whole transfers.
#include "core/clsChat.h"
#include "core/clsFileXfer.h"
#include "core/modAppFnc.h"
#include "core/modGlobals.h"
#include "core/modLangConst.h"
#include "core/modNetCmds.h"
#include "platform/Ansi.h"
#include "platform/ProgramFolder.h"
#include "support/Headless.h"
#include "support/NetPeer.h"
#include "support/OtherHost.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <unistd.h>

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

// Every entry below `dir` (but `skip` and what lies in it) with its kind, size and time of change.
QStringList tree(const QString& dir, const QString& skip = QString()) {
    QStringList out;
    QDirIterator it(dir, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (!skip.isEmpty() && (path == skip || path.startsWith(skip + QLatin1Char('/')))) continue;
        const QFileInfo fi = it.fileInfo();
        out << QStringLiteral("%1 %2 %3 %4")
                   .arg(path, fi.isDir() ? QStringLiteral("dir") : QStringLiteral("file"))
                   .arg(fi.size())
                   .arg(fi.lastModified().toMSecsSinceEpoch());
    }
    out.sort();
    return out;
}

// Makes a folder read-only for this process for its lifetime: by its permissions, or for root,
// whom they do not bind, by the immutable flag where the file system has one.
struct ReadOnlyFolder {
    QString dir;
    bool immutable = false;
    // The system's reason a file cannot be made in the folder now; "" when it could not be done.
    QString set(const QString& path) {
        dir = path;
        if (::geteuid() != 0) {
            QFile::setPermissions(dir, QFile::ReadOwner | QFile::ExeOwner);
            return QString::fromLocal8Bit(std::strerror(EACCES));
        }
        immutable = setFlag(true);
        return immutable ? QString::fromLocal8Bit(std::strerror(EPERM)) : QString();
    }
    bool setFlag(bool on) const {
        const int fd = ::open(QFile::encodeName(dir).constData(), O_RDONLY | O_DIRECTORY);
        if (fd < 0) return false;
        int flags = 0;
        bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        ok = ok && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        ::close(fd);
        return ok;
    }
    ~ReadOnlyFolder() {
        if (dir.isEmpty()) return;
        if (immutable) setFlag(false);
        QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
};

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
    // The save folder lies in a folder of its own, beside which nothing may change; the working
    // folder and the home folder are the test's own, watched the same way.
    QTemporaryDir outside, work, home;
    const QString savePath = outside.path() + QStringLiteral("/save");
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
    // Another host sends one under any name.
    static bool forge(const TestEnv::OtherHost& host, const QString& sender, const QString& data) {
        return host.send(QByteArray(1, '\0') + Ansi::encode(sender + S + d(data)));
    }
    // The log lines that say a datagram from another address was ignored.
    static QStringList ignoredInLog(const QString& logFile) {
        QStringList out;
        const QString all = Ansi::decode(readAll(logFile));
        for (const QString& line : all.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts))
            if (line.contains(QStringLiteral(": ") + kIgnored)) out << line.mid(line.indexOf(kIgnored));
        return out;
    }
    static inline const QString kIgnored =
        QStringLiteral("    File transfer data from another address ignored: ");
    // The log at `logFile` says once that a datagram under `name` from the other host was ignored.
    static void ignoredOnce(const QString& logFile, const QString& name) {
        const QStringList ignored = ignoredInLog(logFile);
        QCOMPARE(ignored.size(), 1);
        QVERIFY2(ignored[0].startsWith(kIgnored + name + QStringLiteral(" at 127.0.0.2:")),
                 qPrintable(ignored[0]));
    }
    // The other host sends each of `forged` twice under Bob's name ("%1" standing for `arg`
    // where given): nothing is answered, and the transfer goes on.
    void forgedGoUnanswered(const TestEnv::OtherHost& host, const QStringList& forged,
                            const QString& arg = QString()) {
        for (int round = 0; round < 2; ++round)
            for (const QString& f : forged)
                QVERIFY(forge(host, QStringLiteral("Bob"), arg.isEmpty() ? f : f.arg(arg)));
        QCOMPARE(sentBeforeProbe(), QStringList());
        QCOMPARE(modNetCmds::XferFile(), qint16(1));
    }
    void collect() {
        const QString mine = modNetCmds::MyName() + S;
        for (const QString& m : ear.GetMessages())
            if (m.mid(1).startsWith(mine)) heard << m.mid(1 + mine.size());
    }
    // Offers Bob a file of `bytes` named `name` in `src`, as the user picks it, and waits for the
    // offer to go out: the file's path, "" when no offer was heard.
    QString offerToBob(const QTemporaryDir& src, const QString& name, const QByteArray& bytes) {
        const QString path = QDir(src.path()).filePath(name);
        writeFile(path, bytes);
        env.dialogs.answer = {path, 1};
        modAppFnc::SendFileTo(QStringLiteral("Bob") + S);
        return expectSent(QStringLiteral("1Bob~") + path + QStringLiteral("~")) ? path : QString();
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
    QStringList tempFiles() const { return QDir(savePath).entryList(QDir::Files | QDir::Hidden); }
    // Bob offers F; this copy says yes and answers "y".
    void acceptFromBob(const QString& F) {
        msg.answers = {0};
        from(QStringLiteral("Bob"), QStringLiteral("1Me~") + F + QStringLiteral("~"));
        QVERIFY(expectSent(QStringLiteral("2Bob~y~") + F + QStringLiteral("~")));
        QCOMPARE(modNetCmds::XferFile(), qint16(1));
    }

  private slots:
    void initTestCase() {
        QVERIFY(outside.isValid() && work.isValid() && home.isValid());
        QVERIFY(QDir::setCurrent(work.path()));
        qputenv("HOME", home.path().toLocal8Bit());
        modLangConst::SetDefaultStrings();
        clsFileXfer::Install();
        progressIn = std::make_unique<Slot<XferProgress>::Override>(XferWindows::progress(), progress);
        ear.Init(QStringLiteral("QX3"));
        modNetCmds::OpenNetCom(&owner, QStringLiteral("Me"));
    }
    void cleanupTestCase() {
        modNetCmds::CloseNetCom(1);
        NetHooks::fileTransfer().set(nullptr);
        progressIn.reset();
    }
    void init() {
        env.reset();
        auto& s = modGlobals::Sets();
        s.UNAME = QStringLiteral("Me");
        s.SFLD = savePath;
        clsFileXfer::Instance().SetTimeoutMs(0);
        progress.calls.clear();
        QDir(savePath).removeRecursively();
        QVERIFY(QDir().mkpath(savePath));
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
        QCOMPARE(readAll(QDir(savePath).filePath(lands)), QByteArray("a\x01z"));
        QCOMPARE(tempFiles(), QStringList{lands});
        QCOMPARE(msg.shown.back().text, QStringLiteral("File receive complete."));
        QCOMPARE(progress.calls.first(), QStringLiteral("open Bob %1").arg(QDir(savePath).filePath(lands)));
        QCOMPARE(progress.calls.last(), QStringLiteral("unload"));
    }

    // Names no file can be saved under here, or that would land outside the save folder, are
    // declined without asking, and whatever the peer sends after that writes nothing anywhere.
    // The names that do fit arrive directly in the save folder under exactly that name.
    void hostileNames_data() {
        QTest::addColumn<QString>("F");
        QTest::addColumn<bool>("lands");
        const QString e(QChar(0xE9)); // two bytes in the local encoding
        QTest::newRow("resource name") << ":notes.txt" << false;
        QTest::newRow("resource name after a windows path") << "C:\\Users\\me\\:evil.txt" << false;
        QTest::newRow("resource name after slashes") << "/home/me/:evil.txt" << false;
        QTest::newRow("NUL") << QStringLiteral("nul") + QChar(0) + QStringLiteral("byte.txt") << false;
        QTest::newRow("tab") << "tab\there.txt" << false;
        QTest::newRow("CR LF") << "cr\r\nlf.txt" << false;
        QTest::newRow("0x02") << "x\x02y" << false;
        QTest::newRow("DEL") << "del\x7f" << false;
        QTest::newRow("C1 control") << QStringLiteral("c") + QChar(0x81) << false;
        QTest::newRow("300 characters") << QString(300, QLatin1Char('a')) << false;
        QTest::newRow("256 characters") << QString(256, QLatin1Char('b')) << false;
        QTest::newRow("256 bytes in 128 characters") << e.repeated(128) << false;
        QTest::newRow("255 characters") << QString(255, QLatin1Char('c')) << true;
        QTest::newRow("255 bytes in 128 characters") << e.repeated(127) + QStringLiteral("x") << true;
        QTest::newRow("leading dot") << ".hidden" << true;
        QTest::newRow("colon inside") << "a:b.txt" << true;
    }
    void hostileNames() {
        QFETCH(QString, F);
        QFETCH(bool, lands);
        const QStringList before = tree(outside.path(), savePath), workBefore = tree(work.path()),
                          homeBefore = tree(home.path());
        if (lands) {
            acceptFromBob(F);
        } else {
            from(QStringLiteral("Bob"), QStringLiteral("1Me~") + F + QStringLiteral("~"));
            QVERIFY(expectSent(QStringLiteral("2Bob~n~") + F + QStringLiteral("~")));
            QVERIFY(msg.shown.empty()); // not asked
        }
        from(QStringLiteral("Bob"), QStringLiteral("3Me~") + F + QStringLiteral("~3~"));
        from(QStringLiteral("Bob"), QStringLiteral("6Me~abc"));
        from(QStringLiteral("Bob"), QStringLiteral("7Me~"));
        if (lands) {
            QTRY_COMPARE_WITH_TIMEOUT(modNetCmds::XferFile(), qint16(-1), TestEnv::kNetWait);
            QCOMPARE(msg.shown.back().text, QStringLiteral("File receive complete."));
            QCOMPARE(tempFiles(), QStringList{F});
            QCOMPARE(readAll(savePath + QLatin1Char('/') + F), QByteArray("abc"));
        } else {
            QCOMPARE(sentBeforeProbe(), QStringList()); // no "4", no "5"
            QVERIFY(msg.shown.empty());
            QVERIFY(tempFiles().isEmpty());
        }
        QCOMPARE(tree(outside.path(), savePath), before);
        QCOMPARE(tree(work.path()), workBefore);
        QCOMPARE(tree(home.path()), homeBefore);
        QCOMPARE(QDir(savePath).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
    }

    // The name is checked against the folder chosen after the question too.
    void hostileNameWithTheFolderChosenLater() {
        modGlobals::Sets().SFLD.clear();
        env.dialogs.folderAnswer = savePath;
        msg.answers = {0};
        from(QStringLiteral("Bob"), QStringLiteral("1Me~:x~"));
        QVERIFY(expectSent(QStringLiteral("2Bob~n~:x~")));
        QVERIFY(msg.shown.empty());
        QCOMPARE(env.dialogs.folderCalls, 0);
        from(QStringLiteral("Bob"), QStringLiteral("1Me~x~"));
        QVERIFY(expectSent(QStringLiteral("2Bob~y~x~")));
        QCOMPARE(env.dialogs.folderCalls, 1);
        from(QStringLiteral("Bob"), QStringLiteral("3Me~x~1~"));
        QVERIFY(expectSent(QStringLiteral("4Bob~x~")));
        from(QStringLiteral("Bob"), QStringLiteral("6Me~z"));
        from(QStringLiteral("Bob"), QStringLiteral("7Me~"));
        QTRY_COMPARE_WITH_TIMEOUT(modNetCmds::XferFile(), qint16(-1), TestEnv::kNetWait);
        QCOMPARE(readAll(savePath + QStringLiteral("/x")), QByteArray("z"));
    }

    void targetThatIsNoFile_data() {
        QTest::addColumn<bool>("link");
        QTest::newRow("folder") << false;
        QTest::newRow("link") << true;
    }
    void targetThatIsNoFile() {
        QFETCH(bool, link);
        const QString target = QDir(savePath).filePath(QStringLiteral("x"));
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
        QCOMPARE(readAll(QDir(savePath).filePath(QStringLiteral("x"))), QByteArray("good"));
    }

    // Another host writes under the sender's name: the receiver hears only the address the
    // offer came from, goes on with the real sender's bytes, and logs the first datagram it
    // ignored.
    void receiverHearsOnlyItsPeer_data() {
        QTest::addColumn<bool>("afterSize"); // forged once the size is in, else before it
        QTest::addColumn<QStringList>("forged");
        QTest::newRow("a size") << false << QStringList{"3Me~x~9~"};
        QTest::newRow("a busy answer") << false << QStringList{"2Me~c~x~"};
        QTest::newRow("a chunk of the wrong length") << true << QStringList{"6Me~EVIL!"};
        QTest::newRow("a whole chunk of other bytes") << true << QStringList{"6Me~evil"};
        QTest::newRow("the end") << true << QStringList{"7Me~"};
        QTest::newRow("all of them") << true << QStringList{"3Me~x~9~", "6Me~evil", "6Me~EVIL!", "7Me~"};
    }
    void receiverHearsOnlyItsPeer() {
        QFETCH(bool, afterSize);
        QFETCH(QStringList, forged);
        TestEnv::OtherHost host;
        QVERIFY(host.valid());
        acceptFromBob(QStringLiteral("x"));
        if (!afterSize) forgedGoUnanswered(host, forged);
        from(QStringLiteral("Bob"), QStringLiteral("3Me~x~4~"));
        QVERIFY(expectSent(QStringLiteral("4Bob~x~")));
        if (afterSize) forgedGoUnanswered(host, forged);
        from(QStringLiteral("Bob"), QStringLiteral("6Me~good"));
        QVERIFY(expectSent(QStringLiteral("5Bob~")));
        from(QStringLiteral("Bob"), QStringLiteral("7Me~"));
        QTRY_COMPARE_WITH_TIMEOUT(modNetCmds::XferFile(), qint16(-1), TestEnv::kNetWait);
        QCOMPARE(readAll(QDir(savePath).filePath(QStringLiteral("x"))), QByteArray("good"));
        QCOMPARE(msg.shown.size(), std::size_t(2));
        QCOMPARE(msg.shown.back().text, QStringLiteral("File receive complete."));
        ignoredOnce(ProgramFolder::file(QStringLiteral("Log.txt")), QStringLiteral("Bob"));
    }

    // The same at the sender, with the receiver's name: only the address that accepted is heard.
    void senderHearsOnlyItsPeer_data() {
        QTest::addColumn<bool>("afterReady"); // forged once the first chunk is out, else before
        QTest::addColumn<QStringList>("forged");
        QTest::newRow("ready") << false << QStringList{"4Me~%1~"};
        QTest::newRow("an acknowledgement") << true << QStringList{"5Me~"};
        QTest::newRow("a busy answer") << true << QStringList{"2Me~c~%1~"};
    }
    void senderHearsOnlyItsPeer() {
        QFETCH(bool, afterReady);
        QFETCH(QStringList, forged);
        TestEnv::OtherHost host;
        QVERIFY(host.valid());
        QTemporaryDir src;
        const QByteArray bytes = allBytes(300);
        const QString path = offerToBob(src, QStringLiteral("a"), bytes);
        QVERIFY(!path.isEmpty());
        from(QStringLiteral("Bob"), QStringLiteral("2Me~y~") + path + QStringLiteral("~"));
        QVERIFY(expectSent(QStringLiteral("3Bob~") + path + QStringLiteral("~300~")));
        if (!afterReady) forgedGoUnanswered(host, forged, path);
        from(QStringLiteral("Bob"), QStringLiteral("4Me~") + path + QStringLiteral("~"));
        QVERIFY(expectSentExact(d(QStringLiteral("6Bob~")) + Ansi::decode(bytes.left(250))));
        if (afterReady) forgedGoUnanswered(host, forged, path);
        from(QStringLiteral("Bob"), QStringLiteral("5Me~"));
        QVERIFY(expectSentExact(d(QStringLiteral("6Bob~")) + Ansi::decode(bytes.mid(250))));
        from(QStringLiteral("Bob"), QStringLiteral("5Me~"));
        QVERIFY(expectSent(QStringLiteral("7Bob~")));
        QTRY_COMPARE_WITH_TIMEOUT(modNetCmds::XferFile(), qint16(-1), TestEnv::kNetWait);
        QCOMPARE(msg.shown.size(), std::size_t(1));
        QCOMPARE(msg.shown.back().text, QStringLiteral("File send complete."));
        ignoredOnce(ProgramFolder::file(QStringLiteral("Log.txt")), QStringLiteral("Bob"));
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
        const QString whole(250, QLatin1Char('w'));
        QTest::newRow("short end") << "255" << QStringList{whole} << true << "File receive failed.";
        QTest::newRow("overlong chunk") << "2" << QStringList{"abc"} << false << "File receive failed.";
        QTest::newRow("past the size") << "4" << QStringList{"abcd", "e"} << false << "File receive failed.";
        // Every chunk but the last is exactly 250 bytes: a short or long one in the middle is
        // a lost or doubled piece.
        QTest::newRow("short chunk before the last")
            << "300" << QStringList{whole.left(249)} << false << "File receive failed.";
        QTest::newRow("long chunk before the last")
            << "600" << QStringList{whole, whole + "x"} << false << "File receive failed.";
        QTest::newRow("short last chunk")
            << "260" << QStringList{whole, "abc"} << false << "File receive failed.";
        QTest::newRow("size not a number") << "1e3" << QStringList{} << false << "File receive failed.";
        QTest::newRow("negative size") << "-1" << QStringList{} << false << "File receive failed.";
        QTest::newRow("silent peer") << "300" << QStringList{whole} << false << "";
    }
    void brokenReceiveKeepsTheOldFile() {
        QFETCH(QString, size);
        QFETCH(QStringList, chunks);
        QFETCH(bool, end);
        QFETCH(QString, message);
        const QString target = QDir(savePath).filePath(QStringLiteral("x"));
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

    // A failure of the system says why, after the text and the path.
    void receiveFailureSaysWhy_data() {
        QTest::addColumn<QString>("folder"); // "missing", "file", "read-only" or "small limit"
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing folder") << "missing"
                                        << "No such file or directory";
        QTest::newRow("folder that is a file") << "file"
                                               << "Not a directory";
        QTest::newRow("read-only folder") << "read-only"
                                          << ""; // the reason depends on how
        QTest::newRow("disk full") << "small limit"
                                   << "File too large";
    }
    void receiveFailureSaysWhy() {
        QFETCH(QString, folder);
        QFETCH(QString, reason);
        ReadOnlyFolder readOnly;
        QString where = savePath;
        if (folder == QLatin1String("missing")) {
            where = savePath + QStringLiteral("/gone");
        } else if (folder == QLatin1String("file")) {
            where = savePath + QStringLiteral("/plain");
            writeFile(where, "a file");
        } else if (folder == QLatin1String("read-only")) {
            reason = readOnly.set(savePath);
            if (reason.isEmpty()) QSKIP("no way to make a folder read-only for this user here");
        }
        modGlobals::Sets().SFLD = where;
        const QString target = where + QStringLiteral("/x");
        acceptFromBob(QStringLiteral("x"));
        const QByteArray bytes = allBytes(2000);
        // No file of this process may grow past 1000 bytes while the guard lives: a full disk.
        struct SizeLimit {
            rlimit saved{};
            bool on = false;
            void set(rlim_t bytes) {
                std::signal(SIGXFSZ, SIG_IGN);
                on = getrlimit(RLIMIT_FSIZE, &saved) == 0;
                rlimit small = saved;
                small.rlim_cur = bytes;
                on = on && setrlimit(RLIMIT_FSIZE, &small) == 0;
            }
            ~SizeLimit() {
                if (on) setrlimit(RLIMIT_FSIZE, &saved);
            }
        } limit;
        if (folder == QLatin1String("small limit")) {
            limit.set(900); // the fourth chunk is cut short
            QVERIFY(limit.on);
        }
        from(QStringLiteral("Bob"), QStringLiteral("3Me~x~2000~"));
        if (folder == QLatin1String("small limit")) {
            QVERIFY(expectSent(QStringLiteral("4Bob~x~")));
            const QString ack = d(QStringLiteral("5Bob~"));
            for (int at = 0; at < bytes.size() && modNetCmds::XferFile() != -1; at += 250) {
                from(QStringLiteral("Bob"), d(QStringLiteral("6Me~")) + Ansi::decode(bytes.mid(at, 250)));
                QVERIFY(QTest::qWaitFor(
                    [&] {
                        collect();
                        return heard.contains(ack) || modNetCmds::XferFile() == -1;
                    },
                    TestEnv::kNetWait));
                heard.clear();
            }
            from(QStringLiteral("Bob"), QStringLiteral("7Me~"));
        }
        QTRY_COMPARE_WITH_TIMEOUT(modNetCmds::XferFile(), qint16(-1), TestEnv::kNetWait);
        QCOMPARE(msg.shown.back().text,
                 QStringLiteral("File receive failed.\r\n") + target + QStringLiteral("\r\n\r\n") + reason);
        QCOMPARE(msg.shown.back().icon, 6);
        QVERIFY(!QFileInfo::exists(target));
        QVERIFY(!progress.open);
    }

    void silentBeforeTheSize() {
        acceptFromBob(QStringLiteral("x"));
        clsFileXfer::Instance().SetTimeoutMs(300);
        QTRY_COMPARE_WITH_TIMEOUT(modNetCmds::XferFile(), qint16(-1), TestEnv::kNetWait);
        QCOMPARE(msg.shown.back().text, QStringLiteral("Bob did not answer; the file transfer was stopped."));
    }

    void closingTheLayerEndsSilently() {
        const QString target = QDir(savePath).filePath(QStringLiteral("x"));
        writeFile(target, "old content");
        acceptFromBob(QStringLiteral("x"));
        from(QStringLiteral("Bob"), QStringLiteral("3Me~x~260~"));
        QVERIFY(expectSent(QStringLiteral("4Bob~x~")));
        from(QStringLiteral("Bob"), QStringLiteral("6Me~") + QString(250, QLatin1Char('a')));
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
        const QByteArray bytes = allBytes(501);
        const QString path = offerToBob(src, QStringLiteral("f\u00efle.bin"), bytes);
        QVERIFY(!path.isEmpty());
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
        QTRY_COMPARE_WITH_TIMEOUT(
            msg.shown.back().text,
            QStringLiteral("File send failed.\r\n/nonexistent/file\r\n\r\nNo such file or directory"),
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
        const QString path = offerToBob(src, QStringLiteral("a"), "abc");
        QVERIFY(!path.isEmpty());
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
        const QString path = offerToBob(src, QStringLiteral("a"), allBytes(600));
        QVERIFY(!path.isEmpty());
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

    // A host that answers every real datagram of a transfer between two copies with forgeries
    // under both names: the sender's size, a chunk of other bytes, one of the wrong length and
    // the end, the receiver's busy answer, its readiness and acknowledgements. The real file
    // arrives whole, neither side stops, and each logs the first forgery it ignored.
    void twoProcessesAndAForger() {
        TestEnv::OtherHost host;
        QVERIFY(host.valid());
        QTemporaryDir peerSave, src;
        const QString path = QDir(src.path()).filePath(QStringLiteral("data.bin"));
        const QByteArray bytes = allBytes(20 * clsFileXfer::kChunk + 7);
        writeFile(path, bytes);
        const QString target = QDir(peerSave.path()).filePath(QStringLiteral("data.bin"));
        TestEnv::NetPeer peer;
        QVERIFY(
            peer.start(QStringLiteral("Bob"), QStringLiteral("0"), QStringLiteral("Arial"), peerSave.path()));
        QTRY_VERIFY_WITH_TIMEOUT(owner.names.items().contains(QStringLiteral("Bob")), TestEnv::kNetWait);
        Mailslot watch;
        QVERIFY(watch.create(QStringLiteral("QX3")) >= 0);
        int forged = 0;
        const auto as = [&](const QString& name, const QString& data) {
            if (forge(host, name, data)) ++forged;
        };
        QSocketNotifier heard(watch.handle(), QSocketNotifier::Read);
        connect(&heard, &QSocketNotifier::activated, this, [&] {
            constexpr int kPlaces = 16;
            constexpr qsizetype kRoom = 2048;
            static char room[kPlaces][kRoom];
            char* places[kPlaces];
            for (int i = 0; i < kPlaces; ++i)
                places[i] = room[i];
            qsizetype lengths[kPlaces];
            DatagramSource from[kPlaces];
            const int n = watch.receive(kPlaces, places, kRoom, lengths, from);
            for (int i = 0; i < n; ++i) {
                if (from[i] == host.source()) continue; // its own
                const QString text = Ansi::decode(places[i], qMin(lengths[i], kRoom)).mid(1);
                if (text.startsWith(d(QStringLiteral("Me~6Bob~")))) {
                    as(QStringLiteral("Me"),
                       QStringLiteral("6Bob~") + QString(clsFileXfer::kChunk, QLatin1Char('X')));
                    as(QStringLiteral("Me"), QStringLiteral("6Bob~short"));
                    as(QStringLiteral("Me"), QStringLiteral("7Bob~"));
                    as(QStringLiteral("Me"), QStringLiteral("3Bob~") + path + QStringLiteral("~5~"));
                } else if (text.startsWith(d(QStringLiteral("Bob~5Me~")))) {
                    as(QStringLiteral("Bob"), QStringLiteral("5Me~"));
                    as(QStringLiteral("Bob"), QStringLiteral("4Me~") + path + QStringLiteral("~"));
                } else if (text.startsWith(d(QStringLiteral("Bob~2Me~y~")))) {
                    as(QStringLiteral("Me"), QStringLiteral("2Bob~c~") + path + QStringLiteral("~"));
                    as(QStringLiteral("Me"), QStringLiteral("3Bob~") + path + QStringLiteral("~7~"));
                    as(QStringLiteral("Bob"), QStringLiteral("5Me~"));
                }
            }
        });
        env.dialogs.answer = {path, 1};
        modAppFnc::SendFileTo(QStringLiteral("Bob") + S);
        QVERIFY(peer.saw("MSG File receive complete."));
        QTRY_COMPARE_WITH_TIMEOUT(msg.shown.size(), std::size_t(1), TestEnv::kNetWait);
        QCOMPARE(msg.shown[0].text, QStringLiteral("File send complete."));
        QCOMPARE(readAll(target), bytes);
        QVERIFY2(!peer.output().contains("failed"), peer.output().constData());
        QVERIFY(forged > 60);
        ignoredOnce(ProgramFolder::file(QStringLiteral("Log.txt")), QStringLiteral("Bob"));
        ignoredOnce(QDir(peer.home.path()).filePath(QStringLiteral("Log.txt")), QStringLiteral("Me"));
        QVERIFY(peer.quit());
    }

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
