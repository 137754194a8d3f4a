#include "core/modSettings.h"

#include "core/modAppFnc.h"
#include "core/modGlobals.h"
#include "core/modLangConst.h"
#include "core/modNetCom.h"
#include "core/modStartUp.h"
#include "core/modTerminate.h"
#include "platform/FileRead.h"
#include "platform/LineBreak.h"
#include "platform/ProgramFolder.h"
#include "platform/SettingsBag.h"

#include <QFileInfo>
#include <QSaveFile>
#include <limits>
#include <optional>
#include <variant>
#include <vector>

namespace {
using Value = SettingsBag::Value;
using Target = std::variant<QString*, qint16*, qint32*, bool*>;

// The message-window picture used for the fatal settings errors.
constexpr int kErrorIcon = 3;
// Far above any settings file the program writes (74 keys, a few long texts among them).
constexpr qint64 kMaxSettingsBytes = 4 * 1024 * 1024;

struct Failure {
    int number;
    QString description;
};

struct Field {
    QString key;
    Target target;
    std::optional<Value> def; // none: the value held in memory stays
    const char* logAfter = nullptr;
};

// The 74 keys in the order they are written and read.
std::vector<Field> fields(modGlobals::Settings& s) {
    std::vector<Field> f = {
        {QStringLiteral("LANG"), &s.LANG, Value(QString())},
        {QStringLiteral("UNAME"), &s.UNAME, Value(modNetCom::GetLogonName())},
        {QStringLiteral("UCOL"), &s.UCOL, Value(qint32(0))},
        {QStringLiteral("UFNT"), &s.UFNT, Value(QStringLiteral("Arial"))},
        {QStringLiteral("UPN"), &s.UPN, Value(QString()), "LS_P_1"},
        {QStringLiteral("SFLD"), &s.SFLD, std::nullopt},
        {QStringLiteral("STARTUP"), &s.STARTUP, Value(qint16(0))},
        {QStringLiteral("ALGON"), &s.ALGON, Value(qint16(0)), "LS_P_2"},
        {QStringLiteral("ALTSND"), &s.ALTSND, Value(QStringLiteral("(System Beep)"))},
        {QStringLiteral("ALTPOS"), &s.ALTPOS, Value(qint16(1))},
        {QStringLiteral("CHTSNDBTN"), &s.CHTSNDBTN, Value(qint16(1))},
        {QStringLiteral("CHTSTY"), &s.CHTSTY, Value(qint16(1))},
        {QStringLiteral("CHTSND"), &s.CHTSND, Value(QStringLiteral("(System Beep)"))},
        {QStringLiteral("CHTPICS"), &s.CHTPICS, Value(qint16(1)), "LS_P_3"},
        {QStringLiteral("FM_KOT"), &s.FM_KOT, std::nullopt},
        {QStringLiteral("FM_PL"), &s.FM_PL, Value(qint32(-10000))},
        {QStringLiteral("FM_PT"), &s.FM_PT, Value(qint32(0))},
        {QStringLiteral("FM_PW"), &s.FM_PW, Value(qint32(0))},
        {QStringLiteral("FM_PH"), &s.FM_PH, Value(qint32(0))},
        {QStringLiteral("FM_PS"), &s.FM_PS, Value(qint16(0))},
        {QStringLiteral("FM_SB"), &s.FM_SB, std::nullopt},
        {QStringLiteral("FC_SB"), &s.FC_SB, std::nullopt, "LS_P_4"},
        {QStringLiteral("SKN"), &s.SKN, Value(QString())},
        {QStringLiteral("INV"), &s.INV, Value(qint16(0))},
        {QStringLiteral("BLC"), &s.BLC, Value(QString()), "LS_P_5"},
    };
    for (int i = 0; i < 3; ++i)
        f.push_back({QStringLiteral("AQR%1").arg(i), &s.AQR[i], std::nullopt});
    for (int i = 0; i < 10; ++i)
        f.push_back({QStringLiteral("CAT%1").arg(i), &s.CAT[i], std::nullopt, i == 9 ? "LS_P_6" : nullptr});
    f.push_back({QStringLiteral("GRPS"), &s.GRPS, Value(QString()), "LS_P_7"});
    f.push_back({QStringLiteral("SB_U"), &s.SB_U, Value(qint16(1))});
    f.push_back({QStringLiteral("SB_P"), &s.SB_P, Value(qint16(0))});
    f.push_back({QStringLiteral("SB_S"), &s.SB_S, Value(qint16(1))});
    f.push_back({QStringLiteral("SB_F"), &s.SB_F, Value(qint16(1)), "LS_P_8"});
    f.push_back({QStringLiteral("FBe"), &s.FBe, std::nullopt});
    for (int i = 0; i < 10; ++i) {
        f.push_back({QStringLiteral("FBt%1").arg(i), &s.FB[i].target, std::nullopt});
        f.push_back({QStringLiteral("FBa%1").arg(i), &s.FB[i].sendNow, std::nullopt});
        f.push_back({QStringLiteral("FBm%1").arg(i), &s.FB[i].text, std::nullopt});
    }
    return f;
}

[[noreturn]] void typeMismatch() {
    throw Failure{13, QStringLiteral("Type mismatch")};
}

// A stored value as a number, the way a numeric conversion reads it.
qint64 asNumber(const Value& v) {
    if (const auto* b = std::get_if<bool>(&v)) return *b ? -1 : 0;
    if (const auto* i = std::get_if<qint16>(&v)) return *i;
    if (const auto* i = std::get_if<qint32>(&v)) return *i;
    const QString text = std::get<QString>(v).trimmed();
    bool ok = false;
    const qint64 n = text.toLongLong(&ok);
    if (ok) return n;
    const double d = text.toDouble(&ok);
    if (ok && d > -9.2e18 && d < 9.2e18) return qRound64(d);
    if (text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) return -1;
    if (text.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) return 0;
    typeMismatch();
}

template <typename Int> Int asInteger(const Value& v) {
    const qint64 n = asNumber(v);
    if (n < std::numeric_limits<Int>::min() || n > std::numeric_limits<Int>::max())
        throw Failure{6, QStringLiteral("Overflow")};
    return static_cast<Int>(n);
}

QString asText(const Value& v) {
    if (const auto* s = std::get_if<QString>(&v)) return *s;
    if (const auto* b = std::get_if<bool>(&v)) return *b ? QStringLiteral("True") : QStringLiteral("False");
    return QString::number(asNumber(v));
}

void assign(const Target& target, const Value& v) {
    if (auto* const* s = std::get_if<QString*>(&target))
        **s = asText(v);
    else if (auto* const* i = std::get_if<qint16*>(&target))
        **i = asInteger<qint16>(v);
    else if (auto* const* i = std::get_if<qint32*>(&target))
        **i = asInteger<qint32>(v);
    else
        **std::get_if<bool*>(&target) = asNumber(v) != 0;
}

Value current(const Target& target) {
    return std::visit([](auto* p) { return Value(*p); }, target);
}

void report(const char* logPrefix, const Failure& failure) {
    const QString detail = QString::number(failure.number) + QStringLiteral(": ") + failure.description;
    modAppFnc::ShowMsg(modLangConst::Get(QStringLiteral("SubMain_Err2")) + LineBreak::kCrLf + detail, 0,
                       kErrorIcon);
    modAppFnc::WriteLog(QString::fromLatin1(logPrefix) + detail);
    modTerminate::Terminate();
}

QString accessError(const QString& why) {
    return why.isEmpty() ? QStringLiteral("Path/File access error") : why;
}
} // namespace

