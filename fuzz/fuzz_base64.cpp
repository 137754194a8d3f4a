// The base64 decoder against any text: it stays inside its arrays (the sanitizers watch), its
// output is no longer than the text allows, text of the alphabet with proper padding always
// decodes, and then to what any correct decoder gives.
#include "FuzzPlatform.h"
#include "Help/Base64.h"

#include <QRegularExpression>

using namespace Help;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    FuzzEnv::initPlatform();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const Base64 codec;
    static const QRegularExpression canonical(QStringLiteral("\\A[A-Za-z0-9+/]*(|=|==)\\z"));
    const QByteArray in = FuzzEnv::bytes(data, size);
    QByteArray out;
    const bool ok = codec.DecodeB64(in, out);
    if (!ok) {
        FuzzEnv::check(out.isEmpty(), "a refused text left output");
        FuzzEnv::check(in.size() % 4 != 0 || !in.isEmpty(), "the empty text was refused");
    } else {
        FuzzEnv::check(in.size() % 4 == 0, "a text of a wrong length decoded");
        FuzzEnv::check(out.size() <= in.size() / 4 * 3, "more bytes out than the text holds");
    }
    if (in.size() % 4 == 0 && canonical.match(QString::fromLatin1(in)).hasMatch()) {
        FuzzEnv::check(ok, "well-formed base64 was refused");
        FuzzEnv::check(out == QByteArray::fromBase64(in), "well-formed base64 decoded wrongly");
    }
    // Whatever came out goes back in the same way it would be mailed.
    QByteArray again, spanned, unspanned;
    codec.EncodeB64(out, again);
    FuzzEnv::check(again == out.toBase64(), "encoding differs from the standard");
    FuzzEnv::check(codec.Span(76, again, spanned), "wrapping refused");
    codec.Unspan(spanned, unspanned);
    FuzzEnv::check(unspanned == again, "unwrapping did not give back the text");
    return 0;
}
