#include "core/modNetCmds.h"

#include "core/MessageService.h"
#include "core/NetHooks.h"
#include "core/NetMessages.h"
#include "core/NetOwner.h"
#include "core/Roster.h"
#include "core/clsChat.h"
#include "core/modAppFnc.h"
#include "core/modGlobals.h"
#include "core/modLangConst.h"
#include "core/modNetCom.h"
#include "platform/Ansi.h"
#include "platform/LineBreak.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

namespace {
using modGlobals::Sep;

constexpr int kBystanderRestMs = 10;

struct State {
    NetOwner* owner = nullptr;
    QString myName;
    std::unique_ptr<clsChat> chat;
    std::unique_ptr<QSocketNotifier> arrival; // polls as soon as a datagram waits
    bool open = false;
    qint16 dataReceived = 0;
    qint16 xferFile = -1;
    int dispatching = 0;            // ParseData calls under way, nested ones counted
    int passes = 0;                 // PollData passes under way, nested ones counted
    bool redrawDue = false;         // a list change of this pass not drawn yet
    bool presenceDue = false;       // somebody listed since my last presence
    QElapsedTimer sincePresence;    // since my last presence; invalid before the first
    QPointer<QTimer> presenceTimer; // ends the interval; lives as long as the application
    bool fullLogged = false;        // the full list was logged since the layer opened
    bool sendFailed = false;        // a failed send has been logged since the layer opened
    // One batch per depth of nested passes: a handler's own poll must not overwrite what the
    // pass around it is still working through.
    std::vector<std::unique_ptr<DatagramBatch>> batches;
};
State& st() {
    static State s;
    return s;
}

using LineBreak::kCrLf;

OwnerList* users() {
    return st().owner ? st().owner->lstUsers() : nullptr;
}
OwnerList* stats() {
    return st().owner ? st().owner->lstUStat() : nullptr;
}
// Inside a poll the owner draws once, at the end of the pass; a change outside a poll is
// drawn at once.
void listChanged() {
    if (st().passes > 0)
        st().redrawDue = true;
    else if (st().owner)
        st().owner->UListChange();
}

// Answers the newcomers: at once when my last presence is an interval old, otherwise once,
// when the interval ends. Nothing goes out from a closed layer.
void answerPresence() {
    State& s = st();
    if (!s.presenceDue || !s.open) return;
    const qint64 wait =
        s.sincePresence.isValid() ? modNetCmds::kPresenceInterval - s.sincePresence.elapsed() : 0;
    if (wait <= 0) {
        modNetCmds::SendUserData();
        return;
    }
    if (!s.presenceTimer) {
        s.presenceTimer = new QTimer(QCoreApplication::instance());
        s.presenceTimer->setSingleShot(true);
        s.presenceTimer->setTimerType(Qt::PreciseTimer);
        QObject::connect(s.presenceTimer, &QTimer::timeout, [] { answerPresence(); });
    }
    if (!s.presenceTimer->isActive()) s.presenceTimer->start(static_cast<int>(wait));
}

void stopPresence() {
    st().presenceDue = false;
    if (st().presenceTimer) st().presenceTimer->stop();
}

// One poll pass, nested ones counted; the last change of the pass is drawn and the newcomers
// are answered as it ends, after every datagram of the pass has been dispatched.
struct Pass {
    Pass() { ++st().passes; }
    ~Pass() {
        --st().passes;
        if (std::exchange(st().redrawDue, false) && st().owner) st().owner->UListChange();
        answerPresence();
    }
    Pass(const Pass&) = delete;
    Pass& operator=(const Pass&) = delete;
};

bool forMe(const QString& target) {
    return modAppFnc::LowerAscii(target) == modAppFnc::LowerAscii(modGlobals::Sets().UNAME);
}

// The "I" reply to an "R" request from `asker`: my phone number for "P", my logon name for "U",
// an empty one for anything else.
void answerRequest(const QString& asker, const QString& what) {
    QString text;
    if (what == QLatin1String("P"))
        text = modLangConst::Get(QStringLiteral("NetCmd_PhoneSendMsg")) + modGlobals::Sets().UPN;
    else if (what == QLatin1String("U"))
        text = modLangConst::Get(QStringLiteral("NetCmd_UNameSendMsg")) + modNetCom::GetLogonName();
    modNetCmds::SendInfoReply(asker, text);
}

// Index of the first listed name equal to `name` ignoring case; -1 when there is none (the
// public FindUser answers 0 then, which is also the first entry's index).
int indexOfUser(const QString& name) {
    const OwnerList* names = users();
    return names ? names->IndexOfNoCase(name) : -1;
}

// Rebuilds the sender's record with one field replaced; a sender not listed changes nothing.
void setRecordField(const QString& sender, int field, const QString& value) {
    OwnerList* recs = stats();
    if (!recs) return;
    const int idx = indexOfUser(sender);
    if (idx < 0 || idx >= recs->ListCount()) return;
    recs->SetList(idx, Roster::WithField(recs->List(idx), field, value));
    listChanged();
}

// Counts a dispatch for its lifetime; the last one to end lets waiting messages be shown.
struct Dispatch {
    Dispatch() { ++st().dispatching; }
    ~Dispatch() {
        if (--st().dispatching == 0) NetMessages::DispatchEnded();
    }
    Dispatch(const Dispatch&) = delete;
    Dispatch& operator=(const Dispatch&) = delete;
};

// Only the text before a separator can go into a record field, so no field can shift.
QString fieldValue(const QString& payload) {
    const qsizetype i = payload.indexOf(modGlobals::kSep);
    return i < 0 ? payload : payload.left(i);
}
// What every datagram does before its letter: the sender is listed, unless the name is too
// long or a listening window's (false: the datagram is not acted on). The own name is neither.
bool heard(const QString& sender) {
    if (sender.size() > modNetCmds::kMaxSenderName) return false;
    if (sender == st().myName) return true;
    if (sender.startsWith(QLatin1Char('\\'))) return false;
    modNetCmds::AddUser(sender);
    return true;
}

// Every chunk and acknowledgement of every transfer on the network reaches every copy: one
// addressed to another name is dropped once its sender is heard, after decoding only the sender
// and the target. `text` is the datagram after its leading NUL.
bool droppedAsOthersTransfer(QByteArrayView text) {
    if (modGlobals::Run().NetLog == 1) return false; // the log shows every datagram whole
    const char* at = text.data();
    const char* end = at + text.size();
    const char sep = char(modGlobals::kSep.unicode());
    const char* sepAt = static_cast<const char*>(std::memchr(at, sep, text.size()));
    if (!sepAt || sepAt + 1 >= end || sepAt[1] < '1' || sepAt[1] > '7') return false;
    const char* target = sepAt + 2;
    const char* targetEnd = static_cast<const char*>(std::memchr(target, sep, end - target));
    if (forMe(Ansi::decode(target, (targetEnd ? targetEnd : end) - target))) return false;
    const Dispatch inDispatch;
    heard(Ansi::decode(at, sepAt - at));
    return true;
}
} // namespace

