#include "platform/AppBarShell.h"

#include <QGuiApplication>
#include <memory>

QEvent::Type AppBarShell::NotifyEvent::type() {
    static const int t = QEvent::registerEventType();
    return static_cast<QEvent::Type>(t);
}

bool AppBarShell::BasicShell::isRegistered(QWidget* w) const {
    return w && bars_.contains(w);
}

void AppBarShell::BasicShell::forget(QWidget* w) {
    bars_.removeAll(w);
    bars_.removeAll(nullptr);
    for (auto& slot : autoHide_)
        if (slot == w) slot = nullptr;
    removed(w);
}

qintptr AppBarShell::BasicShell::Send(Message message, Data& data) {
    QWidget* w = data.hWnd;
    const bool edgeOk = data.uEdge >= kLeft && data.uEdge <= kBottom;
    switch (message) {
    case New:
        if (!w || isRegistered(w)) return 0;
        bars_.append(w);
        return 1;
    case Remove:
        if (!isRegistered(w)) return 0;
        forget(w);
        return 1;
    case QueryPos:
    case SetPos:
        return isRegistered(w) ? 1 : 0;
    case GetAutoHideBar: {
        if (!edgeOk) return 0;
        return reinterpret_cast<qintptr>(autoHide_[data.uEdge].data());
    }
    case SetAutoHideBar: {
        if (!edgeOk || !w) return 0;
        QPointer<QWidget>& slot = autoHide_[data.uEdge];
        if (data.lParam) {
            if (slot && slot != w) return 0; // another bar hides on that edge
            slot = w;
            return 1;
        }
        if (slot != w) return 0;
        slot = nullptr;
        return 1;
    }
    case Activate:
    case WindowPosChanged:
    case GetState:
    case GetTaskbarPos:
        return 1;
    }
    return 0;
}

Slot<AppBarShell::Shell>& AppBarShell::shell() {
    static std::unique_ptr<Shell> builtIn = [] {
        std::unique_ptr<Shell> s = makeX11Shell();
        if (!s) s = std::make_unique<BasicShell>();
        return s;
    }();
    static Slot<Shell> slot(*builtIn);
    return slot;
}
