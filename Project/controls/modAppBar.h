#pragma once
// The window hook of the desktop toolbar: one window and one bar per process. It hands the
// window's events to the bar and runs the bar's own drags: Qt has no move loop to hook, so a
// press on the bar's background (or on a child that leaves the press to it) moves the bar,
// and a press on a docked bar's inner border sizes it, with the mouse grabbed until release.
#include "controls/clsTAppBar.h"

#include <memory>

class QWidget;

namespace modAppBar {
// Width of the border a docked bar is sized by, in pixels.
inline constexpr int kSizeBorder = 4;

// Hooks `form` for `bar`. A bar still hooked to a window lets go of it first.
void Attach(QWidget* form, clsTAppBar* bar);
// Unhooks the window.
void Release();
clsTAppBar* AttachedBar();
QWidget* AttachedWindow();
// True while the bar's own move or size drag runs.
bool Dragging();

// The real desktop (primary screen, cursor, keys, a monotonic clock).
std::shared_ptr<AppBarDesktop> RealDesktop();
// The window side of the bar over a real widget.
std::unique_ptr<AppBarWindow> MakeWindow(QWidget* form);
// Screen pixels (origin at the primary screen's top-left) to and from Qt's global positions.
QPoint FromGlobal(QPoint global);
QPoint ToGlobal(QPoint screen);
} // namespace modAppBar
