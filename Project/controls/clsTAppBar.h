#pragma once
// A desktop toolbar: turns one top-level window into a bar docked to a screen edge, which
// reserves its strip of the work area, or floating as an ordinary window. It can auto-hide
// (slide away to a thin strip and come back when the pointer touches it), slides when it
// changes place, stays on top unless a full-screen application runs, is dragged from edge to
// edge and snaps its size to steps. The window's events reach it through modAppBar.
//
// The logic sees the desktop only through the shell service (platform/AppBarShell.h), the
// bound window (AppBarWindow) and the desktop's metrics, pointer, keys and clock
// (AppBarDesktop), so it runs the same on a fake desktop. Pixels throughout, origin at the
// primary screen's top-left; rectangles have exclusive right and bottom.
#include "platform/AppBarShell.h"

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <memory>

class QTimer;
class QWidget;

// The window as the bar moves and styles it.
class AppBarWindow {
  public:
    enum class ZOrder { TopMost, Bottom, NoTopMost };
    virtual ~AppBarWindow() = default;
    // The window that the shell knows the bar by.
    virtual QWidget* Handle() const = 0;
    // The outer (frame) rectangle, and the client area, in screen pixels.
    virtual AppBarShell::Rect WindowRect() const = 0;
    virtual AppBarShell::Rect ClientRect() const = 0;
    virtual void SetWindowRect(const AppBarShell::Rect& r) = 0;
    // The size limits of the outer rectangle; what the window manager enforces.
    virtual void SetSizeLimits(int minWidth, int minHeight, int maxWidth, int maxHeight) = 0;
    virtual void SetZOrder(ZOrder z) = 0;
    // Title bar and system menu (a floating bar), or none (a docked bar).
    virtual void SetCaption(bool on) = 0;
    // Whether the taskbar lists the window; false when it did so already.
    virtual bool SetTaskbarButton(bool on) = 0;
    virtual bool IsActive() const = 0;
    virtual bool IsVisible() const = 0;
    virtual QString Caption() const = 0;
};

// The desktop around the bar.
class AppBarDesktop {
  public:
    struct Metrics {
        qint32 cxScreen = 0, cyScreen = 0; // the primary screen's size
        AppBarShell::Rect workArea;        // the primary screen's work area
        qint32 cxBorder = 1, cyBorder = 1;
        qint32 cxDoubleClk = 4, cyDoubleClk = 4;
        qint32 cxVScroll = 17, cyHScroll = 17;
        bool dragFullWindows = true;
    };
    virtual ~AppBarDesktop() = default;
    virtual Metrics GetMetrics() const = 0;
    // The pointer in screen pixels (signed: screens left of or above the primary are negative).
    virtual QPoint Pointer() const = 0;
    virtual bool CtrlDown() const = 0;
    // The primary mouse button (the right one when the buttons are swapped).
    virtual bool PrimaryButtonDown() const = 0;
    // A monotonic clock, milliseconds.
    virtual qint64 Now() const = 0;
    // An information box titled `title`.
    virtual void ShowInfo(const QString& title, const QString& text) = 0;
};

class clsTAppBar : public QObject {
    Q_OBJECT
  public:
    static constexpr quint32 kCallbackMessage = 1124;
    static constexpr int kRecordSize = 90;
    // Timer 100 never runs faster than this, whatever the slide time.
    static constexpr int kMinTimerMs = 10;
    static constexpr int kSlideStepMs = 10;

    // AllowedEdges bits (note: not in edge-code order).
    static constexpr qint32 kAllowLeft = 1, kAllowRight = 2, kAllowTop = 4, kAllowBottom = 8,
                            kAllowFloat = 16;
    // TaskBarButton modes.
    static constexpr qint32 kButtonAlways = 0, kButtonNever = 1, kButtonFloating = 2;
    // Hit-test codes.
    enum Hit : int {
        HTCLIENT = 1,
        HTCAPTION = 2,
        HTLEFT = 10,
        HTRIGHT = 11,
        HTTOP = 12,
        HTTOPLEFT = 13,
        HTTOPRIGHT = 14,
        HTBOTTOM = 15,
        HTBOTTOMLEFT = 16,
        HTBOTTOMRIGHT = 17,
        HTBORDER = 18,
    };
    // The side being dragged in a size operation.
    enum Side : int {
        WMSZ_LEFT = 1,
        WMSZ_RIGHT,
        WMSZ_TOP,
        WMSZ_TOPLEFT,
        WMSZ_TOPRIGHT,
        WMSZ_BOTTOM,
        WMSZ_BOTTOMLEFT,
        WMSZ_BOTTOMRIGHT
    };

