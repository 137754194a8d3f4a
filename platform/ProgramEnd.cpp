#include "platform/ProgramEnd.h"

#include <cstdlib>

namespace {
class ExitProcess : public ProgramEnd::Handler {
  public:
    void EndNow() override { std::exit(0); }
};
} // namespace

Slot<ProgramEnd::Handler>& ProgramEnd::handler() {
    static ExitProcess builtIn;
    static Slot<Handler> slot(builtIn);
    return slot;
}

void ProgramEnd::EndNow() {
    handler()->EndNow();
}
