#include "platform/Ansi.h"

#include <QStringDecoder>

#include <array>

namespace {
// 0x80..0x9F; the undefined bytes (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to themselves.
constexpr std::array<char16_t, 32> kHigh = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                            0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                            0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                            0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char encodeOne(char16_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
    for (std::size_t i = 0; i < kHigh.size(); ++i)
        if (kHigh[i] == c) return static_cast<char>(0x80 + i);
    return '?';
}
} // namespace

QByteArray Ansi::encode(const QString& text) {
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            out.append('?');
            ++i;
            continue;
        }
        out.append(encodeOne(c.unicode()));
    }
    return out;
}

QString Ansi::decode(const char* data, qsizetype size) {
    QString out(size, Qt::Uninitialized);
    QChar* dst = out.data();
    for (qsizetype i = 0; i < size; ++i) {
        const auto b = static_cast<unsigned char>(data[i]);
        dst[i] = (b >= 0x80 && b < 0xA0) ? QChar(kHigh[b - 0x80]) : QChar(char16_t(b));
    }
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
