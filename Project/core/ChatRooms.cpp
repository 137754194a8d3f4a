#include "core/ChatRooms.h"

#include "core/NetHooks.h"
#include "core/modAppFnc.h"

#include <algorithm>

namespace {
// Never destroyed: a window that outlives the statics at the program's end still leaves it.
std::vector<ChatRoom*>& rooms() {
    static auto* r = new std::vector<ChatRoom*>;
    return *r;
}
ChatRooms::Factory& factory() {
    static ChatRooms::Factory f;
    return f;
}

class RoomsHook : public NetHooks::ChatWindows {
  public:
    void CloseAll() override {
        for (ChatRoom* room : ChatRooms::All())
            if (ChatRooms::IsOpen(room)) room->CloseRoom();
    }
    bool HasUser(const QString& name) override { return modAppFnc::UserInChat(name); }
};
} // namespace

ChatRoom::ChatRoom() {
    rooms().push_back(this);
}

ChatRoom::~ChatRoom() {
    ChatRooms::Leave(this);
}

namespace ChatRooms {

std::vector<ChatRoom*> All() {
    return rooms();
}

bool IsOpen(const ChatRoom* room) {
    const auto& r = rooms();
    return room && std::find(r.begin(), r.end(), room) != r.end();
}

void Leave(ChatRoom* room) {
    auto& r = rooms();
    r.erase(std::remove(r.begin(), r.end(), room), r.end());
}

void SetFactory(Factory f) {
    factory() = std::move(f);
}

ChatRoom* Create() {
    return factory() ? factory()() : nullptr;
}

NetHooks::ChatWindows& Hook() {
    static RoomsHook hook;
    return hook;
}

} // namespace ChatRooms
