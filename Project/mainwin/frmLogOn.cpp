#include "mainwin/frmLogOn.h"

#include "controls/ListMirror.h"
#include "controls/chameleonButton.h"
#include "core/SkinAtlas.h"
#include "core/frmImgs.h"
#include "core/modAppFnc.h"
#include "core/modDB.h"
#include "core/modEnd.h"
#include "core/modGDI.h"
#include "core/modGlobals.h"
#include "core/modLangConst.h"
#include "core/modNetCmds.h"
#include "core/modNetCom.h"
#include "core/modSkin.h"
#include "core/modTerminate.h"
#include "mainwin/frmLang.h"
#include "platform/Colors.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QEventLoop>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QTimer>

namespace {
constexpr int kDesignPollInterval = 500;
constexpr quint32 kWhite = 0xFFFFFF;
const QString kTicked = QStringLiteral("a");
// The colour buttons draw from their own face colour, not the system's.
constexpr qint32 kOwnColours = 2;

// Where each colour button sits; the three hidden ones stand aside at x 8.
struct Cell {
    int x, y;
    bool shown;
};
constexpr Cell kCells[frmLogOn::kColours] = {
    {80, 128, true}, {96, 128, true},  {112, 128, true}, {128, 128, true},
    {96, 160, true}, {112, 160, true}, {128, 160, true}, {8, 128, false},
    {8, 144, false}, {96, 144, true},  {112, 144, true}, {128, 144, true},
    {96, 176, true}, {112, 176, true}, {128, 176, true}, {8, 160, false}};

QFont symbolFont() {
    QFont f(QString::fromLatin1(modGDI::kSymbolFont));
    f.setPointSize(10);
    return f;
}
} // namespace

frmLogOn::frmLogOn(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint) {
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("frmLogOn"));
    setFixedSize(SkinAtlas::kDialogBack.size()); // the skin's dialog back fills it
    setWindowTitle(QStringLiteral("SignIn to Talkvane3"));

    const char* caps[4] = {"Name", "Font", "Color", "Auto Signin"};
    const QPoint capAt[4] = {{16, 64}, {16, 96}, {16, 128}, {104, 208}};
    for (int i = 0; i < 4; ++i) {
        lblCap[i] = new QLabel(QString::fromLatin1(caps[i]), this);
        lblCap[i]->setGeometry(capAt[i].x(), capAt[i].y(), i == 3 ? 120 : 60, 17);
        lblCap[i]->installEventFilter(this);
    }

    txtName = new QLineEdit(this);
    txtName->setGeometry(80, 64, 201, 25);
    txtName->setMaxLength(kNameLength);
    QPalette white = txtName->palette();
    white.setColor(QPalette::Base, Qt::white);
    txtName->setPalette(white);
    txtName->installEventFilter(this);
    // A name set by code may be longer than typing allows; it is never cut, only not grown.
    connect(txtName, &QLineEdit::textChanged, this,
            [this](const QString& t) { txtName->setMaxLength(qMax<int>(kNameLength, t.size())); });

    cbbFont = new QComboBox(this);
    cbbFont->setGeometry(80, 96, 201, 22);
    connect(cbbFont, &QComboBox::currentIndexChanged, this, [this] { cbbFont_Click(); });

    for (int i = 0; i < kColours; ++i) {
        auto* b = chameleonButton::LaidOut(this);
        b->setGeometry(kCells[i].x, kCells[i].y, 17, 17);
        b->SetFont(symbolFont());
        b->SetColorScheme(kOwnColours);
        b->setVisible(kCells[i].shown);
        connect(b, &chameleonButton::Click, this, [this, i] { cmdCol_Click(i); });
        cmdCol[i] = b;
    }

    lstUsersBox = new QListWidget(this);
    lstUsersBox->setGeometry(152, 128, 129, 68);
    lstUsersBox->setSelectionMode(QAbstractItemView::NoSelection);

    cmdAutoLogon = chameleonButton::LaidOut(this);
    cmdAutoLogon->setGeometry(80, 208, 17, 17);
    cmdAutoLogon->SetFont(symbolFont());
    connect(cmdAutoLogon, &chameleonButton::Click, this, [this] { cmdAutoLogon_Click(); });

    lblStat = new QLabel(QStringLiteral("Please Wait..."), this);
    lblStat->setGeometry(296, 168, 113, 22);
    lblStat->setAlignment(Qt::AlignCenter);

    cmdOk = chameleonButton::LaidOut(this, QStringLiteral("&Ok"));
    cmdOk->setGeometry(296, 168, 113, 25);
    cmdOk->hide();
    connect(cmdOk, &chameleonButton::Click, this, [this] { cmdOk_Click(); });

    cmdCancel = chameleonButton::LaidOut(this, QStringLiteral("&Close"));
    cmdCancel->setGeometry(296, 200, 113, 25);
    connect(cmdCancel, &chameleonButton::Click, this, [this] { cmdCancel_Click(); });

    cmdLang = chameleonButton::LaidOut(this, QStringLiteral("Set &Language..."));
    cmdLang->setGeometry(296, 240, 113, 17);
    connect(cmdLang, &chameleonButton::Click, this, [this] { cmdLang_Click(); });

    tmrRefresh = new QTimer(this);
    connect(tmrRefresh, &QTimer::timeout, this, [this] { tmrRefresh_Timer(); });
    tmrRefresh->start(kDesignPollInterval);
    tmrDelay = new QTimer(this);
    connect(tmrDelay, &QTimer::timeout, this, [this] { tmrDelay_Timer(); });

    if (QScreen* s = QGuiApplication::primaryScreen())
        move(s->availableGeometry().center() -
             QPoint(SkinAtlas::kDialogBack.width() / 2, SkinAtlas::kDialogBack.height() / 2));

    Form_Load();
}

