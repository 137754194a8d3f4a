#pragma once
// The product version of the installed messenger, read from its executable's bytes: the
// version resource's "ProductVersion" entry after its "StringFileInfo" table, found by pattern
// with no help from a version-information service.
#include <QByteArray>
#include <QString>

namespace AutoUpdate::modFileInfo {
// The executable beside this program that carries the version (whatever QX3_HOME says).
inline constexpr char kMessengerFile[] = "QX3";
// The largest executable read; a bigger or irregular file has no version.
inline constexpr qint64 kMaxFileSize = 256 * 1024 * 1024;

// The search pattern of a version-resource key: 0x01, then 0x00 and the byte of each character
// (the type word 1 and the key in UTF-16LE, less the last character's high byte). "" for "".
QByteArray ToResourceKey(const QString& key);
// `text` with every occurrence of `find` replaced; unchanged when `find` is empty.
QByteArray ReplaceAll(const QByteArray& text, const QByteArray& find, const QByteArray& replacement);
// The product version text in an executable's bytes; "" when the patterns are missing, the
// value would start past the end, or no run of three zero bytes closes it.
QString ProductVersionFromBytes(const QByteArray& bytes);
// The product version of the messenger beside this program, or "".
QString GetProductVersion();
} // namespace AutoUpdate::modFileInfo
