#pragma once
// The mailslot service: one local slot that every copy on the network writes to by name.
// Here a slot is a UDP socket joined to an IPv4 multicast group; writing to "*" sends one
// datagram to the group. Configuration comes from the environment:
//   QX3_MAILSLOT_GROUP  group address   (default 239.255.51.3)
//   QX3_MAILSLOT_PORT   UDP port        (default 5103)
//   QX3_MAILSLOT_IF     address of the interface to send and join on (default: the system's choice)
// Several copies on one machine share the port, and each receives every datagram.
// The configuration is read when a slot is created, and again when a send with the one read
// before fails; between those it is not read again.
#include <QByteArray>
#include <QString>
#include <cstdint>

struct MailslotConfig {
    uint32_t group = 0; // host byte order
    uint16_t port = 0;
    uint32_t iface = 0; // host byte order; 0 = system's choice
    bool valid = false; // false when an override cannot be parsed
    static MailslotConfig fromEnvironment();
};

// Where a datagram came from: an IPv4 address and a UDP port, both in host byte order. All zero
// when it is not known (text handed in by other means than the slot).
struct DatagramSource {
    uint32_t address = 0;
    uint16_t port = 0;
    bool operator==(const DatagramSource&) const = default;
    // "a.b.c.d:port", for the log.
    QString text() const;
};

class Mailslot {
  public:
    static constexpr int kInvalidHandle = -1;
    static constexpr int kReceiveBuffer = 16 * 1024 * 1024; // a burst between two polls fits

    Mailslot() = default;
    ~Mailslot();
    Mailslot(const Mailslot&) = delete;
    Mailslot& operator=(const Mailslot&) = delete;

    // Creates the local slot; returns its handle, or kInvalidHandle when that fails, with the
    // reason in errorText().
    int create(const QString& name);
    // Why the last create failed: the call the system refused and its reason; "" after success.
    const QString& errorText() const { return error_; }
    // What is waiting, without blocking: the size of the next datagram and whether any waits.
    // Returns false (with count 0) when nothing waits or the slot is not open.
    bool info(qint64& nextSize, int& count) const;
    // Reads the next datagram (at most `size` bytes) into `out`; never blocks.
    // False when nothing could be read.
    bool read(qint64 size, QByteArray& out);
    // Reads up to `count` waiting datagrams in one call, never blocking: datagram i into
    // buffers[i] (`capacity` bytes each), its real length into lengths[i] (more than `capacity`
    // when it was cut) and its source into from[i]. Returns how many were read, 0 when none
    // waits or the slot is not open; fewer than `count` means none was left waiting.
    int receive(int count, char* const* buffers, qsizetype capacity, qsizetype* lengths,
                DatagramSource* from);
    void close();
    int handle() const { return fd_; }

    // Writes one datagram to the slot `name` on `destination` ("*": every computer).
    // Works without a local slot. The service gives no answer, so this says only whether the
    // datagram left: false when it did not, with the system's reason in `why` where one is given.
    static bool send(const QString& destination, const QString& name, const QByteArray& bytes,
                     QString* why = nullptr);

  private:
    int fd_ = kInvalidHandle;
    QString error_;
};
