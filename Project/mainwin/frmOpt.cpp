#include "mainwin/frmOpt.h"

#include "controls/SendBox.h"
#include "controls/chameleonButton.h"
#include "controls/clsTAppBar.h"
#include "core/frmImgs.h"
#include "core/modAppFnc.h"
#include "core/modCommonDialog.h"
#include "core/modDB.h"
#include "core/modGDI.h"
#include "core/modGetFld.h"
#include "core/modGroups.h"
#include "core/modLangConst.h"
#include "core/modSettings.h"
#include "core/modSkin.h"
#include "mainwin/frmMain.h"
#include "mainwin/frmSpeedBar.h"
#include "platform/Colors.h"
#include "platform/LineBreak.h"
#include "platform/LoadedWindow.h"
#include "platform/ProgramFolder.h"
#include "platform/Sound.h"
#include "platform/WindowShow.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTimer>
#include <algorithm>

using modGlobals::Sets;
using modLangConst::lang;

namespace {
LoadedWindow<frmOpt> gLoaded;

const QString kBeep = QStringLiteral("(System Beep)");
const QString kTicked = QStringLiteral("a");
const QString kOverrideSkin = QStringLiteral("QX3_Over.qxs");
const QString kDefaultSkin = QStringLiteral("default skin.qxs");

QFont symbolFont() {
    QFont f(QString::fromLatin1(modGDI::kSymbolFont));
    f.setPointSize(10);
    return f;
}

// The controls of the pages, each at its place.
QGroupBox* groupBox(QWidget* page, const char* caption, QRect at) {
    auto* f = new QGroupBox(QString::fromLatin1(caption), page);
    f->setGeometry(at);
    return f;
}

QRadioButton* radio(QWidget* parent, const char* caption, QRect at) {
    auto* r = new QRadioButton(QString::fromLatin1(caption), parent);
    r->setGeometry(at);
    return r;
}

QCheckBox* check(QWidget* parent, const char* caption, QRect at) {
    auto* c = new QCheckBox(QString::fromLatin1(caption), parent);
    c->setGeometry(at);
    return c;
}

QLineEdit* lineBox(QWidget* parent, QRect at) {
    auto* t = new QLineEdit(parent);
    t->setGeometry(at);
    return t;
}

chameleonButton* captionButton(QWidget* parent, const char* caption, QRect at) {
    auto* b = chameleonButton::LaidOut(parent, QString::fromLatin1(caption));
    b->setGeometry(at);
    return b;
}

// The long texts: Enter breaks the line here, there is nothing to send.
SendBox* textBox(QWidget* parent, QRect at) {
    auto* t = new SendBox(parent);
    t->SetMaxLength(SendBox::kMaxLength);
    t->setGeometry(at);
    QObject::connect(t, &SendBox::SendRequested, t, [t] { t->SetSelText(QStringLiteral("\n")); });
    return t;
}

QLabel* captionLabel(QWidget* parent, const char* caption, QRect at) {
    auto* l = new QLabel(QString::fromLatin1(caption), parent);
    l->setGeometry(at);
    l->setWordWrap(true);
    return l;
}

chameleonButton* symbolButton(QWidget* parent, const char* caption, QRect at) {
    auto* b = chameleonButton::LaidOut(parent, QString::fromLatin1(caption));
    b->SetFont(symbolFont());
    b->setGeometry(at);
    return b;
}

qint16 checkValue(const QCheckBox* box) {
    return box->isChecked() ? 1 : 0;
}

// The index of the first selected option, or -1.
template <std::size_t N> int selectedOption(const std::array<QRadioButton*, N>& opt) {
    for (std::size_t i = 0; i < N; ++i)
        if (opt[i]->isChecked()) return int(i);
    return -1;
}

// A stored value an option group cannot show selects nothing.
template <std::size_t N> void selectOption(const std::array<QRadioButton*, N>& opt, int index) {
    if (index >= 0 && index < int(N)) opt[std::size_t(index)]->setChecked(true);
}

// The three sound options: none, the beep, a wave file.
int soundOption(const QString& value) {
    return value.isEmpty() ? 0 : value == kBeep ? 1 : 2;
}

void saveSound(const std::array<QRadioButton*, 3>& opt, const QLineEdit* path, QString& value) {
    const int i = selectedOption(opt);
    if (i == 0) value.clear();
    if (i == 1) value = kBeep;
    if (i == 2) value = path->text();
}

bool sameFile(const QString& a, const QString& b) {
    return !a.isEmpty() && QDir::cleanPath(QFileInfo(a).absoluteFilePath()) ==
                               QDir::cleanPath(QFileInfo(b).absoluteFilePath());
}
} // namespace

// --- load ----------------------------------------------------------------------------------------

frmOpt* frmOpt::Loaded() {
    return gLoaded.Loaded();
}

frmOpt* frmOpt::ShowDialog() {
    frmOpt* f = gLoaded.Load();
    WindowShow::Asked(f); // back from minimised as well
    return f;
}

void frmOpt::UnloadLoaded() {
    if (frmOpt* f = gLoaded.Loaded()) f->Unload();
}

frmOpt::frmOpt(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint) {
    gLoaded.Hold(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("frmOpt"));
    setWindowTitle(QStringLiteral("Configure Talkvane3"));
    setFixedSize(kClientWidth, kClientHeight);
    buildPages();
    connect(qApp, &QApplication::focusChanged, this, &frmOpt::focusChanged);
    qApp->installEventFilter(this);
    Form_Load();
}

frmOpt::~frmOpt() {
    gLoaded.Release(this);
    qApp->removeEventFilter(this);
}

// Each page's set in page order, the order in which the pages are built, shown and saved.
const std::array<frmOpt::Page, frmOpt::kPages> frmOpt::kPageSets = {{
    {&frmOpt::buildMainPage, &frmOpt::langMainPage, &frmOpt::showMainPage, &frmOpt::saveMainPage},
    {&frmOpt::buildAlertsPage, &frmOpt::langAlertsPage, &frmOpt::showAlertsPage, &frmOpt::saveAlertsPage},
    {&frmOpt::buildChatPage, &frmOpt::langChatPage, &frmOpt::showChatPage, &frmOpt::saveChatPage},
    {&frmOpt::buildMiscPage, &frmOpt::langMiscPage, &frmOpt::showMiscPage, &frmOpt::saveMiscPage},
    {&frmOpt::buildAqrPage, &frmOpt::langAqrPage, &frmOpt::showAqrPage, &frmOpt::saveAqrPage},
    {&frmOpt::buildAutoTextPage, &frmOpt::langAutoTextPage, &frmOpt::showAutoTextPage,
     &frmOpt::saveAutoTextPage},
    {&frmOpt::buildGroupsPage, nullptr, &frmOpt::showGroupsPage, &frmOpt::saveGroupsPage},
    {&frmOpt::buildSpeedBarPage, &frmOpt::langSpeedBarPage, &frmOpt::showSpeedBarPage,
     &frmOpt::saveSpeedBarPage},
    {&frmOpt::buildSoftPage, &frmOpt::langSoftPage, &frmOpt::showSoftPage, &frmOpt::saveSoftPage},
}};

