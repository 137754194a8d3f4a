#include "controls/chameleonButton.h"

#include "controls/PropertyBag.h"
#include "core/modGDI.h"
#include "platform/Colors.h"
#include "platform/Desktop.h"
#include "platform/Input.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QShortcutEvent>
#include <algorithm>
#include <cmath>
#include <vector>

namespace {
// Style 3's fixed colours.
constexpr quint32 kOutline = 0x733C00;
constexpr quint32 kOutlineCorner = 0x7B4D10;
constexpr quint32 kMarkFrame = 0xE7AE8C;
constexpr quint32 kMarkLower = 0xEF826B;
constexpr quint32 kMarkTop = 0xFFE7CE;
constexpr quint32 kMarkSecond = 0xF7D7BD;
constexpr quint32 kMarkSides = 0xF0D1B5;
// Style 5's focus frame.
constexpr quint32 kStyle5Focus = 0xCC9999;

// Centred on one line, tabs expanded, "&" underlining the access key.
constexpr unsigned kCaptionFormat =
    modGDI::kCenter | modGDI::kVCenter | modGDI::kSingleLine | modGDI::kExpandTabs;

quint32 Plain(quint32 colour, qint32 amount) {
    return chameleonButton::ShiftColor(colour, amount, false);
}
quint32 Scaled(quint32 colour, qint32 amount) {
    return chameleonButton::ShiftColor(colour, amount, true);
}

// Nearest whole number, halves to even.
long RoundEven(float v) {
    return std::lrint(v);
}
} // namespace

chameleonButton::chameleonButton(QWidget* parent, qint32 buttonType)
    : QWidget(parent), buttonType_(buttonType) {
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true); // MouseMove is raised with no button held as well
    setAttribute(Qt::WA_OpaquePaintEvent);
    font_ = QWidget::font();
    backColor_ = Colors::SysColor(Colors::kBtnFace);
    foreColor_ = Colors::SysColor(Colors::kBtnText);
    SetColors();
}

chameleonButton* chameleonButton::LaidOut(QWidget* parent, const QString& caption) {
    auto* b = new chameleonButton(parent, kLaidOutButtonType);
    if (!caption.isEmpty()) b->SetCaption(caption);
    return b;
}

void chameleonButton::ForceRefresh() {
    Redraw(lastState_, true);
}

void chameleonButton::SetBackColor(quint32 colour) {
    backColor_ = colour & 0xFFFFFFu;
    SetColors();
    Redraw(lastState_, true);
    emit PropertyChanged(QStringLiteral("BCOL"));
}

void chameleonButton::SetForeColor(quint32 colour) {
    foreColor_ = colour & 0xFFFFFFu;
    SetColors();
    Redraw(lastState_, true);
    emit PropertyChanged(QStringLiteral("FCOL"));
}

void chameleonButton::SetButtonType(qint32 type) {
    buttonType_ = type;
    UserControl_Resize();
    Redraw(kUp, true);
    emit PropertyChanged(QStringLiteral("BTYPE"));
}

void chameleonButton::SetCaption(const QString& caption) {
    caption_ = caption;
    SetAccessKeys();
    Redraw(kUp, true);
    emit PropertyChanged(QStringLiteral("TX"));
}

void chameleonButton::SetEnabled(bool enabled) {
    enabled_ = enabled;
    Redraw(kUp, true);
    QWidget::setEnabled(enabled);
    emit PropertyChanged(QStringLiteral("ENAB"));
}

void chameleonButton::SetFont(const QFont& font) {
    font_ = font;
    QWidget::setFont(font);
    Redraw(kUp, true);
    emit PropertyChanged(QStringLiteral("FONT"));
}

void chameleonButton::SetColorScheme(qint32 scheme) {
    colorScheme_ = scheme;
    SetColors();
    Redraw(kUp, true);
    emit PropertyChanged(QStringLiteral("COLTYPE"));
}

void chameleonButton::SetShowFocusRect(bool show) {
    showFocusRect_ = show;
    Redraw(lastState_, true);
    emit PropertyChanged(QStringLiteral("FOCUSR"));
}

void chameleonButton::SetDisplayAsDefault(bool isDefault) {
    if (displayAsDefault_ == isDefault) return;
    displayAsDefault_ = isDefault;
    AmbientChanged();
}

void chameleonButton::AmbientChanged() {
    Redraw(lastState_, true);
}

