#pragma once
// Recorders that stand in for the windows and services the core reaches through interfaces.
// Each one puts itself into its service's slot for its lifetime and restores what was there;
// `forget()` and `reset()` as in PlatformRecorders.h.
#include "core/InputBox.h"
#include "core/MessageService.h"
#include "core/NetHooks.h"
#include "core/NetOwner.h"
#include "core/modTerminate.h"
#include "platform/Colors.h"
#include "support/PlatformRecorders.h"

#include <QStringList>
#include <algorithm>
#include <functional>
#include <vector>

struct MessageRecorder : MessageService {
    struct Shown {
        QString text;
        int buttons;
        int icon;
    };
    std::vector<Shown> shown;
    std::vector<int> answers; // taken in order; 0 once they run out
    int depth = 0, maxDepth = 0;
    std::function<void()> whileOpen; // runs inside the "window", e.g. to nest another message
    void forget() {
        shown.clear();
        depth = maxDepth = 0;
    }
    void reset() {
        forget();
        answers.clear();
        whileOpen = nullptr;
    }
    int Show(const QString& text, int buttons, int icon) override {
        shown.push_back({text, buttons, icon});
        ++depth;
        maxDepth = std::max(maxDepth, depth);
        if (whileOpen) whileOpen();
        --depth;
        if (answers.empty()) return 0;
        const int a = answers.front();
        answers.erase(answers.begin());
        return a;
    }
    QStringList texts() const {
        QStringList out;
        for (const Shown& s : shown)
            out << s.text;
        return out;
    }
    Slot<MessageService>::Override in{Messages::service(), *this}; // last: leaves first
};

// Answers the input box without a screen.
struct InputRecorder : InputService {
    int asked = 0;
    bool accept = true;
    QString answer;
    void forget() { asked = 0; }
    void reset() {
        forget();
        accept = true;
        answer.clear();
    }
    bool Ask(const QString&, QString& out) override {
        ++asked;
        out = accept ? answer : QString();
        return accept;
    }
    Slot<InputService>::Override in{InputBox::service(), *this};
};

// Counts the orderly end, beside the end at once, instead of ending the test; either may also act.
struct EndRecorder : ProgramEndRecorder, modTerminate::Handler {
    int terminated = 0;
    std::function<void()> onTerminate;
    void forget() {
        ProgramEndRecorder::forget();
        terminated = 0;
    }
    void reset() {
        ProgramEndRecorder::reset();
        forget();
        onTerminate = nullptr;
    }
    void Terminate() override {
        ++terminated;
        if (onTerminate) onTerminate();
    }
    Slot<modTerminate::Handler>::Override inTerminate{modTerminate::handler(), *this};
};

// System colours a test chooses, for its lifetime.
struct SysColorStandIn : Colors::SysColors {
    explicit SysColorStandIn(std::function<quint32(int)> colours) : colours_(std::move(colours)) {}
    quint32 Get(int index) override { return colours_(index); }

  private:
    std::function<quint32(int)> colours_;

  public:
    Slot<Colors::SysColors>::Override in{Colors::sysColors(), *this};
};

// An owner like the main window (both lists, sorted), the sign-in window (names only) or the
// self test (names only, no notice).
struct TestOwner : NetOwner {
    enum Kind { Main, SignIn, SelfTest };
    explicit TestOwner(Kind k = Main) : kind(k), names(k == Main), records(true) {}
    Kind kind;
    OwnerList names;
    OwnerList records;
    int changes = 0;
    OwnerList* lstUsers() override { return &names; }
    OwnerList* lstUStat() override { return kind == Main ? &records : nullptr; }
    void UListChange() override {
        if (kind != SelfTest) ++changes;
    }
};

struct RouterRecorder : NetHooks::Router, NetHooks::FileTransfer {
    QStringList calls;
    void ShowAlertPop(const QString& text, const QString& sender) override {
        calls << QStringLiteral("alert|%1|%2").arg(text, sender);
    }
    void RouteChatMsg(const QString& data, const QString& sender) override {
        calls << QStringLiteral("chat|%1|%2").arg(data, sender);
    }
    void ShowUserInfo(const QString& text, const QString& sender) override {
        calls << QStringLiteral("info|%1|%2").arg(text, sender);
    }
    QList<DatagramSource> sources; // of each transfer datagram handed over
    void OnData(QChar letter, const QString& sender, const QString& payload,
                const DatagramSource& from) override {
        calls << QStringLiteral("xfer|%1|%2|%3").arg(letter).arg(sender, payload);
        sources << from;
    }
    Slot<NetHooks::Router>::Override inRouter{NetHooks::router(), *this};
    Slot<NetHooks::FileTransfer>::Override inTransfer{NetHooks::fileTransfer(), *this};
};
