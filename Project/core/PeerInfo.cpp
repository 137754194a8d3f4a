#include "core/PeerInfo.h"

#include "core/MainWindowLink.h"
#include "core/modAppFnc.h"
#include "core/modGlobals.h"

namespace {
const QString kDefaultFont = QStringLiteral("Arial");
}

bool PeerInfo::InBlockList(const QString& name) {
    for (const QString& n : modAppFnc::ListNames(modGlobals::Sets().BLC))
        if (modAppFnc::SameNoCase(n, name)) return true;
    return false;
}

bool PeerInfo::IsBlocked(const QString& name) {
    if (const MainWindowLink* main = MainWindowLink::Loaded()) return main->IsBlocked(name);
    return InBlockList(name);
}

quint32 PeerInfo::Colour(const QString& name) {
    const MainWindowLink* main = MainWindowLink::Loaded();
    if (!main) return 0;
    const QVariant v = main->GetUserInfo(name, 1);
    // A peer's colour text that is no number reads as 0.
    bool ok = false;
    const qint64 colour = v.toString().trimmed().toLongLong(&ok);
    return ok ? static_cast<quint32>(colour) & 0xFFFFFFu : 0;
}

QString PeerInfo::FontName(const QString& name) {
    const MainWindowLink* main = MainWindowLink::Loaded();
    const QString font = main ? main->GetUserInfo(name, 2).toString() : QString();
    return font.isEmpty() ? kDefaultFont : font;
}

QFont PeerInfo::Font(const QString& name, const QFont& base) {
    QFont f = base;
    f.setFamily(FontName(name));
    return f;
}

void PeerInfo::InvBlock(const QString& userList) {
    if (MainWindowLink* main = MainWindowLink::Loaded()) main->InvBlock(userList);
}
