#pragma once
// Recorders for the platform's own services (titled message boxes, the open, save and folder
// dialogs, sound, the end at once), which the companion programs use too. Each one puts itself
// into its service's slot for its lifetime and restores what was there. `forget()` clears what
// a recorder has seen and keeps what it was told to answer; `reset()` makes it as new.
#include "platform/Dialogs.h"
#include "platform/MsgBox.h"
#include "platform/ProgramEnd.h"
#include "platform/Sound.h"

#include <QStringList>
#include <functional>
#include <vector>

struct BoxRecorder : MsgBox::Service {
    std::vector<MsgBox::Box> shown;
    std::vector<MsgBox::Answer> answers; // taken in order; Ok or Yes once they run out
    std::function<void()> whileOpen;     // runs while the box is "up"
    // Answers each box by what it says, ahead of `answers`.
    std::function<MsgBox::Answer(const MsgBox::Box&)> answer;
    Slot<MsgBox::Service>::Override use{MsgBox::service(), *this};
    void forget() { shown.clear(); }
    void reset() {
        forget();
        answers.clear();
        whileOpen = nullptr;
        answer = nullptr;
    }
    MsgBox::Answer Show(const MsgBox::Box& box) override {
        shown.push_back(box);
        if (whileOpen) whileOpen();
        if (answer) return answer(box);
        if (answers.empty())
            return box.buttons == MsgBox::Buttons::Ok ? MsgBox::Answer::Ok : MsgBox::Answer::Yes;
        const MsgBox::Answer a = answers.front();
        answers.erase(answers.begin());
        return a;
    }
    int count(const QString& title) const {
        int n = 0;
        for (const MsgBox::Box& b : shown)
            n += b.title == title;
        return n;
    }
    bool sawText(const QString& part) const {
        for (const MsgBox::Box& b : shown)
            if (b.text.contains(part)) return true;
        return false;
    }
    QStringList titles() const {
        QStringList out;
        for (const MsgBox::Box& b : shown)
            out << b.title;
        return out;
    }
};

struct SoundRecorder : Sound::Backend {
    QStringList heard; // "beep", or "wave:<path>:<wait>"
    void forget() { heard.clear(); }
    void reset() { forget(); }
    void beep() override { heard << QStringLiteral("beep"); }
    void playWave(const QString& path, bool wait) override {
        heard << QStringLiteral("wave:%1:%2").arg(path).arg(wait ? 1 : 0);
    }
    Slot<Sound::Backend>::Override in{Sound::backend(), *this};
};

// Answers the open, save and folder dialogs without a screen: every call gets the answer set
// (cancelled until one is), and the last request is kept.
struct DialogRecorder : Dialogs::Service {
    int fileCalls = 0;
    Dialogs::FileRequest request;
    Dialogs::FileAnswer answer;
    int folderCalls = 0;
    QString folderStart, folderTitle, folderAnswer;
    void forget() {
        fileCalls = folderCalls = 0;
        request = {};
        folderStart.clear();
        folderTitle.clear();
    }
    void reset() {
        forget();
        answer = {};
        folderAnswer.clear();
    }

    Dialogs::FileAnswer chooseFile(const Dialogs::FileRequest& r) override {
        ++fileCalls;
        request = r;
        return answer;
    }
    QString chooseFolder(const QString& start, const QString& title) override {
        ++folderCalls;
        folderStart = start;
        folderTitle = title;
        return folderAnswer;
    }
    Slot<Dialogs::Service>::Override in{Dialogs::service(), *this};
};

// Counts the end at once instead of ending the test.
struct ProgramEndRecorder : ProgramEnd::Handler {
    int ended = 0;
    std::function<void()> onEnd; // runs where the real end would end the process
    void forget() { ended = 0; }
    void reset() {
        forget();
        onEnd = nullptr;
    }
    Slot<ProgramEnd::Handler>::Override use{ProgramEnd::handler(), *this};
    void EndNow() override {
        ++ended;
        if (onEnd) onEnd();
    }
};
