#include "conversation/frmAlert.h"

#include "controls/SendBox.h"
#include "controls/chameleonButton.h"
#include "core/SkinAtlas.h"
#include "core/frmImgs.h"
#include "core/modAppFnc.h"
#include "core/modDB.h"
#include "core/modGlobals.h"
#include "core/modLangConst.h"
#include "core/modNetCmds.h"
#include "core/modSkin.h"
#include "platform/Colors.h"
#include "platform/WindowShow.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPointer>

using modGlobals::Sep;
using modLangConst::lang;

namespace {
// Blanks, tabs and line breaks go at both ends; inside the text they stay.
QString trimBlanks(const QString& text) {
    auto blank = [](QChar c) {
        return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\r') ||
               c == QLatin1Char('\n');
    };
    qsizetype b = 0, e = text.size();
    while (b < e && blank(text.at(b)))
        ++b;
    while (e > b && blank(text.at(e - 1)))
        --e;
    return text.mid(b, e - b);
}

void colourLabel(QLabel* l, quint32 fore, const quint32* back = nullptr) {
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, Colors::fromBgr(fore));
    if (back) p.setColor(QPalette::Window, Colors::fromBgr(*back));
    l->setPalette(p);
    l->setAutoFillBackground(back != nullptr);
}
} // namespace

frmAlert::frmAlert(const QString& userList, QWidget* parent) : QMainWindow(parent), uTo_(userList) {
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("frmAlert"));
    setWindowTitle(QStringLiteral("Compose Alert - Talkvane3"));

    auto item = [](QMenu* m, const char* caption) { return m->addAction(QString::fromUtf8(caption)); };
    mnuAction = menuBar()->addMenu(QStringLiteral("&Action"));
    mnuActionMerge = item(mnuAction, "&Merge in Text File...");
    mnuActionAT = mnuAction->addMenu(QStringLiteral("&Auto Text"));
    mnuAction->addSeparator();
    mnuActionClose = item(mnuAction, "&Close");
    mnuEdit = menuBar()->addMenu(QStringLiteral("&Edit"));

    body = new QWidget(this);
    body->setFixedSize(SkinAtlas::kDialogBack.size()); // the skin's dialog back fills it
    body->installEventFilter(this);
    setCentralWidget(body);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    // The recipients are names from the network: plain text.
    lblTo = new QLabel(QStringLiteral("<TO>"), body);
    lblTo->setObjectName(QStringLiteral("lblTo"));
    lblTo->setTextFormat(Qt::PlainText);
    lblTo->setGeometry(8, 8, 412, 20);
    txtMsg = new SendBox(body);
    txtMsg->setObjectName(QStringLiteral("txtMsg"));
    txtMsg->setGeometry(8, 34, 412, 182);
    editItems = SendBox::BuildEditMenu(mnuEdit, txtMsg);
    lblCnt = new QLabel(QStringLiteral("000/000"), body);
    lblCnt->setObjectName(QStringLiteral("lblCnt"));
    lblCnt->setGeometry(8, 228, 100, 18);
    cmdSnd = chameleonButton::LaidOut(body, QStringLiteral("&Send"));
    cmdSnd->setGeometry(216, 226, 98, 25);
    cmdClose = chameleonButton::LaidOut(body, QStringLiteral("&Close"));
    cmdClose->setGeometry(322, 226, 98, 25);

    connect(txtMsg, &QPlainTextEdit::textChanged, this, &frmAlert::txtMsg_Change);
    // Enter breaks the line here: an alert is sent with the button only.
    connect(txtMsg, &SendBox::SendRequested, this, [this] { txtMsg->SetSelText(QStringLiteral("\n")); });
    connect(cmdSnd, &chameleonButton::Click, this, &frmAlert::cmdSnd_Click);
    connect(cmdClose, &chameleonButton::Click, this, &frmAlert::cmdClose_Click);
    connect(mnuActionClose, &QAction::triggered, this, &frmAlert::cmdClose_Click);
    connect(mnuActionMerge, &QAction::triggered, this, &frmAlert::mnuActionMerge_Click);

    Form_Load();
}

void frmAlert::Form_Load() {
    SendBox::BuildAutoText(mnuActionAT, txtMsg);
    SetUTo(uTo_);
    txtMsg->UseOwnLook();
    txtMsg->SetMaxLength(SendBox::kMaxLength);
    txtMsg_Change();
    SetLang();
    SetSkin();
}

