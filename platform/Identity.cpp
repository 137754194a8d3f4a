#include "platform/Identity.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <pwd.h>
#include <unistd.h>

QString Identity::logonName() {
    if (const passwd* pw = ::getpwuid(::geteuid()); pw && pw->pw_name && *pw->pw_name)
        return QString::fromLocal8Bit(pw->pw_name);
    QString env = qEnvironmentVariable("USER");
    if (env.isEmpty()) env = qEnvironmentVariable("LOGNAME");
    return env;
}

QString Identity::computerName() {
    char buf[256] = {};
    if (::gethostname(buf, sizeof buf - 1) != 0) return {};
    return QString::fromLocal8Bit(buf);
}

bool Identity::networkPresent() {
    in_addr wanted{};
    const QByteArray iface = qgetenv("QX3_MAILSLOT_IF");
    const bool haveWanted = !iface.isEmpty() && inet_pton(AF_INET, iface.constData(), &wanted) == 1;
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0) return false;
    bool found = false;
    for (ifaddrs* i = list; i && !found; i = i->ifa_next) {
        if (!i->ifa_addr || i->ifa_addr->sa_family != AF_INET || !(i->ifa_flags & IFF_UP)) continue;
        const auto* sin = reinterpret_cast<const sockaddr_in*>(i->ifa_addr);
        if (haveWanted)
            found = sin->sin_addr.s_addr == wanted.s_addr;
        else
            found = !(i->ifa_flags & IFF_LOOPBACK);
    }
    ::freeifaddrs(list);
    return found;
}
