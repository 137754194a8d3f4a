#include "core/modGDI.h"

#include "platform/Colors.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <cmath>
#include <cstdlib>

namespace {
// Where the symbol font is missing, these glyphs stand in for its letters.
constexpr char kStandInFont[] = "DejaVu Sans";

bool symbolFontMissing(const QFont& font) {
    if (font.family().compare(QLatin1String(modGDI::kSymbolFont), Qt::CaseInsensitive) != 0) return false;
    return QFontInfo(font).family().compare(QLatin1String(modGDI::kSymbolFont), Qt::CaseInsensitive) != 0;
}

// The text and font actually drawn: the text as it is, with the symbol letters mapped to
// glyphs of a font that has them when the symbol font is not installed.
struct Drawn {
    QString text;
    QFont font;
};

Drawn drawnText(const QString& text, const QFont& font) {
    Drawn d{text, font};
    if (!symbolFontMissing(font)) return d;
    for (QChar& c : d.text) {
        if (c == u'a')
            c = QChar(0x2713); // check mark
        else if (c == u't')
            c = QChar(0x25B2); // triangle up
        else if (c == u'u')
            c = QChar(0x25BC); // triangle down
    }
    d.font.setFamily(QLatin1String(kStandInFont));
    return d;
}

QRect toQRect(const modGDI::Rect& r) {
    return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
}
bool isEmpty(const modGDI::Rect& r) {
    return r.right <= r.left || r.bottom <= r.top;
}
} // namespace

namespace modGDI {

DC::DC(QImage& target) : image_(target), painter_(new QPainter(&target)), font_(QFont()) {
    painter_->setRenderHint(QPainter::Antialiasing, false);
    painter_->setRenderHint(QPainter::TextAntialiasing, true);
}

DC::~DC() {
    painter_->end();
    delete painter_;
}

void DC::FillRect(const Rect& r, quint32 colour) {
    if (isEmpty(r)) return;
    painter_->fillRect(toQRect(r), Colors::fromBgr(colour));
}

void DC::FrameRect(const Rect& r, quint32 colour) {
    if (isEmpty(r)) return;
    const QColor c = Colors::fromBgr(colour);
    const int w = r.right - r.left;
    const int h = r.bottom - r.top;
    painter_->fillRect(QRect(r.left, r.top, w, 1), c);
    painter_->fillRect(QRect(r.left, r.bottom - 1, w, 1), c);
    painter_->fillRect(QRect(r.left, r.top, 1, h), c);
    painter_->fillRect(QRect(r.right - 1, r.top, 1, h), c);
}

void DC::LineTo(int x, int y) {
    const QColor c = Colors::fromBgr(pen_);
    const int x0 = pos_.x();
    const int y0 = pos_.y();
    pos_ = QPoint(x, y);
    if (x0 == x && y0 == y) return;
    if (y0 == y) { // the end column is left out, whichever way the line runs
        const int from = x > x0 ? x0 : x + 1;
        painter_->fillRect(QRect(from, y, std::abs(x - x0), 1), c);
        return;
    }
    if (x0 == x) {
        const int from = y > y0 ? y0 : y + 1;
        painter_->fillRect(QRect(x, from, 1, std::abs(y - y0)), c);
        return;
    }
    const int dx = std::abs(x - x0);
    const int dy = -std::abs(y - y0);
    const int sx = x0 < x ? 1 : -1;
    const int sy = y0 < y ? 1 : -1;
    int err = dx + dy;
    int px = x0;
    int py = y0;
    while (px != x || py != y) {
        painter_->fillRect(QRect(px, py, 1, 1), c);
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            px += sx;
        }
        if (e2 <= dx) {
            err += dx;
            py += sy;
        }
    }
}

void DC::SetPixel(int x, int y, quint32 colour) {
    painter_->fillRect(QRect(x, y, 1, 1), Colors::fromBgr(colour));
}

void DC::DrawText(const QString& text, const Rect& r, unsigned format) {
    if (isEmpty(r) || text.isEmpty()) return;
    const Drawn d = drawnText(text, font_);
    int flags = (format & kCenter) ? Qt::AlignHCenter : Qt::AlignLeft;
    if (format & kSingleLine) {
        flags |= Qt::TextSingleLine;
        flags |= (format & kVCenter) ? Qt::AlignVCenter : Qt::AlignTop;
    } else {
        flags |= Qt::AlignTop;
    }
    if (format & kExpandTabs) flags |= Qt::TextExpandTabs;
    if (!(format & kNoPrefix)) flags |= Qt::TextShowMnemonic;
    painter_->save();
    painter_->setClipRect(toQRect(r));
    painter_->setFont(d.font);
    painter_->setPen(Colors::fromBgr(text_));
    painter_->setBackgroundMode(Qt::TransparentMode);
    painter_->drawText(toQRect(r), flags, d.text);
    painter_->restore();
}

void DC::DrawFocusRect(const Rect& r) {
    if (isEmpty(r)) return;
    painter_->save();
    painter_->setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    const int parity = (r.left + r.top) & 1;
    auto dot = [&](int x, int y) {
        if (((x + y) & 1) == parity) painter_->fillRect(QRect(x, y, 1, 1), Qt::white);
    };
    for (int x = r.left; x < r.right; ++x) {
        dot(x, r.top);
        if (r.bottom - 1 > r.top) dot(x, r.bottom - 1);
    }
    for (int y = r.top + 1; y < r.bottom - 1; ++y) {
        dot(r.left, y);
        if (r.right - 1 > r.left) dot(r.right - 1, y);
    }
    painter_->restore();
}

QSizeF DC::TextSize(const QString& text) const {
    const Drawn d = drawnText(text, font_);
    const QFontMetricsF fm(d.font, &image_);
    if (d.text.isEmpty()) return QSizeF(0, fm.height());
    return fm.size(0, d.text);
}

void DrawBox(DC& dc, int x, int y, int width, int height, quint32 colour, bool frame) {
    const Rect r{x, y, x + width, y + height};
    if (frame)
        dc.FrameRect(r, colour);
    else
        dc.FillRect(r, colour);
}

void DrawLine(DC& dc, int x1, int y1, int x2, int y2) {
    dc.MoveTo(x1, y1);
    dc.LineTo(x2, y2);
}

void TextColor(DC& dc, quint32 colour) {
    dc.SetTextColor(colour);
}

void DrawTextAt(DC& box, const QString& text, int x, int y) {
    const QSizeF s = box.TextSize(text);
    const Rect r{x, y, x + int(std::ceil(s.width())), y + int(std::ceil(s.height()))};
    box.DrawText(text, r, kLeftTop | kNoPrefix);
}

} // namespace modGDI
