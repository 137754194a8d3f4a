#pragma once
// The autorun value (whether the messenger starts when the user logs on) and the registry
// calls of the program.
#include <QString>

namespace modStartUp {

// The name of the autorun entry.
inline constexpr char kStartUpName[] = "Talk-Vane";

// 0 removes the autorun entry, 1 writes it (again, even when it is there), other values change
// nothing. A failure is logged.
void SetStartUp(qint16 v);
// What the autorun entry starts: the running program's own folder and its file name without
// its extension. The entry carries QX3_HOME on when it is set.
QString StartUpProgram();

// One leading and one trailing "\" removed, when present.
QString StripSlashes(const QString& key);
// Creates or opens the key (slashes stripped) and sets the text value; the name "*" is the key's
// default value. True when both succeeded.
bool RegSetString(quint32 root, const QString& key, const QString& name, const QString& data);
// Deletes the value from the key as given; every failure is ignored.
void DeleteRegValue(quint32 root, const QString& key, const QString& name);

} // namespace modStartUp
