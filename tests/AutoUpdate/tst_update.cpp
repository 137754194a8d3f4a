// The update program's windows over a local web site: refreshing the lists, installing updates
// and skins, transfers that fail or are stopped, names from the list that would leave the program
// folder, and the way between the intro and the main window; and the installer without a window.
// Run from a copy, started with QX3_HOME naming another folder as the messenger starts it:
// programs go beside the program, the list's copies, language files and skins into the data
// folder.
#include "AutoUpdate/Installer.h"
#include "AutoUpdate/frmIntro.h"
#include "AutoUpdate/frmMain.h"
#include "AutoUpdate/modMain.h"
#include "platform/VersionBlock.h"
#include "support/FromCopy.h"
#include "support/HttpServer.h"
#include "support/PlatformHeadless.h"
#include "support/Screenshot.h"
#include "support/Steps.h"
#include "support/TestEnv.h"
#include "support/TestFiles.h"

#include <QCheckBox>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>
#include <memory>
#include <optional>

using namespace AutoUpdate;

Q_DECLARE_METATYPE(HttpServer::Reply)

namespace {
const QString kUpdatesPath = QStringLiteral("/support/qx3/update/updates/qx3.upd");
const QString kSkinsPath = QStringLiteral("/support/qx3/update/skins/skins.ups");

QByteArray pattern(qsizetype n, char salt = 0) {
    QByteArray b(n, Qt::Uninitialized);
    for (qsizetype i = 0; i < n; ++i)
        b[i] = char((i * 13 + salt) & 0xFF);
    return b;
}

// Every file under a folder with its bytes, to see that nothing else changed; and beside the
// program, where the executable itself is left out.
QMap<QString, QByteArray> snapshot(const QString& folder) {
    QMap<QString, QByteArray> out;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString f = it.next();
        out[QDir(folder).relativeFilePath(f)] = readAll(f);
    }
    if (folder != TestEnv::FromCopy::folder()) {
        QMap<QString, QByteArray> programs = snapshot(TestEnv::FromCopy::folder());
        programs.remove(QFileInfo(QCoreApplication::applicationFilePath()).fileName());
        for (auto it = programs.cbegin(); it != programs.cend(); ++it)
            out[QStringLiteral("<programs>/") + it.key()] = it.value();
    }
    return out;
}

// What an installer reports, in order.
struct InstallRecorder : Installer::Listener {
    QStringList statuses;
    QList<qint16> percents;
    QStringList texts;
    std::function<void()> onProgress;
    void status(const QString& text) override { statuses << text; }
    void progress(qint16 percent, const QString& text) override {
        percents << percent;
        texts << text;
        if (onProgress) onProgress();
    }
};
} // namespace

class TestUpdate : public QObject {
    Q_OBJECT
    TestEnv::PlatformHeadless env{QStringLiteral("prog")};
    QString prog_; // the data folder, inside the guard's folder so that escapes would show
    std::unique_ptr<HttpServer> server_;

    // In the data folder, and beside the program (where kinds 1 and 2 go).
    QString path(const QString& rel) const { return QDir(prog_).filePath(rel); }
    static QString bin(const QString& rel) { return QDir(TestEnv::FromCopy::folder()).filePath(rel); }
    static void putAt(const QString& file, const QByteArray& bytes) {
        QDir().mkpath(QFileInfo(file).absolutePath());
        writeAll(file, bytes);
    }
    void put(const QString& rel, const QByteArray& bytes) { putAt(path(rel), bytes); }
    // One list record; the source is on the test's server.
    QByteArray record(const QString& title, const QString& source, const QString& folder, int kind,
                      const QString& extra = {}, const QString& endFlag = QStringLiteral("False"),
                      const QString& version = QStringLiteral("-")) const {
        return QStringLiteral("%1|About %1|%2%3|%4|\\|%5|%6|1 KB|%7|%8\r\n")
            .arg(title, server_->host(), source, folder)
            .arg(kind)
            .arg(version, extra, endFlag)
            .toLatin1();
    }
    frmMain* refreshed(bool skins) {
        modMain::Run().SkinsMode = skins;
        frmMain* w = frmMain::Load();
        w->cmdRefresh_Click();
        return w;
    }
    bool select(frmMain* w, const QString& title) {
        const QList<QListWidgetItem*> found = w->lstUpdates->findItems(title, Qt::MatchExactly);
        if (found.isEmpty()) return false;
        found.first()->setSelected(true);
        return true;
    }
    // "stop" clicks Stop Download, "exit" clicks Exit, "escape" presses it, "close" closes the
    // window.
    static void interruptDownload(frmMain* w, const QString& how) {
        if (how == QLatin1String("stop"))
            QTest::mouseClick(w->cmdCancel, Qt::LeftButton);
        else if (how == QLatin1String("exit"))
            QTest::mouseClick(w->cmdEnd, Qt::LeftButton);
        else if (how == QLatin1String("escape"))
            QTest::keyClick(w, Qt::Key_Escape);
        else
            w->close();
    }
    // Whether an interruption ends the program.
    static bool ends(const QString& how) {
        return how == QLatin1String("close") || how == QLatin1String("exit");
    }
    QStringList fileRequests() const {
        QStringList out;
        for (const QString& r : server_->requests)
            if (r != kUpdatesPath && r != kSkinsPath) out << r;
        return out;
    }

