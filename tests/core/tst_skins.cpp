// Skins (reader, loading, fall-back, re-skinning) and the shared pictures of the hidden image window.
#include "controls/chameleonButton.h"
#include "core/MessageService.h"
#include "core/SkinAtlas.h"
#include "core/SkinnableWindow.h"
#include "core/frmImgs.h"
#include "core/modAppFnc.h"
#include "core/modGlobals.h"
#include "core/modSkin.h"
#include "platform/Sound.h"
#include "support/TestFiles.h"

#include "support/Headless.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>
#include <QtTest>
#include <functional>
#include <memory>

using modSkin::SkinInfo;
Q_DECLARE_METATYPE(modSkin::SkinInfo)

namespace {

// What the windows would draw with while a message is up.
struct Meanwhile {
    SkinInfo skin;
    QImage picture;
};

void writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY2(f.open(QIODevice::WriteOnly), qPrintable(path));
    f.write(bytes);
}

void writePicture(const QString& path, QColor colour) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QImage img(645, 326, QImage::Format_RGB32);
    img.fill(colour);
    QVERIFY(img.save(path, "BMP"));
}

SkinInfo skin(QString pic, qint32 text, qint32 stat, qint32 chat, qint32 listBack, qint32 listFore,
              qint16 scheme, qint32 fore, qint32 back, qint16 type, QString info) {
    SkinInfo s;
    s.Picture = std::move(pic);
    s.TextColor = text;
    s.StatusColor = stat;
    s.ChatStatusColor = chat;
    s.ListBackColor = listBack;
    s.ListForeColor = listFore;
    s.ColorScheme = scheme;
    s.ForeColor = fore;
    s.BackColor = back;
    s.ButtonType = type;
    s.Info = std::move(info);
    return s;
}

QString describe(const SkinInfo& s) {
    return QStringLiteral("[%1|%2|%3|%4|%5|%6|%7|%8|%9|%10|%11]")
        .arg(s.Picture)
        .arg(s.TextColor)
        .arg(s.StatusColor)
        .arg(s.ChatStatusColor)
        .arg(s.ListBackColor)
        .arg(s.ListForeColor)
        .arg(s.ColorScheme)
        .arg(s.ForeColor)
        .arg(s.BackColor)
        .arg(s.ButtonType)
        .arg(QString(s.Info)
                 .replace(QLatin1String("\r"), QLatin1String("\\r"))
                 .replace(QLatin1String("\n"), QLatin1String("\\n")));
}

QStringList logLines(const QString& home) {
    QFile f(QDir(home).filePath(QStringLiteral("Log.txt")));
    if (!f.open(QIODevice::ReadOnly)) return {};
    QStringList out;
    for (const QByteArray& line : f.readAll().split('\n')) {
        const QString l = QString::fromLatin1(line).trimmed();
        if (l.isEmpty()) continue;
        const qsizetype at = l.indexOf(QLatin1String(": "));
        out << (at < 0 ? l : l.mid(at + 2));
    }
    return out;
}

// A stand-in for the main window or a chat window.
class StandIn : public SkinnableWindow {
  public:
    StandIn(QStringList& calls, QString name, bool visible)
        : calls_(calls), name_(std::move(name)), visible_(visible) {}
    void SetSkin() override {
        calls_ << name_;
        if (onSkin) onSkin();
    }
    bool IsSkinVisible() const override { return visible_; }
    std::function<void()> onSkin;

  private:
    QStringList& calls_;
    QString name_;
    bool visible_;
};

bool horizontallyUniform(const QImage& img, const QRect& r) {
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left() + 1; x <= r.right(); ++x)
            if (img.pixel(x, y) != img.pixel(r.left(), y)) return false;
    return true;
}

bool verticallyUniform(const QImage& img, const QRect& r) {
    for (int x = r.left(); x <= r.right(); ++x)
        for (int y = r.top() + 1; y <= r.bottom(); ++y)
            if (img.pixel(x, y) != img.pixel(x, r.top())) return false;
    return true;
}

int opaquePixels(const QImage& img) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (qAlpha(img.pixel(x, y)) > 128) ++n;
    return n;
}

void screenshot(const QImage& img, const QString& name) {
    const QString dir = qEnvironmentVariable("QX3_SCREENSHOTS");
    if (dir.isEmpty()) return;
    QDir().mkpath(dir);
    img.save(QDir(dir).filePath(name + QStringLiteral(".png")));
}

} // namespace

