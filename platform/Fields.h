#pragma once
// Fields of a text split by a one-character separator, as records and datagrams are written.
#include <QString>

namespace Fields {
// Field n, counted from 1. An n of 0 or past the last separator gives the text after the last
// separator (empty for a text that ends with the separator); a text without the separator is
// its own only field.
QString Get(const QString& text, qint32 n, QChar sep);
} // namespace Fields
