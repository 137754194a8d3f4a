#include "core/SkinnableWindow.h"

#include "core/modAppFnc.h"

#include <algorithm>
#include <vector>

namespace {
struct Entry {
    SkinnableWindow* window;
    SkinnableWindow::Kind kind;
};
std::vector<Entry>& registry() {
    static std::vector<Entry> r;
    return r;
}
bool registered(SkinnableWindow* w) {
    const auto& r = registry();
    return std::any_of(r.begin(), r.end(), [w](const Entry& e) { return e.window == w; });
}
} // namespace

SkinnableWindow::~SkinnableWindow() {
    SkinWindows::Unregister(this);
}

void SkinWindows::Register(SkinnableWindow* window, SkinnableWindow::Kind kind) {
    if (!window) return;
    Unregister(window);
    registry().push_back({window, kind});
}

void SkinWindows::Unregister(SkinnableWindow* window) {
    auto& r = registry();
    r.erase(std::remove_if(r.begin(), r.end(), [window](const Entry& e) { return e.window == window; }),
            r.end());
}

void modAppFnc::ApplySkinAll() {
    // A snapshot, and every entry checked again before its turn: a window's SetSkin may let
    // events run, and windows may close meanwhile.
    const std::vector<Entry> all = registry();
    for (const Entry& e : all)
        if (e.kind == SkinnableWindow::Kind::Main && registered(e.window)) e.window->SetSkin();
    for (const Entry& e : all)
        if (e.kind == SkinnableWindow::Kind::Chat && registered(e.window) && e.window->IsSkinVisible())
            e.window->SetSkin();
}
