#include "core/modSkin.h"

#include "core/MessageService.h"
#include "core/frmImgs.h"
#include "core/modAppFnc.h"
#include "core/modGlobals.h"
#include "core/modLangConst.h"
#include "platform/Ansi.h"
#include "platform/Colors.h"
#include "platform/FileRead.h"
#include "platform/ItemReader.h"
#include "platform/SafePath.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QStringList>
#include <limits>
#include <optional>

namespace {

modSkin::SkinInfo& current() {
    static modSkin::SkinInfo s;
    return s;
}

// A decimal integer within [lo, hi].
bool toNumber(const QString& item, qint64 lo, qint64 hi, qint64& out) {
    bool ok = false;
    const qint64 v = item.trimmed().toLongLong(&ok, 10);
    if (!ok || v < lo || v > hi) return false;
    out = v;
    return true;
}

// A colour item is a 32-bit number, read signed or unsigned.
constexpr qint64 kMinStored = std::numeric_limits<qint32>::min();
constexpr qint64 kMaxStored = std::numeric_limits<quint32>::max();
// Ten short items and a few lines of information: anything larger is no skin.
constexpr qint64 kMaxSkinBytes = 1024 * 1024;
constexpr qint64 kMin16 = std::numeric_limits<qint16>::min();
constexpr qint64 kMax16 = std::numeric_limits<qint16>::max();

void useBuiltIn() {
    frmImgs& imgs = frmImgs::Load();
    imgs.picSkin = imgs.picBaseSkin;
    modSkin::ResetSkin();
}

} // namespace

namespace modSkin {

const SkinInfo& Current() {
    return current();
}

void ResetSkin() {
    current() = SkinInfo();
}

bool ReadSkinFile(const QString& path, SkinInfo& record) {
    modAppFnc::WriteLog(QStringLiteral("Opening Skin File..."));
    QByteArray bytes;
    if (!FileRead::regularFile(path, kMaxSkinBytes, bytes)) return false;
    ItemReader in(Ansi::decode(bytes));

    QStringList items;
    while (items.size() < 10) {
        const std::optional<QString> item = in.next();
        if (!item) return false; // fewer than ten items
        items << *item;
    }
    // File order: Picture, TextColor, StatusColor, ChatStatusColor, ListForeColor,
    // ListBackColor, ColorScheme, ForeColor, BackColor, ButtonType.
    qint64 v[10] = {};
    for (int k = 1; k < 10; ++k) {
        if (k == 6 || k == 9) {
            if (!toNumber(items[k], kMin16, kMax16, v[k])) return false;
            continue;
        }
        // A colour, or a system colour that stands for one.
        qint64 stored = 0;
        if (!toNumber(items[k], kMinStored, kMaxStored, stored)) return false;
        const std::optional<quint32> colour = Colors::FromStored(stored);
        if (!colour) return false;
        v[k] = *colour;
    }
    SkinInfo r;
    r.Picture = items[0];
    r.TextColor = static_cast<qint32>(v[1]);
    r.StatusColor = static_cast<qint32>(v[2]);
    r.ChatStatusColor = static_cast<qint32>(v[3]);
    r.ListForeColor = static_cast<qint32>(v[4]);
    r.ListBackColor = static_cast<qint32>(v[5]);
    r.ColorScheme = static_cast<qint16>(v[6]);
    r.ForeColor = static_cast<qint32>(v[7]);
    r.BackColor = static_cast<qint32>(v[8]);
    r.ButtonType = static_cast<qint16>(v[9]);
    r.Info = in.rest();
    record = r;
    modAppFnc::WriteLog(QStringLiteral("---Skin File Closed."));
    return true;
}

QString PicturePath(const QString& skinFile, const QString& picture) {
    if (picture.startsWith(QLatin1Char('\\')) || picture.startsWith(QLatin1Char('/'))) return {};
    const std::optional<QStringList> parts = SafePath::Split(picture);
    if (!parts || parts->isEmpty()) return {};
    const QString found = SafePath::FindPath(QFileInfo(skinFile).absolutePath(), *parts);
    return QFileInfo(found).isFile() ? found : QString();
}

bool LoadSkin(const QString& path) {
    if (path.isEmpty()) {
        useBuiltIn();
        return true;
    }
    // Everything is read and decoded before anything is replaced, so a bad skin leaves
    // neither its values nor its picture behind.
    SkinInfo next;
    QImage picture;
    bool ok = ReadSkinFile(path, next);
    if (ok) {
        const QString file = PicturePath(path, next.Picture);
        QImageReader reader(file);
        ok = !file.isEmpty() && reader.read(&picture) && !picture.isNull();
    }
    if (ok) {
        frmImgs::Load().picSkin = picture;
        current() = next;
        return true;
    }
    modAppFnc::WriteLog(QStringLiteral("Skin Load Error"));
    modAppFnc::ShowMsg(modLangConst::Get(QStringLiteral("AppFunc_SkinErr")), 0, 0);
    modGlobals::Sets().SKN.clear();
    useBuiltIn();
    return false;
}

} // namespace modSkin
