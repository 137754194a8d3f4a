#pragma once
// Who and where this copy runs: the logon name, the computer name and whether there is a network.
#include <QString>

namespace Identity {
// The logon name from the user database, as the system gives it (no case change).
QString logonName();
// The host name, as the system gives it.
QString computerName();
// True when an IPv4 interface other than loopback is up, or when QX3_MAILSLOT_IF names an
// interface that is up.
bool networkPresent();
} // namespace Identity
