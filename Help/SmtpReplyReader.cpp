#include "Help/SmtpReplyReader.h"

namespace Help {

namespace {
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
} // namespace

void SmtpReplyReader::feed(const QByteArray& bytes) {
    if (failed_) return;
    // Drop what earlier replies used before the buffer grows again.
    if (start_ > 0) {
        buffer_.remove(0, start_);
        start_ = 0;
    }
    buffer_.append(bytes);
}

SmtpReplyReader::Result SmtpReplyReader::next(int& code, QByteArray& text) {
    code = 0;
    text.clear();
    if (failed_) return Result::Error;
    auto fail = [this] {
        failed_ = true;
        buffer_.clear();
        start_ = 0;
        return Result::Error;
    };
    qsizetype at = start_;
    int replyCode = -1;
    for (;;) {
        const qsizetype lf = buffer_.indexOf('\n', at);
        if (lf < 0) {
            if (buffer_.size() - at > kMaxLine) return fail();
            if (buffer_.size() - start_ > kMaxReply) return fail();
            return Result::Incomplete;
        }
        if (lf + 1 - at > kMaxLine) return fail();
        if (lf == at || buffer_.at(lf - 1) != '\r') return fail();
        const qsizetype len = lf - 1 - at; // without CR LF
        const char* line = buffer_.constData() + at;
        if (len < 3 || !isDigit(line[0]) || !isDigit(line[1]) || !isDigit(line[2])) return fail();
        const int lineCode = (line[0] - '0') * 100 + (line[1] - '0') * 10 + (line[2] - '0');
        if (replyCode >= 0 && lineCode != replyCode) return fail();
        replyCode = lineCode;
        if (len > 3 && line[3] != ' ' && line[3] != '-') return fail();
        if (!text.isEmpty()) text.append("\r\n");
        text.append(line, len);
        at = lf + 1;
        if (at - start_ > kMaxReply) return fail();
        if (len == 3 || line[3] != '-') break;
    }
    start_ = at;
    code = replyCode;
    return Result::Reply;
}

} // namespace Help
