#include "platform/ProgressFloor.h"

#include <utility>

namespace {
int windowMs = ProgressFloor::kWindowMs;
} // namespace

ProgressFloor::ProgressFloor(std::function<void()> tooSlow) : tooSlow_(std::move(tooSlow)) {
    QObject::connect(&window_, &QTimer::timeout, &window_, [this] { windowEnded(); });
}

int ProgressFloor::SetWindowMsForTests(int ms) {
    return std::exchange(windowMs, ms);
}

void ProgressFloor::start() {
    moved_ = 0;
    window_.start(windowMs);
}

void ProgressFloor::stop() {
    window_.stop();
    moved_ = 0;
}

void ProgressFloor::windowEnded() {
    const qint64 least = kBytesPerSecond * window_.interval() / 1000;
    if (moved_ >= least) {
        moved_ = 0;
        return;
    }
    stop();
    // The last thing it does: the owner may destroy the floor.
    tooSlow_();
}
