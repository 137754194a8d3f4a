#pragma once
// The network layer: opens the transport for one owner window, frames every command as a
// datagram that carries the own name, polls the own slot and acts on each command letter.
#include "platform/Mailslot.h"

#include <QString>

class NetOwner;
class clsChat;

namespace modNetCmds {

inline const QString kSlotName = QStringLiteral("QX3");
// The longest sender name a datagram is acted on for: a copy signs in with at most 20
// characters, and every name heard is measured and drawn.
inline constexpr int kMaxSenderName = 64;

void OpenNetCom(NetOwner* owner, const QString& name);
void CloseNetCom(qint16 mode);
void SendUserData();
// `data` is the letter followed by its payload; the own name and a separator go in front.
void SendData(const QString& data);
void PollData();
// `text` is a datagram after its leading NUL; `from` is where it came from, when known.
void ParseData(const QString& text, const DatagramSource& from = {});
// True while a datagram is being dispatched (nested loops inside a handler included).
bool Dispatching();
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
