// The skin reader: a skin file with the input's bytes, a small picture beside it and one in a
// sub-folder. A skin either loads whole or leaves the built-in skin and an empty SKN.
#include "FuzzEnv.h"
#include "core/frmImgs.h"
#include "core/modSkin.h"

#include <QImage>

namespace {
FuzzEnv::Env* env;
QString skinFile;
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    env = &FuzzEnv::init();
    frmImgs::Load();
    QDir(env->folder()).mkpath(QStringLiteral("Skins/Pics"));
    QImage pic(8, 6, QImage::Format_RGB32);
    pic.fill(Qt::darkCyan);
    if (!pic.save(FuzzEnv::file(*env, QStringLiteral("Skins/sky.bmp")), "BMP") ||
        !pic.save(FuzzEnv::file(*env, QStringLiteral("Skins/Pics/Deep.bmp")), "BMP"))
        FuzzEnv::fail("cannot write the pictures");
    skinFile = FuzzEnv::file(*env, QStringLiteral("Skins/fuzz.qxs"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzEnv::forget(*env);
    FuzzEnv::writeInput(skinFile, FuzzEnv::bytes(data, size));

    modSkin::SkinInfo record;
    record.Picture = QStringLiteral("untouched");
    const modSkin::SkinInfo before = record;
    if (!modSkin::ReadSkinFile(skinFile, record))
        FuzzEnv::check(record == before, "a refused skin changed the record");

    modGlobals::Sets().SKN = skinFile;
    if (modSkin::LoadSkin(skinFile)) {
        FuzzEnv::check(env->messages.shown.empty(), "a loaded skin showed a message");
        FuzzEnv::check(modSkin::Current() == record, "the loaded skin is not the one read");
        FuzzEnv::check(modGlobals::Sets().SKN == skinFile, "a loaded skin lost its name");
    } else {
        FuzzEnv::check(env->messages.shown.size() == 1, "a failed skin did not say so once");
        FuzzEnv::check(modSkin::Current() == modSkin::SkinInfo(), "a failed skin left its values");
        FuzzEnv::check(modGlobals::Sets().SKN.isEmpty(), "a failed skin kept its name");
        FuzzEnv::check(frmImgs::Load().picSkin == frmImgs::Load().picBaseSkin,
                       "a failed skin left its picture");
    }
    return 0;
}