void frmOpt::buildPages() {
    const char* pages[kPages] = {"Main",     "Alerts", "Live Chat", "Misc.",       "AQR",
                                 "AutoText", "Groups", "SpeedBar",  "Soft Buttons"};
    // Each page button as wide as its caption in bold, the row spread over the dialog's width.
    std::array<int, kPages> widths{};
    int total = 0;
    for (int i = 0; i < kPages; ++i) {
        cmdOpt[i] = chameleonButton::LaidOut(this, QString::fromLatin1(pages[i]));
        QFont bold = cmdOpt[i]->Font();
        bold.setBold(true);
        widths[i] = QFontMetrics(bold).horizontalAdvance(QString::fromLatin1(pages[i])) + 12;
        total += widths[i];
    }
    const int spare = qMax(0, kClientWidth - 16 - 2 * (kPages - 1) - total) / kPages;
    for (int i = 0, x = 8; i < kPages; ++i) {
        cmdOpt[i]->setGeometry(x, 8, widths[i] + spare, 25);
        x += widths[i] + spare + 2;
        connect(cmdOpt[i], &chameleonButton::Click, this, [this, i] { cmdOpt_Click(i); });
        picPage[i] = new QWidget(this);
        picPage[i]->setObjectName(QStringLiteral("picPage%1").arg(i));
    }
    fraLine = new QFrame(this);
    fraLine->setFrameShape(QFrame::HLine);
    fraLine->setFrameShadow(QFrame::Sunken);
    fraLine->setGeometry(8, kClientHeight - 44, kClientWidth - 16, 2);
    cmdOk = chameleonButton::LaidOut(this, QStringLiteral("&Ok"));
    cmdOk->setGeometry(kClientWidth - 216, kClientHeight - 34, 100, 25);
    connect(cmdOk, &chameleonButton::Click, this, [this] { cmdOk_Click(); });
    cmdCancel = chameleonButton::LaidOut(this, QStringLiteral("&Cancel"));
    cmdCancel->setGeometry(kClientWidth - 108, kClientHeight - 34, 100, 25);
    connect(cmdCancel, &chameleonButton::Click, this, [this] { cmdCancel_Click(); });
    for (int i = 0; i < kPages; ++i)
        (this->*kPageSets[std::size_t(i)].build)(picPage[i]);
}

void frmOpt::Form_Load() {
    modAppFnc::WriteLog(QStringLiteral("Loading frmOpts..."));
    SetLang();
    const int top = cmdOpt[0]->y() + cmdOpt[0]->height() + 8;
    for (QWidget* page : picPage) {
        page->hide();
        page->setGeometry(0, top, kClientWidth, fraLine->y() - top - 4);
    }
    cmdOpt_Click(0);
    ShowSets();
    modAppFnc::WriteLog(QStringLiteral("frmOpts Loaded."));
}

void frmOpt::SetLang() {
    if (frmImgs* imgs = frmImgs::Loaded()) setWindowIcon(imgs->icon);
    if (!modDB::DBLoaded()) return;
    const modDB::Captions t("frmOpt");
    setWindowTitle(t("Form"));
    for (int i = 0; i < kPages; ++i)
        cmdOpt[i]->SetCaption(t("cmdOpt", i));
    cmdOk->SetCaption(t("cmdOk"));
    cmdCancel->SetCaption(t("cmdCancel"));
    for (const Page& page : kPageSets)
        if (page.lang) (this->*page.lang)(t);
}

// --- settings to controls and back ---------------------------------------------------------------

void frmOpt::ShowSets() {
    modAppFnc::WriteLog(QStringLiteral("Displaying Settings..."));
    for (const Page& page : kPageSets)
        (this->*page.show)();
    modAppFnc::WriteLog(QStringLiteral("Settings Displayed."));
}

bool frmOpt::SaveSets() {
    for (const Page& page : kPageSets)
        (this->*page.save)();
    if (!modSettings::SaveSettings()) return false;
    if (frmMain* main = frmMain::Loaded()) {
        main->UpdateGrpLst();
        main->RefFBtn(false, true);
    }
    applySpeedBar();
    return true;
}

// --- 0 Main --------------------------------------------------------------------------------------

void frmOpt::buildMainPage(QWidget* p) {
    QGroupBox* f = Frame[0] = groupBox(p, "Skin", {8, 8, 568, 180});
    optSkin[0] = radio(f, "Use &Base Skin", {12, 22, 200, 20});
    optSkin[1] = radio(f, "Use C&ustom Skin", {12, 44, 200, 20});
    txtSkin = lineBox(f, {32, 68, 490, 22});
    txtSkin->setReadOnly(true);
    txtSkin->setBackgroundRole(QPalette::Button);
    {
        QPalette pal = txtSkin->palette();
        pal.setColor(QPalette::Base, pal.color(QPalette::Button));
        txtSkin->setPalette(pal);
    }
    cmdSkin = captionButton(f, "...", {528, 68, 28, 22});
    txtSkinInfo = new QPlainTextEdit(f);
    txtSkinInfo->setGeometry(32, 94, 524, 56);
    txtSkinInfo->setReadOnly(true);
    txtSkinInfo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    chkInvH = check(f, "Use &Inverse Highlight", {12, 154, 300, 20});
    chkLoadOnStartup = check(p, "&Load On Startup", {16, 196, 300, 20});
    ChkAutoLogon = check(p, "&Auto Logon", {16, 220, 300, 20});
    for (int i = 0; i < 2; ++i)
        connect(optSkin[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on) optSkin_Click(i);
        });
    connect(cmdSkin, &chameleonButton::Click, this, [this] { cmdSkin_Click(); });
}

