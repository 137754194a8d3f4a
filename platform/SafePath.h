#pragma once
// Names that come from outside (a skin's picture, an update list's folders and files): "\" is
// read as a separator as well as "/", and nothing may reach outside the folder it is joined to.
// Those names were written for a system that ignores letter case, so existing entries are
// matched ignoring case.
#include <QDir>
#include <QString>
#include <QStringList>
#include <optional>

namespace SafePath {
// The parts of a relative name; empty and "." parts drop out, so a leading separator only
// joins. nullopt when a part is "..", a drive ("C:"), begins with ":" (a resource path to Qt) or
// holds a control character (NUL, tab, line ends, 0x7F and the like), as IsPlainName refuses.
std::optional<QStringList> Split(const QString& name);
// A plain file name: not empty, not "." or "..", not beginning with ":", no "/" or "\\", and no
// control character (NUL, tab, line ends, 0x7F and the like).
bool IsPlainName(const QString& name);
// True when `name`, in the local file name encoding, is no longer than the file system allows a
// name in a folder to be (NAME_MAX bytes).
bool NameFits(const QString& name);
// `folder`, "/" and `name` when the result names an entry directly in `folder`; "" otherwise.
QString FileIn(const QString& folder, const QString& name);
// The entry of `dir` called `name`: the exact name first, else one differing only in letter
// case; "" when there is none.
QString FindIgnoringCase(const QDir& dir, const QString& name);
// `folder` joined with `parts`, each part matched to an existing entry ignoring case; "" when a
// part is missing or a part before the last is no folder.
QString FindPath(const QString& folder, const QStringList& parts);
// `folder` joined with `parts`, where each part that exists as a folder ignoring case takes that
// folder's spelling and the others stay as written. Nothing needs to exist.
QString JoinFolders(const QString& folder, const QStringList& parts);
} // namespace SafePath
