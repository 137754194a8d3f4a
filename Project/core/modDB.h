#pragma once
// The language table: a language file loaded whole, and its texts looked up by key.
#include <QString>

namespace modDB {
// Loads the table from a file; an empty path empties it. A file that is valid UTF-8 is read as
// UTF-8 (a byte-order mark dropped), any other as Windows-1252. False, with the table empty,
// when the file cannot be read, is not a regular file or holds more than 8 MiB.
bool LoadDB(const QString& path);
// True when the table is not empty.
bool DBLoaded();
// The text after the first "|" at or after the first occurrence of the key anywhere in the
// table (letter case ignored), up to the end of that line (CR LF, LF or CR). A missing key gives "", is
// logged each time and shown once per key.
QString GetDBString(const QString& key);

// The captions of one window: its controls' texts by the keys "<form>.<control>" and, for a
// control array, "<form>.<control>(<index>)"; a caption several windows share has a key of its
// own. Each is GetDBString's text of its key.
//   const modDB::Captions t("frmMain");
//   cmdStat->SetCaption(t("cmdStat"));       // "frmMain.cmdStat"
//   cmdSB[i]->SetCaption(t("cmdSB", i));     // "frmMain.cmdSB(0)" ...
//   mnuEdit->setTitle(t.Shared("mnuEdit"));  // "mnuEdit"
class Captions {
  public:
    explicit Captions(const char* form) : form_(QString::fromLatin1(form)) {}
    QString operator()(const char* control) const;
    QString operator()(const char* control, int index) const;
    static QString Shared(const char* key);

  private:
    QString form_;
};
} // namespace modDB
