#include "Project/Services.h"

#include "Project/modMain.h"
#include "conversation/AlertWindows.h"
#include "conversation/frmChat.h"
#include "conversation/frmMsg.h"
#include "conversation/frmPrg.h"
#include "core/AppRouter.h"
#include "core/clsFileXfer.h"
#include "core/modTerminate.h"
#include "mainwin/frmMain.h"
#include "mainwin/frmSpeedBar.h"

namespace {
// The orderly end unloads the speed bar first, whoever asks for the end.
struct UnloadSpeedBar : modTerminate::BeforeEnd {
    void Run() override { frmSpeedBar::Unload(); }
};
// Sign-out runs the start sequence again.
struct SignOutRestarts : SignOutService {
    void Restart() override { modMain::Restart(); }
};
} // namespace

void Services::Install() {
    static UnloadSpeedBar unloadSpeedBar;
    static SignOutRestarts restart;
    frmMsg::Install();
    frmChat::Install();
    AppRouter::Install();
    clsFileXfer::Install();
    frmPrg::Install();
    AlertWindows::Install();
    modTerminate::beforeEnd().set(&unloadSpeedBar);
    MainWindowHooks::signOut().set(&restart);
}
