// The notification-area icon on a recording tray: which requests reach the tray in which
// state, flashing and animation frames, the tip, the mouse messages and the saved properties.
#include "controls/PropertyBag.h"
#include "controls/ctlTaskBarIcon.h"
#include "support/Headless.h"
#include "support/TrayRecorder.h"

#include <QMenu>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

using Pic = ctlTaskBarIcon::Picture;

class TestTaskBarIcon : public QObject {
    Q_OBJECT
    TestEnv::Headless env;
    std::unique_ptr<TrayRecorder> tray;
    QIcon base, flash, f1, f2, f3;

  private slots:
    void init() {
        env.reset();
        tray = std::make_unique<TrayRecorder>();
        base = tray->make(QStringLiteral("base"), Qt::red);
        flash = tray->make(QStringLiteral("flash"), Qt::green);
        f1 = tray->make(QStringLiteral("f1"), Qt::blue);
        f2 = tray->make(QStringLiteral("f2"), Qt::yellow);
        f3 = tray->make(QStringLiteral("f3"), Qt::cyan);
    }
    void cleanup() { tray.reset(); }

    // Each step applied in order to a fresh control; the tray calls and the state after.
    void stateTable_data() {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<QString>("state"); // enabled flash animate
        QTest::newRow("enable without icon") << QStringList{"enable"} << QStringList{} << "000";
        QTest::newRow("enable after icon")
            << QStringList{"enable", "base", "enable"} << QStringList{"add|base|tip"} << "100";
        QTest::newRow("bitmap base removes")
            << QStringList{"base", "enable", "bitmap"} << QStringList{"add|base|tip", "delete"} << "000";
        QTest::newRow("new base shown") << QStringList{"base", "enable", "base2"}
                                        << QStringList{"add|base|tip", "modify|flash|tip"} << "100";
        QTest::newRow("flash while disabled")
            << QStringList{"base", "flashicon", "flash"} << QStringList{} << "000";
        QTest::newRow("flash without flash icon")
            << QStringList{"base", "enable", "flash"} << QStringList{"add|base|tip"} << "100";
        QTest::newRow("flash while animating")
            << QStringList{"base", "enable", "frame", "animate", "flashicon", "flash"}
            << QStringList{"add|base|tip"} << "101";
        QTest::newRow("flash") << QStringList{"base", "enable", "flashicon", "flash"}
                               << QStringList{"add|base|tip"} << "110";
        QTest::newRow("flash off shows base")
            << QStringList{"base", "enable", "flashicon", "flash", "tick1", "flashoff"}
            << QStringList{"add|base|tip", "modify|flash|tip", "modify|base|tip"} << "100";
        QTest::newRow("bitmap flash icon stops flashing")
            << QStringList{"base", "enable", "flashicon", "flash", "bitmapflash"}
            << QStringList{"add|base|tip", "modify|base|tip"} << "100";
        QTest::newRow("animate without frames")
            << QStringList{"base", "enable", "animate"} << QStringList{"add|base|tip"} << "100";
        QTest::newRow("animate while flashing")
            << QStringList{"base", "enable", "flashicon", "flash", "frame", "animate"}
            << QStringList{"add|base|tip"} << "110";
        QTest::newRow("disable stops all")
            << QStringList{"base", "enable", "frame", "animate", "disable"}
            << QStringList{"add|base|tip", "modify|base|tip", "delete"} << "000";
        QTest::newRow("base while flashing not shown")
            << QStringList{"base", "enable", "flashicon", "flash", "base2"} << QStringList{"add|base|tip"}
            << "110";
        QTest::newRow("tip while enabled") << QStringList{"base", "enable", "tip2"}
                                           << QStringList{"add|base|tip", "modify|base|other"} << "100";
        QTest::newRow("tip while disabled") << QStringList{"base", "tip2"} << QStringList{} << "000";
    }
    void stateTable() {
        QFETCH(QStringList, steps);
        QFETCH(QStringList, calls);
        QFETCH(QString, state);
        ctlTaskBarIcon tbi;
        tbi.SetTip(QStringLiteral("tip"));
        for (const QString& s : steps) {
            if (s == "enable") tbi.SetEnabled(true);
            if (s == "disable") tbi.SetEnabled(false);
            if (s == "base") tbi.SetBaseIcon(Pic::FromIcon(base));
            if (s == "base2") tbi.SetBaseIcon(Pic::FromIcon(flash));
            if (s == "bitmap") tbi.SetBaseIcon(Pic::FromBitmap(base));
            if (s == "flashicon") tbi.SetFlashIcon(Pic::FromIcon(flash));
            if (s == "bitmapflash") tbi.SetFlashIcon(Pic::FromBitmap(flash));
            if (s == "flash") tbi.SetFlash(true);
            if (s == "flashoff") tbi.SetFlash(false);
            if (s == "frame") tbi.SetAddIcon(Pic::FromIcon(f1));
            if (s == "animate") tbi.SetAnimate(true);
            if (s == "tick1") tbi.Timer1_Timer();
            if (s == "tip2") tbi.SetTip(QStringLiteral("other"));
        }
        QCOMPARE(tray->calls, calls);
        const QString got =
            QString::number(tbi.Enabled()) + QString::number(tbi.Flash()) + QString::number(tbi.Animate());
        QCOMPARE(got, state);
    }

