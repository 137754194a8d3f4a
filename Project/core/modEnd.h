#pragma once
// The end at once (platform/ProgramEnd.h) by the name the messenger's modules use: the process
// ends without the orderly end and without any other window's unload handler. Tests replace it
// with a recorder.
#include "platform/ProgramEnd.h"

namespace modEnd {
using Handler = ProgramEnd::Handler;
// Ends the program; returns only when a replacement is installed, so callers return after it.
inline void EndNow() {
    ProgramEnd::EndNow();
}
inline Slot<Handler>& handler() {
    return ProgramEnd::handler();
}
} // namespace modEnd
