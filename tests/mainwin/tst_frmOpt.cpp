// The options dialog: the settings into the controls and back, the pages' controls, the checks
// on leaving a box, the override skin's rename, and what OK applies to the running program.
#include "controls/SendBox.h"
#include "controls/chameleonButton.h"
#include "controls/clsTAppBar.h"
#include "conversation/frmChat.h"
#include "core/frmImgs.h"
#include "core/modDB.h"
#include "core/modGlobals.h"
#include "core/modGroups.h"
#include "core/modLangConst.h"
#include "core/modSettings.h"
#include "core/modSkin.h"
#include "mainwin/frmMain.h"
#include "mainwin/frmOpt.h"
#include "mainwin/frmSpeedBar.h"
#include "platform/Ansi.h"
#include "platform/ProgramFolder.h"
#include "support/AppBarFakes.h"
#include "support/Headless.h"
#include "support/MainWindowFixture.h"
#include "support/Recorders.h"
#include "support/Screenshot.h"
#include "support/TestEnv.h"
#include "support/TestFiles.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <map>

using modGlobals::Run;
using modGlobals::Sets;

namespace {
const QString S(modGlobals::kSep);

// "~" stands for the field separator in the tables.
QString sep(QString text) {
    return text.replace(QLatin1Char('~'), modGlobals::kSep);
}

QStringList texts(const QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

QStringList items(const QComboBox* box) {
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out << box->itemText(i);
    return out;
}

void click(chameleonButton* b) {
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(b->width() / 2, b->height() / 2));
}

void click(QAbstractButton* b) {
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(8, b->height() / 2));
}

// A press and release on the row, in the list's viewport, as the pointer gives it.
void clickRow(QListWidget* list, int row) {
    QVERIFY2(row >= 0 && row < list->count(), "no such row");
    const QRect at = list->visualItemRect(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at.center());
}

void clickRow(QListWidget* list, const QString& text) {
    const QList<QListWidgetItem*> found = list->findItems(text, Qt::MatchExactly);
    QVERIFY2(found.size() == 1, qPrintable(QStringLiteral("no one row ") + text));
    clickRow(list, list->row(found.first()));
}

// Clicks into the box, takes what it holds and types `text` over it.
void typeInto(QWidget* box, const QString& text) {
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(4, box->height() / 2));
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    if (text.isEmpty())
        QTest::keyClick(box, Qt::Key_Delete);
    else
        QTest::keyClicks(box, text);
}

void writePicture(const QString& path, QColor colour) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QImage img(645, 326, QImage::Format_RGB32);
    img.fill(colour);
    QVERIFY(img.save(path, "BMP"));
}
} // namespace

class TestOptions : public QObject, TestEnv::MainWindowFixture {
    Q_OBJECT
    TestEnv::Headless env{TestEnv::Loopback};
    QTemporaryDir& home = env.home;
    MessageRecorder* const msg = &env.messages;
    SoundRecorder* const snd = &env.sounds;
    DialogRecorder* const dlg = &env.dialogs;

    QString path(const QString& name) const { return QDir(home.path()).filePath(name); }
    QString settingsFile() const { return modSettings::SettingsPath(); }

    frmOpt* open() {
        frmOpt* f = frmOpt::ShowDialog();
        if (!QTest::qWaitForWindowActive(f)) qWarning("options dialog not active");
        return f;
    }
    // A skin file with its picture, whose free text is `info`.
    QString skinFile(const QString& name, const QByteArray& info = "A skin\r\n") {
        writePicture(path(QStringLiteral("Skins/") + name + QStringLiteral(".bmp")), QColor(10, 20, 200));
        const QString file = path(QStringLiteral("Skins/") + name + QStringLiteral(".qxs"));
        writeAll(file, name.toLatin1() + ".bmp,1,2,3,4,5,2,7,8,6\r\n" + info);
        return file;
    }
    QString waveFile() {
        const QString file = path(QStringLiteral("ding.wav"));
        writeAll(file, "RIFF");
        return file;
    }
    void ok(frmOpt* f) {
        QPointer<frmOpt> guard(f);
        f->cmdOk_Click();
        QVERIFY(!frmOpt::Loaded());
        QTRY_VERIFY(guard.isNull());
    }

  private slots:
    void initTestCase() {
        QVERIFY(home.isValid());
        frmImgs::Load();
    }
    void init() {
        QVERIFY(modDB::LoadDB(QString())); // before the reset, which takes away what it logs
        env.reset();
        modLangConst::SetDefaultStrings();
        Sets().UNAME = QStringLiteral("Me");
        Sets().SB_U = 0;
        modSkin::LoadSkin(QString());
    }
    void cleanup() {
        if (frmOpt* f = frmOpt::Loaded()) {
            QPointer<frmOpt> guard(f);
            f->cmdCancel_Click();
            QTRY_VERIFY(guard.isNull());
        }
        QVERIFY(closeMain());
    }

    // --- opening and OK without edits --------------------------------------------------------

    void roundTrip_data() {
        QTest::addColumn<QString>("row");
        for (const char* r : {"defaults", "sounds empty", "sounds beep", "sounds wave file", "custom skin",
                              "folder", "chat style 0", "chat style 1", "corner 0", "corner 2", "corner 3",
                              "values the options cannot show", "soft buttons", "texts with line breaks",
                              "groups", "check boxes ticked"})
            QTest::newRow(r) << QString::fromLatin1(r);
    }
    void roundTrip() {
        QFETCH(QString, row);
        auto& s = Sets();
        if (row == QLatin1String("sounds empty")) s.ALTSND = s.CHTSND = QString();
        if (row == QLatin1String("sounds beep")) s.ALTSND = s.CHTSND = QStringLiteral("(System Beep)");
        if (row == QLatin1String("sounds wave file")) s.ALTSND = s.CHTSND = waveFile();
        if (row == QLatin1String("custom skin")) {
            s.SKN = skinFile(QStringLiteral("Round"));
            QVERIFY(modSkin::LoadSkin(s.SKN));
        }
        if (row == QLatin1String("folder")) s.SFLD = home.path();
        if (row == QLatin1String("chat style 0")) s.CHTSTY = 0;
        if (row == QLatin1String("chat style 1")) s.CHTSTY = 1;
        if (row == QLatin1String("corner 0")) s.ALTPOS = 0;
        if (row == QLatin1String("corner 2")) s.ALTPOS = 2;
        if (row == QLatin1String("corner 3")) s.ALTPOS = 3;
        if (row == QLatin1String("values the options cannot show")) {
            s.SB_P = 7;
            s.SB_F = -1;
            s.ALTPOS = 9;
        }
        if (row == QLatin1String("soft buttons")) {
            s.GRPS = sep(QStringLiteral("Team~ann~\r\n"));
            s.FB[0] = {QString(), 1, QStringLiteral("hidden one")};
            s.FB[1] = {QStringLiteral("(All)"), 0, QStringLiteral("to all")};
            s.FB[9] = {QStringLiteral("Team"), 1, QStringLiteral("to the team")};
            s.FBe = 1;
        }
        if (row == QLatin1String("texts with line breaks")) {
            s.AQR = {QStringLiteral("one\r\ntwo"), QStringLiteral("\r\n"), QStringLiteral("[Not Defined]")};
            s.FB[3] = {QStringLiteral("(All)"), 0, QStringLiteral("a\r\nb\r\n\r\nc")};
            s.UPN = QStringLiteral("555 123");
            for (int i = 0; i < 10; ++i)
                s.CAT[i] = QStringLiteral("auto %1").arg(i);
        }
        if (row == QLatin1String("groups"))
            s.GRPS = sep(QStringLiteral("ab~z~y~\r\nab-c~m~\r\nAB-d~n~\r\nadmins~a~\r\nAdmins~b~\r\n"));
        if (row == QLatin1String("check boxes ticked")) {
            s.STARTUP = s.ALGON = s.INV = s.CHTSNDBTN = s.CHTPICS = s.SB_U = s.SB_S = s.FBe = 1;
            s.SB_U = 0; // the speed bar's own test covers it
        }
        QVERIFY(modSettings::SaveSettings());
        const QByteArray before = readAll(settingsFile());
        QVERIFY(!before.isEmpty());

        frmOpt* f = open();
        ok(f);
        QVERIFY(msg->shown.empty());
        QCOMPARE(readAll(settingsFile()), before);
    }

    // A stored chat style outside the two options is saved as multi line, never as it was.
    void chatStyleIsSavedAsZeroOrOne_data() {
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("choose"); // the option clicked, -1 for none
        QTest::addColumn<int>("saved");
        QTest::newRow("0") << 0 << -1 << 0;
        QTest::newRow("1") << 1 << -1 << 1;
        QTest::newRow("2") << 2 << -1 << 1;
        QTest::newRow("negative") << -1 << -1 << 1;
        QTest::newRow("largest") << 32767 << -1 << 1;
        QTest::newRow("2, single line chosen") << 2 << 0 << 0;
        QTest::newRow("-5, multi line chosen") << -5 << 1 << 1;
    }
    void chatStyleIsSavedAsZeroOrOne() {
        QFETCH(int, stored);
        QFETCH(int, choose);
        QFETCH(int, saved);
        Sets().CHTSTY = qint16(stored);
        frmOpt* f = open();
        if (choose >= 0) {
            f->cmdOpt_Click(2);
            click(f->optChatStyle[choose]);
        }
        ok(f);
        QCOMPARE(int(Sets().CHTSTY), saved);
        Sets().CHTSTY = 99;
        QVERIFY(modSettings::LoadSettings());
        QCOMPARE(int(Sets().CHTSTY), saved);
    }

