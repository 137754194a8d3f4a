#pragma once
// What every harness of the messenger shares: the platform part (FuzzPlatform.h) with the
// tests' headless guard (recorders for messages, input and the orderly end too) and no log file,
// so an input can make the program show, play or end anything without a screen and without
// blocking.
#include "FuzzPlatform.h"
#include "core/modGlobals.h"
#include "core/modLangConst.h"
#include "support/Headless.h"

namespace FuzzEnv {

using Env = TestEnv::Headless;

// Once per process, from LLVMFuzzerInitialize. Loopback puts the network on 127.0.0.1, at a
// port of the process's own.
inline Env& init(TestEnv::Network network = TestEnv::NoNetwork) {
    Env& env = start<Env>(network);
    // Every input writes lines; over millions of inputs the log would fill the disk.
    modGlobals::Run().NoLog = 1;
    modLangConst::SetDefaultStrings();
    return env;
}

// Before each input: nothing shown, heard or ended yet (the answers set at start stay).
inline void forget(Env& env) {
    env.forget();
}

} // namespace FuzzEnv
