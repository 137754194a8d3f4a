#pragma once
// The other copy of the two-process tests: a netpeer process (tests/core/netpeer.cpp says what
// it prints and takes) in a program folder of its own, on this test's network. Every wait is
// bounded by kNetWait and, when it runs out, says what was awaited and what the peer printed.
#include "support/TestEnv.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <csignal>

namespace TestEnv {

class NetPeer {
  public:
    NetPeer() = default;
    NetPeer(const NetPeer&) = delete;
    NetPeer& operator=(const NetPeer&) = delete;
    ~NetPeer() {
        if (process.state() == QProcess::NotRunning) return;
        process.kill();
        process.waitForFinished(kNetWait);
    }

    // Starts the peer signed in as `name` with `colour` and `font` (and `saveFolder` for files
    // it receives), and waits until it listens.
    bool start(const QString& name, const QString& colour = QStringLiteral("0"),
               const QString& font = QStringLiteral("Arial"), const QString& saveFolder = QString()) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QX3_HOME"), home.path());
        process.setProcessEnvironment(env);
        QStringList args{name, colour, font};
        if (!saveFolder.isEmpty()) args << saveFolder;
        QString bin = qEnvironmentVariable("QX3_TEST_BINARY_DIR");
        if (bin.isEmpty()) bin = QCoreApplication::applicationDirPath() + QStringLiteral("/../..");
        process.start(bin + QStringLiteral("/tests/core/netpeer"), args);
        if (!process.waitForStarted(kNetWait)) {
            qWarning("netpeer did not start: %s", qPrintable(process.errorString()));
            return false;
        }
        return saw("READY\n");
    }

    // Waits until the peer has printed `what`, anywhere in its output so far.
    bool saw(const QByteArray& what) {
        return until([&] { return out.contains(what); }, what);
    }
    // Waits until `done()` holds, reading what the peer prints meanwhile; `awaited` names it
    // in the warning when the wait runs out.
    template <class Done> bool until(Done done, const QByteArray& awaited) {
        if (QTest::qWaitFor(
                [&] {
                    output();
                    return done();
                },
                kNetWait))
            return true;
        qWarning("awaited from the peer: \"%s\"; it printed:\n%s", awaited.constData(),
                 out.right(4000).constData());
        return false;
    }
    // Everything it printed so far.
    const QByteArray& output() {
        out += process.readAllStandardOutput();
        return out;
    }
    // Its last report on its user list: the records, "|" for the separator and ";" between them.
    QByteArray lastList() {
        output();
        const qsizetype at = out.lastIndexOf("\nLIST ");
        return at < 0 ? QByteArray() : out.mid(at + 6, out.indexOf('\n', at + 1) - at - 6);
    }
    // Its last report on its chat rooms: every room, one line each ("ROOM <n> ..."), or "ROOMS none".
    QByteArray rooms() {
        output();
        const qsizetype at = std::max(out.lastIndexOf("\nROOM 0 "), out.lastIndexOf("\nROOMS none"));
        return at < 0 ? QByteArray() : out.mid(at + 1);
    }
    void send(const QByteArray& line) { process.write(line + '\n'); }
    // Holds the peer still (it hears nothing and answers nothing until resumed), and lets it go
    // on; what arrives meanwhile waits for it in its slot.
    bool pause() { return ::kill(static_cast<pid_t>(process.processId()), SIGSTOP) == 0; }
    bool resume() { return ::kill(static_cast<pid_t>(process.processId()), SIGCONT) == 0; }
    // Signs the peer out and waits for it to end.
    bool quit() {
        send("quit");
        if (process.waitForFinished(kNetWait)) return true;
        qWarning("the peer did not end after \"quit\"");
        return false;
    }

    QTemporaryDir home;
    QProcess process;

  private:
    QByteArray out;
};

} // namespace TestEnv
