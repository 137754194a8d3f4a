// A bare copy of the messenger's network layer for the two-process test: it signs in under
// the name, colour and font it is given, prints its user list after every change, and signs
// out when it reads "quit" (or its input closes).
#include "core/NetOwner.h"
#include "core/modGlobals.h"
#include "core/modNetCmds.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTextStream>
#include <QTimer>
#include <cstdio>
#include <unistd.h>

namespace {
struct PrintingOwner : NetOwner {
    OwnerList names{true}, records{true};
    OwnerList* lstUsers() override { return &names; }
    OwnerList* lstUStat() override { return &records; }
    void UListChange() override {
        QStringList shown;
        for (const QString& r : records.items())
            shown << QString(r).replace(modGlobals::kSep, QLatin1Char('|'));
        std::printf("LIST %s\n", qPrintable(shown.join(QLatin1Char(';'))));
        std::fflush(stdout);
    }
};
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 4) return 2;
    auto& s = modGlobals::Sets();
    s.UNAME = QString::fromLocal8Bit(argv[1]);
    s.UCOL = QByteArray(argv[2]).toInt();
    s.UFNT = QString::fromLocal8Bit(argv[3]);
    PrintingOwner owner;
    modNetCmds::OpenNetCom(&owner, s.UNAME);
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [] { modNetCmds::PollData(); });
    poll.start(200);
    QSocketNotifier in(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&in, &QSocketNotifier::activated, [&] {
        char buf[64];
        const ssize_t n = ::read(STDIN_FILENO, buf, sizeof buf);
        if (n <= 0 || QByteArray(buf, n).contains("quit")) {
            modNetCmds::CloseNetCom(1);
            app.quit();
        }
    });
    std::printf("READY\n");
    std::fflush(stdout);
    return app.exec();
}
