#include "Help/Form1.h"

#include "Help/WSKSOCK.h"
#include "platform/LineBreak.h"
#include "platform/MsgBox.h"
#include "platform/ProgramEnd.h"
#include "platform/ProgramFolder.h"
#include "platform/Registry.h"
#include "platform/Shell.h"
#include "platform/Twips.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <cmath>

namespace Help {

namespace {
using LineBreak::kCrLf;
const QString kCaption = QStringLiteral("Talkvane3 Help System");
const QString kNotice = QStringLiteral(
    "You should receive an email within the next few minutes confirming that your email has been received.");
const QString kTooBigKey = QStringLiteral("Software\\Help\\Settings");
const QString kTooBigValue = QStringLiteral("Too big");

bool hasControl(const QString& text) {
    for (const QChar c : text)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F) return true;
    return false;
}

bool tooBigAnswered() {
    const auto v = Registry::queryValue(Registry::CurrentUser, kTooBigKey, kTooBigValue);
    return v && v->type == Registry::Type::String && v->text == QStringLiteral("True");
}
} // namespace

void AttachmentListBox::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void AttachmentListBox::dragMoveEvent(QDragMoveEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void AttachmentListBox::dropEvent(QDropEvent* event) {
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile()) paths << url.toLocalFile();
    event->acceptProposedAction();
    if (onDrop) onDrop(paths);
}

Form1::Form1(QWidget* parent) : QWidget(parent) {
    setWindowTitle(kCaption);
    buildControls();
    // Form_Load
    SetTobox(QString::fromLatin1(kSupportAddress));
    DisableX();
    LBL[3]->setText(kNotice);
}

Form1::~Form1() = default;

