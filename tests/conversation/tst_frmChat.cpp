// The chat window over the real network layer on loopback: membership and its datagrams, the
// chat codes, sending, typing notices, leaving; what a line looks like in the transcript.
#include "conversation/frmChat.h"

#include "controls/RichTextBox.h"
#include "controls/SendBox.h"
#include "controls/chameleonButton.h"
#include "core/AppRouter.h"
#include "core/SkinAtlas.h"
#include "core/clsChat.h"
#include "core/frmImgs.h"
#include "core/modDB.h"
#include "core/modGlobals.h"
#include "core/modNetCmds.h"
#include "platform/Colors.h"
#include "platform/Twips.h"
#include "support/ChatRecorders.h"
#include "support/Headless.h"
#include "support/NetPeer.h"
#include "support/Screenshot.h"
#include "support/TestFiles.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFontMetricsF>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
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

// A skin picture whose every chat piece is one colour of its own.
QImage syntheticSkin(std::vector<std::pair<QRect, QColor>>& pieces) {
    using namespace SkinAtlas;
    const QRect all[] = {kChatTopLeft,    kChatTop,        kChatTopRight,        kChatLeft,
                         kChatRight,      kChatBottomLeft, kChatBottom,          kChatSideTop,
                         kChatSideMiddle, kChatSideBottom, kChatBottomRightSide, kChatBottomRight};
    QImage img(frmImgs::kSkinWidth, frmImgs::kSkinHeight, QImage::Format_RGB32);
    img.fill(Qt::black);
    QPainter p(&img);
    int i = 0;
    for (const QRect& r : all) {
        const QColor c(20 + 15 * i, 250 - 15 * i, 40 + 9 * i);
        ++i;
        if (r == kChatBottomRight) continue; // the same corner, taller: drawn below
        p.fillRect(r, c);
        pieces.push_back({r, c});
    }
    // The taller corner: its upper part is the short one, its lower part a colour of its own.
    p.fillRect(QRect(kChatBottomRight.x(), kChatBottomRight.y() + kChatBottomRightSide.height(),
                     kChatBottomRight.width(), kChatBottomRight.height() - kChatBottomRightSide.height()),
               QColor(1, 2, 3));
    return img;
}
QColor colourOf(const std::vector<std::pair<QRect, QColor>>& pieces, const QRect& r) {
    for (const auto& [rect, c] : pieces)
        if (rect == r) return c;
    return {};
}
} // namespace