void frmOpt::langMainPage(const modDB::Captions& t) {
    chkLoadOnStartup->setText(t("chkLoadOnStartup"));
    ChkAutoLogon->setText(t("ChkAutoLogon"));
    Frame[0]->setTitle(t("Frame", 0));
    optSkin[0]->setText(t("optSkin", 0));
    optSkin[1]->setText(t("optSkin", 1));
    chkInvH->setText(t("chkInvH"));
}

void frmOpt::showMainPage() {
    const auto& s = Sets();
    chkLoadOnStartup->setChecked(s.STARTUP != 0);
    ChkAutoLogon->setChecked(s.ALGON != 0);
    if (!s.SKN.isEmpty()) {
        optSkin[1]->setChecked(true);
        txtSkin->setText(s.SKN);
        ShowSkinInfo(s.SKN);
    } else {
        optSkin[0]->setChecked(true);
    }
    chkInvH->setChecked(s.INV != 0);
}

void frmOpt::saveMainPage() {
    auto& s = Sets();
    s.STARTUP = checkValue(chkLoadOnStartup);
    s.ALGON = checkValue(ChkAutoLogon);
    s.SKN = optSkin[0]->isChecked() ? QString() : txtSkin->text();
    modSkin::LoadSkin(s.SKN);
    modAppFnc::ApplySkinAll();
    s.INV = checkValue(chkInvH);
}

// --- 1 Alerts ------------------------------------------------------------------------------------

void frmOpt::buildAlertsPage(QWidget* p) {
    QGroupBox* f = Frame[1] = groupBox(p, "On New Alert", {8, 8, 568, 130});
    optASnd[0] = radio(f, "Do Not Play a Sound", {12, 22, 300, 20});
    optASnd[1] = radio(f, "Play System Beep", {12, 44, 300, 20});
    optASnd[2] = radio(f, "Play Wave File...", {12, 66, 300, 20});
    txtASndFile = lineBox(f, {32, 92, 412, 22});
    cmdASndBrowse = captionButton(f, "...", {450, 92, 28, 22});
    cmdASndTest = captionButton(f, "&Test", {484, 92, 72, 22});
    f = Frame[2] = groupBox(p, "Alert Position", {8, 146, 200, 110});
    Picture1 = new QFrame(f);
    static_cast<QFrame*>(Picture1)->setFrameShape(QFrame::Box);
    Picture1->setGeometry(40, 24, 120, 74);
    const QPoint corners[4] = {{2, 2}, {100, 2}, {2, 54}, {100, 54}};
    for (int i = 0; i < 4; ++i) {
        cmdAlertPos[i] = symbolButton(Picture1, "", {corners[i], QSize(18, 18)});
        connect(cmdAlertPos[i], &chameleonButton::Click, this, [this, i] { cmdAlertPos_Click(i); });
    }
    for (int i = 0; i < 3; ++i)
        connect(optASnd[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on) optASnd_Click(i);
        });
    connect(cmdASndTest, &chameleonButton::Click, this, [this] { cmdASndTest_Click(); });
    connect(cmdASndBrowse, &chameleonButton::Click, this, [this] { cmdASndBrowse_Click(); });
}

void frmOpt::langAlertsPage(const modDB::Captions& t) {
    Frame[1]->setTitle(t("Frame", 1));
    for (int i = 0; i < 3; ++i)
        optASnd[i]->setText(t("optSnd", i));
    cmdASndTest->SetCaption(t("cmdSndTest"));
    Frame[2]->setTitle(t("Frame", 2));
}

void frmOpt::showAlertsPage() {
    const auto& s = Sets();
    const int aSnd = soundOption(s.ALTSND);
    if (aSnd == 2) txtASndFile->setText(s.ALTSND);
    optASnd[aSnd]->setChecked(true);
    optASnd_Click(aSnd);
    cmdAlertPos_Click(s.ALTPOS);
}

void frmOpt::saveAlertsPage() {
    auto& s = Sets();
    saveSound(optASnd, txtASndFile, s.ALTSND);
    for (int i = 0; i < 4; ++i)
        if (!cmdAlertPos[i]->Caption().isEmpty()) {
            s.ALTPOS = qint16(i);
            break;
        }
}

// --- 2 Live Chat ---------------------------------------------------------------------------------

void frmOpt::buildChatPage(QWidget* p) {
    chkChatPics = check(p, "&Decode Chat Pictures", {16, 8, 300, 20});
    QGroupBox* f = Frame[4] = groupBox(p, "On New Message", {8, 34, 568, 130});
    optCSnd[0] = radio(f, "Do Not Play a Sound", {12, 22, 300, 20});
    optCSnd[1] = radio(f, "Play System Beep", {12, 44, 300, 20});
    optCSnd[2] = radio(f, "Play Wave File...", {12, 66, 300, 20});
    txtCSndFile = lineBox(f, {32, 92, 412, 22});
    cmdCSndBrowse = captionButton(f, "...", {450, 92, 28, 22});
    cmdCSndTest = captionButton(f, "&Test", {484, 92, 72, 22});
    chkChatSndBtn = check(p, "Show \"&Send\" Button", {16, 172, 300, 20});
    f = Frame[3] = groupBox(p, "Style", {8, 198, 250, 72});
    optChatStyle[0] = radio(f, "S&ingle Line", {12, 22, 200, 20});
    optChatStyle[1] = radio(f, "&Multi Line", {12, 44, 200, 20});
    for (int i = 0; i < 3; ++i)
        connect(optCSnd[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on) optCSnd_Click(i);
        });
    connect(cmdCSndTest, &chameleonButton::Click, this, [this] { cmdCSndTest_Click(); });
    connect(cmdCSndBrowse, &chameleonButton::Click, this, [this] { cmdCSndBrowse_Click(); });
}

void frmOpt::langChatPage(const modDB::Captions& t) {
    chkChatSndBtn->setText(t("chkChatSndBtn"));
    Frame[3]->setTitle(t("Frame", 3));
    optChatStyle[0]->setText(t("optChatStyle", 0));
    optChatStyle[1]->setText(t("optChatStyle", 1));
    Frame[4]->setTitle(t("Frame", 4));
    for (int i = 0; i < 3; ++i)
        optCSnd[i]->setText(t("optSnd", i));
    cmdCSndTest->SetCaption(t("cmdSndTest"));
    chkChatPics->setText(t("chkChatPics"));
}

void frmOpt::showChatPage() {
    const auto& s = Sets();
    const int cSnd = soundOption(s.CHTSND);
    if (cSnd == 2) txtCSndFile->setText(s.CHTSND);
    optCSnd[cSnd]->setChecked(true);
    optCSnd_Click(cSnd);
    chkChatSndBtn->setChecked(s.CHTSNDBTN != 0);
    selectOption(optChatStyle, s.CHTSTY);
    chkChatPics->setChecked(s.CHTPICS != 0);
}

