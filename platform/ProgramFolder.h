#pragma once
// The program folder: where the log, the settings and every file "beside the program" live.
// It is the executable's folder unless QX3_HOME names another one.
#include <QString>

namespace ProgramFolder {
QString path();
// A file directly in the program folder.
QString file(const QString& name);
} // namespace ProgramFolder
