// A bare copy of the messenger's network layer for the two-process tests: it signs in under
// the name, colour and font it is given, prints its user list after every change, and signs
// out when it reads "quit" (or its input closes). It also takes part in file transfers:
//   argument 4 (optional)  the save folder (SFLD)
//   "send <user> <path>"   offers the file (the open dialog answers with the path)
//   "answer yes|no"        how the next questions are answered (yes at start)
// Every message it would show is printed as "MSG <text>" with CR LF as "|".
#include "core/MessageService.h"
#include "core/NetOwner.h"
#include "core/clsFileXfer.h"
#include "core/modAppFnc.h"
#include "core/modGlobals.h"
#include "core/modLangConst.h"
#include "core/modNetCmds.h"
#include "platform/Dialogs.h"
#include "platform/Sound.h"

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

struct PrintingMessages : MessageService {
    int reply = 0;
    int Show(const QString& text, int buttons, int) override {
        std::printf("MSG %s\n",
                    qPrintable(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("|"))));
        std::fflush(stdout);
        return buttons == 1 ? reply : 0;
    }
};

struct ChosenFile : Dialogs::Service {
    QString path;
    Dialogs::FileAnswer chooseFile(const Dialogs::FileRequest&) override {
        return {path, path.isEmpty() ? 0 : 1};
    }
    QString chooseFolder(const QString&, const QString&) override { return {}; }
};

// No sound card and no windowing here: the beep of a message is silent.
struct Silence : Sound::Backend {
    void beep() override {}
    void playWave(const QString&, bool) override {}
};

struct PrintingProgress : XferProgress {
    void Open(const QString& to, const QString& file) override {
        std::printf("PRG open %s %s\n", qPrintable(to), qPrintable(file));
        std::fflush(stdout);
    }
    void SetStat(int state) override {
        std::printf("PRG stat %d\n", state);
        std::fflush(stdout);
    }
    void Unload() override {
        std::printf("PRG unload\n");
        std::fflush(stdout);
    }
};
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 4) return 2;
    auto& s = modGlobals::Sets();
    modLangConst::SetDefaultStrings();
    s.UNAME = QString::fromLocal8Bit(argv[1]);
    s.UCOL = QByteArray(argv[2]).toInt();
    s.UFNT = QString::fromLocal8Bit(argv[3]);
    if (argc > 4) s.SFLD = QString::fromLocal8Bit(argv[4]);
    Silence silence;
    Slot<Sound::Backend>::Override quiet(Sound::backend(), silence);
    PrintingMessages messages;
    Slot<MessageService>::Override printed(Messages::service(), messages);
    ChosenFile dialog;
    Slot<Dialogs::Service>::Override chosen(Dialogs::service(), dialog);
    PrintingProgress progress;
    Slot<XferProgress>::Override shown(XferWindows::progress(), progress);
    clsFileXfer::Install();
    PrintingOwner owner;
    modNetCmds::OpenNetCom(&owner, s.UNAME);
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [] { modNetCmds::PollData(); });
    poll.start(200);
    QSocketNotifier in(STDIN_FILENO, QSocketNotifier::Read);
    QByteArray pending;
    QObject::connect(&in, &QSocketNotifier::activated, [&] {
        char buf[512];
        const ssize_t n = ::read(STDIN_FILENO, buf, sizeof buf);
        if (n <= 0) {
            in.setEnabled(false);
            modNetCmds::CloseNetCom(1);
            app.quit();
            return;
        }
        pending.append(buf, n);
        qsizetype nl;
        while ((nl = pending.indexOf('\n')) >= 0) {
            const QString line = QString::fromLocal8Bit(pending.left(nl)).trimmed();
            pending.remove(0, nl + 1);
            if (line == QLatin1String("quit")) {
                in.setEnabled(false);
                modNetCmds::CloseNetCom(1);
                app.quit();
                return;
            }
            if (line.startsWith(QLatin1String("answer "))) {
                messages.reply = line.endsWith(QLatin1String("yes")) ? 0 : 1;
                std::printf("OK %s\n", qPrintable(line));
                std::fflush(stdout);
            }
            if (line.startsWith(QLatin1String("send "))) {
                const QString rest = line.mid(5);
                const qsizetype blank = rest.indexOf(QLatin1Char(' '));
                dialog.path = rest.mid(blank + 1);
                modAppFnc::SendFileTo(rest.left(blank) + modGlobals::Sep());
            }
        }
    });
    std::printf("READY\n");
    std::fflush(stdout);
    return app.exec();
}
