#include "mainwin/frmSpeedBar.h"

#include "controls/SendBox.h"
#include "controls/chameleonButton.h"
#include "controls/clsTAppBar.h"
#include "conversation/frmAlert.h"
#include "core/frmImgs.h"
#include "core/modAppFnc.h"
#include "core/modDB.h"
#include "core/modGlobals.h"
#include "core/modLangConst.h"
#include "core/modNetCmds.h"
#include "mainwin/frmMain.h"
#include "platform/Colors.h"
#include "platform/LineBreak.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QPointer>
#include <QScreen>

using modGlobals::Run;
using modGlobals::Sets;
using modLangConst::lang;

namespace {
LoadedWindow<frmSpeedBar> gLoaded;

// The title strip, painted as an active window caption.
class CaptionStrip : public QWidget {
  public:
    using QWidget::QWidget;

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        QLinearGradient g(0, 0, width(), 0);
        g.setColorAt(0, palette().color(QPalette::Active, QPalette::Highlight));
        g.setColorAt(1, palette().color(QPalette::Active, QPalette::Highlight).lighter(160));
        p.fillRect(rect(), g);
    }
};

} // namespace

SpeedBarLink* SpeedBarLink::Current() {
    return gLoaded.Loaded();
}

frmSpeedBar* frmSpeedBar::Loaded() {
    return gLoaded.Loaded();
}

frmSpeedBar* frmSpeedBar::Load() {
    return gLoaded.Load();
}

void frmSpeedBar::Unload() {
    frmSpeedBar* bar = gLoaded.Loaded();
    if (!bar) return;
    bar->byCode_ = true;
    bar->close();
}

frmSpeedBar::frmSpeedBar() : QWidget(nullptr) {
    gLoaded.Hold(this);
    setAttribute(Qt::WA_DeleteOnClose);
    // A window of its own with no minimise or maximise button.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("SpeedBar - Talkvane3"));

    picTB = new CaptionStrip(this);
    imgTB = new QLabel(picTB);
    imgTB->setGeometry(1, 0, 17, kStripHeight);
    imgTB->installEventFilter(this);
    lblTB = new QLabel(QStringLiteral("Talkvane3 - Speed Bar"), picTB);
    lblTB->setTextFormat(Qt::PlainText);
    QPalette strip = lblTB->palette();
    strip.setColor(QPalette::WindowText, palette().color(QPalette::Active, QPalette::HighlightedText));
    lblTB->setPalette(strip);
    QFont bold = lblTB->font();
    bold.setBold(true);
    lblTB->setFont(bold);
    lblTB->adjustSize();
    lblTB->move(20, (kStripHeight - lblTB->height()) / 2);
    lblTbUName = new QLabel(QStringLiteral("[name]"), picTB);
    lblTbUName->setTextFormat(Qt::PlainText); // the own name is shown literally
    lblTbUName->setAutoFillBackground(true);
    lblTbUName->setAlignment(Qt::AlignCenter);
    cmdStat = chameleonButton::LaidOut(picTB, QStringLiteral("[Status]"));
    cmdStat->resize(113, kStripHeight);

    cmdTab = chameleonButton::LaidOut(this);
    cmdTab->resize(17, kRowHeight);
    lstUsers = new QListWidget(this);
    lstUsers->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lstGrps = new QListWidget(this);
    for (QListWidget* l : {lstUsers, lstGrps}) {
        l->resize(127, 40);
        l->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    }
    txtSnd = new SendBox(this);
    txtSnd->SetMaxLength(SendBox::kMaxLength);
    txtSnd->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtSnd->setTabChangesFocus(true);
    // Enter breaks the line here; the bar sends only from its button.
    connect(txtSnd, &SendBox::SendRequested, this, [this] { txtSnd->SetSelText(QStringLiteral("\n")); });
    const char* sel[3] = {"&Send", "&Expand", "&C"};
    for (int i = 0; i < 3; ++i)
        cmdSel[i] = chameleonButton::LaidOut(this, QString::fromLatin1(sel[i]));
    cmdSel[0]->resize(57, 25);
    cmdSel[1]->resize(57, 17);
    cmdSel[2]->resize(17, kRowHeight);

    for (int i = 0; i < 3; ++i)
        connect(cmdSel[i], &chameleonButton::Click, this, [this, i] { cmdSel_Click(i); });
    connect(cmdTab, &chameleonButton::Click, this, &frmSpeedBar::cmdTab_Click);
    connect(cmdStat, &chameleonButton::Click, this, &frmSpeedBar::cmdStat_Click);
    txtSnd->installEventFilter(this);
    // The window sees the status keys before its controls.
    for (QWidget* w : std::initializer_list<QWidget*>{this, cmdTab, lstUsers, lstGrps, cmdStat, cmdSel[0],
                                                      cmdSel[1], cmdSel[2]})
        w->installEventFilter(this);

    // The floating place of the bar until the user drags it elsewhere.
    resize(640, kFixedHeight);
    if (const QScreen* s = QGuiApplication::primaryScreen())
        move(s->availableGeometry().center() - rect().center());
    Form_Load();
}

