// Message and input boxes under a real window manager: each comes up above the window it
// answers for, kept on top with it when that window is, and takes the keys.
#include "conversation/frmMsg.h"
#include "core/InputBox.h"
#include "core/modAppFnc.h"
#include "core/modGlobals.h"
#include "mainwin/frmLogOn.h"
#include "mainwin/frmMain.h"
#include "platform/MsgBox.h"
#include "support/Headless.h"
#include "support/Screenshot.h"
#include "support/Steps.h"
#include "support/WmView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QTimer>

using modGlobals::Run;
using modGlobals::Sets;

namespace {
// What the window manager made of the box that opened while the test's command ran.
struct Seen {
    bool appeared = false;
    bool aboveOwner = false;
    bool active = false;
    bool keptOnTop = false;
    bool transientForOwner = false;
    bool closedByKey = false;
    QStringList states;

    // The first way the box failed a box over `what` (kept on top when `onTop`); empty if none.
    QString failure(const QString& what, bool onTop) const {
        if (!appeared) return QStringLiteral("no box came up");
        if (!aboveOwner) return QStringLiteral("the box is stacked below ") + what;
        if (!transientForOwner) return QStringLiteral("the box is not transient for ") + what;
        if (keptOnTop != onTop)
            return QStringLiteral("the box is%1 kept on top: ")
                       .arg(onTop ? QStringLiteral(" not") : QString()) +
                   states.join(QLatin1Char(' '));
        if (!active) return QStringLiteral("the box did not get the keyboard");
        if (!closedByKey) return QStringLiteral("the keys did not answer the box");
        return {};
    }
};

// The box that is up now: a top-level dialog shown besides `except`.
QWidget* openBox(const QWidget* except) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w != except && w->windowType() == Qt::Dialog && WmView::managed(w)) return w;
    return nullptr;
}
} // namespace

class TestDesktopBoxes : public QObject {
    Q_OBJECT
    TestEnv::Headless env{TestEnv::Loopback, TestEnv::Windows};
    Slot<MessageService>::Override realMessages{Messages::service(), frmMsg::Service()};
    Slot<InputService>::Override realInput{InputBox::service(), InputBox::service().byDefault()};
    Slot<MsgBox::Service>::Override realBoxes{MsgBox::service(), MsgBox::service().byDefault()};

