#pragma once
// The program's modal message window, as a service: the window answers on screen and
// tests answer without one.
#include "platform/Slot.h"

#include <QString>

class MessageService {
  public:
    virtual ~MessageService() = default;
    // Shows `text` with button set 0 (OK) or 1 (Yes, No) and icon 0..6; returns the index
    // of the button pressed (0 OK or Yes, 1 No). Runs a nested event loop.
    virtual int Show(const QString& text, int buttons, int icon) = 0;
};

namespace Messages {
// A plain box by default, the program's message window once it is installed; tests record.
Slot<MessageService>& service();
} // namespace Messages
