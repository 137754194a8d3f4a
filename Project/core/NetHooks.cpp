#include "core/NetHooks.h"

namespace {
// What the layer does before anything is connected: nothing.
struct NoRouter : NetHooks::Router {
    void ShowAlertPop(const QString&, const QString&) override {}
    void RouteChatMsg(const QString&, const QString&) override {}
    void ShowUserInfo(const QString&, const QString&) override {}
};
struct NoFileTransfer : NetHooks::FileTransfer {
    void OnData(QChar, const QString&, const QString&, const DatagramSource&) override {}
};
struct NoChatWindows : NetHooks::ChatWindows {
    void CloseAll() override {}
    bool HasUser(const QString&) override { return false; }
};
} // namespace

Slot<NetHooks::Router>& NetHooks::router() {
    static NoRouter none;
    static Slot<Router> slot(none);
    return slot;
}
Slot<NetHooks::FileTransfer>& NetHooks::fileTransfer() {
    static NoFileTransfer none;
    static Slot<FileTransfer> slot(none);
    return slot;
}
Slot<NetHooks::ChatWindows>& NetHooks::chatWindows() {
    static NoChatWindows none;
    static Slot<ChatWindows> slot(none);
    return slot;
}
