#pragma once
// The program's own modal message box: a text, an icon and OK or Yes and No. A new window
// for every message; while it waits it keeps the network polled.
#include "core/MessageService.h"

#include <QDialog>
#include <QString>
#include <array>

class QImage;
class QLabel;
class QTextEdit;
class QTimer;
class chameleonButton;

class frmMsg : public QDialog {
    Q_OBJECT
  public:
    static constexpr int kPollMs = 1000;

    explicit frmMsg(QWidget* parent = nullptr);

    // Makes this window the one modAppFnc::ShowMsg shows.
    static void Install();
    // The service that shows this window; tests put it over their message recorder.
    static MessageService& Service();

    // Sets the message and sizes the window to it.
    void SetMsg(const QString& text);
    // 0: one OK button; 1: Yes and No; anything else keeps the laid-out captions.
    void SetType(int buttons);
    void SetIcon(const QImage& picture);

    // The index of the button pressed; 0 until one is.
    qint16 Val = 0;

    QLabel* picIcon = nullptr;
    QTextEdit* lblMsg = nullptr;
    std::array<chameleonButton*, 2> CMD{};
    QTimer* Timer1 = nullptr;

  signals:
    // The window went: a button, its key or the close box answered it.
    void Hidden();

  protected:
    void keyPressEvent(QKeyEvent* e) override;
    void hideEvent(QHideEvent* e) override;

  public slots:
    // Escape and the close box: No where there is a No, else OK.
    void reject() override;

  private:
    void CMD_Click(int index);
    void Timer1_Timer();
    void placeButtons();
};
