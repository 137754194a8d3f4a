#include "conversation/UserLook.h"

#include "core/modGlobals.h"

// Until the main window can be reached from here, everybody has the look of a newcomer.
quint32 UserLook::Colour(const QString& name) {
    (void)name;
    return 0;
}

QString UserLook::FontName(const QString& name) {
    (void)name;
    return QStringLiteral("Arial");
}

QFont UserLook::Font(const QString& name, const QFont& base) {
    QFont f = base;
    f.setFamily(FontName(name));
    return f;
}
