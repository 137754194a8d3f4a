#include "AutoUpdate/frmMain.h"

#include "AutoUpdate/frmIntro.h"
#include "AutoUpdate/modAppFnc.h"
#include "AutoUpdate/modMain.h"
#include "AutoUpdate/modRunExe.h"
#include "platform/Colors.h"
#include "platform/LineBreak.h"
#include "platform/MsgBox.h"
#include "platform/ProgramEnd.h"
#include "platform/ProgramFolder.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSaveFile>
#include <QShortcut>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace AutoUpdate {

namespace {
using LineBreak::kCrLf;
using modListSort::Field;

// The lamps rest while the percentage shows this.
const QString kIdle = Installer::ProgressText(0);

// The list frame's grid: the list on the left over its rows, the check box under it, and the
// details beside it, captions then values; the description box under the details.
constexpr int kListColumn = 0, kCaptionColumn = 1, kValueColumn = 2;
enum DetailRow { kUpdateRow, kSourceRow, kTargetRow, kSizeRow, kDetailRows };
constexpr int kDescriptionRow = kDetailRows, kDescriptionRows = 2;
constexpr int kListRows = kDetailRows + kDescriptionRows;
constexpr int kCheckRow = kListRows;
constexpr int kValueMinWidth = 200; // px
constexpr double kHeadingScale = 1.4;
constexpr QSize kLampSize(18, 10); // px
constexpr int kLampGap = 8;        // px between the lamps and the percentage
constexpr int kSweepMs = 100;      // one lamp a tick, one sweep a second
constexpr QSize kStartSize(640, 460);

LoadedWindow<frmMain> gLoaded;

// A "True" end flag, or a number other than 0, as the list's writers meant it.
bool isTrue(const QString& text) {
    bool isNumber = false;
    const long long n = text.trimmed().toLongLong(&isNumber);
    return isNumber ? n != 0 : text.trimmed().compare(QLatin1String("True"), Qt::CaseInsensitive) == 0;
}

void setColor(QWidget* w, quint32 color) {
    QPalette p = w->palette();
    p.setColor(QPalette::Window, Colors::fromBgr(color));
    w->setPalette(p);
}
} // namespace

frmMain* frmMain::Load() {
    return gLoaded.Load();
}

frmMain* frmMain::Loaded() {
    return gLoaded.Loaded();
}

