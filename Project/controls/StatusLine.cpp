#include "controls/StatusLine.h"

#include "platform/Desktop.h"

#include <QPainter>
#include <QStyle>

void StatusLine::SetStatus(const QString& text, int kept) {
    kept_ = kept;
    setText(text);
    update(); // the same text with another kept end draws differently
}

QString StatusLine::Shown() const {
    const QFontMetrics fm = fontMetrics();
    const int width = contentsRect().width();
    const QString all = text();
    if (kept_ <= 0 || kept_ >= all.size() || fm.horizontalAdvance(all) <= width)
        return Desktop::FitText(fm, all, width);
    const QString end = all.right(kept_);
    const int room = width - fm.horizontalAdvance(end);
    if (room < 0) return Desktop::FitText(fm, all, width);
    return fm.elidedText(all.left(all.size() - kept_), Qt::ElideLeft, room) + end;
}

void StatusLine::paintEvent(QPaintEvent*) {
    QPainter p(this);
    style()->drawItemText(&p, contentsRect(), int(alignment()), palette(), isEnabled(), Shown(),
                          foregroundRole());
}
