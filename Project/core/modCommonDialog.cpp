#include "core/modCommonDialog.h"

#include "platform/Dialogs.h"

#include <QFileInfo>
#include <QStringList>

namespace {
qint16 lastSaveFilter = 0;

// One pattern list of a filter ("*.jpg;*.png") as Qt writes it ("*.jpg *.png"). "*.*" lists every
// file, those without an extension too, as it does on the system the filters were written for.
QString qtPatterns(const QString& patterns) {
    QStringList out;
    for (const QString& p : patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString t = p.trimmed();
        if (t.isEmpty()) continue;
        out << (t == QLatin1String("*.*") ? QStringLiteral("*") : t);
    }
    return out.join(QLatin1Char(' '));
}

// "desc|pattern|desc|pattern" as Qt name filters. The patterns go into a last "(...)" group of
// their own, which Qt reads as the patterns and does not show, so a description that itself ends
// in "(...)" is shown whole and does not decide what is listed. An empty description, or one
// without a pattern, ends the list.
QStringList qtFilters(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        if (parts.at(i).isEmpty()) break; // an empty description closes the list
        out << parts.at(i) + QStringLiteral(" (") + qtPatterns(parts.at(i + 1)) + QLatin1Char(')');
    }
    return out;
}

Dialogs::FileAnswer askForFile(Dialogs::FileRequest::Mode mode, QWidget* owner, const QString& filter,
                               const QString& title, const QString& initialFolder) {
    Dialogs::FileRequest request;
    request.mode = mode;
    request.owner = owner;
    request.title = title;
    request.filters = qtFilters(filter);
    const QFileInfo start(initialFolder);
    if (!initialFolder.isEmpty() && start.isFile()) {
        request.folder = start.absolutePath();
        request.file = start.fileName();
    } else {
        request.folder = initialFolder;
    }
    return Dialogs::service()->chooseFile(request);
}
} // namespace

namespace modCommonDialog {

QString ShowSave(QWidget* owner, const QString& filter, const QString& title, const QString& initialFolder) {
    const Dialogs::FileAnswer answer =
        askForFile(Dialogs::FileRequest::Mode::Save, owner, filter, title, initialFolder);
    lastSaveFilter = static_cast<qint16>(answer.filterIndex);
    return answer.path;
}

QString ShowOpen(QWidget* owner, const QString& filter, const QString& title, const QString& initialFolder) {
    return askForFile(Dialogs::FileRequest::Mode::Open, owner, filter, title, initialFolder).path;
}

qint16 LastSaveFilter() {
    return lastSaveFilter;
}

} // namespace modCommonDialog
