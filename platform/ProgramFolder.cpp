#include "platform/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>

QString ProgramFolder::path() {
    const QString home = qEnvironmentVariable("QX3_HOME");
    if (!home.isEmpty()) return QDir(home).absolutePath();
    return QCoreApplication::applicationDirPath();
}

QString ProgramFolder::file(const QString& name) {
    return QDir(path()).filePath(name);
}
