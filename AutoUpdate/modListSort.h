#pragma once
// The update and skin lists: records of ten "|"-separated fields, the visible titles beside them,
// and the filters that drop what is already installed. Paths in records come from the web site:
// folder fields use "\" as separator, and a name that would reach outside its folder or holds a
// control character is refused (and counts as absent). Filling, filtering and removing are
// linear in the number of records: a list may hold hundreds of thousands.
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

namespace AutoUpdate::modListSort {

// Notices that stand alone in the visible list; they are no records.
inline constexpr char kChecking[] = "Checking online listings";
inline constexpr char kAllUpdates[] = "All updates installed";
inline constexpr char kAllSkins[] = "All skins installed";

struct Lists {
    QStringList lstUDL;     // the full records
    QStringList lstUpdates; // field 1 of each record, index by index; or one notice alone
    bool notice = false;    // lstUpdates holds a notice, not titles
    bool enabled = true;    // whether the visible list can be chosen from

    // Removes the record and, unless a notice stands, its title.
    void removeAt(qsizetype i);
    // Keeps the records whose `keep` is true (one per record), in order, with their titles.
    void keepOnly(const std::vector<bool>& keep);
    // Clears the visible list, puts the notice alone into it and disables it.
    void showNotice(const QString& text);
    // The record behind a visible entry; nullopt for a notice, no selection or no record there.
    std::optional<QString> recordAt(int visibleIndex) const;
};

using Status = std::function<void(const QString&)>;

// Field n of a record, counted from 1 (Fields::Get).
QString Field(const QString& record, qint32 n);

// The text after the last "/", or the whole text.
QString FileNameFromUrl(const QString& text);

// Where a record's files are installed and looked for: program upgrades and other files (kinds
// 1 and 2) beside the programs, everything else (language files, skins) in the data folder
// (QX3_HOME, else the same folder), where the messenger reads them.
enum class Root { Programs, Data };
Root RootOf(const QString& record);
QString RootPath(Root root);
// The file `name` under a root, in the folder written in a record's field (`folderField`, such
// as "\Lang"), then in `sub` ("" for none). Existing folders are matched ignoring case. "" when
// the folder climbs out or is absolute, a part of it or `name` is no plain name (a control
// character, a resource path) or is too long for the file system.
QString ProgramPath(Root root, const QString& folderField, const QString& sub, const QString& name);

// Splits the items of a list file into records at each CR LF (characters after the last one are
// dropped) and fills both lists: a kind "1" record that is not newer than the installed version
// is left out. False when a kind "1" version is malformed; the lists then hold what they had
// reached.
bool FillLists(Lists& lists, const QString& items);
// Drops installed records of the update list. False when a language file's check copy cannot
// be read (the walk ends there).
bool RestrictUpdatesList(Lists& lists, const Status& status);
// Drops installed skins of the skin list.
void RestrictSkinsList(Lists& lists, const Status& status);

} // namespace AutoUpdate::modListSort
