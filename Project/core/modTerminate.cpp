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

Slot<modTerminate::BeforeEnd>& modTerminate::beforeEnd() {
    static struct : BeforeEnd {
        void Run() override {}
    } nothing;
    static Slot<BeforeEnd> slot(nothing);
    return slot;
}

void modTerminate::Terminate() {
    beforeEnd()->Run();
    handler()->Terminate();
}
