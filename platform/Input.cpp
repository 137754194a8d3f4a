#include "platform/Input.h"

#include "platform/Ansi.h"

#include <QKeyEvent>

qint16 Input::KeyCode(const QKeyEvent& e) {
    const int k = e.key();
    if (k >= Qt::Key_A && k <= Qt::Key_Z) return qint16(k); // same values as the letters
    if (k >= Qt::Key_0 && k <= Qt::Key_9) {
        // The number pad's digits have codes of their own.
        return qint16(e.modifiers() & Qt::KeypadModifier ? 96 + (k - Qt::Key_0) : k);
    }
    if (k >= Qt::Key_F1 && k <= Qt::Key_F24) return qint16(112 + (k - Qt::Key_F1));
    switch (k) {
    case Qt::Key_Backspace:
        return 8;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return 9;
    case Qt::Key_Clear:
        return 12;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 13;
    case Qt::Key_Shift:
        return 16;
    case Qt::Key_Control:
        return 17;
    case Qt::Key_Alt:
        return 18;
    case Qt::Key_Pause:
        return 19;
    case Qt::Key_CapsLock:
        return 20;
    case Qt::Key_Escape:
        return 27;
    case Qt::Key_Space:
        return kKeySpace;
    case Qt::Key_PageUp:
        return 33;
    case Qt::Key_PageDown:
        return 34;
    case Qt::Key_End:
        return 35;
    case Qt::Key_Home:
        return 36;
    case Qt::Key_Left:
        return kKeyLeft;
    case Qt::Key_Up:
        return kKeyUp;
    case Qt::Key_Right:
        return kKeyRight;
    case Qt::Key_Down:
        return kKeyDown;
    case Qt::Key_Insert:
        return 45;
    case Qt::Key_Delete:
        return 46;
    case Qt::Key_Asterisk:
        return 106;
    case Qt::Key_Plus:
        return e.modifiers() & Qt::KeypadModifier ? 107 : 187;
    case Qt::Key_Minus:
        return e.modifiers() & Qt::KeypadModifier ? 109 : 189;
    case Qt::Key_Comma:
        return 188;
    case Qt::Key_Period:
        return 190;
    case Qt::Key_Slash:
        return e.modifiers() & Qt::KeypadModifier ? 111 : 191;
    default:
        return 0;
    }
}

qint16 Input::KeyAscii(const QKeyEvent& e) {
    const QString text = e.text();
    if (text.isEmpty()) return 0;
    const QByteArray b = Ansi::encode(text.left(1));
    return b.isEmpty() ? 0 : qint16(static_cast<unsigned char>(b.at(0)));
}

qint16 Input::ShiftState(Qt::KeyboardModifiers m) {
    return qint16((m & Qt::ShiftModifier ? 1 : 0) | (m & Qt::ControlModifier ? 2 : 0) |
                  (m & Qt::AltModifier ? 4 : 0));
}

qint16 Input::MouseButton(Qt::MouseButton b) {
    switch (b) {
    case Qt::LeftButton:
        return 1;
    case Qt::RightButton:
        return 2;
    case Qt::MiddleButton:
        return 4;
    default:
        return 0;
    }
}

qint16 Input::MouseButtons(Qt::MouseButtons bs) {
    return qint16((bs & Qt::LeftButton ? 1 : 0) | (bs & Qt::RightButton ? 2 : 0) |
                  (bs & Qt::MiddleButton ? 4 : 0));
}
