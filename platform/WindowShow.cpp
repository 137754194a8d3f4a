#include "platform/WindowShow.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QWidget>
#include <QWindow>
#include <utility>

namespace {
bool gUnasked = false;

// Runs once, when the window is first on screen (mapped and framed: only then does a request to
// the window manager reach it), then goes.
class OnExposed : public QObject {
  public:
    enum class Then { Attention, Activate };
    OnExposed(QWidget* widget, Then then) : QObject(widget->windowHandle()), widget_(widget), then_(then) {
        widget->windowHandle()->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (e->type() != QEvent::Expose || !static_cast<QWindow*>(watched)->isExposed()) return false;
        if (widget_) {
            if (then_ == Then::Attention)
                QApplication::alert(widget_, 0);
            else
                widget_->activateWindow();
        }
        deleteLater();
        watched->removeEventFilter(this);
        return false;
    }

  private:
    QPointer<QWidget> widget_;
    Then then_;
};

} // namespace

void WindowShow::AsBox(QWidget* box) {
    if (!box) return;
    QWidget* owner = QApplication::activeWindow();
    if (owner == box || (owner && !owner->isVisible())) owner = nullptr;
    if (owner) owner = owner->window();
    if (!owner || (owner->windowFlags() & Qt::WindowStaysOnTopHint))
        box->setWindowFlag(Qt::WindowStaysOnTopHint, true);
    // The native window now, so that it can be tied to its owner's before it is shown.
    box->winId();
    QWindow* w = box->windowHandle();
    if (!w) return;
    w->setTransientParent(owner ? owner->windowHandle() : nullptr);
    // Nothing of ours in front to come up over: the box takes the keyboard itself, unless
    // nobody asked for it.
    if (!owner && !box->testAttribute(Qt::WA_ShowWithoutActivating))
        new OnExposed(box, OnExposed::Then::Activate);
}

void WindowShow::Asked(QWidget* window) {
    if (!window) return;
    const Qt::WindowStates st = window->windowState();
    if (st & Qt::WindowMinimized) window->setWindowState(st & ~Qt::WindowMinimized);
    window->setAttribute(Qt::WA_ShowWithoutActivating, false);
    window->show();
    window->raise();
    window->activateWindow();
}

void WindowShow::MarkUnasked(QWidget* window) {
    if (!window) return;
    window->setAttribute(Qt::WA_ShowWithoutActivating);
    window->winId();
    if (window->windowHandle()) new OnExposed(window, OnExposed::Then::Attention);
}

void WindowShow::Unasked(QWidget* window) {
    if (!window) return;
    MarkUnasked(window);
    window->show();
}

WindowShow::UnaskedScope::UnaskedScope() : previous_(std::exchange(gUnasked, true)) {}

WindowShow::UnaskedScope::~UnaskedScope() {
    gUnasked = previous_;
}

bool WindowShow::TakeUnasked() {
    return std::exchange(gUnasked, false);
}
