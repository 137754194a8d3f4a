#pragma once
// The window shown while the command-line self test runs. It owns the network layer during
// the test, with a list of names only, and pulses the splash's lamp meanwhile.
#include "core/NetOwner.h"

#include <QWidget>

class QLabel;
class QListWidget;
class QTimer;

class frmSelfTest : public QWidget, public NetOwner {
    Q_OBJECT
  public:
    explicit frmSelfTest(QWidget* parent = nullptr);

    void SetLang();
    OwnerList* lstUsers() override { return &users_; }
    bool PollOnArrival() const override { return false; }

    QLabel* lblCap = nullptr;
    QLabel* lblSync = nullptr;
    QWidget* picLogo = nullptr;
    QListWidget* lstUsersBox = nullptr; // shows lstUsers()
    QTimer* tmrSpot = nullptr;
    qint16 spotPhase = 0;

    void tmrSpot_Timer();

  protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

  private:
    void Form_Load();
    void showUsers();

    OwnerList users_;
};
