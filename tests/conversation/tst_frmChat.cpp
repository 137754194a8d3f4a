// The chat window over the real network layer on loopback: membership and its datagrams, the
// chat codes, sending, typing notices, leaving; what a line looks like in the transcript.
#include "conversation/frmChat.h"

#include "controls/RichTextBox.h"
#include "controls/SendBox.h"
#include "controls/chameleonButton.h"
#include "core/AppRouter.h"
#include "core/clsChat.h"
#include "core/frmImgs.h"
#include "core/modGlobals.h"
#include "core/modLangConst.h"
#include "core/modNetCmds.h"
#include "support/ChatRecorders.h"
#include "support/Recorders.h"
#include "support/Screenshot.h"
#include "support/TestEnv.h"

#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTimer>

namespace {
const QString S(modGlobals::kSep);
const QString kMark = QStringLiteral("Zmark");

QString packet(const QString& text, const QString& code) {
    return text + S + code;
}
} // namespace

class TestFrmChat : public QObject {
    Q_OBJECT
    QTemporaryDir home;
    TestOwner owner;
    clsChat listener;

    // The "H" datagrams this copy sent since the last call, as "target|text|code|". A marker
    // sent last tells when everything before it has arrived.
    QStringList sent() {
        modNetCmds::SendData(kMark);
        QStringList got;
        bool marked = false;
        [[maybe_unused]] const bool ok = QTest::qWaitFor(
            [&] {
                for (const QString& m : listener.GetMessages()) {
                    const QString d = m.mid(1);
                    const QString head = QStringLiteral("Me") + S;
                    if (!d.startsWith(head)) continue;
                    const QString data = d.mid(head.size());
                    if (data == kMark) marked = true;
                    if (data.startsWith(QLatin1Char('H')))
                        got << QString(data.mid(1)).replace(S, QStringLiteral("|"));
                }
                return marked;
            },
            5000);
        if (!marked) qWarning("the marker never arrived");
        return got;
    }

  private slots:
    void initTestCase() {
        QVERIFY(home.isValid());
        TestEnv::isolate(home);
        TestEnv::useLoopback(41201);
        modLangConst::SetDefaultStrings();
        frmImgs::Load();
        modGlobals::Sets().UNAME = QStringLiteral("Me");
        listener.Init(QStringLiteral("QX3"));
        QCOMPARE(listener.GetError(), qint16(0));
        modNetCmds::OpenNetCom(&owner, QStringLiteral("Me"));
        sent();
    }
    void cleanupTestCase() { modNetCmds::CloseNetCom(0); }
    void init() {
        auto& s = modGlobals::Sets();
        s.UNAME = QStringLiteral("Me");
        s.CHTSTY = 1;
        s.CHTPICS = 1;
        s.CHTSNDBTN = 1;
        s.FC_SB = true;
        modGlobals::Run().ChatKeepOnTop = 0;
        sent();
    }

    // --- membership ------------------------------------------------------------------------

    void addUserSendsJoinAndMemberNotices() {
        MessageRecorder messages;
        QPointer<frmChat> w = new frmChat;
        QVERIFY(!w->cmdSnd->Enabled());
        w->AddUser(QStringLiteral("Bob"));
        QCOMPARE(sent(), QStringList({"Bob||0|", "Bob|Bob|4|"}));
        w->AddUser(QStringLiteral("ann"));
        QCOMPARE(sent(), QStringList({"ann||0|", "ann|ann|4|", "ann|Bob|4|", "Bob|ann|4|", "Bob|Bob|4|"}));
        QCOMPARE(w->Members(), QStringList({"ann", "Bob"}));
        QCOMPARE(w->lblStat->text(), QStringLiteral("Ready."));
        QVERIFY(w->cmdSnd->Enabled());
        QCOMPARE(w->lstUsers->currentItem()->text(), QStringLiteral("Bob")); // the first member stays chosen
        w->SetStat(QStringLiteral("x"), QString());
        w->AddUser(QStringLiteral("cy"));
        QCOMPARE(w->Members(), QStringList({"ann", "Bob", "cy"}));
        QCOMPARE(sent().size(), 1 + 9);
        QCOMPARE(w->lblStat->text(), QStringLiteral("Ready."));
        delete w;
    }

