#include "core/AppRouter.h"

#include "core/ChatRooms.h"
#include "core/MainWindowLink.h"
#include "core/MessageService.h"
#include "core/modAppFnc.h"
#include "core/modGlobals.h"
#include "core/modLangConst.h"

#include <exception>

namespace {
using modGlobals::Sep;

// A name no room takes as a member: the room would refuse it (AddUser), so opening one for
// its lines would only leave an empty room behind.
bool refusedMember(const QString& name) {
    return name.isEmpty() || name.startsWith(QLatin1Char('\\')) ||
           modAppFnc::SameNoCase(name, modGlobals::Sets().UNAME);
}

// Hands the packet to every open room that holds the sender; true when one did.
bool deliver(const QString& packet, const QString& sender, bool soundPlayed) {
    bool delivered = false;
    // A room's AddMsg may run nested loops in which rooms close: each is checked before its turn.
    for (ChatRoom* room : ChatRooms::All()) {
        if (!ChatRooms::IsOpen(room) || !room->HaveUser(sender)) continue;
        delivered = true;
        room->AddMsg(packet, sender, soundPlayed);
    }
    return delivered;
}

// True while so many rooms are open that a line from the network may open no further one; the
// first refusal since a room could last be opened is logged.
bool refusalLogged = false;
bool roomsFull() {
    if (ChatRooms::All().size() < static_cast<std::size_t>(modAppFnc::kMaxNetworkRooms)) {
        refusalLogged = false;
        return false;
    }
    if (!refusalLogged)
        modAppFnc::WriteLog(
            QStringLiteral("%1 chat rooms are open: a first line from somebody else opens none.")
                .arg(modAppFnc::kMaxNetworkRooms));
    refusalLogged = true;
    return true;
}

ChatRoom* openRoom(const QString& userList, ChatRoom::Opener by) {
    modAppFnc::WriteLog(QStringLiteral("Starting Chat..."));
    QString failure;
    try {
        ChatRoom* room = ChatRooms::Create();
        if (room) {
            const QStringList names = modAppFnc::ListNames(userList);
            for (qsizetype i = 0; i < names.size() && ChatRooms::IsOpen(room); ++i)
                room->AddUser(names[i]);
            if (ChatRooms::IsOpen(room)) room->ShowRoom(by);
            modAppFnc::WriteLog(QStringLiteral("---Chat Loaded."));
            return ChatRooms::IsOpen(room) ? room : nullptr;
        }
        failure = QStringLiteral("91: No chat window can be made");
    } catch (const std::exception& e) {
        failure = QStringLiteral("1: ") + QString::fromLocal8Bit(e.what());
    }
    Messages::service()->Show(modLangConst::Get(QStringLiteral("AppFunc_Err1")), 0, 3);
    modAppFnc::WriteLog(QStringLiteral("Error loading chat window - ") + failure);
    return nullptr;
}
} // namespace

void AppRouter::ShowAlertPop(const QString& text, const QString& sender) {
    modAppFnc::ShowAlertPop(text, sender);
}

void AppRouter::RouteChatMsg(const QString& data, const QString& sender) {
    modAppFnc::RouteChatMsg(data, sender);
}

void AppRouter::ShowUserInfo(const QString& text, const QString& sender) {
    modAppFnc::ShowUserInfo(text, sender);
}

void AppRouter::Install() {
    static AppRouter router;
    NetHooks::router().set(&router);
    NetHooks::chatWindows().set(&ChatRooms::Hook());
}

namespace modAppFnc {

void RouteChatMsg(const QString& packet, const QString& sender) {
    // Without the main window this copy speaks under a "\" name that every copy ignores, so a
    // room could never answer: the line is dropped.
    MainWindowLink* main = MainWindowLink::Loaded();
    if (!main) return;
    if (main->GetUserInfo(sender, 0).toBool()) return;
    if (deliver(packet, sender, false)) return;
    if (GetField(packet, 2, modGlobals::kSep) != QLatin1String("0")) return;
    if (refusedMember(sender)) return;
    if (roomsFull()) return;
    if (!openRoom(sender + Sep(), ChatRoom::Opener::Network)) return;
    PlaySnd(modGlobals::Sets().CHTSND);
    deliver(packet, sender, true);
}

void LoadChatWindow(const QString& userList) {
    openRoom(userList, ChatRoom::Opener::User);
}

bool UserInChat(const QString& name) {
    for (ChatRoom* room : ChatRooms::All())
        if (ChatRooms::IsOpen(room) && room->HaveUser(name)) return true;
    return false;
}

} // namespace modAppFnc
