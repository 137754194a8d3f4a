// One copy of the messenger's network layer for meshbench, without windows: it signs in under
// the name it is given, polls as the main window does (on arrival and every poll interval), and
// prints "FULL" once its list holds the number of other copies it is given. It signs out when
// it reads "quit" or its input closes.
#include "core/NetOwner.h"
#include "core/modGlobals.h"
#include "core/modNetCmds.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {
struct CountingOwner : NetOwner {
    OwnerList names{true}, records{true};
    int others = 0;
    bool full = false;
    OwnerList* lstUsers() override { return &names; }
    OwnerList* lstUStat() override { return &records; }
    void UListChange() override {
        if (full || names.ListCount() < others) return;
        full = true;
        std::printf("FULL\n");
        std::fflush(stdout);
    }
};
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 3) return 2;
    modGlobals::Run().NoLog = 1;
    auto& s = modGlobals::Sets();
    s.UNAME = QString::fromLocal8Bit(argv[1]);
    CountingOwner owner;
    owner.others = QByteArray(argv[2]).toInt();
    modNetCmds::OpenNetCom(&owner, s.UNAME);
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [] { modNetCmds::PollData(); });
    poll.start(NetOwner::kPollInterval);
    QSocketNotifier in(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&in, &QSocketNotifier::activated, [&] {
        char buf[64];
        const ssize_t n = ::read(STDIN_FILENO, buf, sizeof buf);
        if (n > 0 && std::memchr(buf, 'q', static_cast<size_t>(n)) == nullptr) return;
        in.setEnabled(false);
        modNetCmds::CloseNetCom(0);
        app.quit();
    });
    return app.exec();
}
