// The drawing helper's pixel rules, on small images, and the colour conversion it uses.
#include "core/modGDI.h"
#include "platform/Colors.h"
#include "support/Headless.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QtTest>

namespace {
constexpr quint32 kWhite = 0xFFFFFF;
constexpr quint32 kRed = 0x0000FF; // 0x00BBGGRR
constexpr quint32 kBlue = 0xFF0000;

QImage blank(int w = 12, int h = 12) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Colors::fromBgr(kWhite));
    return img;
}

quint32 at(const QImage& img, int x, int y) {
    return Colors::toBgr(img.pixelColor(x, y));
}

// The pixels that are no longer white.
QList<QPoint> painted(const QImage& img) {
    QList<QPoint> out;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (at(img, x, y) != kWhite) out.append(QPoint(x, y));
    return out;
}

QRect bounds(const QList<QPoint>& pts) {
    QRect r;
    for (const QPoint& p : pts)
        r |= QRect(p, QSize(1, 1));
    return r;
}
} // namespace

class tst_modGDI : public QObject {
    Q_OBJECT
    TestEnv::Headless env;
  private slots:
    void colourConversion_data();
    void colourConversion();
    void systemColoursCanBeReplaced();
    void box_data();
    void box();
    void line_data();
    void line();
    void penAndTextColoursAreSeparate();
    void textAtIsLiteral();
    void textReachesThePainterInAnyScript_data();
    void textReachesThePainterInAnyScript();
    void focusRectInvertsEveryOtherPixel();
    void symbolFontStandIn_data();
    void symbolFontStandIn();
};

void tst_modGDI::colourConversion_data() {
    QTest::addColumn<quint32>("bgr");
    QTest::addColumn<QColor>("colour");
    QTest::newRow("red is the low byte") << quint32(0x0000FF) << QColor(255, 0, 0);
    QTest::newRow("blue is the third byte") << quint32(0xFF0000) << QColor(0, 0, 255);
    QTest::newRow("style 3 outline") << quint32(0x733C00) << QColor(0x00, 0x3C, 0x73);
    QTest::newRow("mixed") << quint32(0x102030) << QColor(0x30, 0x20, 0x10);
}

void tst_modGDI::colourConversion() {
    QFETCH(quint32, bgr);
    QFETCH(QColor, colour);
    QCOMPARE(Colors::fromBgr(bgr), colour);
    QCOMPARE(Colors::toBgr(colour), bgr);
    QCOMPARE(Colors::fromBgr(bgr | 0xAB000000u), colour); // the top byte is no colour
}

void tst_modGDI::systemColoursCanBeReplaced() {
    {
        SysColorStandIn colours([](int index) { return index == Colors::kBtnFace ? 0x123456u : 0u; });
        QCOMPARE(Colors::SysColor(Colors::kBtnFace), 0x123456u);
    }
    QCOMPARE(Colors::SysColor(Colors::kBtnFace),
             Colors::toBgr(QGuiApplication::palette().color(QPalette::Button)));
}

void tst_modGDI::box_data() {
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y");
    QTest::addColumn<int>("w");
    QTest::addColumn<int>("h");
    QTest::addColumn<bool>("frame");
    QTest::addColumn<int>("count");
    QTest::newRow("fill") << 2 << 3 << 4 << 2 << false << 8;
    QTest::newRow("fill one pixel") << 5 << 5 << 1 << 1 << false << 1;
    QTest::newRow("frame") << 1 << 1 << 5 << 4 << true << 14;
    QTest::newRow("frame one row") << 1 << 1 << 5 << 1 << true << 5;
    QTest::newRow("frame one pixel") << 3 << 3 << 1 << 1 << true << 1;
    QTest::newRow("empty fill") << 2 << 2 << 0 << 3 << false << 0;
    QTest::newRow("empty frame") << 2 << 2 << 3 << 0 << true << 0;
    QTest::newRow("reversed fill") << 6 << 6 << -3 << 2 << false << 0;
    QTest::newRow("reversed frame") << 6 << 6 << 2 << -3 << true << 0;
}

void tst_modGDI::box() {
    QFETCH(int, x);
    QFETCH(int, y);
    QFETCH(int, w);
    QFETCH(int, h);
    QFETCH(bool, frame);
    QFETCH(int, count);
    QImage img = blank();
    {
        modGDI::DC dc(img);
        modGDI::DrawBox(dc, x, y, w, h, kRed, frame);
    }
    const QList<QPoint> pts = painted(img);
    QCOMPARE(pts.size(), count);
    if (count == 0) return;
    // Covers left..right-1 and top..bottom-1, nothing else.
    QCOMPARE(bounds(pts), QRect(x, y, w, h));
    for (const QPoint& p : pts)
        QCOMPARE(at(img, p.x(), p.y()), kRed);
    if (frame && w > 2 && h > 2) QCOMPARE(at(img, x + 1, y + 1), kWhite);
}

