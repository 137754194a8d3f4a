// File transfer between real processes over the loopback transport, all figures from one run:
//  1. the ceiling, just before and just after each file: a plain C ping-pong of 250-byte payloads
//     between two processes over the same multicast group with the transport's socket options
//     (one recv per datagram; a port of its own), its median round trip, the stop-and-wait rate
//     that gives, and the CPU its asking side spends per round trip;
//  2. the median of 200 "R" to "I" round trips between two copies;
//  3. files of random bytes (fixed seed; 1 MB and 20 MB, and any further sizes in MB given as
//     arguments, e.g. "xferbench 200") sent from this copy to a second one through the transfer
//     code and the progress windows, every question answered Yes: MB/s and its share of the
//     ceiling, CPU per chunk of each side, and a failure when a file arrives changed;
//  4. the CPU of a third copy on the same group that takes no part (every chunk and every
//     acknowledgement is broadcast, so every copy on the network wakes for it): per datagram and
//     as a share of one core.
// Runs itself as the other copies: "xferbench peer <name> <save folder>".
#include "conversation/frmPrg.h"
#include "core/MessageService.h"
#include "core/NetHooks.h"
#include "core/NetOwner.h"
#include "core/clsFileXfer.h"
#include "core/modAppFnc.h"
#include "core/modGlobals.h"
#include "core/modLangConst.h"
#include "core/modNetCmds.h"
#include "platform/Dialogs.h"
#include "platform/Mailslot.h"
#include "platform/Sound.h"
#include "support/Headless.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>
#include <arpa/inet.h>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <functional>
#include <netinet/in.h>
#include <poll.h>
#include <random>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {
constexpr int kRoundTrips = 200;
constexpr int kPingPongs = 20000;
constexpr int kPayload = clsFileXfer::kChunk;

double cpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// Runs the event loop until `done` holds, asked again whenever something pokes, or `ms` pass.
struct Wait {
    static inline QEventLoop* loop = nullptr;
    static inline std::function<bool()> done;
    static void poke() {
        if (loop && done && done()) loop->quit();
    }
    static bool until(const std::function<bool()>& d, int ms) {
        if (d()) return true;
        QEventLoop l;
        QTimer bound;
        bound.setSingleShot(true);
        QObject::connect(&bound, &QTimer::timeout, &l, &QEventLoop::quit);
        bound.start(ms);
        QEventLoop* outer = loop;
        std::function<bool()> outerDone = done;
        loop = &l;
        done = d;
        l.exec();
        loop = outer;
        done = outerDone;
        return d();
    }
};

// --- the ceiling: plain sockets -------------------------------------------------------------------