    void addUserRefuses_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("member in other case") << "BOB";
        QTest::newRow("own name") << "Me";
        QTest::newRow("own name in other case") << "mE";
        QTest::newRow("empty") << "";
        QTest::newRow("listening name") << "\\x";
    }
    void addUserRefuses() {
        QFETCH(QString, name);
        QPointer<frmChat> w = new frmChat;
        w->AddUser(QStringLiteral("Bob"));
        sent();
        w->SetStat(QStringLiteral("unchanged"), QString());
        w->AddUser(name);
        QCOMPARE(sent(), QStringList());
        QCOMPARE(w->Members(), QStringList({"Bob"}));
        QCOMPARE(w->lblStat->text(), QStringLiteral("unchanged"));
        delete w;
    }

    void remUser() {
        QPointer<frmChat> w = new frmChat;
        w->AddUser(QStringLiteral("Bob"));
        w->AddUser(QStringLiteral("Ann"));
        sent();
        w->SetStat(QStringLiteral("unchanged"), QString());
        w->RemUser(QStringLiteral("Cy")); // not a member: silent
        QCOMPARE(sent(), QStringList());
        QCOMPARE(w->lblStat->text(), QStringLiteral("unchanged"));
        w->RemUser(QStringLiteral("ANN"));
        QCOMPARE(sent(), QStringList({"Bob|ANN|5|"}));
        QCOMPARE(w->Members(), QStringList({"Bob"}));
        w->RemUser(QStringLiteral("bob"));
        QCOMPARE(sent(), QStringList());
        QCOMPARE(w->lblStat->text(), QStringLiteral("This chat room is empty."));
        QVERIFY(!w->cmdSnd->Enabled());
        w->RemUser(QStringLiteral("bob")); // an empty room: nothing at all
        QCOMPARE(sent(), QStringList());
        w->AddUser(QStringLiteral("Dee"));
        QCOMPARE(w->lblStat->text(), QStringLiteral("Ready."));
        QVERIFY(w->cmdSnd->Enabled());
        delete w;
    }

    void leavingRemovingBlocking() {
        MainRecorder main;
        QPointer<frmChat> w = new frmChat;
        w->AddUser(QStringLiteral("Bob"));
        w->AddUser(QStringLiteral("Ann"));
        w->AddUser(QStringLiteral("Cy"));
        sent();
        w->lstUsers->setCurrentRow(1); // Bob
        w->mnuChatRem_Click();
        QCOMPARE(sent(), QStringList({"Bob||3|", "Ann|Bob|5|", "Cy|Bob|5|"}));
        w->lstUsers->setCurrentRow(1); // Cy
        w->mnuChatBlock_Click();
        QCOMPARE(main.calls, QStringList({"block|Cy"}));
        QCOMPARE(sent(), QStringList({"Cy||3|", "Ann|Cy|5|"}));
        w->AddUser(QStringLiteral("Cy"));
        w->lstUsers->setCurrentRow(1);
        w->mnuChatBlock_Click(); // blocked already: unblocked, and he leaves all the same
        QCOMPARE(main.calls.last(), QStringLiteral("unblock|Cy"));
        QCOMPARE(w->Members(), QStringList({"Ann"}));
        sent();
        w->close();
        QCOMPARE(sent(), QStringList({"Ann||3|"}));
        QVERIFY(!ChatRooms::IsOpen(w.data())); // gone from the registry before it is destroyed
        QTRY_VERIFY(w.isNull());
    }

    void closeNetComSendsLeavingBeforeGoodbye() {
        AppRouter::Install();
        QPointer<frmChat> a = new frmChat;
        a->AddUser(QStringLiteral("Bob"));
        QPointer<frmChat> b = new frmChat;
        b->AddUser(QStringLiteral("Ann"));
        sent();
        modNetCmds::CloseNetCom(1);
        // The layer is closed now; the listener still hears what it sent on the way.
        QStringList order;
        QVERIFY(QTest::qWaitFor(
            [&] {
                for (const QString& m : listener.GetMessages())
                    if (m.mid(1).startsWith(QStringLiteral("Me") + S))
                        order << QString(m.mid(4)).replace(S, "|");
                return order.contains(QStringLiteral("E"));
            },
            5000));
        QCOMPARE(order, QStringList({"HBob||3|", "HAnn||3|", "E"}));
        QTRY_VERIFY(a.isNull() && b.isNull());
        NetHooks::router().set(nullptr);
        NetHooks::chatWindows().set(nullptr);
        modNetCmds::OpenNetCom(&owner, QStringLiteral("Me"));
        sent();
    }

    // --- chat codes --------------------------------------------------------------------------

    void addMsgCodes_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("code");
        QTest::addColumn<bool>("stamps");
        QTest::addColumn<QString>("status"); // "*" unchanged
        QTest::addColumn<QStringList>("members");
        QTest::addColumn<QStringList>("datagrams");
        QTest::addColumn<bool>("shown");
        const QStringList both{"Ann", "Bob"};
        QTest::newRow("0 line") << "hi"
                                << "0" << false << "*" << both << QStringList() << true;
        QTest::newRow("0 empty: join notice") << ""
                                              << "0" << false << "*" << both << QStringList() << false;
        QTest::newRow("1 typing") << " Is typing a message."
                                  << "1" << false << "Bob Is typing a message." << both << QStringList()
                                  << false;
        QTest::newRow("1 typing, stamped")
            << " Is typing a message."
            << "1" << true << "~ Bob Is typing a message." << both << QStringList() << false;
        QTest::newRow("2 stopped") << ""
                                   << "2" << false << "Ready." << both << QStringList() << false;
        QTest::newRow("3 leaving") << ""
                                   << "3" << false << "*" << QStringList({"Ann"})
                                   << QStringList({"Ann|Bob|5|"}) << false;
        QTest::newRow("3 leaving, stamped")
            << ""
            << "3" << true << "*" << QStringList({"Ann"}) << QStringList({"Ann|Bob|5|"}) << false;
        QTest::newRow("4 new member")
            << "Cy"
            << "4" << false << "Ready." << QStringList({"Ann", "Bob", "Cy"})
            << QStringList({"Cy||0|", "Ann|Ann|4|", "Ann|Bob|4|", "Ann|Cy|4|", "Bob|Ann|4|", "Bob|Bob|4|",
                            "Bob|Cy|4|", "Cy|Ann|4|", "Cy|Bob|4|", "Cy|Cy|4|"})
            << false;
        QTest::newRow("4 own name") << "me"
                                    << "4" << false << "*" << both << QStringList() << false;
        QTest::newRow("4 user in another room") << "Dee"
                                                << "4" << false << "*" << both << QStringList() << false;
        QTest::newRow("5 remove member")
            << "ann"
            << "5" << false << "*" << QStringList({"Bob"}) << QStringList({"Bob|ann|5|"}) << false;
        QTest::newRow("5 not a member") << "Zed"
                                        << "5" << false << "*" << both << QStringList() << false;
        QTest::newRow("other code, text") << "odd"
                                          << "9" << false << "*" << both << QStringList() << true;
        QTest::newRow("other code, empty") << ""
                                           << "x" << false << "*" << both << QStringList() << false;
    }
    void addMsgCodes() {
        QFETCH(QString, text);
        QFETCH(QString, code);
        QFETCH(bool, stamps);
        QFETCH(QString, status);
        QFETCH(QStringList, members);
        QFETCH(QStringList, datagrams);
        QFETCH(bool, shown);
        SoundRecorder sound;
        AttentionRecorder attention;
        attention.active = true;
        RoomRecorder other;
        other.members << QStringLiteral("Dee");
        QPointer<frmChat> w = new frmChat;
        w->AddUser(QStringLiteral("Bob"));
        w->AddUser(QStringLiteral("Ann"));
        w->mnuChatTS->setChecked(stamps);
        sent();
        w->SetStat(QStringLiteral("before"), QString());
        w->AddMsg(packet(text, code), QStringLiteral("Bob"));
        QCOMPARE(sent(), datagrams);
        QCOMPARE(w->Members(), members);
        if (status == QLatin1String("*"))
            QCOMPARE(w->lblStat->text(), QStringLiteral("before"));
        else if (stamps)
            QVERIFY2(
                w->lblStat->text().contains(QRegularExpression(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d ") +
                                                               QRegularExpression::escape(status) + "$")),
                qPrintable(w->lblStat->text()));
        else
            QCOMPARE(w->lblStat->text(), status);
        QCOMPARE(w->txtMsg->Text(),
                 shown ? QStringLiteral("Bob:\r\n") + text + QStringLiteral("\r\n") : QString());
        delete w;
    }

    // --- sending and typing ------------------------------------------------------------------

    void sendingALine() {
        QPointer<frmChat> w = new frmChat;
        w->AddUser(QStringLiteral("Bob"));
        w->AddUser(QStringLiteral("Ann"));
        sent();
        w->cmdSnd_Click(); // empty box: nothing
        QCOMPARE(sent(), QStringList());
        w->txtSnd->SetSelText(QStringLiteral(" 3 "));
        // Not yet a line sent: the change only starts the timer.
        QCOMPARE(sent(), QStringList());
        QVERIFY(w->tmrTyping->isActive());
        w->cmdSnd_Click();
        QCOMPARE(sent(), QStringList({"Ann| 3 |0|", "Bob| 3 |0|", "Ann||2|", "Bob||2|"}));
        QCOMPARE(w->txtMsg->Text(), QStringLiteral("Me:\r\n 3 \r\n"));
        QCOMPARE(w->txtSnd->Text(), QString());
        QVERIFY(!w->FirstLine());
        QVERIFY(!w->tmrTyping->isActive());
        // Now typing is announced, once per pause.
        QTest::keyClicks(w->txtSnd, QStringLiteral("ab"));
        QCOMPARE(sent(), QStringList({"Ann| Is typing a message.|1|", "Bob| Is typing a message.|1|"}));
        w->tmrTyping_Timer();
        QCOMPARE(sent(), QStringList({"Ann||2|", "Bob||2|"}));
        w->tmrTyping_Timer(); // stopped: nothing
        QCOMPARE(sent(), QStringList());
        delete w;
    }

    void typingBeforeTheFirstLine() {
        QPointer<frmChat> w = new frmChat;
        w->AddUser(QStringLiteral("Bob"));
        sent();
        QTest::keyClicks(w->txtSnd, QStringLiteral("hello"));
        QCOMPARE(sent(), QStringList());
        w->tmrTyping_Timer();
        QCOMPARE(sent(), QStringList({"Bob||2|"}));
        delete w;
    }

    void lineBreaksGoOutAsCrLf() {
        QPointer<frmChat> w = new frmChat;
        w->AddUser(QStringLiteral("Bob"));
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        sent();
        w->txtSnd->setFocus();
        QTest::keyClicks(w->txtSnd, QStringLiteral("a"));
        QTest::keyClick(w->txtSnd, Qt::Key_Return, Qt::ControlModifier);
        QTest::keyClicks(w->txtSnd, QStringLiteral("b"));
        QCOMPARE(w->lblChrCnt->text(), QStringLiteral("4/390"));
        QTest::keyClick(w->txtSnd, Qt::Key_Return);
        const QStringList out = sent();
        QVERIFY(!out.isEmpty());
        QCOMPARE(out.first(), QStringLiteral("Bob|a\r\nb|0|"));
        QCOMPARE(w->txtMsg->Text(), QStringLiteral("Me:\r\na\r\nb\r\n"));
        delete w;
    }

    void enterDoesNothingWhileSendIsDisabled() {
        QPointer<frmChat> w = new frmChat;
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QTest::keyClicks(w->txtSnd, QStringLiteral("x"));
        QTest::keyClick(w->txtSnd, Qt::Key_Return);
        QCOMPARE(w->txtSnd->Text(), QStringLiteral("x"));
        QCOMPARE(w->txtMsg->Text(), QString());
        delete w;
    }
};

QTEST_MAIN(TestFrmChat)
#include "tst_frmChat.moc"
