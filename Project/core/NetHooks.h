#pragma once
// Where the network layer hands over what later parts of the messenger act on: alerts,
// chat lines and information replies (routing), the file-transfer letters, and the chat
// windows that close with the layer. Each hook does nothing until a window or test fills its slot.
#include "platform/Mailslot.h"
#include "platform/Slot.h"

#include <QChar>
#include <QString>

namespace NetHooks {

class Router {
  public:
    virtual ~Router() = default;
    virtual void ShowAlertPop(const QString& text, const QString& sender) = 0;
    virtual void RouteChatMsg(const QString& data, const QString& sender) = 0;
    virtual void ShowUserInfo(const QString& text, const QString& sender) = 0;
};

class FileTransfer {
  public:
    virtual ~FileTransfer() = default;
    // One of the letters "1" to "7" from `sender`, sent from `from` (all zero when not known);
    // payload is everything after the letter.
    virtual void OnData(QChar letter, const QString& sender, const QString& payload,
                        const DatagramSource& from) = 0;
    // The network layer is closing or opening.
    virtual void NetReset() {}
};

class ChatWindows {
  public:
    virtual ~ChatWindows() = default;
    virtual void CloseAll() = 0;
    // True when an open chat window holds the user.
    virtual bool HasUser(const QString& name) = 0;
};

Slot<Router>& router();
Slot<FileTransfer>& fileTransfer();
Slot<ChatWindows>& chatWindows();

} // namespace NetHooks
