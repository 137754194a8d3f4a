#include "core/MainWindowLink.h"

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