frmSpeedBar::~frmSpeedBar() {
    gLoaded.Release(this);
}

clsTAppBar* frmSpeedBar::AppBar() {
    if (!appBar_) appBar_ = new clsTAppBar(nullptr, this);
    return appBar_;
}

void frmSpeedBar::Form_Load() {
    auto& s = Sets();
    DrawTB();
    txtSnd->UseOwnLook();
    lblTbUName->setText(s.UNAME);
    QFont nf = lblTbUName->font();
    nf.setFamily(s.UFNT);
    lblTbUName->setFont(nf);
    QPalette np = lblTbUName->palette();
    const quint32 col = static_cast<quint32>(s.UCOL) & 0xFFFFFFu;
    np.setColor(QPalette::WindowText, Colors::fromBgr(col));
    np.setColor(QPalette::Window, Colors::fromBgr(s.INV == 1 ? 0xFFFFFFu - col : 0xFFFFFFu));
    lblTbUName->setPalette(np);
    // The own status from the start: a bar loaded after the main window (the options dialog's
    // reload) would otherwise show its design caption until the next change of status.
    cmdStat->SetCaption(frmMain::StatDef(QString::number(Run().OwnStatus)));
    Tab = 1;
    cmdTab_Click();
    SetLang();
    GrpLstChange();
    AppBar()->Extends(this);
    IntTB();
    Form_Resize();
}

void frmSpeedBar::SetLang() {
    if (frmImgs* imgs = frmImgs::Loaded()) {
        setWindowIcon(imgs->icon);
        imgTB->setPixmap(imgs->icon.pixmap(16, 16));
    }
    if (!modDB::DBLoaded()) return;
    const modDB::Captions t("frmSpeedBar");
    setWindowTitle(t("Form"));
    lblTB->setText(t("lblTB"));
    lblTB->adjustSize();
    for (int i = 0; i < 3; ++i)
        cmdSel[i]->SetCaption(t("cmdSel", i));
    picTB_Resize();
}

void frmSpeedBar::DrawTB() {
    picTB->update();
}

// --- lists ---------------------------------------------------------------------------------------

void frmSpeedBar::ClearGrpLst() {
    lstGrps->clear();
    lstGrps->addItem(QStringLiteral("(All)"));
    lstGrps->setCurrentRow(0);
}

void frmSpeedBar::GrpLstChange() {
    // The group chosen before stays chosen while it exists.
    const QString kept = lstGrps->currentItem() ? lstGrps->currentItem()->text() : QString();
    ClearGrpLst();
    frmMain* main = frmMain::Loaded();
    if (!main || !main->mnuActionGrp->isEnabled()) return;
    for (QAction* a : main->mnuActionAlertGrpI)
        lstGrps->addItem(a->text());
    for (int i = 1; i < lstGrps->count(); ++i)
        if (lstGrps->item(i)->text() == kept) {
            lstGrps->setCurrentRow(i);
            break;
        }
}

void frmSpeedBar::OptChange() {
    AppBar()->SetSlideEffect(Sets().SB_S == 1);
    if (frmMain* main = frmMain::Loaded()) main->RefSBUList();
}

void frmSpeedBar::ClearUsers() {
    refilling_ = true;
    pending_.clear();
}

void frmSpeedBar::AddUser(const QString& name) {
    pending_ << name;
}

void frmSpeedBar::setActionsEnabled(bool on) {
    lstUsers->setEnabled(on);
    txtSnd->setEnabled(on);
    for (chameleonButton* b : cmdSel)
        b->SetEnabled(on);
    cmdTab->SetEnabled(on);
}

