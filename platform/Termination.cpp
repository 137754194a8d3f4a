#include "platform/Termination.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {
int pipeFds[2] = {-1, -1};
std::function<void()>& handler() {
    static std::function<void()> h;
    return h;
}

extern "C" void onSignal(int) {
    const char c = 1;
    // Only async-signal-safe work here: wake the event loop.
    [[maybe_unused]] const ssize_t n = ::write(pipeFds[1], &c, 1);
}
} // namespace

void Termination::OnRequest(std::function<void()> h) {
    handler() = std::move(h);
    if (pipeFds[0] >= 0) return;
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pipeFds) != 0) return;
    auto* notifier = new QSocketNotifier(pipeFds[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, [] {
        char buf[16];
        [[maybe_unused]] const ssize_t n = ::read(pipeFds[0], buf, sizeof buf);
        if (handler()) handler()();
    });
    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int sig : {SIGTERM, SIGHUP, SIGINT})
        ::sigaction(sig, &sa, nullptr);
}
