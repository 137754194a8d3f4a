#include "platform/Colors.h"

#include <QGuiApplication>
#include <QPalette>

namespace {
quint32 fromPalette(int index) {
    const QPalette pal = QGuiApplication::palette();
    auto c = [&](QPalette::ColorRole role) { return Colors::toBgr(pal.color(QPalette::Active, role)); };
    switch (index) {
    case Colors::kWindow:
        return c(QPalette::Base);
    case Colors::kWindowText:
        return c(QPalette::Text);
    case Colors::kHighlight:
        return c(QPalette::Highlight);
    case Colors::kHighlightText:
        return c(QPalette::HighlightedText);
    case Colors::kBtnFace:
        return c(QPalette::Button);
    case Colors::kBtnShadow:
        return c(QPalette::Dark);
    case Colors::kGrayText:
        return Colors::toBgr(pal.color(QPalette::Disabled, QPalette::Text));
    case Colors::kBtnText:
        return c(QPalette::ButtonText);
    case Colors::kBtnHighlight:
        return c(QPalette::Light);
    case Colors::kDkShadow3D:
        return c(QPalette::Shadow);
    case Colors::kLight3D:
        return c(QPalette::Midlight);
    default:
        return 0;
    }
}
} // namespace

QColor Colors::fromBgr(quint32 bgr) {
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

quint32 Colors::toBgr(const QColor& colour) {
    const QColor c = colour.toRgb();
    return quint32(c.red()) | (quint32(c.green()) << 8) | (quint32(c.blue()) << 16);
}

Slot<Colors::SysColors>& Colors::sysColors() {
    static struct : SysColors {
        quint32 Get(int index) override { return fromPalette(index); }
    } palette;
    static Slot<SysColors> slot(palette);
    return slot;
}

quint32 Colors::SysColor(int index) {
    return sysColors()->Get(index) & 0xFFFFFFu;
}

std::optional<quint32> Colors::FromStored(qint64 value) {
    if (value >= 0 && value <= 0xFFFFFF) return static_cast<quint32>(value);
    constexpr qint64 kSysFlag = 0x80000000LL;
    for (const qint64 base : {-kSysFlag, kSysFlag})
        if (value >= base && value <= base + kLastSysColorIndex)
            return SysColor(static_cast<int>(value - base));
    return std::nullopt;
}
