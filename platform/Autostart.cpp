#include "platform/Autostart.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {
// One argument of an Exec key: always in double quotes, with the four characters that stay
// special inside quotes escaped, and "%" doubled so that it is not read as a field code.
QString quoteArgument(const QString& arg) {
    QString out = QStringLiteral("\"");
    for (const QChar c : arg) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            out += QLatin1Char('\\');
        else if (c == QLatin1Char('%'))
            out += QLatin1Char('%');
        out += c;
    }
    return out + QLatin1Char('"');
}

// The escapes of a string value of a desktop entry, applied after the quoting above.
QString escapeValue(const QString& value) {
    QString out;
    for (const QChar c : value) {
        switch (c.unicode()) {
        case '\\':
            out += QLatin1String("\\\\");
            break;
        case '\n':
            out += QLatin1String("\\n");
            break;
        case '\r':
            out += QLatin1String("\\r");
            break;
        case '\t':
            out += QLatin1String("\\t");
            break;
        default:
            out += c;
        }
    }
    return out;
}
} // namespace

QString Autostart::folder() {
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty() || QDir::isRelativePath(config))
        config = QDir(QDir::homePath()).filePath(QStringLiteral(".config"));
    return QDir(config).filePath(QStringLiteral("autostart"));
}

QString Autostart::entryPath(const QString& name) {
    return QDir(folder()).filePath(name + QStringLiteral(".desktop"));
}

QString Autostart::entryText(const QString& name, const QString& program, const QStringList& environment) {
    QString exec;
    if (!environment.isEmpty()) {
        exec = QStringLiteral("env ");
        for (const QString& entry : environment)
            exec += quoteArgument(entry) + QLatin1Char(' ');
    }
    exec += quoteArgument(program);
    return QStringLiteral("[Desktop Entry]\nType=Application\nName=") + escapeValue(name) +
           QStringLiteral("\nExec=") + escapeValue(exec) + QLatin1Char('\n');
}

bool Autostart::install(const QString& name, const QString& program, const QStringList& environment,
                        QString* error) {
    auto fail = [error](const QString& why) {
        if (error) *error = why;
        return false;
    };
    if (!QDir().mkpath(folder())) return fail(QStringLiteral("cannot create ") + folder());
    QSaveFile f(entryPath(name));
    if (!f.open(QIODevice::WriteOnly)) return fail(f.errorString());
    const QByteArray bytes = entryText(name, program, environment).toUtf8();
    if (f.write(bytes) != bytes.size() || !f.commit()) return fail(f.errorString());
    return true;
}

bool Autostart::remove(const QString& name, QString* error) {
    QFile f(entryPath(name));
    if (!QFileInfo::exists(f.fileName()) && !QFileInfo(f.fileName()).isSymLink()) return true;
    if (f.remove()) return true;
    if (error) *error = f.errorString();
    return false;
}
