// The transport and the network layer over the real UDP layer on loopback.
#include "core/NetMessages.h"
#include "core/clsChat.h"
#include "core/modAppFnc.h"
#include "core/modGlobals.h"
#include "core/modLangConst.h"
#include "core/modNetCmds.h"
#include "core/modNetCom.h"
#include "platform/Ansi.h"
#include "platform/Mailslot.h"
#include "support/Headless.h"
#include "support/NetPeer.h"
#include "support/OtherHost.h"
#include "support/Recorders.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
const QString S(modGlobals::kSep);

// Sends raw datagram bytes to the group, as any other computer might.
void sendRaw(const QByteArray& bytes) {
    QVERIFY(Mailslot::send(QStringLiteral("*"), QStringLiteral("QX3"), bytes));
}

// Waits until a listener of the test's own has heard `count` datagrams. Loopback delivers each
// datagram to every member of the group at once, so the code under test has them too by then.
void waitHeard(Mailslot& ear, int count) {
    int heard = 0;
    QVERIFY(QTest::qWaitFor(
        [&] {
            qint64 size = 0;
            int waiting = 0;
            QByteArray bytes;
            while (ear.info(size, waiting) && ear.read(size, bytes))
                ++heard;
            return heard >= count;
        },
        TestEnv::kNetWait));
}

QStringList drain(clsChat& chat, int expected) {
    QStringList got;
    [[maybe_unused]] const bool arrived = QTest::qWaitFor(
        [&] {
            got += chat.GetMessages();
            return got.size() >= expected;
        },
        TestEnv::kNetWait);
    return got;
}

// An owner whose layer reads only when the test polls.
struct QuietOwner : TestOwner {
    bool PollOnArrival() const override { return false; }
};

// Another host on the segment: a socket of its own that writes whatever it likes to the group.
class Forger {
  public:
    Forger() {
        const MailslotConfig cfg = MailslotConfig::fromEnvironment();
        fd_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        in_addr via{};
        via.s_addr = htonl(cfg.iface);
        ::setsockopt(fd_, IPPROTO_IP, IP_MULTICAST_IF, &via, sizeof via);
        to_.sin_family = AF_INET;
        to_.sin_port = htons(cfg.port);
        to_.sin_addr.s_addr = htonl(cfg.group);
    }
    ~Forger() { ::close(fd_); }
    Forger(const Forger&) = delete;
    Forger& operator=(const Forger&) = delete;
    // One datagram as a copy frames it: a NUL, then the sender, the separator and the data.
    bool send(const QByteArray& text) {
        const QByteArray bytes = QByteArray(1, '\0') + text;
        return ::sendto(fd_, bytes.constData(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&to_),
                        sizeof to_) == bytes.size();
    }

  private:
    int fd_ = -1;
    sockaddr_in to_{};
};

// Every datagram on the group, in the order heard. `waitStill` waits without letting events run,
// so no timer of the layer can send while the test waits for its own datagrams.
struct Ear {
    Mailslot slot;
    QList<QByteArray> heard;
    bool open() { return slot.create(QStringLiteral("QX3")) >= 0; }
    void read() {
        qint64 size = 0;
        int waiting = 0;
        QByteArray bytes;
        while (slot.info(size, waiting) && slot.read(size, bytes))
            heard << bytes;
    }
    template <class Done> bool waitStill(Done done) {
        QElapsedTimer t;
        t.start();
        for (read(); !done(); read()) {
            const qint64 left = TestEnv::kNetWait - t.elapsed();
            if (left <= 0) return false;
            pollfd p{slot.handle(), POLLIN, 0};
            ::poll(&p, 1, static_cast<int>(qMin<qint64>(left, 1000)));
        }
        return true;
    }
    template <class Done> bool waitEvents(Done done) {
        return QTest::qWaitFor(
            [&] {
                read();
                return done();
            },
            TestEnv::kNetWait);
    }
    qsizetype count(const QByteArray& bytes) const { return heard.count(bytes); }
    qsizetype countFrom(const QByteArray& prefix) const {
        return std::count_if(heard.begin(), heard.end(),
                             [&](const QByteArray& b) { return b.startsWith(prefix); });
    }
};

// My colour datagram, the first of a presence burst: the test gives each poll its own colour,
// so every burst tells which poll it followed.
QByteArray myColour(qint64 colour) {
    return QByteArray(1, '\0') + "Me\x01" + "C" + QByteArray::number(colour);
}

// A datagram's text as the tables write it, "~" for the separator, in Windows-1252.
QByteArray wire(QString text) {
    return Ansi::encode(text.replace(QLatin1Char('~'), modGlobals::kSep));
}

// An alert handler that does something more inside the poll, as a window might.
struct HandlerRouter : RouterRecorder {
    std::function<void()> onAlert;
    void ShowAlertPop(const QString& text, const QString& sender) override {
        RouterRecorder::ShowAlertPop(text, sender);
        if (onAlert) std::exchange(onAlert, nullptr)();
    }
};

// An owner that remembers what it was last told to draw.
struct DrawingOwner : TestOwner {
    using TestOwner::TestOwner;
    bool PollOnArrival() const override { return false; }
    QStringList drawnNames, drawnRecords;
    void UListChange() override {
        TestOwner::UListChange();
        drawnNames = names.items();
        drawnRecords = records.items();
    }
};

QString rec(const QString& name, const QString& col = "0", const QString& stat = "0",
            const QString& font = "Arial", const QString& sel = "0", const QString& acc = "1") {
    return name + S + col + S + stat + S + font + S + sel + S + acc + S;
}
} // namespace

class TestNetwork : public QObject {
    Q_OBJECT
    TestEnv::Headless env{TestEnv::Loopback};

  private slots:
    void initTestCase() {
        QVERIFY(env.home.isValid());
        modLangConst::SetDefaultStrings();
    }
    void init() {
        env.reset();
        modGlobals::Sets().UNAME = QStringLiteral("Me");
        modGlobals::Sets().UCOL = 255;
        modGlobals::Sets().UFNT = QStringLiteral("Courier New");
        modGlobals::Sets().UPN = QStringLiteral("555-0100");
    }
    void cleanup() {
        if (modNetCmds::IsOpen()) modNetCmds::CloseNetCom(0);
    }

    // --- transport -------------------------------------------------------------------------

