#pragma once
// The platform part of the one headless guard: nothing reaches a screen, a speaker, the disk
// outside a temporary program folder, or the real end of the process. Message boxes, dialogs,
// sounds and the end at once are recorded (and can be asserted); the program folder, registry and
// autostart folder are fresh. The companion programs' tests start with it as it stands, since
// they link no messenger core; Headless.h builds the messenger's guard on it.
//
//   TestEnv::PlatformHeadless env;                         // the program folder is env.folder()
//   TestEnv::PlatformHeadless env{QStringLiteral("prog")}; // a folder inside the temporary one,
//                                                          // so that anything written beside it shows
//
// The guard lives as long as its test class. Each test starts fresh by calling `env.reset()`
// first in its init(), and then sets what it needs.
#include "platform/Desktop.h"
#include "support/PlatformRecorders.h"
#include "support/TestEnv.h"

#include <QDir>
#include <QTemporaryDir>

namespace TestEnv {

// `End` records the end of the program: the end at once here, the orderly end too in Headless.
template <class End> class Guard {
  public:
    explicit Guard(const QString& programFolder = QString())
        : programFolder_(programFolder),
          folder_(programFolder.isEmpty() ? home.path() : home.filePath(programFolder)) {
        isolate(home, programFolder);
        // Windows draw as the programs draw them: in the one interface font, captions fitted.
        Desktop::UseLayoutLook();
    }
    Guard(const Guard&) = delete;
    Guard& operator=(const Guard&) = delete;

    QString folder() const { return folder_; }

    // What the recorders have seen is forgotten; what they were told to answer stays (a fuzzing
    // harness, before each input).
    void forget() {
        dialogs.forget();
        sounds.forget();
        boxes.forget();
        end.forget();
    }
    // Everything as the guard began (each test's init()): the recorders as new, the program
    // folder, registry and autostart folder empty, and the environment naming them again.
    void reset() {
        dialogs.reset();
        sounds.reset();
        boxes.reset();
        end.reset();
        empty(home);
        isolate(home, programFolder_);
    }

    QTemporaryDir home; // first: the recorders may still write into it while they leave
    DialogRecorder dialogs;
    SoundRecorder sounds;
    BoxRecorder boxes; // the plain message box of the companion programs
    End end;

  private:
    QString programFolder_;
    QString folder_;
};

using PlatformHeadless = Guard<ProgramEndRecorder>;

} // namespace TestEnv
