#pragma once
// The hidden-settings window: a joke reached from the about box. Nothing in it has any effect
// and nothing is stored. It shows itself when it is constructed.
#include <QWidget>
#include <array>

class chameleonButton;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QRadioButton;
class QScrollBar;

class frmEgg : public QWidget {
    Q_OBJECT
  public:
    explicit frmEgg(QWidget* parent = nullptr);

    std::array<QRadioButton*, 2> optWhen{};
    std::array<QCheckBox*, 2> chkOption{};
    std::array<QComboBox*, 2> Combo1{};
    std::array<QLineEdit*, 1> Text{};
    QScrollBar* VScroll1 = nullptr;
    chameleonButton* cmdOk = nullptr;
    chameleonButton* cmdCancel = nullptr;

    void VScroll1_Change();
    void cmdOk_Click();
    void cmdCancel_Click();

  private:
    void Form_Load();
};
