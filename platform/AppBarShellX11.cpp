// The desktop toolbar's shell on X11: a docked bar becomes a dock window that reserves its
// strip through the window manager's struts; a floating one is a normal window.
#include "platform/AppBarShell.h"

#include "platform/X11.h"

#include <QGuiApplication>
#include <QHash>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <array>
#include <xcb/xcb.h>

namespace {

using AppBarShell::Rect;

// Struts as the window manager reads them: left, right, top, bottom, then the start and end of
// each strip along its edge (device pixels of the root window).
using Struts = std::array<quint32, 12>;

class X11Shell : public AppBarShell::BasicShell {
  public:
    explicit X11Shell(xcb_connection_t* c) : c_(c) {
        const xcb_setup_t* setup = xcb_get_setup(c_);
        root_ = xcb_setup_roots_iterator(setup).data;
        if (QScreen* s = QGuiApplication::primaryScreen())
            QObject::connect(s, &QScreen::availableGeometryChanged, &filter_,
                             [this] { notifyAll(AppBarShell::kPosChanged); });
    }

    qintptr Send(AppBarShell::Message m, AppBarShell::Data& d) override {
        const qintptr r = BasicShell::Send(m, d);
        QWidget* w = d.hWnd;
        switch (m) {
        case AppBarShell::New:
            if (r) {
                bars_.insert(w, State{});
                w->installEventFilter(&filter_);
                filter_.shell = this;
                // A window destroyed without being removed takes its entry with it.
                QObject::connect(w, &QObject::destroyed, &filter_, [this, w] { bars_.remove(w); });
            }
            break;
        case AppBarShell::Remove:
            if (bars_.contains(w)) {
                State& s = bars_[w];
                s.dock = false;
                s.struts = Struts{};
                apply(w, s, true);
                w->removeEventFilter(&filter_);
                bars_.remove(w);
            }
            break;
        case AppBarShell::QueryPos:
            if (isRegistered(w)) cutByOthers(w, d.rc);
            break;
        case AppBarShell::SetPos:
            if (bars_.contains(w)) {
                State& s = bars_[w];
                s.dock = d.uEdge != AppBarShell::kFloat;
                s.struts = strutsFor(w, d.uEdge, d.rc);
                apply(w, s, false);
            }
            break;
        default:
            break;
        }
        return r;
    }

    void SetTaskbarButton(QWidget* w, bool shown) override {
        if (!bars_.contains(w)) return;
        State& s = bars_[w];
        s.skipTaskbar = !shown;
        apply(w, s, true);
    }

  private:
    struct State {
        bool dock = false;
        bool skipTaskbar = false;
        Struts struts{};
        // What the window has now, to write only on change; unknown after Qt rewrote it.
        bool written = false;
        bool writtenDock = false;
        bool writtenSkip = false;
        Struts writtenStruts{};
        xcb_window_t window = 0;  // the native window written to
        QPointer<QWindow> handle; // its window, watched for the window manager's mapping
    };
    // Qt's own codes for the window types it writes.
    static constexpr int kQtNormal = 0x1, kQtDock = 0x4;
    static constexpr quint32 kAllDesktops = 0xFFFFFFFF;

    struct Filter : QObject {
        X11Shell* shell = nullptr;
        bool eventFilter(QObject* o, QEvent* e) override {
            // The window manager has mapped the bar's window (again): the desktop it is on is
            // asked of the window manager now, which manages it.
            if (o->isWindowType()) {
                if (e->type() == QEvent::Expose && shell)
                    for (auto it = shell->bars_.begin(); it != shell->bars_.end(); ++it)
                        if (it->handle == o && it.key()) shell->setDesktop(it->window, it->dock);
                return false;
            }
            // Qt writes the window type again whenever the flags change, and shows the window
            // after: what the bar needs goes on before the window is mapped.
            if (e->type() == QEvent::Show || e->type() == QEvent::WinIdChange) {
                QPointer<QWidget> w = static_cast<QWidget*>(o);
                if (shell && shell->bars_.contains(w)) shell->apply(w, shell->bars_[w], true);
                // Qt may make the window anew as it shows it (a changed stay-on-top flag): the
                // new one gets the struts and state once it is there.
                X11Shell* sh = shell;
                QTimer::singleShot(0, w, [sh, w] {
                    if (w && sh->bars_.contains(w)) sh->apply(w, sh->bars_[w], false);
                });
            }
            return false;
        }
    };

    xcb_atom_t atom(const char* name) {
        auto it = atoms_.find(QByteArray(name));
        if (it != atoms_.end()) return *it;
        const xcb_atom_t a = X11::Atom(c_, name);
        atoms_.insert(QByteArray(name), a);
        return a;
    }

    static qreal dpr(QWidget* w) {
        if (QWindow* h = w->windowHandle()) return h->devicePixelRatio();
        QScreen* s = QGuiApplication::primaryScreen();
        return s ? s->devicePixelRatio() : 1.0;
    }