frmMain::frmMain() {
    setWindowTitle(QStringLiteral("Talkvane3 - AutoUpdate"));
    auto* top = new QVBoxLayout(this);
    LBL = new QLabel(this);
    QFont heading = LBL->font();
    heading.setBold(true);
    heading.setPointSizeF(heading.pointSizeF() * kHeadingScale);
    LBL->setFont(heading);
    top->addWidget(LBL);

    Frame1 = new QGroupBox(this);
    auto* frame = new QGridLayout(Frame1);
    lstUpdates = new QListWidget(Frame1);
    lstUpdates->setSelectionMode(QAbstractItemView::SingleSelection);
    // Every row is one line: the view need not measure each of a long list's titles.
    lstUpdates->setUniformItemSizes(true);
    CHKupdates = new QCheckBox(QStringLiteral("Show all upgrades"), Frame1);
    CHKupdates->setChecked(true);
    frame->addWidget(lstUpdates, 0, kListColumn, kListRows, 1);
    auto detail = [&](int row, const QString& caption) {
        auto* c = new QLabel(caption, Frame1);
        auto* v = new QLabel(QStringLiteral("*"), Frame1);
        v->setTextFormat(Qt::PlainText);
        v->setWordWrap(true);
        v->setMinimumWidth(kValueMinWidth);
        frame->addWidget(c, row, kCaptionColumn);
        frame->addWidget(v, row, kValueColumn);
        return v;
    };
    lblUpdates = detail(kUpdateRow, QStringLiteral("Update:"));
    lblSource = detail(kSourceRow, QStringLiteral("Source:"));
    lblTarget = detail(kTargetRow, QStringLiteral("Target:"));
    lblSize = detail(kSizeRow, QStringLiteral("Size:"));
    txtDes = new QPlainTextEdit(Frame1);
    txtDes->setReadOnly(true);
    frame->addWidget(txtDes, kDescriptionRow, kCaptionColumn, kDescriptionRows,
                     kValueColumn - kCaptionColumn + 1);
    frame->addWidget(CHKupdates, kCheckRow, kListColumn);
    frame->setColumnStretch(kListColumn, 1);
    frame->setColumnStretch(kValueColumn, 1);
    top->addWidget(Frame1, 1);

    fraDown = new QFrame(this);
    fraDown->setFrameShape(QFrame::StyledPanel);
    auto* down = new QHBoxLayout(fraDown);
    down->addWidget(
        new QLabel(QStringLiteral("Downloading skin files. This may take several minutes."), fraDown));
    fraDown->hide();
    top->addWidget(fraDown);

    auto* lamps = new QHBoxLayout;
    for (int i = 0; i < kLamps; ++i) {
        SH[i] = new QFrame(this);
        SH[i]->setFixedSize(kLampSize);
        SH[i]->setFrameShape(QFrame::Box);
        SH[i]->setAutoFillBackground(true);
        lamps->addWidget(SH[i]);
    }
    lblP = new QLabel(kIdle, this);
    lamps->addSpacing(kLampGap);
    lamps->addWidget(lblP);
    lamps->addStretch(1);
    top->addLayout(lamps);
    LBLstatus = new QLabel(this);
    LBLstatus->setTextFormat(Qt::PlainText);
    top->addWidget(LBLstatus);

    cmdDownload = new QPushButton(QStringLiteral("&Download..."), this);
    cmdRefresh = new QPushButton(QStringLiteral("&Refresh List"), this);
    cmdCancel = new QPushButton(QStringLiteral("Stop Download"), this);
    CMDother = new QPushButton(QStringLiteral("&Menu"), this);
    cmdEnd = new QPushButton(QStringLiteral("&Exit"), this);
    cmdDownload->setEnabled(false);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {cmdDownload, cmdRefresh, cmdCancel})
        buttons->addWidget(b);
    buttons->addStretch(1);
    buttons->addWidget(CMDother);
    buttons->addWidget(cmdEnd);
    top->addLayout(buttons);

    connect(cmdDownload, &QPushButton::clicked, this, &frmMain::cmdDownload_Click);
    connect(cmdRefresh, &QPushButton::clicked, this, &frmMain::cmdRefresh_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmMain::cmdCancel_Click);
    connect(CMDother, &QPushButton::clicked, this, &frmMain::CMDother_Click);
    connect(cmdEnd, &QPushButton::clicked, this, &frmMain::cmdEnd_Click);
    connect(CHKupdates, &QCheckBox::clicked, this, &frmMain::CHKupdates_Click);
    connect(lstUpdates, &QListWidget::itemSelectionChanged, this, &frmMain::lstUpdates_Click);
    connect(lstUpdates, &QListWidget::itemClicked, this, &frmMain::lstUpdates_Click);

    // Escape ends what runs: the list's fetch or the download.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &frmMain::stopWaiting);

    allLampsRed();
    Timer2.setInterval(kSweepMs);
    connect(&Timer2, &QTimer::timeout, this, &frmMain::Timer2_Timer);
    Timer2.start();
    UpdateFile = QStringLiteral("qx3.upd");
    resize(kStartSize);
}

frmMain::~frmMain() = default;

void frmMain::Display() {
    show();
    raise();
    activateWindow();
    QTimer::singleShot(0, this, [this] {
        if (isVisible()) Form_Activate();
    });
}

QString frmMain::ListAddress(bool skins) {
    QString site = qEnvironmentVariable("QX3_UPDATE_SITE");
    if (site.isEmpty()) site = QStringLiteral("http://www.example.com");
    while (site.endsWith(QLatin1Char('/')))
        site.chop(1);
    return site + (skins ? QStringLiteral("/support/qx3/update/skins/skins.ups")
                         : QStringLiteral("/support/qx3/update/updates/qx3.upd"));
}

void frmMain::status(const QString& text) {
    LBLstatus->setText(text);
}

void frmMain::progress(qint16 percent, const QString& text) {
    lblP->setText(text);
    PERdown = percent;
}