void tst_modGDI::line_data() {
    QTest::addColumn<QPoint>("from");
    QTest::addColumn<QPoint>("to");
    QTest::newRow("rightwards") << QPoint(1, 2) << QPoint(6, 2);
    QTest::newRow("leftwards") << QPoint(6, 2) << QPoint(1, 2);
    QTest::newRow("downwards") << QPoint(3, 1) << QPoint(3, 9);
    QTest::newRow("upwards") << QPoint(3, 9) << QPoint(3, 1);
    QTest::newRow("diagonal") << QPoint(1, 1) << QPoint(7, 7);
    QTest::newRow("steep, backwards") << QPoint(8, 9) << QPoint(6, 2);
    QTest::newRow("runs off the image") << QPoint(8, 4) << QPoint(20, 4);
    QTest::newRow("no length") << QPoint(4, 4) << QPoint(4, 4);
}

void tst_modGDI::line() {
    QFETCH(QPoint, from);
    QFETCH(QPoint, to);
    QImage img = blank();
    {
        modGDI::DC dc(img);
        dc.SetPenColor(kRed);
        modGDI::DrawLine(dc, from.x(), from.y(), to.x(), to.y());
        QCOMPARE(dc.Position(), to);
    }
    const QList<QPoint> pts = painted(img);
    const int length = std::max(std::abs(to.x() - from.x()), std::abs(to.y() - from.y()));
    const QRect inside = img.rect();
    if (length == 0) {
        QVERIFY(pts.isEmpty());
        return;
    }
    QVERIFY(pts.contains(from));                         // the start is painted
    if (inside.contains(to)) QVERIFY(!pts.contains(to)); // the end is not
    int expected = 0;                                    // one pixel per step, inside the image
    for (int i = 0; i < length; ++i) {
        const QPoint p(from.x() + (to.x() - from.x()) * i / length,
                       from.y() + (to.y() - from.y()) * i / length);
        if (inside.contains(p)) ++expected;
    }
    QCOMPARE(pts.size(), expected);
    for (const QPoint& p : pts)
        QCOMPARE(at(img, p.x(), p.y()), kRed);
}

void tst_modGDI::penAndTextColoursAreSeparate() {
    QImage img = blank(60, 30);
    {
        modGDI::DC dc(img);
        dc.SetPenColor(kRed);
        modGDI::TextColor(dc, kBlue);
        QCOMPARE(dc.TextColor(), kBlue);
        QCOMPARE(dc.PenColor(), kRed);
        modGDI::DrawTextAt(dc, QStringLiteral("WW"), 2, 2);
        modGDI::DrawLine(dc, 0, 28, 60, 28);
    }
    int textPixels = 0;
    for (const QPoint& p : painted(img)) {
        const QColor c = img.pixelColor(p);
        if (p.y() == 28) {
            QCOMPARE(Colors::toBgr(c), kRed);
        } else {
            ++textPixels;
            QVERIFY2(c.blue() == 255 && c.red() < 255,
                     "text is drawn in the text colour, not the pen colour");
        }
    }
    QVERIFY(textPixels > 0);
}

void tst_modGDI::textAtIsLiteral() {
    // An "&" in a name is drawn as an "&": the same as "&&" with prefix processing on.
    QImage literal = blank(80, 30);
    QImage escaped = blank(80, 30);
    QImage prefixed = blank(80, 30);
    QSizeF size;
    {
        modGDI::DC dc(literal);
        modGDI::DrawTextAt(dc, QStringLiteral("R&D"), 3, 4);
        size = dc.TextSize(QStringLiteral("R&D"));
    }
    const modGDI::Rect r{3, 4, 3 + int(std::ceil(size.width())), 4 + int(std::ceil(size.height()))};
    {
        modGDI::DC dc(escaped);
        dc.DrawText(QStringLiteral("R&&D"), r, modGDI::kLeftTop);
    }
    {
        modGDI::DC dc(prefixed);
        dc.DrawText(QStringLiteral("R&D"), r, modGDI::kLeftTop);
    }
    QCOMPARE(literal, escaped);
    QVERIFY(literal != prefixed);
    // Top left at (x, y), inside the measured rectangle.
    const QRect drawn = bounds(painted(literal));
    QVERIFY(!drawn.isEmpty());
    QVERIFY(QRect(r.left, r.top, r.right - r.left, r.bottom - r.top).contains(drawn));
}

void tst_modGDI::textReachesThePainterInAnyScript_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("Greek") << QStringLiteral("\u03A9\u03BC\u03AD\u03B3\u03B1");
    QTest::newRow("Cyrillic") << QStringLiteral("\u0418\u043C\u044F");
    QTest::newRow("Polish") << QStringLiteral("Za\u017C\u00F3\u0142\u0107");
}

