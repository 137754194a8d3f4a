#include "Help/Form1.h"
#include "platform/Termination.h"
#include "platform/modEnd.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // The system's end comes at once; the window itself refuses every other close.
    Termination::OnRequest([] { modEnd::EndNow(); });
    Form1 window;
    window.show();
    return QApplication::exec();
}