void chameleonButton::ReadProperties(const PropertyBag& bag) {
    buttonType_ = bag.ReadProperty(QStringLiteral("BTYPE"), kDefaultButtonType).toInt();
    caption_ = bag.ReadProperty(QStringLiteral("TX"), QString()).toString();
    enabled_ = bag.ReadProperty(QStringLiteral("ENAB"), true).toBool();
    font_ = bag.ReadProperty(QStringLiteral("FONT"), QVariant::fromValue(QWidget::font())).value<QFont>();
    colorScheme_ = bag.ReadProperty(QStringLiteral("COLTYPE"), 1).toInt();
    showFocusRect_ = bag.ReadProperty(QStringLiteral("FOCUSR"), true).toBool();
    backColor_ =
        bag.ReadProperty(QStringLiteral("BCOL"), Colors::SysColor(Colors::kBtnFace)).toUInt() & 0xFFFFFFu;
    foreColor_ =
        bag.ReadProperty(QStringLiteral("FCOL"), Colors::SysColor(Colors::kBtnText)).toUInt() & 0xFFFFFFu;
    QWidget::setEnabled(enabled_);
    QWidget::setFont(font_);
    SetColors();
    SetAccessKeys();
    // Read into a button that already has its size, the shape must follow the style read.
    if (width_ > 0 && height_ > 0) setMask(MakeRegion());
    Redraw(kUp, true);
}

void chameleonButton::WriteProperties(PropertyBag& bag) const {
    bag.WriteProperty(QStringLiteral("BTYPE"), buttonType_);
    bag.WriteProperty(QStringLiteral("TX"), caption_);
    bag.WriteProperty(QStringLiteral("ENAB"), enabled_);
    bag.WriteProperty(QStringLiteral("FONT"), QVariant::fromValue(font_));
    bag.WriteProperty(QStringLiteral("COLTYPE"), colorScheme_);
    bag.WriteProperty(QStringLiteral("FOCUSR"), showFocusRect_);
    bag.WriteProperty(QStringLiteral("BCOL"), backColor_);
    bag.WriteProperty(QStringLiteral("FCOL"), foreColor_);
}

quint32 chameleonButton::ShiftColor(quint32 colour, qint32 amount, bool scaled) {
    qint32 red = qint32(colour & 0xFF);
    qint32 green = qint32((colour / 0x100) % 0x100);
    qint32 blue = qint32((colour / 0x10000) % 0x100);
    blue = scaled ? blue + (blue * amount) / 192 : blue + amount;
    green += amount;
    red += amount;
    red = std::clamp(red, 0, 255);
    green = std::clamp(green, 0, 255);
    blue = std::clamp(blue, 0, 255);
    return quint32(red) + quint32(green) * 0x100u + quint32(blue) * 0x10000u;
}

QRegion chameleonButton::MakeRegion() const {
    const int w = width_;
    const int h = height_;
    std::vector<QPoint> cut;
    switch (buttonType_) {
    case 1:
        cut = {{0, 0}, {w - 1, 0}, {0, h - 1}, {w - 1, h - 1}};
        break;
    case 3:
    case 4: // three pixels at each corner
        cut = {{0, 0},     {1, 0},     {0, 1},     {w - 1, 0},     {w - 2, 0},     {w - 1, 1},
               {0, h - 1}, {1, h - 1}, {0, h - 2}, {w - 1, h - 1}, {w - 2, h - 1}, {w - 1, h - 2}};
        break;
    case 5:
        cut = {{0, h - 1}, {w - 1, 0}};
        break;
    default:
        break;
    }
    QRegion r(0, 0, w, h);
    for (const QPoint& p : cut)
        r -= QRegion(p.x(), p.y(), 1, 1);
    return r;
}

// ---- access keys -------------------------------------------------------------------------

void chameleonButton::SetAccessKeys() {
    QString key;
    const QString& c = caption_;
    if (c.size() >= 2) {
        const qsizetype first = c.indexOf(u'&');
        if (first >= 0 && first < c.size() - 1) {
            if (c.at(first + 1) != u'&') {
                key = c.at(first + 1).toLower();
            } else {
                const qsizetype next = c.indexOf(u'&', first + 2);
                if (next >= 0 && next < c.size() - 1 && c.at(next + 1) != u'&')
                    key = c.at(next + 1).toLower();
            }
        }
    }
    accessKey_ = key;
    if (shortcutId_ != 0) {
        releaseShortcut(shortcutId_);
        shortcutId_ = 0;
    }
    if (!key.isEmpty()) {
        // Qt's key codes of printable characters are their upper-case code points.
        const int code = int(key.at(0).toUpper().unicode());
        shortcutId_ = grabShortcut(QKeySequence(QKeyCombination(Qt::AltModifier, Qt::Key(code))));
    }
}

// ---- input -------------------------------------------------------------------------------

