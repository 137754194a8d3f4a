#pragma once
// The end at once: the process ends without any window's unload handler or any further step,
// as a service so that tests record it instead.
#include "platform/Slot.h"

namespace ProgramEnd {

class Handler {
  public:
    virtual ~Handler() = default;
    virtual void EndNow() = 0;
};

Slot<Handler>& handler();
// Ends the program; returns only when a replacement is installed, so callers return after it.
void EndNow();

} // namespace ProgramEnd
