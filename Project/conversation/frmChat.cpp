#include "conversation/frmChat.h"

#include "controls/RichTextBox.h"
#include "controls/SendBox.h"
#include "controls/chameleonButton.h"
#include "core/MainWindowLink.h"
#include "core/PeerInfo.h"
#include "core/SkinAtlas.h"
#include "core/frmImgs.h"
#include "core/modAppFnc.h"
#include "core/modCommonDialog.h"
#include "core/modDB.h"
#include "core/modGlobals.h"
#include "core/modLangConst.h"
#include "core/modNetCmds.h"
#include "core/modSkin.h"
#include "platform/Attention.h"
#include "platform/Colors.h"
#include "platform/LineBreak.h"
#include "platform/OuterGeometry.h"
#include "platform/Twips.h"
#include "platform/WindowShow.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPainter>
#include <QPointer>
#include <QSaveFile>
#include <QSignalBlocker>
#include <QStyle>
#include <QTime>
#include <QTimer>

using modGlobals::Run;
using modGlobals::Sep;
using modGlobals::Sets;
using modLangConst::lang;

namespace {
using LineBreak::kCrLf;
// Room left between the status line and the character counter.
constexpr int kStatusGap = 4;
constexpr int kStatusWidth = 300;
constexpr int kCounterPad = 2;

// Sets a check mark without running what its change does.
void setChecked(QAction* action, bool on) {
    const QSignalBlocker quiet(action);
    action->setChecked(on);
}

bool haveFont(const QString& family) {
    for (const QString& f : QFontDatabase::families())
        if (f.compare(family, Qt::CaseInsensitive) == 0) return true;
    return false;
}
} // namespace

void frmChat::Install() {
    ChatRooms::SetFactory([]() -> ChatRoom* { return new frmChat; });
}