    // A quick reply or soft-button text longer than its box holds is shown cut, and saved whole
    // by OK unless the user edits it.
    void longStoredTextsKeptUnlessEdited_data() {
        QTest::addColumn<bool>("soft"); // the soft button's text, else a quick reply
        QTest::addColumn<QString>("edit");
        for (const bool soft : {false, true}) {
            const char* what = soft ? "soft button" : "quick reply";
            QTest::addRow("%s untouched", what) << soft << "";
            QTest::addRow("%s visited", what) << soft << "visit";
            QTest::addRow("%s edited", what) << soft << "type";
        }
        QTest::newRow("soft button paged away and back") << true << "page";
        QTest::newRow("soft button edited, then paged") << true << "type page";
    }
    void longStoredTextsKeptUnlessEdited() {
        QFETCH(bool, soft);
        QFETCH(QString, edit);
        const QString stored =
            QString(300, QLatin1Char('a')) + QStringLiteral("\r\n") + QString(200, QLatin1Char('b'));
        if (soft)
            Sets().FB[0] = {QStringLiteral("(All)"), 0, stored};
        else
            Sets().AQR[1] = stored;
        frmOpt* f = open();
        f->cmdOpt_Click(soft ? 8 : 4);
        SendBox* box = soft ? f->txtSoft : f->txtAQR[1];
        QCOMPARE(box->TextLength(), SendBox::kMaxLength); // shown cut
        QString expected = stored;
        if (edit.contains(QLatin1String("visit")) || edit.contains(QLatin1String("type"))) {
            box->setFocus();
            QTRY_VERIFY(box->hasFocus());
        }
        if (edit.contains(QLatin1String("type"))) {
            box->moveCursor(QTextCursor::End);
            QTest::keyClick(box, Qt::Key_Backspace);
            QTest::keyClicks(box, QStringLiteral("z"));
            expected = QString(300, QLatin1Char('a')) + QStringLiteral("\r\n") +
                       QString(87, QLatin1Char('b')) + QStringLiteral("z");
            QCOMPARE(box->Text(), expected);
        }
        if (edit.contains(QLatin1String("visit")) || edit.contains(QLatin1String("type"))) {
            QWidget* next = soft ? static_cast<QWidget*>(f->comSoft) : f->txtAQR[2];
            next->setFocus();
            QTRY_VERIFY(next->hasFocus());
        }
        if (edit.contains(QLatin1String("page"))) {
            click(f->cmdSoftNext[0]);
            QCOMPARE(f->lblSoftN->text(), QStringLiteral("2"));
            click(f->cmdSoftNext[1]);
            QCOMPARE(f->lblSoftN->text(), QStringLiteral("1"));
        }
        ok(f);
        QVERIFY(msg->shown.empty());
        QCOMPARE(soft ? Sets().FB[0].text : Sets().AQR[1], expected);
        QVERIFY(modSettings::LoadSettings());
        QCOMPARE(soft ? Sets().FB[0].text : Sets().AQR[1], expected);
    }

    void opensWhatIsStored() {
        auto& s = Sets();
        s.ALTSND = QStringLiteral("(System Beep)");
        s.CHTSND = QStringLiteral("/no/such.wav");
        s.SKN = QStringLiteral("/no/such/skin.qxs");
        s.SFLD = QStringLiteral("/some/folder");
        s.SB_P = 7;
        s.SB_F = 3;
        s.ALTPOS = 2;
        frmOpt* f = open();
        QVERIFY(f->optASnd[1]->isChecked());
        QVERIFY(f->cmdASndTest->Enabled());
        QVERIFY(!f->txtASndFile->isEnabled());
        QVERIFY(f->optCSnd[2]->isChecked());
        QCOMPARE(f->txtCSndFile->text(), QStringLiteral("/no/such.wav"));
        QVERIFY(f->txtCSndFile->isEnabled());
        // A skin that cannot be read opens with an empty information box and no message.
        QVERIFY(f->optSkin[1]->isChecked());
        QCOMPARE(f->txtSkin->text(), s.SKN);
        QCOMPARE(f->txtSkinInfo->toPlainText(), QString());
        QVERIFY(msg->shown.empty());
        QVERIFY(f->optSFld[1]->isChecked());
        QVERIFY(!f->optSB_Pos[0]->isChecked() && !f->optSB_Pos[1]->isChecked());
        QVERIFY(f->optSB_Filter[3]->isChecked());
        QCOMPARE(f->cmdAlertPos[2]->Caption(), QStringLiteral("a"));
        QCOMPARE(f->cmdAlertPos[0]->Caption(), QString());
        QCOMPARE(f->lstCAT->count(), 10);
        QCOMPARE(f->lstCAT->currentRow(), 0);
        QCOMPARE(f->lblSoftN->text(), QStringLiteral("1"));
        QVERIFY(!f->picPage[0]->isHidden());
        for (int i = 1; i < frmOpt::kPages; ++i)
            QVERIFY(f->picPage[i]->isHidden());
        QVERIFY(f->cmdOpt[0]->Font().bold());
        QCOMPARE(logEntries().filter(QStringLiteral("Settings Displayed.")).size(), 1);
        // The command again shows the same dialog without filling it again.
        QCOMPARE(frmOpt::ShowDialog(), f);
        QCOMPARE(logEntries().filter(QStringLiteral("Settings Displayed.")).size(), 1);
    }

    void soundTestAndBrowse_data() {
        QTest::addColumn<int>("option");
        QTest::addColumn<bool>("chat");
        QTest::addColumn<QString>("heard"); // "<wave>" for the chosen file
        QTest::newRow("alert, none") << 0 << false << "";
        QTest::newRow("alert, beep") << 1 << false << "beep";
        QTest::newRow("alert, wave") << 2 << false << "wave:<wave>:0";
        QTest::newRow("chat, beep") << 1 << true << "beep";
        QTest::newRow("chat, wave") << 2 << true << "wave:<wave>:0";
    }
    void soundTestAndBrowse() {
        QFETCH(int, option);
        QFETCH(bool, chat);
        QFETCH(QString, heard);
        const QString wave = waveFile();
        frmOpt* f = open();
        f->cmdOpt_Click(chat ? 2 : 1);
        const auto& opt = chat ? f->optCSnd : f->optASnd;
        chameleonButton* test = chat ? f->cmdCSndTest : f->cmdASndTest;
        chameleonButton* browse = chat ? f->cmdCSndBrowse : f->cmdASndBrowse;
        QLineEdit* box = chat ? f->txtCSndFile : f->txtASndFile;
        click(opt[option]);
        QCOMPARE(test->Enabled(), option >= 1);
        QCOMPARE(browse->Enabled(), option == 2);
        QCOMPARE(box->isEnabled(), option == 2);
        if (option == 2) {
            dlg->answer.path = wave;
            click(browse);
            QCOMPARE(dlg->request.title, QStringLiteral("Select A Wave File..."));
            QCOMPARE(dlg->request.filters, QStringList{QStringLiteral("Wave Audio Files (*.wav) (*.wav)")});
            QCOMPARE(dlg->request.folder, ProgramFolder::path()); // the box was empty
            QCOMPARE(box->text(), wave);
            dlg->answer.path.clear();
            click(browse); // cancelled: the box keeps its text
            QCOMPARE(dlg->request.folder, QFileInfo(wave).absolutePath());
            QCOMPARE(box->text(), wave);
        }
        snd->heard.clear();
        f->cmdOpt_Click(chat ? 2 : 1);
        if (chat)
            f->cmdCSndTest_Click();
        else
            f->cmdASndTest_Click();
        QCOMPARE(snd->heard.join(QLatin1Char(';')), QString(heard).replace(QStringLiteral("<wave>"), wave));
    }
    // --- one edit, one value -------------------------------------------------------------------

