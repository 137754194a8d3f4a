// The user list without a window: the records beside the names, what my own name answers, the
// roster's own rows whoever owns the network layer, presses on rows, and the counts the status
// line and the speed bar show.
#include "core/NetOwner.h"
#include "core/Roster.h"
#include "core/modGlobals.h"
#include "core/modLangConst.h"
#include "core/modNetCmds.h"
#include "support/Headless.h"
#include "support/Recorders.h"

#include <QTest>

using modGlobals::Run;
using modGlobals::Sets;

namespace {
const QString S(modGlobals::kSep);

// "~" stands for the separator.
QString sep(QString text) {
    return text.replace(QLatin1Char('~'), S);
}

// The network layer's owner while the roster is the main window's list.
struct RosterOwner : NetOwner {
    Roster roster;
    OwnerList* lstUsers() override { return &roster.names; }
    OwnerList* lstUStat() override { return &roster.records; }
};
} // namespace

class TestRoster : public QObject {
    Q_OBJECT
    TestEnv::Headless env{TestEnv::Loopback};
    std::unique_ptr<RosterOwner> owner;

    Roster& roster() { return owner->roster; }
    // Acts on each datagram as the layer does on hearing it.
    static void hear(const QStringList& datagrams) {
        for (const QString& d : datagrams)
            modNetCmds::ParseData(sep(d));
    }
    QString selection() {
        QString out;
        for (int i = 0; i < roster().Count(); ++i)
            out += roster().Field(i, Roster::kSelected);
        return out;
    }

  private slots:
    void init() {
        env.reset();
        modLangConst::SetDefaultStrings();
        Sets().UNAME = QStringLiteral("Me");
        owner = std::make_unique<RosterOwner>();
        modNetCmds::OpenNetCom(owner.get(), QStringLiteral("Me"));
    }
    void cleanup() {
        if (modNetCmds::IsOpen()) modNetCmds::CloseNetCom(0);
        owner.reset();
    }

    // --- records ------------------------------------------------------------------------------

    void withField_data() {
        QTest::addColumn<QString>("record");
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("a newcomer's status")
            << Roster::NewRecord(QStringLiteral("Ann")) << int(Roster::kStatus) << "2"
            << "Ann~0~2~Arial~0~1~";
        QTest::newRow("the last field") << "Ann~5~1~Tahoma~1~1~" << int(Roster::kAccepts) << "0"
                                        << "Ann~5~1~Tahoma~1~0~";
        QTest::newRow("a short record gets empty fields") << "Ann~5~" << int(Roster::kFont) << "Tahoma"
                                                          << "Ann~5~~Tahoma~~~";
        QTest::newRow("no field of a record") << "Ann~5~1~Tahoma~1~1~" << 9 << "x"
                                              << "Ann~5~1~Tahoma~1~1~";
    }
    void withField() {
        QFETCH(QString, record);
        QFETCH(int, field);
        QFETCH(QString, value);
        QFETCH(QString, expected);
        QCOMPARE(Roster::WithField(sep(record), field, value), sep(expected));
    }

    void recordsStayBesideTheirNames() {
        hear({"Cy~S1", "bob~C65280", "Ann~FTahoma", "Bob~VMe~0~"});
        QCOMPARE(roster().names.items(), QStringList({"Ann", "bob", "Cy"}));
        QCOMPARE(roster().records.items(),
                 QStringList(
                     {sep("Ann~0~0~Tahoma~0~1~"), sep("bob~65280~0~Arial~0~0~"), sep("Cy~0~1~Arial~0~1~")}));
        QCOMPARE(roster().IndexOf(QStringLiteral("CY")), 2);
        QCOMPARE(roster().IndexOf(QStringLiteral("Dee")), -1);
        QCOMPARE(roster().Field(1, Roster::kColour), QStringLiteral("65280"));
        QCOMPARE(roster().Field(3, Roster::kColour), QString()); // no such row
        hear({"Ann~E"});
        QCOMPARE(roster().Field(0, Roster::kName), QStringLiteral("bob"));
        QCOMPARE(roster().Count(), 2);
    }

