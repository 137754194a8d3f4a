#include "core/modSkin.h"

#include "core/MessageService.h"
#include "core/frmImgs.h"
#include "core/modAppFnc.h"
#include "core/modGlobals.h"
#include "core/modLangConst.h"
#include "platform/Ansi.h"
#include "platform/FileRead.h"

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

const QString kCrLf = QStringLiteral("\r\n");

// A skin file as sequential items: an item ends at a comma or a line end, and an item in
// double quotes may hold commas. Line ends are CR LF, LF or CR.
class ItemReader {
  public:
    explicit ItemReader(QString text) : t_(std::move(text)) {}

    bool atEnd() const { return i_ >= t_.size(); }

    // The next item; nullopt at the end of the text.
    std::optional<QString> next() {
        if (atEnd()) return std::nullopt;
        skipBlanks();
        QString item;
        if (i_ < t_.size() && t_.at(i_) == QLatin1Char('"')) {
            const qsizetype close = t_.indexOf(QLatin1Char('"'), i_ + 1);
            const qsizetype end = close < 0 ? t_.size() : close;
            item = t_.mid(i_ + 1, end - i_ - 1);
            i_ = close < 0 ? t_.size() : close + 1;
            // Whatever follows the closing quote up to the delimiter is not part of the item.
            while (i_ < t_.size() && !isDelimiter(t_.at(i_)))
                ++i_;
        } else {
            const qsizetype start = i_;
            while (i_ < t_.size() && !isDelimiter(t_.at(i_)))
                ++i_;
            item = t_.mid(start, i_ - start).trimmed();
        }
        if (i_ < t_.size() && t_.at(i_) == QLatin1Char(',')) {
            ++i_;
            // A comma at the end of a line ends the item; the line end goes with it.
            qsizetype j = i_;
            while (j < t_.size() && (t_.at(j) == QLatin1Char(' ') || t_.at(j) == QLatin1Char('\t')))
                ++j;
            if (j >= t_.size() || isLineEnd(t_.at(j))) {
                i_ = j;
                skipLineEnd();
            }
        } else {
            skipLineEnd();
        }
        return item;
    }

    // The rest of the text, every line followed by CR LF. When the last item did not end its
    // line, the rest of that line is the first line.
    QString rest() {
        QString out;
        while (i_ < t_.size()) {
            const qsizetype start = i_;
            while (i_ < t_.size() && !isLineEnd(t_.at(i_)))
                ++i_;
            out += QStringView(t_).mid(start, i_ - start);
            out += kCrLf;
            skipLineEnd();
        }
        return out;
    }

  private:
    static bool isLineEnd(QChar c) { return c == QLatin1Char('\r') || c == QLatin1Char('\n'); }
    static bool isDelimiter(QChar c) { return c == QLatin1Char(',') || isLineEnd(c); }
    void skipBlanks() {
        while (i_ < t_.size() && (t_.at(i_) == QLatin1Char(' ') || t_.at(i_) == QLatin1Char('\t')))
            ++i_;
    }
    void skipLineEnd() {
        if (i_ >= t_.size()) return;
        if (t_.at(i_) == QLatin1Char('\r')) {
            ++i_;
            if (i_ < t_.size() && t_.at(i_) == QLatin1Char('\n')) ++i_;
        } else if (t_.at(i_) == QLatin1Char('\n')) {
            ++i_;
        }
    }

    QString t_;
    qsizetype i_ = 0;
};

// A decimal integer within [lo, hi].
bool toNumber(const QString& item, qint64 lo, qint64 hi, qint64& out) {
    bool ok = false;
    const qint64 v = item.trimmed().toLongLong(&ok, 10);
    if (!ok || v < lo || v > hi) return false;
    out = v;
    return true;
}

constexpr qint64 kMaxColor = 0xFFFFFF;
// Ten short items and a few lines of information: anything larger is no skin.
constexpr qint64 kMaxSkinBytes = 1024 * 1024;
constexpr qint64 kMin16 = std::numeric_limits<qint16>::min();
constexpr qint64 kMax16 = std::numeric_limits<qint16>::max();

// A skin's picture may name sub-folders; each part is matched exactly first, then ignoring case.
QString findIgnoringCase(const QDir& dir, const QString& name) {
    if (QFileInfo::exists(dir.filePath(name))) return dir.filePath(name);
    const QStringList entries = dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    for (const QString& e : entries)
        if (e.compare(name, Qt::CaseInsensitive) == 0) return dir.filePath(e);
    return {};
}

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
        const bool small = k == 6 || k == 9;
        if (!toNumber(items[k], small ? kMin16 : 0, small ? kMax16 : kMaxColor, v[k])) return false;
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
    QString rel = picture;
    rel.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (rel.isEmpty() || rel.startsWith(QLatin1Char('/')) || QDir::isAbsolutePath(rel) ||
        (rel.size() >= 2 && rel.at(1) == QLatin1Char(':')))
        return {};
    const QStringList parts = rel.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    if (parts.isEmpty()) return {};
    QDir dir = QFileInfo(skinFile).absoluteDir();
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const QString& part = parts.at(i);
        if (part == QLatin1String("..")) return {};
        if (part == QLatin1String(".")) continue;
        const QString found = findIgnoringCase(dir, part);
        if (found.isEmpty()) return {};
        if (i + 1 == parts.size()) return QFileInfo(found).isFile() ? found : QString();
        if (!QFileInfo(found).isDir()) return {};
        dir = QDir(found);
    }
    return {};
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
