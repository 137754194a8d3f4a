#pragma once
// TCP stream sockets for the support mail program, over non-blocking POSIX sockets on the one
// thread: every wait (connecting, a full send buffer) keeps the event loop turning and ends at
// a deadline, and arriving data or a close is reported through the event loop. Failures carry
// the Winsock code of the same meaning, so the programs word them as they always have.
#include "platform/Slot.h"

#include <QByteArray>
#include <QtGlobal>
#include <functional>

namespace Sockets {

using Handle = int;
inline constexpr Handle kInvalid = -1;

// The Winsock codes the programs test for by number.
inline constexpr int kWouldBlock = 10035;  // nothing to read yet
inline constexpr int kTimedOut = 10060;    // a wait passed its deadline
inline constexpr int kConnAborted = 10053; // ended on this side
inline constexpr int kConnReset = 10054;   // the peer reset or hung up
inline constexpr int kConnRefused = 10061; // nobody listens there
inline constexpr int kNotSocket = 10038;   // the handle is not (or no longer) open

// The Winsock code of the same name as the errno value (EAGAIN 10035, ECONNREFUSED 10061, EPIPE
// and ECONNRESET 10054, ...); a value without a Winsock twin comes back unchanged.
int ErrorFromErrno(int err);
// The resolver's h_errno as 11001 (not found) to 11004 (no address); others unchanged.
int ErrorFromHostError(int herr);

class Service {
  public:
    virtual ~Service() = default;
    // A new stream socket, or kInvalid with the reason in `error`.
    virtual Handle create(int& error) = 0;
    // Connects to an IPv4 address (network byte order). Waits at most `timeoutMs` with events
    // passing; false with the reason (kTimedOut at the deadline, kNotSocket when the socket was
    // closed meanwhile).
    virtual bool connect(Handle s, quint32 address, quint16 port, int timeoutMs, int& error) = 0;
    // From now on `onEvent` runs from the event loop whenever data or the peer's close waits to
    // be received, until the socket is closed. It must receive, or it is called again at once.
    // An empty function stops the notifications.
    virtual bool notify(Handle s, std::function<void()> onEvent, int& error) = 0;
    // Up to `size` bytes into `buffer`: the count, 0 when the peer closed, -1 with the reason
    // (kWouldBlock when nothing waits).
    virtual qint64 receive(Handle s, char* buffer, qint64 size, int& error) = 0;
    // Sends every byte. Whenever the socket takes no more, waits for room at most `timeoutMs`
    // with events passing. A peer that hung up is an error (kConnReset), never a signal that
    // ends the program. `taken`, when given, hears each count of bytes the socket took, as it
    // took them (it may close the socket: the send then fails with kNotSocket).
    virtual bool sendAll(Handle s, const QByteArray& bytes, int timeoutMs, int& error,
                         const std::function<void(qint64)>& taken = {}) = 0;
    // Closing an unknown or closed handle does nothing. A wait on the socket ends at once.
    virtual void close(Handle s) = 0;
};

Slot<Service>& service();

} // namespace Sockets
