#pragma once
// The application functions every part of the messenger calls: the log, whole-file reading,
// the modal wait, messages, sounds, the name rule, text and list procedures, links, the
// work area and the companion programs.
#include <QString>
#include <QStringList>
#include <vector>

class QTextDocument;
class QWidget;

namespace modAppFnc {

inline constexpr int kMaxNestedMessages = 4;

void WriteLog(const QString& text);
// The whole file, each line followed by CR LF (LF, CR LF and CR all end a line); "" when empty
// or unreadable.
QString ReadTextFile(const QString& path);
// The same for bytes already read, as Windows-1252.
QString TextLines(const QByteArray& bytes);
// The same for text already decoded.
QString TextLines(const QString& all);
// Returns after `ms` milliseconds. The wait is modal: the windows take no input meanwhile, while
// events, timers and the network poll run.
void Delay(int ms);
// The modal message window; returns 0 for OK or Yes, 1 for No.
int ShowMsg(const QString& text, int buttons, int icon);
void PlaySnd(const QString& setting);
bool IsValidName(const QString& name);
// "(All)" in any letter case: the address of everybody, which no user may take as a name.
bool IsEveryoneName(const QString& name);
QString ProperCase(const QString& text);
// The text without the blanks (spaces only) at either end, as typed names and paths are trimmed.
QString TrimBlanks(const QString& text);
qint32 CountStr(const QString& text, const QString& sub);
QString GetField(const QString& text, qint32 n, QChar sep);
// The names of a user list (each name followed by the separator), fields 1 to the count of
// separators: text after the last separator is no name.
QStringList ListNames(const QString& userList);
QString ReplaceAll(const QString& text, const QString& find, const QString& replacement);
// Text for showing: CR LF, LF and a lone CR each become one line break ("\n").
QString PlainLines(const QString& text);
QString FileFromPath(const QString& path);
QString FolderFromPath(const QString& path);
bool NetworkPresent();
void OpenLink(const QString& link);
// Left (0), top (1), right (2) or bottom (3) of the work area of the window's screen, in twips.
qint32 GetWorkArea(int index, const QWidget* window);
void RunUpdate();
// Offers a file to the one user of the user list `users` (clsFileXfer.cpp); `owner` owns the dialog.
void SendFileTo(const QString& users, QWidget* owner = nullptr);
void RunHelp();
// Re-skins the main window and every visible chat window (SkinnableWindow.cpp).
void ApplySkinAll();

// Alert routing (AlertRouting.cpp). What arrives opens at most this many windows of a kind at
// a time; past that it opens none, and the log says so once.
inline constexpr int kMaxNetworkPops = 50;
inline constexpr int kMaxNetworkInfos = 10;
// How long after a request its answer is awaited, in milliseconds.
inline constexpr qint64 kInfoAnswerMs = 60000;
// An alert from a user I block is dropped; otherwise it opens a pop-up with ALTSND (none past
// the bound) and goes into the history.
void ShowAlertPop(const QString& text, const QString& sender);
// An answer to one of our requests of the last kInfoAnswerMs opens a window of its own, with the
// system beep; each request is answered once, and any other answer opens nothing.
void ShowUserInfo(const QString& text, const QString& sender);
// One "R" request per listed user: mode 0 the phone number, 1 the logon name; any other mode
// sends nothing.
void RequestUserInfo(const QString& userList, int mode);
// Tests shorten the time an answer is awaited; 0 puts kInfoAnswerMs back.
void SetInfoAnswerMs(qint64 ms);
// Chat routing (AppRouter.cpp). `packet` is the text, one separator and the chat code.
// Hands a line to every room that holds its sender; a first line ("0") from somebody in no
// room opens a room for him with the new-chat sound. Blocked senders, and every line while
// no main window is loaded, are dropped, and so is a first line while kMaxNetworkRooms rooms
// are open (the log says so once).
inline constexpr int kMaxNetworkRooms = 50;
void RouteChatMsg(const QString& packet, const QString& sender);
// Opens and shows a room with each name of the list (names each followed by the separator);
// an empty list opens an empty room.
void LoadChatWindow(const QString& userList);
bool UserInChat(const QString& name);

// The one comparison of names: ASCII letters folded to lower case, then ordinal.
int CompareNoCase(const QString& a, const QString& b);
bool SameNoCase(const QString& a, const QString& b);
QString LowerAscii(const QString& text);

// Chat pictures: the shortcut codes of each of the fifteen pictures and the text that
// replaces them; the hidden image window registers the texts.
struct ChatPicture {
    QString text; // what a code is replaced by
    QString tag;  // the codes, each followed by one blank
};
const std::vector<ChatPicture>& ChatPictures();
void SetChatPictureTexts(const std::vector<QString>& texts);
QString InsertPictures(const QString& text);
// The same pass over a transcript document, from paragraph `firstBlock` to the end: each code
// becomes the image of its picture (resource frmImgs::ChatPictureUrl) in the code's own
// character format, the code kept in kPictureCodeProperty. Codes never span paragraphs.
inline constexpr int kPictureCodeProperty = 0x100000 + 1; // QTextFormat::UserProperty + 1
void InsertPictures(QTextDocument* doc, int firstBlock);

} // namespace modAppFnc

namespace modAPIFunc {
void PlayWave(const QString& path, bool wait);
void SetTopMost(QWidget* window, bool topMost);
} // namespace modAPIFunc