bool chameleonButton::PressHandling(qint16 button, qint16 shift, float x, float y) {
    lastButton_ = button;
    if (button != 2) Redraw(kPressed, false);
    QPointer<chameleonButton> self(this);
    emit MouseDown(button, shift, x, y);
    return !self.isNull();
}

bool chameleonButton::ReleaseHandling(qint16 button, qint16 shift, float x, float y) {
    if (button != 2) Redraw(kUp, false);
    QPointer<chameleonButton> self(this);
    emit MouseUp(button, shift, x, y);
    return !self.isNull();
}

bool chameleonButton::ClickHandling() {
    if (lastButton_ != 1 || !enabled_) return true;
    Redraw(kUp, true);
    repaint();
    QPointer<chameleonButton> self(this);
    emit Click();
    return !self.isNull();
}

void chameleonButton::mousePressEvent(QMouseEvent* e) {
    const qint16 button = Input::MouseButton(e->button());
    if (button == 0) {
        e->ignore();
        return;
    }
    const QPointF p = e->position();
    PressHandling(button, Input::ShiftState(e->modifiers()), float(p.x()), float(p.y()));
}

void chameleonButton::mouseMoveEvent(QMouseEvent* e) {
    qint16 button = Input::MouseButtons(e->buttons());
    const QPointF p = e->position();
    float x = float(p.x());
    float y = float(p.y());
    if (button == 0 || button == 1) {
        if (x < 0 || y < 0 || x > float(width_) || y > float(height_))
            Redraw(kUp, false);
        else if (button == 1)
            Redraw(kPressed, false);
    }
    qint16 shift = Input::ShiftState(e->modifiers());
    emit MouseMove(button, shift, x, y);
}

void chameleonButton::mouseReleaseEvent(QMouseEvent* e) {
    const qint16 button = Input::MouseButton(e->button());
    if (button == 0) {
        e->ignore();
        return;
    }
    const QPointF p = e->position();
    // The mouse holds the button until the last of its buttons is up; the release of that
    // one over the button is the click, unless it ends a double click.
    const bool last = e->buttons() == Qt::NoButton;
    const bool endsDoubleClick = doubleClickHeld_ && last;
    if (last) doubleClickHeld_ = false;
    const bool inside = p.x() >= 0 && p.y() >= 0 && p.x() < width_ && p.y() < height_;
    if (!ReleaseHandling(button, Input::ShiftState(e->modifiers()), float(p.x()), float(p.y()))) return;
    if (last && inside && !endsDoubleClick) ClickHandling();
}

void chameleonButton::mouseDoubleClickEvent(QMouseEvent* e) {
    // Qt delivers the second press of a double click only as this event. A double click is
    // a left-button one; with another button it is an ordinary press.
    if (e->button() != Qt::LeftButton) {
        mousePressEvent(e);
        return;
    }
    doubleClickHeld_ = true;
    if (lastButton_ == 1 && !PressHandling(1, 1, 1, 1)) return;
    emit DblClick();
}

void chameleonButton::keyPressEvent(QKeyEvent* e) {
    qint16 code = Input::KeyCode(*e);
    qint16 shift = Input::ShiftState(e->modifiers());
    QPointer<chameleonButton> self(this);
    emit KeyDown(code, shift);
    if (!self) return;
    lastKey_ = code;
    bool handled = true;
    switch (code) {
    case Input::kKeySpace:
        spacePressKey_ = e->key();
        if (!PressHandling(1, 1, 1, 1)) return;
        break;
    case Input::kKeyRight:
    case Input::kKeyDown:
        focusNextPrevChild(true);
        break;
    case Input::kKeyLeft:
    case Input::kKeyUp:
        focusNextPrevChild(false);
        break;
    default:
        handled = false;
        break;
    }
    if (!self) return;
    qint16 ascii = Input::KeyAscii(*e);
    if (ascii != 0) {
        emit KeyPress(ascii);
        if (!self) return;
    }
    // Keys the button does not use go on to the window (Enter, Escape, shortcuts).
    if (!handled) QWidget::keyPressEvent(e);
}

void chameleonButton::keyReleaseEvent(QKeyEvent* e) {
    // A held key repeats its press only; its one release comes when it is let go.
    if (e->isAutoRepeat()) return;
    // Only the release of the key whose press ran the Space handling can click.
    const bool matchesPress = spacePressKey_ != 0 && e->key() == spacePressKey_;
    if (matchesPress) spacePressKey_ = 0;
    qint16 code = Input::KeyCode(*e);
    qint16 shift = Input::ShiftState(e->modifiers());
    QPointer<chameleonButton> self(this);
    emit KeyUp(code, shift);
    if (!self) return;
    if (lastKey_ == Input::kKeySpace && code == Input::kKeySpace && matchesPress) {
        if (!ReleaseHandling(1, 1, 1, 1)) return;
        lastButton_ = 1;
        ClickHandling();
        return;
    }
    QWidget::keyReleaseEvent(e);
}

