#include "platform/SafePath.h"

#include <QFile>
#include <QFileInfo>
#include <climits>

namespace SafePath {

std::optional<QStringList> Split(const QString& name) {
    if (name.contains(QChar(0))) return std::nullopt;
    QString rel = name;
    rel.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (rel.size() >= 2 && rel.at(1) == QLatin1Char(':')) return std::nullopt;
    QStringList out;
    for (const QString& part : rel.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (part == QLatin1String(".")) continue;
        // "..", a resource path to Qt (":x") and control characters, as in a file name.
        if (!IsPlainName(part)) return std::nullopt;
        out << part;
    }
    return out;
}

bool IsPlainName(const QString& name) {
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..") ||
        name.startsWith(QLatin1Char(':')))
        return false;
    for (const QChar c : name)
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.category() == QChar::Other_Control)
            return false;
    return true;
}

bool NameFits(const QString& name) {
    return QFile::encodeName(name).size() <= NAME_MAX;
}

QString FileIn(const QString& folder, const QString& name) {
    if (folder.isEmpty() || !IsPlainName(name)) return {};
    QString base = folder;
    while (base.size() > 1 && base.endsWith(QLatin1Char('/')))
        base.chop(1);
    const QString path = base.endsWith(QLatin1Char('/')) ? base + name : base + QLatin1Char('/') + name;
    const QFileInfo at(path);
    if (at.fileName() != name) return {};
    if (QDir::cleanPath(at.absolutePath()) != QDir::cleanPath(QFileInfo(folder).absoluteFilePath()))
        return {};
    return path;
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
