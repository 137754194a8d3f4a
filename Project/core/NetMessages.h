#pragma once
// Messages ("M") from other computers. Each waits until no datagram is being dispatched and is
// then shown in the program's message window, one at a time in the order they came, so a
// message window never holds the rest of a poll. The same text from the same sender is shown
// once while it is open or waiting, and at most kMaxWaiting wait: the log says once that
// further ones were dropped.
#include <QString>

namespace NetMessages {

inline constexpr int kMaxWaiting = 50;

// `text` is the whole message as shown; `sender` tells repeats apart (letter case ignored).
void Post(const QString& sender, const QString& text);
// The messages waiting, without the one shown now.
int Waiting();
// The network layer has finished dispatching: what waits may be shown.
void DispatchEnded();

} // namespace NetMessages
