#pragma once
// The one guard every test class starts with: nothing reaches a screen, the disk outside a
// temporary program folder, or the real end of the process. Messages, input boxes, dialogs,
// sounds and both ends of the program are recorded (and can be asserted); the program folder,
// registry and autostart folder are fresh; the settings and run values are the defaults.
//
//   TestEnv::Headless env{TestEnv::Loopback};   // with a loopback network on a port of its own
#include "core/modGlobals.h"
#include "support/PlatformRecorders.h"
#include "support/Recorders.h"
#include "support/TestEnv.h"

#include <QTemporaryDir>

namespace TestEnv {

enum Network { NoNetwork, Loopback };

class Headless {
  public:
    // Loopback also puts the network on 127.0.0.1, at this process's own port.
    explicit Headless(Network network = NoNetwork) {
        isolate(home);
        if (network == Loopback) useLoopback();
        modGlobals::Sets() = modGlobals::Settings{};
        modGlobals::Run() = modGlobals::RunState{};
    }
    Headless(const Headless&) = delete;
    Headless& operator=(const Headless&) = delete;

    QString folder() const { return home.path(); }

    QTemporaryDir home; // first: the recorders may still write into it while they leave
    MessageRecorder messages;
    InputRecorder input;
    DialogRecorder dialogs;
    SoundRecorder sounds;
    EndRecorder end;
    BoxRecorder boxes; // the plain message box of the companion programs
};

} // namespace TestEnv
