#pragma once
// The orderly end of the program, until the start-up module takes it over: logs
// "QX3 Terminated" and ends the process. Tests replace it with a recorder.
#include "platform/Slot.h"

namespace modTerminate {
class Handler {
  public:
    virtual ~Handler() = default;
    virtual void Terminate() = 0;
};
// Ends the program; returns only when a replacement is installed, so callers return after it.
void Terminate();
Slot<Handler>& handler();
} // namespace modTerminate
