#pragma once
// The users heard on the network as the main window lists them: each name beside its record,
// my blocks of them, the selection, and the counts of the status line. No widget: the main
// window draws it and clicks on it, the speed bar and the conversation windows (through
// MainWindowLink) read it, and the network layer fills its two lists (NetOwner).
#include "core/NetOwner.h"
#include "core/PeerInfo.h"

#include <QString>
#include <QStringList>
#include <QVariant>

class Roster {
  public:
    // A record's fields, numbered as modAppFnc::GetField counts them, each followed by the
    // separator: the name, the colour (0x00BBGGRR as text), the status ("0" Online, "1" Busy,
    // "2" Away), the font name, "1" when selected here, and "1" when that user accepts me
    // (does not block me).
    enum Field { kName = 1, kColour, kStatus, kFont, kSelected, kAccepts };
    static constexpr int kFields = 6;

    // The record of a user just heard: colour 0, Online, "Arial", not selected, accepts me.
    static QString NewRecord(const QString& name);
    // `record` with one field replaced (fields it lacks become empty).
    static QString WithField(const QString& record, int field, const QString& value);

    // The names, sorted, and index for index beside them their records: the network layer's
    // lstUsers and lstUStat.
    OwnerList names{true};
    OwnerList records{true};

    int Count() const { return names.ListCount(); }
    // Field `field` of row `index`; "" for a row that is not there.
    QString Field(int index, int field) const;
    // The row of the first name equal to `name` ignoring letter case; -1 when it is not listed.
    int IndexOf(const QString& name) const;
    bool IsOnLine(const QString& name) const { return IndexOf(name) >= 0; }

    // What MainWindowLink::GetUserInfo answers (`what` as there). My own name, in any letter
    // case, answers from my settings; with nobody listed every other answer is ""; a name not
    // listed answers as a newcomer would, never with another user's values.
    QVariant GetUserInfo(const QString& name, int what) const;
    // Its colour and font as PeerInfo::LookFrom reads them, from one search of the rows.
    PeerInfo::Look GetUserLook(const QString& name) const;
    // The icon of the row: 0 to 2 the status, 3 blocked by me; -1 for a status that is none of
    // those (a peer's made-up one draws no icon).
    int GetUserPic(const QString& name) const;

    // Blocks are the names in the block list BLC of the settings. Blocking or unblocking tells
    // that user ("V" datagrams); my own name and a name already in that state change nothing.
    bool IsBlocked(const QString& name) const;
    void AddBlock(const QString& name);
    void RemBlock(const QString& name);

    // --- the selection ---
    int GetNSel() const;
    // "1" for "0", "0" for anything else.
    static QString InvSel(const QString& value);
    // Selects row `index` ("0" deselects, anything else selects); nothing for a row not there.
    void ListSetSel(int index, const QString& value);
    // A press of mouse `button` (1 left, 2 right, 4 middle) with `shift` (1 Shift, 2 Ctrl) on
    // row `row` (one past the end or more: below the list), the last press having been on
    // `anchor` (-1 none). Left selects the row alone, right adds it, middle and left below
    // the list clear; Shift selects from the anchor to the row, Ctrl turns the row over.
    // Returns the new anchor: the row, or -1 below the list and for the middle button.
    int Press(int row, int button, int shift, int anchor);

    // --- the counts ---
    // How many of the blocked users are listed.
    int BlockedOnLine() const;
    // The status line: "<n> Users Online", with " (-<b>)" when b blocked users are listed.
    QString StatusText() const;
    // The names the speed bar shows under its filter (SB_F): 0 all, 1 not blocked by me,
    // 2 not Away, 3 Online only.
    QStringList ForSpeedBar(int filter) const;

  private:
    // The record of a listed user; a newcomer's for a name not listed ("" with nobody listed).
    QString recordOf(const QString& name) const;
};