  private slots:
    void init() {
        env.reset();
        TestEnv::FromCopy::empty();
        prog_ = env.folder();
        server_ = std::make_unique<HttpServer>();
        QVERIFY(server_->listening());
        qputenv("QX3_UPDATE_SITE", server_->base().toLatin1());
        modMain::Run() = modMain::Values();
        constexpr auto block = VersionBlock::Build<3, 0, 9>();
        putAt(bin(QStringLiteral("QX3")),
              QByteArray("\x7F"
                         "ELF....") +
                  QByteArray(reinterpret_cast<const char*>(block.data()), qsizetype(block.size())));
    }
    void cleanup() {
        delete frmMain::Loaded();
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<frmIntro*>(w)) delete w;
        server_.reset();
    }

    void refreshKeepsALocalCopyAndReusesIt() {
        const QByteArray list =
            record(QStringLiteral("Tool"), QStringLiteral("/files/tool.sh"), QStringLiteral("\\"), 2) +
            record(QStringLiteral("Upgrade"), QStringLiteral("/files/QX3"), QStringLiteral("\\"), 1, {},
                   QStringLiteral("False"), QStringLiteral("3.1.0")) +
            // Older than the messenger beside the program, so not offered.
            record(QStringLiteral("Older"), QStringLiteral("/files/QX3"), QStringLiteral("\\"), 1, {},
                   QStringLiteral("False"), QStringLiteral("3.0.8"));
        server_->route(kUpdatesPath.toLatin1(), list);
        modMain::Run().SkinsMode = false;
        frmMain* w = frmMain::Load();
        w->Display();
        // Opening fetches the list once.
        QTRY_COMPARE(w->LBLstatus->text(), QStringLiteral("Updates listing complete"));
        TestEnv::settle();
        QCOMPARE(server_->requests, QStringList{kUpdatesPath});
        QCOMPARE(w->Lists.lstUpdates, (QStringList{QStringLiteral("Tool"), QStringLiteral("Upgrade")}));
        QCOMPARE(readAll(path(QStringLiteral("qx3.upd"))), list);
        QCOMPARE(w->Frame1->title(), QStringLiteral("Updates for Talkvane version 3.00.0009"));
        QCOMPARE(w->LBL->text(), QStringLiteral("Update Talkvane"));
        QVERIFY(w->lstUpdates->isEnabled());
        QVERIFY(select(w, QStringLiteral("Tool")));
        QVERIFY(w->cmdDownload->isEnabled());
        QCOMPARE(w->lblSource->text(), server_->host() + QStringLiteral("/files/tool.sh"));
        // A program's target is beside the program, not in the data folder.
        QCOMPARE(w->lblTarget->text(), TestEnv::FromCopy::folder() + QLatin1Char('/'));
        QCOMPARE(w->txtDes->toPlainText(), QStringLiteral("About Tool"));
        saveScreenshot(w, QStringLiteral("update-main"));

        // Only program upgrades, then everything again, from the copy.
        w->CHKupdates->click();
        QCOMPARE(w->Lists.lstUpdates, QStringList{QStringLiteral("Upgrade")});
        w->CHKupdates->click();
        QCOMPARE(w->Lists.lstUpdates, (QStringList{QStringLiteral("Tool"), QStringLiteral("Upgrade")}));
        QCOMPARE(server_->requests.size(), 1);

        // A failed fetch shows box 5 and keeps the copy.
        HttpServer::Reply gone;
        gone.status = 404;
        server_->route(kUpdatesPath.toLatin1(), gone);
        w->cmdRefresh_Click();
        QCOMPARE(env.boxes.titles(), QStringList{QStringLiteral("Unable to go online")});
        QVERIFY(env.boxes.shown.back().text.endsWith(QStringLiteral("\r\n\r\nError code 5")));
        QCOMPARE(env.boxes.shown.back().icon, MsgBox::Icon::Warning);
        QCOMPARE(readAll(path(QStringLiteral("qx3.upd"))), list);
        QVERIFY(!w->cmdRefresh->isEnabled());
        HttpServer::Reply cut;
        cut.body = list;
        cut.sendOnly = list.size() / 2;
        server_->route(kUpdatesPath.toLatin1(), cut);
        w->cmdRefresh_Click();
        QCOMPARE(env.boxes.shown.size(), size_t(2));
        QCOMPARE(readAll(path(QStringLiteral("qx3.upd"))), list);
    }

    void malformedVersionIsBox6() {
        server_->route(kUpdatesPath.toLatin1(),
                       record(QStringLiteral("Bad"), QStringLiteral("/f"), QStringLiteral("\\"), 1, {},
                              QStringLiteral("False"), QStringLiteral("3.1")));
        refreshed(false);
        QCOMPARE(env.boxes.shown.size(), size_t(1));
        QVERIFY(env.boxes.shown.at(0).text.endsWith(QStringLiteral("Error code 6")));
    }

    void installsAProgramAndRunsIt() {
        QByteArray script = "#!/bin/sh\necho \"$#\" > \"$(dirname \"$0\")/ran\"\nexit 0\n#";
        script += QByteArray(3 * 1024 + 1 - script.size(), '#');
        server_->route("/files/tool.sh", script);
        server_->route(
            kUpdatesPath.toLatin1(),
            record(QStringLiteral("Tool"), QStringLiteral("/files/tool.sh"), QStringLiteral("\\"), 2,
                   QStringLiteral("Run it now")) +
                record(QStringLiteral("Other"), QStringLiteral("/files/other"), QStringLiteral("\\"), 2));
        frmMain* w = refreshed(false);
        QVERIFY(select(w, QStringLiteral("Tool")));
        env.boxes.answers = {MsgBox::Answer::Yes};
        w->cmdDownload->click();
        QCOMPARE(readAll(bin(QStringLiteral("tool.sh"))), script);
        QVERIFY(QFileInfo(bin(QStringLiteral("tool.sh"))).isExecutable());
        QVERIFY(!QFileInfo::exists(path(QStringLiteral("tool.sh"))));
        QCOMPARE(env.boxes.titles(), QStringList{QStringLiteral("Success")});
        QCOMPARE(env.boxes.shown.at(0).text,
                 QStringLiteral("Update successfully downloaded and installed.\r\n\r\nRun it now"));
        QCOMPARE(env.boxes.shown.at(0).buttons, MsgBox::Buttons::YesNo);
        QCOMPARE(w->Lists.lstUpdates, QStringList{QStringLiteral("Other")});
        QCOMPARE(w->Lists.lstUDL.size(), 1);
        QCOMPARE(w->lblSource->text(), QStringLiteral("*"));
        QVERIFY(select(w, QStringLiteral("Other")));
        QCOMPARE(w->lblSource->text(), server_->host() + QStringLiteral("/files/other"));
        QCOMPARE(w->txtDes->toPlainText(), QStringLiteral("About Other"));
        QCOMPARE(w->lblP->text(), QStringLiteral("0% downloaded"));
        QVERIFY(!w->Dload);
        QVERIFY(w->cmdEnd->isEnabled() && w->cmdRefresh->isEnabled() && w->lstUpdates->isEnabled());
        QCOMPARE(env.end.ended, 0);
        QCOMPARE(fileRequests(), QStringList{QStringLiteral("/files/tool.sh")});
        // Started with no arguments.
        QTRY_COMPARE_WITH_TIMEOUT(readAll(bin(QStringLiteral("ran"))), QByteArray("0\n"), 10000);
    }

    void endFlagEndsAfterNo() {
        server_->route("/files/QX3", pattern(5000));
        server_->route(kUpdatesPath.toLatin1(),
                       record(QStringLiteral("Upgrade"), QStringLiteral("/files/QX3"), QStringLiteral("\\"),
                              1, {}, QStringLiteral("True"), QStringLiteral("3.0.10")));
        frmMain* w = refreshed(false);
        QVERIFY(select(w, QStringLiteral("Upgrade")));
        env.boxes.answers = {MsgBox::Answer::No};
        w->cmdDownload->click();
        QCOMPARE(readAll(bin(QStringLiteral("QX3"))), pattern(5000));
        QVERIFY(!QFileInfo::exists(path(QStringLiteral("QX3"))));
        QCOMPARE(env.boxes.titles(), QStringList{QStringLiteral("Success")});
        QCOMPARE(env.end.ended, 1);
    }

    void installsASkinWithItsPicture() {
        server_->route("/skins/Blue.qxs", "Blue.gif,1,2,3,4,5,1,0,0,3\r\n");
        server_->route("/skins/Blue.gif", pattern(2500, 3));
        server_->route(kSkinsPath.toLatin1(), record(QStringLiteral("Blue"), QStringLiteral("/skins/Blue"),
                                                     QStringLiteral("\\Skins"), 4, QStringLiteral(".gif")));
        frmMain* w = refreshed(true);
        QVERIFY(select(w, QStringLiteral("Blue")));
        w->cmdDownload->click();
        QCOMPARE(fileRequests(),
                 (QStringList{QStringLiteral("/skins/Blue.qxs"), QStringLiteral("/skins/Blue.gif")}));
        QCOMPARE(readAll(path(QStringLiteral("Skins/Blue.qxs"))),
                 QByteArray("Blue.gif,1,2,3,4,5,1,0,0,3\r\n"));
        QCOMPARE(readAll(path(QStringLiteral("Skins/Blue.gif"))), pattern(2500, 3));
        QCOMPARE(env.boxes.titles(), QStringList{QStringLiteral("Success")});
        QVERIFY(env.boxes.shown.at(0).text.contains(QStringLiteral("/Talkvane/Skins/")));
        QCOMPARE(w->Lists.lstUpdates, QStringList{QStringLiteral("All skins installed")});
        QVERIFY(!w->lstUpdates->isEnabled());
    }

    // A language file goes into Lang; the filter then finds its version and drops the record.
    void installsALanguageFile() {
        server_->route("/lang/French.qxl", "2.0\r\nMsg_Ok,D'accord\r\n");
        server_->route(kUpdatesPath.toLatin1(),
                       record(QStringLiteral("French"), QStringLiteral("/lang/French.qxl"),
                              QStringLiteral("\\Lang"), 3, {}, QStringLiteral("False"),
                              QStringLiteral("2.0")));
        frmMain* w = refreshed(false);
        QVERIFY(select(w, QStringLiteral("French")));
        w->cmdDownload->click();
        QCOMPARE(readAll(path(QStringLiteral("Lang/French.qxl"))), QByteArray("2.0\r\nMsg_Ok,D'accord\r\n"));
        QVERIFY(!QFileInfo::exists(bin(QStringLiteral("Lang"))));
        QCOMPARE(env.boxes.titles(), QStringList{QStringLiteral("Success")});
        QCOMPARE(env.boxes.shown.at(0).buttons, MsgBox::Buttons::Ok);
        QVERIFY(env.boxes.shown.at(0).text.contains(QStringLiteral("/Talkvane/Lang/")));
        QCOMPARE(w->Lists.lstUpdates, QStringList{QStringLiteral("All updates installed")});
        QVERIFY(!w->lstUpdates->isEnabled());
    }

    void failedOrStoppedTransfersKeepTheOldFile_data() {
        QTest::addColumn<HttpServer::Reply>("reply");
        QTest::addColumn<QString>("interrupt"); // "", "stop" or "close" while it trickles
        QTest::addColumn<QString>("status");
        HttpServer::Reply r;
        r.body = pattern(4096, 9);
        HttpServer::Reply missing = r;
        missing.status = 404;
        QTest::newRow("404") << missing << ""
                             << "Download failed";
        HttpServer::Reply shortBody = r;
        shortBody.sendOnly = 3000;
        QTest::newRow("short body") << shortBody << ""
                                    << "Download failed";
        HttpServer::Reply stall = shortBody;
        stall.closeAfter = false;
        QTest::newRow("stall") << stall << ""
                               << "Download failed";
        HttpServer::Reply stallNoLength = stall;
        stallNoLength.contentLength = false;
        QTest::newRow("stall without a length") << stallNoLength << ""
                                                << "Download failed";
        HttpServer::Reply trickle = r;
        trickle.trickleMs = 20;
        trickle.trickleBytes = 16;
        QTest::newRow("stopped") << trickle << "stop"
                                 << "Download canceled";
        QTest::newRow("window closed") << trickle << "close"
                                       << "Download canceled";
        QTest::newRow("exit") << trickle << "exit"
                              << "Download canceled";
        QTest::newRow("escape") << trickle << "escape"
                                << "Download canceled";
    }
    void failedOrStoppedTransfersKeepTheOldFile() {
        QFETCH(HttpServer::Reply, reply);
        QFETCH(QString, interrupt);
        QFETCH(QString, status);
        const ShortIdleTimeout stalls(!reply.closeAfter, 600);
        server_->route("/files/tool.sh", reply);
        server_->route(kUpdatesPath.toLatin1(),
                       record(QStringLiteral("Tool"), QStringLiteral("/files/tool.sh"),
                              QStringLiteral("\\Bin"), 1, {}, QStringLiteral("True")));
        putAt(bin(QStringLiteral("Bin/tool.sh")), "old");
        putAt(bin(QStringLiteral("Bin/keep")), "k");
        frmMain* w = refreshed(false);
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w));
        QVERIFY(select(w, QStringLiteral("Tool")));
        const QMap<QString, QByteArray> before = snapshot(prog_);
        // The real end ends the process where it is called: nothing may be left to clean up then.
        std::optional<QMap<QString, QByteArray>> atEnd;
        env.end.onEnd = [&] { atEnd = snapshot(prog_); };
        // Once the file is on its way, the download is stopped or its window closed.
        Steps interrupting;
        bool downloading = false, locked = false;
        if (!interrupt.isEmpty()) {
            interrupting.add([&] {
                if (!server_->requests.contains(QStringLiteral("/files/tool.sh"))) return false;
                downloading = w->Dload;
                // Exit stays: it stops the download too.
                locked = w->cmdEnd->isEnabled() && !w->lstUpdates->isEnabled() &&
                         !w->cmdRefresh->isEnabled() && !w->CMDother->isEnabled();
                interruptDownload(w, interrupt);
                return true;
            });
            interrupting.start(TestEnv::kNetWait, [w] { w->cmdCancel->click(); });
        }
        w->cmdDownload->click();
        if (!interrupt.isEmpty()) {
            QVERIFY2(interrupting.wait(), "the file was never asked for");
            QVERIFY(downloading);
            QVERIFY(locked);
        }
        QCOMPARE(w->LBLstatus->text(), status);
        QCOMPARE(snapshot(prog_), before); // the old file, and no temporary file
        QVERIFY(env.boxes.shown.empty());
        QCOMPARE(env.end.ended, ends(interrupt) ? 1 : 0);
        if (atEnd) QCOMPARE(*atEnd, before);
        QCOMPARE(w->Lists.lstUpdates, QStringList{QStringLiteral("Tool")});
        QVERIFY(!w->Dload);
        QVERIFY(w->cmdEnd->isEnabled() && w->cmdRefresh->isEnabled() && w->CMDother->isEnabled());
        QVERIFY(w->lstUpdates->isEnabled());
        QCOMPARE(w->lblP->text(), QStringLiteral("0% downloaded"));
        // The record can be chosen and fetched again.
        QVERIFY(select(w, QStringLiteral("Tool")));
        QVERIFY(w->cmdDownload->isEnabled());
    }

    void aTransferWithoutALengthInstalls() {
        HttpServer::Reply r;
        r.body = pattern(3000);
        r.contentLength = false;
        server_->route("/files/tool.sh", r);
        server_->route(
            kUpdatesPath.toLatin1(),
            record(QStringLiteral("Tool"), QStringLiteral("/files/tool.sh"), QStringLiteral("\\"), 2));
        frmMain* w = refreshed(false);
        QVERIFY(select(w, QStringLiteral("Tool")));
        env.boxes.answers = {MsgBox::Answer::No};
        w->cmdDownload->click();
        QCOMPARE(readAll(bin(QStringLiteral("tool.sh"))), r.body);
        QVERIFY(!QFileInfo(bin(QStringLiteral("tool.sh"))).isExecutable());
        QCOMPARE(env.boxes.titles(), QStringList{QStringLiteral("Success")});
    }

    // Stopping a skin's download, or closing the window during it, leaves the installed skin as
    // it was: only the temporary files go, before the program ends.
    void stoppedSkinDownloadKeepsTheInstalledSkin_data() {
        QTest::addColumn<QString>("interrupt");
        QTest::newRow("stopped") << "stop";
        QTest::newRow("window closed") << "close";
        QTest::newRow("exit") << "exit";
        QTest::newRow("escape") << "escape";
    }
    void stoppedSkinDownloadKeepsTheInstalledSkin() {
        QFETCH(QString, interrupt);
        server_->route("/skins/Red.qxs", "Red.bmp,1,2,3,4,5,1,0,0,3\r\n");
        HttpServer::Reply slow;
        slow.body = pattern(8000);
        slow.trickleMs = 20;
        slow.trickleBytes = 16;
        server_->route("/skins/Red.bmp", slow);
        server_->route(kSkinsPath.toLatin1(), record(QStringLiteral("Red"), QStringLiteral("/skins/Red"),
                                                     QStringLiteral("\\Skins"), 4, QStringLiteral(".bmp")));
        // Pictures of that name from before (a skin file of that name would take it off the list).
        for (const char* ext : {".bmp", ".jpg", ".gif", ".png"})
            put(QStringLiteral("Skins/Red") + QLatin1String(ext), QByteArray("old ") + ext);
        frmMain* w = refreshed(true);
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w));
        QVERIFY(select(w, QStringLiteral("Red")));
        const QMap<QString, QByteArray> before = snapshot(prog_);
        std::optional<QMap<QString, QByteArray>> atEnd;
        env.end.onEnd = [&] { atEnd = snapshot(prog_); };
        // Once the picture is on its way.
        Steps interrupting;
        bool downloading = false;
        interrupting.add([&] {
            if (!server_->requests.contains(QStringLiteral("/skins/Red.bmp"))) return false;
            downloading = w->Dload;
            interruptDownload(w, interrupt);
            return true;
        });
        interrupting.start(TestEnv::kNetWait, [w] { w->cmdCancel->click(); });
        w->cmdDownload->click();
        QVERIFY2(interrupting.wait(), "the picture was never asked for");
        QVERIFY(downloading);
        QCOMPARE(w->LBLstatus->text(), QStringLiteral("Download canceled"));
        QCOMPARE(snapshot(prog_), before);
        QVERIFY(env.boxes.shown.empty());
        QCOMPARE(env.end.ended, ends(interrupt) ? 1 : 0);
        if (ends(interrupt)) {
            QVERIFY(atEnd.has_value());
            QCOMPARE(*atEnd, before);
        }
    }

    void namesFromTheListStayInTheProgramFolder_data() {
        QTest::addColumn<bool>("skins");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("extra");
        QTest::newRow("target climbs") << false << "/files/evil"
                                       << "\\..\\.."
                                       << "";
        QTest::newRow("target climbs inside") << false << "/files/evil"
                                              << "\\Bin\\..\\..\\x"
                                              << "";
        QTest::newRow("drive") << false << "/files/evil"
                               << "C:\\Windows"
                               << "";
        QTest::newRow("no file name") << false << "/files/"
                                      << "\\"
                                      << "";
        QTest::newRow("file name climbs") << false << "/files/.."
                                          << "\\"
                                          << "";
        QTest::newRow("backslash name") << false << "/files/..\\..\\evil"
                                        << "\\"
                                        << "";
        QTest::newRow("skin picture climbs") << true << "/skins/S"
                                             << "\\Skins"
                                             << "/../../evil";
        QTest::newRow("skin picture no extension") << true << "/skins/S"
                                                   << "\\Skins"
                                                   << "..";
        QTest::newRow("skin target climbs") << true << "/skins/S"
                                            << "\\..\\.."
                                            << ".bmp";
        // Control characters, refused as a file transfer refuses them.
        QTest::newRow("tab in the target") << false << "/files/evil"
                                           << "\\Bin\\a\tb"
                                           << "";
        QTest::newRow("line end in the skin target") << true << "/skins/S"
                                                     << "\\Skins\\x\ny"
                                                     << ".bmp";
        QTest::newRow("control character in the file name") << false << "/files/ev\x01il"
                                                            << "\\"
                                                            << "";
    }
    void namesFromTheListStayInTheProgramFolder() {
        QFETCH(bool, skins);
        QFETCH(QString, source);
        QFETCH(QString, folder);
        QFETCH(QString, extra);
        server_->route((skins ? kSkinsPath : kUpdatesPath).toLatin1(),
                       record(QStringLiteral("Evil"), source, folder, skins ? 4 : 2, extra));
        frmMain* w = refreshed(skins);
        QVERIFY(select(w, QStringLiteral("Evil")));
        put(QStringLiteral("Skins/keep"), "k"); // the folders the download creates
        put(QStringLiteral("Lang/keep"), "k");
        const QMap<QString, QByteArray> before = snapshot(env.home.path());
        w->cmdDownload->click();
        QCOMPARE(w->LBLstatus->text(), QStringLiteral("Download failed"));
        QCOMPARE(fileRequests(), QStringList());
        QCOMPARE(snapshot(env.home.path()), before);
        QVERIFY(env.boxes.shown.empty());
    }

    void downloadWithoutASelectionLeavesTheWindowUsable() {
        server_->route(kUpdatesPath.toLatin1(),
                       record(QStringLiteral("Tool"), QStringLiteral("/files/t"), QStringLiteral("\\"), 2));
        frmMain* w = refreshed(false);
        w->cmdDownload_Click();
        QCOMPARE(env.boxes.titles(), QStringList{QStringLiteral("Error")});
        QCOMPARE(env.boxes.shown.at(0).text,
                 QStringLiteral("You must select a update to download and install"));
        QVERIFY(!w->Dload);
        QVERIFY(w->cmdEnd->isEnabled() && w->lstUpdates->isEnabled() && w->cmdRefresh->isEnabled());
        QVERIFY(w->fraDown->isHidden());
    }

    // Exit, the close box and Escape end the list's fetch at once, the only controls that act
    // while it runs: Exit and the close box end the program with nothing kept, Escape fails the
    // refresh as a lost connection does.
    void userEndsTheListFetch_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("exit") << "exit";
        QTest::newRow("close box") << "close";
        QTest::newRow("escape") << "escape";
    }
    void userEndsTheListFetch() {
        QFETCH(QString, how);
        HttpServer::Reply drip;
        drip.body = record(QStringLiteral("Tool"), QStringLiteral("/files/t"), QStringLiteral("\\"), 2);
        drip.trickleMs = 2000; // the whole list would take minutes
        drip.trickleBytes = 1;
        server_->route(kUpdatesPath.toLatin1(), drip);
        modMain::Run().SkinsMode = false;
        frmMain* w = frmMain::Load();
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w));
        Steps ending;
        bool locked = false;
        ending.add([&] {
            if (!server_->requests.contains(kUpdatesPath)) return false;
            locked = !w->CMDother->isEnabled() && !w->CHKupdates->isEnabled() &&
                     !w->cmdRefresh->isEnabled() && !w->lstUpdates->isEnabled() && w->cmdEnd->isEnabled();
            if (how == QLatin1String("exit"))
                QTest::mouseClick(w->cmdEnd, Qt::LeftButton);
            else if (how == QLatin1String("close"))
                w->close();
            else
                QTest::keyClick(w, Qt::Key_Escape);
            return true;
        });
        ending.start(TestEnv::kNetWait, [w] { w->INet.Cancel(); });
        QElapsedTimer clock;
        clock.start();
        w->cmdRefresh_Click();
        QVERIFY2(ending.wait(), "the list was never asked for");
        QVERIFY(clock.elapsed() < TestEnv::kNetWait);
        QVERIFY(locked);
        QVERIFY(!w->INet.Blocking());
        QVERIFY(!QFileInfo::exists(path(QStringLiteral("qx3.upd"))));
        QVERIFY(w->Lists.lstUDL.isEmpty());
        if (how == QLatin1String("escape")) {
            QCOMPARE(env.end.ended, 0);
            QCOMPARE(env.boxes.titles(), QStringList{QStringLiteral("Unable to go online")});
            QVERIFY(env.boxes.shown.back().text.endsWith(QStringLiteral("Error code 5")));
            QVERIFY(w->isVisible());
            QVERIFY(w->CMDother->isEnabled() && w->cmdEnd->isEnabled());
        } else {
            QCOMPARE(env.end.ended, 1);
            QVERIFY(env.boxes.shown.empty());
            QVERIFY(!w->isVisible());
        }
    }

    // A server that drips keeps nothing waiting for ever: the list's fetch ends at its limit in
    // all, a download at the floor of progress; one slow above the floor still installs.
    void drippingServersEndAsFailures_data() {
        QTest::addColumn<bool>("list"); // the list drips, else the file
        QTest::addColumn<int>("trickleBytes");
        QTest::addColumn<QString>("status");
        QTest::newRow("list drips") << true << 1 << "";
        QTest::newRow("download drips") << false << 1 << "Download failed";
        // The list's filter runs after an installation.
        QTest::newRow("download slow, above the floor") << false << 512 << "Updates listing complete";
    }
    void drippingServersEndAsFailures() {
        QFETCH(bool, list);
        QFETCH(int, trickleBytes);
        QFETCH(QString, status);
        const ShortLimits limits;
        HttpServer::Reply slow;
        slow.trickleMs = 20;
        slow.trickleBytes = trickleBytes;
        // A program upgrade, offered although a file of its name is there.
        const QByteArray rec =
            record(QStringLiteral("Tool"), QStringLiteral("/files/tool.sh"), QStringLiteral("\\"), 1);
        if (list) {
            slow.body = rec + QByteArray(20000, '#'); // minutes at a byte a tick
            server_->route(kUpdatesPath.toLatin1(), slow);
            frmMain* w = refreshed(false);
            QCOMPARE(env.boxes.titles(), QStringList{QStringLiteral("Unable to go online")});
            QVERIFY(env.boxes.shown.back().text.endsWith(QStringLiteral("Error code 5")));
            QVERIFY(w->Lists.lstUDL.isEmpty());
            return;
        }
        slow.body = pattern(8000, 4); // 16 ticks at 512 bytes a tick, minutes at one
        server_->route("/files/tool.sh", slow);
        server_->route(kUpdatesPath.toLatin1(), rec);
        putAt(bin(QStringLiteral("tool.sh")), "old");
        frmMain* w = refreshed(false);
        QVERIFY(select(w, QStringLiteral("Tool")));
        env.boxes.answers = {MsgBox::Answer::No};
        w->cmdDownload->click();
        QCOMPARE(w->LBLstatus->text(), status);
        const bool installed = status != QLatin1String("Download failed");
        QCOMPARE(readAll(bin(QStringLiteral("tool.sh"))), installed ? slow.body : QByteArray("old"));
        QCOMPARE(env.boxes.titles(), installed ? QStringList{QStringLiteral("Success")} : QStringList());
    }

    // The lamps sweep once a second and leave the percentage behind them in tenths.
    void lampsSweep() {
        frmMain* w = frmMain::Load();
        const auto lamps = [w] {
            QString s;
            for (int i = 0; i < 10; ++i)
                s += w->LampColor(i) == frmMain::kRed     ? QLatin1Char('r')
                     : w->LampColor(i) == frmMain::kGreen ? QLatin1Char('g')
                                                          : QLatin1Char('m');
            return s;
        };
        w->lblP->setText(QStringLiteral("35% downloaded"));
        w->PERdown = 35;
        w->Timer2_Timer();
        QCOMPARE(lamps(), QStringLiteral("mrrrrrrrrr"));
        for (int i = 0; i < 4; ++i)
            w->Timer2_Timer();
        QCOMPARE(lamps(), QStringLiteral("gggrmrrrrr"));
        for (int i = 0; i < 5; ++i)
            w->Timer2_Timer();
        QCOMPARE(lamps(), QStringLiteral("gggrrrrrrm"));
        w->Timer2_Timer();
        QCOMPARE(lamps(), QStringLiteral("gggrrrrrrr"));
        w->Timer2_Timer();
        QCOMPARE(lamps(), QStringLiteral("mggrrrrrrr"));
        w->lblP->setText(QStringLiteral("0% downloaded"));
        w->Timer2_Timer();
        QCOMPARE(lamps(), QStringLiteral("rrrrrrrrrr"));
    }

    // Each change of the percentage is reported once, as text too, up to 100 when the server
    // gives the length; a transfer without one reports none. The status begins and ends it.
    void installerReportsStatusAndProgress_data() {
        QTest::addColumn<HttpServer::Reply>("reply");
        QTest::addColumn<int>("result"); // Installer::Result
        QTest::addColumn<QString>("last");
        HttpServer::Reply r;
        r.body = pattern(300000, 5); // a percent takes several chunks
        QTest::newRow("with a length") << r << int(Installer::Result::Installed) << "Download complete";
        HttpServer::Reply noLength = r;
        noLength.contentLength = false;
        QTest::newRow("without a length")
            << noLength << int(Installer::Result::Installed) << "Download complete";
        HttpServer::Reply missing = r;
        missing.status = 404;
        QTest::newRow("404") << missing << int(Installer::Result::Failed) << "Download failed";
    }
    void installerReportsStatusAndProgress() {
        QFETCH(HttpServer::Reply, reply);
        QFETCH(int, result);
        QFETCH(QString, last);
        server_->route("/files/tool.bin", reply);
        InstallRecorder rec;
        Inet transfer;
        Installer installer(transfer, rec);
        const QString rec1 =
            QString::fromLatin1(
                record(QStringLiteral("Tool"), QStringLiteral("/files/tool.bin"), QStringLiteral("\\Bin"), 2))
                .trimmed();
        QCOMPARE(Installer::Destination(rec1), bin(QStringLiteral("Bin/tool.bin")));
        QCOMPARE(int(installer.Install(rec1, false)), result);
        QCOMPARE(rec.statuses, (QStringList{QStringLiteral("Downloading file"), last}));
        const bool installed = result == int(Installer::Result::Installed);
        QCOMPARE(QFileInfo::exists(bin(QStringLiteral("Bin/tool.bin"))), installed);
        if (installed) QCOMPARE(readAll(bin(QStringLiteral("Bin/tool.bin"))), reply.body);
        if (!installed) return;
        if (!reply.contentLength) {
            QCOMPARE(rec.percents, QList<qint16>());
            return;
        }
        QVERIFY2(rec.percents.size() > 2, qPrintable(QString::number(rec.percents.size())));
        QCOMPARE(rec.percents.last(), qint16(100));
        for (qsizetype i = 0; i < rec.percents.size(); ++i) {
            if (i > 0) QVERIFY2(rec.percents[i] > rec.percents[i - 1], "each percentage once, rising");
            QCOMPARE(rec.texts[i], QString::number(rec.percents[i]) + QStringLiteral("% downloaded"));
        }
        QCOMPARE(Installer::ProgressText(0), QStringLiteral("0% downloaded"));
    }

    // A stop ends the installation under way, keeping the installed file, and no other: not one
    // made while nothing ran (as closing the window does), nor the next installation.
    void installerStopEndsOnlyTheInstallationUnderWay() {
        HttpServer::Reply r;
        r.body = pattern(6000, 7);
        r.trickleMs = 5;
        r.trickleBytes = 1024;
        server_->route("/files/tool.bin", r);
        putAt(bin(QStringLiteral("Bin/tool.bin")), "old");
        const QString rec1 =
            QString::fromLatin1(
                record(QStringLiteral("Tool"), QStringLiteral("/files/tool.bin"), QStringLiteral("\\Bin"), 2))
                .trimmed();
        InstallRecorder rec;
        Inet transfer;
        Installer installer(transfer, rec);
        const QMap<QString, QByteArray> before = snapshot(prog_);
        rec.onProgress = [&] { installer.Stop(); };
        QCOMPARE(installer.Install(rec1, false), Installer::Result::Stopped);
        QCOMPARE(rec.statuses.last(), QStringLiteral("Download canceled"));
        QCOMPARE(rec.percents.size(), 1);
        QCOMPARE(snapshot(prog_), before); // the old file, and no temporary file
        rec.onProgress = nullptr;
        installer.Stop();
        QCOMPARE(installer.Install(rec1, false), Installer::Result::Installed);
        QCOMPARE(readAll(bin(QStringLiteral("Bin/tool.bin"))), r.body);
    }

    // An installer destroyed while it waits returns at once and leaves the files as they were.
    void installerDestroyedDuringTheTransfer_data() {
        QTest::addColumn<bool>("skins");
        QTest::newRow("update") << false;
        QTest::newRow("skin") << true;
    }
    void installerDestroyedDuringTheTransfer() {
        QFETCH(bool, skins);
        HttpServer::Reply slow;
        slow.body = pattern(6000, 8);
        slow.trickleMs = 5;
        slow.trickleBytes = 1024;
        server_->route("/files/Red.bmp", slow);
        server_->route("/files/Red.qxs", "Red.bmp,1,2,3,4,5,1,0,0,3\r\n");
        put(QStringLiteral("Skins/Red.bmp"), "old picture");
        const QString rec1 =
            QString::fromLatin1(
                record(QStringLiteral("Red"),
                       skins ? QStringLiteral("/files/Red") : QStringLiteral("/files/Red.bmp"),
                       QStringLiteral("\\Skins"), skins ? 4 : 2, QStringLiteral(".bmp")))
                .trimmed();
        InstallRecorder rec;
        Inet transfer;
        auto installer = std::make_unique<Installer>(transfer, rec);
        const QMap<QString, QByteArray> before = snapshot(prog_);
        rec.onProgress = [&] {
            QTimer::singleShot(0, &transfer, [&] { installer.reset(); });
            rec.onProgress = nullptr;
        };
        QCOMPARE(installer->Install(rec1, skins), Installer::Result::Stopped);
        QVERIFY(!installer);
        QCOMPARE(rec.statuses, QStringList{QStringLiteral("Downloading file")});
        QCOMPARE(snapshot(prog_), before);
    }

    void introAndMainWindow() {
        server_->route(kUpdatesPath.toLatin1(),
                       record(QStringLiteral("Tool"), QStringLiteral("/files/t"), QStringLiteral("\\"), 2));
        server_->route(kSkinsPath.toLatin1(), record(QStringLiteral("Blue"), QStringLiteral("/skins/Blue"),
                                                     QStringLiteral("\\Skins"), 4, QStringLiteral(".gif")));
        modMain::Main();
        QPointer<frmIntro> intro;
        for (QWidget* t : QApplication::topLevelWidgets())
            if (auto* i = qobject_cast<frmIntro*>(t)) intro = i;
        QVERIFY(intro);
        QCOMPARE(intro->lblVer->text(), QStringLiteral("3.00.0009"));
        QVERIFY(QTest::qWaitForWindowActive(intro));
        QCOMPARE(QApplication::focusWidget(), intro->cmdNext);
        QVERIFY(
            intro->LBLCap[2]->text().startsWith(QStringLiteral("Welcome to Talkvane3 AutoUpdate\r\n\r\n")));
        saveScreenshot(intro, QStringLiteral("update-intro"));

        intro->CMDskins->click();
        QTRY_VERIFY(!intro); // unloaded, without ending the program
        QCOMPARE(env.end.ended, 0);
        frmMain* w = frmMain::Loaded();
        QVERIFY(w && w->isVisible());
        QTRY_COMPARE(w->Lists.lstUpdates, QStringList{QStringLiteral("Blue")});
        QVERIFY(w->CHKupdates->isHidden());
        QCOMPARE(w->LBL->text(), QStringLiteral("Download Skins"));
        QCOMPARE(w->Frame1->title(), QStringLiteral("Skins for Talkvane version 3.00.0009"));
        TestEnv::settle();
        QCOMPARE(server_->requests.size(), 1);

        w->CMDother->click();
        QVERIFY(!w->isVisible());
        QCOMPARE(w->lblSource->text(), QStringLiteral("*"));
        for (QWidget* t : QApplication::topLevelWidgets())
            if (auto* i = qobject_cast<frmIntro*>(t); i && i->isVisible()) intro = i;
        QVERIFY(intro);
        intro->cmdNext->click();
        QTRY_COMPARE(w->Lists.lstUpdates, QStringList{QStringLiteral("Tool")});
        QVERIFY(!w->CHKupdates->isHidden());
        QCOMPARE(server_->requests.back(), kUpdatesPath);
        TestEnv::settle();
        QCOMPARE(server_->requests.size(), 2); // once again for the other list

        // Closing an intro ends the program, like "&Exit".
        w->CMDother->click();
        for (QWidget* t : QApplication::topLevelWidgets())
            if (auto* i = qobject_cast<frmIntro*>(t); i && i->isVisible()) intro = i;
        QVERIFY(intro);
        intro->close();
        QCOMPARE(env.end.ended, 1);
        QTRY_VERIFY(!intro);
    }
};

QX3_TEST_MAIN_FROM_COPY(TestUpdate)
#include "tst_update.moc"
