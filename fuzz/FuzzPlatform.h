#pragma once
// What every harness shares, the companion programs' too: an offscreen application, a headless
// guard started once (a program folder of its own, recorders for message boxes, dialogs, sounds
// and the end of the program), and the checks that report a broken promise. The companion
// programs' harnesses use the platform guard as it stands; FuzzEnv.h adds the messenger's.
#include "support/PlatformHeadless.h"

#include <QApplication>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <cstdio>
#include <cstdlib>

namespace FuzzEnv {

// Once per process, from LLVMFuzzerInitialize: the application, then the guard `Env{args...}`.
template <class Env, class... Args> Env& start(Args... args) {
    static int argc = 1;
    static char name[] = "qx3fuzz";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(argc, argv);
    static Env env{args...};
    if (!env.home.isValid()) qFatal("no temporary folder");
    return env;
}

// The guard of the companion programs' harnesses, which link no messenger core.
inline TestEnv::PlatformHeadless& initPlatform() {
    return start<TestEnv::PlatformHeadless>();
}

template <class Env> QString file(const Env& env, const QString& name) {
    return QDir(env.folder()).filePath(name);
}

// A broken promise of the code under test: reported like a sanitizer finding, so the
// fuzzer keeps the input.
[[noreturn]] inline void fail(const char* what) {
    std::fprintf(stderr, "QX3 fuzz check failed: %s\n", what);
    std::abort();
}
inline void check(bool ok, const char* what) {
    if (!ok) fail(what);
}

inline QByteArray bytes(const uint8_t* data, size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

// Replaces the file at `path` by `content`: the file the reader under test is given.
inline void writeInput(const QString& path, const QByteArray& content) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(content) != content.size())
        fail("cannot write the input file");
}

} // namespace FuzzEnv
