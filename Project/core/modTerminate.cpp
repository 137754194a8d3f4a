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

void modTerminate::Terminate() {
    handler()->Terminate();
}