void Form1::buildControls() {
    auto* grid = new QGridLayout;
    LBL[0] = new QLabel(QStringLiteral("Your Email Address:"), this);
    Frombox = new QLineEdit(QString::fromLatin1(kPlaceholderAddress), this);
    Frombox->setMaxLength(255);
    LBL[1] = new QLabel(QStringLiteral("To:"), this);
    Tobox = new QLabel(this);
    Tobox->setTextFormat(Qt::PlainText);
    LBL[2] = new QLabel(QStringLiteral("Subject:"), this);
    Subjekt = new QLineEdit(this);
    Subjekt->setMaxLength(255);
    LBL[4] = new QLabel(QStringLiteral("Mail Server:"), this);
    MailServer = new QComboBox(this);
    MailServer->setEditable(true);
    const QString server = qEnvironmentVariable("QX3_SMTP_SERVER");
    MailServer->addItem(server.isEmpty() ? QString::fromLatin1(kDefaultServer) : server);
    grid->addWidget(LBL[0], 0, 0);
    grid->addWidget(Frombox, 0, 1);
    grid->addWidget(LBL[1], 1, 0);
    grid->addWidget(Tobox, 1, 1);
    grid->addWidget(LBL[2], 2, 0);
    grid->addWidget(Subjekt, 2, 1);
    grid->addWidget(LBL[4], 3, 0);
    grid->addWidget(MailServer, 3, 1);

    Mailtxt = new QPlainTextEdit(this);
    Mailtxt->setPlaceholderText(QStringLiteral("Describe the problem and where it took place."));

    chksendUser = new QCheckBox(QStringLiteral("Send my User.con file"), this);
    chksendUser->setChecked(true);
    ChkSendLog = new QCheckBox(QStringLiteral("Send my Log.txt file"), this);
    ChkSendLog->setChecked(true);
    CMDfiles = new QPushButton(QStringLiteral("Why send these files?"), this);
    auto* files = new QHBoxLayout;
    files->addWidget(chksendUser);
    files->addWidget(ChkSendLog);
    files->addStretch();
    files->addWidget(CMDfiles);

    AttachmentList = new AttachmentListBox(this);
    AttachmentList->setAcceptDrops(true);
    AttachmentList->viewport()->setAcceptDrops(true);
    AttachmentList->setMaximumHeight(70);
    AttachmentList->onDrop = [this](const QStringList& paths) { AttachmentList_OLEDragDrop(paths); };
    connect(AttachmentList, &QListWidget::itemClicked, this, [this] { AttachmentList_Click(); });
    connect(AttachmentList, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        const QVariant index = item->data(Qt::UserRole);
        if (index.isValid() && index.toULongLong() < dropped_.size())
            dropped_[index.toULongLong()].ticked = item->checkState() == Qt::Checked;
    });

    LBL[3] = new QLabel(this);
    LBL[3]->setWordWrap(true);

    DataArrival = new QPlainTextEdit(this);
    DataArrival->setReadOnly(true);
    DataArrival->setMaximumHeight(60);
    Process = new QLabel(this);
    Process->setTextFormat(Qt::PlainText);

    fraDown = new QFrame(this);
    fraDown->setFrameShape(QFrame::StyledPanel);
    fraDown->setFixedHeight(28);
    frm2 = new QFrame(fraDown);
    frm2->setAutoFillBackground(true);
    QPalette bar = frm2->palette();
    bar.setColor(QPalette::Window, palette().color(QPalette::Highlight));
    frm2->setPalette(bar);
    frm2->setGeometry(3, 4, 0, 20);
    lblpcent = new QLabel(fraDown);
    lblpcent->setGeometry(Twips::toPx(kBarFullTwips, Twips::dpiX(this)) + 12, 4, 60, 20);
    fraDown->setMinimumWidth(Twips::toPx(kBarFullTwips, Twips::dpiX(this)) + 80);
    fraDown->hide();

    CMDprivate = new QPushButton(QStringLiteral("More information on privacy"), this);
    SendMimeConnect = new QPushButton(QStringLiteral("Send"), this);
    SendMimeConnect->setDefault(true);
    btnExit = new QPushButton(QStringLiteral("Exit"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(CMDprivate);
    buttons->addStretch();
    buttons->addWidget(SendMimeConnect);
    buttons->addWidget(btnExit);

    auto* main = new QVBoxLayout(this);
    main->addLayout(grid);
    main->addWidget(Mailtxt, 1);
    main->addLayout(files);
    main->addWidget(AttachmentList);
    main->addWidget(LBL[3]);
    main->addWidget(DataArrival);
    main->addWidget(Process);
    main->addWidget(fraDown);
    main->addLayout(buttons);
    resize(520, 560);

    connect(CMDfiles, &QPushButton::clicked, this, [this] { CMDfiles_Click(); });
    connect(CMDprivate, &QPushButton::clicked, this, [this] { CMDprivate_Click(); });
    connect(btnExit, &QPushButton::clicked, this, [this] { btnExit_Click(); });
    connect(SendMimeConnect, &QPushButton::clicked, this, [this] { SendMimeConnect_Click(); });
    // Escape ends the session under way.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, [this] { session_.Abort(); });
}

void Form1::SetTobox(const QString& text) {
    Tobox->setText(text);
    Tobox_Change();
}

void Form1::Tobox_Change() {
    // Each recipient is trimmed where it is used.
    recipients_ = Tobox->text().split(QLatin1Char(','));
}

QString Form1::TwoDecimals(double value) {
    QString text = QString::number(std::round(value * 100.0) / 100.0, 'f', 2);
    while (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    if (text.endsWith(QLatin1Char('.'))) text.chop(1);
    return text;
}

void Form1::AttachmentList_Click() {
    const QListWidgetItem* item = AttachmentList->currentItem();
    if (!item) return;
    const QString path = item->text();
    const QFileInfo fi(path);
    const qint64 size = fi.isFile() ? fi.size() : 0;
    AttachmentList->setToolTip(path + QStringLiteral(" (") + TwoDecimals(double(size) / 1024.0) +
                               QStringLiteral(" KB)"));
}

void Form1::AttachmentList_OLEDragDrop(const QStringList& paths) {
    for (const QString& path : paths) {
        if (QFileInfo(path).isDir()) continue;
        dropped_.push_back({path});
        addDropped(dropped_.size() - 1);
        multipart_ = true;
    }
    if (AttachmentList->count() > 0) AttachmentList->setCurrentRow(AttachmentList->count() - 1);
}

void Form1::addDropped(std::size_t index) {
    // Built whole before it joins the list, so that only the user's changes of the tick count.
    auto* item = new QListWidgetItem(dropped_[index].path);
    item->setCheckState(dropped_[index].ticked ? Qt::Checked : Qt::Unchecked);
    item->setData(Qt::UserRole, QVariant::fromValue<qulonglong>(index));
    AttachmentList->addItem(item);
}

void Form1::CMDfiles_Click() {
    const QString text =
        QStringLiteral(
            "To enable us to effectively debug Talkvane we require some information from your copy of "
            "Talkvane.") +
        kCrLf + kCrLf +
        QStringLiteral(
            "The information is your settings file and your Talkvane Log file. Neither contain "
            "personal information from outside of Talkvane. We use the files solely for solving your "
            "particular error. Below you have the option to send the files with this email or not.") +
        kCrLf + kCrLf +
        QStringLiteral(
            "If you do not send the files is it increasingly likely that we will be unable to solve "
            "your problem.") +
        kCrLf + kCrLf +
        QStringLiteral(
            "NOTE: You cannont just send the two files. We need a description of the error and where it "
            "took place to try and fix it.");
    MsgBox::Show(QStringLiteral("Information"), text, MsgBox::Buttons::Ok, MsgBox::Icon::Information);
}

void Form1::CMDprivate_Click() {
    GoToURL(QString::fromLatin1(kPrivacyPage));
}

void Form1::GoToURL(const QString& link) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    int code = 0;
    const bool ok = Shell::open(link, code);
    QApplication::restoreOverrideCursor();
    if (!ok)
        MsgBox::Show(QStringLiteral("Error..."),
                     QStringLiteral("Error Opening Link to ") + link + kCrLf + kCrLf + QString::number(code),
                     MsgBox::Buttons::Ok, MsgBox::Icon::Critical);
}

bool Form1::IsConnected2Internet() const {
    const QString local = WSKSOCK::LocalAddressText();
    return !(local == QStringLiteral("127.0.0.1") || local.isEmpty());
}

void Form1::DisableX() {
    setWindowFlags((windowFlags() | Qt::CustomizeWindowHint | Qt::WindowTitleHint) &
                   ~Qt::WindowCloseButtonHint);
}

void Form1::closeEvent(QCloseEvent* event) {
    // No close box, and no other close either: the program ends by "Exit", the confirmation
    // after a send, or the system. A close asked for while a session runs ends the session.
    if (ending_) {
        event->accept();
        return;
    }
    event->ignore();
    session_.Abort();
}

void Form1::Startrek() {
    QPointer<Form1> self(this);
    // The layout would hold the window at its minimum size.
    if (layout()) layout()->setSizeConstraint(QLayout::SetNoConstraint);
    setMinimumSize(0, 0);
    const double dpiX = Twips::dpiX(this), dpiY = Twips::dpiY(this);
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
    const qint32 screenW = Twips::fromPx(area.width(), dpiX), screenH = Twips::fromPx(area.height(), dpiY);
    qint32 h = Twips::fromPx(height(), dpiY), w = Twips::fromPx(width(), dpiX);
    qint32 left = Twips::fromPx(x(), dpiX), top = Twips::fromPx(y(), dpiY);
    auto place = [&] {
        setGeometry(Twips::toPx(left, dpiX), Twips::toPx(top, dpiY), qMax(1, Twips::toPx(w, dpiX)),
                    qMax(1, Twips::toPx(h, dpiY)));
    };
    for (qint32 i = 0, n = h / 2; i < n && h > 500; ++i) {
        QCoreApplication::processEvents();
        if (!self) return;
        h -= 100;
        top = (screenH - h) / 2;
        place();
    }
    h = 30;
    place();
    for (qint32 i = 0, n = w / 2; i < n && w > 2000; ++i) {
        QCoreApplication::processEvents();
        if (!self) return;
        w -= 100;
        left = (screenW - w) / 2;
        place();
    }
}

void Form1::btnExit_Click() {
    QPointer<Form1> self(this);
    // A session under way ends first, as the user sees.
    session_.Abort();
    if (!self) return;
    Startrek();
    if (!self) return;
    endProgram();
}

void Form1::endProgram() {
    session_.Close();
    ending_ = true;
    ProgramEnd::EndNow();
}

void Form1::setControlsEnabled(bool on) {
    // "Exit" stays: it ends the session and the program.
    for (QWidget* w :
         std::initializer_list<QWidget*>{SendMimeConnect, CMDprivate, chksendUser, ChkSendLog, CMDfiles})
        w->setEnabled(on);
}

void Form1::giveWindowBack() {
    setControlsEnabled(true);
    fraDown->hide();
}

void Form1::setBar(int twips) {
    barTwips_ = qBound(0, twips, kBarFullTwips);
    frm2->resize(Twips::toPx(barTwips_, Twips::dpiX(this)), frm2->height());
}

void Form1::SendMimeConnect_Click() {
    if (InSession()) return;
    // 1.
    fraDown->show();
    setBar(0);
    lblpcent->clear();
    setControlsEnabled(false);
    // 2. The two files, then whatever was dropped on the list, each with its tick.
    AttachmentList->clear();
    if (chksendUser->isChecked()) AttachmentList->addItem(ProgramFolder::file(QStringLiteral("User.con")));
    if (ChkSendLog->isChecked()) AttachmentList->addItem(ProgramFolder::file(QStringLiteral("Log.txt")));
    for (std::size_t i = 0; i < dropped_.size(); ++i)
        addDropped(i);
    multipart_ = true;
    QPointer<Form1> self(this);
    // 3.
    const QString from = Frombox->text();
    if (from.isEmpty() || !from.contains(QLatin1Char('@')) || hasControl(from)) {
        MsgBox::Show(kCaption, QStringLiteral("Your email address is not valid."), MsgBox::Buttons::Ok,
                     MsgBox::Icon::Warning);
        if (self) giveWindowBack();
        return;
    }
    // 4. to 9.
    session_.Start(MailServer->currentText(), {from, recipients_.value(recipientIndex_).trimmed(),
                                               Subjekt->text(), Mailtxt->toPlainText(), attachmentPaths()});
}

QStringList Form1::attachmentPaths() const {
    QStringList paths;
    for (int i = 0; i < AttachmentList->count(); ++i) {
        const QListWidgetItem* item = AttachmentList->item(i);
        // A dropped file whose tick the user took away stays here.
        const QVariant dropped = item->data(Qt::UserRole);
        if (dropped.isValid() && dropped.toULongLong() < dropped_.size() &&
            !dropped_[dropped.toULongLong()].ticked)
            continue;
        paths << item->text();
    }
    return paths;
}

void Form1::DataArrival_MouseUp() {
    session_.Receive();
}

void Form1::status(const QString& text) {
    Process->setText(text);
}

void Form1::progress(int barTwips, int percent) {
    setBar(barTwips);
    lblpcent->setText(QString::number(percent) + QLatin1Char('%'));
}

void Form1::replied(const QString& text) {
    DataArrival->moveCursor(QTextCursor::End);
    DataArrival->insertPlainText(text);
    DataArrival->moveCursor(QTextCursor::End);
}

void Form1::repliesCleared() {
    DataArrival->clear();
}

bool Form1::mayConnect() {
    if (IsConnected2Internet()) return true;
    return MsgBox::Show(kCaption,
                        QStringLiteral("No Internet connection has been detected, try to send Email anyway?"),
                        MsgBox::Buttons::YesNo, MsgBox::Icon::Question) == MsgBox::Answer::Yes;
}

bool Form1::sendBigFile(qint64 bytes) {
    if (tooBigAnswered()) return true;
    const QString text = QStringLiteral("The current file is ") + TwoDecimals(double(bytes) / 1048576.0) +
                         QStringLiteral(" MB of size, extracting from it could take a few minutes, Click "
                                        "Yes to go ahead, No to skip it or Cancel if you don't want to get "
                                        "this message again");
    const MsgBox::Answer a =
        MsgBox::Show(kCaption, text, MsgBox::Buttons::YesNoCancel, MsgBox::Icon::Question);
    if (a == MsgBox::Answer::No) return false;
    if (a == MsgBox::Answer::Cancel)
        Registry::setValue(Registry::CurrentUser, kTooBigKey, kTooBigValue,
                           {Registry::Type::String, QStringLiteral("True"), {}});
    return true;
}

void Form1::ended(bool sent, const QString& status) {
    if (!status.isEmpty()) Process->setText(status);
    if (!sent) {
        recipientIndex_ = 0;
        giveWindowBack();
        return;
    }
    if (recipientIndex_ + 1 < recipients_.size()) {
        ++recipientIndex_;
        // The next recipient's session starts from the event loop, on a socket of its own.
        QTimer::singleShot(0, this, [this] { SendMimeConnect_Click(); });
        return;
    }
    recipientIndex_ = 0;
    giveWindowBack();
    if (confirmationShown_) return;
    confirmationShown_ = true;
    const QString text =
        QStringLiteral("You should receive an email within the next few minutes confirming that "
                       "your email has been received.") +
        kCrLf + kCrLf + QStringLiteral("If you do not receive it, please try again with this ") +
        QStringLiteral("program or write to ") + QString::fromLatin1(kSupportAddress) +
        QStringLiteral(" directly.") + kCrLf + kCrLf +
        QStringLiteral("Would you like to exit the Talkvane Help System?");
    QPointer<Form1> self(this);
    const MsgBox::Answer a = MsgBox::Show(QStringLiteral("Email Confirmation"), text, MsgBox::Buttons::YesNo,
                                          MsgBox::Icon::Information);
    if (self && a == MsgBox::Answer::Yes) endProgram();
}

} // namespace Help
