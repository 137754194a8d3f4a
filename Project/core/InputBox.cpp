#include "core/InputBox.h"

#include <QInputDialog>
#include <QLineEdit>

namespace {
class DialogService : public InputService {
  public:
    bool Ask(const QString& prompt, QString& answer) override {
        QInputDialog box;
        box.setWindowTitle(QStringLiteral("QX3"));
        box.setLabelText(prompt);
        box.setTextEchoMode(QLineEdit::Password); // it asks for the exit password
        const bool ok = box.exec() == QDialog::Accepted;
        answer = ok ? box.textValue() : QString();
        return ok;
    }
};
InputService* current = nullptr;
} // namespace

bool InputBox::Ask(const QString& prompt, QString& answer) {
    static DialogService builtIn;
    return (current ? *current : static_cast<InputService&>(builtIn)).Ask(prompt, answer);
}

void InputBox::SetService(InputService* service) {
    current = service;
}