    void edits_data() {
        QTest::addColumn<QString>("edit");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");
        QTest::newRow("alert sound off") << "optASnd 0"
                                         << "ALTSND"
                                         << "";
        QTest::newRow("alert beep") << "optASnd 1"
                                    << "ALTSND"
                                    << "(System Beep)";
        QTest::newRow("alert wave") << "optASnd 2 wave"
                                    << "ALTSND"
                                    << "<wave>";
        QTest::newRow("chat sound off") << "optCSnd 0"
                                        << "CHTSND"
                                        << "";
        QTest::newRow("chat wave") << "optCSnd 2 wave"
                                   << "CHTSND"
                                   << "<wave>";
        QTest::newRow("base skin") << "optSkin 0"
                                   << "SKN"
                                   << "";
        QTest::newRow("custom skin") << "cmdSkin"
                                     << "SKN"
                                     << "<skin>";
        QTest::newRow("broken skin") << "cmdSkin broken"
                                     << "SKN"
                                     << "";
        QTest::newRow("corner") << "cmdAlertPos 3"
                                << "ALTPOS"
                                << "3";
        QTest::newRow("chat style") << "optChatStyle 0"
                                    << "CHTSTY"
                                    << "0";
        QTest::newRow("folder prompt") << "optSFld 0"
                                       << "SFLD"
                                       << "";
        QTest::newRow("folder chosen") << "cmdSFld"
                                       << "SFLD"
                                       << "<home>";
        QTest::newRow("phone trimmed") << "phone"
                                       << "UPN"
                                       << "12 34";
        QTest::newRow("quick reply emptied") << "aqr"
                                             << "AQR1"
                                             << "[Not Defined]";
        QTest::newRow("speed bar edge") << "optSB_Pos 1"
                                        << "SB_P"
                                        << "1";
        QTest::newRow("speed bar filter") << "optSB_Filter 2"
                                          << "SB_F"
                                          << "2";
        QTest::newRow("tray soft buttons") << "chkSoftMenu"
                                           << "FBe"
                                           << "1";
        QTest::newRow("inverse") << "chkInvH"
                                 << "INV"
                                 << "1";
        QTest::newRow("soft button without paging") << "soft"
                                                    << "FB0"
                                                    << "(All)|1|hi\r\nthere";
        QTest::newRow("soft button after paging") << "soft paged"
                                                  << "FB1"
                                                  << "Team|0|two";
        QTest::newRow("autotext") << "cat"
                                  << "CAT0"
                                  << "hello";
    }
    void edits() {
        QFETCH(QString, edit);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        auto& s = Sets();
        s.ALTSND = s.CHTSND = QStringLiteral("(System Beep)");
        const QString custom = skinFile(QStringLiteral("Start"));
        s.SKN = custom;
        s.SFLD = path(QStringLiteral("Save"));
        QDir().mkpath(s.SFLD);
        s.GRPS = sep(QStringLiteral("Team~ann~\r\n"));
        s.AQR[1] = QStringLiteral("old");
        QVERIFY(modSkin::LoadSkin(s.SKN));
        const QString wave = waveFile();
        const QString other = skinFile(QStringLiteral("Other"), "Other skin\r\n");
        const QString broken = path(QStringLiteral("Skins/broken.qxs"));
        writeAll(broken, "gone.bmp,1,2,3,4,5,2,7,8,6\r\n");

        frmOpt* f = open();
        const QStringList e = edit.split(QLatin1Char(' '));
        const int n = e.size() > 1 ? e[1].toInt() : 0;
        if (e[0] == QLatin1String("optASnd")) {
            f->optASnd[n]->setChecked(true);
            if (e.size() > 2) f->txtASndFile->setText(wave);
        } else if (e[0] == QLatin1String("optCSnd")) {
            f->optCSnd[n]->setChecked(true);
            if (e.size() > 2) f->txtCSndFile->setText(wave);
        } else if (e[0] == QLatin1String("optSkin")) {
            f->optSkin[n]->setChecked(true);
            QCOMPARE(f->txtSkinInfo->toPlainText(), QString());
            QVERIFY(!f->txtSkin->isEnabled());
        } else if (e[0] == QLatin1String("cmdSkin")) {
            dlg->answer.path = e.size() > 1 ? broken : other;
            click(f->cmdSkin);
            QCOMPARE(dlg->request.title, QStringLiteral("Select A Talkvane3 Skin File..."));
            QCOMPARE(dlg->request.filters,
                     QStringList{QStringLiteral("Talkvane3 Skin Files (*.qxs) (*.qxs)")});
            if (e.size() == 1) QCOMPARE(f->txtSkinInfo->toPlainText(), QStringLiteral("Other skin\n"));
        } else if (e[0] == QLatin1String("cmdAlertPos")) {
            f->cmdOpt_Click(1);
            click(f->cmdAlertPos[n]);
        } else if (e[0] == QLatin1String("optChatStyle")) {
            f->optChatStyle[n]->setChecked(true);
        } else if (e[0] == QLatin1String("optSFld")) {
            f->optSFld[n]->setChecked(true);
            QVERIFY(!f->txtSFld->isEnabled());
        } else if (e[0] == QLatin1String("cmdSFld")) {
            dlg->folderAnswer = home.path();
            f->cmdOpt_Click(3);
            click(f->cmdSFld);
            QCOMPARE(dlg->folderStart, s.SFLD);
            QCOMPARE(dlg->folderTitle, QStringLiteral("Select a folder to save files in:"));
        } else if (e[0] == QLatin1String("phone")) {
            f->cmdOpt_Click(3);
            f->txtPhoneNumber->setFocus();
            f->txtPhoneNumber->setText(QStringLiteral("  12 34  "));
        } else if (e[0] == QLatin1String("aqr")) {
            f->cmdOpt_Click(4);
            f->txtAQR[1]->setFocus();
            f->txtAQR[1]->SetText(QStringLiteral("   "));
        } else if (e[0] == QLatin1String("optSB_Pos")) {
            f->optSB_Pos[n]->setChecked(true);
        } else if (e[0] == QLatin1String("optSB_Filter")) {
            f->optSB_Filter[n]->setChecked(true);
        } else if (e[0] == QLatin1String("chkSoftMenu")) {
            f->chkSoftMenu->setChecked(true);
        } else if (e[0] == QLatin1String("chkInvH")) {
            f->chkInvH->setChecked(true);
        } else if (e[0] == QLatin1String("soft")) {
            if (e.size() > 1) f->cmdSoftNext_Click(0);
            f->comSoft->setEditText(e.size() > 1 ? QStringLiteral("Team") : QStringLiteral("(All)"));
            f->chkSoft->setChecked(e.size() == 1);
            f->txtSoft->SetText(e.size() > 1 ? QStringLiteral("two") : QStringLiteral("hi\nthere"));
            if (e.size() > 1) {
                f->cmdSoftNext_Click(1);
                QCOMPARE(f->lblSoftN->text(), QStringLiteral("1"));
            }
        } else if (e[0] == QLatin1String("cat")) {
            f->txtCAT->setText(QStringLiteral("  hello "));
            f->cmdCatSet_Click();
        } else {
            QFAIL("unknown edit");
        }
        const QByteArray before = readAll(settingsFile());
        ok(f);
        QVERIFY(readAll(settingsFile()) != before);

        QString value;
        if (key == QLatin1String("ALTSND")) value = s.ALTSND;
        if (key == QLatin1String("CHTSND")) value = s.CHTSND;
        if (key == QLatin1String("SKN")) value = s.SKN;
        if (key == QLatin1String("ALTPOS")) value = QString::number(s.ALTPOS);
        if (key == QLatin1String("CHTSTY")) value = QString::number(s.CHTSTY);
        if (key == QLatin1String("SFLD")) value = s.SFLD;
        if (key == QLatin1String("UPN")) value = s.UPN;
        if (key == QLatin1String("AQR1")) value = s.AQR[1];
        if (key == QLatin1String("SB_P")) value = QString::number(s.SB_P);
        if (key == QLatin1String("SB_F")) value = QString::number(s.SB_F);
        if (key == QLatin1String("FBe")) value = QString::number(s.FBe);
        if (key == QLatin1String("INV")) value = QString::number(s.INV);
        if (key == QLatin1String("CAT0")) value = s.CAT[0];
        if (key.startsWith(QLatin1String("FB")) && key != QLatin1String("FBe")) {
            const auto& b = s.FB[key.mid(2).toInt()];
            value = b.target + QLatin1Char('|') + QString::number(b.sendNow) + QLatin1Char('|') + b.text;
        }
        expected.replace(QStringLiteral("<wave>"), wave)
            .replace(QStringLiteral("<skin>"), other)
            .replace(QStringLiteral("<home>"), home.path());
        QCOMPARE(value, expected);
        // What OK stored is what the file holds.
        const QByteArray saved = readAll(settingsFile());
        QVERIFY(modSettings::SaveSettings());
        QCOMPARE(readAll(settingsFile()), saved);

        if (edit == QLatin1String("cmdSkin broken")) {
            QCOMPARE(msg->shown.size(), std::size_t(1));
            QCOMPARE(msg->shown[0].text, QStringLiteral("Error loading skin - resetting to Base Skin."));
            QCOMPARE(modSkin::Current(), modSkin::SkinInfo());
        } else {
            QVERIFY(msg->shown.empty());
        }
        if (edit == QLatin1String("cmdSkin"))
            QCOMPARE(modSkin::Current().Info, QStringLiteral("Other skin\r\n"));
        if (edit == QLatin1String("optSkin 0")) QCOMPARE(modSkin::Current(), modSkin::SkinInfo());
    }

    // --- groups --------------------------------------------------------------------------------

    void groupsOpenSortedAndSaveOnlyWithMembers() {
        Sets().GRPS = sep(QStringLiteral("g2~b~a~\r\nEmpty~\r\ng1~x~\r\ntail"));
        frmOpt* f = open();
        QCOMPARE(texts(f->lstGrps), QStringList({"Empty", "g1", "g2"}));
        QCOMPARE(f->lstGrps->currentRow(), 0);
        QCOMPARE(texts(f->lstGrpMbs), QStringList());
        f->lstGrps->setCurrentRow(2);
        QCOMPARE(texts(f->lstGrpMbs), QStringList({"a", "b"}));
        // A line stays as it was loaded until its members change.
        QCOMPARE(f->GroupLines(), QStringList({sep("Empty~"), sep("g1~x~"), sep("g2~b~a~")}));
        QCOMPARE(items(f->comSoft), QStringList({"(All)", "Empty", "g1", "g2"}));
        ok(f);
        QCOMPARE(Sets().GRPS, sep(QStringLiteral("g1~x~\r\ng2~b~a~\r\n")));
    }

    void groupsThatBeginAlikeKeepTheirMembers() {
        Sets().GRPS = sep(QStringLiteral("ab-c~m2~\r\nAB-d~m3~\r\nab~m1~\r\n"));
        frmOpt* f = open();
        QCOMPARE(texts(f->lstGrps), QStringList({"ab", "ab-c", "AB-d"}));
        f->txtGrps->setText(QStringLiteral("ab-b"));
        f->cmdGrpAR_Click(0);
        QCOMPARE(texts(f->lstGrps), QStringList({"ab", "ab-b", "ab-c", "AB-d"}));
        f->txtGrps->setText(QStringLiteral("new"));
        f->cmdGrpAR_Click(1);
        f->lstGrps->setCurrentRow(3);
        QCOMPARE(texts(f->lstGrpMbs), QStringList({"m3"}));
        f->txtGrps->setText(QStringLiteral("A1"));
        f->cmdGrpAR_Click(1);
        f->lstGrps->setCurrentRow(0);
        QCOMPARE(texts(f->lstGrpMbs), QStringList({"m1"}));
        f->lstGrpMbs->setCurrentRow(0);
        f->cmdGrpAR_Click(3);
        QCOMPARE(texts(f->lstGrpMbs), QStringList());
        QCOMPARE(f->GroupLines(),
                 QStringList({sep("ab~"), sep("ab-b~new~"), sep("ab-c~m2~"), sep("AB-d~A1~m3~")}));
        ok(f);
        QCOMPARE(Sets().GRPS, sep(QStringLiteral("ab-b~new~\r\nab-c~m2~\r\nAB-d~A1~m3~\r\n")));
    }

