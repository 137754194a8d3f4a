#pragma once
// What the router and the notice windows know of another user, asked of the main window while
// one is loaded. Alerts arrive during sign-in too, so each question also has an answer without
// one: blocked as the saved block list says, colour 0, font "Arial", and no change of blocks.
#include <QFont>
#include <QString>

namespace PeerInfo {
// True when the user's name is in the block list BLC (letter case ignored).
bool InBlockList(const QString& name);
// True when I block the user.
bool IsBlocked(const QString& name);
// The user's colour (0x00BBGGRR, 24 bits): 0 when there is none or it is not a number.
quint32 Colour(const QString& name);
// The user's font name: "Arial" when there is none.
QString FontName(const QString& name);
// `base` in the user's font (a font this computer lacks stays named; Qt falls back for drawing).
QFont Font(const QString& name, const QFont& base);
// Blocks every listed user not blocked, unblocks every one blocked.
void InvBlock(const QString& userList);
} // namespace PeerInfo
