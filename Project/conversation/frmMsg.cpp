#include "conversation/frmMsg.h"

#include "controls/TextLabel.h"
#include "controls/chameleonButton.h"
#include "core/MessageService.h"
#include "core/frmImgs.h"
#include "core/modAppFnc.h"
#include "core/modLangConst.h"
#include "core/modNetCmds.h"
#include "platform/WindowShow.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QPointer>
#include <QScreen>
#include <QScrollBar>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextFrame>
#include <QTimer>
#include <cmath>

using modLangConst::lang;

namespace {
// The layout, in pixels at 15 twips a pixel.
constexpr int kTwipsPerPixel = 15;
constexpr int kMargin = 8;
constexpr int kIconSize = 32; // 480 twips
constexpr int kLabelLeft = 50;
constexpr int kLabelWidth = 300;
constexpr int kLabelLaidOutHeight = kIconSize; // the label grows downwards from here
constexpr int kInnerWidth = kLabelLeft + kLabelWidth + kMargin;
constexpr int kButtonWidth = 81; // 1215 x 375 twips
constexpr int kButtonHeight = 25;
constexpr int kButtonGap = 6;
// The window's height is the label's plus this much; the buttons sit this far above the
// bottom of its inner area.
constexpr int kGrowTwips = 1000;
constexpr int kButtonBottomTwips = 50;
// The outer height of the rule less the frame of a fixed dialog (caption and two borders) is
// the inner height; whatever frame the window manager draws comes on top.
constexpr int kFrameTwips = 375;

int toPixels(int twips) {
    return static_cast<int>(std::lround(twips / double(kTwipsPerPixel)));
}

class MsgService : public MessageService {
  public:
    int Show(const QString& text, int buttons, int icon) override {
        QPointer<frmMsg> w = new frmMsg;
        w->SetMsg(text);
        w->SetType(buttons);
        if (frmImgs* imgs = frmImgs::Loaded(); imgs && icon >= 0 && icon < frmImgs::kIcons)
            w->SetIcon(imgs->picIcon[icon]);
        if (w->testAttribute(Qt::WA_ShowWithoutActivating)) {
            // Nobody asked for it: it neither takes the keyboard nor holds the windows the user
            // is typing in, so it waits for its answer without being modal.
            QEventLoop loop;
            QObject::connect(w, &frmMsg::Hidden, &loop, &QEventLoop::quit);
            QObject::connect(w, &QObject::destroyed, &loop, &QEventLoop::quit);
            w->show();
            loop.exec();
        } else {
            w->exec();
        }
        // A window taken away while it waited answers as its close box would.
        if (!w) return buttons == 1 ? 1 : 0;
        const int result = w->Val;
        w->deleteLater();
        return result;
    }
};
} // namespace

frmMsg::frmMsg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmMsg"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("Talkvane3"));
    if (frmImgs* imgs = frmImgs::Loaded()) setWindowIcon(imgs->icon);

    picIcon = new QLabel(this);
    picIcon->setObjectName(QStringLiteral("picIcon"));
    picIcon->setGeometry(kMargin, kMargin, kIconSize, kIconSize);

    lblMsg = new TextLabel(this);
    lblMsg->setObjectName(QStringLiteral("lblMsg"));
    lblMsg->setPlainText(QStringLiteral("[msg]"));
    lblMsg->setGeometry(kLabelLeft, kMargin, kLabelWidth, kLabelLaidOutHeight);

    const QString laidOut[2] = {QStringLiteral("&Yes"), QStringLiteral("&No")};
    for (int i = 0; i < 2; ++i) {
        CMD[i] = chameleonButton::LaidOut(this, laidOut[i]);
        CMD[i]->setObjectName(QStringLiteral("CMD(%1)").arg(i));
        CMD[i]->resize(kButtonWidth, kButtonHeight);
        connect(CMD[i], &chameleonButton::Click, this, [this, i] { CMD_Click(i); });
    }
    CMD[1]->move(kInnerWidth - kMargin - kButtonWidth, 0);
    CMD[0]->move(CMD[1]->x() - kButtonGap - kButtonWidth, 0);
    setTabOrder(CMD[0], CMD[1]);

    Val = 0;
    Timer1 = new QTimer(this);
    Timer1->setInterval(kPollMs);
    connect(Timer1, &QTimer::timeout, this, &frmMsg::Timer1_Timer);
    Timer1->start();

    SetMsg(QStringLiteral("[msg]"));
    // Made to be shown at once: over the window it answers for, or, when the network brought
    // it, without taking the keyboard from what the user is typing.
    if (WindowShow::TakeUnasked()) WindowShow::MarkUnasked(this);
    WindowShow::AsBox(this);
}

