#pragma once
// What the window manager of the desktop stage (tests/desktop) makes of our windows, read
// through xcb on a connection of the test's own (Qt's events stay Qt's): stacking, the active
// window, states, desktops and the work area; and the keyboard as the X server would deliver
// it, typed into whatever window has the input focus. Only for tests under the stage.
#include <QGuiApplication>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QScreen>
#include <QStringList>
#include <QTest>
#include <QWidget>
#include <QWindow>
#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>

namespace WmView {

inline xcb_connection_t* conn() {
    static xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    return c;
}

inline xcb_window_t root() {
    return xcb_setup_roots_iterator(xcb_get_setup(conn())).data->root;
}

inline xcb_atom_t atom(const char* name) {
    xcb_intern_atom_reply_t* r =
        xcb_intern_atom_reply(conn(), xcb_intern_atom(conn(), 0, uint16_t(std::strlen(name)), name), nullptr);
    const xcb_atom_t a = r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(r);
    return a;
}

inline QString atomName(xcb_atom_t a) {
    xcb_get_atom_name_reply_t* r = xcb_get_atom_name_reply(conn(), xcb_get_atom_name(conn(), a), nullptr);
    QString out;
    if (r) out = QString::fromLatin1(xcb_get_atom_name_name(r), xcb_get_atom_name_name_length(r));
    std::free(r);
    return out;
}

// A 32-bit property as its values; empty when the window has none.
inline QList<quint32> values(xcb_window_t w, const char* prop, xcb_atom_t type) {
    QList<quint32> out;
    xcb_get_property_reply_t* r =
        xcb_get_property_reply(conn(), xcb_get_property(conn(), 0, w, atom(prop), type, 0, 1024), nullptr);
    if (r && r->format == 32) {
        const auto* v = static_cast<const quint32*>(xcb_get_property_value(r));
        for (int i = 0; i < xcb_get_property_value_length(r) / 4; ++i)
            out << v[i];
    }
    std::free(r);
    return out;
}

// The X window of a shown widget's window (what the window manager manages).
inline xcb_window_t win(const QWidget* w) {
    if (!w || !w->windowHandle()) return XCB_WINDOW_NONE;
    return xcb_window_t(w->windowHandle()->winId());
}

// The managed windows, bottom to top.
inline QList<quint32> stacking() {
    return values(root(), "_NET_CLIENT_LIST_STACKING", XCB_ATOM_WINDOW);
}
inline bool managed(const QWidget* w) {
    return w && stacking().contains(win(w));
}
// True when the window manager stacks `upper` above `lower`.
inline bool above(const QWidget* upper, const QWidget* lower) {
    const QList<quint32> s = stacking();
    const qsizetype u = s.indexOf(win(upper)), l = s.indexOf(win(lower));
    return u >= 0 && l >= 0 && u > l;
}
// The topmost managed window of ours that is shown on screen.
inline xcb_window_t activeWindow() {
    const QList<quint32> a = values(root(), "_NET_ACTIVE_WINDOW", XCB_ATOM_WINDOW);
    return a.isEmpty() ? xcb_window_t(XCB_WINDOW_NONE) : a.first();
}
inline bool active(const QWidget* w) {
    return w && activeWindow() == win(w);
}
// The window that holds the keyboard now, as the X server sees it.
inline xcb_window_t inputFocus() {
    xcb_get_input_focus_reply_t* r = xcb_get_input_focus_reply(conn(), xcb_get_input_focus(conn()), nullptr);
    const xcb_window_t out = r ? r->focus : xcb_window_t(XCB_WINDOW_NONE);
    std::free(r);
    return out;
}
// The window manager's states of the window, without the "_NET_WM_STATE_" prefix
// ("ABOVE", "MAXIMIZED_VERT", "HIDDEN", "DEMANDS_ATTENTION", ...).
inline QStringList states(const QWidget* w) {
    QStringList out;
    for (quint32 a : values(win(w), "_NET_WM_STATE", XCB_ATOM_ATOM))
        out << atomName(a).remove(QStringLiteral("_NET_WM_STATE_"));
    return out;
}
// What the window manager lets the user do with the window, without "_NET_WM_ACTION_".
inline QStringList allowedActions(const QWidget* w) {
    QStringList out;
    for (quint32 a : values(win(w), "_NET_WM_ALLOWED_ACTIONS", XCB_ATOM_ATOM))
        out << atomName(a).remove(QStringLiteral("_NET_WM_ACTION_"));
    return out;
}
inline xcb_window_t transientFor(const QWidget* w) {
    const QList<quint32> v = values(win(w), "WM_TRANSIENT_FOR", XCB_ATOM_WINDOW);
    return v.isEmpty() ? xcb_window_t(XCB_WINDOW_NONE) : v.first();
}
// The desktop the window is on; 0xFFFFFFFF for every desktop, -1 for none set.
inline qint64 desktop(const QWidget* w) {
    const QList<quint32> v = values(win(w), "_NET_WM_DESKTOP", XCB_ATOM_CARDINAL);
    return v.isEmpty() ? -1 : qint64(v.first());
}
inline qint64 currentDesktop() {
    const QList<quint32> v = values(root(), "_NET_CURRENT_DESKTOP", XCB_ATOM_CARDINAL);
    return v.isEmpty() ? -1 : qint64(v.first());
}
// The work area of desktop `d`.
inline QRect workArea(int d) {
    const QList<quint32> v = values(root(), "_NET_WORKAREA", XCB_ATOM_CARDINAL);
    if (v.size() < 4 * (d + 1)) return {};
    return QRect(int(v[4 * d]), int(v[4 * d + 1]), int(v[4 * d + 2]), int(v[4 * d + 3]));
}
// ICCCM state: 0 withdrawn, 1 normal, 3 iconic; -1 when the window has none.
inline int wmState(const QWidget* w) {
    const QList<quint32> v = values(win(w), "WM_STATE", atom("WM_STATE"));
    return v.isEmpty() ? -1 : int(v.first());
}
// True when the server shows the window (mapped, and its frame mapped too).
inline bool viewable(const QWidget* w) {
    xcb_get_window_attributes_reply_t* r =
        xcb_get_window_attributes_reply(conn(), xcb_get_window_attributes(conn(), win(w)), nullptr);
    const bool out = r && r->map_state == XCB_MAP_STATE_VIEWABLE;
    std::free(r);
    return out;
}

// The rectangle of the frame the window manager put round `w` (the window itself when it has
// none), in root coordinates.
inline QRect frameRect(const QWidget* w) {
    xcb_connection_t* c = conn();
    xcb_window_t top = win(w);
    for (;;) {
        xcb_query_tree_reply_t* t = xcb_query_tree_reply(c, xcb_query_tree(c, top), nullptr);
        if (!t) return {};
        const xcb_window_t parent = t->parent, rootWin = t->root;
        std::free(t);
        if (parent == rootWin || parent == XCB_WINDOW_NONE) break;
        top = parent;
    }
    xcb_get_geometry_reply_t* g = xcb_get_geometry_reply(c, xcb_get_geometry(c, top), nullptr);
    QRect out;
    if (g) out = QRect(g->x, g->y, g->width + 2 * g->border_width, g->height + 2 * g->border_width);
    std::free(g);
    return out;
}

// Asks the window manager as a pager would: a client message to the root window.
inline void request(xcb_window_t w, const char* message, std::initializer_list<quint32> data) {
    xcb_client_message_event_t ev{};
    ev.response_type = XCB_CLIENT_MESSAGE;
    ev.format = 32;
    ev.window = w;
    ev.type = atom(message);
    int i = 0;
    for (quint32 d : data)
        ev.data.data32[i++] = d;
    xcb_send_event(conn(), 0, root(),
                   XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char*>(&ev));
    xcb_flush(conn());
}
inline void switchDesktop(int d) {
    request(root(), "_NET_CURRENT_DESKTOP", {quint32(d), 0});
}
// Maximises the window or puts it back, as its title bar's button would.
inline void maximise(const QWidget* w, bool on) {
    request(win(w), "_NET_WM_STATE",
            {on ? 1u : 0u, atom("_NET_WM_STATE_MAXIMIZED_VERT"), atom("_NET_WM_STATE_MAXIMIZED_HORZ"), 2u});
}

// The server's time now: the time stamp of a change made for the purpose, as a real key
// press would carry one (Qt takes its user time from the keys).
inline xcb_timestamp_t serverTime() {
    xcb_connection_t* c = conn();
    static xcb_window_t clock = [c] {
        const xcb_window_t w = xcb_generate_id(c);
        const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_create_window(c, XCB_COPY_FROM_PARENT, w, root(), 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                          XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &mask);
        return w;
    }();
    xcb_change_property(c, XCB_PROP_MODE_APPEND, clock, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8, 0, nullptr);
    xcb_flush(c);
    while (xcb_generic_event_t* e = xcb_wait_for_event(c)) {
        const bool mine = (e->response_type & 0x7f) == XCB_PROPERTY_NOTIFY &&
                          reinterpret_cast<xcb_property_notify_event_t*>(e)->window == clock;
        const xcb_timestamp_t t = mine ? reinterpret_cast<xcb_property_notify_event_t*>(e)->time : 0;
        std::free(e);
        if (mine) return t;
    }
    return XCB_CURRENT_TIME;
}

// Types `text` (lower-case letters, digits, blanks, "\n" for Enter) into the window that has
// the input focus, key by key, as the keyboard would: nothing is aimed at a window of our
// choosing. Each key goes once the previous one has been handled.
inline void type(const QString& text) {
    xcb_connection_t* c = conn();
    const xcb_setup_t* setup = xcb_get_setup(c);
    const int first = setup->min_keycode, count = setup->max_keycode - setup->min_keycode + 1;
    xcb_get_keyboard_mapping_reply_t* map = xcb_get_keyboard_mapping_reply(
        c, xcb_get_keyboard_mapping(c, setup->min_keycode, uint8_t(count)), nullptr);
    if (!map) return;
    const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(map);
    const int per = map->keysyms_per_keycode;
    auto keycodeOf = [&](xcb_keysym_t sym) -> xcb_keycode_t {
        for (int k = 0; k < count; ++k)
            if (syms[k * per] == sym) return xcb_keycode_t(first + k);
        return 0;
    };
    for (const QChar ch : text) {
        const xcb_keysym_t sym = ch == QLatin1Char('\n')  ? 0xff0d
                                 : ch == QLatin1Char(' ') ? 0x20
                                                          : ch.unicode();
        const xcb_keycode_t code = keycodeOf(sym);
        if (!code) continue;
        const xcb_window_t target = inputFocus();
        const xcb_timestamp_t now = serverTime();
        for (const uint8_t kind : {uint8_t(XCB_KEY_PRESS), uint8_t(XCB_KEY_RELEASE)}) {
            xcb_key_press_event_t ev{};
            ev.response_type = kind;
            ev.detail = code;
            ev.time = now;
            ev.root = root();
            ev.event = target;
            ev.child = XCB_WINDOW_NONE;
            ev.same_screen = 1;
            xcb_send_event(c, 1, target,
                           kind == XCB_KEY_PRESS ? XCB_EVENT_MASK_KEY_PRESS : XCB_EVENT_MASK_KEY_RELEASE,
                           reinterpret_cast<const char*>(&ev));
        }
        // The server has taken the key once this round trip returns; the program has it once a
        // round trip of its own returns after that.
        std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
        QGuiApplication::sync();
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }
    std::free(map);
}

// Clicks `w` twice with the left button, quickly, as a double click on it would.
inline void doubleClick(xcb_window_t w, QPoint at = QPoint(4, 4)) {
    xcb_connection_t* c = conn();
    for (int i = 0; i < 2; ++i) {
        for (const uint8_t kind : {uint8_t(XCB_BUTTON_PRESS), uint8_t(XCB_BUTTON_RELEASE)}) {
            xcb_button_press_event_t ev{};
            ev.response_type = kind;
            ev.detail = 1;
            ev.time = serverTime();
            ev.root = root();
            ev.event = w;
            ev.child = XCB_WINDOW_NONE;
            ev.event_x = int16_t(at.x());
            ev.event_y = int16_t(at.y());
            ev.state = kind == XCB_BUTTON_RELEASE ? XCB_BUTTON_MASK_1 : 0;
            ev.same_screen = 1;
            xcb_send_event(c, 1, w,
                           kind == XCB_BUTTON_PRESS ? XCB_EVENT_MASK_BUTTON_PRESS
                                                    : XCB_EVENT_MASK_BUTTON_RELEASE,
                           reinterpret_cast<const char*>(&ev));
        }
    }
    xcb_flush(c);
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    QGuiApplication::sync();
    QCoreApplication::processEvents();
}

// The whole screen as it is shown, frames and all.
inline QImage screen() {
    QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->grabWindow(0).toImage() : QImage();
}

} // namespace WmView
