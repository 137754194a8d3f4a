#include "controls/modAppBar.h"

#include "core/MessageService.h"
#include "platform/OuterGeometry.h"

#include <QCursor>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <optional>

using AppBarShell::Rect;
namespace Abs = AppBarShell;

namespace {

QPoint primaryOrigin() {
    const QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->geometry().topLeft() : QPoint();
}

Rect toRect(const QRect& r) {
    const QPoint o = primaryOrigin();
    return Rect{r.left() - o.x(), r.top() - o.y(), r.left() - o.x() + r.width(),
                r.top() - o.y() + r.height()};
}

class RealDesktopImpl : public AppBarDesktop {
  public:
    RealDesktopImpl() { clock_.start(); }
    Metrics GetMetrics() const override {
        Metrics m;
        if (const QScreen* s = QGuiApplication::primaryScreen()) {
            m.cxScreen = s->geometry().width();
            m.cyScreen = s->geometry().height();
            m.workArea = toRect(s->availableGeometry());
        }
        return m;
    }
    QPoint Pointer() const override { return modAppBar::FromGlobal(QCursor::pos()); }
    bool CtrlDown() const override { return QGuiApplication::queryKeyboardModifiers() & Qt::ControlModifier; }
    bool PrimaryButtonDown() const override { return QGuiApplication::mouseButtons() & Qt::LeftButton; }
    qint64 Now() const override { return clock_.elapsed(); }
    void ShowInfo(const QString& title, const QString& text) override {
        Q_UNUSED(title); // the message window has a caption of its own
        Messages::service()->Show(text, 0, 1);
    }

  private:
    QElapsedTimer clock_;
};

class WidgetWindow : public AppBarWindow {
  public:
    explicit WidgetWindow(QWidget* w) : w_(w) {}
    QWidget* Handle() const override { return w_; }
    Rect WindowRect() const override {
        if (!w_) return {};
        // Qt may report the frame a window had before it lost it until it is shown again.
        return toRect(frameless() ? w_->geometry() : w_->geometry().marginsAdded(OuterGeometry::FrameOf(w_)));
    }
    Rect ClientRect() const override {
        if (!w_) return {};
        if (w_->windowFlags() & Qt::FramelessWindowHint) {
            Rect r = WindowRect();
            return Rect{r.left + modAppBar::kSizeBorder, r.top + modAppBar::kSizeBorder,
                        r.right - modAppBar::kSizeBorder, r.bottom - modAppBar::kSizeBorder};
        }
        return toRect(w_->geometry());
    }
    void SetWindowRect(const Rect& r) override {
        if (!w_) return;
        const QPoint at = modAppBar::ToGlobal(QPoint(r.left, r.top));
        if (frameless()) {
            // The client area is the whole window; moving by the frame could use the margins
            // of a frame the window has just lost.
            w_->setGeometry(QRect(at, QSize(qMax(1, r.width()), qMax(1, r.height()))));
        } else {
            const QSize frame = frameSize();
            w_->move(at);
            w_->resize(qMax(1, r.width() - frame.width()), qMax(1, r.height() - frame.height()));
        }
        lastRect_ = r;
        // A frame the window manager has not put round the window yet is not known: the outer
        // rectangle is put right once it is.
        pending_ = frameless() || frameKnown() ? std::optional<Rect>() : std::optional<Rect>(r);
    }
    // A window manager that puts no frame round the window: nothing more to wait for.
    void DropPending() { pending_.reset(); }
    // Called on every move, resize and show; true while a place waits for the frame.
    bool ApplyPending() {
        RefreshLimits();
        if (!pending_ || !w_) return false;
        if (frameless()) {
            pending_.reset();
            return false;
        }
        if (!frameKnown()) return true;
        const Rect r = *pending_;
        SetWindowRect(r);
        pending_.reset();
        return false;
    }
    void SetSizeLimits(int minW, int minH, int maxW, int maxH) override {
        if (!w_) return;
        limits_ = {minW, minH, maxW, maxH};
        const QSize frame = frameSize();
        limitsFrame_ = frame;
        auto limit = [](int v, int f) {
            return v > 0 ? qMin(QWIDGETSIZE_MAX, qMax(1, v - f)) : QWIDGETSIZE_MAX;
        };
        w_->setMinimumSize(qMax(0, minW - frame.width()), qMax(0, minH - frame.height()));
        w_->setMaximumSize(qMax(limit(maxW, frame.width()), w_->minimumWidth()),
                           qMax(limit(maxH, frame.height()), w_->minimumHeight()));
    }
    // The limits are outer sizes: the client's follow the frame, which may come (or change)
    // after they were set.
    void RefreshLimits() {
        if (w_ && limits_ && frameSize() != limitsFrame_)
            SetSizeLimits(limits_->minWidth, limits_->minHeight, limits_->maxWidth, limits_->maxHeight);
    }
    void SetZOrder(ZOrder z) override {
        Qt::WindowFlags f = flags_();
        f &= ~(Qt::WindowStaysOnTopHint | Qt::WindowStaysOnBottomHint);
        if (z == ZOrder::TopMost) f |= Qt::WindowStaysOnTopHint;
        if (z == ZOrder::Bottom) f |= Qt::WindowStaysOnBottomHint;
        setFlags(f);
    }
    void SetCaption(bool on) override {
        // Qt drops the frameless hint while any title-bar hint is set: those go with it and
        // come back with the caption.
        constexpr Qt::WindowFlags titleHints = Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                               Qt::WindowCloseButtonHint | Qt::WindowMinMaxButtonsHint |
                                               Qt::WindowContextHelpButtonHint;
        Qt::WindowFlags f = flags_();
        if (on) {
            f &= ~Qt::FramelessWindowHint;
            f |= titleFlags_;
        } else if (!(f & Qt::FramelessWindowHint)) {
            titleFlags_ = f & titleHints;
            f &= ~titleHints;
            f |= Qt::FramelessWindowHint;
        }
        setFlags(f);
    }
    bool SetTaskbarButton(bool on) override {
        if (on == taskbarButton_) return false;
        taskbarButton_ = on;
        Abs::shell()->SetTaskbarButton(w_, on);
        return true;
    }
    bool IsActive() const override { return w_ && w_->isActiveWindow(); }
    bool IsVisible() const override { return w_ && w_->isVisible(); }
    QString Caption() const override { return w_ ? w_->windowTitle() : QString(); }

