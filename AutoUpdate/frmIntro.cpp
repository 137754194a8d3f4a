#include "AutoUpdate/frmIntro.h"

#include "AutoUpdate/frmMain.h"
#include "AutoUpdate/modMain.h"
#include "platform/LineBreak.h"
#include "platform/MsgBox.h"
#include "platform/ProgramEnd.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace AutoUpdate {

namespace {
using LineBreak::kCrLf;
}

frmIntro* frmIntro::Open() {
    return new frmIntro;
}

frmIntro::frmIntro() {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Talkvane3 AutoUpdate"));
    auto* top = new QVBoxLayout(this);
    for (QLabel*& l : LBLCap) {
        l = new QLabel(this);
        l->setTextFormat(Qt::PlainText);
        l->setWordWrap(true);
    }
    LBLCap[0]->setText(QStringLiteral("Talkvane3 AutoUpdate"));
    QFont heading = LBLCap[0]->font();
    heading.setBold(true);
    heading.setPointSizeF(heading.pointSizeF() * 1.5);
    LBLCap[0]->setFont(heading);
    LBLCap[1]->setText(QStringLiteral("Installed version:"));
    lblVer = new QLabel(this);
    lblVer->setTextFormat(Qt::PlainText);
    top->addWidget(LBLCap[0]);
    top->addWidget(LBLCap[2], 1);
    auto* ver = new QHBoxLayout;
    ver->addWidget(LBLCap[1]);
    ver->addWidget(lblVer, 1);
    top->addLayout(ver);

    cmdNext = new QPushButton(QStringLiteral("&Get Updates >>"), this);
    CMDskins = new QPushButton(QStringLiteral("&Get Skins >>"), this);
    CMDabout = new QPushButton(QStringLiteral("&About"), this);
    cmdEnd = new QPushButton(QStringLiteral("&Exit"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(CMDabout);
    buttons->addWidget(cmdEnd);
    buttons->addStretch(1);
    buttons->addWidget(cmdNext);
    buttons->addWidget(CMDskins);
    top->addLayout(buttons);
    setTabOrder(cmdNext, CMDskins);
    setTabOrder(CMDskins, CMDabout);
    setTabOrder(CMDabout, cmdEnd);
    cmdNext->setDefault(true);
    cmdNext->setFocus();

    connect(cmdNext, &QPushButton::clicked, this, &frmIntro::cmdNext_Click);
    connect(CMDskins, &QPushButton::clicked, this, &frmIntro::CMDskins_Click);
    connect(CMDabout, &QPushButton::clicked, this, &frmIntro::CMDabout_Click);
    connect(cmdEnd, &QPushButton::clicked, this, &frmIntro::cmdEnd_Click);
    resize(460, 300);
    Form_Load();
}

void frmIntro::Form_Load() {
    lblVer->setText(modMain::Run().InstalledVersion);
    LBLCap[2]->setText(QStringLiteral("Welcome to Talkvane3 AutoUpdate") + kCrLf + kCrLf +
                       QStringLiteral(" This program will guide you through all the updates and upgrades "
                                      "available for QX at this time.") +
                       kCrLf + kCrLf + QStringLiteral("Check back here often for new releases."));
}

void frmIntro::choose(bool skins) {
    cmdNext->setEnabled(false);
    CMDskins->setEnabled(false);
    modMain::Run().SkinsMode = skins;
    const QPointer<frmIntro> self(this);
    frmMain::Load()->Display();
    if (!self) return;
    unloading_ = true;
    close();
}

void frmIntro::cmdNext_Click() {
    choose(false);
}

void frmIntro::CMDskins_Click() {
    choose(true);
}

void frmIntro::CMDabout_Click() {
    MsgBox::Show(QStringLiteral("About"),
                 QStringLiteral("Talkvane3 AutoUpdate. All rights reserved by its maker; use of this "
                                "program is subject to the maker's terms of use.") +
                     kCrLf + kCrLf +
                     QStringLiteral("The maker takes no responsibility for any damage caused by files "
                                    "downloaded with this program.") +
                     kCrLf + kCrLf +
                     QStringLiteral("If you have problems with this program, write to support@example.com.") +
                     kCrLf + kCrLf +
                     QStringLiteral("Makers of skins and language files are welcome to write to "
                                    "skins@example.com."),
                 MsgBox::Buttons::Ok, MsgBox::Icon::Information);
}

void frmIntro::cmdEnd_Click() {
    ProgramEnd::EndNow();
}

void frmIntro::closeEvent(QCloseEvent* event) {
    if (unloading_) {
        event->accept();
        return;
    }
    ProgramEnd::EndNow();
    event->accept();
}

} // namespace AutoUpdate
