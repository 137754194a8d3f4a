#pragma once
// The least progress a transfer must make: over each window of kWindowMs at least kBytesPerSecond
// a second must move, or the transfer is too slow and its owner ends it. A silence limit alone
// restarts with every byte, so a server that drips keeps it waiting for ever.
#include <QTimer>
#include <functional>

class ProgressFloor {
  public:
    static constexpr int kWindowMs = 30000;
    static constexpr qint64 kBytesPerSecond = 1024;

    // `tooSlow` runs from the event loop at the end of a window that moved too little.
    explicit ProgressFloor(std::function<void()> tooSlow);
    ProgressFloor(const ProgressFloor&) = delete;
    ProgressFloor& operator=(const ProgressFloor&) = delete;

    // Counting starts afresh: the first window ends one window from now.
    void start();
    void stop();
    bool running() const { return window_.isActive(); }
    // Bytes that moved since the last call.
    void moved(qint64 bytes) { moved_ += bytes; }

    // For tests only, which would otherwise wait 30 s: every floor started from now on uses
    // windows of `ms` (the rate stays). Returns the previous length.
    static int SetWindowMsForTests(int ms);

  private:
    void windowEnded();

    std::function<void()> tooSlow_;
    QTimer window_;
    qint64 moved_ = 0;
};