void chameleonButton::focusInEvent(QFocusEvent* e) {
    hasFocus_ = true;
    Redraw(lastState_, true);
    QWidget::focusInEvent(e);
}

void chameleonButton::focusOutEvent(QFocusEvent* e) {
    hasFocus_ = false;
    spacePressKey_ = 0; // its release goes to another control
    Redraw(lastState_, true);
    QWidget::focusOutEvent(e);
}

bool chameleonButton::event(QEvent* e) {
    if (e->type() == QEvent::Shortcut) {
        auto* se = static_cast<QShortcutEvent*>(e);
        if (se->shortcutId() == shortcutId_ && shortcutId_ != 0) {
            // Several controls with the same key: the platform's rule, the key moves the focus.
            if (se->isAmbiguous())
                setFocus(Qt::ShortcutFocusReason);
            else
                ClickHandling();
            return true;
        }
    }
    return QWidget::event(e);
}

void chameleonButton::changeEvent(QEvent* e) {
    // Enabled or disabled through QWidget directly (not through a disabled parent): the
    // property follows, so the look always matches the input the button takes.
    if (e->type() == QEvent::EnabledChange) {
        const bool own = !testAttribute(Qt::WA_ForceDisabled);
        if (own != enabled_) {
            enabled_ = own;
            Redraw(kUp, true);
        }
    }
    QWidget::changeEvent(e);
}

void chameleonButton::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    UserControl_Resize();
}

void chameleonButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (surface_.isNull())
        p.fillRect(rect(), Colors::fromBgr(shades_.face));
    else
        p.drawImage(0, 0, surface_);
}

void chameleonButton::UserControl_Resize() {
    height_ = height();
    width_ = width();
    setMask(MakeRegion());
    Redraw(kUp, true);
}

// ---- drawing -----------------------------------------------------------------------------

void chameleonButton::SetColors() {
    Shades& s = shades_;
    if (colorScheme_ == 2) {
        s.face = backColor_;
        s.light = Plain(backColor_, 31);
        s.highlight = Plain(backColor_, 47);
        s.shadow = Plain(backColor_, -64);
        s.darkShadow = Plain(backColor_, -192);
        s.text = foreColor_;
    } else if (colorScheme_ == 3) {
        s = Shades{0xC0C0C0, 0xDFDFDF, 0xFFFFFF, 0x808080, 0x000000, 0x000000};
    } else {
        s.face = Colors::SysColor(Colors::kBtnFace);
        s.light = Colors::SysColor(Colors::kLight3D);
        s.highlight = Colors::SysColor(Colors::kBtnHighlight);
        s.shadow = Colors::SysColor(Colors::kBtnShadow);
        s.darkShadow = Colors::SysColor(Colors::kDkShadow3D);
        s.text = Colors::SysColor(Colors::kBtnText);
    }
}

void chameleonButton::Redraw(quint8 state, bool forced) {
    if (height_ <= 0 || width_ <= 0) return;
    if (!forced && caption_ == lastCaption_ && state == lastState_) return;
    lastState_ = state;
    lastCaption_ = caption_;
    const bool focus = hasFocus_ && showFocusRect_;

    if (surface_.size() != QSize(width_, height_)) {
        surface_ = QImage(width_, height_, QImage::Format_RGB32);
        // Text on the surface has the size it has on the screen.
        surface_.setDotsPerMeterX(qRound(logicalDpiX() / 0.0254));
        surface_.setDotsPerMeterY(qRound(logicalDpiY() / 0.0254));
    }
    {
        modGDI::DC dc(surface_);
        dc.SetFont(font_);
        dc.FillRect({0, 0, width_, height_}, shades_.face);
        if (enabled_) {
            dc.SetTextColor(shades_.text);
            if (state == kUp)
                DrawUp(dc, focus);
            else if (state == kPressed)
                DrawPressed(dc, focus);
        } else {
            DrawDisabled(dc);
        }
    }
    update();
}

void chameleonButton::DrawRect(modGDI::DC& dc, int x, int y, int w, int h, quint32 colour, bool frameOnly) {
    modGDI::DrawBox(dc, x, y, w, h, colour, frameOnly);
}

void chameleonButton::DrawLine(modGDI::DC& dc, int x1, int y1, int x2, int y2, quint32 colour) {
    dc.SetPenColor(colour);
    modGDI::DrawLine(dc, x1, y1, x2, y2);
}

