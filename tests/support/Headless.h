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
//   TestEnv::Headless env{TestEnv::Loopback, TestEnv::Windows};
//                                               // a window test: the built-in texts and the
//                                               // image window, once for the class
//
//   void init() { env.reset(); ... }            // each test starts as the guard began
#include "core/frmImgs.h"
#include "core/modGlobals.h"
#include "core/modLangConst.h"
#include "support/PlatformHeadless.h"
#include "support/Recorders.h"
#include "support/TestEnv.h"

namespace TestEnv {

enum Network { NoNetwork, Loopback };
// What every window draws from, which a window test loads once and keeps for all its tests: the
// built-in English texts and the hidden image window (as the start does before any window).
enum Opening { NoWindows, Windows };

class Headless : public Guard<EndRecorder> {
  public:
    // Loopback also puts the network on 127.0.0.1, at this process's own port.
    explicit Headless(Network network = NoNetwork, const QString& programFolder = QString(),
                      Opening opening = NoWindows)
        : Guard(programFolder), network_(network) {
        defaults();
        if (opening == Windows) {
            modLangConst::SetDefaultStrings();
            frmImgs::Load();
        }
    }
    Headless(Network network, Opening opening) : Headless(network, QString(), opening) {}

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
