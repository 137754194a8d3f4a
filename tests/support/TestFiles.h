#pragma once
// Reading and writing whole files in tests, and the log's entries without their time stamps.
#include "platform/Ansi.h"
#include "platform/ProgramFolder.h"

#include <QFile>
#include <QStringList>
#include <QTest>

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
