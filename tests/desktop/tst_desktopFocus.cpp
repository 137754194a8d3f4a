// Who gets the keyboard under a real window manager: what the network opens (a room opened by
// another user's line, a pop-up, an information window, a message) comes up without taking it
// and asks for attention, so the user's next keys still go where he was typing; what the user
// opens himself (a room, an alert, a reply) comes up with it.
#include "controls/SendBox.h"
#include "controls/chameleonButton.h"
#include "conversation/AlertWindows.h"
#include "conversation/frmAlert.h"
#include "conversation/frmChat.h"
#include "conversation/frmInfo.h"
#include "conversation/frmMsg.h"
#include "conversation/frmPop.h"
#include "core/AppRouter.h"
#include "core/PeerInfo.h"
#include "core/clsChat.h"
#include "core/modAppFnc.h"
#include "core/modGlobals.h"
#include "core/modNetCmds.h"
#include "mainwin/frmMain.h"
#include "platform/Mailslot.h"
#include "platform/WindowShow.h"
#include "support/Headless.h"
#include "support/Screenshot.h"
#include "support/Steps.h"
#include "support/WmView.h"

#include <QApplication>
#include <QPointer>
#include <QTest>
#include <QTimer>

using modGlobals::Sets;

namespace {
const QString S(modGlobals::kSep);

// Another copy on the network sends one datagram ("~" stands for the separator).
void fromPeer(QString text) {
    text.replace(QLatin1Char('~'), S);
    QVERIFY(
        Mailslot::send(QStringLiteral("*"), QStringLiteral("QX3"), QByteArray(1, '\0') + text.toLatin1()));
}

template <class W> QList<W*> shown() {
    QList<W*> out;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* x = qobject_cast<W*>(w); x && x->isVisible()) out << x;
    return out;
}
template <class W> QWidget* first() {
    const QList<W*> all = shown<W>();
    return all.isEmpty() ? nullptr : all.first();
}

} // namespace

class TestDesktopFocus : public QObject {
    Q_OBJECT
    TestEnv::Headless env{TestEnv::Loopback, TestEnv::Windows};
    Slot<MessageService>::Override realMessages{Messages::service(), frmMsg::Service()};
    QPointer<frmMain> main;
    std::unique_ptr<clsChat> ear;
    QStringList heard;

    // The chat lines this copy sent since the last call: "<to>|<text>".
    QStringList linesSent() {
        QStringList out;
        for (const QString& d : ear->GetMessages()) {
            const QString t = d.mid(1);
            if (!t.startsWith(QStringLiteral("Bob") + S + QLatin1Char('H'))) continue;
            const QStringList f = t.mid(4).split(S);
            if (f.size() >= 3 && f[2] == QLatin1String("0") && !f[1].isEmpty())
                heard << f[0].mid(1) + QLatin1Char('|') + f[1];
        }
        return heard;
    }
    // The one shown room with `name` as a member.
    static frmChat* roomOf(const QString& name) {
        for (frmChat* c : shown<frmChat>())
            if (c->HaveUser(name)) return c;
        return nullptr;
    }
    // Opens a room with Cyd as the user would and types into it.
    frmChat* typingToCyd() {
        modAppFnc::LoadChatWindow(QStringLiteral("Cyd") + S);
        frmChat* cyd = roomOf(QStringLiteral("Cyd"));
        if (!cyd) return nullptr;
        if (!QTest::qWaitFor([&] { return WmView::active(cyd); }, 20000)) return nullptr;
        WmView::type(QStringLiteral("for cyd"));
        if (!QTest::qWaitFor([&] { return cyd->txtSnd->Text() == QLatin1String("for cyd"); }, 10000))
            return nullptr;
        return cyd;
    }