void frmOpt::saveChatPage() {
    auto& s = Sets();
    saveSound(optCSnd, txtCSndFile, s.CHTSND);
    s.CHTSNDBTN = checkValue(chkChatSndBtn);
    // Single line or multi line, nothing else: a stored value outside the two becomes multi line.
    s.CHTSTY = optChatStyle[0]->isChecked() ? 0 : 1;
    s.CHTPICS = checkValue(chkChatPics);
}

// --- 3 Misc. -------------------------------------------------------------------------------------

void frmOpt::buildMiscPage(QWidget* p) {
    QGroupBox* f = Frame[6] = groupBox(p, "Receved Files Folder", {8, 8, 568, 100});
    optSFld[0] = radio(f, "&Prompt For Location", {12, 22, 300, 20});
    optSFld[1] = radio(f, "&Always Use The Same Folder:", {12, 44, 300, 20});
    txtSFld = lineBox(f, {32, 68, 490, 22});
    cmdSFld = captionButton(f, "...", {528, 68, 28, 22});
    f = Frame[5] = groupBox(p, "Phone Number", {8, 116, 568, 56});
    txtPhoneNumber = lineBox(f, {12, 22, 300, 22});
    for (int i = 0; i < 2; ++i)
        connect(optSFld[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on) optSFld_Click(i);
        });
    connect(cmdSFld, &chameleonButton::Click, this, [this] { cmdSFld_Click(); });
}

void frmOpt::langMiscPage(const modDB::Captions& t) {
    Frame[5]->setTitle(t("Frame", 5));
    Frame[6]->setTitle(t("Frame", 6));
    optSFld[0]->setText(t("optSFld", 0));
    optSFld[1]->setText(t("optSFld", 1));
}

void frmOpt::showMiscPage() {
    const auto& s = Sets();
    txtPhoneNumber->setText(s.UPN);
    if (!s.SFLD.isEmpty()) {
        optSFld[1]->setChecked(true);
        txtSFld->setText(s.SFLD);
    } else {
        optSFld[0]->setChecked(true);
    }
}

void frmOpt::saveMiscPage() {
    auto& s = Sets();
    s.UPN = txtPhoneNumber->text();
    if (optSFld[0]->isChecked())
        s.SFLD.clear();
    else if (optSFld[1]->isChecked())
        s.SFLD = txtSFld->text();
}

// --- 4 AQR ---------------------------------------------------------------------------------------

void frmOpt::buildAqrPage(QWidget* p) {
    lblAQR[3] =
        captionLabel(p,
                     "Alert Quick Response - long messages that can be used as templates for a reply to an "
                     "alert message.",
                     {8, 4, 568, 34});
    for (int i = 0; i < 3; ++i) {
        lblAQR[i] = captionLabel(p, i == 0 ? "1" : i == 1 ? "2" : "3", {8, 44 + i * 76, 16, 20});
        txtAQR[i] = textBox(p, {28, 42 + i * 76, 548, 70});
    }
}

void frmOpt::langAqrPage(const modDB::Captions& t) {
    lblAQR[3]->setText(t("AQR"));
}

void frmOpt::showAqrPage() {
    for (int i = 0; i < 3; ++i)
        showStored(txtAQR[i], Sets().AQR[i], aqrShown_[i]);
}

void frmOpt::saveAqrPage() {
    auto& s = Sets();
    for (int i = 0; i < 3; ++i)
        s.AQR[i] = storedUnlessEdited(txtAQR[i], aqrShown_[i], s.AQR[i]);
}

// --- 5 AutoText ----------------------------------------------------------------------------------

void frmOpt::buildAutoTextPage(QWidget* p) {
    lblAT = captionLabel(
        p,
        "AutoText - phrases that can be quickly inserted into a chat or alert message either from the "
        "menu or by pressing Ctrl and the corresponding number between 0 and 9.",
        {8, 4, 568, 34});
    lstCAT = new QListWidget(p);
    lstCAT->setGeometry(8, 42, 530, 190);
    lstCAT->setSelectionMode(QAbstractItemView::SingleSelection);
    txtCAT = lineBox(p, {8, 240, 500, 22});
    txtCAT->setMaxLength(kAutoTextLength);
    cmdCatSet = symbolButton(p, "u", {514, 240, 24, 22});
    cmdMove[0] = symbolButton(p, "t", {546, 42, 24, 24});
    cmdMove[1] = symbolButton(p, "u", {546, 70, 24, 24});
    connect(lstCAT, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0) lstCAT_Click();
    });
    // One entry is always selected: the AutoText buttons work on it.
    connect(lstCAT, &QListWidget::itemSelectionChanged, this, [this] {
        if (lstCAT->selectedItems().isEmpty() && lstCAT->count() > 0) {
            const int row = qBound(0, lstCAT->currentRow(), lstCAT->count() - 1);
            lstCAT->item(row)->setSelected(true);
        }
    });
    connect(cmdCatSet, &chameleonButton::Click, this, [this] { cmdCatSet_Click(); });
    connect(txtCAT, &QLineEdit::returnPressed, this, [this] { cmdCatSet_Click(); });
    for (int i = 0; i < 2; ++i)
        connect(cmdMove[i], &chameleonButton::Click, this, [this, i] { cmdMove_Click(i); });
}

void frmOpt::langAutoTextPage(const modDB::Captions& t) {
    lblAT->setText(t("AT"));
}

void frmOpt::showAutoTextPage() {
    lstCAT->clear();
    for (const QString& text : Sets().CAT)
        lstCAT->addItem(text);
    lstCAT->setCurrentRow(0);
    lstCAT_Click();
}

void frmOpt::saveAutoTextPage() {
    auto& s = Sets();
    for (int i = 0; i < 10; ++i)
        s.CAT[i] = lstCAT->item(i)->text();
}

// --- 6 Groups ------------------------------------------------------------------------------------

