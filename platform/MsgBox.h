#pragma once
// The platform's plain message box as a service: a title, a text, a set of buttons and an icon
// in, the button pressed out. Programs without the messenger's own message window (the support
// mail program, the update program) ask their questions through it; tests answer them.
#include "platform/Slot.h"

#include <QString>

class QWidget;

namespace MsgBox {

enum class Buttons { Ok, YesNo, YesNoCancel };
enum class Icon { None, Critical, Question, Exclamation, Information };
enum class Answer { Ok, Yes, No, Cancel };

class Service {
  public:
    virtual ~Service() = default;
    // Modal; runs a nested event loop. Closing the box without a button answers Cancel where
    // there is one, otherwise No, otherwise OK.
    virtual Answer show(QWidget* owner, const QString& title, const QString& text, Buttons buttons,
                        Icon icon) = 0;
};

// QMessageBox by default.
Slot<Service>& service();

inline Answer Show(QWidget* owner, const QString& title, const QString& text, Buttons buttons = Buttons::Ok,
                   Icon icon = Icon::None) {
    return service()->show(owner, title, text, buttons, icon);
}

} // namespace MsgBox
