// The sign-in window: the name check, the palette, the listening delay, the ways it ends, and
// hearing another copy on loopback.
#include "controls/chameleonButton.h"
#include "core/SkinAtlas.h"
#include "core/modAppFnc.h"
#include "core/modDB.h"
#include "core/modGlobals.h"
#include "core/modLangConst.h"
#include "core/modNetCmds.h"
#include "core/modNetCom.h"
#include "core/modTerminate.h"
#include "mainwin/frmLang.h"
#include "mainwin/frmLogOn.h"
#include "platform/Ansi.h"
#include "platform/Colors.h"
#include "platform/Mailslot.h"
#include "support/Headless.h"
#include "support/Misfits.h"
#include "support/Recorders.h"
#include "support/Screenshot.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>

namespace {
const QString S(modGlobals::kSep);

// Another copy on the network writing one command, as its transport frames it.
void sendFromPeer(const QString& sender, const QString& command) {
    QVERIFY(Mailslot::send(QStringLiteral("*"), QStringLiteral("QX3"),
                           Ansi::encode(QString(QChar(0)) + sender + S + command)));
}

QStringList shownUsers(const frmLogOn& w) {
    QStringList out;
    for (int i = 0; i < w.lstUsersBox->count(); ++i)
        out << w.lstUsersBox->item(i)->text();
    return out;
}
} // namespace

class TestLogOn : public QObject {
    Q_OBJECT
    TestEnv::Headless env{TestEnv::Loopback, TestEnv::Windows};
    MessageRecorder& messages = env.messages;
    QPointer<frmLogOn> win;
    int& terminated = env.end.terminated;
    int& endedNow = env.end.ended;
    bool netOpenAtEnd = false;

    frmLogOn* open() {
        win = new frmLogOn();
        return win;
    }

  private slots:
    void initTestCase() { QVERIFY(env.home.isValid()); }
    void init() {
        env.reset();
        env.end.onTerminate = env.end.onEnd = [this] { netOpenAtEnd = modNetCmds::IsOpen(); };
        modGlobals::Sets().UNAME = QStringLiteral("Ann");
        netOpenAtEnd = false;
    }
    void cleanup() {
        if (win) win->Unload();
        QTRY_VERIFY(win.isNull());
        QVERIFY(!modNetCmds::IsOpen());
    }

    // --- load -------------------------------------------------------------------------------

