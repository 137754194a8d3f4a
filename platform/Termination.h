#pragma once
// The end that the desktop or the system asks for (log-off, shutdown, SIGTERM, SIGHUP,
// SIGINT): the handler runs on the event loop, never inside the signal itself.
#include <functional>

namespace Termination {
// Installs the handler (once per program); later calls replace it.
void OnRequest(std::function<void()> handler);
} // namespace Termination