frmChat::frmChat(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("frmChat"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Chatting - Talkvane3"));
    SkinWindows::Register(this, SkinnableWindow::Kind::Chat);
    outer_ = new OuterGeometry(this);
    // The minimum is an outer size: it is put right once the frame is known.
    outer_->FrameKnown = [this] { applyMinimumSize(); };
    buildControls();
    buildMenus();
    Form_Load();
}

frmChat::~frmChat() {
    ChatRooms::Leave(this);
}

void frmChat::buildMenus() {
    auto item = [](QMenu* m, const char* caption, QKeySequence key = {}) {
        QAction* a = m->addAction(QString::fromUtf8(caption));
        if (!key.isEmpty()) a->setShortcut(key);
        return a;
    };
    mnuChat = menuBar()->addMenu(QStringLiteral("&Chat"));
    mnuChatAdd = item(mnuChat, "&Add Selected Users");
    connect(mnuChatAdd, &QAction::triggered, this, &frmChat::mnuChatAdd_Click);
    mnuChatRem = item(mnuChat, "&Remove Selected User");
    connect(mnuChatRem, &QAction::triggered, this, &frmChat::mnuChatRem_Click);
    mnuChatBlock = item(mnuChat, "&Block Selected User");
    connect(mnuChatBlock, &QAction::triggered, this, &frmChat::mnuChatBlock_Click);
    mnuChat->addSeparator();
    mnuChatTS = item(mnuChat, "&Time Stamp");
    mnuChatTS->setCheckable(true);
    mnuChatExport = mnuChat->addMenu(QStringLiteral("&Export Dialog To"));
    mnuChatExportC = item(mnuChatExport, "&Clipboard");
    connect(mnuChatExportC, &QAction::triggered, this, &frmChat::mnuChatExportC_Click);
    mnuChatExportF = item(mnuChatExport, "&File...");
    connect(mnuChatExportF, &QAction::triggered, this, &frmChat::mnuChatExportF_Click);
    mnuChat->addSeparator();
    mnuChatClose = item(mnuChat, "&Close");
    connect(mnuChatClose, &QAction::triggered, this, &frmChat::mnuChatClose_Click);

    // The edit commands act on the send box; its own keys do the same, so the items only
    // show their keys.
    mnuEdit = menuBar()->addMenu(QStringLiteral("&Edit"));
    editItems_ = SendBox::BuildEditMenu(mnuEdit, txtSnd);
    mnuEditCut = editItems_.cut;
    mnuEditCopy = editItems_.copy;
    mnuEditPast = editItems_.paste;
    mnuEditSelAll = editItems_.selectAll;
    mnuEdit->addSeparator();
    mnuEditClear = item(mnuEdit, "C&lear Conversation");
    connect(mnuEditClear, &QAction::triggered, this, &frmChat::mnuEditClear_Click);

    mnuSpecial = menuBar()->addMenu(QStringLiteral("&Special"));
    mnuSpecialSidebar = item(mnuSpecial, "Show &Side Bar", QKeySequence(Qt::CTRL | Qt::Key_S));
    mnuSpecialSidebar->setCheckable(true);
    mnuSpecialSidebar->setChecked(true);
    connect(mnuSpecialSidebar, &QAction::toggled, this, &frmChat::ShowSideBar);
    mnuSpecialKoT = item(mnuSpecial, "Keep On &Top", QKeySequence(Qt::CTRL | Qt::Key_T));
    mnuSpecialKoT->setCheckable(true);
    connect(mnuSpecialKoT, &QAction::toggled, this, &frmChat::KeepOnTop);
    mnuSpecialAT = mnuSpecial->addMenu(QStringLiteral("&Auto Text"));
    mnuSpecial->addSeparator();
    mnuSpecialMergeIn = item(mnuSpecial, "&Merge In Text File...");
    connect(mnuSpecialMergeIn, &QAction::triggered, this, &frmChat::mnuSpecialMergeIn_Click);
}

void frmChat::buildControls() {
    body = new QWidget(this);
    body->setAutoFillBackground(true);
    setCentralWidget(body);
    body->installEventFilter(this);

    lstUsers = new QListWidget(body);
    lstUsers->setObjectName(QStringLiteral("lstUsers"));
    lstUsers->setSelectionMode(QAbstractItemView::SingleSelection);
    txtMsg = new RichTextBox(body);
    txtMsg->setObjectName(QStringLiteral("txtMsg"));
    txtSnd = new SendBox(body);
    txtSnd->setObjectName(QStringLiteral("txtSnd"));
    connect(txtSnd, &QPlainTextEdit::textChanged, this, &frmChat::txtSnd_Change);
    connect(txtSnd, &SendBox::SendRequested, this, [this] {
        if (cmdSnd->Enabled()) cmdSnd_Click();
    });
    lblStat = new StatusLine(QStringLiteral("[stat]"), body);
    lblStat->setTextFormat(Qt::PlainText);
    lblStat->resize(kStatusWidth, 15);
    lblChrCnt = new QLabel(QStringLiteral("000/000"), body);
    lblChrCnt->setTextFormat(Qt::PlainText);
    lblChrCnt->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // As wide as the longest count, so that the status line has the rest of the row.
    lblChrCnt->resize(
        lblChrCnt->fontMetrics().horizontalAdvance(QStringLiteral("%1/%1").arg(SendBox::kMaxLength)) +
            kCounterPad,
        13);

    cmdSnd = chameleonButton::LaidOut(body);
    cmdSnd->setObjectName(QStringLiteral("cmdSnd"));
    QFont glyph(QStringLiteral("Wingdings 3"));
    glyph.setPointSize(16);
    cmdSnd->SetFont(glyph);
    cmdSnd->SetCaption(QStringLiteral("8"));
    cmdSnd->resize(40, 51);
    cmdSnd->SetEnabled(false);
    connect(cmdSnd, &chameleonButton::Click, this, &frmChat::cmdSnd_Click);
    const char* sb[5] = {"C&lear Conversation", "&Add Selected", "&Remove Selected", "&Block Selected",
                         "&Close"};
    for (int i = 0; i < 5; ++i) {
        cmdSB[i] = chameleonButton::LaidOut(body);
        cmdSB[i]->SetCaption(QString::fromLatin1(sb[i]));
        cmdSB[i]->resize(125, 25);
    }
    connect(cmdSB[0], &chameleonButton::Click, this, &frmChat::mnuEditClear_Click);
    connect(cmdSB[1], &chameleonButton::Click, this, &frmChat::mnuChatAdd_Click);
    connect(cmdSB[2], &chameleonButton::Click, this, &frmChat::mnuChatRem_Click);
    connect(cmdSB[3], &chameleonButton::Click, this, &frmChat::mnuChatBlock_Click);
    connect(cmdSB[4], &chameleonButton::Click, this, &frmChat::mnuChatClose_Click);

    // The window sees Ctrl+digit first, whichever control has the focus.
    for (QWidget* w : std::initializer_list<QWidget*>{lstUsers, txtMsg, txtSnd, cmdSnd})
        w->installEventFilter(this);
    for (chameleonButton* b : cmdSB)
        b->installEventFilter(this);

    tmrTyping = new QTimer(this);
    tmrTyping->setInterval(kTypingMs);
    connect(tmrTyping, &QTimer::timeout, this, &frmChat::tmrTyping_Timer);
    tmrWinFlash = new QTimer(this);
    tmrWinFlash->setInterval(kFlashMs);
    connect(tmrWinFlash, &QTimer::timeout, this, &frmChat::tmrWinFlash_Timer);
}

void frmChat::Form_Load() {
    const auto& s = Sets();
    SendBox::BuildAutoText(mnuSpecialAT, txtSnd);
    const QList<QAction*> items = mnuSpecialAT->actions();
    for (int i = 0; i < 10 && i < items.size(); ++i)
        mnuSpecialATI[i] = items.at(i);
    txtSnd->UseOwnLook();
    txtSnd->SetMaxLength(SendBox::kMaxLength);
    UpDateMaxLen();
    firstLine_ = true;
    SetLang();
    resize(Twips::toPx(kMinWidthSideBar, Twips::dpiX(this)),
           Twips::toPx(kMinHeightSideBar, Twips::dpiY(this)));
    Form_Resize();
    setChecked(mnuSpecialKoT, Run().ChatKeepOnTop != 0);
    KeepOnTop(Run().ChatKeepOnTop != 0);
    setChecked(mnuSpecialSidebar, s.FC_SB);
    ShowSideBar(s.FC_SB);
    SetStat(lang("Chat_StatN"), QString());
}

// --- membership ----------------------------------------------------------------------------

QStringList frmChat::Members() const {
    QStringList out;
    for (int i = 0; i < lstUsers->count(); ++i)
        out << lstUsers->item(i)->text();
    return out;
}

bool frmChat::HaveUser(const QString& name) {
    for (int i = 0; i < lstUsers->count(); ++i)
        if (modAppFnc::SameNoCase(lstUsers->item(i)->text(), name)) return true;
    return false;
}

void frmChat::sendH(const QString& target, const QString& text, const QString& code) {
    modNetCmds::SendChatLine(target, text, code);
}

void frmChat::AddUser(const QString& name) {
    // "\" names are the listening sign-in windows, which nobody answers; an empty name is nobody.
    if (name.isEmpty() || name.startsWith(QLatin1Char('\\'))) return;
    if (modAppFnc::SameNoCase(name, Sets().UNAME)) return;
    if (HaveUser(name)) return;
    int at = 0;
    while (at < lstUsers->count() && modAppFnc::CompareNoCase(lstUsers->item(at)->text(), name) <= 0)
        ++at;
    lstUsers->insertItem(at, name);
    sendH(name, QString(), QStringLiteral("0"));
    const QStringList members = Members();
    for (const QString& i : members)
        for (const QString& j : members)
            sendH(i, j, QStringLiteral("4"));
    if (lstUsers->selectedItems().isEmpty()) lstUsers->setCurrentRow(0);
    SetStat(lang("Chat_StatN"), QString());
    if (!cmdSnd->Enabled()) cmdSnd->SetEnabled(true);
}

void frmChat::RemUser(const QString& name) {
    if (lstUsers->count() == 0) return;
    bool removed = false;
    for (int i = 0; i < lstUsers->count(); ++i) {
        if (!modAppFnc::SameNoCase(lstUsers->item(i)->text(), name)) continue;
        delete lstUsers->takeItem(i);
        removed = true;
        break;
    }
    if (!removed) return;
    if (lstUsers->count() == 0) {
        SetStat(lang("Chat_NoUsersLeft"), QString());
        cmdSnd->SetEnabled(false);
        return;
    }
    for (const QString& m : Members())
        sendH(m, name, QStringLiteral("5"));
}

void frmChat::BC_Closing(const QString& name) {
    sendH(name, QString(), QStringLiteral("3"));
}

void frmChat::SetStat(const QString& text, const QString& key) {
    showStat(text, key, 0);
}

void frmChat::showStat(const QString& text, const QString& key, int kept) {
    if (!key.isEmpty() && !lblStatTag.isEmpty() && !modAppFnc::SameNoCase(lblStatTag, key)) return;
    lblStatTag = key;
    lblStat->SetStatus(text, kept);
}

// --- incoming ------------------------------------------------------------------------------

void frmChat::AddMsg(const QString& packet, const QString& from, bool soundPlayed) {
    const QString text = modAppFnc::GetField(packet, 1, modGlobals::kSep);
    const QString code = modAppFnc::GetField(packet, 2, modGlobals::kSep);
    QString shown = from;
    if (mnuChatTS->isChecked())
        shown = QTime::currentTime().toString(QStringLiteral("HH:mm:ss")) + lang("Chat_TimeStampSep") + from;
    if (code == QLatin1String("1")) {
        // Where the line is short, the time and the name give way before what he is doing.
        showStat(shown + text, QString(), int(text.size()));
    } else if (code == QLatin1String("2")) {
        SetStat(lang("Chat_StatN"), QString());
    } else if (code == QLatin1String("3")) {
        RemUser(from);
    } else if (code == QLatin1String("4")) {
        if (!modAppFnc::UserInChat(text)) AddUser(text);
    } else if (code == QLatin1String("5")) {
        RemUser(text);
    } else if (!text.isEmpty()) {
        showLine(shown, from, text, soundPlayed);
    }
}

void frmChat::showLine(const QString& sender, const QString& from, const QString& text, bool soundPlayed) {
    const auto [colour, font] = PeerInfo::LookOf(from); // one reading of the sender's record
    const QString ownFont = this->font().family();
    const quint32 grey = Colors::SysColor(Colors::kGrayText);
    txtMsg->SelToEnd();
    if (Sets().CHTSTY == 0) {
        txtMsg->SetSelFontName(ownFont);
        txtMsg->SetSelColor(grey);
        txtMsg->SetSelIndent(3);
        txtMsg->SetSelText(sender + QStringLiteral(":\t"));
        txtMsg->SelToEnd();
        txtMsg->SetSelFontName(font);
        txtMsg->SetSelColor(colour);
        txtMsg->SetSelHangingIndent(QFontMetricsF(this->font()).horizontalAdvance(sender) + 13);
        txtMsg->SetSelText(text + kCrLf);
    } else {
        // Only 0 and 1 are offered; any other value draws as the multi-line style.
        txtMsg->SetSelFontName(ownFont);
        txtMsg->SetSelColor(grey);
        txtMsg->SetSelIndent(3);
        txtMsg->SetSelHangingIndent(0);
        txtMsg->SetSelText(sender + QStringLiteral(":") + kCrLf);
        txtMsg->SetSelFontName(font);
        txtMsg->SetSelColor(colour);
        txtMsg->SetSelIndent(15);
        txtMsg->SetSelText(text + kCrLf);
    }
    if (Sets().CHTPICS == 1) txtMsg->InsertPictures();
    txtMsg->SelToEnd();
    if (!Attention::backend()->IsActive(this)) {
        if (!soundPlayed) modAppFnc::PlaySnd(Sets().CHTSND);
        StartWinFlash();
    }
}

// --- sending and typing ----------------------------------------------------------------------

void frmChat::cmdSnd_Click() {
    const QString text = txtSnd->Text();
    if (text.isEmpty()) return;
    for (const QString& m : Members())
        sendH(m, text, QStringLiteral("0"));
    QPointer<frmChat> self(this);
    // The own line takes the road of every line: text "3" is a line here too.
    AddMsg(text + Sep() + QStringLiteral("0"), Sets().UNAME);
    if (!self) return;
    txtSnd->SetText(QString());
    tmrTyping_Timer();
    txtSnd->setFocus();
    firstLine_ = false;
}

void frmChat::txtSnd_Change() {
    UpDateMaxLen();
    if (!firstLine_ && !tmrTyping->isActive()) {
        const QString typing = lang("Chat_IsTyping");
        for (const QString& m : Members())
            sendH(m, typing, QStringLiteral("1"));
        tmrTyping->start();
    } else {
        tmrTyping->stop();
        tmrTyping->start();
    }
}

void frmChat::tmrTyping_Timer() {
    if (!tmrTyping->isActive()) return;
    for (const QString& m : Members())
        sendH(m, QString(), QStringLiteral("2"));
    tmrTyping->stop();
}

void frmChat::UpDateMaxLen() {
    lblChrCnt->setText(QString::number(txtSnd->TextLength()) + QLatin1Char('/') +
                       QString::number(txtSnd->MaxLength()));
}

// --- leaving and removing --------------------------------------------------------------------

void frmChat::mnuChatRem_Click() {
    QListWidgetItem* item = lstUsers->currentItem();
    if (!item || !item->isSelected()) return;
    const QString name = item->text();
    BC_Closing(name);
    RemUser(name);
}

void frmChat::mnuChatBlock_Click() {
    QListWidgetItem* item = lstUsers->currentItem();
    if (!item || !item->isSelected()) return;
    const QString name = item->text();
    if (MainWindowLink* main = MainWindowLink::Loaded()) {
        if (main->IsBlocked(name))
            main->RemBlock(name);
        else
            main->AddBlock(name);
    }
    mnuChatRem_Click();
}

void frmChat::mnuChatAdd_Click() {
    if (MainWindowLink* main = MainWindowLink::Loaded()) main->AddU2Chat(this);
}

void frmChat::mnuChatClose_Click() {
    close();
}

void frmChat::ShowRoom(Opener by) {
    if (by == Opener::Network)
        WindowShow::Unasked(this);
    else
        WindowShow::Asked(this);
    txtSnd->setFocus(); // where the user types, whenever the window becomes active
}

void frmChat::CloseRoom() {
    close();
}

void frmChat::closeEvent(QCloseEvent* e) {
    if (!unloaded_) {
        unloaded_ = true;
        tmrTyping->stop();
        tmrWinFlash->stop();
        for (const QString& m : Members())
            BC_Closing(m);
        // Gone from the room registry and the skin registry at once, not when it is destroyed.
        ChatRooms::Leave(this);
        SkinWindows::Unregister(this);
    }
    e->accept();
}

// --- flashing ----------------------------------------------------------------------------------

void frmChat::StartWinFlash() {
    flashCount_ = kFlashes;
    tmrWinFlash->start();
}

void frmChat::tmrWinFlash_Timer() {
    if (Attention::backend()->IsActive(this)) {
        tmrWinFlash->stop();
        Attention::backend()->Flash(this, false);
        return;
    }
    if (flashCount_ > 0) {
        Attention::backend()->Flash(this, true);
        --flashCount_;
    }
}

// --- export, merge-in, AutoText, edit -----------------------------------------------------------

void frmChat::mnuChatExportC_Click() {
    auto* data = new QMimeData;
    data->setText(txtMsg->Text());
    data->setData(QStringLiteral("text/rtf"), txtMsg->TextRTF().toLatin1());
    QApplication::clipboard()->setMimeData(data);
}

void frmChat::mnuChatExportF_Click() {
    QString path =
        modCommonDialog::ShowSave(this, lang("Chat_TextFilter"), lang("Chat_ExportDiag"), QString());
    if (path.isEmpty()) return;
    const int filter = modCommonDialog::LastSaveFilter();
    const QString ext = filter == 2 ? QStringLiteral(".txt") : QStringLiteral(".rtf");
    if (filter != 1 && filter != 2) return;
    QPointer<frmChat> self(this);
    if (!path.endsWith(ext)) {
        path += ext;
        // The dialog asked about the name as typed, never about this one.
        if (QFileInfo::exists(path) &&
            modAppFnc::ShowMsg(path + kCrLf +
                                   QStringLiteral("This file already exists. Do you want to replace it?"),
                               1, 2) != 0)
            return;
        if (!self) return;
    }
    const QByteArray data = filter == 1 ? txtMsg->TextRTF().toLatin1() : txtMsg->Text().toUtf8();
    QSaveFile file(path);
    bool ok = file.open(QIODevice::WriteOnly);
    ok = ok && file.write(data) == data.size() && file.write("\r\n", 2) == 2;
    ok = ok && file.commit();
    if (!ok) {
        const QString reason = file.errorString();
        file.cancelWriting();
        modAppFnc::ShowMsg(QStringLiteral("Unable to write the file ") + path + kCrLf + kCrLf + reason, 0, 5);
    }
}

void frmChat::mnuSpecialMergeIn_Click() {
    QPointer<frmChat> self(this);
    const QString path =
        txtSnd->MergeIn(lang("Chat_MergeInFilter"), lang("Chat_MergeInTitle"), LastMergePath);
    if (self) LastMergePath = path;
}

void frmChat::mnuSpecialATI_Click(int index) {
    if (index < 0 || index >= 10 || !mnuSpecialATI[index]) return;
    txtSnd->SetSelText(mnuSpecialATI[index]->data().toString());
}

void frmChat::mnuEditClear_Click() {
    txtMsg->ClearText();
}

bool frmChat::handleAutoTextKey(QKeyEvent* e) {
    const int index = SendBox::AutoTextIndex(e);
    if (index < 0) return false;
    mnuSpecialATI_Click(index);
    return true;
}

void frmChat::keyPressEvent(QKeyEvent* e) {
    if (handleAutoTextKey(e)) return;
    QMainWindow::keyPressEvent(e);
}

bool frmChat::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::KeyPress && watched != body && handleAutoTextKey(static_cast<QKeyEvent*>(e)))
        return true;
    // Enter in the send box sends: meanwhile the send button shows itself as the default one.
    if (watched == txtSnd && (e->type() == QEvent::FocusIn || e->type() == QEvent::FocusOut))
        cmdSnd->SetDisplayAsDefault(e->type() == QEvent::FocusIn);
    // The client area gets its final size only when the window is laid out: the background is
    // always composed at that size.
    if (watched == body && e->type() == QEvent::Resize && picBuf.size() != body->size() && !unloaded_)
        SetSkin();
    return QMainWindow::eventFilter(watched, e);
}

