#include "AutoUpdate/modAppFnc.h"

#include "AutoUpdate/modMain.h"
#include "platform/Ansi.h"
#include "platform/Fields.h"
#include "platform/FileRead.h"
#include "platform/ItemReader.h"
#include "platform/LineBreak.h"

#include <QStringList>
#include <tuple>

namespace AutoUpdate::modAppFnc {

std::optional<QString> ReadListFile(const QString& path) {
    QByteArray bytes;
    if (!FileRead::regularFile(path, kMaxListSize, bytes)) return std::nullopt;
    ItemReader in(Ansi::decode(bytes));
    QString out;
    while (const std::optional<QString> item = in.next())
        out += *item + LineBreak::kCrLf;
    return out;
}

QString GetField(const QString& text, qint32 n, QChar sep) {
    return Fields::Get(text, n, sep);
}

std::optional<bool> IsNewerVersion(const QString& listed) {
    if (listed == QLatin1String("-")) return true;
    const QStringList parts = listed.split(QLatin1Char('.'));
    if (parts.size() != 3) return std::nullopt;
    qint16 n[3] = {};
    for (int i = 0; i < 3; ++i) {
        const std::optional<qint16> part = modMain::VersionPart(parts.at(i));
        if (!part) return std::nullopt;
        n[i] = *part;
    }
    const modMain::Values& v = modMain::Run();
    return std::tie(n[0], n[1], n[2]) > std::tie(v.InstalledMajor, v.InstalledMinor, v.InstalledRevision);
}

} // namespace AutoUpdate::modAppFnc