    void flashAlternatesFromTheFlashIcon() {
        ctlTaskBarIcon tbi;
        tbi.SetBaseIcon(Pic::FromIcon(base));
        tbi.SetFlashIcon(Pic::FromIcon(flash));
        tbi.SetEnabled(true);
        tbi.SetFlashTime(40);
        tbi.SetFlash(true);
        QCOMPARE(tbi.Timer1->interval(), 40);
        // A new time waits for the next start.
        tbi.SetFlashTime(80);
        QCOMPARE(tbi.Timer1->interval(), 40);
        tray->calls.clear();
        QTRY_VERIFY(tray->calls.size() >= 3);
        QCOMPARE(tray->calls.mid(0, 3), (QStringList{"modify|flash|", "modify|base|", "modify|flash|"}));
        tbi.SetFlash(false);
        tbi.SetFlash(true);
        QCOMPARE(tbi.Timer1->interval(), 80);
    }

    void framesCycle() {
        ctlTaskBarIcon tbi;
        tbi.SetBaseIcon(Pic::FromIcon(base));
        tbi.SetEnabled(true);
        for (const QIcon& f : {f1, f2, f3})
            tbi.SetAddIcon(Pic::FromIcon(f));
        tbi.SetAddIcon(Pic::FromBitmap(base)); // stored, adds no frame
        QCOMPARE(tbi.PictureIndex(), 3);
        QCOMPARE(tbi.AddIcon().type, Pic::Type::Bitmap);
        tbi.SetAnimationTime(30);
        tbi.SetAnimate(true);
        tray->calls.clear();
        QTRY_VERIFY(tray->calls.size() >= 4);
        QCOMPARE(tray->calls.mid(0, 4),
                 (QStringList{"modify|f1|", "modify|f2|", "modify|f3|", "modify|f1|"}));
        // Frames gone: the icon stays on the frame last shown while the ticks do nothing.
        tbi.Timer2->stop();
        const QString lastShown = tray->calls.last().section(QLatin1Char('|'), 1, 1);
        QCOMPARE(tbi.ResetIcons(), false);
        QCOMPARE(tbi.PictureIndex(), 0);
        tray->calls.clear();
        tbi.Timer2_Timer();
        QVERIFY(tray->calls.isEmpty());
        QVERIFY(tbi.Animate());
        // A restarted animation goes on after the frame shown last.
        tbi.SetAnimate(false);
        for (const QIcon& f : {f1, f2, f3})
            tbi.SetAddIcon(Pic::FromIcon(f));
        tbi.Timer2->stop();
        tray->calls.clear();
        tbi.Timer2_Timer();
        const int next = lastShown.mid(1).toInt() % 3 + 1;
        QCOMPARE(tray->calls, QStringList{QStringLiteral("modify|f%1|").arg(next)});
    }

    void timesOfZeroDoNotTick_data() {
        QTest::addColumn<int>("ms");
        QTest::newRow("0") << 0;
        QTest::newRow("-5") << -5;
    }
    void timesOfZeroDoNotTick() {
        QFETCH(int, ms);
        ctlTaskBarIcon tbi;
        tbi.SetBaseIcon(Pic::FromIcon(base));
        tbi.SetFlashIcon(Pic::FromIcon(flash));
        tbi.SetEnabled(true);
        tbi.SetFlashTime(ms);
        tbi.SetFlash(true);
        QVERIFY(tbi.Flash());
        QVERIFY(!tbi.Timer1->isActive());
        tbi.SetFlash(false);
        tbi.SetAddIcon(Pic::FromIcon(f1));
        tbi.SetAnimationTime(ms);
        tbi.SetAnimate(true);
        QVERIFY(tbi.Animate());
        QVERIFY(!tbi.Timer2->isActive());
    }

    void tipIsCutTo63() {
        ctlTaskBarIcon tbi;
        tbi.SetBaseIcon(Pic::FromIcon(base));
        const QString tip = QString(100, QLatin1Char('x'));
        tbi.SetTip(tip);
        tbi.SetEnabled(true);
        QCOMPARE(tray->last()->tip, QString(63, QLatin1Char('x')));
        QCOMPARE(tbi.Tip(), tip);
    }