namespace modNetCmds {

NetOwner* OwnerForm() {
    return st().owner;
}
QString MyName() {
    return st().myName;
}
bool IsOpen() {
    return st().open;
}
qint16 DataReceived() {
    return st().dataReceived;
}
void SetDataReceived(qint16 value) {
    st().dataReceived = value;
}
qint16 XferFile() {
    return st().xferFile;
}
void SetXferFile(qint16 value) {
    st().xferFile = value;
}
clsChat* Transport() {
    return st().chat.get();
}

void OwnerGone(NetOwner* owner) {
    if (st().owner == owner) st().owner = nullptr;
}

void OpenNetCom(NetOwner* owner, const QString& name) {
    modAppFnc::WriteLog(QStringLiteral("Opening NetCom..."));
    NetHooks::fileTransfer()->NetReset();
    st().arrival.reset(); // before the handle it watches is replaced
    st().owner = owner;
    st().myName = name;
    st().xferFile = -1;
    st().fullLogged = false;
    st().sendFailed = false;
    if (!st().chat) st().chat = std::make_unique<clsChat>();
    if (!st().chat->Init(kSlotName))
        modAppFnc::WriteLog(QStringLiteral("    The mailslot could not be opened: ") +
                            st().chat->ErrorText());
    st().open = true;
    if (owner && owner->PollOnArrival() && st().chat->Handle() >= 0) {
        st().arrival = std::make_unique<QSocketNotifier>(st().chat->Handle(), QSocketNotifier::Read);
        QObject::connect(st().arrival.get(), &QSocketNotifier::activated, [] { PollData(); });
    }
    SendUserData();
    QCoreApplication::processEvents();
    PollData();
    modAppFnc::WriteLog(QStringLiteral("---NetCom loaded."));
}

void SendUserData() {
    stopPresence(); // these answer everybody heard so far
    st().sincePresence.start();
    const auto& s = modGlobals::Sets();
    modAppFnc::WriteLog(QStringLiteral("    Sending user data..."));
    SendData(QStringLiteral("C") + QString::number(s.UCOL));
    SendData(QStringLiteral("S") + QString::number(modGlobals::Run().OwnStatus));
    SendData(QStringLiteral("F") + s.UFNT);
    SendData(QStringLiteral("B") + modNetCom::GetLogonName().trimmed());
    SendData(QStringLiteral("P") + modNetCom::GetCompName().trimmed());
}

bool SendData(const QString& data) {
    if (modGlobals::Run().NetLog == 1)
        modAppFnc::WriteLog(QStringLiteral("DataSent >>") + data + QStringLiteral("<<"));
    if (!st().chat) st().chat = std::make_unique<clsChat>();
    QString why;
    if (st().chat->SendMessage(QString(), QStringLiteral("*"), st().myName + Sep() + data, &why)) return true;
    // Once an open: a network that is gone fails every datagram alike.
    if (!st().sendFailed) {
        st().sendFailed = true;
        modAppFnc::WriteLog(QStringLiteral("    A datagram could not be sent: ") + why);
    }
    return false;
}

bool SendAlert(const QString& to, const QString& text) {
    return SendData(QStringLiteral("A") + to + Sep() + text + Sep());
}
bool SendChatLine(const QString& to, const QString& text, const QString& code) {
    return SendData(QStringLiteral("H") + to + Sep() + text + Sep() + code + Sep());
}
bool SendBlockNotice(const QString& to, const QString& accepts) {
    return SendData(QStringLiteral("V") + to + Sep() + accepts + Sep());
}
bool SendInfoRequest(const QString& to, const QString& what) {
    return SendData(QStringLiteral("R") + to + Sep() + what);
}
bool SendInfoReply(const QString& to, const QString& text) {
    return SendData(QStringLiteral("I") + to + Sep() + text);
}
bool SendFileOffer(const QString& to, const QString& F) {
    return SendData(QStringLiteral("1") + to + Sep() + F + Sep());
}
bool SendFileAnswer(const QString& to, const QString& answer, const QString& F) {
    return SendData(QStringLiteral("2") + to + Sep() + answer + Sep() + F + Sep());
}
bool SendFileSize(const QString& to, const QString& F, qint64 size) {
    return SendData(QStringLiteral("3") + to + Sep() + F + Sep() + QString::number(size) + Sep());
}
bool SendFileReady(const QString& to, const QString& F) {
    return SendData(QStringLiteral("4") + to + Sep() + F + Sep());
}
bool SendFileAck(const QString& to) {
    return SendData(QStringLiteral("5") + to + Sep());
}
bool SendFileChunk(const QString& to, const QByteArray& chunk) {
    return SendData(QStringLiteral("6") + to + Sep() + Ansi::decode(chunk));
}
bool SendFileEnd(const QString& to) {
    return SendData(QStringLiteral("7") + to + Sep());
}

void CloseNetCom(qint16 mode) {
    modAppFnc::WriteLog(QStringLiteral("Closeing NetCom... |") + QString::number(mode) + QStringLiteral("|"));
    if (mode == 1) {
        modAppFnc::WriteLog(QStringLiteral("   Searching for and closeing active chat windows..."));
        NetHooks::chatWindows()->CloseAll();
    }
    NetHooks::fileTransfer()->NetReset();
    SendData(QStringLiteral("E"));
    stopPresence();
    st().arrival.reset();
    if (st().chat) st().chat->CloseHnd();
    st().open = false;
    modAppFnc::WriteLog(QStringLiteral("---NetCom closed."));
}

void PollData() {
    const Pass pass;
    if (!st().chat) return;
    auto& batches = st().batches;
    const std::size_t depth = std::size_t(st().passes) - 1; // this pass's, counted by `pass`
    while (batches.size() <= depth)
        batches.push_back(std::make_unique<DatagramBatch>());
    DatagramBatch& batch = *batches[depth];
    // A snapshot: handlers may run nested polls while this one is still working through it.
    if (st().chat->Receive(batch) == 0) return;
    bool acted = false;
    for (qsizetype i = 0; i < batch.count(); ++i) {
        // Each datagram starts with the empty PopFrom and its NUL.
        const QByteArrayView bytes = batch.bytes(i);
        const QByteArrayView text = bytes.sliced(qMin<qsizetype>(1, bytes.size()));
        if (droppedAsOthersTransfer(text)) continue;
        acted = true;
        ParseData(Ansi::decode(text.data(), text.size()), batch.source(i));
    }
    st().dataReceived = 1;
    // Two other copies' transfer wakes every copy twice a chunk. A copy with no transfer of its
    // own that heard nothing else lets their datagrams gather for a moment and reads them
    // together; whatever else comes meanwhile waits as long at most.
    if (!acted && st().xferFile != 1 && st().arrival && st().arrival->isEnabled()) {
        st().arrival->setEnabled(false);
        QTimer::singleShot(kBystanderRestMs, st().arrival.get(), [] { st().arrival->setEnabled(true); });
    }
}

bool Dispatching() {
    return st().dispatching > 0;
}

void ParseData(const QString& text, const DatagramSource& from) {
    const Dispatch inDispatch;
    if (modGlobals::Run().NetLog == 1)
        modAppFnc::WriteLog(QStringLiteral("DataIn >>") + text + QStringLiteral("<<"));
    const qsizetype sepAt = text.indexOf(modGlobals::kSep);
    const QString sender = sepAt < 0 ? QString() : text.left(sepAt);
    if (!heard(sender)) return;
    const bool fromMe = sender == st().myName;
    const qsizetype letterAt = sepAt < 0 ? 0 : sepAt + 1;
    if (letterAt >= text.size()) return; // no letter at all
    const QChar letter = text.at(letterAt);
    const QString payload = text.mid(letterAt + 1);
    const QChar sep = modGlobals::kSep;
    const bool listable = !fromMe && !sender.startsWith(QLatin1Char('\\'));

    switch (letter.unicode()) {
    case 'C':
        if (listable) setRecordField(sender, Roster::kColour, fieldValue(payload));
        return;
    case 'S':
        if (listable) setRecordField(sender, Roster::kStatus, fieldValue(payload));
        return;
    case 'F':
        if (listable) setRecordField(sender, Roster::kFont, fieldValue(payload));
        return;
    case 'B':
    case 'P':
        return;
    case 'V':
        if (forMe(modAppFnc::GetField(payload, 1, sep)))
            setRecordField(sender, Roster::kAccepts, modAppFnc::GetField(payload, 2, sep));
        return;
    case 'E':
        RemoveUser(sender);
        return;
    case 'M':
        // Shown after the dispatch: a message window here would hold the rest of the poll.
        NetMessages::Post(sender, QStringLiteral("Message From:") + sender + kCrLf + payload);
        return;
    case 'A': {
        const QString target = modAppFnc::GetField(payload, 1, sep);
        if (forMe(target) || target == QLatin1String("(All)"))
            NetHooks::router()->ShowAlertPop(modAppFnc::GetField(payload, 2, sep), sender);
        return;
    }
    case 'H':
        if (forMe(modAppFnc::GetField(payload, 1, sep)))
            NetHooks::router()->RouteChatMsg(
                modAppFnc::GetField(payload, 2, sep) + Sep() + modAppFnc::GetField(payload, 3, sep), sender);
        return;
    case 'R':
        if (forMe(modAppFnc::GetField(payload, 1, sep)))
            answerRequest(sender, modAppFnc::GetField(payload, 2, sep));
        return;
    case 'I':
        if (forMe(modAppFnc::GetField(payload, 1, sep)))
            NetHooks::router()->ShowUserInfo(modAppFnc::GetField(payload, 2, sep), sender);
        return;
    case '1':
    case '2':
    case '3':
    case '4':
    case '5':
    case '6':
    case '7':
        NetHooks::fileTransfer()->OnData(letter, sender, payload, from);
        return;
    default:
        modAppFnc::WriteLog(QStringLiteral("Unknown data received: >>") + text + QStringLiteral("<<"));
        return;
    }
}

void AddUser(const QString& name) {
    OwnerList* names = users();
    // An owner without a name list cannot add anybody, and so never answers with its presence.
    if (!names || names->IndexOfNoCase(name) >= 0) return;
    if (names->ListCount() >= kMaxUsers) {
        if (!std::exchange(st().fullLogged, true))
            modAppFnc::WriteLog(
                QStringLiteral("%1 users are listed: further names are not added.").arg(kMaxUsers));
        return;
    }
    const int at = names->AddItem(name);
    if (OwnerList* recs = stats()) {
        recs->InsertItem(at, Roster::NewRecord(name)); // beside its name, however the lists sort
    }
    listChanged();
    if (st().myName.startsWith(QLatin1Char('\\'))) return;
    st().presenceDue = true;
    if (st().passes == 0) answerPresence(); // a direct call is a pass of its own
}

qint16 FindUser(const QString& name) {
    return static_cast<qint16>(qMax(indexOfUser(name), 0));
}

void RemoveUser(const QString& name) {
    OwnerList* names = users();
    const int i = indexOfUser(name);
    if (i < 0) return;
    names->RemoveItem(i);
    if (OwnerList* recs = stats(); recs && i < recs->ListCount()) recs->RemoveItem(i);
    listChanged();
}

} // namespace modNetCmds
