#pragma once
// The X server behind Qt's own connection, for what Qt does not say of the window manager.
// Only inside the platform layer (its include path holds xcb).
#include <QGuiApplication>
#include <cstdlib>
#include <xcb/xcb.h>

namespace X11 {

// Qt's connection on an X11 display; nullptr on any other platform (the offscreen one too,
// although it answers the same native interface).
inline xcb_connection_t* Connection() {
    if (QGuiApplication::platformName() != QLatin1String("xcb")) return nullptr;
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

inline xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
    xcb_intern_atom_reply_t* r =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(qstrlen(name)), name), nullptr);
    const xcb_atom_t a = r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(r);
    return a;
}

} // namespace X11
