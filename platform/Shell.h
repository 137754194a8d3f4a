#pragma once
// Starting programs and opening documents or links with the desktop.
#include <QString>

namespace Shell {
// Starts the program detached, with no arguments, in `folder` ("" for its own folder). False when
// it cannot start.
bool startProgram(const QString& path, const QString& folder = {});
// Opens a link or a document with the desktop; on failure returns false and sets errorCode.
bool open(const QString& link, int& errorCode);
} // namespace Shell
