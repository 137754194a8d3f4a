// Alerts end to end: the router over the real loopback layer, the pop-up (size, corner,
// reply, quick replies, block, copy), the compose window's exact datagrams and its cap, the
// information requests and answers, and the history's look of a sender.
#include "controls/SendBox.h"
#include "controls/chameleonButton.h"
#include "conversation/AlertWindows.h"
#include "conversation/frmAlert.h"
#include "conversation/frmInfo.h"
#include "conversation/frmMsgHist.h"
#include "conversation/frmPop.h"
#include "conversation/frmPrg.h"
#include "core/AppRouter.h"
#include "core/SkinAtlas.h"
#include "core/clsChat.h"
#include "core/modAppFnc.h"
#include "core/modDB.h"
#include "core/modGlobals.h"
#include "core/modLangConst.h"
#include "core/modNetCmds.h"
#include "mainwin/frmMain.h"
#include "platform/Colors.h"
#include "platform/Mailslot.h"
#include "platform/OuterGeometry.h"
#include "platform/Twips.h"
#include "support/Headless.h"
#include "support/MainWindowFixture.h"
#include "support/NetPeer.h"
#include "support/Recorders.h"
#include "support/Screenshot.h"
#include "support/TestEnv.h"
#include "support/TestFiles.h"
#include "support/TrayRecorder.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <memory>

using modGlobals::Run;
using modGlobals::Sets;

namespace {
const QString S(modGlobals::kSep);
const QString N(QChar(0));

// The windows of one kind that exist now (shown or not), once closed ones are gone.
template <class W> QList<W*> windows() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QList<W*> out;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* x = qobject_cast<W*>(w)) out << x;
    return out;
}

template <class W> void closeAll() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* x = qobject_cast<W*>(w)) {
            x->setAttribute(Qt::WA_DeleteOnClose);
            x->close();
        }
    QTRY_VERIFY(windows<W>().isEmpty());
}

void sendRaw(const QString& text) {
    QVERIFY(Mailslot::send(QStringLiteral("*"), QStringLiteral("QX3"), N.toLatin1() + text.toLatin1()));
}

// Everything the ear hears until the marker it sends itself.
QStringList hearUntilMarker(clsChat& ear) {
    const QString marker = N + QStringLiteral("marker");
    ear.SendMessage(QString(), QStringLiteral("*"), QStringLiteral("marker"));
    QStringList got;
    [[maybe_unused]] const bool arrived = QTest::qWaitFor(
        [&] {
            got += ear.GetMessages();
            return got.contains(marker);
        },
        TestEnv::kNetWait);
    got.removeAll(marker);
    return got;
}

// The alert, request and block datagrams among what was heard, without the leading NUL.
QStringList commands(const QStringList& heard, const QString& letters = QStringLiteral("ARV")) {
    QStringList out;
    for (const QString& h : heard) {
        const QString d = h.mid(1);
        const qsizetype at = d.indexOf(S);
        if (at >= 0 && at + 1 < d.size() && letters.contains(d.at(at + 1))) out << d;
    }
    return out;
}

} // namespace

class TestAlerts : public QObject, TestEnv::MainWindowFixture {
    Q_OBJECT
    TestEnv::Headless env{TestEnv::Loopback, TestEnv::Windows};
    TrayRecorder tray;
    std::unique_ptr<clsChat> ear;

    TestOwner owner;

    // Sends datagrams as other computers would, then one alert from "Probe" to me, and polls until
    // the probe is in the history: everything sent before it has been handled by then.
    void arrive(const QStringList& datagrams) {
        for (QString d : datagrams)
            sendRaw(d.replace(QLatin1Char('~'), S));
        sendRaw(QStringLiteral("Probe") + S + QStringLiteral("AMe") + S + QStringLiteral("probe") + S);
        QVERIFY(QTest::qWaitFor(
            [] {
                modNetCmds::PollData();
                const frmMsgHist& h = frmMsgHist::Load();
                return h.Newest() >= 0 && h.Entry(h.Newest()).From == QLatin1String("Probe");
            },
            TestEnv::kNetWait));
    }
    // The pop-ups open now, without the probe's.
    static QList<frmPop*> pops() {
        QList<frmPop*> out;
        for (frmPop* p : windows<frmPop>())
            if (p->windowTitle() != QLatin1String("Probe")) out << p;
        return out;
    }
    int historyRows() { return frmMsgHist::Load().lstHist->count(); }
    void openLayer(const QString& name) { modNetCmds::OpenNetCom(&owner, name); }

  private slots:
    void initTestCase() {
        AppRouter::Install();
        AlertWindows::Install();
    }
    void init() {
        env.reset();
        auto& s = Sets();
        s.UNAME = QStringLiteral("Me");
        s.UCOL = 0x0000FF;
        s.UFNT = QStringLiteral("Courier New");
        s.ALTPOS = 3;
        s.SB_U = 0;
        s.AQR = {QStringLiteral("Yes"), QStringLiteral("No"), QStringLiteral("Later")};
        for (int i = 0; i < 10; ++i)
            s.CAT[static_cast<std::size_t>(i)] = QStringLiteral("auto%1").arg(i);
        frmMsgHist::Load().ResetMsgLst();
        ear = std::make_unique<clsChat>();
        ear->Init(QStringLiteral("QX3"));
    }
    void cleanup() {
        closeAll<frmPop>();
        closeAll<frmAlert>();
        closeAll<frmInfo>();
        QVERIFY(closeMain());
        if (modNetCmds::IsOpen()) modNetCmds::CloseNetCom(0);
        ear.reset();
    }

