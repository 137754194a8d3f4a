#pragma once
// Running what an update installed: a program starts on its own, other files open with the
// desktop.
#include <QByteArray>
#include <QString>

namespace AutoUpdate::modRunExe {
// Whether bytes begin a program this system runs: an ELF executable or a script ("#!").
bool IsProgram(const QByteArray& head);
// Starts the program detached with no arguments in `folder` ("" for its own folder), or opens any
// other file with the desktop. 0 when it started, else the reason (2 not found, 31 nothing opens it).
int RunFile(const QString& path, const QString& folder);
} // namespace AutoUpdate::modRunExe