void frmMain::showLists() {
    bool same = lstUpdates->count() == Lists.lstUpdates.size();
    for (int i = 0; same && i < lstUpdates->count(); ++i)
        same = lstUpdates->item(i)->text() == Lists.lstUpdates.at(i);
    if (!same) {
        // A list that changes loses its selection, as a list box does, without a click. The
        // titles go in at once: one by one, a long list would be laid out once per title.
        const QSignalBlocker quiet(lstUpdates);
        lstUpdates->clear();
        lstUpdates->addItems(Lists.lstUpdates);
    }
    lstUpdates->setEnabled(Lists.enabled && !Dload && !fetching_);
}

void frmMain::errorBox(int code) {
    static const char* const kFirst[] = {
        "Talkvane AutoUpate was unable to connect to the internet. Please make sure your computer is "
        "connected and try again.",
        "Talkvane AutoUpate was unable verify the update list downloaded or there was a problem with the "
        "file.",
        "Talkvane AutoUpate was unable to correct the update listing for upgrades already installed.",
        "Talkvane AutoUpate was unable to correct the skin listing for skins already installed."};
    static const char* const kTitle[] = {"Unable to go online", "Unable to go online",
                                         "Unable to restrict upgrades list", "Unable to restrict skin list"};
    // The boxes' codes are 5 to 8.
    constexpr int kFirstCode = 5;
    const int i = code - kFirstCode;
    showLists();
    MsgBox::Show(QString::fromLatin1(kTitle[i]),
                 QString::fromLatin1(kFirst[i]) + kCrLf + kCrLf +
                     QStringLiteral("If the problem continues, please write to support@example.com or visit "
                                    "the support page at http://www.example.com/support/.") +
                     kCrLf + kCrLf + QStringLiteral("Error code ") + QString::number(code),
                 MsgBox::Buttons::Ok, MsgBox::Icon::Warning);
}

void frmMain::restrict() {
    const auto say = [this](const QString& t) { status(t); };
    if (!modMain::Run().SkinsMode) {
        if (!modListSort::RestrictUpdatesList(Lists, say)) errorBox(7);
    } else {
        modListSort::RestrictSkinsList(Lists, say);
    }
    showLists();
}

void frmMain::cmdRefresh_Click() {
    modMain::ReadInstalledVersion();
    refreshList();
}

void frmMain::refreshList() {
    const bool skins = modMain::Run().SkinsMode;
    if (SkipDownload) {
        SkipDownload = false;
    } else {
        cmdRefresh->setEnabled(false);
        status(QStringLiteral("Downloading list from website"));
        UpdateFile = skins ? QStringLiteral("skins.upd") : QStringLiteral("qx3.upd");
        const QPointer<frmMain> self(this);
        // The wait takes the user's input: only Exit, the close box and Escape act meanwhile.
        const bool couldDownload = cmdDownload->isEnabled();
        setFetching(true);
        const std::optional<QByteArray> body = INet.OpenURL(ListAddress(skins));
        if (!self || ending_) return;
        setFetching(false);
        cmdDownload->setEnabled(couldDownload && !lstUpdates->selectedItems().isEmpty());
        // The copy is replaced whole, so a failed fetch keeps the last good one.
        QSaveFile copy(ProgramFolder::file(UpdateFile));
        if (!body || !copy.open(QIODevice::WriteOnly) || copy.write(*body) != body->size() ||
            !copy.commit()) {
            errorBox(5);
            return;
        }
        status(QStringLiteral("Checking list against installed options"));
    }
    const std::optional<QString> items = modAppFnc::ReadListFile(ProgramFolder::file(UpdateFile));
    if (!items || !modListSort::FillLists(Lists, *items)) {
        errorBox(6);
        return;
    }
    cmdRefresh->setEnabled(true);
    status(QStringLiteral("List received and checked"));
    restrict();
}

void frmMain::CHKupdates_Click() {
    status(QStringLiteral("Adjusting update list"));
    if (CHKupdates->isChecked()) {
        Lists.enabled = true;
        Lists.lstUpdates.clear();
        Lists.notice = false;
        showLists();
        SkipDownload = true;
        const QPointer<frmMain> self(this);
        cmdRefresh_Click();
        if (!self) return;
    } else {
        std::vector<bool> upgrades;
        upgrades.reserve(std::size_t(Lists.lstUDL.size()));
        for (const QString& record : std::as_const(Lists.lstUDL))
            upgrades.push_back(Field(record, 6) == QLatin1String("1"));
        Lists.keepOnly(upgrades);
        if (Lists.lstUDL.isEmpty()) Lists.showNotice(QString::fromLatin1(modListSort::kAllUpdates));
        showLists();
    }
    status(QStringLiteral("Updates listing complete"));
}

