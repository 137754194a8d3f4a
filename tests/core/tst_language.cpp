// The language table, the message texts it replaces, the file and folder dialogs and the
// language chooser.
#include "controls/chameleonButton.h"
#include "core/MessageService.h"
#include "core/frmImgs.h"
#include "core/modCommonDialog.h"
#include "core/modDB.h"
#include "core/modGetFld.h"
#include "core/modGlobals.h"
#include "core/modLangConst.h"
#include "core/modSettings.h"
#include "core/modTerminate.h"
#include "mainwin/frmLang.h"
#include "platform/Ansi.h"
#include "platform/Dialogs.h"
#include "platform/ProgramFolder.h"
#include "support/Headless.h"
#include "support/Screenshot.h"

#include "support/TestFiles.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <functional>

namespace {

// The lookup fixture, one entry a line, the last one without a line end.
const QStringList kFixtureLines = {
    QStringLiteral("3.0.9,English"),
    // Lower-cased, each of these letters becomes two characters.
    QStringLiteral("Title|\u0130\u0130\u0130\u0130\u0130\u0130\u0130\u0130"),
    QStringLiteral("Main_SelUserMsg2|x"),
    QStringLiteral("Main_SelUserMsg|y"),
    QStringLiteral("FileT_R|Save here"),
    QStringLiteral("FileT_RC|Received"),
    QStringLiteral("main_stat0|On"),
    QStringLiteral("Main_StatMsg|A|B|C|"),
    QStringLiteral("Msg_Ok|"),
    QStringLiteral("Chat_StatN|Ready or not"),
    QStringLiteral("Last_Key|to the end"),
};

// Runs `act` on the chooser once it is shown modally.
void whenChooserShown(QObject* context, std::function<void(frmLang*)> act) {
    auto* poll = new QTimer(context);
    QObject::connect(poll, &QTimer::timeout, context, [poll, act] {
        auto* form = qobject_cast<frmLang*>(QApplication::activeModalWidget());
        if (!form || !form->isVisible()) return;
        poll->deleteLater();
        poll->stop();
        act(form);
    });
    poll->start(10);
}

bool chooserExists() {
    const QWidgetList all = QApplication::topLevelWidgets();
    return std::any_of(all.cbegin(), all.cend(),
                       [](QWidget* w) { return qobject_cast<frmLang*>(w) != nullptr; });
}

void click(chameleonButton* button) {
    QVERIFY(button->isVisible());
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(button->width() / 2, button->height() / 2));
}

} // namespace

class TestLanguage : public QObject {
    Q_OBJECT

    // A program folder with a blank in its name, inside the temporary folder.
    TestEnv::Headless env{TestEnv::NoNetwork, QStringLiteral("Program Folder")};
    QTemporaryDir& temp = env.home;
    const QString folder = env.folder();
    MessageRecorder& messages = env.messages;
    DialogRecorder& dialogs = env.dialogs;
    int& terminated = env.end.terminated;

    QString file(const QString& name) const { return QDir(folder).filePath(name); }

  private slots:
    void initTestCase() {
        QVERIFY(temp.isValid());
        QVERIFY(QDir(folder).exists());
        frmImgs::Load(); // the windows' icons
    }

    void init() {
        QVERIFY(modDB::LoadDB(QString())); // before the reset, which takes away what it logs
        env.reset();
        modLangConst::SetDefaultStrings();
    }

    // ---- the language table ----

