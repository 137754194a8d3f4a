// The desktop test stage: runs one test program on an X server of its own (Xvfb on a free
// display) with a real window manager (openbox) and a notification-area tray (trayer), each
// waited for until it has announced itself, and takes all three down after the test.
//
//   qx3stage <test program> [its arguments]
//
// The test runs with DISPLAY set to the new server and QT_QPA_PLATFORM=xcb; no session bus is
// reachable, so Qt puts its tray icon into the XEmbed tray. The exit status is the test's
// (128 + the signal when it was killed). Everything the stage starts dies with the stage.
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ftw.h>
#include <poll.h>
#include <string>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
#include <vector>
#include <xcb/xcb.h>

#ifndef QX3_OPENBOX_RC
#error "QX3_OPENBOX_RC names the window manager's configuration"
#endif

namespace {

// How long the server, the window manager and the tray may take to come up on a busy machine.
constexpr int kReadyMs = 60000;

std::vector<pid_t> started; // in the order started; taken down in reverse
pid_t testPid = -1;

long long nowMs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1000LL + ts.tv_nsec / 1000000;
}

// Starts `argv` with `env` added; the child dies when the stage does, whatever ends it.
pid_t spawn(const std::vector<std::string>& argv, const std::vector<std::string>& env,
            const std::vector<std::string>& unset = {}, int keepFd = -1) {
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid != 0) return pid;
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent) _exit(127);
    for (int fd = 3; fd < 256; ++fd)
        if (fd != keepFd) close(fd);
    for (const std::string& e : env)
        putenv(strdup(e.c_str()));
    for (const std::string& u : unset)
        unsetenv(u.c_str());
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    std::fprintf(stderr, "qx3stage: cannot start %s: %s\n", args[0], std::strerror(errno));
    _exit(127);
}

bool alive(pid_t pid) {
    int status = 0;
    return waitpid(pid, &status, WNOHANG) == 0;
}

// One at a time, the server last: the clients go while they still have it. The window manager
// and the tray have nothing to keep and may miss a polite request (the window manager does, now
// and then, as it starts or stops): they are killed. The server is asked, so that it removes
// its lock on the display number.
void takeDown() {
    for (auto it = started.rbegin(); it != started.rend(); ++it) {
        kill(*it, it + 1 == started.rend() ? SIGTERM : SIGKILL);
        waitpid(*it, nullptr, 0);
    }
    started.clear();
}

void forward(int sig) {
    if (testPid > 0) kill(testPid, sig);
}

xcb_atom_t atom(xcb_connection_t* c, const char* name) {
    xcb_intern_atom_reply_t* r =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name), nullptr);
    const xcb_atom_t a = r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(r);
    return a;
}

xcb_window_t windowProperty(xcb_connection_t* c, xcb_window_t w, xcb_atom_t prop) {
    xcb_get_property_reply_t* r =
        xcb_get_property_reply(c, xcb_get_property(c, 0, w, prop, XCB_ATOM_WINDOW, 0, 1), nullptr);
    xcb_window_t out = XCB_WINDOW_NONE;
    if (r && r->format == 32 && xcb_get_property_value_length(r) == 4)
        out = *static_cast<const xcb_window_t*>(xcb_get_property_value(r));
    std::free(r);
    return out;
}

xcb_window_t selectionOwner(xcb_connection_t* c, xcb_atom_t selection) {
    xcb_get_selection_owner_reply_t* r =
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, selection), nullptr);
    const xcb_window_t out = r ? r->owner : xcb_window_t(XCB_WINDOW_NONE);
    std::free(r);
    return out;
}

// Waits until `ready` holds, woken by every event on the root window; false when `pid` ended
// first or the time ran out.
template <class Ready> bool waitUntil(xcb_connection_t* c, pid_t pid, long long deadline, Ready ready) {
    pollfd p{xcb_get_file_descriptor(c), POLLIN, 0};
    while (!ready()) {
        if (!alive(pid) || xcb_connection_has_error(c)) return false;
        const long long left = deadline - nowMs();
        if (left <= 0) return false;
        // Woken by the announcement itself; the bound only lets a dead child be noticed.
        poll(&p, 1, int(left < 250 ? left : 250));
        while (xcb_generic_event_t* e = xcb_poll_for_event(c))
            std::free(e);
    }
    return true;
}

