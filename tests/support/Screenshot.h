#pragma once
// Window tests write what they rendered as "<name>.png" into the folder named by
// QX3_SCREENSHOTS, for a person to look at; nothing is written when it is not set.
#include <QDir>
#include <QImage>
#include <QPixmap>
#include <QString>
#include <QWidget>

inline void saveScreenshot(const QImage& image, const QString& name) {
    const QString folder = qEnvironmentVariable("QX3_SCREENSHOTS");
    if (folder.isEmpty() || image.isNull()) return;
    QDir dir(folder);
    if (!dir.mkpath(QStringLiteral("."))) return;
    image.save(dir.filePath(name + QStringLiteral(".png")), "PNG");
}

inline void saveScreenshot(QWidget* widget, const QString& name) {
    if (!widget || qEnvironmentVariable("QX3_SCREENSHOTS").isEmpty()) return;
    saveScreenshot(widget->grab().toImage(), name);
}
