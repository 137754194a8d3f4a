// The settings file, the autorun entry and the registry store, on real files in a temporary
// program folder.
#include "core/MessageService.h"
#include "core/modGlobals.h"
#include "core/modNetCom.h"
#include "core/modSettings.h"
#include "core/modStartUp.h"
#include "core/modTerminate.h"
#include "platform/Ansi.h"
#include "platform/Autostart.h"
#include "platform/ProgramFolder.h"
#include "platform/Registry.h"
#include "platform/SettingsBag.h"

#include "support/Headless.h"
#include "support/TestFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <functional>
#include <limits>
#include <sys/resource.h>

using modGlobals::Settings;

namespace {

// The 74 keys of the settings file in the order they must be written, with their types, and a
// visitor over the matching members.
enum class Kind { Text, Int16, Int32, Bool };
struct FieldVisitor {
    std::function<void(const QString&, QString&)> text;
    std::function<void(const QString&, qint16&)> i16;
    std::function<void(const QString&, qint32&)> i32;
    std::function<void(const QString&, bool&)> boolean;
};

void forEachField(Settings& s, const FieldVisitor& v) {
    v.text("LANG", s.LANG);
    v.text("UNAME", s.UNAME);
    v.i32("UCOL", s.UCOL);
    v.text("UFNT", s.UFNT);
    v.text("UPN", s.UPN);
    v.text("SFLD", s.SFLD);
    v.i16("STARTUP", s.STARTUP);
    v.i16("ALGON", s.ALGON);
    v.text("ALTSND", s.ALTSND);
    v.i16("ALTPOS", s.ALTPOS);
    v.i16("CHTSNDBTN", s.CHTSNDBTN);
    v.i16("CHTSTY", s.CHTSTY);
    v.text("CHTSND", s.CHTSND);
    v.i16("CHTPICS", s.CHTPICS);
    v.boolean("FM_KOT", s.FM_KOT);
    v.i32("FM_PL", s.FM_PL);
    v.i32("FM_PT", s.FM_PT);
    v.i32("FM_PW", s.FM_PW);
    v.i32("FM_PH", s.FM_PH);
    v.i16("FM_PS", s.FM_PS);
    v.boolean("FM_SB", s.FM_SB);
    v.boolean("FC_SB", s.FC_SB);
    v.text("SKN", s.SKN);
    v.i16("INV", s.INV);
    v.text("BLC", s.BLC);
    for (int i = 0; i < 3; ++i)
        v.text(QStringLiteral("AQR%1").arg(i), s.AQR[i]);
    for (int i = 0; i < 10; ++i)
        v.text(QStringLiteral("CAT%1").arg(i), s.CAT[i]);
    v.text("GRPS", s.GRPS);
    v.i16("SB_U", s.SB_U);
    v.i16("SB_P", s.SB_P);
    v.i16("SB_S", s.SB_S);
    v.i16("SB_F", s.SB_F);
    v.i16("FBe", s.FBe);
    for (int i = 0; i < 10; ++i) {
        v.text(QStringLiteral("FBt%1").arg(i), s.FB[i].target);
        v.i16(QStringLiteral("FBa%1").arg(i), s.FB[i].sendNow);
        v.text(QStringLiteral("FBm%1").arg(i), s.FB[i].text);
    }
}

// Every member given a value of its own, so that two keys mixed up show.
enum class Profile { Distinct, Maximum, Minimum, EmptyTexts };
Settings filled(Profile p) {
    Settings s;
    int n = 0;
    forEachField(s, {
                        [&](const QString& key, QString& t) {
                            ++n;
                            if (p == Profile::EmptyTexts)
                                t.clear();
                            else
                                t = key +
                                    QStringLiteral(
                                        ": \u0001Ann\u0001\r\nB\u00e9a \u20ac \u65e5\u672c \U0001F600 ") +
                                    QString::number(n) + QStringLiteral("\r\n");
                        },
                        [&](const QString&, qint16& i) {
                            ++n;
                            i = p == Profile::Maximum   ? std::numeric_limits<qint16>::max()
                                : p == Profile::Minimum ? std::numeric_limits<qint16>::min()
                                                        : static_cast<qint16>(100 + n);
                        },
                        [&](const QString&, qint32& i) {
                            ++n;
                            i = p == Profile::Maximum   ? std::numeric_limits<qint32>::max()
                                : p == Profile::Minimum ? std::numeric_limits<qint32>::min()
                                                        : 70000 * n;
                        },
                        [&](const QString&, bool& b) { b = (++n % 2 == 0) != (p == Profile::Minimum); },
                    });
    return s;
}

// Field-by-field comparison that names the first member that differs.
void compareSettings(const Settings& actual, const Settings& expected) {
    Settings a = actual, e = expected;
    QStringList got, want;
    auto put = [](QStringList& out, const QString& key, const QString& value) {
        out << key + QLatin1Char('=') + value;
    };
    forEachField(a, {[&](const QString& k, QString& t) { put(got, k, t); },
                     [&](const QString& k, qint16& i) { put(got, k, QString::number(i)); },
                     [&](const QString& k, qint32& i) { put(got, k, QString::number(i)); },
                     [&](const QString& k, bool& b) { put(got, k, b ? "true" : "false"); }});
    forEachField(e, {[&](const QString& k, QString& t) { put(want, k, t); },
                     [&](const QString& k, qint16& i) { put(want, k, QString::number(i)); },
                     [&](const QString& k, qint32& i) { put(want, k, QString::number(i)); },
                     [&](const QString& k, bool& b) { put(want, k, b ? "true" : "false"); }});
    QCOMPARE(got.size(), 74);
    for (qsizetype i = 0; i < got.size(); ++i)
        QCOMPARE(got.at(i), want.at(i));
}

} // namespace

