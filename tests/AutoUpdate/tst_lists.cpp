// The update and skin lists: reading the items, records and titles side by side, the version
// filter, the installed-file filters (programs beside the program, language files and skins in
// the data folder), and names from the list that would leave their folder.
#include "AutoUpdate/modAppFnc.h"
#include "AutoUpdate/modListSort.h"
#include "AutoUpdate/modMain.h"
#include "support/FromCopy.h"
#include "support/PlatformHeadless.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

using namespace AutoUpdate;
using modListSort::Lists;

namespace {
// Every record's first field is its title, index by index, unless a notice stands alone.
void checkAligned(const Lists& l) {
    if (l.notice) {
        QCOMPARE(l.lstUpdates.size(), 1);
        QVERIFY(!l.enabled);
        return;
    }
    QCOMPARE(l.lstUpdates.size(), l.lstUDL.size());
    for (qsizetype i = 0; i < l.lstUDL.size(); ++i)
        QCOMPARE(l.lstUpdates.at(i), modAppFnc::GetField(l.lstUDL.at(i), 1, QLatin1Char('|')));
}

const QByteArray kUpdates = "\"Upgrade, new|More, and better|h/f/QX3|\\|\\|1|3.0.10|1 MB|Restart|True\"\r\n"
                            "Old upgrade|old|h/f/QX3|\\|\\|1|3.0.9|1 MB||False\r\n"
                            "Always|any|h/f/tool.sh|\\|\\|1|-|2 KB|Run it|False\r\n"
                            "Manual|doc|h/f/manual.txt|\\Docs|\\|2|-|3 KB||False\r\n"
                            "Readme|doc|h/f/readme.txt|\\|\\|2|-|1 KB||False\r\n"
                            "French|fr|h/l/French.qxl|\\Lang|\\|3|2.0|4 KB||False\r\n"
                            "German|de|h/l/German.qxl|\\Lang|\\|3|2.1|4 KB||False\r\n"
                            "Climber|x|h/f/passwd|\\..\\..\\etc|\\|2|-|1||False\r\n"
                            "Plain, split|y|h/f/z|\\|\\|2|-|1||False\r\n"
                            "\r\n"
                            "After|x|h/f/after.txt|\\|\\|2|-|1||False\r\n";
} // namespace

class TestLists : public QObject {
    Q_OBJECT
    TestEnv::PlatformHeadless env;

    // In the data folder, and beside the program.
    QString path(const QString& rel) const { return QDir(env.folder()).filePath(rel); }
    QString prog(const QString& rel) const { return QDir(TestEnv::FromCopy::folder()).filePath(rel); }
    static void putAt(const QString& file, const QByteArray& bytes) {
        QDir().mkpath(QFileInfo(file).absolutePath());
        writeAll(file, bytes);
    }
    void put(const QString& rel, const QByteArray& bytes) { putAt(path(rel), bytes); }
    void putProg(const QString& rel, const QByteArray& bytes) { putAt(prog(rel), bytes); }
    Lists load(const QByteArray& listBytes) {
        put(QStringLiteral("qx3.upd"), listBytes);
        const std::optional<QString> items = modAppFnc::ReadListFile(path(QStringLiteral("qx3.upd")));
        Lists l;
        if (!items) return l;
        [&] { QVERIFY(modListSort::FillLists(l, *items)); }();
        return l;
    }

  private slots:
    void init() {
        env.reset();
        TestEnv::FromCopy::empty();
        modMain::Run() = modMain::Values();
        modMain::Run().InstalledMajor = 3;
        modMain::Run().InstalledRevision = 9;
    }

    void fieldsPastTheEndGiveTheLast() {
        QCOMPARE(modAppFnc::GetField(QStringLiteral("a|b|c"), 9, QLatin1Char('|')), QStringLiteral("c"));
        QCOMPARE(modAppFnc::GetField(QStringLiteral("abc"), 2, QLatin1Char('|')), QStringLiteral("abc"));
        QCOMPARE(modAppFnc::GetField(QStringLiteral("a|b|"), 3, QLatin1Char('|')), QString());
    }

