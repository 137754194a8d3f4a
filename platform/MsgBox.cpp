#include "platform/MsgBox.h"

#include "platform/WindowShow.h"

#include <QMessageBox>
#include <QPushButton>

namespace {
class BoxService : public MsgBox::Service {
  public:
    MsgBox::Answer Show(const MsgBox::Box& b) override {
        QMessageBox box;
        box.setTextFormat(Qt::PlainText);
        box.setWindowTitle(b.title);
        box.setText(b.text);
        WindowShow::AsBox(&box);
        switch (b.icon) {
        case MsgBox::Icon::Information:
            box.setIcon(QMessageBox::Information);
            break;
        case MsgBox::Icon::Warning:
            box.setIcon(QMessageBox::Warning);
            break;
        case MsgBox::Icon::Critical:
            box.setIcon(QMessageBox::Critical);
            break;
        case MsgBox::Icon::Question:
            box.setIcon(QMessageBox::Question);
            break;
        }
        if (b.buttons == MsgBox::Buttons::Ok) {
            box.setStandardButtons(QMessageBox::Ok);
            box.exec();
            return MsgBox::Answer::Ok;
        }
        if (b.buttons == MsgBox::Buttons::YesNoCancel) {
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            box.setDefaultButton(QMessageBox::Yes);
            box.setEscapeButton(QMessageBox::Cancel);
            switch (box.exec()) {
            case QMessageBox::Yes:
                return MsgBox::Answer::Yes;
            case QMessageBox::No:
                return MsgBox::Answer::No;
            default:
                return MsgBox::Answer::Cancel;
            }
        }
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        return box.exec() == QMessageBox::Yes ? MsgBox::Answer::Yes : MsgBox::Answer::No;
    }
};
} // namespace

Slot<MsgBox::Service>& MsgBox::service() {
    static BoxService builtIn;
    static Slot<Service> slot(builtIn);
    return slot;
}

MsgBox::Answer MsgBox::Show(const QString& title, const QString& text, Buttons buttons, Icon icon) {
    return service()->Show({title, text, buttons, icon});
}
