// The message window: its buttons and keys, its size, plain text, and the network it keeps
// polling while it waits.
#include "controls/chameleonButton.h"
#include "conversation/frmMsg.h"
#include "core/MessageService.h"
#include "core/NetOwner.h"
#include "core/clsChat.h"
#include "core/frmImgs.h"
#include "core/modAppFnc.h"
#include "core/modGlobals.h"
#include "core/modNetCmds.h"
#include "platform/Sound.h"
#include "support/Headless.h"
#include "support/Screenshot.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QScrollBar>
#include <QSet>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>
#include <QtTest>
#include <functional>

namespace {

QList<frmMsg*> openWindows() {
    QList<frmMsg*> out;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* m = qobject_cast<frmMsg*>(w); m && m->isVisible()) out << m;
    return out;
}

// Runs `step` every 20 ms while the code under test waits in its modal loops.
class Watcher : public QObject {
  public:
    explicit Watcher(std::function<void()> step) : step_(std::move(step)) {
        connect(&timer_, &QTimer::timeout, this, [this] { step_(); });
        timer_.start(20);
    }

  private:
    std::function<void()> step_;
    QTimer timer_;
};

void clickButton(frmMsg* w, int index) {
    QTest::mouseClick(w->CMD[index], Qt::LeftButton, {}, QPoint(10, 10));
}

const QString kSep = QString(QChar(1));

} // namespace

class TestFrmMsg : public QObject {
    Q_OBJECT

    TestEnv::Headless env{TestEnv::Loopback, TestEnv::Windows};
    // The window under test answers the messages, not the guard's recorder.
    Slot<MessageService>::Override shown{Messages::service(), frmMsg::Service()};

  private slots:
    void initTestCase() { QVERIFY(env.home.isValid()); }

