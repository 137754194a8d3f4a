#include "core/frmImgs.h"

#include "core/SkinAtlas.h"
#include "core/modAppFnc.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QTextDocument>
#include <QVariant>
#include <vector>

namespace {

LoadedWindow<frmImgs> gLoaded; // never shown; lives as long as the program

// One palette for all of the artwork.
const QColor kNavyTop(0x1d, 0x4a, 0x76);
const QColor kNavyBottom(0x2c, 0x67, 0x9e);
const QColor kBlue(0x34, 0x78, 0xb8);
const QColor kTeal(0x25, 0xa5, 0x9a);
const QColor kHeaderTop(0xff, 0xff, 0xff);
const QColor kHeaderBottom(0xdc, 0xe7, 0xf3);
const QColor kMargin(0xe3, 0xeb, 0xf4);
const QColor kPanelBottom(0xd6, 0xe2, 0xee);
const QColor kStripLine(0xaf, 0xc3, 0xd9);
const QColor kStripTop(0xcf, 0xdc, 0xea);
const QColor kStripBottom(0xc2, 0xd2, 0xe4);
const QColor kSideLeft(0x2a, 0x63, 0x99);
const QColor kSideRight(0x1f, 0x50, 0x80);
const QColor kSideEdge(0x17, 0x3e, 0x63);
const QColor kGreen(0x2e, 0xad, 0x4b);
const QColor kRed(0xd6, 0x45, 0x41);
const QColor kAmber(0xf0, 0xa0, 0x20);
const QColor kViolet(0x5b, 0x6f, 0xd0);
const QColor kOrange(0xe0, 0x69, 0x3a);
const QColor kSlate(0x4f, 0x6f, 0x8f);

QImage blank(int w, int h) {
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    return img;
}

void smooth(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
}

void vGradient(QPainter& p, const QRectF& r, const QColor& top, const QColor& bottom) {
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.fillRect(r, g);
}

// ---- the programme's mark: two speech bubbles -------------------------------------------
// Drawn in a 64-unit square. `mono` draws it in one colour, its dots in `dots` (on the blue
// side bar).
void drawLogo(QPainter& p, const QRectF& box, const QColor& mono = QColor(), const QColor& dots = Qt::white) {
    p.save();
    smooth(p);
    p.translate(box.topLeft());
    p.scale(box.width() / 64.0, box.height() / 64.0);
    const bool one = mono.isValid();
    QColor back = one ? mono : kTeal;
    if (one) back.setAlphaF(mono.alphaF() * 0.55);
    const QColor front = one ? mono : kBlue;

    QPainterPath rear;
    rear.addRoundedRect(QRectF(22, 5, 38, 28), 9, 9);
    QPainterPath rearTail;
    rearTail.moveTo(46, 30);
    rearTail.lineTo(56, 30);
    rearTail.lineTo(57, 42);
    rearTail.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(back);
    p.drawPath(rear.united(rearTail));

    QPainterPath fore;
    fore.addRoundedRect(QRectF(4, 20, 42, 30), 10, 10);
    QPainterPath foreTail;
    foreTail.moveTo(11, 46);
    foreTail.lineTo(23, 46);
    foreTail.lineTo(8, 60);
    foreTail.closeSubpath();
    const QPainterPath bubble = fore.united(foreTail);
    if (!one) {
        // A white rim keeps the two bubbles apart where they overlap.
        p.setPen(QPen(Qt::white, 3.0));
        p.setBrush(front);
        p.drawPath(bubble);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
    } else {
        p.setBrush(front);
        p.drawPath(bubble);
        p.setBrush(dots);
    }
    for (int i = 0; i < 3; ++i)
        p.drawEllipse(QPointF(15 + 10 * i, 35), 3.2, 3.2);
    p.restore();
}

QImage logoImage(int size) {
    QImage img = blank(size, size);
    QPainter p(&img);
    drawLogo(p, QRectF(0, 0, size, size));
    return img;
}

QIcon logoIcon(std::initializer_list<int> sizes) {
    QIcon icon;
    for (int s : sizes)
        icon.addPixmap(QPixmap::fromImage(logoImage(s)));
    return icon;
}

// ---- message icons, 32 x 32 ----------------------------------------------------------------
void disc(QPainter& p, const QColor& c) {
    QRadialGradient g(QPointF(12, 10), 20);
    g.setColorAt(0, c.lighter(125));
    g.setColorAt(1, c);
    p.setPen(QPen(c.darker(130), 1.0));
    p.setBrush(g);
    p.drawEllipse(QRectF(2.5, 2.5, 27, 27));
}

void questionMark(QPainter& p, const QColor& c) {
    QPainterPath q;
    const QRectF arc(10.5, 7, 11, 11);
    q.arcMoveTo(arc, 165);
    q.arcTo(arc, 165, -255);
    q.lineTo(16, 20);
    p.setPen(QPen(c, 3.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(q);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawEllipse(QPointF(16, 24.6), 2.1, 2.1);
}

QImage messageIcon(int index) {
    QImage img = blank(32, 32);
    QPainter p(&img);
    smooth(p);
    switch (index) {
    case 0: { // a notice or a message from someone: a speech bubble
        QPainterPath b;
        b.addRoundedRect(QRectF(2.5, 4.5, 27, 19), 6, 6);
        QPainterPath tail;
        tail.moveTo(8, 22);
        tail.lineTo(15, 22);
        tail.lineTo(6, 29.5);
        tail.closeSubpath();
        QLinearGradient g(0, 4, 0, 28);
        g.setColorAt(0, kBlue.lighter(120));
        g.setColorAt(1, kBlue);
        p.setPen(QPen(kBlue.darker(130), 1.0));
        p.setBrush(g);
        p.drawPath(b.united(tail));
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        for (int i = 0; i < 3; ++i)
            p.drawEllipse(QPointF(9.5 + 6.5 * i, 14), 2.2, 2.2);
        break;
    }
    case 1: // information
        disc(p, kBlue);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(16, 9.6), 2.3, 2.3);
        p.drawRoundedRect(QRectF(14.2, 13.5, 3.6, 11.5), 1.6, 1.6);
        break;
    case 2: // a question
        disc(p, kViolet);
        questionMark(p, Qt::white);
        break;
    case 3: { // a refusal: warning triangle
        QPainterPath t;
        t.moveTo(16, 3);
        t.lineTo(30, 28.5);
        t.lineTo(2, 28.5);
        t.closeSubpath();
        QLinearGradient g(0, 3, 0, 28);
        g.setColorAt(0, kAmber.lighter(120));
        g.setColorAt(1, kAmber);
        p.setPen(QPen(kAmber.darker(140), 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(g);
        p.drawPath(t);
        const QColor ink(0x3a, 0x2a, 0x00);
        p.setPen(Qt::NoPen);
        p.setBrush(ink);
        p.drawRoundedRect(QRectF(14.3, 10.5, 3.4, 10), 1.5, 1.5);
        p.drawEllipse(QPointF(16, 24.2), 1.9, 1.9);
        break;
    }
    case 4: { // the questions before closing or signing out: the power symbol
        disc(p, kOrange);
        p.setPen(QPen(Qt::white, 3.0, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(9, 9.5, 14, 14), 120 * 16, 300 * 16);
        p.drawLine(QPointF(16, 7.5), QPointF(16, 15.5));
        break;
    }
    case 5: { // a link that could not be opened: globe with a red cross
        p.setPen(QPen(kBlue.darker(130), 1.0));
        QRadialGradient g(QPointF(11, 10), 20);
        g.setColorAt(0, kBlue.lighter(140));
        g.setColorAt(1, kBlue);
        p.setBrush(g);
        const QRectF globe(2.5, 2.5, 25, 25);
        p.drawEllipse(globe);
        p.setPen(QPen(QColor(255, 255, 255, 190), 1.2));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QRectF(9, 2.5, 12, 25));
        p.drawLine(QPointF(15, 2.5), QPointF(15, 27.5));
        p.drawLine(QPointF(2.5, 15), QPointF(27.5, 15));
        p.drawLine(QPointF(4.5, 9), QPointF(25.5, 9));
        p.drawLine(QPointF(4.5, 21), QPointF(25.5, 21));
        p.setPen(QPen(Qt::white, 1.5));
        p.setBrush(kRed);
        p.drawEllipse(QPointF(24, 24), 6.5, 6.5);
        p.setPen(QPen(Qt::white, 2.0, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(21.5, 21.5), QPointF(26.5, 26.5));
        p.drawLine(QPointF(26.5, 21.5), QPointF(21.5, 26.5));
        break;
    }
    case 6: { // file transfer: a page with a green arrow
        QPainterPath page;
        page.moveTo(6, 2.5);
        page.lineTo(19, 2.5);
        page.lineTo(25.5, 9);
        page.lineTo(25.5, 29.5);
        page.lineTo(6, 29.5);
        page.closeSubpath();
        p.setPen(QPen(QColor(0x7a, 0x8a, 0x9c), 1.0));
        p.setBrush(Qt::white);
        p.drawPath(page);
        p.setBrush(QColor(0xdc, 0xe4, 0xee));
        QPainterPath fold;
        fold.moveTo(19, 2.5);
        fold.lineTo(19, 9);
        fold.lineTo(25.5, 9);
        fold.closeSubpath();
        p.drawPath(fold);
        p.setPen(QPen(QColor(0xb5, 0xc2, 0xd1), 1.2));
        for (int i = 0; i < 4; ++i)
            p.drawLine(QPointF(9.5, 13 + 3.5 * i), QPointF(21.5, 13 + 3.5 * i));
        p.setPen(QPen(Qt::white, 1.5));
        p.setBrush(kGreen);
        p.drawEllipse(QPointF(23.5, 23.5), 7, 7);
        p.setPen(QPen(Qt::white, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawLine(QPointF(23.5, 19.5), QPointF(23.5, 27));
        p.drawLine(QPointF(20.3, 24), QPointF(23.5, 27.2));
        p.drawLine(QPointF(26.7, 24), QPointF(23.5, 27.2));
        break;
    }
    default:
        break;
    }
    return img;
}

// ---- status badges --------------------------------------------------------------------------
// A round badge for status 0 Online, 1 Busy, 2 Away, 3 blocked, centred in `r`.
void statusBadge(QPainter& p, int status, const QRectF& r) {
    p.save();
    smooth(p);
    const double s = r.width();
    const QPointF c = r.center();
    const double w = qMax(1.2, s / 7.0);
    if (status == 3) {
        const QColor grey(0x8a, 0x8f, 0x96);
        p.setPen(QPen(grey, w));
        p.setBrush(Qt::white);
        p.drawEllipse(c, s / 2 - w / 2, s / 2 - w / 2);
        const double d = (s / 2 - w) * 0.7071;
        p.drawLine(QPointF(c.x() - d, c.y() + d), QPointF(c.x() + d, c.y() - d));
        p.restore();
        return;
    }
    const QColor fill = status == 0 ? kGreen : status == 1 ? kRed : kAmber;
    p.setPen(QPen(Qt::white, qMax(1.0, s / 10.0)));
    p.setBrush(fill);
    p.drawEllipse(c, s / 2 - 0.5, s / 2 - 0.5);
    p.setPen(QPen(Qt::white, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    const double u = s / 16.0; // badge units
    if (status == 0) {
        QPainterPath tick;
        tick.moveTo(c.x() - 3.6 * u, c.y() + 0.2 * u);
        tick.lineTo(c.x() - 1.0 * u, c.y() + 2.8 * u);
        tick.lineTo(c.x() + 3.8 * u, c.y() - 2.6 * u);
        p.drawPath(tick);
    } else if (status == 1) {
        p.drawLine(QPointF(c.x() - 3.8 * u, c.y()), QPointF(c.x() + 3.8 * u, c.y()));
    } else {
        p.drawLine(c, QPointF(c.x(), c.y() - 4.0 * u));
        p.drawLine(c, QPointF(c.x() + 3.2 * u, c.y() + 1.2 * u));
    }
    p.restore();
}

QImage listIcon(int status) {
    QImage img = blank(16, 16);
    QPainter p(&img);
    statusBadge(p, status, QRectF(1, 1, 14, 14));
    return img;
}

// The own status: a person with the status badge.
QImage statusPicture(int status) {
    QImage img = blank(32, 32);
    QPainter p(&img);
    smooth(p);
    QLinearGradient g(0, 4, 0, 30);
    g.setColorAt(0, kSlate.lighter(125));
    g.setColorAt(1, kSlate);
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawEllipse(QRectF(9, 3, 13, 13));
    QPainterPath body;
    body.moveTo(3, 30);
    body.cubicTo(3, 19, 9, 17.5, 15.5, 17.5);
    body.cubicTo(22, 17.5, 28, 19, 28, 30);
    body.closeSubpath();
    p.drawPath(body);
    statusBadge(p, status, QRectF(18.5, 18.5, 13, 13));
    return img;
}

// ---- chat pictures --------------------------------------------------------------------------
// Faces drawn in a 17-unit square and scaled to the picture's size.
const QColor kInk(0x4a, 0x30, 0x00);

void face(QPainter& p, const QColor& light, const QColor& dark) {
    QRadialGradient g(QPointF(6.5, 5.5), 10);
    g.setColorAt(0, light);
    g.setColorAt(1, dark);
    p.setPen(QPen(dark.darker(150), 0.8));
    p.setBrush(g);
    p.drawEllipse(QRectF(1, 1, 15, 15));
}

void eyes(QPainter& p, double rx = 1.0, double ry = 1.4) {
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawEllipse(QPointF(6, 6.6), rx, ry);
    p.drawEllipse(QPointF(11, 6.6), rx, ry);
}

QPen mouthPen() {
    return QPen(kInk, 1.15, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void smile(QPainter& p, double width = 3.5, double depth = 3.2) {
    QPainterPath m;
    m.moveTo(8.5 - width, 10);
    m.quadTo(8.5, 10 + depth, 8.5 + width, 10);
    p.setPen(mouthPen());
    p.setBrush(Qt::NoBrush);
    p.drawPath(m);
}

void frown(QPainter& p) {
    QPainterPath m;
    m.moveTo(5.5, 12.6);
    m.quadTo(8.5, 9.6, 11.5, 12.6);
    p.setPen(mouthPen());
    p.setBrush(Qt::NoBrush);
    p.drawPath(m);
}

void wavy(QPainter& p) {
    QPainterPath m;
    m.moveTo(5, 11.8);
    m.cubicTo(6.5, 9.8, 7.5, 9.8, 8.5, 11.5);
    m.cubicTo(9.5, 13.2, 10.5, 13.2, 12, 11.2);
    p.setPen(mouthPen());
    p.setBrush(Qt::NoBrush);
    p.drawPath(m);
}

void thumb(QPainter& p, bool up) {
    p.save();
    if (!up) {
        p.translate(0, 17);
        p.scale(1, -1);
    }
    const QColor skin(0xff, 0xd4, 0x5a), edge(0xb0, 0x7a, 0x00);
    p.setPen(QPen(edge, 0.8));
    p.setBrush(kBlue);
    p.drawRoundedRect(QRectF(1.5, 8.2, 3.4, 7.6), 0.8, 0.8);
    p.setBrush(skin);
    p.drawRoundedRect(QRectF(6.2, 1.2, 3.6, 9), 1.7, 1.7);
    p.drawRoundedRect(QRectF(4.9, 7.6, 9.8, 8.4), 1.8, 1.8);
    p.setPen(QPen(edge, 0.7, Qt::SolidLine, Qt::RoundCap));
    for (double y : {10.4, 12.4, 14.2})
        p.drawLine(QPointF(10.2, y), QPointF(14.2, y));
    p.restore();
}

void drawChatPicture(QPainter& p, int index) {
    const QColor yellowLight(0xff, 0xe8, 0x7a), yellow(0xf5, 0xb8, 0x00);
    switch (index) {
    case 0:
        face(p, yellowLight, yellow);
        eyes(p);
        smile(p);
        break;
    case 1: { // big grin
        face(p, yellowLight, yellow);
        eyes(p);
        QPainterPath m;
        m.moveTo(4.6, 9.4);
        m.lineTo(12.4, 9.4);
        m.quadTo(8.5, 16.2, 4.6, 9.4);
        p.setPen(QPen(kInk, 0.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(QColor(0x8a, 0x2a, 0x10));
        p.drawPath(m);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(5.6, 9.8, 5.8, 1.3));
        break;
    }
    case 2: // surprised
        face(p, yellowLight, yellow);
        eyes(p, 1.25, 1.5);
        p.setBrush(kInk);
        p.drawEllipse(QPointF(8.5, 12), 1.7, 2.0);
        break;
    case 3: // tongue out
        face(p, yellowLight, yellow);
        eyes(p);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xe8, 0x50, 0x7a));
        p.drawEllipse(QPointF(9.4, 12.4), 1.8, 2.0);
        smile(p, 3.4, 2.4);
        break;
    case 4: { // wink
        face(p, yellowLight, yellow);
        p.setPen(Qt::NoPen);
        p.setBrush(kInk);
        p.drawEllipse(QPointF(11, 6.6), 1.0, 1.4);
        QPainterPath lid;
        lid.moveTo(4.6, 7);
        lid.quadTo(6, 5.6, 7.4, 7);
        p.setPen(mouthPen());
        p.setBrush(Qt::NoBrush);
        p.drawPath(lid);
        smile(p);
        break;
    }
    case 5:
        face(p, yellowLight, yellow);
        eyes(p);
        frown(p);
        break;
    case 6:
        face(p, yellowLight, yellow);
        eyes(p);
        wavy(p);
        break; // confused
    case 7:    // straight face
        face(p, yellowLight, yellow);
        eyes(p);
        p.setPen(mouthPen());
        p.drawLine(QPointF(5.6, 11.6), QPointF(11.4, 11.6));
        break;
    case 8: { // crying
        face(p, yellowLight, yellow);
        eyes(p);
        frown(p);
        QPainterPath tear;
        tear.moveTo(5.4, 8.4);
        tear.cubicTo(6.6, 10.2, 6.8, 11.6, 5.4, 11.8);
        tear.cubicTo(4.0, 11.6, 4.2, 10.2, 5.4, 8.4);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x3a, 0xa0, 0xe0));
        p.drawPath(tear);
        break;
    }
    case 9: // embarrassed
        face(p, yellowLight, yellow);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 110, 130, 150));
        p.drawEllipse(QPointF(4.4, 10.2), 2.0, 1.3);
        p.drawEllipse(QPointF(12.6, 10.2), 2.0, 1.3);
        eyes(p);
        p.setPen(mouthPen());
        p.drawLine(QPointF(7, 11.8), QPointF(10, 11.8));
        break;
    case 10: // queasy
        face(p, QColor(0xd4, 0xf0, 0x8a), QColor(0x8c, 0xc3, 0x4a));
        eyes(p);
        wavy(p);
        break;
    case 11: { // angry
        face(p, QColor(0xff, 0xb0, 0x80), QColor(0xe8, 0x55, 0x3a));
        eyes(p);
        p.setPen(QPen(kInk, 1.1, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(4.2, 3.9), QPointF(7.4, 5.2));
        p.drawLine(QPointF(12.8, 3.9), QPointF(9.6, 5.2));
        frown(p);
        break;
    }
    case 12: { // glasses
        face(p, yellowLight, yellow);
        eyes(p, 0.8, 0.9);
        p.setPen(QPen(QColor(0x2a, 0x2a, 0x3a), 0.9));
        p.setBrush(QColor(255, 255, 255, 90));
        p.drawEllipse(QPointF(5.8, 6.8), 2.4, 2.1);
        p.drawEllipse(QPointF(11.2, 6.8), 2.4, 2.1);
        p.drawLine(QPointF(8.2, 6.6), QPointF(8.8, 6.6));
        smile(p, 3.0, 2.8);
        break;
    }
    case 13:
        thumb(p, true);
        break;
    case 14:
        thumb(p, false);
        break;
    default:
        break;
    }
}

QImage chatPicture(int index) {
    // Sizes of the transcript's pictures: 16 x 15 and 14 x 14 for the first two, 17 x 17 for the rest.
    const QSize size = index == 0 ? QSize(16, 15) : index == 1 ? QSize(14, 14) : QSize(17, 17);
    QImage img = blank(size.width(), size.height());
    QPainter p(&img);
    smooth(p);
    p.scale(size.width() / 17.0, size.height() / 17.0);
    drawChatPicture(p, index);
    return img;
}

// ---- the built-in skin picture --------------------------------------------------------------
// Pieces are painted band by band: a band is horizontally uniform (it is tiled sideways) or
// vertically uniform (tiled downwards), so every tile joins its neighbours without a seam.

// A top band: header gradient, accent line, then the margin round the list.
void topBand(QPainter& p, const QRect& r, int header) {
    vGradient(p, QRectF(r.left(), r.top(), r.width(), header), kHeaderTop, kHeaderBottom);
    p.fillRect(QRect(r.left(), r.top() + header, r.width(), 2), kBlue);
    p.fillRect(QRect(r.left(), r.top() + header + 2, r.width(), r.height() - header - 2), kMargin);
}

// A bottom band: margin, buttons panel, then the status strip below a line.
void bottomBand(QPainter& p, const QRect& r, int panel) {
    p.fillRect(QRect(r.left(), r.top(), r.width(), 6), kMargin);
    vGradient(p, QRectF(r.left(), r.top() + 6, r.width(), panel), kMargin, kPanelBottom);
    p.fillRect(QRect(r.left(), r.top() + 6 + panel, r.width(), 1), kStripLine);
    vGradient(p, QRectF(r.left(), r.top() + 7 + panel, r.width(), r.height() - 7 - panel), kStripTop,
              kStripBottom);
}

// The main window's top band (49 rows) and bottom band (97 rows).
void mainTop(QPainter& p, const QRect& r) {
    topBand(p, r, 35);
}
void mainBottom(QPainter& p, const QRect& r) {
    bottomBand(p, r, 67);
}

// The chat window's top band (49 rows) and bottom band (94 rows).
void chatTop(QPainter& p, const QRect& r) {
    topBand(p, r, 41);
}
void chatBottom(QPainter& p, const QRect& r) {
    bottomBand(p, r, 59);
}

// The side bar: a blue panel, uniform downwards.
void sideBar(QPainter& p, const QRect& r) {
    QLinearGradient g(r.topLeft(), r.topRight());
    g.setColorAt(0, kSideLeft);
    g.setColorAt(1, kSideRight);
    p.fillRect(r, g);
    p.fillRect(QRect(r.left(), r.top(), 1, r.height()), kSideEdge);
    p.fillRect(QRect(r.left() + 1, r.top(), 1, r.height()), kSideLeft.lighter(118));
}

void sideBarBottom(QPainter& p, const QRect& r) {
    sideBar(p, r);
    QColor mark(Qt::white);
    mark.setAlphaF(0.85);
    drawLogo(p, QRectF(r.left() + (r.width() - 44) / 2.0, r.top() + r.height() - 60, 44, 44), mark,
             kSideLeft);
}

// Dialog background (sign-in, alert, information windows), 428 x 265: white text sits on it.
void dialogBack(QPainter& p, const QRect& r) {
    p.save();
    p.setClipRect(r);
    vGradient(p, r, kNavyTop, kNavyBottom);
    smooth(p);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 14));
    p.drawEllipse(QPointF(r.right() - 30, r.top() + 10), 110, 110);
    p.setBrush(QColor(255, 255, 255, 10));
    p.drawEllipse(QPointF(r.right() - 130, r.top() - 40), 90, 90);
    p.fillRect(QRect(r.left(), r.top(), r.width(), 1), QColor(255, 255, 255, 40));
    p.restore();
}

} // namespace

static QImage drawBaseSkin() {
    QImage img(frmImgs::kSkinWidth, frmImgs::kSkinHeight, QImage::Format_RGB32);
    img.fill(kMargin);
    QPainter p(&img);

    dialogBack(p, SkinAtlas::kDialogBack);

    // Main window pieces (x 429..644, y 0..157).
    using namespace SkinAtlas;
    // Each band runs from the left corner to the right one: corner, edge tile, corner.
    const auto band = [](const QRect& left, const QRect& right) { return left.united(right); };
    mainTop(p, band(kMainTopLeft, kMainTopRight));
    p.fillRect(band(kMainLeft, kMainRight), kMargin);
    mainBottom(p, band(kMainBottomLeft, kMainBottomRight));
    sideBar(p, kMainSideTop);
    sideBar(p, kMainSideMiddle);
    sideBarBottom(p, kMainSideBottom);

    // Chat window pieces (x 429..644, y 159..313).
    chatTop(p, band(kChatTopLeft, kChatTopRight));
    // In the top-left corner, left of the member list.
    drawLogo(p, QRectF(kChatTopLeft.topLeft() + QPoint(7, 3), QSizeF(34, 34)));
    p.fillRect(band(kChatLeft, kChatRight), kMargin);
    chatBottom(p, band(kChatBottomLeft, kChatBottomRight));
    sideBar(p, kChatSideTop);
    sideBar(p, kChatSideMiddle);
    sideBarBottom(p, kChatSideBottom);

    // The own status pictures, shown at (1, 1) of the main window over its header: each is
    // drawn onto a copy of the header it covers, so it joins it exactly.
    const QImage header = img.copy(kMainTopLeft.x() + 1, 1, 32, 32);
    for (int s = 0; s < 3; ++s) {
        const QPoint at = StatusPicture(s).topLeft();
        p.drawImage(at, header);
        p.drawImage(at, statusPicture(s));
    }

    // The main window's bottom-right picture without the side bar: the mark on the panel,
    // placed at (R - 55, H - 85), so it covers rows 12 to 71 of the bottom band.
    const QImage panel = img.copy(kMainBottomLeft.x(), kMainBottomLeft.y() + 12, kMainCornerPicture.width(),
                                  kMainCornerPicture.height());
    p.drawImage(kMainCornerPicture.topLeft(), panel);
    drawLogo(p, QRectF(kMainCornerPicture.topLeft() + QPoint(7, 10), QSizeF(38, 38)));
    return img;
}

frmImgs::frmImgs() {
    setObjectName(QStringLiteral("frmImgs"));
    picBaseSkin = drawBaseSkin();
    picSkin = picBaseSkin;
    for (int i = 0; i < kIcons; ++i)
        picIcon[i] = messageIcon(i);
    for (int i = 0; i < 3; ++i)
        picStat[i] = statusPicture(i);
    for (int i = 0; i < 4; ++i)
        picImgLst[i] = listIcon(i);
    for (int i = 0; i < kChatPictures; ++i)
        picChat[i] = chatPicture(i);
    icon = logoIcon({16, 24, 32, 48, 64, 128, 256});
    trayIcon = logoIcon({16, 22, 24, 32, 48});
    setWindowIcon(icon);
}

frmImgs& frmImgs::Load() {
    if (frmImgs* loaded = gLoaded.Loaded()) return *loaded;
    frmImgs& made = *gLoaded.Load();
    std::vector<QString> texts;
    for (int i = 0; i < kChatPictures; ++i)
        texts.push_back(txtPic(i));
    modAppFnc::SetChatPictureTexts(texts);
    return made;
}

frmImgs* frmImgs::Loaded() {
    return gLoaded.Loaded();
}

QUrl frmImgs::ChatPictureUrl(int index) {
    // Letters and digits only: nothing a shortcut code could be found in.
    return QUrl(QStringLiteral("qx3pic%1").arg(index, 2, 10, QLatin1Char('0')));
}

QString frmImgs::txtPic(int index) {
    if (index < 0 || index >= kChatPictures) return {};
    return QStringLiteral("<img src=\"%1\">").arg(ChatPictureUrl(index).toString());
}

void frmImgs::AddPictureResources(QTextDocument* doc) const {
    if (!doc) return;
    for (int i = 0; i < kChatPictures; ++i)
        doc->addResource(QTextDocument::ImageResource, ChatPictureUrl(i), QVariant(picChat[i]));
}
