#pragma once
// Shared test set-up: a program folder of its own and a loopback-only network.
#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace TestEnv {
// Every network test stays on 127.0.0.1, each test file on a port of its own. Suites run side
// by side (several work trees, the sanitizer build) keep apart by a group of their own in
// QX3_TEST_GROUP.
inline void useLoopback(int port) {
    qputenv("QX3_MAILSLOT_IF", "127.0.0.1");
    const QByteArray group = qgetenv("QX3_TEST_GROUP");
    qputenv("QX3_MAILSLOT_GROUP", group.isEmpty() ? QByteArray("239.255.51.3") : group);
    qputenv("QX3_MAILSLOT_PORT", QByteArray::number(port));
}
inline void useProgramFolder(const QTemporaryDir& dir) {
    qputenv("QX3_HOME", dir.path().toLocal8Bit());
}
// The program folder, and the user's config folder (autostart entries, registry store) inside it.
inline void isolate(const QTemporaryDir& dir) {
    useProgramFolder(dir);
    qputenv("XDG_CONFIG_HOME", (dir.path() + QStringLiteral("/config")).toLocal8Bit());
}
} // namespace TestEnv
