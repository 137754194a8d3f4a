#include "platform/FileRead.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
bool fail(QString* why, const QString& reason) {
    if (why) *why = reason;
    return false;
}

// Closes the descriptor on every way out.
struct Descriptor {
    int fd;
    ~Descriptor() {
        if (fd >= 0) ::close(fd);
    }
};
} // namespace

bool FileRead::regularFile(const QString& path, qint64 maxBytes, QByteArray& bytes, QString* why) {
    // Non-blocking, so that a FIFO without a writer does not hold the open; a regular file
    // reads the same either way.
    const Descriptor d{
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY)};
    if (d.fd < 0) return fail(why, qt_error_string(errno));
    struct stat st {};
    if (::fstat(d.fd, &st) != 0) return fail(why, qt_error_string(errno));
    if (!S_ISREG(st.st_mode)) return fail(why, QStringLiteral("Not a regular file"));
    if (st.st_size > maxBytes) return fail(why, QStringLiteral("File too large"));
    // The size may change while the file is read: read to its end, never past the bound.
    QByteArray out(static_cast<qsizetype>(st.st_size), Qt::Uninitialized);
    qint64 have = 0;
    for (;;) {
        if (have == out.size()) {
            if (have > maxBytes) return fail(why, QStringLiteral("File too large"));
            out.resize(static_cast<qsizetype>(qMin<qint64>(maxBytes + 1, have + 65536)));
        }
        const ssize_t n = ::read(d.fd, out.data() + have, static_cast<size_t>(out.size() - have));
        if (n < 0) {
            if (errno == EINTR) continue;
            return fail(why, qt_error_string(errno));
        }
        if (n == 0) break;
        have += n;
    }
    out.truncate(static_cast<qsizetype>(have));
    bytes = std::move(out);
    return true;
}
