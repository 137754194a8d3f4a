#pragma once
// Answers the input box without a screen.
#include "core/InputBox.h"

#include <QStringList>

struct InputRecorder : InputService {
    int asked = 0;
    bool accept = true;
    QString answer;
    InputRecorder() { InputBox::SetService(this); }
    ~InputRecorder() override { InputBox::SetService(nullptr); }
    bool Ask(const QString&, QString& out) override {
        ++asked;
        out = accept ? answer : QString();
        return accept;
    }
};
