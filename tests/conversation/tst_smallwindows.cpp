// The splash, the about box, the hidden settings and the self-test window.
#include "controls/chameleonButton.h"
#include "conversation/frmAbout.h"
#include "conversation/frmEgg.h"
#include "conversation/frmSelfTest.h"
#include "conversation/frmSplash.h"
#include "core/modAppFnc.h"
#include "core/modDB.h"
#include "core/modGlobals.h"
#include "core/modLangConst.h"
#include "core/modNetCmds.h"
#include "core/modNetCom.h"
#include "platform/Ansi.h"
#include "platform/Colors.h"
#include "platform/Mailslot.h"
#include "platform/Twips.h"
#include "platform/qx3version.h"
#include "support/Headless.h"
#include "support/Recorders.h"
#include "support/Screenshot.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {
const QString S(modGlobals::kSep);
const QString kVersion = QStringLiteral(QX3_VERSION_TEXT);

QList<frmEgg*> openEggs() {
    QList<frmEgg*> out;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* e = qobject_cast<frmEgg*>(w); e && e->isVisible()) out << e;
    return out;
}

void closeEggs() {
    for (frmEgg* e : openEggs())
        e->close();
    QTRY_VERIFY(openEggs().isEmpty());
}

// The colour of the pixel at `at` as the widget renders it.
quint32 pixelAt(QWidget* w, QPoint at) {
    return Colors::toBgr(w->grab().toImage().pixelColor(at));
}
} // namespace

class TestSmallWindows : public QObject {
    Q_OBJECT
    TestEnv::Headless env{TestEnv::Loopback, TestEnv::Windows};

