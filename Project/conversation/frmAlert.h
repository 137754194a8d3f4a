#pragma once
// The alert compose window: one text to a list of recipients, one "A" datagram each, then the
// window closes. Created with its recipients by modAppFnc::NewAlertWindow; a soft button that
// sends at once fills it without showing it and presses Send.
#include "controls/SendBox.h"

#include <QImage>
#include <QMainWindow>
#include <QString>
#include <array>

class QAction;
class QLabel;
class QMenu;
class chameleonButton;

class frmAlert : public QMainWindow {
    Q_OBJECT
  public:
    // `userList`: the recipients, each name followed by the separator.
    explicit frmAlert(const QString& userList, QWidget* parent = nullptr);

    QString UTo() const { return uTo_; }
    // Sets the recipients and shows them in lblTo.
    void SetUTo(const QString& userList);

    void SetLang();
    void SetSkin();

    // Sends the trimmed text to every recipient and closes. A blank text sends nothing and the
    // window stays, as it does while no one is signed in. A window never shown closes either way.
    void cmdSnd_Click();
    void cmdClose_Click();
    void mnuActionMerge_Click();
    void mnuActionATi_Click(int index);
    void txtMsg_Change();

    // The merge-in dialog's last choice (empty at load).
    QString LastMergePath;

    QWidget* body = nullptr; // the client area
    SendBox* txtMsg = nullptr;
    QLabel* lblTo = nullptr;
    QLabel* lblCnt = nullptr;
    chameleonButton* cmdSnd = nullptr;
    chameleonButton* cmdClose = nullptr;
    QMenu* mnuAction = nullptr;
    QAction* mnuActionMerge = nullptr;
    QMenu* mnuActionAT = nullptr;
    QAction* mnuActionClose = nullptr;
    QMenu* mnuEdit = nullptr;
    SendBox::EditItems editItems; // mnuEditCut, mnuEditCopy, mnuEditPast, mnuEditSelAll

  protected:
    void keyPressEvent(QKeyEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void showEvent(QShowEvent* e) override;

  private:
    void Form_Load();

    QString uTo_;
    QImage skin_; // the skin picture when the window was skinned; its dialog background is drawn
    bool everShown_ = false;
};

namespace modAppFnc {
// A new compose window to the listed users, shown unless `hidden`; the caller may fill its
// txtMsg and, for a hidden one, press Send at once.
frmAlert* NewAlertWindow(const QString& userList, bool hidden);
} // namespace modAppFnc
