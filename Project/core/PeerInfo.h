#pragma once
// What the router, the chat and the notice windows know of another user, asked of the main
// window while one is loaded. Alerts arrive during sign-in too, so each question also has an
// answer without one: blocked as the saved block list says, my own colour and font for my own
// name, colour 0 and font "Arial" for anybody else, and no change of blocks.
#include <QFont>
#include <QString>
#include <QVariant>

namespace PeerInfo {
// How a user's text is drawn, from one reading of his record.
struct Look {
    quint32 colour = 0; // 0x00BBGGRR, 24 bits
    QString font;       // "Arial" when the record names none
};
// The user's colour and font, with one question to the main window (a chat line asks for each).
Look LookOf(const QString& name);
// A look from the colour and font fields as a record holds them (see ColourOf).
Look LookFrom(const QVariant& colour, const QString& font);
// My own look, from my settings.
Look OwnLook();
// True when the user's name is in the block list BLC (letter case ignored).
bool InBlockList(const QString& name);
// How many times the block list BLC names the user (letter case ignored); a hand-edited list
// may name one user more than once.
int TimesBlocked(const QString& name);
// True when I block the user.
bool IsBlocked(const QString& name);
// The user's colour (0x00BBGGRR, 24 bits): 0 when there is none or it is not a number.
quint32 Colour(const QString& name);
// A colour as a user record holds it: a text that is no number reads as 0, masked to 24 bits.
quint32 ColourOf(const QVariant& value);
// The user's font name: "Arial" when there is none.
QString FontName(const QString& name);
// `base` in the user's font (a font this computer lacks stays named; Qt falls back for drawing).
QFont Font(const QString& name, const QFont& base);
// Blocks every listed user not blocked, unblocks every one blocked.
void InvBlock(const QString& userList);
} // namespace PeerInfo
