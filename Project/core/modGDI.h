#pragma once
// Drawing boxes, lines, pixels and text on an image, with the rules the owner-drawn list and
// push button count pixels by:
//   - a fill covers left..right-1 and top..bottom-1; a frame is the one-pixel border inside
//     that rectangle; an empty or reversed rectangle draws nothing;
//   - a line paints its start point and not its end point, in any direction;
//   - the pen colour (lines) and the text colour (text, focus mark) are separate state;
//   - colours are 0x00BBGGRR values.
// Text reaches the painter as it is, in any script. Where the symbol font is asked for and
// missing, its check mark and triangles come from another font.
#include <QFont>
#include <QPoint>
#include <QSize>
#include <QString>

class QImage;
class QPainter;

namespace modGDI {

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// Text formats; combine with |. Without kSingleLine the text breaks at its line ends.
enum TextFormat : unsigned {
    kLeftTop = 0x0,
    kCenter = 0x1,
    kVCenter = 0x4, // with kSingleLine only
    kSingleLine = 0x20,
    kExpandTabs = 0x40,
    kNoPrefix = 0x800, // without it "&" underlines the next character and "&&" shows one "&"
};

// The symbol font whose "a" is a check mark and whose "t" and "u" are triangles.
inline constexpr char kSymbolFont[] = "Marlett";

// A device context on an image: current font, pen colour, text colour and position.
class DC {
  public:
    explicit DC(QImage& target);
    ~DC();
    DC(const DC&) = delete;
    DC& operator=(const DC&) = delete;

    void SetFont(const QFont& font) { font_ = font; }
    const QFont& Font() const { return font_; }
    void SetTextColor(quint32 colour) { text_ = colour & 0xFFFFFFu; }
    quint32 TextColor() const { return text_; }
    void SetPenColor(quint32 colour) { pen_ = colour & 0xFFFFFFu; }
    quint32 PenColor() const { return pen_; }
    QPoint Position() const { return pos_; }

    void FillRect(const Rect& r, quint32 colour);
    void FrameRect(const Rect& r, quint32 colour);
    void MoveTo(int x, int y) { pos_ = QPoint(x, y); }
    // From the current position to (x, y) in the pen colour; the position moves to (x, y).
    void LineTo(int x, int y);
    void SetPixel(int x, int y, quint32 colour);
    // Clipped to the rectangle, on a transparent background, in the text colour.
    void DrawText(const QString& text, const Rect& r, unsigned format);
    // A dotted frame inside the rectangle, every other pixel inverted: drawing it twice removes it.
    void DrawFocusRect(const Rect& r);
    // Width and height of the text as written (an "&" counts), one line per line end.
    QSizeF TextSize(const QString& text) const;

  private:
    QImage& image_;
    QPainter* painter_;
    QFont font_;
    quint32 text_ = 0;
    quint32 pen_ = 0;
    QPoint pos_;
};

// The box (x, y)-(x + width, y + height) filled, or only its border when `frame` is true.
void DrawBox(DC& dc, int x, int y, int width, int height, quint32 colour, bool frame);
// In the DC's pen colour, without the end point.
void DrawLine(DC& dc, int x1, int y1, int x2, int y2);
void TextColor(DC& dc, quint32 colour);
// One line of text with its top left at (x, y), exactly as written: an "&" stays an "&".
void DrawTextAt(DC& box, const QString& text, int x, int y);

} // namespace modGDI