// The transport's receiving socket, option for option, and a sending socket beside it, on the
// transport's group at `port` (0: one the system picks, read back into group.sin_port).
struct Plain {
    int in = -1, out = -1;
    sockaddr_in group{};
    bool open(uint16_t port) {
        const MailslotConfig cfg = MailslotConfig::fromEnvironment();
        in = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        out = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        if (in < 0 || out < 0) return false;
        int one = 1, buf = Mailslot::kReceiveBuffer;
        setsockopt(in, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        if (setsockopt(in, SOL_SOCKET, SO_RCVBUFFORCE, &buf, sizeof buf) != 0)
            setsockopt(in, SOL_SOCKET, SO_RCVBUF, &buf, sizeof buf);
        group.sin_family = AF_INET;
        group.sin_port = htons(port);
        group.sin_addr.s_addr = htonl(cfg.group);
        if (::bind(in, reinterpret_cast<sockaddr*>(&group), sizeof group) != 0) return false;
        socklen_t len = sizeof group;
        if (::getsockname(in, reinterpret_cast<sockaddr*>(&group), &len) != 0) return false;
        ip_mreq mreq{};
        mreq.imr_multiaddr.s_addr = htonl(cfg.group);
        mreq.imr_interface.s_addr = htonl(cfg.iface);
        if (setsockopt(in, IPPROTO_IP, IP_ADD_MEMBERSHIP, &mreq, sizeof mreq) != 0) return false;
        for (int fd : {in, out}) {
            unsigned char ttl = 1, loop = 1;
            setsockopt(fd, IPPROTO_IP, IP_MULTICAST_TTL, &ttl, sizeof ttl);
            setsockopt(fd, IPPROTO_IP, IP_MULTICAST_LOOP, &loop, sizeof loop);
            in_addr a{};
            a.s_addr = htonl(cfg.iface);
            if (cfg.iface != 0) setsockopt(fd, IPPROTO_IP, IP_MULTICAST_IF, &a, sizeof a);
        }
        return true;
    }
    void close() {
        ::close(in);
        ::close(out);
    }
    void send(char tag, int seq) {
        char b[kPayload] = {};
        b[0] = tag;
        std::memcpy(b + 1, &seq, sizeof seq);
        ::sendto(out, b, sizeof b, 0, reinterpret_cast<sockaddr*>(&group), sizeof group);
    }
    // Waits up to `ms` for a datagram of `tag` (every other one is read and passed over); its
    // number, or -1.
    int await(char tag, int ms) {
        char b[2048];
        for (;;) {
            const ssize_t n = ::recv(in, b, sizeof b, MSG_DONTWAIT);
            if (n > int(sizeof(int)) && b[0] == tag) {
                int seq = 0;
                std::memcpy(&seq, b + 1, sizeof seq);
                return seq;
            }
            if (n >= 0) continue;
            pollfd p{in, POLLIN, 0};
            if (::poll(&p, 1, ms) <= 0) return -1;
        }
    }
};

// The answering side: every "A" n is answered with "B" n until a "Q" arrives.
[[noreturn]] void pong(Plain& s) {
    char b[2048];
    for (;;) {
        pollfd p{s.in, POLLIN, 0};
        if (::poll(&p, 1, 10000) <= 0) _exit(1);
        ssize_t n;
        while ((n = ::recv(s.in, b, sizeof b, MSG_DONTWAIT)) >= 0) {
            if (n < 1 + int(sizeof(int))) continue;
            if (b[0] == 'Q') _exit(0);
            if (b[0] != 'A') continue;
            int seq = 0;
            std::memcpy(&seq, b + 1, sizeof seq);
            s.send('B', seq);
        }
    }
}

struct Ceiling {
    double trip = -1; // median round trip, us
    double cpu = -1;  // CPU of the asking side per round trip, us
    double rate() const { return trip > 0 ? kPayload / trip : 0; } // bytes per us = MB/s
};

// `trips` round trips between this process and a child, on a port of their own, so that the
// copies on the group's port hear none of it.
Ceiling pingPong(int trips) {
    Ceiling c;
    Plain a, b;
    if (!a.open(0) || !b.open(ntohs(a.group.sin_port))) return c;
    const pid_t child = ::fork();
    if (child == 0) {
        a.close();
        pong(b);
    }
    b.close();
    int got = -1;
    for (int i = 0; i < 500 && got != 0; ++i) { // until the other side listens
        a.send('A', 0);
        got = a.await('B', 10);
    }
    std::vector<double> times;
    times.reserve(trips);
    const double cpuBefore = cpuSeconds();
    for (int i = 1; got >= 0 && i <= trips; ++i) {
        timespec t0{}, t1{};
        clock_gettime(CLOCK_MONOTONIC, &t0);
        a.send('A', i);
        while ((got = a.await('B', 1000)) >= 0 && got != i) {
        }
        clock_gettime(CLOCK_MONOTONIC, &t1);
        times.push_back(double(t1.tv_sec - t0.tv_sec) * 1e6 + double(t1.tv_nsec - t0.tv_nsec) / 1e3);
    }
    if (got >= 0) {
        c.cpu = (cpuSeconds() - cpuBefore) * 1e6 / trips;
        std::sort(times.begin(), times.end());
        c.trip = times[times.size() / 2];
    }
    for (int i = 0; i < 5; ++i)
        a.send('Q', 0);
    int status = 0;
    ::waitpid(child, &status, 0);
    a.close();
    return c;
}

// --- the copies --------------------------------------------------------------------------------

struct Owner : NetOwner {
    OwnerList names{true}, records{true};
    OwnerList* lstUsers() override { return &names; }
    OwnerList* lstUStat() override { return &records; }
    void UListChange() override { Wait::poke(); }
};
struct Yes : MessageService {
    QStringList shown;
    int Show(const QString& text, int, int) override {
        shown << text;
        std::printf("MSG %s\n",
                    qPrintable(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("|"))));
        std::fflush(stdout);
        Wait::poke();
        return 0;
    }
};
struct Silence : Sound::Backend {
    void beep() override {}
    void playWave(const QString&, bool) override {}
};
struct Chosen : Dialogs::Service {
    QString path;
    Dialogs::FileAnswer chooseFile(const Dialogs::FileRequest&) override { return {path, 1}; }
    QString chooseFolder(const QString&, const QString&) override { return {}; }
};
struct InfoClock : NetHooks::Router {
    int answers = 0;
    void ShowAlertPop(const QString&, const QString&) override {}
    void RouteChatMsg(const QString&, const QString&) override {}
    void ShowUserInfo(const QString&, const QString&) override {
        ++answers;
        Wait::poke();
    }
};

