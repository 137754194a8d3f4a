// The update and skin list reader: a list file with the input's bytes is read, split into
// records, filtered against a small program folder, and every path taken from it is checked to
// stay inside that folder.
#include "AutoUpdate/modAppFnc.h"
#include "AutoUpdate/modListSort.h"
#include "AutoUpdate/modMain.h"
#include "platform/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

namespace {
QTemporaryDir* home = nullptr;

// Linked without the messenger's core (its modules are namesakes), so without FuzzEnv.h.
void check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "QX3 fuzz check failed: %s\n", what);
    std::abort();
}

void checkLists(const modListSort::Lists& l) {
    if (l.notice) {
        check(l.lstUpdates.size() == 1 && !l.enabled, "a notice is not alone or not disabled");
        return;
    }
    check(l.lstUpdates.size() == l.lstUDL.size(), "the lists differ in length");
    for (qsizetype i = 0; i < l.lstUDL.size(); ++i)
        check(l.lstUpdates.at(i) == modAppFnc::GetField(l.lstUDL.at(i), 1, QLatin1Char('|')),
              "a title is not its record's");
}

void checkInside(const QString& path) {
    if (path.isEmpty()) return;
    check(QDir::cleanPath(path).startsWith(QDir::cleanPath(home->path()) + QLatin1Char('/')),
          "a path from the list leaves the program folder");
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    static int argc = 1;
    static char name[] = "qx3fuzz";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    home = new QTemporaryDir;
    qputenv("QX3_HOME", home->path().toLocal8Bit());
    QDir dir(home->path());
    dir.mkpath(QStringLiteral("Lang"));
    dir.mkpath(QStringLiteral("Skins"));
    QFile lang(dir.filePath(QStringLiteral("Lang/French.qxl")));
    if (lang.open(QIODevice::WriteOnly)) lang.write("2.0\r\n");
    QFile skin(dir.filePath(QStringLiteral("Skins/Blue.qxs")));
    if (skin.open(QIODevice::WriteOnly)) skin.write("x");
    modMain::Run().InstalledMajor = 3;
    modMain::Run().InstalledRevision = 9;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString list = QDir(home->path()).filePath(QStringLiteral("qx3.upd"));
    {
        QFile f(list);
        check(f.open(QIODevice::WriteOnly | QIODevice::Truncate), "cannot write the list");
        f.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    const std::optional<QString> items = modAppFnc::ReadListFile(list);
    check(items.has_value(), "a written list cannot be read");
    for (const bool skins : {false, true}) {
        modListSort::Lists l;
        if (!modListSort::FillLists(l, *items)) continue;
        checkLists(l);
        for (const QString& record : l.lstUDL) {
            const QString name =
                modListSort::FileNameFromUrl(modAppFnc::GetField(record, 3, QLatin1Char('|')));
            checkInside(modListSort::ProgramPath(modAppFnc::GetField(record, 4, QLatin1Char('|')), {}, name));
            checkInside(modListSort::ProgramPath(modAppFnc::GetField(record, 5, QLatin1Char('|')),
                                                 QStringLiteral("Lang"), name));
        }
        if (skins) {
            modListSort::RestrictSkinsList(l, [](const QString&) {});
        } else {
            modListSort::RestrictUpdatesList(l, [](const QString&) {});
        }
        checkLists(l);
    }
    return 0;
}