  private slots:
    void initTestCase() {
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        AppRouter::Install();
        AlertWindows::Install();
        frmChat::Install();
        auto& s = Sets();
        s.UNAME = QStringLiteral("Bob");
        s.FM_PL = -10000;
        s.FM_PS = 0;
        s.ALTPOS = 3;
        ear = std::make_unique<clsChat>();
        QVERIFY(ear->Init(QStringLiteral("QX3")));
        main = new frmMain;
        main->show();
        QVERIFY(QTest::qWaitForWindowActive(main));
        // Cyd and Dan are about.
        fromPeer(QStringLiteral("Cyd~S0"));
        fromPeer(QStringLiteral("Dan~S0"));
        QTRY_VERIFY_WITH_TIMEOUT(
            main->IsOnLine(QStringLiteral("Cyd")) && main->IsOnLine(QStringLiteral("Dan")), 20000);
    }
    void init() {
        ear->GetMessages();
        heard.clear();
    }
    void cleanup() {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<frmChat*>(w) || qobject_cast<frmPop*>(w) || qobject_cast<frmInfo*>(w) ||
                qobject_cast<frmAlert*>(w))
                w->close();
        QTRY_VERIFY(shown<frmChat>().isEmpty() && shown<frmPop>().isEmpty() && shown<frmInfo>().isEmpty());
        if (main && main->IsBlocked(QStringLiteral("Dan"))) main->RemBlock(QStringLiteral("Dan"));
    }
    void cleanupTestCase() {
        if (main) main->CloseByCode();
        QTRY_VERIFY(main.isNull());
    }

    void networkWindowsLeaveTheKeyboard_data() {
        QTest::addColumn<QString>("datagram");
        QTest::addColumn<QString>("kind");
        QTest::newRow("a room opened by Dan's line") << "Dan~HBob~hello~0~"
                                                     << "frmChat";
        QTest::newRow("an alert pop-up") << "Dan~ABob~look at this~"
                                         << "frmPop";
        QTest::newRow("an information window") << "Dan~IBob~Phone number: 123"
                                               << "frmInfo";
    }
    // Bob types to Cyd; something from Dan opens a window; Bob types on, and the line, with
    // every key of it, goes to Cyd.
    void networkWindowsLeaveTheKeyboard() {
        QFETCH(QString, datagram);
        QFETCH(QString, kind);
        frmChat* cyd = typingToCyd();
        QVERIFY2(cyd, "Bob's room with Cyd did not come up with the keyboard");
        if (kind == QLatin1String("frmInfo"))
            modAppFnc::RequestUserInfo(QStringLiteral("Dan") + S, 0); // Bob asked
        fromPeer(datagram);
        QWidget* arrived = nullptr;
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                for (QWidget* w : QApplication::topLevelWidgets())
                    if (w != cyd && w->isVisible() && QLatin1String(w->metaObject()->className()) == kind &&
                        WmView::viewable(w))
                        arrived = w;
                return arrived != nullptr;
            }(),
            20000);
        // Settled once the window manager has given it the keyboard or the attention it asks for.
        auto attention = [&] {
            return WmView::states(arrived).contains(QStringLiteral("DEMANDS_ATTENTION"));
        };
        QTRY_VERIFY_WITH_TIMEOUT(WmView::active(arrived) || attention(), 10000);
        QVERIFY2(WmView::active(cyd), "the window from the network took the keyboard");
        QVERIFY2(attention(), "the window from the network does not ask for attention");
        saveScreenshot(WmView::screen(), QStringLiteral("desktop-arrives-while-typing-") + kind);
        WmView::type(QStringLiteral(" more b\n"));
        QTRY_VERIFY_WITH_TIMEOUT(linesSent().contains(QStringLiteral("Cyd|for cyd more b")), 20000);
        QCOMPARE(linesSent().filter(QStringLiteral("Dan|")), QStringList());
        QVERIFY2(!PeerInfo::IsBlocked(QStringLiteral("Dan")), "a typed B blocked the sender");
        QVERIFY2(shown<frmAlert>().isEmpty(), "typing opened a reply");
        QVERIFY(WmView::active(cyd));
    }

    // A message from Dan ("M") comes up above the room and waits for its answer without holding
    // the room: the keys typed meanwhile neither answer it (an O would) nor leave the room. (It
    // asks for attention too, but the window manager shows none for a window over the focused
    // one.) Its steps run from a timer: the message waits in a loop of its own.
    void aMessageLeavesTheKeyboard() {
        frmChat* cyd = typingToCyd();
        QVERIFY2(cyd, "Bob's room with Cyd did not come up with the keyboard");
        QPointer<frmMsg> box;
        bool keyboardStayed = false, overTheRoom = false, lineWent = false, stayedOpen = false;
        Steps steps;
        steps.add([&] {
            for (frmMsg* m : shown<frmMsg>())
                if (WmView::viewable(m)) box = m;
            return box != nullptr;
        });
        steps.add([&] { return WmView::active(box) || WmView::above(box, cyd); });
        steps.add([&] {
            keyboardStayed = WmView::active(cyd);
            overTheRoom = WmView::above(box, cyd) && WmView::transientFor(box) == WmView::win(cyd);
            saveScreenshot(WmView::screen(), QStringLiteral("desktop-message-while-typing"));
            WmView::type(QStringLiteral(" more o\n"));
            return true;
        });
        steps.add([&] { return lineWent = linesSent().contains(QStringLiteral("Cyd|for cyd more o")); });
        steps.add([&] {
            stayedOpen = box && box->isVisible();
            if (box) emit box->CMD[0]->Click();
            return true;
        });
        steps.start(30000, [&] {
            if (box) emit box->CMD[0]->Click();
        });
        fromPeer(QStringLiteral("Dan~Mhello Bob"));
        const bool finished = steps.wait();
        QVERIFY2(keyboardStayed, "the message took the keyboard");
        QVERIFY2(overTheRoom, "the message is not above the room it came over");
        QVERIFY2(lineWent, "the line typed on did not go to Cyd");
        QVERIFY2(finished,
                 qPrintable(QStringLiteral("the message came no further than step %1").arg(steps.reached())));
        QVERIFY2(stayedOpen, "a typed O answered the message");
        QTRY_VERIFY(shown<frmMsg>().isEmpty());
    }

    void userWindowsTakeTheKeyboard_data() {
        QTest::addColumn<int>("action");
        QTest::newRow("Start Live Chat with Dan") << 0;
        QTest::newRow("Send Alert to Dan") << 1;
        QTest::newRow("Reply on a pop-up") << 2;
    }
    void userWindowsTakeTheKeyboard() {
        QFETCH(int, action);
        WindowShow::Asked(main);
        QVERIFY(QTest::qWaitForWindowActive(main));
        QWidget* expected = nullptr;
        if (action == 2) {
            fromPeer(QStringLiteral("Dan~ABob~hi~"));
            QTRY_VERIFY_WITH_TIMEOUT(first<frmPop>() && WmView::viewable(first<frmPop>()), 20000);
            shown<frmPop>().first()->mnuPopReply_Click();
        } else {
            for (int i = 0; i < main->lstUsersList.ListCount(); ++i)
                main->ListSetSel(i, main->lstUsersList.List(i) == QLatin1String("Dan") ? QStringLiteral("1")
                                                                                       : QStringLiteral("0"));
            main->mnuActionSelS_Click(action == 0 ? 1 : 0);
        }
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                expected =
                    action == 0 ? static_cast<QWidget*>(roomOf(QStringLiteral("Dan"))) : first<frmAlert>();
                return expected && WmView::viewable(expected);
            }(),
            20000);
        QTRY_VERIFY2_WITH_TIMEOUT(WmView::active(expected),
                                  "the window the user opened did not get the keyboard", 10000);
    }
};

QTEST_MAIN(TestDesktopFocus)
#include "tst_desktopFocus.moc"
