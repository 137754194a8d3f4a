#include "AutoUpdate/modFileInfo.h"

#include "platform/Ansi.h"
#include "platform/FileRead.h"
#include "platform/ProgramFolder.h"

namespace AutoUpdate::modFileInfo {

QByteArray ToResourceKey(const QString& key) {
    if (key.isEmpty()) return {};
    QByteArray pattern(1, '\x01');
    for (const char c : Ansi::encode(key)) {
        pattern += '\0';
        pattern += c;
    }
    return pattern;
}

QByteArray ReplaceAll(const QByteArray& text, const QByteArray& find, const QByteArray& replacement) {
    if (find.isEmpty()) return text;
    QByteArray out = text;
    return out.replace(find, replacement);
}

QString ProductVersionFromBytes(const QByteArray& bytes) {
    const qsizetype a = bytes.indexOf(ToResourceKey(QStringLiteral("StringFileInfo")));
    if (a < 0) return {};
    const qsizetype b = bytes.indexOf(ToResourceKey(QStringLiteral("ProductVersion")), a);
    if (b < 0) return {};
    // The type word and the 14-character key in UTF-16LE; the value follows the key's terminator.
    const qsizetype d = b + 30;
    if (d >= bytes.size()) return {};
    const qsizetype c = bytes.indexOf(QByteArrayView("\0\0\0", 3), d);
    if (c < 0) return {};
    return Ansi::decode(ReplaceAll(bytes.mid(d, c - d), QByteArray(1, '\0'), {}));
}

QString GetProductVersion() {
    QByteArray bytes;
    if (!FileRead::regularFile(ProgramFolder::program(QString::fromLatin1(kMessengerFile)), kMaxFileSize,
                               bytes))
        return {};
    return ProductVersionFromBytes(bytes);
}

} // namespace AutoUpdate::modFileInfo