  private:
    QSize frameSize() const {
        if (frameless()) return QSize(0, 0);
        const QMargins m = OuterGeometry::FrameOf(w_);
        return {m.left() + m.right(), m.top() + m.bottom()};
    }
    bool frameless() const { return w_->windowFlags() & Qt::FramelessWindowHint; }
    bool frameKnown() const { return w_->isVisible() && !OuterGeometry::FrameOf(w_).isNull(); }
    Qt::WindowFlags flags_() const {
        return pendingFlags_ ? *pendingFlags_ : (w_ ? w_->windowFlags() : Qt::WindowFlags());
    }
    // Qt hides a window whose flags change: flags change only when they differ, and not
    // during the bar's own drag (the grab would be lost); the drop applies them.
    void setFlags(Qt::WindowFlags f) {
        if (!w_) return;
        if (modAppBar::Dragging()) {
            pendingFlags_ = f;
            return;
        }
        pendingFlags_.reset();
        if (f == w_->windowFlags()) return;
        const bool visible = w_->isVisible();
        const QRect g = w_->geometry();
        w_->setWindowFlags(f);
        // A frame that comes or goes leaves the outer limits and rectangle as the bar set them.
        if (limits_)
            SetSizeLimits(limits_->minWidth, limits_->minHeight, limits_->maxWidth, limits_->maxHeight);
        if (lastRect_)
            SetWindowRect(*lastRect_);
        else
            w_->setGeometry(g);
        if (visible) {
            const bool noAct = w_->testAttribute(Qt::WA_ShowWithoutActivating);
            w_->setAttribute(Qt::WA_ShowWithoutActivating);
            w_->show();
            w_->setAttribute(Qt::WA_ShowWithoutActivating, noAct);
        }
    }