class TestSkins : public QObject {
    Q_OBJECT

    TestEnv::Headless env{TestEnv::NoNetwork, TestEnv::Windows};
    MessageRecorder& messages = env.messages;
    std::vector<Meanwhile> meanwhile;

    QString path(const QString& name) const { return QDir(env.folder()).filePath(name); }

  private slots:
    void init() {
        env.reset();
        QVERIFY(env.home.isValid());
        messages.whileOpen = [this] { meanwhile.push_back({modSkin::Current(), frmImgs::Load().picSkin}); };
        meanwhile.clear();
        modSkin::LoadSkin(QString());
    }

    // ---- the reader -------------------------------------------------------------------------
    void readSkinFile_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<SkinInfo>("expected");
        const SkinInfo swapped = skin("Blue.BMP", 16777215, 255, 65280, 11, 22, 2, 33, 44, 5, "");
        QTest::newRow("one item per line")
            << QByteArray("Blue.BMP\r\n16777215\r\n255\r\n65280\r\n22\r\n11\r\n2\r\n33\r\n44\r\n5\r\n")
            << swapped;
        QTest::newRow("ten on one line")
            << QByteArray("\"Blue.BMP\",16777215,255,65280,22,11,2,33,44,5\r\n") << swapped;
        QTest::newRow("ten on one line, no line end")
            << QByteArray("Blue.BMP,16777215,255,65280,22,11,2,33,44,5") << swapped;
        QTest::newRow("blanks around items")
            << QByteArray("  \"Blue.BMP\" , 16777215 ,255,65280,22,11,2,33,44,5\r\n") << swapped;
        QTest::newRow("quoted comma") << QByteArray("\"Deep, Blue.bmp\",1,2,3,4,5,6,7,8,9\r\n")
                                      << skin("Deep, Blue.bmp", 1, 2, 3, 5, 4, 6, 7, 8, 9, "");
        QTest::newRow("free text with last line end")
            << QByteArray("a.bmp,1,2,3,4,5,6,7,8,9\r\nA calm blue skin,\r\n  by \"Mo\"\r\n")
            << skin("a.bmp", 1, 2, 3, 5, 4, 6, 7, 8, 9, "A calm blue skin,\r\n  by \"Mo\"\r\n");
        QTest::newRow("free text without last line end")
            << QByteArray("a.bmp,1,2,3,4,5,6,7,8,9\r\nline one\r\n\r\nline three")
            << skin("a.bmp", 1, 2, 3, 5, 4, 6, 7, 8, 9, "line one\r\n\r\nline three\r\n");
        QTest::newRow("LF only") << QByteArray("a.bmp\n1\n2\n3\n4\n5\n6\n7\n8\n9\nInfo 1\nInfo 2\n")
                                 << skin("a.bmp", 1, 2, 3, 5, 4, 6, 7, 8, 9, "Info 1\r\nInfo 2\r\n");
        QTest::newRow("CR only") << QByteArray("a.bmp\r1\r2\r3\r4\r5\r6\r7\r8\r9\rInfo\r")
                                 << skin("a.bmp", 1, 2, 3, 5, 4, 6, 7, 8, 9, "Info\r\n");
        QTest::newRow("Windows-1252 text") << QByteArray("caf\xe9.bmp,0,0,0,0,0,1,0,0,3\r\nVoil\xe0 \x80\r\n")
                                           << skin(QStringLiteral("caf\u00e9.bmp"), 0, 0, 0, 0, 0, 1, 0, 0, 3,
                                                   QStringLiteral("Voil\u00e0 \u20ac\r\n"));
        QTest::newRow("rest of the tenth item's line")
            << QByteArray("a.bmp,1,2,3,4,5,6,7,8,9,tail\r\nnext\r\n")
            << skin("a.bmp", 1, 2, 3, 5, 4, 6, 7, 8, 9, "tail\r\nnext\r\n");
        QTest::newRow("comma ending a line")
            << QByteArray("a.bmp,1,2,3,4,\r\n5,6,7,8,9\r\n") << skin("a.bmp", 1, 2, 3, 5, 4, 6, 7, 8, 9, "");
        QTest::newRow("limits") << QByteArray("a.bmp,0,16777215,0,16777215,0,-32768,0,16777215,32767\r\n")
                                << skin("a.bmp", 0, 16777215, 0, 0, 16777215, -32768, 0, 16777215, 32767, "");
    }
    void readSkinFile() {
        QFETCH(QByteArray, file);
        QFETCH(SkinInfo, expected);
        writeFile(path("s.qxs"), file);
        SkinInfo got = skin("untouched", 9, 9, 9, 9, 9, 9, 9, 9, 9, "x");
        QVERIFY(modSkin::ReadSkinFile(path("s.qxs"), got));
        QCOMPARE(describe(got), describe(expected));
        QCOMPARE(logLines(env.folder()), (QStringList{"Opening Skin File...", "---Skin File Closed."}));
    }

    void readSkinFileRefuses_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("nine items") << QByteArray("a.bmp,1,2,3,4,5,6,7,8\r\n");
        QTest::newRow("empty file") << QByteArray();
        QTest::newRow("not a number") << QByteArray("a.bmp,white,2,3,4,5,6,7,8,9\r\n");
        QTest::newRow("fraction") << QByteArray("a.bmp,1.5,2,3,4,5,6,7,8,9\r\n");
        QTest::newRow("colour past 24 bits") << QByteArray("a.bmp,16777216,2,3,4,5,6,7,8,9\r\n");
        QTest::newRow("negative colour") << QByteArray("a.bmp,1,2,3,4,5,6,-1,8,9\r\n");
        QTest::newRow("button type past 16 bits") << QByteArray("a.bmp,1,2,3,4,5,6,7,8,40000\r\n");
        QTest::newRow("scheme past 16 bits") << QByteArray("a.bmp,1,2,3,4,5,-40000,7,8,9\r\n");
        QTest::newRow("empty number") << QByteArray("a.bmp\r\n1\r\n\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n9\r\n");
        QTest::newRow("past 1 MiB") << QByteArray("a.bmp,1,2,3,4,5,6,7,8,9\r\n") +
                                           QByteArray(1024 * 1024, 'i');
    }
    void readSkinFileRefuses() {
        QFETCH(QByteArray, file);
        writeFile(path("s.qxs"), file);
        const SkinInfo before = skin("untouched", 9, 9, 9, 9, 9, 9, 9, 9, 9, "x");
        SkinInfo got = before;
        QVERIFY(!modSkin::ReadSkinFile(path("s.qxs"), got));
        QCOMPARE(describe(got), describe(before));
    }

    // A colour item may name a system colour, 0x80000000 plus its index: it stands for that
    // colour's value; a value that is neither a colour nor a system colour is refused.
    void systemColoursInASkin_data() {
        QTest::addColumn<QByteArray>("item");
        QTest::addColumn<int>("index"); // -1: the skin is refused
        QTest::newRow("button face") << QByteArray("-2147483633") << 15;
        QTest::newRow("button text") << QByteArray("-2147483630") << 18;
        QTest::newRow("first index") << QByteArray("-2147483648") << 0;
        QTest::newRow("last index") << QByteArray("-2147483618") << 30;
        QTest::newRow("unsigned reading") << QByteArray("2147483663") << 15;
        QTest::newRow("past the last index") << QByteArray("-2147483617") << -1;
        QTest::newRow("below 32 bits") << QByteArray("-2147483649") << -1;
        QTest::newRow("other high bit") << QByteArray("-16777216") << -1;
    }
    void systemColoursInASkin() {
        QFETCH(QByteArray, item);
        QFETCH(int, index);
        SysColorStandIn sys([](int i) { return quint32(0x010203 * (i + 1)); });
        writePicture(path("Skins/a.bmp"), Qt::red);
        // In every colour field of the file: the four text and list colours and the two button ones.
        const QByteArray file = "a.bmp," + item + "," + item + "," + item + "," + item + "," + item + ",2," +
                                item + "," + item + ",3\r\n";
        writeFile(path("Skins/a.qxs"), file);
        modGlobals::Sets().SKN = path("Skins/a.qxs");
        const bool loaded = modSkin::LoadSkin(modGlobals::Sets().SKN);
        QCOMPARE(loaded, index >= 0);
        if (index < 0) {
            QCOMPARE(messages.shown.size(), std::size_t(1));
            QVERIFY(modGlobals::Sets().SKN.isEmpty());
            return;
        }
        QVERIFY(messages.shown.empty());
        QCOMPARE(modGlobals::Sets().SKN, path("Skins/a.qxs"));
        const qint32 c = qint32(0x010203 * (index + 1));
        QCOMPARE(describe(modSkin::Current()), describe(skin("a.bmp", c, c, c, c, c, 2, c, c, 3, "")));
    }

    // ---- loading ----------------------------------------------------------------------------
    void emptyNameLoadsBuiltInWithoutFileOrMessage() {
        writePicture(path("Skins/a.bmp"), Qt::red);
        writeFile(path("Skins/a.qxs"), "a.bmp,1,2,3,4,5,2,7,8,6\r\n");
        QVERIFY(modSkin::LoadSkin(path("Skins/a.qxs")));
        QVERIFY(modSkin::Current() != SkinInfo());
        QFile::remove(path("Log.txt"));

        QVERIFY(modSkin::LoadSkin(QString()));
        QCOMPARE(describe(modSkin::Current()), describe(SkinInfo()));
        QCOMPARE(frmImgs::Load().picSkin, frmImgs::Load().picBaseSkin);
        QVERIFY(messages.shown.empty());
        QVERIFY(logLines(env.folder()).isEmpty());
    }

    void loadsSkinAndPicture_data() {
        QTest::addColumn<QString>("pictureOnDisk");
        QTest::addColumn<QByteArray>("pictureItem");
        QTest::newRow("exact name") << "Skins/Blue.BMP" << QByteArray("Blue.BMP");
        QTest::newRow("other case on disk") << "Skins/blue.bmp" << QByteArray("Blue.BMP");
        QTest::newRow("backslash folder") << "Skins/Pics/Blue.bmp" << QByteArray("\"pics\\BLUE.bmp\"");
        QTest::newRow("quoted name with comma") << "Skins/Deep, Blue.bmp" << QByteArray("\"Deep, Blue.bmp\"");
    }
    void loadsSkinAndPicture() {
        QFETCH(QString, pictureOnDisk);
        QFETCH(QByteArray, pictureItem);
        writePicture(path(pictureOnDisk), QColor(10, 20, 200));
        writeFile(path("Skins/Blue.qxs"), pictureItem + ",1,2,3,4,5,2,7,8,6\r\nBlue skin\r\n");
        modGlobals::Sets().SKN = path("Skins/Blue.qxs");
        QVERIFY(modSkin::LoadSkin(modGlobals::Sets().SKN));
        QVERIFY(messages.shown.empty());
        QCOMPARE(modGlobals::Sets().SKN, path("Skins/Blue.qxs"));
        const SkinInfo& s = modSkin::Current();
        QCOMPARE(s.ListForeColor, 4);
        QCOMPARE(s.ListBackColor, 5);
        QCOMPARE(s.ButtonType, qint16(6));
        QCOMPARE(s.Info, QStringLiteral("Blue skin\r\n"));
        const QImage& pic = frmImgs::Load().picSkin;
        QCOMPARE(pic.size(), QSize(645, 326));
        QCOMPARE(QColor(pic.pixel(100, 100)), QColor(10, 20, 200));
        QVERIFY(frmImgs::Load().picBaseSkin != pic);
    }

    // Every failure: one message, SKN emptied, the built-in skin, and nothing of the bad skin
    // in place even while the message is shown.
    void failureFallsBackToBuiltIn_data() {
        QTest::addColumn<QString>("skinFile");
        QTest::addColumn<QByteArray>("contents"); // empty: no skin file at all
        QTest::addColumn<bool>("readOk");         // the skin file itself was read
        QTest::newRow("missing file") << "Skins/none.qxs" << QByteArray() << false;
        QTest::newRow("missing picture")
            << "Skins/bad.qxs" << QByteArray("gone.bmp,1,2,3,4,5,2,7,8,6\r\n") << true;
        QTest::newRow("corrupt picture")
            << "Skins/bad.qxs" << QByteArray("corrupt.bmp,1,2,3,4,5,2,7,8,6\r\n") << true;
        QTest::newRow("nine items") << "Skins/bad.qxs" << QByteArray("other.bmp,1,2,3,4,5,2,7,8\r\n")
                                    << false;
        QTest::newRow("number out of range")
            << "Skins/bad.qxs" << QByteArray("other.bmp,1,2,3,4,5,2,7,99999999,6\r\n") << false;
        QTest::newRow("not a number")
            << "Skins/bad.qxs" << QByteArray("other.bmp,1,2,3,4,5,two,7,8,6\r\n") << false;
        QTest::newRow("climbing out")
            << "Skins/bad.qxs" << QByteArray("..\\outside.bmp,1,2,3,4,5,2,7,8,6\r\n") << true;
        QTest::newRow("climbing out, slash")
            << "Skins/bad.qxs" << QByteArray("\"../outside.bmp\",1,2,3,4,5,2,7,8,6\r\n") << true;
        QTest::newRow("absolute name")
            << "Skins/bad.qxs" << QByteArray("ABSOLUTE,1,2,3,4,5,2,7,8,6\r\n") << true;
        QTest::newRow("drive name") << "Skins/bad.qxs"
                                    << QByteArray("C:\\Skins\\other.bmp,1,2,3,4,5,2,7,8,6\r\n") << true;
        QTest::newRow("no picture named")
            << "Skins/bad.qxs" << QByteArray("\"\",1,2,3,4,5,2,7,8,6\r\n") << true;
        QTest::newRow("folder as picture")
            << "Skins/bad.qxs" << QByteArray("Pics,1,2,3,4,5,2,7,8,6\r\n") << true;
    }
    void failureFallsBackToBuiltIn() {
        QFETCH(QString, skinFile);
        QFETCH(QByteArray, contents);
        QFETCH(bool, readOk);
        // A good skin is current first.
        writePicture(path("Skins/good.bmp"), Qt::green);
        writeFile(path("Skins/good.qxs"), "good.bmp,1,2,3,4,5,2,7,8,6\r\nGood\r\n");
        QVERIFY(modSkin::LoadSkin(path("Skins/good.qxs")));
        const SkinInfo good = modSkin::Current();
        const QImage goodPicture = frmImgs::Load().picSkin;
        // Pictures the bad skins could reach if they were allowed to.
        writePicture(path("outside.bmp"), Qt::blue);
        writePicture(path("Skins/other.bmp"), Qt::blue);
        writePicture(path("Skins/Pics/x.bmp"), Qt::blue);
        writeFile(path("Skins/corrupt.bmp"), QByteArray("BM this is not a bitmap at all"));
        contents.replace("ABSOLUTE", path("Skins/other.bmp").toLocal8Bit());
        if (!contents.isEmpty()) writeFile(path(skinFile), contents);
        QFile::remove(path("Log.txt"));
        modGlobals::Sets().SKN = path(skinFile);

        QVERIFY(!modSkin::LoadSkin(modGlobals::Sets().SKN));

        QCOMPARE(messages.shown.size(), std::size_t(1));
        const MessageRecorder::Shown& m = messages.shown.front();
        QCOMPARE(meanwhile.size(), std::size_t(1));
        QCOMPARE(m.text, QStringLiteral("Error loading skin - resetting to Base Skin."));
        QCOMPARE(m.buttons, 0);
        QCOMPARE(m.icon, 0);
        QCOMPARE(describe(meanwhile.front().skin), describe(good));
        QCOMPARE(meanwhile.front().picture, goodPicture);
        QCOMPARE(modGlobals::Sets().SKN, QString());
        QCOMPARE(describe(modSkin::Current()), describe(SkinInfo()));
        QCOMPARE(frmImgs::Load().picSkin, frmImgs::Load().picBaseSkin);
        QStringList expectedLog{"Opening Skin File..."};
        if (readOk) expectedLog << "---Skin File Closed.";
        expectedLog << "Skin Load Error";
        QCOMPARE(logLines(env.folder()), expectedLog);
    }

    // A stored skin name that leads to something other than a regular file must not hang the
    // start: it fails like a missing skin file.
    void notAFileFallsBackToBuiltIn_data() { addNotAFileRows(); }
    void notAFileFallsBackToBuiltIn() {
        QFETCH(QByteArray, notAFile);
        modGlobals::Sets().SKN = makeNotAFile(notAFile, path("odd.qxs"));
        QFile::remove(path("Log.txt"));

        QVERIFY(!modSkin::LoadSkin(modGlobals::Sets().SKN));

        QCOMPARE(messages.shown.size(), std::size_t(1));
        QCOMPARE(messages.shown.front().text, QStringLiteral("Error loading skin - resetting to Base Skin."));
        QCOMPARE(modGlobals::Sets().SKN, QString());
        QCOMPARE(describe(modSkin::Current()), describe(SkinInfo()));
        QCOMPARE(frmImgs::Load().picSkin, frmImgs::Load().picBaseSkin);
        QCOMPARE(logLines(env.folder()), (QStringList{"Opening Skin File...", "Skin Load Error"}));
    }

    void picturePathStaysInSkinFolder_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("expected"); // relative to the home folder; "" refused
        QTest::newRow("plain") << "a.bmp"
                               << "Skins/a.bmp";
        QTest::newRow("case") << "A.BMP"
                              << "Skins/a.bmp";
        QTest::newRow("dot folder") << ".\\a.bmp"
                                    << "Skins/a.bmp";
        QTest::newRow("sub folder") << "Sub\\B.bmp"
                                    << "Skins/sub/b.bmp";
        QTest::newRow("dot dot inside") << "Sub\\..\\a.bmp"
                                        << "";
        QTest::newRow("dot dot") << "..\\Skins\\a.bmp"
                                 << "";
        QTest::newRow("rooted backslash") << "\\Skins\\a.bmp"
                                          << "";
        QTest::newRow("UNC") << "\\\\host\\share\\a.bmp"
                             << "";
        QTest::newRow("folder") << "sub"
                                << "";
    }
    void picturePathStaysInSkinFolder() {
        QFETCH(QString, item);
        QFETCH(QString, expected);
        writeFile(path("Skins/a.bmp"), "x");
        writeFile(path("Skins/sub/b.bmp"), "x");
        const QString got = modSkin::PicturePath(path("Skins/s.qxs"), item);
        QCOMPARE(got, expected.isEmpty() ? QString() : path(expected));
    }

    // The button style goes on in the order ButtonType, ColorScheme, ForeColor, BackColor.
    void skinButtonAppliesTheStyle() {
        writePicture(path("Skins/a.bmp"), Qt::red);
        writeFile(path("Skins/a.qxs"), "a.bmp,1,2,3,4,5,2,255,16711680,6\r\n");
        QVERIFY(modSkin::LoadSkin(path("Skins/a.qxs")));
        chameleonButton* b = chameleonButton::LaidOut(nullptr, QStringLiteral("&Ok"));
        std::unique_ptr<chameleonButton> owner(b);
        QStringList keys;
        connect(b, &chameleonButton::PropertyChanged, this, [&keys](const QString& k) { keys << k; });
        modSkin::SkinButton(b);
        QCOMPARE(keys, (QStringList{"BTYPE", "COLTYPE", "FCOL", "BCOL"}));
        QCOMPARE(b->ButtonType(), 6);
        QCOMPARE(b->ColorScheme(), 2);
        QCOMPARE(b->ForeColor(), 255u);
        QCOMPARE(b->BackColor(), 16711680u);
        modSkin::SkinButton(static_cast<chameleonButton*>(nullptr)); // no window, no button: nothing
        QVERIFY(modSkin::LoadSkin(QString()));
        modSkin::SkinButton(*b);
        QCOMPARE(b->ButtonType(), 3);
        QCOMPARE(b->BackColor(), 0xFFFFFFu);
    }

    // ---- re-skinning ------------------------------------------------------------------------
    void applySkinAllReachesMainAndVisibleChats() {
        QStringList calls;
        auto hiddenChat = std::make_unique<StandIn>(calls, "hidden chat", false);
        auto chat1 = std::make_unique<StandIn>(calls, "chat 1", true);
        auto main = std::make_unique<StandIn>(calls, "main", false); // the main window even when hidden
        auto chat2 = std::make_unique<StandIn>(calls, "chat 2", true);
        auto gone = std::make_unique<StandIn>(calls, "gone", true);
        SkinWindows::Register(hiddenChat.get(), SkinnableWindow::Kind::Chat);
        SkinWindows::Register(chat1.get(), SkinnableWindow::Kind::Chat);
        SkinWindows::Register(main.get(), SkinnableWindow::Kind::Main);
        SkinWindows::Register(chat2.get(), SkinnableWindow::Kind::Chat);
        SkinWindows::Register(gone.get(), SkinnableWindow::Kind::Chat);
        SkinWindows::Register(chat2.get(), SkinnableWindow::Kind::Chat); // twice is once
        gone.reset();                                                    // leaves on destruction

        modAppFnc::ApplySkinAll();
        QCOMPARE(calls, (QStringList{"main", "chat 1", "chat 2"}));

        // A window that closes another while it takes the skin: the closed one is skipped.
        calls.clear();
        chat1->onSkin = [&] { chat2.reset(); };
        modAppFnc::ApplySkinAll();
        QCOMPARE(calls, (QStringList{"main", "chat 1"}));

        calls.clear();
        SkinWindows::Unregister(main.get());
        modAppFnc::ApplySkinAll();
        QCOMPARE(calls, (QStringList{"chat 1"}));
        SkinWindows::Unregister(chat1.get());
        SkinWindows::Unregister(hiddenChat.get());
    }

    // ---- the shared pictures ----------------------------------------------------------------
    void baseSkinPiecesTile_data() {
        QTest::addColumn<QRect>("piece");
        QTest::addColumn<bool>("sideways"); // tiled sideways: must not change along a row
        using namespace SkinAtlas;
        // Main window
        QTest::newRow("main top edge") << kMainTop << true;
        QTest::newRow("main left edge") << kMainLeft << false;
        QTest::newRow("main right edge") << kMainRight << false;
        QTest::newRow("main bottom edge") << kMainBottom << true;
        QTest::newRow("main side bar middle") << kMainSideMiddle << false;
        // The side bar's tile also covers the lower rows of its top piece.
        QTest::newRow("main side bar top below row 10") << kMainSideTop.adjusted(0, 10, 0, 0) << false;
        // Chat window
        QTest::newRow("chat top edge") << kChatTop << true;
        QTest::newRow("chat left edge") << kChatLeft << false;
        QTest::newRow("chat right edge") << kChatRight << false;
        QTest::newRow("chat bottom edge") << kChatBottom << true;
        QTest::newRow("chat side bar middle") << kChatSideMiddle << false;
        // Joins: corner to edge tile to corner along the bands.
        QTest::newRow("main top band") << kMainTop.adjusted(-2, 0, 2, 0) << true;
        QTest::newRow("main bottom band") << kMainBottom.adjusted(-2, 0, 2, 0) << true;
        QTest::newRow("chat bottom band") << kChatBottom.adjusted(-2, 0, 2, 0) << true;
    }
    void baseSkinPiecesTile() {
        QFETCH(QRect, piece);
        QFETCH(bool, sideways);
        const QImage& img = frmImgs::Load().picBaseSkin;
        QVERIFY(QRect(QPoint(0, 0), img.size()).contains(piece));
        QVERIFY(sideways ? horizontallyUniform(img, piece) : verticallyUniform(img, piece));
    }

    void baseSkinHoldsEveryPiece() {
        const frmImgs& imgs = frmImgs::Load();
        QVERIFY(imgs.picBaseSkin.width() >= frmImgs::kSkinWidth);
        QVERIFY(imgs.picBaseSkin.height() >= frmImgs::kSkinHeight);
        QVERIFY(!imgs.picBaseSkin.hasAlphaChannel());
        // The status pictures in the skin are distinct, and each shows its badge over the header.
        QImage stat[3];
        for (int s = 0; s < 3; ++s)
            stat[s] = imgs.picBaseSkin.copy(33 * s, 266, 32, 32);
        QVERIFY(stat[0] != stat[1] && stat[1] != stat[2] && stat[0] != stat[2]);
        const QImage header = imgs.picBaseSkin.copy(430, 1, 32, 32);
        for (const QImage& s : stat)
            QVERIFY(s != header);
        // The header behind a status picture is the header of the corner it is drawn onto.
        QCOMPARE(imgs.picBaseSkin.pixel(0, 266), imgs.picBaseSkin.pixel(430, 1));
        screenshot(imgs.picBaseSkin, QStringLiteral("base-skin"));
        screenshot(imgs.picBaseSkin.scaled(imgs.picBaseSkin.size() * 2), QStringLiteral("base-skin-x2"));
    }

    void sharedPictures() {
        const frmImgs& imgs = frmImgs::Load();
        QImage sheet(8 + 40 * 7, 40 * 4 + 8, QImage::Format_ARGB32);
        sheet.fill(Qt::white);
        QPainter p(&sheet);
        for (int i = 0; i < frmImgs::kIcons; ++i) {
            QCOMPARE(imgs.picIcon[i].size(), QSize(32, 32));
            QVERIFY(opaquePixels(imgs.picIcon[i]) > 150);
            for (int j = 0; j < i; ++j)
                QVERIFY(imgs.picIcon[i] != imgs.picIcon[j]);
            p.drawImage(8 + 40 * i, 8, imgs.picIcon[i]);
        }
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(imgs.picStat[i].size(), QSize(32, 32));
            p.drawImage(8 + 40 * i, 48, imgs.picStat[i]);
        }
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(imgs.picImgLst[i].size(), QSize(16, 16));
            QVERIFY(opaquePixels(imgs.picImgLst[i]) > 60);
            for (int j = 0; j < i; ++j)
                QVERIFY(imgs.picImgLst[i] != imgs.picImgLst[j]);
            p.drawImage(128 + 24 * i, 56, imgs.picImgLst[i]);
        }
        for (int i = 0; i < frmImgs::kChatPictures; ++i) {
            const QSize expected = i == 0 ? QSize(16, 15) : i == 1 ? QSize(14, 14) : QSize(17, 17);
            QCOMPARE(imgs.picChat[i].size(), expected);
            QVERIFY(opaquePixels(imgs.picChat[i]) > 60);
            for (int j = 0; j < i; ++j)
                QVERIFY(imgs.picChat[i] != imgs.picChat[j]);
            p.drawImage(8 + 24 * (i % 8), 96 + 24 * (i / 8), imgs.picChat[i]);
        }
        QVERIFY(!imgs.icon.isNull());
        QVERIFY(!imgs.trayIcon.isNull());
        for (int s : {16, 32, 48})
            QCOMPARE(imgs.icon.pixmap(s).size(), QSize(s, s));
        QCOMPARE(imgs.trayIcon.pixmap(22).size(), QSize(22, 22));
        p.drawPixmap(200, 96, imgs.icon.pixmap(48));
        p.drawPixmap(256, 96, imgs.trayIcon.pixmap(16));
        p.end();
        screenshot(sheet, QStringLiteral("shared-pictures"));
        screenshot(sheet.scaled(sheet.size() * 4), QStringLiteral("shared-pictures-x4"));
    }

    // Every shortcut code becomes its own picture's text, and no picture text holds a code, so
    // pictures never nest or swallow each other.
    void chatPictureTexts() {
        const auto& table = modAppFnc::ChatPictures();
        QCOMPARE(int(table.size()), frmImgs::kChatPictures);
        QStringList codes;
        for (const auto& pic : table)
            codes << pic.tag.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        for (int i = 0; i < frmImgs::kChatPictures; ++i) {
            QCOMPARE(table[i].text, frmImgs::txtPic(i));
            for (const QString& code : codes)
                QVERIFY2(!frmImgs::txtPic(i).contains(code, Qt::CaseInsensitive), qPrintable(code));
            for (const QString& code : table[i].tag.split(QLatin1Char(' '), Qt::SkipEmptyParts))
                QCOMPARE(modAppFnc::InsertPictures(QStringLiteral("a ") + code + QStringLiteral(" b")),
                         QStringLiteral("a ") + frmImgs::txtPic(i) + QStringLiteral(" b"));
        }
    }

    void transcriptResolvesChatPictures() {
        QTextDocument doc;
        frmImgs::Load().AddPictureResources(&doc);
        doc.setHtml(modAppFnc::InsertPictures(QStringLiteral("hi :-) and (n)")));
        QStringList names;
        for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
            for (auto it = b.begin(); !it.atEnd(); ++it)
                if (it.fragment().charFormat().isImageFormat())
                    names << it.fragment().charFormat().toImageFormat().name();
        QCOMPARE(names, (QStringList{frmImgs::ChatPictureUrl(0).toString(),
                                     frmImgs::ChatPictureUrl(14).toString()}));
        const QVariant res = doc.resource(QTextDocument::ImageResource, frmImgs::ChatPictureUrl(14));
        QCOMPARE(res.value<QImage>(), frmImgs::Load().picChat[14]);
        QCOMPARE(doc.toPlainText().left(3), QStringLiteral("hi "));
    }
};

QTEST_MAIN(TestSkins)
#include "tst_skins.moc"
