#include "mainwin/frmLang.h"

#include "controls/chameleonButton.h"
#include "core/frmImgs.h"
#include "core/modAppFnc.h"
#include "core/modCommonDialog.h"
#include "core/modDB.h"
#include "core/modGlobals.h"
#include "core/modLangConst.h"
#include "core/modSettings.h"
#include "core/modTerminate.h"
#include "platform/ProgramFolder.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>

using modLangConst::lang;

frmLang::frmLang(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmLang"));
    setWindowTitle(QStringLiteral("Set Language for Talkvane3"));
    setFixedSize(330, 162);

    lblCap = new QLabel(
        QStringLiteral("IMPORTANT:  If the language file is changed then Talkvane3 will be closed and "
                       "must be manually restarted.  All unsaved changes will be lost."),
        this);
    lblCap->setWordWrap(true);
    lblCap->setGeometry(8, 8, 314, 48);

    Frame = new QGroupBox(QStringLiteral("Language File"), this);
    Frame->setGeometry(8, 60, 314, 58);
    txtLang = new QLineEdit(Frame);
    txtLang->setGeometry(8, 24, 204, 22);
    cmdBrw = chameleonButton::LaidOut(Frame, QStringLiteral("..."));
    cmdBrw->setGeometry(216, 24, 24, 22);
    cmdEng = chameleonButton::LaidOut(Frame, QStringLiteral("&English"));
    cmdEng->setGeometry(244, 24, 62, 22);

    cmdApply = chameleonButton::LaidOut(this, QStringLiteral("&Apply (QX3 will close)"));
    cmdApply->setGeometry(8, 128, 180, 26);
    cmdCancel = chameleonButton::LaidOut(this, QStringLiteral("&Cancel"));
    cmdCancel->setGeometry(232, 128, 90, 26);

    connect(cmdBrw, &chameleonButton::Click, this, &frmLang::cmdBrw_Click);
    connect(cmdEng, &chameleonButton::Click, this, &frmLang::cmdEng_Click);
    connect(cmdApply, &chameleonButton::Click, this, &frmLang::cmdApply_Click);
    connect(cmdCancel, &chameleonButton::Click, this, &frmLang::cmdCancel_Click);

    // Form_Load
    const QString lang = modGlobals::Sets().LANG;
    txtLang->setText(lang);
    txtLang->setVisible(!lang.isEmpty());
    cmdEng->setVisible(!lang.isEmpty());
    SetLang();
}

void frmLang::SetLang() {
    if (frmImgs* imgs = frmImgs::Loaded()) setWindowIcon(imgs->icon);
    if (!modDB::DBLoaded()) return;
    const modDB::Captions t("frmLang");
    setWindowTitle(t("Form"));
    lblCap->setText(t("lblCap"));
    Frame->setTitle(t("Frame"));
    cmdApply->SetCaption(t("cmdApply"));
    cmdCancel->SetCaption(t("cmdCancel"));
}

void frmLang::cmdBrw_Click() {
    const QString start = txtLang->text().isEmpty() ? ProgramFolder::path() : txtLang->text();
    QPointer<frmLang> self(this);
    const QString path = modCommonDialog::ShowOpen(this, lang("Lang_Filter"), lang("Lang_Title"), start);
    if (!self || path.isEmpty()) return;
    txtLang->setVisible(true);
    cmdEng->setVisible(true);
    txtLang->setText(path);
}

void frmLang::cmdEng_Click() {
    txtLang->setVisible(false);
    txtLang->clear();
    cmdEng->setVisible(false);
}

void frmLang::cmdApply_Click() {
    Tag.clear();
    hide();
}

void frmLang::cmdCancel_Click() {
    Tag = QStringLiteral("-");
    hide();
}

// Esc and the close box cancel: they must never apply a language and end the program.
void frmLang::reject() {
    Tag = QStringLiteral("-");
    QDialog::reject();
}

void modAppFnc::ShowLangDialog(QWidget* caller) {
    QPointer<QWidget> callerGuard(caller);
    QPointer<frmLang> form = new frmLang();
    modAPIFunc::SetTopMost(form, true);
    form->exec();
    if (!form) return;
    const bool apply = form->Tag.isEmpty();
    const QString path = form->txtLang->text();
    form->deleteLater();
    if (!apply) return;

    modGlobals::Sets().LANG = path;
    if (!modSettings::SaveSettings()) return; // that failure has ended the program already
    if (callerGuard) {
        callerGuard->close();
        callerGuard->deleteLater();
    }
    modTerminate::Terminate();
}
