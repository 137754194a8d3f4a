#pragma once
// Starting programs and opening documents or links with the desktop.
#include <QString>
#include <QStringList>

namespace Shell {
// Starts the program detached, with no arguments, in `folder` ("" for its own folder), with this
// program's environment and the "NAME=value" entries of `environment` over it. False when it
// cannot start.
bool startProgram(const QString& path, const QString& folder = {}, const QStringList& environment = {});
// Opens a link or a document with the desktop; on failure returns false and sets errorCode.
bool open(const QString& link, int& errorCode);
} // namespace Shell