    // A peer whose name is mine in other letters is listed, but asked about, the name answers
    // with my own values.
    void myNameInOtherLettersAnswersForMe() {
        Sets().UCOL = 0xFF;
        Sets().UFNT = QStringLiteral("Courier New");
        Sets().BLC = QStringLiteral("ME") + S;
        Run().OwnStatus = 2;
        hear({"ME~C65280", "ME~S1", "ME~FTahoma"});
        QVERIFY(roster().IsOnLine(QStringLiteral("me")));
        QCOMPARE(roster().GetUserInfo(QStringLiteral("ME"), 0), QVariant(false));
        QCOMPARE(roster().GetUserInfo(QStringLiteral("ME"), 1), QVariant(qint32(0xFF)));
        QCOMPARE(roster().GetUserInfo(QStringLiteral("ME"), 2), QVariant(QStringLiteral("Courier New")));
        QCOMPARE(roster().GetUserInfo(QStringLiteral("ME"), 3), QVariant(2));
        QCOMPARE(roster().GetUserPic(QStringLiteral("ME")), 3); // the block list alone decides the icon
    }

    // Asked about a user, the roster reads its own rows, even while the network layer fills
    // another window's lists.
    void itsOwnRowsWhoeverOwnsTheLayer() {
        hear({"Ann~C255", "Bob~C65280", "Bob~S2"});
        TestOwner signIn(TestOwner::SignIn);
        modNetCmds::OpenNetCom(&signIn, QStringLiteral("\\Me"));
        hear({"Zed~B"});
        QCOMPARE(signIn.names.items(), QStringList({"Zed"}));
        QCOMPARE(roster().GetUserInfo(QStringLiteral("Bob"), 1), QVariant(QStringLiteral("65280")));
        QCOMPARE(roster().GetUserInfo(QStringLiteral("bob"), 3), QVariant(QStringLiteral("2")));
        QCOMPARE(roster().GetUserInfo(QStringLiteral("Zed"), 1), QVariant(QStringLiteral("0"))); // not in it
    }

    // The colour and font a user's lines are drawn in, read together: the fields as GetUserInfo
    // gives them, made into what a window draws.
    void look_data() {
        QTest::addColumn<QStringList>("heard");
        QTest::addColumn<QString>("name");
        QTest::addColumn<quint32>("colour");
        QTest::addColumn<QString>("font");
        const QStringList bob{"Ann~C255", "Bob~C65280", "Bob~FTahoma"};
        QTest::newRow("listed") << bob << "Bob" << 65280u << "Tahoma";
        QTest::newRow("listed, in other letters") << bob << "bOB" << 65280u << "Tahoma";
        QTest::newRow("not listed: a newcomer") << bob << "Zed" << 0u << "Arial";
        QTest::newRow("nobody listed") << QStringList{} << "Zed" << 0u << "Arial";
        QTest::newRow("a colour that is no number") << QStringList{"Bob~Cred"} << "Bob" << 0u << "Arial";
        QTest::newRow("a colour beyond 24 bits") << QStringList{"Bob~C33554687"} << "Bob" << 255u << "Arial";
        QTest::newRow("no font named") << QStringList{"Bob~FTahoma", "Bob~F"} << "Bob" << 0u << "Arial";
        QTest::newRow("my name, listed in other letters: my own")
            << QStringList{"ME~C65280", "ME~FTahoma"} << "ME" << 0xFFu << "Courier New";
    }
    void look() {
        QFETCH(QStringList, heard);
        QFETCH(QString, name);
        QFETCH(quint32, colour);
        QFETCH(QString, font);
        Sets().UCOL = 0xFF;
        Sets().UFNT = QStringLiteral("Courier New");
        hear(heard);
        const PeerInfo::Look look = roster().GetUserLook(name);
        QCOMPARE(look.colour, colour);
        QCOMPARE(look.font, font);
    }

    // --- presses --------------------------------------------------------------------------------

