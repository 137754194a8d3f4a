#include "core/NetMessages.h"

#include "core/modAppFnc.h"
#include "core/modNetCmds.h"
#include "platform/WindowShow.h"

#include <QTimer>
#include <algorithm>
#include <deque>
#include <optional>

namespace {
struct Message {
    QString sender, text;
    bool same(const QString& s, const QString& t) const {
        return text == t && modAppFnc::SameNoCase(sender, s);
    }
};
struct State {
    std::deque<Message> waiting;
    std::optional<Message> shown;
    bool scheduled = false;
    bool dropLogged = false;
};
State& st() {
    static State s;
    return s;
}

void showWaiting() {
    // One at a time, and never inside a dispatch: the window's own loop keeps the network polled.
    if (st().shown || modNetCmds::Dispatching()) return;
    while (!st().waiting.empty()) {
        st().shown = st().waiting.front();
        st().waiting.pop_front();
        const QString text = st().shown->text;
        const WindowShow::UnaskedScope unasked; // nobody here asked for it
        modAppFnc::ShowMsg(text, 0, 0);
        st().shown.reset();
    }
}

// After the events now pending: a dispatch under way has returned by then, or ends later and
// asks again.
void schedule() {
    if (st().scheduled) return;
    st().scheduled = true;
    QTimer::singleShot(0, [] {
        st().scheduled = false;
        showWaiting();
    });
}
} // namespace

namespace NetMessages {

void Post(const QString& sender, const QString& text) {
    State& s = st();
    if (s.shown && s.shown->same(sender, text)) return;
    if (std::any_of(s.waiting.begin(), s.waiting.end(),
                    [&](const Message& m) { return m.same(sender, text); }))
        return;
    if (static_cast<int>(s.waiting.size()) >= kMaxWaiting) {
        if (!s.dropLogged)
            modAppFnc::WriteLog(QStringLiteral("%1 messages wait to be shown: further messages are dropped.")
                                    .arg(kMaxWaiting));
        s.dropLogged = true;
        return;
    }
    s.dropLogged = false;
    s.waiting.push_back({sender, text});
    schedule();
}

int Waiting() {
    return static_cast<int>(st().waiting.size());
}

void DispatchEnded() {
    if (!st().waiting.empty() && !st().shown) schedule();
}

} // namespace NetMessages
