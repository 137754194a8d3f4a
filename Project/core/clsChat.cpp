#include "core/clsChat.h"

#include "platform/Ansi.h"

#include <QSet>

bool clsChat::Init(const QString& sMail) {
    name_ = sMail;
    error_ = 0;
    if (slot_.create(sMail) != Mailslot::kInvalidHandle) return true;
    error_ = 1;
    return false;
}

bool clsChat::SendMessage(const QString& PopFrom, const QString& PopTo, const QString& MsgText,
                          QString* why) {
    QByteArray bytes = Ansi::encode(PopFrom);
    bytes.append('\0');
    bytes.append(Ansi::encode(MsgText));
    return Mailslot::send(PopTo, name_, bytes, why);
}

QStringList clsChat::GetMessages() {
    QStringList result;
    QSet<QString> seen;
    qint64 size = 0;
    int count = 0;
    QByteArray bytes;
    while (slot_.info(size, count) && count != 0) {
        if (!slot_.read(size, bytes)) break;
        QString text = Ansi::decode(bytes);
        if (seen.contains(text)) continue;
        seen.insert(text);
        result.append(std::move(text));
    }
    return result;
}

void clsChat::CloseHnd() {
    slot_.close();
}