    // Each operation: "ag NAME" add group, "am NAME" add member, "rg" remove group, "rm" remove
    // member, "sg ROW" select a group, "sm ROW" select a member, "type TEXT" into the target box.
    void groupEditor_data() {
        QTest::addColumn<QString>("grps");
        QTest::addColumn<QStringList>("ops");
        QTest::addColumn<QStringList>("messages"); // text|icon
        QTest::addColumn<QStringList>("groups");
        QTest::addColumn<QStringList>("members");
        QTest::addColumn<QString>("nameBox");
        QTest::addColumn<QString>("saved");
        const QString invalid =
            QStringLiteral("Group Name is not valid - only letters, numbers, '_' and '-' are permitted|3");
        const QString present = QStringLiteral("Name already in use; please chose another|3");
        QTest::newRow("case duplicate group")
            << "" << QStringList{"ag Admins", "ag admins"} << QStringList{present} << QStringList{"Admins"}
            << QStringList{} << "admins"
            << "";
        QTest::newRow("case duplicate member")
            << "" << QStringList{"ag T", "am Bob", "am BOB"} << QStringList{present} << QStringList{"T"}
            << QStringList{"Bob"} << "BOB"
            << "T~Bob~\r\n";
        QTest::newRow("blank in name")
            << "" << QStringList{"ag a b"} << QStringList{invalid} << QStringList{} << QStringList{} << "a b"
            << "";
        QTest::newRow("point in name")
            << "" << QStringList{"ag a.b"} << QStringList{invalid} << QStringList{} << QStringList{} << "a.b"
            << "";
        QTest::newRow("everybody as group") << "" << QStringList{"ag (all)"} << QStringList{invalid}
                                            << QStringList{} << QStringList{} << "(all)"
                                            << "";
        QTest::newRow("everybody as member") << "" << QStringList{"ag T", "am (All)"} << QStringList{invalid}
                                             << QStringList{"T"} << QStringList{} << "(All)"
                                             << "";
        QTest::newRow("only blanks") << "" << QStringList{"ag    ", "am   "} << QStringList{} << QStringList{}
                                     << QStringList{} << ""
                                     << "";
        QTest::newRow("member without groups adds a group")
            << "" << QStringList{"am Solo"} << QStringList{} << QStringList{"Solo"} << QStringList{} << "Solo"
            << "";
        QTest::newRow("trimmed and sorted")
            << "" << QStringList{"ag  b ", "ag A", "am z", "am Y"} << QStringList{} << QStringList{"A", "b"}
            << QStringList{"Y", "z"} << "Y"
            << "A~Y~z~\r\n";
        QTest::newRow("removing a group names it and selects none")
            << "G~x~\r\nH~y~\r\n"
            << QStringList{"sg 1", "rg"} << QStringList{} << QStringList{"G"} << QStringList{} << "H"
            << "G~x~\r\n";
        QTest::newRow("member operations after a removal do nothing")
            << "G~x~\r\nH~y~\r\n"
            << QStringList{"rg", "am q", "rm"} << QStringList{} << QStringList{"H"} << QStringList{} << "q"
            << "H~y~\r\n";
        QTest::newRow("removing without a selection")
            << "G~x~\r\n"
            << QStringList{"rg", "rg", "rm"} << QStringList{} << QStringList{} << QStringList{} << "G"
            << "";
        QTest::newRow("removing a member names it")
            << "G~x~y~\r\n"
            << QStringList{"sm 1", "rm"} << QStringList{} << QStringList{"G"} << QStringList{"x"} << "y"
            << "G~x~\r\n";
        QTest::newRow("last member removed drops the group on OK")
            << "G~x~\r\n"
            << QStringList{"sm 0", "rm"} << QStringList{} << QStringList{"G"} << QStringList{} << "x"
            << "";
    }
    void groupEditor() {
        QFETCH(QString, grps);
        QFETCH(QStringList, ops);
        QFETCH(QStringList, messages);
        QFETCH(QStringList, groups);
        QFETCH(QStringList, members);
        QFETCH(QString, nameBox);
        QFETCH(QString, saved);
        Sets().GRPS = sep(grps);
        frmOpt* f = open();
        f->cmdOpt_Click(6);
        for (const QString& op : ops) {
            const QString verb = op.section(QLatin1Char(' '), 0, 0);
            const QString arg = op.section(QLatin1Char(' '), 1);
            if (verb == QLatin1String("ag") || verb == QLatin1String("am")) {
                f->txtGrps->setText(arg);
                f->cmdGrpAR_Click(verb == QLatin1String("ag") ? 0 : 1);
            } else if (verb == QLatin1String("rg")) {
                f->cmdGrpAR_Click(2);
            } else if (verb == QLatin1String("rm")) {
                f->cmdGrpAR_Click(3);
            } else if (verb == QLatin1String("sg")) {
                f->lstGrps->setCurrentRow(arg.toInt());
            } else if (verb == QLatin1String("sm")) {
                f->lstGrpMbs->setCurrentRow(arg.toInt());
            }
        }
        QStringList shown;
        for (const auto& m : msg->shown)
            shown << m.text + QLatin1Char('|') + QString::number(m.icon);
        QCOMPARE(shown, messages);
        QCOMPARE(texts(f->lstGrps), groups);
        QCOMPARE(texts(f->lstGrpMbs), members);
        QCOMPARE(f->txtGrps->text(), nameBox);
        QCOMPARE(items(f->comSoft), QStringList{"(All)"} + groups);
        ok(f);
        QCOMPARE(Sets().GRPS, sep(saved));
    }

    // The group editor as the user works it: "g NAME" presses the group's row, "m NAME" the
    // member's, "key KEY" goes to the control with the focus, "+g NAME" and "+m NAME" type the
    // name and press add group or add member, "-g" and "-m" press remove group or remove member.
    // OK by the mouse; the saved groups are read back from the settings file.
    void groupEditorByMouse_data() {
        QTest::addColumn<QString>("grps");
        QTest::addColumn<QStringList>("ops");
        QTest::addColumn<QStringList>("members"); // shown at the end
        QTest::addColumn<QString>("saved");
        QTest::newRow("a group pressed after one sorted before it")
            << "" << QStringList{"+g Team", "+m Bob", "+m Cat", "+g Admins", "g Team"}
            << QStringList{"Bob", "Cat"} << "Team~Bob~Cat~\r\n";
        QTest::newRow("a member added to the group pressed")
            << "" << QStringList{"+g Team", "+m Bob", "+m Cat", "+g Admins", "g Team", "+m Dan"}
            << QStringList{"Bob", "Cat", "Dan"} << "Team~Bob~Cat~Dan~\r\n";
        QTest::newRow("chosen by the keys")
            << "Admins~x~\r\nTeam~Bob~Cat~\r\n"
            << QStringList{"g Admins", "key Down", "+m Dan"} << QStringList{"Bob", "Cat", "Dan"}
            << "Admins~x~\r\nTeam~Bob~Cat~Dan~\r\n";
        QTest::newRow("chosen by the keys and back")
            << "Admins~x~\r\nTeam~Bob~Cat~\r\n"
            << QStringList{"g Team", "key Up", "+m y"} << QStringList{"x", "y"}
            << "Admins~x~y~\r\nTeam~Bob~Cat~\r\n";
        QTest::newRow("a member removed from the group pressed")
            << "Admins~x~\r\nTeam~Bob~Cat~\r\n"
            << QStringList{"g Team", "m Bob", "-m"} << QStringList{"Cat"} << "Admins~x~\r\nTeam~Cat~\r\n";
        QTest::newRow("a member pressed, then another group: remove member removes nothing")
            << "Admins~x~\r\nTeam~Bob~Cat~\r\n"
            << QStringList{"g Team", "m Bob", "g Admins", "-m"} << QStringList{"x"}
            << "Admins~x~\r\nTeam~Bob~Cat~\r\n";
        QTest::newRow("a group pressed after another was removed")
            << "Admins~x~\r\nB~y~\r\nTeam~Bob~\r\n"
            << QStringList{"g B", "-g", "g Team", "+m Ann"} << QStringList{"Ann", "Bob"}
            << "Admins~x~\r\nTeam~Ann~Bob~\r\n";
        QTest::newRow("a group pressed after the rows moved")
            << "B~y~\r\nTeam~Bob~\r\n"
            << QStringList{"g Team", "+g A", "+m a1", "g B", "+m z", "g A"} << QStringList{"a1"}
            << "A~a1~\r\nB~y~z~\r\nTeam~Bob~\r\n";
        QTest::newRow("the same group pressed twice")
            << "Admins~x~\r\nTeam~Bob~\r\n"
            << QStringList{"g Team", "g Team", "+m Cat", "m Bob", "-m"} << QStringList{"Cat"}
            << "Admins~x~\r\nTeam~Cat~\r\n";
    }
    void groupEditorByMouse() {
        QFETCH(QString, grps);
        QFETCH(QStringList, ops);
        QFETCH(QStringList, members);
        QFETCH(QString, saved);
        Sets().GRPS = sep(grps);
        frmOpt* f = open();
        click(f->cmdOpt[6]);
        QVERIFY(f->lstGrps->isVisible());
        for (const QString& op : ops) {
            const QString verb = op.section(QLatin1Char(' '), 0, 0);
            const QString arg = op.section(QLatin1Char(' '), 1);
            if (verb == QLatin1String("g")) {
                clickRow(f->lstGrps, arg);
            } else if (verb == QLatin1String("m")) {
                clickRow(f->lstGrpMbs, arg);
            } else if (verb == QLatin1String("key")) {
                QTest::keyClick(QApplication::focusWidget(),
                                arg == QLatin1String("Down") ? Qt::Key_Down : Qt::Key_Up);
            } else {
                const int button = verb == QLatin1String("+g")   ? 0
                                   : verb == QLatin1String("+m") ? 1
                                   : verb == QLatin1String("-g") ? 2
                                                                 : 3;
                if (button < 2) typeInto(f->txtGrps, arg);
                click(f->cmdGrpAR[button]);
            }
            if (QTest::currentTestFailed()) return;
        }
        QCOMPARE(texts(f->lstGrpMbs), members);
        QPointer<frmOpt> guard(f);
        click(f->cmdOk);
        QTRY_VERIFY(guard.isNull());
        Sets().GRPS.clear();
        QVERIFY(modSettings::LoadSettings());
        QCOMPARE(Sets().GRPS, sep(saved));
    }

