// The SMTP reply reader (whole replies out of reads cut anywhere; a lying server stops it) and
// the DATA dot-stuffing, whose state runs across pieces.
#include "Help/DotStuffer.h"
#include "Help/SmtpReplyReader.h"

#include "support/PlatformHeadless.h"

#include <QTest>

using namespace Help;

class TestSmtpWire : public QObject {
    Q_OBJECT
    TestEnv::PlatformHeadless env;

  private slots:
    void replies_data() {
        QTest::addColumn<QByteArray>("stream");
        QTest::addColumn<QList<int>>("codes");
        QTest::addColumn<bool>("error"); // after the codes, the reader fails
        QTest::newRow("one line") << QByteArray("220 hello\r\n") << QList<int>{220} << false;
        QTest::newRow("multi-line") << QByteArray("250-mail\r\n250-SIZE 1\r\n250 HELP\r\n") << QList<int>{250}
                                    << false;
        QTest::newRow("bare code") << QByteArray("354\r\n") << QList<int>{354} << false;
        QTest::newRow("two replies") << QByteArray("220 a\r\n250 b\r\n") << QList<int>{220, 250} << false;
        QTest::newRow("not a number") << QByteArray("2x0 hi\r\n") << QList<int>{} << true;
        QTest::newRow("too short") << QByteArray("22\r\n") << QList<int>{} << true;
        QTest::newRow("bare LF") << QByteArray("220 hi\n") << QList<int>{} << true;
        QTest::newRow("codes differ inside a reply")
            << QByteArray("250-a\r\n220 b\r\n") << QList<int>{} << true;
        QTest::newRow("odd fourth character") << QByteArray("250xa\r\n") << QList<int>{} << true;
        QTest::newRow("garbage after a good reply")
            << QByteArray("220 ok\r\n\x01\x02\r\n") << QList<int>{220} << true;
        QTest::newRow("line of 1000 bytes") << QByteArray("220 ") + QByteArray(994, 'x') + "\r\n"
                                            << QList<int>{220} << false;
        QTest::newRow("line of 1001 bytes") << QByteArray("220 ") + QByteArray(995, 'x') + "\r\n"
                                            << QList<int>{} << true;
        QTest::newRow("endless line without LF")
            << QByteArray("220 ") + QByteArray(5000, 'x') << QList<int>{} << true;
    }

    // Every way of cutting the stream into two reads gives the same replies.
    void replies() {
        QFETCH(QByteArray, stream);
        QFETCH(QList<int>, codes);
        QFETCH(bool, error);
        for (qsizetype cut = 0; cut <= stream.size(); ++cut) {
            SmtpReplyReader r;
            QList<int> got;
            bool failed = false;
            for (const QByteArray& part : {stream.left(cut), stream.mid(cut)}) {
                r.feed(part);
                int code = 0;
                QByteArray text;
                for (;;) {
                    const auto res = r.next(code, text);
                    if (res == SmtpReplyReader::Result::Reply) {
                        got << code;
                        continue;
                    }
                    failed = failed || res == SmtpReplyReader::Result::Error;
                    break;
                }
            }
            QCOMPARE(got, codes);
            QCOMPARE(failed, error);
        }
    }

    void replyTextKeepsItsLines() {
        SmtpReplyReader r;
        r.feed("250-first\r\n250 second\r\n220");
        int code = 0;
        QByteArray text;
        QCOMPARE(r.next(code, text), SmtpReplyReader::Result::Reply);
        QCOMPARE(code, 250);
        QCOMPARE(text, QByteArray("250-first\r\n250 second"));
        QCOMPARE(r.next(code, text), SmtpReplyReader::Result::Incomplete);
        QCOMPARE(r.pending(), 3);
    }

    void endlessMultiLineReplyIsCut() {
        SmtpReplyReader r;
        int code = 0;
        QByteArray text;
        SmtpReplyReader::Result res = SmtpReplyReader::Result::Incomplete;
        for (int i = 0; i < 10000 && res == SmtpReplyReader::Result::Incomplete; ++i) {
            r.feed("250-more and more\r\n");
            res = r.next(code, text);
        }
        QCOMPARE(res, SmtpReplyReader::Result::Error);
        QVERIFY(r.failed());
        r.feed("250 ok\r\n"); // stays failed
        QCOMPARE(r.next(code, text), SmtpReplyReader::Result::Error);
    }

    void dotStuffing_data() {
        QTest::addColumn<QList<QByteArray>>("pieces");
        QTest::addColumn<QByteArray>("wire");
        using L = QList<QByteArray>;
        QTest::newRow("dot line") << L{"a\r\n.\r\nb"} << QByteArray("a\r\n..\r\nb");
        QTest::newRow("dot word") << L{"a\r\n.x\r\n"} << QByteArray("a\r\n..x\r\n");
        QTest::newRow("first byte") << L{".start"} << QByteArray("..start");
        QTest::newRow("ends in dot") << L{"end.\r\n."} << QByteArray("end.\r\n..");
        QTest::newRow("dot inside a line untouched") << L{"a.b\r\n"} << QByteArray("a.b\r\n");
        QTest::newRow("line start across pieces") << L{"a\r\n", ".b"} << QByteArray("a\r\n..b");
        QTest::newRow("LF across pieces") << L{"a\r", "\n.b"} << QByteArray("a\r\n..b");
        QTest::newRow("mid-line across pieces") << L{"a", ".b"} << QByteArray("a.b");
    }
    void dotStuffing() {
        QFETCH(QList<QByteArray>, pieces);
        QFETCH(QByteArray, wire);
        DotStuffer s;
        QByteArray out;
        for (const QByteArray& p : pieces)
            out += s.stuff(p);
        QCOMPARE(out, wire);
    }
};

QTEST_GUILESS_MAIN(TestSmtpWire)
#include "tst_smtpwire.moc"
