// The desktop toolbar's X11 shell on an X server of the test's own (Xvfb, 1024 x 768): the
// window type and struts a docked, an auto-hidden and a floating bar get, the place offered
// beside another client's strip, the taskbar state, and a type that survives Qt's rewrites.
#include "platform/AppBarShell.h"

#include <QApplication>
#include <QWidget>
#include <QtTest>
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

using AppBarShell::Rect;
Q_DECLARE_METATYPE(Rect)

namespace {

xcb_connection_t* conn() {
    return qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
}
xcb_atom_t atom(const char* name) {
    xcb_intern_atom_reply_t* r =
        xcb_intern_atom_reply(conn(), xcb_intern_atom(conn(), 0, uint16_t(strlen(name)), name), nullptr);
    const xcb_atom_t a = r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
    free(r);
    return a;
}
QList<quint32> readProperty(xcb_window_t w, const char* prop, xcb_atom_t type) {
    QList<quint32> out;
    xcb_get_property_reply_t* r =
        xcb_get_property_reply(conn(), xcb_get_property(conn(), 0, w, atom(prop), type, 0, 64), nullptr);
    if (r && r->format == 32) {
        const auto* v = static_cast<const quint32*>(xcb_get_property_value(r));
        for (int i = 0; i < xcb_get_property_value_length(r) / 4; ++i)
            out << v[i];
    }
    free(r);
    return out;
}
xcb_window_t root() {
    return xcb_setup_roots_iterator(xcb_get_setup(conn())).data->root;
}
qintptr send(AppBarShell::Shell& shell, AppBarShell::Message m, QWidget* w, qint32 edge, Rect& rc,
             qintptr lParam = 0) {
    AppBarShell::Data d;
    d.hWnd = w;
    d.uCallbackMessage = 1124;
    d.uEdge = edge;
    d.rc = rc;
    d.lParam = lParam;
    const qintptr r = shell.Send(m, d);
    rc = d.rc;
    return r;
}
} // namespace

// The native window Qt shows the widget in now (Qt may make a new one as it shows it).
xcb_window_t win(QWidget& w) {
    w.winId();
    return xcb_window_t(w.windowHandle()->winId());
}

class TestX11Shell : public QObject {
    Q_OBJECT
    std::unique_ptr<AppBarShell::Shell> shell;

    QList<quint32> type(QWidget& w) { return readProperty(win(w), "_NET_WM_WINDOW_TYPE", XCB_ATOM_ATOM); }
    QList<quint32> struts(QWidget& w) {
        return readProperty(win(w), "_NET_WM_STRUT_PARTIAL", XCB_ATOM_CARDINAL);
    }

  private slots:
    void initTestCase() {
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        QCOMPARE(QGuiApplication::primaryScreen()->geometry(), QRect(0, 0, 1024, 768));
        shell = AppBarShell::makeX11Shell();
        QVERIFY(shell);
    }

    void dockedBars_data() {
        QTest::addColumn<int>("edge");
        QTest::addColumn<Rect>("rc");
        QTest::addColumn<bool>("dock");
        QTest::addColumn<QList<quint32>>("expected");
        QTest::newRow("top") << 1 << Rect{0, 0, 1024, 32} << true
                             << QList<quint32>{0, 0, 32, 0, 0, 0, 0, 0, 0, 1023, 0, 0};
        QTest::newRow("bottom") << 3 << Rect{0, 736, 1024, 768} << true
                                << QList<quint32>{0, 0, 0, 32, 0, 0, 0, 0, 0, 0, 0, 1023};
        QTest::newRow("left") << 0 << Rect{0, 0, 40, 768} << true
                              << QList<quint32>{40, 0, 0, 0, 0, 767, 0, 0, 0, 0, 0, 0};
        QTest::newRow("auto-hide") << 0 << Rect{} << true << QList<quint32>(12, 0);
        QTest::newRow("floating") << 5 << Rect{} << false << QList<quint32>(12, 0);
    }
    void dockedBars() {
        QFETCH(int, edge);
        QFETCH(Rect, rc);
        QFETCH(bool, dock);
        QFETCH(QList<quint32>, expected);
        QWidget w;
        Rect none;
        w.winId(); // a native window to look at before it is shown
        QVERIFY(send(*shell, AppBarShell::New, &w, 5, none));
        send(*shell, AppBarShell::SetPos, &w, edge, rc);
        QCOMPARE(struts(w), expected);
        QCOMPARE(readProperty(win(w), "_NET_WM_STRUT", XCB_ATOM_CARDINAL), expected.mid(0, 4));
        QCOMPARE(type(w),
                 QList<quint32>{atom(dock ? "_NET_WM_WINDOW_TYPE_DOCK" : "_NET_WM_WINDOW_TYPE_NORMAL")});
        send(*shell, AppBarShell::Remove, &w, 5, none);
        QCOMPARE(struts(w), QList<quint32>(12, 0));
        QCOMPARE(type(w), QList<quint32>{atom("_NET_WM_WINDOW_TYPE_NORMAL")});
    }