    QPointer<QWidget> w_;
    bool taskbarButton_ = true;
    std::optional<Rect> pending_;
    std::optional<Rect> lastRect_;
    Qt::WindowFlags titleFlags_ = Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    std::optional<clsTAppBar::MinMax> limits_;
    QSize limitsFrame_; // the frame the client limits were worked out with
    std::optional<Qt::WindowFlags> pendingFlags_;
};

// --- the hook ----------------------------------------------------------------------------------

// How long after showing a window manager may take to put its frame round the window.
constexpr int kFrameWaitMs = 2000;

class Hook;
Hook& hook();

class Hook : public QObject {
  public:
    QPointer<QWidget> form;
    QPointer<clsTAppBar> bar;
    WidgetWindow* window = nullptr; // the bar's own, while it is bound
    enum class Drag { None, Move, Size } drag = Drag::None;
    int side = 0;
    QPoint startPointer, lastPointer;
    Rect startRect, lastRect;

    bool eventFilter(QObject* watched, QEvent* e) override {
        if (watched != form || !bar) return false;
        const int t = e->type();
        if (t == Abs::NotifyEvent::type()) {
            auto* n = static_cast<Abs::NotifyEvent*>(e);
            bar->OnAppBarNotify(n->code, n->param);
            return true;
        }
        switch (t) {
        case QEvent::WindowActivate:
            bar->OnActivate(1);
            break;
        case QEvent::WindowDeactivate:
            bar->OnActivate(0);
            break;
        case QEvent::Enter:
            bar->OnNcMouseMove();
            break;
        case QEvent::Show:
            if (window && window->ApplyPending())
                QTimer::singleShot(kFrameWaitMs, form, [] {
                    if (hook().window) hook().window->DropPending();
                });
            break;
        case QEvent::Move:
        case QEvent::Resize:
            if (window && window->ApplyPending()) break;
            bar->OnWindowPosChanged();
            // A floating bar the window manager moved or sized keeps that place.
            if (drag == Drag::None && bar && bar->Edge() == Abs::kFloat && !bar->Sliding() &&
                form->isVisible())
                bar->SetFloatRect(outerRect());
            break;
        case QEvent::MouseButtonPress:
            return press(static_cast<QMouseEvent*>(e));
        case QEvent::MouseMove:
            if (drag == Drag::None) return false;
            follow(modAppBar::FromGlobal(static_cast<QMouseEvent*>(e)->globalPosition().toPoint()));
            return true;
        case QEvent::MouseButtonRelease:
            if (drag == Drag::None) return false;
            finish();
            return true;
        default:
            break;
        }
        return false;
    }

    Rect outerRect() const { return window ? window->WindowRect() : toRect(form->frameGeometry()); }

    int hitCode(QPoint local) const {
        const qint32 e = bar->Edge();
        if (e < Abs::kLeft || e > Abs::kBottom) return clsTAppBar::HTCLIENT;
        const int b = modAppBar::kSizeBorder;
        const bool l = local.x() < b, r = local.x() >= form->width() - b;
        const bool tp = local.y() < b, bt = local.y() >= form->height() - b;
        if (tp && l) return clsTAppBar::HTTOPLEFT;
        if (tp && r) return clsTAppBar::HTTOPRIGHT;
        if (bt && l) return clsTAppBar::HTBOTTOMLEFT;
        if (bt && r) return clsTAppBar::HTBOTTOMRIGHT;
        if (l) return clsTAppBar::HTLEFT;
        if (r) return clsTAppBar::HTRIGHT;
        if (tp) return clsTAppBar::HTTOP;
        if (bt) return clsTAppBar::HTBOTTOM;
        return clsTAppBar::HTCLIENT;
    }

