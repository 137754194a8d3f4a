#include "conversation/frmMsgHist.h"

#include "controls/chameleonButton.h"
#include "core/PeerInfo.h"
#include "core/frmImgs.h"
#include "core/modAppFnc.h"
#include "core/modDB.h"
#include "core/modLangConst.h"
#include "platform/Colors.h"

#include <QCloseEvent>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QTextEdit>

using modLangConst::lang;

namespace {
LoadedWindow<frmMsgHist> gLoaded; // never unloaded: it lives as long as the program

constexpr int kWidth = 460;
constexpr int kHeight = 340;
// The time of day as the log writes it.
const QString kTimeFormat = QStringLiteral("HH:mm:ss");
} // namespace

frmMsgHist& frmMsgHist::Load() {
    return *gLoaded.Load();
}

frmMsgHist* frmMsgHist::Loaded() {
    return gLoaded.Loaded();
}

frmMsgHist::frmMsgHist()
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("frmMsgHist"));
    setFixedSize(kWidth, kHeight);
    setWindowTitle(QStringLiteral("Alert History - Talkvane3"));

    lblCap[1] = new QLabel(QStringLiteral("History:   (most recient first)"), this);
    lblCap[1]->setGeometry(8, 6, 444, 18);
    lstHist = new QListWidget(this);
    lstHist->setObjectName(QStringLiteral("lstHist"));
    lstHist->setGeometry(8, 26, 444, 150);
    lstHist->setSelectionMode(QAbstractItemView::SingleSelection);
    connect(lstHist, &QListWidget::currentRowChanged, this, [this] { lstHist_Click(); });
    connect(lstHist, &QListWidget::itemClicked, this, [this] { lstHist_Click(); });

    lblCap[0] = new QLabel(QStringLiteral("Message:"), this);
    lblCap[0]->setGeometry(8, 182, 444, 18);
    // A peer's alert: shown as plain text, never as markup.
    txtPrev = new QTextEdit(this);
    txtPrev->setObjectName(QStringLiteral("txtPrev"));
    txtPrev->setReadOnly(true);
    txtPrev->setAcceptRichText(false);
    txtPrev->setUndoRedoEnabled(false);
    txtPrev->setGeometry(8, 202, 444, 96);

    cmdClear = chameleonButton::LaidOut(this, QStringLiteral("&Clear"));
    cmdClear->setGeometry(kWidth - 8 - 2 * 100 - 8, 306, 100, 25);
    connect(cmdClear, &chameleonButton::Click, this, [this] { cmdClear_Click(); });
    cmdHide = chameleonButton::LaidOut(this, QStringLiteral("&Hide"));
    cmdHide->setGeometry(kWidth - 8 - 100, 306, 100, 25);
    connect(cmdHide, &chameleonButton::Click, this, [this] { cmdHide_Click(); });

    SetLang();
    ResetMsgLst();
}

void frmMsgHist::SetLang() {
    if (frmImgs* imgs = frmImgs::Loaded()) setWindowIcon(imgs->icon);
    if (!modDB::DBLoaded()) return;
    const modDB::Captions t("frmMsgHist");
    setWindowTitle(t("Form"));
    for (int i = 0; i < 2; ++i)
        lblCap[i]->setText(t("lblCap", i));
    cmdHide->SetCaption(t("cmdHide"));
    cmdClear->SetCaption(t("cmdClear"));
}

void frmMsgHist::AddMsg(const QString& sender, const QString& text) {
    newest_ = static_cast<qint16>(newest_ + 1);
    if (newest_ >= kEntries) newest_ = 0;
    ring_[static_cast<std::size_t>(newest_)] = {sender, text, QTime::currentTime(), true};
    UpdateList();
}

void frmMsgHist::UpdateList() {
    lstHist->clear();
    if (newest_ < 0) return;
    for (int i = newest_; i >= 0; --i)
        AddItemToList(i);
    for (int i = kEntries - 1; i > newest_; --i)
        AddItemToList(i);
}

void frmMsgHist::AddItemToList(int index) {
    if (index < 0 || index >= kEntries) return;
    const AlertHistEntry& e = ring_[static_cast<std::size_t>(index)];
    if (!e.used) return;
    QString msg = e.Msg;
    if (msg.size() > kRowChars) msg = msg.left(kRowChars) + QStringLiteral("...");
    const QString row = e.Time.toString(kTimeFormat) + QLatin1Char('\t') + e.From + QLatin1Char('\t') +
                        QLatin1Char('"') + msg + QLatin1Char('"');
    auto* item = new QListWidgetItem(modAppFnc::PlainLines(row));
    item->setData(Qt::UserRole, index);
    lstHist->addItem(item);
}

void frmMsgHist::ResetMsgLst() {
    for (AlertHistEntry& e : ring_)
        e = AlertHistEntry{};
    newest_ = -1;
    lstHist->clear();
    txtPrev->clear();
}

void frmMsgHist::lstHist_Click() {
    QListWidgetItem* item = lstHist->currentItem();
    if (!item || !item->isSelected()) {
        txtPrev->clear();
        return;
    }
    const int index = item->data(Qt::UserRole).toInt();
    if (index < 0 || index >= kEntries) return;
    const AlertHistEntry& e = ring_[static_cast<std::size_t>(index)];
    // The sender's look as it is now, not as it was when the alert came.
    QPalette pal = txtPrev->palette();
    pal.setColor(QPalette::Text, Colors::fromBgr(PeerInfo::Colour(e.From)));
    txtPrev->setPalette(pal);
    txtPrev->setFont(PeerInfo::Font(e.From, font()));
    txtPrev->setPlainText(modAppFnc::PlainLines(e.Msg));
}

void frmMsgHist::cmdClear_Click() {
    QPointer<frmMsgHist> self(this);
    const int answer = modAppFnc::ShowMsg(lang("Hist_ClearMsgHist"), 1, 2);
    if (!self) return;
    if (answer != 1) ResetMsgLst();
}

void frmMsgHist::cmdHide_Click() {
    hide();
}

void frmMsgHist::closeEvent(QCloseEvent* e) {
    // The close box hides, as Hide does: closing would lose the alerts.
    e->ignore();
    hide();
}
