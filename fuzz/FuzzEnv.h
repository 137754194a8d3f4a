#pragma once
// What every harness shares: an offscreen application, the tests' headless guard (a program
// folder of its own, recorders for messages, input, dialogs, sounds and both ends of the
// program) and no log file, so an input can make the program show, play or end anything
// without a screen and without blocking.
#include "core/modGlobals.h"
#include "core/modLangConst.h"
#include "support/Headless.h"

#include <QApplication>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <cstdio>
#include <cstdlib>

namespace FuzzEnv {

using Env = TestEnv::Headless;

inline QString file(const Env& env, const QString& name) {
    return QDir(env.folder()).filePath(name);
}

// Once per process, from LLVMFuzzerInitialize. Loopback puts the network on 127.0.0.1, at a
// port of the process's own.
inline Env& init(TestEnv::Network network = TestEnv::NoNetwork) {
    static int argc = 1;
    static char name[] = "qx3fuzz";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(argc, argv);
    static Env env{network};
    if (!env.home.isValid()) qFatal("no temporary folder");
    // Every input writes lines; over millions of inputs the log would fill the disk.
    modGlobals::Run().NoLog = 1;
    modLangConst::SetDefaultStrings();
    return env;
}

// Before each input: nothing shown, heard or ended yet.
inline void forget(Env& env) {
    env.messages.shown.clear();
    env.sounds.heard.clear();
    env.end.terminated = env.end.ended = 0;
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