class TestSettings : public QObject {
    Q_OBJECT

    // A program folder with a blank in its name, as under a "Program Files" folder.
    TestEnv::Headless env{TestEnv::NoNetwork, QStringLiteral("Program Folder")};
    QTemporaryDir& temp = env.home;
    const QString folder = env.folder();
    MessageRecorder& messages = env.messages;
    int& terminated = env.end.terminated;

    QString settingsFile(const QString& name = QStringLiteral("User.con")) const {
        return QDir(folder).filePath(name);
    }
    QString entryFile() const { return Autostart::entryPath(QString::fromLatin1(modStartUp::kStartUpName)); }

  private slots:
    void initTestCase() {
        QVERIFY(temp.isValid());
        QVERIFY(QDir(folder).exists());
    }

    void init() {
        env.reset();
        // Nothing left from the test before: no settings file, autorun entry or registry store.
        QVERIFY(QDir(folder).entryList(QDir::Files).isEmpty());
        QVERIFY(!QFileInfo::exists(Autostart::folder()) && !QFileInfo::exists(Registry::storePath()));
    }

    // ---- the settings file ----

    void roundTripKeepsEveryKey_data() {
        QTest::addColumn<int>("profile");
        QTest::newRow("distinct values, separators, CR LF, non-ASCII") << int(Profile::Distinct);
        QTest::newRow("largest integers") << int(Profile::Maximum);
        QTest::newRow("smallest integers") << int(Profile::Minimum);
        QTest::newRow("empty texts") << int(Profile::EmptyTexts);
    }
    void roundTripKeepsEveryKey() {
        QFETCH(int, profile);
        const Settings saved = filled(Profile(profile));
        modGlobals::Sets() = saved;
        modGlobals::Sets().STARTUP = 0; // leaves the autorun entry out of this test
        Settings expected = modGlobals::Sets();
        QVERIFY(modSettings::SaveSettings());

        // Everything different before loading, held keys included.
        modGlobals::Sets() = filled(profile == int(Profile::Maximum) ? Profile::Minimum : Profile::Maximum);
        QVERIFY(modSettings::LoadSettings());
        compareSettings(modGlobals::Sets(), expected);
        QVERIFY(messages.texts().isEmpty());
        QCOMPARE(terminated, 0);
    }

