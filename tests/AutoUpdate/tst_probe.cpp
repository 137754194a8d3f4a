// The installed version: the pattern search over an executable's bytes, the messenger's own
// version block, read beside the program whatever the data folder, splitting the text, and
// comparing listed versions with it.
#include "AutoUpdate/modAppFnc.h"
#include "AutoUpdate/modFileInfo.h"
#include "AutoUpdate/modMain.h"
#include "platform/VersionBlock.h"
#include "platform/qx3version.h"
#include "support/FromCopy.h"
#include "support/PlatformHeadless.h"
#include "support/TestFiles.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace AutoUpdate;

namespace {
// A key as a version resource writes it: type word 1, then the key in UTF-16LE with its terminator.
QByteArray entryKey(const char* key) {
    QByteArray out("\x01\x00", 2);
    for (const char* k = key; *k; ++k)
        out += QByteArray(1, *k) + QByteArray(1, '\0');
    return out + QByteArray(2, '\0');
}
QByteArray utf16(const QByteArray& text) {
    QByteArray out;
    for (const char c : text)
        out += QByteArray(1, c) + QByteArray(1, '\0');
    return out;
}
// Bytes with a string table holding `value` as ProductVersion, somewhere in the middle of junk.
QByteArray resource(const QByteArray& value, const QByteArray& before = QByteArray(100, 'x')) {
    return before + entryKey("StringFileInfo") + "\x40\x00" + entryKey("040904B0") +
           QByteArray("\x20\x00\x0A\x00", 4) + entryKey("ProductVersion") + utf16(value) +
           QByteArray(2, '\0') + QByteArray(50, 'y');
}

constexpr auto kBlock = VersionBlock::Build<3, 0, 9>();
QByteArray blockBytes() {
    return QByteArray(reinterpret_cast<const char*>(kBlock.data()), qsizetype(kBlock.size()));
}
} // namespace

class TestProbe : public QObject {
    Q_OBJECT
    TestEnv::PlatformHeadless env;

  private slots:
    void init() {
        env.reset();
        TestEnv::FromCopy::empty();
        modMain::Run() = modMain::Values();
    }

    // Started with QX3_HOME naming a data folder of its own, the probe reads the messenger
    // beside the program, never a file of that name among the data.
    void probesTheMessengerBesideTheProgram() {
        QVERIFY(QDir(env.folder()) != QDir(TestEnv::FromCopy::folder()));
        QCOMPARE(ProgramFolder::path(), QDir(env.folder()).absolutePath());
        writeAll(ProgramFolder::file(QStringLiteral("QX3")), resource("1.02.0003"));
        writeAll(QDir(TestEnv::FromCopy::folder()).filePath(QStringLiteral("QX3")), resource("3.00.0009"));
        modMain::ReadInstalledVersion();
        QCOMPARE(modMain::Run().InstalledVersion, QStringLiteral("3.00.0009"));
        QCOMPARE(modMain::Run().InstalledRevision, 9);
        QVERIFY(QFile::remove(QDir(TestEnv::FromCopy::folder()).filePath(QStringLiteral("QX3"))));
        modMain::ReadInstalledVersion();
        QCOMPARE(modMain::Run().InstalledMajor, 0);
        QCOMPARE(modMain::Run().InstalledMinor, 0);
    }

    void resourceKeyIsTheTypeWordAndTheKeyLessItsLastHighByte() {
        QCOMPARE(modFileInfo::ToResourceKey(QString()), QByteArray());
        QCOMPARE(modFileInfo::ToResourceKey(QStringLiteral("Ab")), QByteArray("\x01\x00"
                                                                              "A\x00"
                                                                              "b",
                                                                              5));
        QCOMPARE(entryKey("StringFileInfo").left(29),
                 modFileInfo::ToResourceKey(QStringLiteral("StringFileInfo")));
    }

