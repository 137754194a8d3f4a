// The owner-drawn push button: the events it raises for mouse and keyboard input, its access
// key, its window shape and its drawing, checked at pixels on offscreen windows.
#include "controls/PropertyBag.h"
#include "controls/chameleonButton.h"
#include "core/modGDI.h"
#include "platform/Colors.h"
#include "platform/Desktop.h"
#include "support/Headless.h"
#include "support/Recorders.h"
#include "support/Screenshot.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QtTest>
#include <optional>

namespace {
constexpr int kW = 75;
constexpr int kH = 25;
const QPoint kAt(20, 30); // where the button sits in its window

// Colours of the fixed grey scheme (3) and of scheme 2 from the face 0xC0C0C0.
constexpr quint32 kFace = 0xC0C0C0;
constexpr quint32 kLight = 0xDFDFDF;
constexpr quint32 kHighlight2 = 0xEFEFEF;
constexpr quint32 kShadow = 0x808080;
constexpr quint32 kDark = 0x000000;

quint32 bgr(const QImage& img, int x, int y) {
    const QColor c = img.pixelColor(x, y);
    return quint32(c.red()) | quint32(c.green()) << 8 | quint32(c.blue()) << 16;
}

QString num(float v) {
    return QString::number(double(v));
}

// A window holding the button under test between two other buttons, for the focus moves.
struct Host {
    QPointer<QWidget> window = new QWidget;
    chameleonButton* before = nullptr;
    chameleonButton* button = nullptr;
    chameleonButton* after = nullptr;
    QStringList log;

    explicit Host(qint32 type = 3, qint32 scheme = 3) {
        window->resize(200, 120);
        before = new chameleonButton(window, type);
        before->setObjectName(QStringLiteral("before"));
        before->setGeometry(20, 2, kW, kH);
        button = new chameleonButton(window, type);
        button->setObjectName(QStringLiteral("button"));
        button->setGeometry(QRect(kAt, QSize(kW, kH)));
        button->SetColorScheme(scheme);
        after = new chameleonButton(window, type);
        after->setObjectName(QStringLiteral("after"));
        after->setGeometry(20, 60, kW, kH);
        auto mouse = [this](const char* name) {
            return [this, name](qint16& b, qint16& s, float& x, float& y) {
                log << QStringLiteral("%1(%2,%3,%4,%5)")
                           .arg(QLatin1String(name))
                           .arg(b)
                           .arg(s)
                           .arg(num(x), num(y));
            };
        };
        QObject::connect(button, &chameleonButton::MouseDown, button, mouse("MouseDown"));
        QObject::connect(button, &chameleonButton::MouseUp, button, mouse("MouseUp"));
        // Hovering moves come with every pointer movement; the sequences are about held buttons.
        QObject::connect(
            button, &chameleonButton::MouseMove, button, [this](qint16& b, qint16& s, float& x, float& y) {
                if (b != 0) log << QStringLiteral("MouseMove(%1,%2,%3,%4)").arg(b).arg(s).arg(num(x), num(y));
            });
        QObject::connect(button, &chameleonButton::Click, button, [this] { log << QStringLiteral("Click"); });
        QObject::connect(button, &chameleonButton::DblClick, button,
                         [this] { log << QStringLiteral("DblClick"); });
        QObject::connect(button, &chameleonButton::KeyDown, button, [this](qint16& k, qint16& s) {
            log << QStringLiteral("KeyDown(%1,%2)").arg(k).arg(s);
        });
        QObject::connect(button, &chameleonButton::KeyUp, button, [this](qint16& k, qint16& s) {
            log << QStringLiteral("KeyUp(%1,%2)").arg(k).arg(s);
        });
        QObject::connect(button, &chameleonButton::KeyPress, button,
                         [this](qint16& a) { log << QStringLiteral("KeyPress(%1)").arg(a); });
    }
    ~Host() { delete window.data(); }

    bool show() {
        window->show();
        window->activateWindow();
        return QTest::qWaitForWindowActive(window);
    }
    QWindow* handle() const { return window->windowHandle(); }
    QImage image() const { return button->grab().toImage(); }

    // The look at a point of the face that no caption, outline or bevel covers.
    QString look() const {
        const quint32 c = bgr(image(), 5, 12);
        if (c == 0xE1E4E4) return QStringLiteral("=up");      // row 12 of the up gradient
        if (c == 0xC0C8C8) return QStringLiteral("=pressed"); // row 12 of the pressed gradient
        if (c == 0xD2D8D8) return QStringLiteral("=disabled");
        return QStringLiteral("=?%1").arg(c, 6, 16, QLatin1Char('0'));
    }
};

void sendKey(QWidget* w, QEvent::Type type, Qt::Key key, const QString& text, bool autoRepeat = false) {
    QKeyEvent e(type, key, Qt::NoModifier, text, autoRepeat);
    QApplication::sendEvent(w, &e);
}

Qt::Key keyNamed(const QString& name, QString& text) {
    text.clear();
    if (name == u"Space") {
        text = QStringLiteral(" ");
        return Qt::Key_Space;
    }
    if (name == u"A") {
        text = QStringLiteral("a");
        return Qt::Key_A;
    }
    if (name == u"Left") return Qt::Key_Left;
    if (name == u"Right") return Qt::Key_Right;
    if (name == u"Up") return Qt::Key_Up;
    if (name == u"Down") return Qt::Key_Down;
    return Qt::Key_unknown;
}

Qt::MouseButton mouseNamed(const QString& name) {
    if (name == u"L") return Qt::LeftButton;
    if (name == u"R") return Qt::RightButton;
    return Qt::MiddleButton;
}

// Runs one step of an input script on the host. Mouse input goes through the window, as the
// pointer would give it (with the implicit grab and Qt's own double-click detection).
void run(Host& h, const QString& step) {
    const QStringList t = step.split(u' ');
    const QString& op = t.at(0);
    auto at = [&] { return kAt + QPoint(t.at(2).toInt(), t.at(3).toInt()); };
    if (op == u"press")
        QTest::mousePress(h.handle(), mouseNamed(t.at(1)), {}, at());
    else if (op == u"release")
        QTest::mouseRelease(h.handle(), mouseNamed(t.at(1)), {}, at());
    else if (op == u"dclick")
        QTest::mouseDClick(h.handle(), mouseNamed(t.at(1)), {}, at());
    else if (op == u"move")
        QTest::mouseMove(h.handle(), kAt + QPoint(t.at(1).toInt(), t.at(2).toInt()));
    else if (op == u"look")
        h.log << h.look();
    else if (op == u"focus")
        h.log << QStringLiteral("focus=") + QApplication::focusWidget()->objectName();
    else if (op == u"disable")
        h.button->SetEnabled(false);
    else if (op == u"enable")
        h.button->SetEnabled(true);
    else if (op == u"alt")
        QTest::keyClick(h.handle(), Qt::Key(t.at(1).at(0).unicode()), Qt::AltModifier);
    else {
        QString text;
        const Qt::Key key = keyNamed(t.at(1), text);
        if (op == u"keydown")
            sendKey(h.button, QEvent::KeyPress, key, text);
        else if (op == u"keyup")
            sendKey(h.button, QEvent::KeyRelease, key, text);
        else if (op == u"keyrepeat") { // what a held key gives: a repeated release and press
            sendKey(h.button, QEvent::KeyRelease, key, text, true);
            sendKey(h.button, QEvent::KeyPress, key, text, true);
        } else
            QFAIL(qPrintable(QStringLiteral("unknown step ") + step));
    }
}
} // namespace

