#include "Help/Form1.h"
#include "platform/Desktop.h"
#include "platform/ProgramEnd.h"
#include "platform/Termination.h"

#include <QApplication>

int main(int argc, char** argv) {
    Desktop::Application app(argc, argv);
    // The system's end comes at once; the window itself refuses every other close.
    Termination::OnRequest([] { ProgramEnd::EndNow(); });
    Help::Form1 window;
    window.show();
    return QApplication::exec();
}
