#pragma once
// Another host on the test's network: a socket at 127.0.0.2 (loopback, but not the address the
// copies send from) that writes datagrams to the test's group and port, under whatever name it
// puts in them.
#include "platform/Mailslot.h"

#include <QByteArray>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace TestEnv {

class OtherHost {
  public:
    static constexpr uint32_t kAddress = 0x7F000002; // 127.0.0.2

    OtherHost() {
        fd_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_in at{};
        at.sin_family = AF_INET;
        at.sin_addr.s_addr = htonl(kAddress);
        socklen_t len = sizeof at;
        in_addr lo{};
        lo.s_addr = htonl(INADDR_LOOPBACK);
        unsigned char ttl = 1, loop = 1;
        ok_ = fd_ >= 0 && ::bind(fd_, reinterpret_cast<sockaddr*>(&at), sizeof at) == 0 &&
              ::getsockname(fd_, reinterpret_cast<sockaddr*>(&at), &len) == 0 &&
              ::setsockopt(fd_, IPPROTO_IP, IP_MULTICAST_IF, &lo, sizeof lo) == 0 &&
              ::setsockopt(fd_, IPPROTO_IP, IP_MULTICAST_TTL, &ttl, sizeof ttl) == 0 &&
              ::setsockopt(fd_, IPPROTO_IP, IP_MULTICAST_LOOP, &loop, sizeof loop) == 0;
        port_ = ntohs(at.sin_port);
    }
    ~OtherHost() {
        if (fd_ >= 0) ::close(fd_);
    }
    OtherHost(const OtherHost&) = delete;
    OtherHost& operator=(const OtherHost&) = delete;

    bool valid() const { return ok_; }
    DatagramSource source() const { return {kAddress, port_}; }
    // One datagram of exactly these bytes to every copy.
    bool send(const QByteArray& bytes) const {
        const MailslotConfig cfg = MailslotConfig::fromEnvironment();
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(cfg.port);
        to.sin_addr.s_addr = htonl(cfg.group);
        return ::sendto(fd_, bytes.constData(), bytes.size(), 0, reinterpret_cast<sockaddr*>(&to),
                        sizeof to) == bytes.size();
    }

  private:
    int fd_ = -1;
    bool ok_ = false;
    uint16_t port_ = 0;
};

} // namespace TestEnv
