#pragma once
// Host names and addresses for the support mail program, and the English text of every
// Winsock error code. Addresses are IPv4 in network byte order; kNoAddress (all bits set, as
// 255.255.255.255) stands for a host that could not be resolved. No state, no log, no messages.
#include <QString>
#include <QtGlobal>

namespace Help::WSKSOCK {

inline constexpr quint32 kNoAddress = 0xFFFFFFFFu;

// A dotted address directly, otherwise the first address of a name lookup (in the resolver's
// order); kNoAddress when neither works. Blocks while the lookup runs.
quint32 ResolveHost(const QString& host);
// Dotted text; never empty.
QString AddressToText(quint32 address);
QString HostToAddressText(const QString& host);
// This computer's name, or "Unknown".
QString LocalHostName();
QString LocalAddressText();
// "" for a code without a text.
QString WinsockErrorText(qint32 code);

} // namespace Help::WSKSOCK
