#pragma once
// Programs started when the user logs on: one desktop entry per program in the user's
// autostart folder ($XDG_CONFIG_HOME/autostart, or ~/.config/autostart).
#include <QString>
#include <QStringList>

namespace Autostart {
QString folder();
// The entry file of `name` ("<name>.desktop" in the folder).
QString entryPath(const QString& name);
// The entry that starts `program` (a path, no arguments), quoted and escaped so that any
// character in the path, a blank included, reaches the program's start unchanged. The
// "NAME=value" entries of `environment` are set for it through env(1), quoted alike.
QString entryText(const QString& name, const QString& program, const QStringList& environment = {});
// Writes (or replaces) the entry. On failure returns false and says why in `error`.
bool install(const QString& name, const QString& program, const QStringList& environment = {},
             QString* error = nullptr);
// Removes the entry; an entry that is not there is no failure.
bool remove(const QString& name, QString* error = nullptr);
} // namespace Autostart
