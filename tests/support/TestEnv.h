#pragma once
// Shared test set-up: a program folder of its own and a loopback-only network.
#include <QAbstractEventDispatcher>
#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>
#include <QtGlobal>

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace TestEnv {

// The bound of every wait for something that crosses the network or another process: long
// enough that a loaded machine (sixteen suites at once, the sanitizers) never runs it out.
inline constexpr int kNetWait = 30000; // ms

// The group every test speaks on; the port keeps the tests apart.
inline constexpr const char* kTestGroup = "239.255.51.3";

// A UDP port that no other test process on this computer speaks on while this one runs, however
// many suites run at once: the number of a TCP port this process holds on loopback until it ends.
// The kernel hands each such port to one socket only, and every test process takes its port this
// way, so two of them never share one. A number some other program already holds for UDP (where
// the slot could not be bound) is passed over. Children inherit it through QX3_MAILSLOT_PORT.
inline quint16 ownPort() {
    static const quint16 port = [] {
        for (int attempt = 0; attempt < 64; ++attempt) {
            const int hold = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
            if (hold < 0) qFatal("no socket for the test port: %s", strerror(errno));
            sockaddr_in a{};
            a.sin_family = AF_INET;
            a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            socklen_t len = sizeof a;
            if (::bind(hold, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
                ::getsockname(hold, reinterpret_cast<sockaddr*>(&a), &len) != 0)
                qFatal("no loopback port for the tests: %s", strerror(errno));
            // The slot binds the group at this port, sharing it; check that nothing forbids that.
            const int udp = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
            const int one = 1;
            sockaddr_in g = a;
            inet_pton(AF_INET, kTestGroup, &g.sin_addr);
            const bool free = udp >= 0 &&
                              ::setsockopt(udp, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one) == 0 &&
                              ::bind(udp, reinterpret_cast<sockaddr*>(&g), sizeof g) == 0;
            if (udp >= 0) ::close(udp);
            if (free) return ntohs(a.sin_port); // `hold` stays open for the life of the process
            ::close(hold);
        }
        qFatal("no free port for the tests");
    }();
    return port;
}

// Every network test stays on 127.0.0.1 at its process's own port.
inline void useLoopback() {
    qputenv("QX3_MAILSLOT_IF", "127.0.0.1");
    qputenv("QX3_MAILSLOT_GROUP", kTestGroup);
    qputenv("QX3_MAILSLOT_PORT", QByteArray::number(ownPort()));
}
// Runs every event that is already due, the zero timers by which handlers put work after
// themselves included, so that a test can tell that something does not happen without waiting
// for a time.
inline void settle() {
    for (int round = 0; round < 100; ++round)
        if (!QCoreApplication::eventDispatcher()->processEvents(QEventLoop::AllEvents)) break;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

inline void useProgramFolder(const QTemporaryDir& dir) {
    qputenv("QX3_HOME", dir.path().toLocal8Bit());
}
// The program folder, and the user's config folder (autostart entries, registry store) inside it.
// With `programFolder` the program folder is that folder inside `dir`, beside the config folder.
// A registry named from outside (QX3_REGISTRY) is not used: the store is the config folder's.
inline void isolate(const QTemporaryDir& dir, const QString& programFolder = QString()) {
    if (programFolder.isEmpty()) {
        useProgramFolder(dir);
    } else {
        const QString path = dir.filePath(programFolder);
        if (!QDir().mkpath(path)) qFatal("cannot make the program folder");
        qputenv("QX3_HOME", path.toLocal8Bit());
    }
    // As on any desktop, the config folder is there; what goes inside it is not yet.
    const QString config = dir.filePath(QStringLiteral("config"));
    if (!QDir().mkpath(config)) qFatal("cannot make the config folder");
    qputenv("XDG_CONFIG_HOME", config.toLocal8Bit());
    qunsetenv("QX3_REGISTRY");
}
// Removes everything inside `dir`, which stays.
inline void empty(const QTemporaryDir& dir) {
    const QFileInfoList entries =
        QDir(dir.path()).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    for (const QFileInfo& e : entries) {
        const bool gone = e.isDir() && !e.isSymLink() ? QDir(e.filePath()).removeRecursively()
                                                      : QFile::remove(e.filePath());
        if (!gone) qFatal("cannot empty the test's folder: %s", qPrintable(e.filePath()));
    }
}
} // namespace TestEnv
