#pragma once
// The about box: the version in the title, the notices, the licence on request. It closes as
// soon as another window is activated. A secret gesture on the small picture opens frmEgg.
#include <QWidget>

class chameleonButton;
class QLabel;
class QPlainTextEdit;

class frmAbout : public QWidget {
    Q_OBJECT
  public:
    explicit frmAbout(QWidget* parent = nullptr);

    void SetLang();

    QLabel* lblInfo = nullptr;
    QLabel* Label2 = nullptr;
    QPlainTextEdit* txtLicence = nullptr;
    QLabel* imgLink = nullptr;
    QLabel* imgEgg = nullptr;
    chameleonButton* cmdLicence = nullptr;
    chameleonButton* cmdClose = nullptr;

    void cmdLicence_Click();
    void cmdClose_Click();
    void Form_Deactivate();
    // `button` 1 left, 2 right; `shift` 1 Shift + 2 Ctrl + 4 Alt.
    void imgEgg_MouseUp(qint16 button, qint16 shift);

  protected:
    void changeEvent(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;

  private:
    void Form_Load();
    bool wasActive_ = false;
};