// --- keep on top, side bar, size -----------------------------------------------------------------

void frmChat::mnuSpecialKoT_Click() {
    mnuSpecialKoT->toggle();
}

void frmChat::KeepOnTop(bool) {
    modAPIFunc::SetTopMost(this, mnuSpecialKoT->isChecked());
    Run().ChatKeepOnTop = mnuSpecialKoT->isChecked() ? 1 : 0;
}

bool frmChat::SideBarShown() const {
    return mnuSpecialSidebar->isChecked();
}

void frmChat::mnuSpecialSidebar_Click() {
    mnuSpecialSidebar->toggle();
}

void frmChat::ShowSideBar(bool) {
    if (isVisible() && !SideBarShown()) txtSnd->setFocus();
    const int h = LastHeight, w = LastWidth;
    Form_Resize();
    if (h == LastHeight && w == LastWidth) SetSkin();
    Sets().FC_SB = SideBarShown();
}

void frmChat::applyMinimumSize() {
    const bool side = SideBarShown();
    Twips::SetOuterMinimum(this, side ? kMinWidthSideBar : kMinWidth, side ? kMinHeightSideBar : kMinHeight);
}

QSize frmChat::outerSizeTwips() const {
    return outer_->OuterSizeTwips();
}

void frmChat::Form_Resize() {
    if (windowState() & Qt::WindowMinimized) return;
    applyMinimumSize();
    const QSize tw = outerSizeTwips();
    if (tw.height() != LastHeight || tw.width() != LastWidth) {
        LastHeight = tw.height();
        LastWidth = tw.width();
        SetSkin();
    }
}

