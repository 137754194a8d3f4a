// The version probe: an executable's bytes, the product version picked out of them, and the
// version split and compared as the list filter does.
#include "AutoUpdate/modAppFnc.h"
#include "AutoUpdate/modFileInfo.h"
#include "AutoUpdate/modMain.h"
#include "FuzzPlatform.h"

#include <QStringList>

using namespace AutoUpdate;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    FuzzEnv::initPlatform();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString version = modFileInfo::ProductVersionFromBytes(FuzzEnv::bytes(data, size));
    FuzzEnv::check(!version.contains(QChar(0)) && version.size() <= qsizetype(size),
                   "the version holds a zero byte");
    for (const QString& part : version.split(QLatin1Char('.'))) {
        const std::optional<qint16> n = modMain::VersionPart(part);
        FuzzEnv::check(!n || *n >= 0, "a version part is negative");
    }
    modAppFnc::IsNewerVersion(version);
    return 0;
}
