// The messenger's starts of its companion programs and its autostart entry, run from wherever
// this program was copied to, for the tests of where programs are found. Each argument is one
// step, in order:
//   "update"   modAppFnc::RunUpdate        "help"   modAppFnc::RunHelp
//   "startup"  modStartUp::SetStartUp(1)
// Every message it would show is printed as "MSG <text>" with CR LF as "|"; "DONE" ends.
#include "core/MessageService.h"
#include "core/modAppFnc.h"
#include "core/modLangConst.h"
#include "core/modStartUp.h"
#include "platform/Sound.h"
#include "support/HelperServices.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    modLangConst::SetDefaultStrings();
    Silence silence;
    Slot<Sound::Backend>::Override quiet(Sound::backend(), silence);
    PrintingMessages messages;
    Slot<MessageService>::Override printed(Messages::service(), messages);
    for (const QString& step : QCoreApplication::arguments().mid(1)) {
        if (step == QLatin1String("update")) modAppFnc::RunUpdate();
        if (step == QLatin1String("help")) modAppFnc::RunHelp();
        if (step == QLatin1String("startup")) modStartUp::SetStartUp(1);
    }
    std::printf("DONE\n");
    return 0;
}
