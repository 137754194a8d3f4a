#include "core/modGetFld.h"

#include "platform/Dialogs.h"

#include <QFileInfo>

QString modGetFld::BrowseForFolder(const QString& start, const QString& title) {
    QString folder = start;
    if (folder.size() > 1 && folder.endsWith(QLatin1Char('/'))) folder.chop(1);
    if (!folder.isEmpty() && QFileInfo(folder).isFile()) folder = QFileInfo(folder).absolutePath();
    return Dialogs::service()->chooseFolder(folder,
                                            title.isEmpty() ? QString::fromLatin1(kDefaultTitle) : title);
}
