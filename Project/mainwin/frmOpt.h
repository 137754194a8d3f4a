#pragma once
// The options dialog: nine pages of controls that are a working copy of about thirty settings
// values. Opening fills the controls from the settings (ShowSets); OK copies them back, applies
// them to the running program and saves the settings file (SaveSets); Cancel and the close box
// drop every change. Shown without modality from the main window's Options command; one at a
// time.
#include "core/modGlobals.h"

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <array>
#include <vector>

class chameleonButton;
class SendBox;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QRadioButton;
namespace modDB {
class Captions;
}

class frmOpt : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kPages = 9;
    static constexpr int kAutoTextLength = 256;
    static constexpr int kGroupNameLength = 20;
    static constexpr int kClientWidth = 600;
    static constexpr int kClientHeight = 372;

    // Form_Load runs here: captions, pages, limits, then the settings into the controls.
    explicit frmOpt(QWidget* parent = nullptr);
    ~frmOpt() override;

    // The Options command: builds the dialog on first use, shows and raises it while it is open.
    static frmOpt* ShowDialog();
    // The loaded dialog, or nullptr.
    static frmOpt* Loaded();
    // Closes the loaded dialog as Cancel does (the main window going takes it along).
    static void UnloadLoaded();

    void SetLang();
    void ShowSets();
    // False when saving the settings file failed and the program is ending.
    bool SaveSets();
    void ShowSkinInfo(const QString& path);
    void UpdateSoftList();

    // The group lines in list order (the hidden list lstGrpStr).
    QStringList GroupLines() const;

    // --- event handlers, public so that tests drive them as the user would ---
    void cmdOk_Click();
    void cmdCancel_Click();
    void cmdOpt_Click(int index);
    void optASnd_Click(int index);
    void optCSnd_Click(int index);
    void cmdASndTest_Click();
    void cmdCSndTest_Click();
    void cmdASndBrowse_Click();
    void cmdCSndBrowse_Click();
    void cmdAlertPos_Click(int index);
    void optSkin_Click(int index);
    void cmdSkin_Click();
    void optSFld_Click(int index);
    void cmdSFld_Click();
    void lstCAT_Click();
    void cmdCatSet_Click();
    void cmdMove_Click(int index);
    void cmdGrpAR_Click(int index);
    void lstGrps_Click();
    void cmdSoftNext_Click(int index);
    void cmdSoftNext_DblClick(int index);
    // The check of a box that is about to lose the focus; false keeps the focus there.
    bool Validate(QWidget* box);

    // --- controls ---
    std::array<chameleonButton*, kPages> cmdOpt{};
    std::array<QWidget*, kPages> picPage{};
    std::array<QGroupBox*, 9> Frame{};
    QFrame* fraLine = nullptr;
    chameleonButton* cmdOk = nullptr;
    chameleonButton* cmdCancel = nullptr;
    // Main
    std::array<QRadioButton*, 2> optSkin{};
    QLineEdit* txtSkin = nullptr;
    chameleonButton* cmdSkin = nullptr;
    QPlainTextEdit* txtSkinInfo = nullptr;
    QCheckBox* chkInvH = nullptr;
    QCheckBox* chkLoadOnStartup = nullptr;
    QCheckBox* ChkAutoLogon = nullptr;
    // Alerts
    std::array<QRadioButton*, 3> optASnd{};
    QLineEdit* txtASndFile = nullptr;
    chameleonButton* cmdASndTest = nullptr;
    chameleonButton* cmdASndBrowse = nullptr;
    QWidget* Picture1 = nullptr;
    std::array<chameleonButton*, 4> cmdAlertPos{};
    // Live Chat
    QCheckBox* chkChatPics = nullptr;
    std::array<QRadioButton*, 3> optCSnd{};
    QLineEdit* txtCSndFile = nullptr;
    chameleonButton* cmdCSndTest = nullptr;
    chameleonButton* cmdCSndBrowse = nullptr;
    QCheckBox* chkChatSndBtn = nullptr;
    std::array<QRadioButton*, 2> optChatStyle{};
    // Misc.
    std::array<QRadioButton*, 2> optSFld{};
    QLineEdit* txtSFld = nullptr;
    chameleonButton* cmdSFld = nullptr;
    QLineEdit* txtPhoneNumber = nullptr;
    // AQR
    std::array<QLabel*, 4> lblAQR{};
    std::array<SendBox*, 3> txtAQR{};
    // AutoText
    QLabel* lblAT = nullptr;
    QListWidget* lstCAT = nullptr;
    QLineEdit* txtCAT = nullptr;
    chameleonButton* cmdCatSet = nullptr;
    std::array<chameleonButton*, 2> cmdMove{};
    // Groups
    QLineEdit* txtGrps = nullptr;
    std::array<chameleonButton*, 4> cmdGrpAR{};
    QListWidget* lstGrps = nullptr;
    QListWidget* lstGrpMbs = nullptr;
    // SpeedBar
    QCheckBox* chkSB_Use = nullptr;
    std::array<QRadioButton*, 2> optSB_Pos{};
    QCheckBox* chkSB_Slide = nullptr;
    std::array<QRadioButton*, 4> optSB_Filter{};
    // Soft Buttons
    std::array<QLabel*, 2> lblSoft{};
    QComboBox* comSoft = nullptr;
    SendBox* txtSoft = nullptr;
    QCheckBox* chkSoft = nullptr;
    std::array<chameleonButton*, 2> cmdSoftNext{};
    QLabel* lblSoftN = nullptr;
    QCheckBox* chkSoftMenu = nullptr;

    // --- the dialog's own values ---
    std::array<modGlobals::SoftButton, 10> SoftB{};
    int SoftN = 0;
    qint16 OldSB_U = 0;

  protected:
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

  private:
    struct Group {
        QString name;
        QString line; // as loaded until its members change
    };

    // One set a page: its controls, their captions, the settings it shows and what it saves.
    // SetLang, ShowSets and SaveSets run every page's in page order.
    struct Page {
        void (frmOpt::*build)(QWidget* page);
        void (frmOpt::*lang)(const modDB::Captions& t); // nullptr: nothing to caption
        void (frmOpt::*show)();
        void (frmOpt::*save)();
    };
    static const std::array<Page, kPages> kPageSets;

    void buildMainPage(QWidget* p);
    void langMainPage(const modDB::Captions& t);
    void showMainPage();
    void saveMainPage();
    void buildAlertsPage(QWidget* p);
    void langAlertsPage(const modDB::Captions& t);
    void showAlertsPage();
    void saveAlertsPage();
    void buildChatPage(QWidget* p);
    void langChatPage(const modDB::Captions& t);
    void showChatPage();
    void saveChatPage();
    void buildMiscPage(QWidget* p);
    void langMiscPage(const modDB::Captions& t);
    void showMiscPage();
    void saveMiscPage();
    void buildAqrPage(QWidget* p);
    void langAqrPage(const modDB::Captions& t);
    void showAqrPage();
    void saveAqrPage();
    void buildAutoTextPage(QWidget* p);
    void langAutoTextPage(const modDB::Captions& t);
    void showAutoTextPage();
    void saveAutoTextPage();
    void buildGroupsPage(QWidget* p);
    void showGroupsPage();
    void saveGroupsPage();
    void buildSpeedBarPage(QWidget* p);
    void langSpeedBarPage(const modDB::Captions& t);
    void showSpeedBarPage();
    void saveSpeedBarPage();
    void buildSoftPage(QWidget* p);
    void langSoftPage(const modDB::Captions& t);
    void showSoftPage();
    void saveSoftPage();

    // The page buttons, OK and Cancel, and every page.
    void buildPages();
    void Form_Load();
    void focusChanged(QWidget* old, QWidget* now);
    bool skipsCheckOf(QWidget* box, QWidget* target) const;
    bool pathCheck(QLineEdit* box, bool folder);
    void soundTest(const std::array<QRadioButton*, 3>& opt, QLineEdit* path);
    void soundBrowse(QLineEdit* path);
    void soundEnable(int index, chameleonButton* test, QLineEdit* path, chameleonButton* browse);
    void showGroups(int select);
    void showMembers();
    // The current row of lstGrps, or -1.
    int selectedGroup() const;
    // The group's members as lstGrpMbs shows them: sorted, ignoring case.
    QStringList sortedMembers(int group) const;
    int insertGroup(const Group& g);
    void Unload();
    void applySpeedBar();
    // The box shows at most its limit of a stored text: what it showed, so that OK keeps the
    // stored text whole unless the user changed it.
    static void showStored(SendBox* box, const QString& stored, QString& shown);
    static QString storedUnlessEdited(const SendBox* box, const QString& shown, const QString& stored);

    std::array<QString, 3> aqrShown_; // what txtAQR showed of each stored quick reply
    QString softShown_;               // what txtSoft showed of element SoftN of SoftB
    std::vector<Group> groups_;       // sorted by name, ignoring case; lstGrps shows the names
    int catIndex_ = 0;                // the entry of lstCAT that txtCAT edits (its tag)
    bool checking_ = false;
    bool eatPress_ = false;        // the press that tried to take the focus from a failed box
    QPointer<QWidget> eatRelease_; // its release
    bool unloading_ = false;
};
