// Measures the update program's lists with 200,000 records (about 10 MB, under the 16 MiB cap),
// each step once and then the whole refresh of the window from a local web site:
//  1. reading the list file and filling both lists;
//  2. the update list's installed-file filter, then "Show all upgrades" cleared;
//  3. the skin list's filter;
//  4. the window's refresh (fetch, copy, parse, filter, show) and the check box both ways; no
//     messenger lies beside the bench, so every program upgrade is offered there.
// Goal: each under 2 s.
#include "AutoUpdate/frmMain.h"
#include "AutoUpdate/modAppFnc.h"
#include "AutoUpdate/modListSort.h"
#include "AutoUpdate/modMain.h"
#include "platform/ProgramFolder.h"
#include "support/HttpServer.h"
#include "support/PlatformHeadless.h"
#include "support/TestFiles.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QListWidget>
#include <cstdio>

using namespace AutoUpdate;

namespace {
constexpr int kRecords = 200000;

// Program upgrades, other files, language files and skins in turn, in a few folders.
QByteArray list(bool skins) {
    static const char* const kFolders[] = {"\\", "\\B", "\\D", "\\Lang", "\\Skins"};
    QByteArray out;
    out.reserve(kRecords * 34);
    for (int i = 0; i < kRecords; ++i) {
        const int kind = skins ? 4 : 1 + i % 3;
        const QByteArray n = QByteArray::number(i);
        out += "I" + n + "|D" + n + "|h/f" + n + (kind == 4 ? "" : ".b") + "|" + kFolders[i % 5] + "|\\|" +
               QByteArray::number(kind) + "|" +
               (kind == 1 ? "3.0." + QByteArray::number(i % 20) : QByteArray("1.0")) + "|1 KB|" +
               (kind == 4 ? ".bmp" : "") + "|False\r\n";
    }
    return out;
}

void report(const char* what, const QElapsedTimer& t, qsizetype left) {
    std::printf("%-58s %8.1f ms  (%lld records left)\n", what, t.nsecsElapsed() / 1e6,
                static_cast<long long>(left));
}
} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TestEnv::PlatformHeadless env;
    modMain::Run().InstalledMajor = 3;
    modMain::Run().InstalledRevision = 9;
    const QByteArray updates = list(false), skins = list(true);
    std::printf("%d records: update list %.1f MB, skin list %.1f MB\n", kRecords, updates.size() / 1e6,
                skins.size() / 1e6);

    const QString file = ProgramFolder::file(QStringLiteral("qx3.upd"));
    writeAll(file, updates);
    modListSort::Lists lists;
    QElapsedTimer t;
    t.start();
    const std::optional<QString> items = modAppFnc::ReadListFile(file);
    if (!items || !modListSort::FillLists(lists, *items)) return 1;
    report("read and fill the update list", t, lists.lstUDL.size());
    t.start();
    modListSort::RestrictUpdatesList(lists, [](const QString&) {});
    report("filter installed updates", t, lists.lstUDL.size());
    t.start();
    std::vector<bool> upgrades;
    for (const QString& r : std::as_const(lists.lstUDL))
        upgrades.push_back(modListSort::Field(r, 6) == QLatin1String("1"));
    lists.keepOnly(upgrades);
    report("keep program upgrades only", t, lists.lstUDL.size());

    writeAll(file, skins);
    t.start();
    const std::optional<QString> skinItems = modAppFnc::ReadListFile(file);
    if (!skinItems || !modListSort::FillLists(lists, *skinItems)) return 1;
    modListSort::RestrictSkinsList(lists, [](const QString&) {});
    report("read, fill and filter the skin list", t, lists.lstUDL.size());

    HttpServer server;
    server.route("/support/qx3/update/updates/qx3.upd", updates);
    qputenv("QX3_UPDATE_SITE", server.base().toLatin1());
    modMain::Run().SkinsMode = false;
    frmMain* w = frmMain::Load();
    w->show();
    t.start();
    w->cmdRefresh_Click();
    report("window: fetch, copy, fill, filter and show", t, w->lstUpdates->count());
    if (w->LBLstatus->text() != QLatin1String("Updates listing complete")) {
        std::printf("the refresh failed: %s\n", qPrintable(w->LBLstatus->text()));
        return 1;
    }
    t.start();
    w->CHKupdates->click();
    report("window: \"Show all upgrades\" cleared", t, w->lstUpdates->count());
    t.start();
    w->CHKupdates->click();
    report("window: \"Show all upgrades\" set (from the copy)", t, w->lstUpdates->count());
    std::printf("requests to the site: %lld\n", static_cast<long long>(server.requests.size()));
    delete w;
    return 0;
}
