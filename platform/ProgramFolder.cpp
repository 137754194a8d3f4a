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

QString ProgramFolder::programs() {
    return QCoreApplication::applicationDirPath();
}

QString ProgramFolder::program(const QString& name) {
    return QDir(programs()).filePath(name);
}

QStringList ProgramFolder::environment() {
    if (qEnvironmentVariable("QX3_HOME").isEmpty()) return {};
    return {QStringLiteral("QX3_HOME=") + path()};
}
