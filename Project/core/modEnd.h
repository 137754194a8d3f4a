#pragma once
// The end at once: the process ends without the orderly end and without any other window's
// unload handler. Tests replace it with a recorder.
#include "platform/Slot.h"

namespace modEnd {
class Handler {
  public:
    virtual ~Handler() = default;
    virtual void EndNow() = 0;
};
// Ends the program; returns only when a replacement is installed, so callers return after it.
void EndNow();
Slot<Handler>& handler();
} // namespace modEnd