class tst_chameleonButton : public QObject {
    Q_OBJECT
    TestEnv::Headless env;
  private slots:
    void events_data();
    void events();
    void handlerMayDeleteTheWindow_data();
    void handlerMayDeleteTheWindow();
    void accessKey_data();
    void accessKey();
    void accessKeyClicks();
    void shiftColor_data();
    void shiftColor();
    void style3Gradient_data();
    void style3Gradient();
    void style3WorkedExample_data();
    void style3WorkedExample();
    void style3Mark_data();
    void style3Mark();
    void disabledLookIgnoresLastState();
    void style3CaptionColours();
    void longCaptionEndsInAnEllipsis_data();
    void longCaptionEndsInAnEllipsis();
    void styleLooks_data();
    void styleLooks();
    void systemColourScheme();
    void disabledCaption_data();
    void disabledCaption();
    void focusRect_data();
    void focusRect();
    void style5FocusFrameSurroundsTheCaption();
    void enabledFollowsTheWidget();
    void region_data();
    void region();
    void regionFollowsStyleAndSize();
    void cutCornerIsNotTheButton();
    void zeroHeightDrawsNothing();
    void propertiesNotifyTheirKeys_data();
    void propertiesNotifyTheirKeys();
    void propertyBag();
    void symbolCaptionsStayLetters();
    void captionInAnyScript_data();
    void captionInAnyScript();
    void screenshot();
};

void tst_chameleonButton::events_data() {
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<bool>("cancelKeyDown");
    QTest::addColumn<QStringList>("expected");
    auto L = [](const char* s) { return QString::fromLatin1(s).split(u';'); };

    QTest::newRow("left click") << L("press L 10 5;look;release L 10 5;look") << false
                                << L("MouseDown(1,0,10,5);=pressed;MouseUp(1,0,10,5);Click;=up");
    QTest::newRow("right click never presses or clicks")
        << L("press R 10 5;look;release R 10 5;look") << false
        << L("MouseDown(2,0,10,5);=up;MouseUp(2,0,10,5);=up");
    QTest::newRow("after a right click the access key does not click")
        << L("press R 10 5;release R 10 5;alt G") << false
        << L("MouseDown(2,0,10,5);MouseUp(2,0,10,5);KeyDown(18,4);KeyUp(71,4);KeyUp(18,0)");
    QTest::newRow("middle click presses but does not click")
        << L("press M 10 5;look;release M 10 5;look") << false
        << L("MouseDown(4,0,10,5);=pressed;MouseUp(4,0,10,5);=up");
    QTest::newRow("drag out and back")
        << L("press L 10 5;move 10 40;look;move 10 5;look;release L 10 5") << false
        << L("MouseDown(1,0,10,5);MouseMove(1,0,10,40);=up;MouseMove(1,0,10,5);=pressed;MouseUp(1,0,10,5);"
             "Click");
    QTest::newRow("the right and bottom edges count as inside")
        << L("press L 10 5;move 75 25;look") << false
        << L("MouseDown(1,0,10,5);MouseMove(1,0,75,25);=pressed");
    QTest::newRow("release outside")
        << L("press L 10 5;move -3 5;look;release L -3 5;look") << false
        << L("MouseDown(1,0,10,5);MouseMove(1,0,-3,5);=up;MouseUp(1,0,-3,5);=up");
    QTest::newRow("double click")
        << L("dclick L 10 5;look") << false
        << L("MouseDown(1,0,10,5);MouseUp(1,0,10,5);Click;MouseDown(1,1,1,1);DblClick;MouseUp(1,0,10,5);=up");
    QTest::newRow("Space") << L("keydown Space;look;keyup Space;look") << false
                           << L("KeyDown(32,0);MouseDown(1,1,1,1);KeyPress(32);=pressed;"
                                "KeyUp(32,0);MouseUp(1,1,1,1);Click;=up");
    QTest::newRow("Space held repeats the press, one click")
        << L("keydown Space;keyrepeat Space;keyrepeat Space;keyup Space") << false
        << L("KeyDown(32,0);MouseDown(1,1,1,1);KeyPress(32);KeyDown(32,0);MouseDown(1,1,1,1);KeyPress(32);"
             "KeyDown(32,0);MouseDown(1,1,1,1);KeyPress(32);KeyUp(32,0);MouseUp(1,1,1,1);Click");
    QTest::newRow("a second Space release does not click")
        << L("keydown Space;keyup Space;keyup Space") << false
        << L("KeyDown(32,0);MouseDown(1,1,1,1);KeyPress(32);KeyUp(32,0);MouseUp(1,1,1,1);Click;KeyUp(32,0)");
    QTest::newRow("Space release after another key")
        << L("keydown A;keyup A;keyup Space") << false
        << L("KeyDown(65,0);KeyPress(97);KeyUp(65,0);KeyUp(32,0)");
    QTest::newRow("Space after a right click clicks")
        << L("press R 10 5;release R 10 5;keydown Space;keyup Space") << false
        << L("MouseDown(2,0,10,5);MouseUp(2,0,10,5);KeyDown(32,0);MouseDown(1,1,1,1);KeyPress(32);"
             "KeyUp(32,0);MouseUp(1,1,1,1);Click");
    QTest::newRow("KeyDown handler cancels Space") << L("keydown Space;look;keyup Space;look") << true
                                                   << L("KeyDown(32,0);KeyPress(32);=up;KeyUp(32,0);=up");
    QTest::newRow("Right moves to the next control")
        << L("keydown Right;focus") << false << L("KeyDown(39,0);focus=after");
    QTest::newRow("Down moves to the next control")
        << L("keydown Down;focus") << false << L("KeyDown(40,0);focus=after");
    QTest::newRow("Left moves to the previous control")
        << L("keydown Left;focus") << false << L("KeyDown(37,0);focus=before");
    QTest::newRow("Up moves to the previous control")
        << L("keydown Up;focus") << false << L("KeyDown(38,0);focus=before");
    QTest::newRow("KeyDown handler cancels the focus move")
        << L("keydown Right;focus") << true << L("KeyDown(39,0);focus=button");
    QTest::newRow("disabled takes no input")
        << L("disable;look;press L 10 5;release L 10 5;keydown Space;keyup Space;alt G;look") << false
        << L("=disabled;=disabled");
    QTest::newRow("enabled again draws up and clicks")
        << L("disable;enable;look;press L 10 5;release L 10 5") << false
        << L("=up;MouseDown(1,0,10,5);MouseUp(1,0,10,5);Click");
}

