#pragma once
// Window places and sizes in outer (frame) terms, as settings and layouts give them. Qt sizes
// the client area; the frame is known only once a window manager has framed the shown window,
// which may come a little after the show. Until then a requested outer rectangle is applied
// with the frame as known and kept, and applied again when the frame appears (for at most
// kFrameWaitMs after the show; without a window manager no frame ever comes). A window that is
// maximised (or full screen, or minimised) keeps the rectangle for when it is normal again:
// moving it would take it out of that state.
#include <QMargins>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <functional>

class QWidget;
class QWindow;

class OuterGeometry : public QObject {
    Q_OBJECT
  public:
    static constexpr int kFrameWaitMs = 2000;

    // Watches `window`'s show, move and resize events; owned by the window.
    explicit OuterGeometry(QWidget* window);

    // Puts the frame's top-left at `outer`'s and makes the frame `outer`'s size (pixels).
    void SetOuter(const QRect& outer);
    void SetOuterTwips(qint32 left, qint32 top, qint32 width, qint32 height);
    // The frame's size now (the client size while no frame is known).
    QSize OuterSizeTwips() const;
    // Frame width and height: outer size minus client size.
    QSize Frame() const;
    // The frame's rectangle now (the client's while no frame is known).
    QRect Outer() const;
    // The frame the window manager puts round `w` now, as the window manager last said: a
    // window shown again keeps its frame although Qt may report none until it is moved.
    static QMargins FrameOf(const QWidget* w);
    // `outer` (pixels) made to fit the work area of the screen it lands on, the one it overlaps
    // most (the primary screen when it overlaps none): no larger than that area and moved into
    // it, so that the whole frame, title bar included, is on the screen. An `outer` that fits
    // comes back as it is.
    static QRect FitToWorkArea(const QRect& outer);
    // True when the frame `now` is thinner than `before` on some side: the window manager taking
    // the window over (a maximise takes the borders away before Qt hears of the new state).
    static bool LostBorder(const QMargins& now, const QMargins& before);
    // True while a rectangle waits for the frame (or for the frame to settle).
    bool Pending() const { return !pending_.isNull(); }
    // A window of fixed size: its outer size is the only one it has (no resizing, no maximising).
    void SetFixed(bool fixed) { fixed_ = fixed; }

    // Run when the frame has become known: FrameKnown before the kept rectangle is applied again
    // (so that minimum sizes can allow for the frame first), Applied after.
    std::function<void()> FrameKnown;
    std::function<void()> Applied;
    // Runs when the wait for the frame ends.
    std::function<void()> WaitEnded;

  protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

  private:
    void apply(const QRect& outer);
    void watchNative();
    void applyPending();

    QWidget* window_;
    QPointer<QWindow> watched_;
    QRect pending_;
    bool fixed_ = false;
    bool settling_ = false; // applied; the frame may still change for a little while
    QMargins appliedFrame_;
    QRect appliedClient_;
};
