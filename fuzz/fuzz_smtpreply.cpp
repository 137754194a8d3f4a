// The SMTP reply reader against whatever a server may send, cut into reads at points the input
// chooses: the first byte says how many cuts, the next bytes how far apart. However the bytes
// are cut, the replies and the verdict are those of the whole stream read at once, and a reply
// is always three digits with lines that carry them.
#include "FuzzPlatform.h"
#include "Help/SmtpReplyReader.h"

#include <QList>

using namespace Help;

namespace {
struct Outcome {
    QList<int> codes;
    bool failed = false;
    bool operator==(const Outcome&) const = default;
};

void drain(SmtpReplyReader& r, Outcome& out) {
    for (;;) {
        int code = -1;
        QByteArray text;
        const SmtpReplyReader::Result res = r.next(code, text);
        if (res == SmtpReplyReader::Result::Incomplete) return;
        if (res == SmtpReplyReader::Result::Error) {
            out.failed = true;
            FuzzEnv::check(r.failed(), "an error that does not stay");
            return;
        }
        FuzzEnv::check(code >= 0 && code <= 999, "a reply code of more than three digits");
        FuzzEnv::check(text.size() >= 3 && text.size() <= SmtpReplyReader::kMaxReply,
                       "a reply out of bounds");
        const QByteArray digits = QByteArray::number(code).rightJustified(3, '0');
        for (const QByteArray& line : text.split('\n'))
            FuzzEnv::check(line.startsWith(digits), "a reply line without the reply's code");
        out.codes << code;
    }
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    FuzzEnv::initPlatform();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const int cuts = data[0] % 8;
    if (size < size_t(1 + cuts)) return 0;
    QList<qsizetype> steps;
    for (int i = 0; i < cuts; ++i)
        steps << data[1 + i];
    const QByteArray stream = FuzzEnv::bytes(data + 1 + cuts, size - 1 - cuts);

    Outcome whole;
    {
        SmtpReplyReader r;
        r.feed(stream);
        drain(r, whole);
    }
    Outcome split;
    {
        SmtpReplyReader r;
        qsizetype at = 0;
        for (const qsizetype step : steps) {
            r.feed(stream.mid(at, step));
            at = qMin(at + step, stream.size());
            drain(r, split);
        }
        r.feed(stream.mid(at));
        drain(r, split);
    }
    FuzzEnv::check(whole == split, "the cuts between reads changed the replies");
    return 0;
}
