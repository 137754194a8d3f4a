#include "core/Roster.h"

#include "core/PeerInfo.h"
#include "core/modAppFnc.h"
#include "core/modGlobals.h"
#include "core/modLangConst.h"
#include "core/modNetCmds.h"

#include <QSet>

using modGlobals::Run;
using modGlobals::Sets;

namespace {
const QString& Sep() {
    return modGlobals::Sep();
}
const QString kOn = QStringLiteral("1");
const QString kOff = QStringLiteral("0");
} // namespace

QString Roster::NewRecord(const QString& name) {
    return name + Sep() + kOff + Sep() + kOff + Sep() + QStringLiteral("Arial") + Sep() + kOff + Sep() + kOn +
           Sep();
}

QString Roster::WithField(const QString& record, int field, const QString& value) {
    QString rec;
    for (int f = 1; f <= kFields; ++f) {
        rec += f == field ? value : modAppFnc::GetField(record, f, modGlobals::kSep);
        rec += Sep();
    }
    return rec;
}

QString Roster::Field(int index, int field) const {
    return modAppFnc::GetField(records.List(index), field, modGlobals::kSep);
}

int Roster::IndexOf(const QString& name) const {
    return names.IndexOfNoCase(name);
}

QVariant Roster::GetUserInfo(const QString& name, int what) const {
    const auto& s = Sets();
    if (modAppFnc::SameNoCase(name, s.UNAME)) {
        switch (what) {
        case 0:
            return false;
        case 1:
            return s.UCOL;
        case 2:
            return s.UFNT;
        case 3:
            return int(Run().OwnStatus);
        default:
            return QString();
        }
    }
    if (what == 0) return IsBlocked(name);
    static const int fieldOf[6] = {0, kColour, kFont, kStatus, kSelected, kAccepts};
    if (what < 1 || what > 5) return QString();
    return modAppFnc::GetField(recordOf(name), fieldOf[what], modGlobals::kSep);
}

PeerInfo::Look Roster::GetUserLook(const QString& name) const {
    if (modAppFnc::SameNoCase(name, Sets().UNAME)) return PeerInfo::OwnLook();
    const QString record = recordOf(name);
    return PeerInfo::LookFrom(modAppFnc::GetField(record, kColour, modGlobals::kSep),
                              modAppFnc::GetField(record, kFont, modGlobals::kSep));
}

QString Roster::recordOf(const QString& name) const {
    if (Count() == 0) return QString();
    const int row = IndexOf(name);
    // Somebody no longer listed: a newcomer's values, never another user's.
    return row < 0 ? NewRecord(name) : records.List(row);
}

int Roster::GetUserPic(const QString& name) const {
    if (IsBlocked(name)) return 3;
    bool ok = false;
    const int st = GetUserInfo(name, 3).toString().toInt(&ok);
    // A status a peer made up never borrows another icon (3 is "blocked by me").
    return ok && st >= 0 && st <= 2 ? st : -1;
}

bool Roster::IsBlocked(const QString& name) const {
    return PeerInfo::InBlockList(name);
}

void Roster::AddBlock(const QString& name) {
    if (modAppFnc::SameNoCase(name, Sets().UNAME) || IsBlocked(name)) return;
    Sets().BLC += name + Sep();
    modNetCmds::SendBlockNotice(name, kOff);
}

void Roster::RemBlock(const QString& name) {
    auto& blc = Sets().BLC;
    if (blc.isEmpty() || !IsBlocked(name)) return;
    modNetCmds::SendBlockNotice(name, kOn);
    const QStringList listed = modAppFnc::ListNames(blc);
    if (listed.size() < 2) {
        blc.clear();
        return;
    }
    QString rebuilt;
    bool removed = false;
    for (const QString& n : listed) {
        if (!removed && modAppFnc::SameNoCase(n, name)) {
            removed = true;
            continue;
        }
        rebuilt += n + Sep();
    }
    blc = rebuilt;
}

int Roster::GetNSel() const {
    int n = 0;
    for (int i = 0; i < records.ListCount(); ++i)
        n += Field(i, kSelected) == kOn;
    return n;
}

QString Roster::InvSel(const QString& value) {
    return value == kOff ? kOn : kOff;
}

void Roster::ListSetSel(int index, const QString& value) {
    if (index < 0 || index >= records.ListCount()) return;
    records.SetList(index, WithField(records.List(index), kSelected, value == kOff ? kOff : kOn));
}

int Roster::Press(int row, int button, int shift, int anchor) {
    const int n = Count();
    if (row > n - 1 || button == 4) row = -1;
    if (shift == 0) {
        for (int i = 0; i < n; ++i)
            if (i != row && (button == 1 || button == 4)) ListSetSel(i, kOff);
        if (row >= 0) ListSetSel(row, kOn);
    } else if (shift == 1) {
        // An anchor left behind by users who have gone counts only as far as the list goes.
        const int from = qMax(0, qMin(row, anchor)), to = qMin(n - 1, qMax(row, anchor));
        for (int i = 0; i < n; ++i)
            ListSetSel(i, (i >= from && i <= to) ? kOn : kOff);
    } else if (shift == 2) {
        if (row >= 0) ListSetSel(row, InvSel(Field(row, kSelected)));
    }
    return row;
}

int Roster::BlockedOnLine() const {
    // Every entry of the block list that names a listed user, from the listed users: the block
    // list may be far longer than the user list.
    QSet<QString> listed;
    int b = 0;
    for (int i = 0; i < names.ListCount(); ++i)
        if (const QString name = names.List(i); !listed.contains(modAppFnc::LowerAscii(name))) {
            listed.insert(modAppFnc::LowerAscii(name));
            b += PeerInfo::TimesBlocked(name);
        }
    return b;
}

QString Roster::StatusText() const {
    const int n = Count();
    const QString msg = modLangConst::lang("Main_StatMsg");
    const QChar bar = QLatin1Char('|');
    QString text = QString::number(n) + QLatin1Char(' ') + modAppFnc::GetField(msg, n == 1 ? 1 : 2, bar) +
                   QLatin1Char(' ') + modAppFnc::GetField(msg, 3, bar);
    if (const int b = Sets().BLC.isEmpty() ? 0 : BlockedOnLine(); b > 0)
        text += QStringLiteral(" (-") + QString::number(b) + QLatin1Char(')');
    return text;
}

QStringList Roster::ForSpeedBar(int filter) const {
    QStringList shown;
    const QStringList listed = names.items();
    for (int i = 0; i < listed.size(); ++i) {
        const QString& name = listed[i];
        // This runs after every change of the list: the status comes from the record beside
        // the name, not from a search for it.
        const QString st =
            modAppFnc::SameNoCase(name, Sets().UNAME) ? GetUserInfo(name, 3).toString() : Field(i, kStatus);
        bool pass = false;
        switch (filter) {
        case 0:
            pass = true;
            break;
        case 1:
            pass = !GetUserInfo(name, 0).toBool();
            break;
        case 2:
            pass = st != QLatin1String("2");
            break;
        case 3:
            pass = st == QLatin1String("0");
            break;
        default:
            break;
        }
        if (pass) shown << name;
    }
    return shown;
}