void frmChat::resizeEvent(QResizeEvent* e) {
    QMainWindow::resizeEvent(e);
    Form_Resize();
}

void frmChat::changeEvent(QEvent* e) {
    QMainWindow::changeEvent(e);
    if (e->type() == QEvent::WindowStateChange) Form_Resize();
}

// --- skin and captions -----------------------------------------------------------------------

void frmChat::SetSkin() {
    const int SW = body->width(), H = body->height();
    const bool side = SideBarShown();
    const int W = side ? SW - SkinAtlas::kSideBarWidth : SW;
    picBuf = QImage(qMax(SW, 1), qMax(H, 1), QImage::Format_RGB32);
    picBuf.fill(Qt::black);
    {
        QPainter p(&picBuf);
        SkinAtlas::PaintFrame(p, frmImgs::Load().picSkin, SkinAtlas::kChatFrame, SW, H, side);
    }
    QPalette pal = body->palette();
    pal.setBrush(QPalette::Window, QBrush(QPixmap::fromImage(picBuf)));
    body->setPalette(pal);

    for (chameleonButton* b : cmdSB)
        b->setVisible(side);
    lblChrCnt->move(W - (lblChrCnt->width() + 3), H - 16);
    // The two lines share rows: the status line ends before the counter begins.
    lblStat->setGeometry(8, H - 27, qBound(0, lblChrCnt->x() - kStatusGap - 8, kStatusWidth),
                         lblStat->height());
    lstUsers->setGeometry(49, 3, qMax(W - 52, 1), 35);
    txtMsg->setGeometry(3, 43, qMax(W - 6, 1), qMax(H - 131, 1));
    int b = 0;
    if (Sets().CHTSNDBTN == 1) {
        b = cmdSnd->width() + 3;
    } else {
        cmdSnd->move(-10 - cmdSnd->width(), cmdSnd->y());
    }
    txtSnd->setGeometry(5, H - 82, qMax(W - b - 10, 1), 51);
    if (Sets().CHTSNDBTN == 1)
        cmdSnd->setGeometry(txtSnd->x() + txtSnd->width() + 3, txtSnd->y(), cmdSnd->width(),
                            txtSnd->height());
    if (side) {
        const int left = SW - (cmdSB[0]->width() + 13);
        cmdSB[0]->move(left, 10);
        for (int i = 1; i < 5; ++i)
            cmdSB[i]->move(left, cmdSB[0]->y() + i * (cmdSB[i]->height() + 5));
    }
    modSkin::SkinButton(cmdSnd);
    for (chameleonButton* btn : cmdSB)
        modSkin::SkinButton(btn);
    const auto& info = modSkin::Current();
    for (QLabel* l : std::initializer_list<QLabel*>{lblStat, lblChrCnt}) {
        QPalette lp = l->palette();
        lp.setColor(QPalette::WindowText, Colors::fromBgr(static_cast<quint32>(info.ChatStatusColor)));
        l->setPalette(lp);
    }
    QPalette lp = lstUsers->palette();
    lp.setColor(QPalette::Base, Colors::fromBgr(static_cast<quint32>(info.ListBackColor)));
    lp.setColor(QPalette::Text, Colors::fromBgr(static_cast<quint32>(info.ListForeColor)));
    lstUsers->setPalette(lp);
}

