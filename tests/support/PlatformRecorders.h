#pragma once
// Recorders for the platform's own services (titled message boxes, the end at once), for
// programs that have no messenger core.
#include "platform/MsgBox.h"
#include "platform/ProgramEnd.h"

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

struct ProgramEndRecorder : ProgramEnd::Handler {
    int ends = 0;
    std::function<void()> onEnd; // runs where the real end would end the process
    Slot<ProgramEnd::Handler>::Override use{ProgramEnd::handler(), *this};
    void EndNow() override {
        ++ends;
        if (onEnd) onEnd();
    }
};
