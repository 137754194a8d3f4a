#include "platform/OuterGeometry.h"

#include "platform/Twips.h"
#include "platform/X11.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <array>
#include <cstdlib>

namespace {
// The window manager's own word on the state, read from the server now: Qt hears of it only
// after the events before it, the new place and size among them.
bool wmPlaces(const QWidget* w) {
    const QWindow* h = w->windowHandle();
    xcb_connection_t* c = h && h->handle() ? X11::Connection() : nullptr;
    if (!c) return false;
    static const xcb_atom_t state = X11::Atom(c, "_NET_WM_STATE");
    static const std::array<xcb_atom_t, 4> placing = {
        X11::Atom(c, "_NET_WM_STATE_MAXIMIZED_VERT"), X11::Atom(c, "_NET_WM_STATE_MAXIMIZED_HORZ"),
        X11::Atom(c, "_NET_WM_STATE_FULLSCREEN"), X11::Atom(c, "_NET_WM_STATE_HIDDEN")};
    xcb_get_property_reply_t* r = xcb_get_property_reply(
        c, xcb_get_property(c, 0, xcb_window_t(h->winId()), state, XCB_ATOM_ATOM, 0, 32), nullptr);
    bool out = false;
    if (r && r->format == 32) {
        const auto* v = static_cast<const xcb_atom_t*>(xcb_get_property_value(r));
        for (int i = 0; i < xcb_get_property_value_length(r) / 4 && !out; ++i)
            out = std::find(placing.begin(), placing.end(), v[i]) != placing.end();
    }
    std::free(r);
    return out;
}

// A state in which the window manager, not the program, decides where the window is: moving it
// would take it out of that state.
bool managedPlace(const QWidget* w) {
    return (w->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized)) ||
           wmPlaces(w);
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

QRect OuterGeometry::FitToWorkArea(const QRect& outer) {
    const QScreen* best = QGuiApplication::primaryScreen();
    qint64 most = 0;
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect common = screen->geometry().intersected(outer);
        const qint64 area = qint64(common.width()) * common.height();
        if (!common.isEmpty() && area > most) {
            most = area;
            best = screen;
        }
    }
    if (!best) return outer;
    const QRect work = best->availableGeometry();
    QRect fit(outer.topLeft(), outer.size().boundedTo(work.size()));
    // Right and bottom first: a window as large as the area then still starts at its corner.
    if (fit.right() > work.right()) fit.moveRight(work.right());
    if (fit.bottom() > work.bottom()) fit.moveBottom(work.bottom());
    if (fit.left() < work.left()) fit.moveLeft(work.left());
    if (fit.top() < work.top()) fit.moveTop(work.top());
    return fit;
}

bool OuterGeometry::LostBorder(const QMargins& now, const QMargins& before) {
    return now.left() < before.left() || now.top() < before.top() || now.right() < before.right() ||
           now.bottom() < before.bottom();
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
    // Where it is already, the window is left alone: a request to the window manager that
    // changes nothing could still cross one of the user's (a maximise) on its way.
    if (client != window_->geometry()) window_->setGeometry(client);
    appliedClient_ = client;
}

void OuterGeometry::applyPending() {
    if (pending_.isNull() || !window_->isVisible()) return;
    const QMargins frame = FrameOf(window_);
    if (frame.isNull() || managedPlace(window_)) return; // no frame yet, or not the program's to place
    // Applied already: again only for a frame that grew under the rectangle as it was put (not
    // when the window manager has since moved or sized the window itself). A frame that loses
    // its borders is the window manager taking the window over: a maximise, which changes the
    // frame before the state.
    const bool grew = frame != appliedFrame_ && !LostBorder(frame, appliedFrame_);
    if (settling_ && (!grew || window_->geometry() != appliedClient_)) return;
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
