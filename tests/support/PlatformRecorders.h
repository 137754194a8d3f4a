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
    Slot<MsgBox::Service>::Override use{MsgBox::service(), *this};
    MsgBox::Answer Show(const MsgBox::Box& box) override {
        shown.push_back(box);
        if (whileOpen) whileOpen();
        if (answers.empty())
            return box.buttons == MsgBox::Buttons::Ok ? MsgBox::Answer::Ok : MsgBox::Answer::Yes;
        const MsgBox::Answer a = answers.front();
        answers.erase(answers.begin());
        return a;
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
    Slot<ProgramEnd::Handler>::Override use{ProgramEnd::handler(), *this};
    void EndNow() override { ++ends; }
};
