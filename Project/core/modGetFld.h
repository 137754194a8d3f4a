#pragma once
// The folder browser.
#include <QString>

namespace modGetFld {
inline constexpr char kDefaultTitle[] = "Please, Select a folder.";
// The chosen folder, or "" when cancelled. The browser opens on `start` without one trailing
// "/" ("/" itself stays), or on the folder of `start` when that names a file. An empty title
// gives kDefaultTitle.
QString BrowseForFolder(const QString& start, const QString& title);
} // namespace modGetFld
