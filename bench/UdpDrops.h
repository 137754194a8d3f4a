#pragma once
// What the kernel dropped on a process's UDP sockets: the drops column of /proc/net/udp for the
// sockets the process holds (/proc/<pid>/fd), so a bench can tell a datagram lost in a full
// receive buffer from one never sent.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QList>
#include <QString>
#include <cstring>
#include <unistd.h>

namespace UdpDrops {

// Drops by socket inode.
inline QHash<QByteArray, qint64> byInode() {
    QHash<QByteArray, qint64> out;
    QFile f(QStringLiteral("/proc/net/udp"));
    if (!f.open(QIODevice::ReadOnly)) return out;
    const QList<QByteArray> lines = f.readAll().split('\n');
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QList<QByteArray> cols = lines.at(i).simplified().split(' ');
        if (cols.size() >= 13) out.insert(cols.at(9), cols.last().toLongLong());
    }
    return out;
}

// The drops on the UDP sockets of process `pid`, from a table read by byInode(); `sockets`
// counts the sockets found.
inline qint64 ofProcess(qint64 pid, const QHash<QByteArray, qint64>& table, int& sockets) {
    qint64 drops = 0;
    const QDir fds(QStringLiteral("/proc/%1/fd").arg(pid));
    for (const QString& fd : fds.entryList(QDir::Files | QDir::System | QDir::NoDotAndDotDot)) {
        char buf[64];
        const ssize_t n = ::readlink(fds.filePath(fd).toLocal8Bit().constData(), buf, sizeof buf - 1);
        if (n <= 9 || std::memcmp(buf, "socket:[", 8) != 0) continue;
        const auto it = table.constFind(QByteArray(buf + 8, int(n) - 9));
        if (it == table.constEnd()) continue; // not a UDP socket
        drops += it.value();
        ++sockets;
    }
    return drops;
}

} // namespace UdpDrops
