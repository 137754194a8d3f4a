#include "conversation/frmInfo.h"

#include "controls/chameleonButton.h"
#include "core/SkinAtlas.h"
#include "core/frmImgs.h"
#include "core/modAppFnc.h"
#include "core/modDB.h"
#include "core/modSkin.h"
#include "platform/Colors.h"

#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>

frmInfo::frmInfo(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint) {
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("frmInfo"));
    setFixedSize(SkinAtlas::kDialogBack.size()); // the skin's dialog back fills it
    setWindowTitle(QStringLiteral("Requested Info Receved - Talkvane3"));

    imgPic = new QLabel(this);
    imgPic->setGeometry(16, 20, 16, 16);
    // A peer's name and text: plain text only.
    lblUFrom = new QLabel(this);
    lblUFrom->setObjectName(QStringLiteral("lblUFrom"));
    lblUFrom->setTextFormat(Qt::PlainText);
    lblUFrom->setGeometry(40, 16, 372, 24);
    txtMsg = new QPlainTextEdit(this);
    txtMsg->setObjectName(QStringLiteral("txtMsg"));
    txtMsg->setReadOnly(true);
    txtMsg->setGeometry(16, 48, 396, 160);
    cmdOk = chameleonButton::LaidOut(this, QStringLiteral("&Ok"));
    cmdOk->setGeometry(SkinAtlas::kDialogBack.width() - 16 - 113, 222, 113, 25);
    connect(cmdOk, &chameleonButton::Click, this, [this] { cmdOk_Click(); });

    Form_Load();
}

void frmInfo::Form_Load() {
    imgPic->setPixmap(QPixmap::fromImage(frmImgs::Load().picImgLst[0]));
    SetSkin();
    SetLang();
}

void frmInfo::SetSkin() {
    // The skin picture itself, shared and never copied: every window of this kind draws from it.
    skin_ = frmImgs::Load().picSkin;
    modSkin::SkinButton(cmdOk);
    update();
}

void frmInfo::SetLang() {
    if (frmImgs* imgs = frmImgs::Loaded()) setWindowIcon(imgs->icon);
    if (!modDB::DBLoaded()) return;
    const modDB::Captions t("frmInfo");
    setWindowTitle(t("Form"));
    cmdOk->SetCaption(t("cmdOk"));
}

void frmInfo::SetFrom(const QString& sender, quint32 colour, const QString& fontName, bool inverse) {
    lblUFrom->setText(sender);
    QPalette pal = lblUFrom->palette();
    pal.setColor(QPalette::WindowText, Colors::fromBgr(colour));
    if (inverse) pal.setColor(QPalette::Window, Colors::fromBgr(0xFFFFFFu - (colour & 0xFFFFFFu)));
    lblUFrom->setPalette(pal);
    lblUFrom->setAutoFillBackground(inverse);
    QFont f = lblUFrom->font();
    f.setFamily(fontName);
    lblUFrom->setFont(f);
}

void frmInfo::SetText(const QString& text) {
    txtMsg->setPlainText(modAppFnc::PlainLines(text));
}

void frmInfo::cmdOk_Click() {
    close();
}

void frmInfo::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    SkinAtlas::Blit(p, 0, 0, skin_, SkinAtlas::kDialogBack);
}
