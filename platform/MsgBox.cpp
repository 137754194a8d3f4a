#include "platform/MsgBox.h"

#include <QMessageBox>

namespace {
class QtBox : public MsgBox::Service {
  public:
    MsgBox::Answer show(QWidget* owner, const QString& title, const QString& text, MsgBox::Buttons buttons,
                        MsgBox::Icon icon) override {
        QMessageBox box(owner);
        box.setWindowTitle(title);
        box.setText(text);
        box.setTextFormat(Qt::PlainText);
        switch (icon) {
        case MsgBox::Icon::None:
            box.setIcon(QMessageBox::NoIcon);
            break;
        case MsgBox::Icon::Critical:
            box.setIcon(QMessageBox::Critical);
            break;
        case MsgBox::Icon::Question:
            box.setIcon(QMessageBox::Question);
            break;
        case MsgBox::Icon::Exclamation:
            box.setIcon(QMessageBox::Warning);
            break;
        case MsgBox::Icon::Information:
            box.setIcon(QMessageBox::Information);
            break;
        }
        switch (buttons) {
        case MsgBox::Buttons::Ok:
            box.setStandardButtons(QMessageBox::Ok);
            box.setEscapeButton(QMessageBox::Ok);
            break;
        case MsgBox::Buttons::YesNo:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            box.setEscapeButton(QMessageBox::No);
            break;
        case MsgBox::Buttons::YesNoCancel:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            box.setEscapeButton(QMessageBox::Cancel);
            break;
        }
        switch (box.exec()) {
        case QMessageBox::Yes:
            return MsgBox::Answer::Yes;
        case QMessageBox::No:
            return MsgBox::Answer::No;
        case QMessageBox::Cancel:
            return MsgBox::Answer::Cancel;
        default:
            return buttons == MsgBox::Buttons::Ok      ? MsgBox::Answer::Ok
                   : buttons == MsgBox::Buttons::YesNo ? MsgBox::Answer::No
                                                       : MsgBox::Answer::Cancel;
        }
    }
};
} // namespace

Slot<MsgBox::Service>& MsgBox::service() {
    static QtBox builtIn;
    static Slot<Service> slot(builtIn);
    return slot;
}
