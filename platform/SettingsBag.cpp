#include "platform/SettingsBag.h"

#include <QStringDecoder>
#include <array>

namespace {
// Layout, little-endian:
//   "QX3PBAG" NUL | u16 format version | u32 item count |
//   items: u32 key length, key (UTF-8), u8 type, value |
//   u32 CRC-32 of everything before it.
// Values: text = u32 length and UTF-8 bytes; 16-bit = 2 bytes; 32-bit = 4 bytes; Boolean = 1 byte 0/1.
// Texts are UTF-8 so that every text survives whole: paths on this system may hold any character.
constexpr char kMagic[8] = {'Q', 'X', '3', 'P', 'B', 'A', 'G', '\0'};
constexpr quint8 kText = 1, kInt16 = 2, kInt32 = 3, kBool = 4;

quint32 crc32(const char* data, qsizetype size) {
    static const std::array<quint32, 256> table = [] {
        std::array<quint32, 256> t{};
        for (quint32 i = 0; i < 256; ++i) {
            quint32 c = i;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    quint32 c = 0xFFFFFFFFu;
    for (qsizetype i = 0; i < size; ++i)
        c = table[(c ^ static_cast<quint8>(data[i])) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

void putU(QByteArray& out, quint64 v, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.append(static_cast<char>((v >> (8 * i)) & 0xFF));
}

class Reader {
  public:
    Reader(const QByteArray& b, qsizetype end) : b_(b), end_(end) {}
    bool get(int bytes, quint64& v) {
        if (end_ - pos_ < bytes) return false;
        v = 0;
        for (int i = 0; i < bytes; ++i)
            v |= quint64(static_cast<quint8>(b_.at(pos_ + i))) << (8 * i);
        pos_ += bytes;
        return true;
    }
    bool getText(qsizetype len, QString& text) {
        if (end_ - pos_ < len) return false;
        QStringDecoder utf8(QStringDecoder::Utf8,
                            QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
        text = utf8(QByteArrayView(b_.constData() + pos_, len));
        pos_ += len;
        return !utf8.hasError();
    }
    bool atEnd() const { return pos_ == end_; }

  private:
    const QByteArray& b_;
    qsizetype end_;
    qsizetype pos_ = sizeof(kMagic);
};
} // namespace

void SettingsBag::write(const QString& key, const Value& value) {
    for (auto& item : items_)
        if (item.first == key) {
            item.second = value;
            return;
        }
    items_.emplace_back(key, value);
}

const SettingsBag::Value* SettingsBag::read(const QString& key) const {
    for (const auto& item : items_)
        if (item.first == key) return &item.second;
    return nullptr;
}

QStringList SettingsBag::keys() const {
    QStringList out;
    for (const auto& item : items_)
        out << item.first;
    return out;
}

QByteArray SettingsBag::contents() const {
    QByteArray out(kMagic, sizeof(kMagic));
    putU(out, kFormatVersion, 2);
    putU(out, items_.size(), 4);
    for (const auto& [key, value] : items_) {
        const QByteArray k = key.toUtf8();
        putU(out, static_cast<quint64>(k.size()), 4);
        out += k;
        if (const auto* s = std::get_if<QString>(&value)) {
            const QByteArray t = s->toUtf8();
            putU(out, kText, 1);
            putU(out, static_cast<quint64>(t.size()), 4);
            out += t;
        } else if (const auto* i16 = std::get_if<qint16>(&value)) {
            putU(out, kInt16, 1);
            putU(out, static_cast<quint16>(*i16), 2);
        } else if (const auto* i32 = std::get_if<qint32>(&value)) {
            putU(out, kInt32, 1);
            putU(out, static_cast<quint32>(*i32), 4);
        } else {
            putU(out, kBool, 1);
            putU(out, std::get<bool>(value) ? 1 : 0, 1);
        }
    }
    putU(out, crc32(out.constData(), out.size()), 4);
    return out;
}

quint32 SettingsBag::checksum(QByteArrayView bytes) {
    return crc32(bytes.data(), bytes.size());
}

bool SettingsBag::setContents(const QByteArray& bytes, QString* error) {
    auto fail = [error](const char* why) {
        if (error) *error = QString::fromLatin1(why);
        return false;
    };
    const qsizetype minSize = sizeof(kMagic) + 2 + 4 + 4;
    if (bytes.size() < minSize || !bytes.startsWith(QByteArrayView(kMagic, sizeof(kMagic))))
        return fail("not a property bag");
    const qsizetype body = bytes.size() - 4;
    quint64 v = 0;
    {
        quint32 stored = 0;
        for (int i = 0; i < 4; ++i)
            stored |= quint32(static_cast<quint8>(bytes.at(body + i))) << (8 * i);
        if (stored != crc32(bytes.constData(), body)) return fail("damaged property bag");
    }
    Reader r(bytes, body);
    if (!r.get(2, v) || v == 0 || v > kFormatVersion) return fail("unknown property bag format");
    quint64 count = 0;
    if (!r.get(4, count)) return fail("damaged property bag");
    std::vector<std::pair<QString, Value>> items;
    for (quint64 n = 0; n < count; ++n) {
        quint64 keyLen = 0, type = 0;
        QString key;
        if (!r.get(4, keyLen) || !r.getText(static_cast<qsizetype>(keyLen), key) || !r.get(1, type))
            return fail("damaged property bag");
        Value value;
        switch (type) {
        case kText: {
            quint64 len = 0;
            QString text;
            if (!r.get(4, len) || !r.getText(static_cast<qsizetype>(len), text))
                return fail("damaged property bag");
            value = text;
            break;
        }
        case kInt16:
            if (!r.get(2, v)) return fail("damaged property bag");
            value = static_cast<qint16>(static_cast<quint16>(v));
            break;
        case kInt32:
            if (!r.get(4, v)) return fail("damaged property bag");
            value = static_cast<qint32>(static_cast<quint32>(v));
            break;
        case kBool:
            if (!r.get(1, v) || v > 1) return fail("damaged property bag");
            value = v == 1;
            break;
        default:
            return fail("damaged property bag");
        }
        items.emplace_back(key, value);
    }
    if (!r.atEnd()) return fail("damaged property bag");
    items_ = std::move(items);
    return true;
}
