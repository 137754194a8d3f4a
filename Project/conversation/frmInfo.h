#pragma once
// The answer to an information request (another user's phone number or logon name): who
// answered, in his colour and font, and what he sent. A new window for every answer.
#include <QImage>
#include <QWidget>

class QLabel;
class QPlainTextEdit;
class chameleonButton;

class frmInfo : public QWidget {
    Q_OBJECT
  public:
    explicit frmInfo(QWidget* parent = nullptr);

    void SetLang();
    void SetSkin();
    // The sender in his colour and font; with `inverse` on the inverse of that colour.
    void SetFrom(const QString& sender, quint32 colour, const QString& fontName, bool inverse);
    void SetText(const QString& text);
    void cmdOk_Click();

    QLabel* lblUFrom = nullptr;
    QPlainTextEdit* txtMsg = nullptr;
    QLabel* imgPic = nullptr;
    chameleonButton* cmdOk = nullptr;

  protected:
    void paintEvent(QPaintEvent* e) override;

  private:
    void Form_Load();
    QImage skin_; // the skin picture when the window was skinned; its dialog background is drawn
};
