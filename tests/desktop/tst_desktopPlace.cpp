// The main window's stored place and size under a real window manager: a place and size from
// another desktop opens with the whole frame, title bar included, in the work area, and the
// stored values stay as they were when the window is closed without being moved.
#include "core/frmImgs.h"
#include "core/modGlobals.h"
#include "core/modLangConst.h"
#include "mainwin/frmMain.h"
#include "support/Headless.h"
#include "support/MainWindowFixture.h"
#include "support/WmView.h"

#include <QApplication>
#include <QPointer>
#include <QTest>

using modGlobals::Sets;

class TestDesktopPlace : public QObject, TestEnv::MainWindowFixture {
    Q_OBJECT
    TestEnv::Headless env{TestEnv::Loopback};

  private slots:
    void initTestCase() {
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        modLangConst::SetDefaultStrings();
        frmImgs::Load();
    }
    void init() {
        env.reset();
        Sets().UNAME = QStringLiteral("Ann");
    }
    void cleanup() { QVERIFY(closeMain()); }

    // In pixels of the stage's screen, as placeIn() reads them.
    void storedPlaceKeepsTheTitleBarReachable_data() {
        QTest::addColumn<QString>("place"); // left,top,width,height
        QTest::newRow("title bar above the screen") << "40,-160,467,400";
        QTest::newRow("at the screen's last pixel") << "R,B,467,400";
        QTest::newRow("from a desktop of three monitors") << "0,0,7680,4320";
        QTest::newRow("the largest stored size") << "0,0,32767,32767";
    }
    void storedPlaceKeepsTheTitleBarReachable() {
        QFETCH(QString, place);
        QVERIFY(storePlace(placeIn(place, QGuiApplication::primaryScreen()->geometry())));
        const QList<qint32> stored = storedPlace();

        QVERIFY(openMain());
        const QRect work = WmView::workArea(0);
        QVERIFY(!work.isEmpty());
        // Framed by the window manager (a title bar above the client), and the whole frame on
        // the screen where the pointer can take it.
        auto framed = [&] {
            const QRect f = WmView::frameRect(win);
            return f.top() < win->geometry().top() && work.contains(f);
        };
        QTRY_VERIFY2_WITH_TIMEOUT(framed(),
                                  qPrintable(QStringLiteral("frame %1,%2 %3x%4, work area %5x%6")
                                                 .arg(WmView::frameRect(win).x())
                                                 .arg(WmView::frameRect(win).y())
                                                 .arg(WmView::frameRect(win).width())
                                                 .arg(WmView::frameRect(win).height())
                                                 .arg(work.width())
                                                 .arg(work.height())),
                                  20000);
        QVERIFY(closeMain());
        QCOMPARE(storedPlace(), stored);
    }
};

QTEST_MAIN(TestDesktopPlace)
#include "tst_desktopPlace.moc"
