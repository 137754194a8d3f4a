// The language table: a language file with the input's bytes, then the lookups the program
// makes: every text of the program's own, and a few window captions.
#include "FuzzEnv.h"
#include "core/modDB.h"

namespace {
FuzzEnv::Env* env;
QString langFile;
const char* const kKeys[] = {
    "frmLang.Form", "frmLang.lblCap", "frmMain.mnuFile", "Main_Stat0", "Opt_tND", "|", ""};
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    env = &FuzzEnv::init();
    langFile = FuzzEnv::file(*env, QStringLiteral("fuzz.qxl"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzEnv::forget(*env);
    FuzzEnv::writeInput(langFile, FuzzEnv::bytes(data, size));

    FuzzEnv::check(modDB::LoadDB(langFile), "a regular language file was refused");
    if (size == 0) FuzzEnv::check(!modDB::DBLoaded(), "an empty file made a table");
    modLangConst::LoadLangStrings();
    for (const char* key : kKeys) {
        const QString text = modDB::GetDBString(QString::fromLatin1(key));
        FuzzEnv::check(!text.contains(QLatin1Char('\r')) && !text.contains(QLatin1Char('\n')),
                       "a text runs past its line");
    }
    modLangConst::SetDefaultStrings();
    return 0;
}
