#pragma once
// The end at once: the process ends without the orderly end and without any other window's
// unload handler. Tests replace it with a recorder.
#include <functional>

namespace modEnd {
// Ends the program; returns only when a replacement is installed, so callers return after it.
void EndNow();
// An empty function restores the built-in end.
void SetHandler(std::function<void()> handler);
} // namespace modEnd
