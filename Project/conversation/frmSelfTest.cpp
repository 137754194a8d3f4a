#include "conversation/frmSelfTest.h"

#include "controls/ListMirror.h"
#include "conversation/frmSplash.h"
#include "core/frmImgs.h"
#include "core/modDB.h"

#include <QLabel>
#include <QListWidget>
#include <QPaintEvent>
#include <QPainter>
#include <QTimer>

frmSelfTest::frmSelfTest(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("frmSelfTest"));
    setWindowTitle(QStringLiteral("Talkvane3 - Self Test..."));
    setFixedSize(360, 150);

    picLogo = new QWidget(this);
    picLogo->setGeometry(12, 14, 20, 20);
    picLogo->installEventFilter(this);
    lblCap = new QLabel(QStringLiteral("Please wait, while Talkvane3 performs a self test..."), this);
    lblCap->setGeometry(40, 14, 310, 20);
    lblSync = new QLabel(QStringLiteral("Synchronising Network Status"), this);
    lblSync->setGeometry(40, 38, 310, 20);
    lstUsersBox = new QListWidget(this);
    lstUsersBox->setGeometry(40, 64, 308, 74);
    lstUsersBox->setSelectionMode(QAbstractItemView::NoSelection);

    tmrSpot = new QTimer(this);
    connect(tmrSpot, &QTimer::timeout, this, [this] { tmrSpot_Timer(); });
    tmrSpot->start(frmSplash::kSpotInterval);

    Form_Load();
}

void frmSelfTest::Form_Load() {
    SetLang();
}

void frmSelfTest::SetLang() {
    if (frmImgs* imgs = frmImgs::Loaded()) setWindowIcon(imgs->icon);
    if (!modDB::DBLoaded()) return;
    const modDB::Captions t("frmSelfTest");
    setWindowTitle(t("Form"));
    lblCap->setText(t("lblCap"));
}

void frmSelfTest::tmrSpot_Timer() {
    spotPhase = frmSplash::NextSpotPhase(spotPhase);
    picLogo->update();
    // The layer fills the names without telling this window; the shown list catches up here.
    showUsers();
}

bool frmSelfTest::eventFilter(QObject* watched, QEvent* e) {
    if (watched == picLogo && e->type() == QEvent::Paint) {
        QPainter p(picLogo);
        frmSplash::DrawSpot(p, QPoint(10, 10), spotPhase);
        return true;
    }
    return QWidget::eventFilter(watched, e);
}

void frmSelfTest::showUsers() {
    ListMirror::Show(lstUsersBox, users_.items());
}
