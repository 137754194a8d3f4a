#include "platform/ProgramEnd.h"

#include <cstdlib>

namespace {
class Exit : public ProgramEnd::Service {
  public:
    void EndNow() override { std::exit(0); }
};
} // namespace

Slot<ProgramEnd::Service>& ProgramEnd::service() {
    static Exit builtIn;
    static Slot<Service> slot(builtIn);
    return slot;
}

void ProgramEnd::EndNow() {
    service()->EndNow();
}