MessageService& frmMsg::Service() {
    static MsgService service;
    return service;
}

void frmMsg::Install() {
    Messages::service().setDefault(Service());
}

void frmMsg::SetMsg(const QString& text) {
    lblMsg->setPlainText(modAppFnc::PlainLines(text));
    QTextDocument* doc = lblMsg->document();
    QTextFrameFormat frame = doc->rootFrame()->frameFormat();
    frame.setTopMargin(0);
    doc->rootFrame()->setFrameFormat(frame);
    doc->setTextWidth(kLabelWidth);
    const int textHeight = static_cast<int>(std::ceil(doc->size().height()));
    int labelTwips = qMax(kLabelLaidOutHeight, textHeight) * kTwipsPerPixel;

    // A text taller than the work area scrolls inside it, so the buttons stay on the screen.
    const int workTwips = modAppFnc::GetWorkArea(3, this) - modAppFnc::GetWorkArea(1, this);
    const bool clamped = workTwips > 0 && labelTwips + kGrowTwips > workTwips;
    if (clamped) labelTwips = qMax(kLabelLaidOutHeight * kTwipsPerPixel, workTwips - kGrowTwips);
    // Only a clamped text gets a scroll bar; one that fits must not reflow round a bar.
    lblMsg->setVerticalScrollBarPolicy(clamped ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    const int labelHeight = labelTwips / kTwipsPerPixel;

    // A short text sits level with the middle of the icon.
    const int spare = labelHeight - textHeight;
    frame.setTopMargin(spare > 0 ? spare / 2 : 0);
    doc->rootFrame()->setFrameFormat(frame);
    lblMsg->setGeometry(kLabelLeft, kMargin, kLabelWidth, labelHeight);
    lblMsg->verticalScrollBar()->setValue(0);

    const int innerTwips = labelTwips + kGrowTwips - kFrameTwips;
    setFixedSize(kInnerWidth, toPixels(innerTwips));
    placeButtons();

    if (QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.left() + (area.width() - width()) / 2,
             area.top() + qMax(0, (area.height() - height()) / 2));
    }
}

void frmMsg::placeButtons() {
    const int innerTwips = height() * kTwipsPerPixel;
    for (chameleonButton* b : CMD)
        b->move(b->x(), toPixels(innerTwips - (b->height() * kTwipsPerPixel + kButtonBottomTwips)));
}

void frmMsg::SetType(int buttons) {
    if (buttons == 0) {
        CMD[0]->SetCaption(lang("Msg_Ok"));
        CMD[0]->move(CMD[1]->pos());
        CMD[1]->hide();
    } else if (buttons == 1) {
        CMD[0]->SetCaption(lang("Msg_Yes"));
        CMD[1]->SetCaption(lang("Msg_No"));
    }
}

void frmMsg::SetIcon(const QImage& picture) {
    picIcon->setPixmap(QPixmap::fromImage(picture));
}

void frmMsg::CMD_Click(int index) {
    Val = static_cast<qint16>(index);
    hide(); // ends the modal show
}

void frmMsg::reject() {
    Val = CMD[1]->isHidden() ? 0 : 1;
    QDialog::reject();
}

void frmMsg::hideEvent(QHideEvent* e) {
    QDialog::hideEvent(e);
    emit Hidden();
}

void frmMsg::keyPressEvent(QKeyEvent* e) {
    const QString typed = e->text();
    const bool plain = !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    if (plain && typed.size() == 1 && typed.at(0).isPrint()) {
        // A hidden button has no access key: N in an OK message must not answer No.
        for (int i = 0; i < 2; ++i) {
            const QString key = CMD[i]->GetAccessKey();
            if (CMD[i]->isHidden() || key.isEmpty()) continue;
            if (key.toUpper() == typed.toUpper()) {
                CMD_Click(i);
                return;
            }
        }
    }
    QDialog::keyPressEvent(e);
}

void frmMsg::Timer1_Timer() {
    if (modNetCmds::IsOpen()) modNetCmds::PollData();
}
