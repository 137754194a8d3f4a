#include "platform/Mailslot.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
constexpr const char* kDefaultGroup = "239.255.51.3";
constexpr uint16_t kDefaultPort = 5103;

bool parseAddress(const QByteArray& text, uint32_t& out) {
    in_addr a{};
    if (inet_pton(AF_INET, text.constData(), &a) != 1) return false;
    out = ntohl(a.s_addr);
    return true;
}

// One sending socket per configuration; reopened when the configuration changes.
struct Sender {
    int fd = -1;
    MailslotConfig opened; // what fd was opened for
    MailslotConfig cfg;    // what the environment said when last read
    bool read = false;
    ~Sender() {
        if (fd >= 0) ::close(fd);
    }
    bool sameAs(const MailslotConfig& c) const {
        return fd >= 0 && c.group == opened.group && c.port == opened.port && c.iface == opened.iface;
    }
};
Sender& sender() {
    static Sender s;
    return s;
}

// The system's reason for the call that just failed, after what was being done.
QString reason(const char* what) {
    return QString::fromLatin1(what) + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno));
}

// Datagrams stay on the local network, reach the other copies on this computer too, and leave
// by the chosen interface. False, with the reason, when the system refuses one of these.
bool setMulticastOptions(int fd, const MailslotConfig& cfg, QString& why) {
    unsigned char ttl = 1, loop = 1;
    if (setsockopt(fd, IPPROTO_IP, IP_MULTICAST_TTL, &ttl, sizeof ttl) != 0) {
        why = reason("IP_MULTICAST_TTL");
        return false;
    }
    if (setsockopt(fd, IPPROTO_IP, IP_MULTICAST_LOOP, &loop, sizeof loop) != 0) {
        why = reason("IP_MULTICAST_LOOP");
        return false;
    }
    if (cfg.iface != 0) {
        in_addr a{};
        a.s_addr = htonl(cfg.iface);
        if (setsockopt(fd, IPPROTO_IP, IP_MULTICAST_IF, &a, sizeof a) != 0) {
            why = reason("IP_MULTICAST_IF");
            return false;
        }
    }
    return true;
}
} // namespace

MailslotConfig MailslotConfig::fromEnvironment() {
    MailslotConfig c;
    c.valid = true;
    QByteArray group = qgetenv("QX3_MAILSLOT_GROUP");
    if (group.isEmpty()) group = kDefaultGroup;
    if (!parseAddress(group, c.group)) c.valid = false;
    c.port = kDefaultPort;
    const QByteArray port = qgetenv("QX3_MAILSLOT_PORT");
    if (!port.isEmpty()) {
        bool ok = false;
        const uint v = port.toUInt(&ok);
        if (!ok || v == 0 || v > 65535)
            c.valid = false;
        else
            c.port = static_cast<uint16_t>(v);
    }
    const QByteArray iface = qgetenv("QX3_MAILSLOT_IF");
    if (!iface.isEmpty() && !parseAddress(iface, c.iface)) c.valid = false;
    return c;
}

QString DatagramSource::text() const {
    return QStringLiteral("%1.%2.%3.%4:%5")
        .arg(address >> 24)
        .arg((address >> 16) & 0xFF)
        .arg((address >> 8) & 0xFF)
        .arg(address & 0xFF)
        .arg(port);
}

Mailslot::~Mailslot() {
    close();
}

int Mailslot::create(const QString& /*name*/) {
    // One slot per program: the group and port are the slot's address.
    close();
    error_.clear();
    const MailslotConfig cfg = MailslotConfig::fromEnvironment();
    sender().cfg = cfg; // what later sends use
    sender().read = true;
    if (!cfg.valid) {
        error_ = QStringLiteral("QX3_MAILSLOT_GROUP, QX3_MAILSLOT_PORT or QX3_MAILSLOT_IF is not valid");
        return kInvalidHandle;
    }
    int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        error_ = reason("socket");
        return kInvalidHandle;
    }
    const auto fail = [&](const char* what) {
        error_ = reason(what);
        ::close(fd);
        return kInvalidHandle;
    };
    int one = 1;
    // Every copy on this computer listens on the same port.
    if (setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one) != 0) return fail("SO_REUSEADDR");
    int buf = kReceiveBuffer;
    // The forced size needs privilege; fall back to what the system allows, which is only a
    // smaller buffer, not a failure.
    if (setsockopt(fd, SOL_SOCKET, SO_RCVBUFFORCE, &buf, sizeof buf) != 0 &&
        setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &buf, sizeof buf) != 0)
        return fail("SO_RCVBUF");
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(cfg.port);
    addr.sin_addr.s_addr = htonl(cfg.group); // only this group's traffic
    ip_mreq mreq{};
    mreq.imr_multiaddr.s_addr = htonl(cfg.group);
    mreq.imr_interface.s_addr = htonl(cfg.iface);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) return fail("bind");
    if (setsockopt(fd, IPPROTO_IP, IP_ADD_MEMBERSHIP, &mreq, sizeof mreq) != 0)
        return fail("IP_ADD_MEMBERSHIP");
    if (!setMulticastOptions(fd, cfg, error_)) {
        ::close(fd);
        return kInvalidHandle;
    }
    fd_ = fd;
    return fd_;
}

