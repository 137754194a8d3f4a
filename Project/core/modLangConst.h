#pragma once
// The 71 message texts of the messenger, by key. They are the built-in English until a
// language file replaces them.
#include <QString>
#include <QStringList>

namespace modLangConst {
// The current text of a message key ("" for a key that is not one of the 71).
QString Get(const QString& key);
// The same for a key written in the code: `lang("Main_SelUserMsg")`.
inline QString lang(const char* key) {
    return Get(QString::fromLatin1(key));
}
// Sets every message text to its built-in English.
void SetDefaultStrings();
// The built-in English of a key ("" for an unknown key).
QString English(const QString& key);
// The 71 keys in the order in which they are read from a language file.
const QStringList& Keys();
// Sets one message text (the language loader uses it).
void Set(const QString& key, const QString& text);
// With a language table loaded, sets each message text to the table's text of its key, in the
// order of Keys() (a key the table lacks gives ""); with none loaded, does nothing.
void LoadLangStrings();
} // namespace modLangConst