    // The primary screen in root (device) pixels.
    static QRect primaryDevice(qreal r) {
        QScreen* s = QGuiApplication::primaryScreen();
        if (!s) return {};
        const QRect g = s->geometry();
        return QRect(qRound(g.x() * r), qRound(g.y() * r), qRound(g.width() * r), qRound(g.height() * r));
    }

    Struts strutsFor(QWidget* w, qint32 edge, const Rect& rc) {
        Struts s{};
        if (rc == Rect{} || edge < AppBarShell::kLeft || edge > AppBarShell::kBottom) return s;
        const qreal r = dpr(w);
        const QRect p = primaryDevice(r);
        const qint32 rw = root_->width_in_pixels, rh = root_->height_in_pixels;
        const qint32 left = p.x() + qRound(rc.left * r), right = p.x() + qRound(rc.right * r);
        const qint32 top = p.y() + qRound(rc.top * r), bottom = p.y() + qRound(rc.bottom * r);
        auto u = [](qint32 v) { return quint32(qMax(0, v)); };
        // Only an edge of the primary screen that is also the root window's can be reserved:
        // elsewhere the strip would cover another screen.
        switch (edge) {
        case AppBarShell::kLeft:
            if (p.x() != 0) break;
            s[0] = u(right);
            s[4] = u(top), s[5] = u(bottom - 1);
            break;
        case AppBarShell::kRight:
            if (p.x() + p.width() != rw) break;
            s[1] = u(rw - left);
            s[6] = u(top), s[7] = u(bottom - 1);
            break;
        case AppBarShell::kTop:
            if (p.y() != 0) break;
            s[2] = u(bottom);
            s[8] = u(left), s[9] = u(right - 1);
            break;
        case AppBarShell::kBottom:
            if (p.y() + p.height() != rh) break;
            s[3] = u(rh - top);
            s[10] = u(left), s[11] = u(right - 1);
            break;
        default:
            break;
        }
        return s;
    }

    void apply(QWidget* w, State& s, bool force) {
        if (!w || !w->testAttribute(Qt::WA_WState_Created) || !w->windowHandle()) return;
        // Qt writes this type itself whenever it makes the window or changes its flags.
        w->windowHandle()->setProperty("_q_xcb_wm_window_type", s.dock ? kQtDock : kQtNormal);
        const xcb_window_t win = xcb_window_t(w->windowHandle()->winId());
        if (win != s.window) force = true;
        s.window = win;
        if (force || !s.written || s.writtenDock != s.dock) {
            const xcb_atom_t type = atom(s.dock ? "_NET_WM_WINDOW_TYPE_DOCK" : "_NET_WM_WINDOW_TYPE_NORMAL");
            xcb_change_property(c_, XCB_PROP_MODE_REPLACE, win, atom("_NET_WM_WINDOW_TYPE"), XCB_ATOM_ATOM,
                                32, 1, &type);
        }
        if (force || !s.written || s.writtenStruts != s.struts) {
            xcb_change_property(c_, XCB_PROP_MODE_REPLACE, win, atom("_NET_WM_STRUT_PARTIAL"),
                                XCB_ATOM_CARDINAL, 32, 12, s.struts.data());
            xcb_change_property(c_, XCB_PROP_MODE_REPLACE, win, atom("_NET_WM_STRUT"), XCB_ATOM_CARDINAL, 32,
                                4, s.struts.data());
        }
        if (force || !s.written || s.writtenSkip != s.skipTaskbar) setSkipTaskbar(w, win, s.skipTaskbar);
        setDesktop(win, s.dock);
        if (s.handle != w->windowHandle()) {
            s.handle = w->windowHandle();
            s.handle->installEventFilter(&filter_);
        }
        s.written = true;
        s.writtenDock = s.dock;
        s.writtenStruts = s.struts;
        s.writtenSkip = s.skipTaskbar;
        xcb_flush(c_);
    }

    // On a window not shown yet the state is a property (Qt keeps what it finds there); a
    // shown one asks the window manager.
    void setSkipTaskbar(QWidget* w, xcb_window_t win, bool skip) {
        const xcb_atom_t state = atom("_NET_WM_STATE"), skipAtom = atom("_NET_WM_STATE_SKIP_TASKBAR");
        if (w->isVisible()) {
            xcb_client_message_event_t ev{};
            ev.response_type = XCB_CLIENT_MESSAGE;
            ev.format = 32;
            ev.window = win;
            ev.type = state;
            ev.data.data32[0] = skip ? 1 : 0; // add or remove
            ev.data.data32[1] = skipAtom;
            ev.data.data32[3] = 1; // an ordinary application
            xcb_send_event(c_, 0, root_->root,
                           XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                           reinterpret_cast<const char*>(&ev));
            return;
        }
        QList<xcb_atom_t> atoms = readAtoms(win, state);
        atoms.removeAll(skipAtom);
        if (skip) atoms.append(skipAtom);
        xcb_change_property(c_, XCB_PROP_MODE_REPLACE, win, state, XCB_ATOM_ATOM, 32, uint32_t(atoms.size()),
                            atoms.constData());
    }

