#include "core/modGroups.h"

#include "core/modAppFnc.h"
#include "core/modGlobals.h"

namespace modGroups {

QStringList MembersOf(const QString& line) {
    QStringList fields = modAppFnc::ListNames(line);
    if (!fields.isEmpty()) fields.removeFirst();
    return fields;
}

QString UserList(const QStringList& names) {
    QString list;
    for (const QString& n : names)
        list += n + modGlobals::Sep();
    return list;
}

QString LineOf(const QString& name, const QStringList& members) {
    return name + modGlobals::Sep() + UserList(members);
}

std::vector<Group> Read(const QString& grps) {
    std::vector<Group> out;
    qsizetype start = 0;
    for (qsizetype end = grps.indexOf(QLatin1String("\r\n")); end >= 0;
         end = grps.indexOf(QLatin1String("\r\n"), start)) {
        const QString line = grps.mid(start, end - start);
        out.push_back({modAppFnc::GetField(line, 1, modGlobals::kSep), MembersOf(line), line});
        start = end + 2;
    }
    return out;
}

} // namespace modGroups
