#pragma once
// Host identity as the network layer uses it.
#include <QString>

namespace modNetCom {
// The logon name with its first letter upper case and the rest lower case ("JSMITH" gives "Jsmith").
QString GetLogonName();
// The computer name exactly as the system gives it.
QString GetCompName();
} // namespace modNetCom
