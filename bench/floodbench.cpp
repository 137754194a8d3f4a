// A hostile host on the loopback network against a real copy of the messenger (the QX3
// program, signed in automatically, drawn off screen). For each flood a fresh copy is
// started; the bench prints the growth of its resident memory and how long after the flood
// it answers an "R" request:
//   1. 2,000 "I" answers nobody asked for;
//   2. 2,000 alerts to "(All)";
//   3. 1,000 first chat lines, each from a new name;
//   4. 5,000 "M" messages;
//   5. 100 "C" updates from an ordinary user, with 15 users of 60,000-character names heard first;
//   6. ghosts: 1,900 and then 20,000 datagrams, each under a name never heard before, sent while
//      the copy runs. Printed besides: how long after it was sent the last ghost the copy lists
//      (the list holds at most 2,000 names) heard the copy's presence, how many presence bursts
//      the copy sent and the least time between two, all it sent, and the kernel's drops on its
//      sockets.
// Targets: less than 100 MiB of growth and the "R" answered within 1 s after each flood; the
// "C" updates done within 50 ms; the last listed ghost answered within 1 s, no more bursts
// than one per poll interval (200 ms) of the flood and one more, no drops. The exit code is 1
// when a target is missed.
// Before the floods it prints what one information window, pop-up and chat room costs, each
// opened 50 times here, shown and drawn off screen.
#include "UdpDrops.h"
#include "conversation/AlertWindows.h"
#include "conversation/frmChat.h"
#include "conversation/frmInfo.h"
#include "conversation/frmPop.h"
#include "core/clsChat.h"
#include "core/modGlobals.h"
#include "platform/Ansi.h"
#include "platform/Mailslot.h"
#include "support/Headless.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>
#include <functional>
#include <signal.h>

