#include "conversation/frmPrg.h"

#include "core/clsFileXfer.h"
#include "core/frmImgs.h"
#include "core/modDB.h"
#include "core/modLangConst.h"

#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <algorithm>

namespace {
LoadedWindow<frmPrg> gLoaded;

constexpr int kWidth = 360;
constexpr int kHeight = 150;
constexpr int kBarLeft = 12, kBarTop = 96, kBarWidth = 336, kBarHeight = 18;

// Wide enough for the product of two 64-bit counts.
__extension__ using Wide = unsigned __int128;

class Progress : public XferProgress {
  public:
    void Open(const QString& to, const QString& file) override {
        frmPrg& w = frmPrg::Load();
        w.lblTo->setText(to);
        w.lblFile->setText(file);
        w.show();
    }
    void SetPrg(qint64 done, qint64 total) override {
        if (frmPrg* w = frmPrg::Loaded()) w->SetPrg(done, total);
    }
    void SetStat(int state) override {
        if (frmPrg* w = frmPrg::Loaded()) w->SetStat(static_cast<qint16>(state));
    }
    void Unload() override {
        if (frmPrg* w = frmPrg::Loaded()) w->Unload();
    }
};
} // namespace

void frmPrg::Install() {
    static Progress progress;
    XferWindows::progress().set(&progress);
}

frmPrg& frmPrg::Load() {
    return *gLoaded.Load();
}

frmPrg* frmPrg::Loaded() {
    return gLoaded.Loaded();
}

frmPrg::frmPrg()
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint) {
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("frmPrg"));
    setFixedSize(kWidth, kHeight);
    setWindowTitle(QStringLiteral("File Transfer Progress - Talkvane3"));

    const char* caps[2] = {"File:", "User:"};
    for (int i = 0; i < 2; ++i) {
        lblCap[i] = new QLabel(QString::fromLatin1(caps[i]), this);
        lblCap[i]->setGeometry(12, 10 + 22 * i, 40, 18);
    }
    // The file-transfer code fills these with a peer's name and a path: never markup.
    auto plain = [this](const char* text, QRect at) {
        auto* l = new QLabel(QString::fromLatin1(text), this);
        l->setTextFormat(Qt::PlainText);
        l->setGeometry(at);
        return l;
    };
    lblFile = plain("[FILE]", QRect(56, 10, 292, 18));
    lblTo = plain("[TO]", QRect(56, 32, 292, 18));
    Line1 = new QFrame(this);
    Line1->setFrameShape(QFrame::HLine);
    Line1->setFrameShadow(QFrame::Sunken);
    Line1->setGeometry(12, 56, 336, 4);
    lblStat = plain("[stat]", QRect(12, 68, 240, 18));
    lblP = plain("000%", QRect(300, 68, 48, 18));
    lblP->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    picPrg = new QWidget(this);
    picPrg->setObjectName(QStringLiteral("picPrg"));
    picPrg->setGeometry(kBarLeft, kBarTop, kBarWidth, kBarHeight);
    picPrg->setAutoFillBackground(true);
    QPalette pal = picPrg->palette();
    pal.setColor(QPalette::Window, Qt::white);
    picPrg->setPalette(pal);
    picPrg->installEventFilter(this);
    lblByt = plain("000000 / 000000", QRect(12, 120, 336, 18));

    SetLang();
}

frmPrg::~frmPrg() {
    gLoaded.Release(this);
}

void frmPrg::SetLang() {
    if (frmImgs* imgs = frmImgs::Loaded()) setWindowIcon(imgs->icon);
    if (!modDB::DBLoaded()) return;
    const modDB::Captions t("frmPrg");
    setWindowTitle(t("Form"));
    for (int i = 0; i < 2; ++i)
        lblCap[i]->setText(t("lblCap", i));
}

void frmPrg::SetStat(qint16 state) {
    QString text;
    if (state >= 0 && state <= 2) text = modLangConst::Get(QStringLiteral("FileT_S%1").arg(state));
    // Called for every chunk: the label is only touched when its text changes.
    if (lblStat->text() != text) lblStat->setText(text);
}

int frmPrg::Percent(qint64 done, qint64 total) {
    return static_cast<int>(Wide(quint64(done)) * 100u / quint64(total));
}

int frmPrg::BarWidth(qint64 done, qint64 total, int width) {
    // Nearest whole pixel, halves up: (2 * done * width + total) / (2 * total).
    const Wide num = Wide(quint64(done)) * Wide(quint64(std::max(width, 0))) * 2u + quint64(total);
    return static_cast<int>(num / (Wide(quint64(total)) * 2u));
}

void frmPrg::SetPrg(qint64 done, qint64 total) {
    done = std::max<qint64>(done, 0);
    total = std::max<qint64>(total, 0);
    done = std::min(done, total);
    // A label given its own text again does not repaint; the bar is repainted only when it grows.
    lblByt->setText(QString::number(done) + QStringLiteral(" / ") + QString::number(total));
    if (total == 0) return;
    lblP->setText(QString::number(Percent(done, total)) + QLatin1Char('%'));
    const int fill = BarWidth(done, total, picPrg->contentsRect().width());
    if (fill == barFill_) return;
    barFill_ = fill;
    picPrg->update();
}

void frmPrg::Unload() {
    gLoaded.Release(this); // going: nobody reaches it any more
    close();
}

void frmPrg::closeEvent(QCloseEvent* e) {
    gLoaded.Release(this);
    QWidget::closeEvent(e);
}

bool frmPrg::eventFilter(QObject* watched, QEvent* e) {
    if (watched == picPrg && e->type() == QEvent::Paint) {
        QPainter p(picPrg);
        p.fillRect(picPrg->rect(), picPrg->palette().window());
        if (barFill_ > 0)
            p.fillRect(QRect(0, 0, barFill_, picPrg->height()), picPrg->palette().color(QPalette::Highlight));
        return true;
    }
    return QWidget::eventFilter(watched, e);
}
