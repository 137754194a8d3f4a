#pragma once
// The language table: a language file loaded whole, and its texts looked up by key.
#include <QString>

namespace modDB {
// Loads the table from a file; an empty path empties it. A file that is valid UTF-8 is read as
// UTF-8 (a byte-order mark dropped), any other as Windows-1252. False, with the table empty,
// when the file cannot be read, is not a regular file or holds more than 8 MiB.
bool LoadDB(const QString& path);
// True when the table is not empty.
bool DBLoaded();
// The text after the first "|" at or after the first occurrence of the key anywhere in the
// table (letter case ignored), up to the end of that line (CR LF, LF or CR). A missing key gives "", is
// logged each time and shown once per key.
QString GetDBString(const QString& key);
} // namespace modDB
