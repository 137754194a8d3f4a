#include "platform/Sockets.h"

#include <QEventLoop>
#include <QPointer>
#include <QSocketNotifier>
#include <QTimer>
#include <arpa/inet.h>
#include <cerrno>
#include <map>
#include <memory>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

int Sockets::ErrorFromErrno(int err) {
    switch (err) {
    case EINTR:
        return 10004;
    case EBADF:
        return 10009;
    case EACCES:
        return 10013;
    case EFAULT:
        return 10014;
    case EINVAL:
        return 10022;
    case EMFILE:
        return 10024;
    case EAGAIN:
        return kWouldBlock;
    case EINPROGRESS:
        return 10036;
    case EALREADY:
        return 10037;
    case ENOTSOCK:
        return kNotSocket;
    case EDESTADDRREQ:
        return 10039;
    case EMSGSIZE:
        return 10040;
    case EPROTOTYPE:
        return 10041;
    case ENOPROTOOPT:
        return 10042;
    case EPROTONOSUPPORT:
        return 10043;
    case ESOCKTNOSUPPORT:
        return 10044;
    case EOPNOTSUPP:
        return 10045;
    case EPFNOSUPPORT:
        return 10046;
    case EAFNOSUPPORT:
        return 10047;
    case EADDRINUSE:
        return 10048;
    case EADDRNOTAVAIL:
        return 10049;
    case ENETDOWN:
        return 10050;
    case ENETUNREACH:
        return 10051;
    case ENETRESET:
        return 10052;
    case ECONNABORTED:
        return 10053;
    case ECONNRESET:
    case EPIPE:
        return kConnReset;
    case ENOBUFS:
        return 10055;
    case EISCONN:
        return 10056;
    case ENOTCONN:
        return 10057;
    case ESHUTDOWN:
        return 10058;
    case ETOOMANYREFS:
        return 10059;
    case ETIMEDOUT:
        return kTimedOut;
    case ECONNREFUSED:
        return kConnRefused;
    case ELOOP:
        return 10062;
    case ENAMETOOLONG:
        return 10063;
    case EHOSTDOWN:
        return 10064;
    case EHOSTUNREACH:
        return 10065;
    case ENOTEMPTY:
        return 10066;
    case EUSERS:
        return 10068;
    case EDQUOT:
        return 10069;
    case ESTALE:
        return 10070;
    case EREMOTE:
        return 10071;
    default:
        return err;
    }
}

int Sockets::ErrorFromHostError(int herr) {
    switch (herr) {
    case HOST_NOT_FOUND:
        return 11001;
    case TRY_AGAIN:
        return 11002;
    case NO_RECOVERY:
        return 11003;
    case NO_DATA:
        return 11004;
    default:
        return herr;
    }
}

namespace {

class PosixSockets : public Sockets::Service {
  public:
    Sockets::Handle create(int& error) override {
        error = 0;
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (fd < 0) {
            error = Sockets::ErrorFromErrno(errno);
            return Sockets::kInvalid;
        }
        open_[fd] = std::make_unique<Entry>();
        return fd;
    }

    bool connect(Sockets::Handle s, quint32 address, quint16 port, int timeoutMs, int& error) override {
        error = 0;
        if (!open_.count(s)) return fail(error, Sockets::kNotSocket);
        sockaddr_in sa{};
        sa.sin_family = AF_INET;
        sa.sin_port = htons(port);
        sa.sin_addr.s_addr = address;
        if (::connect(s, reinterpret_cast<const sockaddr*>(&sa), sizeof sa) == 0) return true;
        if (errno != EINPROGRESS) return fail(error, Sockets::ErrorFromErrno(errno));
        if (!waitWritable(s, timeoutMs, error)) return false;
        int soError = 0;
        socklen_t len = sizeof soError;
        if (::getsockopt(s, SOL_SOCKET, SO_ERROR, &soError, &len) != 0) soError = errno;
        if (soError != 0) return fail(error, Sockets::ErrorFromErrno(soError));
        return true;
    }

