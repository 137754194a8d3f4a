#include "core/MainWindowLink.h"

#include "core/modAppFnc.h"

namespace {
MainWindowLink::Holder& holder() {
    static MainWindowLink::Holder h;
    return h;
}
} // namespace

MainWindowLink* MainWindowLink::Loaded() {
    return holder() ? holder()() : nullptr;
}

void MainWindowLink::SetHolder(Holder h) {
    holder() = std::move(h);
}

PeerInfo::Look MainWindowLink::GetUserLook(const QString& name) const {
    return PeerInfo::LookFrom(GetUserInfo(name, 1), GetUserInfo(name, 2).toString());
}

void MainWindowLink::InvBlock(const QString& userList) {
    for (const QString& name : modAppFnc::ListNames(userList)) {
        if (IsBlocked(name))
            RemBlock(name);
        else
            AddBlock(name);
    }
}
