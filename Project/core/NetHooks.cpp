#include "core/NetHooks.h"

namespace {
NetHooks::Router* gRouter = nullptr;
NetHooks::FileTransfer* gTransfer = nullptr;
NetHooks::ChatWindows* gChats = nullptr;
} // namespace

void NetHooks::SetRouter(Router* r) {
    gRouter = r;
}
void NetHooks::SetFileTransfer(FileTransfer* f) {
    gTransfer = f;
}
void NetHooks::SetChatWindows(ChatWindows* c) {
    gChats = c;
}
NetHooks::Router* NetHooks::router() {
    return gRouter;
}
NetHooks::FileTransfer* NetHooks::fileTransfer() {
    return gTransfer;
}
NetHooks::ChatWindows* NetHooks::chatWindows() {
    return gChats;
}
