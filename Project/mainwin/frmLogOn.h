#pragma once
// The sign-in window: the user picks the name, colour and font he appears under and whether the
// next start signs in by itself. While it is open it owns the network layer under "\" and the
// logon name, a name nobody lists, so it hears who is about and refuses a name in use.
//
// The start-up constructs it (which opens the network layer), sets vRet to 0, gives tmrDelay
// its interval and starts it, then either calls cmdOk_Click or ShowModal, takes GetAnswer(), and
// unloads it with Unload().
#include "core/NetOwner.h"

#include <QImage>
#include <QWidget>
#include <array>

class chameleonButton;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QTimer;

class frmLogOn : public QWidget, public NetOwner {
    Q_OBJECT
  public:
    // Typing and pasting stop here; a longer stored name is shown whole.
    static constexpr int kNameLength = 20;
    static constexpr int kColours = 16;

    // Form_Load runs here: skin, language, the stored choices, the fonts, the network layer.
    explicit frmLogOn(QWidget* parent = nullptr);
    ~frmLogOn() override;

    // 0: the name was not refused; cmdOk_Click sets 1 whenever it refuses the name.
    qint16 vRet = 0;

    void SetLang();
    void SetSkin();
    void UListChange() override {}
    void AddFonts();
    // The face colour (0x00BBGGRR) of the first checked colour button; 0 when none is checked.
    quint32 GetColor() const;
    // What the user chose, as the window shows it now: the name as typed (cmdOk_Click trims it
    // when it accepts it), GetColor(), the font and the auto-sign-in box.
    struct Answer {
        QString name;
        quint32 colour = 0;
        QString font;
        bool autoSignIn = false;
    };
    Answer GetAnswer() const;
    // The name check; hides the window when the name is accepted.
    void cmdOk_Click();

    // Shows the window modally and returns when it is hidden or gone.
    void ShowModal();
    // Unloads the window by code: closes the network layer, the program goes on.
    void Unload();

    OwnerList* lstUsers() override { return &users_; }

    std::array<QLabel*, 4> lblCap{};
    QLineEdit* txtName = nullptr;
    QComboBox* cbbFont = nullptr;
    std::array<chameleonButton*, kColours> cmdCol{};
    QListWidget* lstUsersBox = nullptr; // shows lstUsers()
    chameleonButton* cmdAutoLogon = nullptr;
    QLabel* lblStat = nullptr;
    chameleonButton* cmdOk = nullptr;
    chameleonButton* cmdCancel = nullptr;
    chameleonButton* cmdLang = nullptr;
    QTimer* tmrRefresh = nullptr;
    QTimer* tmrDelay = nullptr;

    // Event handlers, public so that a test can drive them as the user would.
    void cmdCol_Click(int index);
    void cbbFont_Click();
    void cmdAutoLogon_Click();
    void lblCap_Click(int index);
    void txtName_GotFocus();
    void tmrDelay_Timer();
    void tmrRefresh_Timer();
    void cmdLang_Click();
    void cmdCancel_Click();

  signals:
    void hidden();

  protected:
    void hideEvent(QHideEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

  private:
    void Form_Load();
    // Unload mode 0 is the user's close box or system menu; any other mode is a close by code.
    void Form_QueryUnload(int unloadMode);
    void setNameText(const QString& text);
    void showUsers();

    OwnerList users_{true};
    QImage background_;
    bool unloaded_ = false;
};
