#include "platform/Ansi.h"

#include <QStringDecoder>

#include <array>

namespace {
// 0x80..0x9F; the undefined bytes (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to themselves.
constexpr std::array<char16_t, 32> kHigh = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                            0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                            0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                            0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// Byte to character.
constexpr std::array<char16_t, 256> kDecode = [] {
    std::array<char16_t, 256> t{};
    for (int b = 0; b < 256; ++b)
        t[b] = (b >= 0x80 && b < 0xA0) ? kHigh[b - 0x80] : char16_t(b);
    return t;
}();

// Character to byte, in two steps: the high byte of a character picks a page of 256 bytes, or
// page 0, which holds only "?"; the few pages Windows-1252 reaches are filled from kDecode.
struct EncodeTable {
    std::array<unsigned char, 256> page{};
    std::array<std::array<char, 256>, 6> bytes{};
};
constexpr EncodeTable kEncode = [] {
    EncodeTable t{};
    for (auto& p : t.bytes)
        p.fill('?');
    int pages = 1;
    for (int b = 0; b < 256; ++b) {
        const char16_t c = kDecode[b];
        unsigned char& p = t.page[c >> 8];
        if (p == 0) p = static_cast<unsigned char>(pages++);
        t.bytes[p][c & 0xFF] = static_cast<char>(b);
    }
    return t;
}();
static_assert(kEncode.page[0x00] != 0 && kEncode.page[0x20] != 0, "the pages reached fit the table");

inline char encodeOne(char16_t c) {
    return kEncode.bytes[kEncode.page[c >> 8]][c & 0xFF];
}
} // namespace

qsizetype Ansi::encode(QStringView text, char* out) {
    const char16_t* src = text.utf16();
    const qsizetype n = text.size();
    char* dst = out;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = src[i];
        // A surrogate pair is one character, and none of them has a byte.
        if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(src[i + 1])) ++i;
        *dst++ = encodeOne(c);
    }
    return dst - out;
}

QByteArray Ansi::encode(const QString& text) {
    QByteArray out(text.size(), Qt::Uninitialized);
    out.truncate(encode(QStringView(text), out.data()));
    return out;
}

QString Ansi::decode(const char* data, qsizetype size) {
    QString out(size, Qt::Uninitialized);
    char16_t* dst = reinterpret_cast<char16_t*>(out.data());
    for (qsizetype i = 0; i < size; ++i)
        dst[i] = kDecode[static_cast<unsigned char>(data[i])];
    return out;
}

QString Ansi::decode(const QByteArray& bytes) {
    return decode(bytes.constData(), bytes.size());
}

QString Ansi::decodeText(const QByteArray& bytes, bool cut) {
    auto asUtf8 = [](QByteArrayView b, QString& out) {
        // Stateless: a character cut short at the end is an error, not something kept for later.
        QStringDecoder d(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        out = d.decode(b);
        return !d.hasError();
    };
    QString text;
    if (asUtf8(bytes, text)) return text;
    for (qsizetype drop = 1; cut && drop <= 3 && drop < bytes.size(); ++drop)
        if (asUtf8(QByteArrayView(bytes).first(bytes.size() - drop), text)) return text;
    return decode(bytes);
}
