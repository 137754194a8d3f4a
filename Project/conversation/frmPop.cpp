#include "conversation/frmPop.h"

#include "controls/SendBox.h"
#include "controls/TextLabel.h"
#include "controls/chameleonButton.h"
#include "conversation/frmAlert.h"
#include "core/PeerInfo.h"
#include "core/frmImgs.h"
#include "core/modAppFnc.h"
#include "core/modDB.h"
#include "core/modGDI.h"
#include "core/modGlobals.h"
#include "platform/OuterGeometry.h"
#include "platform/Twips.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QPointer>
#include <QScrollBar>
#include <QTextDocument>
#include <QTextEdit>
#include <cmath>

namespace {
// Small enough that all five fit in the narrowest pop-up.
constexpr int kMenuButtonWidth = 18;
constexpr int kQuickButtonWidth = 18;
constexpr int kCloseButtonWidth = 44;
constexpr int kButtonHeight = 25;

int ceilPx(double px) {
    return static_cast<int>(std::ceil(px));
}
} // namespace

// Sized to its text: a window of fixed size, so nothing to maximise (and room for the title).
frmPop::frmPop(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint) {
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("frmPop"));
    setWindowTitle(QStringLiteral("Talkvane3"));
    outer_ = new OuterGeometry(this);
    outer_->SetFixed(true);

    // A peer's alert: plain text, wrapped at the window's width and scrolled beyond its height.
    lblMsg = new TextLabel(this);
    lblMsg->setObjectName(QStringLiteral("lblMsg"));
    lblMsg->setPlainText(QStringLiteral("<MSG>"));

    picBtn = new QWidget(this);
    picBtn->setObjectName(QStringLiteral("picBtn"));
    picBtn->resize(200, kStripHeightPx);
    cmdMnu = chameleonButton::LaidOut(picBtn, QStringLiteral("u"));
    QFont symbol(QString::fromLatin1(modGDI::kSymbolFont));
    symbol.setPointSize(10);
    cmdMnu->SetFont(symbol);
    cmdMnu->setGeometry(0, 0, kMenuButtonWidth, kButtonHeight);
    connect(cmdMnu, &chameleonButton::Click, this, [this] { cmdMnu_Click(); });
    for (int i = 0; i < 3; ++i) {
        cmdAQR[i] = chameleonButton::LaidOut(picBtn, QStringLiteral("&%1").arg(i + 1));
        cmdAQR[i]->setGeometry(kMenuButtonWidth + 2 + i * (kQuickButtonWidth + 1), 0, kQuickButtonWidth,
                               kButtonHeight);
        connect(cmdAQR[i], &chameleonButton::Click, this, [this, i] { cmdAQR_Click(i); });
    }
    cmdClose = chameleonButton::LaidOut(picBtn, QStringLiteral("&Close"));
    cmdClose->resize(kCloseButtonWidth, kButtonHeight);
    connect(cmdClose, &chameleonButton::Click, this, [this] { cmdClose_Click(); });

    // F5 and F8 are the window's own keys (any modifiers, once per press); the menu only
    // shows them, so a press never runs twice.
    mnuPop = new QMenu(this);
    mnuPopCopy = mnuPop->addAction(QStringLiteral("&Copy Message To Clipboard"));
    mnuPopCopy->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    mnuPopCopy->setShortcutContext(Qt::WindowShortcut);
    addAction(mnuPopCopy);
    mnuPopReply = mnuPop->addAction(QStringLiteral("&Reply"));
    mnuPopBlock = mnuPop->addAction(QStringLiteral("&Block"));
    connect(mnuPopCopy, &QAction::triggered, this, [this] { mnuPopCopy_Click(); });
    connect(mnuPopReply, &QAction::triggered, this, [this] { mnuPopReply_Click(); });
    connect(mnuPopBlock, &QAction::triggered, this, [this] { mnuPopBlock_Click(); });

    SetLang();
    setFixedSize(Twips::toPx(kMinWidth, Twips::dpiX(this)), Twips::toPx(kMinHeight, Twips::dpiY(this)));
    Form_Resize();
}

void frmPop::SetLang() {
    if (frmImgs* imgs = frmImgs::Loaded()) setWindowIcon(imgs->icon);
    if (modDB::DBLoaded()) {
        const modDB::Captions t("frmPop");
        setWindowTitle(t("Form"));
        cmdClose->SetCaption(t("cmdClose"));
        mnuPopCopy->setText(t("mnuPopCopy"));
        mnuPopReply->setText(t("mnuPopReply"));
        mnuPopBlock->setText(t("mnuPopBlock"));
    }
    // The keys are shown beside the captions (once, however often the captions are set).
    for (QAction* a : {mnuPopReply, mnuPopBlock})
        a->setText(a->text().section(QLatin1Char('\t'), 0, 0));
    mnuPopReply->setText(mnuPopReply->text() + QStringLiteral("\tF5"));
    mnuPopBlock->setText(mnuPopBlock->text() + QStringLiteral("\tF8"));
}