    bool press(QMouseEvent* m) {
        if (m->button() != Qt::LeftButton || drag != Drag::None) return false;
        // A dock gets no focus from the window manager: a press asks for it.
        form->activateWindow();
        const QPoint local = form->mapFromGlobal(m->globalPosition().toPoint());
        const QPoint pt = modAppBar::FromGlobal(m->globalPosition().toPoint());
        const int c = bar->OnNcHitTest(hitCode(local), pt);
        if (c == clsTAppBar::HTCAPTION) {
            drag = Drag::Move;
        } else if (c >= clsTAppBar::HTLEFT && c <= clsTAppBar::HTBOTTOMRIGHT) {
            drag = Drag::Size;
            side = c - clsTAppBar::HTLEFT + 1; // the codes run in the same order as the sides
        } else {
            return false;
        }
        startPointer = lastPointer = pt;
        startRect = lastRect = outerRect();
        form->grabMouse();
        bar->OnEnterSizeMove();
        return true;
    }

    void follow(QPoint pt) {
        if (drag == Drag::Move) {
            const QPoint d = pt - lastPointer;
            lastPointer = pt;
            Rect r{lastRect.left + d.x(), lastRect.top + d.y(), lastRect.right + d.x(),
                   lastRect.bottom + d.y()};
            lastRect = bar->OnMoving(r);
            bar->DragTo(lastRect);
            return;
        }
        const QPoint d = pt - startPointer;
        Rect r = startRect;
        const int s = side;
        if (s == clsTAppBar::WMSZ_LEFT || s == clsTAppBar::WMSZ_TOPLEFT || s == clsTAppBar::WMSZ_BOTTOMLEFT)
            r.left += d.x();
        if (s == clsTAppBar::WMSZ_RIGHT || s == clsTAppBar::WMSZ_TOPRIGHT ||
            s == clsTAppBar::WMSZ_BOTTOMRIGHT)
            r.right += d.x();
        if (s == clsTAppBar::WMSZ_TOP || s == clsTAppBar::WMSZ_TOPLEFT || s == clsTAppBar::WMSZ_TOPRIGHT)
            r.top += d.y();
        if (s == clsTAppBar::WMSZ_BOTTOM || s == clsTAppBar::WMSZ_BOTTOMLEFT ||
            s == clsTAppBar::WMSZ_BOTTOMRIGHT)
            r.bottom += d.y();
        lastRect = bar->OnSizing(s, r);
        bar->DragTo(lastRect);
    }

    void finish() {
        drag = Drag::None;
        if (form) form->releaseMouse();
        if (bar) bar->OnExitSizeMove();
    }
};

Hook& hook() {
    static Hook* h = new Hook; // lives as long as the program
    return *h;
}
} // namespace

namespace modAppBar {

void Attach(QWidget* form, clsTAppBar* bar) {
    Hook& h = hook();
    if (h.bar && h.bar != bar) h.bar->Detach();
    if (h.form) h.form->removeEventFilter(&h);
    h.form = form;
    h.bar = bar;
    h.drag = Hook::Drag::None;
    if (form) form->installEventFilter(&h);
}

void Release() {
    Hook& h = hook();
    if (h.drag != Hook::Drag::None && h.form) h.form->releaseMouse();
    h.drag = Hook::Drag::None;
    if (h.form) h.form->removeEventFilter(&h);
    h.form = nullptr;
    h.bar = nullptr;
    h.window = nullptr;
}

clsTAppBar* AttachedBar() {
    return hook().bar;
}

QWidget* AttachedWindow() {
    return hook().form;
}

bool Dragging() {
    return hook().drag != Hook::Drag::None;
}

std::shared_ptr<AppBarDesktop> RealDesktop() {
    static std::shared_ptr<AppBarDesktop> d = std::make_shared<RealDesktopImpl>();
    return d;
}

std::unique_ptr<AppBarWindow> MakeWindow(QWidget* form) {
    auto w = std::make_unique<WidgetWindow>(form);
    if (hook().form == form) hook().window = w.get();
    return w;
}

QPoint FromGlobal(QPoint global) {
    return global - primaryOrigin();
}

QPoint ToGlobal(QPoint screen) {
    return screen + primaryOrigin();
}

} // namespace modAppBar