frmLogOn::~frmLogOn() = default;

void frmLogOn::Form_Load() {
    SetSkin();
    SetLang();
    const modGlobals::Settings& s = modGlobals::Sets();
    setNameText(s.UNAME);
    for (int i = 0; i < kColours; ++i) {
        const quint32 colour = modGlobals::PaletteColor(i);
        cmdCol[i]->SetBackColor(colour);
        // The check mark in black or white, whichever shows on the face.
        const QColor face = Colors::fromBgr(colour);
        cmdCol[i]->SetForeColor(face.lightness() > 110 ? 0 : kWhite);
        if (colour == static_cast<quint32>(s.UCOL)) {
            cmdCol[i]->SetCaption(kTicked);
            cmdCol_Click(i);
        }
    }
    AddFonts();
    // A font this computer lacks stays the user's font by name.
    int at = cbbFont->findText(s.UFNT, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (at < 0 && !s.UFNT.isEmpty()) {
        cbbFont->insertItem(0, s.UFNT);
        at = 0;
    }
    cbbFont->setCurrentIndex(at);
    cbbFont_Click();
    cmdAutoLogon->SetCaption(s.ALGON == 1 ? kTicked : QString());
    tmrRefresh->setInterval(kPollInterval);
    modNetCmds::OpenNetCom(this, QStringLiteral("\\") + modNetCom::GetLogonName());
    showUsers();
    modAPIFunc::SetTopMost(this, true);
}

void frmLogOn::SetLang() {
    if (frmImgs* imgs = frmImgs::Loaded()) setWindowIcon(imgs->icon);
    if (!modDB::DBLoaded()) return;
    const modDB::Captions t("frmLogOn");
    setWindowTitle(t("Form"));
    for (int i = 0; i < 4; ++i)
        lblCap[i]->setText(t("lblCap", i));
    cmdOk->SetCaption(t("cmdOk"));
    cmdCancel->SetCaption(t("cmdCancel"));
    cmdLang->SetCaption(t("cmdLang"));
}

void frmLogOn::SetSkin() {
    if (frmImgs* imgs = frmImgs::Loaded())
        background_ = imgs->picSkin.copy(SkinAtlas::kDialogBack);
    else
        background_ = QImage();
    const modSkin::SkinInfo& s = modSkin::Current();
    const QColor text = Colors::fromBgr(static_cast<quint32>(s.TextColor));
    auto colourLabel = [&](QLabel* l) {
        QPalette p = l->palette();
        p.setColor(QPalette::WindowText, text);
        l->setPalette(p);
    };
    for (QLabel* l : lblCap)
        colourLabel(l);
    colourLabel(lblStat);
    for (chameleonButton* b : {cmdOk, cmdCancel, cmdLang, cmdAutoLogon})
        modSkin::SkinButton(b);
    for (chameleonButton* b : cmdCol)
        b->SetButtonType(s.ButtonType);
    update();
}

void frmLogOn::AddFonts() {
    cbbFont->clear();
    QStringList names;
    for (const QString& f : QFontDatabase::families())
        if (!QFontDatabase::isPrivateFamily(f)) names << f;
    cbbFont->addItems(names);
}

quint32 frmLogOn::GetColor() const {
    for (const chameleonButton* b : cmdCol)
        if (b->Caption() == kTicked) return b->BackColor();
    return 0;
}

frmLogOn::Answer frmLogOn::GetAnswer() const {
    return {txtName->text(), GetColor(), cbbFont->currentText(), cmdAutoLogon->Caption() == kTicked};
}

void frmLogOn::cmdOk_Click() {
    const QString name = modAppFnc::TrimBlanks(txtName->text());
    setNameText(name);
    QString refusal;
    if (name.isEmpty()) {
        refusal = QStringLiteral("LogOn_NoUNameErr");
    } else if (!modAppFnc::IsValidName(name) || modAppFnc::IsEveryoneName(name)) {
        refusal = QStringLiteral("LogOn_InvalidUNameErr");
    } else {
        for (const QString& heard : users_.items()) {
            if (modAppFnc::SameNoCase(name, heard)) {
                refusal = QStringLiteral("LogOn_NameInUseErr");
                break;
            }
        }
    }
    if (refusal.isEmpty()) {
        hide();
        return;
    }
    // Set before the message: the window may be gone when its nested loop returns.
    vRet = 1;
    modAppFnc::ShowMsg(modLangConst::Get(refusal), 0, 3);
}

void frmLogOn::ShowModal() {
    QPointer<frmLogOn> self(this);
    setWindowModality(Qt::ApplicationModal);
    show();
    if (!isVisible()) return;
    QEventLoop loop;
    connect(this, &QObject::destroyed, &loop, &QEventLoop::quit);
    const auto watcher = connect(this, &frmLogOn::hidden, &loop, &QEventLoop::quit);
    loop.exec();
    if (!self) return;
    disconnect(watcher);
    setWindowModality(Qt::NonModal);
}

void frmLogOn::Unload() {
    close();
}

void frmLogOn::cmdCol_Click(int index) {
    if (index < 0 || index >= kColours) return;
    for (int i = 0; i < kColours; ++i)
        cmdCol[i]->SetCaption(i == index ? kTicked : QString());
    const quint32 colour = cmdCol[index]->BackColor();
    QPalette p = txtName->palette();
    p.setColor(QPalette::Text, Colors::fromBgr(colour));
    p.setColor(QPalette::Base, Colors::fromBgr(modGlobals::Sets().INV == 1 ? kWhite - colour : kWhite));
    txtName->setPalette(p);
}

void frmLogOn::cbbFont_Click() {
    QFont f = txtName->font();
    f.setFamily(cbbFont->currentText());
    txtName->setFont(f);
}

void frmLogOn::cmdAutoLogon_Click() {
    cmdAutoLogon->SetCaption(cmdAutoLogon->Caption() == kTicked ? QString() : kTicked);
}

void frmLogOn::lblCap_Click(int index) {
    if (index == 3) cmdAutoLogon_Click();
}

void frmLogOn::txtName_GotFocus() {
    txtName->selectAll();
}

void frmLogOn::tmrDelay_Timer() {
    cmdOk->show();
    tmrDelay->stop();
    lblStat->hide();
}

void frmLogOn::tmrRefresh_Timer() {
    QPointer<frmLogOn> self(this);
    modNetCmds::PollData();
    if (self) showUsers();
}

void frmLogOn::cmdLang_Click() {
    modAppFnc::ShowLangDialog(this);
}

void frmLogOn::cmdCancel_Click() {
    Unload();
    modTerminate::Terminate();
}

void frmLogOn::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (background_.isNull())
        p.fillRect(rect(), palette().window());
    else
        p.drawImage(0, 0, background_);
}

