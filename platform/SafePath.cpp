#include "platform/SafePath.h"

#include <QFileInfo>

namespace SafePath {

std::optional<QStringList> Split(const QString& name) {
    if (name.contains(QChar(0))) return std::nullopt;
    QString rel = name;
    rel.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (rel.size() >= 2 && rel.at(1) == QLatin1Char(':')) return std::nullopt;
    QStringList out;
    for (const QString& part : rel.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        // Qt takes a name that begins with ":" for a resource path, which no folder joins.
        if (part == QLatin1String("..") || part.startsWith(QLatin1Char(':'))) return std::nullopt;
        if (part != QLatin1String(".")) out << part;
    }
    return out;
}

bool IsPlainName(const QString& name) {
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
           !name.startsWith(QLatin1Char(':')) && !name.contains(QLatin1Char('/')) &&
           !name.contains(QLatin1Char('\\')) && !name.contains(QChar(0));
}

QString FindIgnoringCase(const QDir& dir, const QString& name) {
    if (QFileInfo::exists(dir.filePath(name))) return dir.filePath(name);
    const QStringList entries = dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    for (const QString& e : entries)
        if (e.compare(name, Qt::CaseInsensitive) == 0) return dir.filePath(e);
    return {};
}

QString FindPath(const QString& folder, const QStringList& parts) {
    QString at = folder;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (i > 0 && !QFileInfo(at).isDir()) return {};
        at = FindIgnoringCase(QDir(at), parts.at(i));
        if (at.isEmpty()) return {};
    }
    return at;
}

QString JoinFolders(const QString& folder, const QStringList& parts) {
    QString at = folder;
    for (const QString& part : parts) {
        const QString found = FindIgnoringCase(QDir(at), part);
        at = !found.isEmpty() && QFileInfo(found).isDir() ? found : QDir(at).filePath(part);
    }
    return at;
}

} // namespace SafePath