void chameleonButton::DrawPixel(modGDI::DC& dc, int x, int y, quint32 colour) {
    dc.SetPixel(x, y, colour);
}

void chameleonButton::DrawFocus(modGDI::DC& dc) {
    modGDI::TextColor(dc, shades_.text);
    dc.DrawFocusRect({4, 4, width_ - 4, height_ - 4});
}

void chameleonButton::DrawCaption(modGDI::DC& dc, CaptionRect where) {
    const modGDI::Rect r = where == CaptionRect::Whole ? modGDI::Rect{0, 0, width_, height_}
                                                       : modGDI::Rect{2, 2, width_, height_};
    dc.DrawText(Desktop::FitText(QFontMetrics(dc.Font()), caption_, CaptionWidth(), Qt::TextShowMnemonic), r,
                kCaptionFormat);
}

void chameleonButton::DrawEngraved(modGDI::DC& dc) {
    modGDI::TextColor(dc, shades_.highlight);
    DrawCaption(dc, CaptionRect::Pressed);
    modGDI::TextColor(dc, shades_.shadow);
    DrawCaption(dc, CaptionRect::Whole);
}

void chameleonButton::DrawStyle1Lines(modGDI::DC& dc, quint32 frames, quint32 lines) {
    const int W = width_, H = height_;
    DrawLine(dc, 1, 0, W - 1, 0, shades_.darkShadow);
    DrawLine(dc, 1, H - 1, W - 1, H - 1, shades_.darkShadow);
    DrawLine(dc, 0, 1, 0, H - 1, shades_.darkShadow);
    DrawLine(dc, W - 1, 1, W - 1, H - 1, shades_.darkShadow);
    DrawRect(dc, 1, 1, W - 2, H - 2, frames, true);
    DrawRect(dc, 2, 2, W - 4, H - 4, frames, true);
    DrawLine(dc, W - 2, 1, W - 2, H - 1, lines);
    DrawLine(dc, W - 3, 2, W - 3, H - 1, lines);
    DrawLine(dc, 1, H - 2, W - 1, H - 2, lines);
    DrawLine(dc, 2, H - 3, W - 2, H - 3, lines);
}

void chameleonButton::DrawStyle2Plain(modGDI::DC& dc) {
    const int W = width_, H = height_;
    const Shades& s = shades_;
    DrawRect(dc, 0, 0, W - 1, H - 1, s.highlight, true);
    DrawRect(dc, 1, 1, W - 2, H - 2, s.light, true);
    DrawLine(dc, W - 1, 0, W - 1, H, s.darkShadow);
    DrawLine(dc, W - 2, 1, W - 2, H - 1, s.shadow);
    DrawLine(dc, 0, H - 1, W - 1, H - 1, s.darkShadow);
    DrawLine(dc, 1, H - 2, W - 2, H - 2, s.shadow);
}

void chameleonButton::DrawStyle3Outline(modGDI::DC& dc, quint32 outline, quint32 corners) {
    const int W = width_, H = height_;
    DrawLine(dc, 2, 0, W - 2, 0, outline);
    DrawLine(dc, 2, H - 1, W - 2, H - 1, outline);
    DrawLine(dc, 0, 2, 0, H - 2, outline);
    DrawLine(dc, W - 1, 2, W - 1, H - 2, outline);
    DrawPixel(dc, 1, 1, corners);
    DrawPixel(dc, 1, H - 2, corners);
    DrawPixel(dc, W - 2, 1, corners);
    DrawPixel(dc, W - 2, H - 2, corners);
}

// Style 4's outline and pixels, drawn after its caption.
void chameleonButton::DrawStyle4Up(modGDI::DC& dc) {
    const int W = width_, H = height_;
    const Shades& s = shades_;
    DrawLine(dc, 2, 0, W - 2, 0, s.darkShadow);
    DrawLine(dc, 2, H - 1, W - 2, H - 1, s.darkShadow);
    DrawLine(dc, 0, 2, 0, H - 2, s.darkShadow);
    DrawLine(dc, W - 1, 2, W - 1, H - 2, s.darkShadow);
    DrawPixel(dc, 1, 1, s.darkShadow);
    DrawPixel(dc, 1, H - 2, s.darkShadow);
    DrawPixel(dc, W - 2, 1, s.darkShadow);
    DrawPixel(dc, W - 2, H - 2, s.darkShadow);
    DrawPixel(dc, 1, 2, s.face);
    DrawPixel(dc, 2, 1, s.face);
    DrawLine(dc, 3, 2, W - 3, 2, s.highlight);
    DrawLine(dc, 2, 2, 2, H - 3, s.highlight);
    DrawPixel(dc, 3, 3, s.highlight);
    DrawLine(dc, W - 3, 1, W - 3, H - 3, s.face);
    DrawLine(dc, 1, H - 3, W - 3, H - 3, s.face);
    DrawPixel(dc, W - 4, H - 4, s.face);
    DrawLine(dc, W - 2, 3, W - 2, H - 2, s.shadow);
    DrawLine(dc, 3, H - 2, W - 2, H - 2, s.shadow);
    DrawPixel(dc, W - 3, H - 3, s.shadow);
    DrawPixel(dc, 2, H - 2, s.face);
    DrawPixel(dc, 2, H - 3, s.light);
    DrawPixel(dc, W - 2, 2, s.face);
    DrawPixel(dc, W - 3, 2, s.light);
}

