#include "core/PeerInfo.h"

#include "core/MainWindowLink.h"
#include "core/modAppFnc.h"
#include "core/modGlobals.h"

#include <QHash>

namespace {
const QString kDefaultFont = QStringLiteral("Arial");

bool isMe(const QString& name) {
    return modAppFnc::SameNoCase(name, modGlobals::Sets().UNAME);
}
} // namespace

int PeerInfo::TimesBlocked(const QString& name) {
    // Asked for every user on every drawing of the list: the names are counted once for each
    // block list. The copy kept shares the list's text, so any change to BLC makes new text and
    // the names are counted again; the same text at the same place is the same list.
    struct Counted {
        QString list;
        QHash<QString, int> times; // by LowerAscii name
    };
    static Counted seen;
    const QString& blc = modGlobals::Sets().BLC;
    if (seen.list.constData() != blc.constData() || seen.list.size() != blc.size()) {
        seen.times.clear();
        for (const QString& n : modAppFnc::ListNames(blc))
            ++seen.times[modAppFnc::LowerAscii(n)];
        seen.list = blc;
    }
    return seen.times.value(modAppFnc::LowerAscii(name));
}

bool PeerInfo::InBlockList(const QString& name) {
    return TimesBlocked(name) > 0;
}

bool PeerInfo::IsBlocked(const QString& name) {
    if (const MainWindowLink* main = MainWindowLink::Loaded()) return main->IsBlocked(name);
    return InBlockList(name);
}

PeerInfo::Look PeerInfo::LookOf(const QString& name) {
    if (const MainWindowLink* main = MainWindowLink::Loaded()) return main->GetUserLook(name);
    return isMe(name) ? OwnLook() : Look{0, kDefaultFont};
}

PeerInfo::Look PeerInfo::LookFrom(const QVariant& colour, const QString& font) {
    return {ColourOf(colour), font.isEmpty() ? kDefaultFont : font};
}

PeerInfo::Look PeerInfo::OwnLook() {
    return LookFrom(modGlobals::Sets().UCOL, modGlobals::Sets().UFNT);
}

quint32 PeerInfo::Colour(const QString& name) {
    return LookOf(name).colour;
}

quint32 PeerInfo::ColourOf(const QVariant& value) {
    bool ok = false;
    const qint64 colour = value.toString().trimmed().toLongLong(&ok);
    return ok ? static_cast<quint32>(colour) & 0xFFFFFFu : 0;
}

QString PeerInfo::FontName(const QString& name) {
    return LookOf(name).font;
}

QFont PeerInfo::Font(const QString& name, const QFont& base) {
    QFont f = base;
    f.setFamily(FontName(name));
    return f;
}

void PeerInfo::InvBlock(const QString& userList) {
    if (MainWindowLink* main = MainWindowLink::Loaded()) main->InvBlock(userList);
}
