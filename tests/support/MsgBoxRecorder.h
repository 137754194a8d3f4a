#pragma once
// Answers the platform message box without a screen and keeps what it was asked.
#include "platform/MsgBox.h"

#include <QString>
#include <functional>
#include <vector>

struct MsgBoxRecorder : MsgBox::Service {
    struct Shown {
        QString title;
        QString text;
        MsgBox::Buttons buttons;
        MsgBox::Icon icon;
    };
    std::vector<Shown> shown;
    // Decides each answer; without it, OK for OK alone, otherwise Yes.
    std::function<MsgBox::Answer(const Shown&)> answer;
    Slot<MsgBox::Service>::Override use{MsgBox::service(), *this};

    MsgBox::Answer show(QWidget*, const QString& title, const QString& text, MsgBox::Buttons buttons,
                        MsgBox::Icon icon) override {
        shown.push_back({title, text, buttons, icon});
        if (answer) return answer(shown.back());
        return buttons == MsgBox::Buttons::Ok ? MsgBox::Answer::Ok : MsgBox::Answer::Yes;
    }
    int count(const QString& title) const {
        int n = 0;
        for (const Shown& s : shown)
            n += s.title == title;
        return n;
    }
    bool sawText(const QString& part) const {
        for (const Shown& s : shown)
            if (s.text.contains(part)) return true;
        return false;
    }
};