    void duplicatesWithinOnePollOnly() {
        clsChat chat;
        chat.Init(QStringLiteral("QX3"));
        QCOMPARE(chat.GetError(), qint16(0));
        QVERIFY(chat.GetMessages().isEmpty());
        Mailslot ear;
        QVERIFY(ear.create(QStringLiteral("QX3")) >= 0);
        chat.SendMessage(QString(), QStringLiteral("*"), QStringLiteral("Ann") + S + QStringLiteral("Cx"));
        chat.SendMessage(QString(), QStringLiteral("*"), QStringLiteral("Ann") + S + QStringLiteral("Cx"));
        chat.SendMessage(QString(), QStringLiteral("*"), QStringLiteral("ANN") + S + QStringLiteral("Cx"));
        chat.SendMessage(QString(), QStringLiteral("*"), QStringLiteral("Ann") + S + QStringLiteral("Cx"));
        waitHeard(ear, 4); // every copy has arrived before the one poll
        const QStringList first = chat.GetMessages();
        QCOMPARE(first, QStringList({QChar(0) + QStringLiteral("Ann") + S + QStringLiteral("Cx"),
                                     QChar(0) + QStringLiteral("ANN") + S + QStringLiteral("Cx")}));
        chat.SendMessage(QString(), QStringLiteral("*"), QStringLiteral("Ann") + S + QStringLiteral("Cx"));
        QCOMPARE(drain(chat, 1), QStringList({first.at(0)})); // a later poll hears it again
        chat.CloseHnd();
        chat.CloseHnd();
    }

    // The same bytes from another address are another datagram: a host that copies one must
    // not hide the real one from the poll.
    void sameBytesFromAnotherAddressAreKept() {
        clsChat chat;
        chat.Init(QStringLiteral("QX3"));
        TestEnv::OtherHost host;
        QVERIFY(host.valid());
        Mailslot ear;
        QVERIFY(ear.create(QStringLiteral("QX3")) >= 0);
        const QString text = QStringLiteral("Ann") + S + QStringLiteral("5Me") + S;
        QVERIFY(host.send(QByteArray(1, '\0') + Ansi::encode(text)));
        chat.SendMessage(QString(), QStringLiteral("*"), text);
        QVERIFY(host.send(QByteArray(1, '\0') + Ansi::encode(text)));
        chat.SendMessage(QString(), QStringLiteral("*"), text);
        waitHeard(ear, 4);
        DatagramBatch batch;
        QCOMPARE(chat.Receive(batch), qsizetype(2));
        QCOMPARE(batch.source(0), host.source());
        QVERIFY(batch.source(1) != host.source());
        for (qsizetype i = 0; i < 2; ++i)
            QCOMPARE(batch.bytes(i), QByteArrayView(QByteArray(1, '\0') + Ansi::encode(text)));
    }

    void bytesOnTheWire() {
        clsChat chat;
        chat.Init(QStringLiteral("QX3"));
        Mailslot raw;
        QVERIFY(raw.create(QStringLiteral("QX3")) >= 0);
        QString all;
        for (int b = 0; b < 256; ++b)
            all += Ansi::decode(QByteArray(1, char(b)));
        chat.SendMessage(QString(), QStringLiteral("*"), all);
        chat.SendMessage(QString(), QStringLiteral("*"), QString());
        qint64 size = 0;
        int count = 0;
        QVERIFY(QTest::qWaitFor([&] { return raw.info(size, count); }, TestEnv::kNetWait));
        QByteArray bytes;
        QVERIFY(raw.read(size, bytes));
        QCOMPARE(bytes.size(), 257);
        QCOMPARE(bytes.at(0), '\0');
        for (int b = 0; b < 256; ++b)
            QCOMPARE(static_cast<unsigned char>(bytes.at(b + 1)), static_cast<unsigned char>(b));
        const QStringList got = drain(chat, 2);
        QCOMPARE(got.size(), 2);
        QCOMPARE(got.at(0), QChar(0) + all);
        QCOMPARE(got.at(1), QString(QChar(0))); // the one-byte datagram reads back as one character
    }

    void failedInitStillSends() {
        clsChat listener;
        listener.Init(QStringLiteral("QX3"));
        qputenv("QX3_MAILSLOT_IF", "192.0.2.1");
        clsChat broken;
        QVERIFY(!broken.Init(QStringLiteral("QX3")));
        QCOMPARE(broken.GetError(), qint16(1));
        QCOMPARE(broken.Handle(), -1);
        // An address this computer does not have: the group cannot be joined there.
        QVERIFY2(broken.ErrorText().startsWith(QStringLiteral("IP_ADD_MEMBERSHIP: ")),
                 qPrintable(broken.ErrorText()));
        qputenv("QX3_MAILSLOT_IF", "127.0.0.1");
        QVERIFY(broken.GetMessages().isEmpty());
        broken.SendMessage(QString(), QStringLiteral("*"), QStringLiteral("x"));
        QCOMPARE(drain(listener, 1), QStringList({QChar(0) + QStringLiteral("x")}));
    }

    // The layer still opens as before; the log says why nothing will be heard.
    void failedOpenLogsTheReason() {
        QFile::remove(ProgramFolder::file(QStringLiteral("Log.txt")));
        modGlobals::Run().NoLog = 0;
        TestOwner owner;
        qputenv("QX3_MAILSLOT_IF", "192.0.2.1");
        modNetCmds::OpenNetCom(&owner, QStringLiteral("\\Me"));
        // Sending leaves by that address too, so every datagram fails, and says so.
        QVERIFY(!modNetCmds::SendData(QStringLiteral("E")));
        qputenv("QX3_MAILSLOT_IF", "127.0.0.1");
        QVERIFY(modNetCmds::IsOpen());
        const QStringList log = logEntries();
        // Six datagrams failed (the presence and the "E"), and the log says it once, with why.
        const QStringList failures = log.filter(QStringLiteral("    A datagram could not be sent: "));
        QCOMPARE(failures.size(), 1);
        QVERIFY2(failures.at(0).contains(QStringLiteral("IP_MULTICAST_IF: ")), qPrintable(failures.at(0)));
        const qsizetype at = log.indexOf(QStringLiteral("---NetCom loaded."));
        QVERIFY(at > 0);
        QVERIFY2(
            log.at(1).startsWith(QStringLiteral("    The mailslot could not be opened: IP_ADD_MEMBERSHIP: ")),
            qPrintable(log.join(QLatin1Char('|'))));
        QCOMPARE(log.at(0), QStringLiteral("Opening NetCom..."));
    }

    void logonNameIsProperCase() {
        const QString name = modNetCom::GetLogonName();
        QVERIFY(!name.isEmpty());
        QCOMPARE(name, name.left(1).toUpper() + name.mid(1).toLower());
    }