    void fileHoldsEveryKeyInOrderWithItsType() {
        modGlobals::Sets() = filled(Profile::EmptyTexts); // empty texts are stored, not left out
        QVERIFY(modSettings::SaveSettings());
        SettingsBag bag;
        QVERIFY(bag.setContents(readAll(settingsFile())));
        QStringList expectedKeys;
        QList<std::size_t> expectedTypes;
        Settings s;
        forEachField(s, {[&](const QString& k, QString&) { expectedKeys << k, expectedTypes << 0; },
                         [&](const QString& k, qint16&) { expectedKeys << k, expectedTypes << 1; },
                         [&](const QString& k, qint32&) { expectedKeys << k, expectedTypes << 2; },
                         [&](const QString& k, bool&) { expectedKeys << k, expectedTypes << 3; }});
        QCOMPARE(bag.keys(), expectedKeys);
        for (qsizetype i = 0; i < expectedKeys.size(); ++i)
            QVERIFY2(bag.read(expectedKeys.at(i))->index() == expectedTypes.at(i),
                     qPrintable(expectedKeys.at(i)));
    }

    void saveAndLoadLogTheirSteps() {
        modGlobals::Sets().STARTUP = 0;
        QVERIFY(modSettings::SaveSettings());
        QVERIFY(modSettings::LoadSettings());
        const QStringList expected = {
            "Saveing settings...",
            "Function: SetStartUp; v=0",
            "Function: SetStartUp; complete",
            "---Settings saved.",
            "Loading settings...",
            QStringLiteral("F=") + settingsFile() + QStringLiteral("<<<"),
            "LS_P_0",
            "LS_P_1",
            "LS_P_2",
            "LS_P_3",
            "LS_P_4",
            "LS_P_5",
            "LS_P_6",
            "LS_P_7",
            "LS_P_8",
            "---Settings loaded.",
        };
        QCOMPARE(logEntries(), expected);
    }

    void missingFileGivesDefaultsAndKeepsHeldValues() {
        Settings& s = modGlobals::Sets();
        s = filled(Profile::Distinct); // every value away from its default
        const Settings before = s;
        QVERIFY(!QFileInfo::exists(settingsFile()));
        QVERIFY(modSettings::LoadSettings());

        Settings expected = before; // held: SFLD, FM_KOT, FM_SB, FC_SB, AQR, CAT, FBe, FB
        expected.LANG.clear();
        expected.UNAME = modNetCom::GetLogonName();
        expected.UCOL = 0;
        expected.UFNT = QStringLiteral("Arial");
        expected.UPN.clear();
        expected.STARTUP = 0;
        expected.ALGON = 0;
        expected.ALTSND = QStringLiteral("(System Beep)");
        expected.ALTPOS = 1;
        expected.CHTSNDBTN = 1;
        expected.CHTSTY = 1;
        expected.CHTSND = QStringLiteral("(System Beep)");
        expected.CHTPICS = 1;
        expected.FM_PL = -10000;
        expected.FM_PT = expected.FM_PW = expected.FM_PH = 0;
        expected.FM_PS = 0;
        expected.SKN.clear();
        expected.INV = 0;
        expected.BLC.clear();
        expected.GRPS.clear();
        expected.SB_U = 1;
        expected.SB_P = 0;
        expected.SB_S = 1;
        expected.SB_F = 1;
        compareSettings(s, expected);
        QVERIFY(!expected.UNAME.isEmpty());
        QCOMPARE(expected.UNAME.left(1), expected.UNAME.left(1).toUpper());
        QVERIFY(messages.texts().isEmpty());
        QCOMPARE(terminated, 0);
        QVERIFY(!QFileInfo::exists(settingsFile())); // loading creates nothing
    }

