#pragma once
// Windows-1252 ("ANSI") text as it travels on the wire and in the binary files:
// one byte per character, and every one of the 256 byte values survives a round trip.
#include <QByteArray>
#include <QString>

namespace Ansi {
// Characters with no Windows-1252 byte become "?" (a surrogate pair is one character).
QByteArray encode(const QString& text);
// The five bytes that Windows-1252 leaves undefined come back as the C1 controls of the same value.
QString decode(const QByteArray& bytes);
QString decode(const char* data, qsizetype size);
} // namespace Ansi
