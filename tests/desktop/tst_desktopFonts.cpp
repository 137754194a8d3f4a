// Every window of the three programs on a desktop whose interface font is large: each draws in
// the one interface font its layout was made for, and no standard English caption or label is
// wider than its control.
//
// The desktop's font reaches Qt through its platform theme. On a GTK desktop (GNOME's interface
// font is 11 points) Qt's GTK theme reads gtk-font-name from GTK's settings and hands that font
// to the application as it starts, before any window exists: here it reads it from a settings.ini
// under a configuration folder of the test's own, so the programs meet what they meet on such a
// desktop. The test's own start is the programs' (Desktop::Application), not Qt Test's, which
// would pin the font resolution at 96 DPI.
#include "AutoUpdate/frmIntro.h"
#include "AutoUpdate/frmMain.h"
#include "Help/Form1.h"
#include "controls/TextLabel.h"
#include "controls/chameleonButton.h"
#include "conversation/AlertWindows.h"
#include "conversation/frmAbout.h"
#include "conversation/frmAlert.h"
#include "conversation/frmChat.h"
#include "conversation/frmEgg.h"
#include "conversation/frmInfo.h"
#include "conversation/frmMsg.h"
#include "conversation/frmMsgHist.h"
#include "conversation/frmPop.h"
#include "conversation/frmPrg.h"
#include "conversation/frmSelfTest.h"
#include "conversation/frmSplash.h"
#include "core/frmImgs.h"
#include "core/modGlobals.h"
#include "core/modLangConst.h"
#include "mainwin/frmLang.h"
#include "mainwin/frmLogOn.h"
#include "mainwin/frmMain.h"
#include "mainwin/frmOpt.h"
#include "mainwin/frmSpeedBar.h"
#include "platform/Desktop.h"
#include "platform/LineBreak.h"
#include "support/Headless.h"
#include "support/Misfits.h"
#include "support/Screenshot.h"
#include "support/WmView.h"

#include <QCheckBox>
#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOption>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>
#include <functional>

using modGlobals::Sets;

namespace {

// The desktop's interface font that the GTK theme hands Qt.
constexpr char kDesktopFamily[] = "DejaVu Sans";
constexpr int kDesktopPoints = 11;

// A control under one whose font the code set (the user's font in a send box) takes that font.
bool fontSetAbove(const QWidget* w, const QWidget* window) {
    for (const QWidget* p = w; p && p != window; p = p->parentWidget())
        if (p->testAttribute(Qt::WA_SetFont)) return true;
    return window->testAttribute(Qt::WA_SetFont);
}

// The widgets of the window that do not draw in the interface font, though the code set no font
// of its own on them (a user's font, a symbol font, a heading).
QStringList foreignFonts(QWidget* window) {
    QStringList out;
    const QFontInfo want(Desktop::InterfaceFont());
    QList<QWidget*> all = window->findChildren<QWidget*>();
    all.prepend(window);
    for (QWidget* w : all) {
        if (fontSetAbove(w, window)) continue;
        const QFontInfo got(w->font());
        if (got.family() != want.family() || got.pixelSize() != want.pixelSize())
            out << QStringLiteral("%1: %2 %3px").arg(TestEnv::where(w), got.family()).arg(got.pixelSize());
    }
    return out;
}

// The window as the desktop shows it, in the window manager's frame; the window alone where
// the frame does not fit on the screen (a scaled screen is small).
QImage picture(QWidget* w) {
    const QImage all = WmView::screen();
    const QRect frame = WmView::frameRect(w);
    if (!frame.isEmpty() && all.rect().contains(frame)) return all.copy(frame);
    return w->grab().toImage();
}

// "-2x" where the screen is scaled, so the screenshots of both runs stand side by side.
QString scaled(const QString& name) {
    const QByteArray factor = qgetenv("QT_SCALE_FACTOR");
    return factor.isEmpty() || factor == "1"
               ? name
               : name + QStringLiteral("-") + QString::fromLatin1(factor) + QStringLiteral("x");
}

} // namespace

class TestDesktopFonts : public QObject {
    Q_OBJECT
    TestEnv::Headless env{TestEnv::Loopback};
    QPointer<frmMain> main;

    // Shows the window as the program does and waits until it is drawn.
    static bool shown(QWidget* w) {
        w->show();
        return QTest::qWaitForWindowExposed(w);
    }

  private slots:
    void initTestCase() {
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        // The desktop's font is in force: the theme offers it as the system font.
        const QFont desktop = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
        QCOMPARE(desktop.family(), QString::fromLatin1(kDesktopFamily));
        QCOMPARE(desktop.pointSize(), kDesktopPoints);
        modLangConst::SetDefaultStrings();
        frmImgs::Load();
        AlertWindows::Install();
        Sets().UNAME = QStringLiteral("Ann");
    }
    void cleanupTestCase() {
        frmOpt::UnloadLoaded();
        if (frmSpeedBar* bar = frmSpeedBar::Loaded()) bar->Unload();
        if (main) main->CloseByCode();
        QTRY_VERIFY(main.isNull());
    }

