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
} // namespace

QString Field(const QString& record, qint32 n) {
    return modAppFnc::GetField(record, n, QLatin1Char('|'));
}

void Lists::removeAt(qsizetype i) {
    if (i < 0 || i >= lstUDL.size()) return;
    lstUDL.removeAt(i);
    if (!notice && i < lstUpdates.size()) lstUpdates.removeAt(i);
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

QString ProgramPath(const QString& folderField, const QString& sub, const QString& name) {
    std::optional<QStringList> parts = SafePath::Split(folderField);
    if (!parts || !SafePath::IsPlainName(name)) return {};
    if (!sub.isEmpty()) *parts << sub;
    return QDir(SafePath::JoinFolders(ProgramFolder::path(), *parts)).filePath(name);
}

bool FillLists(Lists& lists, const QString& items) {
    lists.lstUDL.clear();
    qsizetype from = 0;
    for (qsizetype at; (at = items.indexOf(LineBreak::kCrLf, from)) >= 0; from = at + LineBreak::kCrLf.size())
        lists.lstUDL << items.mid(from, at - from);
    lists.lstUpdates.clear();
    lists.notice = false;
    for (qsizetype i = 0; i < lists.lstUDL.size();) {
        const QString& record = lists.lstUDL.at(i);
        if (Field(record, 6) == QLatin1String("1")) {
            const std::optional<bool> newer = modAppFnc::IsNewerVersion(Field(record, 7));
            if (!newer) return false;
            if (!*newer) {
                lists.lstUDL.removeAt(i);
                continue;
            }
        }
        lists.lstUpdates << Field(record, 1);
        ++i;
    }
    lists.enabled = !lists.lstUpdates.isEmpty();
    return true;
}

bool RestrictUpdatesList(Lists& lists, const Status& status) {
    status(QStringLiteral("Sorting updates list"));
    for (qsizetype i = 0; i < lists.lstUDL.size();) {
        const QString record = lists.lstUDL.at(i);
        const QString kind = Field(record, 6);
        if (kind == QLatin1String("1")) {
            ++i;
            continue;
        }
        const QString name = FileNameFromUrl(Field(record, 3));
        if (kind == QLatin1String("3")) {
            if (isFile(ProgramPath(Field(record, 4), {}, name))) {
                const std::optional<QString> installed =
                    firstItem(ProgramPath(Field(record, 5), QStringLiteral("Lang"), name));
                if (!installed) return false;
                // Versions compare as texts, byte by byte.
                if (Ansi::encode(*installed) >= Ansi::encode(Field(record, 7))) {
                    lists.removeAt(i);
                    continue;
                }
            }
            ++i;
            continue;
        }
        if (name.isEmpty()) break;
        if (isFile(ProgramPath(Field(record, 4), {}, name))) {
            lists.removeAt(i);
            continue;
        }
        ++i;
    }
    status(QStringLiteral("Updates listing complete"));
    if (lists.lstUDL.isEmpty()) lists.showNotice(QString::fromLatin1(kAllUpdates));
    return true;
}

void RestrictSkinsList(Lists& lists, const Status& status) {
    status(QStringLiteral("Sorting updates list"));
    for (qsizetype i = 0; i < lists.lstUDL.size();) {
        const QString record = lists.lstUDL.at(i);
        if (Field(record, 6) == QLatin1String("4") &&
            isFile(ProgramPath(Field(record, 5), QStringLiteral("Skins"),
                               FileNameFromUrl(Field(record, 3)) + QStringLiteral(".qxs")))) {
            lists.removeAt(i);
            continue;
        }
        ++i;
    }
    status(QStringLiteral("Skin listing complete"));
    if (lists.lstUDL.isEmpty()) lists.showNotice(QString::fromLatin1(kAllSkins));
}

} // namespace AutoUpdate::modListSort