void frmSpeedBar::UListChanged() {
    const QStringList names = refilling_ ? pending_ : QStringList();
    refilling_ = false;
    const QStringList shown = shown_;
    if (names.isEmpty()) {
        const QString none = lang("SpeedBar_NoUsers");
        if (shown != QStringList{none} || lstUsers->isEnabled()) {
            shown_ = QStringList{none};
            lstUsers->clear();
            lstUsers->addItem(none);
            setActionsEnabled(false);
        }
        if (Tab != 0) {
            Tab = 1;
            cmdTab_Click();
        }
        return;
    }
    // An unchanged list is left alone: this runs after every change of the main window's list.
    if (shown == names && lstUsers->isEnabled()) return;
    shown_ = names;
    QStringList selected;
    for (QListWidgetItem* it : lstUsers->selectedItems())
        selected << it->text();
    const QString current = lstUsers->currentItem() ? lstUsers->currentItem()->text() : QString();
    lstUsers->clear();
    lstUsers->addItems(names);
    setActionsEnabled(true);
    // The still-listed choice stays; only with nothing kept is the first user chosen.
    int currentRow = -1;
    bool any = false;
    for (int i = 0; i < lstUsers->count(); ++i) {
        const QString n = lstUsers->item(i)->text();
        if (n == current) currentRow = i;
        if (selected.contains(n)) {
            lstUsers->item(i)->setSelected(true);
            if (!any && currentRow < 0) currentRow = i;
            any = true;
        }
    }
    if (!any) {
        lstUsers->setCurrentRow(0);
        return;
    }
    lstUsers->setCurrentRow(currentRow, QItemSelectionModel::NoUpdate);
}

void frmSpeedBar::SetStatCaption(const QString& caption) {
    cmdStat->SetCaption(caption);
}

// --- the bar -----------------------------------------------------------------------------------

void frmSpeedBar::IntTB() {
    auto& s = Sets();
    clsTAppBar* bar = AppBar();
    bar->SetSlideEffect(s.SB_S == 1);
    if (s.SB_P == 0)
        bar->SetEdge(AppBarShell::kTop);
    else if (s.SB_P == 1)
        bar->SetEdge(AppBarShell::kBottom);
    if (Run().SpeedBarSlide != 1) {
        bar->SetDockedHeight(kFixedHeight);
        bar->SetAutoHide(false);
    } else {
        bar->SetAutoHide(true);
    }
    bar->SetAlwaysOnTop(true);
    bar->SetAllowedEdges(kAllowedEdges);
    bar->SetDockedMinHeight(kFixedHeight);
    bar->SetDockedMaxHeight(kFixedHeight);
    bar->SetFloatMinHeight(bar->DockedMinHeight() + 16);
    bar->SetFloatMaxHeight(bar->FloatMinHeight());
    bar->SetFloatMinWidth(kFloatMinWidth);
    // Applied here, not only at the start-up's full-screen notice: a bar reloaded later would
    // otherwise keep the class's 32 pixels and never hide.
    bar->UpdateBar();
}

void frmSpeedBar::Form_Resize() {
    const int W = width(), H = height();
    const bool stripOnTop = appBar_ && appBar_->Edge() == AppBarShell::kBottom;
    const int top = stripOnTop ? kStripHeight : 0;
    picTB->setGeometry(0, stripOnTop ? 0 : H - kStripHeight, W, kStripHeight);
    cmdTab->move(0, top);
    lstUsers->move(cmdTab->width(), top);
    lstGrps->move(cmdTab->width(), top);
    cmdSel[2]->move(144, top);
    const int left = 161;
    txtSnd->setGeometry(left, top, qMax(1, W - cmdSel[0]->width() - left), kRowHeight);
    cmdSel[0]->move(txtSnd->x() + txtSnd->width(), top);
    cmdSel[1]->move(cmdSel[0]->x(), top + cmdSel[0]->height());
    picTB_Resize();
}

void frmSpeedBar::picTB_Resize() {
    DrawTB();
    cmdStat->move(picTB->width() - cmdStat->width(), 0);
    const int from = lblTB->x() + lblTB->width();
    const int to = cmdStat->x();
    lblTbUName->adjustSize();
    const int w = qMin(lblTbUName->width() + 8, qMax(0, to - from));
    lblTbUName->setGeometry(from + (to - from - w) / 2, 1, w, kStripHeight - 2);
}

void frmSpeedBar::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    Form_Resize();
}

// --- actions -------------------------------------------------------------------------------------

QString frmSpeedBar::AlertText() const {
    return SendBox::Clean(txtSnd->Text());
}