void setUp(const QString& name, Yes& yes, Silence& quiet, Chosen& chosen) {
    modGlobals::Run().NoLog = 1;
    modLangConst::SetDefaultStrings();
    modGlobals::Sets().UNAME = name;
    Messages::service().set(&yes);
    Sound::backend().set(&quiet);
    Dialogs::service().set(&chosen);
    clsFileXfer::Install();
    frmPrg::Install();
}

// A copy that takes part: answers Yes, saves into its folder, prints "CPU <seconds>" when asked.
int runPeer(QApplication& app, const QString& name, const QString& folder) {
    TestEnv::Headless env; // a program folder of its own; the port is the parent's
    Yes yes;
    Silence quiet;
    Chosen chosen;
    setUp(name, yes, quiet, chosen);
    modGlobals::Sets().SFLD = folder;
    Owner owner;
    modNetCmds::OpenNetCom(&owner, name);
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [] { modNetCmds::PollData(); });
    poll.start(200);
    QSocketNotifier in(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&in, &QSocketNotifier::activated, [&] {
        char buf[256];
        const ssize_t n = ::read(STDIN_FILENO, buf, sizeof buf);
        if (n <= 0 || QByteArray(buf, n).contains("quit")) {
            in.setEnabled(false);
            modNetCmds::CloseNetCom(1);
            app.quit();
            return;
        }
        if (QByteArray(buf, n).contains("cpu")) {
            std::printf("CPU %.6f\n", cpuSeconds());
            std::fflush(stdout);
        }
    });
    std::printf("READY\n");
    std::fflush(stdout);
    return app.exec();
}

struct Child {
    QProcess p;
    QByteArray out;
    Child() {
        QObject::connect(&p, &QProcess::readyReadStandardOutput, [this] {
            out += p.readAllStandardOutput();
            Wait::poke();
        });
    }
    bool saw(const QByteArray& what, int ms) {
        return Wait::until([&] { return out.contains(what); }, ms);
    }
    double cpu() {
        out.clear();
        p.write("cpu\n");
        const auto line = [&]() -> qsizetype {
            if (out.startsWith("CPU ")) return 0;
            const qsizetype at = out.indexOf("\nCPU ");
            return at < 0 ? -1 : at + 1;
        };
        if (!Wait::until([&] { return line() >= 0 && out.indexOf('\n', line() + 1) > 0; }, 10000)) return -1;
        const qsizetype at = line() + 4;
        return out.mid(at, out.indexOf('\n', at) - at).trimmed().toDouble();
    }
};

// Sends one file of `mb` MB to the receiver and prints its figures; false when it failed.
bool transfer(qint64 mb, const QString& work, const QString& save, Child& receiver, Child& idle, Yes& yes,
              Chosen& chosen) {
    const qint64 size = mb * 1000 * 1000;
    QByteArray bytes(size, '\0');
    std::mt19937 rng(20261210 + unsigned(mb));
    for (char& c : bytes)
        c = char(rng() & 0xFF);
    const QString name = QStringLiteral("random%1.bin").arg(mb);
    chosen.path = QDir(work).filePath(name);
    {
        QFile f(chosen.path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) return false;
    }
    // The ceiling just before and just after, as the machine's load changes.
    const Ceiling before = pingPong(kPingPongs);
    receiver.out.clear();
    const double idleBefore = idle.cpu(), receiverBefore = receiver.cpu();
    const double senderBefore = cpuSeconds();
    const qsizetype shownBefore = yes.shown.size();
    QElapsedTimer t;
    t.start();
    modAppFnc::SendFileTo(QStringLiteral("Receiver") + modGlobals::Sep());
    const bool sent = Wait::until([&] { return yes.shown.size() > shownBefore; }, 3600 * 1000) &&
                      yes.shown.back() == modLangConst::lang("FileT_SC");
    const double secs = t.nsecsElapsed() / 1e9;
    const double senderCpu = cpuSeconds() - senderBefore;
    if (!sent) {
        std::printf("%lld MB: the send did not complete\n", mb);
        return false;
    }
    if (!receiver.saw("MSG File receive complete.", 10000)) {
        std::printf("%lld MB: the receiver did not complete\n", mb);
        return false;
    }
    const double receiverCpu = receiver.cpu() - receiverBefore;
    const double idleCpu = idle.cpu() - idleBefore;
    QFile got(QDir(save).filePath(name));
    const bool same = got.open(QIODevice::ReadOnly) && got.readAll() == bytes;
    got.remove();
    QFile::remove(chosen.path);
    const Ceiling after = pingPong(kPingPongs);
    const double ceiling = (before.rate() + after.rate()) / 2;
    const double chunks = double((size + kPayload - 1) / kPayload);
    const double rate = double(size) / 1e6 / secs;
    std::printf("%lld MB file: %.2f s, %.2f MB/s = %.1f %% of the ceiling, arrived %s\n", mb, secs, rate,
                ceiling > 0 ? 100 * rate / ceiling : 0.0, same ? "identical" : "CHANGED");
    std::printf("  ceiling: C ping-pong of %d-byte payloads, median round trip %.1f us before, %.1f us after "
                "= %.2f MB/s; its asking side's CPU %.1f us per round trip\n",
                kPayload, before.trip, after.trip, ceiling, (before.cpu + after.cpu) / 2);
    std::printf("  CPU per chunk: sender %.1f us, receiver %.1f us (%.0f chunks)\n", senderCpu * 1e6 / chunks,
                receiverCpu * 1e6 / chunks, chunks);
    std::printf("  bystander: %.2f us per datagram of %.0f, %.1f %% of a core\n",
                idleCpu * 1e6 / (2 * chunks), 2 * chunks, 100 * idleCpu / secs);
    std::fflush(stdout);
    return same;
}
} // namespace

