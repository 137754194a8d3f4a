#pragma once
// The one guard every test class starts with: nothing reaches a screen, the disk outside a
// temporary program folder, or the real end of the process. Messages, input boxes, dialogs,
// sounds and both ends of the program are recorded (and can be asserted); the program folder,
// registry and autostart folder are fresh; the settings and run values are the defaults. The
// platform part (PlatformHeadless.h) is the companion programs' guard.
//
//   TestEnv::Headless env{TestEnv::Loopback};   // with a loopback network on a port of its own
//   TestEnv::Headless env{TestEnv::NoNetwork, QStringLiteral("Program Folder")};
//                                               // the program folder inside the temporary one
//
//   void init() { env.reset(); ... }            // each test starts as the guard began
#include "core/modGlobals.h"
#include "support/PlatformHeadless.h"
#include "support/Recorders.h"
#include "support/TestEnv.h"

namespace TestEnv {

enum Network { NoNetwork, Loopback };

class Headless : public Guard<EndRecorder> {
  public:
    // Loopback also puts the network on 127.0.0.1, at this process's own port.
    explicit Headless(Network network = NoNetwork, const QString& programFolder = QString())
        : Guard(programFolder), network_(network) {
        defaults();
    }

    void forget() {
        Guard::forget();
        messages.forget();
        input.forget();
    }
    // As Guard::reset, and the settings and run values the defaults again.
    void reset() {
        Guard::reset();
        messages.reset();
        input.reset();
        defaults();
    }

    MessageRecorder messages;
    InputRecorder input;

  private:
    void defaults() {
        if (network_ == Loopback) useLoopback();
        modGlobals::Sets() = modGlobals::Settings{};
        modGlobals::Run() = modGlobals::RunState{};
    }

    Network network_;
};

} // namespace TestEnv
