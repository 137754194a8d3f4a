#include "AutoUpdate/modListSort.h"

#include "AutoUpdate/modAppFnc.h"
#include "platform/Ansi.h"
#include "platform/FileRead.h"
#include "platform/ItemReader.h"
#include "platform/LineBreak.h"
#include "platform/ProgramFolder.h"
#include "platform/SafePath.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

namespace AutoUpdate::modListSort {

namespace {
bool isFile(const QString& path) {
    return !path.isEmpty() && QFileInfo(path).isFile();
}

// The first item of a language file: its version line.
std::optional<QString> firstItem(const QString& path) {
    QByteArray bytes;
    if (path.isEmpty() || !FileRead::regularFile(path, modAppFnc::kMaxListSize, bytes)) return std::nullopt;
    return ItemReader(Ansi::decode(bytes)).next();
}

// The folder a record's field names under a root, "" when refused.
QString folderOf(Root root, const QString& folderField, const QString& sub) {
    std::optional<QStringList> parts = SafePath::Split(folderField);
    if (!parts) return {};
    if (!sub.isEmpty()) *parts << sub;
    for (const QString& part : *parts)
        if (!SafePath::NameFits(part)) return {};
    return SafePath::JoinFolders(RootPath(root), *parts);
}

// ProgramPath for one walk over a list: each folder is looked up once, however many records
// name it, since matching a missing folder's case reads the folder above it.
class Paths {
  public:
    QString operator()(Root root, const QString& folderField, const QString& sub, const QString& name) {
        if (!SafePath::IsPlainName(name) || !SafePath::NameFits(name)) return {};
        const QString key = QString::number(int(root)) + QChar(0) + sub + QChar(0) + folderField;
        auto it = folders_.constFind(key);
        if (it == folders_.cend()) it = folders_.insert(key, folderOf(root, folderField, sub));
        return it->isEmpty() ? QString() : QDir(*it).filePath(name);
    }

  private:
    QHash<QString, QString> folders_;
};
} // namespace

QString Field(const QString& record, qint32 n) {
    return modAppFnc::GetField(record, n, QLatin1Char('|'));
}

void Lists::removeAt(qsizetype i) {
    if (i < 0 || i >= lstUDL.size()) return;
    lstUDL.removeAt(i);
    if (!notice && i < lstUpdates.size()) lstUpdates.removeAt(i);
}

void Lists::keepOnly(const std::vector<bool>& keep) {
    const bool titles = !notice && lstUpdates.size() == lstUDL.size();
    qsizetype to = 0;
    for (qsizetype i = 0; i < lstUDL.size(); ++i) {
        if (std::size_t(i) < keep.size() && !keep[std::size_t(i)]) continue;
        if (to != i) {
            lstUDL[to] = std::move(lstUDL[i]);
            if (titles) lstUpdates[to] = std::move(lstUpdates[i]);
        }
        ++to;
    }
    lstUDL.resize(to);
    if (titles) lstUpdates.resize(to);
}

void Lists::showNotice(const QString& text) {
    lstUpdates = QStringList{text};
    notice = true;
    enabled = false;
}

std::optional<QString> Lists::recordAt(int visibleIndex) const {
    if (notice || visibleIndex < 0 || visibleIndex >= lstUDL.size()) return std::nullopt;
    return lstUDL.at(visibleIndex);
}

QString FileNameFromUrl(const QString& text) {
    return text.mid(text.lastIndexOf(QLatin1Char('/')) + 1);
}

Root RootOf(const QString& record) {
    const int kind = Field(record, 6).trimmed().toInt();
    return kind == 1 || kind == 2 ? Root::Programs : Root::Data;
}

QString RootPath(Root root) {
    return root == Root::Programs ? ProgramFolder::programs() : ProgramFolder::path();
}

QString ProgramPath(Root root, const QString& folderField, const QString& sub, const QString& name) {
    return Paths()(root, folderField, sub, name);
}

bool FillLists(Lists& lists, const QString& items) {
    lists.lstUDL.clear();
    lists.lstUpdates.clear();
    lists.notice = false;
    bool ok = true;
    qsizetype from = 0;
    for (qsizetype at; ok && (at = items.indexOf(LineBreak::kCrLf, from)) >= 0;
         from = at + LineBreak::kCrLf.size()) {
        QString record = items.mid(from, at - from);
        if (Field(record, 6) == QLatin1String("1")) {
            const std::optional<bool> newer = modAppFnc::IsNewerVersion(Field(record, 7));
            if (!newer) ok = false;
            if (!newer || !*newer) continue;
        }
        lists.lstUpdates << Field(record, 1);
        lists.lstUDL << std::move(record);
    }
    lists.enabled = !lists.lstUpdates.isEmpty();
    return ok;
}

bool RestrictUpdatesList(Lists& lists, const Status& status) {
    status(QStringLiteral("Sorting updates list"));
    Paths paths;
    std::vector<bool> keep(std::size_t(lists.lstUDL.size()), true);
    bool ok = true;
    for (qsizetype i = 0; i < lists.lstUDL.size(); ++i) {
        const QString& record = lists.lstUDL.at(i);
        const QString kind = Field(record, 6);
        if (kind == QLatin1String("1")) continue;
        const Root root = RootOf(record);
        const QString name = FileNameFromUrl(Field(record, 3));
        if (kind == QLatin1String("3")) {
            if (!isFile(paths(root, Field(record, 4), {}, name))) continue;
            const std::optional<QString> installed =
                firstItem(paths(root, Field(record, 5), QStringLiteral("Lang"), name));
            if (!installed) {
                ok = false;
                break;
            }
            // Versions compare as texts, byte by byte.
            if (Ansi::encode(*installed) >= Ansi::encode(Field(record, 7))) keep[std::size_t(i)] = false;
            continue;
        }
        if (name.isEmpty()) break;
        if (isFile(paths(root, Field(record, 4), {}, name))) keep[std::size_t(i)] = false;
    }
    lists.keepOnly(keep);
    if (!ok) return false;
    status(QStringLiteral("Updates listing complete"));
    if (lists.lstUDL.isEmpty()) lists.showNotice(QString::fromLatin1(kAllUpdates));
    return true;
}

void RestrictSkinsList(Lists& lists, const Status& status) {
    status(QStringLiteral("Sorting updates list"));
    Paths paths;
    std::vector<bool> keep(std::size_t(lists.lstUDL.size()), true);
    for (qsizetype i = 0; i < lists.lstUDL.size(); ++i) {
        const QString& record = lists.lstUDL.at(i);
        if (Field(record, 6) == QLatin1String("4") &&
            isFile(paths(RootOf(record), Field(record, 5), QStringLiteral("Skins"),
                         FileNameFromUrl(Field(record, 3)) + QStringLiteral(".qxs"))))
            keep[std::size_t(i)] = false;
    }
    lists.keepOnly(keep);
    status(QStringLiteral("Skin listing complete"));
    if (lists.lstUDL.isEmpty()) lists.showNotice(QString::fromLatin1(kAllSkins));
}

} // namespace AutoUpdate::modListSort
