#pragma once
// The update program's start and the installed messenger's version, which every window and
// module of the program reads.
#include <QString>
#include <QtGlobal>
#include <optional>

namespace AutoUpdate::modMain {

struct Values {
    QString InstalledVersion;  // as found ("3.00.0009"); only ever replaced by a non-empty text
    qint16 InstalledMajor = 0; // 0 when no version is found
    qint16 InstalledMinor = 0;
    qint16 InstalledRevision = 0;
    bool SkinsMode = false; // the main window works on the skin list instead of the update list
};
Values& Run();

// One part of a version text as a number: decimal digits, at most 32767; nullopt otherwise.
std::optional<qint16> VersionPart(const QString& text);
// Probes the messenger beside this program and sets the version values.
void ReadInstalledVersion();
// The program's start: reads the version and shows the intro window.
void Main();

} // namespace AutoUpdate::modMain
