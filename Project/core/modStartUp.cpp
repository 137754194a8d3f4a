#include "core/modStartUp.h"

#include "core/modAppFnc.h"
#include "platform/Autostart.h"
#include "platform/ProgramFolder.h"
#include "platform/Registry.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace modStartUp {

QString StartUpProgram() {
    return ProgramFolder::program(QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName());
}

void SetStartUp(qint16 v) {
    modAppFnc::WriteLog(QStringLiteral("Function: SetStartUp; v=") + QString::number(v));
    const QString name = QString::fromLatin1(kStartUpName);
    QString error;
    if (v == 0) {
        if (!Autostart::remove(name, &error))
            modAppFnc::WriteLog(QStringLiteral("Unable to remove the autostart entry '") +
                                Autostart::entryPath(name) + QStringLiteral("': ") + error);
    } else if (v == 1) {
        if (!Autostart::install(name, StartUpProgram(), ProgramFolder::environment(), &error))
            modAppFnc::WriteLog(QStringLiteral("Unable to write the autostart entry '") +
                                Autostart::entryPath(name) + QStringLiteral("': ") + error);
    }
    modAppFnc::WriteLog(QStringLiteral("Function: SetStartUp; complete"));
}

QString StripSlashes(const QString& key) {
    QString k = key;
    if (k.startsWith(QLatin1Char('\\'))) k.remove(0, 1);
    if (k.endsWith(QLatin1Char('\\'))) k.chop(1);
    return k;
}

bool RegSetString(quint32 root, const QString& key, const QString& name, const QString& data) {
    Registry::Value value;
    value.type = Registry::Type::String;
    value.text = data;
    return Registry::setValue(root, StripSlashes(key), name, value);
}

void DeleteRegValue(quint32 root, const QString& key, const QString& name) {
    Registry::deleteValue(root, key, name);
}

} // namespace modStartUp