// What the helper draws is what the painter draws of the same text: no character is replaced
// on the way, the user list's one-line text included.
void tst_modGDI::textReachesThePainterInAnyScript() {
    QFETCH(QString, text);
    const QFont font(QStringLiteral("DejaVu Sans"), 10);
    const QRect box(0, 0, 90, 30);
    const unsigned centred = modGDI::kCenter | modGDI::kVCenter | modGDI::kSingleLine;
    QImage drawn = blank(box.width(), box.height());
    QImage leftTop = blank(box.width(), box.height());
    QSizeF size;
    {
        modGDI::DC dc(drawn);
        dc.SetFont(font);
        dc.DrawText(text, {0, 0, box.width(), box.height()}, centred);
    }
    {
        modGDI::DC dc(leftTop);
        dc.SetFont(font);
        modGDI::DrawTextAt(dc, text, 2, 3);
        size = dc.TextSize(text);
    }
    auto byPainter = [&](int flags, const QRect& r) {
        QImage img = blank(box.width(), box.height());
        QPainter p(&img);
        p.setRenderHint(QPainter::TextAntialiasing, true);
        p.setFont(font);
        p.setPen(Qt::black);
        p.setClipRect(r);
        p.drawText(r, flags, text);
        return img;
    };
    const QImage expected = byPainter(Qt::AlignCenter | Qt::TextSingleLine | Qt::TextShowMnemonic, box);
    QVERIFY(!painted(expected).isEmpty());
    QCOMPARE(drawn, expected);
    QCOMPARE(leftTop, byPainter(Qt::AlignLeft | Qt::AlignTop,
                                QRect(2, 3, int(std::ceil(size.width())), int(std::ceil(size.height())))));
    // Not the code page's question marks.
    QImage questions = blank(box.width(), box.height());
    {
        modGDI::DC dc(questions);
        dc.SetFont(font);
        dc.DrawText(QString(text.size(), QLatin1Char('?')), {0, 0, box.width(), box.height()}, centred);
    }
    QVERIFY(drawn != questions);
    QCOMPARE(size, QFontMetricsF(font, &leftTop).size(0, text));
}

void tst_modGDI::focusRectInvertsEveryOtherPixel() {
    QImage img = blank(12, 10);
    const QImage before = img;
    {
        modGDI::DC dc(img);
        dc.DrawFocusRect({2, 2, 10, 8});
    }
    QCOMPARE(at(img, 2, 2), 0x000000u); // white inverted
    QCOMPARE(at(img, 3, 2), kWhite);
    QCOMPARE(at(img, 9, 3), 0x000000u); // right edge, x + y even
    QCOMPARE(at(img, 5, 7), 0x000000u); // bottom edge
    QCOMPARE(at(img, 5, 5), kWhite);    // inside stays
    QCOMPARE(bounds(painted(img)), QRect(2, 2, 8, 6));
    {
        modGDI::DC dc(img);
        dc.DrawFocusRect({2, 2, 10, 8});
    }
    QCOMPARE(img, before);
}

void tst_modGDI::symbolFontStandIn_data() {
    QTest::addColumn<QString>("letter");
    QTest::addColumn<QString>("glyph");
    QTest::newRow("check mark") << QStringLiteral("a") << QString(QChar(0x2713));
    QTest::newRow("triangle up") << QStringLiteral("t") << QString(QChar(0x25B2));
    QTest::newRow("triangle down") << QStringLiteral("u") << QString(QChar(0x25BC));
}

void tst_modGDI::symbolFontStandIn() {
    QFETCH(QString, letter);
    QFETCH(QString, glyph);
    QFont symbol(QString::fromLatin1(modGDI::kSymbolFont), 10);
    if (QFontInfo(symbol).family().compare(QLatin1String(modGDI::kSymbolFont), Qt::CaseInsensitive) == 0)
        QSKIP("the symbol font is installed here and draws its own glyphs");
    QFont standIn(QStringLiteral("DejaVu Sans"), 10);
    QImage a = blank(30, 30);
    QImage b = blank(30, 30);
    const unsigned f = modGDI::kCenter | modGDI::kVCenter | modGDI::kSingleLine;
    {
        modGDI::DC dc(a);
        dc.SetFont(symbol);
        dc.DrawText(letter, {0, 0, 30, 30}, f);
    }
    {
        // Straight onto the image: the helper would turn the glyph into "?" of the code page.
        QPainter p(&b);
        p.setRenderHint(QPainter::TextAntialiasing, true);
        p.setFont(standIn);
        p.setPen(Qt::black);
        p.drawText(QRect(0, 0, 30, 30), Qt::AlignCenter | Qt::TextSingleLine | Qt::TextShowMnemonic, glyph);
    }
    QVERIFY(!painted(b).isEmpty());
    QCOMPARE(a, b);
    // The same letter in an ordinary font stays a letter.
    QImage plain = blank(30, 30);
    {
        modGDI::DC dc(plain);
        dc.SetFont(standIn);
        dc.DrawText(letter, {0, 0, 30, 30}, f);
    }
    QVERIFY(plain != b);
}

QTEST_MAIN(tst_modGDI)
#include "tst_modGDI.moc"
