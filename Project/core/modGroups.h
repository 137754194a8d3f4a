#pragma once
// The user's groups as the settings value GRPS holds them: one line per group, the name and
// then each member, every field followed by the field separator, every line ended by CR LF.
// One reader for the main window's group menus, the soft-button lookup and the options dialog,
// so all of them agree on which groups exist.
#include <QString>
#include <QStringList>
#include <vector>

namespace modGroups {

struct Group {
    QString name;        // the line's first field
    QStringList members; // fields 2 to the last one followed by a separator, in line order
    QString line;        // the line as stored, without its CR LF
};

// The groups of a GRPS text in stored order. A line ends only at CR LF (a lone CR or LF is part
// of the line); text after the last CR LF is no line and is dropped.
std::vector<Group> Read(const QString& grps);

// The members of one group line: fields 2 to the last one followed by a separator.
QStringList MembersOf(const QString& line);

// A user list: each name followed by the field separator.
QString UserList(const QStringList& names);

// A group line: the name and each member, every one followed by the field separator.
QString LineOf(const QString& name, const QStringList& members);

} // namespace modGroups
