#pragma once
// Skins: the one current SkinInfo record of the run, the skin file reader, loading a skin's
// picture into the hidden image window with a fall-back to the built-in skin, and the push
// button style.
#include <QString>
#include <QtGlobal>

class QImage;

namespace modSkin {

struct SkinInfo {
    QString Picture;             // the bitmap's file name, relative to the skin file's folder
    qint32 TextColor = 0xFFFFFF; // colours are 0x00BBGGRR
    qint32 StatusColor = 0;
    qint32 ChatStatusColor = 0;
    qint32 ListBackColor = 0xFFFFFF;
    qint32 ListForeColor = 0;
    qint16 ColorScheme = 1;
    qint32 ForeColor = 0;
    qint32 BackColor = 0xFFFFFF;
    qint16 ButtonType = 3;
    QString Info; // free text, every line followed by CR LF

    bool operator==(const SkinInfo&) const = default;
};

// The current skin.
const SkinInfo& Current();

// Reads a skin file into `record`. A colour item that names a system colour (0x80000000 plus
// an index) is stored as that colour's value now. On any fault (unreadable file, anything but
// a regular file, more than 1 MiB, fewer than ten items, a value that is no number or out of
// range) returns false and leaves `record` as it was.
bool ReadSkinFile(const QString& path, SkinInfo& record);
// Makes a skin current; "" makes the built-in skin current. A skin that cannot be loaded is
// reported once, the settings value SKN is emptied and the built-in skin is used; then the
// result is false.
bool LoadSkin(const QString& path);
// The built-in values.
void ResetSkin();

// The current skin's button style on one push button: ButtonType, ColorScheme, ForeColor and
// BackColor, in this order. A template, so the core needs nothing of the controls library.
template <class PushButton> void SkinButton(PushButton& button) {
    const SkinInfo& s = Current();
    button.SetButtonType(s.ButtonType);
    button.SetColorScheme(s.ColorScheme);
    button.SetForeColor(static_cast<quint32>(s.ForeColor));
    button.SetBackColor(static_cast<quint32>(s.BackColor));
}
template <class PushButton> void SkinButton(PushButton* button) {
    if (button) SkinButton(*button);
}

// Where the picture of a skin file lies: the skin's folder joined with `picture` ("\" read as
// a separator, a differently cased file name accepted). "" when the name is absolute, climbs
// out with "..", or names no file.
QString PicturePath(const QString& skinFile, const QString& picture);

} // namespace modSkin