    void softTargetKeptAcrossGroupEdits() {
        Sets().GRPS = sep(QStringLiteral("Team~ann~\r\n"));
        Sets().FB[0] = {QString(), 0, QStringLiteral("x")};
        Sets().FB[1] = {QStringLiteral("Team"), 0, QStringLiteral("y")};
        frmOpt* f = open();
        // An empty target stays empty however the list is filled.
        QCOMPARE(f->comSoft->currentText(), QString());
        f->txtGrps->setText(QStringLiteral("Other"));
        f->cmdGrpAR_Click(0);
        QCOMPARE(f->comSoft->currentText(), QString());
        f->cmdSoftNext_Click(0);
        QCOMPARE(f->comSoft->currentText(), QStringLiteral("Team"));
        f->comSoft->setEditText(QStringLiteral("typed"));
        f->lstGrps->setCurrentRow(1);
        f->cmdGrpAR_Click(2); // removes "Team", the last group with members
        f->lstGrps->setCurrentRow(0);
        f->cmdGrpAR_Click(2);
        QCOMPARE(items(f->comSoft), QStringList{"(All)"});
        QCOMPARE(f->comSoft->currentText(), QStringLiteral("typed"));
        ok(f);
        QCOMPARE(Sets().FB[1].target, QStringLiteral("typed"));
        QCOMPARE(Sets().FB[0].target, QString());
        QCOMPARE(Sets().GRPS, QString());
    }

    // --- AutoText --------------------------------------------------------------------------------

    // "sel ROW", "set TEXT" (typed, then stored), "up", "down".
    void autoText_data() {
        QTest::addColumn<QStringList>("ops");
        QTest::addColumn<QStringList>("entries"); // the ten, "" for an unchanged "cN"
        QTest::addColumn<int>("selected");
        QTest::addColumn<QString>("box");
        QTest::newRow("store moves on") << QStringList{"set hi"} << QStringList{"hi"} << 1 << "c1";
        QTest::newRow("empty becomes not defined")
            << QStringList{"sel 4", "set    "} << QStringList{"", "", "", "", "[Not Defined]"} << 5 << "c5";
        QTest::newRow("store on the last wraps")
            << QStringList{"sel 9", "set end"} << QStringList{"", "", "", "", "", "", "", "", "", "end"} << 0
            << "c0";
        QTest::newRow("first up changes nothing") << QStringList{"up"} << QStringList{} << 0 << "c0";
        QTest::newRow("last down changes nothing")
            << QStringList{"sel 9", "down"} << QStringList{} << 9 << "c9";
        QTest::newRow("down swaps") << QStringList{"down", "down"} << QStringList{"c1", "c2", "c0"} << 2
                                    << "c0";
        QTest::newRow("up swaps") << QStringList{"sel 3", "up"} << QStringList{"", "", "c3", "c2"} << 2
                                  << "c3";
    }
    void autoText() {
        QFETCH(QStringList, ops);
        QFETCH(QStringList, entries);
        QFETCH(int, selected);
        QFETCH(QString, box);
        for (int i = 0; i < 10; ++i)
            Sets().CAT[i] = QStringLiteral("c%1").arg(i);
        frmOpt* f = open();
        f->cmdOpt_Click(5);
        for (const QString& op : ops) {
            const QString verb = op.section(QLatin1Char(' '), 0, 0);
            const QString arg = op.section(QLatin1Char(' '), 1);
            if (verb == QLatin1String("sel")) {
                f->lstCAT->setCurrentRow(arg.toInt());
            } else if (verb == QLatin1String("set")) {
                f->txtCAT->setText(arg);
                click(f->cmdCatSet);
            } else {
                click(f->cmdMove[verb == QLatin1String("up") ? 0 : 1]);
            }
        }
        QStringList want;
        for (int i = 0; i < 10; ++i)
            want << (i < entries.size() && !entries[i].isEmpty() ? entries[i] : QStringLiteral("c%1").arg(i));
        QCOMPARE(texts(f->lstCAT), want);
        QCOMPARE(f->lstCAT->currentRow(), selected);
        QCOMPARE(f->txtCAT->text(), box);
        // One entry stays selected whatever the mouse does.
        f->lstCAT->clearSelection();
        QCOMPARE(f->lstCAT->selectedItems().size(), 1);
        ok(f);
        for (int i = 0; i < 10; ++i)
            QCOMPARE(Sets().CAT[i], want[i]);
    }

    // The other pages' lists and boxes as the user works them, by mouse and keys: "page N"
    // presses the page's button, "row N" presses AutoText row N, "type BOX TEXT" clicks into a box
    // and types over it, "key KEY" goes to the control with the focus, "press BUTTON" presses a
    // button. OK by the mouse; what is wanted ("CAT3=text", "AQR1=text", "FB0=target|flag|text")
    // is read back from the settings file.
    void otherPagesByUser_data() {
        QTest::addColumn<QStringList>("ops");
        QTest::addColumn<QStringList>("saved");
        QTest::newRow("AutoText row pressed, typed, Return")
            << QStringList{"page 5", "row 3", "type txtCAT hello", "key Return"}
            << QStringList{"CAT3=hello", "CAT4=c4", "CAT0=c0"};
        QTest::newRow("AutoText rows pressed one after the other")
            << QStringList{"page 5", "row 7", "row 2", "type txtCAT two", "press cmdCatSet"}
            << QStringList{"CAT2=two", "CAT7=c7"};
        QTest::newRow("AutoText row chosen by the keys")
            << QStringList{"page 5", "row 4", "key Down", "key Down", "type txtCAT six", "key Return"}
            << QStringList{"CAT6=six", "CAT4=c4"};
        QTest::newRow("AutoText row pressed and moved up")
            << QStringList{"page 5", "row 8", "press up", "press up"}
            << QStringList{"CAT6=c8", "CAT7=c6", "CAT8=c7"};
        QTest::newRow("AutoText moved, then another row typed")
            << QStringList{"page 5", "row 1", "press down", "row 9", "type txtCAT end", "key Return"}
            << QStringList{"CAT1=c2", "CAT2=c1", "CAT9=end"};
        QTest::newRow("quick reply typed")
            << QStringList{"page 4", "type txtAQR1 on my way"} << QStringList{"AQR1=on my way", "AQR0=q0"};
        QTest::newRow("soft button target chosen by the keys")
            << QStringList{"page 8", "press next", "type comSoft ", "key Down", "key Down", "press prev"}
            << QStringList{"FB1=Team|0|s1", "FB0=(All)|0|s0"};
        QTest::newRow("soft button typed on the second page")
            << QStringList{"page 8",        "press next", "type comSoft Team", "type txtSoft go",
                           "press chkSoft", "press next", "press prev"}
            << QStringList{"FB1=Team|1|go", "FB2=(All)|0|s2"};
    }
    void otherPagesByUser() {
        QFETCH(QStringList, ops);
        QFETCH(QStringList, saved);
        Sets().GRPS = sep(QStringLiteral("Team~Bob~\r\n"));
        for (int i = 0; i < 10; ++i) {
            Sets().CAT[i] = QStringLiteral("c%1").arg(i);
            Sets().FB[i] = {QStringLiteral("(All)"), 0, QStringLiteral("s%1").arg(i)};
        }
        for (int i = 0; i < 3; ++i)
            Sets().AQR[i] = QStringLiteral("q%1").arg(i);
        frmOpt* f = open();
        const std::map<QString, QWidget*> boxes = {{"txtCAT", f->txtCAT},
                                                   {"txtAQR1", f->txtAQR[1]},
                                                   {"comSoft", f->comSoft},
                                                   {"txtSoft", f->txtSoft}};
        const std::map<QString, chameleonButton*> buttons = {{"cmdCatSet", f->cmdCatSet},
                                                             {"up", f->cmdMove[0]},
                                                             {"down", f->cmdMove[1]},
                                                             {"next", f->cmdSoftNext[0]},
                                                             {"prev", f->cmdSoftNext[1]}};
        const std::map<QString, Qt::Key> keys = {
            {"Down", Qt::Key_Down}, {"Up", Qt::Key_Up}, {"Return", Qt::Key_Return}};
        for (const QString& op : ops) {
            const QString verb = op.section(QLatin1Char(' '), 0, 0);
            const QString arg = op.section(QLatin1Char(' '), 1);
            if (verb == QLatin1String("page")) {
                click(f->cmdOpt[std::size_t(arg.toInt())]);
            } else if (verb == QLatin1String("row")) {
                clickRow(f->lstCAT, arg.toInt());
            } else if (verb == QLatin1String("type")) {
                typeInto(boxes.at(arg.section(QLatin1Char(' '), 0, 0)), arg.section(QLatin1Char(' '), 1));
            } else if (verb == QLatin1String("key")) {
                QTest::keyClick(QApplication::focusWidget(), keys.at(arg));
            } else if (arg == QLatin1String("chkSoft")) {
                click(f->chkSoft);
            } else {
                click(buttons.at(arg));
            }
            if (QTest::currentTestFailed()) return;
        }
        QPointer<frmOpt> guard(f);
        click(f->cmdOk);
        QTRY_VERIFY(guard.isNull());
        Sets() = modGlobals::Settings();
        QVERIFY(modSettings::LoadSettings());
        for (const QString& want : saved) {
            const QString key = want.section(QLatin1Char('='), 0, 0);
            const QString value = want.section(QLatin1Char('='), 1);
            const int i = key.right(1).toInt();
            QString got;
            if (key.startsWith(QLatin1String("CAT"))) got = Sets().CAT[std::size_t(i)];
            if (key.startsWith(QLatin1String("AQR"))) got = Sets().AQR[std::size_t(i)];
            if (key.startsWith(QLatin1String("FB"))) {
                const auto& b = Sets().FB[std::size_t(i)];
                got = b.target + QLatin1Char('|') + QString::number(b.sendNow) + QLatin1Char('|') + b.text;
            }
            QCOMPARE(key + QLatin1Char('=') + got, want);
        }
    }

