#pragma once
// The language chooser: picks the language file (or the built-in English) for the next start.
#include <QDialog>
#include <QString>

class QGroupBox;
class QLabel;
class QLineEdit;
class chameleonButton;

class frmLang : public QDialog {
    Q_OBJECT
  public:
    explicit frmLang(QWidget* parent = nullptr);

    // "" once Apply was pressed; "-" for every other way out (Cancel, Esc, the close box).
    QString Tag = QStringLiteral("-");

    QLabel* lblCap = nullptr;
    QGroupBox* Frame = nullptr;
    QLineEdit* txtLang = nullptr;
    chameleonButton* cmdBrw = nullptr;
    chameleonButton* cmdEng = nullptr;
    chameleonButton* cmdApply = nullptr;
    chameleonButton* cmdCancel = nullptr;

    void SetLang();

    void cmdBrw_Click();
    void cmdEng_Click();
    void cmdApply_Click();
    void cmdCancel_Click();

  public slots:
    void reject() override;
};

namespace modAppFnc {
// Shows the chooser modally. After Apply: LANG := the chosen path ("" for English), the settings
// are saved, `caller` (may be null) is closed and the program ends in order. After anything
// else nothing changes.
void ShowLangDialog(QWidget* caller);
} // namespace modAppFnc
