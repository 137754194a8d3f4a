// Host names and addresses, the Winsock error texts, and the errno map of the socket layer.
#include "Help/WSKSOCK.h"
#include "platform/Sockets.h"

#include "support/PlatformHeadless.h"

#include <QTest>
#include <arpa/inet.h>
#include <cerrno>
#include <netdb.h>

using namespace Help;

class TestWsksock : public QObject {
    Q_OBJECT
    TestEnv::PlatformHeadless env;

  private slots:
    void resolveHost_data() {
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("text");
        QTest::newRow("dotted, no lookup") << QStringLiteral("127.0.0.1") << QStringLiteral("127.0.0.1");
        QTest::newRow("other dotted") << QStringLiteral("192.0.2.7") << QStringLiteral("192.0.2.7");
        QTest::newRow("localhost by name") << QStringLiteral("localhost") << QStringLiteral("127.0.0.1");
        QTest::newRow("unknown name")
            << QStringLiteral("no-such-host.invalid") << QStringLiteral("255.255.255.255");
        QTest::newRow("all ones ends unresolved")
            << QStringLiteral("255.255.255.255") << QStringLiteral("255.255.255.255");
        QTest::newRow("empty") << QString() << QStringLiteral("255.255.255.255");
        QTest::newRow("NUL inside") << QStringLiteral("127.0.0.1\0x").left(11)
                                    << QStringLiteral("255.255.255.255");
    }
    void resolveHost() {
        QFETCH(QString, host);
        QFETCH(QString, text);
        QCOMPARE(WSKSOCK::HostToAddressText(host), text);
        const quint32 a = WSKSOCK::ResolveHost(host);
        QCOMPARE(a == WSKSOCK::kNoAddress, text == QStringLiteral("255.255.255.255"));
    }

    void addressIsInNetworkOrder() {
        const quint32 a = WSKSOCK::ResolveHost(QStringLiteral("10.1.2.3"));
        QCOMPARE(a, quint32(inet_addr("10.1.2.3")));
        QCOMPARE(ntohl(a), 0x0A010203u);
        QCOMPARE(WSKSOCK::AddressToText(htonl(0xC0000201u)), QStringLiteral("192.0.2.1"));
    }

    void localHost() {
        const QString name = WSKSOCK::LocalHostName();
        QVERIFY(!name.isEmpty());
        QVERIFY(!name.contains(QChar(0)));
        const QString address = WSKSOCK::LocalAddressText();
        QCOMPARE(address, WSKSOCK::HostToAddressText(name));
        QCOMPARE(address.count(QLatin1Char('.')), 3);
    }

    void errorTexts_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("text");
        QTest::newRow("0") << 0 << QString();
        QTest::newRow("10000") << 10000 << QString();
        QTest::newRow("10090") << 10090 << QString();
        QTest::newRow("-1") << -1 << QString();
        QTest::newRow("would block") << 10035 << QStringLiteral("Operation would block.");
        QTest::newRow("first") << 10004 << QStringLiteral("Interrupted system call.");
        QTest::newRow("refused") << 10061 << QStringLiteral("Connection refused.");
        QTest::newRow("quote inside") << 10049 << QStringLiteral("Can't assign requested address.");
        QTest::newRow("disconnect") << 10101 << QStringLiteral("Disconnect.");
        QTest::newRow("last") << 11004 << QStringLiteral("Valid name, no data record of requested type.");
    }
    void errorTexts() {
        QFETCH(int, code);
        QFETCH(QString, text);
        QCOMPARE(WSKSOCK::WinsockErrorText(code), text);
    }

    void everyMappedErrnoHasAText() {
        // Whatever the socket layer reports by a Winsock number can be worded.
        for (int e = 1; e < 134; ++e) {
            const int code = Sockets::ErrorFromErrno(e);
            if (code != e)
                QVERIFY2(!WSKSOCK::WinsockErrorText(code).isEmpty(), qPrintable(QString::number(e)));
        }
    }

    void errnoMap_data() {
        QTest::addColumn<int>("err");
        QTest::addColumn<int>("code");
        QTest::newRow("EAGAIN") << EAGAIN << 10035;
        QTest::newRow("EWOULDBLOCK") << EWOULDBLOCK << 10035;
        QTest::newRow("EINPROGRESS") << EINPROGRESS << 10036;
        QTest::newRow("ECONNREFUSED") << ECONNREFUSED << 10061;
        QTest::newRow("ETIMEDOUT") << ETIMEDOUT << 10060;
        QTest::newRow("ECONNRESET") << ECONNRESET << 10054;
        QTest::newRow("EPIPE") << EPIPE << 10054;
        QTest::newRow("EHOSTUNREACH") << EHOSTUNREACH << 10065;
        QTest::newRow("ENETUNREACH") << ENETUNREACH << 10051;
        QTest::newRow("EADDRINUSE") << EADDRINUSE << 10048;
        QTest::newRow("EMFILE") << EMFILE << 10024;
        QTest::newRow("ENOTSOCK") << ENOTSOCK << 10038;
        QTest::newRow("unnamed ENOENT keeps its number") << ENOENT << ENOENT;
        QTest::newRow("unnamed ENFILE keeps its number") << ENFILE << ENFILE;
    }
    void errnoMap() {
        QFETCH(int, err);
        QFETCH(int, code);
        QCOMPARE(Sockets::ErrorFromErrno(err), code);
    }

    void hostErrorMap() {
        QCOMPARE(Sockets::ErrorFromHostError(HOST_NOT_FOUND), 11001);
        QCOMPARE(Sockets::ErrorFromHostError(TRY_AGAIN), 11002);
        QCOMPARE(Sockets::ErrorFromHostError(NO_RECOVERY), 11003);
        QCOMPARE(Sockets::ErrorFromHostError(NO_DATA), 11004);
        QCOMPARE(Sockets::ErrorFromHostError(77), 77);
    }
};

QTEST_GUILESS_MAIN(TestWsksock)
#include "tst_wsksock.moc"
