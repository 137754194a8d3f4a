#pragma once
// Where the network layer hands over what later parts of the messenger act on: alerts,
// chat lines and information replies (routing), the file-transfer letters, and the chat
// windows that close with the layer. Each hook is optional; an unset hook does nothing.
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
    // One of the letters "1" to "7" from `sender`; payload is everything after the letter.
    virtual void OnData(QChar letter, const QString& sender, const QString& payload) = 0;
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

void SetRouter(Router* r);
void SetFileTransfer(FileTransfer* f);
void SetChatWindows(ChatWindows* c);
Router* router();
FileTransfer* fileTransfer();
ChatWindows* chatWindows();

} // namespace NetHooks
