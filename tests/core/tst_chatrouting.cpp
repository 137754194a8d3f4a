// Routing chat lines to rooms, opening rooms, and the registry as the network layer sees it.
#include "core/AppRouter.h"
#include "core/NetHooks.h"
#include "core/modAppFnc.h"
#include "core/modGlobals.h"
#include "core/modLangConst.h"
#include "support/ChatRecorders.h"
#include "support/Headless.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

namespace {
const QString S(modGlobals::kSep);
QString packet(const QString& text, const QString& code) {
    return text + S + code;
}
} // namespace

class TestChatRouting : public QObject {
    Q_OBJECT
    TestEnv::Headless env;

  private slots:
    void initTestCase() { modLangConst::SetDefaultStrings(); }
    void init() {
        env.reset();
        modGlobals::Sets().UNAME = QStringLiteral("Me");
        for (ChatRoom* r : ChatRooms::All())
            ChatRooms::Leave(r);
    }

    void routeTable_data() {
        QTest::addColumn<QString>("sender");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("code");
        QTest::addColumn<bool>("blocked");
        QTest::addColumn<int>("rooms");
        QTest::addColumn<int>("sounds");
        QTest::newRow("first line opens a room") << "Bob"
                                                 << "hi"
                                                 << "0" << false << 1 << 1;
        QTest::newRow("join notice opens a room") << "Bob"
                                                  << ""
                                                  << "0" << false << 1 << 1;
        QTest::newRow("blocked sender") << "Bob"
                                        << "hi"
                                        << "0" << true << 0 << 0;
        QTest::newRow("blocked in other case") << "BOB"
                                               << "hi"
                                               << "0" << true << 0 << 0;
        QTest::newRow("typing, no room") << "Bob"
                                         << "hi"
                                         << "1" << false << 0 << 0;
        QTest::newRow("typing stopped, no room") << "Bob"
                                                 << "hi"
                                                 << "2" << false << 0 << 0;
        QTest::newRow("leaving, no room") << "Bob"
                                          << "hi"
                                          << "3" << false << 0 << 0;
        QTest::newRow("add member, no room") << "Bob"
                                             << "hi"
                                             << "4" << false << 0 << 0;
        QTest::newRow("own name") << "me"
                                  << "hi"
                                  << "0" << false << 0 << 0;
        QTest::newRow("empty name") << ""
                                    << "hi"
                                    << "0" << false << 0 << 0;
        QTest::newRow("listening name") << "\\x"
                                        << "hi"
                                        << "0" << false << 0 << 0;
    }
    void routeTable() {
        QFETCH(QString, sender);
        QFETCH(QString, text);
        QFETCH(QString, code);
        QFETCH(bool, blocked);
        QFETCH(int, rooms);
        QFETCH(int, sounds);
        MainRecorder main;
        if (blocked) main.blocked << QStringLiteral("bob");
        RoomFactory factory;
        SoundRecorder& sound = env.sounds;
        MessageRecorder& messages = env.messages;
        modAppFnc::RouteChatMsg(packet(text, code), sender);
        QCOMPARE(int(factory.made.size()), rooms);
        QCOMPARE(sound.heard.size(), sounds);
        QVERIFY(messages.shown.empty());
        if (rooms == 1) {
            // The new room holds the sender and got the line once, already sounded for; nobody
            // here asked for it, so it must not take the keyboard.
            QCOMPARE(factory.made[0]->calls,
                     QStringList({QStringLiteral("add|") + sender, QStringLiteral("show unasked"),
                                  QStringLiteral("msg|%1|%2|1").arg(packet(text, code), sender)}));
        }
    }

    // First lines open no more than so many rooms at a time; the rooms already open still get
    // their lines, and the log says once that a room was left unopened.
    void roomsFromTheNetworkAreBounded() {
        MainRecorder main;
        RoomFactory factory;
        SoundRecorder& sound = env.sounds;
        const int n = modAppFnc::kMaxNetworkRooms;
        for (int i = 0; i < n + 5; ++i)
            modAppFnc::RouteChatMsg(packet("hi", "0"), QStringLiteral("U%1").arg(i));
        QCOMPARE(int(factory.made.size()), n);
        QCOMPARE(int(sound.heard.size()), n);
        const QString refused =
            QStringLiteral("%1 chat rooms are open: a first line from somebody else opens none.").arg(n);
        QCOMPARE(logEntries().count(refused), 1);
        modAppFnc::RouteChatMsg(packet("again", "0"), QStringLiteral("U0"));
        QCOMPARE(factory.made[0]->calls.last(), QStringLiteral("msg|%1|U0|0").arg(packet("again", "0")));
        // One room closes: the next first line opens a room again, and the one after is refused
        // and logged again.
        factory.made[3]->CloseRoom();
        modAppFnc::RouteChatMsg(packet("hi", "0"), QStringLiteral("V1"));
        QCOMPARE(int(factory.made.size()), n + 1);
        QVERIFY(factory.made.back()->HaveUser(QStringLiteral("V1")));
        modAppFnc::RouteChatMsg(packet("hi", "0"), QStringLiteral("V2"));
        QCOMPARE(int(factory.made.size()), n + 1);
        QCOMPARE(logEntries().count(refused), 2);
    }

