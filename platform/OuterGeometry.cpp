#include "platform/OuterGeometry.h"

#include "platform/Twips.h"

#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>

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
    const QSize outer = window_->frameGeometry().size();
    return {Twips::fromPx(outer.width(), Twips::dpiX(window_)),
            Twips::fromPx(outer.height(), Twips::dpiY(window_))};
}

QSize OuterGeometry::Frame() const {
    return window_->frameGeometry().size() - window_->geometry().size();
}

void OuterGeometry::apply(const QRect& outer) {
    const QSize frame = Frame();
    window_->move(outer.topLeft());
    const QSize inner(outer.width() - frame.width(), outer.height() - frame.height());
    if (fixed_)
        window_->setFixedSize(inner);
    else
        window_->resize(inner);
}

void OuterGeometry::applyPending() {
    if (pending_.isNull() || !window_->isVisible()) return;
    if (window_->frameGeometry().size() == window_->geometry().size()) return; // no frame yet
    const QRect outer = pending_;
    pending_ = QRect();
    if (FrameKnown) FrameKnown();
    apply(outer);
    if (Applied) Applied();
}

bool OuterGeometry::eventFilter(QObject* watched, QEvent* e) {
    if (watched != window_) return false;
    switch (e->type()) {
    case QEvent::Show:
        applyPending();
        // A window manager may add the frame a little later; without one there is none to wait for.
        if (!pending_.isNull())
            QTimer::singleShot(kFrameWaitMs, this, [this] {
                pending_ = QRect();
                if (WaitEnded) WaitEnded();
            });
        break;
    case QEvent::Move:
    case QEvent::Resize:
        applyPending();
        break;
    default:
        break;
    }
    return false;
}