    // --- dispatcher --------------------------------------------------------------------------

    void dispatcher_data() {
        QTest::addColumn<int>("kind");              // TestOwner::Kind
        QTest::addColumn<QStringList>("datagrams"); // without the leading NUL; "~" stands for the separator
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("records"); // "~" for the separator
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<int>("changes");

        const auto M = int(TestOwner::Main);
        QTest::newRow("C adds then fills") << M << QStringList{"Ann~C255"} << QStringList{"Ann"}
                                           << QStringList{"Ann~255~0~Arial~0~1~"} << QStringList{} << 2;
        QTest::newRow("S and F") << M << QStringList{"Ann~S2", "Ann~FCourier New"} << QStringList{"Ann"}
                                 << QStringList{"Ann~0~2~Courier New~0~1~"} << QStringList{} << 3;
        QTest::newRow("payload separator never shifts fields")
            << M << QStringList{"Ann~C1~9~9"} << QStringList{"Ann"} << QStringList{"Ann~1~0~Arial~0~1~"}
            << QStringList{} << 2;
        QTest::newRow("case variant is one user") << M << QStringList{"Ann~B", "ANN~C4"} << QStringList{"Ann"}
                                                  << QStringList{"Ann~4~0~Arial~0~1~"} << QStringList{} << 2;
        QTest::newRow("sorted ignoring case")
            << M << QStringList{"bob~B", "Carl~B", "ann~B"} << QStringList{"ann", "bob", "Carl"}
            << QStringList{"ann~0~0~Arial~0~1~", "bob~0~0~Arial~0~1~", "Carl~0~0~Arial~0~1~"} << QStringList{}
            << 3;
        QTest::newRow("own name is not listed")
            << M << QStringList{"Me~C9", "Me~S1"} << QStringList{} << QStringList{} << QStringList{} << 0;
        QTest::newRow("own name in other case is somebody else")
            << M << QStringList{"ME~C9"} << QStringList{"ME"} << QStringList{"ME~9~0~Arial~0~1~"}
            << QStringList{} << 2;
        QTest::newRow("backslash sender has no effect")
            << M << QStringList{"\\Jsmith~C9", "\\Jsmith~AMe~hi~", "\\Jsmith~E"} << QStringList{}
            << QStringList{} << QStringList{} << 0;
        const QString longest(modNetCmds::kMaxSenderName, QLatin1Char('n'));
        QTest::newRow("the longest sender is listed")
            << M << QStringList{longest + "~C3"} << QStringList{longest}
            << QStringList{longest + "~3~0~Arial~0~1~"} << QStringList{} << 2;
        QTest::newRow("a longer sender has no effect")
            << M
            << QStringList{longest + "x~C3", longest + "x~A(All)~hi~", longest + "x~HMe~hi~0~",
                           longest + "x~IMe~t", longest + "x~1Me~f~"}
            << QStringList{} << QStringList{} << QStringList{} << 0;
        QTest::newRow("unknown letter still adds") << M << QStringList{"Ann~Zzz"} << QStringList{"Ann"}
                                                   << QStringList{"Ann~0~0~Arial~0~1~"} << QStringList{} << 1;
        QTest::newRow("E removes") << M << QStringList{"Ann~B", "Bob~B", "ann~E"} << QStringList{"Bob"}
                                   << QStringList{"Bob~0~0~Arial~0~1~"} << QStringList{} << 3;
        QTest::newRow("E from the unlisted own name changes nothing")
            << M << QStringList{"Ann~B", "Me~E"} << QStringList{"Ann"} << QStringList{"Ann~0~0~Arial~0~1~"}
            << QStringList{} << 1;
        QTest::newRow("V for me") << M << QStringList{"Ann~Vme~0~"} << QStringList{"Ann"}
                                  << QStringList{"Ann~0~0~Arial~0~0~"} << QStringList{} << 2;
        QTest::newRow("V for another") << M << QStringList{"Ann~VBob~0~"} << QStringList{"Ann"}
                                       << QStringList{"Ann~0~0~Arial~0~1~"} << QStringList{} << 1;
        QTest::newRow("V from myself never touches the first user")
            << M << QStringList{"Ann~B", "Me~VMe~0~"} << QStringList{"Ann"}
            << QStringList{"Ann~0~0~Arial~0~1~"} << QStringList{} << 1;
        QTest::newRow("alert for me, all, not (all)")
            << M << QStringList{"Ann~AME~hello~", "Ann~A(All)~to all~", "Ann~A(all)~lower~", "Ann~ABob~no~"}
            << QStringList{"Ann"} << QStringList{"Ann~0~0~Arial~0~1~"}
            << QStringList{"alert|hello|Ann", "alert|to all|Ann"} << 1;
        QTest::newRow("own alert to all comes back") << M << QStringList{"Me~A(All)~mine~"} << QStringList{}
                                                     << QStringList{} << QStringList{"alert|mine|Me"} << 0;
        QTest::newRow("chat line") << M << QStringList{"Ann~HMe~hi there~0~", "Ann~HBob~x~0~"}
                                   << QStringList{"Ann"} << QStringList{"Ann~0~0~Arial~0~1~"}
                                   << QStringList{"chat|hi there~0|Ann"} << 1;
        QTest::newRow("info reply") << M << QStringList{"Ann~IMe~My Phone Number is: 1"} << QStringList{"Ann"}
                                    << QStringList{"Ann~0~0~Arial~0~1~"}
                                    << QStringList{"info|My Phone Number is: 1|Ann"} << 1;
        QTest::newRow("file transfer letters") << M << QStringList{"Ann~1Me~f.txt~10~", "Ann~7x"}
                                               << QStringList{"Ann"} << QStringList{"Ann~0~0~Arial~0~1~"}
                                               << QStringList{"xfer|1|Ann|Me~f.txt~10~", "xfer|7|Ann|x"} << 1;
        QTest::newRow("no separator: empty sender, letter first")
            << M << QStringList{"C5"} << QStringList{""} << QStringList{"~5~0~Arial~0~1~"} << QStringList{}
            << 2;
        QTest::newRow("empty datagram") << M << QStringList{""} << QStringList{""}
                                        << QStringList{"~0~0~Arial~0~1~"} << QStringList{} << 1;
        QTest::newRow("sender with no letter") << M << QStringList{"Ann~"} << QStringList{"Ann"}
                                               << QStringList{"Ann~0~0~Arial~0~1~"} << QStringList{} << 1;
        QTest::newRow("sign-in owner lists names only")
            << int(TestOwner::SignIn) << QStringList{"Bob~C3", "ann~S1"} << QStringList{"Bob", "ann"}
            << QStringList{} << QStringList{} << 2;
        QTest::newRow("self-test owner") << int(TestOwner::SelfTest) << QStringList{"Bob~C3", "Bob~E"}
                                         << QStringList{} << QStringList{} << QStringList{} << 0;
    }
    void dispatcher() {
        QFETCH(int, kind);
        QFETCH(QStringList, datagrams);
        QFETCH(QStringList, names);
        QFETCH(QStringList, records);
        QFETCH(QStringList, calls);
        QFETCH(int, changes);
        TestOwner owner(static_cast<TestOwner::Kind>(kind));
        RouterRecorder router;
        const bool listening = kind != TestOwner::Main;
        modNetCmds::OpenNetCom(&owner, listening ? QStringLiteral("\\Me") : QStringLiteral("Me"));
        owner.names.Clear();
        owner.records.Clear();
        owner.changes = 0;
        for (QString d : datagrams) {
            if (listening) d.replace(QStringLiteral("Me~"), QStringLiteral("\\Me~"));
            modNetCmds::ParseData(d.replace(QLatin1Char('~'), modGlobals::kSep));
        }
        for (QString& r : records)
            r.replace(QLatin1Char('~'), modGlobals::kSep);
        for (QString& c : calls)
            c.replace(QLatin1Char('~'), modGlobals::kSep);
        QCOMPARE(owner.names.items(), names);
        QCOMPARE(owner.records.items(), records);
        QCOMPARE(router.calls, calls);
        QCOMPARE(owner.changes, changes);
    }

