// The start-up: the command line, the start sequence, the self test and the end.
#include "Project/Services.h"
#include "Project/modMain.h"
#include "conversation/frmMsgHist.h"
#include "core/modGlobals.h"
#include "core/modLangConst.h"
#include "core/modNetCmds.h"
#include "core/modNetCom.h"
#include "core/modSettings.h"
#include "core/modTerminate.h"
#include "mainwin/frmLogOn.h"
#include "mainwin/frmMain.h"
#include "mainwin/frmSpeedBar.h"
#include "platform/ProgramFolder.h"
#include "support/Headless.h"
#include "support/Recorders.h"
#include "support/TestFiles.h"

#include <QApplication>
#include <QDir>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <csignal>

namespace {
// Writes a settings file into `folder` with the given sign-in values.
void storeSettings(const QString& folder, const QString& name, qint32 colour, const QString& font,
                   qint16 autoSignIn) {
    const QByteArray old = qgetenv("QX3_HOME");
    qputenv("QX3_HOME", folder.toLocal8Bit());
    auto& s = modGlobals::Sets();
    const modGlobals::Settings keep = s;
    s.UNAME = name;
    s.UCOL = colour;
    s.UFNT = font;
    s.ALGON = autoSignIn;
    s.STARTUP = 0;
    modGlobals::Run().SettingsFile = QStringLiteral("User.con");
    QVERIFY(modSettings::SaveSettings());
    s = keep;
    qputenv("QX3_HOME", old);
}

QString qx3Binary() {
    QString bin = QString::fromLocal8Bit(qgetenv("QX3_TEST_BINARY_DIR"));
    if (bin.isEmpty()) bin = QCoreApplication::applicationDirPath() + QStringLiteral("/../..");
    return bin + QStringLiteral("/QX3");
}

QProcessEnvironment childEnv(const QString& folder) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QX3_HOME"), folder);
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), folder + QStringLiteral("/config"));
    env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("qx3.users.info=true"));
    return env;
}
} // namespace

using modGlobals::Run;
using modGlobals::Sets;

class TestStartUp : public QObject {
    Q_OBJECT
    TestEnv::Headless env{TestEnv::Loopback};
    MessageRecorder* const msg = &env.messages;
    int& terminated = env.end.terminated;
    int& ended = env.end.ended;

  private slots:
    void initTestCase() {
        QVERIFY(env.home.isValid());
        Services::Install(); // as the program does before its start sequence
    }
    void init() {
        env.reset();
        modLangConst::SetDefaultStrings();
        Sets().UNAME = QStringLiteral("Old");
        Sets().UCOL = 77;
    }

    // Runs first, before this process has taken any program folder's lock.
    void secondCopyOnlySaysSo() {
        QTemporaryDir other;
        storeSettings(other.path(), QStringLiteral("First"), 0, QStringLiteral("Arial"), 0);
        QProcess first;
        first.setProcessEnvironment(childEnv(other.path()));
        first.start(qx3Binary(), {});
        QVERIFY(first.waitForStarted(TestEnv::kNetWait));
        const QString log = QDir(other.path()).filePath(QStringLiteral("Log.txt"));
        QTRY_VERIFY2_WITH_TIMEOUT(readAll(log).contains("---FrmLogOn Load."),
                                  qPrintable("the first copy's log:\n" + readAll(log)), TestEnv::kNetWait);
        const QByteArray before = readAll(log);
        qputenv("QX3_HOME", other.path().toLocal8Bit());
        QVERIFY(!modMain::Main());
        TestEnv::isolate(env.home);
        QCOMPARE(ended, 1);
        QCOMPARE(msg->shown.size(), std::size_t(1));
        QCOMPARE(msg->shown[0].text, QStringLiteral("Talkvane3 is already running!"));
        QCOMPARE(readAll(log), before); // the other copy's log is not touched
        first.kill();
        QVERIFY(first.waitForFinished(TestEnv::kNetWait));
    }