    void updateListFilters() {
        putProg(QStringLiteral("docs/manual.txt"), "m"); // written for a system that ignores case
        put(QStringLiteral("Lang/French.qxl"), "2.0\r\nkey,text\r\n");
        put(QStringLiteral("Lang/German.qxl"), "2.0\r\n");
        putProg(QStringLiteral("after.txt"), "a");
        // In the wrong folders: a program among the data, a language file beside the programs.
        put(QStringLiteral("readme.txt"), "r");
        putProg(QStringLiteral("Lang/German.qxl"), "2.1\r\n");
        Lists l = load(kUpdates);
        checkAligned(l);
        const QStringList parsed{QStringLiteral("Upgrade, new"), QStringLiteral("Always"),
                                 QStringLiteral("Manual"),       QStringLiteral("Readme"),
                                 QStringLiteral("French"),       QStringLiteral("German"),
                                 QStringLiteral("Climber"),      QStringLiteral("Plain"),
                                 QStringLiteral("split"),        QString(),
                                 QStringLiteral("After")};
        QCOMPARE(l.lstUpdates, parsed);
        QVERIFY(l.enabled);
        QCOMPARE(modAppFnc::GetField(l.lstUDL.at(0), 10, QLatin1Char('|')), QStringLiteral("True"));

        QStringList said;
        QVERIFY(modListSort::RestrictUpdatesList(l, [&](const QString& t) { said << t; }));
        checkAligned(l);
        // Installed: the manual (its folder in another case) and the French file of the same
        // version. The blank record ends the walk, so "After" stays although it is there.
        QCOMPARE(l.lstUpdates, (QStringList{QStringLiteral("Upgrade, new"), QStringLiteral("Always"),
                                            QStringLiteral("Readme"), QStringLiteral("German"),
                                            QStringLiteral("Climber"), QStringLiteral("Plain"),
                                            QStringLiteral("split"), QString(), QStringLiteral("After")}));
        QCOMPARE(said, (QStringList{QStringLiteral("Sorting updates list"),
                                    QStringLiteral("Updates listing complete")}));

        // The same list with LF line ends reads the same.
        QByteArray lf = kUpdates;
        lf.replace("\r\n", "\n");
        QCOMPARE(load(lf).lstUDL, load(kUpdates).lstUDL);
    }

    void missingLanguageCheckCopyFailsTheWalk() {
        put(QStringLiteral("Spanish.qxl"), "1.0\r\n");
        Lists l =
            load("Spanish|es|h/l/Spanish.qxl|\\|\\|3|1.0|1||False\r\nGone|x|h/f/g|\\|\\|2|-|1||False\r\n");
        putProg(QStringLiteral("g"), "installed, but the walk ends before it");
        QVERIFY(!modListSort::RestrictUpdatesList(l, [](const QString&) {}));
        QCOMPARE(l.lstUpdates.size(), 2);
        checkAligned(l);
    }

    void malformedVersionFailsTheList() {
        Lists l;
        QVERIFY(!modListSort::FillLists(l, QStringLiteral("Bad|x|h/f/QX3|\\|\\|1|3.1|1||False\r\n")));
    }

    void everythingInstalledLeavesOneDisabledNotice() {
        putProg(QStringLiteral("a.txt"), "a");
        Lists l = load("A|x|h/f/a.txt|\\|\\|2|-|1||False\r\nOld|x|h/f/QX3|\\|\\|1|1.0.0|1||False\r\n");
        QVERIFY(modListSort::RestrictUpdatesList(l, [](const QString&) {}));
        QCOMPARE(l.lstUpdates, QStringList{QStringLiteral("All updates installed")});
        QVERIFY(l.notice);
        QVERIFY(l.lstUDL.isEmpty());
        QVERIFY(!l.recordAt(0));
        checkAligned(l);
    }

    void skinListFilter() {
        put(QStringLiteral("skins/Blue.qxs"), "x");
        Lists l = load("Blue|b|h/s/Blue|\\Skins|\\|4|-|1|.gif|False\r\n"
                       "Red|r|h/s/Red|\\Skins|\\|4|-|1|.bmp|False\r\n"
                       "Extra|e|h/f/e|\\|\\|2|-|1||False\r\n");
        modListSort::RestrictSkinsList(l, [](const QString&) {});
        QCOMPARE(l.lstUpdates, (QStringList{QStringLiteral("Red"), QStringLiteral("Extra")}));
        checkAligned(l);
        put(QStringLiteral("Skins/Red.qxs"), "x");
        Lists only = load("Red|r|h/s/Red|\\Skins|\\|4|-|1|.bmp|False\r\n");
        modListSort::RestrictSkinsList(only, [](const QString&) {});
        QCOMPARE(only.lstUpdates, QStringList{QStringLiteral("All skins installed")});
        QVERIFY(!only.enabled);
    }