void frmOpt::buildGroupsPage(QWidget* p) {
    txtGrps = lineBox(p, {8, 8, 200, 22});
    txtGrps->setMaxLength(kGroupNameLength);
    const char* grpCaptions[4] = {"u", "u", "t", "t"};
    const QPoint grpAt[4] = {{214, 40}, {392, 40}, {214, 68}, {392, 68}};
    for (int i = 0; i < 4; ++i) {
        cmdGrpAR[i] = symbolButton(p, grpCaptions[i], {grpAt[i], QSize(24, 24)});
        connect(cmdGrpAR[i], &chameleonButton::Click, this, [this, i] { cmdGrpAR_Click(i); });
    }
    lstGrps = new QListWidget(p);
    lstGrps->setGeometry(8, 40, 200, 230);
    lstGrpMbs = new QListWidget(p);
    lstGrpMbs->setGeometry(244, 40, 142, 230);
    // The chosen group is the current row. A press makes the row current before it selects it,
    // so the members follow the current row; the highlight is kept on it whatever the mouse,
    // the keys or the code do.
    connect(lstGrps, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0) lstGrps_Click();
    });
    connect(lstGrps, &QListWidget::itemSelectionChanged, this, [this] {
        const QList<QListWidgetItem*> chosen = lstGrps->selectedItems();
        if (!chosen.isEmpty() && chosen.first() != lstGrps->currentItem())
            lstGrps->setCurrentItem(chosen.first());
        else if (chosen.isEmpty() && lstGrps->currentItem())
            lstGrps->currentItem()->setSelected(true);
    });
    connect(txtGrps, &QLineEdit::returnPressed, this, [this] { cmdGrpAR_Click(1); });
}

void frmOpt::showGroupsPage() {
    const auto& s = Sets();
    if (!s.GRPS.isEmpty()) {
        groups_.clear();
        for (const modGroups::Group& g : modGroups::Read(s.GRPS))
            insertGroup({g.name, g.line});
        showGroups(groups_.empty() ? -1 : 0);
    }
}

void frmOpt::saveGroupsPage() {
    auto& s = Sets();
    s.GRPS.clear();
    for (const QString& line : GroupLines())
        if (modAppFnc::CountStr(line, modGlobals::Sep()) > 1) s.GRPS += line + LineBreak::kCrLf;
}

// --- 7 SpeedBar ----------------------------------------------------------------------------------

void frmOpt::buildSpeedBarPage(QWidget* p) {
    chkSB_Use = check(p, "&Enable Speed Bar", {16, 8, 300, 20});
    QGroupBox* f = Frame[7] = groupBox(p, "StartUp Location", {8, 34, 568, 72});
    optSB_Pos[0] = radio(f, "&Top Of Screen", {12, 22, 300, 20});
    optSB_Pos[1] = radio(f, "&Bottom Of Screen", {12, 44, 300, 20});
    chkSB_Slide = check(p, "Use &Slide Effect", {16, 114, 300, 20});
    f = Frame[8] = groupBox(p, "User List Filter", {8, 140, 568, 116});
    optSB_Filter[0] = radio(f, "Show &All Users", {12, 22, 400, 20});
    optSB_Filter[1] = radio(f, "Show All Except B&locked Users", {12, 44, 400, 20});
    optSB_Filter[2] = radio(f, "Show Only Users Who Are Not O&ffline", {12, 66, 400, 20});
    optSB_Filter[3] = radio(f, "Show Only Users Who Are O&nline", {12, 88, 400, 20});
}

void frmOpt::langSpeedBarPage(const modDB::Captions& t) {
    chkSB_Use->setText(t("chkSB_Use"));
    Frame[7]->setTitle(t("Frame", 7));
    optSB_Pos[0]->setText(t("optSB_Pos", 0));
    optSB_Pos[1]->setText(t("optSB_Pos", 1));
    chkSB_Slide->setText(t("chkSB_Slide"));
    Frame[8]->setTitle(t("Frame", 8));
    for (int i = 0; i < 4; ++i)
        optSB_Filter[i]->setText(t("optSB_Filter", i));
}

void frmOpt::showSpeedBarPage() {
    const auto& s = Sets();
    chkSB_Use->setChecked(s.SB_U != 0);
    selectOption(optSB_Pos, s.SB_P);
    chkSB_Slide->setChecked(s.SB_S != 0);
    selectOption(optSB_Filter, s.SB_F);
    OldSB_U = s.SB_U;
}

void frmOpt::saveSpeedBarPage() {
    auto& s = Sets();
    s.SB_U = checkValue(chkSB_Use);
    if (int i = selectedOption(optSB_Pos); i >= 0) s.SB_P = qint16(i);
    s.SB_S = checkValue(chkSB_Slide);
    if (int i = selectedOption(optSB_Filter); i >= 0) s.SB_F = qint16(i);
}

// --- 8 Soft Buttons ------------------------------------------------------------------------------

void frmOpt::buildSoftPage(QWidget* p) {
    lblSoft[0] = captionLabel(p, "To (Must be a group, leave black to disable)", {8, 8, 400, 20});
    comSoft = new QComboBox(p);
    comSoft->setEditable(true);
    comSoft->setInsertPolicy(QComboBox::NoInsert);
    comSoft->setGeometry(8, 30, 300, 24);
    lblSoft[1] = captionLabel(p, "Message", {8, 62, 200, 20});
    txtSoft = textBox(p, {8, 84, 568, 120});
    chkSoft = check(p, "Send Immediately", {8, 210, 200, 20});
    cmdSoftNext[1] = captionButton(p, "< Previous", {330, 210, 90, 24});
    lblSoftN = captionLabel(p, "1", {426, 212, 50, 20});
    lblSoftN->setAlignment(Qt::AlignCenter);
    cmdSoftNext[0] = captionButton(p, "Next >", {482, 210, 90, 24});
    chkSoftMenu = check(p, "&Show soft buttons in tray icon menu", {8, 246, 400, 20});
    for (int i = 0; i < 2; ++i) {
        connect(cmdSoftNext[i], &chameleonButton::Click, this, [this, i] { cmdSoftNext_Click(i); });
        connect(cmdSoftNext[i], &chameleonButton::DblClick, this, [this, i] { cmdSoftNext_DblClick(i); });
    }
}

void frmOpt::langSoftPage(const modDB::Captions& t) {
    chkSoftMenu->setText(t("chkSoftMenu"));
    cmdSoftNext[0]->SetCaption(t("cmdSoftNext", 0));
    cmdSoftNext[1]->SetCaption(t("cmdSoftNext", 1));
    lblSoft[0]->setText(t("lblSoft", 0));
    lblSoft[1]->setText(t("lblSoft", 1));
    chkSoft->setText(t("chkSoft"));
}

void frmOpt::showSoftPage() {
    const auto& s = Sets();
    UpdateSoftList();
    chkSoftMenu->setChecked(s.FBe != 0);
    SoftB = s.FB;
    SoftN = 0;
    cmdSoftNext_Click(-1);
}

