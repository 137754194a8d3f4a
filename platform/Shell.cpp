#include "platform/Shell.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

bool Shell::startProgram(const QString& path, const QString& folder, const QStringList& environment) {
    const QFileInfo fi(path);
    if (!fi.isFile() || !fi.isExecutable()) return false;
    QProcess p;
    p.setProgram(fi.absoluteFilePath());
    p.setWorkingDirectory(folder.isEmpty() ? fi.absolutePath() : folder);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString& entry : environment) {
        const qsizetype eq = entry.indexOf(QLatin1Char('='));
        if (eq > 0) env.insert(entry.left(eq), entry.mid(eq + 1));
    }
    p.setProcessEnvironment(env);
    return p.startDetached();
}

bool Shell::open(const QString& link, int& errorCode) {
    errorCode = 0;
    QUrl url = QUrl::fromUserInput(link);
    if (QFileInfo::exists(link)) url = QUrl::fromLocalFile(QFileInfo(link).absoluteFilePath());
    if (!url.isValid()) {
        errorCode = 2; // the file or link was not found
        return false;
    }
    if (QDesktopServices::openUrl(url)) return true;
    errorCode = 31; // no program is associated with it
    return false;
}
