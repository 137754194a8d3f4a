// The start-up: the command line, the start sequence, the self test and the end.
#include "modGlobals.h"
#include "modLangConst.h"
#include "modMain.h"
#include "modNetCom.h"
#include "modTerminate.h"
#include "modEnd.h"
#include "../support/Recorders.h"
#include "../support/TestEnv.h"

#include <QFontDatabase>
#include <QTemporaryDir>
#include <QTest>

using modGlobals::Run;
using modGlobals::Sets;

class TestStartUp : public QObject {
    Q_OBJECT
    QTemporaryDir home;
    std::unique_ptr<MessageRecorder> msg;
    std::unique_ptr<SoundRecorder> snd;
    int terminated = 0, ended = 0;

private slots:
    void initTestCase() {
        QVERIFY(home.isValid());
        TestEnv::isolate(home);
        TestEnv::useLoopback(40230);
        modTerminate::SetHandler([this] { ++terminated; });
        modEnd::SetHandler([this] { ++ended; });
    }
    void init() {
        msg = std::make_unique<MessageRecorder>();
        snd = std::make_unique<SoundRecorder>();
        terminated = ended = 0;
        modLangConst::SetDefaultStrings();
        auto& s = Sets();
        s.UNAME = QStringLiteral("Old");
        s.UCOL = 77;
        s.UFNT = QStringLiteral("Arial");
        s.SB_U = 1;
        s.ALGON = 0;
        Run().NoLog = 0;
        Run().NetLog = 0;
        Run().PopupHide = 0;
        Run().SpeedBarSlide = 1;
        Run().SettingsFile = QStringLiteral("User.con");
    }
    void cleanup() {
        msg.reset();
        snd.reset();
    }

    void commandLine_data() {
        const QString family = QFontDatabase::families().value(0);
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("name");
        QTest::addColumn<qint32>("colour");
        QTest::addColumn<QString>("font");
        QTest::newRow("name colour font") << QStringLiteral("-nme:Ann -col:4 -fnt:") + family.toLower() << "Ann"
                                          << qint32(modGlobals::PaletteColor(4)) << family.toLower();
        QTest::newRow("colour 16") << "-col:16" << "Old" << qint32(77) << "Arial";
        QTest::newRow("colour -1") << "-col:-1" << "Old" << qint32(77) << "Arial";
        QTest::newRow("colour not a number") << "-col:red" << "Old" << qint32(77) << "Arial";
        QTest::newRow("colour 15") << "-col:15" << "Old" << qint32(0xFFFFFF) << "Arial";
        QTest::newRow("21 characters") << "-nme:abcdefghijklmnopqrstu" << "abcdefghijklmnopqrst" << qint32(77) << "Arial";
        QTest::newRow("name with no value") << "-nme" << "" << qint32(77) << "Arial";
        QTest::newRow("hyphen starts a new token") << "-nme:Ann-Marie" << "Old" << qint32(77) << "Arial";
        QTest::newRow("any separator") << "-nme=Bo -nmeXCy" << "Cy" << qint32(77) << "Arial";
        QTest::newRow("invalid name") << "-nme:A.B" << "Old" << qint32(77) << "Arial";
        QTest::newRow("everybody's address") << "-nme:(All)" << "Old" << qint32(77) << "Arial";
        QTest::newRow("everybody's address, other case") << "-nme:(aLL)" << "Old" << qint32(77) << "Arial";
        QTest::newRow("unknown font") << "-fnt:No Such Font" << "Old" << qint32(77) << "Arial";
        QTest::newRow("unknown keys and empty tokens") << "- -- -xyz:1 nonsense" << "Old" << qint32(77) << "Arial";
        QTest::newRow("key case") << "-NME:Dan" << "Dan" << qint32(77) << "Arial";
        QTest::newRow("in order") << "-nme:One -nme:Two" << "Two" << qint32(77) << "Arial";
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
        QCOMPARE(msg->shown[0].text, QStringLiteral("NetLog enabled; EVERYTHING transmitter will be logged."));
        QCOMPARE(msg->shown[1].text, QStringLiteral("Log Disabled."));
        QCOMPARE(msg->shown[1].icon, 0);
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