void frmOpt::saveSoftPage() {
    auto& s = Sets();
    s.FBe = checkValue(chkSoftMenu);
    cmdSoftNext_Click(-2);
    s.FB = SoftB;
}

void frmOpt::applySpeedBar() {
    const auto& s = Sets();
    if (s.SB_U == 0) {
        frmSpeedBar::Unload();
        return;
    }
    frmSpeedBar* bar = frmSpeedBar::Loaded();
    const qint16 slide = bar && bar->AppBar()->SlideEffect() ? 1 : 0;
    // A bar the user closed while the dialog was open is gone although the box is still
    // ticked: it comes back as well.
    if (!bar || !bar->isVisible() || s.SB_S != slide || s.SB_U != OldSB_U) {
        // The old bar leaves the main window and its screen edge at once; its deferred
        // destruction may come later.
        frmSpeedBar::Unload();
        QCoreApplication::processEvents();
        QPointer<frmSpeedBar> fresh = frmSpeedBar::Load();
        fresh->OptChange();
        if (!fresh) return;
        fresh->show();
        bar = fresh;
    }
    QPalette pal = bar->lblTbUName->palette();
    const quint32 back = s.INV == 1 ? 0xFFFFFFu - (static_cast<quint32>(s.UCOL) & 0xFFFFFFu) : 0xFFFFFFu;
    pal.setColor(QPalette::Window, Colors::fromBgr(back));
    bar->lblTbUName->setPalette(pal);
}

void frmOpt::ShowSkinInfo(const QString& path) {
    // A skin that cannot be read shows no information, and says nothing.
    modSkin::SkinInfo info;
    txtSkinInfo->setPlainText(modSkin::ReadSkinFile(path, info) ? info.Info : QString());
}

void frmOpt::UpdateSoftList() {
    // The target being edited stays as it is, typed or chosen.
    const QString text = comSoft->currentText();
    const bool blocked = comSoft->blockSignals(true);
    comSoft->clear();
    comSoft->addItem(QStringLiteral("(All)"));
    for (int i = 0; i < lstGrps->count(); ++i)
        comSoft->addItem(lstGrps->item(i)->text());
    // Adding an entry selects it: the box shows the kept text instead, empty included.
    comSoft->setCurrentIndex(-1);
    comSoft->setEditText(text);
    comSoft->blockSignals(blocked);
}

// --- OK and Cancel -------------------------------------------------------------------------------

void frmOpt::cmdOk_Click() {
    // An access key clicks without moving the focus: the focused box is checked here.
    if (QWidget* box = QApplication::focusWidget(); box && box->window() == this && !Validate(box)) return;
    QPointer<frmOpt> self(this);
    if (!SaveSets() || !self) return;
    const QString over = ProgramFolder::file(kOverrideSkin);
    const QString def = ProgramFolder::file(kDefaultSkin);
    // QFile::rename never replaces an existing "default skin.qxs".
    if (QFile::rename(over, def) && sameFile(Sets().SKN, over)) {
        // The skin just saved is gone under that name: the settings follow it.
        Sets().SKN = def;
        if (!modSettings::SaveSettings() || !self) return;
    }
    Unload();
}

void frmOpt::cmdCancel_Click() {
    Unload();
}

void frmOpt::Unload() {
    if (unloading_) return;
    unloading_ = true;
    gLoaded.Release(this);
    close();
}

void frmOpt::closeEvent(QCloseEvent* e) {
    // The close box is Cancel.
    unloading_ = true;
    gLoaded.Release(this);
    qApp->removeEventFilter(this);
    disconnect(qApp, &QApplication::focusChanged, this, &frmOpt::focusChanged);
    e->accept();
}

// --- pages ---------------------------------------------------------------------------------------

void frmOpt::cmdOpt_Click(int index) {
    for (int k = 0; k < kPages; ++k) {
        const bool on = k == index;
        if (picPage[k]->isHidden() == on) picPage[k]->setVisible(on);
        QFont f = cmdOpt[k]->Font();
        if (f.bold() != on) {
            f.setBold(on);
            cmdOpt[k]->SetFont(f);
            cmdOpt[k]->ForceRefresh();
        }
    }
}

// --- sounds --------------------------------------------------------------------------------------

void frmOpt::soundEnable(int index, chameleonButton* test, QLineEdit* path, chameleonButton* browse) {
    test->SetEnabled(index >= 1);
    path->setEnabled(index == 2);
    browse->SetEnabled(index == 2);
}

void frmOpt::optASnd_Click(int index) {
    soundEnable(index, cmdASndTest, txtASndFile, cmdASndBrowse);
}

void frmOpt::optCSnd_Click(int index) {
    soundEnable(index, cmdCSndTest, txtCSndFile, cmdCSndBrowse);
}

void frmOpt::soundTest(const std::array<QRadioButton*, 3>& opt, QLineEdit* path) {
    if (opt[1]->isChecked())
        Sound::beep();
    else if (opt[2]->isChecked())
        modAppFnc::PlaySnd(path->text());
}

void frmOpt::cmdASndTest_Click() {
    soundTest(optASnd, txtASndFile);
}

void frmOpt::cmdCSndTest_Click() {
    soundTest(optCSnd, txtCSndFile);
}

void frmOpt::soundBrowse(QLineEdit* path) {
    const QString start = path->text().isEmpty() ? ProgramFolder::path() : path->text();
    QPointer<frmOpt> self(this);
    const QString chosen =
        modCommonDialog::ShowOpen(this, lang("Opt_WaveFileFilter"), lang("Opt_SndDiagTitle"), start);
    if (self && !chosen.isEmpty()) path->setText(chosen);
}

void frmOpt::cmdASndBrowse_Click() {
    soundBrowse(txtASndFile);
}

void frmOpt::cmdCSndBrowse_Click() {
    soundBrowse(txtCSndFile);
}

void frmOpt::cmdAlertPos_Click(int index) {
    for (int i = 0; i < 4; ++i)
        cmdAlertPos[i]->SetCaption(i == index ? kTicked : QString());
}

// --- skin and folder -----------------------------------------------------------------------------

void frmOpt::optSkin_Click(int) {
    const bool custom = optSkin[1]->isChecked();
    txtSkin->setEnabled(custom);
    cmdSkin->SetEnabled(custom);
    txtSkinInfo->setEnabled(custom);
    if (custom && !txtSkin->text().isEmpty()) ShowSkinInfo(txtSkin->text());
    if (!custom) txtSkinInfo->clear();
}

