#pragma once
// How another user is shown by the notice windows: his colour and font as the main window
// knows them now, with the values of somebody nobody knows where it has none.
#include <QColor>
#include <QFont>
#include <QString>

namespace UserLook {
// The user's colour (0x00BBGGRR): 0 when there is none or it is not a number; 24 bits.
quint32 Colour(const QString& name);
// The user's font name: "Arial" when there is none.
QString FontName(const QString& name);
// `base` with the user's font family (a font this computer lacks stays named; Qt falls back).
QFont Font(const QString& name, const QFont& base);
} // namespace UserLook