    void loadOpensTheLayerUnderAnUnlistedName() {
        frmLogOn* w = open();
        QVERIFY(modNetCmds::IsOpen());
        QCOMPARE(modNetCmds::OwnerForm(), static_cast<NetOwner*>(w));
        QCOMPARE(modNetCmds::MyName(), QStringLiteral("\\") + modNetCom::GetLogonName());
        QVERIFY(w->tmrRefresh->isActive());
        QCOMPARE(w->tmrRefresh->interval(), frmLogOn::kPollInterval);
        QVERIFY(!w->tmrDelay->isActive());
        QVERIFY(w->cmdOk->isHidden());
        QVERIFY(!w->lblStat->isHidden());
        QCOMPARE(w->lblStat->text(), QStringLiteral("Please Wait..."));
        QCOMPARE(w->txtName->text(), QStringLiteral("Ann"));
        QCOMPARE(w->windowTitle(), QStringLiteral("SignIn to Talkvane3"));
        QVERIFY(w->windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(w->size(), SkinAtlas::kDialogBack.size());
        QVERIFY(messages.shown.empty());
    }

    // Captions come from the language table only when one is loaded.
    void captionsFromALoadedTable() {
        const QString path = env.home.filePath(QStringLiteral("lang.qxl"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("frmLogOn.Form|Anmelden\r\nfrmLogOn.lblCap(0)|N0\r\nfrmLogOn.lblCap(1)|N1\r\n"
                "frmLogOn.lblCap(2)|N2\r\nfrmLogOn.lblCap(3)|N3\r\nfrmLogOn.cmdOk|&Los\r\n"
                "frmLogOn.cmdCancel|&Zu\r\nfrmLogOn.cmdLang|&Sprache\r\n");
        f.close();
        QVERIFY(modDB::LoadDB(path));
        frmLogOn* w = open();
        QVERIFY(modDB::LoadDB(QString()));
        QCOMPARE(w->windowTitle(), QStringLiteral("Anmelden"));
        for (int i = 0; i < 4; ++i)
            QCOMPARE(w->lblCap[i]->text(), QStringLiteral("N%1").arg(i));
        QCOMPARE(w->cmdOk->Caption(), QStringLiteral("&Los"));
        QCOMPARE(w->cmdCancel->Caption(), QStringLiteral("&Zu"));
        QCOMPARE(w->cmdLang->Caption(), QStringLiteral("&Sprache"));
        QCOMPARE(w->lblStat->text(), QStringLiteral("Please Wait..."));
        QVERIFY(messages.shown.empty()); // every key was there
    }

    // The German captions fit the window's design size whole, the auto sign-in's the longest.
    void germanCaptionsFit() {
        const QString path = env.home.filePath(QStringLiteral("deutsch.qxl"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QStringLiteral(
                    "frmLogOn.Form|Bei Talkvane3 anmelden\r\nfrmLogOn.lblCap(0)|Name\r\n"
                    "frmLogOn.lblCap(1)|Schriftart\r\nfrmLogOn.lblCap(2)|Farbe\r\n"
                    "frmLogOn.lblCap(3)|Automatisch anmelden\r\nfrmLogOn.cmdOk|&Anmelden\r\n"
                    "frmLogOn.cmdCancel|&Schlie\u00DFen\r\nfrmLogOn.cmdLang|&Sprache w\u00E4hlen...\r\n")
                    .toUtf8());
        f.close();
        QVERIFY(modDB::LoadDB(path));
        frmLogOn* w = open();
        QVERIFY(modDB::LoadDB(QString()));
        QCOMPARE(w->lblCap[3]->text(), QStringLiteral("Automatisch anmelden"));
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        w->tmrDelay->setInterval(0);
        w->tmrDelay->start();
        QTRY_VERIFY(!w->cmdOk->isHidden());
        const QStringList cut = TestEnv::misfits(w);
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QLatin1Char('\n'))));
        saveScreenshot(w, QStringLiteral("frmLogOn-german"));
    }

    // A UTF-8 language file in another script: the labels and the push buttons show it alike.
    void captionsInCyrillic() {
        const QString path = env.home.filePath(QStringLiteral("russian.qxl"));
        const QString cancel = QStringLiteral("&\u0417\u0430\u043A\u0440\u044B\u0442\u044C");
        const QString ok = QStringLiteral("&\u0412\u043E\u0439\u0442\u0438");
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QStringLiteral("frmLogOn.Form|\u0412\u0445\u043E\u0434 \u0432 Talkvane3\r\n"
                               "frmLogOn.lblCap(0)|\u0418\u043C\u044F\r\n"
                               "frmLogOn.lblCap(1)|\u0428\u0440\u0438\u0444\u0442\r\n"
                               "frmLogOn.lblCap(2)|\u0426\u0432\u0435\u0442\r\n"
                               "frmLogOn.lblCap(3)|\u0410\u0432\u0442\u043E\u0432\u0445\u043E\u0434\r\n"
                               "frmLogOn.cmdOk|")
                    .toUtf8() +
                ok.toUtf8() + "\r\nfrmLogOn.cmdCancel|" + cancel.toUtf8() +
                QStringLiteral("\r\nfrmLogOn.cmdLang|&\u042F\u0437\u044B\u043A\r\n").toUtf8());
        f.close();
        QVERIFY(modDB::LoadDB(path));
        frmLogOn* w = open();
        QVERIFY(modDB::LoadDB(QString()));
        QCOMPARE(w->lblCap[0]->text(), QStringLiteral("\u0418\u043C\u044F"));
        QCOMPARE(w->cmdCancel->Caption(), cancel);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        w->tmrDelay->setInterval(0);
        w->tmrDelay->start();
        QTRY_VERIFY(!w->cmdOk->isHidden());
        QCOMPARE(w->cmdOk->Caption(), ok);
        const QImage shown = w->cmdCancel->grab().toImage();
        saveScreenshot(w, QStringLiteral("frmLogOn-cyrillic"));
        // The same button with the code page's question marks looks different.
        w->cmdCancel->SetCaption(QStringLiteral("&") + QString(cancel.size() - 1, QLatin1Char('?')));
        QVERIFY(w->cmdCancel->grab().toImage() != shown);
        QVERIFY(messages.shown.empty());
    }