void tst_chameleonButton::events() {
    QFETCH(QStringList, steps);
    QFETCH(bool, cancelKeyDown);
    QFETCH(QStringList, expected);
    Host h;
    h.button->SetCaption(QStringLiteral("&Go"));
    if (cancelKeyDown)
        QObject::connect(h.button, &chameleonButton::KeyDown, h.button, [](qint16& k, qint16&) { k = 0; });
    QVERIFY(h.show());
    h.button->setFocus();
    QTRY_VERIFY(h.button->hasFocus());
    // Bring the pointer over the window first, so that presses are not preceded by moves in.
    QTest::mouseMove(h.handle(), QPoint(150, 110));
    h.log.clear();
    for (const QString& s : steps)
        run(h, s);
    QCOMPARE(h.log.join(u';'), expected.join(u';'));
}

void tst_chameleonButton::handlerMayDeleteTheWindow_data() {
    QTest::addColumn<QString>("event");
    QTest::addColumn<QStringList>("steps");
    auto L = [](const char* s) { return QString::fromLatin1(s).split(u';'); };
    QTest::newRow("Click from the mouse") << "Click" << L("press L 10 5;release L 10 5");
    QTest::newRow("Click from Space") << "Click" << L("keydown Space;keyup Space");
    QTest::newRow("Click from the access key") << "Click" << L("alt G");
    QTest::newRow("DblClick") << "DblClick" << L("dclick L 10 5");
    QTest::newRow("MouseDown") << "MouseDown" << L("press L 10 5");
    QTest::newRow("MouseDown from Space") << "MouseDown" << L("keydown Space");
    QTest::newRow("MouseUp") << "MouseUp" << L("press L 10 5;release L 10 5");
    QTest::newRow("MouseUp from Space") << "MouseUp" << L("keydown Space;keyup Space");
    QTest::newRow("KeyDown") << "KeyDown" << L("keydown Space");
    QTest::newRow("KeyUp") << "KeyUp" << L("keydown Space;keyup Space");
    QTest::newRow("KeyPress") << "KeyPress" << L("keydown Space");
}

void tst_chameleonButton::handlerMayDeleteTheWindow() {
    QFETCH(QString, event);
    QFETCH(QStringList, steps);
    Host h;
    h.button->SetCaption(QStringLiteral("&Go"));
    QVERIFY(h.show());
    QWindow* handle = h.handle();
    QPointer<chameleonButton> button = h.button;
    int fired = 0;
    auto close = [&] {
        ++fired;
        delete h.window.data();
    };
    if (event == u"Click") connect(h.button, &chameleonButton::Click, this, close);
    if (event == u"DblClick") connect(h.button, &chameleonButton::DblClick, this, close);
    if (event == u"MouseDown") connect(h.button, &chameleonButton::MouseDown, this, close);
    if (event == u"MouseUp") connect(h.button, &chameleonButton::MouseUp, this, close);
    if (event == u"KeyDown") connect(h.button, &chameleonButton::KeyDown, this, close);
    if (event == u"KeyUp") connect(h.button, &chameleonButton::KeyUp, this, close);
    if (event == u"KeyPress") connect(h.button, &chameleonButton::KeyPress, this, close);
    for (const QString& s : steps) {
        if (!button) break;
        if (s.startsWith(u"key"))
            run(h, s);
        else {
            // The window's handle goes with the window: keep using the one from before.
            const QStringList t = s.split(u' ');
            const QPoint at = kAt + QPoint(10, 5);
            if (t.at(0) == u"press")
                QTest::mousePress(handle, Qt::LeftButton, {}, at);
            else if (t.at(0) == u"release")
                QTest::mouseRelease(handle, Qt::LeftButton, {}, at);
            else if (t.at(0) == u"dclick")
                QTest::mouseDClick(handle, Qt::LeftButton, {}, at);
            else if (t.at(0) == u"alt")
                QTest::keyClick(handle, Qt::Key_G, Qt::AltModifier);
        }
    }
    QCOMPARE(fired, 1);
    QVERIFY(button.isNull());
    QVERIFY(h.window.isNull());
}

void tst_chameleonButton::accessKey_data() {
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("key");
    QTest::newRow("first letter") << "&Chat"
                                  << "c";
    QTest::newRow("inside the word") << "E&xit"
                                     << "x";
    QTest::newRow("upper case becomes lower") << "Save &As"
                                              << "a";
    QTest::newRow("no ampersand") << "Chat"
                                  << "";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("one character") << "&"
                                   << "";
    QTest::newRow("ends in its only ampersand") << "Chat&"
                                                << "";
    QTest::newRow("only a doubled ampersand") << "R&&D"
                                              << "";
    QTest::newRow("doubled, then a single one") << "R&&D &Go"
                                                << "g";
    QTest::newRow("doubled then single at once") << "&&&x"
                                                 << "x";
    QTest::newRow("doubled twice") << "a&&&&b"
                                   << "";
    QTest::newRow("doubled, later one at the end") << "a&&b&"
                                                   << "";
    QTest::newRow("only the first single one counts") << "&One &Two"
                                                      << "o";
    QTest::newRow("a digit") << "Page &2"
                             << "2";
    QTest::newRow("a blank") << "a& b"
                             << " ";
    QTest::newRow("accented") << QString::fromUtf8("&Élan") << QString::fromUtf8("é");
}

void tst_chameleonButton::accessKey() {
    QFETCH(QString, caption);
    QFETCH(QString, key);
    chameleonButton b;
    b.SetCaption(caption);
    QCOMPARE(b.GetAccessKey(), key);
}

void tst_chameleonButton::accessKeyClicks() {
    Host h;
    QVERIFY(h.show());
    QSignalSpy clicks(h.button, &chameleonButton::Click);
    h.button->SetCaption(QStringLiteral("&Chat"));
    QTest::keyClick(h.handle(), Qt::Key_C, Qt::AltModifier);
    QCOMPARE(clicks.size(), 1);
    h.button->SetCaption(QStringLiteral("&Go"));
    QTest::keyClick(h.handle(), Qt::Key_C, Qt::AltModifier); // the old key is let go
    QCOMPARE(clicks.size(), 1);
    QTest::keyClick(h.handle(), Qt::Key_G, Qt::AltModifier);
    QCOMPARE(clicks.size(), 2);
    h.button->SetCaption(QStringLiteral("Go"));
    QTest::keyClick(h.handle(), Qt::Key_G, Qt::AltModifier);
    QCOMPARE(clicks.size(), 2);
}

