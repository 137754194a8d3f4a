#pragma once
// Twips: 1440 to the logical inch, 15 to the pixel at 96 DPI. Settings and layouts store
// window places and sizes in twips; windows convert once, here.
#include <QtGlobal>
#include <cmath>

class QWidget;

namespace Twips {
inline constexpr int kPerInch = 1440;
// The logical DPI of the widget's screen (96 when there is none).
double dpiX(const QWidget* w);
double dpiY(const QWidget* w);
inline qint32 fromPx(int px, double dpi) {
    return static_cast<qint32>(std::lround(px * double(kPerInch) / dpi));
}
inline int toPx(qint32 twips, double dpi) {
    return static_cast<int>(std::lround(twips * dpi / kPerInch));
}
// Holds a window's outer (frame) size at least width x height twips; the frame is whatever the
// window manager draws now.
void SetOuterMinimum(QWidget* w, qint32 width, qint32 height);
} // namespace Twips