    bool notify(Sockets::Handle s, std::function<void()> onEvent, int& error) override {
        error = 0;
        auto it = open_.find(s);
        if (it == open_.end()) return fail(error, Sockets::kNotSocket);
        Entry& e = *it->second;
        if (e.reader) {
            e.reader->setEnabled(false);
            e.reader->deleteLater();
        }
        if (!onEvent) return true;
        e.reader = new QSocketNotifier(s, QSocketNotifier::Read);
        QObject::connect(e.reader, &QSocketNotifier::activated, e.reader,
                         [cb = std::move(onEvent)] { cb(); });
        return true;
    }

    qint64 receive(Sockets::Handle s, char* buffer, qint64 size, int& error) override {
        error = 0;
        if (!open_.count(s)) {
            error = Sockets::kNotSocket;
            return -1;
        }
        for (;;) {
            const ssize_t n = ::recv(s, buffer, static_cast<size_t>(size), 0);
            if (n >= 0) return n;
            if (errno == EINTR) continue;
            error = Sockets::ErrorFromErrno(errno);
            return -1;
        }
    }

    bool sendAll(Sockets::Handle s, const QByteArray& bytes, int timeoutMs, int& error,
                 const std::function<void(qint64)>& taken) override {
        error = 0;
        qsizetype done = 0;
        while (done < bytes.size()) {
            if (!open_.count(s)) return fail(error, Sockets::kNotSocket);
            const ssize_t n =
                ::send(s, bytes.constData() + done, static_cast<size_t>(bytes.size() - done), MSG_NOSIGNAL);
            if (n > 0) {
                done += n;
                if (taken) taken(n);
                continue;
            }
            if (n < 0 && errno == EINTR) continue;
            if (n < 0 && errno != EAGAIN) return fail(error, Sockets::ErrorFromErrno(errno));
            if (!waitWritable(s, timeoutMs, error)) return false;
        }
        return true;
    }

    void close(Sockets::Handle s) override {
        auto it = open_.find(s);
        if (it == open_.end()) return;
        std::unique_ptr<Entry> e = std::move(it->second);
        open_.erase(it);
        // The notifier may be the caller on the stack: let it go from the event loop.
        if (e->reader) {
            e->reader->setEnabled(false);
            e->reader->deleteLater();
        }
        if (e->wait) e->wait->quit();
        ::close(s);
    }

  private:
    struct Entry {
        QPointer<QSocketNotifier> reader;
        QPointer<QEventLoop> wait;
    };

    static bool fail(int& error, int code) {
        error = code;
        return false;
    }

    // Runs the event loop until the socket takes data, the deadline passes or it is closed.
    bool waitWritable(Sockets::Handle s, int timeoutMs, int& error) {
        QEventLoop loop;
        QSocketNotifier writable(s, QSocketNotifier::Write);
        QObject::connect(&writable, &QSocketNotifier::activated, &loop, &QEventLoop::quit);
        QTimer deadline;
        deadline.setSingleShot(true);
        bool late = false;
        QObject::connect(&deadline, &QTimer::timeout, &loop, [&] {
            late = true;
            loop.quit();
        });
        deadline.start(timeoutMs < 0 ? 0 : timeoutMs);
        open_.at(s)->wait = &loop;
        loop.exec();
        writable.setEnabled(false);
        auto it = open_.find(s);
        if (it == open_.end()) return fail(error, Sockets::kNotSocket);
        it->second->wait = nullptr;
        if (late) return fail(error, Sockets::kTimedOut);
        return true;
    }

    std::map<Sockets::Handle, std::unique_ptr<Entry>> open_;
};

} // namespace

Slot<Sockets::Service>& Sockets::service() {
    static PosixSockets builtIn;
    static Slot<Service> slot(builtIn);
    return slot;
}