    void setSwitchLoadsSecondFileOverFirst_data() {
        QTest::addColumn<bool>("secondExists");
        QTest::newRow("second file with two keys") << true;
        QTest::newRow("second file missing") << false;
    }
    void setSwitchLoadsSecondFileOverFirst() {
        QFETCH(bool, secondExists);
        Settings first = filled(Profile::Distinct);
        first.STARTUP = 0;
        modGlobals::Sets() = first;
        QVERIFY(modSettings::SaveSettings());
        if (secondExists) {
            SettingsBag partial;
            partial.write(QStringLiteral("UCOL"), qint32(255));
            partial.write(QStringLiteral("AQR1"), QStringLiteral("from the second file"));
            writeAll(settingsFile(QStringLiteral("Other.con")), partial.contents());
        }

        modGlobals::Sets() = Settings{};
        QVERIFY(modSettings::LoadSettings());
        QVERIFY(modSettings::UseSettingsFile(QStringLiteral("Other.con")));
        QCOMPARE(modGlobals::Run().SettingsFile, QStringLiteral("Other.con"));

        const Settings& s = modGlobals::Sets();
        // Keys with a fixed default take it; held keys keep what the first file gave.
        QCOMPARE(s.UCOL, secondExists ? 255 : 0);
        QCOMPARE(s.UFNT, QStringLiteral("Arial"));
        QCOMPARE(s.UNAME, modNetCom::GetLogonName());
        QCOMPARE(s.FM_PL, -10000);
        QCOMPARE(s.AQR[1], secondExists ? QStringLiteral("from the second file") : first.AQR[1]);
        QCOMPARE(s.AQR[0], first.AQR[0]);
        QCOMPARE(s.SFLD, first.SFLD);
        QCOMPARE(s.FM_KOT, first.FM_KOT);
        QCOMPARE(s.FC_SB, first.FC_SB);
        QCOMPARE(s.CAT[9], first.CAT[9]);
        QCOMPARE(s.FBe, first.FBe);
        QCOMPARE(s.FB[9].target, first.FB[9].target);
        QCOMPARE(s.FB[9].sendNow, first.FB[9].sendNow);
        QCOMPARE(s.FB[9].text, first.FB[9].text);
        QVERIFY(messages.texts().isEmpty());

        // Later saves go to the second file; the first stays as it was.
        const QByteArray firstBytes = readAll(settingsFile());
        QVERIFY(modSettings::SaveSettings());
        QVERIFY(QFileInfo::exists(settingsFile(QStringLiteral("Other.con"))));
        QCOMPARE(readAll(settingsFile()), firstBytes);
    }

    void emptySetValueIsIgnored() {
        modGlobals::Sets().UFNT = QStringLiteral("Verdana");
        QVERIFY(!modSettings::UseSettingsFile(QString()));
        QCOMPARE(modGlobals::Run().SettingsFile, QStringLiteral("User.con"));
        QCOMPARE(modGlobals::Sets().UFNT, QStringLiteral("Verdana")); // nothing was loaded
        QVERIFY(logEntries().isEmpty());
    }

    void damagedFileEndsInOrderAndStaysAsItWas_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("error");
        QTest::addColumn<QString>("assignedBefore"); // a key read before the failure

        SettingsBag good;
        good.write(QStringLiteral("LANG"), QStringLiteral("x.qxl"));
        const QByteArray valid = good.contents();
        QByteArray flipped = valid;
        flipped[valid.size() / 2] = char(flipped[valid.size() / 2] ^ 0x20);

        QTest::newRow("foreign text")
            << QByteArray("[Settings]\r\nUNAME=Ann\r\n") << "321: Invalid file format"
            << "";
        QTest::newRow("empty file") << QByteArray() << "321: Invalid file format"
                                    << "";
        QTest::newRow("cut short") << valid.left(valid.size() - 3) << "321: Invalid file format"
                                   << "";
        QTest::newRow("one bit changed") << flipped << "321: Invalid file format"
                                         << "";
        QTest::newRow("bytes after the end") << valid + QByteArray("\0\0", 2) << "321: Invalid file format"
                                             << "";

        SettingsBag mismatch;
        mismatch.write(QStringLiteral("LANG"), QStringLiteral("de.qxl"));
        mismatch.write(QStringLiteral("UCOL"), QStringLiteral("red"));
        QTest::newRow("text where a number belongs") << mismatch.contents() << "13: Type mismatch"
                                                     << "de.qxl";

