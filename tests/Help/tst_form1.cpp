// The support mail program's window: what it shows at load, that nothing but its own end
// closes it, the exit animation, dropped files, the size tooltip and the explanation box.
#include "Help/Form1.h"
#include "platform/ProgramFolder.h"
#include "platform/Twips.h"
#include "support/PlatformHeadless.h"
#include "support/PlatformRecorders.h"
#include "support/Screenshot.h"
#include "support/TestFiles.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDropEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <csignal>

using namespace Help;

class TestForm1 : public QObject {
    Q_OBJECT
  private:
    TestEnv::PlatformHeadless env;
    int& ended_ = env.end.ended;
    QRect endGeometry_;
    QPointer<Form1> current_;

  private slots:
    void initTestCase() { qunsetenv("QX3_SMTP_SERVER"); }
    void init() {
        env.reset();
        env.end.onEnd = [this] {
            if (current_) endGeometry_ = current_->geometry();
        };
    }

    void load() {
        Form1 f;
        f.show();
        QCOMPARE(f.windowTitle(), QStringLiteral("Talkvane3 Help System"));
        QCOMPARE(f.Tobox->text(), QStringLiteral("support@example.com"));
        QCOMPARE(f.Recipients(), QStringList{QStringLiteral("support@example.com")});
        QCOMPARE(f.Frombox->text(), QStringLiteral("you@example.com"));
        QCOMPARE(f.MailServer->currentText(), QStringLiteral("mail.example.com"));
        QVERIFY(f.chksendUser->isChecked());
        QVERIFY(f.ChkSendLog->isChecked());
        QCOMPARE(f.LBL[3]->text(), QStringLiteral("You should receive an email within the next few minutes "
                                                  "confirming that your email has been received."));
        QVERIFY(!f.fraDown->isVisible());
        QVERIFY(!(f.windowFlags() & Qt::WindowCloseButtonHint));
        saveScreenshot(&f, QStringLiteral("help_form1"));
    }

    void serverFromTheEnvironment() {
        qputenv("QX3_SMTP_SERVER", "smtp.test.example:2525");
        Form1 f;
        qunsetenv("QX3_SMTP_SERVER");
        QCOMPARE(f.MailServer->currentText(), QStringLiteral("smtp.test.example:2525"));
    }

    void recipientsSplitAtCommas() {
        Form1 f;
        f.SetTobox(QStringLiteral("a@example.com, b@example.com"));
        QCOMPARE(f.Recipients(),
                 (QStringList{QStringLiteral("a@example.com"), QStringLiteral(" b@example.com")}));
    }

    void closeIsRefused() {
        Form1 f;
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        QVERIFY(!f.close());
        QVERIFY(f.isVisible());
        QCOMPARE(ended_, 0);
    }

    void exitShrinksThenEnds() {
        auto* f = new Form1;
        current_ = f;
        f->show();
        QVERIFY(QTest::qWaitForWindowExposed(f));
        const QRect before = f->geometry();
        f->btnExit->click();
        QCOMPARE(ended_, 1);
        // Shrunk to a strip 30 twips high and at most 2000 twips wide before the end.
        const double dpiX = Twips::dpiX(f), dpiY = Twips::dpiY(f);
        QVERIFY2(endGeometry_.height() <= qMax(1, Twips::toPx(30, dpiY)) + 1,
                 qPrintable(QString::number(endGeometry_.height())));
        QVERIFY(endGeometry_.width() <= Twips::toPx(2000, dpiX) + 1);
        QVERIFY(endGeometry_.width() < before.width());
        delete f;
    }

