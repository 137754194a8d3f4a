#include "AutoUpdate/modMain.h"
#include "platform/Desktop.h"

#include <QApplication>

int main(int argc, char** argv) {
    Desktop::Application app(argc, argv);
    // One window gives way to the other; the program ends only when a window ends it.
    QApplication::setQuitOnLastWindowClosed(false);
    AutoUpdate::modMain::Main();
    return QApplication::exec();
}
