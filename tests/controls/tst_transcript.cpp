// The transcript box (plain-text insertion, indents, pictures, its text and rich text) and the
// send box (its length cap, separators, merge-in and AutoText keys).
#include "controls/RichTextBox.h"
#include "controls/SendBox.h"
#include "core/frmImgs.h"
#include "core/modAppFnc.h"
#include "core/modGlobals.h"
#include "support/Headless.h"
#include "support/TestFiles.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <sys/stat.h>

namespace {
const QString S(modGlobals::kSep);

// One line as the chat window writes it in the single-line style.
void singleLine(RichTextBox& box, const QString& sender, const QString& text, const QString& font,
                quint32 colour, double hanging) {
    box.SelToEnd();
    box.SetSelFontName(QStringLiteral("Arial"));
    box.SetSelColor(0x808080);
    box.SetSelIndent(3);
    box.SetSelText(sender + QStringLiteral(":\t"));
    box.SelToEnd();
    box.SetSelFontName(font);
    box.SetSelColor(colour);
    box.SetSelHangingIndent(hanging);
    box.SetSelText(text + QStringLiteral("\r\n"));
}

// What a drop or a paste by the widget itself inserts.
struct DropBox : SendBox {
    using SendBox::canInsertFromMimeData;
    using SendBox::insertFromMimeData;
};

// Braces balanced and never closed before they open, escaped ones not counted.
bool balanced(const QString& rtf) {
    int depth = 0;
    for (qsizetype i = 0; i < rtf.size(); ++i) {
        const QChar c = rtf.at(i);
        if (c == QLatin1Char('\\')) {
            ++i;
            continue;
        }
        if (c == QLatin1Char('{')) ++depth;
        if (c == QLatin1Char('}') && --depth < 0) return false;
    }
    return depth == 0;
}
} // namespace

class TestTranscript : public QObject {
    Q_OBJECT
    TestEnv::Headless env;

  private slots:
    void initTestCase() { frmImgs::Load(); }

    // --- transcript box ----------------------------------------------------------------------

    void networkTextStaysText() {
        RichTextBox box;
        singleLine(box, QStringLiteral("<b>Bob</b>"), QStringLiteral("<img src=x> &amp; \x01"),
                   QStringLiteral("Arial"), 0, 40);
        QCOMPARE(box.Text(), QStringLiteral("<b>Bob</b>:\t<img src=x> &amp; \x01\r\n"));
        QCOMPARE(box.document()->toPlainText().count(QChar(QChar::ObjectReplacementCharacter)), 0);
    }

    void indentsFontsAndColours() {
        RichTextBox box;
        singleLine(box, QStringLiteral("Bob"), QStringLiteral("hello there"), QStringLiteral("Courier New"),
                   0x0000FF, 40.5);
        const QTextBlock b = box.document()->firstBlock();
        QCOMPARE(RichTextBox::BlockIndent(b), 3.0);
        QCOMPARE(RichTextBox::BlockHanging(b), 40.5);
        QCOMPARE(b.blockFormat().leftMargin(), 43.5);
        QCOMPARE(b.blockFormat().textIndent(), -40.5);
        QCOMPARE(b.blockFormat().tabPositions().size(), 1);
        QCOMPARE(b.blockFormat().tabPositions().first().position, 40.5);
        auto it = b.begin();
        const QTextCharFormat name = it.fragment().charFormat();
        QCOMPARE(it.fragment().text(), QStringLiteral("Bob:\t"));
        QCOMPARE(name.fontFamilies().toStringList().first(), QStringLiteral("Arial"));
        QCOMPARE(name.foreground().color(), QColor(0x80, 0x80, 0x80));
        ++it;
        const QTextCharFormat msg = it.fragment().charFormat();
        QCOMPARE(it.fragment().text(), QStringLiteral("hello there"));
        QCOMPARE(msg.fontFamilies().toStringList().first(), QStringLiteral("Courier New"));
        QCOMPARE(msg.foreground().color(), QColor(Qt::red)); // 0x0000FF is red: red is the low byte
        // The next paragraph starts from the last one's format until it is set again.
        box.SelToEnd();
        box.SetSelIndent(15);
        box.SetSelHangingIndent(0);
        box.SetSelText(QStringLiteral("x"));
        const QTextBlock second = b.next();
        QCOMPARE(second.blockFormat().leftMargin(), 15.0);
        QCOMPARE(second.blockFormat().textIndent(), 0.0);
        QVERIFY(second.blockFormat().tabPositions().isEmpty());
    }

