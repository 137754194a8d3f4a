// Measures the network layer over the real loopback transport:
//  1. draining and dispatching 10,000 waiting datagrams in one poll;
//  2. how many of a burst of 5,000 datagrams of 300 bytes, sent between two polls, arrive.
#include "core/NetOwner.h"
#include "core/clsChat.h"
#include "core/modGlobals.h"
#include "core/modNetCmds.h"
#include "platform/Mailslot.h"
#include "support/Headless.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <cstdio>

namespace {
struct Owner : NetOwner {
    OwnerList names{true}, records{true};
    OwnerList* lstUsers() override { return &names; }
    OwnerList* lstUStat() override { return &records; }
};

QByteArray datagram(int i, int size) {
    QByteArray d(1, '\0');
    d += "User" + QByteArray::number(i % 200) + '\x01' + "H" + "Bench" + '\x01' + QByteArray::number(i) + ' ';
    while (d.size() < size - 3)
        d += 'x';
    d += "\x01"
         "0\x01";
    return d;
}
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    TestEnv::Headless env{TestEnv::Loopback}; // talks to nobody but itself, from a folder of its own
    modGlobals::Run().NoLog = 1;
    modGlobals::Sets().UNAME = QStringLiteral("Bench");

    Owner owner;
    // Listening under a "\" name: the layer adds users but sends no presence in reply, so
    // the poll measures draining and dispatching alone.
    modNetCmds::OpenNetCom(&owner, QStringLiteral("\\Bench"));

    constexpr int kDrain = 10000;
    for (int i = 0; i < kDrain; ++i)
        Mailslot::send(QStringLiteral("*"), QStringLiteral("QX3"), datagram(i, 120));
    QThread::msleep(200);
    QElapsedTimer t;
    t.start();
    modNetCmds::PollData();
    const double drainMs = t.nsecsElapsed() / 1e6;
    std::printf("drain+dispatch of %d waiting datagrams in one poll: %.1f ms (%d users listed)\n", kDrain,
                drainMs, owner.names.ListCount());

    constexpr int kBurst = 5000;
    clsChat ear;
    ear.Init(QStringLiteral("QX3"));
    ear.GetMessages();
    for (int i = 0; i < kBurst; ++i)
        Mailslot::send(QStringLiteral("*"), QStringLiteral("QX3"), datagram(100000 + i, 300));
    QThread::msleep(200); // the gap between two polls
    const int got = static_cast<int>(ear.GetMessages().size());
    std::printf("burst of %d datagrams of 300 bytes between two polls: %d received\n", kBurst, got);
    modNetCmds::CloseNetCom(0);
    return got == kBurst ? 0 : 1;
}