    void lookup_data() {
        QTest::addColumn<QString>("lineEnd");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");
        const QList<std::pair<const char*, QString>> ends = {
            {"CR LF", QStringLiteral("\r\n")}, {"LF", QStringLiteral("\n")}, {"CR", QStringLiteral("\r")}};
        const QList<std::tuple<const char*, const char*, const char*>> rows = {
            {"longer key first gives its text to the shorter", "Main_SelUserMsg", "x"},
            {"longer key first", "Main_SelUserMsg2", "x"},
            {"shorter key first", "FileT_R", "Save here"},
            {"longer key after the shorter", "FileT_RC", "Received"},
            {"letter case ignored", "Main_Stat0", "On"},
            {"bars in the text kept", "Main_StatMsg", "A|B|C|"},
            {"key and bar without text", "Msg_Ok", ""},
            {"match inside a longer key", "SelUserMsg2", "x"},
            {"after a line that lower-casing lengthens", "Chat_StatN", "Ready or not"},
            {"last line without a line end", "LAST_KEY", "to the end"},
        };
        for (const auto& [endName, end] : ends)
            for (const auto& [name, key, expected] : rows)
                QTest::addRow("%s: %s", endName, name)
                    << end << QString::fromLatin1(key) << QString::fromUtf8(expected);
    }
    void lookup() {
        QFETCH(QString, lineEnd);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        writeAll(file(QStringLiteral("fixture.qxl")), kFixtureLines.join(lineEnd).toUtf8());
        QVERIFY(modDB::LoadDB(file(QStringLiteral("fixture.qxl"))));
        QVERIFY(modDB::DBLoaded());
        QCOMPARE(modDB::GetDBString(key), expected);
        QVERIFY(messages.texts().isEmpty());
    }