    // The settings block; its first 90 bytes are the registry record.
    struct Settings {
        qint32 RecordSize = kRecordSize;
        qint32 Edge = AppBarShell::kFloat;
        qint32 AllowedEdges = 31;
        qint16 AutoHide = 0;
        qint16 AlwaysOnTop = -1;
        qint16 SlideEffect = -1;
        qint32 SlideTime = 400;
        qint32 HorzSizeInc = 1, VertSizeInc = 1;
        qint32 DockedWidth = 32, DockedHeight = 32;
        qint32 FloatLeft = 0, FloatTop = 0, FloatRight = 0, FloatBottom = 0;
        qint32 FloatMinWidth = 0, FloatMinHeight = 0, FloatMaxWidth = 0, FloatMaxHeight = 0;
        qint32 DockedMinWidth = 0, DockedMinHeight = 0, DockedMaxWidth = 0, DockedMaxHeight = 0;
        qint32 TaskBarButton = kButtonFloating;
    };
    struct MinMax {
        qint32 minWidth = 0, minHeight = 0, maxWidth = 0, maxHeight = 0;
    };

    // The defaults, with the screen size of this moment. `desktop` nullptr: the real desktop.
    explicit clsTAppBar(std::shared_ptr<AppBarDesktop> desktop = nullptr, QObject* parent = nullptr);
    ~clsTAppBar() override;

    // Binds the window, hooks its events (modAppBar) and docks it at the stored edge.
    void Extends(QWidget* form);
    // The same over a window of the caller's (no hook: the caller feeds the events).
    void Extends(AppBarWindow* window);
    // Gives the strip back to the desktop and unhooks the window.
    void Detach();
    // Re-applies the stored edge: place, auto-hide, z-order and styles.
    void UpdateBar();
    // The registry record under RegKey; false when there is none of exactly 90 bytes.
    bool LoadSettings();
    bool SaveSettings() const;
    QByteArray Record() const;
    // False (nothing changed) unless `bytes` is a whole record.
    bool SetRecord(const QByteArray& bytes);

    qint32 AllowedEdges() const { return s_.AllowedEdges; }
    void SetAllowedEdges(qint32 v) { s_.AllowedEdges = v; }
    qint32 HorzSizeInc() const { return s_.HorzSizeInc; }
    void SetHorzSizeInc(qint32 v) { s_.HorzSizeInc = v; }
    qint32 VertSizeInc() const { return s_.VertSizeInc; }
    void SetVertSizeInc(qint32 v) { s_.VertSizeInc = v; }
    // The drag edge during a move or size operation, else the stored edge.
    qint32 Edge() const;
    void SetEdge(qint32 e);
    bool AutoHide() const { return s_.AutoHide != 0; }
    void SetAutoHide(bool v) { s_.AutoHide = v ? -1 : 0; }
    bool AlwaysOnTop() const { return s_.AlwaysOnTop != 0; }
    void SetAlwaysOnTop(bool v) { s_.AlwaysOnTop = v ? -1 : 0; }
    bool SlideEffect() const { return s_.SlideEffect != 0; }
    void SetSlideEffect(bool v) { s_.SlideEffect = v ? -1 : 0; }
    qint32 SlideTime() const { return s_.SlideTime; }
    void SetSlideTime(qint32 ms);
    qint32 DockedHeight() const { return s_.DockedHeight; }
    void SetDockedHeight(qint32 v) { s_.DockedHeight = v; }
    qint32 DockedWidth() const { return s_.DockedWidth; }
    void SetDockedWidth(qint32 v) { s_.DockedWidth = v; }
    AppBarShell::Rect FloatRect() const { return {s_.FloatLeft, s_.FloatTop, s_.FloatRight, s_.FloatBottom}; }
    void SetFloatRect(const AppBarShell::Rect& r);
    qint32 FloatMinWidth() const { return s_.FloatMinWidth; }
    void SetFloatMinWidth(qint32 v) { s_.FloatMinWidth = v; }
    qint32 FloatMinHeight() const { return s_.FloatMinHeight; }
    void SetFloatMinHeight(qint32 v) { s_.FloatMinHeight = v; }
    qint32 FloatMaxWidth() const { return s_.FloatMaxWidth; }
    void SetFloatMaxWidth(qint32 v) { s_.FloatMaxWidth = v; }
    qint32 FloatMaxHeight() const { return s_.FloatMaxHeight; }
    void SetFloatMaxHeight(qint32 v) { s_.FloatMaxHeight = v; }
    qint32 DockedMinHeight() const { return s_.DockedMinHeight; }
    void SetDockedMinHeight(qint32 v) { s_.DockedMinHeight = v; }
    qint32 DockedMaxHeight() const { return s_.DockedMaxHeight; }
    void SetDockedMaxHeight(qint32 v) { s_.DockedMaxHeight = v; }
    qint32 DockedMinWidth() const { return s_.DockedMinWidth; }
    void SetDockedMinWidth(qint32 v) { s_.DockedMinWidth = v; }
    qint32 DockedMaxWidth() const { return s_.DockedMaxWidth; }
    void SetDockedMaxWidth(qint32 v) { s_.DockedMaxWidth = v; }
    qint32 TaskBarButton() const { return s_.TaskBarButton; }
    void SetTaskBarButton(qint32 v) { s_.TaskBarButton = v; }
    quint32 RegRoot() const { return regRoot_; }
    void SetRegRoot(quint32 v) { regRoot_ = v; }
    QString RegKey() const { return regKey_; }
    void SetRegKey(const QString& v) { regKey_ = v; }

