// A bare copy of the messenger's network layer for the two-process tests: it signs in under
// the name, colour and font it is given, prints its user list after every change, and signs
// out when it reads "quit" (or its input closes). It also takes part in file transfers:
//   argument 4 (optional)  the save folder (SFLD)
//   "send <user> <path>"   offers the file (the open dialog answers with the path)
//   "answer yes|no"        how the next questions are answered (yes at start)
// And in chat rooms, with real chat windows (off screen):
//   "chat <name>"          opens a room with that user
//   "say <text>"           sends a line in the oldest room
//   "leave"                closes the oldest room
//   "ROOM <n> <members, comma-joined> <transcript, CR LF as "/">" is printed for each room
//   whenever the rooms change.
// And in alerts, through the real compose window (never shown):
//   "alert <user> <text>"  sends an alert to that user
//   "ask <user> <mode>"    requests the user's phone number (0) or logon name (1)
//   "ALERT <sender> <text>" and "INFO <sender> <text>" are printed for each alert and answer.
// Every message it would show is printed as "MSG <text>" with CR LF as "|".
#include "controls/RichTextBox.h"
#include "controls/SendBox.h"
#include "conversation/frmAlert.h"
#include "conversation/frmChat.h"
#include "core/AppRouter.h"
#include "core/ChatRooms.h"
#include "core/MainWindowLink.h"
#include "core/MessageService.h"
#include "core/NetOwner.h"
#include "core/NoticeWindows.h"
#include "core/clsFileXfer.h"
#include "core/modAppFnc.h"
#include "core/modGlobals.h"
#include "core/modLangConst.h"
#include "core/modNetCmds.h"
#include "platform/Dialogs.h"
#include "platform/Sound.h"
#include "support/HelperServices.h"

#include <QApplication>
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

struct ChosenFile : Dialogs::Service {
    QString path;
    Dialogs::FileAnswer chooseFile(const Dialogs::FileRequest&) override {
        return {path, path.isEmpty() ? 0 : 1};
    }
    QString chooseFolder(const QString&, const QString&) override { return {}; }
};

struct PrintingNotices : NoticeWindows {
    static void print(const char* what, const QString& sender, const QString& text) {
        std::printf("%s %s %s\n", what, qPrintable(sender),
                    qPrintable(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("|"))));
        std::fflush(stdout);
    }
    QObject* ShowPop(const QString& text, const QString& sender) override {
        print("ALERT", sender, text);
        return nullptr;
    }
    void AddToHistory(const QString&, const QString&) override {}
    QObject* ShowInfo(const QString& text, const QString& sender) override {
        print("INFO", sender, text);
        return nullptr;
    }
};

// The main window as the chat windows ask it: nobody blocked, everybody in Arial and black.
struct PlainMain : MainWindowLink {
    QVariant GetUserInfo(const QString& name, int what) const override {
        if (what == 0) return false;
        if (what == 1)
            return modAppFnc::SameNoCase(name, modGlobals::Sets().UNAME) ? modGlobals::Sets().UCOL : 0;
        if (what == 2) return QStringLiteral("Arial");
        return QString();
    }
    bool IsBlocked(const QString&) const override { return false; }
    void AddBlock(const QString&) override {}
    void RemBlock(const QString&) override {}
    void AddU2Chat(ChatRoom*) override {}
};

frmChat* oldestRoom() {
    for (ChatRoom* r : ChatRooms::All())
        if (auto* w = dynamic_cast<frmChat*>(r)) return w;
    return nullptr;
}

QString roomsNow() {
    QString out;
    int n = 0;
    for (ChatRoom* r : ChatRooms::All()) {
        auto* w = dynamic_cast<frmChat*>(r);
        if (!w) continue;
        out += QStringLiteral("ROOM %1 %2 %3\n")
                   .arg(n++)
                   .arg(w->Members().join(QLatin1Char(',')),
                        w->txtMsg->Text().replace(QStringLiteral("\r\n"), QStringLiteral("/")));
    }
    return out.isEmpty() ? QStringLiteral("ROOMS none\n") : out;
}

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
    // Chat windows are real windows, drawn nowhere.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
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
    PrintingNotices notices;
    Slot<NoticeWindows>::Override printedNotices(Notices::Windows(), notices);
    s.UPN = QStringLiteral("555-0123");
    PlainMain main;
    MainWindowLink::SetHolder([&main] { return &main; });
    AppRouter::Install();
    frmChat::Install();
    PrintingOwner owner;
    modNetCmds::OpenNetCom(&owner, s.UNAME);
    QTimer poll;
    QString rooms;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        modNetCmds::PollData();
        const QString now = roomsNow();
        if (now == rooms) return;
        rooms = now;
        std::printf("%s", qPrintable(now));
        std::fflush(stdout);
    });
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
            if (line.startsWith(QLatin1String("chat ")))
                modAppFnc::LoadChatWindow(line.mid(5) + modGlobals::Sep());
            if (line.startsWith(QLatin1String("say ")))
                if (frmChat* w = oldestRoom()) {
                    w->txtSnd->SetText(line.mid(4));
                    w->cmdSnd_Click();
                }
            if (line.startsWith(QLatin1String("alert "))) {
                const QString rest = line.mid(6);
                const qsizetype blank = rest.indexOf(QLatin1Char(' '));
                frmAlert* w = modAppFnc::NewAlertWindow(rest.left(blank) + modGlobals::Sep(), true);
                w->txtMsg->SetText(rest.mid(blank + 1));
                w->cmdSnd_Click();
            }
            if (line.startsWith(QLatin1String("ask "))) {
                const QStringList words = line.split(QLatin1Char(' '));
                modAppFnc::RequestUserInfo(words.value(1) + modGlobals::Sep(), words.value(2).toInt());
            }
            if (line == QLatin1String("leave"))
                if (frmChat* w = oldestRoom()) w->close();
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