    void press_data() {
        QTest::addColumn<int>("from");        // the anchor before the first press
        QTest::addColumn<QString>("presses"); // row,button,shift;...  each from the anchor before
        QTest::addColumn<QString>("selected");
        QTest::addColumn<int>("anchor");
        QTest::newRow("far below the list clears") << -1 << "1,1,0;50,1,0"
                                                   << "0000" << -1;
        QTest::newRow("right below the list keeps the selection") << -1 << "1,1,0;9,2,0"
                                                                  << "0100" << -1;
        QTest::newRow("shift without an anchor selects from the top") << -1 << "2,1,1"
                                                                      << "1110" << 2;
        QTest::newRow("shift from an anchor past the end selects to the last") << 7 << "2,1,1"
                                                                               << "0011" << 2;
        QTest::newRow("ctrl twice on a row") << -1 << "3,1,2;3,1,2"
                                             << "0000" << 3;
    }
    void press() {
        QFETCH(int, from);
        QFETCH(QString, presses);
        QFETCH(QString, selected);
        QFETCH(int, anchor);
        hear({"a~B", "b~B", "c~B", "d~B"});
        int last = from;
        for (const QString& p : presses.split(QLatin1Char(';'))) {
            const QStringList f = p.split(QLatin1Char(','));
            last = roster().Press(f[0].toInt(), f[1].toInt(), f[2].toInt(), last);
        }
        QCOMPARE(selection(), selected);
        QCOMPARE(last, anchor);
        QCOMPARE(roster().GetNSel(), int(selected.count(QLatin1Char('1'))));
    }

    void pressOnNobodySelectsNobody() {
        QCOMPARE(roster().Press(0, 1, 0, -1), -1);
        QCOMPARE(roster().Press(0, 1, 1, 3), -1);
        QCOMPARE(roster().GetNSel(), 0);
        roster().ListSetSel(0, QStringLiteral("1")); // no row to select
        QVERIFY(roster().records.items().isEmpty());
    }

    // --- counts ---------------------------------------------------------------------------------

    void statusLine_data() {
        QTest::addColumn<QStringList>("heard");
        QTest::addColumn<QString>("blocks"); // "~"-separated
        QTest::addColumn<QString>("texts");  // Main_StatMsg; "" the built-in one
        QTest::addColumn<QString>("line");
        QTest::newRow("nobody") << QStringList{} << ""
                                << ""
                                << "0 Users Online";
        QTest::newRow("one") << QStringList{"Ann~B"} << ""
                             << ""
                             << "1 User Online";
        QTest::newRow("blocked and listed, in other letters")
            << QStringList{"Ann~B", "Bob~B", "Cy~B"} << "bob~CY~"
            << ""
            << "3 Users Online (-2)";
        QTest::newRow("blocked but not listed") << QStringList{"Ann~B"} << "Zed~"
                                                << ""
                                                << "1 User Online";
        QTest::newRow("the language's words") << QStringList{"Ann~B", "Bob~B"} << ""
                                              << "Kollege|Kollegen|da"
                                              << "2 Kollegen da";
    }
    void statusLine() {
        QFETCH(QStringList, heard);
        QFETCH(QString, blocks);
        QFETCH(QString, texts);
        QFETCH(QString, line);
        Sets().BLC = sep(blocks);
        if (!texts.isEmpty()) modLangConst::Set(QStringLiteral("Main_StatMsg"), texts);
        hear(heard);
        QCOMPARE(roster().StatusText(), line);
        QCOMPARE(roster().BlockedOnLine(), int(line.contains(QLatin1String("(-2)")) ? 2 : 0));
    }

    void speedBarFilter_data() {
        QTest::addColumn<int>("filter");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("everybody") << 0 << QStringList{"Ann", "Bob", "Carl", "Dee", "ME", "Odd"};
        QTest::newRow("not blocked by me") << 1 << QStringList{"Ann", "Bob", "Carl", "ME", "Odd"};
        QTest::newRow("not away, my own status too") << 2 << QStringList{"Ann", "Carl", "Dee", "Odd"};
        QTest::newRow("online only") << 3 << QStringList{"Ann", "Dee"};
        QTest::newRow("no such filter") << 7 << QStringList{};
    }
    void speedBarFilter() {
        QFETCH(int, filter);
        QFETCH(QStringList, shown);
        Sets().BLC = QStringLiteral("dee") + S;
        Run().OwnStatus = 2;
        // Ann Online, Bob Away, Carl Busy, Dee Online and blocked, a made-up status, and my own
        // name in other letters with the status Online that my own (Away) stands for.
        hear({"Ann~S0", "Bob~S2", "Carl~S1", "Dee~S0", "Odd~S7", "ME~S0"});
        QCOMPARE(roster().ForSpeedBar(filter), shown);
    }
};

QTEST_MAIN(TestRoster)
#include "tst_roster.moc"
