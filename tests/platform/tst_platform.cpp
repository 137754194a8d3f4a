// The platform layers: the Windows-1252 codec and the UDP mailslot.
#include "platform/Ansi.h"
#include "platform/Identity.h"
#include "platform/Mailslot.h"
#include "support/Headless.h"
#include "support/OtherHost.h"

#include <QTest>
#include <vector>

class TestPlatform : public QObject {
    Q_OBJECT
    TestEnv::Headless env{TestEnv::Loopback};

  private slots:

    void everyByteRoundTrips() {
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all.append(static_cast<char>(b));
        const QString text = Ansi::decode(all);
        QCOMPARE(text.size(), 256);
        QCOMPARE(Ansi::encode(text), all);
    }

    void characters_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("euro") << QString(QChar(0x20AC)) << QByteArray("\x80");
        QTest::newRow("curly quotes") << QString::fromUtf16(u"\u201Cx\u201D") << QByteArray("\x93x\x94");
        QTest::newRow("latin-1 letter") << QString(QChar(0xE9)) << QByteArray("\xE9");
        QTest::newRow("undefined byte as C1") << QString(QChar(0x81)) << QByteArray("\x81");
        QTest::newRow("C1 with a defined byte") << QString(QChar(0x80)) << QByteArray("?");
        QTest::newRow("no such character") << QString(QChar(0x4E2D)) << QByteArray("?");
        QTest::newRow("surrogate pair is one character")
            << QString::fromUtf16(u"a\U0001F600b") << QByteArray("a?b");
        QTest::newRow("separator and NUL") << QString::fromUtf16(u"a\u0001\u0000b", 4)
                                           << QByteArray("a\x01\x00"
                                                         "b",
                                                         4);
    }
    void characters() {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QCOMPARE(Ansi::encode(text), bytes);
    }

    // Every character but the 256 that bytes decode to has no byte and becomes "?"; the
    // 256 go back to their own byte, in one string as one by one.
    void everyCharacterEncodes() {
        std::vector<int> byteOf(0x10000, -1);
        for (int b = 0; b < 256; ++b)
            byteOf[Ansi::decode(QByteArray(1, char(b))).at(0).unicode()] = b;
        QString all(0x10000, Qt::Uninitialized);
        QByteArray expected(0x10000, '?');
        for (int c = 0; c < 0x10000; ++c) {
            all[c] = QChar(char16_t(c));
            if (byteOf[c] >= 0) expected[c] = char(byteOf[c]);
        }
        // A high and a low surrogate side by side are one character: keep them apart.
        for (int c = 0xD800; c < 0xE000; ++c)
            all[c] = QChar(char16_t(0xDC00 + (c & 0x3FF)));
        const QByteArray got = Ansi::encode(all);
        QCOMPARE(got.size(), expected.size());
        for (int c = 0; c < 0x10000; ++c)
            if (got.at(c) != expected.at(c))
                QFAIL(qPrintable(QStringLiteral("U+%1 gave byte %2").arg(c, 4, 16).arg(uchar(got.at(c)))));
        // Into a buffer of the text's size: the same bytes, and a surrogate pair takes one.
        const QString pair = QString::fromUtf16(u"a\U0001F600\u20ACb");
        QByteArray room(pair.size(), 'x');
        QCOMPARE(Ansi::encode(pair, room.data()), qsizetype(4));
        QCOMPARE(room.left(4), QByteArray("a?\x80"
                                          "b"));
    }

    // One read takes what waits, each datagram whole or with its real length when the place
    // given is too small, and says where each came from.
    void receiveGivesLengthsAndSources_data() {
        QTest::addColumn<bool>("otherHost");
        QTest::newRow("a copy on this computer") << false;
        QTest::newRow("another address") << true;
    }
    void receiveGivesLengthsAndSources() {
        QFETCH(bool, otherHost);
        Mailslot slot;
        QVERIFY(slot.create(QStringLiteral("QX3")) >= 0);
        TestEnv::OtherHost host;
        QVERIFY(host.valid());
        const QList<QByteArray> sent{QByteArray(), QByteArray("\0x", 2), QByteArray(250, 'c'),
                                     QByteArray(3000, 'l')};
        for (const QByteArray& b : sent)
            QVERIFY(otherHost ? host.send(b) : Mailslot::send(QStringLiteral("*"), QStringLiteral("QX3"), b));
        constexpr int kPlaces = 8;
        constexpr qsizetype kRoom = 1000;
        std::vector<QByteArray> room(kPlaces, QByteArray(kRoom, '\0'));
        char* places[kPlaces];
        for (int i = 0; i < kPlaces; ++i)
            places[i] = room[i].data();
        qsizetype lengths[kPlaces];
        DatagramSource from[kPlaces];
        int got = 0;
        QVERIFY(QTest::qWaitFor(
            [&] {
                got += slot.receive(kPlaces - got, places + got, kRoom, lengths + got, from + got);
                return got >= sent.size();
            },
            TestEnv::kNetWait));
        QCOMPARE(got, sent.size());
        for (int i = 0; i < got; ++i) {
            QCOMPARE(lengths[i], sent[i].size());
            QCOMPARE(room[i].left(qMin(lengths[i], kRoom)), sent[i].left(kRoom));
            if (otherHost)
                QCOMPARE(from[i], host.source());
            else
                QCOMPARE(from[i].address, uint32_t(0x7F000001)); // sent by the interface's address
            QVERIFY(from[i].port != 0);
            QCOMPARE(from[i], from[0]); // one socket sends them all
        }
        QCOMPARE(host.source().text(), QStringLiteral("127.0.0.2:%1").arg(host.source().port));
        QCOMPARE(slot.receive(kPlaces, places, kRoom, lengths, from), 0); // drained, and it does not block
    }

    void bothSlotsHearOneDatagram() {
        Mailslot a, b;
        QVERIFY(a.create(QStringLiteral("QX3")) != Mailslot::kInvalidHandle);
        QVERIFY(b.create(QStringLiteral("QX3")) != Mailslot::kInvalidHandle);
        const QByteArray sent("\0Ann\x01"
                              "Cx",
                              7);
        QVERIFY(Mailslot::send(QStringLiteral("*"), QStringLiteral("QX3"), sent));
        for (Mailslot* s : {&a, &b}) {
            qint64 size = 0;
            int count = 0;
            QVERIFY(QTest::qWaitFor([&] { return s->info(size, count); }, TestEnv::kNetWait));
            QCOMPARE(count, 1);
            QCOMPARE(size, sent.size());
            QByteArray got;
            QVERIFY(s->read(size, got));
            QCOMPARE(got, sent);
            QVERIFY(!s->info(size, count)); // drained, and asking does not block
            QCOMPARE(count, 0);
        }
    }

    void failedSlotStillSends() {
        Mailslot listener;
        QVERIFY(listener.create(QStringLiteral("QX3")) >= 0);
        // An interface address that is not on this machine: the slot cannot join the group.
        qputenv("QX3_MAILSLOT_IF", "192.0.2.1");
        Mailslot broken;
        QCOMPARE(broken.create(QStringLiteral("QX3")), Mailslot::kInvalidHandle);
        qint64 size = 0;
        int count = 0;
        QVERIFY(!broken.info(size, count));
        QByteArray got;
        QVERIFY(!broken.read(10, got));
        broken.close();
        broken.close(); // closing twice is harmless
        qputenv("QX3_MAILSLOT_IF", "127.0.0.1");
        QVERIFY(Mailslot::send(QStringLiteral("*"), QStringLiteral("QX3"), QByteArray("\0x", 2)));
        QVERIFY(QTest::qWaitFor([&] { return listener.info(size, count); }, TestEnv::kNetWait));
    }

    void badConfigurationIsRefused_data() {
        QTest::addColumn<QByteArray>("var");
        QTest::addColumn<QByteArray>("value");
        QTest::newRow("group") << QByteArray("QX3_MAILSLOT_GROUP") << QByteArray("not-an-address");
        QTest::newRow("port zero") << QByteArray("QX3_MAILSLOT_PORT") << QByteArray("0");
        QTest::newRow("port too big") << QByteArray("QX3_MAILSLOT_PORT") << QByteArray("70000");
        QTest::newRow("interface") << QByteArray("QX3_MAILSLOT_IF") << QByteArray("lo");
    }
    void badConfigurationIsRefused() {
        QFETCH(QByteArray, var);
        QFETCH(QByteArray, value);
        const QByteArray old = qgetenv(var.constData());
        qputenv(var.constData(), value);
        Mailslot s;
        QCOMPARE(s.create(QStringLiteral("QX3")), Mailslot::kInvalidHandle);
        QString why;
        QVERIFY(!Mailslot::send(QStringLiteral("*"), QStringLiteral("QX3"), QByteArray("\0", 1), &why));
        QVERIFY2(!why.isEmpty(), "a refused send says why");
        qputenv(var.constData(), old);
    }

    void networkPresenceFollowsTheInterface() {
        qputenv("QX3_MAILSLOT_IF", "127.0.0.1");
        QVERIFY(Identity::networkPresent()); // loopback is up
        qputenv("QX3_MAILSLOT_IF", "192.0.2.1");
        QVERIFY(!Identity::networkPresent());
        qputenv("QX3_MAILSLOT_IF", "127.0.0.1");
    }
};

QTEST_GUILESS_MAIN(TestPlatform)
#include "tst_platform.moc"
