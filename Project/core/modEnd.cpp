#include "core/modEnd.h"

#include <cstdlib>

namespace {
struct ExitProcess : modEnd::Handler {
    void EndNow() override { std::exit(0); }
};
} // namespace

Slot<modEnd::Handler>& modEnd::handler() {
    static ExitProcess builtIn;
    static Slot<Handler> slot(builtIn);
    return slot;
}

void modEnd::EndNow() {
    handler()->EndNow();
}