    // --- the name check ---------------------------------------------------------------------

    void nameCheck_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("heard");
        QTest::addColumn<QString>("refusal"); // message key; empty when accepted
        QTest::addColumn<QString>("after");   // the name box afterwards

        const QStringList none;
        QTest::newRow("empty") << "" << none << "LogOn_NoUNameErr"
                               << "";
        QTest::newRow("blanks only") << "    " << none << "LogOn_NoUNameErr"
                                     << "";
        QTest::newRow("inner blank") << "Ann Lee" << none << "LogOn_InvalidUNameErr"
                                     << "Ann Lee";
        QTest::newRow("punctuation") << "Ann!" << none << "LogOn_InvalidUNameErr"
                                     << "Ann!";
        QTest::newRow("accented letter") << QString::fromUtf8("Ren\u00e9") << none << "LogOn_InvalidUNameErr"
                                         << QString::fromUtf8("Ren\u00e9");
        QTest::newRow("everybody") << "(All)" << none << "LogOn_InvalidUNameErr"
                                   << "(All)";
        QTest::newRow("everybody upper") << "(ALL)" << none << "LogOn_InvalidUNameErr"
                                         << "(ALL)";
        QTest::newRow("everybody trimmed") << " (all) " << none << "LogOn_InvalidUNameErr"
                                           << "(all)";
        QTest::newRow("heard in lower case") << "Bob" << QStringList{"bob"} << "LogOn_NameInUseErr"
                                             << "Bob";
        QTest::newRow("heard in upper case") << "bob" << QStringList{"Ann", "BOB"} << "LogOn_NameInUseErr"
                                             << "bob";
        QTest::newRow("trimmed, then heard") << "  Bob  " << QStringList{"bob"} << "LogOn_NameInUseErr"
                                             << "Bob";
        QTest::newRow("invalid before in use")
            << "ann lee" << QStringList{"Ann Lee"} << "LogOn_InvalidUNameErr"
            << "ann lee";
        QTest::newRow("free") << "Bob" << QStringList{"Bobby", "Ann"} << ""
                              << "Bob";
        QTest::newRow("nothing heard") << "Zed_-(9)" << none << ""
                                       << "Zed_-(9)";
        QTest::newRow("trimmed and free") << "  Bob " << none << ""
                                          << "Bob";
        QTest::newRow("all but not everybody") << "(All)x" << none << ""
                                               << "(All)x";
    }
    void nameCheck() {
        QFETCH(QString, typed);
        QFETCH(QStringList, heard);
        QFETCH(QString, refusal);
        QFETCH(QString, after);
        frmLogOn* w = open();
        for (const QString& h : heard)
            w->lstUsers()->AddItem(h);
        w->show();
        w->vRet = 0;
        w->txtName->setText(typed);
        w->cmdOk_Click();
        QCOMPARE(w->txtName->text(), after);
        if (refusal.isEmpty()) {
            QVERIFY(messages.shown.empty());
            QCOMPARE(w->vRet, qint16(0));
            QVERIFY(!w->isVisible());
        } else {
            QCOMPARE(messages.shown.size(), std::size_t(1));
            QCOMPARE(messages.shown[0].text, modLangConst::Get(refusal));
            QCOMPARE(messages.shown[0].buttons, 0);
            QCOMPARE(messages.shown[0].icon, 3);
            QCOMPARE(w->vRet, qint16(1));
            QVERIFY(w->isVisible());
        }
    }

    // A refusal leaves vRet at 1 even when the next attempt is accepted: the start-up resets it.
    void vRetIsOnlySetByARefusal() {
        frmLogOn* w = open();
        w->vRet = 0;
        w->txtName->setText(QString());
        w->cmdOk_Click();
        QCOMPARE(w->vRet, qint16(1));
        w->txtName->setText(QStringLiteral("Bob"));
        w->cmdOk_Click();
        QCOMPARE(w->vRet, qint16(1));
        QCOMPARE(messages.shown.size(), std::size_t(1));
    }

    // The start-up's modal show returns once a name is accepted, and not at a refusal.
    void modalShowEndsWhenTheNameIsAccepted() {
        frmLogOn* w = open();
        int attempts = 0;
        QTimer::singleShot(0, w, [&] {
            QVERIFY(w->isVisible());
            QVERIFY(w->isModal());
            w->txtName->setText(QStringLiteral("no way"));
            w->cmdOk_Click();
            ++attempts;
            QTimer::singleShot(0, w, [&] {
                QVERIFY(w->isVisible());
                w->txtName->setText(QStringLiteral("Bob"));
                w->cmdOk_Click();
                ++attempts;
            });
        });
        w->ShowModal();
        QCOMPARE(attempts, 2);
        QVERIFY(!w->isVisible());
        QVERIFY(!w->isModal());
        QCOMPARE(w->txtName->text(), QStringLiteral("Bob"));
        QCOMPARE(messages.shown.size(), std::size_t(1));
    }

    // --- the name box -----------------------------------------------------------------------

    void longStoredNameIsShownWhole() {
        const QString stored(25, QLatin1Char('x'));
        modGlobals::Sets().UNAME = stored;
        frmLogOn* w = open();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QCOMPARE(w->txtName->text(), stored);
        w->txtName->setFocus();
        w->txtName->end(false);
        QTest::keyClicks(w->txtName, QStringLiteral("yz"));
        QCOMPARE(w->txtName->text(), stored); // no room to grow
        QTest::keyClick(w->txtName, Qt::Key_Backspace);
        QCOMPARE(w->txtName->text(), QString(24, QLatin1Char('x')));
        QTest::keyClicks(w->txtName, QStringLiteral("y"));
        QCOMPARE(w->txtName->text(), QString(24, QLatin1Char('x'))); // still above the limit
        w->txtName->selectAll();
        QTest::keyClicks(w->txtName, QStringLiteral("Bob"));
        QCOMPARE(w->txtName->text(), QStringLiteral("Bob"));
        modGlobals::Sets().UNAME = QStringLiteral("Ann");
    }

    void typingAndPastingStopAtTwenty() {
        frmLogOn* w = open();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        w->txtName->setFocus();
        w->txtName->clear();
        QTest::keyClicks(w->txtName, QStringLiteral("abcdefghijklmnopqrstuvwxyz"));
        QCOMPARE(w->txtName->text(), QStringLiteral("abcdefghijklmnopqrst"));
        w->txtName->setText(QStringLiteral("123456789012345"));
        w->txtName->end(false);
        QGuiApplication::clipboard()->setText(QStringLiteral("ABCDEFGHIJ"));
        w->txtName->paste();
        QCOMPARE(w->txtName->text(), QStringLiteral("123456789012345ABCDE"));
    }

    void focusSelectsTheWholeName() {
        frmLogOn* w = open();
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w));
        w->cmdCancel->setFocus();
        w->txtName->deselect();
        w->txtName->setFocus();
        QTRY_COMPARE(w->txtName->selectedText(), QStringLiteral("Ann"));
    }

    // --- colours ----------------------------------------------------------------------------

    void storedPaletteColour_data() {
        QTest::addColumn<int>("index");
        for (int i = 0; i < frmLogOn::kColours; ++i)
            QTest::addRow("index %d", i) << i;
    }
    void storedPaletteColour() {
        QFETCH(int, index);
        const quint32 colour = modGlobals::PaletteColor(index);
        modGlobals::Sets().UCOL = static_cast<qint32>(colour);
        frmLogOn* w = open();
        const bool hidden = index == 7 || index == 8 || index == 15;
        QCOMPARE(w->cmdCol[index]->isHidden(), hidden);
        for (int i = 0; i < frmLogOn::kColours; ++i) {
            QCOMPARE(w->cmdCol[i]->BackColor(), modGlobals::PaletteColor(i));
            QCOMPARE(w->cmdCol[i]->ColorScheme(), 2); // drawn in its own colour
            QCOMPARE(w->cmdCol[i]->Caption(), i == index ? QStringLiteral("a") : QString());
        }
        QCOMPARE(w->GetColor(), colour);
        QCOMPARE(w->txtName->palette().color(QPalette::Text), Colors::fromBgr(colour));
        QCOMPARE(w->txtName->palette().color(QPalette::Base), QColor(Qt::white));

        // Picking another moves the one check mark.
        const int other = (index + 1) % frmLogOn::kColours;
        w->cmdCol_Click(other);
        QCOMPARE(w->GetColor(), modGlobals::PaletteColor(other));
        for (int i = 0; i < frmLogOn::kColours; ++i)
            QCOMPARE(w->cmdCol[i]->Caption(), i == other ? QStringLiteral("a") : QString());
        QCOMPARE(w->txtName->palette().color(QPalette::Text),
                 Colors::fromBgr(modGlobals::PaletteColor(other)));
    }

    void colourOutsideThePaletteIsBlack() {
        modGlobals::Sets().UCOL = 0x123456;
        frmLogOn* w = open();
        for (const chameleonButton* b : w->cmdCol)
            QCOMPARE(b->Caption(), QString());
        QCOMPARE(w->GetColor(), quint32(0));
    }

    void inverseBackground() {
        modGlobals::Sets().INV = 1;
        modGlobals::Sets().UCOL = static_cast<qint32>(modGlobals::PaletteColor(12));
        frmLogOn* w = open();
        QCOMPARE(w->txtName->palette().color(QPalette::Text), QColor(255, 0, 0));
        QCOMPARE(w->txtName->palette().color(QPalette::Base), QColor(0, 255, 255));
        w->cmdCol_Click(0);
        QCOMPARE(w->txtName->palette().color(QPalette::Base), QColor(255, 255, 255));
    }

    void clickingAColourButton() {
        frmLogOn* w = open();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QTest::mouseClick(w->cmdCol[9], Qt::LeftButton);
        QCOMPARE(w->GetColor(), modGlobals::PaletteColor(9));
    }

    // --- font and auto sign-in --------------------------------------------------------------

    void installedFontIsPicked() {
        const QStringList families = QFontDatabase::families();
        QVERIFY(!families.isEmpty());
        const QString installed = families.last();
        modGlobals::Sets().UFNT = installed;
        frmLogOn* w = open();
        QCOMPARE(w->cbbFont->currentText(), installed);
        QCOMPARE(w->cbbFont->findText(installed, Qt::MatchExactly | Qt::MatchCaseSensitive),
                 w->cbbFont->currentIndex());
        QVERIFY(w->cbbFont->count() > 0);
        QCOMPARE(w->txtName->font().family(), installed);
        // The user picks another font: the name is shown in it.
        const int other = w->cbbFont->currentIndex() == 0 ? 1 : 0;
        w->cbbFont->setCurrentIndex(other);
        QCOMPARE(w->txtName->font().family(), w->cbbFont->itemText(other));
        QCOMPARE(w->cbbFont->currentText(), w->cbbFont->itemText(other));
    }

    void missingFontKeepsItsName() {
        modGlobals::Sets().UFNT = QStringLiteral("No Such Font Here");
        frmLogOn* w = open();
        QCOMPARE(w->cbbFont->currentText(), QStringLiteral("No Such Font Here"));
        QCOMPARE(w->txtName->font().family(), QStringLiteral("No Such Font Here"));
    }

    void autoSignInBox_data() {
        QTest::addColumn<int>("algon");
        QTest::addColumn<QString>("caption");
        QTest::newRow("off") << 0 << "";
        QTest::newRow("on") << 1 << "a";
        QTest::newRow("other value") << 2 << "";
    }
    void autoSignInBox() {
        QFETCH(int, algon);
        QFETCH(QString, caption);
        modGlobals::Sets().ALGON = static_cast<qint16>(algon);
        frmLogOn* w = open();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QCOMPARE(w->cmdAutoLogon->Caption(), caption);
        const QString flipped = caption.isEmpty() ? QStringLiteral("a") : QString();
        QTest::mouseClick(w->lblCap[3], Qt::LeftButton);
        QCOMPARE(w->cmdAutoLogon->Caption(), flipped);
        QTest::mouseClick(w->cmdAutoLogon, Qt::LeftButton);
        QCOMPARE(w->cmdAutoLogon->Caption(), caption);
        QTest::mouseClick(w->lblCap[0], Qt::LeftButton); // the other labels do nothing
        QCOMPARE(w->cmdAutoLogon->Caption(), caption);
    }

    // The one answer the start-up takes: the choices as the window holds them, stored or changed.
    void answerHoldsTheChoices_data() {
        QTest::addColumn<bool>("changed");
        QTest::newRow("as stored") << false;
        QTest::newRow("as the user changed them") << true;
    }
    void answerHoldsTheChoices() {
        QFETCH(bool, changed);
        const QStringList families = QFontDatabase::families();
        QVERIFY(families.size() > 1);
        auto& s = modGlobals::Sets();
        s.UCOL = static_cast<qint32>(modGlobals::PaletteColor(3));
        s.UFNT = families.first();
        s.ALGON = 0;
        frmLogOn* w = open();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QString font = s.UFNT;
        if (changed) {
            w->txtName->setFocus();
            w->txtName->selectAll();
            QTest::keyClicks(w->txtName, QStringLiteral("Bob"));
            QTest::mouseClick(w->cmdCol[9], Qt::LeftButton);
            w->cbbFont->setFocus();
            QTest::keyClick(w->cbbFont, Qt::Key_Down);
            font = w->cbbFont->itemText(w->cbbFont->findText(s.UFNT, Qt::MatchExactly) + 1);
            QTest::mouseClick(w->cmdAutoLogon, Qt::LeftButton);
        }
        const frmLogOn::Answer answer = w->GetAnswer();
        QCOMPARE(answer.name, changed ? QStringLiteral("Bob") : QStringLiteral("Ann"));
        QCOMPARE(answer.colour, modGlobals::PaletteColor(changed ? 9 : 3));
        QCOMPARE(answer.font, font);
        QCOMPARE(answer.autoSignIn, changed);
    }

    // --- the listening delay ----------------------------------------------------------------

    void okOnlyAfterTheDelay() {
        frmLogOn* w = open();
        w->show();
        constexpr int kShort = 400;
        QElapsedTimer clock;
        w->tmrDelay->setInterval(kShort);
        clock.start();
        w->tmrDelay->start();
        QVERIFY(w->cmdOk->isHidden());
        QTRY_VERIFY(!w->cmdOk->isHidden());
        QVERIFY(clock.elapsed() >= kShort - 20);
        QVERIFY(w->lblStat->isHidden());
        QVERIFY(!w->tmrDelay->isActive());
        QCOMPARE(w->cmdOk->geometry(), QRect(296, 168, 113, 25));
    }

    // --- the ways it ends -------------------------------------------------------------------

    void endings_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("orderly");
        QTest::addColumn<int>("atOnce");
        QTest::newRow("close button") << "cancel" << 1 << 0;
        QTest::newRow("close box") << "closebox" << 0 << 1;
        QTest::newRow("unload by code") << "unload" << 0 << 0;
        QTest::newRow("unload after sign-in") << "accepted" << 0 << 0;
    }
    void endings() {
        QFETCH(QString, how);
        QFETCH(int, orderly);
        QFETCH(int, atOnce);
        frmLogOn* w = open();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        if (how == QLatin1String("cancel")) {
            QTest::mouseClick(w->cmdCancel, Qt::LeftButton);
        } else if (how == QLatin1String("closebox")) {
            // What the window system delivers for the close box: a close event to the window.
            QCloseEvent closeBox;
            QCoreApplication::sendEvent(w->windowHandle(), &closeBox);
        } else if (how == QLatin1String("unload")) {
            w->Unload();
        } else {
            w->cmdOk_Click();
            QVERIFY(!w->isVisible());
            QVERIFY(modNetCmds::IsOpen());
            w->Unload();
        }
        QCOMPARE(terminated, orderly);
        QCOMPARE(endedNow, atOnce);
        if (orderly || atOnce) QVERIFY(!netOpenAtEnd); // the layer closes first
        QVERIFY(!modNetCmds::IsOpen());
        QTRY_VERIFY(win.isNull());
    }

    // The language button opens the chooser; applying there unloads this window and ends in order.
    void languageButton_data() {
        QTest::addColumn<bool>("apply");
        QTest::newRow("cancel") << false;
        QTest::newRow("apply") << true;
    }
    void languageButton() {
        QFETCH(bool, apply);
        frmLogOn* w = open();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        bool chooserSeen = false;
        QTimer::singleShot(0, [&] {
            auto* chooser = qobject_cast<frmLang*>(QApplication::activeModalWidget());
            chooserSeen = chooser != nullptr;
            if (!chooser) return;
            if (apply)
                chooser->cmdApply_Click();
            else
                chooser->cmdCancel_Click();
        });
        QTest::mouseClick(w->cmdLang, Qt::LeftButton);
        QVERIFY(chooserSeen);
        QCOMPARE(terminated, apply ? 1 : 0);
        QCOMPARE(endedNow, 0);
        QCOMPARE(modNetCmds::IsOpen(), !apply);
        if (apply) {
            QVERIFY(!netOpenAtEnd);
            QTRY_VERIFY(win.isNull());
        } else {
            QVERIFY(w->isVisible());
        }
    }

    // --- on the network ---------------------------------------------------------------------

    void hearsAnotherCopyAndRefusesItsName() {
        frmLogOn* w = open();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        sendFromPeer(QStringLiteral("bob"), QStringLiteral("S0"));
        sendFromPeer(QStringLiteral("\\Carl"), QStringLiteral("S0")); // another copy signing in
        sendFromPeer(QStringLiteral("Anna"), QStringLiteral("C255"));
        QTRY_COMPARE_WITH_TIMEOUT(shownUsers(*w), QStringList({"Anna", "bob"}), TestEnv::kNetWait);
        QCOMPARE(w->lstUsers()->items(), QStringList({"Anna", "bob"}));
        w->tmrDelay->setInterval(0);
        w->tmrDelay->start();
        QTRY_VERIFY(!w->cmdOk->isHidden());
        saveScreenshot(w, QStringLiteral("frmLogOn"));

        w->vRet = 0;
        w->txtName->setText(QStringLiteral("Bob"));
        QTest::mouseClick(w->cmdOk, Qt::LeftButton);
        QCOMPARE(w->vRet, qint16(1));
        QCOMPARE(messages.shown.size(), std::size_t(1));
        QCOMPARE(messages.shown[0].text, modLangConst::Get(QStringLiteral("LogOn_NameInUseErr")));
        QVERIFY(w->isVisible());

        // Leaving the network frees the name.
        sendFromPeer(QStringLiteral("bob"), QStringLiteral("E"));
        QTRY_COMPARE_WITH_TIMEOUT(shownUsers(*w), QStringList({"Anna"}), TestEnv::kNetWait);
        w->vRet = 0;
        w->cmdOk_Click();
        QCOMPARE(w->vRet, qint16(0));
        QVERIFY(!w->isVisible());
    }
};

QTEST_MAIN(TestLogOn)
#include "tst_frmLogOn.moc"