void frmMain::lstUpdates_Click() {
    const QList<QListWidgetItem*> selected = lstUpdates->selectedItems();
    const std::optional<QString> record =
        selected.isEmpty() ? std::nullopt : Lists.recordAt(lstUpdates->row(selected.first()));
    if (record) {
        cmdDownload->setEnabled(!Dload);
        txtDes->setPlainText(Field(*record, 2));
        lblUpdates->setText(Field(*record, 1));
        lblSource->setText(Field(*record, 3));
        lblTarget->setText(
            QDir::toNativeSeparators(modListSort::RootPath(modListSort::RootOf(*record)) +
                                     Field(*record, 4).replace(QLatin1Char('\\'), QLatin1Char('/'))));
        lblSize->setText(Field(*record, 8));
    } else {
        cmdDownload->setEnabled(false);
        txtDes->clear();
        lblSource->clear();
        lblTarget->clear();
    }
}

quint32 frmMain::LampColor(int i) const {
    return lamps_[i];
}

void frmMain::setLamp(int i, quint32 color) {
    lamps_[i] = color;
    setColor(SH[i], color);
}

void frmMain::allLampsRed() {
    for (int i = 0; i < kLamps; ++i)
        setLamp(i, kRed);
}

void frmMain::Timer2_Timer() {
    if (lblP->text() == kIdle) {
        allLampsRed();
        sweep_ = -1;
        return;
    }
    ++sweep_;
    if (sweep_ == 0) {
        setLamp(0, kMoving);
    } else if (sweep_ < kLamps) {
        setLamp(sweep_ - 1, PERdown / 10.0 >= sweep_ ? kGreen : kRed);
        setLamp(sweep_, kMoving);
    } else {
        setLamp(kLamps - 1, kRed);
        sweep_ = -1;
    }
}

void frmMain::setBusy(bool busy) {
    // "&Exit" stays: it stops the download and ends the program.
    for (QWidget* w : std::initializer_list<QWidget*>{cmdDownload, cmdRefresh, CMDother, txtDes, CHKupdates})
        w->setEnabled(!busy);
    fraDown->setVisible(busy);
    Dload = busy;
    showLists();
}

void frmMain::enableAfter() {
    for (QWidget* w : std::initializer_list<QWidget*>{cmdEnd, cmdRefresh, txtDes, CHKupdates})
        w->setEnabled(true);
    Lists.enabled = !Lists.notice;
    showLists();
}

void frmMain::resetAfterDownload() {
    lblP->setText(kIdle);
    PERdown = 0;
    allLampsRed();
    txtDes->clear();
    for (QLabel* l : {lblUpdates, lblSource, lblTarget, lblSize})
        l->setText(QStringLiteral("*"));
    {
        const QSignalBlocker quiet(lstUpdates);
        lstUpdates->clearSelection();
    }
    fraDown->hide();
    CMDother->setEnabled(true);
}

