#pragma once
// The push button of every window: draws itself in one of seven styles and three colour
// schemes, keeps its own up/pressed state from mouse and keyboard, and raises the events
// of a command button. Event arguments are references: a handler may change them (a
// KeyDown handler that sets KeyCode to 0 cancels the key). Any handler may close or delete
// the window that holds the button; the button touches nothing of itself afterwards.
// Connect to the events directly (the default within one thread): a queued connection
// cannot carry references.
#include <QFont>
#include <QImage>
#include <QRegion>
#include <QString>
#include <QWidget>

class PropertyBag;
namespace modGDI {
class DC;
}

class chameleonButton : public QWidget {
    Q_OBJECT
  public:
    static constexpr qint32 kDefaultButtonType = 2;
    // The style every window of the messenger lays its buttons out with.
    static constexpr qint32 kLaidOutButtonType = 3;

    // A new button with the defaults: style 2, system colours, empty caption.
    explicit chameleonButton(QWidget* parent = nullptr, qint32 buttonType = kDefaultButtonType);
    // A button as the windows lay them out (style 3).
    static chameleonButton* LaidOut(QWidget* parent, const QString& caption = QString());

    // The access key, one lower-case character, or "".
    QString GetAccessKey() const { return accessKey_; }
    // Redraws the button as it was last drawn.
    void ForceRefresh();

    quint32 BackColor() const { return backColor_; }
    void SetBackColor(quint32 colour);
    quint32 ForeColor() const { return foreColor_; }
    void SetForeColor(quint32 colour);
    qint32 ButtonType() const { return buttonType_; }
    void SetButtonType(qint32 type);
    QString Caption() const { return caption_; }
    void SetCaption(const QString& caption);
    // The width in which the caption is drawn whole, inside the frame; a longer caption ends
    // in an ellipsis.
    int CaptionWidth() const { return qMax(0, width() - 2 * kCaptionInset); }
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    QFont Font() const { return font_; }
    void SetFont(const QFont& font);
    qint32 ColorScheme() const { return colorScheme_; }
    void SetColorScheme(qint32 scheme);
    bool ShowFocusRect() const { return showFocusRect_; }
    void SetShowFocusRect(bool show);
    QWidget* hwnd() { return this; }

    // What the container tells the button: whether it is the window's default button now.
    bool DisplayAsDefault() const { return displayAsDefault_; }
    void SetDisplayAsDefault(bool isDefault);
    // The container's ambient properties changed.
    void AmbientChanged();

    // The window design: read at load (defaults for absent keys), written whole on save.
    void ReadProperties(const PropertyBag& bag);
    void WriteProperties(PropertyBag& bag) const;

    // A shade of `colour`: each channel moved by `amount` and clamped to 0..255; with
    // `scaled` the blue channel moves by blue * amount / 192 instead.
    static quint32 ShiftColor(quint32 colour, qint32 amount, bool scaled);
    // The window shape of the current style at the current size.
    QRegion MakeRegion() const;

  signals:
    void Click();
    void DblClick();
    void MouseDown(qint16& Button, qint16& Shift, float& X, float& Y);
    void MouseMove(qint16& Button, qint16& Shift, float& X, float& Y);
    void MouseUp(qint16& Button, qint16& Shift, float& X, float& Y);
    void KeyPress(qint16& KeyAscii);
    void KeyDown(qint16& KeyCode, qint16& Shift);
    void KeyUp(qint16& KeyCode, qint16& Shift);
    // A property was set; `key` is its key in the window design.
    void PropertyChanged(const QString& key);

  protected:
    bool event(QEvent* e) override;
    void changeEvent(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

  private:
    static constexpr int kCaptionInset = 2; // the frame's lines on either side
    static constexpr quint8 kUp = 0;
    static constexpr quint8 kPressed = 2;

    struct Shades {
        quint32 face = 0, light = 0, highlight = 0, shadow = 0, darkShadow = 0, text = 0;
    };
    enum class CaptionRect { Whole, Pressed };

    // Each returns false when a handler has deleted the button.
    bool PressHandling(qint16 button, qint16 shift, float x, float y);
    bool ReleaseHandling(qint16 button, qint16 shift, float x, float y);
    bool ClickHandling();

    void UserControl_Resize();
    void SetAccessKeys();
    void SetColors();
    void Redraw(quint8 state, bool forced);

    void DrawUp(modGDI::DC& dc, bool focus);
    void DrawPressed(modGDI::DC& dc, bool focus);
    void DrawDisabled(modGDI::DC& dc);
    void DrawStyle1Lines(modGDI::DC& dc, quint32 frames, quint32 lines);
    void DrawStyle2Plain(modGDI::DC& dc);
    void DrawStyle3Outline(modGDI::DC& dc, quint32 outline, quint32 corners);
    void DrawStyle4Up(modGDI::DC& dc);
    void DrawStyle5Focus(modGDI::DC& dc);
    void DrawStyle6Lines(modGDI::DC& dc, quint32 frames, quint32 lines);

    void DrawRect(modGDI::DC& dc, int x, int y, int w, int h, quint32 colour, bool frameOnly);
    void DrawLine(modGDI::DC& dc, int x1, int y1, int x2, int y2, quint32 colour);
    void DrawPixel(modGDI::DC& dc, int x, int y, quint32 colour);
    void DrawFocus(modGDI::DC& dc);
    void DrawCaption(modGDI::DC& dc, CaptionRect where);
    void DrawEngraved(modGDI::DC& dc);

    // Persistent properties.
    qint32 buttonType_ = kDefaultButtonType;
    qint32 colorScheme_ = 1;
    quint32 backColor_ = 0;
    quint32 foreColor_ = 0;
    QString caption_;
    bool enabled_ = true;
    QFont font_;
    bool showFocusRect_ = true;

    // Run-time state.
    Shades shades_;
    bool hasFocus_ = false;
    bool displayAsDefault_ = false;
    qint16 lastButton_ = 1;
    qint16 lastKey_ = 0;
    quint8 lastState_ = kUp;
    QString lastCaption_;
    int width_ = 0;
    int height_ = 0;
    QString accessKey_;
    int shortcutId_ = 0;
    int spacePressKey_ = 0;        // the key whose press ran the Space handling, until released
    bool doubleClickHeld_ = false; // the held button came down as the second of a double click
    QImage surface_;
};
