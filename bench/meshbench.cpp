// Copies of the messenger started at once on loopback: 100, then 200 meshpeer processes (the
// network layer as the main window runs it, without windows), all launched together. For each
// mesh it prints how long until every copy lists all the others, how many datagrams the copies
// sent (in all, per pair of copies, and the most from one copy), and how many deliveries the
// kernel dropped on the copies' sockets (the drops column of /proc/net/udp).
// Targets: a full mesh within 60 s, no drops, at most 3 datagrams per pair. The exit code is 1
// when a target is missed. Every copy is ended before the next mesh starts.
#include "UdpDrops.h"
#include "platform/Mailslot.h"
#include "support/PlatformHeadless.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHash>
#include <QProcess>
#include <cstdio>
#include <memory>
#include <vector>

namespace {
constexpr int kMeshMs = 60000;  // the longest a mesh may take to form
constexpr int kQuietMs = 1000;  // no datagram for this long after the mesh: nothing more comes
constexpr int kTrailMs = 10000; // the longest the bench waits for that quiet
constexpr double kMaxPerPair = 3;

struct Ear {
    Mailslot slot;
    // Datagrams heard, by sender.
    QHash<QByteArray, int> bySender;
    qint64 lastHeardMs = 0;
    void read(const QByteArray& prefix, const QElapsedTimer& clock) {
        qint64 size = 0;
        int waiting = 0;
        QByteArray bytes;
        while (slot.info(size, waiting) && slot.read(size, bytes)) {
            const qsizetype sep = bytes.indexOf('\x01');
            const QByteArray sender = sep < 0 ? QByteArray() : bytes.mid(1, sep - 1);
            if (!sender.startsWith(prefix)) continue;
            ++bySender[sender];
            lastHeardMs = clock.elapsed();
        }
    }
};

bool mesh(int n, const QString& peer) {
    const QByteArray prefix = "M" + QByteArray::number(n) + "-";
    Ear ear;
    if (ear.slot.create(QStringLiteral("QX3")) < 0) {
        std::printf("the bench's own slot could not be opened: %s\n", qPrintable(ear.slot.errorText()));
        return false;
    }
    std::vector<std::unique_ptr<QProcess>> copies;
    std::vector<bool> full(n, false);
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < n; ++i) {
        auto p = std::make_unique<QProcess>();
        p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p->start(peer, {QString::fromLatin1(prefix) + QString::number(i), QString::number(n - 1)});
        copies.push_back(std::move(p));
    }
    const qint64 launchedMs = clock.elapsed();
    int fullCount = 0;
    qint64 fullMs = -1;
    while (fullCount < n && clock.elapsed() < kMeshMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        ear.read(prefix, clock);
        for (int i = 0; i < n; ++i) {
            if (full[i]) continue;
            if (!copies[i]->readAllStandardOutput().contains("FULL")) continue;
            full[i] = true;
            ++fullCount;
        }
        if (fullCount == n) fullMs = clock.elapsed();
    }
    // What the copies still send after the mesh has formed counts too.
    const qint64 trailUntil = clock.elapsed() + kTrailMs;
    while (clock.elapsed() < trailUntil && clock.elapsed() - ear.lastHeardMs < kQuietMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        ear.read(prefix, clock);
    }
    const QHash<QByteArray, qint64> drops = UdpDrops::byInode();
    qint64 copyDrops = 0;
    int sockets = 0, earSockets = 0;
    for (const auto& c : copies)
        copyDrops += UdpDrops::ofProcess(c->processId(), drops, sockets);
    const qint64 earDrops = UdpDrops::ofProcess(QCoreApplication::applicationPid(), drops, earSockets);
    for (const auto& c : copies)
        c->write("quit\n");
    for (const auto& c : copies)
        if (!c->waitForFinished(5000)) c->kill();
    for (const auto& c : copies)
        c->waitForFinished(5000);

    qint64 sent = 0;
    int most = 0;
    for (auto it = ear.bySender.cbegin(); it != ear.bySender.cend(); ++it) {
        sent += it.value();
        most = qMax(most, it.value());
    }
    const double pairs = n * (n - 1) / 2.0;
    const double perPair = sent / pairs;
    std::printf("%3d copies (launched in %lld ms): ", n, static_cast<long long>(launchedMs));
    if (fullMs >= 0)
        std::printf("full mesh after %lld ms", static_cast<long long>(fullMs));
    else
        std::printf("only %d of %d listed all the others after %d s", fullCount, n, kMeshMs / 1000);
    std::printf("; %lld datagrams sent, %.2f per pair, at most %d (%d bursts) from one copy; kernel drops on "
                "the copies' %d sockets: %lld (on the bench's own: %lld)\n",
                static_cast<long long>(sent), perPair, most, most / 5, sockets,
                static_cast<long long>(copyDrops), static_cast<long long>(earDrops));
    std::fflush(stdout);
    return fullMs >= 0 && copyDrops == 0 && perPair <= kMaxPerPair;
}
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    TestEnv::PlatformHeadless env; // a program folder of its own, which the copies inherit
    TestEnv::useLoopback();        // and the port
    std::printf(
        "Copies started at once on loopback (targets: a full mesh within %d s, no kernel drops, at most "
        "%.0f datagrams per pair)\n",
        kMeshMs / 1000, kMaxPerPair);
    bool met = true;
    for (int n : {100, 200})
        met = mesh(n, QStringLiteral(QX3_MESHPEER)) && met;
    std::printf(met ? "All targets met.\n" : "A target was missed.\n");
    return met ? 0 : 1;
}