QSize frmPop::OuterSizeTwips(QSize textSize, int strip, QSize work) {
    int w = qMax(kMinWidth, textSize.width() + kLabelExtraWidth);
    int h = qMax(kMinHeight, textSize.height() + kLabelExtraHeight + strip);
    if (work.width() > 0) w = qMin(w, work.width());
    if (work.height() > 0) h = qMin(h, work.height());
    return {w, h};
}

QPoint frmPop::CornerTwips(int altPos, const QRect& work, QSize outer, QPoint laidOut) {
    const int left = work.left(), top = work.top();
    const int right = work.left() + work.width(), bottom = work.top() + work.height();
    switch (altPos) {
    case 0:
        return {left, top};
    case 1:
        return {right - outer.width(), top};
    case 2:
        return {left, bottom - outer.height()};
    case 3:
        return {right - outer.width(), bottom - outer.height()};
    default:
        return laidOut;
    }
}

void frmPop::SetMsg(const QString& text) {
    msg_ = text;
    const QString shown = modAppFnc::PlainLines(text);
    lblMsg->setPlainText(shown);
    lblMsg->verticalScrollBar()->setValue(0);

    const double dx = Twips::dpiX(this), dy = Twips::dpiY(this);
    const QSize work(modAppFnc::GetWorkArea(2, this) - modAppFnc::GetWorkArea(0, this),
                     modAppFnc::GetWorkArea(3, this) - modAppFnc::GetWorkArea(1, this));
    // The label text's own size: as wide as its longest line, as tall as its lines.
    QTextDocument doc;
    doc.setDocumentMargin(0);
    doc.setDefaultFont(lblMsg->font());
    doc.setPlainText(shown);
    QSize textSize(Twips::fromPx(ceilPx(doc.idealWidth()), dx),
                   Twips::fromPx(ceilPx(doc.size().height()), dy));
    // Too wide for the screen: the text wraps at the widest window the work area holds.
    if (work.width() > 0 && textSize.width() + kLabelExtraWidth > work.width()) {
        const int wrapTwips = work.width() - kLabelExtraWidth;
        doc.setTextWidth(Twips::toPx(wrapTwips, dx));
        textSize = QSize(wrapTwips, Twips::fromPx(ceilPx(doc.size().height()), dy));
    }
    const QSize outer = OuterSizeTwips(textSize, Twips::fromPx(kStripHeightPx, dy), work);
    const QPoint at = frameGeometry().topLeft();
    outer_->SetOuterTwips(Twips::fromPx(at.x(), dx), Twips::fromPx(at.y(), dy), outer.width(),
                          outer.height());
    Form_Resize();
}

void frmPop::Form_Resize() {
    if (windowState() & Qt::WindowMinimized) return;
    const int W = width(), H = height();
    picBtn->setGeometry(0, H - picBtn->height(), W, picBtn->height());
    cmdMnu->move(0, 0);
    cmdClose->move(picBtn->width() - cmdClose->width(), 0);
    // The text ends where the strip begins, so a scrolled text never hides under it.
    lblMsg->setGeometry(0, 0, W, qMax(1, H - picBtn->height()));
}

void frmPop::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    Form_Resize();
}

QString frmPop::senderList() const {
    return windowTitle() + modGlobals::Sep();
}

void frmPop::cmdClose_Click() {
    close();
}

void frmPop::cmdMnu_Click() {
    const QPoint at(cmdMnu->x() + picBtn->x(), cmdMnu->y() + cmdMnu->height() + picBtn->y());
    mnuPop->popup(mapToGlobal(at));
}

void frmPop::mnuPopCopy_Click() {
    if (QClipboard* c = QGuiApplication::clipboard()) c->setText(msg_);
}

void frmPop::mnuPopReply_Click() {
    modAppFnc::NewAlertWindow(senderList(), false);
    close();
}

void frmPop::cmdAQR_Click(int index) {
    if (index < 0 || index > 2) return;
    QPointer<frmPop> self(this);
    frmAlert* reply = modAppFnc::NewAlertWindow(senderList(), false);
    if (reply) reply->txtMsg->SetText(modGlobals::Sets().AQR[static_cast<std::size_t>(index)]);
    if (self) close();
}

void frmPop::mnuPopBlock_Click() {
    PeerInfo::InvBlock(senderList());
}

void frmPop::keyPressEvent(QKeyEvent* e) {
    // Whatever Shift, Ctrl or Alt are held; a held key acts once.
    if (e->key() == Qt::Key_F5 || e->key() == Qt::Key_F8) {
        if (!e->isAutoRepeat()) {
            if (e->key() == Qt::Key_F5)
                mnuPopReply_Click();
            else
                mnuPopBlock_Click();
        }
        e->accept();
        return;
    }
    QWidget::keyPressEvent(e);
}