bool Mailslot::info(qint64& nextSize, int& count) const {
    nextSize = 0;
    count = 0;
    if (fd_ < 0) return false;
    char probe;
    // MSG_TRUNC makes the peek report the datagram's real length.
    const ssize_t n = ::recv(fd_, &probe, 1, MSG_PEEK | MSG_TRUNC | MSG_DONTWAIT);
    if (n < 0) return false;
    nextSize = n;
    count = 1;
    return true;
}

bool Mailslot::read(qint64 size, QByteArray& out) {
    out.clear();
    if (fd_ < 0 || size < 0) return false;
    out.resize(size > 0 ? size : 1);
    const ssize_t n = ::recv(fd_, out.data(), out.size(), MSG_DONTWAIT);
    if (n < 0) {
        out.clear();
        return false;
    }
    out.truncate(qMin<qint64>(n, size));
    return true;
}

void Mailslot::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = kInvalidHandle;
}

int Mailslot::receive(int count, char* const* buffers, qsizetype capacity, qsizetype* lengths,
                      DatagramSource* from) {
    if (fd_ < 0 || count <= 0) return 0;
    constexpr int kMost = 64;
    count = qMin(count, kMost);
    mmsghdr msgs[kMost];
    iovec iov[kMost];
    sockaddr_in addr[kMost];
    for (int i = 0; i < count; ++i) {
        iov[i] = {buffers[i], size_t(capacity)};
        msgs[i] = {};
        msgs[i].msg_hdr.msg_name = &addr[i];
        msgs[i].msg_hdr.msg_namelen = sizeof addr[i];
        msgs[i].msg_hdr.msg_iov = &iov[i];
        msgs[i].msg_hdr.msg_iovlen = 1;
    }
    // MSG_TRUNC: the length reported is the datagram's own, however much fitted.
    const int n = ::recvmmsg(fd_, msgs, unsigned(count), MSG_DONTWAIT | MSG_TRUNC, nullptr);
    if (n <= 0) return 0;
    for (int i = 0; i < n; ++i) {
        lengths[i] = qsizetype(msgs[i].msg_len);
        from[i] = {};
        if (msgs[i].msg_hdr.msg_namelen >= sizeof(sockaddr_in) && addr[i].sin_family == AF_INET)
            from[i] = {ntohl(addr[i].sin_addr.s_addr), ntohs(addr[i].sin_port)};
    }
    return n;
}

namespace {
// Sends on the socket for `cfg`, opening it first when it is for another configuration. False,
// with the system's reason in `why`, when the datagram did not leave.
bool sendWith(const MailslotConfig& cfg, const QByteArray& bytes, QString& why) {
    if (!cfg.valid) {
        why = QStringLiteral("the slot's configuration cannot be read");
        return false;
    }
    Sender& s = sender();
    if (!s.sameAs(cfg)) {
        if (s.fd >= 0) ::close(s.fd);
        s.fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        s.opened = cfg;
        if (s.fd < 0) {
            why = reason("socket");
            return false;
        }
        if (!setMulticastOptions(s.fd, cfg, why)) {
            ::close(s.fd);
            s.fd = -1;
            return false;
        }
    }
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(cfg.port);
    to.sin_addr.s_addr = htonl(cfg.group);
    const ssize_t n =
        ::sendto(s.fd, bytes.constData(), bytes.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
    if (n == bytes.size()) return true;
    why = n < 0 ? reason("sendto") : QStringLiteral("sendto: the datagram was cut");
    return false;
}
} // namespace

bool Mailslot::send(const QString& /*destination*/, const QString& /*name*/, const QByteArray& bytes,
                    QString* why) {
    QString failure;
    QString& reasonOut = why ? *why : failure;
    Sender& s = sender();
    if (s.read && sendWith(s.cfg, bytes, reasonOut)) return true;
    // First send, or the configuration read before cannot send: read it again.
    const MailslotConfig now = MailslotConfig::fromEnvironment();
    const bool changed = !s.read || now.group != s.cfg.group || now.port != s.cfg.port ||
                         now.iface != s.cfg.iface || now.valid != s.cfg.valid;
    s.cfg = now;
    s.read = true;
    return changed && sendWith(now, bytes, reasonOut);
}
