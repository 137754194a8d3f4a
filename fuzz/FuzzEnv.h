#pragma once
// What every harness shares: an offscreen application, a program folder and config folder of
// its own, no log file, and recorders for messages and sounds, so an input can make the
// program show or play anything without a screen and without blocking.
#include "core/modGlobals.h"
#include "core/modLangConst.h"
#include "support/Recorders.h"

#include <QApplication>
#include <QByteArray>
#include <QDir>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace FuzzEnv {

struct Env {
    QTemporaryDir home;
    MessageRecorder messages;
    SoundRecorder sounds;
    QString file(const QString& name) const { return QDir(home.path()).filePath(name); }
};

// Once per process, from LLVMFuzzerInitialize.
inline Env& init() {
    static int argc = 1;
    static char name[] = "qx3fuzz";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(argc, argv);
    static Env env;
    if (!env.home.isValid()) qFatal("no temporary folder");
    qputenv("QX3_HOME", env.home.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", env.file(QStringLiteral("config")).toLocal8Bit());
    qputenv("QX3_REGISTRY", env.file(QStringLiteral("registry.json")).toLocal8Bit());
    // Every input writes lines; over millions of inputs the log would fill the disk.
    modGlobals::Run().NoLog = 1;
    modLangConst::SetDefaultStrings();
    return env;
}

// Before each input: nothing shown or heard yet.
inline void forget(Env& env) {
    env.messages.shown.clear();
    env.sounds.heard.clear();
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

} // namespace FuzzEnv
