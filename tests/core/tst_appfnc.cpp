// The application functions: text and list procedures, the log, files, sounds, messages and
// the companion programs.
#include "core/modAppFnc.h"
#include "core/modGlobals.h"
#include "core/modLangConst.h"
#include "support/Headless.h"
#include "support/Recorders.h"

#include "support/TestFiles.h"

#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {
const QString S(modGlobals::kSep);

} // namespace

class TestAppFnc : public QObject {
    Q_OBJECT
    TestEnv::Headless env;

  private slots:
    void initTestCase() { QVERIFY(env.home.isValid()); }
    void init() { env.reset(); }

    void getField_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("field");
        const QString list = QStringLiteral("Ann") + S + QStringLiteral("Bob") + S;
        QTest::newRow("first") << list << 1 << "Ann";
        QTest::newRow("second") << list << 2 << "Bob";
        QTest::newRow("past the end") << list << 3 << "";
        QTest::newRow("zero") << list << 0 << "";
        QTest::newRow("negative") << list << -2 << "";
        QTest::newRow("no final separator")
            << QStringLiteral("a") + S + QStringLiteral("tail") << 5 << "tail";
        QTest::newRow("empty field") << QStringLiteral("a") + S + S + QStringLiteral("c") + S << 2 << "";
        QTest::newRow("empty text") << QString() << 1 << "";
    }
    void getField() {
        QFETCH(QString, text);
        QFETCH(int, n);
        QFETCH(QString, field);
        QCOMPARE(modAppFnc::GetField(text, n, modGlobals::kSep), field);
    }

    void countStr_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("sub");
        QTest::addColumn<int>("count");
        QTest::newRow("overlapping") << "aaa"
                                     << "aa" << 2;
        QTest::newRow("empty text") << ""
                                    << "a" << 0;
        QTest::newRow("case matters") << "aAa"
                                      << "a" << 2;
        QTest::newRow("fields") << (QStringLiteral("x") + S + QStringLiteral("y") + S) << S << 2;
        QTest::newRow("empty substring") << "abc"
                                         << "" << 0;
    }
    void countStr() {
        QFETCH(QString, text);
        QFETCH(QString, sub);
        QFETCH(int, count);
        QCOMPARE(modAppFnc::CountStr(text, sub), count);
    }

    // "~" stands for the separator.
    void listNames_data() {
        QTest::addColumn<QString>("list");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("empty") << "" << QStringList{};
        QTest::newRow("two") << "Ann~Bob~" << QStringList{"Ann", "Bob"};
        QTest::newRow("text after the last separator is no name") << "Ann~tail" << QStringList{"Ann"};
        QTest::newRow("no separator") << "solo" << QStringList{};
        QTest::newRow("empty names kept") << "~a~~" << QStringList{"", "a", ""};
    }
    void listNames() {
        QFETCH(QString, list);
        QFETCH(QStringList, names);
        QCOMPARE(modAppFnc::ListNames(list.replace(QLatin1Char('~'), S)), names);
    }

    void names_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("valid");
        QTest::newRow("letters digits hyphen parens") << "Ann-2(x)_Z" << true;
        QTest::newRow("empty") << "" << true;
        QTest::newRow("blank") << "Ann B" << false;
        QTest::newRow("point") << "Ann.B" << false;
        QTest::newRow("accented") << QString::fromUtf16(u"Ren\u00e9") << false;
        QTest::newRow("Kelvin sign folds to k elsewhere") << QString(QChar(0x212A)) << false;
        QTest::newRow("dotted capital I") << QString(QChar(0x0130)) << false;
        QTest::newRow("separator") << (QStringLiteral("a") + S) << false;
    }
    void names() {
        QFETCH(QString, name);
        QFETCH(bool, valid);
        QCOMPARE(modAppFnc::IsValidName(name), valid);
    }

    void textProcedures() {
        QCOMPARE(modAppFnc::ProperCase(QStringLiteral("jSMITH")), QStringLiteral("Jsmith"));
        QCOMPARE(modAppFnc::ProperCase(QString()), QString());
        QCOMPARE(
            modAppFnc::ReplaceAll(QStringLiteral("a") + S + QStringLiteral("b") + S, S, QStringLiteral("; ")),
            QStringLiteral("a; b; "));
        QCOMPARE(modAppFnc::ReplaceAll(QStringLiteral("xAx"), QStringLiteral("a"), QStringLiteral("[a]")),
                 QStringLiteral("x[a]x")); // would never end if it searched the replacement again
        QCOMPARE(modAppFnc::ReplaceAll(QStringLiteral("abc"), QString(), QStringLiteral("z")),
                 QStringLiteral("abc"));
        QCOMPARE(modAppFnc::FileFromPath(QStringLiteral("C:\\a\\b.txt")), QStringLiteral("b.txt"));
        QCOMPARE(modAppFnc::FileFromPath(QStringLiteral("/tmp/x/b.txt")), QStringLiteral("b.txt"));
        QCOMPARE(modAppFnc::FileFromPath(QStringLiteral("b.txt")), QStringLiteral("b.txt"));
        QCOMPARE(modAppFnc::FolderFromPath(QStringLiteral("C:\\a/b\\c.txt")), QStringLiteral("C:\\a/b\\"));
        QCOMPARE(modAppFnc::FolderFromPath(QStringLiteral("c.txt")), QString());
        QVERIFY(modAppFnc::CompareNoCase(QStringLiteral("ann"), QStringLiteral("Bob")) < 0);
        QVERIFY(modAppFnc::CompareNoCase(QStringLiteral("Ann"), QStringLiteral("ANN")) == 0);
        QVERIFY(modAppFnc::CompareNoCase(QStringLiteral("Ann"), QStringLiteral("Ann_")) < 0);
    }

    void readTextFile_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("CR LF") << QByteArray("one\r\ntwo\r\n") << "one\r\ntwo\r\n";
        QTest::newRow("LF only") << QByteArray("one\ntwo") << "one\r\ntwo\r\n";
        QTest::newRow("CR only") << QByteArray("one\rtwo\r") << "one\r\ntwo\r\n";
        QTest::newRow("blank lines kept") << QByteArray("a\n\nb\n") << "a\r\n\r\nb\r\n";
        QTest::newRow("empty") << QByteArray() << "";
        QTest::newRow("ANSI bytes") << QByteArray("\x80\xE9")
                                    << (QString(QChar(0x20AC)) + QChar(0xE9) + "\r\n");
    }
    void readTextFile() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        const QString path = QDir(env.home.path()).filePath(QStringLiteral("t.txt"));
        writeAll(path, bytes);
        QCOMPARE(modAppFnc::ReadTextFile(path), text);
        QCOMPARE(modAppFnc::ReadTextFile(path + QStringLiteral(".missing")), QString());
    }

    void logAppendsLinesAndHonoursNoLog() {
        const QString path = QDir(env.home.path()).filePath(QStringLiteral("Log.txt"));
        modAppFnc::WriteLog(QStringLiteral("first, \"quoted\""));
        modAppFnc::WriteLog(QString::fromUtf16(u"second \u20AC"));
        const QByteArray bytes = readAll(path);
        const QList<QByteArray> lines = bytes.split('\n');
        QCOMPARE(lines.size(), 3);
        QVERIFY(bytes.endsWith("\r\n"));
        QVERIFY(lines[0].endsWith(": first, \"quoted\"\r"));
        QVERIFY(lines[1].endsWith(": second \x80\r"));
        QVERIFY(!lines[0].startsWith(' '));
        modGlobals::Run().NoLog = 1;
        modAppFnc::WriteLog(QStringLiteral("hidden"));
        QCOMPARE(readAll(path), bytes);
    }

    void logThatCannotBeWrittenIsHarmless() {
        QTemporaryDir ro;
        qputenv("QX3_HOME", QDir(ro.path()).filePath(QStringLiteral("no/such/folder")).toLocal8Bit());
        modAppFnc::WriteLog(QStringLiteral("lost"));
        TestEnv::useProgramFolder(env.home);
    }

    void sounds_data() {
        QTest::addColumn<QString>("setting");
        QTest::addColumn<QString>("heard");
        QTest::newRow("empty is silent") << ""
                                         << "";
        QTest::newRow("system beep") << "(System Beep)"
                                     << "beep";
        QTest::newRow("wave plays without waiting") << "@/ding.wav"
                                                    << "wave:@/ding.wav:0";
        QTest::newRow("upper-case WAV beeps") << "@/DING.WAV"
                                              << "beep";
        QTest::newRow("missing file beeps") << "@/gone.wav"
                                            << "beep";
        QTest::newRow("other extension beeps") << "@/ding.mp3"
                                               << "beep";
    }
    void sounds() {
        QFETCH(QString, setting);
        QFETCH(QString, heard);
        for (const char* f : {"ding.wav", "DING.WAV", "ding.mp3"})
            writeAll(QDir(env.home.path()).filePath(QString::fromLatin1(f)), "RIFF");
        setting.replace(QStringLiteral("@"), env.home.path());
        heard.replace(QStringLiteral("@"), env.home.path());
        SoundRecorder& rec = env.sounds;
        modAppFnc::PlaySnd(setting);
        QCOMPARE(rec.heard.join(QLatin1Char(',')), heard);
    }

    void showMsgBeepsAndAnswers() {
        SoundRecorder& snd = env.sounds;
        MessageRecorder& msg = env.messages;
        msg.answers = {1};
        QCOMPARE(modAppFnc::ShowMsg(QStringLiteral("Sure?"), 1, 4), 1);
        QCOMPARE(modAppFnc::ShowMsg(QStringLiteral("Note"), 0, 0), 0);
        QCOMPARE(snd.heard, QStringList({"beep", "beep"}));
        QCOMPARE(msg.shown.size(), std::size_t(2));
        QCOMPARE(msg.shown[0].icon, 4);
    }

    void floodOfMessagesIsBounded() {
        MessageRecorder& msg = env.messages;
        int offered = 0;
        // Every window, while open, is hit by two more messages and one question.
        msg.whileOpen = [&] {
            if (offered >= 40) return;
            offered += 3;
            modAppFnc::ShowMsg(QStringLiteral("m%1").arg(offered), 0, 0);
            modAppFnc::ShowMsg(QStringLiteral("n%1").arg(offered), 0, 0);
            QCOMPARE(modAppFnc::ShowMsg(QStringLiteral("q"), 1, 4) <= 1, true);
        };
        modAppFnc::ShowMsg(QStringLiteral("first"), 0, 0);
        QVERIFY(msg.maxDepth <= modAppFnc::kMaxNestedMessages);
        int notices = 0;
        for (const auto& s : msg.shown)
            notices += s.buttons == 0;
        // No notice is lost: the first, and the two of every batch.
        QCOMPARE(notices, 1 + 2 * (offered / 3));
    }

    void pictures() {
        std::vector<QString> texts;
        for (int i = 0; i < 15; ++i)
            texts.push_back(QStringLiteral("[%1]").arg(i));
        modAppFnc::SetChatPictureTexts(texts);
        QCOMPARE(modAppFnc::ChatPictures().at(0).tag, QStringLiteral(":) :-) "));
        QCOMPARE(modAppFnc::InsertPictures(QStringLiteral("hi :-) and :D")),
                 QStringLiteral("hi [0] and [1]"));
        QCOMPARE(modAppFnc::InsertPictures(QStringLiteral(":-d :d (x)(X)")),
                 QStringLiteral("[1] [1] [14][14]"));
        QCOMPARE(modAppFnc::InsertPictures(QStringLiteral("plain")), QStringLiteral("plain"));
        modAppFnc::SetChatPictureTexts(std::vector<QString>(15));
    }

    void workAreaIndexOutOfRange() { QCOMPARE(modAppFnc::GetWorkArea(4, nullptr), 0); }

    // The wait is modal: a window open before it takes no input while it lasts, as the user
    // gives it through the window system, while timers keep firing; a box opened meanwhile
    // takes input, and after the wait the window does again.
    void delayIsModal() {
        QWidget before;
        auto* button = new QPushButton(QStringLiteral("Go"), &before);
        button->setGeometry(10, 10, 80, 30);
        before.resize(120, 60);
        before.show();
        QVERIFY(QTest::qWaitForWindowExposed(&before));
        int clicks = 0;
        connect(button, &QPushButton::clicked, this, [&] { ++clicks; });
        const QPoint at = button->geometry().center();
        int ticks = 0;
        QTimer tick;
        connect(&tick, &QTimer::timeout, this, [&] { ++ticks; });
        tick.start(10);
        int clicksDuring = -1;
        bool boxAnswered = false;
        // Posted now, it runs inside the wait: no loop runs before the wait's own.
        QTimer::singleShot(0, this, [&] {
            QTest::mouseClick(before.windowHandle(), Qt::LeftButton, {}, at);
            QTest::keyClick(before.windowHandle(), Qt::Key_Space);
            clicksDuring = clicks;
            QDialog box;
            auto* yes = new QPushButton(QStringLiteral("Yes"), &box);
            yes->setGeometry(5, 5, 60, 25);
            connect(yes, &QPushButton::clicked, &box, &QDialog::accept);
            QTimer::singleShot(0, &box, [&] {
                QVERIFY(QTest::qWaitForWindowExposed(&box));
                QTest::mouseClick(box.windowHandle(), Qt::LeftButton, {}, yes->geometry().center());
            });
            boxAnswered = box.exec() == QDialog::Accepted;
        });
        QElapsedTimer waited;
        waited.start();
        modAppFnc::Delay(400);
        const int ticksDuring = ticks;
        // A timer of this length may fire up to 5 % early.
        QVERIFY2(waited.elapsed() >= 380,
                 qPrintable(QStringLiteral("the wait ended after %1 ms").arg(waited.elapsed())));
        QCOMPARE(clicksDuring, 0);
        QVERIFY2(ticksDuring > 0, "no timer fired during the wait");
        QVERIFY(boxAnswered);
        QCOMPARE(clicks, 0); // nothing held back for later either
        QTest::mouseClick(before.windowHandle(), Qt::LeftButton, {}, at);
        QCOMPARE(clicks, 1);
    }

    // The companion programs are found beside the running program, wherever the data folder
    // is, and are told that folder; so is the autostart entry. A copy of the helper program
    // `companions` runs in a program folder of its own.
    void companionsBesideTheProgram_data() {
        QTest::addColumn<QString>("home"); // QX3_HOME: "" unset, or a path below the test's folder
        QTest::addColumn<bool>("present");
        QTest::newRow("data folder elsewhere") << "data" << true;
        QTest::newRow("data folder named relative") << "./data" << true;
        QTest::newRow("no data folder") << "" << true;
        QTest::newRow("missing beside the program") << "data" << false;
    }
    void companionsBesideTheProgram() {
        QFETCH(QString, home);
        QFETCH(bool, present);
        QTemporaryDir root;
        QVERIFY(root.isValid());
        const QString programs = root.filePath(QStringLiteral("programs"));
        const QString data = home.isEmpty() ? programs : root.filePath(QStringLiteral("data"));
        const QString marks = root.filePath(QStringLiteral("marks"));
        for (const QString& d : {programs, data, marks})
            QVERIFY(QDir().mkpath(d));
        const QString helper = QDir(programs).filePath(QStringLiteral("companions"));
        QVERIFY(QFile::copy(QCoreApplication::applicationDirPath() + QStringLiteral("/companions"), helper));
        QVERIFY(QFile::setPermissions(helper, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        // A stand-in writes how it was started: its arguments, the data folder it was told, its folder.
        auto standIn = [&](const QString& folder, const QString& name, const QString& mark) {
            const QString path = QDir(folder).filePath(name);
            writeAll(path, "#!/bin/sh\nprintf '%s|%s|%s\\n' \"$#\" \"$QX3_HOME\" \"$PWD\" > \"" +
                               QDir(marks).filePath(mark).toLocal8Bit() + "\"\n");
            QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        };
        if (present) {
            standIn(programs, QStringLiteral("QX3Update"), QStringLiteral("update"));
            standIn(programs, QStringLiteral("Help"), QStringLiteral("help"));
        }
        if (data != programs) { // decoys: never started from the data folder
            standIn(data, QStringLiteral("QX3Update"), QStringLiteral("wrong-update"));
            standIn(data, QStringLiteral("Help"), QStringLiteral("wrong-help"));
        }
        QProcess p;
        QProcessEnvironment penv = QProcessEnvironment::systemEnvironment();
        penv.remove(QStringLiteral("QX3_HOME"));
        if (!home.isEmpty()) penv.insert(QStringLiteral("QX3_HOME"), home);
        penv.insert(QStringLiteral("XDG_CONFIG_HOME"), root.filePath(QStringLiteral("config")));
        p.setProcessEnvironment(penv);
        p.setWorkingDirectory(root.path());
        p.start(helper, {QStringLiteral("update"), QStringLiteral("help"), QStringLiteral("startup")});
        QVERIFY2(p.waitForFinished(60000), "the helper did not end");
        const QString out = QString::fromLocal8Bit(p.readAllStandardOutput());
        QVERIFY2(out.endsWith(QLatin1String("DONE\n")), qPrintable(out + p.readAllStandardError()));
        const QString told = home.isEmpty() ? QString() : data;
        if (present) {
            for (const char* mark : {"update", "help"}) {
                const QString path = QDir(marks).filePath(QLatin1String(mark));
                QTRY_VERIFY2_WITH_TIMEOUT(readAll(path).endsWith('\n'),
                                          qPrintable(QStringLiteral("the stand-in for %1 was not started; "
                                                                    "the helper printed: %2")
                                                         .arg(QLatin1String(mark), out)),
                                          30000);
                // Started with no arguments, in its own folder, told the data folder.
                QCOMPARE(QString::fromLocal8Bit(readAll(path)),
                         QStringLiteral("0|") + told + QLatin1Char('|') + programs + QLatin1Char('\n'));
            }
            QVERIFY2(!out.contains(QLatin1String("MSG")), qPrintable(out));
        } else {
            const QString update = QDir(programs).filePath(QStringLiteral("QX3Update"));
            QVERIFY2(out.contains(QStringLiteral("MSG Unable to locate AutoUpdate.|(") + update +
                                  QStringLiteral(")\n")),
                     qPrintable(out));
            QVERIFY2(out.contains(QStringLiteral("MSG Unable to locate Help EXE.")), qPrintable(out));
            QVERIFY(out.contains(QLatin1Char('(') + QDir(programs).filePath(QStringLiteral("Help")) +
                                 QStringLiteral(")\n")));
            const QByteArray log = readAll(QDir(data).filePath(QStringLiteral("Log.txt")));
            QVERIFY(log.contains(": Unable to locate AutoUpdate EXE; " + update.toLocal8Bit() + "\r\n"));
            QVERIFY(log.contains(": Unable to locate Help EXE; "));
        }
        QVERIFY(!QFileInfo::exists(QDir(marks).filePath(QStringLiteral("wrong-update"))));
        QVERIFY(!QFileInfo::exists(QDir(marks).filePath(QStringLiteral("wrong-help"))));
        // The autostart entry starts this program, where it is, with the same data folder.
        const QString entry =
            QString::fromUtf8(readAll(root.filePath(QStringLiteral("config/autostart/Talk-Vane.desktop"))));
        const QString exec = told.isEmpty() ? QStringLiteral("Exec=\"") + helper + QStringLiteral("\"\n")
                                            : QStringLiteral("Exec=env \"QX3_HOME=") + told +
                                                  QStringLiteral("\" \"") + helper + QStringLiteral("\"\n");
        QVERIFY2(entry.endsWith(exec), qPrintable(entry));
    }
};

QTEST_MAIN(TestAppFnc)
#include "tst_appfnc.moc"
