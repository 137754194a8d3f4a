#include "Project/Services.h"
#include "Project/modMain.h"
#include "core/frmImgs.h"
#include "core/modGlobals.h"
#include "platform/Desktop.h"
#include "platform/Termination.h"

#include <QApplication>

int main(int argc, char** argv) {
    Desktop::Application app(argc, argv);
    // Windows come and go during sign-in and sign-out; the program ends only in order or at once.
    QApplication::setQuitOnLastWindowClosed(false);
    modGlobals::Run().CommandLine = QCoreApplication::arguments().mid(1).join(QLatin1Char(' '));
    frmImgs::Load();
    Services::Install();
    Termination::OnRequest(modMain::EndBySystem);
    QObject::connect(&app, &QGuiApplication::commitDataRequest,
                     [](QSessionManager&) { modMain::EndBySystem(); });
    if (!modMain::Main()) return 0;
    return QApplication::exec();
}