    void textReadsCrLfPerParagraphAndClears() {
        RichTextBox box;
        box.SetSelText(QStringLiteral("a\r\nb\rc\nd\r\n"));
        QCOMPARE(box.Text(), QStringLiteral("a\r\nb\r\nc\r\nd\r\n"));
        box.ClearText();
        QCOMPARE(box.Text(), QString());
        box.SetSelText(QStringLiteral("new"));
        QCOMPARE(box.Text(), QStringLiteral("new"));
    }

    void picturesReadAsTheirCodes() {
        RichTextBox box;
        box.SetSelText(QStringLiteral("x:)y :-D(Y):d\r\n"));
        box.SetSelText(QStringLiteral("no code here\r\n"));
        box.InsertPictures();
        const QString plain = box.document()->toPlainText();
        QCOMPARE(plain.count(QChar(QChar::ObjectReplacementCharacter)), 4);
        QCOMPARE(box.Text(), QStringLiteral("x:)y :-D(Y):d\r\nno code here\r\n"));
        int images = 0;
        for (auto it = box.document()->firstBlock().begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat()) {
                const QString name = it.fragment().charFormat().toImageFormat().name();
                QVERIFY(!box.document()
                             ->resource(QTextDocument::ImageResource, QUrl(name))
                             .value<QImage>()
                             .isNull());
                images += it.fragment().length();
            }
        QCOMPARE(images, 4);
    }

    void picturePassScansWhatWasNotScanned() {
        RichTextBox box;
        box.SetSelText(QStringLiteral(":(\r\n"));
        box.SelToEnd();
        box.SetSelText(QStringLiteral(":P\r\n")); // written with pictures off: no pass
        box.SelToEnd();
        box.SetSelText(QStringLiteral(";)\r\n"));
        box.InsertPictures();
        QCOMPARE(box.document()->toPlainText().count(QChar(QChar::ObjectReplacementCharacter)), 3);
        box.SelToEnd();
        box.SetSelText(QStringLiteral("(N)\r\n"));
        box.InsertPictures();
        QCOMPARE(box.document()->toPlainText().count(QChar(QChar::ObjectReplacementCharacter)), 4);
        QCOMPARE(box.Text(), QStringLiteral(":(\r\n:P\r\n;)\r\n(N)\r\n"));
    }

