// The update and skin list reader: a list file with the input's bytes is read, split into
// records, filtered against a small data folder and the program's own, and every path taken from
// it is checked to stay inside its folder and hold no control character.
#include "AutoUpdate/modAppFnc.h"
#include "AutoUpdate/modListSort.h"
#include "AutoUpdate/modMain.h"
#include "FuzzPlatform.h"

#include <QDir>

using namespace AutoUpdate;

namespace {
QString home; // the program folder

void checkLists(const modListSort::Lists& l) {
    if (l.notice) {
        FuzzEnv::check(l.lstUpdates.size() == 1 && !l.enabled, "a notice is not alone or not disabled");
        return;
    }
    FuzzEnv::check(l.lstUpdates.size() == l.lstUDL.size(), "the lists differ in length");
    for (qsizetype i = 0; i < l.lstUDL.size(); ++i)
        FuzzEnv::check(l.lstUpdates.at(i) == modAppFnc::GetField(l.lstUDL.at(i), 1, QLatin1Char('|')),
                       "a title is not its record's");
}

void checkInside(const QString& path, modListSort::Root root) {
    if (path.isEmpty()) return;
    const QString folder = root == modListSort::Root::Data ? home : modListSort::RootPath(root);
    FuzzEnv::check(QDir::cleanPath(path).startsWith(QDir::cleanPath(folder) + QLatin1Char('/')),
                   "a path from the list leaves its folder");
    for (const QChar c : path)
        FuzzEnv::check(c.category() != QChar::Other_Control,
                       "a path from the list holds a control character");
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const TestEnv::PlatformHeadless& env = FuzzEnv::initPlatform();
    home = env.folder();
    QDir dir(home);
    if (!dir.mkpath(QStringLiteral("Lang")) || !dir.mkpath(QStringLiteral("Skins")))
        FuzzEnv::fail("cannot make the program's folders");
    FuzzEnv::writeInput(dir.filePath(QStringLiteral("Lang/French.qxl")), "2.0\r\n");
    FuzzEnv::writeInput(dir.filePath(QStringLiteral("Skins/Blue.qxs")), "x");
    modMain::Run().InstalledMajor = 3;
    modMain::Run().InstalledRevision = 9;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString list = QDir(home).filePath(QStringLiteral("qx3.upd"));
    FuzzEnv::writeInput(list, FuzzEnv::bytes(data, size));
    const std::optional<QString> items = modAppFnc::ReadListFile(list);
    FuzzEnv::check(items.has_value(), "a written list cannot be read");
    for (const bool skins : {false, true}) {
        modListSort::Lists l;
        if (!modListSort::FillLists(l, *items)) continue;
        checkLists(l);
        for (const QString& record : l.lstUDL) {
            const QString name =
                modListSort::FileNameFromUrl(modAppFnc::GetField(record, 3, QLatin1Char('|')));
            const modListSort::Root root = modListSort::RootOf(record);
            checkInside(
                modListSort::ProgramPath(root, modAppFnc::GetField(record, 4, QLatin1Char('|')), {}, name),
                root);
            checkInside(modListSort::ProgramPath(root, modAppFnc::GetField(record, 5, QLatin1Char('|')),
                                                 QStringLiteral("Lang"), name),
                        root);
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