    void unreadableListFile() {
        QVERIFY(!modAppFnc::ReadListFile(path(QStringLiteral("none.upd"))));
        QDir().mkpath(path(QStringLiteral("dir.upd")));
        QVERIFY(!modAppFnc::ReadListFile(path(QStringLiteral("dir.upd"))));
    }

    void pathsStayInTheProgramFolder_data() {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("sub");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected"); // relative to the data folder; "" refused
        QTest::newRow("program folder") << "\\"
                                        << ""
                                        << "a.txt"
                                        << "a.txt";
        QTest::newRow("empty folder") << ""
                                      << ""
                                      << "a.txt"
                                      << "a.txt";
        QTest::newRow("sub folder, other case") << "\\LANG"
                                                << ""
                                                << "x.qxl"
                                                << "lang/x.qxl";
        QTest::newRow("check folder") << "\\"
                                      << "Lang"
                                      << "x.qxl"
                                      << "lang/x.qxl";
        QTest::newRow("new folder") << "\\New\\.\\Deeper\\"
                                    << ""
                                    << "f"
                                    << "New/Deeper/f";
        QTest::newRow("slashes") << "/Docs/"
                                 << ""
                                 << "f"
                                 << "Docs/f";
        QTest::newRow("climbs") << "\\..\\x"
                                << ""
                                << "f"
                                << "";
        QTest::newRow("climbs inside") << "\\a\\..\\..\\x"
                                       << ""
                                       << "f"
                                       << "";
        QTest::newRow("drive") << "C:\\Windows"
                               << ""
                               << "f"
                               << "";
        QTest::newRow("NUL") << QStringLiteral("\\a") + QChar(0) << ""
                             << "f"
                             << "";
        QTest::newRow("name climbs") << "\\"
                                     << ""
                                     << ".."
                                     << "";
        QTest::newRow("name dot") << "\\"
                                  << ""
                                  << "."
                                  << "";
        QTest::newRow("name with backslash") << "\\"
                                             << ""
                                             << "..\\f"
                                             << "";
        QTest::newRow("empty name") << "\\"
                                    << ""
                                    << ""
                                    << "";
        // Qt reads a leading ":" as a resource path, which would drop the program folder.
        QTest::newRow("resource folder") << ":gi"
                                         << ""
                                         << "f"
                                         << "";
        QTest::newRow("resource folder inside") << "\\a\\:b"
                                                << ""
                                                << "f"
                                                << "";
        QTest::newRow("resource name") << "\\"
                                       << ""
                                       << ":f"
                                       << "";
        QTest::newRow("colon later") << "\\a:b"
                                     << ""
                                     << "f:"
                                     << "a:b/f:";
        // Control characters, as a file transfer refuses them in a name.
        QTest::newRow("tab in the folder") << "\\a\tb"
                                           << ""
                                           << "f"
                                           << "";
        QTest::newRow("line end in the folder") << "\\Skins\\x\ny"
                                                << ""
                                                << "f"
                                                << "";
        QTest::newRow("DEL in the folder") << QStringLiteral("\\a") + QChar(0x7F) << ""
                                           << "f"
                                           << "";
        QTest::newRow("control character in the name") << "\\"
                                                       << ""
                                                       << "f\x01"
                                                       << "";
        QTest::newRow("folder name too long") << QStringLiteral("\\") + QString(256, QLatin1Char('d')) << ""
                                              << "f"
                                              << "";
    }
    void pathsStayInTheProgramFolder() {
        QFETCH(QString, folder);
        QFETCH(QString, sub);
        QFETCH(QString, name);
        QFETCH(QString, expected);
        QDir().mkpath(path(QStringLiteral("lang")));
        QCOMPARE(modListSort::ProgramPath(modListSort::Root::Data, folder, sub, name),
                 expected.isEmpty() ? QString() : path(expected));
        // The same names beside the programs.
        QDir().mkpath(prog(QStringLiteral("lang")));
        QCOMPARE(modListSort::ProgramPath(modListSort::Root::Programs, folder, sub, name),
                 expected.isEmpty() ? QString() : prog(expected));
    }
};

QX3_TEST_GUILESS_MAIN_FROM_COPY(TestLists)
#include "tst_lists.moc"
