#include "modTerminate.h"

#include "modAppFnc.h"

#include <QString>
#include <cstdlib>

namespace {
std::function<void()>& handler() {
    static std::function<void()> h;
    return h;
}
} // namespace

void modTerminate::Terminate() {
    if (handler()) {
        handler()();
        return;
    }
    modAppFnc::WriteLog(QStringLiteral("QX3 Terminated"));
    std::exit(0); // at once: no other window's unload handler runs
}

void modTerminate::SetHandler(std::function<void()> h) {
    handler() = std::move(h);
}
