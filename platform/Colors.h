#pragma once
// Colours as the messenger stores them: 32-bit 0x00BBGGRR values, red in the low byte.
// The only conversion to and from QColor; a QRgb (0xAARRGGBB) is a different thing.
// System colours (button face, shadow, ...) come from the application palette through a
// service that tests can replace.
#include "platform/Slot.h"

#include <QColor>
#include <optional>

namespace Colors {

QColor fromBgr(quint32 bgr);
quint32 toBgr(const QColor& colour);

// The system colour indices the windows ask for.
enum SysColorIndex : int {
    kWindow = 5,
    kWindowText = 8,
    kHighlight = 13,
    kHighlightText = 14,
    kBtnFace = 15,
    kBtnShadow = 16,
    kGrayText = 17,
    kBtnText = 18,
    kBtnHighlight = 20,
    kDkShadow3D = 21,
    kLight3D = 22,
};

// Where system colours come from: the application palette by default.
class SysColors {
  public:
    virtual ~SysColors() = default;
    // 0x00BBGGRR; an unknown index gives 0.
    virtual quint32 Get(int index) = 0;
};
Slot<SysColors>& sysColors();

// The current value of a system colour as 0x00BBGGRR (24 bits); an unknown index gives 0.
quint32 SysColor(int index);

// The window system's system colours are numbered 0 to this.
inline constexpr int kLastSysColorIndex = 30;
// A colour as a skin file or a window design holds it: 0x00BBGGRR, or a system colour as
// 0x80000000 plus its index (as a signed 32-bit number, -2147483648 plus the index; the
// unsigned reading is taken too). Gives the colour it stands for now, through SysColor;
// nothing when the value is neither.
std::optional<quint32> FromStored(qint64 value);

} // namespace Colors
