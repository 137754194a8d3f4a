#include "conversation/frmSplash.h"

#include "core/frmImgs.h"
#include "core/modAppFnc.h"
#include "platform/Colors.h"
#include "platform/Twips.h"
#include "platform/qx3version.h"

#include <QLabel>
#include <QPainter>
#include <QTimer>
#include <cmath>

namespace {
constexpr int kWidth = 330;
constexpr int kHeight = 120;
const QColor kPanelTop(0xff, 0xff, 0xff);
const QColor kPanelBottom(0xd6, 0xe2, 0xee);
const QColor kEdge(0x1f, 0x50, 0x80);
const QColor kInk(0x1d, 0x4a, 0x76);

int channel(double scaled) {
    return std::min(255, static_cast<int>(std::lround(scaled)));
}
} // namespace

frmSplash::frmSplash(QWidget* parent) : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("frmSplash"));
    setFixedSize(kWidth, kHeight);

    imgLogo = new QLabel(this);
    imgLogo->setGeometry(16, 24, 72, 72);
    imgLogo->setAlignment(Qt::AlignCenter);

    const char* words[3] = {"LAN", "Communication", "System"};
    for (int i = 0; i < 3; ++i) {
        LBL[i] = new QLabel(QString::fromLatin1(words[i]), this);
        QFont f = LBL[i]->font();
        f.setPointSize(15);
        f.setBold(true);
        LBL[i]->setFont(f);
        LBL[i]->setGeometry(104, 14 + 28 * i, 200, 28);
        QPalette p = LBL[i]->palette();
        p.setColor(QPalette::WindowText, kInk);
        LBL[i]->setPalette(p);
    }
    lblVer = new QLabel(QStringLiteral("00.00.00"), this);
    lblVer->setGeometry(kWidth - 96, kHeight - 24, 84, 18);
    lblVer->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    tmrDelay = new QTimer(this);
    connect(tmrDelay, &QTimer::timeout, this, [this] { tmrDelay_Timer(); });
    tmrSpot = new QTimer(this);
    connect(tmrSpot, &QTimer::timeout, this, [this] { tmrSpot_Timer(); });
    tmrSpot->start(kSpotInterval);

    Form_Load();
}

void frmSplash::Form_Load() {
    if (frmImgs* imgs = frmImgs::Loaded()) {
        setWindowIcon(imgs->icon);
        imgLogo->setPixmap(imgs->icon.pixmap(64, 64));
    }
    lblVer->setText(VersionText());
    const int right = Twips::toPx(modAppFnc::GetWorkArea(2, this), Twips::dpiX(this));
    const int bottom = Twips::toPx(modAppFnc::GetWorkArea(3, this), Twips::dpiY(this));
    move(right - frameGeometry().width(), bottom - frameGeometry().height());
    modAPIFunc::SetTopMost(this, true);
    tmrDelay->setInterval(kDelay);
    spotPhase = 0;
}

QString frmSplash::VersionText() {
    return QStringLiteral("%1.%2.%3").arg(QX3_VERSION_MAJOR).arg(QX3_VERSION_MINOR).arg(QX3_VERSION_PATCH);
}

qint16 frmSplash::NextSpotPhase(qint16 phase) {
    const int next = phase + kSpotStep;
    return static_cast<qint16>(next > kSpotCycle ? 0 : next);
}

quint32 frmSplash::SpotColor(qint16 phase) {
    const int b = phase > kSpotCycle / 2 ? kSpotCycle - phase : phase;
    const int green = channel(256.0 / 100.0 * b);
    const int red = channel(256.0 / 100.0 * (100 - b));
    return static_cast<quint32>(red) | static_cast<quint32>(green) << 8;
}

void frmSplash::DrawSpot(QPainter& p, QPoint centre, qint16 phase) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const QColor c = Colors::fromBgr(SpotColor(phase));
    p.setPen(c);
    p.setBrush(c);
    p.drawEllipse(centre, kSpotRadius, kSpotRadius);
    p.restore();
}

void frmSplash::tmrDelay_Timer() {
    close();
}

void frmSplash::tmrSpot_Timer() {
    spotPhase = NextSpotPhase(spotPhase);
    const QPoint c = SpotCentre();
    update(QRect(c.x() - kSpotRadius - 1, c.y() - kSpotRadius - 1, 2 * kSpotRadius + 3, 2 * kSpotRadius + 3));
}

void frmSplash::paintEvent(QPaintEvent*) {
    QPainter p(this);
    QLinearGradient g(0, 0, 0, height());
    g.setColorAt(0, kPanelTop);
    g.setColorAt(1, kPanelBottom);
    p.fillRect(rect(), g);
    p.setPen(kEdge);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    DrawSpot(p, SpotCentre(), spotPhase);
}