void chameleonButton::DrawStyle5Focus(modGDI::DC& dc) {
    const QSizeF t = dc.TextSize(caption_);
    const float tw = float(t.width());
    const float th = float(t.height());
    DrawRect(dc, int(RoundEven(float(width_) - tw) / 2) - 3, int(RoundEven(float(height_) - th) / 2) - 1,
             int(RoundEven(tw + 6)), int(RoundEven(th + 2)), kStyle5Focus, true);
}

void chameleonButton::DrawStyle6Lines(modGDI::DC& dc, quint32 frames, quint32 lines) {
    const int W = width_, H = height_;
    DrawRect(dc, 0, 0, W, H, frames, true);
    DrawRect(dc, 1, 1, W - 2, H - 2, frames, true);
    DrawLine(dc, W - 1, 0, W - 1, H, lines);
    DrawLine(dc, W - 2, 1, W - 2, H - 1, lines);
    DrawLine(dc, 0, H - 1, W, H - 1, lines);
    DrawLine(dc, 1, H - 2, W - 1, H - 2, lines);
}

void chameleonButton::DrawUp(modGDI::DC& dc, bool focus) {
    const int W = width_, H = height_;
    const Shades& s = shades_;
    switch (buttonType_) {
    case 1:
        DrawCaption(dc, CaptionRect::Whole);
        DrawStyle1Lines(dc, s.highlight, s.shadow);
        if (focus) DrawFocus(dc);
        break;
    case 2:
        DrawCaption(dc, CaptionRect::Whole);
        if (displayAsDefault_ && showFocusRect_) {
            DrawRect(dc, 1, 1, W - 2, H - 2, s.highlight, true);
            DrawRect(dc, 2, 2, W - 4, H - 4, s.light, true);
            DrawLine(dc, W - 2, 1, W - 2, H - 1, s.darkShadow);
            DrawLine(dc, W - 3, 2, W - 3, H - 1, s.shadow);
            DrawLine(dc, 1, H - 2, W - 1, H - 2, s.darkShadow);
            DrawLine(dc, 2, H - 3, W - 2, H - 3, s.shadow);
            if (focus) DrawFocus(dc);
            DrawRect(dc, 0, 0, W, H, s.darkShadow, true);
        } else {
            DrawStyle2Plain(dc);
        }
        break;
    case 3: {
        const float step = 25.0f / float(H);
        const quint32 base = Scaled(s.face, 48);
        for (int i = 1; i <= H; ++i)
            DrawLine(dc, 0, i, W, i, Scaled(base, qint32(RoundEven(-step * float(i)))));
        modGDI::TextColor(dc, s.text);
        DrawCaption(dc, CaptionRect::Whole);
        DrawStyle3Outline(dc, kOutline, kOutlineCorner);
        if ((displayAsDefault_ && showFocusRect_) || focus) {
            DrawRect(dc, 1, 2, W - 2, H - 4, kMarkFrame, true);
            DrawLine(dc, 2, H - 2, W - 2, H - 2, kMarkLower);
            DrawLine(dc, 2, 1, W - 2, 1, kMarkTop);
            DrawLine(dc, 1, 2, W - 1, 2, kMarkSecond);
            DrawLine(dc, 2, 3, 2, H - 3, kMarkSides);
            DrawLine(dc, W - 3, 3, W - 3, H - 3, kMarkSides);
        } else {
            DrawLine(dc, 2, H - 2, W - 2, H - 2, Scaled(base, -48));
            DrawLine(dc, 1, H - 3, W - 2, H - 3, Scaled(base, -32));
            DrawLine(dc, W - 2, 2, W - 2, H - 2, Scaled(base, -36));
            DrawLine(dc, W - 3, 3, W - 3, H - 3, Scaled(base, -24));
            DrawLine(dc, 2, 1, W - 2, 1, Scaled(base, 16));
            DrawLine(dc, 1, 2, W - 2, 2, Scaled(base, 10));
            DrawLine(dc, 1, 2, 1, H - 2, Scaled(base, -5));
            DrawLine(dc, 2, 3, 2, H - 3, Scaled(base, -10));
        }
        break;
    }
    case 4:
        DrawRect(dc, 1, 1, W - 2, H - 2, s.light, false);
        DrawCaption(dc, CaptionRect::Whole);
        DrawStyle4Up(dc);
        break;
    case 5:
        DrawRect(dc, 1, 1, W - 1, H - 1, Plain(s.face, 12), false);
        DrawCaption(dc, CaptionRect::Whole);
        DrawRect(dc, 1, 1, W - 1, H - 1, s.highlight, true);
        DrawRect(dc, 0, 0, W - 1, H - 1, Plain(s.shadow, -26), true);
        DrawPixel(dc, 1, H - 2, Plain(s.shadow, 26));
        DrawPixel(dc, W - 2, 1, Plain(s.shadow, 26));
        if (focus) DrawStyle5Focus(dc);
        break;
    case 6:
        DrawCaption(dc, CaptionRect::Whole);
        DrawStyle6Lines(dc, Plain(s.light, 8), s.shadow);
        if (focus) DrawFocus(dc);
        break;
    case 7:
        DrawCaption(dc, CaptionRect::Whole);
        DrawRect(dc, 0, 0, W, H, s.highlight, true);
        DrawLine(dc, W - 1, 0, W - 1, H, s.shadow);
        DrawLine(dc, 0, H - 1, W, H - 1, s.shadow);
        if (focus) DrawFocus(dc);
        break;
    default:
        break;
    }
}

