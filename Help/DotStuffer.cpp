#include "Help/DotStuffer.h"

namespace Help {

QByteArray DotStuffer::stuff(const QByteArray& piece) {
    QByteArray out;
    out.reserve(piece.size() + 16);
    for (const char c : piece) {
        if (atLineStart_ && c == '.') out.append('.');
        out.append(c);
        atLineStart_ = c == '\n';
    }
    return out;
}

} // namespace Help
