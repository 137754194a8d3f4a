#pragma once
// Steps of a test that run from a timer, so that they go on inside whatever loop is running: a
// message window waits for its answer in a loop of its own, beneath which the test cannot act.
//
//   Steps steps;
//   steps.add([&] { return box = findTheBox(); });   // true once done; the next runs later
//   steps.start(30000, [&] { closeTheBox(); });      // the give-up ends what holds the loops
//   openTheBox();                                    // returns once the box is answered
//   QVERIFY(steps.wait());
#include <QElapsedTimer>
#include <QObject>
#include <QTest>
#include <QTimer>
#include <functional>
#include <vector>

class Steps : public QObject {
  public:
    // Each step returns true when it is done; the next one runs on a later tick.
    void add(std::function<bool()> step) { steps_.push_back(std::move(step)); }

    // Starts the steps. Once `ms` have passed, `giveUp` runs (from the innermost loop) instead.
    void start(int ms, std::function<void()> giveUp) {
        ms_ = ms;
        giveUp_ = std::move(giveUp);
        clock_.start();
        tick_.setInterval(20);
        connect(&tick_, &QTimer::timeout, this, [this] {
            if (busy_ || done()) return;
            if (clock_.elapsed() > ms_) {
                if (!gaveUp_ && giveUp_) giveUp_();
                gaveUp_ = true;
                return;
            }
            busy_ = true;
            if (steps_[next_]()) ++next_;
            busy_ = false;
        });
        tick_.start();
    }
    // Waits until every step is done or the time is out; true when every step is done.
    bool wait() {
        [[maybe_unused]] const bool ended =
            QTest::qWaitFor([this] { return gaveUp_ || done(); }, ms_ + 10000);
        tick_.stop();
        return done();
    }
    // The number of steps done.
    std::size_t reached() const { return next_; }

  private:
    bool done() const { return next_ >= steps_.size(); }

    std::vector<std::function<bool()>> steps_;
    std::size_t next_ = 0;
    bool busy_ = false, gaveUp_ = false;
    int ms_ = 0;
    std::function<void()> giveUp_;
    QElapsedTimer clock_;
    QTimer tick_;
};