void tst_chameleonButton::shiftColor_data() {
    QTest::addColumn<quint32>("colour");
    QTest::addColumn<int>("amount");
    QTest::addColumn<bool>("scaled");
    QTest::addColumn<quint32>("result");
    QTest::newRow("scaled") << 0x302010u << 16 << true << 0x343020u;
    QTest::newRow("plain") << 0x302010u << 16 << false << 0x403020u;
    QTest::newRow("blue 192 scales like plain") << 0xC0C0C0u << 48 << true << 0xF0F0F0u;
    QTest::newRow("white stays white, scaled") << 0xFFFFFFu << 48 << true << 0xFFFFFFu;
    QTest::newRow("white stays white, plain") << 0xFFFFFFu << 48 << false << 0xFFFFFFu;
    QTest::newRow("black stays black, scaled") << 0x000000u << -10 << true << 0x000000u;
    QTest::newRow("black stays black, plain") << 0x000000u << -10 << false << 0x000000u;
    QTest::newRow("scaled blue 0 stays 0") << 0x004080u << 20 << true << 0x005494u;
    QTest::newRow("scaled quotient truncates toward zero") << 0xF0F0F0u << -2 << true << 0xEEEEEEu;
    QTest::newRow("scaled, darker by 3") << 0xF0F0F0u << -3 << true << 0xEDEDEDu;
    QTest::newRow("pressed base") << 0xF0F0F0u << -32 << true << 0xC8D0D0u;
    QTest::newRow("channels clamp each") << 0x10F080u << 100 << false << 0x74FFE4u;
    QTest::newRow("dark shadow of scheme 2") << 0xC0C0C0u << -192 << false << 0x000000u;
}

void tst_chameleonButton::shiftColor() {
    QFETCH(quint32, colour);
    QFETCH(int, amount);
    QFETCH(bool, scaled);
    QFETCH(quint32, result);
    QCOMPARE(chameleonButton::ShiftColor(colour, amount, scaled), result);
}

void tst_chameleonButton::style3Gradient_data() {
    // Row i of the gradient is the base shifted by round(-step * i), halves to even.
    QTest::addColumn<bool>("pressed");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("shift");
    // Up: base 0xF0F0F0, step 25 / height.
    QTest::newRow("up, step 1, row 12") << false << 25 << 12 << -12;
    QTest::newRow("up, step 0.5, row 5: -2.5 to -2") << false << 50 << 5 << -2;
    QTest::newRow("up, step 0.5, row 7: -3.5 to -4") << false << 50 << 7 << -4;
    QTest::newRow("up, step 0.5, row 9: -4.5 to -4") << false << 50 << 9 << -4;
    QTest::newRow("up, step 0.5, row 11: -5.5 to -6") << false << 50 << 11 << -6;
    QTest::newRow("up, step 0.5, row 46") << false << 50 << 46 << -23;
    // Pressed: base 0xC8D0D0, step 15 / height, drawn from the bottom: row height - i.
    QTest::newRow("pressed, step 0.5, i 5: -2.5 to -2") << true << 30 << 25 << -2;
    QTest::newRow("pressed, step 0.5, i 9: -4.5 to -4") << true << 30 << 21 << -4;
    QTest::newRow("pressed, step 0.5, i 7: -3.5 to -4") << true << 30 << 23 << -4;
    QTest::newRow("pressed, step 0.6, i 13") << true << 25 << 12 << -8;
}

void tst_chameleonButton::style3Gradient() {
    QFETCH(bool, pressed);
    QFETCH(int, height);
    QFETCH(int, row);
    QFETCH(int, shift);
    Host h;
    h.button->resize(kW, height);
    QVERIFY(h.show());
    if (pressed) QTest::mousePress(h.handle(), Qt::LeftButton, {}, kAt + QPoint(30, 3));
    const quint32 base = pressed ? 0xC8D0D0 : 0xF0F0F0;
    const QImage img = h.image();
    for (int x : {5, kW / 2, kW - 6})
        QCOMPARE(bgr(img, x, row), chameleonButton::ShiftColor(base, shift, true));
}

void tst_chameleonButton::style3WorkedExample_data() {
    QTest::addColumn<QString>("look");
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<quint32>("colour");
    const int W = kW, H = kH;
    QTest::newRow("up gradient row 12") << "up" << QPoint(30, 12) << 0xE1E4E4u;
    QTest::newRow("up outline top") << "up" << QPoint(2, 0) << 0x733C00u;
    QTest::newRow("up outline right") << "up" << QPoint(W - 1, H - 3) << 0x733C00u;
    QTest::newRow("up corner pixel") << "up" << QPoint(W - 2, H - 2) << 0x7B4D10u;
    QTest::newRow("up lowest bevel") << "up" << QPoint(30, H - 2) << 0xB4C0C0u;
    QTest::newRow("up top bevel") << "up" << QPoint(30, 1) << 0xFFFFFFu;
    QTest::newRow("up left bevel") << "up" << QPoint(1, 10)
                                   << chameleonButton::ShiftColor(0xF0F0F0, -5, true);
    QTest::newRow("pressed base line") << "pressed" << QPoint(W - 3, 10) << 0xC8D0D0u;
    QTest::newRow("pressed outline") << "pressed" << QPoint(W - 3, 0) << 0x733C00u;
    QTest::newRow("pressed corner pixel") << "pressed" << QPoint(1, 1) << 0x7B4D10u;
    QTest::newRow("pressed top bevel")
        << "pressed" << QPoint(30, 1) << chameleonButton::ShiftColor(0xC8D0D0, -32, true);
    QTest::newRow("disabled fill") << "disabled" << QPoint(30, 12) << 0xD2D8D8u;
    QTest::newRow("disabled outline") << "disabled" << QPoint(0, 2) << 0x879C9Cu;
    QTest::newRow("disabled corner pixel") << "disabled" << QPoint(1, H - 2) << 0x96A8A8u;
    QTest::newRow("disabled has no bevel") << "disabled" << QPoint(30, H - 2) << 0xD2D8D8u;
}

void tst_chameleonButton::style3WorkedExample() {
    QFETCH(QString, look);
    QFETCH(QPoint, at);
    QFETCH(quint32, colour);
    Host h;
    QVERIFY(h.show());
    if (look == u"pressed") QTest::mousePress(h.handle(), Qt::LeftButton, {}, kAt + QPoint(30, 3));
    if (look == u"disabled") h.button->SetEnabled(false);
    QCOMPARE(bgr(h.image(), at.x(), at.y()), colour);
}

void tst_chameleonButton::style3Mark_data() {
    QTest::addColumn<bool>("focused");
    QTest::addColumn<bool>("isDefault");
    QTest::addColumn<bool>("showFocusRect");
    QTest::addColumn<bool>("mark");
    QTest::newRow("plain") << false << false << true << false;
    QTest::newRow("focused") << true << false << true << true;
    QTest::newRow("default button") << false << true << true << true;
    QTest::newRow("default button, marks off") << false << true << false << false;
    QTest::newRow("focused, marks off") << true << false << false << false;
}

void tst_chameleonButton::style3Mark() {
    QFETCH(bool, focused);
    QFETCH(bool, isDefault);
    QFETCH(bool, showFocusRect);
    QFETCH(bool, mark);
    Host h;
    h.button->SetShowFocusRect(showFocusRect);
    QVERIFY(h.show());
    h.before->setFocus();
    if (focused) h.button->setFocus();
    QTRY_COMPARE(h.button->hasFocus(), focused);
    h.button->SetDisplayAsDefault(isDefault);
    const QImage img = h.image();
    const int W = kW, H = kH;
    struct Px {
        int x, y;
        quint32 marked, plain;
    };
    const Px px[] = {
        {1, 10, 0xE7AE8C, chameleonButton::ShiftColor(0xF0F0F0, -5, true)}, // frame / left bevel
        {30, H - 2, 0xEF826B, 0xB4C0C0},                                    // lower line / lowest bevel
        {30, 1, 0xFFE7CE, 0xFFFFFF},                                        // top line / top bevel
        {W - 3, 10, 0xF0D1B5, chameleonButton::ShiftColor(0xF0F0F0, -24, true)},
    };
    for (const Px& p : px)
        QCOMPARE(bgr(img, p.x, p.y), mark ? p.marked : p.plain);
    // Style 3 has no dotted focus rectangle: the mark takes its place.
    QCOMPARE(bgr(img, 4, 12), 0xE1E4E4u);
}