    void secondLineGoesToTheRoomWithoutSound() {
        MainRecorder main;
        RoomFactory factory;
        SoundRecorder& sound = env.sounds;
        modAppFnc::RouteChatMsg(packet("one", "0"), QStringLiteral("Bob"));
        modAppFnc::RouteChatMsg(packet("two", "0"), QStringLiteral("bob"));
        modAppFnc::RouteChatMsg(packet("", "1"), QStringLiteral("Bob"));
        QCOMPARE(int(factory.made.size()), 1);
        QCOMPARE(sound.heard, QStringList({QStringLiteral("beep")}));
        const QStringList calls = factory.made[0]->calls;
        QCOMPARE(calls.mid(3), QStringList({QStringLiteral("msg|%1|bob|0").arg(packet("two", "0")),
                                            QStringLiteral("msg|%1|Bob|0").arg(packet("", "1"))}));
    }

    void everyRoomHoldingTheSenderGetsTheLine() {
        MainRecorder main;
        RoomFactory factory;
        RoomRecorder a, b, c;
        a.members << QStringLiteral("Bob");
        b.members << QStringLiteral("Ann");
        c.members << QStringLiteral("BOB") << QStringLiteral("Ann");
        modAppFnc::RouteChatMsg(packet("x", "0"), QStringLiteral("bob"));
        QCOMPARE(a.calls, QStringList({QStringLiteral("msg|%1|bob|0").arg(packet("x", "0"))}));
        QVERIFY(b.calls.isEmpty());
        QCOMPARE(c.calls, a.calls);
        QVERIFY(factory.made.empty());
        QVERIFY(modAppFnc::UserInChat(QStringLiteral("ANN")));
        QVERIFY(!modAppFnc::UserInChat(QStringLiteral("Cy")));
    }

    void noMainWindowDropsEveryLine() {
        RoomFactory factory;
        RoomRecorder room;
        room.members << QStringLiteral("Bob");
        SoundRecorder& sound = env.sounds;
        modAppFnc::RouteChatMsg(packet("x", "0"), QStringLiteral("Bob"));
        modAppFnc::RouteChatMsg(packet("x", "0"), QStringLiteral("Cy"));
        QVERIFY(room.calls.isEmpty());
        QVERIFY(factory.made.empty());
        QVERIFY(sound.heard.isEmpty());
    }

    void loadChatWindow_data() {
        QTest::addColumn<QString>("list");
        QTest::addColumn<QStringList>("members");
        QTest::newRow("empty list, empty room") << QString() << QStringList();
        QTest::newRow("two names") << "Bob" + S + "Ann" + S << QStringList({"Bob", "Ann"});
        QTest::newRow("no trailing separator") << "Bob" + S + "Ann" << QStringList({"Bob"});
    }
    void loadChatWindow() {
        QFETCH(QString, list);
        QFETCH(QStringList, members);
        RoomFactory factory;
        modAppFnc::LoadChatWindow(list);
        QCOMPARE(int(factory.made.size()), 1);
        QCOMPARE(factory.made[0]->members, members);
        QCOMPARE(factory.made[0]->calls.last(), QStringLiteral("show"));
        const QStringList log = logEntries();
        QVERIFY(log.size() >= 2);
        QCOMPARE(log.mid(log.size() - 2), QStringList({"Starting Chat...", "---Chat Loaded."}));
    }

    void noChatWindowIsReported() {
        ChatRooms::SetFactory({});
        MessageRecorder& messages = env.messages;
        MainRecorder main;
        SoundRecorder& sound = env.sounds;
        modAppFnc::RouteChatMsg(packet("x", "0"), QStringLiteral("Bob"));
        QCOMPARE(int(messages.shown.size()), 1);
        QCOMPARE(messages.shown[0].text, QStringLiteral("Error loading chat window."));
        QVERIFY(logEntries().last().startsWith(QStringLiteral("Error loading chat window - ")));
        QVERIFY(sound.heard.isEmpty()); // nothing opened, nothing sounded
    }

    void routerAndHookAreInstalled() {
        AppRouter::Install();
        QVERIFY(!NetHooks::router().isBuiltIn());
        QCOMPARE(&NetHooks::chatWindows().get(), &ChatRooms::Hook());
        MainRecorder main;
        RoomFactory factory;
        NetHooks::router()->RouteChatMsg(packet("x", "0"), QStringLiteral("Bob"));
        QCOMPARE(int(factory.made.size()), 1);
        QVERIFY(NetHooks::chatWindows()->HasUser(QStringLiteral("bob")));
        RoomRecorder other;
        other.members << QStringLiteral("Ann");
        NetHooks::chatWindows()->CloseAll();
        QCOMPARE(factory.made[0]->calls.last(), QStringLiteral("close"));
        QCOMPARE(other.calls, QStringList({QStringLiteral("close")}));
        QVERIFY(ChatRooms::All().empty());
        QVERIFY(!NetHooks::chatWindows()->HasUser(QStringLiteral("bob")));
        NetHooks::router().set(nullptr);
        NetHooks::chatWindows().set(nullptr);
    }
};

QTEST_MAIN(TestChatRouting)
#include "tst_chatrouting.moc"
