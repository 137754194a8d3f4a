#include "core/modTerminate.h"

#include "core/modAppFnc.h"
#include "platform/modEnd.h"

#include <QString>

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
    modEnd::EndNow(); // at once: no other window's unload handler runs
}

void modTerminate::SetHandler(std::function<void()> h) {
    handler() = std::move(h);
}