void frmChat::SetLang() {
    if (frmImgs* imgs = frmImgs::Loaded()) setWindowIcon(imgs->icon);
    if (!haveFont(QStringLiteral("wingdings 3"))) {
        QFont f(QStringLiteral("Arial"));
        f.setBold(true);
        f.setPointSize(10);
        cmdSnd->SetFont(f);
        cmdSnd->SetCaption(QStringLiteral("S"));
    }
    if (!modDB::DBLoaded()) return;
    const modDB::Captions t("frmChat");
    setWindowTitle(t("Form"));
    mnuChat->setTitle(t("mnuChat"));
    mnuChatAdd->setText(t("mnuChatAdd"));
    mnuChatRem->setText(t("mnuChatRem"));
    mnuChatBlock->setText(t("mnuChatBlock"));
    mnuChatTS->setText(t("mnuChatTS"));
    mnuChatExport->setTitle(t("mnuChatExport"));
    mnuChatExportC->setText(t("mnuExportC"));
    mnuChatExportF->setText(t("mnuExportF"));
    mnuChatClose->setText(t("mnuChatClose"));
    mnuEdit->setTitle(t.Shared("mnuEdit"));
    SendBox::SetEditLang(editItems_);
    mnuEditClear->setText(t("mnuEditClear"));
    mnuSpecial->setTitle(t("mnuSpecial"));
    mnuSpecialSidebar->setText(t.Shared("mnuSideBar"));
    mnuSpecialKoT->setText(t.Shared("mnuKoT"));
    mnuSpecialAT->setTitle(t.Shared("mnuAutoText"));
    mnuSpecialMergeIn->setText(t.Shared("mnuMergeTxt"));
    for (int i = 0; i < 5; ++i)
        cmdSB[i]->SetCaption(t("cmdSB", i));
}
