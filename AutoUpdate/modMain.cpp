#include "AutoUpdate/modMain.h"

#include "AutoUpdate/frmIntro.h"
#include "AutoUpdate/modFileInfo.h"

namespace AutoUpdate::modMain {

Values& Run() {
    static Values v;
    return v;
}

std::optional<qint16> VersionPart(const QString& text) {
    if (text.isEmpty()) return std::nullopt;
    for (const QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return std::nullopt;
    bool ok = false;
    const qlonglong v = text.toLongLong(&ok);
    if (!ok || v > 32767) return std::nullopt;
    return static_cast<qint16>(v);
}

void ReadInstalledVersion() {
    const QString text = modFileInfo::GetProductVersion();
    Values& v = Run();
    if (text.isEmpty()) {
        v.InstalledMajor = v.InstalledMinor = v.InstalledRevision = 0;
        return;
    }
    v.InstalledVersion = text;
    // Major before the first ".", minor up to the next, the revision is the rest.
    const qsizetype first = text.indexOf(QLatin1Char('.'));
    const qsizetype second = first < 0 ? -1 : text.indexOf(QLatin1Char('.'), first + 1);
    // A part that is missing or no number reads 0.
    v.InstalledMajor = VersionPart(first < 0 ? text : text.left(first)).value_or(0);
    v.InstalledMinor =
        first < 0 ? 0 : VersionPart(text.mid(first + 1, second < 0 ? -1 : second - first - 1)).value_or(0);
    v.InstalledRevision = second < 0 ? 0 : VersionPart(text.mid(second + 1)).value_or(0);
}

void Main() {
    ReadInstalledVersion();
    frmIntro* intro = frmIntro::Open();
    intro->show();
    intro->activateWindow();
}

} // namespace AutoUpdate::modMain
