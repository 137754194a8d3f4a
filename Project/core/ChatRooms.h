#pragma once
// The chat rooms open on this computer, in the order they were opened, and the one way a new
// room is made. The network layer and the router reach the rooms only through this registry.
#include <QString>
#include <functional>
#include <vector>

namespace NetHooks {
class ChatWindows;
}

// One open chat room (a chat window). A room is in the registry from its construction until
// it closes or is destroyed, whichever comes first.
class ChatRoom {
  public:
    ChatRoom();
    virtual ~ChatRoom();
    ChatRoom(const ChatRoom&) = delete;
    ChatRoom& operator=(const ChatRoom&) = delete;

    // True when a member equals `name`, ignoring case.
    virtual bool HaveUser(const QString& name) = 0;
    // One incoming chat packet (text, separator, code). `soundPlayed`: whoever delivers the
    // line has already sounded for it, so the room only flashes.
    virtual void AddMsg(const QString& packet, const QString& from, bool soundPlayed) = 0;
    virtual void AddUser(const QString& name) = 0;
    // Who a room is opened for: the user, who then types into it, or a line from the network,
    // which must not take the keyboard from wherever the user is typing.
    enum class Opener { User, Network };
    // Shows the room, not modal.
    virtual void ShowRoom(Opener by) = 0;
    // Closes the room as the user would: its leaving notices go out now.
    virtual void CloseRoom() = 0;
};

namespace ChatRooms {
// The rooms open now, oldest first: a snapshot, safe to walk while rooms open and close.
std::vector<ChatRoom*> All();
bool IsOpen(const ChatRoom* room);
// A room that closes leaves at once, before it is destroyed.
void Leave(ChatRoom* room);

// Makes a new room (not shown); start-up installs the chat window's, tests their own.
using Factory = std::function<ChatRoom*()>;
void SetFactory(Factory factory);
// nullptr when there is no factory or it made nothing.
ChatRoom* Create();

// The registry as the network layer's chat-window hook: HasUser is modAppFnc::UserInChat,
// CloseAll closes every room from a snapshot.
NetHooks::ChatWindows& Hook();
} // namespace ChatRooms
