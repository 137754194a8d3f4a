#include "conversation/frmAbout.h"

#include "controls/chameleonButton.h"
#include "conversation/frmEgg.h"
#include "conversation/frmSplash.h"
#include "core/frmImgs.h"
#include "core/modDB.h"
#include "core/modLangConst.h"
#include "platform/Input.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>

using modLangConst::lang;

namespace {
constexpr int kWidth = 400;
constexpr int kHeight = 250;
constexpr qint16 kRightButton = 2;
constexpr qint16 kShiftCtrlAlt = 7;
const QString kTitle = QStringLiteral("About Talkvane3   v.");

const QString kNotice =
    QStringLiteral("Talkvane3\n"
                   "LAN Communication System\n\n"
                   "Messages, alerts, chat rooms and files between the computers of one local network, "
                   "without a server.\n\n"
                   "Copyright (C) the Talkvane3 developers.");
const QString kMaker = QStringLiteral("Made for small offices and friendly networks.");
const QString kLicence = QStringLiteral(
    "Licence\n\n"
    "You may use and copy this program free of charge, and give copies to others, as long as "
    "every copy keeps this notice.\n\n"
    "The program is provided as it is, without any warranty. Its authors are not liable for any "
    "damage or loss that comes from using it.");

QImage linkPicture() {
    QImage img(24, 24, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x34, 0x78, 0xb8), 2));
    p.setBrush(QColor(0xdc, 0xe7, 0xf3));
    p.drawEllipse(QRectF(2, 2, 20, 20));
    p.drawLine(QPointF(2, 12), QPointF(22, 12));
    p.drawEllipse(QRectF(8, 2, 8, 20));
    return img;
}

QImage eggPicture() {
    QImage img(12, 14, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QColor(0xaf, 0xc3, 0xd9));
    p.setBrush(QColor(0xe3, 0xeb, 0xf4));
    p.drawEllipse(QRectF(1, 1, 10, 12));
    return img;
}
} // namespace

frmAbout::frmAbout(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint) {
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("frmAbout"));
    setFixedSize(kWidth, kHeight);
    setWindowTitle(kTitle);

    lblInfo = new QLabel(kNotice, this);
    lblInfo->setGeometry(88, 16, 296, 150);
    lblInfo->setWordWrap(true);
    lblInfo->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label2 = new QLabel(kMaker, this);
    Label2->setGeometry(88, 172, 296, 18);

    txtLicence = new QPlainTextEdit(this);
    txtLicence->setReadOnly(true);
    txtLicence->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    txtLicence->setPlainText(kLicence);
    txtLicence->setGeometry(0, 0, 296, 0);
    txtLicence->hide();

    imgLink = new QLabel(this);
    imgLink->setPixmap(QPixmap::fromImage(linkPicture()));
    imgLink->setGeometry(16, 208, 24, 24);
    imgEgg = new QLabel(this);
    imgEgg->setPixmap(QPixmap::fromImage(eggPicture()));
    imgEgg->setGeometry(44, 214, 12, 14);
    imgEgg->installEventFilter(this);

    cmdLicence = chameleonButton::LaidOut(this);
    cmdLicence->setGeometry(176, 208, 100, 25);
    connect(cmdLicence, &chameleonButton::Click, this, [this] { cmdLicence_Click(); });
    cmdClose = chameleonButton::LaidOut(this, QStringLiteral("&Close"));
    cmdClose->setGeometry(284, 208, 100, 25);
    connect(cmdClose, &chameleonButton::Click, this, [this] { cmdClose_Click(); });

    Form_Load();
}

void frmAbout::Form_Load() {
    txtLicence->setGeometry(lblInfo->x(), lblInfo->y(), txtLicence->width(), lblInfo->height());
    imgLink->setCursor(Qt::PointingHandCursor);
    cmdLicence->SetCaption(lang("About_L"));
    SetLang();
}

void frmAbout::SetLang() {
    if (frmImgs* imgs = frmImgs::Loaded()) setWindowIcon(imgs->icon);
    const modDB::Captions t("frmAbout");
    const QString title = modDB::DBLoaded() ? t("Form") : kTitle;
    setWindowTitle(title + frmSplash::VersionText());
    if (modDB::DBLoaded()) cmdClose->SetCaption(t("cmdClose"));
}

void frmAbout::cmdLicence_Click() {
    if (txtLicence->isVisible()) {
        txtLicence->hide();
        cmdLicence->SetCaption(lang("About_L"));
    } else {
        txtLicence->show();
        txtLicence->raise();
        cmdLicence->SetCaption(lang("About_C"));
    }
}

void frmAbout::cmdClose_Click() {
    close();
}

void frmAbout::Form_Deactivate() {
    close();
}

void frmAbout::imgEgg_MouseUp(qint16 button, qint16 shift) {
    if (button != kRightButton || shift != kShiftCtrlAlt) return;
    // A window of its own: the about box closes as soon as the new window is active.
    new frmEgg();
}

void frmAbout::changeEvent(QEvent* e) {
    QWidget::changeEvent(e);
    if (e->type() != QEvent::ActivationChange) return;
    if (isActiveWindow())
        wasActive_ = true;
    else if (wasActive_)
        Form_Deactivate();
}

bool frmAbout::eventFilter(QObject* watched, QEvent* e) {
    if (watched == imgEgg) {
        if (e->type() == QEvent::MouseButtonRelease) {
            const auto* me = static_cast<QMouseEvent*>(e);
            imgEgg_MouseUp(Input::MouseButton(me->button()), Input::ShiftState(me->modifiers()));
            return true;
        }
    }
    return QWidget::eventFilter(watched, e);
}

void frmAbout::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    if (frmImgs* imgs = frmImgs::Loaded()) imgs->icon.paint(&p, QRect(16, 16, 56, 56));
}
