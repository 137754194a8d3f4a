// Measures the separator lists as the messenger reads them at start: the block list split into
// names and looked up for every listed user, and the main window opened over it. The work
// should grow with the list's length, not with its square: 100,000 names cost about ten times
// what 10,000 do.
#include "core/PeerInfo.h"
#include "core/modAppFnc.h"
#include "core/modGlobals.h"
#include "core/modNetCmds.h"
#include "mainwin/frmMain.h"
#include "support/Headless.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QWindow>
#include <cstdio>

namespace {
QString blockList(int names) {
    QString list;
    for (int i = 0; i < names; ++i)
        list += QStringLiteral("Blocked%1").arg(i) + modGlobals::kSep;
    return list;
}

double ms(const QElapsedTimer& t) {
    return t.nsecsElapsed() / 1e6;
}
} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TestEnv::Headless env{TestEnv::Loopback, TestEnv::Windows}; // talks to nobody, from a folder of its own
    modGlobals::Run().NoLog = 1;
    auto& s = modGlobals::Sets();
    s.UNAME = QStringLiteral("Bench");

    std::printf("%8s %12s %14s %16s\n", "names", "split (ms)", "1000 looks (ms)", "main window (ms)");
    for (const int n : {0, 10000, 100000}) {
        s.BLC = blockList(n);
        QElapsedTimer t;
        t.start();
        const qsizetype split = modAppFnc::ListNames(s.BLC).size();
        const double splitMs = ms(t);

        t.restart();
        int found = 0;
        for (int i = 0; i < 1000; ++i)
            found += PeerInfo::InBlockList(QStringLiteral("blocked%1").arg(i * 97));
        const double lookMs = ms(t);

        t.restart();
        auto* main = new frmMain;
        main->show();
        QElapsedTimer bound;
        bound.start();
        while (!(main->windowHandle() && main->windowHandle()->isExposed()) && bound.elapsed() < 120000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        const bool shown = main->windowHandle() && main->windowHandle()->isExposed();
        for (int i = 0; i < 50; ++i)
            modNetCmds::ParseData(QStringLiteral("Blocked%1").arg(i * 1999) + modGlobals::kSep +
                                  QStringLiteral("S0"));
        QCoreApplication::processEvents();
        const double openMs = ms(t);
        std::printf("%8d %12.1f %14.1f %16.1f   (%lld split, %d found%s)\n", n, splitMs, lookMs, openMs,
                    static_cast<long long>(split), found, shown ? "" : ", never shown");
        main->CloseByCode();
        while (frmMain::Loaded())
            QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    return 0;
}
