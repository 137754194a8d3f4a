#pragma once
// Window tests write what they rendered as "<name>.png" into the folder named by
// QX3_SCREENSHOTS, for a person to look at; nothing is written when it is not set.
#include <QDir>
#include <QPixmap>
#include <QString>
#include <QWidget>

inline void saveScreenshot(QWidget* widget, const QString& name) {
    const QString folder = qEnvironmentVariable("QX3_SCREENSHOTS");
    if (folder.isEmpty() || !widget) return;
    QDir dir(folder);
    if (!dir.mkpath(QStringLiteral("."))) return;
    widget->grab().save(dir.filePath(name + QStringLiteral(".png")), "PNG");
}