    // What the poll reads from the network: a transfer datagram for another name is dropped
    // with its sender listed, one for this copy goes to the transfer with where it came from,
    // and what arrives after the dropped ones is acted on as ever.
    void transferDatagramsFromTheNetwork_data() {
        QTest::addColumn<bool>("netLog");
        QTest::addColumn<QStringList>("datagrams");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("calls");
        QTest::newRow("for other names")
            << false << QStringList{"Ann~5Bob~", "Ann~6Bob~" + QString(250, 'x'), "Cy~7bob~", "Cy~1Bob~f~"}
            << QStringList{"Ann", "Cy"} << QStringList{};
        QTest::newRow("for this copy")
            << false << QStringList{"Ann~6Me~abc", "Ann~5ME~", "Ann~7Bob~"} << QStringList{"Ann"}
            << QStringList{"xfer|6|Ann|Me~abc", "xfer|5|Ann|ME~"};
        QTest::newRow("with no target")
            << false << QStringList{"Ann~6", "Ann~5~Me~"} << QStringList{"Ann"} << QStringList{};
        QTest::newRow("the network log shows every one")
            << true << QStringList{"Ann~6Bob~x"} << QStringList{"Ann"} << QStringList{"xfer|6|Ann|Bob~x"};
    }
    void transferDatagramsFromTheNetwork() {
        QFETCH(bool, netLog);
        QFETCH(QStringList, datagrams);
        QFETCH(QStringList, names);
        QFETCH(QStringList, calls);
        modGlobals::Run().NetLog = netLog ? 1 : 0;
        TestOwner owner;
        RouterRecorder router;
        modNetCmds::OpenNetCom(&owner, QStringLiteral("Me"));
        TestEnv::OtherHost host;
        QVERIFY(host.valid());
        owner.names.Clear();
        owner.records.Clear();
        for (QString d : datagrams)
            QVERIFY(
                host.send(QByteArray(1, '\0') + Ansi::encode(d.replace(QLatin1Char('~'), modGlobals::kSep))));
        QVERIFY(
            host.send(QByteArray(1, '\0') + Ansi::encode(QStringLiteral("Zed") + S + QStringLiteral("AMe") +
                                                         S + QStringLiteral("end") + S)));
        QTRY_VERIFY_WITH_TIMEOUT(router.calls.contains(QStringLiteral("alert|end|Zed")), TestEnv::kNetWait);
        for (QString& c : calls)
            c.replace(QLatin1Char('~'), modGlobals::kSep);
        calls << QStringLiteral("alert|end|Zed");
        names << QStringLiteral("Zed");
        QCOMPARE(router.calls, calls);
        QCOMPARE(owner.names.items(), names);
        for (const DatagramSource& from : router.sources)
            QCOMPARE(from, host.source());
        const bool logged = logEntries().contains(
            QStringLiteral("DataIn >>") + datagrams.value(0).replace(QLatin1Char('~'), modGlobals::kSep) +
            QStringLiteral("<<"));
        QCOMPARE(logged, netLog);
        modGlobals::Run().NetLog = 0;
    }

    void ownerThatGoesAwayIsForgotten() {
        auto* owner = new TestOwner;
        modNetCmds::OpenNetCom(owner, QStringLiteral("Me"));
        delete owner;
        QVERIFY(modNetCmds::OwnerForm() == nullptr);
        modNetCmds::ParseData(QStringLiteral("Ann") + S + QStringLiteral("C1")); // nothing to reach, no crash
    }

    void findUserGivesZeroForAbsent() {
        TestOwner owner;
        modNetCmds::OpenNetCom(&owner, QStringLiteral("Me"));
        owner.names.Clear();
        owner.records.Clear();
        QCOMPARE(modNetCmds::FindUser(QStringLiteral("x")), qint16(0));
        modNetCmds::ParseData(QStringLiteral("Bob") + S + QStringLiteral("B"));
        modNetCmds::ParseData(QStringLiteral("Ann") + S + QStringLiteral("B"));
        QCOMPARE(modNetCmds::FindUser(QStringLiteral("BOB")), qint16(1));
        QCOMPARE(modNetCmds::FindUser(QStringLiteral("Zed")), qint16(0));
    }

    void messageLetterShowsWindow() {
        TestOwner owner;
        MessageRecorder& msg = env.messages;
        modNetCmds::OpenNetCom(&owner, QStringLiteral("Me"));
        modNetCmds::ParseData(QStringLiteral("Ann") + S + QStringLiteral("Mline one") + S +
                              QStringLiteral("two"));
        QVERIFY(msg.shown.empty()); // after the dispatch, never inside it
        QTRY_COMPARE(msg.shown.size(), std::size_t(1));
        QCOMPARE(msg.shown[0].text,
                 QStringLiteral("Message From:Ann\r\nline one") + S + QStringLiteral("two"));
        QCOMPARE(msg.shown[0].buttons, 0);
        QCOMPARE(msg.shown[0].icon, 0);
    }

