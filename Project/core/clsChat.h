#pragma once
// The one transport object of the program: owns the local mailslot, writes datagrams to the
// slot of the same name on every computer, and drains its own slot when asked.
#include "platform/Mailslot.h"

#include <QString>
#include <QStringList>

class clsChat {
  public:
    clsChat() = default;
    ~clsChat() { CloseHnd(); }
    clsChat(const clsChat&) = delete;
    clsChat& operator=(const clsChat&) = delete;

    // Opens the local slot. False when that fails: GetError() is then 1 and ErrorText() says why.
    bool Init(const QString& sMail);
    // Bytes: PopFrom, one NUL, MsgText, in Windows-1252, with no terminator. False when the
    // datagram could not be sent, with the system's reason in `why` where one is given.
    bool SendMessage(const QString& PopFrom, const QString& PopTo, const QString& MsgText,
                     QString* why = nullptr);
    // The distinct datagrams waiting now, in arrival order; never blocks.
    QStringList GetMessages();
    void CloseHnd();
    qint16 GetError() const { return error_; }
    const QString& ErrorText() const { return slot_.errorText(); }
    int Handle() const { return slot_.handle(); }

  private:
    QString name_;
    Mailslot slot_;
    qint16 error_ = 0;
};