void frmAlert::SetUTo(const QString& userList) {
    uTo_ = userList;
    QString shown = modAppFnc::ReplaceAll(userList, Sep(), QStringLiteral("; "));
    if (shown.endsWith(QLatin1String("; "))) shown.chop(2);
    lblTo->setText(shown);
}

void frmAlert::SetLang() {
    if (frmImgs* imgs = frmImgs::Loaded()) setWindowIcon(imgs->icon);
    if (!modDB::DBLoaded()) return;
    const modDB::Captions t("frmAlert");
    setWindowTitle(t("Form"));
    cmdSnd->SetCaption(t("cmdSnd"));
    cmdClose->SetCaption(t("cmdClose"));
    mnuAction->setTitle(t("mnuAction"));
    mnuActionMerge->setText(t.Shared("mnuMergeTxt"));
    mnuActionAT->setTitle(t.Shared("mnuAutoText"));
    mnuActionClose->setText(t("mnuActionClose"));
    mnuEdit->setTitle(t.Shared("mnuEdit"));
    SendBox::SetEditLang(editItems);
}

void frmAlert::SetSkin() {
    // The skin picture itself, shared and never copied: every window of this kind draws from it.
    skin_ = frmImgs::Load().picSkin;
    const modSkin::SkinInfo& s = modSkin::Current();
    colourLabel(lblCnt, static_cast<quint32>(s.TextColor));
    const quint32 back = static_cast<quint32>(s.ListBackColor);
    colourLabel(lblTo, static_cast<quint32>(s.ListForeColor), &back);
    modSkin::SkinButton(cmdSnd);
    modSkin::SkinButton(cmdClose);
    body->update();
}

void frmAlert::txtMsg_Change() {
    lblCnt->setText(QString::number(txtMsg->TextLength()) + QLatin1Char('/') +
                    QString::number(SendBox::kMaxLength));
}

void frmAlert::cmdSnd_Click() {
    const QString text = trimBlanks(txtMsg->Text());
    txtMsg->SetText(text);
    // Sent only under a name others list: a "\" name is what every copy ignores.
    const bool signedIn = modNetCmds::IsOpen() && !modNetCmds::MyName().startsWith(QLatin1Char('\\'));
    if (!text.isEmpty() && signedIn) {
        const QString clean = SendBox::Clean(txtMsg->Text());
        for (const QString& name : modAppFnc::ListNames(uTo_))
            modNetCmds::SendAlert(name, clean);
        close();
        return;
    }
    // Nobody would ever see or close a window that was never shown.
    if (!everShown_) close();
}

void frmAlert::cmdClose_Click() {
    close();
}

void frmAlert::mnuActionMerge_Click() {
    QPointer<frmAlert> self(this);
    const QString path =
        txtMsg->MergeIn(lang("Alert_MergeInFilter"), lang("Alert_MergeInTitle"), LastMergePath);
    if (self) LastMergePath = path; // the window may have gone while the dialog was open
}

void frmAlert::mnuActionATi_Click(int index) {
    const QList<QAction*> items = mnuActionAT->actions();
    if (index < 0 || index >= items.size()) return;
    txtMsg->SetSelText(items.at(index)->data().toString());
}

void frmAlert::keyPressEvent(QKeyEvent* e) {
    // The send box leaves Ctrl+digits to the window.
    const int index = SendBox::AutoTextIndex(e);
    if (index >= 0) {
        mnuActionATi_Click(index);
        return;
    }
    QMainWindow::keyPressEvent(e);
}

bool frmAlert::eventFilter(QObject* watched, QEvent* e) {
    if (watched == body && e->type() == QEvent::Paint) {
        QPainter p(body);
        p.fillRect(body->rect(), palette().window());
        SkinAtlas::Blit(p, 0, 0, skin_, SkinAtlas::kDialogBack);
        return true;
    }
    return QMainWindow::eventFilter(watched, e);
}

void frmAlert::showEvent(QShowEvent* e) {
    everShown_ = true;
    QMainWindow::showEvent(e);
}

frmAlert* modAppFnc::NewAlertWindow(const QString& userList, bool hidden) {
    auto* w = new frmAlert(userList);
    if (!hidden) WindowShow::Asked(w); // always for the user, who types into it
    return w;
}
