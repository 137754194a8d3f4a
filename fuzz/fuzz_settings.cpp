// The settings file reader on a settings file with the input's bytes. The reader never writes
// the file; a damaged file takes the error path: one message and the orderly end.
//
// The file ends with a checksum that changed bytes rarely match: an input whose last four bytes
// are not its checksum is also read with the right one in their place, so that the reader's
// later steps are reached as well.
#include "FuzzEnv.h"
#include "core/modSettings.h"
#include "platform/SettingsBag.h"
#include "support/TestFiles.h"

namespace {
FuzzEnv::Env* env;

void load(const QByteArray& file) {
    FuzzEnv::forget(*env);
    modGlobals::Sets() = modGlobals::Settings{};
    const QString path = modSettings::SettingsPath();
    FuzzEnv::writeInput(path, file);

    const bool loaded = modSettings::LoadSettings();

    FuzzEnv::check(readAll(path) == file, "reading changed the settings file");
    if (loaded) {
        FuzzEnv::check(env->messages.shown.empty() && env->end.terminated == 0,
                       "a loaded file reported an error");
    } else {
        FuzzEnv::check(env->messages.shown.size() == 1, "a damaged file did not say so once");
        FuzzEnv::check(env->end.terminated == 1, "a damaged file did not end in order");
    }
}

QByteArray sealed(QByteArray file) {
    file.chop(4);
    const quint32 sum = SettingsBag::checksum(file);
    for (int i = 0; i < 4; ++i)
        file.append(static_cast<char>((sum >> (8 * i)) & 0xFF));
    return file;
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    env = &FuzzEnv::init();
    modGlobals::Run().SettingsFile = QStringLiteral("User.con");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray file = FuzzEnv::bytes(data, size);
    load(file);
    if (file.size() >= 4) {
        const QByteArray withSum = sealed(file);
        if (withSum != file) load(withSum);
    }
    return 0;
}