void frmLogOn::hideEvent(QHideEvent* e) {
    QWidget::hideEvent(e);
    emit hidden();
}

void frmLogOn::closeEvent(QCloseEvent* e) {
    // Only the window system sends a spontaneous close: the close box or the system menu.
    Form_QueryUnload(e->spontaneous() ? 0 : 1);
    e->accept();
}

void frmLogOn::Form_QueryUnload(int unloadMode) {
    if (!unloaded_) {
        unloaded_ = true;
        tmrRefresh->stop();
        tmrDelay->stop();
        modNetCmds::CloseNetCom(0);
    }
    if (unloadMode == 0) modEnd::EndNow();
}

bool frmLogOn::eventFilter(QObject* watched, QEvent* e) {
    if (watched == txtName && e->type() == QEvent::FocusIn) {
        txtName_GotFocus();
    } else if (e->type() == QEvent::MouseButtonRelease) {
        const auto* me = static_cast<QMouseEvent*>(e);
        for (int i = 0; i < 4; ++i)
            if (watched == lblCap[i] && me->button() == Qt::LeftButton &&
                lblCap[i]->rect().contains(me->pos()))
                lblCap_Click(i);
    }
    return QWidget::eventFilter(watched, e);
}

void frmLogOn::setNameText(const QString& text) {
    txtName->setMaxLength(qMax<int>(kNameLength, text.size()));
    txtName->setText(text);
}

void frmLogOn::showUsers() {
    ListMirror::Show(lstUsersBox, users_.items());
}
