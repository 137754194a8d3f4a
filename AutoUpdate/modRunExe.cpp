#include "AutoUpdate/modRunExe.h"

#include "platform/Shell.h"

#include <QFile>
#include <QFileInfo>

namespace AutoUpdate::modRunExe {

bool IsProgram(const QByteArray& head) {
    return head.startsWith("\x7F"
                           "ELF") ||
           head.startsWith("#!");
}

int RunFile(const QString& path, const QString& folder) {
    if (!QFileInfo(path).isFile()) return 2;
    QFile f(path);
    if (f.open(QIODevice::ReadOnly) && IsProgram(f.read(4))) return Shell::startProgram(path, folder) ? 0 : 2;
    int code = 0;
    Shell::open(path, code);
    return code;
}

} // namespace AutoUpdate::modRunExe
