// The file-transfer progress window and the alert history.
#include "controls/chameleonButton.h"
#include "conversation/frmMsgHist.h"
#include "conversation/frmPrg.h"
#include "core/clsFileXfer.h"
#include "core/modAppFnc.h"
#include "platform/Colors.h"
#include "support/Headless.h"
#include "support/Screenshot.h"
#include "support/TestEnv.h"

#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <limits>

namespace {
constexpr qint64 kMax = std::numeric_limits<qint64>::max();

struct Prg {
    qint64 done, total;
};
} // namespace

Q_DECLARE_METATYPE(Prg)

class TestNotices : public QObject {
    Q_OBJECT
    TestEnv::Headless env{TestEnv::NoNetwork, TestEnv::Windows};

    static QStringList rows(const frmMsgHist& h) {
        QStringList out;
        for (int i = 0; i < h.lstHist->count(); ++i)
            out << h.lstHist->item(i)->text();
        return out;
    }
    // The row text without its time.
    static QString rowBody(const QString& row) { return row.mid(row.indexOf(QLatin1Char('\t')) + 1); }

  private slots:
    void cleanup() {
        if (frmPrg* p = frmPrg::Loaded()) p->Unload();
        QTRY_VERIFY(!frmPrg::Loaded());
        frmMsgHist::Load().ResetMsgLst();
        frmMsgHist::Load().hide();
        env.messages.shown.clear();
        env.messages.answers.clear();
    }

    // --- progress ---------------------------------------------------------------------------

    void progressIsOneWindow() {
        QVERIFY(!frmPrg::Loaded());
        frmPrg& a = frmPrg::Load();
        QCOMPARE(&frmPrg::Load(), &a);
        QVERIFY(a.isHidden()); // the file-transfer code sets the labels first
        QCOMPARE(a.windowTitle(), QStringLiteral("File Transfer Progress - Talkvane3"));
        QPointer<frmPrg> w = &a;
        a.Unload();
        QVERIFY(!frmPrg::Loaded()); // at once, though the window goes a moment later
        QTRY_VERIFY(w.isNull());
        frmPrg& again = frmPrg::Load(); // a new window after the unload
        QCOMPARE(frmPrg::Loaded(), &again);
    }

    void progressCounts_data() {
        QTest::addColumn<QList<Prg>>("calls");
        QTest::addColumn<QString>("bytes");
        QTest::addColumn<QString>("percent");
        QTest::addColumn<double>("fill"); // share of the bar
        QTest::newRow("more than the total") << QList<Prg>{{150, 100}} << "100 / 100"
                                             << "100%" << 1.0;
        QTest::newRow("a third") << QList<Prg>{{1, 3}} << "1 / 3"
                                 << "33%" << 1.0 / 3;
        QTest::newRow("a total of 0 keeps the rest") << QList<Prg>{{50, 100}, {0, 0}} << "0 / 0"
                                                     << "50%" << 0.5;
        QTest::newRow("past 2 GiB") << QList<Prg>{{3000000000LL, 4000000000LL}} << "3000000000 / 4000000000"
                                    << "75%" << 0.75;
        QTest::newRow("the 64-bit maximum")
            << QList<Prg>{{kMax, kMax}} << QStringLiteral("%1 / %1").arg(kMax) << "100%" << 1.0;
        QTest::newRow("one short of the maximum")
            << QList<Prg>{{kMax - 1, kMax}} << QStringLiteral("%1 / %2").arg(kMax - 1).arg(kMax) << "99%"
            << 1.0;
        QTest::newRow("nothing yet clears the bar") << QList<Prg>{{60, 100}, {0, 100}} << "0 / 100"
                                                    << "0%" << 0.0;
        QTest::newRow("negative done") << QList<Prg>{{-5, 100}} << "0 / 100"
                                       << "0%" << 0.0;
        QTest::newRow("negative total") << QList<Prg>{{25, 100}, {10, -1}} << "0 / 0"
                                        << "25%" << 0.25;
    }
    void progressCounts() {
        QFETCH(QList<Prg>, calls);
        QFETCH(QString, bytes);
        QFETCH(QString, percent);
        QFETCH(double, fill);
        frmPrg& w = frmPrg::Load();
        for (const Prg& c : calls)
            w.SetPrg(c.done, c.total);
        QCOMPARE(w.lblByt->text(), bytes);
        QCOMPARE(w.lblP->text(), percent);
        const int width = w.picPrg->width();
        QCOMPARE(w.BarFill(), qRound(fill * width));
        // The bar shows the stored width: filled up to it, empty after it.
        const QImage bar = w.picPrg->grab().toImage();
        const QColor fillColour = w.picPrg->palette().color(QPalette::Highlight);
        if (w.BarFill() > 0) QCOMPARE(bar.pixelColor(w.BarFill() - 1, bar.height() / 2), fillColour);
        if (w.BarFill() < width) QCOMPARE(bar.pixelColor(w.BarFill(), bar.height() / 2), QColor(Qt::white));
    }