        SettingsBag overflow;
        overflow.write(QStringLiteral("LANG"), QStringLiteral("fr.qxl"));
        overflow.write(QStringLiteral("ALTPOS"), qint32(70000));
        QTest::newRow("32-bit value in a 16-bit key") << overflow.contents() << "6: Overflow"
                                                      << "fr.qxl";
    }
    void damagedFileEndsInOrderAndStaysAsItWas() {
        QFETCH(QByteArray, content);
        QFETCH(QString, error);
        QFETCH(QString, assignedBefore);
        writeAll(settingsFile(), content);
        modGlobals::Sets().LANG = QStringLiteral("held");

        QVERIFY(!modSettings::LoadSettings());

        QCOMPARE(messages.texts(), QStringList{QStringLiteral("Error in Talkvane3\r\n") + error});
        QCOMPARE(terminated, 1);
        const QStringList log = logEntries();
        QVERIFY(log.contains(QStringLiteral("Error In Load Settings - ") + error));
        QVERIFY(!log.contains(QStringLiteral("---Settings loaded.")));
        QCOMPARE(readAll(settingsFile()), content);
        QCOMPARE(modGlobals::Sets().LANG, assignedBefore.isEmpty() ? QStringLiteral("held") : assignedBefore);
    }

    // A settings file named by the command line or left in the folder that is no regular file, or
    // far too large to be one, is refused at once, the way an unreadable file is.
    void notAFileEndsInOrder_data() { addNotAFileRows(); }
    void notAFileEndsInOrder() {
        QFETCH(QByteArray, notAFile);
        modGlobals::Run().SettingsFile = makeNotAFile(notAFile, settingsFile(QStringLiteral("Odd.con")));
        modGlobals::Sets().LANG = QStringLiteral("held");

        QVERIFY(!modSettings::LoadSettings());

        QCOMPARE(messages.texts(),
                 QStringList{QStringLiteral("Error in Talkvane3\r\n75: Not a regular file")});
        QCOMPARE(terminated, 1);
        QVERIFY(logEntries().contains(QStringLiteral("Error In Load Settings - 75: Not a regular file")));
        QCOMPARE(modGlobals::Sets().LANG, QStringLiteral("held"));
    }
    void oversizedFileEndsInOrderAndStaysAsItWas() {
        SettingsBag bag;
        bag.write(QStringLiteral("LANG"), QString(3 * 1024 * 1024, QLatin1Char('x')));
        const QByteArray content = bag.contents() + QByteArray(2 * 1024 * 1024, '\0');
        writeAll(settingsFile(), content);
        modGlobals::Sets().LANG = QStringLiteral("held");

        QVERIFY(!modSettings::LoadSettings());

        QCOMPARE(messages.texts(), QStringList{QStringLiteral("Error in Talkvane3\r\n75: File too large")});
        QCOMPARE(terminated, 1);
        QCOMPARE(readAll(settingsFile()), content);
        QCOMPARE(modGlobals::Sets().LANG, QStringLiteral("held"));
    }

    void shortSaveAfterLongSaveReadsBackShort() {
        Settings& s = modGlobals::Sets();
        s.BLC = QString(20000, QLatin1Char('x'));
        QVERIFY(modSettings::SaveSettings());
        const qint64 longSize = QFileInfo(settingsFile()).size();
        s.BLC = QStringLiteral("Ann\u0001");
        QVERIFY(modSettings::SaveSettings());
        QVERIFY(QFileInfo(settingsFile()).size() < longSize - 19000);
        s.BLC = QStringLiteral("other");
        QVERIFY(modSettings::LoadSettings());
        QCOMPARE(s.BLC, QStringLiteral("Ann\u0001"));
        QVERIFY(messages.texts().isEmpty());
    }

    // A disk that fills up in the middle of a save: the previous file must survive whole.
    void failedSaveLeavesPreviousFile() {
        modGlobals::Sets().UNAME = QStringLiteral("Ann");
        QVERIFY(modSettings::SaveSettings());
        const QByteArray previous = readAll(settingsFile());
        QVERIFY(previous.size() < 4096);
        const QStringList before = QDir(folder).entryList(QDir::Files);

        modGlobals::Sets().BLC = QString(100000, QLatin1Char('b'));
        messages.shown.clear();
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit saved{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        rlimit small = saved;
        small.rlim_cur = 16384;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        const bool ok = modSettings::SaveSettings();
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &saved), 0);

        QVERIFY(!ok);
        QCOMPARE(readAll(settingsFile()), previous);
        QCOMPARE(QDir(folder).entryList(QDir::Files), before); // no half-written file left behind
        QCOMPARE(terminated, 1);
        QCOMPARE(messages.texts().size(), 1);
        QCOMPARE(messages.texts().first(), QStringLiteral("Error in Talkvane3\r\n61: Disk full"));
        const QStringList log = logEntries();
        QVERIFY(log.contains(QStringLiteral("Error In Saving Settings - 61: Disk full")));
        QCOMPARE(log.count(QStringLiteral("---Settings saved.")), 1); // the first save only
        QCOMPARE(log.count(QStringLiteral("Function: SetStartUp; v=0")),
                 1); // only the first save got that far
    }

    void saveWhereNoFileCanBeMadeEndsInOrder() {
        modGlobals::Run().SettingsFile = QStringLiteral("No Such Folder/User.con");
        QVERIFY(!modSettings::SaveSettings());
        QCOMPARE(terminated, 1);
        QCOMPARE(messages.texts().size(), 1);
        QVERIFY(messages.texts().first().startsWith(QStringLiteral("Error in Talkvane3\r\n75: ")));
        const QStringList log = logEntries();
        QCOMPARE(log.size(), 2);
        QCOMPARE(log.at(0), QStringLiteral("Saveing settings..."));
        QVERIFY(log.at(1).startsWith(QStringLiteral("Error In Saving Settings - 75: ")));
        QVERIFY(!QFileInfo::exists(settingsFile(QStringLiteral("No Such Folder"))));
    }

    // ---- the autorun entry ----

    void autorunEntryText_data() {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("environment");
        QTest::addColumn<QString>("exec");
        QTest::newRow("blank") << "/opt/My Programs/QX3" << QStringList() << "Exec=\"/opt/My Programs/QX3\"";
        QTest::newRow("quote, dollar, backtick")
            << "/opt/a\"b$c`d/QX3" << QStringList() << "Exec=\"/opt/a\\\\\"b\\\\$c\\\\`d/QX3\"";
        QTest::newRow("backslash") << "/opt/a\\b/QX3" << QStringList() << "Exec=\"/opt/a\\\\\\\\b/QX3\"";
        QTest::newRow("percent") << "/opt/100%/QX3" << QStringList() << "Exec=\"/opt/100%%/QX3\"";
        QTest::newRow("non-ASCII") << "/opt/Programme \u00fcber/QX3" << QStringList()
                                   << "Exec=\"/opt/Programme \u00fcber/QX3\"";
        QTest::newRow("data folder carried") << "/opt/QX3/QX3" << QStringList{"QX3_HOME=/srv/my data"}
                                             << "Exec=env \"QX3_HOME=/srv/my data\" \"/opt/QX3/QX3\"";
        QTest::newRow("data folder with a dollar") << "/opt/QX3/QX3" << QStringList{"QX3_HOME=/srv/$x"}
                                                   << "Exec=env \"QX3_HOME=/srv/\\\\$x\" \"/opt/QX3/QX3\"";
    }
    void autorunEntryText() {
        QFETCH(QString, program);
        QFETCH(QStringList, environment);
        QFETCH(QString, exec);
        QCOMPARE(Autostart::entryText(QStringLiteral("Talk-Vane"), program, environment),
                 QStringLiteral("[Desktop Entry]\nType=Application\nName=Talk-Vane\n") + exec +
                     QLatin1Char('\n'));
    }

    void saveWithStartUpWritesEntry() {
        modGlobals::Sets().STARTUP = 1;
        QVERIFY(modSettings::SaveSettings());
        // The program where it runs, told the data folder it uses.
        const QString program =
            QDir(QCoreApplication::applicationDirPath())
                .filePath(QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName());
        QCOMPARE(QFileInfo(entryFile()).fileName(), QStringLiteral("Talk-Vane.desktop"));
        QCOMPARE(QFileInfo(entryFile()).absolutePath(), temp.filePath(QStringLiteral("config/autostart")));
        QCOMPARE(QString::fromUtf8(readAll(entryFile())),
                 QStringLiteral("[Desktop Entry]\nType=Application\nName=Talk-Vane\nExec=env \"QX3_HOME=") +
                     folder + QStringLiteral("\" \"") + program + QStringLiteral("\"\n"));
        QVERIFY(folder.contains(QStringLiteral("/Program Folder")));

        modGlobals::Sets().STARTUP = 0;
        QVERIFY(modSettings::SaveSettings());
        QVERIFY(!QFileInfo::exists(entryFile()));
    }

    void setStartUpValues_data() {
        QTest::addColumn<bool>("presentBefore");
        QTest::addColumn<int>("v");
        QTest::addColumn<bool>("presentAfter");
        QTest::newRow("0 removes") << true << 0 << false;
        QTest::newRow("0 with nothing there") << false << 0 << false;
        QTest::newRow("1 writes again") << true << 1 << true;
        QTest::newRow("1 writes") << false << 1 << true;
        QTest::newRow("2 keeps an entry") << true << 2 << true;
        QTest::newRow("2 creates none") << false << 2 << false;
        QTest::newRow("-1 keeps an entry") << true << -1 << true;
    }
    void setStartUpValues() {
        QFETCH(bool, presentBefore);
        QFETCH(int, v);
        QFETCH(bool, presentAfter);
        // A hand-made entry shows whether it is left alone or written again.
        const QByteArray own("[Desktop Entry]\nType=Application\nName=Talk-Vane\nExec=\"/somewhere/else\"\n");
        if (presentBefore) {
            QVERIFY(QDir().mkpath(Autostart::folder()));
            writeAll(entryFile(), own);
        }
        modStartUp::SetStartUp(static_cast<qint16>(v));
        QCOMPARE(QFileInfo::exists(entryFile()), presentAfter);
        if (presentAfter) {
            const QByteArray now = readAll(entryFile());
            if (v == 1)
                QCOMPARE(now, Autostart::entryText(QStringLiteral("Talk-Vane"), modStartUp::StartUpProgram(),
                                                   ProgramFolder::environment())
                                  .toUtf8());
            else
                QCOMPARE(now, own);
        }
        QCOMPARE(logEntries(), (QStringList{QStringLiteral("Function: SetStartUp; v=") + QString::number(v),
                                            QStringLiteral("Function: SetStartUp; complete")}));
    }

    void autorunWriteFailureIsLogged() {
        // The autostart folder's name taken by a file: the entry cannot be written.
        writeAll(temp.filePath(QStringLiteral("config/autostart")), "x");
        modStartUp::SetStartUp(1);
        const QStringList log = logEntries();
        QCOMPARE(log.size(), 3);
        QVERIFY(log.at(1).startsWith(QStringLiteral("Unable to write the autostart entry '") + entryFile() +
                                     "': "));
        QCOMPARE(log.at(2), QStringLiteral("Function: SetStartUp; complete"));
        QFile::remove(temp.filePath(QStringLiteral("config/autostart")));
    }

    // ---- the registry store ----

    void registryTextValues() {
        const QString key = QStringLiteral("Software\\Orvanta\\QX3");
        QVERIFY(modStartUp::RegSetString(Registry::CurrentUser, "\\" + key + "\\", QStringLiteral("Path"),
                                         QStringLiteral("C:\\x\u0001y")));
        QVERIFY(modStartUp::RegSetString(Registry::CurrentUser, key, QStringLiteral("*"),
                                         QStringLiteral("default")));
        QVERIFY(Registry::keyExists(Registry::CurrentUser, QStringLiteral("software\\orvanta")));
        QVERIFY(!Registry::keyExists(Registry::LocalMachine, key));

        auto path = Registry::queryValue(Registry::CurrentUser, QStringLiteral("SOFTWARE\\orvanta\\qx3"),
                                         QStringLiteral("path"));
        QVERIFY(path.has_value());
        QCOMPARE(path->text, QStringLiteral("C:\\x\u0001y"));
        auto def = Registry::queryValue(Registry::CurrentUser, key, QString());
        QVERIFY(def.has_value());
        QCOMPARE(def->text, QStringLiteral("default"));

        // The key is used as given: with its slashes it names no key, and nothing goes.
        modStartUp::DeleteRegValue(Registry::CurrentUser, "\\" + key + "\\", QStringLiteral("Path"));
        QVERIFY(Registry::queryValue(Registry::CurrentUser, key, QStringLiteral("Path")).has_value());
        modStartUp::DeleteRegValue(Registry::CurrentUser, key, QStringLiteral("Path"));
        QVERIFY(!Registry::queryValue(Registry::CurrentUser, key, QStringLiteral("Path")).has_value());
        modStartUp::DeleteRegValue(Registry::CurrentUser, key,
                                   QStringLiteral("Path")); // gone already: ignored
        modStartUp::DeleteRegValue(Registry::CurrentUser, QStringLiteral("No\\Such\\Key"),
                                   QStringLiteral("x"));
        QVERIFY(Registry::queryValue(Registry::CurrentUser, key, QStringLiteral("*")).has_value());
        QVERIFY(!modStartUp::RegSetString(Registry::CurrentUser, QStringLiteral("A\\\\B"),
                                          QStringLiteral("x"), "y"));
    }

    void registryBinaryValueAndDamagedStore() {
        QByteArray record(90, '\0');
        for (int i = 0; i < record.size(); ++i)
            record[i] = char(i * 7);
        Registry::Value v;
        v.type = Registry::Type::Binary;
        v.bytes = record;
        QVERIFY(Registry::setValue(Registry::CurrentUser, QStringLiteral("Software\\Bar"),
                                   QStringLiteral("*"), v));
        const auto back =
            Registry::queryValue(Registry::CurrentUser, QStringLiteral("Software\\Bar"), QString());
        QVERIFY(back.has_value());
        QCOMPARE(back->type, Registry::Type::Binary);
        QCOMPARE(back->bytes, record);

        // A store that is not ours is neither read nor replaced.
        writeAll(Registry::storePath(), "{ not json");
        QVERIFY(!Registry::queryValue(Registry::CurrentUser, QStringLiteral("Software\\Bar"), QString())
                     .has_value());
        QVERIFY(!modStartUp::RegSetString(Registry::CurrentUser, QStringLiteral("Software\\Bar"), "x", "y"));
        QCOMPARE(readAll(Registry::storePath()), QByteArray("{ not json"));
    }

    // A FIFO or a folder where the store belongs is neither read (a FIFO would block for ever)
    // nor replaced.
    void registryStoreThatIsNoFile_data() {
        QTest::addColumn<QByteArray>("notAFile");
        QTest::newRow("FIFO without a writer") << QByteArray("fifo");
        QTest::newRow("folder") << QByteArray("folder");
    }
    void registryStoreThatIsNoFile() {
        QFETCH(QByteArray, notAFile);
        const QByteArray keep = qgetenv("QX3_REGISTRY");
        const QString odd = makeNotAFile(notAFile, temp.filePath(QStringLiteral("odd-registry")));
        qputenv("QX3_REGISTRY", odd.toUtf8());
        const bool read =
            Registry::queryValue(Registry::CurrentUser, QStringLiteral("Software\\Bar"), QString())
                .has_value();
        const bool written =
            modStartUp::RegSetString(Registry::CurrentUser, QStringLiteral("Software\\Bar"), "x", "y");
        const bool untouched = QFileInfo::exists(odd) && !QFileInfo(odd).isFile();
        qputenv("QX3_REGISTRY", keep);
        QDir(odd).removeRecursively();
        QFile::remove(odd);
        QVERIFY(!read);
        QVERIFY(!written);
        QVERIFY(untouched);
    }
};

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"
