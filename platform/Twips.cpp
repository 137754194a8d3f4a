#include "platform/Twips.h"

#include "platform/OuterGeometry.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace {
QScreen* screenOf(const QWidget* w) {
    QScreen* s = w ? w->screen() : nullptr;
    return s ? s : QGuiApplication::primaryScreen();
}
} // namespace

double Twips::dpiX(const QWidget* w) {
    const QScreen* s = screenOf(w);
    return s && s->logicalDotsPerInchX() > 0 ? s->logicalDotsPerInchX() : 96.0;
}

double Twips::dpiY(const QWidget* w) {
    const QScreen* s = screenOf(w);
    return s && s->logicalDotsPerInchY() > 0 ? s->logicalDotsPerInchY() : 96.0;
}

void Twips::SetOuterMinimum(QWidget* w, qint32 width, qint32 height) {
    if (!w) return;
    const QMargins frame = OuterGeometry::FrameOf(w);
    w->setMinimumSize(toPx(width, dpiX(w)) - frame.left() - frame.right(),
                      toPx(height, dpiY(w)) - frame.top() - frame.bottom());
}
