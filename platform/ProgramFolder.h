#pragma once
// The program folder: where the log, the settings and every file "beside the program" live.
// It is the executable's folder unless QX3_HOME names another one. QX3_HOME names only that
// data folder: the programs themselves are always found beside the running executable.
#include <QString>
#include <QStringList>

namespace ProgramFolder {
QString path();
// A file directly in the program folder.
QString file(const QString& name);
// The folder of the running executable, where the programs of the system lie.
QString programs();
// A program of the system (QX3, QX3Update, Help): beside the running executable.
QString program(const QString& name);
// What a program started from here needs to use the same folder: "QX3_HOME=<absolute folder>"
// when QX3_HOME is set; nothing otherwise, since that program then uses its own folder, which
// is this one's.
QStringList environment();
} // namespace ProgramFolder