    const Settings& Block() const { return s_; }
    bool Shown() const { return shown_; }
    bool FullScreen() const { return fullScreen_; }
    bool Extended() const { return window_ != nullptr; }
    bool Sliding() const { return sliding_; }

    // A full-screen application opened (true) or closed.
    void OnFullScreenApp(bool open);

    // --- the window's events, as modAppBar hands them over ---
    void OnAppBarNotify(int code, qintptr param);
    void OnPosChanged();
    void OnWindowPosChanged();
    // Activation code 0: deactivated.
    void OnActivate(int code);
    void OnTimer();
    void OnNcMouseMove();
    // `c` is the window's own hit code for the point; returns the code to use.
    int OnNcHitTest(int c, QPoint point) const;
    void OnEnterSizeMove();
    AppBarShell::Rect OnMoving(const AppBarShell::Rect& proposed);
    void OnExitSizeMove();
    AppBarShell::Rect OnSizing(int side, const AppBarShell::Rect& proposed) const;
    MinMax OnGetMinMaxInfo() const;
    // The bar's own drag puts the window here, within its limits; a slide stops.
    void DragTo(const AppBarShell::Rect& r);
    // A slide step (the slide timer calls it).
    void OnSlideTick();

    // The edge a drop at `pt` chooses (Ctrl floats), and the rule behind it.
    qint32 GetEdgeFromPoint(QPoint pt) const;
    qint32 EdgeFromPoint(qint32 allowed, QPoint pt) const;
    AppBarShell::Rect GetProposedRect(qint32 edge) const;
    // Moves `r` to the shown or hidden place of an auto-hide bar; false when there is nothing to do.
    bool GetAutoHideRect(bool show, AppBarShell::Rect& r) const;
    void ShowAutoHideBar(bool show);
    // The registry path nothing else uses.
    static QString DefaultRegKey();

  private:
    qintptr AppBarMessage(AppBarShell::Message msg, qint32 edge, qintptr lParam, AppBarShell::Rect* rc) const;
    qint32 GetAutoHideEdge() const;
    void SlideWindow(const AppBarShell::Rect& target);
    void MoveWindow(const AppBarShell::Rect& r);
    void SetCaptionStyle(bool onlyUnderFullDrag, qint32 e);
    void ShowAutoHideError();
    void Init();
    void Shutdown();
    void applySizeLimits();
    MinMax limitsFor(qint32 edge) const;
    AppBarShell::Rect clamped(const AppBarShell::Rect& r, qint32 edge) const;
    AppBarShell::Rect windowRect() const;
    void cancelSlide();
    void startTimer100();
    AppBarDesktop::Metrics metrics() const { return desktop_->GetMetrics(); }

    std::shared_ptr<AppBarDesktop> desktop_;
    std::unique_ptr<AppBarWindow> ownWindow_;
    AppBarWindow* window_ = nullptr;
    Settings s_;
    qint32 dragEdge_ = AppBarShell::kNone;
    bool fullScreen_ = false;
    bool shown_ = false;
    quint32 regRoot_;
    QString regKey_;
    QTimer* timer100_ = nullptr;
    QTimer* slideTimer_ = nullptr;
    bool sliding_ = false;
    AppBarShell::Rect slideStart_, slideTarget_;
    qint64 slideT0_ = 0;
    qint32 slideTime_ = 0;
};