void frmOpt::cmdSkin_Click() {
    const QString start = txtSkin->text().isEmpty() ? ProgramFolder::path() : txtSkin->text();
    QPointer<frmOpt> self(this);
    const QString chosen =
        modCommonDialog::ShowOpen(this, lang("Opt_SkinFileFilter"), lang("Opt_SkinDiagTitle"), start);
    if (!self || chosen.isEmpty()) return;
    txtSkin->setText(chosen);
    ShowSkinInfo(chosen);
}

void frmOpt::optSFld_Click(int) {
    const bool same = optSFld[1]->isChecked();
    txtSFld->setEnabled(same);
    cmdSFld->SetEnabled(same);
}

void frmOpt::cmdSFld_Click() {
    QPointer<frmOpt> self(this);
    const QString chosen = modGetFld::BrowseForFolder(txtSFld->text(), lang("Opt_BrowsSFld"));
    if (self && !chosen.isEmpty()) txtSFld->setText(chosen);
}

// --- AutoText ------------------------------------------------------------------------------------

void frmOpt::lstCAT_Click() {
    const int row = lstCAT->currentRow();
    if (row < 0) return;
    txtCAT->setText(lstCAT->item(row)->text());
    catIndex_ = row;
}

void frmOpt::cmdCatSet_Click() {
    QString text = modAppFnc::TrimBlanks(txtCAT->text());
    if (text.isEmpty()) text = lang("Opt_tND");
    txtCAT->setText(text);
    if (catIndex_ >= 0 && catIndex_ < lstCAT->count()) lstCAT->item(catIndex_)->setText(text);
    const int next = lstCAT->currentRow() + 1 >= lstCAT->count() ? 0 : lstCAT->currentRow() + 1;
    lstCAT->setCurrentRow(next);
    lstCAT_Click();
    txtCAT->setFocus();
    txtCAT->selectAll();
    cmdCatSet->SetDisplayAsDefault(true);
}

void frmOpt::cmdMove_Click(int index) {
    const int row = lstCAT->currentRow();
    if (row < 0) return;
    const int target = index == 0 ? qMax(0, row - 1) : qMin(lstCAT->count() - 1, row + 1);
    const QString a = lstCAT->item(row)->text();
    lstCAT->item(row)->setText(lstCAT->item(target)->text());
    lstCAT->item(target)->setText(a);
    lstCAT->setCurrentRow(target);
    lstCAT_Click();
}

// --- groups --------------------------------------------------------------------------------------

QStringList frmOpt::GroupLines() const {
    QStringList out;
    for (const Group& g : groups_)
        out << g.line;
    return out;
}

int frmOpt::insertGroup(const Group& g) {
    // After every name that sorts before or equal to it: case twins keep their order.
    const auto at = std::upper_bound(groups_.begin(), groups_.end(), g, [](const Group& a, const Group& b) {
        return modAppFnc::CompareNoCase(a.name, b.name) < 0;
    });
    const auto index = at - groups_.begin();
    groups_.insert(at, g);
    return int(index);
}

int frmOpt::selectedGroup() const {
    const int row = lstGrps->currentRow();
    return row >= 0 && row < int(groups_.size()) ? row : -1;
}

QStringList frmOpt::sortedMembers(int group) const {
    QStringList members = modGroups::MembersOf(groups_[std::size_t(group)].line);
    std::stable_sort(members.begin(), members.end(),
                     [](const QString& a, const QString& b) { return modAppFnc::CompareNoCase(a, b) < 0; });
    return members;
}

void frmOpt::showGroups(int select) {
    const bool blocked = lstGrps->blockSignals(true);
    lstGrps->clear();
    for (const Group& g : groups_)
        lstGrps->addItem(g.name);
    lstGrps->setCurrentRow(select);
    lstGrps->blockSignals(blocked);
    if (select >= 0)
        lstGrps_Click();
    else
        lstGrpMbs->clear();
}

void frmOpt::lstGrps_Click() {
    if (groups_.empty()) return;
    lstGrpMbs->clear();
    const int g = selectedGroup();
    if (g < 0) return;
    lstGrpMbs->addItems(sortedMembers(g));
}

void frmOpt::cmdGrpAR_Click(int index) {
    const bool forGroups = index == 0 || index == 2 || groups_.empty();
    const bool add = index == 0 || index == 1;
    if (add) {
        const QString name = modAppFnc::TrimBlanks(txtGrps->text());
        txtGrps->setText(name);
        if (name.isEmpty()) return;
        // "(All)" is everybody's address: neither a group nor a member may take it.
        if (!modAppFnc::IsValidName(name) || modAppFnc::IsEveryoneName(name)) {
            modAppFnc::ShowMsg(lang("Opt_InvalidUNameErr"), 0, 3);
            return;
        }
        if (forGroups) {
            for (const Group& g : groups_)
                if (modAppFnc::SameNoCase(g.name, name)) {
                    modAppFnc::ShowMsg(lang("Opt_GroupAlreadyPresent"), 0, 3);
                    return;
                }
            const int at = insertGroup({name, name + modGlobals::Sep()});
            showGroups(at);
            UpdateSoftList();
        } else {
            const int g = selectedGroup();
            if (g < 0) return; // no group chosen since the last removal
            // From the chosen group's own line, never from what the member list last showed.
            QStringList members = sortedMembers(g);
            for (const QString& m : members)
                if (modAppFnc::SameNoCase(m, name)) {
                    modAppFnc::ShowMsg(lang("Opt_GroupAlreadyPresent"), 0, 3);
                    return;
                }
            const auto at = std::upper_bound(
                members.begin(), members.end(), name,
                [](const QString& a, const QString& b) { return modAppFnc::CompareNoCase(a, b) < 0; });
            const int row = int(at - members.begin());
            members.insert(row, name);
            Group& grp = groups_[std::size_t(g)];
            grp.line = modGroups::LineOf(grp.name, members);
            lstGrps_Click();
            lstGrpMbs->setCurrentRow(row);
        }
        txtGrps->setFocus();
        txtGrps->selectAll();
        return;
    }
    // Remove.
    if (forGroups) {
        const int g = selectedGroup();
        if (g < 0) return;
        txtGrps->setText(groups_[std::size_t(g)].name);
        groups_.erase(groups_.begin() + g);
        showGroups(-1);
        UpdateSoftList();
        return;
    }
    const int g = selectedGroup();
    const int m = lstGrpMbs->currentRow();
    if (g < 0 || m < 0 || !lstGrpMbs->item(m)->isSelected()) return;
    const QString name = lstGrpMbs->item(m)->text();
    QStringList members = sortedMembers(g);
    const qsizetype at = m < members.size() && members[m] == name ? m : members.indexOf(name);
    if (at < 0) return;
    txtGrps->setText(name);
    members.removeAt(at);
    Group& grp = groups_[std::size_t(g)];
    grp.line = modGroups::LineOf(grp.name, members);
    lstGrps_Click();
}