    void mouseMessages_data() {
        QTest::addColumn<int>("message");
        QTest::addColumn<QString>("event");
        QTest::newRow("514") << 514 << "LeftClick";
        QTest::newRow("515") << 515 << "LeftDbClick";
        QTest::newRow("517") << 517 << "RightClick";
        QTest::newRow("518") << 518 << "RightDbClick";
        QTest::newRow("512 move") << 512 << "";
        QTest::newRow("513 down") << 513 << "";
        QTest::newRow("519 middle") << 519 << "";
    }
    void mouseMessages() {
        QFETCH(int, message);
        QFETCH(QString, event);
        ctlTaskBarIcon tbi;
        QStringList got;
        auto rec = [&got](const char* name) {
            return [&got, name](qint16& b, qint16&, float& x, float& y) {
                got << QStringLiteral("%1 %2 %3 %4")
                           .arg(QLatin1String(name))
                           .arg(b)
                           .arg(double(x))
                           .arg(double(y));
            };
        };
        connect(&tbi, &ctlTaskBarIcon::LeftClick, rec("LeftClick"));
        connect(&tbi, &ctlTaskBarIcon::LeftDbClick, rec("LeftDbClick"));
        connect(&tbi, &ctlTaskBarIcon::RightClick, rec("RightClick"));
        connect(&tbi, &ctlTaskBarIcon::RightDbClick, rec("RightDbClick"));
        tray->last()->click(message);
        if (event.isEmpty())
            QVERIFY(got.isEmpty());
        else
            QCOMPARE(got, QStringList{QStringLiteral("%1 0 %2 0").arg(event).arg(message)});
    }

    void shownFollowsTheTray() {
        ctlTaskBarIcon tbi;
        QSignalSpy spy(&tbi, &ctlTaskBarIcon::TrayShownChanged);
        tray->setPresent(false); // not enabled: nothing to report
        QCOMPARE(spy.count(), 0);
        tbi.SetBaseIcon(Pic::FromIcon(base));
        tbi.SetEnabled(true);
        QVERIFY(tbi.Enabled());
        QVERIFY(!tbi.TrayShown()); // asked for, but no tray shows it
        tray->setPresent(true);
        QVERIFY(tbi.TrayShown());
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toBool(), true);
    }

    void menuGoesToTheTray() {
        ctlTaskBarIcon tbi;
        QMenu menu;
        tbi.SetMenu(&menu);
        QCOMPARE(tray->last()->menu.data(), &menu);
        QVERIFY(!tbi.MenuShownByTray());
        tray->showsMenu = true;
        QVERIFY(tbi.MenuShownByTray());
    }

    void destructionRemovesTheIcon() {
        {
            ctlTaskBarIcon tbi;
            tbi.SetBaseIcon(Pic::FromIcon(base));
            tbi.SetEnabled(true);
        }
        QCOMPARE(tray->calls.last(), QStringLiteral("delete"));
    }

    void propertiesRoundTrip() {
        ctlTaskBarIcon a;
        a.SetBaseIcon(Pic::FromIcon(base));
        a.SetTip(QStringLiteral("hello"));
        a.SetFlashTime(250);
        a.SetAddIcon(Pic::FromIcon(f1));
        a.SetAddIcon(Pic::FromIcon(f2));
        PropertyBag bag;
        a.WriteProperties(bag);
        QStringList keys;
        for (const auto& e : bag.Entries())
            keys << e.first;
        // Defaults are left out, pictures always written.
        QCOMPARE(keys, (QStringList{"BaseIcon", "FlashIcon", "AddIcon", "Tip", "FlashTime", "PictureIndex"}));
        tray->calls.clear();
        ctlTaskBarIcon b;
        b.ReadProperties(bag);
        QVERIFY(tray->calls.isEmpty()); // reading adds no icon
        QCOMPARE(b.Tip(), QStringLiteral("hello"));
        QCOMPARE(b.FlashTime(), 250);
        QCOMPARE(b.AnimationTime(), 500);
        QVERIFY(b.BaseIcon().IsIcon());
        QCOMPARE(b.FlashIcon().type, Pic::Type::None);
        // The frames themselves are not saved: none is counted, so no tick can reach one.
        QCOMPARE(b.PictureIndex(), 0);
        b.Timer2_Timer();
        QVERIFY(tray->calls.isEmpty());
    }
};

QTEST_MAIN(TestTaskBarIcon)
#include "tst_ctlTaskBarIcon.moc"
