#include "conversation/frmEgg.h"

#include "controls/chameleonButton.h"
#include "core/frmImgs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>

namespace {
const QStringList kDurations = {QStringLiteral("Long"),
                                QStringLiteral("Realy Long"),
                                QStringLiteral("Ages"),
                                QStringLiteral("Bloody Ages"),
                                QStringLiteral("So Long I Think It's Crashed"),
                                QStringLiteral("Eons!")};
}

frmEgg::frmEgg(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint) {
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("frmEgg"));
    setWindowTitle(QStringLiteral("Hidden Settings"));
    setFixedSize(400, 262);

    auto* crash = new QGroupBox(QStringLiteral("Crash"), this);
    crash->setGeometry(8, 8, 384, 52);
    optWhen[0] = new QRadioButton(QStringLiteral("&When I least expect it"), crash);
    optWhen[0]->setGeometry(12, 22, 180, 22);
    optWhen[0]->setChecked(true);
    optWhen[1] = new QRadioButton(QStringLiteral("&Constantly"), crash);
    optWhen[1]->setGeometry(200, 22, 170, 22);

    chkOption[0] =
        new QCheckBox(QStringLiteral("Allow me to carry on &typing during AutoRecovery saves"), this);
    chkOption[0]->setGeometry(12, 68, 380, 22);
    chkOption[1] = new QCheckBox(QStringLiteral("Create incredibly large &files"), this);
    chkOption[1]->setGeometry(12, 94, 380, 22);

    // The captions take the width the widest of them needs in this font; the controls follow.
    const char* caps[3] = {"Start-up time:", "Shut-down time:", "Random pause (ms):"};
    QLabel* cap[3] = {};
    int capWidth = 110;
    for (int i = 0; i < 3; ++i) {
        cap[i] = new QLabel(QString::fromLatin1(caps[i]), this);
        capWidth = qMax(capWidth, cap[i]->sizeHint().width());
    }
    const int controls = 12 + capWidth + 6;
    for (int i = 0; i < 2; ++i) {
        cap[i]->setGeometry(12, 128 + 30 * i, capWidth, 22);
        Combo1[i] = new QComboBox(this);
        Combo1[i]->addItems(kDurations);
        Combo1[i]->setGeometry(controls, 128 + 30 * i, qMin(220, width() - 8 - controls), 22);
    }
    cap[2]->setGeometry(12, 192, capWidth, 22);
    Text[0] = new QLineEdit(QStringLiteral("5000"), this);
    Text[0]->setGeometry(controls, 192, 80, 22);
    VScroll1 = new QScrollBar(Qt::Vertical, this);
    VScroll1->setGeometry(controls + 80, 192, 17, 22);
    VScroll1->setRange(0, 32767);
    VScroll1->setValue(5000);
    connect(VScroll1, &QScrollBar::valueChanged, this, [this] { VScroll1_Change(); });

    cmdOk = chameleonButton::LaidOut(this, QStringLiteral("&Ok"));
    cmdOk->setGeometry(212, 228, 86, 25);
    connect(cmdOk, &chameleonButton::Click, this, [this] { cmdOk_Click(); });
    cmdCancel = chameleonButton::LaidOut(this, QStringLiteral("&Cancel"));
    cmdCancel->setGeometry(306, 228, 86, 25);
    connect(cmdCancel, &chameleonButton::Click, this, [this] { cmdCancel_Click(); });

    Form_Load();
}

void frmEgg::Form_Load() {
    if (frmImgs* imgs = frmImgs::Loaded()) setWindowIcon(imgs->icon);
    Combo1[0]->setCurrentIndex(2);
    Combo1[1]->setCurrentIndex(4);
    show();
}

void frmEgg::VScroll1_Change() {
    Text[0]->setText(QString::number(VScroll1->value()));
}

void frmEgg::cmdOk_Click() {
    close();
}

void frmEgg::cmdCancel_Click() {
    close();
}
