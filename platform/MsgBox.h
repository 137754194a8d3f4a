#pragma once
// Plain message boxes with a title (the companion programs' questions, refusals and error boxes),
// as a service: the built-in one shows a box, tests answer and record without a screen.
#include "platform/Slot.h"

#include <QString>

namespace MsgBox {

enum class Buttons { Ok, YesNo, YesNoCancel };
enum class Icon { Information, Warning, Critical, Question };
// Closing the box without a button answers Cancel, or No where there is no Cancel.
enum class Answer { Ok, Yes, No, Cancel };

struct Box {
    QString title;
    QString text; // always shown as plain text
    Buttons buttons = Buttons::Ok;
    Icon icon = Icon::Information;
};

class Service {
  public:
    virtual ~Service() = default;
    // Waits for the answer in a nested event loop.
    virtual Answer Show(const Box& box) = 0;
};

Slot<Service>& service();
Answer Show(const QString& title, const QString& text, Buttons buttons, Icon icon);

} // namespace MsgBox
