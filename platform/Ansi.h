#pragma once
// Windows-1252 ("ANSI") text as it travels on the wire and in the binary files:
// one byte per character, and every one of the 256 byte values survives a round trip.
#include <QByteArray>
#include <QString>

namespace Ansi {
// Characters with no Windows-1252 byte become "?" (a surrogate pair is one character).
QByteArray encode(const QString& text);
// The same into `out`, which holds at least text.size() bytes; returns the bytes written.
qsizetype encode(QStringView text, char* out);
// The five bytes that Windows-1252 leaves undefined come back as the C1 controls of the same value.
QString decode(const QByteArray& bytes);
QString decode(const char* data, qsizetype size);
// Text a person may have written with any editor (a merged-in file, a language file, the exit
// password file): UTF-8 when the bytes are valid UTF-8 (a leading byte-order mark dropped),
// else Windows-1252. With `cut` the bytes are the first part of a longer file, which may have
// cut the last UTF-8 character in two: up to three bytes at the end are left out to find it.
QString decodeText(const QByteArray& bytes, bool cut = false);
} // namespace Ansi