    void returnInTheBoxesPressesTheirButtons() {
        frmOpt* f = open();
        f->cmdOpt_Click(5);
        f->txtCAT->setFocus();
        QVERIFY(f->cmdCatSet->DisplayAsDefault());
        f->txtCAT->setText(QStringLiteral("typed"));
        QTest::keyClick(f->txtCAT, Qt::Key_Return);
        QCOMPARE(f->lstCAT->item(0)->text(), QStringLiteral("typed"));
        QCOMPARE(f->lstCAT->currentRow(), 1);
        f->cmdOpt_Click(6);
        f->txtGrps->setFocus();
        QVERIFY(!f->cmdCatSet->DisplayAsDefault());
        QVERIFY(f->cmdGrpAR[1]->DisplayAsDefault());
        f->txtGrps->setText(QStringLiteral("Grp"));
        QTest::keyClick(f->txtGrps, Qt::Key_Return);
        QCOMPARE(texts(f->lstGrps), QStringList{"Grp"});
        f->txtGrps->setText(QStringLiteral("Mem"));
        QTest::keyClick(f->txtGrps, Qt::Key_Return);
        QCOMPARE(texts(f->lstGrpMbs), QStringList{"Mem"});
        // The whole text is selected when the box gets the focus.
        f->txtPhoneNumber->setText(QStringLiteral("555"));
        f->cmdOpt_Click(3);
        f->txtPhoneNumber->setFocus();
        QTRY_COMPARE(f->txtPhoneNumber->selectedText(), QStringLiteral("555"));
    }

    // --- soft-button pager -----------------------------------------------------------------------

    void pager_data() {
        QTest::addColumn<QStringList>("ops");
        QTest::addColumn<QString>("shown");
        QTest::newRow("previous on 1 stays") << QStringList{"prev"} << "1";
        QTest::newRow("next") << QStringList{"next"} << "2";
        QTest::newRow("next on 10 stays") << QStringList(10, QStringLiteral("next")) << "10";
        QTest::newRow("double click from 1 ends on 3") << QStringList{"double next"} << "3";
        QTest::newRow("double click back") << QStringList{"next", "next", "next", "double prev"} << "2";
    }
    void pager() {
        QFETCH(QStringList, ops);
        QFETCH(QString, shown);
        for (int i = 0; i < 10; ++i)
            Sets().FB[i] = {QStringLiteral("(All)"), qint16(i % 2), QStringLiteral("text %1").arg(i)};
        frmOpt* f = open();
        f->cmdOpt_Click(8);
        for (const QString& op : ops) {
            chameleonButton* b = f->cmdSoftNext[op.endsWith(QLatin1String("next")) ? 0 : 1];
            if (op.startsWith(QLatin1String("double")))
                // Through the window, as the pointer gives it, with Qt's double-click detection.
                QTest::mouseDClick(f->windowHandle(), Qt::LeftButton, {}, b->mapTo(f, QPoint(5, 5)));
            else
                click(b);
        }
        QCOMPARE(f->lblSoftN->text(), shown);
        const int n = shown.toInt() - 1;
        QCOMPARE(f->txtSoft->Text(), QStringLiteral("text %1").arg(n));
        QCOMPARE(f->chkSoft->isChecked(), n % 2 == 1);
        QCOMPARE(f->comSoft->currentText(), QStringLiteral("(All)"));
    }

    void textBoxesKeepLineEndsAndLimit() {
        frmOpt* f = open();
        f->cmdOpt_Click(4);
        SendBox* box = f->txtAQR[0];
        box->SetText(QString(388, QLatin1Char('x')));
        box->setFocus();
        box->moveCursor(QTextCursor::End);
        QTest::keyClick(box, Qt::Key_Return); // a line break counts two
        QCOMPARE(box->Text(), QString(388, QLatin1Char('x')) + QStringLiteral("\r\n"));
        QTest::keyClicks(box, QStringLiteral("yz"));
        QCOMPARE(box->TextLength(), 390);
        box->SetText(QStringLiteral("ab"));
        box->moveCursor(QTextCursor::Start);
        QApplication::clipboard()->setText(QString(500, QLatin1Char('p')));
        box->paste();
        QCOMPARE(box->Text(), QString(388, QLatin1Char('p')) + QStringLiteral("ab"));
        // A longer text from the settings is cut to the limit too.
        box->SetText(QString(400, QLatin1Char('q')));
        QTest::keyClicks(box, QStringLiteral("r"));
        QCOMPARE(box->Text(), QString(390, QLatin1Char('q')));
        // Separators cannot get in: the texts go out in alerts.
        box->SetText(QStringLiteral("a") + QChar(1) + QStringLiteral("b"));
        QCOMPARE(box->Text(), QStringLiteral("a b"));
    }

    // --- checks on leaving a box -----------------------------------------------------------------