namespace {
const QString S(QChar(1));
const QString kTarget = QStringLiteral("Target");
constexpr int kStartMs = 60000;
constexpr int kAnswerMs = 60000; // how long the bench waits for an answer at all
constexpr double kMaxGrowthMiB = 100;
constexpr qint64 kMaxAnswerMs = 1000;
constexpr qint64 kMaxUpdatesMs = 50;
constexpr int kListed = 2000;        // the most names the copy lists
constexpr int kPresenceMs = 200;     // the copy answers newcomers at most once in this time
constexpr int kAfterGhostsMs = 1500; // how long the bench goes on listening after the ghosts

double rssMiB(qint64 pid) {
    QFile f(QStringLiteral("/proc/%1/status").arg(pid));
    if (!f.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

class Copy {
  public:
    Copy() {
        ear_.Init(QStringLiteral("QX3"));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QX3_HOME"), home_.path());
        env.insert(QStringLiteral("HOME"), home_.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home_.path() + QStringLiteral("/config"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        proc_.setProcessEnvironment(env);
        proc_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        proc_.setStandardOutputFile(QProcess::nullDevice());
        proc_.start(QStringLiteral(QX3_BINARY),
                    {QStringLiteral("-nme:") + kTarget, QStringLiteral("-aln"), QStringLiteral("-nsb")});
    }
    ~Copy() {
        proc_.kill();
        proc_.waitForFinished(5000);
    }
    // Waits for the copy's presence, then for its first answer.
    bool ready() {
        if (!proc_.waitForStarted(5000)) return false;
        if (!waitFor([](const QString& d) { return d.startsWith(kTarget + S + QStringLiteral("C")); },
                     kStartMs))
            return false;
        return ask() >= 0;
    }
    qint64 pid() const { return proc_.processId(); }
    double rss() const { return rssMiB(pid()); }

    void send(const QString& sender, const QString& data) {
        ear_.SendMessage(QString(), QStringLiteral("*"), sender + S + data);
    }
    // Sends an "R" and returns the milliseconds until its "I" came back, -1 when it did not.
    qint64 ask() {
        QElapsedTimer t;
        t.start();
        request();
        return answered() ? t.elapsed() : -1;
    }
    // An "R" whose answer answered() then waits for.
    void request() {
        want_ = kTarget + S + QStringLiteral("I") + QStringLiteral("Prober%1").arg(++probes_) + S;
        send(QStringLiteral("Prober%1").arg(probes_),
             QStringLiteral("R") + kTarget + S + QStringLiteral("X"));
    }
    bool answered() {
        return waitFor([&](const QString& d) { return d == want_; }, kAnswerMs);
    }
    // A stopped copy reads nothing: what is sent meanwhile waits in its slot, all for one poll.
    void pause() { ::kill(static_cast<pid_t>(pid()), SIGSTOP); }
    void resume() { ::kill(static_cast<pid_t>(pid()), SIGCONT); }
    // Drains what is heard until `match` holds for one datagram (without its leading NUL).
    bool waitFor(const std::function<bool(const QString&)>& match, int ms) {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < ms) {
            for (const QString& m : ear_.GetMessages())
                if (match(m.mid(1))) return true;
            if (proc_.state() != QProcess::Running) return false;
            QThread::usleep(200);
        }
        return false;
    }

  private:
    QTemporaryDir home_;
    QProcess proc_;
    clsChat ear_;
    int probes_ = 0;
    QString want_;
};

bool allMet = true;

// The resident memory one window of a kind takes, opened `count` times, shown and drawn.
template <class Make> double perWindowKiB(int count, Make make) {
    QCoreApplication::processEvents();
    const double before = rssMiB(QCoreApplication::applicationPid());
    std::vector<QWidget*> made;
    for (int i = 0; i < count; ++i) {
        QWidget* w = make(i);
        w->show();
        made.push_back(w);
    }
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
    for (QWidget* w : made)
        w->repaint();
    const double grown = rssMiB(QCoreApplication::applicationPid()) - before;
    for (QWidget* w : made)
        delete w;
    QCoreApplication::processEvents();
    return grown * 1024.0 / count;
}

void windowCosts() {
    constexpr int n = 50;
    const double info = perWindowKiB(n, [](int i) {
        auto* w = new frmInfo;
        w->SetFrom(QStringLiteral("User%1").arg(i), 255, QStringLiteral("Arial"), false);
        w->SetText(QStringLiteral("My Phone Number is: %1").arg(i));
        return w;
    });
    const double pop = perWindowKiB(n, [](int i) {
        return AlertWindows::MakePop(QStringLiteral("alert %1").arg(i), QStringLiteral("User%1").arg(i));
    });
    const double room = perWindowKiB(n, [](int i) {
        auto* w = new frmChat;
        w->AddUser(QStringLiteral("User%1").arg(i));
        return w;
    });
    std::printf(
        "Memory per window (each opened %d times): information window %.0f KiB, pop-up %.0f KiB, chat "
        "room %.0f KiB\n",
        n, info, pop, room);
}

// One flood against a fresh copy: the flood and an "R" behind it wait in the copy's slot
// together, as when they arrive between two polls; the growth, and the answer's delay from
// the moment the copy runs on.
void flood(const char* what, const std::function<void(Copy&)>& send) {
    Copy copy;
    if (!copy.ready()) {
        std::printf("%-44s the copy did not start\n", what);
        allMet = false;
        return;
    }
    const double before = copy.rss();
    copy.pause();
    send(copy);
    copy.request();
    QElapsedTimer t;
    t.start();
    copy.resume();
    const qint64 answerMs = copy.answered() ? t.elapsed() : -1;
    // What the windows of the flood take shows once they are drawn: a second answer later.
    QThread::msleep(1000);
    copy.ask();
    const double growth = copy.rss() - before;
    if (answerMs < 0)
        std::printf("%-44s RSS %+7.1f MiB, \"R\" not answered in %d s\n", what, growth, kAnswerMs / 1000);
    else
        std::printf("%-44s RSS %+7.1f MiB, \"R\" answered %5lld ms after\n", what, growth,
                    static_cast<long long>(answerMs));
    std::fflush(stdout);
    if (answerMs < 0 || answerMs > kMaxAnswerMs || growth > kMaxGrowthMiB) allMet = false;
}

void longNamesAndUpdates() {
    const char* what = "100 \"C\" with 15 names of 60,000 characters";
    Copy copy;
    if (!copy.ready()) {
        std::printf("%-44s the copy did not start\n", what);
        allMet = false;
        return;
    }
    copy.send(QStringLiteral("Ann"), QStringLiteral("C1"));
    const qint64 idleMs = copy.ask();
    const double before = copy.rss();
    for (int i = 0; i < 15; ++i)
        copy.send(QString(60000, QChar(u'a' + i)), QStringLiteral("C255"));
    const qint64 namesMs = copy.ask();
    copy.pause();
    for (int i = 0; i < 100; ++i)
        copy.send(QStringLiteral("Ann"), QStringLiteral("C%1").arg(i % 16));
    copy.request();
    QElapsedTimer t;
    t.start();
    copy.resume();
    const qint64 updatesMs = copy.answered() ? t.elapsed() : -1;
    const double growth = copy.rss() - before;
    std::printf("%-44s RSS %+7.1f MiB, names taken in %lld ms, updates and \"R\" in %lld ms (an idle \"R\": "
                "%lld ms)\n",
                what, growth, static_cast<long long>(namesMs), static_cast<long long>(updatesMs),
                static_cast<long long>(idleMs));
    std::fflush(stdout);
    if (updatesMs < 0 || updatesMs > kMaxUpdatesMs || growth > kMaxGrowthMiB) allMet = false;
}
// Ghosts sent as fast as this host can, while the copy runs. The copy's own datagrams are
// counted on a slot of the bench's own; each presence burst begins with its "C".
void ghosts(const char* label, int count) {
    const QString what = QString::fromLatin1(label);
    Copy copy;
    Mailslot ear;
    if (!copy.ready() || ear.create(QStringLiteral("QX3")) < 0) {
        std::printf("%-44s the copy did not start\n", qPrintable(what));
        allMet = false;
        return;
    }
    const QByteArray burst = QByteArray(1, '\0') + kTarget.toLatin1() + "\x01" + "C";
    // The copy lists the prober of ready() and then ghosts, as they come, until the list is full.
    const int lastListed = qMin(count, kListed - 1) - 1;
    const QByteArray lastListedGhost =
        QByteArray(1, '\0') + QStringLiteral("Ghost%1").arg(lastListed, 5, 10, QLatin1Char('0')).toLatin1() +
        "\x01";
    QElapsedTimer clock;
    std::vector<qint64> bursts;
    qint64 sent = 0, lastListedHeardMs = -1, answeredMs = -1;
    const auto drain = [&] {
        qint64 size = 0;
        int waiting = 0;
        QByteArray bytes;
        while (ear.info(size, waiting) && ear.read(size, bytes)) {
            if (bytes.startsWith(lastListedGhost)) lastListedHeardMs = clock.elapsed();
            if (!bytes.startsWith(QByteArray(1, '\0') + kTarget.toLatin1() + "\x01")) continue;
            ++sent;
            if (!bytes.startsWith(burst)) continue;
            bursts.push_back(clock.elapsed());
            if (lastListedHeardMs >= 0 && answeredMs < 0) answeredMs = clock.elapsed() - lastListedHeardMs;
        }
    };
    clock.start();
    for (int i = 0; i < count; ++i) {
        copy.send(QStringLiteral("Ghost%1").arg(i, 5, 10, QLatin1Char('0')), QStringLiteral("B"));
        if (i % 256 == 0) drain();
    }
    const qint64 floodMs = clock.elapsed();
    drain();
    const qint64 rMs = copy.ask();
    const qint64 rAfterMs = rMs < 0 ? -1 : clock.elapsed() - floodMs;
    while (clock.elapsed() < floodMs + kAfterGhostsMs) {
        drain();
        QThread::usleep(500);
    }
    drain();
    int sockets = 0;
    const qint64 drops = UdpDrops::ofProcess(copy.pid(), UdpDrops::byInode(), sockets);
    qint64 leastGap = -1;
    int duringFlood = 0;
    for (size_t i = 0; i < bursts.size(); ++i) {
        if (bursts[i] <= floodMs) ++duringFlood;
        if (i > 0 && (leastGap < 0 || bursts[i] - bursts[i - 1] < leastGap))
            leastGap = bursts[i] - bursts[i - 1];
    }
    const qint64 allowed = 2 + (floodMs + kAfterGhostsMs) / kPresenceMs;
    const QString gap =
        leastGap < 0 ? QStringLiteral("no second burst") : QStringLiteral("least gap %1 ms").arg(leastGap);
    std::printf(
        "%-44s sent in %lld ms; the last listed ghost heard the copy %lld ms after it was sent, an \"R\" "
        "answered %lld ms after the flood; %zu presence bursts (%d during the flood, %s), %lld datagrams "
        "from the copy in all; drops on its %d sockets: %lld\n",
        qPrintable(what), static_cast<long long>(floodMs), static_cast<long long>(answeredMs),
        static_cast<long long>(rAfterMs), bursts.size(), duringFlood, qPrintable(gap),
        static_cast<long long>(sent), sockets, static_cast<long long>(drops));
    std::fflush(stdout);
    if (answeredMs < 0 || answeredMs > kMaxAnswerMs || rAfterMs < 0 || rAfterMs > kMaxAnswerMs ||
        qint64(bursts.size()) > allowed || drops > 0)
        allMet = false;
}
} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // A program folder of its own; the copies started inherit the port.
    TestEnv::Headless env{TestEnv::Loopback, TestEnv::Windows};
    modGlobals::Run().NoLog = 1;
    windowCosts();
    std::printf("Floods against a copy of QX3 on loopback (targets: RSS growth < %.0f MiB, \"R\" answered "
                "< %lld ms after, the \"C\" updates < %lld ms)\n",
                kMaxGrowthMiB, static_cast<long long>(kMaxAnswerMs), static_cast<long long>(kMaxUpdatesMs));
    flood("2,000 unsolicited \"I\"", [](Copy& c) {
        for (int i = 0; i < 2000; ++i)
            c.send(QStringLiteral("Eve"),
                   QStringLiteral("I") + kTarget + S + QStringLiteral("answer %1").arg(i));
    });
    flood("2,000 alerts to \"(All)\"", [](Copy& c) {
        for (int i = 0; i < 2000; ++i)
            c.send(QStringLiteral("Eve"),
                   QStringLiteral("A(All)") + S + QStringLiteral("alert %1").arg(i) + S);
    });
    flood("1,000 first lines from new names", [](Copy& c) {
        for (int i = 0; i < 1000; ++i)
            c.send(QStringLiteral("User%1").arg(i),
                   QStringLiteral("H") + kTarget + S + QStringLiteral("hi") + S + QStringLiteral("0") + S);
    });
    flood("5,000 \"M\"", [](Copy& c) {
        for (int i = 0; i < 5000; ++i)
            c.send(QStringLiteral("Eve"), QStringLiteral("Mmessage %1").arg(i));
    });
    longNamesAndUpdates();
    ghosts("1,900 ghosts", 1900);
    ghosts("20,000 ghosts", 20000);
    std::printf(allMet ? "All targets met.\n" : "A target was missed.\n");
    return allMet ? 0 : 1;
}