    // Messages and a request in one poll: the request is answered before the first message
    // window opens, and the messages follow one at a time, each once, in the order they came.
    void messagesNeverHoldThePoll() {
        QuietOwner owner;
        owner.names.AddItem(QStringLiteral("Eve")); // heard before: no presence answers in between
        owner.records.AddItem(rec(QStringLiteral("Eve")));
        MessageRecorder& msg = env.messages;
        modNetCmds::OpenNetCom(&owner, QStringLiteral("Me"));
        clsChat ear;
        ear.Init(QStringLiteral("QX3"));
        Mailslot counter;
        QVERIFY(counter.create(QStringLiteral("QX3")) >= 0);
        QStringList expected;
        auto send = [&](const QStringList& burst) {
            for (const QString& d : burst)
                ear.SendMessage(QString(), QStringLiteral("*"), QStringLiteral("Eve") + S + d);
            waitHeard(counter, int(burst.size())); // all wait in the slot: one poll takes them all
        };
        QStringList burst;
        for (int i = 1; i <= 20; ++i) {
            burst << QStringLiteral("Mline %1").arg(i);
            expected << QStringLiteral("Message From:Eve\r\nline %1").arg(i);
        }
        send(burst << QStringLiteral("RMe") + S + QStringLiteral("P"));
        const QString answer = QChar(0) + QStringLiteral("Me") + S + QStringLiteral("IEve") + S +
                               modLangConst::Get(QStringLiteral("NetCmd_PhoneSendMsg")) +
                               QStringLiteral("555-0100");
        bool answeredFirst = false;
        msg.whileOpen = [&] {
            if (msg.shown.size() == 1) answeredFirst = ear.GetMessages().contains(answer);
        };
        modNetCmds::PollData();
        // A second poll while they wait: the same text again is not shown twice.
        send({QStringLiteral("Mline 3"), QStringLiteral("Mnew")});
        modNetCmds::PollData();
        expected << QStringLiteral("Message From:Eve\r\nnew");
        QCOMPARE(msg.shown.size(), std::size_t(0));
        QTRY_COMPARE(msg.texts(), expected);
        QVERIFY2(answeredFirst, "the request was answered only after the first message window closed");
        // Shown and closed: the same message again is a new one.
        modNetCmds::ParseData(QStringLiteral("Eve") + S + QStringLiteral("Mline 3"));
        QTRY_COMPARE(msg.shown.size(), std::size_t(expected.size() + 1));
    }

    // No more than NetMessages::kMaxWaiting wait; the log says once that the rest were dropped.
    void waitingMessagesAreBounded() {
        TestOwner owner;
        MessageRecorder& msg = env.messages;
        modNetCmds::OpenNetCom(&owner, QStringLiteral("Me"));
        const int n = NetMessages::kMaxWaiting;
        for (int i = 0; i < n + 20; ++i)
            modNetCmds::ParseData(QStringLiteral("Eve") + S + QStringLiteral("Mm%1").arg(i));
        QCOMPARE(NetMessages::Waiting(), n);
        QTRY_COMPARE(msg.shown.size(), std::size_t(n));
        QCOMPARE(msg.shown.back().text, QStringLiteral("Message From:Eve\r\nm%1").arg(n - 1));
        const QString dropped =
            QStringLiteral("%1 messages wait to be shown: further messages are dropped.").arg(n);
        QCOMPARE(logEntries().count(dropped), 1);
    }

    // Requests are answered with an I datagram, byte for byte.
    void requestIsAnswered_data() {
        QTest::addColumn<QString>("what");
        QTest::addColumn<QString>("text");
        QTest::newRow("phone") << "P"
                               << "My Phone Number is: 555-0100";
        QTest::newRow("user name") << "U"
                                   << (QStringLiteral("My User Name is: ") + modNetCom::GetLogonName());
        QTest::newRow("anything else") << "X"
                                       << "";
    }
    void requestIsAnswered() {
        QFETCH(QString, what);
        QFETCH(QString, text);
        TestOwner owner;
        modNetCmds::OpenNetCom(&owner, QStringLiteral("Me"));
        Mailslot raw;
        QVERIFY(raw.create(QStringLiteral("QX3")) >= 0);
        modNetCmds::ParseData(QStringLiteral("Ann") + S + QStringLiteral("RME") + S + what);
        const QByteArray expected = QByteArray(1, '\0') +
                                    "Me\x01"
                                    "IAnn\x01" +
                                    Ansi::encode(text);
        QList<QByteArray> got;
        QVERIFY(QTest::qWaitFor(
            [&] {
                qint64 size = 0;
                int count = 0;
                QByteArray bytes;
                while (raw.info(size, count) && raw.read(size, bytes))
                    got << bytes;
                return got.contains(expected);
            },
            TestEnv::kNetWait));
    }

    void requestForSomebodyElseIsIgnored() {
        TestOwner owner;
        modNetCmds::OpenNetCom(&owner, QStringLiteral("Me"));
        clsChat ear;
        ear.Init(QStringLiteral("QX3"));
        modNetCmds::ParseData(QStringLiteral("Ann") + S +
                              QStringLiteral("B")); // listed: no presence reply below
        drain(ear, 5);
        modNetCmds::ParseData(QStringLiteral("Ann") + S + QStringLiteral("RBob") + S + QStringLiteral("P"));
        ear.SendMessage(QString(), QStringLiteral("*"), QStringLiteral("end"));
        const QStringList got = drain(ear, 1);
        QCOMPARE(got, QStringList({QChar(0) + QStringLiteral("end")}));
    }

    void openBroadcastsPresenceAndNewUserIsAnswered() {
        clsChat ear;
        ear.Init(QStringLiteral("QX3"));
        TestOwner owner;
        modGlobals::Run().OwnStatus = 2;
        modNetCmds::OpenNetCom(&owner, QStringLiteral("Me"));
        const QString me = QChar(0) + QStringLiteral("Me") + S;
        const QStringList expected = {me + "C255", me + "S2", me + "FCourier New",
                                      me + "B" + modNetCom::GetLogonName(),
                                      me + "P" + modNetCom::GetCompName()};
        QCOMPARE(drain(ear, 5), expected);
        modNetCmds::ParseData(QStringLiteral("Zed") + S + QStringLiteral("B"));
        QCOMPARE(drain(ear, 5), expected); // a newcomer hears my presence again
        modNetCmds::CloseNetCom(1);
        QCOMPARE(drain(ear, 1), QStringList({me + "E"}));
        QVERIFY(!modNetCmds::IsOpen());
    }

