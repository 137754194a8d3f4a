// Chat lines as they arrive from any computer, routed to real chat windows. Lines are
// separated by LF; each line's first byte picks the sender, the rest is the packet (text,
// separator, code). Whatever arrives, every room's members stay a sorted list of distinct
// users that are not this copy and not listening names, nobody is in two rooms, and the send
// button is enabled exactly while the room has members.
#include "FuzzEnv.h"
#include "controls/chameleonButton.h"
#include "conversation/frmChat.h"
#include "core/modAppFnc.h"
#include "core/modNetCmds.h"
#include "platform/Ansi.h"
#include "support/ChatRecorders.h"

#include <QCoreApplication>
#include <QSet>
#include <cstdlib>

namespace {
FuzzEnv::Env* env;
TestOwner* owner;
const QString kSenders[] = {
    QStringLiteral("Bob"), QStringLiteral("bob"), QStringLiteral("Ann"), QStringLiteral("me"), QString(),
    QStringLiteral("\\x"), QStringLiteral("Cy")};

void closeAll() {
    for (ChatRoom* r : ChatRooms::All())
        if (ChatRooms::IsOpen(r)) r->CloseRoom();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // What the rooms send goes out on loopback, to a port no test listens on.
    env = &FuzzEnv::init(TestEnv::Loopback);
    modGlobals::Sets().UNAME = QStringLiteral("Me");
    owner = new TestOwner(TestOwner::Main);
    new MainRecorder;
    new AttentionRecorder;
    frmChat::Install();
    modNetCmds::OpenNetCom(owner, QStringLiteral("Me"));
    // The windows go at the end before the application and the registries do: one room made
    // and closed here sets up every registry first, so this handler runs before they end.
    modAppFnc::LoadChatWindow(QStringLiteral("Bob") + modGlobals::Sep());
    closeAll();
    std::atexit(closeAll);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzEnv::forget(*env);
    // Each input starts from one room with Bob, so a finding reproduces from its input alone.
    closeAll();
    modAppFnc::LoadChatWindow(QStringLiteral("Bob") + modGlobals::Sep());

    for (const QByteArray& line : FuzzEnv::bytes(data, size).split('\n')) {
        if (line.isEmpty()) continue;
        const QString& sender = kSenders[uchar(line.at(0)) % std::size(kSenders)];
        modAppFnc::RouteChatMsg(Ansi::decode(line.mid(1)), sender);
    }

    QSet<QString> seen;
    for (ChatRoom* r : ChatRooms::All()) {
        auto* w = dynamic_cast<frmChat*>(r);
        FuzzEnv::check(w, "a room that is no chat window");
        const QStringList members = w->Members();
        FuzzEnv::check(w->cmdSnd->Enabled() == !members.isEmpty(),
                       "send button out of step with the members");
        for (int i = 0; i < members.size(); ++i) {
            const QString& m = members.at(i);
            FuzzEnv::check(!m.isEmpty() && !m.startsWith(QLatin1Char('\\')), "an empty or listening member");
            FuzzEnv::check(!modAppFnc::SameNoCase(m, QStringLiteral("Me")), "the own name as a member");
            FuzzEnv::check(i == 0 || modAppFnc::CompareNoCase(members.at(i - 1), m) < 0,
                           "members out of order");
            const QString key = modAppFnc::LowerAscii(m);
            FuzzEnv::check(!seen.contains(key), "a user in two rooms");
            seen.insert(key);
        }
    }
    return 0;
}
