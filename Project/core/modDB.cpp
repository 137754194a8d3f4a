#include "core/modDB.h"

#include "core/modAppFnc.h"
#include "platform/Ansi.h"
#include "platform/FileRead.h"

#include <QSet>

namespace {
QString table;
// Keys already reported in a message box during this run (case-folded): a language file that
// lacks a few keys would otherwise stack one modal box per lookup.
QSet<QString> reported;

// The message-window picture of the missing-key notice.
constexpr int kNoticeIcon = 0;
// Some hundred short texts make a language file; anything this large is none.
constexpr qint64 kMaxLanguageBytes = 8 * 1024 * 1024;
} // namespace

namespace modDB {

bool LoadDB(const QString& path) {
    modAppFnc::WriteLog(QStringLiteral("Loading DB..."));
    if (path.isEmpty()) {
        table.clear();
        modAppFnc::WriteLog(QStringLiteral("---No DB To Load."));
        return true;
    }
    QByteArray bytes;
    if (!FileRead::regularFile(path, kMaxLanguageBytes, bytes)) {
        table.clear();
        return false;
    }
    table = Ansi::decodeText(bytes);
    modAppFnc::WriteLog(QStringLiteral("---DB Loaded."));
    return true;
}

bool DBLoaded() {
    return !table.isEmpty();
}

QString GetDBString(const QString& key) {
    // Searched in the table itself, so positions stay those of the table.
    const qsizetype at = table.indexOf(key, 0, Qt::CaseInsensitive);
    if (at < 0) {
        const QString text = QStringLiteral("DB:ID not found: '") + key + QLatin1Char('\'');
        modAppFnc::WriteLog(text);
        const QString folded = key.toCaseFolded();
        if (!reported.contains(folded)) {
            reported.insert(folded);
            modAppFnc::ShowMsg(text, 0, kNoticeIcon);
        }
        return {};
    }
    const qsizetype bar = table.indexOf(QLatin1Char('|'), at);
    if (bar < 0) return {};
    const qsizetype start = bar + 1;
    qsizetype end = start;
    while (end < table.size() && table.at(end) != QLatin1Char('\r') && table.at(end) != QLatin1Char('\n'))
        ++end;
    return table.mid(start, end - start);
}

QString Captions::operator()(const char* control) const {
    return GetDBString(form_ + QLatin1Char('.') + QLatin1String(control));
}

QString Captions::operator()(const char* control, int index) const {
    return GetDBString(form_ + QLatin1Char('.') + QLatin1String(control) + QLatin1Char('(') +
                       QString::number(index) + QLatin1Char(')'));
}

QString Captions::Shared(const char* key) {
    return GetDBString(QString::fromLatin1(key));
}

} // namespace modDB