    void versionText_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        QTest::newRow("the messenger's") << resource("3.00.0009") << "3.00.0009";
        QTest::newRow("built block") << QByteArray("junk") + blockBytes() + QByteArray("\x01\x02", 2)
                                     << "3.00.0009";
        QTest::newRow("no string table")
            << QByteArray(200, 'a') + entryKey("ProductVersion") + utf16("1.2.3") + QByteArray(4, '\0') << "";
        QTest::newRow("product version before the table")
            << entryKey("ProductVersion") + utf16("9.9.9") + QByteArray(4, '\0') +
                   entryKey("StringFileInfo") + QByteArray(10, 'z')
            << "";
        QTest::newRow("empty file") << QByteArray() << "";
        QTest::newRow("pattern in the last bytes")
            << QByteArray(10, 'a') + entryKey("StringFileInfo") +
                   modFileInfo::ToResourceKey(QStringLiteral("ProductVersion"))
            << "";
        QTest::newRow("value runs to the end without three zeros")
            << QByteArray(10, 'a') + entryKey("StringFileInfo") + entryKey("ProductVersion") + utf16("3.1.2")
            << "";
        QTest::newRow("value cut right after the key")
            << QByteArray(10, 'a') + entryKey("StringFileInfo") + entryKey("ProductVersion").chopped(1) << "";
        QTest::newRow("two dots missing") << resource("3.1") << "3.1";
        QTest::newRow("odd bytes") << resource("x.y.z") << "x.y.z";
    }
    void versionText() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        QCOMPARE(modFileInfo::ProductVersionFromBytes(bytes), expected);
    }

    void builderWritesTheTextWithPaddedParts() {
        QCOMPARE(QByteArray(VersionBlock::VersionText(3, 0, 9).c), QByteArray("3.00.0009"));
        QCOMPARE(QByteArray(VersionBlock::VersionText(12, 345, 67890).c), QByteArray("12.345.67890"));
        // The length words add up: the whole table, then the language table, then the entry.
        const QByteArray b = blockBytes();
        auto word = [&](qsizetype at) { return int(uchar(b[at])) | int(uchar(b[at + 1])) << 8; };
        QCOMPARE(word(0), 36 + 24 + 36 + 20);
        QCOMPARE(word(36), 24 + 36 + 20);
        QCOMPARE(word(60), 36 + 20);
        QCOMPARE(word(62), 10); // characters of the value with its terminator
    }

    void theBuiltMessengerCarriesItsProjectVersion() {
        const QString built = qEnvironmentVariable("QX3_TEST_BINARY_DIR") + QStringLiteral("/QX3");
        QVERIFY2(QFileInfo(built).isFile(), qPrintable(built));
        QVERIFY(QFile::copy(built, ProgramFolder::program(QStringLiteral("QX3"))));
        modMain::ReadInstalledVersion();
        const modMain::Values& v = modMain::Run();
        QCOMPARE(v.InstalledVersion,
                 QString::fromLatin1(
                     VersionBlock::VersionText(QX3_VERSION_MAJOR, QX3_VERSION_MINOR, QX3_VERSION_PATCH).c));
        QCOMPARE(v.InstalledMajor, QX3_VERSION_MAJOR);
        QCOMPARE(v.InstalledMinor, QX3_VERSION_MINOR);
        QCOMPARE(v.InstalledRevision, QX3_VERSION_PATCH);
    }

    void splitting_data() {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<int>("major");
        QTest::addColumn<int>("minor");
        QTest::addColumn<int>("revision");
        QTest::newRow("padded") << QByteArray("3.00.0009") << 3 << 0 << 9;
        QTest::newRow("one dot") << QByteArray("3.1") << 3 << 1 << 0;
        QTest::newRow("no dot") << QByteArray("7") << 7 << 0 << 0;
        QTest::newRow("letters") << QByteArray("x.y.z") << 0 << 0 << 0;
        QTest::newRow("beyond 16 bits") << QByteArray("70000.2.32768") << 0 << 2 << 0;
        QTest::newRow("largest") << QByteArray("32767.0.1") << 32767 << 0 << 1;
        QTest::newRow("four parts") << QByteArray("1.2.3.4") << 1 << 2 << 0;
        QTest::newRow("signs") << QByteArray("-1.+2. 3") << 0 << 0 << 0;
    }
    void splitting() {
        QFETCH(QByteArray, value);
        writeAll(ProgramFolder::program(QStringLiteral("QX3")), resource(value));
        modMain::ReadInstalledVersion();
        const modMain::Values& v = modMain::Run();
        QCOMPARE(v.InstalledVersion, QString::fromLatin1(value));
        QTEST(int(v.InstalledMajor), "major");
        QTEST(int(v.InstalledMinor), "minor");
        QTEST(int(v.InstalledRevision), "revision");
    }

    // A later probe that finds nothing keeps the text but zeroes the numbers; a replaced
    // executable counts at the next probe.
    void missingExecutableKeepsTheTextAndZeroesTheNumbers() {
        writeAll(ProgramFolder::program(QStringLiteral("QX3")), resource("3.00.0009"));
        modMain::ReadInstalledVersion();
        QVERIFY(QFile::remove(ProgramFolder::program(QStringLiteral("QX3"))));
        modMain::ReadInstalledVersion();
        QCOMPARE(modMain::Run().InstalledVersion, QStringLiteral("3.00.0009"));
        QCOMPARE(modMain::Run().InstalledMajor, 0);
        QCOMPARE(modMain::Run().InstalledRevision, 0);
        writeAll(ProgramFolder::program(QStringLiteral("QX3")), resource("3.01.0002"));
        modMain::ReadInstalledVersion();
        QCOMPARE(modMain::Run().InstalledVersion, QStringLiteral("3.01.0002"));
        QCOMPARE(modMain::Run().InstalledMinor, 1);
        // A folder in its place is no executable.
        QVERIFY(QFile::remove(ProgramFolder::program(QStringLiteral("QX3"))));
        QVERIFY(QDir(TestEnv::FromCopy::folder()).mkdir(QStringLiteral("QX3")));
        modMain::ReadInstalledVersion();
        QCOMPARE(modMain::Run().InstalledMajor, 0);
        QVERIFY(QDir(TestEnv::FromCopy::folder()).rmdir(QStringLiteral("QX3")));
    }

    void newerVersion_data() {
        QTest::addColumn<QList<int>>("installed");
        QTest::addColumn<QString>("listed");
        QTest::addColumn<int>("expected"); // 1 newer, 0 not, -1 malformed
        const QList<int> v309{3, 0, 9};
        QTest::newRow("patch above") << v309 << "3.0.10" << 1;
        QTest::newRow("same") << v309 << "3.0.9" << 0;
        QTest::newRow("minor above") << v309 << "3.1.0" << 1;
        QTest::newRow("older") << v309 << "2.9.99" << 0;
        QTest::newRow("padded same") << v309 << "3.00.0009" << 0;
        // Joining the digits would say 3010 > 310 and hide a listed 3.1.0 from 3.0.10.
        QTest::newRow("joined digits hide a minor") << QList<int>{3, 0, 10} << "3.1.0" << 1;
        QTest::newRow("joined digits offer an older") << QList<int>{3, 1, 0} << "3.0.10" << 0;
        QTest::newRow("always") << v309 << "-" << 1;
        QTest::newRow("unknown installed") << QList<int>{0, 0, 0} << "0.0.1" << 1;
        QTest::newRow("unknown installed, dash") << QList<int>{0, 0, 0} << "-" << 1;
        QTest::newRow("two parts") << v309 << "3.1" << -1;
        QTest::newRow("four parts") << v309 << "3.1.0.0" << -1;
        QTest::newRow("letters") << v309 << "3.a.0" << -1;
        QTest::newRow("empty part") << v309 << "3..0" << -1;
        QTest::newRow("beyond 16 bits") << v309 << "3.0.32768" << -1;
        QTest::newRow("blank") << v309 << "" << -1;
        QTest::newRow("negative") << v309 << "3.0.-1" << -1;
    }
    void newerVersion() {
        QFETCH(QList<int>, installed);
        QFETCH(QString, listed);
        QFETCH(int, expected);
        modMain::Values& v = modMain::Run();
        v.InstalledMajor = qint16(installed[0]);
        v.InstalledMinor = qint16(installed[1]);
        v.InstalledRevision = qint16(installed[2]);
        const std::optional<bool> got = modAppFnc::IsNewerVersion(listed);
        QCOMPARE(got ? int(*got) : -1, expected);
    }
};

QX3_TEST_GUILESS_MAIN_FROM_COPY(TestProbe)
#include "tst_probe.moc"