    void fileEncodings_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        QTest::newRow("Windows-1252") << QByteArray("V1\r\nK|caf\xe9 \x80 \x93q\x94\r\n")
                                      << QStringLiteral("caf\u00e9 \u20ac \u201cq\u201d");
        QTest::newRow("UTF-8") << QByteArray("V1\r\nK|caf\xc3\xa9 \xe2\x82\xac \xe6\x97\xa5\r\n")
                               << QStringLiteral("caf\u00e9 \u20ac \u65e5");
        QTest::newRow("UTF-8 with byte-order mark")
            << QByteArray("\xef\xbb\xbfK|\xc3\xa9t\xc3\xa9") << QStringLiteral("\u00e9t\u00e9");
        QTest::newRow("one byte not UTF-8")
            << QByteArray("V1\r\nK|\xc3\xa9\xe9\r\n") << QStringLiteral("\u00c3\u00a9\u00e9");
    }
    void fileEncodings() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        writeAll(file(QStringLiteral("enc.qxl")), bytes);
        QVERIFY(modDB::LoadDB(file(QStringLiteral("enc.qxl"))));
        QCOMPARE(modDB::GetDBString(QStringLiteral("K")), expected);
    }

    void missingKeyIsLoggedEachTimeAndShownOnce() {
        writeAll(file(QStringLiteral("fixture.qxl")), kFixtureLines.join(QStringLiteral("\r\n")).toUtf8());
        QVERIFY(modDB::LoadDB(file(QStringLiteral("fixture.qxl"))));
        QCOMPARE(modDB::GetDBString(QStringLiteral("frmNone.cmdMissing")), QString());
        QCOMPARE(modDB::GetDBString(QStringLiteral("frmNone.cmdMissing")), QString());
        QCOMPARE(modDB::GetDBString(QStringLiteral("FRMNONE.cmdmissing")), QString());
        QCOMPARE(modDB::GetDBString(QStringLiteral("frmNone.cmdOther")), QString());
        QCOMPARE(messages.texts(), (QStringList{QStringLiteral("DB:ID not found: 'frmNone.cmdMissing'"),
                                                QStringLiteral("DB:ID not found: 'frmNone.cmdOther'")}));
        const QStringList log = logEntries();
        QCOMPARE(log.count(QStringLiteral("DB:ID not found: 'frmNone.cmdMissing'")), 2);
        QCOMPARE(log.count(QStringLiteral("DB:ID not found: 'FRMNONE.cmdmissing'")), 1);
        QCOMPARE(log.count(QStringLiteral("DB:ID not found: 'frmNone.cmdOther'")), 1);
    }

    void loadingLogsAndEmptyPathEmptiesTable() {
        writeAll(file(QStringLiteral("one.qxl")), "V1\r\nMain_Stat0|An\r\n");
        QVERIFY(modDB::LoadDB(file(QStringLiteral("one.qxl"))));
        QVERIFY(modDB::DBLoaded());
        QVERIFY(modDB::LoadDB(QString()));
        QVERIFY(!modDB::DBLoaded());
        QCOMPARE(logEntries(),
                 (QStringList{"Loading DB...", "---DB Loaded.", "Loading DB...", "---No DB To Load."}));

        QVERIFY(modDB::LoadDB(file(QStringLiteral("one.qxl"))));
        QVERIFY(!modDB::LoadDB(file(QStringLiteral("missing.qxl"))));
        QVERIFY(!modDB::DBLoaded());
    }

    // Only a regular file of sane size is a language table; anything else empties the table at
    // once instead of blocking or reading without end.
    void notAFileEmptiesTable_data() { addNotAFileRows(); }
    void notAFileEmptiesTable() {
        QFETCH(QByteArray, notAFile);
        writeAll(file(QStringLiteral("one.qxl")), "V1\r\nMain_Stat0|An\r\n");
        QVERIFY(modDB::LoadDB(file(QStringLiteral("one.qxl"))));
        QVERIFY(!modDB::LoadDB(makeNotAFile(notAFile, file(QStringLiteral("odd.qxl")))));
        QVERIFY(!modDB::DBLoaded());
        QVERIFY(messages.texts().isEmpty());
    }
    void oversizedFileEmptiesTable() {
        writeAll(file(QStringLiteral("big.qxl")), "Main_Stat0|An\r\n" + QByteArray(8 * 1024 * 1024, 'x'));
        QVERIFY(!modDB::LoadDB(file(QStringLiteral("big.qxl"))));
        QVERIFY(!modDB::DBLoaded());
        writeAll(file(QStringLiteral("big.qxl")),
                 "Main_Stat0|An\r\n" + QByteArray(8 * 1024 * 1024 - 15, 'x'));
        QVERIFY(modDB::LoadDB(file(QStringLiteral("big.qxl")))); // the bound itself is still read
        QCOMPARE(modDB::GetDBString(QStringLiteral("Main_Stat0")), QStringLiteral("An"));
    }

    void loadLangStringsReplacesEveryMessage() {
        QVERIFY(modDB::LoadDB(QString()));
        modLangConst::LoadLangStrings(); // no table: the English stays, nothing is shown
        QCOMPARE(modLangConst::Get(QStringLiteral("Msg_Yes")), QStringLiteral("&Yes"));
        QVERIFY(messages.texts().isEmpty());

        writeAll(file(QStringLiteral("two.qxl")), "3.0.9\r\nMsg_Ok|&Gut\r\nmain_stat0|An|ein\r\n");
        QVERIFY(modDB::LoadDB(file(QStringLiteral("two.qxl"))));
        modLangConst::LoadLangStrings();
        QCOMPARE(modLangConst::Get(QStringLiteral("Msg_Ok")), QStringLiteral("&Gut"));
        QCOMPARE(modLangConst::Get(QStringLiteral("Main_Stat0")), QStringLiteral("An|ein"));
        QCOMPARE(modLangConst::Get(QStringLiteral("Msg_Yes")), QString()); // missing: empty, not English
        QStringList expected;
        for (const QString& key : modLangConst::Keys())
            if (key != QLatin1String("Msg_Ok") && key != QLatin1String("Main_Stat0"))
                expected << QStringLiteral("DB:ID not found: '") + key + QLatin1Char('\'');
        QCOMPARE(messages.texts(), expected);
        QCOMPARE(expected.size(), 69);
        QVERIFY(modDB::LoadDB(QString()));
    }

    // ---- the file dialogs ----

    void filterConversion_data() {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("one pair") << "Text Files (*.txt)|*.txt" << QStringList{"Text Files (*.txt) (*.txt)"};
        QTest::newRow("closing bar not doubled")
            << "Text Files (*.txt)|*.txt|" << QStringList{"Text Files (*.txt) (*.txt)"};
        QTest::newRow("two pairs") << "Rict Text Files (*.rtf)|*.rtf|Text Files (*.txt)|*.txt"
                                   << QStringList{"Rict Text Files (*.rtf) (*.rtf)",
                                                  "Text Files (*.txt) (*.txt)"};
        QTest::newRow("all files include those without extension")
            << "All Files|*.*" << QStringList{"All Files (*)"};
        QTest::newRow("pattern list")
            << "Pictures|*.bmp;*.jpg; *.gif" << QStringList{"Pictures (*.bmp *.jpg *.gif)"};
        QTest::newRow("pattern decides, not description")
            << "Skins (*.txt)|*.qxs" << QStringList{"Skins (*.txt) (*.qxs)"};
        QTest::newRow("description without pattern dropped")
            << "Text|*.txt|Orphan" << QStringList{"Text (*.txt)"};
        QTest::newRow("empty description ends the list") << "A|*.a||*.b|C|*.c" << QStringList{"A (*.a)"};
        QTest::newRow("no filter") << "" << QStringList{};
    }
    void filterConversion() {
        QFETCH(QString, filter);
        QFETCH(QStringList, expected);
        modCommonDialog::ShowOpen(nullptr, filter, QStringLiteral("t"), QString());
        QCOMPARE(dialogs.fileCalls, 1);
        QCOMPARE(dialogs.request.filters, expected);
    }

    void fileDialogRequestAndAnswer() {
        QWidget owner;
        writeAll(file(QStringLiteral("chosen.qxl")), "x");
        // A start that names a file opens in its folder with the file chosen.
        dialogs.answer = {QStringLiteral(" /a path with blanks / and a long name ") + QString(300, 'n') +
                              QStringLiteral(" "),
                          1};
        QCOMPARE(modCommonDialog::ShowOpen(&owner, QStringLiteral("L|*.qxl"),
                                           QStringLiteral("Select A Language File"),
                                           file(QStringLiteral("chosen.qxl"))),
                 dialogs.answer.path); // neither cut nor trimmed
        QCOMPARE(dialogs.request.mode, Dialogs::FileRequest::Mode::Open);
        QCOMPARE(dialogs.request.owner, &owner);
        QCOMPARE(dialogs.request.title, QStringLiteral("Select A Language File"));
        QCOMPARE(dialogs.request.folder, folder);
        QCOMPARE(dialogs.request.file, QStringLiteral("chosen.qxl"));

        // A folder, or a path that does not exist, is given as it stands.
        modCommonDialog::ShowOpen(&owner, QString(), QString(), folder);
        QCOMPARE(dialogs.request.folder, folder);
        QCOMPARE(dialogs.request.file, QString());
        modCommonDialog::ShowOpen(&owner, QString(), QString(), QStringLiteral("/no/such/place"));
        QCOMPARE(dialogs.request.folder, QStringLiteral("/no/such/place"));

        // The save dialog keeps the filter chosen; an open dialog leaves it alone.
        dialogs.answer = {QStringLiteral("/x/chat.txt"), 2};
        QCOMPARE(modCommonDialog::ShowSave(&owner, QStringLiteral("R|*.rtf|T|*.txt"),
                                           QStringLiteral("Export Chat Dialog..."), folder),
                 QStringLiteral("/x/chat.txt"));
        QCOMPARE(dialogs.request.mode, Dialogs::FileRequest::Mode::Save);
        QCOMPARE(modCommonDialog::LastSaveFilter(), qint16(2));
        dialogs.answer = {QString(), 0};
        QCOMPARE(modCommonDialog::ShowOpen(&owner, QString(), QString(), QString()), QString());
        QCOMPARE(modCommonDialog::LastSaveFilter(), qint16(2));
        QCOMPARE(modCommonDialog::ShowSave(&owner, QString(), QString(), QString()), QString());
        QCOMPARE(modCommonDialog::LastSaveFilter(), qint16(0));
    }

    // Qt's own dialog: descriptions shown as written, the patterns decide, the choice returns.
    void realFileDialog() {
        Slot<Dialogs::Service>::Override real(Dialogs::service(), Dialogs::service().byDefault());
        const QString dir = temp.filePath(QStringLiteral("dialog"));
        QVERIFY(QDir().mkpath(dir));
        for (const char* name : {"a.rtf", "b.txt", "c.qxl"})
            writeAll(QDir(dir).filePath(QString::fromLatin1(name)), "x");

        QStringList shown, listed;
        QTimer::singleShot(0, this, [&] {
            auto* dlg = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(dlg);
            // Whatever fails below, the dialog closes and the test goes on.
            struct Closer {
                QFileDialog* d;
                ~Closer() {
                    if (d->isVisible()) d->reject();
                }
            } closer{dlg};
            auto* combo = dlg->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
            QVERIFY(combo);
            for (int i = 0; i < combo->count(); ++i)
                shown << combo->itemText(i);
            dlg->selectNameFilter(dlg->nameFilters().at(1));
            auto* view = dlg->findChild<QListView*>(QStringLiteral("listView"));
            QVERIFY(view);
            QVERIFY(QTest::qWaitFor([&] { return view->model()->rowCount(view->rootIndex()) > 0; }, 10000));
            for (int i = 0; i < view->model()->rowCount(view->rootIndex()); ++i)
                listed << view->model()->index(i, 0, view->rootIndex()).data().toString();
            auto* name = dlg->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            QVERIFY(name);
            name->setText(QStringLiteral("new.qxl")); // as typed by the user
            static_cast<QDialog*>(dlg)->accept();     // QFileDialog::accept takes the typed name
        });
        const QString path = modCommonDialog::ShowSave(
            nullptr, QStringLiteral("Rict Text Files (*.rtf)|*.rtf|Mislabelled (*.txt)|*.qxl"),
            QStringLiteral("Export Chat Dialog..."), dir);
        QCOMPARE(shown, (QStringList{"Rict Text Files (*.rtf)", "Mislabelled (*.txt)"}));
        QCOMPARE(listed, QStringList{"c.qxl"});
        QCOMPARE(path, QDir(dir).filePath(QStringLiteral("new.qxl")));
        QCOMPARE(modCommonDialog::LastSaveFilter(), qint16(2));
    }

    // ---- the folder browser ----

    void folderStart_data() {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("expected");
        QTest::newRow("one trailing slash removed") << "/tmp/Save/"
                                                    << "/tmp/Save";
        QTest::newRow("only one removed") << "/tmp/Save//"
                                          << "/tmp/Save/";
        QTest::newRow("root stays") << "/"
                                    << "/";
        QTest::newRow("no slash") << "/tmp/Save"
                                  << "/tmp/Save";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("file opens its folder") << "<home>/Log.txt"
                                               << "<home>";
    }
    void folderStart() {
        QFETCH(QString, start);
        QFETCH(QString, expected);
        writeAll(file(QStringLiteral("Log.txt")), "x");
        start.replace(QStringLiteral("<home>"), folder);
        expected.replace(QStringLiteral("<home>"), folder);
        dialogs.folderAnswer = QStringLiteral("/chosen folder ");
        QCOMPARE(modGetFld::BrowseForFolder(start, QStringLiteral("Select a folder to save files in:")),
                 QStringLiteral("/chosen folder "));
        QCOMPARE(dialogs.folderStart, expected);
        QCOMPARE(dialogs.folderTitle, QStringLiteral("Select a folder to save files in:"));
    }

    void folderTitleAndCancel() {
        QCOMPARE(modGetFld::BrowseForFolder(QStringLiteral("/tmp"), QString()), QString());
        QCOMPARE(dialogs.folderTitle, QStringLiteral("Please, Select a folder."));
        QCOMPARE(dialogs.folderCalls, 1);
    }

    // ---- the language chooser ----

    void chooserAsLaidOut_data() {
        QTest::addColumn<QString>("lang");
        QTest::newRow("English") << "";
        QTest::newRow("a language file") << "/usr/share/qx3/Deutsch.qxl";
    }
    void chooserAsLaidOut() {
        QFETCH(QString, lang);
        modGlobals::Sets().LANG = lang;
        frmLang form;
        form.show();
        QCOMPARE(form.windowTitle(), QStringLiteral("Set Language for Talkvane3"));
        QCOMPARE(form.Frame->title(), QStringLiteral("Language File"));
        QCOMPARE(form.lblCap->text(),
                 QStringLiteral("IMPORTANT:  If the language file is changed then Talkvane3 will be "
                                "closed and must be manually restarted.  All unsaved changes will be lost."));
        QCOMPARE(form.cmdEng->Caption(), QStringLiteral("&English"));
        QCOMPARE(form.cmdApply->Caption(), QStringLiteral("&Apply (QX3 will close)"));
        QCOMPARE(form.cmdCancel->Caption(), QStringLiteral("&Cancel"));
        QCOMPARE(form.txtLang->text(), lang);
        QCOMPARE(form.txtLang->isVisible(), !lang.isEmpty());
        QCOMPARE(form.cmdEng->isVisible(), !lang.isEmpty());
        QVERIFY(messages.texts().isEmpty());
        // The window's icon, as every window has, with or without a language table.
        QVERIFY(!form.windowIcon().isNull());
        QCOMPARE(form.windowIcon().cacheKey(), frmImgs::Load().icon.cacheKey());
        saveScreenshot(&form,
                       lang.isEmpty() ? QStringLiteral("frmLang-English") : QStringLiteral("frmLang-file"));
    }

    void chooserCaptionsFromLanguageFile() {
        writeAll(file(QStringLiteral("de.qxl")), "3.0.9\r\nfrmLang.Form|Sprache\r\nfrmLang.lblCap|Wichtig\r\n"
                                                 "frmLang.Frame|Sprachdatei\r\nfrmLang.cmdApply|&Anwenden\r\n"
                                                 "frmLang.cmdCancel|A&bbrechen\r\n");
        QVERIFY(modDB::LoadDB(file(QStringLiteral("de.qxl"))));
        frmLang form;
        QCOMPARE(form.windowTitle(), QStringLiteral("Sprache"));
        QCOMPARE(form.lblCap->text(), QStringLiteral("Wichtig"));
        QCOMPARE(form.Frame->title(), QStringLiteral("Sprachdatei"));
        QCOMPARE(form.cmdApply->Caption(), QStringLiteral("&Anwenden"));
        QCOMPARE(form.cmdCancel->Caption(), QStringLiteral("A&bbrechen"));
        QCOMPARE(form.cmdEng->Caption(), QStringLiteral("&English")); // no key of its own
        QCOMPARE(form.windowIcon().cacheKey(), frmImgs::Load().icon.cacheKey());
        QVERIFY(messages.texts().isEmpty());
    }

    void chooserBrowse_data() {
        QTest::addColumn<QString>("lang");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("expectedFolder");
        QTest::addColumn<QString>("expectedFile");
        QTest::newRow("from the program folder") << ""
                                                 << "/l/fr.qxl"
                                                 << "<home>"
                                                 << "";
        QTest::newRow("from the current file") << "<home>/de.qxl"
                                               << "/l/fr.qxl"
                                               << "<home>"
                                               << "de.qxl";
        QTest::newRow("cancelled from English") << ""
                                                << ""
                                                << "<home>"
                                                << "";
        QTest::newRow("cancelled from a file") << "<home>/de.qxl"
                                               << ""
                                               << "<home>"
                                               << "de.qxl";
    }
    void chooserBrowse() {
        QFETCH(QString, lang);
        QFETCH(QString, answer);
        QFETCH(QString, expectedFolder);
        QFETCH(QString, expectedFile);
        writeAll(file(QStringLiteral("de.qxl")), "3.0.9\r\n");
        lang.replace(QStringLiteral("<home>"), folder);
        expectedFolder.replace(QStringLiteral("<home>"), folder);
        modGlobals::Sets().LANG = lang;
        dialogs.answer = {answer, answer.isEmpty() ? 0 : 1};
        frmLang form;
        form.show();
        click(form.cmdBrw);
        QCOMPARE(dialogs.fileCalls, 1);
        QCOMPARE(dialogs.request.owner, &form);
        QCOMPARE(dialogs.request.mode, Dialogs::FileRequest::Mode::Open);
        QCOMPARE(dialogs.request.title, QStringLiteral("Select A Language File"));
        QCOMPARE(dialogs.request.filters, QStringList{"Talkvane3 Language Files (*.qxl) (*.qxl)"});
        QCOMPARE(dialogs.request.folder, expectedFolder);
        QCOMPARE(dialogs.request.file, expectedFile);
        const QString shown = answer.isEmpty() ? lang : answer;
        QCOMPARE(form.txtLang->text(), shown);
        QCOMPARE(form.txtLang->isVisible(), !shown.isEmpty());
        QCOMPARE(form.cmdEng->isVisible(), !shown.isEmpty());
    }

    void applyAfterBrowseSavesAndEnds() {
        modGlobals::Sets().UNAME = QStringLiteral("Ann");
        dialogs.answer = {QStringLiteral("/l/Fran\u00e7ais.qxl"), 1};
        auto* caller = new QWidget;
        caller->show();
        QPointer<QWidget> callerGuard(caller);
        // The end comes last: after the save and after the calling window has closed.
        bool savedBeforeEnd = false, closedBeforeEnd = false;
        env.end.onTerminate = [&] {
            savedBeforeEnd = QFileInfo::exists(file(QStringLiteral("User.con")));
            closedBeforeEnd = callerGuard && !callerGuard->isVisible();
        };
        whenChooserShown(this, [](frmLang* form) {
            click(form->cmdBrw);
            click(form->cmdApply);
        });
        modAppFnc::ShowLangDialog(caller);
        env.end.onTerminate = nullptr;
        QCOMPARE(terminated, 1);
        QVERIFY(savedBeforeEnd);
        QVERIFY(closedBeforeEnd);
        QCOMPARE(modGlobals::Sets().LANG, QStringLiteral("/l/Fran\u00e7ais.qxl"));
        QTRY_VERIFY(callerGuard.isNull());
        modGlobals::Sets() = modGlobals::Settings{};
        QVERIFY(modSettings::LoadSettings());
        QCOMPARE(modGlobals::Sets().LANG, QStringLiteral("/l/Fran\u00e7ais.qxl"));
        QCOMPARE(modGlobals::Sets().UNAME, QStringLiteral("Ann"));
        QVERIFY(logEntries().contains(QStringLiteral("---Settings saved.")));
    }

    void applyEnglishSavesEmptyLanguage() {
        modGlobals::Sets().LANG = file(QStringLiteral("de.qxl"));
        auto* caller = new QWidget;
        caller->show();
        QPointer<QWidget> callerGuard(caller);
        whenChooserShown(this, [](frmLang* form) {
            QVERIFY(form->windowFlags() & Qt::WindowStaysOnTopHint);
            click(form->cmdEng);
            QVERIFY(!form->txtLang->isVisible());
            QCOMPARE(form->txtLang->text(), QString());
            QVERIFY(!form->cmdEng->isVisible());
            click(form->cmdApply);
        });
        modAppFnc::ShowLangDialog(caller);
        QCOMPARE(terminated, 1);
        QCOMPARE(modGlobals::Sets().LANG, QString());
        QTRY_VERIFY(callerGuard.isNull()); // the calling window is unloaded
        modGlobals::Sets().LANG = QStringLiteral("x");
        QVERIFY(modSettings::LoadSettings());
        QCOMPARE(modGlobals::Sets().LANG, QString());
        QTRY_VERIFY(!chooserExists()); // unloaded
    }

    void everyOtherWayOutChangesNothing_data() {
        QTest::addColumn<int>("way");
        QTest::newRow("Cancel") << 0;
        QTest::newRow("close box") << 1;
        QTest::newRow("Esc") << 2;
    }
    void everyOtherWayOutChangesNothing() {
        QFETCH(int, way);
        const QString lang = file(QStringLiteral("de.qxl"));
        modGlobals::Sets().LANG = lang;
        QWidget caller;
        caller.show();
        whenChooserShown(this, [way](frmLang* form) {
            click(form->cmdEng); // a change made, then thrown away
            if (way == 0)
                click(form->cmdCancel);
            else if (way == 1)
                form->close();
            else
                QTest::keyClick(form, Qt::Key_Escape);
        });
        modAppFnc::ShowLangDialog(&caller);
        QCOMPARE(terminated, 0);
        QCOMPARE(modGlobals::Sets().LANG, lang);
        QVERIFY(!QFileInfo::exists(file(QStringLiteral("User.con"))));
        QVERIFY(caller.isVisible());
        QTRY_VERIFY(!chooserExists()); // unloaded
    }
};

QTEST_MAIN(TestLanguage)
#include "tst_language.moc"