    void listeningCopyNeverAnswers() {
        clsChat ear;
        ear.Init(QStringLiteral("QX3"));
        TestOwner owner(TestOwner::SignIn);
        modNetCmds::OpenNetCom(&owner, QStringLiteral("\\Jsmith"));
        drain(ear, 5);
        modNetCmds::ParseData(QStringLiteral("Ann") + S + QStringLiteral("C3"));
        QCOMPARE(owner.names.items(), QStringList({"Ann"}));
        ear.SendMessage(QString(), QStringLiteral("*"), QStringLiteral("end"));
        QCOMPARE(drain(ear, 1), QStringList({QChar(0) + QStringLiteral("end")}));
    }

    // --- presence and the user list ---------------------------------------------------------

    // Ghosts from another host, a flood of them for each of several polls: every poll is
    // followed by one presence burst at most, the bursts keep the interval between them, and
    // the last ghosts hear me too. Each poll draws the list once.
    void ghostFloodIsAnsweredOncePerInterval() {
        Ear ear;
        QVERIFY(ear.open());
        Forger forger;
        DrawingOwner owner;
        modGlobals::Sets().UCOL = 1000;
        modNetCmds::OpenNetCom(&owner, QStringLiteral("Me"));
        constexpr int kPolls = 10, kGhosts = 150;
        QElapsedTimer flood;
        for (int k = 1; k <= kPolls; ++k) {
            const QByteArray ghost = "G" + QByteArray::number(k) + "-";
            for (int i = 0; i < kGhosts; ++i)
                QVERIFY(forger.send(ghost + QByteArray::number(i) + "\x01" + "B"));
            QVERIFY2(ear.waitStill([&] { return ear.countFrom(QByteArray(1, '\0') + ghost) == kGhosts; }),
                     "the ghosts of one poll were not all heard");
            modGlobals::Sets().UCOL = k; // the colour of a burst tells which poll it followed
            if (k == 1) flood.start();
            modNetCmds::PollData();
            QCOMPARE(owner.changes, k);
        }
        const qint64 floodMs = flood.elapsed();
        modGlobals::Sets().UCOL = 2000; // a burst when the interval ends
        QVERIFY2(ear.waitEvents([&] { return ear.count(myColour(kPolls)) + ear.count(myColour(2000)) > 0; }),
                 "the ghosts of the last poll never heard my presence");
        qsizetype bursts = 0;
        for (int k = 1; k <= kPolls; ++k) {
            QVERIFY2(ear.count(myColour(k)) <= 1,
                     qPrintable(
                         QStringLiteral("poll %1 was answered %2 times").arg(k).arg(ear.count(myColour(k)))));
            bursts += ear.count(myColour(k));
        }
        const qint64 allowed = 1 + floodMs / modNetCmds::kPresenceInterval;
        QVERIFY2(bursts <= allowed,
                 qPrintable(QStringLiteral("%1 bursts in %2 ms of polls").arg(bursts).arg(floodMs)));
        QCOMPARE(owner.names.ListCount(), kPolls * kGhosts);
        QCOMPARE(owner.records.ListCount(), kPolls * kGhosts);
        QCOMPARE(owner.drawnNames, owner.names.items());
        QVERIFY(std::is_sorted(
            owner.names.items().begin(), owner.names.items().end(),
            [](const QString& a, const QString& b) { return modAppFnc::CompareNoCase(a, b) < 0; }));
        for (int i = 0; i < owner.names.ListCount(); ++i)
            QCOMPARE(owner.records.List(i), rec(owner.names.List(i)));
    }

    // Whatever one poll brings, the owner is told once, after the last change, and the names
    // keep their sorted places with their records beside them.
    void onePollDrawsOnce_data() {
        QTest::addColumn<QStringList>("listed");    // before the poll
        QTest::addColumn<QStringList>("datagrams"); // "~" for the separator
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("records");
        QTest::addColumn<int>("changes");
        QTest::newRow("new names") << QStringList{} << QStringList{"Cy~B", "Ann~B", "bob~B"}
                                   << QStringList{"Ann", "bob", "Cy"}
                                   << QStringList{"Ann~0~0~Arial~0~1~", "bob~0~0~Arial~0~1~",
                                                  "Cy~0~0~Arial~0~1~"}
                                   << 1;
        QTest::newRow("record updates")
            << QStringList{"Ann"} << QStringList{"Ann~C5", "Ann~S1", "Ann~FTahoma", "Ann~VMe~0~"}
            << QStringList{"Ann"} << QStringList{"Ann~5~1~Tahoma~0~0~"} << 1;
        QTest::newRow("a newcomer and its presence")
            << QStringList{"Bob"} << QStringList{"Zed~C5", "Zed~S2", "Zed~FTahoma", "Zed~Bzed", "Zed~Ppc"}
            << QStringList{"Bob", "Zed"} << QStringList{"Bob~0~0~Arial~0~1~", "Zed~5~2~Tahoma~0~1~"} << 1;
        QTest::newRow("names equal ignoring case are one user")
            << QStringList{"carl"}
            << QStringList{"bob~B", "Ann~B", "ANN~C3", "BOB~S1", "CARL~C9", "aNN~E", "ann~B"}
            << QStringList{"ann", "bob", "carl"}
            << QStringList{"ann~0~0~Arial~0~1~", "bob~0~1~Arial~0~1~", "carl~9~0~Arial~0~1~"} << 1;
        QTest::newRow("Windows-1252 letters")
            << QStringList{"zed"}
            << QStringList{"Ärger~B", "Zoë~B", "€uro~B", "ÿy~B", "Œdipe~B", "Adam~B", "ÄRGER~C7", "zOë~S2"}
            << QStringList{"Adam", "zed", "Zoë", "Ärger", "ÿy", "Œdipe", "€uro"}
            << QStringList{"Adam~0~0~Arial~0~1~",  "zed~0~0~Arial~0~1~", "Zoë~0~2~Arial~0~1~",
                           "Ärger~7~0~Arial~0~1~", "ÿy~0~0~Arial~0~1~",  "Œdipe~0~0~Arial~0~1~",
                           "€uro~0~0~Arial~0~1~"}
            << 1;
        QTest::newRow("removals") << QStringList{"Ann", "Bob", "Cy"} << QStringList{"ann~E", "CY~E"}
                                  << QStringList{"Bob"} << QStringList{"Bob~0~0~Arial~0~1~"} << 1;
        QTest::newRow("nothing changes")
            << QStringList{"Ann"} << QStringList{"Ann~B", "Ann~Q?", "Me~C9", "\\X~C1", "\\X~B"}
            << QStringList{"Ann"} << QStringList{"Ann~0~0~Arial~0~1~"} << 0;
    }
    void onePollDrawsOnce() {
        QFETCH(QStringList, listed);
        QFETCH(QStringList, datagrams);
        QFETCH(QStringList, names);
        QFETCH(QStringList, records);
        QFETCH(int, changes);
        Ear ear;
        QVERIFY(ear.open());
        Forger forger;
        DrawingOwner owner;
        for (const QString& n : listed)
            owner.records.InsertItem(owner.names.AddItem(n), rec(n));
        modNetCmds::OpenNetCom(&owner, QStringLiteral("Me"));
        owner.changes = 0;
        for (const QString& d : datagrams)
            QVERIFY(forger.send(wire(d)));
        QVERIFY2(ear.waitStill([&] {
            return std::all_of(datagrams.begin(), datagrams.end(), [&](const QString& d) {
                return ear.count(QByteArray(1, '\0') + wire(d)) > 0;
            });
        }),
                 "the datagrams were not all heard");
        modNetCmds::PollData();
        for (QString& r : records)
            r.replace(QLatin1Char('~'), modGlobals::kSep);
        QCOMPARE(owner.names.items(), names);
        QCOMPARE(owner.records.items(), records);
        QCOMPARE(owner.changes, changes);
        if (changes > 0) {
            QCOMPARE(owner.drawnNames, names);
            QCOMPARE(owner.drawnRecords, records);
        }
        // Found in any letter case of its ASCII letters, where the list put it.
        for (int i = 0; i < names.size(); ++i) {
            QString upper = names.at(i);
            for (QChar& c : upper)
                if (c >= QLatin1Char('a') && c <= QLatin1Char('z')) c = QChar(c.unicode() - 32);
            QCOMPARE(modNetCmds::FindUser(modAppFnc::LowerAscii(names.at(i))), qint16(i));
            QCOMPARE(modNetCmds::FindUser(upper), qint16(i));
        }
    }

