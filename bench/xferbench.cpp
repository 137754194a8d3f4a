// File transfer between two real processes over the loopback transport:
//  1. the median of 200 "R" to "I" round trips;
//  2. a 10 MB file of random bytes (fixed seed) sent through the transfer code and the progress
//     windows, every question answered Yes; MB/s, and a failure when the file arrives changed;
//  3. the CPU time of a third, idle copy on the same group while the transfer runs (every chunk
//     is broadcast, so every copy wakes for it).
// Runs itself as the other two copies: "xferbench peer <name> <save folder>".
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
#include "platform/Sound.h"
#include "support/TestEnv.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSocketNotifier>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <random>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {
constexpr qint64 kFileSize = 10 * 1000 * 1000;
constexpr int kRoundTrips = 200;

struct Owner : NetOwner {
    OwnerList names{true}, records{true};
    OwnerList* lstUsers() override { return &names; }
    OwnerList* lstUStat() override { return &records; }
};
struct Yes : MessageService {
    QStringList shown;
    int Show(const QString& text, int, int) override {
        shown << text;
        std::printf("MSG %s\n",
                    qPrintable(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("|"))));
        std::fflush(stdout);
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
    void ShowUserInfo(const QString&, const QString&) override { ++answers; }
};

double cpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

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
    bool saw(const QByteArray& what, int ms) {
        QElapsedTimer t;
        t.start();
        while (!out.contains(what) && t.elapsed() < ms) {
            p.waitForReadyRead(50);
            out += p.readAllStandardOutput();
        }
        return out.contains(what);
    }
    double cpu() {
        out.clear();
        p.write("cpu\n");
        if (!saw("\n", 5000) || !out.startsWith("CPU ")) return -1;
        return out.mid(4).trimmed().toDouble();
    }
};
} // namespace

int main(int argc, char** argv) {
    if (qgetenv("QT_QPA_PLATFORM").isEmpty()) qputenv("QT_QPA_PLATFORM", "offscreen");
    // The peers it starts inherit the port it took.
    if (qgetenv("QX3_MAILSLOT_PORT").isEmpty()) TestEnv::useLoopback();
    QApplication app(argc, argv);
    if (argc >= 4 && QByteArray(argv[1]) == "peer")
        return runPeer(app, QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));

    QTemporaryDir work;
    const QString save = QDir(work.path()).filePath(QStringLiteral("save"));
    QDir().mkpath(save);
    qputenv("QX3_HOME", work.path().toLocal8Bit());
    Child receiver, idle;
    const std::pair<Child*, QString> peers[] = {{&receiver, QStringLiteral("Receiver")},
                                                {&idle, QStringLiteral("Idle")}};
    for (const auto& [c, name] : peers) {
        c->p.start(QCoreApplication::applicationFilePath(),
                   {QStringLiteral("peer"), name, name == QLatin1String("Idle") ? work.path() : save});
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
    QElapsedTimer wait;
    wait.start();
    while (owner.names.ListCount() < 2 && wait.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);

    // 1. Round trips: one request at a time, each timed to its answer.
    std::vector<double> trips;
    for (int i = 0; i < kRoundTrips; ++i) {
        const int before = clock.answers;
        QElapsedTimer t;
        t.start();
        modNetCmds::SendData(QStringLiteral("RReceiver") + modGlobals::Sep() + QStringLiteral("P") +
                             modGlobals::Sep());
        while (clock.answers == before && t.elapsed() < 2000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        if (clock.answers == before) {
            std::printf("round trip %d: no answer\n", i);
            return 1;
        }
        trips.push_back(t.nsecsElapsed() / 1e6);
    }
    std::sort(trips.begin(), trips.end());
    std::printf("R to I round trip: median %.3f ms, slowest %.3f ms (%d trips)\n", trips[trips.size() / 2],
                trips.back(), kRoundTrips);

    // 2. The file.
    QByteArray bytes(kFileSize, '\0');
    std::mt19937 rng(20261210);
    for (char& c : bytes)
        c = char(rng() & 0xFF);
    chosen.path = QDir(work.path()).filePath(QStringLiteral("random.bin"));
    {
        QFile f(chosen.path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) return 1;
    }
    const double idleBefore = idle.cpu();
    const double senderBefore = cpuSeconds();
    QElapsedTimer t;
    t.start();
    modAppFnc::SendFileTo(QStringLiteral("Receiver") + modGlobals::Sep());
    while (!yes.shown.contains(modLangConst::lang("FileT_SC")) && t.elapsed() < 600000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    const double secs = t.nsecsElapsed() / 1e9;
    const double senderCpu = cpuSeconds() - senderBefore;
    if (!receiver.saw("MSG File receive complete.", 10000)) {
        std::printf("the receiver did not complete\n");
        return 1;
    }
    const double idleCpu = idle.cpu() - idleBefore;
    QFile got(QDir(save).filePath(QStringLiteral("random.bin")));
    const bool same = got.open(QIODevice::ReadOnly) && got.readAll() == bytes;
    std::printf("10 MB file: %.2f s, %.2f MB/s, arrived %s\n", secs, kFileSize / 1e6 / secs,
                same ? "identical" : "CHANGED");
    std::printf(
        "CPU during the transfer: sender %.2f s; idle bystander %.3f s (%.1f us per datagram of %lld)\n",
        senderCpu, idleCpu, idleCpu * 1e6 / double(2 * (kFileSize / clsFileXfer::kChunk)),
        2 * (kFileSize / clsFileXfer::kChunk));
    for (Child* c : {&receiver, &idle}) {
        c->p.write("quit\n");
        c->p.waitForFinished(5000);
    }
    modNetCmds::CloseNetCom(1);
    return same ? 0 : 1;
}
