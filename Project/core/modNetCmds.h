#pragma once
// The network layer: opens the transport for one owner window, frames every command as a
// datagram that carries the own name, polls the own slot and acts on each command letter.
#include "core/NetOwner.h"
#include "platform/Mailslot.h"

#include <QString>

class clsChat;

namespace modNetCmds {

inline const QString kSlotName = QStringLiteral("QX3");
// The longest sender name a datagram is acted on for: a copy signs in with at most 20
// characters, and every name heard is measured and drawn.
inline constexpr int kMaxSenderName = 64;
// The most names a list holds, well above any office; past it a new name is not listed (the
// log says so once per opening), so a flood of made-up senders cannot grow it without end.
inline constexpr int kMaxUsers = 2000;
// Newcomers are answered with my presence at most once in this time (ms): the first at the end
// of the poll that heard it, those heard within the interval together when it ends. So no
// flood multiplies my datagrams, and a newcomer still hears me within one timer poll.
inline constexpr int kPresenceInterval = NetOwner::kPollInterval;

void OpenNetCom(NetOwner* owner, const QString& name);
void CloseNetCom(qint16 mode);
// My five presence datagrams (colour, status, font, logon and computer name), at once; they
// answer every newcomer heard so far.
void SendUserData();
// `data` is the letter followed by its payload; the own name and a separator go in front.
// False when the datagram could not be sent; the first such failure after each open of the layer
// is logged with the system's reason.
bool SendData(const QString& data);
// One sender per command letter, so that each datagram's layout stands once, beside the case of
// ParseData that reads it (␁ is the separator). Each answers as SendData does.
bool SendAlert(const QString& to, const QString& text);                         // "A" to␁text␁
bool SendChatLine(const QString& to, const QString& text, const QString& code); // "H" to␁text␁code␁
bool SendBlockNotice(const QString& to, const QString& accepts);                // "V" to␁flag␁
bool SendInfoRequest(const QString& to, const QString& what);                   // "R" to␁what
bool SendInfoReply(const QString& to, const QString& text);                     // "I" to␁text
// The file transfer's letters; F is the file's path as the sender chose it.
bool SendFileOffer(const QString& to, const QString& F);                         // "1" to␁F␁
bool SendFileAnswer(const QString& to, const QString& answer, const QString& F); // "2" to␁y|n|c␁F␁
bool SendFileSize(const QString& to, const QString& F, qint64 size);             // "3" to␁F␁size␁
bool SendFileReady(const QString& to, const QString& F);                         // "4" to␁F␁
bool SendFileAck(const QString& to);                                             // "5" to␁
// The chunk's bytes one a character, separators included, to the datagram's end.
bool SendFileChunk(const QString& to, const QByteArray& chunk); // "6" to␁chunk
bool SendFileEnd(const QString& to);                            // "7" to␁
// Dispatches every waiting datagram in one pass; the list is redrawn once, and newcomers
// answered, at the end of the pass.
void PollData();
// `text` is a datagram after its leading NUL; `from` is where it came from, when known.
// Outside a poll (a direct call) each list change is drawn at once.
void ParseData(const QString& text, const DatagramSource& from = {});
// True while a datagram is being dispatched (nested loops inside a handler included).
bool Dispatching();
// Lists a name not yet listed (ignoring case), unless the list holds kMaxUsers names.
void AddUser(const QString& name);
// Index of the first listed name equal to `name` ignoring case; 0 when there is none.
qint16 FindUser(const QString& name);
void RemoveUser(const QString& name);

NetOwner* OwnerForm();
QString MyName();
bool IsOpen();
qint16 DataReceived();
void SetDataReceived(qint16 value);
qint16 XferFile();
void SetXferFile(qint16 value);
// The transport, created on the first open (nullptr before).
clsChat* Transport();
// Called when an owner window goes away, so the layer never reaches a dead window.
void OwnerGone(NetOwner* owner);

} // namespace modNetCmds
