#pragma once
// Keyboard and mouse input in the codes the windows' handlers work with: key codes of the
// virtual keys (Space 32, Left 37 ... Down 40, "A" 65), the shift state (1 Shift, 2 Ctrl,
// 4 Alt) and mouse buttons (1 left, 2 right, 4 middle; a set of held buttons is their sum).
#include <Qt>
#include <QtGlobal>

class QKeyEvent;

namespace Input {
inline constexpr qint16 kKeySpace = 32;
inline constexpr qint16 kKeyLeft = 37;
inline constexpr qint16 kKeyUp = 38;
inline constexpr qint16 kKeyRight = 39;
inline constexpr qint16 kKeyDown = 40;

// 0 for a key without a code of its own.
qint16 KeyCode(const QKeyEvent& event);
// The character the key typed, as its Windows-1252 code; 0 when it typed none.
qint16 KeyAscii(const QKeyEvent& event);
qint16 ShiftState(Qt::KeyboardModifiers modifiers);
qint16 MouseButton(Qt::MouseButton button);
qint16 MouseButtons(Qt::MouseButtons buttons);
} // namespace Input