    // A handler inside the poll runs a poll of its own, or closes the owner: the inner poll
    // draws its own changes, nothing reaches the closed owner, and the newcomers still hear me.
    void handlerInsideAPoll_data() {
        QTest::addColumn<bool>("closesOwner");
        QTest::newRow("nested poll") << false;
        QTest::newRow("owner closed") << true;
    }
    void handlerInsideAPoll() {
        QFETCH(bool, closesOwner);
        Ear ear;
        QVERIFY(ear.open());
        Forger forger;
        HandlerRouter router;
        auto* owner = new DrawingOwner;
        std::unique_ptr<DrawingOwner> keep(owner);
        modGlobals::Sets().UCOL = 5;
        modNetCmds::OpenNetCom(owner, QStringLiteral("Me"));
        router.onAlert = [&] {
            if (closesOwner) {
                keep.reset();
                return;
            }
            QVERIFY(forger.send("Dan\x01"
                                "B"));
            QVERIFY(ear.waitStill([&] { return ear.countFrom(QByteArray(1, '\0') + "Dan\x01") > 0; }));
            modNetCmds::PollData();
        };
        const QList<QByteArray> outer = {"Ann\x01"
                                         "B",
                                         "Bob\x01"
                                         "A(All)\x01"
                                         "bye\x01",
                                         "Cy\x01"
                                         "B"};
        for (const QByteArray& d : outer)
            QVERIFY(forger.send(d));
        QVERIFY(ear.waitStill([&] { return ear.countFrom(QByteArray(1, '\0') + "Cy\x01") > 0; }));
        modNetCmds::PollData();
        QCOMPARE(router.calls, QStringList{QStringLiteral("alert|bye|Bob")});
        if (closesOwner) {
            QVERIFY(modNetCmds::OwnerForm() == nullptr);
        } else {
            QCOMPARE(owner->names.items(), QStringList({"Ann", "Bob", "Cy", "Dan"}));
            QCOMPARE(owner->drawnNames, owner->names.items());
            QCOMPARE(owner->changes, 2); // the inner poll's and the outer one's
        }
        QVERIFY2(ear.waitEvents([&] { return ear.count(myColour(5)) >= 2; }), "the newcomers never heard me");
    }

    // A burst waiting for the end of its interval never goes out after the layer has closed.
    void dueBurstNeverLeavesAClosedLayer() {
        Ear ear;
        QVERIFY(ear.open());
        Forger forger;
        DrawingOwner owner;
        modNetCmds::OpenNetCom(&owner, QStringLiteral("Me"));
        QVERIFY(forger.send("Ghost\x01"
                            "B"));
        QVERIFY(ear.waitStill([&] { return ear.countFrom(QByteArray(1, '\0') + "Ghost\x01") > 0; }));
        modGlobals::Sets().UCOL = 2;
        modNetCmds::SendUserData(); // just sent: the ghost waits for the interval's end
        modNetCmds::PollData();
        QCOMPARE(owner.names.items(), QStringList{QStringLiteral("Ghost")});
        modNetCmds::CloseNetCom(0);
        modGlobals::Sets().UCOL = 3;
        // Started after the layer's own timer and as long as an interval, it fires after it.
        QTimer after;
        after.setSingleShot(true);
        after.setTimerType(Qt::PreciseTimer);
        QSignalSpy fired(&after, &QTimer::timeout);
        after.start(modNetCmds::kPresenceInterval);
        QVERIFY(fired.wait(TestEnv::kNetWait));
        QVERIFY(ear.waitStill([&] {
            return ear.count(QByteArray(1, '\0') + "Me\x01"
                                                   "E") == 1;
        }));
        QCOMPARE(ear.count(myColour(2)), 1);
        QCOMPARE(ear.count(myColour(3)), 0);
    }

