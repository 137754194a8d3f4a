#include "Help/Base64.h"

#include "platform/Ansi.h"

#include <QCoreApplication>

namespace Help {

namespace {
void letEventsRun(qsizetype done, qsizetype& next) {
    if (done < next) return;
    next = done + Base64::kYieldEvery;
    QCoreApplication::processEvents();
}
} // namespace

Base64::Base64() {
    for (int i = 0; i < 26; ++i) {
        encode_[i] = static_cast<char>('A' + i);
        encode_[26 + i] = static_cast<char>('a' + i);
    }
    for (int i = 0; i < 10; ++i)
        encode_[52 + i] = static_cast<char>('0' + i);
    encode_[62] = '+';
    encode_[63] = '/';
    for (quint8& v : decode_)
        v = 255;
    for (int i = 0; i < 64; ++i)
        decode_[static_cast<uchar>(encode_[i])] = static_cast<quint8>(i);
    decode_[static_cast<uchar>('=')] = 64;
}

quint8 Base64::DecodeValue(int code) const {
    return code >= 0 && code < int(sizeof decode_) ? decode_[code] : 255;
}

void Base64::EncodeB64(const QByteArray& FileIn, QByteArray& Out) const {
    const qsizetype n = FileIn.size();
    Out.resize((n + 2) / 3 * 4);
    const auto* in = reinterpret_cast<const uchar*>(FileIn.constData());
    char* out = Out.data();
    qsizetype i = 0, o = 0, nextYield = kYieldEvery;
    for (; i + 3 <= n; i += 3) {
        const uchar b0 = in[i], b1 = in[i + 1], b2 = in[i + 2];
        out[o++] = encode_[b0 >> 2];
        out[o++] = encode_[((b0 << 4) & 63) | (b1 >> 4)];
        out[o++] = encode_[((b1 << 2) & 63) | (b2 >> 6)];
        out[o++] = encode_[b2 & 63];
        letEventsRun(i, nextYield);
    }
    if (n - i == 1) {
        const uchar b0 = in[i];
        out[o++] = encode_[b0 >> 2];
        out[o++] = encode_[(b0 << 4) & 63];
        out[o++] = '=';
        out[o++] = '=';
    } else if (n - i == 2) {
        const uchar b0 = in[i], b1 = in[i + 1];
        out[o++] = encode_[b0 >> 2];
        out[o++] = encode_[((b0 << 4) & 63) | (b1 >> 4)];
        out[o++] = encode_[(b1 << 2) & 63];
        out[o++] = '=';
    }
}

void Base64::Str2ByteArray(const QString& StringIn, QByteArray& ByteArray) const {
    ByteArray = Ansi::encode(StringIn);
}

bool Base64::Span(qint32 CharsPerLine, const QByteArray& InArray, QByteArray& OutArray) const {
    OutArray.clear();
    if (CharsPerLine < 1) return false;
    const qsizetype n = InArray.size();
    OutArray.reserve(n + 2 * (n / CharsPerLine));
    qsizetype nextYield = kYieldEvery;
    for (qsizetype at = 0; at < n; at += CharsPerLine) {
        const qsizetype len = qMin<qsizetype>(CharsPerLine, n - at);
        OutArray.append(InArray.constData() + at, len);
        if (len == CharsPerLine) OutArray.append("\r\n", 2);
        letEventsRun(at, nextYield);
    }
    return true;
}

bool Base64::DecodeB64(const QByteArray& FileIn, QByteArray& Out) const {
    Out.clear();
    const qsizetype n = FileIn.size();
    if (n % 4 != 0) return false;
    const auto* in = reinterpret_cast<const uchar*>(FileIn.constData());
    for (qsizetype i = 0; i < n; ++i)
        if (in[i] >= sizeof decode_) return false;
    // Padding only at the very end: "xx==" or "xxx=".
    qsizetype pad = 0;
    if (n >= 4 && in[n - 1] == '=') pad = in[n - 2] == '=' ? 2 : 1;
    for (qsizetype i = 0; i < n - pad; ++i)
        if (in[i] == '=') return false;
    Out.resize(n / 4 * 3 - pad);
    char* out = Out.data();
    qsizetype o = 0, nextYield = kYieldEvery;
    for (qsizetype i = 0; i < n; i += 4) {
        const int c0 = decode_[in[i]], c1 = decode_[in[i + 1]], c2 = decode_[in[i + 2]],
                  c3 = decode_[in[i + 3]];
        out[o++] = static_cast<char>(((c0 << 2) | (c1 >> 4)) & 255);
        if (in[i + 2] == '=') break;
        out[o++] = static_cast<char>(((c1 << 4) & 255) | (c2 >> 2));
        if (in[i + 3] == '=') break;
        out[o++] = static_cast<char>(((c2 << 6) & 255) | c3);
        letEventsRun(i, nextYield);
    }
    Out.resize(o);
    return true;
}

void Base64::Unspan(const QByteArray& ArrayIn, QByteArray& ArrayOut) const {
    ArrayOut = ArrayIn;
    ArrayOut.replace("\r\n", "");
}

} // namespace Help