    void progressArithmetic_data() {
        QTest::addColumn<qint64>("done");
        QTest::addColumn<qint64>("total");
        QTest::addColumn<int>("percent");
        QTest::addColumn<int>("bar"); // of 300 pixels
        QTest::newRow("half rounds up") << qint64(1) << qint64(600) << 0 << 1;
        QTest::newRow("just under half") << qint64(1) << qint64(601) << 0 << 0;
        QTest::newRow("done x 100 past 64 bits") << kMax / 2 << kMax << 49 << 150;
        QTest::newRow("all") << kMax << kMax << 100 << 300;
    }
    void progressArithmetic() {
        QFETCH(qint64, done);
        QFETCH(qint64, total);
        QFETCH(int, percent);
        QFETCH(int, bar);
        QCOMPARE(frmPrg::Percent(done, total), percent);
        QCOMPARE(frmPrg::BarWidth(done, total, 300), bar);
    }

    void progressStates() {
        frmPrg& w = frmPrg::Load();
        const QString texts[3] = {QStringLiteral("Waiting for reply..."),
                                  QStringLiteral("Transferring file..."),
                                  QStringLiteral("File transfer complete.")};
        for (int s = 0; s < 3; ++s) {
            w.SetStat(static_cast<qint16>(s));
            QCOMPARE(w.lblStat->text(), texts[s]);
        }
        w.SetStat(7);
        QCOMPARE(w.lblStat->text(), QString());
        w.lblTo->setText(QStringLiteral("<b>Ann</b>"));
        w.lblFile->setText(QStringLiteral("/home/ann/report.txt"));
        w.SetStat(1);
        w.SetPrg(3000000000LL, 4000000000LL);
        QCOMPARE(w.lblTo->textFormat(), Qt::PlainText);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        saveScreenshot(&w, QStringLiteral("frmPrg"));
    }

    // The file transfer reaches the window only through its progress slot.
    void progressDrivenByTheTransfer() {
        frmPrg::Install();
        XferProgress& p = XferWindows::progress().get();
        p.SetPrg(1, 2); // nothing loaded: nothing happens
        QVERIFY(!frmPrg::Loaded());
        p.Open(QStringLiteral("Ann"), QStringLiteral("/tmp/a.txt"));
        frmPrg* w = frmPrg::Loaded();
        QVERIFY(w);
        QVERIFY(w->isVisible());
        QCOMPARE(w->lblTo->text(), QStringLiteral("Ann"));
        QCOMPARE(w->lblFile->text(), QStringLiteral("/tmp/a.txt"));
        p.SetStat(1);
        QCOMPARE(w->lblStat->text(), QStringLiteral("Transferring file..."));
        p.SetPrg(500, 1000);
        QCOMPARE(w->lblP->text(), QStringLiteral("50%"));
        QPointer<frmPrg> gone = w;
        p.Unload();
        QVERIFY(!frmPrg::Loaded());
        QTRY_VERIFY(gone.isNull());
        XferWindows::progress().set(nullptr);
    }

    // --- history ----------------------------------------------------------------------------

    void historyIsOneHiddenWindow() {
        frmMsgHist& h = frmMsgHist::Load();
        QCOMPARE(&frmMsgHist::Load(), &h);
        QCOMPARE(frmMsgHist::Loaded(), &h);
        QVERIFY(h.isHidden());
        QCOMPARE(h.windowTitle(), QStringLiteral("Alert History - Talkvane3"));
        QCOMPARE(h.lblCap[1]->text(), QStringLiteral("History:   (most recient first)"));
        QCOMPARE(h.Newest(), qint16(-1));
    }