    void rtf_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("font");
        QTest::addColumn<int>("colour");
        QTest::addColumn<QStringList>("contains");
        QTest::newRow("escapes") << "a\\b{c}"
                                 << "Arial" << 0 << QStringList({"a\\\\b\\{c\\}"});
        QTest::newRow("tab") << "a\tb"
                             << "Arial" << 0 << QStringList({"a\\tab b"});
        QTest::newRow("latin and euro")
            << QString::fromUtf8("é€") << "Arial" << 0 << QStringList({"\\u233?\\u8364?"});
        QTest::newRow("beyond the BMP")
            << QString::fromUtf8("\xF0\x9F\x98\x80") << "Arial" << 0 << QStringList({"\\u-10179?\\u-8704?"});
        QTest::newRow("font name") << "x"
                                   << "We{ird};Font\\" << 0
                                   << QStringList({"\\fnil We\\{ird\\}\\u59?Font\\\\;}"});
        QTest::newRow("colour table") << "x"
                                      << "Arial" << 0x123456 << QStringList({"\\red86\\green52\\blue18;"});
        QTest::newRow("twips") << "x"
                               << "Arial" << 0 << QStringList({"\\pard\\li945\\fi-900\\tx945 "});
        QTest::newRow("picture") << ":)"
                                 << "Arial" << 0
                                 << QStringList({"{\\pict\\pngblip\\picw", "\\picwgoal", " 89504e47"});
    }
    void rtf() {
        QFETCH(QString, text);
        QFETCH(QString, font);
        QFETCH(int, colour);
        QFETCH(QStringList, contains);
        RichTextBox box;
        singleLine(box, QStringLiteral("Bob"), text, font, quint32(colour), 60);
        box.InsertPictures();
        const QString rtf = box.TextRTF();
        QVERIFY(rtf.startsWith(QStringLiteral("{\\rtf1\\ansi")));
        QVERIFY(balanced(rtf));
        for (const QChar c : rtf)
            QVERIFY2((c.unicode() >= 0x20 && c.unicode() < 0x7F) || c == QLatin1Char('\r') ||
                         c == QLatin1Char('\n'),
                     "rich text is printable ASCII");
        for (const QString& part : contains)
            QVERIFY2(rtf.contains(part), qPrintable(part + QStringLiteral(" in ") + rtf.left(600)));
    }

    // --- send box ------------------------------------------------------------------------------

    void capAndSeparators_data() {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("inserted");
        QTest::addColumn<QString>("after");
        const QString a389(389, QLatin1Char('a'));
        QTest::newRow("separators and NUL") << ""
                                            << "a\x01"
                                               "b" +
                                                   QString(QChar(0)) + "c"
                                            << "a b c";
        QTest::newRow("cut at 390") << "" << QString(400, QLatin1Char('x')) << QString(390, QLatin1Char('x'));
        QTest::newRow("line break counts two") << ""
                                               << "a\r\nb"
                                               << "a\r\nb";
        QTest::newRow("a half-fitting break is left out") << a389 << "\nz" << a389;
        QTest::newRow("one left") << a389 << "yz" << a389 + "y";
        QTest::newRow("pair not split") << a389 << QString::fromUtf8("\xF0\x9F\x98\x80") << a389;
    }
    void capAndSeparators() {
        QFETCH(QString, before);
        QFETCH(QString, inserted);
        QFETCH(QString, after);
        SendBox box;
        box.SetText(before);
        box.moveCursor(QTextCursor::End);
        box.SetSelText(inserted);
        QCOMPARE(box.Text(), after);
        QVERIFY(box.TextLength() <= SendBox::kMaxLength);
        // Paste and drop take the same road.
        SendBox pasted;
        pasted.SetText(before);
        pasted.moveCursor(QTextCursor::End);
        QApplication::clipboard()->setText(inserted);
        pasted.Paste();
        QCOMPARE(pasted.Text(), after);
        DropBox dropped;
        dropped.SetText(before);
        dropped.moveCursor(QTextCursor::End);
        QMimeData data;
        data.setText(inserted);
        QVERIFY(dropped.canInsertFromMimeData(&data));
        dropped.insertFromMimeData(&data);
        QCOMPARE(dropped.Text(), after);
    }

    void typingStopsAtTheCap() {
        SendBox box;
        box.SetText(QString(389, QLatin1Char('a')));
        box.moveCursor(QTextCursor::End);
        QTest::keyClicks(&box, QStringLiteral("bc"));
        QCOMPARE(box.TextLength(), 390);
        QVERIFY(box.Text().endsWith(QStringLiteral("ab")));
        QTest::keyClick(&box, Qt::Key_Return, Qt::ControlModifier); // would make 392
        QCOMPARE(box.TextLength(), 390);
        box.textCursor().deletePreviousChar();
        QTest::keyClick(&box, Qt::Key_Backspace);
        QCOMPARE(box.TextLength(), 388);
        QTest::keyClick(&box, Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(box.Text().right(2), QStringLiteral("\r\n"));
        QCOMPARE(box.TextLength(), 390);
    }

    void enterAsksToSend() {
        SendBox box;
        int asked = 0;
        connect(&box, &SendBox::SendRequested, this, [&] { ++asked; });
        QTest::keyClick(&box, Qt::Key_Return);
        QTest::keyClick(&box, Qt::Key_Enter, Qt::KeypadModifier);
        QTest::keyClick(&box, Qt::Key_Return, Qt::ShiftModifier);
        QCOMPARE(asked, 3);
        QCOMPARE(box.Text(), QString());
        QTest::keyClick(&box, Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(asked, 3);
        QCOMPARE(box.Text(), QStringLiteral("\r\n"));
    }

    void autoTextKeys_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("index");
        QTest::newRow("Ctrl+1") << int(Qt::Key_1) << int(Qt::ControlModifier) << 0;
        QTest::newRow("Ctrl+9") << int(Qt::Key_9) << int(Qt::ControlModifier) << 8;
        QTest::newRow("Ctrl+0") << int(Qt::Key_0) << int(Qt::ControlModifier) << 9;
        QTest::newRow("Ctrl+Shift+1")
            << int(Qt::Key_Exclam) << int(Qt::ControlModifier | Qt::ShiftModifier) << -1;
        QTest::newRow("Ctrl+Shift+1 as digit")
            << int(Qt::Key_1) << int(Qt::ControlModifier | Qt::ShiftModifier) << -1;
        QTest::newRow("Ctrl+Alt+1") << int(Qt::Key_1) << int(Qt::ControlModifier | Qt::AltModifier) << -1;
        QTest::newRow("keypad Ctrl+1")
            << int(Qt::Key_1) << int(Qt::ControlModifier | Qt::KeypadModifier) << -1;
        QTest::newRow("plain 1") << int(Qt::Key_1) << int(Qt::NoModifier) << -1;
        QTest::newRow("Ctrl+A") << int(Qt::Key_A) << int(Qt::ControlModifier) << -1;
    }
    void autoTextKeys() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(int, index);
        const QKeyEvent e(QEvent::KeyPress, key, Qt::KeyboardModifiers(modifiers));
        QCOMPARE(SendBox::AutoTextIndex(&e), index);
    }

    void autoTextMenu() {
        auto& cat = modGlobals::Sets().CAT;
        for (int i = 0; i < 10; ++i)
            cat[i] = QStringLiteral("t%1").arg(i);
        cat[3] = QStringLiteral("a&b\x01");
        SendBox box;
        QMenu menu;
        SendBox::BuildAutoText(&menu, &box);
        const QList<QAction*> items = menu.actions();
        QCOMPARE(items.size(), 10);
        QCOMPARE(items[0]->text(), QStringLiteral("&1. t0\tCtrl+1"));
        QCOMPARE(items[9]->text(), QStringLiteral("&0. t9\tCtrl+0"));
        QCOMPARE(items[3]->text(), QStringLiteral("&4. a&&b\x01\tCtrl+4"));
        items[3]->trigger();
        QCOMPARE(box.Text(), QStringLiteral("a&b "));
    }

    void mergeIn_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("utf-8") << QByteArray("caf\xC3\xA9\nx") << QString::fromUtf8("café\r\nx\r\n");
        QTest::newRow("windows-1252") << QByteArray("caf\xE9\r\n\x80") << QString::fromUtf8("café\r\n€\r\n");
        QTest::newRow("CR alone") << QByteArray("a\rb") << QStringLiteral("a\r\nb\r\n");
        QTest::newRow("empty") << QByteArray() << QString();
    }
    void mergeIn() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        const QString path = QDir(env.folder()).filePath(QStringLiteral("merge.txt"));
        writeAll(path, bytes);
        QString got, error;
        QVERIFY(SendBox::ReadMergeIn(path, got, error));
        QCOMPARE(got, text);
    }

    void mergeInLimits() {
        // A big UTF-8 file: 64 KiB of it, its last character not cut in two.
        QByteArray big;
        while (big.size() < SendBox::kMergeInLimit + 10)
            big += "\xC3\xA9";
        big.prepend("a"); // the limit falls inside a character
        const QString path = QDir(env.folder()).filePath(QStringLiteral("big.txt"));
        writeAll(path, big);
        QString got, error;
        QVERIFY(SendBox::ReadMergeIn(path, got, error));
        QVERIFY(!got.contains(QChar(QChar::ReplacementCharacter)));
        QCOMPARE(got.size(), 1 + (SendBox::kMergeInLimit - 1) / 2 + 2);
        // Not a regular file, or none at all: the reason, and nothing read.
        const QString fifo = QDir(env.folder()).filePath(QStringLiteral("fifo"));
        QCOMPARE(::mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
        got.clear();
        QVERIFY(!SendBox::ReadMergeIn(fifo, got, error));
        QVERIFY(!error.isEmpty());
        QVERIFY(!SendBox::ReadMergeIn(env.folder(), got, error));
        QVERIFY(!SendBox::ReadMergeIn(QDir(env.folder()).filePath(QStringLiteral("none.txt")), got, error));
        QVERIFY(!error.isEmpty());
        QVERIFY(got.isEmpty());
    }
};

QTEST_MAIN(TestTranscript)
#include "tst_transcript.moc"
