#include "platform/modEnd.h"

#include <cstdlib>

namespace {
std::function<void()>& handler() {
    static std::function<void()> h;
    return h;
}
} // namespace

void modEnd::EndNow() {
    if (handler()) {
        handler()();
        return;
    }
    std::exit(0);
}

void modEnd::SetHandler(std::function<void()> h) {
    handler() = std::move(h);
}
