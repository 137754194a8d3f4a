// Measures how the speed bar follows the main window's list: every announcement of a listed
// user changes the list five times, and each change refills the bar. A refill that changes
// nothing should cost a small part of one that rebuilds the list box.
#include "core/modGlobals.h"
#include "core/modNetCmds.h"
#include "mainwin/frmMain.h"
#include "mainwin/frmSpeedBar.h"
#include "support/Headless.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QListWidget>
#include <cstdio>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // The bench talks to nobody, from a program folder of its own.
    TestEnv::Headless env{TestEnv::Loopback, TestEnv::Windows};
    modGlobals::Run().NoLog = 1;
    auto& s = modGlobals::Sets();
    s.UNAME = QStringLiteral("Bench");
    s.SB_U = 1;
    s.SB_F = 0;
    frmSpeedBar* bar = frmSpeedBar::Load();
    bar->show();
    auto* main = new frmMain;
    main->show();
    const QChar sep = modGlobals::kSep;
    constexpr int kUsers = 300, kRounds = 200;
    for (int i = 0; i < kUsers; ++i)
        modNetCmds::ParseData(QStringLiteral("User%1").arg(i, 3, 10, QLatin1Char('0')) + sep +
                              QStringLiteral("S0"));
    std::printf("%d users listed, the bar shows %d\n", kUsers, bar->lstUsers->count());

    QElapsedTimer t;
    t.start();
    for (int r = 0; r < kRounds; ++r)
        main->RefSBUList();
    const double same = t.nsecsElapsed() / 1e3 / kRounds;

    t.restart();
    for (int r = 0; r < kRounds; ++r) {
        // Every other round the last user leaves and comes back: the list really changes.
        bar->ClearUsers();
        bar->UListChanged();
        main->RefSBUList();
    }
    const double changed = t.nsecsElapsed() / 1e3 / kRounds;

    t.restart();
    for (int r = 0; r < kRounds; ++r)
        for (const char* letter : {"C0", "S0", "F0", "BBench", "Pbench"})
            modNetCmds::ParseData(QStringLiteral("User150") + sep + QString::fromLatin1(letter));
    const double announce = t.nsecsElapsed() / 1e3 / kRounds;

    std::printf("refill, list unchanged: %.1f us\n", same);
    std::printf("refill, list rebuilt:   %.1f us\n", changed);
    std::printf("one announcement of a listed user (five list changes): %.1f us\n", announce);
    std::printf("unchanged / rebuilt: %.2f (goal: well below 1)\n", same / changed);
    main->CloseByCode();
    frmSpeedBar::Unload();
    QCoreApplication::processEvents();
    return 0;
}
