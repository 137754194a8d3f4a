#include "platform/OuterGeometry.h"

#include "platform/Twips.h"

#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace {
// A state in which the window manager, not the program, decides where the window is.
bool managedPlace(const QWidget* w) {
    return w->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized);
}
} // namespace

QMargins OuterGeometry::FrameOf(const QWidget* w) {
    if (!w) return {};
    // The platform window asks the window manager whenever the frame may have changed; the
    // widget's copy is brought up to date only by a move or resize.
    if (const QWindow* h = w->windowHandle(); h && h->handle()) return h->frameMargins();
    const QRect f = w->frameGeometry(), g = w->geometry();
    return QMargins(g.left() - f.left(), g.top() - f.top(), f.right() - g.right(), f.bottom() - g.bottom());
}

OuterGeometry::OuterGeometry(QWidget* window) : QObject(window), window_(window) {
    window->installEventFilter(this);
}

void OuterGeometry::SetOuter(const QRect& outer) {
    apply(outer);
    // The frame is known only once the window is shown; the size is put right then.
    if (!window_->isVisible()) pending_ = outer;
}

void OuterGeometry::SetOuterTwips(qint32 left, qint32 top, qint32 width, qint32 height) {
    const double dx = Twips::dpiX(window_), dy = Twips::dpiY(window_);
    SetOuter(
        QRect(Twips::toPx(left, dx), Twips::toPx(top, dy), Twips::toPx(width, dx), Twips::toPx(height, dy)));
}

QSize OuterGeometry::OuterSizeTwips() const {
    const QSize outer = Outer().size();
    return {Twips::fromPx(outer.width(), Twips::dpiX(window_)),
            Twips::fromPx(outer.height(), Twips::dpiY(window_))};
}

QSize OuterGeometry::Frame() const {
    const QMargins m = FrameOf(window_);
    return {m.left() + m.right(), m.top() + m.bottom()};
}

QRect OuterGeometry::Outer() const {
    return window_->geometry().marginsAdded(FrameOf(window_));
}

void OuterGeometry::apply(const QRect& outer) {
    // The client's rectangle, from the frame as the window manager has it now (Qt's own notion
    // of the frame, which placing by the frame's corner would use, may be a frame behind).
    const QRect client = outer.marginsRemoved(FrameOf(window_));
    if (fixed_) window_->setFixedSize(client.size());
    window_->setGeometry(client);
    appliedClient_ = client;
}

void OuterGeometry::applyPending() {
    if (pending_.isNull() || !window_->isVisible()) return;
    const QMargins frame = FrameOf(window_);
    if (frame.isNull() || managedPlace(window_)) return; // no frame yet, or not the program's to place
    // Applied already: again only for a frame that changed under the rectangle as it was put
    // (not when the window manager has since moved or sized the window itself).
    if (settling_ && (frame == appliedFrame_ || window_->geometry() != appliedClient_)) return;
    if (FrameKnown) FrameKnown();
    apply(pending_);
    appliedFrame_ = frame;
    if (!settling_) {
        settling_ = true;
        // The window manager may change the frame it has just drawn (a window put back from
        // maximised gets its borders back only after its size): until then, again with the new one.
        QTimer::singleShot(kFrameWaitMs, this, [this] {
            pending_ = QRect();
            settling_ = false;
        });
    }
    if (Applied) Applied();
}

void OuterGeometry::watchNative() {
    // The frame comes with the window manager's mapping of the framed window, which the window
    // sees as an expose and not always as a move (a client left where it was).
    QWindow* h = window_->windowHandle();
    if (!h || h == watched_) return;
    if (watched_) watched_->removeEventFilter(this);
    watched_ = h;
    h->installEventFilter(this);
}

bool OuterGeometry::eventFilter(QObject* watched, QEvent* e) {
    if (watched == watched_ && watched_) {
        if (e->type() == QEvent::Expose) applyPending();
        return false;
    }
    if (watched != window_) return false;
    switch (e->type()) {
    case QEvent::Show:
        watchNative();
        applyPending();
        // A window manager may add the frame a little later; without one there is none to wait for.
        if (!pending_.isNull())
            QTimer::singleShot(kFrameWaitMs, this, [this] {
                // Framed but maximised: the rectangle waits on for the normal state.
                if (!settling_ && FrameOf(window_).isNull()) pending_ = QRect();
                if (WaitEnded) WaitEnded();
            });
        break;
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::WindowStateChange:
        applyPending();
        break;
    default:
        break;
    }
    return false;
}
