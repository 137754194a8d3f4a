#pragma once
// The settings values (named after their keys in the settings file) and the start-up state
// shared by every module and window of the messenger. One state object each, reached
// through Sets() and Run().
#include <QString>
#include <array>

namespace modGlobals {

// The field separator of every datagram, user record, user list, group line and block list.
inline constexpr QChar kSep = QChar(1);
inline const QString& Sep() {
    static const QString s(kSep);
    return s;
}

struct SoftButton {
    QString target; // "(All)", a group name, or empty for a hidden button
    qint16 sendNow = 0;
    QString text;
};

struct Settings {
    QString LANG;
    QString UNAME;
    qint32 UCOL = 0;
    QString UFNT = QStringLiteral("Arial");
    QString UPN;
    QString SFLD;
    qint16 STARTUP = 0;
    qint16 ALGON = 0;
    QString ALTSND = QStringLiteral("(System Beep)");
    qint16 ALTPOS = 1;
    qint16 CHTSNDBTN = 1;
    qint16 CHTSTY = 1;
    QString CHTSND = QStringLiteral("(System Beep)");
    qint16 CHTPICS = 1;
    bool FM_KOT = false;
    qint32 FM_PL = -10000;
    qint32 FM_PT = 0;
    qint32 FM_PW = 0;
    qint32 FM_PH = 0;
    qint16 FM_PS = 0;
    bool FM_SB = true;
    bool FC_SB = true;
    QString SKN;
    qint16 INV = 0;
    QString BLC;
    std::array<QString, 3> AQR;
    std::array<QString, 10> CAT;
    QString GRPS;
    qint16 SB_U = 1;
    qint16 SB_P = 0;
    qint16 SB_S = 1;
    qint16 SB_F = 1;
    qint16 FBe = 0;
    std::array<SoftButton, 10> FB;
};

struct RunState {
    qint16 Started = 0;
    qint16 NoLog = 0;
    qint16 NetLog = 0;
    QString ExitPassword;
    QString SettingsFile = QStringLiteral("User.con");
    qint16 OwnStatus = 0;     // UserStatus of the local user: 0 Online, 1 Busy, 2 Away
    qint16 PopupHide = 0;     // switch "pmh"
    qint16 SpeedBarSlide = 1; // switch "sbl" sets 0
    qint16 ChatKeepOnTop = 0;
    QString CommandLine; // the program's arguments joined by blanks
};

// The standard 16-colour palette of user colours, as 0x00BBGGRR; 0 for an index outside 0..15.
quint32 PaletteColor(int index);
inline constexpr int kPaletteSize = 16;

Settings& Sets();
RunState& Run();

} // namespace modGlobals