    // --- the router -------------------------------------------------------------------------

    void routerOverTheLayer_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("blocks");
        QTest::addColumn<int>("shown");
        QTest::newRow("me in another case") << "ME"
                                            << "" << 1;
        QTest::newRow("everybody") << "(All)"
                                   << "" << 1;
        QTest::newRow("everybody in another case") << "(all)"
                                                   << "" << 0;
        QTest::newRow("somebody else") << "Bob"
                                       << "" << 0;
        QTest::newRow("a sender I block") << "Me"
                                          << "ANN~" << 0;
    }
    // No main window (alerts come during sign-in too): the block list, colour 0, "Arial".
    void routerOverTheLayer() {
        QFETCH(QString, target);
        QFETCH(QString, blocks);
        QFETCH(int, shown);
        Sets().BLC = QString(blocks).replace(QLatin1Char('~'), S);
        openLayer(QStringLiteral("Me"));
        arrive({"Ann~A" + target + "~hello~"});
        QCOMPARE(pops().size(), shown);
        QCOMPARE(env.sounds.heard.size(), shown + 1); // and the probe's
        QCOMPARE(historyRows(), shown + 1);
        if (!shown) return;
        frmPop* pop = pops().first();
        QCOMPARE(pop->windowTitle(), QStringLiteral("Ann"));
        QCOMPARE(pop->Msg(), QStringLiteral("hello"));
        QCOMPARE(pop->lblMsg->palette().color(QPalette::Text), Colors::fromBgr(0));
        QCOMPARE(pop->lblMsg->font().family(), QStringLiteral("Arial"));
        QVERIFY(pop->windowFlags() & Qt::WindowStaysOnTopHint);
        const frmMsgHist& h = frmMsgHist::Load();
        QCOMPARE(h.Entry((h.Newest() + frmMsgHist::kEntries - 1) % frmMsgHist::kEntries).Msg,
                 QStringLiteral("hello"));
    }

    void routerTakesTheLookFromTheMainWindow_data() {
        QTest::addColumn<QString>("colour");
        QTest::addColumn<quint32>("shown");
        QTest::newRow("a number") << "255" << quint32(0x0000FF);
        QTest::newRow("no number") << "red" << quint32(0);
        QTest::newRow("masked to 24 bits") << "4278190335" << quint32(0x0000FF);
    }
    void routerTakesTheLookFromTheMainWindow() {
        QFETCH(QString, colour);
        QFETCH(quint32, shown);
        QVERIFY(openMain());
        parse("Ann~C" + colour);
        parse(QStringLiteral("Ann~FTahoma"));
        arrive({QStringLiteral("Ann~AMe~hi~")});
        QCOMPARE(pops().size(), 1);
        QCOMPARE(pops().first()->lblMsg->palette().color(QPalette::Text), Colors::fromBgr(shown));
        QCOMPARE(pops().first()->lblMsg->font().family(), QStringLiteral("Tahoma"));
        // A user the main window blocks gets nowhere.
        win->AddBlock(QStringLiteral("Ann"));
        closeAll<frmPop>();
        arrive({QStringLiteral("Ann~AMe~again~")});
        QCOMPARE(pops().size(), 0);
    }

    // --- pop-up size and place ----------------------------------------------------------------

    void popSize_data() {
        QTest::addColumn<QSize>("label");
        QTest::addColumn<QSize>("work");
        QTest::addColumn<QSize>("outer");
        const QSize work(19200, 14400);
        QTest::newRow("one word") << QSize(400, 200) << work << QSize(2000, 1500);
        QTest::newRow("long") << QSize(6000, 3000) << work << QSize(6100, 3905);
        QTest::newRow("just the minimum") << QSize(1900, 595) << work << QSize(2000, 1500);
        QTest::newRow("huge") << QSize(40000, 40000) << work << work;
        QTest::newRow("no work area known") << QSize(40000, 100) << QSize() << QSize(40100, 1500);
    }
    void popSize() {
        QFETCH(QSize, label);
        QFETCH(QSize, work);
        QFETCH(QSize, outer);
        QCOMPARE(frmPop::OuterSizeTwips(label, 405, work), outer);
    }

    void popCorner_data() {
        QTest::addColumn<int>("altPos");
        QTest::addColumn<QPoint>("at");
        QTest::newRow("0 top left") << 0 << QPoint(1500, 750);
        QTest::newRow("1 top right") << 1 << QPoint(18500, 750);
        QTest::newRow("2 bottom left") << 2 << QPoint(1500, 12750);
        QTest::newRow("3 bottom right") << 3 << QPoint(18500, 12750);
        QTest::newRow("7 where it was laid out") << 7 << QPoint(7, 9);
    }
    void popCorner() {
        QFETCH(int, altPos);
        QFETCH(QPoint, at);
        // A work area beside a panel on the left and one at the top.
        const QRect work(1500, 750, 20000, 14000);
        QCOMPARE(frmPop::CornerTwips(altPos, work, QSize(3000, 2000), QPoint(7, 9)), at);
    }

    void popSitsInTheCornerOnScreen_data() {
        QTest::addColumn<int>("altPos");
        QTest::newRow("top left") << 0;
        QTest::newRow("bottom right") << 3;
    }
    void popSitsInTheCornerOnScreen() {
        QFETCH(int, altPos);
        Sets().ALTPOS = static_cast<qint16>(altPos);
        QPointer<frmPop> pop = AlertWindows::MakePop(QStringLiteral("Lunch?"), QStringLiteral("Ann"));
        pop->show();
        QVERIFY(QTest::qWaitForWindowExposed(pop));
        const QRect area = pop->screen()->availableGeometry();
        const QRect outer = pop->frameGeometry();
        if (altPos == 0) QCOMPARE(outer.topLeft(), area.topLeft());
        if (altPos == 3) QCOMPARE(outer.bottomRight(), area.bottomRight());
        QCOMPARE(outer.width(), Twips::toPx(frmPop::kMinWidth, Twips::dpiX(pop)));
        QCOMPARE(outer.height(), Twips::toPx(frmPop::kMinHeight, Twips::dpiY(pop)));
        saveScreenshot(pop, QStringLiteral("frmPop-short"));
    }

    // A long line never pushes Close off the screen: the text wraps and scrolls instead.
    void longPopStaysOnScreen() {
        Sets().ALTPOS = 0;
        const QString words = QStringLiteral("All hands meeting in the large room at three. ").repeated(400);
        QPointer<frmPop> pop = AlertWindows::MakePop(words, QStringLiteral("Ann"));
        pop->show();
        QVERIFY(QTest::qWaitForWindowExposed(pop));
        const QRect area = pop->screen()->availableGeometry();
        QVERIFY(area.contains(pop->frameGeometry()));
        const QRect close(pop->cmdClose->mapToGlobal(QPoint(0, 0)), pop->cmdClose->size());
        QVERIFY(area.contains(close));
        QCOMPARE(pop->frameGeometry().size(), area.size());
        QVERIFY(pop->lblMsg->document()->size().height() > pop->lblMsg->height()); // it scrolls
        QCOMPARE(pop->lblMsg->toPlainText(), words);
        saveScreenshot(pop, QStringLiteral("frmPop-long"));
        // A text of a few lines shows one line for each, whether CR LF, LF or CR ends it.
        QPointer<frmPop> mid = AlertWindows::MakePop(QStringLiteral("line one\r\nline two\nline three\rend"),
                                                     QStringLiteral("Bob"));
        QCOMPARE(mid->lblMsg->document()->blockCount(), 4);
    }

    // --- pop-up actions -----------------------------------------------------------------------

    void replyKeys_data() {
        QTest::addColumn<int>("modifiers");
        QTest::newRow("F5") << int(Qt::NoModifier);
        QTest::newRow("Shift+F5") << int(Qt::ShiftModifier);
        QTest::newRow("Ctrl+F5") << int(Qt::ControlModifier);
    }
    void replyKeys() {
        QFETCH(int, modifiers);
        QPointer<frmPop> pop = AlertWindows::MakePop(QStringLiteral("hi"), QStringLiteral("Ann"));
        pop->show();
        QVERIFY(QTest::qWaitForWindowExposed(pop));
        pop->cmdClose->setFocus(); // the window sees its keys wherever the focus is
        QTest::keyClick(pop->cmdClose, Qt::Key_F5, Qt::KeyboardModifiers(modifiers));
        QTRY_VERIFY(pop.isNull());
        const QList<frmAlert*> composed = windows<frmAlert>();
        QCOMPARE(composed.size(), 1);
        QCOMPARE(composed.first()->UTo(), QStringLiteral("Ann") + S);
        QVERIFY(composed.first()->isVisible());
        QCOMPARE(composed.first()->lblTo->text(), QStringLiteral("Ann"));
    }

    void quickReplyFillsAndSendsNothing() {
        openLayer(QStringLiteral("Me"));
        hearUntilMarker(*ear);
        QPointer<frmPop> pop = AlertWindows::MakePop(QStringLiteral("coffee?"), QStringLiteral("Ann"));
        pop->show();
        QVERIFY(QTest::qWaitForWindowExposed(pop));
        pop->cmdAQR_Click(1);
        QTRY_VERIFY(pop.isNull());
        QCOMPARE(windows<frmAlert>().size(), 1);
        QCOMPARE(windows<frmAlert>().first()->txtMsg->Text(), QStringLiteral("No"));
        QCOMPARE(commands(hearUntilMarker(*ear)), QStringList());
    }

    void quickReplyIsCapped() {
        Sets().AQR[0] = QString(400, QLatin1Char('q'));
        QPointer<frmPop> pop = AlertWindows::MakePop(QStringLiteral("?"), QStringLiteral("Ann"));
        pop->cmdAQR_Click(0);
        frmAlert* reply = windows<frmAlert>().value(0);
        QVERIFY(reply);
        QCOMPARE(reply->txtMsg->Text(), QString(390, QLatin1Char('q')));
        QCOMPARE(reply->lblCnt->text(), QStringLiteral("390/390"));
    }

    void blockKeyTogglesOncePerPress() {
        QVERIFY(openMain());
        parse(QStringLiteral("Ann~B"));
        hearUntilMarker(*ear);
        QPointer<frmPop> pop = AlertWindows::MakePop(QStringLiteral("hi"), QStringLiteral("Ann"));
        pop->show();
        QVERIFY(QTest::qWaitForWindowExposed(pop));
        QTest::keyClick(pop, Qt::Key_F8, Qt::AltModifier);
        QVERIFY(win->IsBlocked(QStringLiteral("Ann")));
        QVERIFY(!pop.isNull());
        // A held key repeats: it does not undo the block.
        QKeyEvent repeat(QEvent::KeyPress, Qt::Key_F8, Qt::NoModifier, QString(), true);
        QApplication::sendEvent(pop, &repeat);
        QVERIFY(win->IsBlocked(QStringLiteral("Ann")));
        QCOMPARE(commands(hearUntilMarker(*ear)), QStringList({"Me" + S + "VAnn" + S + "0" + S}));
        QTest::keyClick(pop, Qt::Key_F8);
        QVERIFY(!win->IsBlocked(QStringLiteral("Ann")));
        QCOMPARE(commands(hearUntilMarker(*ear)), QStringList({"Me" + S + "VAnn" + S + "1" + S}));
        QVERIFY(!pop.isNull());
        QVERIFY(pop->mnuPopBlock->shortcut().isEmpty()); // shown in the menu, acted on once
        QVERIFY(pop->mnuPopBlock->text().endsWith(QStringLiteral("\tF8")));
    }

    void markupShowsAndCopiesLiterally() {
        QPointer<frmPop> pop =
            AlertWindows::MakePop(QStringLiteral("<b>x</b>"), QStringLiteral("<i>Ann</i>"));
        QCOMPARE(pop->lblMsg->toPlainText(), QStringLiteral("<b>x</b>"));
        QCOMPARE(pop->windowTitle(), QStringLiteral("<i>Ann</i>"));
        pop->mnuPopCopy_Click();
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("<b>x</b>"));
        // A CR LF is one line break on the screen and stays CR LF on the clipboard.
        QPointer<frmPop> two = AlertWindows::MakePop(QStringLiteral("a\r\nb"), QStringLiteral("Ann"));
        QCOMPARE(two->lblMsg->toPlainText(), QStringLiteral("a\nb"));
        two->mnuPopCopy_Click();
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("a\r\nb"));
    }

    // --- compose ------------------------------------------------------------------------------

    void composeSends_data() {
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("hidden");
        QTest::addColumn<QString>("layer"); // the name the layer is open under, "" for closed
        QTest::addColumn<QStringList>("sent");
        QTest::addColumn<bool>("closes");
        const QString two = QStringLiteral("Ann") + S + QStringLiteral("Bob") + S;
        const QString ann = QStringLiteral("Ann") + S;
        auto a = [](const QString& to, const QString& text) { return "Me" + S + "A" + to + S + text + S; };
        QTest::newRow("two recipients in order")
            << two << "hi there" << false << "Me" << QStringList{a("Ann", "hi there"), a("Bob", "hi there")}
            << true;
        QTest::newRow("blank stays") << ann << " \t\r\n  " << false << "Me" << QStringList{} << false;
        QTest::newRow("trimmed at both ends") << ann << "\t hi \r\n"
                                              << false << "Me" << QStringList{a("Ann", "hi")} << true;
        QTest::newRow("no recipients") << QString() << "hi" << false << "Me" << QStringList{} << true;
        QTest::newRow("separator and NUL") << ann << QString("a" + S + "b" + QChar(0) + "c") << false << "Me"
                                           << QStringList{a("Ann", "a b c")} << true;
        QTest::newRow("a line break")
            << ann << "a\nb" << false << "Me" << QStringList{a("Ann", "a\r\nb")} << true;
        QTest::newRow("hidden with a blank text closes")
            << ann << "   " << true << "Me" << QStringList{} << true;
        QTest::newRow("hidden sends at once")
            << ann << "now" << true << "Me" << QStringList{a("Ann", "now")} << true;
        QTest::newRow("layer closed") << ann << "hi" << false << "" << QStringList{} << false;
        QTest::newRow("layer closed, hidden") << ann << "hi" << true << "" << QStringList{} << true;
        QTest::newRow("under a backslash name") << ann << "hi" << false << "\\me" << QStringList{} << false;
    }
    void composeSends() {
        QFETCH(QString, list);
        QFETCH(QString, text);
        QFETCH(bool, hidden);
        QFETCH(QString, layer);
        QFETCH(QStringList, sent);
        QFETCH(bool, closes);
        if (!layer.isEmpty()) openLayer(layer);
        hearUntilMarker(*ear);
        QPointer<frmAlert> w = modAppFnc::NewAlertWindow(list, hidden);
        QCOMPARE(w->isVisible(), !hidden);
        w->txtMsg->SetText(text);
        w->cmdSnd_Click();
        QCOMPARE(commands(hearUntilMarker(*ear)), sent);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(w.isNull(), closes);
        if (!closes && sent.isEmpty() && text.trimmed().isEmpty()) QCOMPARE(w->txtMsg->Text(), QString());
    }

    void composeAfterSignInSendsAsTheNewName() {
        QPointer<frmAlert> w = modAppFnc::NewAlertWindow(QStringLiteral("Ann") + S, false);
        w->txtMsg->SetText(QStringLiteral("kept"));
        w->cmdSnd_Click(); // nobody signed in: the window and its text stay
        QVERIFY(!w.isNull());
        QCOMPARE(w->txtMsg->Text(), QStringLiteral("kept"));
        openLayer(QStringLiteral("Zoe"));
        hearUntilMarker(*ear);
        w->cmdSnd_Click();
        QCOMPARE(commands(hearUntilMarker(*ear)), QStringList({"Zoe" + S + "AAnn" + S + "kept" + S}));
    }

    void composePastedTextIsCapped() {
        openLayer(QStringLiteral("Me"));
        hearUntilMarker(*ear);
        QPointer<frmAlert> w = modAppFnc::NewAlertWindow(QStringLiteral("Ann") + S, false);
        QGuiApplication::clipboard()->setText(QString(400, QLatin1Char('p')));
        w->txtMsg->setFocus();
        w->txtMsg->Paste();
        QCOMPARE(w->lblCnt->text(), QStringLiteral("390/390"));
        w->cmdSnd_Click();
        QCOMPARE(commands(hearUntilMarker(*ear)),
                 QStringList({"Me" + S + "AAnn" + S + QString(390, QLatin1Char('p')) + S}));
    }

    void composeLoadAndCounter() {
        QPointer<frmAlert> w =
            modAppFnc::NewAlertWindow(QStringLiteral("Ann") + S + QStringLiteral("Bob") + S, false);
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QCOMPARE(w->lblTo->text(), QStringLiteral("Ann; Bob"));
        QCOMPARE(w->lblCnt->text(), QStringLiteral("0/390"));
        QCOMPARE(w->txtMsg->font().family(), QStringLiteral("Courier New"));
        QCOMPARE(w->txtMsg->palette().color(QPalette::Text), Colors::fromBgr(0x0000FF));
        QCOMPARE(w->body->size(), SkinAtlas::kDialogBack.size());
        w->txtMsg->SetText(QStringLiteral("a\nb"));
        QCOMPARE(w->lblCnt->text(), QStringLiteral("4/390")); // a line break goes as CR LF
        w->txtMsg->SetText(QString());
        QTest::keyClick(w->txtMsg, Qt::Key_0, Qt::ControlModifier);
        QCOMPARE(w->txtMsg->Text(), QStringLiteral("auto9"));
        QCOMPARE(w->lblCnt->text(), QStringLiteral("5/390"));
        QTest::keyClick(w->txtMsg, Qt::Key_Return);
        QCOMPARE(w->txtMsg->Text(), QStringLiteral("auto9\r\n")); // Enter breaks the line here
        QVERIFY(!w.isNull());
        w->SetUTo(QStringLiteral("Cy") + S);
        QCOMPARE(w->lblTo->text(), QStringLiteral("Cy"));
        w->txtMsg->SetText(QStringLiteral("See you at 3."));
        saveScreenshot(w, QStringLiteral("frmAlert"));
        w->cmdClose_Click();
        QTRY_VERIFY(w.isNull());
    }

    void composeMergeInIsCapped() {
        const QString path = QDir(env.folder()).filePath(QStringLiteral("long.txt"));
        writeAll(path, QByteArray(500, 'm'));
        env.dialogs.answer = {path, 1};
        const int asked = env.dialogs.fileCalls;
        QPointer<frmAlert> w = modAppFnc::NewAlertWindow(QStringLiteral("Ann") + S, false);
        w->txtMsg->SetText(QStringLiteral("x"));
        w->mnuActionMerge_Click();
        QCOMPARE(env.dialogs.fileCalls, asked + 1);
        QCOMPARE(env.dialogs.request.title, QStringLiteral("Select a text file to merge in..."));
        QCOMPARE(w->LastMergePath, path);
        QCOMPARE(w->txtMsg->TextLength(), 390);
        QCOMPARE(w->lblCnt->text(), QStringLiteral("390/390"));
        QVERIFY(w->txtMsg->Text().startsWith(QStringLiteral("xmmm")));
    }

    // --- information --------------------------------------------------------------------------

    void requestUserInfo_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QStringList>("sent");
        QTest::newRow("phone") << 0 << QStringList{"Me" + S + "RAnn" + S + "P", "Me" + S + "RBob" + S + "P"};
        QTest::newRow("logon name") << 1
                                    << QStringList{"Me" + S + "RAnn" + S + "U", "Me" + S + "RBob" + S + "U"};
        QTest::newRow("anything else") << 2 << QStringList{};
    }
    void requestUserInfo() {
        QFETCH(int, mode);
        QFETCH(QStringList, sent);
        openLayer(QStringLiteral("Me"));
        hearUntilMarker(*ear);
        modAppFnc::RequestUserInfo(QStringLiteral("Ann") + S + QStringLiteral("Bob") + S, mode);
        QCOMPARE(commands(hearUntilMarker(*ear), QStringLiteral("R")), sent);
    }

    void answersOpenAWindowEach() {
        QVERIFY(openMain());
        Sets().INV = 1;
        parse(QStringLiteral("Ann~C255"));
        parse(QStringLiteral("Ann~FTahoma"));
        modAppFnc::RequestUserInfo(QStringLiteral("Ann") + S, 0);
        modAppFnc::RequestUserInfo(QStringLiteral("Ann") + S, 1);
        arrive({QStringLiteral("Ann~IMe~Phone: 555-0199"), QStringLiteral("Ann~IMe~Logon: <b>ann</b>"),
                QStringLiteral("Ann~IBob~not for me")});
        const QList<frmInfo*> infos = windows<frmInfo>();
        QCOMPARE(infos.size(), 2);
        QCOMPARE(env.sounds.heard.count(QStringLiteral("beep")), 3); // two answers and the probe
        QStringList texts;
        for (frmInfo* w : infos) {
            texts << w->txtMsg->toPlainText();
            QCOMPARE(w->lblUFrom->text(), QStringLiteral("Ann"));
            QCOMPARE(w->lblUFrom->palette().color(QPalette::WindowText), Colors::fromBgr(0x0000FF));
            QVERIFY(w->lblUFrom->autoFillBackground());
            QCOMPARE(w->lblUFrom->palette().color(QPalette::Window), Colors::fromBgr(0xFFFF00));
            QCOMPARE(w->lblUFrom->font().family(), QStringLiteral("Tahoma"));
            QCOMPARE(w->size(), SkinAtlas::kDialogBack.size());
        }
        texts.sort();
        QCOMPARE(texts, QStringList({"Logon: <b>ann</b>", "Phone: 555-0199"}));
        saveScreenshot(infos.first(), QStringLiteral("frmInfo"));
        QPointer<frmInfo> first = infos.first();
        first->cmdOk_Click();
        QTRY_VERIFY(first.isNull());
    }

    // An answer opens a window only for a request of ours of the last minute, and each request
    // opens one. (Each case asks users of its own: requests of other cases may still wait.)
    void onlyRequestedAnswersOpenAWindow() {
        openLayer(QStringLiteral("Me"));
        parse(QStringLiteral("Quinn~IMe~unasked"));
        QCOMPARE(windows<frmInfo>().size(), 0);
        modAppFnc::RequestUserInfo(QStringLiteral("Quinn") + S, 0);
        parse(QStringLiteral("Rita~IMe~somebody not asked"));
        QCOMPARE(windows<frmInfo>().size(), 0);
        parse(QStringLiteral("QUINN~IMe~first"));
        QCOMPARE(windows<frmInfo>().size(), 1);
        parse(QStringLiteral("Quinn~IMe~second"));
        QCOMPARE(windows<frmInfo>().size(), 1);
        QCOMPARE(windows<frmInfo>().first()->txtMsg->toPlainText(), QStringLiteral("first"));
        QCOMPARE(env.sounds.heard, QStringList{QStringLiteral("beep")});
        // An answer after the time an answer is awaited opens nothing.
        modAppFnc::SetInfoAnswerMs(1);
        modAppFnc::RequestUserInfo(QStringLiteral("Quinn") + S, 1);
        QElapsedTimer since;
        since.start();
        QTRY_VERIFY(since.elapsed() > 1);
        parse(QStringLiteral("Quinn~IMe~late"));
        modAppFnc::SetInfoAnswerMs(0);
        QCOMPARE(windows<frmInfo>().size(), 1);
    }

    // However many answers were asked for, only so many windows are open at once; the log says
    // once that the others were left out.
    void informationWindowsAreBounded() {
        openLayer(QStringLiteral("Me"));
        const int n = modAppFnc::kMaxNetworkInfos;
        for (int i = 0; i < n + 3; ++i)
            modAppFnc::RequestUserInfo(QStringLiteral("Sam") + S, 0);
        for (int i = 0; i < n + 2; ++i)
            parse(QStringLiteral("Sam~IMe~answer %1").arg(i));
        QCOMPARE(windows<frmInfo>().size(), n);
        const QString refused =
            QStringLiteral("%1 information windows are open: further answers are not shown.").arg(n);
        QCOMPARE(logEntries().count(refused), 1);
        QPointer<frmInfo> one = windows<frmInfo>().first();
        one->cmdOk_Click();
        QTRY_VERIFY(one.isNull());
        parse(QStringLiteral("Sam~IMe~after one closed"));
        QCOMPARE(windows<frmInfo>().size(), n);
    }

    // Alerts open no more than so many pop-ups at a time; every alert still goes into the
    // history, and the log says once that pop-ups were left out.
    void popUpsFromTheNetworkAreBounded() {
        openLayer(QStringLiteral("Me"));
        const int n = modAppFnc::kMaxNetworkPops;
        for (int i = 0; i < n + 10; ++i)
            parse(QStringLiteral("Eve~A(All)~alert %1~").arg(i));
        QCOMPARE(windows<frmPop>().size(), n);
        QCOMPARE(env.sounds.heard.size(), n); // a sound for each pop-up only
        const frmMsgHist& h = frmMsgHist::Load();
        QCOMPARE(h.Entry(h.Newest()).Msg, QStringLiteral("alert %1").arg(n + 9));
        QCOMPARE(historyRows(), frmMsgHist::kEntries);
        const QString refused =
            QStringLiteral("%1 alert pop-ups are open: further alerts go to the history only.").arg(n);
        QCOMPARE(logEntries().count(refused), 1);
        // One closed: the next alert has its pop-up again, the one after is left out and logged.
        QPointer<frmPop> one = windows<frmPop>().first();
        one->cmdClose_Click();
        QTRY_VERIFY(one.isNull());
        parse(QStringLiteral("Eve~A(All)~one more~"));
        QCOMPARE(windows<frmPop>().size(), n);
        QStringList shown;
        for (frmPop* p : windows<frmPop>())
            shown << p->Msg();
        QVERIFY(shown.contains(QStringLiteral("one more")));
        parse(QStringLiteral("Eve~A(All)~and another~"));
        QCOMPARE(windows<frmPop>().size(), n);
        QCOMPARE(h.Entry(h.Newest()).Msg, QStringLiteral("and another"));
        QCOMPARE(logEntries().count(refused), 2);
    }

    // --- history ------------------------------------------------------------------------------

    void historyMenusShowIt_data() {
        QTest::addColumn<bool>("tray");
        QTest::newRow("menu bar") << false;
        QTest::newRow("tray menu") << true;
    }
    void historyMenusShowIt() {
        QFETCH(bool, tray);
        QVERIFY(openMain());
        frmMsgHist& h = frmMsgHist::Load();
        h.hide();
        (tray ? win->mnuPopHist : win->mnuActionHist)->trigger();
        QVERIFY(h.isVisible());
        h.cmdHide_Click();
        QVERIFY(h.isHidden());
    }

    void historyPreviewFollowsTheSender() {
        QVERIFY(openMain());
        parse(QStringLiteral("Ann~C255"));
        arrive({QStringLiteral("Ann~AMe~look at me~")});
        frmMsgHist& h = frmMsgHist::Load();
        QCOMPARE(historyRows(), 2);
        h.lstHist->setCurrentRow(1);
        h.lstHist_Click();
        QCOMPARE(h.txtPrev->toPlainText(), QStringLiteral("look at me"));
        QCOMPARE(h.txtPrev->palette().color(QPalette::Text), Colors::fromBgr(0x0000FF));
        parse(QStringLiteral("Ann~C16711680"));
        parse(QStringLiteral("Ann~FTahoma"));
        h.lstHist_Click();
        QCOMPARE(h.txtPrev->palette().color(QPalette::Text), Colors::fromBgr(0xFF0000));
        QCOMPARE(h.txtPrev->font().family(), QStringLiteral("Tahoma"));
        // Signed out: the history stays, and a sender nobody lists previews in black Arial.
        win->CloseByCode();
        QTRY_VERIFY(win.isNull());
        QCOMPARE(historyRows(), 2);
        h.lstHist_Click();
        QCOMPARE(h.txtPrev->palette().color(QPalette::Text), Colors::fromBgr(0));
        QCOMPARE(h.txtPrev->font().family(), QStringLiteral("Arial"));
    }

    // --- captions -----------------------------------------------------------------------------

    void captionsFromTheLanguageTable() {
        const QString path = QDir(env.folder()).filePath(QStringLiteral("test.qxl"));
        writeAll(
            path,
            "frmAlert.Form|Alarm schreiben\r\nfrmAlert.cmdSnd|&Senden\r\nfrmAlert.cmdClose|S&chliessen\r\n"
            "frmAlert.mnuAction|&Aktion\r\nmnuMergeTxt|&Textdatei...\r\nmnuAutoText|Auto&text\r\n"
            "frmAlert.mnuActionClose|&Zu\r\nmnuEdit|&Bearbeiten\r\nmnuEditCut|&Ausschneiden\r\n"
            "mnuEditCopy|&Kopieren\r\nmnuEditPast|&Einfuegen\r\nmnuEditSelAll|&Alles\r\n"
            "frmPop.Form|Alarm\r\nfrmPop.cmdClose|&Zu\r\nfrmPop.mnuPopCopy|&Kopieren\r\n"
            "frmPop.mnuPopReply|&Antworten\r\nfrmPop.mnuPopBlock|&Sperren\r\n"
            "frmMsgHist.Form|Verlauf\r\nfrmMsgHist.lblCap(0)|Nachricht:\r\nfrmMsgHist.lblCap(1)|Verlauf:\r\n"
            "frmMsgHist.cmdHide|&Verbergen\r\nfrmMsgHist.cmdClear|&Leeren\r\n"
            "frmInfo.Form|Auskunft\r\nfrmInfo.cmdOk|&Gut\r\n"
            "frmPrg.Form|Fortschritt\r\nfrmPrg.lblCap(0)|Datei:\r\nfrmPrg.lblCap(1)|Benutzer:\r\n");
        QVERIFY(modDB::LoadDB(path));
        QPointer<frmAlert> a = modAppFnc::NewAlertWindow(QStringLiteral("Ann") + S, true);
        QCOMPARE(a->windowTitle(), QStringLiteral("Alarm schreiben"));
        QCOMPARE(a->cmdSnd->Caption(), QStringLiteral("&Senden"));
        QCOMPARE(a->cmdClose->Caption(), QStringLiteral("S&chliessen"));
        QCOMPARE(a->mnuAction->title(), QStringLiteral("&Aktion"));
        QCOMPARE(a->mnuActionMerge->text(), QStringLiteral("&Textdatei..."));
        QCOMPARE(a->mnuActionAT->title(), QStringLiteral("Auto&text"));
        QCOMPARE(a->mnuActionClose->text(), QStringLiteral("&Zu"));
        QCOMPARE(a->mnuEdit->title(), QStringLiteral("&Bearbeiten"));
        QCOMPARE(a->editItems.cut->text(), QStringLiteral("&Ausschneiden\tCtrl+X"));
        QCOMPARE(a->editItems.selectAll->text(), QStringLiteral("&Alles\tCtrl+A"));
        QPointer<frmPop> pop = AlertWindows::MakePop(QStringLiteral("hi"), QStringLiteral("Ann"));
        QCOMPARE(pop->windowTitle(), QStringLiteral("Ann")); // the sender replaces the caption
        QCOMPARE(pop->cmdClose->Caption(), QStringLiteral("&Zu"));
        QCOMPARE(pop->mnuPopCopy->text(), QStringLiteral("&Kopieren"));
        pop->SetLang();
        QCOMPARE(pop->mnuPopReply->text(), QStringLiteral("&Antworten\tF5"));
        QCOMPARE(pop->mnuPopBlock->text(), QStringLiteral("&Sperren\tF8"));
        frmMsgHist& h = frmMsgHist::Load();
        h.SetLang();
        QCOMPARE(h.windowTitle(), QStringLiteral("Verlauf"));
        QCOMPARE(h.lblCap[0]->text(), QStringLiteral("Nachricht:"));
        QCOMPARE(h.lblCap[1]->text(), QStringLiteral("Verlauf:"));
        QCOMPARE(h.cmdHide->Caption(), QStringLiteral("&Verbergen"));
        QCOMPARE(h.cmdClear->Caption(), QStringLiteral("&Leeren"));
        QPointer<frmInfo> info = new frmInfo;
        QCOMPARE(info->windowTitle(), QStringLiteral("Auskunft"));
        QCOMPARE(info->cmdOk->Caption(), QStringLiteral("&Gut"));
        frmPrg& prg = frmPrg::Load();
        QCOMPARE(prg.windowTitle(), QStringLiteral("Fortschritt"));
        QCOMPARE(prg.lblCap[0]->text(), QStringLiteral("Datei:"));
        QCOMPARE(prg.lblCap[1]->text(), QStringLiteral("Benutzer:"));
        prg.Unload();
        info->close();
        QVERIFY(modDB::LoadDB(QString()));
        h.SetLang(); // no table: the captions stay as they were
        QCOMPARE(h.windowTitle(), QStringLiteral("Verlauf"));
    }

    // --- two copies ---------------------------------------------------------------------------

    // Another process alerts us; we reply and block from its pop-up, and ask for its number.
    void alertsWithAnotherProcess() {
        QVERIFY(openMain());
        TestEnv::NetPeer peer;
        QVERIFY(peer.start(QStringLiteral("Zoe"), QStringLiteral("32768"), QStringLiteral("Tahoma")));
        QTRY_VERIFY_WITH_TIMEOUT(win->IsOnLine(QStringLiteral("Zoe")), TestEnv::kNetWait);
        QVERIFY(peer.saw("LIST Me|"));

        peer.send("alert Me Lunch at noon?");
        QTRY_COMPARE_WITH_TIMEOUT(pops().size(), 1, TestEnv::kNetWait);
        QPointer<frmPop> pop = pops().first();
        QCOMPARE(pop->windowTitle(), QStringLiteral("Zoe"));
        QCOMPARE(pop->Msg(), QStringLiteral("Lunch at noon?"));
        QCOMPARE(pop->lblMsg->palette().color(QPalette::Text), Colors::fromBgr(32768));
        QCOMPARE(pop->lblMsg->font().family(), QStringLiteral("Tahoma"));
        QCOMPARE(frmMsgHist::Load().Entry(frmMsgHist::Load().Newest()).Msg, QStringLiteral("Lunch at noon?"));

        // Reply from the pop-up.
        pop->mnuPopReply_Click();
        QTRY_VERIFY(pop.isNull());
        QCOMPARE(windows<frmAlert>().size(), 1);
        frmAlert* reply = windows<frmAlert>().first();
        reply->txtMsg->SetText(QStringLiteral("Yes, see you"));
        reply->cmdSnd_Click();
        QVERIFY(peer.saw("ALERT Me Yes, see you\n"));

        // Block from the next pop-up: the peer learns it, and its alerts stop.
        peer.send("alert Me Still there?");
        QTRY_COMPARE_WITH_TIMEOUT(pops().size(), 1, TestEnv::kNetWait);
        pop = pops().first();
        QTest::keyClick(pop, Qt::Key_F8);
        QVERIFY(win->IsBlocked(QStringLiteral("Zoe")));
        QVERIFY(peer.saw("Me|255|0|Courier New|0|0|"));
        pop->cmdClose_Click();
        QTRY_VERIFY(pop.isNull());
        peer.send("alert Me Hello?\nask Me 0");
        // Our answer to the request comes after the blocked alert has been dropped.
        QVERIFY(peer.saw("INFO Me " + modLangConst::Get(QStringLiteral("NetCmd_PhoneSendMsg")).toLatin1()));
        QCOMPARE(pops().size(), 0);

        // We ask for the peer's number: its answer opens an information window.
        modAppFnc::RequestUserInfo(QStringLiteral("Zoe") + S, 0);
        QTRY_COMPARE_WITH_TIMEOUT(windows<frmInfo>().size(), 1, TestEnv::kNetWait);
        QCOMPARE(windows<frmInfo>().first()->txtMsg->toPlainText(),
                 modLangConst::Get(QStringLiteral("NetCmd_PhoneSendMsg")) + QStringLiteral("555-0123"));
        QVERIFY(peer.quit());
    }
};

QTEST_MAIN(TestAlerts)
#include "tst_alerts.moc"