    void noNetwork() {
        qputenv("QX3_MAILSLOT_IF", "192.0.2.1");
        QVERIFY(!modMain::Main());
        qputenv("QX3_MAILSLOT_IF", "127.0.0.1");
        QCOMPARE(ended, 1);
        QCOMPARE(msg->shown.size(), std::size_t(1));
        QCOMPARE(msg->shown[0].text, QStringLiteral("NO NETWORK Detected! - Talkvane3 will terminate."));
        const QStringList log = logEntries();
        QVERIFY(log.contains(QStringLiteral("No NetWork!")));
        QVERIFY(!log.contains(QStringLiteral("NetWork Detected.")));
    }

    void selfTest_data() {
        QTest::addColumn<QByteArray>("iface");
        QTest::addColumn<bool>("passes");
        QTest::newRow("own broadcast heard") << QByteArray("127.0.0.1") << true;
        QTest::newRow("nothing arrives") << QByteArray("192.0.2.1") << false;
    }
    void selfTest() {
        QFETCH(QByteArray, iface);
        QFETCH(bool, passes);
        qputenv("QX3_MAILSLOT_IF", iface);
        modMain::ApplyCommandLine(QStringLiteral("-sts"));
        qputenv("QX3_MAILSLOT_IF", "127.0.0.1");
        QCOMPARE(msg->shown.size(), std::size_t(1));
        QCOMPARE(msg->shown[0].text, passes ? QStringLiteral("Self Test Passed.")
                                            : modLangConst::English(QStringLiteral("SubMain_SLF_Failed")));
        QCOMPARE(terminated, passes ? 0 : 1);
        QVERIFY(!modNetCmds::IsOpen());
        const QStringList log = logEntries();
        QVERIFY(log.contains(QStringLiteral("Running Self Test...")));
        QVERIFY(
            log.contains(passes ? QStringLiteral("Self Test PASSED") : QStringLiteral("Self Test FAILED")));
    }