    void dropsListFilesNotFolders() {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("dump.txt"));
        writeAll(file, QByteArray(1536, 'x'));
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder")));
        Form1 f;
        f.show();
        QMimeData mime;
        mime.setUrls(
            {QUrl::fromLocalFile(dir.filePath(QStringLiteral("folder"))), QUrl::fromLocalFile(file)});
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(f.AttachmentList->viewport(), &enter);
        QVERIFY(enter.isAccepted());
        QApplication::sendEvent(f.AttachmentList->viewport(), &drop);
        QCOMPARE(f.AttachmentList->count(), 1);
        QCOMPARE(f.AttachmentList->item(0)->text(), file);
        QCOMPARE(f.AttachmentList->currentRow(), 0);
        // The tooltip gives the size in KB.
        f.AttachmentList_Click();
        QCOMPARE(f.AttachmentList->toolTip(), file + QStringLiteral(" (1.5 KB)"));
    }

    void sendRebuildsTheList() {
        QTemporaryDir dir;
        const QString dropped = dir.filePath(QStringLiteral("extra.bin"));
        writeAll(dropped, "x");
        Form1 f;
        f.AttachmentList_OLEDragDrop({dropped});
        f.Frombox->setText(QStringLiteral("not an address"));
        f.SendMimeConnect->click();
        QStringList listed;
        for (int i = 0; i < f.AttachmentList->count(); ++i)
            listed << f.AttachmentList->item(i)->text();
        QCOMPARE(listed, (QStringList{ProgramFolder::file(QStringLiteral("User.con")),
                                      ProgramFolder::file(QStringLiteral("Log.txt")), dropped}));
    }

    void twoDecimals_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("1536 bytes in KB") << 1536 / 1024.0 << QStringLiteral("1.5");
        QTest::newRow("2097153 bytes in MB") << 2097153 / 1048576.0 << QStringLiteral("2");
        QTest::newRow("zero") << 0.0 << QStringLiteral("0");
        QTest::newRow("rounds up") << 1234 / 1024.0 << QStringLiteral("1.21");
        QTest::newRow("two places") << 3.25 << QStringLiteral("3.25");
        QTest::newRow("to a whole") << 9.999 << QStringLiteral("10");
    }
    void twoDecimals() {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(Form1::TwoDecimals(value), text);
    }

    void whyTheseFiles() {
        BoxRecorder& boxes = env.boxes;
        Form1 f;
        f.CMDfiles->click();
        QCOMPARE(boxes.shown.size(), size_t(1));
        QCOMPARE(boxes.shown[0].title, QStringLiteral("Information"));
        const QStringList paragraphs = boxes.shown[0].text.split(QStringLiteral("\r\n\r\n"));
        QCOMPARE(paragraphs.size(), 4);
        QCOMPARE(paragraphs[0], QStringLiteral("To enable us to effectively debug Talkvane we require some "
                                               "information from your copy of Talkvane."));
        QCOMPARE(paragraphs[3],
                 QStringLiteral("NOTE: You cannont just send the two files. We need a description "
                                "of the error and where it took place to try and fix it."));
    }

    void programLiesBesideTheMessengerAndEndsOnTerm() {
        // The messenger starts "Help" from its own folder.
        const QDir bin(qEnvironmentVariable("QX3_TEST_BINARY_DIR"));
        QVERIFY(QFileInfo(bin.filePath(QStringLiteral("QX3"))).isExecutable());
        const QString help = bin.filePath(QStringLiteral("Help"));
        QVERIFY(QFileInfo(help).isFile() && QFileInfo(help).isExecutable());
        QProcess p;
        p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p.start(help, {});
        QVERIFY(p.waitForStarted(10000));
        // Once it catches SIGTERM, the system's end comes at once and in order.
        const QString status = QStringLiteral("/proc/%1/status").arg(p.processId());
        auto catchesTerm = [&] {
            for (const QByteArray& line : readAll(status).split('\n'))
                if (line.startsWith("SigCgt:"))
                    return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> (SIGTERM - 1)) & 1;
            return 0ull;
        };
        QTRY_VERIFY_WITH_TIMEOUT(catchesTerm(), 20000);
        ::kill(static_cast<pid_t>(p.processId()), SIGTERM);
        QVERIFY(p.waitForFinished(20000));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 0);
    }

    void addressRefused_data() {
        QTest::addColumn<QString>("from");
        QTest::newRow("empty") << QString();
        QTest::newRow("no @") << QStringLiteral("me.example.com");
        QTest::newRow("control character") << QStringLiteral("me@example.com\tRCPT TO: <x@y>");
    }
    void addressRefused() {
        QFETCH(QString, from);
        BoxRecorder& boxes = env.boxes;
        Form1 f;
        f.show();
        f.Frombox->setText(from);
        f.SendMimeConnect->click();
        QCOMPARE(boxes.shown.size(), size_t(1));
        QCOMPARE(boxes.shown[0].text, QStringLiteral("Your email address is not valid."));
        QVERIFY(!f.InSession());
        QVERIFY(f.SendMimeConnect->isEnabled());
        QVERIFY(f.btnExit->isEnabled());
        QVERIFY(!f.fraDown->isVisible());
    }
};

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
