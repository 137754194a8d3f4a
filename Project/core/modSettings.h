#pragma once
// The settings file: every settings value (modGlobals::Sets()) in one property bag in the
// program folder, under the name SettingsFile.
#include <QString>

namespace modSettings {

// The settings file in use: the program folder and SettingsFile.
QString SettingsPath();

// Writes every key, replacing the file whole (a failed save leaves the previous file as it
// was), then applies STARTUP to the autorun entry. On failure shows the error, logs it and ends
// the program in order; returns false when that end returns.
bool SaveSettings();

// Assigns every settings value from the file; a key that is missing takes its default, or keeps
// the value held in memory where it has none. A missing file is no error. A file that cannot
// be read (among them anything but a regular file, and a file of more than 4 MiB) or is not a
// settings file is left untouched, and the error is shown, logged and ends the program in
// order; returns false when that end returns.
bool LoadSettings();

// The switch "set": an empty value is ignored (false); any other value becomes SettingsFile
// and the settings are loaded again from it, over the values just loaded (true).
bool UseSettingsFile(const QString& name);

} // namespace modSettings
