#pragma once
// The desktop's side of a toolbar docked to a screen edge, as a replaceable service: bars
// register, ask where a docked bar may go (QUERYPOS), reserve their strip of the work area
// (SETPOS) and claim an edge for auto-hiding. The shell tells a bar about changes by posting a
// NotifyEvent to its window. On X11 the built-in shell reserves strips through the window
// manager's struts; elsewhere (Wayland, offscreen) it reserves nothing and leaves every
// rectangle as asked. Auto-hide edges are kept per process.
//
// Rectangles are in pixels with the origin at the primary screen's top-left corner; right and
// bottom are exclusive (width = right - left).
#include "platform/Slot.h"

#include <QEvent>
#include <QList>
#include <QPointer>
#include <QWidget>
#include <QtGlobal>
#include <memory>

namespace AppBarShell {

struct Rect {
    qint32 left = 0, top = 0, right = 0, bottom = 0;
    qint32 width() const { return right - left; }
    qint32 height() const { return bottom - top; }
    bool operator==(const Rect&) const = default;
};

// Edge codes.
inline constexpr qint32 kLeft = 0, kTop = 1, kRight = 2, kBottom = 3, kNone = 4, kFloat = 5;

enum Message : quint32 {
    New = 0,
    Remove = 1,
    QueryPos = 2,
    SetPos = 3,
    GetState = 4,
    GetTaskbarPos = 5,
    Activate = 6,
    GetAutoHideBar = 7,
    SetAutoHideBar = 8,
    WindowPosChanged = 9,
};

// The record every message carries; QueryPos and SetPos may change `rc`.
struct Data {
    QWidget* hWnd = nullptr;
    quint32 uCallbackMessage = 0;
    qint32 uEdge = kFloat;
    Rect rc;
    qintptr lParam = 0;
};

// Notification codes.
inline constexpr int kPosChanged = 1, kFullScreenApp = 2, kWindowArrange = 3;

// A notification for the bar, posted to its window.
class NotifyEvent : public QEvent {
  public:
    NotifyEvent(int code, qintptr param) : QEvent(type()), code(code), param(param) {}
    static QEvent::Type type();
    int code;
    qintptr param;
};

class Shell {
  public:
    virtual ~Shell() = default;
    // One shell message; the answer as the message defines it (GetAutoHideBar: the window, as
    // an integer, or 0; the others: non-zero for success).
    virtual qintptr Send(Message message, Data& data) = 0;
    // Whether the desktop's taskbar lists the window. Nothing where the desktop cannot say.
    virtual void SetTaskbarButton(QWidget* window, bool shown) {
        Q_UNUSED(window);
        Q_UNUSED(shown);
    }
};

Slot<Shell>& shell();
// The shell of an X11 session, which the built-in slot uses there; nullptr elsewhere.
std::unique_ptr<Shell> makeX11Shell();

// The shell that reserves nothing: registration and auto-hide edges only. The X11 shell builds
// on it; tests may use it as it is.
class BasicShell : public Shell {
  public:
    qintptr Send(Message message, Data& data) override;

  protected:
    bool isRegistered(QWidget* w) const;
    virtual void removed(QWidget* w) { Q_UNUSED(w); }

  private:
    void forget(QWidget* w);
    QList<QPointer<QWidget>> bars_;
    QPointer<QWidget> autoHide_[4];
};

} // namespace AppBarShell
