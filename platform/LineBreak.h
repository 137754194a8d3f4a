#pragma once
// The line break that the three programs write wherever they write one (logs, settings texts,
// group lists, exports, messages, mail): CR LF. Readers take CR LF, LF and CR alike.
#include <QString>

namespace LineBreak {
inline const QString kCrLf = QStringLiteral("\r\n");
} // namespace LineBreak
