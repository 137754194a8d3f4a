#pragma once
// Recorders that stand in for the windows and services the core reaches through interfaces.
#include "core/MessageService.h"
#include "core/NetHooks.h"
#include "core/NetOwner.h"
#include "platform/Sound.h"

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
    MessageRecorder() { Messages::SetService(this); }
    ~MessageRecorder() override { Messages::SetService(nullptr); }
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
};

struct SoundRecorder : Sound::Backend {
    QStringList heard; // "beep", or "wave:<path>:<wait>"
    SoundRecorder() { Sound::setBackend(this); }
    ~SoundRecorder() override { Sound::setBackend(nullptr); }
    void beep() override { heard << QStringLiteral("beep"); }
    void playWave(const QString& path, bool wait) override {
        heard << QStringLiteral("wave:%1:%2").arg(path).arg(wait ? 1 : 0);
    }
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
    RouterRecorder() {
        NetHooks::SetRouter(this);
        NetHooks::SetFileTransfer(this);
    }
    ~RouterRecorder() override {
        NetHooks::SetRouter(nullptr);
        NetHooks::SetFileTransfer(nullptr);
    }
    void ShowAlertPop(const QString& text, const QString& sender) override {
        calls << QStringLiteral("alert|%1|%2").arg(text, sender);
    }
    void RouteChatMsg(const QString& data, const QString& sender) override {
        calls << QStringLiteral("chat|%1|%2").arg(data, sender);
    }
    void ShowUserInfo(const QString& text, const QString& sender) override {
        calls << QStringLiteral("info|%1|%2").arg(text, sender);
    }
    void OnData(QChar letter, const QString& sender, const QString& payload) override {
        calls << QStringLiteral("xfer|%1|%2|%3").arg(letter).arg(sender, payload);
    }
};