int removeEntry(const char* path, const struct stat*, int, FTW*) {
    return remove(path);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: qx3stage <test program> [arguments]\n");
        return 2;
    }
    char tmpl[] = "/tmp/qx3stage-XXXXXX";
    const char* scratch = mkdtemp(tmpl);
    if (!scratch) {
        std::perror("qx3stage: mkdtemp");
        return 1;
    }
    const std::string home = scratch;
    // The window manager and the tray keep whatever they write out of the user's folders.
    const std::vector<std::string> own = {"HOME=" + home, "XDG_CONFIG_HOME=" + home + "/config",
                                          "XDG_CACHE_HOME=" + home + "/cache",
                                          "XDG_DATA_HOME=" + home + "/data"};
    const long long deadline = nowMs() + kReadyMs;
    // What is up goes, and so does what it wrote.
    auto fail = [&home](const std::string& why) {
        std::fprintf(stderr, "qx3stage: %s\n", why.c_str());
        takeDown();
        nftw(home.c_str(), removeEntry, 16, FTW_DEPTH | FTW_PHYS);
        return 1;
    };

    // The server picks a free display and writes its number down the pipe once it listens.
    int fds[2];
    if (pipe(fds) != 0) return fail("no pipe for Xvfb");
    const pid_t xvfb = spawn({"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", "1024x768x24",
                              "-nolisten", "tcp", "-noreset"},
                             {}, {}, fds[1]);
    started.push_back(xvfb);
    close(fds[1]);
    std::string display;
    char ch = 0;
    while (read(fds[0], &ch, 1) == 1 && ch != '\n')
        display += ch;
    close(fds[0]);
    if (display.empty()) return fail("Xvfb did not start");
    display = ":" + display;
    xcb_connection_t* c = xcb_connect(display.c_str(), nullptr);
    if (xcb_connection_has_error(c)) return fail("no connection to " + display);
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    xcb_change_window_attributes(c, root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(c);

    const std::string dpy = "DISPLAY=" + display;
    std::vector<std::string> env = own;
    env.push_back(dpy);

    const pid_t wm = spawn({"openbox", "--sm-disable", "--config-file", QX3_OPENBOX_RC}, env);
    started.push_back(wm);
    const xcb_atom_t check = atom(c, "_NET_SUPPORTING_WM_CHECK");
    const xcb_atom_t wmSelection = atom(c, "WM_S0");
    // Ready when it owns the screen and its check window names itself.
    const bool wmReady = waitUntil(c, wm, deadline, [&] {
        const xcb_window_t w = windowProperty(c, root, check);
        return w != XCB_WINDOW_NONE && windowProperty(c, w, check) == w &&
               selectionOwner(c, wmSelection) != XCB_WINDOW_NONE;
    });
    if (!wmReady) return fail("the window manager did not come up on " + display);

    // A small tray in the bottom right corner, a dock of its own that reserves no strip, so that
    // the work area is the whole screen but for what the tests put there.
    const std::vector<std::string> trayArgs = {
        "trayer", "--edge",        "bottom", "--align",           "right", "--widthtype",
        "pixel",  "--width",       "96",     "--heighttype",      "pixel", "--height",
        "24",     "--SetDockType", "true",   "--SetPartialStrut", "false", "--expand",
        "true",   "--transparent", "false"};
    const pid_t tray = spawn(trayArgs, env);
    started.push_back(tray);
    const xcb_atom_t traySelection = atom(c, "_NET_SYSTEM_TRAY_S0");
    if (!waitUntil(c, tray, deadline, [&] { return selectionOwner(c, traySelection) != XCB_WINDOW_NONE; }))
        return fail("the tray did not come up on " + display);
    xcb_disconnect(c);

    // No session bus: the tray icon goes into the XEmbed tray, and nothing starts a bus.
    const std::string noBus = "DBUS_SESSION_BUS_ADDRESS=unix:path=" + home + "/no-bus";
    std::vector<std::string> argvTest(argv + 1, argv + argc);
    struct sigaction sa {};
    sa.sa_handler = forward;
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGHUP, &sa, nullptr);
    const std::string runtime = home + "/runtime";
    mkdir(runtime.c_str(), 0700);
    testPid = spawn(argvTest,
                    {dpy, "QT_QPA_PLATFORM=xcb", noBus, "NO_AT_BRIDGE=1", "QT_ACCESSIBILITY=0",
                     "XDG_RUNTIME_DIR=" + runtime},
                    {"WAYLAND_DISPLAY"});
    int status = 0;
    while (waitpid(testPid, &status, 0) < 0 && errno == EINTR) {
    }
    testPid = -1;
    const int rc =
        WIFEXITED(status) ? WEXITSTATUS(status) : 128 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
    takeDown();
    nftw(home.c_str(), removeEntry, 16, FTW_DEPTH | FTW_PHYS);
    return rc;
}
