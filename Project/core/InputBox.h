#pragma once
// The input box: one line of text asked for modally. Tests answer it without a screen.
#include "platform/Slot.h"

#include <QString>

class InputService {
  public:
    virtual ~InputService() = default;
    // False when the user cancelled.
    virtual bool Ask(const QString& prompt, QString& answer) = 0;
};

namespace InputBox {
bool Ask(const QString& prompt, QString& answer);
// A password box by default; tests answer without a screen.
Slot<InputService>& service();
} // namespace InputBox
