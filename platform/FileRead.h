#pragma once
// Reading a whole file that the user or another program may have named: settings, skins,
// language files. Only a regular file is read, and only up to a bound, so that a device, a
// FIFO or a directory in its place (or a file that never ends) cannot hang or exhaust the
// program; opening never blocks.
#include <QByteArray>
#include <QString>

namespace FileRead {
// Reads `path` whole into `bytes`. False, with the reason in `why` (when given) and `bytes`
// left as it was, when the file cannot be opened, is not a regular file (after following
// symbolic links) or holds more than `maxBytes` bytes.
bool regularFile(const QString& path, qint64 maxBytes, QByteArray& bytes, QString* why = nullptr);
} // namespace FileRead
