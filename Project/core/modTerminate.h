#pragma once
// The orderly end of the program, until the start-up module takes it over: logs
// "QX3 Terminated" and ends the process. Tests replace it with a recorder.
#include <functional>

namespace modTerminate {
// Ends the program; returns only when a replacement is installed, so callers return after it.
void Terminate();
// An empty function restores the built-in end.
void SetHandler(std::function<void()> handler);
} // namespace modTerminate