    // How the user tries to leave the box with "C:\x.wav" in it, and whether the check runs.
    void badPath_data() {
        QTest::addColumn<QString>("leave");
        QTest::addColumn<bool>("refused");
        QTest::newRow("click on OK") << "ok" << true;
        QTest::newRow("Alt+O") << "alt o" << true;
        QTest::newRow("OK by code") << "ok code" << true;
        QTest::newRow("Shift+Tab") << "tab" << true;
        QTest::newRow("another page") << "page" << true;
        QTest::newRow("access key of another option") << "alt p" << true;
        QTest::newRow("Cancel") << "cancel" << false;
        QTest::newRow("its own browse button") << "browse" << false;
        QTest::newRow("the option that turns it off") << "off" << false;
        QTest::newRow("the beep option") << "beep" << false;
    }
    void badPath() {
        QFETCH(QString, leave);
        QFETCH(bool, refused);
        Sets().CHTSND = QStringLiteral("(System Beep)");
        QVERIFY(modSettings::SaveSettings());
        const QByteArray before = readAll(settingsFile());
        frmOpt* f = open();
        f->cmdOpt_Click(2);
        click(f->optCSnd[2]);
        QVERIFY(f->optCSnd[2]->isChecked());
        f->txtCSndFile->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), f->txtCSndFile);
        f->txtCSndFile->setText(QStringLiteral(" C:\\x.wav "));
        QPointer<frmOpt> guard(f);
        if (leave == QLatin1String("ok"))
            click(f->cmdOk);
        else if (leave == QLatin1String("alt o"))
            QTest::keyClick(f, Qt::Key_O, Qt::AltModifier);
        else if (leave == QLatin1String("ok code"))
            f->cmdOk_Click();
        else if (leave == QLatin1String("tab"))
            QTest::keyClick(f->txtCSndFile, Qt::Key_Backtab, Qt::ShiftModifier);
        else if (leave == QLatin1String("page"))
            click(f->cmdOpt[3]);
        else if (leave == QLatin1String("alt p"))
            QTest::keyClick(f, Qt::Key_D, Qt::AltModifier); // "&Decode Chat Pictures"
        else if (leave == QLatin1String("cancel"))
            click(f->cmdCancel);
        else if (leave == QLatin1String("browse"))
            click(f->cmdCSndBrowse);
        else if (leave == QLatin1String("off"))
            click(f->optCSnd[0]);
        else if (leave == QLatin1String("beep"))
            click(f->optCSnd[1]);
        if (refused) {
            QCOMPARE(msg->shown.size(), std::size_t(1));
            QCOMPARE(msg->shown[0].text,
                     QStringLiteral("'C:\\x.wav' dose not exist, please select another."));
            QCOMPARE(msg->shown[0].buttons, 0);
            QCOMPARE(msg->shown[0].icon, 1);
            QVERIFY(guard);
            QCOMPARE(QApplication::focusWidget(), f->txtCSndFile);
            QCOMPARE(f->txtCSndFile->text(), QStringLiteral("C:\\x.wav"));
            QVERIFY(!f->picPage[2]->isHidden());
            QVERIFY(!f->chkChatPics->isChecked() || Sets().CHTPICS == 1);
            QCOMPARE(Sets().CHTSND, QStringLiteral("(System Beep)"));
            QCOMPARE(readAll(settingsFile()), before);
        } else {
            QVERIFY(msg->shown.empty());
        }
        if (leave == QLatin1String("browse")) QCOMPARE(dlg->fileCalls, 1);
        if (leave == QLatin1String("cancel")) QTRY_VERIFY(guard.isNull());
        QCOMPARE(readAll(settingsFile()), before);
    }

    void folderAndSkinChecks() {
        frmOpt* f = open();
        f->cmdOpt_Click(3);
        click(f->optSFld[1]);
        f->txtSFld->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), f->txtSFld);
        f->txtSFld->setText(QDir(home.path()).filePath(QStringLiteral("ding.wav"))); // no folder
        writeAll(f->txtSFld->text(), "x");
        f->cmdOk_Click();
        QCOMPARE(msg->shown.size(), std::size_t(1));
        QCOMPARE(msg->shown[0].icon, 1);
        f->txtSFld->setText(home.path() + QStringLiteral("  "));
        ok(f);
        QCOMPARE(Sets().SFLD, home.path());
        QCOMPARE(msg->shown.size(), std::size_t(1));

        // The skin box is read-only: a skin deleted meanwhile leaves Cancel and the base skin open.
        Sets().SKN = path(QStringLiteral("Skins/gone.qxs"));
        f = open();
        f->txtSkin->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), f->txtSkin);
        click(f->chkInvH);
        QCOMPARE(msg->shown.size(), std::size_t(2));
        QCOMPARE(QApplication::focusWidget(), f->txtSkin);
        QVERIFY(!f->chkInvH->isChecked());
        click(f->optSkin[0]);
        QCOMPARE(msg->shown.size(), std::size_t(2));
        ok(f);
        QCOMPARE(Sets().SKN, QString());
    }

    // --- OK: the override skin -------------------------------------------------------------------

    void overrideSkinRename_data() {
        QTest::addColumn<bool>("override");
        QTest::addColumn<bool>("defaultSkin");
        QTest::addColumn<QString>("skn"); // "over", "other" or ""
        QTest::addColumn<bool>("renamed");
        QTest::newRow("only the override, in use") << true << false << "over" << true;
        QTest::newRow("only the override, not in use") << true << false << "" << true;
        QTest::newRow("override beside another skin in use") << true << false << "other" << true;
        QTest::newRow("both") << true << true << "over" << false;
        QTest::newRow("neither") << false << false << "" << false;
    }
    void overrideSkinRename() {
        QFETCH(bool, override);
        QFETCH(bool, defaultSkin);
        QFETCH(QString, skn);
        QFETCH(bool, renamed);
        const QString over = ProgramFolder::file(QStringLiteral("QX3_Over.qxs"));
        const QString def = ProgramFolder::file(QStringLiteral("default skin.qxs"));
        const QString other = skinFile(QStringLiteral("Other"));
        writePicture(ProgramFolder::file(QStringLiteral("Over.bmp")), Qt::green);
        const QByteArray overBytes = "Over.bmp,1,2,3,4,5,2,7,8,6\r\nThe override\r\n";
        if (override) writeAll(over, overBytes);
        if (defaultSkin) writeAll(def, "old default");
        // The start-up names the override by the program folder joined with its name.
        Sets().SKN = skn == QLatin1String("over")
                         ? QDir(ProgramFolder::path()).filePath(QStringLiteral("./QX3_Over.qxs"))
                     : skn == QLatin1String("other") ? other
                                                     : QString();
        const QString sknBefore = Sets().SKN;
        frmOpt* f = open();
        ok(f);
        QVERIFY(msg->shown.empty());
        QCOMPARE(QFileInfo::exists(over), override && !renamed);
        if (renamed) QCOMPARE(readAll(def), overBytes);
        if (defaultSkin) QCOMPARE(readAll(def), QByteArray("old default"));
        const QString want = renamed && skn == QLatin1String("over") ? def : sknBefore;
        QCOMPARE(Sets().SKN, want);
        // The file holds it too: loading it back gives the same value.
        Sets().SKN = QStringLiteral("changed");
        QVERIFY(modSettings::LoadSettings());
        QCOMPARE(Sets().SKN, want);
        QFile::remove(over);
        QFile::remove(def);
    }

    // --- Cancel ---------------------------------------------------------------------------------

    void cancelDropsEveryEdit_data() {
        QTest::addColumn<bool>("closeBox");
        QTest::newRow("Cancel") << false;
        QTest::newRow("close box") << true;
    }
    void cancelDropsEveryEdit() {
        QFETCH(bool, closeBox);
        Sets().GRPS = sep(QStringLiteral("Team~ann~\r\n"));
        Sets().FB[0] = {QStringLiteral("Team"), 0, QStringLiteral("hi")};
        QVERIFY(openMain());
        QVERIFY(modSettings::SaveSettings());
        const QByteArray before = readAll(settingsFile());
        const modGlobals::Settings values = Sets();
        frmOpt* f = open();
        f->chkLoadOnStartup->setChecked(true);
        f->optSkin[1]->setChecked(true);
        f->optASnd[0]->setChecked(true);
        f->cmdAlertPos_Click(3);
        f->optChatStyle[0]->setChecked(true);
        f->txtPhoneNumber->setText(QStringLiteral("1"));
        f->txtAQR[0]->SetText(QStringLiteral("q"));
        f->txtCAT->setText(QStringLiteral("c"));
        f->cmdCatSet_Click();
        f->txtGrps->setText(QStringLiteral("New"));
        f->cmdGrpAR_Click(1);
        f->chkSB_Use->setChecked(true);
        f->comSoft->setEditText(QString());
        f->chkSoftMenu->setChecked(true);
        QPointer<frmOpt> guard(f);
        if (closeBox)
            f->close();
        else
            click(f->cmdCancel);
        QTRY_VERIFY(guard.isNull());
        QVERIFY(!frmOpt::Loaded());
        QCOMPARE(readAll(settingsFile()), before);
        QVERIFY(Sets().GRPS == values.GRPS && Sets().FB[0].target == values.FB[0].target &&
                Sets().STARTUP == values.STARTUP && Sets().ALTSND == values.ALTSND &&
                Sets().CAT == values.CAT);
        QCOMPARE(win->mnuActionAlertGrpI.size(), std::size_t(1));
        QCOMPARE(win->mnuActionAlertGrpI[0]->text(), QStringLiteral("Team"));
        QVERIFY(!win->cmdFB[0]->isHidden());
        QVERIFY(msg->shown.empty());
    }

    // --- OK applies to the main window ------------------------------------------------------------

    void okRebuildsTheMainWindowsGroupsAndSoftButtons() {
        Sets().GRPS = sep(QStringLiteral("Old~x~\r\n"));
        Sets().FB[0] = {QStringLiteral("Old"), 0, QStringLiteral("hi")};
        QVERIFY(openMain());
        QVERIFY(!win->cmdFB[0]->isHidden());
        QVERIFY(win->cmdFB[1]->isHidden());
        // The Options command opens the one dialog; a second command raises it.
        win->mnuActionOptions->trigger();
        frmOpt* f = frmOpt::Loaded();
        QVERIFY(f);
        win->mnuPopOptions->trigger();
        QCOMPARE(frmOpt::Loaded(), f);
        QVERIFY(QTest::qWaitForWindowActive(f));
        f->lstGrps->setCurrentRow(0);
        f->cmdGrpAR_Click(2);
        f->txtGrps->setText(QStringLiteral("Beta"));
        f->cmdGrpAR_Click(0);
        f->txtGrps->setText(QStringLiteral("bob"));
        f->cmdGrpAR_Click(1);
        f->txtGrps->setText(QStringLiteral("Alpha"));
        f->cmdGrpAR_Click(0);
        f->txtGrps->setText(QStringLiteral("ann"));
        f->cmdGrpAR_Click(1);
        f->comSoft->setEditText(QString());
        f->cmdSoftNext_Click(0);
        f->comSoft->setCurrentIndex(f->comSoft->findText(QStringLiteral("Beta")));
        f->chkSoftMenu->setChecked(true);
        ok(f);
        QStringList menu;
        for (QAction* a : win->mnuActionAlertGrpI)
            menu << a->text() + QLatin1Char('=') +
                        a->data().toString().replace(modGlobals::kSep, QLatin1Char(','));
        QCOMPARE(menu, QStringList({"Alpha=ann,", "Beta=bob,"}));
        QCOMPARE(win->mnuPopAlertGrpI.size(), std::size_t(2));
        QVERIFY(win->cmdFB[0]->isHidden());
        QVERIFY(!win->cmdFB[1]->isHidden());
        QVERIFY(win->mnuPopSoft[1]->isVisible());
        QVERIFY(!win->mnuPopSoft[0]->isVisible());
    }

    void windowGoingTakesTheDialog() {
        QVERIFY(openMain());
        QVERIFY(modSettings::SaveSettings());
        click(win->cmdSB[2]);
        QPointer<frmOpt> f = frmOpt::Loaded();
        QVERIFY(f);
        f->chkInvH->setChecked(true);
        win->CloseByCode();
        QTRY_VERIFY(win.isNull());
        QTRY_VERIFY(f.isNull());
        QCOMPARE(Sets().INV, qint16(0));
    }

    void okReskinsTheMainWindowAndVisibleChatWindows() {
        QVERIFY(openMain());
        QPointer<frmChat> shown = new frmChat;
        shown->show();
        QVERIFY(QTest::qWaitForWindowExposed(shown));
        QPointer<frmChat> hidden = new frmChat;
        const QColor newSkin(10, 20, 200);
        QVERIFY(QColor(win->picBuf.pixel(60, 5)) != newSkin);
        QVERIFY(QColor(shown->picBuf.pixel(60, 5)) != newSkin);
        const QImage hiddenBefore = hidden->picBuf;
        dlg->answer.path = skinFile(QStringLiteral("Blue"));
        frmOpt* f = open();
        click(f->optSkin[1]);
        click(f->cmdSkin);
        ok(f);
        QCOMPARE(QColor(win->picBuf.pixel(60, 5)), newSkin);
        QCOMPARE(QColor(shown->picBuf.pixel(60, 5)), newSkin);
        QCOMPARE(hidden->picBuf, hiddenBefore);
        delete shown;
        delete hidden;
    }

    void groupReader_data() {
        QTest::addColumn<QString>("grps");
        QTest::addColumn<QStringList>("groups"); // name=members
        QTest::newRow("empty") << "" << QStringList{};
        QTest::newRow("no line end") << "g~a~" << QStringList{};
        QTest::newRow("tail dropped") << "g~a~\r\nh~b~" << QStringList{"g=a,"};
        QTest::newRow("lone LF and CR stay in the line") << "g~a\nb~c\r~\r\n" << QStringList{"g=a\nb,c\r,"};
        QTest::newRow("no separator") << "solo\r\n" << QStringList{"solo="};
        QTest::newRow("member without its separator") << "g~a~b\r\n" << QStringList{"g=a,"};
        QTest::newRow("empty line") << "\r\ng~a~\r\n" << QStringList{"=", "g=a,"};
    }
    void groupReader() {
        QFETCH(QString, grps);
        QFETCH(QStringList, groups);
        QStringList got;
        for (const modGroups::Group& g : modGroups::Read(sep(grps))) {
            QVERIFY(g.line + QStringLiteral("\r\n") ==
                    sep(grps).mid(sep(grps).indexOf(g.line), g.line.size() + 2));
            got << g.name + QLatin1Char('=') +
                       (g.members.isEmpty() ? QString()
                                            : g.members.join(QLatin1Char(',')) + QLatin1Char(','));
        }
        QCOMPARE(got, groups);
    }

    // --- OK and the speed bar -------------------------------------------------------------------

    void speedBar_data() {
        QTest::addColumn<int>("useBefore");        // SB_U when the dialog opens; 1 also loads and shows a bar
        QTest::addColumn<bool>("closedMeanwhile"); // the user closes the bar while the dialog is open
        QTest::addColumn<int>("useTicked");
        QTest::addColumn<int>("slideTicked"); // the bar's flag stays as SB_S = 1 put it
        QTest::addColumn<QString>("edit");    // "", "edge", "filter"
        QTest::addColumn<QString>("after");   // "same", "new", "none"
        QTest::newRow("off stays off") << 0 << false << 0 << 1 << ""
                                       << "none";
        QTest::newRow("turned on") << 0 << false << 1 << 1 << ""
                                   << "new";
        QTest::newRow("turned off") << 1 << false << 0 << 1 << ""
                                    << "none";
        QTest::newRow("unchanged") << 1 << false << 1 << 1 << ""
                                   << "same";
        QTest::newRow("slide changed") << 1 << false << 1 << 0 << ""
                                       << "new";
        QTest::newRow("edge alone") << 1 << false << 1 << 1 << "edge"
                                    << "same";
        QTest::newRow("filter alone") << 1 << false << 1 << 1 << "filter"
                                      << "same";
        QTest::newRow("closed meanwhile, still ticked") << 1 << true << 1 << 1 << ""
                                                        << "new";
        QTest::newRow("closed meanwhile, unticked") << 1 << true << 0 << 1 << ""
                                                    << "none";
    }
    void speedBar() {
        QFETCH(int, useBefore);
        QFETCH(bool, closedMeanwhile);
        QFETCH(int, useTicked);
        QFETCH(int, slideTicked);
        QFETCH(QString, edit);
        QFETCH(QString, after);
        ShellRecorder shell;
        auto& s = Sets();
        s.SB_U = qint16(useBefore);
        s.SB_S = 1;
        s.INV = 1;
        s.UCOL = 0x0000FF;
        QPointer<frmSpeedBar> before;
        if (useBefore) {
            before = frmSpeedBar::Load();
            before->show();
            QVERIFY(QTest::qWaitForWindowExposed(before));
            QVERIFY(before->AppBar()->SlideEffect());
        }
        frmOpt* f = open();
        if (closedMeanwhile) {
            before->close();
            QCOMPARE(s.SB_U, qint16(0));
        }
        f->chkSB_Use->setChecked(useTicked == 1);
        f->chkSB_Slide->setChecked(slideTicked == 1);
        if (edit == QLatin1String("edge")) f->optSB_Pos[1]->setChecked(true);
        if (edit == QLatin1String("filter")) f->optSB_Filter[3]->setChecked(true);
        ok(f);
        QCOMPARE(s.SB_U, qint16(useTicked));
        QPointer<frmSpeedBar> now = frmSpeedBar::Loaded();
        if (after == QLatin1String("none")) {
            QVERIFY(!now);
        } else {
            QVERIFY(now);
            QVERIFY(now->isVisible());
            QCOMPARE(now.data() == before.data(), after == QLatin1String("same"));
            QCOMPARE(now->AppBar()->SlideEffect(), slideTicked == 1);
            // The own name on the inverse of the own colour.
            QCOMPARE(now->lblTbUName->palette().color(QPalette::Window), QColor(0, 255, 255));
        }
        if (after != QLatin1String("same")) QTRY_VERIFY(before.isNull());
        if (edit == QLatin1String("edge")) QCOMPARE(s.SB_P, qint16(1));
        if (edit == QLatin1String("filter")) QCOMPARE(s.SB_F, qint16(3));
        frmSpeedBar::Unload();
        QTRY_VERIFY(now.isNull());
        QCOMPARE(s.SB_U, qint16(useTicked)); // an unload by code keeps it
    }
    // --- captions --------------------------------------------------------------------------------

    void captionsFromALanguageFile() {
        QStringList lines{QStringLiteral("3.0.9,Test")};
        const char* keys[] = {
            "frmOpt.Form",       "frmOpt.optSnd(0)",       "frmOpt.optSnd(1)", "frmOpt.optSnd(2)",
            "frmOpt.cmdSndTest", "frmOpt.cmdOpt(8)",       "frmOpt.AQR",       "frmOpt.AT",
            "frmOpt.Frame(6)",   "frmOpt.optSB_Filter(3)", "frmOpt.chkSoft",   "frmOpt.cmdOk"};
        for (const char* k : keys)
            lines << QString::fromLatin1(k) + QStringLiteral("|T:") + QString::fromLatin1(k);
        const QString file = path(QStringLiteral("Test.qxl"));
        writeAll(file, lines.join(QStringLiteral("\r\n")).toLatin1() + "\r\n");
        QVERIFY(modDB::LoadDB(file));
        frmOpt* f = open();
        QCOMPARE(f->windowTitle(), QStringLiteral("T:frmOpt.Form"));
        for (int i = 0; i < 3; ++i) {
            const QString want = QStringLiteral("T:frmOpt.optSnd(%1)").arg(i);
            QCOMPARE(f->optASnd[i]->text(), want);
            QCOMPARE(f->optCSnd[i]->text(), want);
        }
        QCOMPARE(f->cmdASndTest->Caption(), QStringLiteral("T:frmOpt.cmdSndTest"));
        QCOMPARE(f->cmdCSndTest->Caption(), QStringLiteral("T:frmOpt.cmdSndTest"));
        QCOMPARE(f->cmdOpt[8]->Caption(), QStringLiteral("T:frmOpt.cmdOpt(8)"));
        QCOMPARE(f->lblAQR[3]->text(), QStringLiteral("T:frmOpt.AQR"));
        QCOMPARE(f->lblAT->text(), QStringLiteral("T:frmOpt.AT"));
        QCOMPARE(f->Frame[6]->title(), QStringLiteral("T:frmOpt.Frame(6)"));
        QCOMPARE(f->optSB_Filter[3]->text(), QStringLiteral("T:frmOpt.optSB_Filter(3)"));
        QCOMPARE(f->chkSoft->text(), QStringLiteral("T:frmOpt.chkSoft"));
        QCOMPARE(f->cmdOk->Caption(), QStringLiteral("T:frmOpt.cmdOk"));
        // Fixed captions stay in every language.
        QCOMPARE(f->cmdSkin->Caption(), QStringLiteral("..."));
        QCOMPARE(f->cmdASndBrowse->Caption(), QStringLiteral("..."));
        QCOMPARE(f->cmdGrpAR[2]->Caption(), QStringLiteral("t"));
        QCOMPARE(f->cmdCatSet->Caption(), QStringLiteral("u"));
        QCOMPARE(f->lblAQR[0]->text(), QStringLiteral("1"));
        QCOMPARE(f->lblSoftN->text(), QStringLiteral("1"));
    }

    void screenshotsOfThePages() {
        auto& s = Sets();
        s.SKN = skinFile(QStringLiteral("Shown"), "A skin of blue\r\nby somebody\r\n");
        s.GRPS = sep(QStringLiteral("Team~ann~bob~\r\nFriends~carl~\r\n"));
        s.FB[0] = {QStringLiteral("Team"), 1, QStringLiteral("Lunch?")};
        s.AQR = {QStringLiteral("On my way"), QStringLiteral("In a meeting"),
                 QStringLiteral("[Not Defined]")};
        for (int i = 0; i < 10; ++i)
            s.CAT[i] = QStringLiteral("[Not Defined]");
        s.SFLD = home.path();
        frmOpt* f = open();
        for (int i = 0; i < frmOpt::kPages; ++i) {
            f->cmdOpt_Click(i);
            QVERIFY(!f->picPage[i]->isHidden());
            // Every control of the page lies inside the dialog.
            for (QWidget* w : f->picPage[i]->findChildren<QWidget*>())
                if (w->isVisibleTo(f) && w->parentWidget() == f->picPage[i])
                    QVERIFY2(f->picPage[i]->rect().contains(w->geometry()),
                             qPrintable(w->metaObject()->className()));
            saveScreenshot(f, QStringLiteral("frmOpt-page%1").arg(i));
        }
    }
};

QTEST_MAIN(TestOptions)
#include "tst_frmOpt.moc"