class TestFrmChat : public QObject {
    Q_OBJECT
    TestEnv::Headless env{TestEnv::Loopback, TestEnv::Windows};
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
            TestEnv::kNetWait);
        if (!marked) qWarning("the marker never arrived");
        return got;
    }

  private slots:
    void initTestCase() {
        modGlobals::Sets().UNAME = QStringLiteral("Me");
        listener.Init(QStringLiteral("QX3"));
        QCOMPARE(listener.GetError(), qint16(0));
        modNetCmds::OpenNetCom(&owner, QStringLiteral("Me"));
        sent();
    }
    void cleanupTestCase() { modNetCmds::CloseNetCom(0); }
    void init() {
        env.reset();
        modGlobals::Sets().UNAME = QStringLiteral("Me");
        sent();
    }

    // --- membership ------------------------------------------------------------------------

    void addUserSendsJoinAndMemberNotices() {
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
            TestEnv::kNetWait));
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

    void setStatKeys_data() {
        QTest::addColumn<QString>("tag");
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("shown");
        QTest::newRow("no key") << "old"
                                << "" << true;
        QTest::newRow("no tag") << ""
                                << "k" << true;
        QTest::newRow("same key, other case") << "Key"
                                              << "kEY" << true;
        QTest::newRow("other key") << "old"
                                   << "new" << false;
    }
    void setStatKeys() {
        QFETCH(QString, tag);
        QFETCH(QString, key);
        QFETCH(bool, shown);
        QPointer<frmChat> w = new frmChat;
        w->lblStatTag = tag;
        w->lblStat->setText(QStringLiteral("before"));
        w->SetStat(QStringLiteral("after"), key);
        QCOMPARE(w->lblStat->text(), shown ? QStringLiteral("after") : QStringLiteral("before"));
        QCOMPARE(w->lblStatTag, shown ? key : tag);
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
    // --- the transcript --------------------------------------------------------------------------

    void linesInBothStyles_data() {
        QTest::addColumn<int>("style");
        QTest::newRow("single line") << 0;
        QTest::newRow("multi line") << 1;
        QTest::newRow("another value draws as multi line") << 7;
    }
    void linesInBothStyles() {
        QFETCH(int, style);
        modGlobals::Sets().CHTSTY = qint16(style);
        MainRecorder main;
        main.font = QStringLiteral("Courier New");
        main.colour = QStringLiteral("255"); // red, the low byte
        QPointer<frmChat> w = new frmChat;
        w->AddUser(QStringLiteral("Bob"));
        w->AddMsg(packet(QStringLiteral("hello"), QStringLiteral("0")), QStringLiteral("Bob"));
        const QTextBlock first = w->txtMsg->document()->firstBlock();
        const QColor grey = Colors::fromBgr(Colors::SysColor(Colors::kGrayText));
        auto it = first.begin();
        QCOMPARE(it.fragment().charFormat().foreground().color(), grey);
        QCOMPARE(it.fragment().charFormat().fontFamilies().toStringList().first(), w->font().family());
        if (style == 0) {
            QCOMPARE(w->txtMsg->Text(), QStringLiteral("Bob:\thello\r\n"));
            QCOMPARE(RichTextBox::BlockIndent(first), 3.0);
            QCOMPARE(RichTextBox::BlockHanging(first),
                     QFontMetricsF(w->font()).horizontalAdvance("Bob") + 13);
            ++it;
        } else {
            QCOMPARE(w->txtMsg->Text(), QStringLiteral("Bob:\r\nhello\r\n"));
            QCOMPARE(RichTextBox::BlockIndent(first), 3.0);
            QCOMPARE(RichTextBox::BlockHanging(first), 0.0);
            QCOMPARE(RichTextBox::BlockIndent(first.next()), 15.0);
            it = first.next().begin();
        }
        QCOMPARE(it.fragment().text(), QStringLiteral("hello"));
        QCOMPARE(it.fragment().charFormat().foreground().color(), QColor(Qt::red));
        QCOMPARE(it.fragment().charFormat().fontFamilies().toStringList().first(),
                 QStringLiteral("Courier New"));
        delete w;
    }

    // With no main window to ask (signed out, or before the main window), my own lines keep my
    // own look, everybody else's are black "Arial".
    void linesWithoutAMainWindow_data() {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QColor>("colour");
        QTest::addColumn<QString>("font");
        QTest::newRow("mine") << "ME" << QColor(Qt::red) << "Courier New";
        QTest::newRow("another's") << "Bob" << QColor(Qt::black) << "Arial";
    }
    void linesWithoutAMainWindow() {
        QFETCH(QString, from);
        QFETCH(QColor, colour);
        QFETCH(QString, font);
        QVERIFY(!MainWindowLink::Loaded());
        auto& s = modGlobals::Sets();
        s.UCOL = 0x0000FF; // red, the low byte
        s.UFNT = QStringLiteral("Courier New");
        s.CHTSTY = 0;
        QPointer<frmChat> w = new frmChat;
        w->AddUser(QStringLiteral("Bob"));
        w->AddMsg(packet(QStringLiteral("hello"), QStringLiteral("0")), from);
        auto it = w->txtMsg->document()->firstBlock().begin();
        ++it; // past the sender
        QCOMPARE(it.fragment().text(), QStringLiteral("hello"));
        QCOMPARE(it.fragment().charFormat().foreground().color(), colour);
        QCOMPARE(it.fragment().charFormat().fontFamilies().toStringList().first(), font);
        delete w;
        s.UCOL = 0;
        s.UFNT = QStringLiteral("Arial");
    }

    void timeStampsAndPictures_data() {
        QTest::addColumn<bool>("stamps");
        QTest::addColumn<int>("pictures");
        QTest::newRow("plain") << false << 0;
        QTest::newRow("pictures") << false << 1;
        QTest::newRow("stamped pictures") << true << 1;
    }
    void timeStampsAndPictures() {
        QFETCH(bool, stamps);
        QFETCH(int, pictures);
        modGlobals::Sets().CHTPICS = qint16(pictures);
        QPointer<frmChat> w = new frmChat;
        w->AddUser(QStringLiteral("Bob"));
        w->mnuChatTS->setChecked(stamps);
        w->AddMsg(packet(QStringLiteral("hi :) (y)"), QStringLiteral("0")), QStringLiteral("Bob"));
        const QString text = w->txtMsg->Text();
        QVERIFY(text.endsWith(QStringLiteral("Bob:\r\nhi :) (y)\r\n")));
        if (stamps)
            QVERIFY2(text.contains(QRegularExpression(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d ~ Bob:"))),
                     qPrintable(text));
        else
            QVERIFY(text.startsWith(QStringLiteral("Bob:")));
        const int images =
            int(w->txtMsg->document()->toPlainText().count(QChar(QChar::ObjectReplacementCharacter)));
        QCOMPARE(images, pictures ? 2 : 0);
        delete w;
    }

    void flashAndSound() {
        SoundRecorder& sound = env.sounds;
        AttentionRecorder attention;
        QPointer<frmChat> w = new frmChat;
        w->AddUser(QStringLiteral("Bob"));
        attention.active = true;
        w->AddMsg(packet("a", "0"), QStringLiteral("Bob"));
        QVERIFY(sound.heard.isEmpty());
        QVERIFY(!w->tmrWinFlash->isActive());
        attention.active = false;
        w->AddMsg(packet("b", "0"), QStringLiteral("Bob"));
        QCOMPARE(sound.heard, QStringList({"beep"}));
        QVERIFY(w->tmrWinFlash->isActive());
        for (int i = 0; i < 10; ++i)
            w->tmrWinFlash_Timer();
        QCOMPARE(attention.flashes, QStringList(7, "1")); // seven toggles, then it waits
        QVERIFY(w->tmrWinFlash->isActive());
        w->AddMsg(packet("c", "0"), QStringLiteral("Bob"));
        QCOMPARE(w->FlashCount(), qint16(7)); // a new line starts again
        w->tmrWinFlash_Timer();
        attention.active = true;
        w->tmrWinFlash_Timer();
        QCOMPARE(attention.flashes.size(), 9);
        QCOMPARE(attention.flashes.last(), QStringLiteral("0")); // activation puts it back
        QVERIFY(!w->tmrWinFlash->isActive());
        // The line the router has already sounded for only flashes.
        attention.active = false;
        w->AddMsg(packet("d", "0"), QStringLiteral("Bob"), true);
        QCOMPARE(sound.heard.size(), 2);
        QVERIFY(w->tmrWinFlash->isActive());
        delete w;
    }

    void routerOpensARoomThatSoundsOnce() {
        MainRecorder main;
        SoundRecorder& sound = env.sounds;
        AttentionRecorder attention;
        frmChat::Install();
        modAppFnc::RouteChatMsg(packet("", "0"), QStringLiteral("Bob")); // a join notice
        QCOMPARE(ChatRooms::All().size(), std::size_t(1));
        auto* w = dynamic_cast<frmChat*>(ChatRooms::All().front());
        QVERIFY(w);
        QVERIFY(w->isVisible());
        QCOMPARE(w->Members(), QStringList({"Bob"}));
        QCOMPARE(sent(), QStringList({"Bob||0|", "Bob|Bob|4|"}));
        modAppFnc::RouteChatMsg(packet("hi", "0"), QStringLiteral("bob"));
        QCOMPARE(w->txtMsg->Text(), QStringLiteral("bob:\r\nhi\r\n"));
        QCOMPARE(sound.heard, QStringList({"beep", "beep"})); // the room's, then the line's
        ChatRooms::SetFactory({});
        w->close();
        sent();
    }

    // --- keys --------------------------------------------------------------------------------------

    void autoTextKeys_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("inserted");
        QTest::newRow("Ctrl+1") << int(Qt::Key_1) << int(Qt::ControlModifier) << "one";
        QTest::newRow("Ctrl+9") << int(Qt::Key_9) << int(Qt::ControlModifier) << "nine";
        QTest::newRow("Ctrl+0") << int(Qt::Key_0) << int(Qt::ControlModifier) << "ten";
        QTest::newRow("Ctrl+Shift+1")
            << int(Qt::Key_Exclam) << int(Qt::ControlModifier | Qt::ShiftModifier) << "";
        QTest::newRow("keypad Ctrl+1")
            << int(Qt::Key_1) << int(Qt::ControlModifier | Qt::KeypadModifier) << "";
    }
    void autoTextKeys() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, inserted);
        auto& cat = modGlobals::Sets().CAT;
        for (auto& c : cat)
            c = QStringLiteral("x");
        cat[0] = QStringLiteral("one");
        cat[8] = QStringLiteral("nine");
        cat[9] = QStringLiteral("ten");
        QPointer<frmChat> w = new frmChat;
        QCOMPARE(w->mnuSpecialATI[9]->text(), QStringLiteral("&0. ten\tCtrl+0"));
        for (QWidget* target : std::initializer_list<QWidget*>{w->txtSnd, w->lstUsers}) {
            w->txtSnd->SetText(QString());
            QTest::keyClick(target, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
            QCOMPARE(w->txtSnd->Text(), inserted); // once, whichever control has the focus
        }
        delete w;
    }

    void withoutSendButtonEnterStillSends() {
        modGlobals::Sets().CHTSNDBTN = 0;
        QPointer<frmChat> w = new frmChat;
        w->AddUser(QStringLiteral("Bob"));
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QVERIFY(w->cmdSnd->x() + w->cmdSnd->width() < 0);
        const int W = w->body->width() - SkinAtlas::kSideBarWidth;
        QCOMPARE(w->txtSnd->geometry(), QRect(5, w->body->height() - 82, W - 10, 51));
        sent();
        QTest::keyClicks(w->txtSnd, QStringLiteral("go"));
        QTest::keyClick(w->txtSnd, Qt::Key_Return);
        QCOMPARE(sent().value(0), QStringLiteral("Bob|go|0|"));
        delete w;
    }

    // --- skin, layout, sizes ------------------------------------------------------------------------

    void background_data() {
        QTest::addColumn<bool>("side");
        QTest::newRow("side bar") << true;
        QTest::newRow("no side bar") << false;
    }
    void background() {
        QFETCH(bool, side);
        using namespace SkinAtlas;
        std::vector<std::pair<QRect, QColor>> pieces;
        const QImage saved = frmImgs::Load().picSkin;
        frmImgs::Load().picSkin = syntheticSkin(pieces);
        modGlobals::Sets().FC_SB = side;
        QPointer<frmChat> w = new frmChat;
        w->resize(420, 380);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QTRY_COMPARE(w->picBuf.size(), w->body->size());
        const int SW = w->body->width(), H = w->body->height();
        const int W = side ? SW - SkinAtlas::kSideBarWidth : SW;
        const QImage& img = w->picBuf;
        auto at = [&](int x, int y) { return QColor(img.pixel(x, y)); };
        auto piece = [&](const QRect& r) { return colourOf(pieces, r); };
        QCOMPARE(at(0, 0), piece(kChatTopLeft));
        QCOMPARE(at(51, 0), piece(kChatTop));
        QCOMPARE(at(W - 8, 0), piece(kChatTopRight));
        QCOMPARE(at(0, 49), piece(kChatLeft));
        QCOMPARE(at(W - 8, 49), piece(kChatRight));
        QCOMPARE(at(0, H - 94), piece(kChatBottomLeft));
        QCOMPARE(at(51, H - 94), piece(kChatBottom));
        QCOMPARE(at(W - 8, H - 94), piece(kChatBottomRightSide));
        if (side) {
            QCOMPARE(at(W, 0), piece(kChatSideTop));
            QCOMPARE(at(W, 49), piece(kChatSideMiddle));
            QCOMPARE(at(W, H - 94), piece(kChatSideBottom));
            QCOMPARE(at(W - 8, H - 94 + 70),
                     at(W - 7, H - 94 + 70)); // the short corner leaves the bottom edge
            QVERIFY(at(W - 8, H - 94 + 70) != QColor(1, 2, 3));
            for (int i = 0; i < 5; ++i) {
                QVERIFY(w->cmdSB[i]->isVisible());
                QCOMPARE(w->cmdSB[i]->pos(),
                         QPoint(SW - (w->cmdSB[0]->width() + 13), 10 + i * (w->cmdSB[0]->height() + 5)));
            }
        } else {
            QCOMPARE(at(W - 8, H - 94 + 70), QColor(1, 2, 3));
            for (int i = 0; i < 5; ++i)
                QVERIFY(!w->cmdSB[i]->isVisible());
        }
        QCOMPARE(w->lstUsers->geometry(), QRect(49, 3, W - 52, 35));
        QCOMPARE(w->txtMsg->geometry(), QRect(3, 43, W - 6, H - 131));
        const int b = w->cmdSnd->width() + 3;
        QCOMPARE(w->txtSnd->geometry(), QRect(5, H - 82, W - b - 10, 51));
        QCOMPARE(w->cmdSnd->geometry(), QRect(5 + W - b - 10 + 3, H - 82, w->cmdSnd->width(), 51));
        QCOMPARE(w->lblStat->pos(), QPoint(8, H - 27));
        QCOMPARE(w->lblChrCnt->pos(), QPoint(W - (w->lblChrCnt->width() + 3), H - 16));
        frmImgs::Load().picSkin = saved;
        delete w;
    }

    void minimumSizes() {
        const double dx = Twips::dpiX(nullptr), dy = Twips::dpiY(nullptr);
        const QSize big(Twips::toPx(frmChat::kMinWidthSideBar, dx),
                        Twips::toPx(frmChat::kMinHeightSideBar, dy));
        const QSize small(Twips::toPx(frmChat::kMinWidth, dx), Twips::toPx(frmChat::kMinHeight, dy));
        modGlobals::Sets().FC_SB = true;
        QPointer<frmChat> w = new frmChat;
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        // Outer sizes: the frame counts.
        auto outer = [&] { return w->frameGeometry().size(); };
        const QSize frame = outer() - w->size();
        QCOMPARE(w->minimumSize() + frame, big);
        w->resize(10, 10);
        QCOMPARE(outer(), big);
        w->mnuSpecialSidebar_Click(); // hidden: the size stays
        QVERIFY(!modGlobals::Sets().FC_SB);
        QCOMPARE(w->minimumSize() + frame, small);
        QCOMPARE(outer(), big);
        w->resize(10, 10);
        QCOMPARE(outer(), small);
        w->mnuSpecialSidebar_Click(); // shown again: enlarged
        QVERIFY(modGlobals::Sets().FC_SB);
        QCOMPARE(outer(), big);
        delete w;
        // A new window takes the last state.
        modGlobals::Sets().FC_SB = false;
        QPointer<frmChat> v = new frmChat;
        QVERIFY(!v->SideBarShown());
        delete v;
    }

    // The status line never runs into the character counter, down to the smallest window: it
    // ends before the counter and keeps its whole text, shown cut with an ellipsis. The standard
    // English fits at the window's normal size (the smallest with the side bar) and wider; a long
    // translation does not.
    void statusLineClearOfTheCounter_data() {
        QTest::addColumn<bool>("side");
        QTest::addColumn<bool>("smallest");
        QTest::addColumn<QString>("empty"); // the Chat_NoUsersLeft text; "" for the English
        QTest::addColumn<bool>("fits");
        const QString german = QStringLiteral("Dieser Chatraum ist leer, alle Teilnehmer sind gegangen.");
        QTest::newRow("normal size") << true << true << QString() << true;
        QTest::newRow("smallest, no side bar") << false << true << QString() << true;
        QTest::newRow("wide, side bar") << true << false << QString() << true;
        QTest::newRow("normal size, long translation") << true << true << german << false;
        QTest::newRow("smallest, no side bar, long translation") << false << true << german << false;
    }
    void statusLineClearOfTheCounter() {
        QFETCH(bool, side);
        QFETCH(bool, smallest);
        QFETCH(QString, empty);
        QFETCH(bool, fits);
        modGlobals::Sets().FC_SB = side;
        if (empty.isEmpty())
            empty = QStringLiteral("This chat room is empty.");
        else
            modLangConst::Set(QStringLiteral("Chat_NoUsersLeft"), empty);
        QPointer<frmChat> w = new frmChat;
        w->AddUser(QStringLiteral("Bob"));
        w->RemUser(QStringLiteral("Bob"));
        w->resize(smallest ? QSize(10, 10) : QSize(700, 420));
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QTRY_COMPARE(w->picBuf.size(), w->body->size());
        QCOMPARE(w->lblStat->text(), empty);
        const QRect stat = w->lblStat->geometry(), count = w->lblChrCnt->geometry();
        QVERIFY2(!stat.intersects(count),
                 qPrintable(QStringLiteral("status %1,%2 %3x%4 meets counter %5,%6 %7x%8")
                                .arg(stat.x())
                                .arg(stat.y())
                                .arg(stat.width())
                                .arg(stat.height())
                                .arg(count.x())
                                .arg(count.y())
                                .arg(count.width())
                                .arg(count.height())));
        QCOMPARE(stat.topLeft(), QPoint(8, w->body->height() - 27));
        // Where the whole text does not fit, its end gives way to an ellipsis, drawn inside.
        const QFontMetrics fm(w->lblStat->font());
        QCOMPARE(fm.horizontalAdvance(empty) <= stat.width(), fits);
        QImage cut(stat.size(), QImage::Format_RGB32);
        cut.fill(Qt::white);
        {
            QPainter p(&cut);
            p.setFont(w->lblStat->font());
            p.setPen(Qt::black);
            p.drawText(QRect(QPoint(0, 0), stat.size()), int(w->lblStat->alignment()),
                       fm.elidedText(empty, Qt::ElideRight, stat.width()));
        }
        QImage drawn(stat.size(), QImage::Format_RGB32);
        drawn.fill(Qt::white);
        {
            QPalette pal = w->lblStat->palette();
            pal.setColor(QPalette::WindowText, Qt::black);
            w->lblStat->setPalette(pal);
            QPainter p(&drawn);
            w->lblStat->render(&p, QPoint(), QRegion(), QWidget::DrawChildren);
        }
        QCOMPARE(drawn, cut);
        if (smallest)
            saveScreenshot(w.data(), QStringLiteral("chat-status-%1")
                                         .arg(QString::fromLatin1(QTest::currentDataTag()))
                                         .replace(QLatin1String(", "), QLatin1String("-"))
                                         .replace(QLatin1Char(' '), QLatin1Char('-')));
        modLangConst::SetDefaultStrings();
        delete w;
    }

    // At the window's normal size the fact that someone is typing is never lost: with time stamps
    // on, the time and then the name give way from their start, and what he does stays whole.
    void typingStatusKeepsItsNews_data() {
        QTest::addColumn<bool>("stamps");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("shown"); // what the line draws; "*" where the start gave way
        QTest::newRow("plain") << false << "Bob"
                               << "Bob Is typing a message.";
        QTest::newRow("stamped") << true << "Bob"
                                 << "*Bob Is typing a message.";
        QTest::newRow("long name") << false << "Bartholomew-Smithson"
                                   << "* Is typing a message.";
    }
    void typingStatusKeepsItsNews() {
        QFETCH(bool, stamps);
        QFETCH(QString, name);
        QFETCH(QString, shown);
        modGlobals::Sets().FC_SB = true;
        QPointer<frmChat> w = new frmChat;
        w->AddUser(name);
        w->mnuChatTS->setChecked(stamps);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QTRY_COMPARE(w->picBuf.size(), w->body->size());
        w->AddMsg(packet(QStringLiteral(" Is typing a message."), QStringLiteral("1")), name);
        QVERIFY(w->lblStat->text().endsWith(name + QStringLiteral(" Is typing a message.")));
        const QString drawnText = w->lblStat->Shown();
        const QFontMetrics fm(w->lblStat->font());
        QVERIFY2(fm.horizontalAdvance(drawnText) <= w->lblStat->contentsRect().width(),
                 qPrintable(drawnText));
        if (shown.startsWith(QLatin1Char('*'))) {
            QVERIFY2(drawnText.startsWith(QChar(0x2026)) && drawnText.endsWith(shown.mid(1)),
                     qPrintable(drawnText));
        } else {
            QCOMPARE(drawnText, shown);
        }
        // What the line paints is that text.
        QImage want(w->lblStat->size(), QImage::Format_RGB32), got(w->lblStat->size(), QImage::Format_RGB32);
        QPalette pal = w->lblStat->palette();
        pal.setColor(QPalette::WindowText, Qt::black);
        w->lblStat->setPalette(pal);
        for (QImage* img : {&want, &got})
            img->fill(Qt::white);
        {
            QPainter p(&want);
            p.setFont(w->lblStat->font());
            p.setPen(Qt::black);
            p.drawText(w->lblStat->contentsRect(), int(w->lblStat->alignment()), drawnText);
        }
        {
            QPainter p(&got);
            w->lblStat->render(&p, QPoint(), QRegion(), QWidget::DrawChildren);
        }
        QCOMPARE(got, want);
        saveScreenshot(
            w.data(),
            QStringLiteral("chat-typing-") +
                QString::fromLatin1(QTest::currentDataTag()).replace(QLatin1Char(' '), QLatin1Char('-')));
        delete w;
    }

    void keepOnTopIsSharedByNewWindows() {
        modGlobals::Run().ChatKeepOnTop = 0;
        QPointer<frmChat> a = new frmChat;
        QVERIFY(!a->mnuSpecialKoT->isChecked());
        a->mnuSpecialKoT_Click();
        QVERIFY(a->windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(modGlobals::Run().ChatKeepOnTop, qint16(1));
        QPointer<frmChat> b = new frmChat;
        QVERIFY(b->mnuSpecialKoT->isChecked());
        QVERIFY(b->windowFlags() & Qt::WindowStaysOnTopHint);
        delete a;
        delete b;
        modGlobals::Run().ChatKeepOnTop = 0;
    }

    void editMenuActsOnTheSendBox() {
        QPointer<frmChat> w = new frmChat;
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        w->txtSnd->SetText(QStringLiteral("abc"));
        w->mnuEditSelAll->trigger();
        w->mnuEditCopy->trigger();
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("abc"));
        w->mnuEditCut->trigger();
        QCOMPARE(w->txtSnd->Text(), QString());
        QApplication::clipboard()->setText(QStringLiteral("x\x01y"));
        w->mnuEditPast->trigger();
        QCOMPARE(w->txtSnd->Text(), QStringLiteral("x y"));
        QCOMPARE(w->lblChrCnt->text(), QStringLiteral("3/390"));
        w->txtSnd->setFocus();
        QTRY_VERIFY(w->cmdSnd->DisplayAsDefault());
        w->lstUsers->setFocus();
        QTRY_VERIFY(!w->cmdSnd->DisplayAsDefault());
        delete w;
    }

    void captionsFromALanguageFile() {
        const QStringList keys{"frmChat.Form",
                               "frmChat.mnuChat",
                               "frmChat.mnuChatAdd",
                               "frmChat.mnuChatRem",
                               "frmChat.mnuChatBlock",
                               "frmChat.mnuChatTS",
                               "frmChat.mnuChatExport",
                               "frmChat.mnuExportC",
                               "frmChat.mnuExportF",
                               "frmChat.mnuChatClose",
                               "mnuEdit",
                               "mnuEditCut",
                               "mnuEditCopy",
                               "mnuEditPast",
                               "mnuEditSelAll",
                               "frmChat.mnuEditClear",
                               "frmChat.mnuSpecial",
                               "mnuSideBar",
                               "mnuKoT",
                               "mnuAutoText",
                               "mnuMergeTxt",
                               "frmChat.cmdSB(0)",
                               "frmChat.cmdSB(1)",
                               "frmChat.cmdSB(2)",
                               "frmChat.cmdSB(3)",
                               "frmChat.cmdSB(4)"};
        QString table = QStringLiteral("V1\r\n");
        for (const QString& k : keys)
            table += k + QStringLiteral("|L:") + k + QStringLiteral("\r\n");
        const QString path = QDir(env.folder()).filePath(QStringLiteral("chat.qxl"));
        writeAll(path, table.toUtf8());
        QVERIFY(modDB::LoadDB(path));
        QPointer<frmChat> w = new frmChat;
        QCOMPARE(w->windowTitle(), QStringLiteral("L:frmChat.Form"));
        QCOMPARE(w->mnuChat->title(), QStringLiteral("L:frmChat.mnuChat"));
        QCOMPARE(w->mnuChatAdd->text(), QStringLiteral("L:frmChat.mnuChatAdd"));
        QCOMPARE(w->mnuChatExportC->text(), QStringLiteral("L:frmChat.mnuExportC"));
        QCOMPARE(w->mnuEdit->title(), QStringLiteral("L:mnuEdit"));
        QCOMPARE(w->mnuEditCut->text(), QStringLiteral("L:mnuEditCut\tCtrl+X"));
        QCOMPARE(w->mnuEditSelAll->text(), QStringLiteral("L:mnuEditSelAll\tCtrl+A"));
        QCOMPARE(w->mnuEditClear->text(), QStringLiteral("L:frmChat.mnuEditClear"));
        QCOMPARE(w->mnuSpecialSidebar->text(), QStringLiteral("L:mnuSideBar"));
        QCOMPARE(w->mnuSpecialAT->title(), QStringLiteral("L:mnuAutoText"));
        QCOMPARE(w->mnuSpecialMergeIn->text(), QStringLiteral("L:mnuMergeTxt"));
        QCOMPARE(w->cmdSB[3]->Caption(), QStringLiteral("L:frmChat.cmdSB(3)"));
        delete w;
        QVERIFY(modDB::LoadDB(QString()));
        QPointer<frmChat> v = new frmChat;
        QCOMPARE(v->windowTitle(), QStringLiteral("Chatting - Talkvane3"));
        QCOMPARE(v->mnuEditCut->text(), QStringLiteral("Cu&t\tCtrl+X"));
        delete v;
    }

    // --- export and merge-in --------------------------------------------------------------------

    void exportToFile_data() {
        QTest::addColumn<int>("filter");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("written");
        QTest::newRow("rtf, bare") << 1 << "x"
                                   << "x.rtf";
        QTest::newRow("rtf, .rtf") << 1 << "x.rtf"
                                   << "x.rtf";
        QTest::newRow("rtf, .RTF") << 1 << "x.RTF"
                                   << "x.RTF.rtf";
        QTest::newRow("rtf, .txt") << 1 << "x.txt"
                                   << "x.txt.rtf";
        QTest::newRow("txt, bare") << 2 << "x"
                                   << "x.txt";
        QTest::newRow("txt, .rtf") << 2 << "x.rtf"
                                   << "x.rtf.txt";
        QTest::newRow("txt, .RTF") << 2 << "x.RTF"
                                   << "x.RTF.txt";
        QTest::newRow("txt, .txt") << 2 << "x.txt"
                                   << "x.txt";
    }
    void exportToFile() {
        QFETCH(int, filter);
        QFETCH(QString, typed);
        QFETCH(QString, written);
        QTemporaryDir out;
        DialogRecorder& dialog = env.dialogs;
        MessageRecorder& messages = env.messages;
        dialog.answer.path = out.filePath(typed);
        dialog.answer.filterIndex = filter;
        QPointer<frmChat> w = new frmChat;
        w->AddUser(QStringLiteral("Bob"));
        w->AddMsg(packet(QString::fromUtf8("caf\u00e9 {x}"), "0"), QStringLiteral("Bob"));
        w->mnuChatExportF_Click();
        QCOMPARE(dialog.request.title, QStringLiteral("Export Chat Dialog..."));
        QCOMPARE(QDir(out.path()).entryList(QDir::Files), QStringList({written}));
        const QByteArray bytes = readAll(out.filePath(written));
        if (filter == 1) {
            QVERIFY(bytes.startsWith("{\\rtf1"));
            QVERIFY(bytes.contains("caf\\u233? \\{x\\}"));
            QVERIFY(bytes.endsWith("}\r\n\r\n"));
        } else {
            QCOMPARE(bytes, QString::fromUtf8("Bob:\r\ncaf\u00e9 {x}\r\n\r\n").toUtf8());
        }
        QVERIFY(messages.shown.empty());
        delete w;
    }

    void exportAsksBeforeReplacingAnAppendedName() {
        QTemporaryDir out;
        DialogRecorder& dialog = env.dialogs;
        MessageRecorder& messages = env.messages;
        dialog.answer.path = out.filePath(QStringLiteral("x"));
        dialog.answer.filterIndex = 2;
        writeAll(out.filePath(QStringLiteral("x.txt")), "old");
        QPointer<frmChat> w = new frmChat;
        w->AddUser(QStringLiteral("Bob"));
        w->AddMsg(packet("new", "0"), QStringLiteral("Bob"));
        messages.answers = {1}; // No
        w->mnuChatExportF_Click();
        QCOMPARE(int(messages.shown.size()), 1);
        QCOMPARE(messages.shown[0].buttons, 1);
        QCOMPARE(messages.shown[0].icon, 2);
        QVERIFY(messages.shown[0].text.contains(out.filePath(QStringLiteral("x.txt"))));
        QCOMPARE(readAll(out.filePath(QStringLiteral("x.txt"))), QByteArray("old"));
        messages.answers = {0}; // Yes
        w->mnuChatExportF_Click();
        QCOMPARE(readAll(out.filePath(QStringLiteral("x.txt"))), QByteArray("Bob:\r\nnew\r\n\r\n"));
        // A name the dialog itself confirmed is not asked about again.
        dialog.answer.path = out.filePath(QStringLiteral("x.txt"));
        w->mnuChatExportF_Click();
        QCOMPARE(int(messages.shown.size()), 2);
        // Cancelled: nothing.
        dialog.answer = {};
        w->mnuChatExportF_Click();
        QCOMPARE(int(messages.shown.size()), 2);
        delete w;
    }

    void exportIntoAFolderThatIsNotThere() {
        DialogRecorder& dialog = env.dialogs;
        MessageRecorder& messages = env.messages;
        const QString path = QDir(env.folder()).filePath(QStringLiteral("no/such/folder/x.rtf"));
        dialog.answer.path = path;
        dialog.answer.filterIndex = 1;
        QPointer<frmChat> w = new frmChat;
        w->mnuChatExportF_Click();
        QCOMPARE(int(messages.shown.size()), 1);
        QCOMPARE(messages.shown[0].icon, 5);
        QCOMPARE(messages.shown[0].buttons, 0);
        QVERIFY(messages.shown[0].text.contains(path));
        QVERIFY(!QFileInfo::exists(path));
        delete w;
    }

    void exportToClipboard() {
        QPointer<frmChat> w = new frmChat;
        w->AddUser(QStringLiteral("Bob"));
        w->AddMsg(packet("clip", "0"), QStringLiteral("Bob"));
        w->mnuChatExportC_Click();
        const QMimeData* data = QApplication::clipboard()->mimeData();
        QVERIFY(data);
        QCOMPARE(data->text(), QStringLiteral("Bob:\r\nclip\r\n"));
        QVERIFY(data->data(QStringLiteral("text/rtf")).startsWith("{\\rtf1"));
        delete w;
    }

    void mergeIn() {
        DialogRecorder& dialog = env.dialogs;
        MessageRecorder& messages = env.messages;
        const QString path = QDir(env.folder()).filePath(QStringLiteral("in.txt"));
        writeAll(path, QByteArray("one\x01two\n") + QByteArray(500, 'z'));
        dialog.answer.path = path;
        QPointer<frmChat> w = new frmChat;
        w->txtSnd->SetText(QStringLiteral("<>"));
        w->txtSnd->moveCursor(QTextCursor::Start);
        w->txtSnd->moveCursor(QTextCursor::NextCharacter, QTextCursor::KeepAnchor); // "<" chosen
        w->mnuSpecialMergeIn_Click();
        QCOMPARE(dialog.request.title, QStringLiteral("Select a text file to merge in..."));
        QCOMPARE(w->LastMergePath, path);
        const QString text = w->txtSnd->Text();
        QCOMPARE(text.size(), 390);
        QVERIFY(text.startsWith(QStringLiteral("one two\r\nzzz")));
        QVERIFY(text.endsWith(QStringLiteral("z>")));
        QVERIFY(messages.shown.empty());
        // A file that cannot be read: its path and the reason, and the box as it was.
        dialog.answer.path = QDir(env.folder()).filePath(QStringLiteral("gone.txt"));
        w->mnuSpecialMergeIn_Click();
        QCOMPARE(int(messages.shown.size()), 1);
        QCOMPARE(messages.shown[0].icon, 5);
        QVERIFY(messages.shown[0].text.contains(dialog.answer.path));
        QCOMPARE(w->txtSnd->Text(), text);
        // The last path opens the next dialog.
        dialog.answer = {};
        w->mnuSpecialMergeIn_Click();
        QCOMPARE(dialog.request.folder, QDir(env.folder()).filePath(QStringLiteral("gone.txt")));
        QCOMPARE(w->LastMergePath, QString());
        delete w;
    }

    // --- two copies in separate processes -----------------------------------------------------

    void aRoomAcrossProcesses() {
        MainRecorder main;
        AppRouter::Install();
        frmChat::Install();
        QTimer poll; // this copy polls as its main window would
        connect(&poll, &QTimer::timeout, [] { modNetCmds::PollData(); });
        poll.start(50);
        TestEnv::NetPeer bob, cy;
        QVERIFY(bob.start(QStringLiteral("Bob")));
        QVERIFY(cy.start(QStringLiteral("Cy")));
        // The peer's rooms come to one room whose report begins with `begin`.
        auto oneRoom = [](TestEnv::NetPeer& p, const QByteArray& begin) {
            return p.until(
                [&] {
                    const QByteArray r = p.rooms();
                    return r.startsWith(begin) && !r.contains("\nROOM 1 ");
                },
                "one room: " + begin);
        };

        // A room from here: Bob's copy opens one from the join notice.
        modAppFnc::LoadChatWindow(QStringLiteral("Bob") + S);
        QCOMPARE(ChatRooms::All().size(), std::size_t(1));
        QPointer<frmChat> w = dynamic_cast<frmChat*>(ChatRooms::All().front());
        QVERIFY(w);
        QVERIFY(oneRoom(bob, "ROOM 0 Me \n"));

        // Lines both ways.
        w->txtSnd->SetText(QStringLiteral("hello Bob"));
        w->cmdSnd_Click();
        QVERIFY(oneRoom(bob, "ROOM 0 Me Me:/hello Bob/\n"));
        bob.send("say hi back");
        QTRY_COMPARE_WITH_TIMEOUT(
            w->txtMsg->Text(), QStringLiteral("Me:\r\nhello Bob\r\nBob:\r\nhi back\r\n"), TestEnv::kNetWait);

        // A third member: the "4" notices put everybody in one room on every computer. They go
        // out in one burst, before any member can answer them; on a loaded machine this copy may
        // pause within it, and Bob's answer to his notice about Cy could reach Cy before Cy's
        // notice about Bob. Bob is held still until Cy has taken in the whole burst.
        QVERIFY(bob.pause());
        w->AddUser(QStringLiteral("Cy"));
        QVERIFY(oneRoom(cy, "ROOM 0 Bob,Me "));
        QVERIFY(bob.resume());
        QVERIFY(oneRoom(bob, "ROOM 0 Cy,Me "));
        cy.send("say all three");
        QTRY_VERIFY2_WITH_TIMEOUT(w->txtMsg->Text().endsWith(QStringLiteral("Cy:\r\nall three\r\n")),
                                  qPrintable(w->txtMsg->Text()), TestEnv::kNetWait);
        QVERIFY(bob.until([&] { return bob.rooms().contains("Cy:/all three/"); }, "Cy:/all three/"));

        // Bob leaves: the others remove him.
        bob.send("leave");
        QVERIFY(bob.until([&] { return bob.rooms().startsWith("ROOMS none"); }, "ROOMS none"));
        QTRY_COMPARE_WITH_TIMEOUT(w->Members(), QStringList({"Cy"}), TestEnv::kNetWait);
        QVERIFY(oneRoom(cy, "ROOM 0 Me "));

        QVERIFY(bob.quit());
        QVERIFY(cy.quit());
        poll.stop();
        w->close();
        ChatRooms::SetFactory({});
        NetHooks::router().set(nullptr);
        NetHooks::chatWindows().set(nullptr);
        sent();
    }

    // --- to look at -------------------------------------------------------------------------------

    void screenshots_data() {
        QTest::addColumn<int>("style");
        QTest::addColumn<bool>("side");
        QTest::newRow("chat-single-sidebar") << 0 << true;
        QTest::newRow("chat-multi-sidebar") << 1 << true;
        QTest::newRow("chat-multi-nosidebar") << 1 << false;
    }
    void screenshots() {
        QFETCH(int, style);
        QFETCH(bool, side);
        modGlobals::Sets().CHTSTY = qint16(style);
        modGlobals::Sets().FC_SB = side;
        MainRecorder main;
        main.colour = QStringLiteral("32768");
        QPointer<frmChat> w = new frmChat;
        w->AddUser(QStringLiteral("Bob"));
        w->AddUser(QStringLiteral("Ann"));
        w->AddUser(QStringLiteral("Cy"));
        w->resize(520, 420);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        w->AddMsg(
            packet("Hello all :) who is up for lunch today? It is a long line that wraps onto the next", "0"),
            QStringLiteral("Bob"));
        w->AddMsg(packet("Count me in (y)", "0"), QStringLiteral("Ann"));
        w->AddMsg(packet(" Is typing a message.", "1"), QStringLiteral("Cy"));
        w->txtSnd->SetText(QStringLiteral("On my way :D"));
        QCOMPARE(w->Members().size(), 3);
        saveScreenshot(w.data(), QString::fromLatin1(QTest::currentDataTag()));
        delete w;
    }
};

QTEST_MAIN(TestFrmChat)
#include "tst_frmChat.moc"