void chameleonButton::DrawPressed(modGDI::DC& dc, bool focus) {
    const int W = width_, H = height_;
    const Shades& s = shades_;
    switch (buttonType_) {
    case 1:
        DrawCaption(dc, CaptionRect::Pressed);
        DrawStyle1Lines(dc, s.shadow, s.highlight);
        if (focus) DrawFocus(dc);
        break;
    case 2:
        DrawCaption(dc, CaptionRect::Pressed);
        if (showFocusRect_) {
            DrawRect(dc, 0, 0, W, H, s.darkShadow, true);
            DrawRect(dc, 1, 1, W - 2, H - 2, s.shadow, true);
            if (focus) DrawFocus(dc);
        } else {
            DrawRect(dc, 0, 0, W - 1, H - 1, s.darkShadow, true);
            DrawRect(dc, 1, 1, W - 2, H - 2, s.shadow, true);
            DrawLine(dc, W - 1, 0, W - 1, H, s.highlight);
            DrawLine(dc, W - 2, 1, W - 2, H - 1, s.light);
            DrawLine(dc, 0, H - 1, W - 1, H - 1, s.highlight);
            DrawLine(dc, 1, H - 2, W - 2, H - 2, s.light);
        }
        break;
    case 3: {
        const float step = 15.0f / float(H);
        const quint32 base = Scaled(Scaled(s.face, 48), -32);
        for (int i = 1; i <= H; ++i)
            DrawLine(dc, 0, H - i, W, H - i, Scaled(base, qint32(RoundEven(-step * float(i)))));
        modGDI::TextColor(dc, s.text);
        DrawCaption(dc, CaptionRect::Pressed);
        DrawStyle3Outline(dc, kOutline, kOutlineCorner);
        DrawLine(dc, 2, H - 2, W - 2, H - 2, Scaled(base, 16));
        DrawLine(dc, 1, H - 3, W - 2, H - 3, Scaled(base, 10));
        DrawLine(dc, W - 2, 2, W - 2, H - 2, Scaled(base, 5));
        DrawLine(dc, W - 3, 3, W - 3, H - 3, base);
        DrawLine(dc, 2, 1, W - 2, 1, Scaled(base, -32));
        DrawLine(dc, 1, 2, W - 2, 2, Scaled(base, -24));
        DrawLine(dc, 1, 2, 1, H - 2, Scaled(base, -32));
        DrawLine(dc, 2, 2, 2, H - 2, Scaled(base, -22));
        break;
    }
    case 4: {
        const quint32 sh = s.shadow;
        DrawRect(dc, 1, 1, W - 2, H - 2, Plain(sh, -16), false);
        modGDI::TextColor(dc, s.light);
        DrawCaption(dc, CaptionRect::Pressed);
        DrawLine(dc, 2, 0, W - 2, 0, s.darkShadow);
        DrawLine(dc, 2, H - 1, W - 2, H - 1, s.darkShadow);
        DrawLine(dc, 0, 2, 0, H - 2, s.darkShadow);
        DrawLine(dc, W - 1, 2, W - 1, H - 2, s.darkShadow);
        DrawRect(dc, 1, 1, W - 2, H - 2, Plain(sh, -64), true);
        DrawRect(dc, 2, 2, W - 4, H - 4, Plain(sh, -32), true);
        DrawPixel(dc, 2, 2, Plain(sh, -64));
        DrawPixel(dc, 3, 3, Plain(sh, -32));
        DrawPixel(dc, 1, 1, s.darkShadow);
        DrawPixel(dc, 1, H - 2, s.darkShadow);
        DrawPixel(dc, W - 2, 1, s.darkShadow);
        DrawPixel(dc, W - 2, H - 2, s.darkShadow);
        DrawLine(dc, W - 3, 1, W - 3, H - 3, sh);
        DrawLine(dc, 1, H - 3, W - 2, H - 3, sh);
        DrawPixel(dc, W - 4, H - 4, sh);
        DrawLine(dc, W - 2, 3, W - 2, H - 2, Plain(sh, -16));
        DrawLine(dc, 3, H - 2, W - 2, H - 2, Plain(sh, -16));
        DrawPixel(dc, W - 2, H - 3, Plain(sh, -32));
        DrawPixel(dc, W - 3, H - 2, Plain(sh, -32));
        DrawPixel(dc, 2, H - 2, Plain(sh, -32));
        DrawPixel(dc, 2, H - 3, Plain(sh, -16));
        DrawPixel(dc, 1, H - 3, Plain(sh, -16));
        DrawPixel(dc, W - 2, 2, Plain(sh, -32));
        DrawPixel(dc, W - 3, 2, Plain(sh, -16));
        DrawPixel(dc, W - 3, 1, Plain(sh, -16));
        break;
    }
    case 5:
        DrawRect(dc, 1, 1, W - 2, H - 2, Plain(s.shadow, 16), false);
        DrawRect(dc, 0, 0, W - 1, H - 1, Plain(s.shadow, -26), true);
        DrawLine(dc, W - 1, 1, W - 1, H, s.highlight);
        DrawLine(dc, 1, H - 1, W - 1, H - 1, s.highlight);
        DrawCaption(dc, CaptionRect::Whole);
        if (focus) DrawStyle5Focus(dc);
        break;
    case 6:
        DrawCaption(dc, CaptionRect::Pressed);
        DrawStyle6Lines(dc, s.shadow, Plain(s.light, 8));
        if (focus) DrawFocus(dc);
        break;
    case 7:
        DrawCaption(dc, CaptionRect::Pressed);
        DrawRect(dc, 0, 0, W, H, s.shadow, true);
        DrawLine(dc, W - 1, 0, W - 1, H, s.highlight);
        DrawLine(dc, 0, H - 1, W - 1, H - 1, s.highlight);
        if (focus) DrawFocus(dc);
        break;
    default:
        break;
    }
}

