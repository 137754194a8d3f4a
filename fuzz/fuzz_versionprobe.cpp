// The version probe: an executable's bytes, the product version picked out of them, and the
// version split and compared as the list filter does.
#include "AutoUpdate/modAppFnc.h"
#include "AutoUpdate/modFileInfo.h"
#include "AutoUpdate/modMain.h"

#include <QStringList>
#include <cstdio>
#include <cstdlib>

namespace {
// Linked without the messenger's core (its modules are namesakes), so without FuzzEnv.h.
void check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "QX3 fuzz check failed: %s\n", what);
    std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString version = modFileInfo::ProductVersionFromBytes(bytes);
    check(!version.contains(QChar(0)) && version.size() <= qsizetype(size), "the version holds a zero byte");
    for (const QString& part : version.split(QLatin1Char('.'))) {
        const std::optional<qint16> n = modMain::VersionPart(part);
        check(!n || *n >= 0, "a version part is negative");
    }
    modAppFnc::IsNewerVersion(version);
    return 0;
}
