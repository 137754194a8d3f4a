#pragma once
// Reading and writing whole files in tests, and the log's entries without their time stamps.
#include "platform/Ansi.h"
#include "platform/ProgramFolder.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTest>
#include <sys/stat.h>

inline QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline void writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

inline QStringList logEntries() {
    QStringList out;
    const QString all = Ansi::decode(readAll(ProgramFolder::file(QStringLiteral("Log.txt"))));
    for (const QString& line : all.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts)) {
        const qsizetype at = line.indexOf(QStringLiteral(": "));
        out << (at < 0 ? line : line.mid(at + 2));
    }
    return out;
}

// Things that stand where a file is expected but are no regular file, each of which a reader
// must refuse at once: a device that never ends, a FIFO nobody writes (a blocking open waits
// for ever), a folder. The table column is "notAFile".
inline void addNotAFileRows() {
    QTest::addColumn<QByteArray>("notAFile");
    QTest::newRow("endless device") << QByteArray("device");
    QTest::newRow("FIFO without a writer") << QByteArray("fifo");
    QTest::newRow("folder") << QByteArray("folder");
}
// Makes the row's thing at `at` (the device is always /dev/zero) and returns its path.
inline QString makeNotAFile(const QByteArray& kind, const QString& at) {
    if (kind == "device") return QStringLiteral("/dev/zero");
    QFile::remove(at);
    if (kind == "fifo") {
        if (::mkfifo(QFile::encodeName(at).constData(), 0600) != 0) qFatal("cannot make a FIFO");
    } else if (!QDir().mkpath(at)) {
        qFatal("cannot make a folder");
    }
    return at;
}