    void startSignsInAndSignOutAsksAgain() {
        storeSettings(env.home.path(), QStringLiteral("Ann"), 255, QStringLiteral("FreeSans"), 1);
        QFile::remove(ProgramFolder::file(QStringLiteral("Log.txt")));
        writeAll(ProgramFolder::file(QStringLiteral("Sec.con")), "pass word\n");
        Run().Started = 0;
        Run().CommandLine = QStringLiteral("-col:9");
        QVERIFY(modMain::Main());
        QPointer<frmMain> main = frmMain::Loaded();
        QVERIFY(main);
        QCOMPARE(Sets().UNAME, QStringLiteral("Ann"));
        QCOMPARE(Sets().UCOL, qint32(modGlobals::PaletteColor(9)));
        QCOMPARE(Run().ExitPassword, QStringLiteral("pass word"));
        QCOMPARE(Run().Started, qint16(1));
        QVERIFY(modNetCmds::IsOpen());
        QVERIFY(msg->shown.empty()); // signed in by itself, nothing asked
        QPointer<frmSpeedBar> bar = frmSpeedBar::Loaded();
        QVERIFY(bar);
        QVERIFY(bar->isVisible());
        QCOMPARE(SpeedBarLink::Current(), static_cast<SpeedBarLink*>(bar.data()));
        QCOMPARE(bar->lblTbUName->text(), QStringLiteral("Ann"));
        const QStringList steps = {
            // The first entry holds a line break of its own.
            QStringLiteral("Talkvane3    v. 3.0.9"),   QStringLiteral("      -Executing Sub Main..."),
            QStringLiteral("NetWork Detected."),       QStringLiteral("Loading settings..."),
            QStringLiteral("---Settings loaded."),     QStringLiteral("Processing Cmd. Line: '-col:9'"),
            QStringLiteral("---Cmd. Line Processed."), QStringLiteral("Loading frmLogOn..."),
            QStringLiteral("---FrmLogOn Load."),       QStringLiteral("---frmLogOn Unloaded."),
            QStringLiteral("Saveing settings..."),     QStringLiteral("Loading SpeedBar..."),
            QStringLiteral("---SpeedBar Loaded."),     QStringLiteral("Starting frmMain_Load"),
            QStringLiteral("---frmMain Loaded"),       QStringLiteral("Loading frmMsgHist..."),
            QStringLiteral("---frmMsgHist Loaded")};
        QStringList log = logEntries();
        qsizetype at = 0;
        for (const QString& step : steps) {
            const qsizetype found = log.indexOf(step, at);
            QVERIFY2(found >= 0, qPrintable(step));
            at = found + 1;
        }
        // The alert history is loaded hidden, and keeps its alerts across sign-out.
        QPointer<frmMsgHist> hist = frmMsgHist::Loaded();
        QVERIFY(hist);
        QVERIFY(hist->isHidden());
        hist->AddMsg(QStringLiteral("Zed"), QStringLiteral("before sign-out"));
        // Sign-out: the sign-in window comes modally this time; accept it from inside.
        QPointer<frmLogOn> seen;
        QTimer poke;
        connect(&poke, &QTimer::timeout, this, [&] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* l = qobject_cast<frmLogOn*>(w); l && l->isVisible()) {
                    seen = l;
                    l->txtName->setText(QStringLiteral("Bea"));
                    l->cmdOk_Click();
                }
        });
        poke.start(50);
        modMain::Restart();
        poke.stop();
        QVERIFY(seen.isNull()); // shown, then unloaded
        QVERIFY(main.isNull());
        QVERIFY(frmMain::Loaded());
        QCOMPARE(Sets().UNAME, QStringLiteral("Bea"));
        log = logEntries();
        QVERIFY(log.contains(QStringLiteral("Processing Cmd. Line: '-col:9'"))); // the first pass only
        QCOMPARE(log.count(QStringLiteral("Processing Cmd. Line: '-col:9'")), 1);
        QVERIFY(log.count(QStringLiteral("---frmMain Loaded")) == 2);
        QCOMPARE(log.count(QStringLiteral("---frmMsgHist Loaded")), 2);
        QCOMPARE(frmMsgHist::Loaded(), hist.data());
        QCOMPARE(hist->lstHist->count(), 1);
        QCOMPARE(hist->Entry(hist->Newest()).Msg, QStringLiteral("before sign-out"));
        // Sign-out replaced the speed bar, and the new one names the new user.
        QTRY_VERIFY(bar.isNull());
        QVERIFY(frmSpeedBar::Loaded());
        QCOMPARE(frmSpeedBar::Loaded()->lblTbUName->text(), QStringLiteral("Bea"));
        QCOMPARE(Sets().SB_U, qint16(1));
        // The orderly end unloads the bar before its last log line.
        {
            Slot<modTerminate::Handler>::Override real(modTerminate::handler(),
                                                       modTerminate::handler().byDefault());
            QPointer<frmSpeedBar> second = frmSpeedBar::Loaded();
            modMain::Terminate();
            QVERIFY(!frmSpeedBar::Loaded());
            QCOMPARE(ended, 1);
            QTRY_VERIFY(second.isNull());
        }
        QCOMPARE(logEntries().last(), QStringLiteral("QX3 Terminated"));
        QCOMPARE(Sets().SB_U, qint16(1)); // unloaded by code: the next start shows it again
        frmMain::Loaded()->CloseByCode();
        QTRY_VERIFY(!frmMain::Loaded());
        QFile::remove(ProgramFolder::file(QStringLiteral("Sec.con")));
    }

    void noSpeedBarWithNsb() {
        storeSettings(env.home.path(), QStringLiteral("Cy"), 0, QStringLiteral("Arial"), 1);
        Run().Started = 0;
        Run().CommandLine = QStringLiteral("-nsb");
        QVERIFY(modMain::Main());
        QVERIFY(frmMain::Loaded());
        QVERIFY(!frmSpeedBar::Loaded());
        QCOMPARE(Sets().SB_U, qint16(0));
        QVERIFY(!logEntries().contains(QStringLiteral("Loading SpeedBar...")));
        frmMain::Loaded()->CloseByCode();
        QTRY_VERIFY(!frmMain::Loaded());
    }

    void twoCopiesSeeEachOtherAndPartOnSigterm() {
        QTemporaryDir homeA, homeB;
        storeSettings(homeA.path(), QStringLiteral("Ann"), 255, QStringLiteral("FreeSerif"), 1);
        storeSettings(homeB.path(), QStringLiteral("Bob"), 16711680, QStringLiteral("FreeMono"), 1);
        QProcess a, b;
        a.setProcessEnvironment(childEnv(homeA.path()));
        b.setProcessEnvironment(childEnv(homeB.path()));
        a.start(qx3Binary(), {});
        b.start(qx3Binary(), {});
        QVERIFY(a.waitForStarted(TestEnv::kNetWait));
        QVERIFY(b.waitForStarted(TestEnv::kNetWait));
        QByteArray errA, errB;
        QTRY_VERIFY2_WITH_TIMEOUT(
            (errA += a.readAllStandardError(), errA.contains("Bob|16711680|0|FreeMono|0|1|")),
            qPrintable("Ann's copy does not list Bob; it wrote:\n" + errA), TestEnv::kNetWait);
        QTRY_VERIFY2_WITH_TIMEOUT(
            (errB += b.readAllStandardError(), errB.contains("Ann|255|0|FreeSerif|0|1|")),
            qPrintable("Bob's copy does not list Ann; it wrote:\n" + errB), TestEnv::kNetWait);
        ::kill(static_cast<pid_t>(b.processId()), SIGTERM);
        QVERIFY(b.waitForFinished(TestEnv::kNetWait));
        QCOMPARE(b.exitCode(), 0);
        // Her last report of the list is an empty one, whatever else she wrote after it.
        const auto emptiedLast = [&] {
            errA += a.readAllStandardError();
            const qsizetype at = errA.lastIndexOf("users:");
            return at >= 0 && errA.mid(at, errA.indexOf('\n', at) - at).trimmed() == "users:";
        };
        QTRY_VERIFY2_WITH_TIMEOUT(emptiedLast(),
                                  qPrintable("Bob's goodbye did not empty Ann's list; she wrote:\n" + errA),
                                  TestEnv::kNetWait);
        // The ended copy ran its clean-up (it said goodbye and kept its settings), then the
        // orderly end.
        const QByteArray logB = readAll(QDir(homeB.path()).filePath(QStringLiteral("Log.txt")));
        const qsizetype closed = logB.lastIndexOf(": ---NetCom closed.\r\n");
        const qsizetype saved = logB.lastIndexOf(": ---Settings saved.\r\n");
        QVERIFY(closed > 0);
        QVERIFY(saved > 0);
        QVERIFY(logB.endsWith(": QX3 Terminated\r\n"));
        ::kill(static_cast<pid_t>(a.processId()), SIGTERM);
        QVERIFY(a.waitForFinished(TestEnv::kNetWait));
    }

    // Still signing in when the system ends the program: goodbye is said and the end is the
    // orderly one, without a question.
    void systemEndDuringSignIn() {
        TestOwner owner(TestOwner::SignIn);
        modNetCmds::OpenNetCom(&owner, QStringLiteral("Ann"));
        QVERIFY(modNetCmds::IsOpen());
        modMain::EndBySystem();
        QVERIFY(!modNetCmds::IsOpen());
        QCOMPARE(terminated, 1);
        QCOMPARE(ended, 0);
        QVERIFY(msg->shown.empty());
    }

    void commandLine_data() {
        // A switch value ends at a blank, so only a family without one can be named.
        QString family;
        for (const QString& f : QFontDatabase::families())
            if (!f.contains(QLatin1Char(' '))) family = f;
        if (family.isEmpty()) QSKIP("no font family without a blank in its name");
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("name");
        QTest::addColumn<qint32>("colour");
        QTest::addColumn<QString>("font");
        QTest::newRow("name colour font") << QStringLiteral("-nme:Ann -col:4 -fnt:") + family.toLower()
                                          << "Ann" << qint32(modGlobals::PaletteColor(4)) << family.toLower();
        QTest::newRow("colour 16") << "-col:16"
                                   << "Old" << qint32(77) << "Arial";
        QTest::newRow("colour -1") << "-col:-1"
                                   << "Old" << qint32(77) << "Arial";
        QTest::newRow("colour not a number") << "-col:red"
                                             << "Old" << qint32(77) << "Arial";
        QTest::newRow("colour 15") << "-col:15"
                                   << "Old" << qint32(0xFFFFFF) << "Arial";
        QTest::newRow("21 characters") << "-nme:abcdefghijklmnopqrstu"
                                       << "abcdefghijklmnopqrst" << qint32(77) << "Arial";
        QTest::newRow("name with no value") << "-nme"
                                            << "" << qint32(77) << "Arial";
        QTest::newRow("hyphen starts a new token") << "-nme:Ann-Marie"
                                                   << "Old" << qint32(77) << "Arial";
        QTest::newRow("any separator") << "-nme=Bo -nmeXCy"
                                       << "Cy" << qint32(77) << "Arial";
        QTest::newRow("invalid name") << "-nme:A.B"
                                      << "Old" << qint32(77) << "Arial";
        QTest::newRow("everybody's address") << "-nme:(All)"
                                             << "Old" << qint32(77) << "Arial";
        QTest::newRow("everybody's address, other case") << "-nme:(aLL)"
                                                         << "Old" << qint32(77) << "Arial";
        QTest::newRow("unknown font") << "-fnt:No Such Font"
                                      << "Old" << qint32(77) << "Arial";
        QTest::newRow("unknown keys and empty tokens") << "- -- -xyz:1 nonsense"
                                                       << "Old" << qint32(77) << "Arial";
        QTest::newRow("key case") << "-NME:Dan"
                                  << "Dan" << qint32(77) << "Arial";
        QTest::newRow("in order") << "-nme:One -nme:Two"
                                  << "Two" << qint32(77) << "Arial";
        QTest::newRow("logon name") << "-lnm" << modNetCom::GetLogonName() << qint32(77) << "Arial";
    }
    void commandLine() {
        QFETCH(QString, line);
        QFETCH(QString, name);
        QFETCH(qint32, colour);
        QFETCH(QString, font);
        modMain::ApplyCommandLine(line);
        QCOMPARE(Sets().UNAME, name);
        QCOMPARE(Sets().UCOL, colour);
        QCOMPARE(Sets().UFNT, font);
        QVERIFY(msg->shown.empty());
    }

    void flags() {
        modMain::ApplyCommandLine(QStringLiteral("-pmh -nsb -sbl -aln -lnd -nlg"));
        QCOMPARE(Run().PopupHide, qint16(1));
        QCOMPARE(Sets().SB_U, qint16(0));
        QCOMPARE(Run().SpeedBarSlide, qint16(0));
        QCOMPARE(Sets().ALGON, qint16(1));
        QCOMPARE(Run().NetLog, qint16(1));
        QCOMPARE(Run().NoLog, qint16(1));
        QCOMPARE(msg->shown.size(), std::size_t(2));
        QCOMPARE(msg->shown[0].text,
                 QStringLiteral("NetLog enabled; EVERYTHING transmitter will be logged."));
        QCOMPARE(msg->shown[1].text, QStringLiteral("Log Disabled."));
        QCOMPARE(msg->shown[1].icon, 0);
    }

    void setSwitchLoadsAnotherFile() {
        storeSettings(env.home.path(), QStringLiteral("Other"), 1, QStringLiteral("Arial"), 0);
        QVERIFY(QFile::rename(ProgramFolder::file(QStringLiteral("User.con")),
                              ProgramFolder::file(QStringLiteral("Other.con"))));
        modMain::ApplyCommandLine(QStringLiteral("-set:Other.con"));
        QCOMPARE(Run().SettingsFile, QStringLiteral("Other.con"));
        QCOMPARE(Sets().UNAME, QStringLiteral("Other"));
        QFile::remove(ProgramFolder::file(QStringLiteral("Other.con")));
    }

    // An exit password file too large to be one fails the start, like one that cannot be read.
    void exitPasswordFileSize_data() {
        QTest::addColumn<int>("size");
        QTest::addColumn<bool>("starts");
        QTest::newRow("at the bound") << 64 * 1024 << true;
        QTest::newRow("past the bound") << 64 * 1024 + 1 << false;
    }
    void exitPasswordFileSize() {
        QFETCH(int, size);
        QFETCH(bool, starts);
        storeSettings(env.home.path(), QStringLiteral("Ann"), 255, QStringLiteral("FreeSans"), 1);
        writeAll(ProgramFolder::file(QStringLiteral("Sec.con")), QByteArray(size - 2, 'p') + "\r\n");
        Run().Started = 0;
        Run().CommandLine.clear();
        QCOMPARE(modMain::Main(), starts);
        if (starts) {
            QCOMPARE(Run().ExitPassword, QString(size - 2, QLatin1Char('p')));
            QVERIFY(msg->shown.empty());
            frmMain::Loaded()->CloseByCode();
            QTRY_VERIFY(!frmMain::Loaded());
        } else {
            QCOMPARE(terminated, 1);
            QCOMPARE(msg->shown.size(), std::size_t(1));
            QCOMPARE(msg->shown[0].text,
                     QStringLiteral("Unable to Load Talkvane3\r\n75: Path/File access error"));
        }
        QFile::remove(ProgramFolder::file(QStringLiteral("Sec.con")));
    }

    // An exit password saved by any editor can be typed: UTF-8 when the file is UTF-8, else
    // Windows-1252, as a merged-in file is read.
    void exitPasswordText_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("password");
        QTest::newRow("UTF-8") << QByteArray("p\xC3\xA4ss w\xC3\xB6rd\n")
                               << QStringLiteral("p\u00E4ss w\u00F6rd");
        QTest::newRow("UTF-8, Cyrillic, byte-order mark")
            << QByteArray("\xEF\xBB\xBF\xD0\xBF\xD0\xB0\xD1\x80\xD0\xBE\xD0\xBB\xD1\x8C\r\n")
            << QStringLiteral("\u043F\u0430\u0440\u043E\u043B\u044C");
        QTest::newRow("Windows-1252") << QByteArray("p\xE4ss \x80\r\n") << QStringLiteral("p\u00E4ss \u20AC");
        QTest::newRow("Windows-1252 that starts like UTF-8")
            << QByteArray("\xC3\xA4\xE4") << QStringLiteral("\u00C3\u00A4\u00E4");
    }
    void exitPasswordText() {
        QFETCH(QByteArray, file);
        QFETCH(QString, password);
        storeSettings(env.home.path(), QStringLiteral("Ann"), 255, QStringLiteral("FreeSans"), 1);
        writeAll(ProgramFolder::file(QStringLiteral("Sec.con")), file);
        Run().Started = 0;
        Run().CommandLine.clear();
        QVERIFY(modMain::Main());
        QCOMPARE(Run().ExitPassword, password);
        frmMain::Loaded()->CloseByCode();
        QTRY_VERIFY(!frmMain::Loaded());
        QFile::remove(ProgramFolder::file(QStringLiteral("Sec.con")));
    }

    // "-set:" naming something that is no regular file ends in order at once.
    void setSwitchNamingNoFileEndsInOrder_data() { addNotAFileRows(); }
    void setSwitchNamingNoFileEndsInOrder() {
        QFETCH(QByteArray, notAFile);
        // A hyphen ends a switch's value, and the test folder's name holds one: name it relatively.
        const QString made = makeNotAFile(notAFile, ProgramFolder::file(QStringLiteral("Odd.con")));
        const QString odd = made.startsWith(QLatin1String("/dev/")) ? made : QStringLiteral("Odd.con");
        modMain::ApplyCommandLine(QStringLiteral("-set:") + odd);
        QCOMPARE(Run().SettingsFile, odd);
        QCOMPARE(terminated, 1);
        QCOMPARE(msg->shown.size(), std::size_t(1));
        QCOMPARE(msg->shown[0].text, QStringLiteral("Error in Talkvane3\r\n75: Not a regular file"));
        QCOMPARE(Sets().UNAME, QStringLiteral("Old"));
    }

    void logSwitch_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("off");
        QTest::newRow("switch") << "-nlg" << true;
        QTest::newRow("any case, anywhere") << "-nme:xNLGx" << true;
        QTest::newRow("at the very start") << "nlg" << false;
        QTest::newRow("none") << "-nme:Ann" << false;
    }
    void logSwitch() {
        QFETCH(QString, line);
        QFETCH(bool, off);
        QCOMPARE(modMain::LogSwitchedOff(line), off);
    }
};

QTEST_MAIN(TestStartUp)
#include "tst_startup.moc"
