#include "core/InputBox.h"

#include "platform/WindowShow.h"

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
        WindowShow::AsBox(&box);
        const bool ok = box.exec() == QDialog::Accepted;
        answer = ok ? box.textValue() : QString();
        return ok;
    }
};
} // namespace

Slot<InputService>& InputBox::service() {
    static DialogService builtIn;
    static Slot<InputService> slot(builtIn);
    return slot;
}

bool InputBox::Ask(const QString& prompt, QString& answer) {
    return service()->Ask(prompt, answer);
}
