#include "core/clsFileXfer.h"

#include "core/modAppFnc.h"
#include "core/modCommonDialog.h"
#include "core/modGetFld.h"
#include "core/modGlobals.h"
#include "core/modLangConst.h"
#include "core/modNetCmds.h"
#include "platform/Ansi.h"
#include "platform/LineBreak.h"
#include "platform/SafePath.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTimer>
#include <cerrno>
#include <cstring>

using modLangConst::lang;

namespace {
using modGlobals::Sep;

// English only: a loaded language file has no keys for these and would blank them.
const QString kNoAnswer = QStringLiteral(" did not answer; the file transfer was stopped.");
const QString kPeerBusy =
    QStringLiteral(" is busy with another file transfer; the file transfer was stopped.");
const QString kSendFailed = QStringLiteral("File send failed.");
const QString kReceiveFailed = QStringLiteral("File receive failed.");
using LineBreak::kCrLf;
constexpr int kIcon = 6;
constexpr int kMaxSizeDigits = 18; // every such number fits 64 bits

QString field(const QString& payload, int n) {
    return modAppFnc::GetField(payload, n, modGlobals::kSep);
}
bool forMe(const QString& target) {
    return modAppFnc::LowerAscii(target) == modAppFnc::LowerAscii(modGlobals::Sets().UNAME);
}
bool blockedByMe(const QString& name) {
    const QString& blc = modGlobals::Sets().BLC;
    for (const QString& n : blc.split(modGlobals::kSep, Qt::SkipEmptyParts))
        if (modAppFnc::SameNoCase(n, name)) return true;
    return false;
}
void answer(const QString& to, const QString& letter, const QString& F) {
    modNetCmds::SendFileAnswer(to, letter, F);
}
// The last part of a peer's path, whichever separator it used; "" when it is no name a file
// can be saved under here: empty, "." or "..", a resource path to Qt (":..."), a control
// character (a NUL would cut the name on disk), or longer than the file system allows.
QString safeName(const QString& F) {
    const qsizetype cut = qMax(F.lastIndexOf(QLatin1Char('\\')), F.lastIndexOf(QLatin1Char('/')));
    const QString name = F.mid(cut + 1);
    if (!SafePath::IsPlainName(name) || !SafePath::NameFits(name)) return {};
    return name;
}
// A target the received file may replace: nothing there yet, or a regular file (no folder, no link).
bool replaceable(const QString& path) {
    const QFileInfo fi(path);
    if (fi.isSymLink()) return false;
    return !fi.exists() || fi.isFile();
}
bool wholeNumber(const QString& text, qint64& value) {
    if (text.isEmpty() || text.size() > kMaxSizeDigits) return false;
    for (QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
    bool ok = false;
    value = text.toLongLong(&ok);
    return ok;
}
// The system's reason for a file's last failure; "" when it reported none.
QString reasonOf(const QFileDevice& f) {
    return f.error() == QFileDevice::NoError ? QString() : f.errorString();
}
// A short write is tried on until the system refuses, so that its reason is known.
bool writeAll(QFileDevice& f, const QByteArray& bytes) {
    qint64 done = 0;
    while (done < bytes.size()) {
        const qint64 n = f.write(bytes.constData() + done, bytes.size() - done);
        if (n <= 0) return false;
        done += n;
    }
    return true;
}
XferProgress& prg() {
    return XferWindows::progress().get();
}
} // namespace

Slot<XferProgress>& XferWindows::progress() {
    static XferProgress none;
    static Slot<XferProgress> slot(none);
    return slot;
}

clsFileXfer& clsFileXfer::Instance() {
    static clsFileXfer x;
    return x;
}

void clsFileXfer::Install() {
    NetHooks::fileTransfer().set(&Instance());
}

clsFileXfer::clsFileXfer() : timer_(new QTimer) {
    timer_->setSingleShot(true);
    QObject::connect(timer_, &QTimer::timeout, [this] { silenceCheck(); });
}

clsFileXfer::~clsFileXfer() {
    delete timer_;
}

bool clsFileXfer::Current() const {
    return cur_ != nullptr;
}

void clsFileXfer::SetTimeoutMs(int ms) {
    timeoutMs_ = ms > 0 ? ms : kTimeoutMs;
    if (!timer_->isActive()) return;
    touch(); // the silence counts from now
    timer_->start(timeoutMs_);
}

// --- the offer --------------------------------------------------------------------------------

void clsFileXfer::Offer(const QString& users, QWidget* owner) {
    if (cur_ || asking_ > 0) {
        modAppFnc::ShowMsg(lang("FileT_U"), 0, kIcon);
        return;
    }
    if (modAppFnc::CountStr(users, Sep()) >= 2) {
        modAppFnc::ShowMsg(lang("FileT_O"), 0, kIcon);
        return;
    }
    const QString to = field(users, 1);
    if (to.isEmpty()) return;
    const QString path = modCommonDialog::ShowOpen(owner, lang("FileT_F"), lang("FileT_T"), lastChosen_);
    lastChosen_ = path;
    if (path.isEmpty()) return;
    // The dialog let events run: a transfer may have become current meanwhile.
    if (cur_ || asking_ > 0) {
        modAppFnc::ShowMsg(lang("FileT_U"), 0, kIcon);
        return;
    }
    modNetCmds::SendFileOffer(to, path);
    const int id = openPrg(to, path);
    offers_.push_back({to, Ansi::decode(Ansi::encode(path)), path, id});
    if (shows(id)) {
        prg().SetPrg(0, 1);
        prg().SetStat(0);
    }
}

void modAppFnc::SendFileTo(const QString& users, QWidget* owner) {
    clsFileXfer::Instance().Offer(users, owner);
}

// --- dispatch ---------------------------------------------------------------------------------

void clsFileXfer::OnData(QChar letter, const QString& sender, const QString& payload,
                         const DatagramSource& from) {
    // A listening sign-in window or self test takes part in no transfer.
    if (!modNetCmds::IsOpen() || modNetCmds::MyName().startsWith(QLatin1Char('\\'))) return;
    if (!forMe(field(payload, 1))) return;
    // Names are all a datagram carries: any host can write under the peer's. The peer's copy
    // sends everything from its one socket, so the transfer hears only that address. An offer
    // starts a transfer of its own and goes on as ever.
    if (cur_ && letter != QLatin1Char('1') && from != cur_->peerAt &&
        modAppFnc::SameNoCase(sender, cur_->peer)) {
        if (!cur_->strayLogged)
            modAppFnc::WriteLog(QStringLiteral("    File transfer data from another address ignored: ") +
                                sender + QStringLiteral(" at ") + from.text() + QStringLiteral(", not ") +
                                cur_->peerAt.text());
        cur_->strayLogged = true;
        return;
    }
    switch (letter.unicode()) {
    case '1':
        onOffer(sender, field(payload, 2), from);
        return;
    case '2':
        onAnswer(sender, field(payload, 2), field(payload, 3), from);
        return;
    case '3':
        if (expects(sender, Step::WaitSize)) onSize(field(payload, 3));
        return;
    case '4':
        if (expects(sender, Step::WaitReady)) {
            cur_->done = 0;
            if (shows(cur_->prg)) prg().SetStat(1);
            sendStep();
        }
        return;
    case '5':
        if (expects(sender, Step::WaitAck)) sendStep();
        return;
    case '6':
        if (expects(sender, Step::WaitData)) onChunk(payload.mid(payload.indexOf(modGlobals::kSep) + 1));
        return;
    case '7':
        if (expects(sender, Step::WaitData)) onEnd();
        return;
    default:
        return;
    }
}

bool clsFileXfer::expects(const QString& sender, Step step) const {
    return cur_ && cur_->step == step && modAppFnc::SameNoCase(sender, cur_->peer);
}

// --- receiving ----------------------------------------------------------------------------------

void clsFileXfer::onOffer(const QString& sender, const QString& F, const DatagramSource& from) {
    if (blockedByMe(sender)) return;
    if (cur_ || asking_ > 0) {
        answer(sender, QStringLiteral("c"), F);
        return;
    }
    // A name that cannot be saved, or that would not land directly in the save folder, is
    // declined without asking.
    const QString name = safeName(F);
    const QString setFolder = modGlobals::Sets().SFLD;
    if (name.isEmpty() || (!setFolder.isEmpty() && SafePath::FileIn(setFolder, name).isEmpty())) {
        answer(sender, QStringLiteral("n"), F);
        return;
    }
    const QStringList q = lang("FileT_Q").split(QLatin1Char('|'));
    const QString question = q.value(0) + F + q.value(1) + sender + q.value(2);
    const quint64 atAsk = resets_;
    ++asking_;
    const bool yes = modAppFnc::ShowMsg(question, 1, kIcon) == 0;
    QString folder;
    if (yes && resets_ == atAsk) {
        folder = modGlobals::Sets().SFLD;
        if (folder.isEmpty()) folder = modGetFld::BrowseForFolder(QString(), lang("FileT_R"));
    }
    --asking_;
    if (resets_ != atAsk) return; // the layer closed or opened meanwhile: nobody to answer
    const QString target = yes ? SafePath::FileIn(folder, name) : QString();
    if (target.isEmpty()) {
        answer(sender, QStringLiteral("n"), F);
        return;
    }
    auto t = std::make_unique<Transfer>();
    t->peer = sender;
    t->peerAt = from;
    t->wireF = F;
    t->path = target;
    t->step = Step::WaitSize;
    begin(std::move(t));
    answer(sender, QStringLiteral("y"), F);
}

void clsFileXfer::onSize(const QString& sizeText) {
    touch();
    if (!wholeNumber(sizeText, cur_->size) || !replaceable(cur_->path)) {
        fail();
        return;
    }
    // The file goes to a temporary file beside the target and replaces it only when complete.
    cur_->out = std::make_unique<QSaveFile>(cur_->path);
    cur_->out->setDirectWriteFallback(false);
    // Unbuffered: a buffered flush that the disk cuts short is not reported, and the commit
    // would then take a shortened file for a whole one. The blocks are gathered here instead,
    // and each write of one is checked.
    if (!cur_->out->open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        fail(reasonOf(*cur_->out));
        return;
    }
    cur_->unwritten.reserve(kWriteBlock + kChunk);
    cur_->done = 0;
    cur_->prg = openPrg(cur_->peer, cur_->path);
    if (shows(cur_->prg)) {
        prg().SetPrg(0, cur_->size);
        prg().SetStat(0);
    }
    cur_->step = Step::WaitData;
    modNetCmds::SendFileReady(cur_->peer, cur_->wireF);
}

void clsFileXfer::onChunk(const QString& chunk) {
    touch();
    const QByteArray bytes = Ansi::encode(chunk);
    // Every chunk but the last is whole; the exchange carries nothing else to check a chunk by.
    if (bytes.size() != qMin<qint64>(kChunk, cur_->size - cur_->done)) {
        fail();
        return;
    }
    cur_->unwritten.append(bytes);
    if (cur_->unwritten.size() >= kWriteBlock && !writeOut()) return;
    cur_->done += bytes.size();
    if (!letEventsRun()) return; // ended meanwhile
    modNetCmds::SendFileAck(cur_->peer);
    if (drawNow()) {
        prg().SetPrg(cur_->done, cur_->size);
        prg().SetStat(1);
    }
}

bool clsFileXfer::writeOut() {
    if (!writeAll(*cur_->out, cur_->unwritten)) {
        fail(reasonOf(*cur_->out));
        return false;
    }
    cur_->unwritten.resize(0); // keeps its room for the next block
    return true;
}

void clsFileXfer::onEnd() {
    if (cur_->done != cur_->size || !replaceable(cur_->path)) {
        fail();
        return;
    }
    if (!writeOut()) return;
    if (!cur_->out->commit()) {
        fail(reasonOf(*cur_->out));
        return;
    }
    const int id = cur_->prg;
    if (shows(id)) prg().SetStat(2);
    finish();
    modAppFnc::ShowMsg(lang("FileT_RC"), 0, kIcon);
    unloadPrg(id);
}

// --- sending ------------------------------------------------------------------------------------

void clsFileXfer::onAnswer(const QString& sender, const QString& reply, const QString& F,
                           const DatagramSource& from) {
    auto it = std::find_if(offers_.begin(), offers_.end(), [&](const PendingOffer& o) {
        return o.sentF == F && modAppFnc::SameNoCase(o.to, sender);
    });
    if (it == offers_.end()) {
        // The sender whose offer this copy accepted is busy after all: nothing will come.
        if (reply == QLatin1String("c") && expects(sender, Step::WaitSize) && !cur_->sending &&
            cur_->wireF == F) {
            const std::unique_ptr<Transfer> t = finish();
            modAppFnc::ShowMsg(t->peer + kPeerBusy, 0, kIcon);
        }
        return; // no offer of mine: nothing to read, nothing to say
    }
    const PendingOffer offer = *it;
    offers_.erase(it);
    // The message first, then the progress window goes; meanwhile another offer may have taken it.
    if (reply == QLatin1String("n") || reply == QLatin1String("c")) {
        modAppFnc::ShowMsg(sender + lang(reply == QLatin1String("n") ? "FileT_D" : "FileT_C"), 0, kIcon);
        unloadPrg(offer.prg);
        return;
    }
    if (cur_ || asking_ > 0) {
        // One transfer at a time: the receiver hears that this copy is busy, as with an offer.
        answer(sender, QStringLiteral("c"), F);
        modAppFnc::ShowMsg(lang("FileT_U"), 0, kIcon);
        unloadPrg(offer.prg);
        return;
    }
    auto t = std::make_unique<Transfer>();
    t->sending = true;
    t->peer = offer.to;
    t->peerAt = from;
    t->wireF = offer.path;
    t->path = offer.path;
    t->prg = offer.prg;
    t->step = Step::WaitReady;
    begin(std::move(t));
    // Measured once, and the file kept open: exactly these bytes go.
    cur_->in = std::make_unique<QFile>(offer.path);
    if (!cur_->in->open(QIODevice::ReadOnly)) {
        fail(reasonOf(*cur_->in));
        return;
    }
    if (QFileInfo(offer.path).isDir()) {
        fail(QString::fromLocal8Bit(std::strerror(EISDIR)));
        return;
    }
    cur_->size = cur_->in->size();
    cur_->done = 0;
    modNetCmds::SendFileSize(cur_->peer, cur_->wireF, cur_->size);
    if (shows(cur_->prg)) prg().SetStat(1);
}

void clsFileXfer::sendStep() {
    touch();
    if (!letEventsRun()) return; // ended meanwhile
    if (cur_->done < cur_->size) {
        const qint64 n = qMin<qint64>(kChunk, cur_->size - cur_->done);
        const QByteArray bytes = cur_->in->read(n);
        if (bytes.size() != n) {
            fail(reasonOf(*cur_->in));
            return;
        }
        cur_->step = Step::WaitAck;
        modNetCmds::SendFileChunk(cur_->peer, bytes);
        cur_->done += n;
        if (drawNow()) prg().SetPrg(cur_->done, cur_->size);
        return;
    }
    modNetCmds::SendFileEnd(cur_->peer);
    const int id = cur_->prg;
    if (shows(id)) prg().SetStat(2);
    finish();
    modAppFnc::ShowMsg(lang("FileT_SC"), 0, kIcon);
    unloadPrg(id);
}

// --- the current transfer -----------------------------------------------------------------------

void clsFileXfer::begin(std::unique_ptr<Transfer> t) {
    cur_ = std::move(t);
    ++epoch_;
    modNetCmds::SetXferFile(1);
    touch();
    timer_->start(timeoutMs_);
}

std::unique_ptr<clsFileXfer::Transfer> clsFileXfer::finish() {
    std::unique_ptr<Transfer> t = std::move(cur_);
    ++epoch_;
    timer_->stop();
    modNetCmds::SetXferFile(-1);
    if (t && t->out) t->out->cancelWriting(); // after a commit this does nothing
    if (t) {
        t->out.reset(); // an uncommitted temporary file is removed here
        t->in.reset();
    }
    return t;
}

void clsFileXfer::fail(const QString& reason) {
    const std::unique_ptr<Transfer> t = finish();
    if (!t) return;
    unloadPrg(t->prg);
    QString text = (t->sending ? kSendFailed : kReceiveFailed) + kCrLf + t->path;
    if (!reason.isEmpty()) text += kCrLf + kCrLf + reason;
    modAppFnc::ShowMsg(text, 0, kIcon);
}

// The timer runs once per silence limit, not once per datagram: when it ends it looks at how
// long ago the other side was last heard.
void clsFileXfer::silenceCheck() {
    if (!cur_) return;
    const qint64 left = timeoutMs_ - heardAt_.elapsed();
    if (left > 0) {
        timer_->start(int(left));
        return;
    }
    timedOut();
}

void clsFileXfer::timedOut() {
    const std::unique_ptr<Transfer> t = finish();
    if (!t) return;
    unloadPrg(t->prg);
    modAppFnc::ShowMsg(t->peer + kNoAnswer, 0, kIcon);
}

bool clsFileXfer::drawNow() {
    if (!shows(cur_->prg)) return false;
    // Drawing every chunk would hold the transfer back; the last state is always drawn.
    if (cur_->done < cur_->size && drawn_.isValid() && drawn_.elapsed() < kRedrawMs) return false;
    drawn_.start();
    return true;
}

void clsFileXfer::touch() {
    heardAt_.start();
}

bool clsFileXfer::letEventsRun() {
    if (eventsRun_.isValid() && eventsRun_.elapsed() < kEventsMs) return true;
    eventsRun_.start();
    const quint64 at = epoch_;
    QCoreApplication::processEvents();
    return epoch_ == at;
}

void clsFileXfer::NetReset() {
    ++resets_;
    offers_.clear();
    finish();
    if (prgShown_ != 0) unloadPrg(prgShown_);
}

int clsFileXfer::openPrg(const QString& to, const QString& file) {
    prgShown_ = ++prgSerial_;
    prg().Open(to, file);
    return prgShown_;
}

void clsFileXfer::unloadPrg(int id) {
    if (!shows(id)) return; // the window went to a later offer or transfer meanwhile
    prgShown_ = 0;
    prg().Unload();
}
