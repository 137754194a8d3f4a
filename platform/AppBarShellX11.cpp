#include "platform/AppBarShell.h"

#include <memory>

std::unique_ptr<AppBarShell::Shell> AppBarShell::makeX11Shell() {
    return nullptr;
}