void frmSpeedBar::cmdSel_Click(int index) {
    if (lstUsers->currentRow() < 0) return;
    frmMain* main = frmMain::Loaded();
    if (!main) return;
    const QString& sep = modGlobals::Sep();
    if (index == 0) {
        // Trimmed of blanks in place; a blank text sends nothing.
        const QString t = txtSnd->Text();
        qsizetype a = 0, b = t.size();
        while (a < b && t.at(a) == QLatin1Char(' '))
            ++a;
        while (b > a && t.at(b - 1) == QLatin1Char(' '))
            --b;
        if (a > 0 || b < t.size()) txtSnd->SetText(t.mid(a, b - a));
        if (a == b) return;
    }
    QStringList candidates;
    QString recipients;
    bool everybody = false;
    if (Tab == 0) {
        for (int i = 0; i < lstUsers->count(); ++i)
            if (lstUsers->item(i)->isSelected()) candidates << lstUsers->item(i)->text();
    } else {
        const int row = lstGrps->currentRow();
        if (row == 0) {
            everybody = index != 2;
        } else if (row > 0 && size_t(row - 1) < main->mnuActionAlertGrpI.size()) {
            const QString members = main->mnuActionAlertGrpI[size_t(row - 1)]->data().toString();
            for (const QString& m : members.split(modGlobals::kSep, Qt::SkipEmptyParts))
                if (main->IsOnLine(m)) candidates << m;
        }
    }
    QPointer<frmSpeedBar> self(this);
    if (everybody) {
        recipients = QStringLiteral("(All)") + sep;
    } else {
        for (const QString& c : candidates) {
            if (!frmMain::Loaded()) return;
            const QString st = main->GetUserInfo(c, 3).toString();
            if (index != 2) {
                if (st != QLatin1String("2")) recipients += c + sep;
            } else if (modAppFnc::UserInChat(c)) {
                modAppFnc::ShowMsg(c + lang("Main_UserInChat"), 0, 3);
                if (!self) return;
            } else if (st == QLatin1String("0")) {
                recipients += c + sep;
            }
        }
    }
    if (recipients.isEmpty()) {
        QString text = lang("Main_SelUserMsg");
        if (index == 2) text += LineBreak::kCrLf + lang("Main_SelUserMsg2");
        modAppFnc::ShowMsg(text, 0, 3);
        return;
    }
    if (index == 0) {
        const QString text = AlertText();
        for (const QString& r : recipients.split(modGlobals::kSep, Qt::SkipEmptyParts))
            modNetCmds::SendAlert(r, text);
        txtSnd->clear();
        txtSnd->setFocus();
    } else if (index == 1) {
        frmAlert* alert = modAppFnc::NewAlertWindow(recipients, false);
        if (!self) return;
        if (alert) alert->txtMsg->SetText(txtSnd->Text());
        txtSnd->clear();
    } else {
        modAppFnc::LoadChatWindow(recipients);
    }
}

void frmSpeedBar::cmdTab_Click() {
    Tab = Tab == 0 ? 1 : 0;
    lstUsers->setVisible(Tab == 0);
    lstGrps->setVisible(Tab == 1);
}

void frmSpeedBar::cmdStat_Click() {
    frmMain* main = frmMain::Loaded();
    if (!main) return;
    main->mnuActionStatus->popup(cmdStat->mapToGlobal(QPoint(0, cmdStat->height())));
}

void frmSpeedBar::imgTB_Click() {
    frmMain* main = frmMain::Loaded();
    if (!main) return;
    const bool bottom = appBar_ && appBar_->Edge() == AppBarShell::kBottom;
    QPoint at = imgTB->mapToGlobal(QPoint(0, bottom ? 0 : imgTB->height()));
    // Docked at the bottom the menu opens upwards from the icon's top.
    if (bottom) at.ry() -= main->mnuPop->sizeHint().height();
    main->mnuPop->popup(at);
}

// --- events ----------------------------------------------------------------------------------------

bool frmSpeedBar::eventFilter(QObject* watched, QEvent* e) {
    if (watched == imgTB &&
        (e->type() == QEvent::MouseButtonPress || e->type() == QEvent::MouseButtonRelease)) {
        if (e->type() == QEvent::MouseButtonRelease) imgTB_Click();
        return true; // the icon is no place to drag the bar from
    }
    if (watched == txtSnd && e->type() == QEvent::FocusIn) {
        txtSnd->selectAll();
        return false;
    }
    if (e->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(e)->key();
        if (key == Qt::Key_F2 || key == Qt::Key_F3 || key == Qt::Key_F4) {
            if (frmMain* main = frmMain::Loaded()) main->mnuActionStatusSet_Click(key - Qt::Key_F2);
            return true;
        }
    }
    return QWidget::eventFilter(watched, e);
}

void frmSpeedBar::closeEvent(QCloseEvent* e) {
    if (unloaded_) {
        e->accept();
        return;
    }
    unloaded_ = true;
    // Closed by the user: the next start shows no speed bar.
    if (!byCode_) Sets().SB_U = 0;
    hide();
    gLoaded.Release(this);
    if (appBar_) appBar_->Detach();
    e->accept();
}