    // The list holds kMaxUsers names, the first ones heard; past that a newcomer is not listed
    // and the log says so once. Listed users are still heard, and one who leaves makes room.
    void listIsBounded_data() {
        QTest::addColumn<int>("kind");
        QTest::newRow("main window") << int(TestOwner::Main);
        QTest::newRow("sign-in window") << int(TestOwner::SignIn);
    }
    void listIsBounded() {
        QFETCH(int, kind);
        TestOwner owner(static_cast<TestOwner::Kind>(kind));
        modNetCmds::OpenNetCom(&owner,
                               kind == TestOwner::Main ? QStringLiteral("Me") : QStringLiteral("\\Me"));
        const int n = modNetCmds::kMaxUsers;
        const auto user = [](int i) { return QStringLiteral("U%1").arg(i, 5, 10, QLatin1Char('0')); };
        for (int i = 0; i < n + 50; ++i)
            modNetCmds::ParseData(user(i) + S + QStringLiteral("B"));
        QCOMPARE(owner.names.ListCount(), n);
        QCOMPARE(owner.names.List(n - 1), user(n - 1));
        QVERIFY(owner.names.IndexOfNoCase(user(n)) < 0);
        const QString full = QStringLiteral("%1 users are listed: further names are not added.").arg(n);
        QCOMPARE(logEntries().count(full), 1);
        modNetCmds::ParseData(user(7) + S + QStringLiteral("C5"));
        if (kind == TestOwner::Main) QCOMPARE(owner.records.List(7), rec(user(7), QStringLiteral("5")));
        modNetCmds::ParseData(user(7) + S + QStringLiteral("E"));
        modNetCmds::ParseData(QStringLiteral("Newcomer") + S + QStringLiteral("B"));
        modNetCmds::ParseData(QStringLiteral("Later") + S + QStringLiteral("B"));
        QCOMPARE(owner.names.ListCount(), n);
        QVERIFY(owner.names.IndexOfNoCase(QStringLiteral("newcomer")) >= 0);
        QVERIFY(owner.names.IndexOfNoCase(QStringLiteral("Later")) < 0);
        QCOMPARE(logEntries().count(full), 1);
        if (kind == TestOwner::Main) {
            QCOMPARE(owner.records.ListCount(), n);
            for (int i = 0; i < n; ++i)
                QCOMPARE(modAppFnc::GetField(owner.records.List(i), 1, modGlobals::kSep),
                         owner.names.List(i));
        }
    }

    void pollDispatchesEverythingWaiting() {
        TestOwner owner;
        modNetCmds::OpenNetCom(&owner, QStringLiteral("\\Me"));
        modNetCmds::SetDataReceived(0);
        modNetCmds::PollData();
        QCOMPARE(modNetCmds::DataReceived(), qint16(0));
        for (const char* n : {"Bob", "Ann", "Cy"})
            sendRaw(QByteArray(1, '\0') + n +
                    "\x01"
                    "C1");
        QTRY_COMPARE_WITH_TIMEOUT((modNetCmds::PollData(), owner.names.ListCount()), 3, TestEnv::kNetWait);
        QCOMPARE(modNetCmds::DataReceived(), qint16(1));
    }

    void garbageNeverCrashesOrCorrupts() {
        // Junk may hold any letter: an "M" shows a message box, an "A" an alert with its sound.
        RouterRecorder router;
        TestOwner owner;
        modNetCmds::OpenNetCom(&owner, QStringLiteral("\\Me"));
        modNetCmds::ParseData(QStringLiteral("Ann") + S + QStringLiteral("C7"));
        Mailslot ear;
        QVERIFY(ear.create(QStringLiteral("QX3")) >= 0);
        QByteArray junk(1 << 20, '\0');
        // 64-bit, so the bytes are the same under every compiler and optimisation level.
        for (qint64 i = 0; i < junk.size(); ++i)
            junk[i] = static_cast<char>((i * 7919) % 251);
        sendRaw(junk.left(60000)); // the largest datagram UDP carries whole
        for (int i = 0; i < 300; ++i)
            modNetCmds::ParseData(Ansi::decode(junk.mid(i * 3000, 3000)));
        waitHeard(ear, 1);
        modNetCmds::PollData();
        const int at = modNetCmds::FindUser(QStringLiteral("Ann"));
        QCOMPARE(owner.names.List(at), QStringLiteral("Ann"));
        QCOMPARE(owner.records.List(at), rec(QStringLiteral("Ann"), QStringLiteral("7")));
        QCOMPARE(owner.names.ListCount(), owner.records.ListCount());
        for (int i = 0; i < owner.records.ListCount(); ++i) {
            QCOMPARE(modAppFnc::GetField(owner.records.List(i), 1, modGlobals::kSep), owner.names.List(i));
            QCOMPARE(modAppFnc::CountStr(owner.records.List(i), S), 6);
        }
    }

    void netLogLinesComeFirst() {
        TestOwner owner;
        modGlobals::Run().NetLog = 1;
        modNetCmds::OpenNetCom(&owner, QStringLiteral("Me"));
        modNetCmds::ParseData(QStringLiteral("Ann") + S + QStringLiteral("Q?"));
        QFile f(QDir(env.home.path()).filePath(QStringLiteral("Log.txt")));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray log = f.readAll();
        const qsizetype in = log.lastIndexOf(": DataIn >>Ann\x01Q?<<\r\n");
        const qsizetype unknown = log.lastIndexOf(": Unknown data received: >>Ann\x01Q?<<\r\n");
        QVERIFY(in > 0);
        QVERIFY(unknown > in);
        QVERIFY(log.contains(": DataSent >>C255<<\r\n"));
        QVERIFY(log.contains(": Opening NetCom...\r\n"));
        QVERIFY(log.contains(": ---NetCom loaded.\r\n"));
    }

    // --- two real processes ------------------------------------------------------------------

    void twoProcessesFindEachOther() {
        TestEnv::NetPeer a, b;
        QVERIFY(a.start(QStringLiteral("Ann"), QStringLiteral("255"), QStringLiteral("Courier New")));
        QVERIFY(b.start(QStringLiteral("Bob"), QStringLiteral("65280"), QStringLiteral("Tahoma")));
        QVERIFY(a.saw("LIST Bob|65280|0|Tahoma|0|1|\n"));
        QVERIFY(b.saw("LIST Ann|255|0|Courier New|0|1|\n"));
        QVERIFY(b.quit());
        QVERIFY(a.until([&] { return a.lastList().isEmpty() && a.output().contains("\nLIST \n"); },
                        "an empty list, last"));
        a.process.closeWriteChannel();
        QVERIFY(a.process.waitForFinished(TestEnv::kNetWait));
        QFile logA(QDir(a.home.path()).filePath(QStringLiteral("Log.txt")));
        QVERIFY(logA.open(QIODevice::ReadOnly));
        QVERIFY(logA.readAll().contains(": ---NetCom closed.\r\n"));
    }
};

QTEST_MAIN(TestNetwork)
#include "tst_network.moc"
