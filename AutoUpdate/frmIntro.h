#pragma once
// The update program's intro window: greets the user, shows the installed version and chooses
// between program updates and skins.
#include <QWidget>

class QLabel;
class QPushButton;

namespace AutoUpdate {

class frmIntro : public QWidget {
    Q_OBJECT
  public:
    // A new intro window, deleted when it closes.
    static frmIntro* Open();

    QLabel* lblVer = nullptr;
    QLabel* LBLCap[3] = {};
    QPushButton* cmdNext = nullptr;  // "&Get Updates >>"
    QPushButton* CMDskins = nullptr; // "&Get Skins >>"
    QPushButton* CMDabout = nullptr;
    QPushButton* cmdEnd = nullptr;

    void cmdNext_Click();
    void CMDskins_Click();
    void CMDabout_Click();
    void cmdEnd_Click();

  protected:
    // Closing the intro ends the program, as "&Exit" does; choosing a list only unloads it.
    void closeEvent(QCloseEvent* event) override;

  private:
    frmIntro();
    void Form_Load();
    void choose(bool skins);
    bool unloading_ = false;
};

} // namespace AutoUpdate