    // ---- buttons and keys -------------------------------------------------------------------
    void answers_data() {
        QTest::addColumn<int>("buttons");
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<int>("val");
        QTest::newRow("yes/no: y") << 1 << "y" << true << 0;
        QTest::newRow("yes/no: Y") << 1 << "Y" << true << 0;
        QTest::newRow("yes/no: n") << 1 << "n" << true << 1;
        QTest::newRow("yes/no: N") << 1 << "N" << true << 1;
        QTest::newRow("yes/no: other letter") << 1 << "o" << false << 0;
        QTest::newRow("yes/no: Escape") << 1 << "escape" << true << 1;
        QTest::newRow("yes/no: close box") << 1 << "close" << true << 1;
        QTest::newRow("yes/no: click Yes") << 1 << "click 0" << true << 0;
        QTest::newRow("yes/no: click No") << 1 << "click 1" << true << 1;
        QTest::newRow("yes/no: Space on Yes") << 1 << "space" << true << 0;
        QTest::newRow("yes/no: Alt+N") << 1 << "alt n" << true << 1;
        QTest::newRow("ok: o") << 0 << "o" << true << 0;
        QTest::newRow("ok: O") << 0 << "O" << true << 0;
        QTest::newRow("ok: n of the hidden No") << 0 << "n" << false << 0;
        QTest::newRow("ok: y") << 0 << "y" << false << 0;
        QTest::newRow("ok: Alt+N of the hidden No") << 0 << "alt n" << false << 0;
        QTest::newRow("ok: Alt+O") << 0 << "alt o" << true << 0;
        QTest::newRow("ok: Escape") << 0 << "escape" << true << 0;
        QTest::newRow("ok: close box") << 0 << "close" << true << 0;
        QTest::newRow("ok: click OK") << 0 << "click 0" << true << 0;
    }
    void answers() {
        QFETCH(int, buttons);
        QFETCH(QString, action);
        QFETCH(bool, closes);
        QFETCH(int, val);
        frmMsg w;
        w.SetMsg(QStringLiteral(
            "Are you sure you want to close Talkvane?\r\n(you will no longer be able to receive messages)"));
        w.SetType(buttons);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.CMD[0]->setFocus();
        // Keys go to the focused button, which hands on what it does not use.
        QWidget* target = w.CMD[0];
        if (action == QLatin1String("escape"))
            QTest::keyClick(target, Qt::Key_Escape);
        else if (action == QLatin1String("close"))
            w.close();
        else if (action == QLatin1String("space"))
            QTest::keyClick(target, Qt::Key_Space);
        else if (action.startsWith(QLatin1String("click ")))
            clickButton(&w, action.mid(6).toInt());
        else if (action.startsWith(QLatin1String("alt "))) {
            w.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&w));
            QTest::keyClick(target, action.at(4).toLatin1(), Qt::AltModifier);
        } else
            QTest::keyClicks(target, action);
        QCOMPARE(w.isVisible(), !closes);
        QCOMPARE(int(w.Val), val);
    }

    // Through the message service: the modal show ends and its answer comes back.
    void showMsgAnswers_data() {
        QTest::addColumn<int>("buttons");
        QTest::addColumn<int>("icon");
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("expected");
        QTest::newRow("close box on a question") << 1 << 4 << "close" << 1;
        QTest::newRow("Yes") << 1 << 4 << "y" << 0;
        QTest::newRow("No") << 1 << 2 << "n" << 1;
        QTest::newRow("close box on a notice") << 0 << 0 << "close" << 0;
        QTest::newRow("OK") << 0 << 6 << "o" << 0;
    }
    void showMsgAnswers() {
        QFETCH(int, buttons);
        QFETCH(int, icon);
        QFETCH(QString, action);
        QFETCH(int, expected);
        QPointer<frmMsg> seen;
        QString caption0;
        bool iconShown = false;
        Watcher watch([&] {
            QWidget* modal = QApplication::activeModalWidget();
            auto* w = qobject_cast<frmMsg*>(modal);
            if (!w || !w->isVisible() || seen) return;
            seen = w;
            caption0 = w->CMD[0]->Caption();
            iconShown = w->picIcon->pixmap().toImage() ==
                        frmImgs::Load().picIcon[icon].convertToFormat(QImage::Format_ARGB32_Premultiplied);
            if (action == QLatin1String("close"))
                w->close();
            else
                QTest::keyClicks(w->CMD[0], action);
        });
        QCOMPARE(modAppFnc::ShowMsg(QStringLiteral("Question?"), buttons, icon), expected);
        QVERIFY(seen);
        QCOMPARE(caption0, buttons == 1 ? QStringLiteral("&Yes") : QStringLiteral("&Ok"));
        QVERIFY(iconShown);
        QTRY_VERIFY(!seen); // unloaded after the answer
    }

    // ---- size -------------------------------------------------------------------------------
    void sizeRule_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("buttons");
        QTest::newRow("short, yes/no") << QStringLiteral("Are you sure you want to sign out?") << 1;
        QTest::newRow("short, ok") << QStringLiteral("Log Disabled.") << 0;
        QString lines;
        for (int i = 1; i <= 12; ++i)
            lines += QStringLiteral("Line %1 of a longer notice\r\n").arg(i);
        QTest::newRow("many lines, ok") << lines << 0;
        QTest::newRow("long words, yes/no")
            << QStringLiteral("Message From:Bob\r\n") + QString(600, QLatin1Char('W')) << 1;
        QString flood;
        for (int i = 1; i <= 400; ++i)
            flood += QStringLiteral("A very long message, line %1.\n").arg(i);
        QTest::newRow("longer than the screen, ok") << flood << 0;
        QTest::newRow("longer than the screen, yes/no") << flood << 1;
    }
    void sizeRule() {
        QFETCH(QString, text);
        QFETCH(int, buttons);
        frmMsg ref;
        ref.SetMsg(QStringLiteral("x"));
        ref.SetType(buttons);
        frmMsg w;
        w.SetMsg(text);
        w.SetType(buttons);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));

        const QRect label = w.lblMsg->geometry();
        const int workHeight = w.screen()->availableGeometry().height();
        // The window grows by what the label grows, and never past the work area.
        QCOMPARE(w.height() - ref.height(), label.height() - ref.lblMsg->height());
        QVERIFY(w.height() <= workHeight);
        QVERIFY(label.height() >= 32);
        for (chameleonButton* b : w.CMD) {
            // 50 twips (3 to 4 pixels) above the bottom, below the text.
            const int gap = w.height() - (b->y() + b->height());
            QVERIFY2(gap == 3 || gap == 4, qPrintable(QString::number(gap)));
            QVERIFY(b->y() > label.bottom());
            QVERIFY(w.rect().contains(b->geometry()));
        }
        // All of the text is there; what does not fit scrolls; nothing runs out sideways.
        QString expected = text;
        expected.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        QCOMPARE(w.lblMsg->toPlainText(), expected);
        const bool scrolls = w.lblMsg->verticalScrollBar()->maximum() > 0;
        QCOMPARE(scrolls, text.size() > 5000);
        QVERIFY(w.lblMsg->document()->idealWidth() <= w.lblMsg->viewport()->width() + 1);
        // The buttons: both, or OK alone at the right-hand place.
        QCOMPARE(w.CMD[1]->isHidden(), buttons == 0);
        if (buttons == 0) {
            QCOMPARE(w.CMD[0]->pos(), ref.CMD[1]->pos() + QPoint(0, w.CMD[0]->y() - ref.CMD[1]->y()));
            QCOMPARE(w.CMD[0]->Caption(), QStringLiteral("&Ok"));
        } else {
            QCOMPARE(w.CMD[0]->y(), w.CMD[1]->y());
            QVERIFY(w.CMD[0]->x() + w.CMD[0]->width() < w.CMD[1]->x());
            QCOMPARE(w.CMD[1]->Caption(), QStringLiteral("&No"));
        }
        w.SetIcon(frmImgs::Load().picIcon[buttons == 1 ? 4 : 0]);
        QString name = QString::fromLatin1(QTest::currentDataTag());
        name.replace(QLatin1Char(' '), QLatin1Char('-'))
            .remove(QLatin1Char(','))
            .replace(QLatin1Char('/'), QLatin1Char('-'));
        saveScreenshot(&w, QStringLiteral("frmMsg-") + name);
    }

    void textIsPlain() {
        const QString text =
            QStringLiteral("Message From:<b>Eve</b>\r\n<img src=\"x\"> <a href=\"y\">click</a> &amp;");
        frmMsg w;
        w.SetMsg(text);
        QCOMPARE(w.lblMsg->toPlainText(), QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n")));
        QVERIFY(!w.lblMsg->document()->toHtml().contains(QLatin1String("<b>Eve")));
        QVERIFY(!w.lblMsg->document()->toHtml().contains(QLatin1String("<img")));
    }

    // ---- the network while the window waits -------------------------------------------------
    void datagramDispatchedWhileModal() {
        TestOwner owner;
        modGlobals::Sets().UNAME = QStringLiteral("Me");
        modNetCmds::OpenNetCom(&owner, QStringLiteral("Me"));
        clsChat other;
        QElapsedTimer clock;
        bool timedOut = false;
        Watcher watch([&] {
            auto* w = qobject_cast<frmMsg*>(QApplication::activeModalWidget());
            if (!w || !w->isVisible()) return;
            if (!clock.isValid()) {
                clock.start();
                other.SendMessage(QString(), QStringLiteral("*"),
                                  QStringLiteral("Bob") + kSep + QStringLiteral("S1"));
            }
            if (owner.names.items().contains(QStringLiteral("Bob")) || clock.elapsed() > 10000) {
                timedOut = clock.elapsed() > 10000;
                clickButton(w, 0);
            }
        });
        QCOMPARE(modAppFnc::ShowMsg(QStringLiteral("Waiting..."), 0, 0), 0);
        modNetCmds::CloseNetCom(0);
        QVERIFY(!timedOut);
        QVERIFY(clock.elapsed() < 4000); // heard at one of the window's first polls
        QCOMPARE(owner.names.items(), QStringList{QStringLiteral("Bob")});
        QCOMPARE(modAppFnc::GetField(owner.records.List(0), 3, QChar(1)), QStringLiteral("1"));
    }

    // "M" datagrams that arrive while a message window waits take their turn: one message from
    // the network is open at a time, above the window that waits, and each is shown once, in
    // the order they came; the network is heard meanwhile. Nobody asked for them: none is modal.
    void messagesFromTheNetworkTakeTurns() {
        TestOwner owner;
        owner.names.AddItem(QStringLiteral("Bob")); // heard before: no presence answers in between
        owner.records.AddItem(QStringLiteral("Bob") + kSep + "0" + kSep + "0" + kSep + "Arial" + kSep + "0" +
                              kSep + "1" + kSep);
        modGlobals::Sets().UNAME = QStringLiteral("Me");
        modNetCmds::OpenNetCom(&owner, QStringLiteral("Me"));
        clsChat other;
        auto sendM = [&](const QString& text) {
            other.SendMessage(QString(), QStringLiteral("*"),
                              QStringLiteral("Bob") + kSep + QStringLiteral("M") + text);
        };
        QStringList expected;
        for (int k = 1; k <= 6; ++k)
            expected << QStringLiteral("Message From:Bob\nflood %1").arg(k);
        bool sent = false, timedOut = false, modalFromNetwork = false;
        int maxOpen = 0;
        QStringList order;
        QElapsedTimer clock;
        clock.start();
        Watcher watch([&] {
            const QList<frmMsg*> open = openWindows();
            maxOpen = qMax(maxOpen, int(open.size()));
            frmMsg* fromNetwork = nullptr;
            for (frmMsg* w : open) {
                const QString t = w->lblMsg->toPlainText();
                if (!t.startsWith(QLatin1String("Message From:"))) continue;
                fromNetwork = w;
                modalFromNetwork = modalFromNetwork || w->isModal();
                if (!order.contains(t)) order << t;
            }
            auto* top = qobject_cast<frmMsg*>(QApplication::activeModalWidget());
            if (clock.elapsed() > 60000) { // give up: unwind every window
                timedOut = true;
                for (frmMsg* w : open)
                    w->reject();
                return;
            }
            if (!sent && open.size() == 1) {
                for (int k = 1; k <= 6; ++k)
                    sendM(QStringLiteral("flood %1").arg(k));
                sendM(QStringLiteral("flood 2")); // while it waits: not shown twice
                sent = true;
            } else if (sent && fromNetwork) {
                clickButton(fromNetwork, 0); // the messages are answered as they come
            } else if (sent && top && top->isVisible() && order.size() == int(expected.size())) {
                clickButton(top, 0); // the waiting one last, once all came
            }
        });
        QCOMPARE(modAppFnc::ShowMsg(QStringLiteral("Waiting..."), 0, 0), 0);
        modNetCmds::CloseNetCom(0);
        QVERIFY(!timedOut);
        QVERIFY(!modalFromNetwork);
        QCOMPARE(maxOpen, 2);
        QCOMPARE(order, expected);
        QTRY_VERIFY(openWindows().isEmpty());
    }
};

QTEST_MAIN(TestFrmMsg)
#include "tst_frmMsg.moc"