void tst_chameleonButton::disabledLookIgnoresLastState() {
    Host h;
    QVERIFY(h.show());
    h.button->SetEnabled(false);
    const QImage fromUp = h.image();
    h.button->SetEnabled(true);
    QTest::mousePress(h.handle(), Qt::LeftButton, {}, kAt + QPoint(30, 3));
    QCOMPARE(h.look(), QStringLiteral("=pressed"));
    h.button->SetEnabled(false);
    h.button->ForceRefresh();
    QCOMPARE(h.image(), fromUp);
}

void tst_chameleonButton::longCaptionEndsInAnEllipsis_data() {
    QTest::addColumn<qint32>("type");
    QTest::newRow("laid out (3)") << qint32(3);
    QTest::newRow("plain (2)") << qint32(2);
    QTest::newRow("lines (1)") << qint32(1);
}

// A caption too long for the button (a long translation) is drawn as its start and an ellipsis,
// inside the frame, exactly as that shorter caption would be; the caption itself stays whole.
void tst_chameleonButton::longCaptionEndsInAnEllipsis() {
    QFETCH(qint32, type);
    const QString caption = QStringLiteral("Sprache &festlegen...");
    Host whole(type), cut(type), bare(type);
    whole.button->SetCaption(caption);
    QCOMPARE(whole.button->Caption(), caption);
    const QString shorter = Desktop::FitText(QFontMetrics(whole.button->Font()), caption,
                                             whole.button->CaptionWidth(), Qt::TextShowMnemonic);
    QVERIFY2(shorter.endsWith(QChar(0x2026)) && shorter.size() > 3, qPrintable(shorter));
    cut.button->SetCaption(shorter);
    QVERIFY(whole.show() && cut.show() && bare.show());
    const QImage drawn = whole.image();
    QCOMPARE(drawn, cut.image());
    // Nothing of the caption lands on the frame's lines at either side.
    const QImage empty = bare.image();
    QVERIFY(drawn != empty);
    for (int y = 0; y < kH; ++y)
        for (int x : {0, 1, kW - 2, kW - 1})
            QVERIFY2(drawn.pixel(x, y) == empty.pixel(x, y),
                     qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
}

void tst_chameleonButton::style3CaptionColours() {
    // Up: the text colour (black in scheme 3); disabled: the base shifted by -104, 0x6E8888.
    Host h;
    h.button->SetFont(QFont(QStringLiteral("DejaVu Sans"), 12, QFont::Bold));
    h.button->SetCaption(QStringLiteral("WHW"));
    QVERIFY(h.show());
    auto count = [&](quint32 colour) {
        const QImage img = h.image();
        int n = 0;
        for (int y = 5; y < kH - 5; ++y)
            for (int x = 10; x < kW - 10; ++x)
                n += bgr(img, x, y) == colour;
        return n;
    };
    QVERIFY(count(0x000000) > 0);
    QCOMPARE(count(0x6E8888), 0);
    h.button->SetEnabled(false);
    QVERIFY(count(0x6E8888) > 0);
    QCOMPARE(count(0x000000), 0);
}

void tst_chameleonButton::styleLooks_data() {
    // Scheme 2 from the face 0xC0C0C0: light 0xDFDFDF, highlight 0xEFEFEF, shadow 0x808080,
    // dark shadow 0x000000.
    QTest::addColumn<int>("style");
    QTest::addColumn<QString>("look");
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<quint32>("colour");
    const int W = kW, H = kH;
    auto row = [](int style, const char* look, QPoint p, quint32 c, const char* what) {
        QTest::addRow("%d %s: %s", style, look, what) << style << QString::fromLatin1(look) << p << c;
    };
    row(1, "up", {1, 0}, kDark, "outline");
    row(1, "up", {1, 1}, kHighlight2, "outer frame");
    row(1, "up", {2, 5}, kHighlight2, "inner frame");
    row(1, "up", {W - 2, 5}, kShadow, "right line over the frame");
    row(1, "up", {5, H - 3}, kShadow, "lower line");
    row(1, "up", {5, 5}, kFace, "face");
    row(1, "pressed", {1, 1}, kShadow, "frame");
    row(1, "pressed", {W - 2, 5}, kHighlight2, "right line");
    row(1, "disabled", {W - 2, 5}, kShadow, "right line");
    row(2, "up", {0, 0}, kHighlight2, "outer frame");
    row(2, "up", {1, 1}, kLight, "inner frame");
    row(2, "up", {W - 1, 0}, kDark, "right line");
    row(2, "up", {W - 2, 5}, kShadow, "inner right line");
    row(2, "up", {5, H - 1}, kDark, "bottom line");
    row(2, "default", {0, 0}, kDark, "outer frame");
    row(2, "default", {1, 1}, kHighlight2, "frame");
    row(2, "default", {2, 2}, kLight, "inner frame");
    row(2, "default", {W - 2, 5}, kDark, "right line");
    row(2, "default", {W - 3, 5}, kShadow, "inner right line");
    row(2, "pressed", {0, 0}, kDark, "frame");
    row(2, "pressed", {W - 1, 5}, kDark, "frame right");
    row(2, "pressed", {1, 1}, kShadow, "inner frame");
    row(2, "disabled", {W - 1, 5}, kDark, "right line");
    row(4, "up", {5, 5}, kLight, "fill");
    row(4, "up", {5, 0}, kDark, "outline");
    row(4, "up", {1, 1}, kDark, "corner");
    row(4, "up", {1, 2}, kFace, "corner face");
    row(4, "up", {5, 2}, kHighlight2, "top highlight");
    row(4, "up", {W - 2, 5}, kShadow, "right shadow");
    row(4, "pressed", {5, 5}, 0x707070, "fill");
    row(4, "pressed", {5, 1}, 0x404040, "outer frame");
    row(4, "pressed", {1, 1}, kDark, "corner");
    row(4, "pressed", {W - 3, 5}, kShadow, "right line");
    row(4, "disabled", {5, 5}, kLight, "fill");
    row(5, "up", {5, 5}, 0xCCCCCC, "fill");
    row(5, "up", {1, 1}, kHighlight2, "inner frame");
    row(5, "up", {0, 0}, 0x666666, "outer frame");
    row(5, "up", {W - 1, 5}, kHighlight2, "right edge");
    row(5, "up", {1, H - 2}, 0x9A9A9A, "lower left pixel");
    row(5, "pressed", {5, 5}, 0x909090, "fill");
    row(5, "pressed", {0, 5}, 0x666666, "frame");
    row(5, "pressed", {W - 1, 5}, kHighlight2, "right line");
    row(5, "disabled", {0, 0}, kShadow, "frame");
    row(5, "disabled", {5, 5}, kFace, "face");
    row(6, "up", {0, 0}, 0xE7E7E7, "frame");
    row(6, "up", {1, 1}, 0xE7E7E7, "inner frame");
    row(6, "up", {W - 1, 5}, kShadow, "right line");
    row(6, "pressed", {0, 0}, kShadow, "frame");
    row(6, "pressed", {W - 2, 5}, 0xE7E7E7, "right line");
    row(6, "disabled", {W - 1, 5}, kShadow, "right line");
    row(7, "up", {0, 0}, kHighlight2, "frame");
    row(7, "up", {W - 1, 5}, kShadow, "right line");
    row(7, "up", {5, H - 1}, kShadow, "bottom line");
    row(7, "pressed", {0, 0}, kShadow, "frame");
    row(7, "pressed", {W - 1, 5}, kHighlight2, "right line");
    row(7, "disabled", {0, 0}, kHighlight2, "frame");
    row(8, "up", {0, 0}, kFace, "only the face");
    row(8, "pressed", {W - 1, H - 1}, kFace, "only the face");
    row(0, "disabled", {1, 1}, kFace, "only the face");
}

void tst_chameleonButton::styleLooks() {
    QFETCH(int, style);
    QFETCH(QString, look);
    QFETCH(QPoint, at);
    QFETCH(quint32, colour);
    Host h(style, 2);
    h.button->SetBackColor(kFace);
    h.button->SetForeColor(0x000080);
    QVERIFY(h.show());
    if (look == u"pressed") QTest::mousePress(h.handle(), Qt::LeftButton, {}, kAt + QPoint(30, 3));
    if (look == u"disabled") h.button->SetEnabled(false);
    if (look == u"default") h.button->SetDisplayAsDefault(true);
    QCOMPARE(bgr(h.image(), at.x(), at.y()), colour);
}

void tst_chameleonButton::systemColourScheme() {
    // Scheme 1 takes the system colours each time the palette is computed.
    std::optional<SysColorStandIn> colours;
    colours.emplace([](int i) -> quint32 {
        switch (i) {
        case Colors::kBtnFace:
            return 0x102030;
        case Colors::kLight3D:
            return 0x203040;
        case Colors::kBtnHighlight:
            return 0x304050;
        case Colors::kBtnShadow:
            return 0x405060;
        case Colors::kDkShadow3D:
            return 0x506070;
        case Colors::kBtnText:
            return 0x607080;
        default:
            return 0;
        }
    });
    Host h(2, 1);
    h.button->SetColorScheme(1);
    colours.reset();
    QVERIFY(h.show());
    const QImage img = h.image();
    QCOMPARE(bgr(img, 5, 5), 0x102030u);
    QCOMPARE(bgr(img, 1, 1), 0x203040u);
    QCOMPARE(bgr(img, 0, 0), 0x304050u);
    QCOMPARE(bgr(img, kW - 2, 5), 0x405060u);
    QCOMPARE(bgr(img, kW - 1, 5), 0x506070u);
    QCOMPARE(h.button->BackColor(), 0x102030u);
    QCOMPARE(h.button->ForeColor(), 0x607080u);
}

void tst_chameleonButton::disabledCaption_data() {
    QTest::addColumn<int>("style");
    QTest::addColumn<bool>("engraved");
    for (int style : {1, 2, 4, 7})
        QTest::addRow("style %d", style) << style << true;
    for (int style : {5, 6})
        QTest::addRow("style %d", style) << style << false;
}

void tst_chameleonButton::disabledCaption() {
    // Engraved: the caption once in highlight one pixel down and right, then in shadow.
    QFETCH(int, style);
    QFETCH(bool, engraved);
    Host h(style, 2);
    h.button->SetBackColor(kFace);
    h.button->SetFont(QFont(QStringLiteral("DejaVu Sans"), 12, QFont::Bold));
    h.button->SetCaption(QStringLiteral("WHW"));
    QVERIFY(h.show());
    h.button->SetEnabled(false);
    const QImage img = h.image();
    int shadow = 0, highlight = 0;
    for (int y = 5; y < kH - 5; ++y)
        for (int x = 10; x < kW - 10; ++x) {
            const quint32 c = bgr(img, x, y);
            shadow += c == kShadow;
            highlight += c == kHighlight2;
        }
    QVERIFY(shadow > 0);
    QCOMPARE(highlight > 0, engraved);
}

void tst_chameleonButton::focusRect_data() {
    QTest::addColumn<int>("style");
    QTest::addColumn<bool>("pressed");
    QTest::addColumn<bool>("showFocusRect");
    QTest::addColumn<bool>("dotted");
    QTest::newRow("style 1") << 1 << false << true << true;
    QTest::newRow("style 1 pressed") << 1 << true << true << true;
    QTest::newRow("style 1, marks off") << 1 << false << false << false;
    QTest::newRow("style 2 only when default") << 2 << false << true << false;
    QTest::newRow("style 2 pressed") << 2 << true << true << true;
    QTest::newRow("style 6") << 6 << false << true << true;
    QTest::newRow("style 7 pressed") << 7 << true << true << true;
}

void tst_chameleonButton::focusRect() {
    QFETCH(int, style);
    QFETCH(bool, pressed);
    QFETCH(bool, showFocusRect);
    QFETCH(bool, dotted);
    Host h(style, 2);
    h.button->SetBackColor(kFace);
    h.button->SetShowFocusRect(showFocusRect);
    QVERIFY(h.show());
    h.button->setFocus();
    QTRY_VERIFY(h.button->hasFocus());
    if (pressed) QTest::mousePress(h.handle(), Qt::LeftButton, {}, kAt + QPoint(30, 12));
    const QImage img = h.image();
    // The dotted rectangle (4, 4)-(W-4, H-4) inverts every other pixel of the face.
    const quint32 inverted = 0xFFFFFF - kFace;
    QCOMPARE(bgr(img, 4, 4), dotted ? inverted : kFace);
    QCOMPARE(bgr(img, 6, 4), dotted ? inverted : kFace);
    QCOMPARE(bgr(img, 5, 4), kFace);
    QCOMPARE(bgr(img, kW - 5, 8), dotted ? inverted : kFace);
    QCOMPARE(bgr(img, 5, 5), kFace);
    // Losing the focus takes it away.
    h.after->setFocus();
    QTRY_VERIFY(!h.button->hasFocus());
    QCOMPARE(bgr(h.image(), 4, 4), kFace);
}

void tst_chameleonButton::style5FocusFrameSurroundsTheCaption() {
    Host h(5, 2);
    h.button->SetBackColor(kFace);
    h.button->SetForeColor(0x000000);
    h.button->SetCaption(QStringLiteral("Chat"));
    QVERIFY(h.show());
    auto frameAndText = [&](QRect& frame, QRect& text) {
        frame = text = QRect();
        const QImage img = h.image();
        for (int y = 2; y < kH - 2; ++y)
            for (int x = 2; x < kW - 2; ++x) {
                if (bgr(img, x, y) == 0xCC9999)
                    frame |= QRect(x, y, 1, 1);
                else if (img.pixelColor(x, y).lightness() < 100)
                    text |= QRect(x, y, 1, 1);
            }
    };
    QRect frame, text;
    frameAndText(frame, text);
    QVERIFY(frame.isNull());
    QVERIFY(!text.isNull());
    h.button->setFocus();
    QTRY_VERIFY(h.button->hasFocus());
    frameAndText(frame, text);
    QVERIFY(!frame.isNull());
    QVERIFY2(frame.adjusted(1, 1, -1, -1).contains(text), "the frame runs around the caption");
    QVERIFY(frame.width() < kW - 8); // around the caption, not the face
}

void tst_chameleonButton::enabledFollowsTheWidget() {
    Host h;
    QVERIFY(h.show());
    h.button->setEnabled(false); // QWidget's own switch
    QCOMPARE(h.button->Enabled(), false);
    QCOMPARE(h.look(), QStringLiteral("=disabled"));
    h.button->setEnabled(true);
    QCOMPARE(h.button->Enabled(), true);
    QCOMPARE(h.look(), QStringLiteral("=up"));
    // A disabled window takes the input, not the button's own state.
    h.window->setEnabled(false);
    QCOMPARE(h.button->Enabled(), true);
    QCOMPARE(h.look(), QStringLiteral("=up"));
    h.window->setEnabled(true);
    h.button->SetEnabled(false);
    QCOMPARE(h.button->isEnabled(), false);
}

void tst_chameleonButton::region_data() {
    QTest::addColumn<int>("style");
    QTest::addColumn<QList<QPoint>>("cut");
    const int W = kW, H = kH;
    const QList<QPoint> three = {{0, 0},     {1, 0},         {0, 1},         {W - 1, 0},
                                 {W - 2, 0}, {W - 1, 1},     {0, H - 1},     {1, H - 1},
                                 {0, H - 2}, {W - 1, H - 1}, {W - 2, H - 1}, {W - 1, H - 2}};
    QTest::newRow("style 1") << 1 << QList<QPoint>{{0, 0}, {W - 1, 0}, {0, H - 1}, {W - 1, H - 1}};
    QTest::newRow("style 2") << 2 << QList<QPoint>{};
    QTest::newRow("style 3") << 3 << three;
    QTest::newRow("style 4") << 4 << three;
    QTest::newRow("style 5") << 5 << QList<QPoint>{{0, H - 1}, {W - 1, 0}};
    QTest::newRow("style 6") << 6 << QList<QPoint>{};
    QTest::newRow("style 7") << 7 << QList<QPoint>{};
    QTest::newRow("no style") << 9 << QList<QPoint>{};
}

void tst_chameleonButton::region() {
    QFETCH(int, style);
    QFETCH(QList<QPoint>, cut);
    Host h(style);
    QVERIFY(h.show());
    const QRegion mask = h.button->mask();
    int missing = 0;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
            if (!mask.contains(QPoint(x, y))) {
                ++missing;
                QVERIFY2(cut.contains(QPoint(x, y)),
                         qPrintable(QStringLiteral("(%1, %2) is cut").arg(x).arg(y)));
            }
    QCOMPARE(missing, cut.size());
    QCOMPARE(mask.boundingRect(), QRect(0, 0, kW, kH));
}

void tst_chameleonButton::regionFollowsStyleAndSize() {
    Host h;
    QVERIFY(h.show());
    QVERIFY(!h.button->mask().contains(QPoint(kW - 1, kH - 1)));
    h.button->resize(40, 20);
    QTRY_COMPARE(h.button->width(), 40);
    QVERIFY(!h.button->mask().contains(QPoint(39, 19)));
    QCOMPARE(h.button->mask().boundingRect(), QRect(0, 0, 40, 20));
    h.button->SetButtonType(2); // rectangular again
    QCOMPARE(h.button->mask(), QRegion(0, 0, 40, 20));
    h.button->SetButtonType(3);
    QVERIFY(!h.button->mask().contains(QPoint(0, 0)));
}

void tst_chameleonButton::cutCornerIsNotTheButton() {
    Host h;
    QVERIFY(h.show());
    int downs = 0;
    connect(h.button, &chameleonButton::MouseDown, this, [&](qint16&, qint16&, float&, float&) { ++downs; });
    QTest::mouseClick(h.handle(), Qt::LeftButton, {}, kAt + QPoint(0, 0)); // cut away
    QCOMPARE(downs, 0);
    QTest::mouseClick(h.handle(), Qt::LeftButton, {}, kAt + QPoint(1, 1)); // the corner pixel
    QCOMPARE(downs, 1);
}

void tst_chameleonButton::zeroHeightDrawsNothing() {
    Host h;
    QVERIFY(h.show());
    h.button->resize(kW, 0);
    QTRY_COMPARE(h.button->height(), 0);
    h.button->SetCaption(QStringLiteral("&Go")); // a redraw with nothing to draw on
    h.button->ForceRefresh();
    h.button->resize(kW, kH);
    QTRY_COMPARE(h.button->height(), kH);
    QCOMPARE(h.look(), QStringLiteral("=up"));
}

void tst_chameleonButton::propertiesNotifyTheirKeys_data() {
    QTest::addColumn<QString>("key");
    for (const char* k : {"BCOL", "FCOL", "BTYPE", "TX", "ENAB", "FONT", "COLTYPE", "FOCUSR"})
        QTest::newRow(k) << QString::fromLatin1(k);
}

void tst_chameleonButton::propertiesNotifyTheirKeys() {
    QFETCH(QString, key);
    chameleonButton b;
    QSignalSpy changed(&b, &chameleonButton::PropertyChanged);
    if (key == u"BCOL") b.SetBackColor(0x123456);
    if (key == u"FCOL") b.SetForeColor(0x123456);
    if (key == u"BTYPE") b.SetButtonType(5);
    if (key == u"TX") b.SetCaption(QStringLiteral("x"));
    if (key == u"ENAB") b.SetEnabled(false);
    if (key == u"FONT") b.SetFont(QFont(QStringLiteral("DejaVu Sans"), 14));
    if (key == u"COLTYPE") b.SetColorScheme(3);
    if (key == u"FOCUSR") b.SetShowFocusRect(false);
    QCOMPARE(changed.size(), 1);
    QCOMPARE(changed.at(0).at(0).toString(), key);
}

void tst_chameleonButton::propertyBag() {
    // Written whole, in order, defaults included.
    chameleonButton fresh;
    PropertyBag out;
    fresh.WriteProperties(out);
    QStringList keys;
    for (const auto& e : out.Entries())
        keys << e.first;
    QCOMPARE(keys, QString::fromLatin1("BTYPE TX ENAB FONT COLTYPE FOCUSR BCOL FCOL").split(u' '));
    QCOMPARE(out.ReadProperty(QStringLiteral("BTYPE"), 0).toInt(), 2);
    QCOMPARE(out.ReadProperty(QStringLiteral("COLTYPE"), 0).toInt(), 1);
    QCOMPARE(out.ReadProperty(QStringLiteral("ENAB"), false).toBool(), true);

    // Saved designs hold the keys in lower case; absent keys take their defaults.
    std::optional<SysColorStandIn> colours;
    colours.emplace([](int i) { return i == Colors::kBtnFace ? 0x0A0B0Cu : 0x010203u; });
    PropertyBag in;
    in.WriteProperty(QStringLiteral("_extentx"), 1984);
    in.WriteProperty(QStringLiteral("btype"), 3);
    in.WriteProperty(QStringLiteral("tx"), QStringLiteral("&Chat"));
    in.WriteProperty(QStringLiteral("enab"), false);
    in.WriteProperty(QStringLiteral("bcol"), 0x00FF00);
    chameleonButton b;
    b.ReadProperties(in);
    colours.reset();
    QCOMPARE(b.ButtonType(), 3);
    QCOMPARE(b.Caption(), QStringLiteral("&Chat"));
    QCOMPARE(b.GetAccessKey(), QStringLiteral("c"));
    QCOMPARE(b.Enabled(), false);
    QCOMPARE(b.isEnabled(), false);
    QCOMPARE(b.BackColor(), 0x00FF00u);
    QCOMPARE(b.ForeColor(), 0x010203u); // the system button-text colour
    QCOMPARE(b.ColorScheme(), 1);
    QCOMPARE(b.ShowFocusRect(), true);

    // The windows' buttons are laid out in style 3; a plain new one has the class default.
    std::unique_ptr<chameleonButton> laidOut(chameleonButton::LaidOut(nullptr, QStringLiteral("&OK")));
    QCOMPARE(laidOut->ButtonType(), 3);
    QCOMPARE(laidOut->GetAccessKey(), QStringLiteral("o"));
    QCOMPARE(chameleonButton().ButtonType(), 2);
}

void tst_chameleonButton::symbolCaptionsStayLetters() {
    Host h;
    QFont symbol(QString::fromLatin1(modGDI::kSymbolFont), 10);
    h.button->resize(17, 17);
    h.button->SetFont(symbol);
    QVERIFY(h.show());
    h.button->SetCaption(QString());
    const QImage unticked = h.image();
    h.button->SetCaption(QStringLiteral("a"));
    QCOMPARE(h.button->Caption(), QStringLiteral("a")); // windows read the tick back from here
    const QImage ticked = h.image();
    QVERIFY(ticked != unticked);
    // Something dark is drawn in the middle: a glyph, not an empty box.
    int dark = 0;
    for (int y = 3; y < 14; ++y)
        for (int x = 3; x < 14; ++x)
            if (ticked.pixelColor(x, y).lightness() < 100) ++dark;
    QVERIFY(dark > 3);
}

void tst_chameleonButton::captionInAnyScript_data() {
    QTest::addColumn<QString>("caption");
    QTest::newRow("Cyrillic") << QStringLiteral("&\u0417\u0430\u043A\u0440\u044B\u0442\u044C");
    QTest::newRow("Greek") << QStringLiteral("&\u039A\u03BB\u03B5\u03AF\u03C3\u03B9\u03BC\u03BF");
    QTest::newRow("Polish") << QStringLiteral("&Zamknij \u017C\u00F3\u0142\u0107");
}

// The caption reaches the painter as it stands, in any script: the button is its empty face
// with the painter's own drawing of the caption over it.
void tst_chameleonButton::captionInAnyScript() {
    QFETCH(QString, caption);
    Host h;
    h.button->resize(130, 28);
    h.button->SetFont(QFont(QStringLiteral("DejaVu Sans"), 9));
    QVERIFY(h.show());
    h.button->SetCaption(QString());
    QImage expected = h.image();
    expected.setDotsPerMeterX(qRound(h.button->logicalDpiX() / 0.0254));
    expected.setDotsPerMeterY(qRound(h.button->logicalDpiY() / 0.0254));
    {
        QPainter p(&expected);
        p.setRenderHint(QPainter::TextAntialiasing, true);
        p.setFont(h.button->Font());
        p.setPen(Qt::black); // the text colour of scheme 3
        p.drawText(expected.rect(),
                   Qt::AlignCenter | Qt::TextSingleLine | Qt::TextExpandTabs | Qt::TextShowMnemonic, caption);
    }
    h.button->SetCaption(caption);
    QCOMPARE(h.button->Caption(), caption);
    const QImage drawn = h.image();
    QCOMPARE(drawn.size(), expected.size());
    QVERIFY2(drawn == expected, qPrintable(QStringLiteral("the button does not show \"%1\"").arg(caption)));
    h.button->SetCaption(QString(caption.size() - 1, QLatin1Char('?')).prepend(QLatin1Char('&')));
    QVERIFY(h.image() != drawn);
}

void tst_chameleonButton::screenshot() {
    // One button of each style: up, pressed, disabled and focused, in the skins' colours.
    QWidget window;
    window.setWindowTitle(QStringLiteral("chameleonButton"));
    auto* grid = new QGridLayout(&window);
    const char* looks[] = {"up", "pressed", "disabled", "focused"};
    for (int c = 0; c < 4; ++c)
        grid->addWidget(new QLabel(QString::fromLatin1(looks[c])), 0, c + 1);
    std::vector<std::array<chameleonButton*, 4>> rows;
    for (int style = 1; style <= 7; ++style) {
        grid->addWidget(new QLabel(QStringLiteral("style %1").arg(style)), style, 0);
        std::array<chameleonButton*, 4> r{};
        for (int c = 0; c < 4; ++c) {
            auto* b = new chameleonButton(&window, style);
            b->setFixedSize(kW, kH);
            b->SetColorScheme(style == 3 ? 3 : 2);
            b->SetBackColor(0xC0C0C0);
            b->SetForeColor(0x000000);
            b->SetCaption(QStringLiteral("&Chat"));
            grid->addWidget(b, style, c + 1);
            r[c] = b;
        }
        rows.push_back(r);
    }
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    for (auto& r : rows) {
        sendKey(r[1], QEvent::KeyPress, Qt::Key_Space, QStringLiteral(" ")); // held down
        r[2]->SetEnabled(false);
    }
    if (QWidget* f = QApplication::focusWidget()) f->clearFocus(); // the first button took it
    QTRY_VERIFY(!rows.front()[0]->hasFocus());
    QImage shot = window.grab().toImage();
    // One control has the focus at a time: give it to each focused one in turn.
    QPainter p(&shot);
    for (auto& r : rows) {
        r[3]->setFocus();
        QTRY_VERIFY(r[3]->hasFocus());
        p.drawImage(r[3]->pos(), r[3]->grab().toImage());
    }
    p.end();
    // What the windows rely on: the pressed and disabled looks differ from up.
    for (auto& r : rows) {
        const QImage up = r[0]->grab().toImage();
        QVERIFY(up != r[1]->grab().toImage());
        QVERIFY(up != r[2]->grab().toImage());
    }
    saveScreenshot(shot, QStringLiteral("chameleonButton_styles"));
}

QTEST_MAIN(tst_chameleonButton)
#include "tst_chameleonButton.moc"