    void captionsFit_data() {
        QTest::addColumn<int>("which");
        QTest::addColumn<QString>("shot");
        const char* rows[] = {
            "sign-in",       "language chooser", "main",         "options",      "speed bar",
            "chat",          "chat, room empty", "alert",        "alert pop-up", "message",
            "information",   "file transfer",    "about",        "splash",       "self test",
            "alert history", "hidden settings",  "update intro", "update main",  "support mail"};
        for (int i = 0; i < int(std::size(rows)); ++i)
            QTest::newRow(rows[i]) << i
                                   << QStringLiteral("fonts-") +
                                          QString::fromLatin1(rows[i])
                                              .remove(QLatin1Char(','))
                                              .replace(QLatin1Char(' '), QLatin1Char('-'));
    }
    // Each window opened as the program opens it, with its built-in English; hidden controls
    // (pages not shown, buttons that appear later) are measured too.
    void captionsFit() {
        QFETCH(int, which);
        QFETCH(QString, shot);
        QPointer<QWidget> w;
        std::function<void()> done = [&] { delete w; };
        switch (which) {
        case 0: {
            auto* logOn = new frmLogOn;
            w = logOn;
            done = [logOn] { logOn->Unload(); };
            break;
        }
        case 1:
            w = new frmLang;
            break;
        case 2:
        case 4:
            if (!main) {
                main = new frmMain;
                QVERIFY(shown(main));
            }
            w = main.data();
            done = [] {};
            if (which == 4) {
                w = frmSpeedBar::Load();
                done = [] {
                    if (frmSpeedBar* bar = frmSpeedBar::Loaded()) bar->Unload();
                };
            }
            break;
        case 3:
            w = frmOpt::ShowDialog();
            done = [] { frmOpt::UnloadLoaded(); };
            break;
        case 5:
        case 6: {
            auto* chat = new frmChat;
            chat->AddUser(QStringLiteral("Bob"));
            if (which == 5)
                chat->AddMsg(QStringLiteral(" Is typing a message.") + modGlobals::kSep + QStringLiteral("1"),
                             QStringLiteral("Bob"));
            else
                chat->RemUser(QStringLiteral("Bob"));
            w = chat;
            break;
        }
        case 7:
            w = new frmAlert(QStringLiteral("Bob") + modGlobals::kSep);
            break;
        case 8:
            w = AlertWindows::MakePop(QStringLiteral("Lunch at noon?"), QStringLiteral("Bob"));
            break;
        case 9: {
            auto* msg = new frmMsg;
            msg->SetMsg(modLangConst::lang("Main_SignOutMsg"));
            msg->SetType(1);
            w = msg;
            break;
        }
        case 10: {
            auto* info = new frmInfo;
            info->SetFrom(QStringLiteral("Bob"), 0, QString::fromLatin1(Desktop::kFontFamily), false);
            info->SetText(QStringLiteral("Bob's phone number is 555 0123"));
            w = info;
            break;
        }
        case 11:
            w = &frmPrg::Load();
            frmPrg::Load().SetStat(1);
            done = [] {
                if (frmPrg* p = frmPrg::Loaded()) p->Unload();
            };
            break;
        case 12:
            w = new frmAbout;
            break;
        case 13:
            w = new frmSplash;
            break;
        case 14:
            w = new frmSelfTest;
            break;
        case 15:
            w = &frmMsgHist::Load();
            done = [&] { w->hide(); };
            break;
        case 16:
            w = new frmEgg;
            break;
        case 17:
            w = AutoUpdate::frmIntro::Open();
            break;
        case 18:
            w = AutoUpdate::frmMain::Load();
            break;
        case 19:
            w = new Help::Form1;
            break;
        default:
            QFAIL("no such window");
        }
        QVERIFY(w);
        QVERIFY(shown(w));
        QTRY_VERIFY_WITH_TIMEOUT(WmView::viewable(w), 20000);
        const QStringList foreign = foreignFonts(w);
        QVERIFY2(foreign.isEmpty(), qPrintable(foreign.join(QLatin1Char('\n'))));
        const QStringList cut = TestEnv::misfits(w);
        saveScreenshot(picture(w), scaled(shot));
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QLatin1Char('\n'))));
        done();
    }
};

int main(int argc, char** argv) {
    QTemporaryDir config;
    if (!config.isValid() || !QDir(config.path()).mkpath(QStringLiteral("gtk-3.0"))) return 1;
    QFile ini(QDir(config.path()).filePath(QStringLiteral("gtk-3.0/settings.ini")));
    if (!ini.open(QIODevice::WriteOnly)) return 1;
    ini.write(QStringLiteral("[Settings]\ngtk-font-name=%1 %2\n")
                  .arg(QLatin1String(kDesktopFamily))
                  .arg(kDesktopPoints)
                  .toUtf8());
    ini.close();
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    qputenv("QT_QPA_PLATFORMTHEME", "gtk3");
    Desktop::Application app(argc, argv);
    TestDesktopFonts test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_desktopFonts.moc"