void chameleonButton::DrawDisabled(modGDI::DC& dc) {
    const int W = width_, H = height_;
    const Shades& s = shades_;
    switch (buttonType_) {
    case 1:
        DrawEngraved(dc);
        DrawStyle1Lines(dc, s.highlight, s.shadow);
        break;
    case 2:
        DrawEngraved(dc);
        DrawStyle2Plain(dc);
        break;
    case 3: {
        const quint32 base = Scaled(s.face, 48);
        DrawRect(dc, 0, 0, W, H, Scaled(base, -24), false);
        modGDI::TextColor(dc, Scaled(base, -104));
        DrawCaption(dc, CaptionRect::Whole);
        DrawStyle3Outline(dc, Scaled(base, -84), Scaled(base, -72));
        break;
    }
    case 4:
        DrawRect(dc, 1, 1, W - 2, H - 2, s.light, false);
        DrawEngraved(dc);
        DrawStyle4Up(dc);
        break;
    case 5:
        modGDI::TextColor(dc, s.shadow);
        DrawCaption(dc, CaptionRect::Whole);
        DrawRect(dc, 0, 0, W, H, s.shadow, true);
        break;
    case 6:
        modGDI::TextColor(dc, s.shadow);
        DrawCaption(dc, CaptionRect::Whole);
        DrawStyle6Lines(dc, Plain(s.light, 8), s.shadow);
        break;
    case 7:
        DrawEngraved(dc);
        DrawRect(dc, 0, 0, W, H, s.highlight, true);
        DrawLine(dc, W - 1, 0, W - 1, H, s.shadow);
        DrawLine(dc, 0, H - 1, W - 1, H - 1, s.shadow);
        break;
    default:
        break;
    }
}
