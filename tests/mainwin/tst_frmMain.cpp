// The main window: the user list under the network layer, blocking, selection, drawing,
// the skinned frame and its layout, and closing.
#include "controls/chameleonButton.h"
#include "controls/ctlTaskBarIcon.h"
#include "core/SkinAtlas.h"
#include "core/clsChat.h"
#include "core/frmImgs.h"
#include "core/modAppFnc.h"
#include "core/modGlobals.h"
#include "core/modLangConst.h"
#include "core/modNetCmds.h"
#include "core/modSettings.h"
#include "core/modTerminate.h"
#include "mainwin/frmMain.h"
#include "mainwin/frmMainList.h"
#include "platform/Colors.h"
#include "platform/Twips.h"
#include "support/ChatRecorders.h"
#include "support/Headless.h"
#include "support/MainWindowFixture.h"
#include "support/NetPeer.h"
#include "support/Recorders.h"
#include "support/Screenshot.h"
#include "support/TrayRecorder.h"

#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

using modGlobals::Run;
using modGlobals::Sets;

namespace {
const QString S(modGlobals::kSep);

QString rec(const QString& name, const QString& col, const QString& stat, const QString& font,
            const QString& sel, const QString& acc) {
    return name + S + col + S + stat + S + font + S + sel + S + acc + S;
}

// A skin whose pieces each have a colour of their own, so the composition can be read back.
QImage synthSkin() {
    QImage img(frmImgs::kSkinWidth, frmImgs::kSkinHeight, QImage::Format_RGB32);
    img.fill(QColor(1, 1, 1));
    QPainter p(&img);
    using namespace SkinAtlas;
    p.fillRect(kMainTopLeft, QColor(10, 0, 0));
    p.fillRect(kMainTop, QColor(20, 0, 0));
    p.fillRect(kMainTopRight, QColor(30, 0, 0));
    p.fillRect(kMainLeft, QColor(40, 0, 0));
    p.fillRect(kMainRight, QColor(50, 0, 0));
    p.fillRect(kMainBottomLeft, QColor(60, 0, 0));
    p.fillRect(kMainBottom, QColor(70, 0, 0));
    p.fillRect(kMainBottomRight, QColor(80, 0, 0));
    p.fillRect(kMainSideTop, QColor(90, 0, 0));
    p.fillRect(kMainSideMiddle, QColor(100, 0, 0));
    p.fillRect(kMainSideBottom, QColor(110, 0, 0));
    p.fillRect(kMainCornerPicture, QColor(120, 0, 0));
    for (int status = 0; status < 3; ++status)
        p.fillRect(StatusPicture(status), QColor(0, 200 + status, 0));
    return img;
}

int redAt(const QImage& img, int x, int y) {
    return qRed(img.pixel(x, y));
}
} // namespace

class TestMainWindow : public QObject, TestEnv::MainWindowFixture {
    Q_OBJECT
    TestEnv::Headless env{TestEnv::Loopback, TestEnv::Windows};
    std::unique_ptr<TrayRecorder> tray;

  private slots:
    void initTestCase() {
        QVERIFY(env.home.isValid());
        frmImgs::Load().picSkin = synthSkin();
    }
    void init() {
        env.reset();
        tray = std::make_unique<TrayRecorder>();
        auto& s = Sets();
        s.UNAME = QStringLiteral("Me");
        s.UCOL = 0xFF;
        s.UFNT = QStringLiteral("Courier New");
        s.SB_U = 0;
    }
    void cleanup() {
        QVERIFY(closeMain());
        tray.reset();
    }

    // --- the list model -----------------------------------------------------------------------

    void usersStaySortedAndParallel() {
        openMain();
        addUsers({"carl~C3", "Bob~C2", "ann~C1", "ANN~S2", "bob~FTahoma", "Dave~E", "Eve~B"});
        QCOMPARE(win->lstUsersList.items(), QStringList({"ann", "Bob", "carl", "Eve"}));
        QCOMPARE(
            win->lstUStatList.items(),
            QStringList({rec("ann", "1", "2", "Arial", "0", "1"), rec("Bob", "2", "0", "Tahoma", "0", "1"),
                         rec("carl", "3", "0", "Arial", "0", "1"), rec("Eve", "0", "0", "Arial", "0", "1")}));
        QCOMPARE(win->lblStat->text(), QStringLiteral("4 Users Online"));
        addUsers({"Eve~E", "carl~E", "bob~E"});
        QCOMPARE(win->lblStat->text(), QStringLiteral("1 User Online"));
    }