    void loadTable(const QByteArray& lines) {
        const QString path = env.home.filePath(QStringLiteral("lang.qxl"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(lines);
        f.close();
        QVERIFY(modDB::LoadDB(path));
    }

  private slots:
    void initTestCase() { QVERIFY(env.home.isValid()); }
    void cleanup() {
        QVERIFY(modDB::LoadDB(QString()));
        closeEggs();
        if (modNetCmds::IsOpen()) modNetCmds::CloseNetCom(0);
    }

    // --- splash -----------------------------------------------------------------------------

    void splashShowsTheVersionInTheCorner() {
        QPointer<frmSplash> w = new frmSplash();
        QCOMPARE(w->lblVer->text(), kVersion);
        QCOMPARE(w->LBL[0]->text(), QStringLiteral("LAN"));
        QCOMPARE(w->LBL[1]->text(), QStringLiteral("Communication"));
        QCOMPARE(w->LBL[2]->text(), QStringLiteral("System"));
        QCOMPARE(w->tmrDelay->interval(), frmSplash::kDelay);
        QVERIFY(!w->tmrDelay->isActive()); // the start-up starts it
        QVERIFY(w->windowFlags() & Qt::WindowStaysOnTopHint);
        const int right = Twips::toPx(modAppFnc::GetWorkArea(2, w), Twips::dpiX(w));
        const int bottom = Twips::toPx(modAppFnc::GetWorkArea(3, w), Twips::dpiY(w));
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        const QRect outer = w->frameGeometry();
        QCOMPARE(outer.x() + outer.width(), right);
        QCOMPARE(outer.y() + outer.height(), bottom);
        saveScreenshot(w, QStringLiteral("frmSplash"));
        w->close();
        QTRY_VERIFY(w.isNull());
    }

    void splashClosesItselfAfterItsDelay() {
        QPointer<frmSplash> w = new frmSplash();
        w->show();
        QElapsedTimer open;
        open.start();
        w->tmrDelay->setInterval(150);
        w->tmrDelay->start();
        QTRY_VERIFY(w.isNull());
        QVERIFY(open.elapsed() >= 150); // not before its delay, however busy the machine
    }

    void lampColour_data() {
        QTest::addColumn<int>("phase");
        QTest::addColumn<int>("red");
        QTest::addColumn<int>("green");
        QTest::newRow("0 pure red") << 0 << 255 << 0;
        QTest::newRow("25") << 25 << 192 << 64;
        QTest::newRow("50 halfway") << 50 << 128 << 128;
        QTest::newRow("100 pure green") << 100 << 0 << 255;
        QTest::newRow("150 back down") << 150 << 128 << 128;
        QTest::newRow("195") << 195 << 243 << 13;
        QTest::newRow("200 red again") << 200 << 255 << 0;
    }
    void lampColour() {
        QFETCH(int, phase);
        QFETCH(int, red);
        QFETCH(int, green);
        QCOMPARE(frmSplash::SpotColor(static_cast<qint16>(phase)),
                 static_cast<quint32>(red) | static_cast<quint32>(green) << 8);
    }

    void lampPhaseSteps_data() {
        QTest::addColumn<int>("phase");
        QTest::addColumn<int>("next");
        QTest::newRow("start") << 0 << 5;
        QTest::newRow("to the top") << 195 << 200;
        QTest::newRow("past the top") << 200 << 0;
        QTest::newRow("off the step") << 198 << 0;
    }
    void lampPhaseSteps() {
        QFETCH(int, phase);
        QFETCH(int, next);
        QCOMPARE(frmSplash::NextSpotPhase(static_cast<qint16>(phase)), qint16(next));
    }

    // The lamp is drawn where it belongs, in the colour of its phase, and it moves.
    void splashLampPulses() {
        QPointer<frmSplash> w = new frmSplash();
        QCOMPARE(w->tmrSpot->interval(), frmSplash::kSpotInterval);
        QVERIFY(w->tmrSpot->isActive());
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QTRY_VERIFY(w->spotPhase >= 50);
        w->tmrSpot->stop();
        QCOMPARE(pixelAt(w, w->SpotCentre()), frmSplash::SpotColor(w->spotPhase));
        w->close();
        QTRY_VERIFY(w.isNull());
    }

    // --- about box --------------------------------------------------------------------------

    void aboutTitleEndsWithTheVersion() {
        {
            QPointer<frmAbout> w = new frmAbout();
            QCOMPARE(w->windowTitle(), QStringLiteral("About Talkvane3   v.") + kVersion);
            QCOMPARE(w->cmdClose->Caption(), QStringLiteral("&Close"));
            w->close();
            QTRY_VERIFY(w.isNull());
        }
        loadTable("frmAbout.Form|Info zu Talkvane3 v.\r\nfrmAbout.cmdClose|&Schliessen\r\n");
        QPointer<frmAbout> w = new frmAbout();
        QCOMPARE(w->windowTitle(), QStringLiteral("Info zu Talkvane3 v.") + kVersion);
        QCOMPARE(w->cmdClose->Caption(), QStringLiteral("&Schliessen"));
        w->close();
        QTRY_VERIFY(w.isNull());
    }

    void aboutLicenceToggles() {
        QPointer<frmAbout> w = new frmAbout();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        saveScreenshot(w, QStringLiteral("frmAbout"));
        QVERIFY(w->txtLicence->isHidden());
        QCOMPARE(w->cmdLicence->Caption(), modLangConst::Get(QStringLiteral("About_L")));
        const QRect info = w->lblInfo->geometry(), lic = w->txtLicence->geometry();
        QCOMPARE(lic.topLeft(), info.topLeft());
        QCOMPARE(lic.height(), info.height());
        QTest::mouseClick(w->cmdLicence, Qt::LeftButton);
        QVERIFY(!w->txtLicence->isHidden());
        QCOMPARE(w->cmdLicence->Caption(), QStringLiteral("&Copyright"));
        saveScreenshot(w, QStringLiteral("frmAbout-licence"));
        QTest::mouseClick(w->cmdLicence, Qt::LeftButton);
        QVERIFY(w->txtLicence->isHidden());
        QCOMPARE(w->cmdLicence->Caption(), QStringLiteral("&Licence"));
        QTest::mouseClick(w->cmdClose, Qt::LeftButton);
        QTRY_VERIFY(w.isNull());
    }

    void aboutClosesWhenAnotherWindowIsActivated() {
        QPointer<frmAbout> w = new frmAbout();
        w->show();
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
        TestEnv::settle();
        QVERIFY(!w.isNull()); // being active is no reason to close
        QWidget other;
        other.resize(100, 100);
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        QTRY_VERIFY(w.isNull());
    }

    void eggGesture_data() {
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<Qt::KeyboardModifiers>("mods");
        QTest::addColumn<bool>("opens");
        const Qt::KeyboardModifiers all = Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier;
        QTest::newRow("right, Shift Ctrl Alt") << Qt::RightButton << all << true;
        QTest::newRow("right, Ctrl Alt")
            << Qt::RightButton << Qt::KeyboardModifiers(Qt::ControlModifier | Qt::AltModifier) << false;
        QTest::newRow("right, none") << Qt::RightButton << Qt::KeyboardModifiers() << false;
        QTest::newRow("left, Shift Ctrl Alt") << Qt::LeftButton << all << false;
    }
    void eggGesture() {
        QFETCH(Qt::MouseButton, button);
        QFETCH(Qt::KeyboardModifiers, mods);
        QFETCH(bool, opens);
        QPointer<frmAbout> w = new frmAbout();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QTest::mouseClick(w->imgEgg, button, mods);
        QCOMPARE(openEggs().size(), opens ? 1 : 0);
        if (w) w->close();
        QTRY_VERIFY(w.isNull());
        QCOMPARE(openEggs().size(), opens ? 1 : 0); // the egg outlives the about box
    }

    // --- hidden settings --------------------------------------------------------------------

    void eggDoesNothing_data() {
        QTest::addColumn<bool>("ok");
        QTest::newRow("ok") << true;
        QTest::newRow("cancel") << false;
    }
    void eggDoesNothing() {
        QFETCH(bool, ok);
        QPointer<frmEgg> w = new frmEgg();
        QVERIFY(w->isVisible());
        QCOMPARE(w->windowTitle(), QStringLiteral("Hidden Settings"));
        QCOMPARE(w->Combo1[0]->currentText(), QStringLiteral("Ages"));
        QCOMPARE(w->Combo1[1]->currentText(), QStringLiteral("So Long I Think It's Crashed"));
        QCOMPARE(w->Combo1[0]->count(), 6);
        QCOMPARE(w->Text[0]->text(), QStringLiteral("5000"));
        w->VScroll1->setValue(1234);
        QCOMPARE(w->Text[0]->text(), QStringLiteral("1234"));
        QCOMPARE(w->cmdCancel->Caption(), QStringLiteral("&Cancel"));
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QTest::mouseClick(ok ? w->cmdOk : w->cmdCancel, Qt::LeftButton);
        QTRY_VERIFY(w.isNull());
        QVERIFY(QDir(env.home.path()).entryList(QDir::Files).filter(QStringLiteral(".con")).isEmpty());
    }

    // Every caption of the hidden settings shows whole, beside the control it names.
    void eggShowsEveryCaptionWhole() {
        QPointer<frmEgg> w = new frmEgg();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        int captions = 0;
        for (QWidget* c : w->findChildren<QWidget*>()) {
            QString text;
            if (auto* l = qobject_cast<QLabel*>(c)) text = l->text();
            if (auto* b = qobject_cast<QAbstractButton*>(c)) text = b->text();
            if (text.isEmpty() || !c->isVisible()) continue;
            ++captions;
            QVERIFY2(c->width() >= c->sizeHint().width(),
                     qPrintable(QStringLiteral("\"%1\" is %2 wide of the %3 it needs")
                                    .arg(text)
                                    .arg(c->width())
                                    .arg(c->sizeHint().width())));
            QVERIFY2(w->rect().contains(c->mapTo(w.data(), c->rect().bottomRight())), qPrintable(text));
            if (!qobject_cast<QLabel*>(c)) continue;
            for (QWidget* other : c->parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
                QVERIFY2(other == c || !other->isVisible() || !other->geometry().intersects(c->geometry()),
                         qPrintable(QStringLiteral("\"%1\" lies under another control").arg(text)));
        }
        QVERIFY(captions >= 6);
        saveScreenshot(w.data(), QStringLiteral("frmEgg"));
        w->close();
        QTRY_VERIFY(w.isNull());
    }

    // --- self test --------------------------------------------------------------------------

    void selfTestCaptions() {
        {
            QPointer<frmSelfTest> w = new frmSelfTest();
            QCOMPARE(w->windowTitle(), QStringLiteral("Talkvane3 - Self Test..."));
            QCOMPARE(w->lblCap->text(),
                     QStringLiteral("Please wait, while Talkvane3 performs a self test..."));
            QCOMPARE(w->lblSync->text(), QStringLiteral("Synchronising Network Status"));
            w->close();
            QTRY_VERIFY(w.isNull());
        }
        loadTable("frmSelfTest.Form|Selbsttest\r\nfrmSelfTest.lblCap|Bitte warten\r\n");
        QPointer<frmSelfTest> w = new frmSelfTest();
        QCOMPARE(w->windowTitle(), QStringLiteral("Selbsttest"));
        QCOMPARE(w->lblCap->text(), QStringLiteral("Bitte warten"));
        w->close();
        QTRY_VERIFY(w.isNull());
    }

    void selfTestOwnsTheLayerAndListsWhatItHears() {
        QPointer<frmSelfTest> w = new frmSelfTest();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QVERIFY(!w->lstUStat());
        modNetCmds::SetDataReceived(0);
        modNetCmds::OpenNetCom(w, QStringLiteral("\\") + modNetCom::GetLogonName());
        // The one poll at opening read the own presence broadcast, and listed nobody for it.
        QCOMPARE(modNetCmds::DataReceived(), qint16(1));
        QCOMPARE(w->lstUsers()->ListCount(), 0);
        QVERIFY(Mailslot::send(
            QStringLiteral("*"), QStringLiteral("QX3"),
            Ansi::encode(QString(QChar(0)) + QStringLiteral("Dan") + S + QStringLiteral("S0"))));
        QTRY_VERIFY_WITH_TIMEOUT((modNetCmds::PollData(), w->lstUsers()->ListCount() == 1),
                                 TestEnv::kNetWait);
        QCOMPARE(w->lstUsers()->List(0), QStringLiteral("Dan"));
        QTRY_COMPARE(w->lstUsersBox->count(), 1);
        QCOMPARE(w->lstUsersBox->item(0)->text(), QStringLiteral("Dan"));
        modNetCmds::CloseNetCom(1);

        // The lamp pulses in its picture box.
        QTRY_VERIFY(w->spotPhase >= 50);
        w->tmrSpot->stop();
        QCOMPARE(pixelAt(w->picLogo, QPoint(10, 10)), frmSplash::SpotColor(w->spotPhase));
        saveScreenshot(w, QStringLiteral("frmSelfTest"));
        w->close();
        QTRY_VERIFY(w.isNull());
    }
};

QTEST_MAIN(TestSmallWindows)
#include "tst_smallwindows.moc"
