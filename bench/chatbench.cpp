// Measures the chat transcript: 10,000 lines with pictures on, shown one by one as they
// arrive. Each line's picture pass looks only at the paragraphs not yet scanned, so the last
// lines should cost about what the first ones did (the goal: at most twice).
#include "conversation/frmChat.h"
#include "core/modGlobals.h"
#include "platform/Attention.h"
#include "support/Headless.h"

#include <QApplication>
#include <QElapsedTimer>
#include <cstdio>

namespace {
// An active window neither sounds nor flashes: the figures are the transcript's alone.
struct Active : Attention::Backend {
    bool IsActive(const QWidget*) override { return true; }
    void Flash(QWidget*, bool) override {}
};
} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TestEnv::Headless env{TestEnv::NoNetwork, TestEnv::Windows}; // a program folder of its own
    modGlobals::Run().NoLog = 1;
    auto& s = modGlobals::Sets();
    s.UNAME = QStringLiteral("Bench");
    s.CHTPICS = 1;
    Active active;
    Slot<Attention::Backend>::Override on(Attention::backend(), active);

    constexpr int kLines = 10000, kWindow = 100;
    for (int style : {0, 1}) {
        s.CHTSTY = qint16(style);
        frmChat w;
        w.show();
        QElapsedTimer t;
        double first = 0, last = 0;
        const QChar sep = modGlobals::kSep;
        for (int i = 0; i < kLines; ++i) {
            const QString line =
                QStringLiteral("line %1 :) with a picture or two (y) and some text to wrap").arg(i);
            if (i == 0 || i == kLines - kWindow) t.start();
            w.AddMsg(line + sep + QStringLiteral("0"), QStringLiteral("Peer%1").arg(i % 7));
            if (i == kWindow - 1) first = t.nsecsElapsed() / 1e6;
            if (i == kLines - 1) last = t.nsecsElapsed() / 1e6;
        }
        std::printf("style %d: first %d lines %.1f ms, last %d lines %.1f ms, ratio %.2f (goal <= 2)\n",
                    style, kWindow, first, kWindow, last, last / first);
    }
    return 0;
}