void frmMain::cmdDownload_Click() {
    const QList<QListWidgetItem*> selected = lstUpdates->selectedItems();
    const std::optional<QString> chosen =
        selected.isEmpty() ? std::nullopt : Lists.recordAt(lstUpdates->row(selected.first()));
    if (!chosen) {
        MsgBox::Show(QStringLiteral("Error"),
                     QStringLiteral("You must select a update to download and install"), MsgBox::Buttons::Ok,
                     MsgBox::Icon::Information);
        return;
    }
    const QString record = *chosen;
    setBusy(true);
    const int kind = Field(record, 6).trimmed().toInt();
    const bool endFlag = isTrue(Field(record, 10));

    const QPointer<frmMain> self(this);
    const Installer::Result result = installer_.Install(record, modMain::Run().SkinsMode);
    if (!self) return;
    if (result == Installer::Result::Stopped) {
        // "Stop Download" has already given the controls back.
        lblP->setText(kIdle);
        allLampsRed();
        if (endAfterDownload_) ProgramEnd::EndNow();
        return;
    }
    if (result == Installer::Result::Failed) {
        Dload = false;
        resetAfterDownload();
        enableAfter();
        lstUpdates_Click();
        return;
    }
    Dload = false;
    setLamp(kLamps - 1, kGreen);
    restrict();
    cmdDownload->setEnabled(true);

    const QString done = QStringLiteral("Update successfully downloaded and installed.") + kCrLf + kCrLf;
    if (kind == 1 || kind == 2) {
        const QString line = modListSort::FileNameFromUrl(Field(record, 9));
        if (MsgBox::Show(QStringLiteral("Success"), done + line, MsgBox::Buttons::YesNo,
                         MsgBox::Icon::Information) == MsgBox::Answer::Yes)
            modRunExe::RunFile(Installer::Destination(record), {});
    } else if (kind == 4) {
        MsgBox::Show(
            QStringLiteral("Success"),
            done + QStringLiteral("The new skin has been placed in the /Talkvane/Skins/ folder. To load the "
                                  "skin go to the options screen inside Talkvane and follow the instructions "
                                  "to load a base skin."),
            MsgBox::Buttons::Ok, MsgBox::Icon::Information);
    } else {
        MsgBox::Show(QStringLiteral("Success"),
                     done + QStringLiteral(
                                "The language file has been placed in your /Talkvane/Lang/ folder. You will "
                                "need to set the language file from inside Talkvane and then restart the "
                                "program. The language settings can be found on the signin window. You may "
                                "need to signout (but not exit) Talkvane to see the signin screen."),
                     MsgBox::Buttons::Ok, MsgBox::Icon::Information);
    }
    if (!self) return;
    if (endFlag) {
        ProgramEnd::EndNow();
        return;
    }
    resetAfterDownload();
    const qsizetype at = Lists.lstUDL.indexOf(record);
    if (at >= 0) Lists.removeAt(at);
    enableAfter();
}

void frmMain::cmdCancel_Click() {
    installer_.Stop();
    lblP->setText(kIdle);
    PERdown = 0;
    allLampsRed();
    fraDown->hide();
    for (QWidget* w : std::initializer_list<QWidget*>{cmdDownload, cmdRefresh, CMDother, cmdEnd})
        w->setEnabled(true);
    // The running installation leaves at its next turn and discards its temporary files.
    Dload = false;
    enableAfter();
}

void frmMain::CMDother_Click() {
    for (QLabel* l : {lblUpdates, lblSource, lblTarget, lblSize})
        l->setText(QStringLiteral("*"));
    txtDes->clear();
    frmIntro* intro = frmIntro::Open();
    intro->show();
    hide();
}

void frmMain::cmdEnd_Click() {
    close();
}

void frmMain::stopWaiting() {
    if (Dload)
        cmdCancel_Click();
    else if (INet.Blocking())
        INet.Cancel(); // the refresh then fails as any failed fetch does
}

void frmMain::setFetching(bool on) {
    fetching_ = on;
    for (QWidget* w : std::initializer_list<QWidget*>{CMDother, CHKupdates, cmdDownload})
        w->setEnabled(!on);
    showLists();
}

void frmMain::Form_Activate() {
    // The caption names the version installed now, an upgrade just installed included.
    modMain::ReadInstalledVersion();
    const modMain::Values& v = modMain::Run();
    if (v.SkinsMode) {
        CHKupdates->hide();
        LBL->setText(QStringLiteral("Download Skins"));
        Frame1->setTitle(QStringLiteral("Skins for Talkvane version ") + v.InstalledVersion);
    } else {
        LBL->setText(QStringLiteral("Update Talkvane"));
        CHKupdates->show();
        Frame1->setTitle(QStringLiteral("Updates for Talkvane version ") + v.InstalledVersion);
    }
    Lists.showNotice(QString::fromLatin1(modListSort::kChecking));
    showLists();
    refreshList(); // the version is read: once is enough
}

void frmMain::closeEvent(QCloseEvent* event) {
    if (INet.Blocking() && !Dload) {
        // The list's fetch ends unanswered: nothing of it is kept.
        ending_ = true;
        INet.Cancel();
        event->accept();
        ProgramEnd::EndNow();
        return;
    }
    const bool downloading = Dload;
    cmdCancel_Click();
    event->accept();
    if (downloading) {
        // The end waits for the download to return, so that its temporary files are removed.
        endAfterDownload_ = true;
        return;
    }
    ProgramEnd::EndNow();
}

} // namespace AutoUpdate