// --- soft buttons --------------------------------------------------------------------------------

void frmOpt::cmdSoftNext_Click(int index) {
    if (index != -1) {
        auto& b = SoftB[std::size_t(SoftN)];
        b.target = comSoft->currentText();
        b.sendNow = checkValue(chkSoft);
        b.text = storedUnlessEdited(txtSoft, softShown_, b.text);
    }
    if (index == 0) SoftN = qMin(9, SoftN + 1);
    if (index == 1) SoftN = qMax(0, SoftN - 1);
    lblSoftN->setText(QString::number(SoftN + 1));
    const auto& b = SoftB[std::size_t(SoftN)];
    const bool blocked = comSoft->blockSignals(true);
    comSoft->setCurrentIndex(-1);
    comSoft->setEditText(b.target);
    comSoft->blockSignals(blocked);
    chkSoft->setChecked(b.sendNow != 0);
    showStored(txtSoft, b.text, softShown_);
}

void frmOpt::showStored(SendBox* box, const QString& stored, QString& shown) {
    box->SetText(stored);
    shown = box->Text();
}

QString frmOpt::storedUnlessEdited(const SendBox* box, const QString& shown, const QString& stored) {
    return box->Text() == shown ? stored : box->Text();
}

void frmOpt::cmdSoftNext_DblClick(int index) {
    cmdSoftNext_Click(index);
}

// --- checks on leaving a box ---------------------------------------------------------------------

bool frmOpt::pathCheck(QLineEdit* box, bool folder) {
    const QString path = modAppFnc::TrimBlanks(box->text());
    if (path != box->text()) box->setText(path);
    const QFileInfo info(path);
    if (!path.isEmpty() && (folder ? info.isDir() : info.isFile())) return true;
    modAppFnc::ShowMsg(QLatin1Char('\'') + path + QLatin1Char('\'') + lang("Opt_DoseNotExist"), 0, 1);
    return false;
}

bool frmOpt::Validate(QWidget* box) {
    if (box == txtASndFile || box == txtCSndFile || box == txtSkin)
        return pathCheck(static_cast<QLineEdit*>(box), false);
    if (box == txtSFld) return pathCheck(txtSFld, true);
    if (box == txtPhoneNumber) {
        txtPhoneNumber->setText(modAppFnc::TrimBlanks(txtPhoneNumber->text()));
        return true;
    }
    for (std::size_t i = 0; i < txtAQR.size(); ++i)
        if (SendBox* aqr = txtAQR[i]; box == aqr) {
            if (aqr->Text() == aqrShown_[i]) return true; // untouched: the stored text stays as it is
            const QString text = modAppFnc::TrimBlanks(aqr->Text());
            aqr->SetText(text.isEmpty() ? lang("Opt_tND") : text);
            return true;
        }
    return true;
}

bool frmOpt::skipsCheckOf(QWidget* box, QWidget* target) const {
    // Going to Cancel, to the box's own browse button or to the option that turns the box off
    // needs no valid path.
    if (target == cmdCancel) return true;
    if (box == txtASndFile) return target == cmdASndBrowse || target == optASnd[0] || target == optASnd[1];
    if (box == txtCSndFile) return target == cmdCSndBrowse || target == optCSnd[0] || target == optCSnd[1];
    if (box == txtSkin) return target == cmdSkin || target == optSkin[0];
    if (box == txtSFld) return target == cmdSFld || target == optSFld[0];
    return false;
}

void frmOpt::focusChanged(QWidget* old, QWidget* now) {
    if (checking_ || unloading_ || !old || !now || old->window() != this || now->window() != this) return;
    if (now == old || old->isAncestorOf(now) || skipsCheckOf(old, now)) return;
    checking_ = true;
    QPointer<frmOpt> self(this);
    QPointer<QWidget> box(old);
    const bool ok = Validate(old);
    if (!self) return;
    checking_ = false;
    if (ok || !box) return;
    // The focus stays, and the press that tried to take it does nothing.
    checking_ = true;
    box->setFocus(Qt::OtherFocusReason);
    checking_ = false;
    eatPress_ = true;
    QTimer::singleShot(0, this, [this] { eatPress_ = false; });
}

bool frmOpt::eventFilter(QObject* watched, QEvent* e) {
    switch (e->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        if (eatPress_ && watched->isWidgetType() && static_cast<QWidget*>(watched)->window() == this) {
            eatPress_ = false;
            eatRelease_ = static_cast<QWidget*>(watched);
            return true;
        }
        break;
    case QEvent::MouseButtonRelease:
        if (eatRelease_ && watched == eatRelease_.data()) {
            eatRelease_ = nullptr;
            return true;
        }
        break;
    case QEvent::Shortcut: {
        // An access key of an option or check box moves the focus there, and checks first; a
        // push button's clicks without moving it (OK checks for itself).
        auto* target = qobject_cast<QWidget*>(watched);
        QWidget* box = QApplication::focusWidget();
        if (!target || target->window() != this || qobject_cast<chameleonButton*>(target) || !box ||
            box->window() != this || box == target || checking_ || skipsCheckOf(box, target))
            break;
        checking_ = true;
        QPointer<frmOpt> self(this);
        const bool ok = Validate(box);
        if (!self) return true;
        checking_ = false;
        if (!ok) return true;
        break;
    }
    case QEvent::FocusIn:
        if (watched == txtCAT || watched == txtGrps || watched == txtPhoneNumber || watched == txtASndFile ||
            watched == txtSFld) {
            auto* box = static_cast<QLineEdit*>(watched);
            QTimer::singleShot(0, box, [box] { box->selectAll(); });
            if (watched == txtCAT) cmdCatSet->SetDisplayAsDefault(true);
            if (watched == txtGrps) cmdGrpAR[1]->SetDisplayAsDefault(true);
        }
        break;
    case QEvent::FocusOut:
        if (watched == txtCAT) cmdCatSet->SetDisplayAsDefault(false);
        if (watched == txtGrps) cmdGrpAR[1]->SetDisplayAsDefault(false);
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, e);
}
