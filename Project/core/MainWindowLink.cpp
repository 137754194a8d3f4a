#include "core/MainWindowLink.h"

#include "core/modAppFnc.h"

namespace {
MainWindowLink* gLink = nullptr;
}

MainWindowLink::~MainWindowLink() {
    if (gLink == this) gLink = nullptr;
}

MainWindowLink* MainWindowLink::Loaded() {
    return gLink;
}

void MainWindowLink::SetLoaded(MainWindowLink* link) {
    gLink = link;
}

void MainWindowLink::InvBlock(const QString& userList) {
    for (const QString& name : modAppFnc::ListNames(userList)) {
        if (IsBlocked(name))
            RemBlock(name);
        else
            AddBlock(name);
    }
}