    void historyRowsNewestFirstAfterTheWrap() {
        frmMsgHist& h = frmMsgHist::Load();
        for (int i = 1; i <= 31; ++i)
            h.AddMsg(QStringLiteral("s%1").arg(i), QStringLiteral("message %1").arg(i));
        const QStringList r = rows(h);
        QCOMPARE(r.size(), 30);
        QCOMPARE(rowBody(r.first()), QStringLiteral("s31\t\"message 31\""));
        QCOMPARE(rowBody(r.last()), QStringLiteral("s2\t\"message 2\""));
        for (int i = 0; i < 30; ++i)
            QCOMPARE(rowBody(r.at(i)), QStringLiteral("s%1\t\"message %1\"").arg(31 - i));
        // The time of day as the log writes it.
        QVERIFY(QRegularExpression(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d\\t")).match(r.first()).hasMatch());
        // Every row previews its own alert, wherever it lies in the ring.
        for (int i = 0; i < 30; ++i) {
            h.lstHist->setCurrentRow(i);
            h.lstHist_Click();
            QCOMPARE(h.txtPrev->toPlainText(), QStringLiteral("message %1").arg(31 - i));
        }
        h.lstHist->clearSelection();
        h.lstHist_Click();
        QCOMPARE(h.txtPrev->toPlainText(), QString());
    }

    void historyRowText_data() {
        QTest::addColumn<QString>("sender");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("row");
        const QString thirty = QStringLiteral("abcdefghijklmnopqrstuvwxyz0123");
        QTest::newRow("30 characters whole") << "Ann" << thirty << "Ann\t\"" + thirty + "\"";
        QTest::newRow("31 characters cut") << "Ann" << thirty + "4"
                                           << "Ann\t\"" + thirty + "...\"";
        QTest::newRow("an empty sender lists") << ""
                                               << "hi"
                                               << "\t\"hi\"";
        QTest::newRow("markup stays text") << "Bob"
                                           << "<b>x</b>"
                                           << "Bob\t\"<b>x</b>\"";
        QTest::newRow("CR LF is one break") << "Bob"
                                            << "a\r\nb"
                                            << "Bob\t\"a\nb\"";
    }
    void historyRowText() {
        QFETCH(QString, sender);
        QFETCH(QString, text);
        QFETCH(QString, row);
        frmMsgHist& h = frmMsgHist::Load();
        h.AddMsg(sender, text);
        QCOMPARE(rows(h).size(), 1);
        QCOMPARE(rowBody(rows(h).first()), row);
        h.lstHist->setCurrentRow(0);
        h.lstHist_Click();
        QCOMPARE(h.txtPrev->toPlainText(), modAppFnc::PlainLines(text));
    }

    void historyClearAsks() {
        frmMsgHist& h = frmMsgHist::Load();
        h.AddMsg(QStringLiteral("Ann"), QStringLiteral("one"));
        h.AddMsg(QStringLiteral("Bob"), QStringLiteral("two"));
        h.show();
        QVERIFY(QTest::qWaitForWindowExposed(&h));
        h.lstHist->setCurrentRow(0);
        h.lstHist_Click();
        env.messages.answers = {1}; // No
        QTest::mouseClick(h.cmdClear, Qt::LeftButton);
        QCOMPARE(env.messages.shown.size(), std::size_t(1));
        QCOMPARE(env.messages.shown[0].text,
                 QStringLiteral("Are you sure you want to clear the message history?"));
        QCOMPARE(env.messages.shown[0].buttons, 1);
        QCOMPARE(env.messages.shown[0].icon, 2);
        QCOMPARE(rows(h).size(), 2);
        QCOMPARE(h.txtPrev->toPlainText(), QStringLiteral("two"));
        env.messages.answers = {0}; // Yes
        h.cmdClear_Click();
        QCOMPARE(rows(h).size(), 0);
        QCOMPARE(h.txtPrev->toPlainText(), QString());
        QCOMPARE(h.Newest(), qint16(-1));
        h.AddMsg(QStringLiteral("Cy"), QStringLiteral("three"));
        QCOMPARE(rows(h).size(), 1);
        QCOMPARE(h.Newest(), qint16(0));
    }

    void historyHidesInsteadOfClosing() {
        frmMsgHist& h = frmMsgHist::Load();
        QPointer<frmMsgHist> w = &h;
        h.AddMsg(QStringLiteral("Ann"), QStringLiteral("kept"));
        h.show();
        QVERIFY(QTest::qWaitForWindowExposed(&h));
        h.lstHist->setCurrentRow(0);
        h.lstHist_Click();
        saveScreenshot(&h, QStringLiteral("frmMsgHist"));
        QVERIFY(!h.close()); // the close box
        QVERIFY(h.isHidden());
        QCoreApplication::processEvents();
        QVERIFY(!w.isNull());
        h.show();
        QTest::mouseClick(h.cmdHide, Qt::LeftButton);
        QVERIFY(h.isHidden());
        QCOMPARE(rows(h).size(), 1);
    }
};

QTEST_MAIN(TestNotices)
#include "tst_notices.moc"