    void queryPosBesideAnotherStrip() {
        // Another client with a 30 pixel strip at the top, listed by the (absent) window manager.
        const xcb_window_t other = xcb_generate_id(conn());
        xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(conn())).data;
        xcb_create_window(conn(), XCB_COPY_FROM_PARENT, other, root(), 0, 0, 1024, 30, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
        const quint32 s[12] = {0, 0, 30, 0, 0, 0, 0, 0, 0, 1023, 0, 0};
        xcb_change_property(conn(), XCB_PROP_MODE_REPLACE, other, atom("_NET_WM_STRUT_PARTIAL"),
                            XCB_ATOM_CARDINAL, 32, 12, s);
        xcb_change_property(conn(), XCB_PROP_MODE_REPLACE, root(), atom("_NET_CLIENT_LIST"), XCB_ATOM_WINDOW,
                            32, 1, &other);
        xcb_flush(conn());
        QWidget w;
        w.winId();
        Rect rc;
        send(*shell, AppBarShell::New, &w, 5, rc);
        rc = Rect{0, 0, 1024, 768};
        send(*shell, AppBarShell::QueryPos, &w, 1, rc);
        QCOMPARE(rc.top, 30);
        QCOMPARE(rc.bottom, 768);
        // Our own strut is not counted against us.
        const xcb_window_t both[2] = {other, win(w)};
        Rect mine{0, 30, 1024, 62};
        send(*shell, AppBarShell::SetPos, &w, 1, mine);
        xcb_change_property(conn(), XCB_PROP_MODE_REPLACE, root(), atom("_NET_CLIENT_LIST"), XCB_ATOM_WINDOW,
                            32, 2, both);
        xcb_flush(conn());
        rc = Rect{0, 0, 1024, 768};
        send(*shell, AppBarShell::QueryPos, &w, 1, rc);
        QCOMPARE(rc.top, 30);
        send(*shell, AppBarShell::Remove, &w, 5, rc);
        xcb_delete_property(conn(), root(), atom("_NET_CLIENT_LIST"));
        xcb_destroy_window(conn(), other);
        xcb_flush(conn());
    }

    // A bar window that goes without being removed is forgotten: a later change of the work
    // area notifies only the windows that are still there.
    void destroyedWindowIsForgotten() {
        Rect rc;
        {
            QWidget gone;
            gone.winId();
            QVERIFY(send(*shell, AppBarShell::New, &gone, 5, rc));
        }
        QWidget w;
        w.winId();
        QVERIFY(send(*shell, AppBarShell::New, &w, 5, rc));
        int notices = 0;
        struct Counter : QObject {
            int* n;
            bool eventFilter(QObject*, QEvent* e) override {
                if (e->type() == AppBarShell::NotifyEvent::type()) ++*n;
                return false;
            }
        } counter;
        counter.n = &notices;
        w.installEventFilter(&counter);
        emit QGuiApplication::primaryScreen()->availableGeometryChanged(QRect(0, 0, 1024, 700));
        QTRY_COMPARE(notices, 1);
        send(*shell, AppBarShell::Remove, &w, 5, rc);
    }

    void taskbarStateAndTypeSurviveShowing() {
        QWidget w;
        w.resize(1024, 32);
        w.winId();
        Rect rc;
        send(*shell, AppBarShell::New, &w, 5, rc);
        rc = Rect{0, 0, 1024, 32};
        send(*shell, AppBarShell::SetPos, &w, 1, rc);
        shell->SetTaskbarButton(&w, false);
        const xcb_atom_t skip = atom("_NET_WM_STATE_SKIP_TASKBAR");
        QVERIFY(readProperty(win(w), "_NET_WM_STATE", XCB_ATOM_ATOM).contains(skip));
        // Qt writes the type again when the flags change; the bar's type is back before mapping.
        w.setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTRY_COMPARE(type(w), QList<quint32>{atom("_NET_WM_WINDOW_TYPE_DOCK")});
        QTRY_COMPARE(struts(w).value(2), 32u);
        // Moved to the bottom while shown: the struts follow at once.
        rc = Rect{0, 736, 1024, 768};
        send(*shell, AppBarShell::SetPos, &w, 3, rc);
        QCOMPARE(struts(w).mid(2, 2), (QList<quint32>{0, 32}));
        send(*shell, AppBarShell::Remove, &w, 5, rc);
    }
};

// The test runs on an X server of its own; without Xvfb there is nothing to test against.
int main(int argc, char** argv) {
    int fds[2];
    if (pipe(fds) != 0) return 1;
    const pid_t child = fork();
    if (child == 0) {
        close(fds[0]);
        const QByteArray fd = QByteArray::number(fds[1]);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.constData(), "-screen", "0", "1024x768x24", "-nolisten",
               "tcp", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    QByteArray display;
    char c;
    while (::read(fds[0], &c, 1) == 1 && c != '\n')
        display += c;
    close(fds[0]);
    if (display.isEmpty()) {
        waitpid(child, nullptr, 0);
        fprintf(stderr, "Xvfb did not start\n");
        return 1;
    }
    qputenv("DISPLAY", ":" + display);
    qputenv("QT_QPA_PLATFORM", "xcb");
    int rc = 0;
    {
        QApplication app(argc, argv);
        TestX11Shell t;
        rc = QTest::qExec(&t, argc, argv);
    }
    kill(child, SIGTERM);
    waitpid(child, nullptr, 0);
    return rc;
}

#include "tst_AppBarShellX11.moc"
