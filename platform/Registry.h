#pragma once
// The registry as the program uses it: keys under a root, named values of text (REG_SZ) or
// bytes (REG_BINARY), and each key's default value. Kept in one file of ours: the file named by
// QX3_REGISTRY when set, else "QX3/registry.json" in the user's config folder ($XDG_CONFIG_HOME,
// or ~/.config). Every call reads the file and every change replaces it whole, so the other
// programs of the system see each change at once and a failed write leaves the old file.
#include <QByteArray>
#include <QString>
#include <optional>

namespace Registry {

enum Root : quint32 {
    ClassesRoot = 0x80000000u,
    CurrentUser = 0x80000001u,
    LocalMachine = 0x80000002u,
    Users = 0x80000003u,
};

enum class Type { String, Binary };

struct Value {
    Type type = Type::String;
    QString text;     // String
    QByteArray bytes; // Binary
};

QString storePath();

// Key paths are names joined by "\", matched without regard to letter case; a path with an
// empty name in it (a leading, trailing or doubled "\") is refused. The value name "" or "*"
// is the key's default (unnamed) value.

// Creates the key and its parents when needed, then sets the value. False when the path is
// refused or the store cannot be read or written (a damaged store is left as it is).
bool setValue(quint32 root, const QString& key, const QString& name, const Value& value);
bool keyExists(quint32 root, const QString& key);
std::optional<Value> queryValue(quint32 root, const QString& key, const QString& name);
// False when the key or the value does not exist, or the store cannot be written.
bool deleteValue(quint32 root, const QString& key, const QString& name);

} // namespace Registry