int main(int argc, char** argv) {
    if (qgetenv("QT_QPA_PLATFORM").isEmpty()) qputenv("QT_QPA_PLATFORM", "offscreen");
    // The peers it starts inherit the port it took.
    if (qgetenv("QX3_MAILSLOT_PORT").isEmpty()) TestEnv::useLoopback();
    const bool peer = argc >= 4 && QByteArray(argv[1]) == "peer";

    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false); // the progress window comes and goes
    if (peer) return runPeer(app, QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));

    std::vector<qint64> sizes{1, 20};
    for (int i = 1; i < argc; ++i)
        if (const qint64 mb = QByteArray(argv[i]).toLongLong(); mb > 0) sizes.push_back(mb);

    TestEnv::Headless env{TestEnv::Loopback}; // the sender's program folder, the port it took
    const QString save = QDir(env.folder()).filePath(QStringLiteral("save"));
    QDir().mkpath(save);
    Child receiver, idle;
    const std::pair<Child*, QString> peers[] = {{&receiver, QStringLiteral("Receiver")},
                                                {&idle, QStringLiteral("Idle")}};
    for (const auto& [c, name] : peers) {
        c->p.start(QCoreApplication::applicationFilePath(),
                   {QStringLiteral("peer"), name, name == QLatin1String("Idle") ? env.folder() : save});
        if (!c->p.waitForStarted(5000) || !c->saw("READY", 10000)) {
            std::printf("a peer did not start\n");
            return 1;
        }
    }

    Yes yes;
    Silence quiet;
    Chosen chosen;
    setUp(QStringLiteral("Sender"), yes, quiet, chosen);
    InfoClock clock;
    NetHooks::router().set(&clock);
    Owner owner;
    modNetCmds::OpenNetCom(&owner, QStringLiteral("Sender"));
    Wait::until([&] { return owner.names.ListCount() >= 2; }, 10000);

    // 2. Round trips: one request at a time, each timed to its answer.
    std::vector<double> trips;
    for (int i = 0; i < kRoundTrips; ++i) {
        const int before = clock.answers;
        QElapsedTimer t;
        t.start();
        modNetCmds::SendData(QStringLiteral("RReceiver") + modGlobals::Sep() + QStringLiteral("P") +
                             modGlobals::Sep());
        if (!Wait::until([&] { return clock.answers != before; }, 2000)) {
            std::printf("round trip %d: no answer\n", i);
            return 1;
        }
        trips.push_back(t.nsecsElapsed() / 1e3);
    }
    std::sort(trips.begin(), trips.end());
    std::printf("R to I round trip between copies: median %.1f us, slowest %.1f us (%d trips)\n",
                trips[trips.size() / 2], trips.back(), kRoundTrips);

    // 1, 3 and 4.
    bool ok = true;
    for (const qint64 mb : sizes)
        ok = transfer(mb, env.folder(), save, receiver, idle, yes, chosen) && ok;
    for (Child* c : {&receiver, &idle}) {
        c->p.write("quit\n");
        c->p.waitForFinished(5000);
    }
    modNetCmds::CloseNetCom(1);
    return ok ? 0 : 1;
}
