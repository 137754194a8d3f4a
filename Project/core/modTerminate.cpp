#include "core/modTerminate.h"

#include "core/modAppFnc.h"
#include "core/modEnd.h"

#include <QString>

namespace {
struct OrderlyEnd : modTerminate::Handler {
    void Terminate() override {
        modAppFnc::WriteLog(QStringLiteral("QX3 Terminated"));
        modEnd::EndNow(); // at once: no other window's unload handler runs
    }
};
} // namespace

Slot<modTerminate::Handler>& modTerminate::handler() {
    static OrderlyEnd builtIn;
    static Slot<Handler> slot(builtIn);
    return slot;
}

namespace {
std::function<void()>& beforeEnd() {
    static std::function<void()> hook;
    return hook;
}
} // namespace

void modTerminate::SetBeforeEnd(std::function<void()> hook) {
    beforeEnd() = std::move(hook);
}

void modTerminate::Terminate() {
    if (beforeEnd()) beforeEnd()();
    handler()->Terminate();
}
