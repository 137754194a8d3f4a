#pragma once
// The update program's own text and list procedures (no relation to the messenger's).
#include <QString>
#include <optional>

namespace AutoUpdate::modAppFnc {
// The largest list file read.
inline constexpr qint64 kMaxListSize = 16 * 1024 * 1024;

// Every item of the file (see ItemReader), each followed by CR LF; nullopt when the file is
// missing, no regular file, too big or unreadable.
std::optional<QString> ReadListFile(const QString& path);
// Field n, counted from 1 (Fields::Get).
QString GetField(const QString& text, qint32 n, QChar sep);
// Whether a listed program version is newer than the installed one. "-" always is; otherwise the
// text must be three decimal numbers up to 32767 joined by ".", compared as (major, minor,
// revision) in order. nullopt for any other text.
std::optional<bool> IsNewerVersion(const QString& listed);
} // namespace AutoUpdate::modAppFnc
