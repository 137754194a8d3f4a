// The base64 encoder of the support mail program: the standard alphabet and padding, line
// wrapping, and the way back, which must refuse malformed text without reading or writing
// outside its arrays.
#include "Help/Base64.h"

#include "support/PlatformHeadless.h"
#include <QRandomGenerator>

#include <QTest>
#include <QTimer>

using namespace Help;

class TestBase64 : public QObject {
    Q_OBJECT
    TestEnv::PlatformHeadless env;

  private:
    static QByteArray randomBytes(QRandomGenerator& rng, int n) {
        QByteArray b(n, '\0');
        for (char& c : b)
            c = static_cast<char>(rng.bounded(256));
        return b;
    }

  private slots:
    void knownVectors_data() {
        QTest::addColumn<QByteArray>("plain");
        QTest::addColumn<QByteArray>("encoded");
        QTest::newRow("empty") << QByteArray() << QByteArray();
        QTest::newRow("one byte, two pads") << QByteArray("f") << QByteArray("Zg==");
        QTest::newRow("two bytes, one pad") << QByteArray("fo") << QByteArray("Zm8=");
        QTest::newRow("three bytes, no pad") << QByteArray("foo") << QByteArray("Zm9v");
        QTest::newRow("foob") << QByteArray("foob") << QByteArray("Zm9vYg==");
        QTest::newRow("fooba") << QByteArray("fooba") << QByteArray("Zm9vYmE=");
        QTest::newRow("foobar") << QByteArray("foobar") << QByteArray("Zm9vYmFy");
        QTest::newRow("high bits: + and /") << QByteArray("\xFB\xFF\xBF") << QByteArray("+/+/");
        QTest::newRow("zeros") << QByteArray(3, '\0') << QByteArray("AAAA");
    }
    void knownVectors() {
        QFETCH(QByteArray, plain);
        QFETCH(QByteArray, encoded);
        Base64 b;
        QByteArray out("stale");
        b.EncodeB64(plain, out);
        QCOMPARE(out, encoded);
        QByteArray back("stale");
        QVERIFY(b.DecodeB64(encoded, back));
        QCOMPARE(back, plain);
    }

    void matchesQtOnRandomData() {
        QRandomGenerator rng(18);
        Base64 b;
        for (int n = 0; n <= 200; ++n) {
            const QByteArray plain = randomBytes(rng, n);
            QByteArray out;
            b.EncodeB64(plain, out);
            QCOMPARE(out, plain.toBase64());
            QByteArray back;
            QVERIFY(b.DecodeB64(out, back));
            QCOMPARE(back, plain);
            QByteArray spanned, unspanned;
            QVERIFY(b.Span(76, out, spanned));
            QCOMPARE(spanned.size(), out.size() + 2 * (out.size() / 76));
            b.Unspan(spanned, unspanned);
            QCOMPARE(unspanned, out);
        }
    }

    void span_data() {
        QTest::addColumn<int>("perLine");
        QTest::addColumn<QByteArray>("in");
        QTest::addColumn<QByteArray>("out");
        const QByteArray a76(76, 'a'), b76(76, 'b'), c24(24, 'c');
        QTest::newRow("two full lines end in CR LF") << 76 << a76 + b76 << a76 + "\r\n" + b76 + "\r\n";
        QTest::newRow("short last line has none") << 76 << a76 + c24 << a76 + "\r\n" + c24;
        QTest::newRow("shorter than a line") << 76 << c24 << c24;
        QTest::newRow("one per line") << 1 << QByteArray("ab") << QByteArray("a\r\nb\r\n");
        QTest::newRow("empty") << 76 << QByteArray() << QByteArray();
    }
    void span() {
        QFETCH(int, perLine);
        QFETCH(QByteArray, in);
        QFETCH(QByteArray, out);
        Base64 b;
        QByteArray got("stale");
        QVERIFY(b.Span(perLine, in, got));
        QCOMPARE(got, out);
        QCOMPARE(got.size(), in.size() + 2 * (in.size() / perLine));
    }

    void spanRefusesLinesBelowOne() {
        Base64 b;
        for (int perLine : {0, -1, -76}) {
            QByteArray got("stale");
            QVERIFY(!b.Span(perLine, QByteArray("abcd"), got));
            QVERIFY(got.isEmpty());
        }
    }

    void decodeRefuses_data() {
        QTest::addColumn<QByteArray>("in");
        QTest::newRow("length 3") << QByteArray("Zm9");
        QTest::newRow("length 5") << QByteArray("Zm9vY");
        QTest::newRow("pad in the middle of the last group") << QByteArray("Zg=a");
        QTest::newRow("pad group before the end") << QByteArray("Zg==Zm9v");
        QTest::newRow("three pads") << QByteArray("Z===");
        QTest::newRow("all pads") << QByteArray("====");
        QTest::newRow("code 234") << QByteArray("Zm9\xEA");
        QTest::newRow("code 255 first") << QByteArray("\xFFm9v");
        QTest::newRow("wrapped text") << QByteArray("Zm9v\r\n");
    }
    void decodeRefuses() {
        QFETCH(QByteArray, in);
        Base64 b;
        QByteArray out("stale");
        QVERIFY(!b.DecodeB64(in, out));
        QVERIFY(out.isEmpty());
    }

    void decodeTable() {
        Base64 b;
        QCOMPARE(b.DecodeValue('='), quint8(64));
        QCOMPARE(b.DecodeValue('-'), quint8(255));
        QCOMPARE(b.DecodeValue('A'), quint8(0));
        QCOMPARE(b.DecodeValue('a'), quint8(26));
        QCOMPARE(b.DecodeValue('0'), quint8(52));
        QCOMPARE(b.DecodeValue('+'), quint8(62));
        QCOMPARE(b.DecodeValue('/'), quint8(63));
        QCOMPARE(b.DecodeValue(233), quint8(255));
        QCOMPARE(b.DecodeValue(234), quint8(255));
        QCOMPARE(b.DecodeValue(-1), quint8(255));
        // Characters outside the alphabet but within the table decode as they come.
        QByteArray out;
        QVERIFY(b.DecodeB64(QByteArray("Z-=="), out));
        QCOMPARE(out.size(), 1);
    }

    void str2ByteArrayIsWindows1252() {
        Base64 b;
        QByteArray out;
        b.Str2ByteArray(QString::fromUtf16(u"\u20ACa\u00E9"), out);
        QCOMPARE(out, QByteArray("\x80"
                                 "a\xE9"));
    }

    void longInputLetsEventsRun() {
        // An attachment of megabytes must not freeze the window.
        QRandomGenerator rng(7);
        const QByteArray plain = randomBytes(rng, 1 << 20);
        int ticks = 0;
        QTimer timer;
        connect(&timer, &QTimer::timeout, [&] { ++ticks; });
        timer.start(0);
        Base64 b;
        QByteArray out, spanned;
        b.EncodeB64(plain, out);
        const int afterEncode = ticks;
        QVERIFY(afterEncode > 0);
        QVERIFY(b.Span(76, out, spanned));
        QVERIFY(ticks > afterEncode);
        QCOMPARE(out, plain.toBase64());
    }
};

QTEST_GUILESS_MAIN(TestBase64)
#include "tst_base64.moc"