    // A dock belongs on every desktop, and so does the strip it reserves; a floating bar is an
    // ordinary window on the desktop in view. On a window the window manager does not manage
    // yet it is a property; a managed one asks the window manager.
    void setDesktop(xcb_window_t win, bool dock) {
        if (!win) return;
        const xcb_atom_t desktop = atom("_NET_WM_DESKTOP");
        const QList<quint32> now = readCardinals(win, desktop, XCB_ATOM_CARDINAL, 1);
        const bool everywhere = !now.isEmpty() && now.first() == kAllDesktops;
        if (dock == everywhere) return;
        quint32 value = kAllDesktops;
        if (!dock) {
            const QList<quint32> current =
                readCardinals(root_->root, atom("_NET_CURRENT_DESKTOP"), XCB_ATOM_CARDINAL, 1);
            value = current.isEmpty() ? 0 : current.first();
        }
        if (readCardinals(win, atom("WM_STATE"), atom("WM_STATE"), 1).isEmpty()) {
            xcb_change_property(c_, XCB_PROP_MODE_REPLACE, win, desktop, XCB_ATOM_CARDINAL, 32, 1, &value);
            return;
        }
        xcb_client_message_event_t ev{};
        ev.response_type = XCB_CLIENT_MESSAGE;
        ev.format = 32;
        ev.window = win;
        ev.type = desktop;
        ev.data.data32[0] = value;
        ev.data.data32[1] = 1; // an ordinary application
        xcb_send_event(c_, 0, root_->root,
                       XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char*>(&ev));
    }

    QList<quint32> readCardinals(xcb_window_t win, xcb_atom_t prop, xcb_atom_t type, quint32 max) {
        QList<quint32> out;
        xcb_get_property_reply_t* r =
            xcb_get_property_reply(c_, xcb_get_property(c_, 0, win, prop, type, 0, max), nullptr);
        if (r && r->format == 32 && r->type == type) {
            const auto* v = static_cast<const quint32*>(xcb_get_property_value(r));
            const int n = xcb_get_property_value_length(r) / 4;
            for (int i = 0; i < n; ++i)
                out << v[i];
        }
        free(r);
        return out;
    }
    QList<xcb_atom_t> readAtoms(xcb_window_t win, xcb_atom_t prop) {
        QList<xcb_atom_t> out;
        for (quint32 a : readCardinals(win, prop, XCB_ATOM_ATOM, 1024))
            out << xcb_atom_t(a);
        return out;
    }

    // A docked bar goes beside the strips the other clients reserve.
    void cutByOthers(QWidget* self, Rect& rc) {
        const qreal r = dpr(self);
        const QRect p = primaryDevice(r);
        const qint32 rw = root_->width_in_pixels, rh = root_->height_in_pixels;
        const xcb_window_t me = self->testAttribute(Qt::WA_WState_Created) && self->windowHandle()
                                    ? xcb_window_t(self->windowHandle()->winId())
                                    : 0;
        for (quint32 client : readCardinals(root_->root, atom("_NET_CLIENT_LIST"), XCB_ATOM_WINDOW, 4096)) {
            if (client == me) continue;
            QList<quint32> s = readCardinals(client, atom("_NET_WM_STRUT_PARTIAL"), XCB_ATOM_CARDINAL, 12);
            if (s.size() < 4) s = readCardinals(client, atom("_NET_WM_STRUT"), XCB_ATOM_CARDINAL, 4);
            if (s.size() < 4) continue;
            auto toLocalX = [&](qint32 x) { return qint32(qFloor((x - p.x()) / r)); };
            auto toLocalY = [&](qint32 y) { return qint32(qFloor((y - p.y()) / r)); };
            if (s[0]) rc.left = qMax(rc.left, toLocalX(qint32(s[0])));
            if (s[1]) rc.right = qMin(rc.right, toLocalX(rw - qint32(s[1])));
            if (s[2]) rc.top = qMax(rc.top, toLocalY(qint32(s[2])));
            if (s[3]) rc.bottom = qMin(rc.bottom, toLocalY(rh - qint32(s[3])));
        }
    }

    void notifyAll(int code) {
        for (auto it = bars_.begin(); it != bars_.end(); ++it)
            if (QWidget* w = it.key()) QCoreApplication::postEvent(w, new AppBarShell::NotifyEvent(code, 0));
    }

    xcb_connection_t* c_;
    xcb_screen_t* root_ = nullptr;
    QHash<QByteArray, xcb_atom_t> atoms_;
    QHash<QWidget*, State> bars_;
    Filter filter_;
};

} // namespace

std::unique_ptr<AppBarShell::Shell> AppBarShell::makeX11Shell() {
    xcb_connection_t* c = X11::Connection();
    return c ? std::make_unique<X11Shell>(c) : nullptr;
}
