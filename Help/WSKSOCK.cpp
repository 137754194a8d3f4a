#include "Help/WSKSOCK.h"

#include "platform/Ansi.h"

#include <arpa/inet.h>
#include <cstring>
#include <netdb.h>
#include <netinet/in.h>
#include <unistd.h>

namespace Help::WSKSOCK {

quint32 ResolveHost(const QString& host) {
    const QByteArray name = Ansi::encode(host);
    // An embedded NUL would make the lookup see another name than the one given.
    if (name.contains('\0')) return kNoAddress;
    in_addr_t a = ::inet_addr(name.constData());
    if (a != INADDR_NONE) return a;
    // Unlike getaddrinfo, this keeps the resolver's own order of the addresses.
    const hostent* entry = ::gethostbyname(name.constData());
    if (!entry || entry->h_addrtype != AF_INET || entry->h_length != 4 || !entry->h_addr_list ||
        !entry->h_addr_list[0])
        return kNoAddress;
    std::memcpy(&a, entry->h_addr_list[0], 4);
    return a;
}

QString AddressToText(quint32 address) {
    in_addr in{};
    in.s_addr = address;
    const char* text = ::inet_ntoa(in);
    if (!text) return QStringLiteral("255.255.255.255");
    return QString::fromLatin1(text, static_cast<qsizetype>(::strnlen(text, 32)));
}

QString HostToAddressText(const QString& host) {
    return AddressToText(ResolveHost(host));
}

QString LocalHostName() {
    char buffer[256] = {};
    ::gethostname(buffer, sizeof buffer - 1);
    const QString name = Ansi::decode(buffer, static_cast<qsizetype>(::strnlen(buffer, sizeof buffer)));
    return name.isEmpty() ? QStringLiteral("Unknown") : name;
}

QString LocalAddressText() {
    return HostToAddressText(LocalHostName());
}

QString WinsockErrorText(qint32 code) {
    struct Entry {
        qint32 code;
        const char* text;
    };
    static constexpr Entry kTexts[] = {
        {10004, "Interrupted system call."},
        {10009, "Bad file number."},
        {10013, "Permission Denied."},
        {10014, "Bad Address."},
        {10022, "Invalid Argument."},
        {10024, "Too many open files."},
        {10035, "Operation would block."},
        {10036, "Operation now in progress."},
        {10037, "Operation already in progress."},
        {10038, "Socket operation on nonsocket."},
        {10039, "Destination address required."},
        {10040, "Message too long."},
        {10041, "Protocol wrong type for socket."},
        {10042, "Protocol not available."},
        {10043, "Protocol not supported."},
        {10044, "Socket type not supported."},
        {10045, "Operation not supported on socket."},
        {10046, "Protocol family not supported."},
        {10047, "Address family not supported by protocol family."},
        {10048, "Address already in use."},
        {10049, "Can't assign requested address."},
        {10050, "Network is down."},
        {10051, "Network is unreachable."},
        {10052, "Network dropped connection."},
        {10053, "Software caused connection abort."},
        {10054, "Connection reset by peer."},
        {10055, "No buffer space available."},
        {10056, "Socket is already connected."},
        {10057, "Socket is not connected."},
        {10058, "Can't send after socket shutdown."},
        {10059, "Too many references: can't splice."},
        {10060, "Connection timed out."},
        {10061, "Connection refused."},
        {10062, "Too many levels of symbolic links."},
        {10063, "File name too long."},
        {10064, "Host is down."},
        {10065, "No route to host."},
        {10066, "Directory not empty."},
        {10067, "Too many processes."},
        {10068, "Too many users."},
        {10069, "Disk quota exceeded."},
        {10070, "Stale NFS file handle."},
        {10071, "Too many levels of remote in path."},
        {10091, "Network subsystem is unusable."},
        {10092, "Winsock DLL cannot support this application."},
        {10093, "Winsock not initialized."},
        {10101, "Disconnect."},
        {11001, "Host not found."},
        {11002, "Nonauthoritative host not found."},
        {11003, "Nonrecoverable error."},
        {11004, "Valid name, no data record of requested type."},
    };
    for (const Entry& e : kTexts)
        if (e.code == code) return QString::fromLatin1(e.text);
    return {};
}

} // namespace Help::WSKSOCK