namespace modSettings {

QString SettingsPath() {
    return ProgramFolder::file(modGlobals::Run().SettingsFile);
}

bool SaveSettings() {
    modAppFnc::WriteLog(QStringLiteral("Saveing settings..."));
    try {
        const QString path = SettingsPath();
        SettingsBag bag;
        for (const Field& f : fields(modGlobals::Sets()))
            bag.write(f.key, current(f.target));
        // A new file beside the old one that takes its name only when complete: a crash or a
        // full disk in the middle leaves the previous settings whole.
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly)) throw Failure{75, accessError(file.errorString())};
        const QByteArray bytes = bag.contents();
        // A short write sets no error by itself: only the count tells of the full disk.
        if (file.write(bytes) != bytes.size()) {
            const Failure failure = file.error() == QFileDevice::NoError
                                        ? Failure{61, QStringLiteral("Disk full")}
                                        : Failure{75, accessError(file.errorString())};
            file.cancelWriting();
            throw failure;
        }
        if (!file.commit()) throw Failure{75, accessError(file.errorString())};
        modStartUp::SetStartUp(modGlobals::Sets().STARTUP);
    } catch (const Failure& failure) {
        report("Error In Saving Settings - ", failure);
        return false;
    }
    modAppFnc::WriteLog(QStringLiteral("---Settings saved."));
    return true;
}

bool LoadSettings() {
    modAppFnc::WriteLog(QStringLiteral("Loading settings..."));
    try {
        const QString path = SettingsPath();
        modAppFnc::WriteLog(QStringLiteral("F=") + path + QStringLiteral("<<<"));
        SettingsBag bag;
        if (QFileInfo::exists(path)) {
            QByteArray bytes;
            QString why;
            if (!FileRead::regularFile(path, kMaxSettingsBytes, bytes, &why))
                throw Failure{75, accessError(why)};
            if (!bag.setContents(bytes)) throw Failure{321, QStringLiteral("Invalid file format")};
        }
        modAppFnc::WriteLog(QStringLiteral("LS_P_0"));
        for (const Field& f : fields(modGlobals::Sets())) {
            if (const Value* stored = bag.read(f.key))
                assign(f.target, *stored);
            else if (f.def)
                assign(f.target, *f.def);
            if (f.logAfter) modAppFnc::WriteLog(QString::fromLatin1(f.logAfter));
        }
    } catch (const Failure& failure) {
        report("Error In Load Settings - ", failure);
        return false;
    }
    modAppFnc::WriteLog(QStringLiteral("---Settings loaded."));
    return true;
}

bool UseSettingsFile(const QString& name) {
    if (name.isEmpty()) return false;
    modGlobals::Run().SettingsFile = name;
    LoadSettings();
    return true;
}

} // namespace modSettings
