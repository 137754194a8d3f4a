// The alert half of the routing: alerts and information answers from others, and the requests
// that ask for those answers.
#include "core/NoticeWindows.h"
#include "core/PeerInfo.h"
#include "core/modAppFnc.h"
#include "core/modGlobals.h"
#include "core/modNetCmds.h"
#include "platform/Sound.h"

#include <QElapsedTimer>
#include <QPointer>
#include <algorithm>
#include <vector>

namespace {

// The windows of one kind that arrivals opened, as many as are still open.
class Opened {
  public:
    Opened(int bound, QString refused) : bound_(bound), refused_(std::move(refused)) {}
    // True when no further one may open; the first refusal since the last opening is logged.
    bool full() {
        windows_.erase(
            std::remove_if(windows_.begin(), windows_.end(), [](const QPointer<QObject>& w) { return !w; }),
            windows_.end());
        if (static_cast<int>(windows_.size()) < bound_) return false;
        if (!logged_) modAppFnc::WriteLog(refused_);
        logged_ = true;
        return true;
    }
    void add(QObject* window) {
        if (!window) return;
        windows_.emplace_back(window);
        logged_ = false;
    }

  private:
    int bound_;
    QString refused_;
    std::vector<QPointer<QObject>> windows_;
    bool logged_ = false;
};

Opened& pops() {
    static Opened o(modAppFnc::kMaxNetworkPops,
                    QStringLiteral("%1 alert pop-ups are open: further alerts go to the history only.")
                        .arg(modAppFnc::kMaxNetworkPops));
    return o;
}
Opened& infos() {
    static Opened o(modAppFnc::kMaxNetworkInfos,
                    QStringLiteral("%1 information windows are open: further answers are not shown.")
                        .arg(modAppFnc::kMaxNetworkInfos));
    return o;
}

// Requests sent, each waiting for one answer from that user.
struct Request {
    QString name;
    qint64 sentMs;
};
std::vector<Request>& requests() {
    static std::vector<Request> r;
    return r;
}
qint64 answerMs = modAppFnc::kInfoAnswerMs;
qint64 nowMs() {
    static QElapsedTimer clock = [] {
        QElapsedTimer c;
        c.start();
        return c;
    }();
    return clock.elapsed();
}
// Forgets the requests whose time for an answer is over.
void forgetOld() {
    auto& r = requests();
    const qint64 now = nowMs();
    r.erase(std::remove_if(r.begin(), r.end(), [&](const Request& q) { return now - q.sentMs > answerMs; }),
            r.end());
}
// True, once, for an answer from a user asked within the time an answer is awaited.
bool takeRequest(const QString& sender) {
    forgetOld();
    auto& r = requests();
    const auto it = std::find_if(r.begin(), r.end(),
                                 [&](const Request& q) { return modAppFnc::SameNoCase(q.name, sender); });
    if (it == r.end()) return false;
    r.erase(it);
    return true;
}

} // namespace

namespace modAppFnc {

void ShowAlertPop(const QString& text, const QString& sender) {
    if (PeerInfo::IsBlocked(sender)) return;
    if (!pops().full()) {
        pops().add(Notices::Windows()->ShowPop(text, sender));
        PlaySnd(modGlobals::Sets().ALTSND);
    }
    Notices::Windows()->AddToHistory(sender, text);
}

void ShowUserInfo(const QString& text, const QString& sender) {
    // Only an answer to a request of ours opens a window, as a transfer acts only on an answer
    // to its own offer.
    if (!takeRequest(sender) || infos().full()) return;
    infos().add(Notices::Windows()->ShowInfo(text, sender));
    Sound::beep();
}

void RequestUserInfo(const QString& userList, int mode) {
    QString what;
    if (mode == 0)
        what = QStringLiteral("P");
    else if (mode == 1)
        what = QStringLiteral("U");
    else
        return;
    forgetOld();
    for (const QString& name : ListNames(userList)) {
        requests().push_back({name, nowMs()});
        modNetCmds::SendInfoRequest(name, what);
    }
}

void SetInfoAnswerMs(qint64 ms) {
    answerMs = ms > 0 ? ms : kInfoAnswerMs;
}

} // namespace modAppFnc
