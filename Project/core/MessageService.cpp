#include "core/MessageService.h"

#include "core/modLangConst.h"
#include "core/modNetCmds.h"
#include "platform/WindowShow.h"

#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

namespace {
// A plain box until the program's own message window is there.
class BoxService : public MessageService {
  public:
    int Show(const QString& text, int buttons, int icon) override {
        QMessageBox box;
        box.setTextFormat(Qt::PlainText); // texts from the network are never markup
        box.setText(text);
        box.setWindowTitle(QStringLiteral("QX3"));
        box.setIcon(icon == 4 || icon == 2 ? QMessageBox::Question
                    : icon == 3            ? QMessageBox::Warning
                                           : QMessageBox::Information);
        QPushButton* first = box.addButton(
            modLangConst::Get(buttons == 1 ? QStringLiteral("Msg_Yes") : QStringLiteral("Msg_Ok")),
            QMessageBox::AcceptRole);
        QPushButton* no = nullptr;
        if (buttons == 1)
            no = box.addButton(modLangConst::Get(QStringLiteral("Msg_No")), QMessageBox::RejectRole);
        box.setDefaultButton(first);
        box.setEscapeButton(no ? no : first);
        if (WindowShow::TakeUnasked()) WindowShow::MarkUnasked(&box);
        WindowShow::AsBox(&box);
        QTimer poll; // the network keeps being heard while the box waits
        QObject::connect(&poll, &QTimer::timeout, [] {
            if (modNetCmds::IsOpen()) modNetCmds::PollData();
        });
        poll.start(1000);
        box.exec();
        return (no && box.clickedButton() == no) ? 1 : 0;
    }
};

} // namespace

Slot<MessageService>& Messages::service() {
    static BoxService builtIn;
    static Slot<MessageService> slot(builtIn);
    return slot;
}