    void userInfo_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("what");
        QTest::addColumn<QVariant>("value");
        QTest::newRow("own blocked") << "me" << 0 << QVariant(false);
        QTest::newRow("own colour") << "ME" << 1 << QVariant(qint32(0xFF));
        QTest::newRow("own font") << "Me" << 2 << QVariant(QStringLiteral("Courier New"));
        QTest::newRow("own status") << "Me" << 3 << QVariant(0);
        QTest::newRow("own selected is empty") << "Me" << 4 << QVariant(QString());
        QTest::newRow("own accepts is empty") << "Me" << 5 << QVariant(QString());
        QTest::newRow("listed colour") << "bob" << 1 << QVariant(QStringLiteral("65280"));
        QTest::newRow("listed font") << "Bob" << 2 << QVariant(QStringLiteral("Tahoma"));
        QTest::newRow("listed status") << "Bob" << 3 << QVariant(QStringLiteral("1"));
        QTest::newRow("listed selected") << "Bob" << 4 << QVariant(QStringLiteral("0"));
        QTest::newRow("listed accepts") << "Bob" << 5 << QVariant(QStringLiteral("0"));
        QTest::newRow("listed blocked") << "Bob" << 0 << QVariant(true);
        QTest::newRow("unlisted colour") << "Zed" << 1 << QVariant(QStringLiteral("0"));
        QTest::newRow("unlisted font") << "Zed" << 2 << QVariant(QStringLiteral("Arial"));
        QTest::newRow("unlisted status") << "Zed" << 3 << QVariant(QStringLiteral("0"));
        QTest::newRow("unlisted selected") << "Zed" << 4 << QVariant(QStringLiteral("0"));
        QTest::newRow("unlisted accepts") << "Zed" << 5 << QVariant(QStringLiteral("1"));
        QTest::newRow("unlisted blocked") << "Zed" << 0 << QVariant(false);
        QTest::newRow("other code") << "Bob" << 9 << QVariant(QString());
    }
    void userInfo() {
        QFETCH(QString, name);
        QFETCH(int, what);
        QFETCH(QVariant, value);
        openMain();
        Sets().BLC = QStringLiteral("BOB") + S;
        addUsers({"Ann~C255", "Ann~FVerdana", "Bob~C65280", "Bob~S1", "Bob~FTahoma", "Bob~VMe~0~"});
        QCOMPARE(win->GetUserInfo(name, what), value);
    }

    void longBlockListFromTheSettingsFile() {
        // 100,000 names (1.4 MB, within what a settings file may hold), as the file gives them.
        constexpr int kNames = 100000;
        QString blc;
        for (int i = 0; i < kNames; ++i)
            blc += QStringLiteral("Name%1").arg(i) + S;
        Sets().BLC = blc;
        QVERIFY(modSettings::SaveSettings());
        Sets().BLC.clear();
        QVERIFY(modSettings::LoadSettings());
        QCOMPARE(Sets().BLC.size(), blc.size());
        QVERIFY(openMain());
        addUsers({"Name500~S0", "Free~S0", "name99999~S1"});
        QCOMPARE(win->GetUserPic(QStringLiteral("Name500")), 3);
        QCOMPARE(win->GetUserPic(QStringLiteral("name99999")), 3);
        QCOMPARE(win->GetUserPic(QStringLiteral("Free")), 0);
        QCOMPARE(win->lblStat->text(), QStringLiteral("3 Users Online (-2)"));
        win->RemBlock(QStringLiteral("name500"));
        win->AddBlock(QStringLiteral("Free"));
        win->UListChange();
        QCOMPARE(win->GetUserPic(QStringLiteral("Name500")), 0);
        QCOMPARE(win->GetUserPic(QStringLiteral("Free")), 3);
        QCOMPARE(win->lblStat->text(), QStringLiteral("3 Users Online (-2)"));
        const QStringList names = modAppFnc::ListNames(Sets().BLC);
        QCOMPARE(names.size(), kNames);
        QCOMPARE(names[499], QStringLiteral("Name499"));
        QCOMPARE(names[500], QStringLiteral("Name501"));
        QCOMPARE(names.last(), QStringLiteral("Free"));
    }

    void userInfoWithNobodyListed() {
        openMain();
        for (int what = 1; what <= 5; ++what)
            QCOMPARE(win->GetUserInfo(QStringLiteral("Zed"), what), QVariant(QString()));
    }

    void blocking() {
        openMain();
        clsChat ear;
        ear.Init(QStringLiteral("QX3"));
        addUsers({"Ann~B", "Bob~B", "Cy~B"});
        ear.GetMessages();
        win->AddBlock(QStringLiteral("me")); // the own name
        win->AddBlock(QStringLiteral("Bob"));
        win->AddBlock(QStringLiteral("BOB")); // already, in other case
        win->AddBlock(QStringLiteral("Cy"));
        win->AddBlock(QStringLiteral("Ann"));
        QCOMPARE(Sets().BLC,
                 QStringLiteral("Bob") + S + QStringLiteral("Cy") + S + QStringLiteral("Ann") + S);
        win->RemBlock(QStringLiteral("Zed")); // not blocked: nothing sent
        win->RemBlock(QStringLiteral("cy"));
        QCOMPARE(Sets().BLC, QStringLiteral("Bob") + S + QStringLiteral("Ann") + S);
        win->UListChange();
        QCOMPARE(win->lblStat->text(), QStringLiteral("3 Users Online (-2)"));
        win->InvBlock(QStringLiteral("Bob") + S + QStringLiteral("Zed") + S);
        QCOMPARE(Sets().BLC, QStringLiteral("Ann") + S + QStringLiteral("Zed") + S);
        win->RemBlock(QStringLiteral("ann"));
        win->RemBlock(QStringLiteral("Zed"));
        QVERIFY(Sets().BLC.isEmpty());
        const QString me = QString(QChar(0)) + QStringLiteral("Me") + S;
        const QStringList expected = {me + "VBob~0~", me + "VCy~0~",  me + "VAnn~0~", me + "Vcy~1~",
                                      me + "VBob~1~", me + "VZed~0~", me + "Vann~1~", me + "VZed~1~"};
        QStringList got;
        QVERIFY(QTest::qWaitFor([&] { return (got += ear.GetMessages()).size() >= expected.size(); },
                                TestEnv::kNetWait));
        QStringList want = expected;
        for (QString& w : want)
            w.replace(QLatin1Char('~'), modGlobals::kSep);
        QCOMPARE(got, want);
    }

    void mouseSelection_data() {
        QTest::addColumn<QString>("clicks"); // button,shift,row;...  (row 9 = below the last user)
        QTest::addColumn<QString>("selected");
        QTest::addColumn<int>("anchor");
        QTest::newRow("left selects one") << "1,0,2"
                                          << "00100" << 2;
        QTest::newRow("left then left elsewhere") << "1,0,2;1,0,4"
                                                  << "00001" << 4;
        QTest::newRow("right adds to the selection") << "1,0,1;2,0,3"
                                                     << "01010" << 3;
        QTest::newRow("left below the list clears") << "1,0,1;1,0,9"
                                                    << "00000" << -1;
        QTest::newRow("middle clears") << "1,0,1;4,0,3"
                                       << "00000" << -1;
        QTest::newRow("shift range down") << "1,0,1;1,1,3"
                                          << "01110" << 3;
        QTest::newRow("shift range up") << "1,0,3;1,1,0"
                                        << "11110" << 0;
        QTest::newRow("shift after a click below") << "1,0,9;1,1,2"
                                                   << "11100" << 2;
        QTest::newRow("ctrl toggles") << "1,0,1;1,2,3;1,2,1"
                                      << "00010" << 1;
        QTest::newRow("ctrl below the list changes nothing") << "1,0,1;1,2,9"
                                                             << "01000" << -1;
        QTest::newRow("shift and ctrl together change nothing") << "1,0,1;1,3,4"
                                                                << "01000" << 4;
    }
    void mouseSelection() {
        QFETCH(QString, clicks);
        QFETCH(QString, selected);
        QFETCH(int, anchor);
        openMain();
        addUsers({"a~B", "b~B", "c~B", "d~B", "e~B"});
        for (const QString& c : clicks.split(QLatin1Char(';'))) {
            const QStringList f = c.split(QLatin1Char(','));
            win->picList_MouseDown(f[0].toInt(), f[1].toInt(), 5, f[2].toInt() * frmMain::kRowHeight + 3);
        }
        QString got;
        for (int i = 0; i < 5; ++i)
            got += win->GetUserInfo(win->lstUsersList.List(i), 4).toString();
        QCOMPARE(got, selected);
        QCOMPARE(win->LastClicked, anchor);
        QCOMPARE(win->GetNSel(), int(selected.count(QLatin1Char('1'))));
    }

    void staleAnchorAfterUsersLeft() {
        openMain();
        addUsers({"a~B", "b~B", "c~B", "d~B", "e~B"});
        win->picList_MouseDown(1, 0, 5, 4 * frmMain::kRowHeight + 3);
        addUsers({"d~E", "e~E", "c~E"});
        win->picList_MouseDown(1, 1, 5, 0 * frmMain::kRowHeight + 3);
        QCOMPARE(win->GetNSel(), 2);
    }

    void doubleClickIsNotASecondPress() {
        openMain();
        addUsers({"a~B", "b~B"});
        int triggered = 0;
        connect(win->mnuActionSelS[0], &QAction::triggered, this, [&] { ++triggered; });
        const QPoint row1(10, frmMain::kRowHeight + 5);
        QTest::mouseClick(static_cast<QWidget*>(win->picList), Qt::LeftButton, Qt::ControlModifier, row1);
        QTest::mouseDClick(static_cast<QWidget*>(win->picList), Qt::LeftButton, Qt::ControlModifier, row1);
        // A second Ctrl press would have turned the row off again.
        QCOMPARE(win->GetUserInfo(QStringLiteral("b"), 4).toString(), QStringLiteral("1"));
        QCOMPARE(triggered, 1);
    }

    // --- drawing --------------------------------------------------------------------------------

    void emptyListDrawing() {
        openMain();
        QVERIFY(!win->vsbLst->isVisible());
        QVERIFY(!win->cmdBB[0]->isEnabled());
        QVERIFY(!win->cmdBB[1]->isEnabled());
        QVERIFY(!win->mnuActionSel->isEnabled());
        QCOMPARE(win->lblStat->text(), QStringLiteral("0 Users Online"));
        // The message is drawn in black near the top, around the middle.
        const QImage& buf = win->picLstBuf;
        bool black = false;
        for (int y = 3; y < 18 && !black; ++y)
            for (int x = buf.width() / 2 - 20; x < buf.width() / 2 + 20; ++x)
                if (qGray(buf.pixel(x, y)) < 60) black = true;
        QVERIFY(black);
        QCOMPARE(buf.pixel(2, 30), qRgb(255, 255, 255));
        saveScreenshot(win, QStringLiteral("main-empty"));
    }

    void rowsAreDrawn() {
        Sets().INV = 1;
        Sets().BLC = QStringLiteral("cy") + S;
        openMain();
        addUsers(
            {"ann~C255", "ann~S0", "bob~C16711680", "bob~S1", "cy~S2", "dee~S2", "dee~Vme~0~", "eve~Cjunk"});
        win->ListSetSel(0, QStringLiteral("1"));
        win->UListChange();
        const QImage& buf = win->picLstBuf;
        const int right = buf.width() - 2;
        // Row 0 selected: the frame's lines stop short of their end points and leave the corners open.
        QCOMPARE(buf.pixel(2, 1), qRgb(0, 0, 0));
        QCOMPARE(buf.pixel(right - 1, 1), qRgb(0, 0, 0));
        QCOMPARE(buf.pixel(right, 1), qRgb(255, 255, 255));
        QCOMPARE(buf.pixel(1, 1), qRgb(255, 255, 255));
        QCOMPARE(buf.pixel(1, 2), qRgb(0, 0, 0));
        QCOMPARE(buf.pixel(1, 19), qRgb(0, 0, 0));
        QCOMPARE(buf.pixel(1, 20), qRgb(255, 255, 255));
        QCOMPARE(buf.pixel(2, 20), qRgb(0, 0, 0));
        // With the inverse highlight the row is filled with white minus the user's colour (red).
        QCOMPARE(buf.pixel(right - 3, 10), qRgb(0, 255, 255));
        // Unselected rows have the list's own background.
        QCOMPARE(buf.pixel(right - 3, 30), qRgb(255, 255, 255));
        // Each row's icon is the one of its status; a blocked user gets the blocked icon.
        const auto& icons = frmImgs::Load().picImgLst;
        auto iconAt = [&](int row, int icon) {
            const int y = (frmMain::kRowHeight - icons[0].height()) / 2 + row * frmMain::kRowHeight + 1;
            const QImage part = buf.copy(3, y, icons[icon].width(), icons[icon].height());
            QImage want(part.size(), QImage::Format_RGB32);
            want.fill(Qt::white);
            QPainter(&want).drawImage(0, 0, icons[icon]);
            return part.convertToFormat(QImage::Format_RGB32) == want;
        };
        QVERIFY(iconAt(1, 1)); // bob, Busy
        QVERIFY(iconAt(2, 3)); // cy, blocked by me
        QVERIFY(iconAt(3, 2)); // dee, Away
        QVERIFY(iconAt(4, 0)); // eve
        saveScreenshot(win, QStringLiteral("main-five-users"));
    }

    void madeUpStatusDrawsNoIcon_data() {
        QTest::addColumn<QString>("status");
        QTest::newRow("3, the blocked icon's index") << "3";
        QTest::newRow("7") << "7";
        QTest::newRow("negative") << "-1";
        QTest::newRow("not a number") << "x";
    }
    void madeUpStatusDrawsNoIcon() {
        QFETCH(QString, status);
        openMain();
        addUsers({"odd~S" + status});
        QCOMPARE(win->GetUserPic(QStringLiteral("odd")), -1);
        const QImage row = win->picLstBuf.copy(3, 3, 16, 16).convertToFormat(QImage::Format_RGB32);
        QImage white(row.size(), QImage::Format_RGB32);
        white.fill(Qt::white);
        QCOMPARE(row, white);
        Sets().BLC = QStringLiteral("odd") + S;
        QCOMPARE(win->GetUserPic(QStringLiteral("odd")), 3); // blocked by me is the only way to icon 3
    }

    void strikeThroughForWhoBlocksMe() {
        openMain();
        addUsers({"dee~B"});
        const QImage plain = win->picLstBuf.copy(0, 0, 120, 20);
        addUsers({"dee~Vme~0~"});
        const QImage struck = win->picLstBuf.copy(0, 0, 120, 20);
        QVERIFY(plain != struck);
        addUsers({"dee~Vme~1~"});
        QCOMPARE(win->picLstBuf.copy(0, 0, 120, 20), plain);
    }

    void scrollBarRange() {
        openMain();
        QStringList many;
        for (int i = 0; i < 40; ++i)
            many << QStringLiteral("u%1~B").arg(i, 2, 10, QLatin1Char('0'));
        addUsers(many);
        QVERIFY(win->vsbLst->isVisible());
        const int visibleRows = win->picLstBuf.height() / frmMain::kRowHeight;
        QCOMPARE(win->vsbLst->maximum(), 40 - visibleRows);
        win->vsbLst->setValue(5);
        win->picList_MouseDown(1, 0, 5, 3);
        QCOMPARE(win->GetUserInfo(QStringLiteral("u05"), 4).toString(), QStringLiteral("1"));
    }

    void groupMenus() {
        Sets().GRPS = QStringLiteral("Team") + S + QStringLiteral("ann") + S + QStringLiteral("bob") + S +
                      QStringLiteral("\r\nEmpty") + S + QStringLiteral("\r\nTail") + S + QStringLiteral("x") +
                      S;
        openMain();
        QCOMPARE(win->mnuActionAlertGrpI.size(), std::size_t(2));
        QCOMPARE(win->mnuActionAlertGrpI[0]->text(), QStringLiteral("Team"));
        QCOMPARE(win->mnuActionAlertGrpI[0]->data().toString(),
                 QStringLiteral("ann") + S + QStringLiteral("bob") + S);
        QCOMPARE(win->mnuActionAlertGrpI[1]->text(), QStringLiteral("Empty"));
        QCOMPARE(win->mnuActionAlertGrpI[1]->data().toString(), QString());
        QCOMPARE(win->mnuPopAlertGrpI.size(), std::size_t(2));
        QCOMPARE(win->mnuPopAlertGrpI[1]->text(), QStringLiteral("Empty"));
        QVERIFY(win->mnuActionGrp->isEnabled());
        Sets().GRPS.clear();
        win->UpdateGrpLst();
        QCOMPARE(win->mnuActionAlertGrpI.size(), std::size_t(1));
        QVERIFY(!win->mnuActionGrp->isEnabled());
        QVERIFY(!win->mnuPopGrp->isEnabled());
        QVERIFY(!win->cmdSB[1]->isEnabled());
    }

    // --- frame, skin, layout --------------------------------------------------------------------

    void firstStartIsCentredAtItsSize() {
        openMain();
        const double dx = Twips::dpiX(win), dy = Twips::dpiY(win);
        QCOMPARE(win->frameGeometry().width(), Twips::toPx(frmMain::kFirstWidth, dx));
        QCOMPARE(win->frameGeometry().height(), Twips::toPx(frmMain::kFirstHeight, dy));
        const QRect area = win->screen()->availableGeometry();
        QVERIFY(qAbs(win->frameGeometry().center().x() - area.center().x()) <= 2);
        QVERIFY(qAbs(win->frameGeometry().center().y() - area.center().y()) <= 2);
    }

    void storedPlaceOnNoScreenFallsBack() {
        Sets().FM_PL = 2000000;
        Sets().FM_PT = 2000000;
        Sets().FM_PW = 5000;
        Sets().FM_PH = 5500;
        openMain();
        QVERIFY(win->screen()->availableGeometry().intersects(win->frameGeometry()));
        QCOMPARE(win->frameGeometry().width(), Twips::toPx(frmMain::kFirstWidth, Twips::dpiX(win)));
    }

    // A stored place and size in pixels of the work area, as placeIn() reads them.
    void storedPlaceFitsTheWorkArea_data() {
        QTest::addColumn<QString>("place"); // left,top,width,height
        QTest::addColumn<bool>("fits");
        QTest::newRow("from a desktop of three monitors") << "0,0,7680,4320" << false;
        QTest::newRow("the largest stored size") << "0,0,32767,32767" << false;
        QTest::newRow("at the screen's last pixel") << "R,B,467,400" << false;
        QTest::newRow("title bar above the screen") << "40,-160,467,400" << false;
        QTest::newRow("left of the screen, wider than it") << "-300,20,W+100,400" << false;
        QTest::newRow("the whole work area") << "0,0,W,H" << true;
        QTest::newRow("inside") << "30,45,450,390" << true;
    }
    void storedPlaceFitsTheWorkArea() {
        QFETCH(QString, place);
        QFETCH(bool, fits);
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        const QRect outer = placeIn(place, area);
        // As a settings file from that desktop holds them.
        QVERIFY(storePlace(outer));
        const QList<qint32> stored = storedPlace();
        QVERIFY(openMain());
        const QRect frame = win->frameGeometry();
        QVERIFY2(area.contains(frame), qPrintable(QStringLiteral("frame %1,%2 %3x%4 outside the work area")
                                                      .arg(frame.x())
                                                      .arg(frame.y())
                                                      .arg(frame.width())
                                                      .arg(frame.height())));
        if (fits) QCOMPARE(frame, outer);
        // Nobody moved or sized it: what was stored stays.
        win->CloseByCode();
        QTRY_VERIFY(win.isNull());
        QCOMPARE(storedPlace(), stored);
        QCOMPARE(Sets().FM_PS, qint16(0));
    }

    void fittedPlaceMovedByTheUserIsStored() {
        Sets().FM_PL = 0;
        Sets().FM_PT = 0;
        Sets().FM_PW = 7680 * 15;
        Sets().FM_PH = 4320 * 15;
        QVERIFY(openMain());
        const QRect area = win->screen()->availableGeometry();
        QCOMPARE(win->frameGeometry().size(), area.size());
        win->resize(450, 400);
        win->move(area.left() + 20, area.top() + 10);
        QTRY_COMPARE(win->geometry().size(), QSize(450, 400));
        const QRect g = win->frameGeometry();
        QVERIFY(area.contains(g));
        win->CloseByCode();
        QTRY_VERIFY(win.isNull());
        const double dx = Twips::dpiX(nullptr), dy = Twips::dpiY(nullptr);
        QCOMPARE(Sets().FM_PL, Twips::fromPx(g.left(), dx));
        QCOMPARE(Sets().FM_PT, Twips::fromPx(g.top(), dy));
        QCOMPARE(Sets().FM_PW, Twips::fromPx(g.width(), dx));
        QCOMPARE(Sets().FM_PH, Twips::fromPx(g.height(), dy));
        QVERIFY(Sets().FM_PW < 7680 * 15);
    }

    void backgroundComposition_data() {
        QTest::addColumn<bool>("sideBar");
        QTest::newRow("with side bar") << true;
        QTest::newRow("without side bar") << false;
    }
    void backgroundComposition() {
        QFETCH(bool, sideBar);
        Sets().FM_SB = sideBar;
        openMain();
        const QImage& bg = win->picBuf;
        const int W = win->body->width(), H = win->body->height();
        const int R = sideBar ? W - SkinAtlas::kSideBarWidth : W;
        QCOMPARE(bg.size(), QSize(W, H));
        QCOMPARE(qGreen(bg.pixel(5, 5)), 200); // status picture over the top-left corner
        QCOMPARE(redAt(bg, 40, 40), 10);       // top-left corner
        QCOMPARE(redAt(bg, 60, 10), 20);       // top edge
        QCOMPARE(redAt(bg, R - 4, 10), 30);    // top-right corner
        QCOMPARE(redAt(bg, 10, 60), 40);       // left edge
        QCOMPARE(redAt(bg, R - 4, 60), 50);    // right edge
        QCOMPARE(redAt(bg, 10, H - 50), 60);   // bottom-left
        QCOMPARE(redAt(bg, 100, H - 50), 70);  // bottom edge
        if (sideBar) {
            QCOMPARE(redAt(bg, R + 70, 5), 90);       // side-bar top
            QCOMPARE(redAt(bg, R + 70, 60), 100);     // side-bar middle
            QCOMPARE(redAt(bg, R + 70, H - 50), 110); // side-bar bottom
            QCOMPARE(redAt(bg, R - 4, H - 93), 80);   // the short bottom-right corner
            QCOMPARE(redAt(bg, R - 4, H - 50), 70);   // ... under it, the bottom edge
            for (chameleonButton* b : win->cmdSB)
                QVERIFY(b->isVisible());
        } else {
            QCOMPARE(redAt(bg, R - 4, H - 50), 80);   // the tall bottom-right corner
            QCOMPARE(redAt(bg, R - 30, H - 40), 120); // the picture in the corner
            for (chameleonButton* b : win->cmdSB)
                QVERIFY(!b->isVisible());
        }
        saveScreenshot(win, sideBar ? QStringLiteral("main-side-bar") : QStringLiteral("main-no-side-bar"));
    }

    void backgroundFollowsTheClientArea() {
        openMain();
        win->hide();
        win->resize(620, 540);
        win->show();
        QTRY_COMPARE(win->picBuf.size(), win->body->size());
        QCOMPARE(win->picList->width(), win->body->width() - SkinAtlas::kSideBarWidth - 11);
    }

    void placement() {
        for (int i = 0; i < 3; ++i)
            Sets().FB[i].target = QStringLiteral("(All)");
        openMain();
        const int W = win->body->width(), H = win->body->height();
        QCOMPARE(win->picList->geometry(), QRect(6, 37, W - SkinAtlas::kSideBarWidth - 11, H - 128));
        QCOMPARE(win->cmdBB[0]->pos(), QPoint(8, H - (win->cmdBB[0]->height() + 55)));
        QCOMPARE(win->cmdBB[1]->x(), win->cmdBB[0]->width() + 13);
        QCOMPARE(win->cmdSB[0]->pos(), QPoint(W - (win->cmdSB[0]->width() + 13), 10));
        QCOMPARE(win->cmdSB[2]->y(), 10 + 2 * (win->cmdSB[0]->height() + 5));
        QCOMPARE(win->cmdSB[5]->y(), H - (win->cmdSB[3]->height() + 94));
        QCOMPARE(win->cmdFB[0]->pos(),
                 QPoint(W - (win->cmdFB[0]->width() + 80), H - (win->cmdFB[0]->height() + 27)));
        for (int k = 1; k < 10; ++k)
            QCOMPARE(win->cmdFB[k]->x(), win->cmdFB[k - 1]->x() - (win->cmdFB[k]->width() + 1));
        QVERIFY(win->cmdFB[2]->isVisible());
        QVERIFY(!win->cmdFB[3]->isVisible()); // hidden ones keep their place
        QCOMPARE(win->cmdFB[9]->Caption(), QStringLiteral("&10"));
    }

    void minimumSizes_data() {
        QTest::addColumn<bool>("sideBar");
        QTest::addColumn<int>("minW");
        QTest::addColumn<int>("minH");
        QTest::newRow("with side bar") << true << frmMain::kMinWidthSideBar << frmMain::kMinHeightSideBar;
        QTest::newRow("without") << false << frmMain::kMinWidth << frmMain::kMinHeight;
    }
    void minimumSizes() {
        QFETCH(bool, sideBar);
        QFETCH(int, minW);
        QFETCH(int, minH);
        Sets().FM_SB = sideBar;
        openMain();
        win->resize(50, 50);
        QTRY_COMPARE(win->frameGeometry().width(), Twips::toPx(minW, Twips::dpiX(win)));
        QCOMPARE(win->frameGeometry().height(), Twips::toPx(minH, Twips::dpiY(win)));
    }

    void sideBarOffAtTheLargerMinimumKeepsTheSize() {
        openMain();
        win->resize(50, 50);
        const QSize before = win->size();
        win->mnuViewSideBar_Click();
        QVERIFY(!Sets().FM_SB);
        QCOMPARE(win->size(), before);
        QCOMPARE(win->picBuf.size(), win->body->size());
        QCOMPARE(redAt(win->picBuf, win->body->width() - 30, win->body->height() - 40), 120);
    }

    void statusButtonAndPicture() {
        openMain();
        QCOMPARE(win->cmdStat->Caption(), QStringLiteral("Status  ~ Online"));
        win->mnuActionStatusSet_Click(1);
        QCOMPARE(win->cmdStat->Caption(), QStringLiteral("Status  ~ Busy"));
        QVERIFY(win->mnuActionStatusSet[1]->isChecked() && win->mnuPopStatSet[1]->isChecked());
        QVERIFY(!win->mnuActionStatusSet[0]->isChecked());
        QCOMPARE(qGreen(win->picBuf.pixel(5, 5)), 201);
        QCOMPARE(frmMain::StatDef(QStringLiteral("2")), QStringLiteral("Away"));
        QCOMPARE(frmMain::StatDef(QStringLiteral("7")), QString());
    }

    // The built-in look, as a person sees it.
    void builtInSkin_data() {
        QTest::addColumn<bool>("sideBar");
        QTest::addColumn<bool>("users");
        QTest::newRow("empty, side bar") << true << false;
        QTest::newRow("five users, side bar") << true << true;
        QTest::newRow("five users, no side bar") << false << true;
    }
    void builtInSkin() {
        QFETCH(bool, sideBar);
        QFETCH(bool, users);
        frmImgs& imgs = frmImgs::Load();
        const QImage synthetic = imgs.picSkin;
        imgs.picSkin = imgs.picBaseSkin;
        Sets().FM_SB = sideBar;
        Sets().BLC = QStringLiteral("Cy") + S;
        openMain();
        if (users)
            addUsers({"Ann~C255", "Ann~FDejaVu Serif", "Bob~C8388608", "Bob~S1", "Cy~S0", "Dee~S2",
                      "Dee~Vme~0~", "Eve~C32768", "Eve~FDejaVu Sans Mono"});
        if (users) win->picList_MouseDown(1, 0, 5, 3);
        // The top-left corner of the frame is the skin's piece, under the status picture.
        QCOMPARE(win->picBuf.pixel(45, 45), imgs.picBaseSkin.pixel(429 + 45, 45));
        saveScreenshot(
            win,
            QStringLiteral("main-builtin-%1%2").arg(users ? "users" : "empty", sideBar ? "" : "-nosidebar"));
        imgs.picSkin = synthetic;
    }

    // --- closing --------------------------------------------------------------------------------

    void closing_data() {
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("typed"); // false: the box is cancelled
        QTest::addColumn<QString>("answer");
        QTest::addColumn<int>("confirm"); // 0 Yes, 1 No
        QTest::addColumn<bool>("asked");  // the confirmation was shown
        QTest::addColumn<bool>("closed");
        QTest::newRow("no password, yes") << "" << true << "" << 0 << true << true;
        QTest::newRow("no password, no") << "" << true << "" << 1 << true << false;
        QTest::newRow("wrong password") << "Secret" << true << "secret" << 0 << false << false;
        QTest::newRow("empty answer") << "Secret" << true << "" << 0 << false << false;
        QTest::newRow("cancelled") << "Secret" << false << "Secret" << 0 << false << false;
        QTest::newRow("right password, yes") << "Secret" << true << "Secret" << 0 << true << true;
        QTest::newRow("right password, no") << "Secret" << true << "Secret" << 1 << true << false;
    }
    void closing() {
        QFETCH(QString, password);
        QFETCH(bool, typed);
        QFETCH(QString, answer);
        QFETCH(int, confirm);
        QFETCH(bool, asked);
        QFETCH(bool, closed);
        Run().ExitPassword = password;
        env.input.accept = typed;
        env.input.answer = answer;
        env.messages.answers = {confirm};
        openMain();
        clsChat ear;
        ear.Init(QStringLiteral("QX3"));
        win->mnuActionExit_Click();
        QCOMPARE(env.input.asked, password.isEmpty() ? 0 : 1);
        QCOMPARE(env.messages.shown.size(), std::size_t(asked ? 1 : 0));
        if (asked) {
            QCOMPARE(env.messages.shown[0].text, modLangConst::English(QStringLiteral("Main_CloseMsg")));
            QCOMPARE(env.messages.shown[0].buttons, 1);
            QCOMPARE(env.messages.shown[0].icon, 4);
        }
        QCOMPARE(env.end.terminated, closed ? 1 : 0);
        if (closed) {
            QTRY_VERIFY(win.isNull());
            QStringList got;
            QVERIFY(QTest::qWaitFor(
                [&] {
                    return (got += ear.GetMessages())
                        .contains(QChar(0) + QStringLiteral("Me") + S + QStringLiteral("E"));
                },
                TestEnv::kNetWait));
            QVERIFY(QFile::exists(QDir(env.home.path()).filePath(QStringLiteral("User.con"))));
        } else {
            QVERIFY(win && win->isVisible());
            QVERIFY(modNetCmds::IsOpen());
        }
    }

    void secondCloseWhileAskingDoesNothing() {
        openMain();
        int nested = 0;
        env.messages.whileOpen = [&] {
            ++nested;
            if (nested == 1) win->close(); // a second request while the question is open
        };
        env.messages.answers = {0};
        win->mnuActionExit_Click();
        QCOMPARE(env.messages.shown.size(), std::size_t(1));
        QCOMPARE(env.end.terminated, 1);
    }

    void cleanUpStoresPlaceAndState() {
        openMain();
        win->move(40, 30);
        win->resize(500, 420);
        QTRY_COMPARE(win->size(), QSize(500, 420));
        const QRect g = win->frameGeometry();
        win->CloseByCode();
        QTRY_VERIFY(win.isNull());
        const double dx = Twips::dpiX(nullptr), dy = Twips::dpiY(nullptr);
        QCOMPARE(Sets().FM_PS, qint16(0));
        QCOMPARE(Sets().FM_PL, Twips::fromPx(g.left(), dx));
        QCOMPARE(Sets().FM_PT, Twips::fromPx(g.top(), dy));
        QCOMPARE(Sets().FM_PW, Twips::fromPx(g.width(), dx));
        QCOMPARE(Sets().FM_PH, Twips::fromPx(g.height(), dy));
        QCOMPARE(env.end.terminated, 0); // closed by code: clean-up only
        // Reopened, it comes back where it was.
        openMain();
        QCOMPARE(win->frameGeometry(), g);
    }

    void closedMaximisedKeepsTheStoredPlace() {
        Sets().FM_PL = 600;
        Sets().FM_PT = 450;
        Sets().FM_PW = 6000;
        Sets().FM_PH = 5500;
        openMain();
        win->showMaximized();
        QTRY_VERIFY(win->isMaximized());
        win->CloseByCode();
        QTRY_VERIFY(win.isNull());
        QCOMPARE(Sets().FM_PS, qint16(2));
        QCOMPARE(Sets().FM_PL, 600);
        QCOMPARE(Sets().FM_PW, 6000);
    }

    void minimisingWithoutTrayStaysReachable() {
        tray->trayPresent = false;
        openMain();
        QVERIFY(win->TBI->Enabled()); // asked for, but nothing shows it
        QVERIFY(!win->TrayIconShown());
        win->showMinimized();
        QVERIFY(QTest::qWaitFor([&] { return win->isMinimized(); }, 5000));
        QCoreApplication::processEvents();
        QVERIFY(!win->isHidden()); // no tray icon to come back from: an ordinary minimised window
    }

    void trayIconFromLoadToCleanUp() {
        openMain();
        QCOMPARE(tray->calls, QStringList{"add|?|"});
        QVERIFY(win->TrayIconShown());
        QVERIFY(win->TBI->BaseIcon().IsIcon());
        QCOMPARE(tray->last()->menu.data(), win->mnuPop);
        QCOMPARE(win->mnuPop->defaultAction(), win->mnuPopShow);
        win->CloseByCode();
        QTRY_VERIFY(win.isNull());
        QCOMPARE(tray->calls.last(), QStringLiteral("delete"));
    }

    void hidesIntoTheTrayAndComesBack_data() {
        QTest::addColumn<bool>("maximised");
        QTest::newRow("normal") << false;
        QTest::newRow("maximised") << true;
    }
    void hidesIntoTheTrayAndComesBack() {
        QFETCH(bool, maximised);
        openMain();
        if (maximised) win->showMaximized();
        QTRY_COMPARE(bool(win->windowState() & Qt::WindowMaximized), maximised);
        win->showMinimized();
        QTRY_VERIFY(win->isHidden());
        tray->last()->click(TrayIcon::kLeftDouble);
        QTRY_VERIFY(win->isVisible());
        QVERIFY(!(win->windowState() & Qt::WindowMinimized));
        QCOMPARE(bool(win->windowState() & Qt::WindowMaximized), maximised);
    }

    void showItemOfTheTrayMenuBringsItBack() {
        openMain();
        win->showMinimized();
        QTRY_VERIFY(win->isHidden());
        win->mnuPopShow->trigger();
        QTRY_VERIFY(win->isVisible());
        QVERIFY(!(win->windowState() & Qt::WindowMinimized));
    }

    void aTrayThatGoesGivesTheWindowBack() {
        openMain();
        win->showMinimized();
        QTRY_VERIFY(win->isHidden());
        tray->setPresent(false);
        QTRY_VERIFY(win->isVisible());
        QVERIFY(win->windowState() & Qt::WindowMinimized);
        // Minimised again with no tray: it stays an ordinary minimised window.
        TestEnv::settle();
        QVERIFY(win->isVisible());
    }

    void rightClickPopsTheMenuOnlyWhereTheTrayDoesNot_data() {
        QTest::addColumn<bool>("trayShowsMenu");
        QTest::newRow("tray shows it") << true;
        QTest::newRow("tray does not") << false;
    }
    void rightClickPopsTheMenuOnlyWhereTheTrayDoesNot() {
        QFETCH(bool, trayShowsMenu);
        tray->showsMenu = trayShowsMenu;
        openMain();
        tray->last()->click(TrayIcon::kRightUp);
        QCOMPARE(win->mnuPop->isVisible(), !trayShowsMenu);
        win->mnuPop->hide();
    }

    // --- a live network -------------------------------------------------------------------------

    void showsUsersAnotherProcessAnnounces() {
        openMain();
        TestEnv::NetPeer peer;
        QVERIFY(peer.start(QStringLiteral("Zoe"), QStringLiteral("32768"), QStringLiteral("Tahoma")));
        QTRY_COMPARE_WITH_TIMEOUT(win->lstUsersList.items(), QStringList({"Zoe"}), TestEnv::kNetWait);
        QTRY_COMPARE_WITH_TIMEOUT(win->GetUserInfo(QStringLiteral("Zoe"), 2).toString(),
                                  QStringLiteral("Tahoma"), TestEnv::kNetWait);
        QCOMPARE(win->GetUserInfo(QStringLiteral("Zoe"), 1).toString(), QStringLiteral("32768"));
        // The peer hears us too and lists us.
        QVERIFY(peer.saw("Me|255|0|Courier New|0|1|"));
        QVERIFY(peer.quit());
        QTRY_VERIFY_WITH_TIMEOUT(win->lstUsersList.items().isEmpty(), TestEnv::kNetWait);
    }

    void addTheSelectionToAChatRoom() {
        openMain();
        QCOMPARE(MainWindowLink::Loaded(), static_cast<MainWindowLink*>(win.data()));
        addUsers({"ann~C0", "bob~C0", "cy~C0"});
        RoomRecorder room;
        RoomRecorder other;
        other.members << QStringLiteral("Bob");
        win->AddU2Chat(&room);
        QCOMPARE(env.messages.texts(), QStringList({modLangConst::Get(QStringLiteral("Main_SelUserMsg"))}));
        for (int i = 0; i < 3; ++i)
            win->ListSetSel(i, QStringLiteral("1"));
        win->AddU2Chat(&room);
        QCOMPARE(room.members, QStringList({"ann", "cy"}));
        QCOMPARE(env.messages.texts().last(),
                 QStringLiteral("bob") + modLangConst::Get(QStringLiteral("Main_UserInChat")));
        // A room that closed meanwhile gets nobody.
        RoomRecorder gone;
        gone.CloseRoom();
        win->AddU2Chat(&gone);
        QVERIFY(gone.members.isEmpty());
        win->CloseByCode();
        QCOMPARE(MainWindowLink::Loaded(), nullptr); // cleaned up: the chat windows no longer reach it
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_frmMain.moc"
