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
// Runs first in every orderly end, whichever handler ends the program (the start-up puts the
// speed bar's unload here: the core knows no windows). Does nothing by default.
class BeforeEnd {
  public:
    virtual ~BeforeEnd() = default;
    virtual void Run() = 0;
};
Slot<BeforeEnd>& beforeEnd();
} // namespace modTerminate