    // Runs `open`, which opens a box and waits for its answer; meanwhile watches the box come
    // up over `owner` and answers it by typing `keys` as the user would.
    Seen whileBoxOpen(QWidget* owner, const QString& keys, const QString& shot,
                      const std::function<void()>& open) {
        Seen seen;
        QPointer<QWidget> box;
        Steps steps;
        steps.add([&] {
            box = openBox(owner);
            return seen.appeared = box && WmView::viewable(box);
        });
        // Settled: the window manager has given it its place and the keyboard (or will not).
        QElapsedTimer settling;
        steps.add([&] {
            if (!settling.isValid()) settling.start();
            return (WmView::active(box) && (!owner || WmView::above(box, owner))) ||
                   settling.elapsed() > 5000;
        });
        steps.add([&] {
            seen.aboveOwner = !owner || WmView::above(box, owner);
            seen.active = WmView::active(box);
            seen.states = WmView::states(box);
            seen.keptOnTop = seen.states.contains(QStringLiteral("ABOVE"));
            seen.transientForOwner = !owner || WmView::transientFor(box) == WmView::win(owner);
            saveScreenshot(WmView::screen(), shot);
            WmView::type(keys);
            return true;
        });
        steps.add([&] { return seen.closedByKey = !box || !box->isVisible(); });
        // Never left hanging: the test fails on what it saw, not on its time limit.
        steps.start(30000, [&] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (w->isVisible() && w != owner && w->windowType() == Qt::Dialog) w->close();
        });
        open();
        [[maybe_unused]] const bool finished = steps.wait();
        return seen;
    }

  private slots:
    void initTestCase() { QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb")); }

    void signInRefusals_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("heard");
        QTest::newRow("not a valid name") << "bad name!"
                                          << "";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("in use") << "Cyd"
                                << "cyd";
    }
    // The sign-in window stays on top; its refusal must come up above it and take the keys.
    void signInRefusals() {
        QFETCH(QString, name);
        QFETCH(QString, heard);
        Sets().UNAME = QStringLiteral("Ann");
        QPointer<frmLogOn> w = new frmLogOn;
        if (!heard.isEmpty()) w->lstUsers()->AddItem(heard);
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w));
        w->txtName->setText(name);
        const Seen seen = whileBoxOpen(w, QStringLiteral("o"), QStringLiteral("desktop-signin-refusal"),
                                       [&] { w->cmdOk_Click(); });
        const QString failure = seen.failure(QStringLiteral("the sign-in window"), true);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        QCOMPARE(w->vRet, qint16(1));
        QVERIFY(w->isVisible());
        w->Unload();
        QTRY_VERIFY(w.isNull());
    }

    // The main window kept on top: each of its boxes comes up above it, on top too, and takes
    // the keys that answer it.
    void mainWindowBoxes_data() {
        QTest::addColumn<int>("which");
        QTest::addColumn<QString>("keys");
        QTest::newRow("selection refusal") << 0 << "o";
        QTest::newRow("close question") << 1 << "n";
        QTest::newRow("exit password") << 2 << "x\n";
    }
    void mainWindowBoxes() {
        QFETCH(int, which);
        QFETCH(QString, keys);
        auto& s = Sets();
        s.UNAME = QStringLiteral("Ann");
        s.FM_KOT = true;
        s.FM_PL = -10000;
        s.FM_PS = 0;
        Run().ExitPassword = which == 2 ? QStringLiteral("secret") : QString();
        QPointer<frmMain> main = new frmMain;
        main->show();
        QVERIFY(QTest::qWaitForWindowActive(main));
        QTRY_VERIFY(WmView::states(main).contains(QStringLiteral("ABOVE")));
        const Seen seen = whileBoxOpen(main, keys, QStringLiteral("desktop-main-box-%1").arg(which), [&] {
            if (which == 0)
                main->mnuActionSelS_Click(0); // F5 with nobody selected
            else
                main->mnuActionExit_Click();
        });
        const QString failure = seen.failure(QStringLiteral("the main window"), true);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        QVERIFY2(main && main->isVisible(), "the answer closed the main window");
        Run().ExitPassword.clear();
        main->CloseByCode();
        QTRY_VERIFY(main.isNull());
    }

    // The companion programs' plain box: over the window that asked, on top only when that
    // window is.
    void plainBoxOverItsWindow() {
        QWidget owner;
        owner.setWindowTitle(QStringLiteral("Report"));
        owner.resize(300, 200);
        owner.show();
        QVERIFY(QTest::qWaitForWindowActive(&owner));
        const Seen seen = whileBoxOpen(&owner, QStringLiteral("\n"), QStringLiteral("desktop-plain-box"), [] {
            MsgBox::Show(QStringLiteral("Help"), QStringLiteral("Sent."), MsgBox::Buttons::Ok,
                         MsgBox::Icon::Information);
        });
        const QString failure = seen.failure(QStringLiteral("its window"), false);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
    }

    // Nothing of ours on screen (a message at start-up): on top of everything, with the keys.
    void boxWithNoWindowOfOurs() {
        const Seen seen = whileBoxOpen(nullptr, QStringLiteral("o"), QStringLiteral("desktop-lone-box"),
                                       [] { modAppFnc::ShowMsg(QStringLiteral("Log Disabled."), 0, 0); });
        const QString failure = seen.failure(QStringLiteral("nothing"), true);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
    }
};

QTEST_MAIN(TestDesktopBoxes)
#include "tst_desktopBoxes.moc"
