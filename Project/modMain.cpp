#include "Project/modMain.h"

#include "controls/clsTAppBar.h"
#include "conversation/frmMsgHist.h"
#include "conversation/frmSelfTest.h"
#include "conversation/frmSplash.h"
#include "core/frmImgs.h"
#include "core/modAppFnc.h"
#include "core/modDB.h"
#include "core/modEnd.h"
#include "core/modGlobals.h"
#include "core/modLangConst.h"
#include "core/modNetCmds.h"
#include "core/modNetCom.h"
#include "core/modSettings.h"
#include "core/modSkin.h"
#include "core/modTerminate.h"
#include "mainwin/frmLogOn.h"
#include "mainwin/frmMain.h"
#include "mainwin/frmSpeedBar.h"
#include "platform/Ansi.h"
#include "platform/FileRead.h"
#include "platform/LineBreak.h"
#include "platform/ProgramFolder.h"
#include "platform/qx3version.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QLockFile>
#include <QPointer>
#include <QTimer>
#include <cmath>
#include <exception>
#include <memory>
#include <optional>

using modGlobals::Run;
using modGlobals::Sets;

using modLangConst::lang;

namespace {
constexpr int kSplashMs = 8000;
constexpr int kSignInDelayMs = 3000;
constexpr int kSelfTestMs = 3000;
constexpr int kNameLimit = 20;
// Far more than any password; a larger Sec.con is not one.
constexpr qint64 kMaxExitPasswordBytes = 64 * 1024;

void log(const QString& text) {
    modAppFnc::WriteLog(text);
}

// One copy per program folder: the lock lives as long as the program.
bool anotherCopyRuns() {
    static std::unique_ptr<QLockFile> lock;
    if (lock) return false;
    auto l = std::make_unique<QLockFile>(ProgramFolder::file(QStringLiteral("QX3.lock")));
    l->setStaleLockTime(0); // a lock is stale only when its copy is gone
    if (l->tryLock(0)) {
        lock = std::move(l);
        return false;
    }
    // A folder where no lock can be made (read-only) holds no other copy either.
    return l->error() == QLockFile::LockFailedError;
}

void setDefaults() {
    auto& s = Sets();
    auto& r = Run();
    s.UCOL = 0;
    r.OwnStatus = 0;
    s.UFNT = QStringLiteral("Arial");
    s.UPN.clear();
    s.BLC.clear();
    s.GRPS.clear();
    for (auto& b : s.FB)
        b = modGlobals::SoftButton{};
    s.FBe = 0;
    const QString notDefined = lang("Opt_tND");
    for (auto& q : s.AQR)
        q = notDefined;
    for (auto& c : s.CAT)
        c = notDefined;
    s.SB_U = 1;
    s.SB_P = 0;
    s.SB_S = 1;
    s.SB_F = 1;
    r.SpeedBarSlide = 1;
    r.NetLog = 0;
    r.PopupHide = 0;
    r.ChatKeepOnTop = 0;
    s.FM_SB = true;
    s.FC_SB = true;
    modSkin::ResetSkin();
    s.INV = 0;
    s.LANG.clear();
    if (r.Started != 1) s.FM_KOT = false;
}

// Any failure on the way follows one path: the box, the log line and the orderly end.
void failed(const QString& what) {
    modAppFnc::ShowMsg(lang("SubMain_Err1") + LineBreak::kCrLf + what, 0, 3);
    log(QStringLiteral("Error In Sub Main - ") + what);
    modMain::Terminate();
}

// ExitPassword from Sec.con: the first line of the file, none without the file or in an empty
// one. False when the file is there but cannot be read, after the failure has been reported.
bool readExitPassword() {
    auto& r = Run();
    r.ExitPassword.clear();
    const QString sec = ProgramFolder::file(QStringLiteral("Sec.con"));
    if (!QFileInfo(sec).isFile()) return true;
    // A password that cannot be read must not silently become no password, and a file that
    // never ends must not hang the start.
    QByteArray bytes;
    if (!QFileInfo(sec).isReadable() || !FileRead::regularFile(sec, kMaxExitPasswordBytes, bytes)) {
        failed(QStringLiteral("75: Path/File access error"));
        return false;
    }
    // Saved by any editor: UTF-8 when it is UTF-8, else Windows-1252.
    const QString text = modAppFnc::TextLines(Ansi::decodeText(bytes));
    r.ExitPassword = text.left(qMax<qsizetype>(0, text.size() - 2)); // an empty file: no password
    return true;
}

// The first run's command line, and the splash window.
void commandLineAndSplash() {
    const QString line = Run().CommandLine;
    log(QStringLiteral("Processing Cmd. Line: '") + line + QStringLiteral("'"));
    modMain::ApplyCommandLine(line);
    log(QStringLiteral("---Cmd. Line Processed."));
    auto* splash = new frmSplash;
    splash->tmrDelay->setInterval(kSplashMs);
    splash->tmrDelay->start();
    splash->show();
    QCoreApplication::processEvents();
}

// The sign-in window, signing in by itself on the first run when the user asked for that;
// nothing when the window ended the program.
std::optional<frmLogOn::Answer> signIn(bool firstRun) {
    log(QStringLiteral("Loading frmLogOn..."));
    QPointer<frmLogOn> logon = new frmLogOn;
    logon->vRet = 0;
    logon->tmrDelay->setInterval(kSignInDelayMs);
    logon->tmrDelay->start();
    log(QStringLiteral("---FrmLogOn Load."));
    bool signedIn = false;
    if (firstRun && Sets().ALGON == 1) {
        modAppFnc::Delay(kSignInDelayMs);
        if (!logon) return std::nullopt;
        logon->cmdOk_Click();
        QCoreApplication::processEvents();
        signedIn = logon && logon->vRet != 1;
    }
    if (!signedIn) {
        if (!logon) return std::nullopt;
        logon->ShowModal();
    }
    if (!logon) return std::nullopt;
    const frmLogOn::Answer answer = logon->GetAnswer();
    logon->Unload();
    log(QStringLiteral("---frmLogOn Unloaded."));
    return answer;
}

// The windows of a signed-in user: the speed bar when it is on, the main window, and the
// alert history (hidden).
void openSignedIn() {
    if (Sets().SB_U == 1) {
        log(QStringLiteral("Loading SpeedBar..."));
        frmSpeedBar::Load()->show();
        log(QStringLiteral("---SpeedBar Loaded."));
    }
    auto* main = new frmMain;
    main->show();
    Run().Started = 1;
    QCoreApplication::processEvents();
    if (Sets().SB_U == 1)
        if (frmSpeedBar* bar = frmSpeedBar::Loaded()) bar->AppBar()->OnFullScreenApp(false);
    log(QStringLiteral("Loading frmMsgHist..."));
    frmMsgHist::Load(); // hidden; on later passes the one already loaded, with its alerts
    log(QStringLiteral("---frmMsgHist Loaded"));
}

bool runMain() {
    auto& s = Sets();
    auto& r = Run();
    r.NoLog = modMain::LogSwitchedOff(r.CommandLine) ? 1 : 0;
    modLangConst::SetDefaultStrings();
    if (anotherCopyRuns()) {
        modAppFnc::ShowMsg(lang("SubMain_PrevIns"), 0, 1);
        modEnd::EndNow();
        return false;
    }
    if (r.Started != 1) QFile::remove(ProgramFolder::file(QStringLiteral("Log.txt")));
    log(QStringLiteral("Talkvane3    v. %1.%2.%3\r\n      -Executing Sub Main...")
            .arg(QX3_VERSION_MAJOR)
            .arg(QX3_VERSION_MINOR)
            .arg(QX3_VERSION_PATCH));
    frmImgs::Load();
    if (modAppFnc::NetworkPresent()) {
        log(QStringLiteral("NetWork Detected."));
    } else {
        log(QStringLiteral("No NetWork!"));
        modAppFnc::ShowMsg(lang("SubMain_Net_Not"), 0, 0);
        modEnd::EndNow();
        return false;
    }
    setDefaults();
    s.SFLD = QDir(ProgramFolder::path()).filePath(QStringLiteral("Save"));
    QDir().mkpath(s.SFLD);
    r.SettingsFile = QStringLiteral("User.con");
    if (!modSettings::LoadSettings()) return false;
    const QString over = ProgramFolder::file(QStringLiteral("QX3_Over.qxs"));
    if (QFileInfo(over).isFile()) s.SKN = over;
    modSkin::LoadSkin(s.SKN);
    if (!s.LANG.isEmpty() && !QFileInfo(s.LANG).isFile()) {
        log(QStringLiteral("Unable to locate Lang File '") + s.LANG + QStringLiteral("'; reverting to ENG."));
        s.LANG.clear();
    }
    modDB::LoadDB(s.LANG);
    modLangConst::LoadLangStrings();
    if (!readExitPassword()) return false;
    const bool firstRun = r.Started != 1;
    if (firstRun) commandLineAndSplash();
    const std::optional<frmLogOn::Answer> answer = signIn(firstRun);
    if (!answer) return false; // the window ended the program
    s.UNAME = answer->name;
    s.UCOL = static_cast<qint32>(answer->colour);
    s.UFNT = answer->font;
    s.ALGON = answer->autoSignIn ? 1 : 0;
    if (!modSettings::SaveSettings()) return false;
    QCoreApplication::processEvents();
    openSignedIn();
    return true;
}
} // namespace

namespace modMain {

bool LogSwitchedOff(const QString& commandLine) {
    return commandLine.indexOf(QStringLiteral("nlg"), 1, Qt::CaseInsensitive) >= 1;
}

void ApplyCommandLine(const QString& commandLine) {
    auto& s = Sets();
    auto& r = Run();
    const QString line = commandLine + QLatin1Char(' ');
    QString token;
    for (const QChar c : line) {
        if (c == QLatin1Char('-')) {
            token.clear();
            continue;
        }
        if (c != QLatin1Char(' ')) {
            token += c;
            continue;
        }
        const QString t = token.trimmed();
        token.clear();
        if (t.isEmpty()) continue;
        const QString key = t.left(3).toLower();
        const QString value = t.mid(4);
        if (key == QLatin1String("sts")) {
            RunSelfTest();
        } else if (key == QLatin1String("nlg")) {
            r.NoLog = 1;
            modAppFnc::ShowMsg(lang("SubMain_CMD_NoLogMsg"), 0, 0);
        } else if (key == QLatin1String("lnm")) {
            s.UNAME = modNetCom::GetLogonName();
        } else if (key == QLatin1String("nme")) {
            const QString name = value.left(kNameLimit);
            // "(All)" addresses everybody, so nobody may sign in under it.
            if (modAppFnc::IsValidName(name) && !modAppFnc::IsEveryoneName(name)) s.UNAME = name;
        } else if (key == QLatin1String("col")) {
            bool ok = false;
            const double v = value.trimmed().toDouble(&ok);
            if (ok && v >= 0 && v <= 15)
                s.UCOL = static_cast<qint32>(modGlobals::PaletteColor(int(std::nearbyint(v))));
        } else if (key == QLatin1String("fnt")) {
            for (const QString& family : QFontDatabase::families())
                if (family.compare(value, Qt::CaseInsensitive) == 0) {
                    s.UFNT = value;
                    break;
                }
        } else if (key == QLatin1String("lnd")) {
            r.NetLog = 1;
            modAppFnc::ShowMsg(lang("SubMain_CMD_LogNetMsg"), 0, 0);
        } else if (key == QLatin1String("set")) {
            modSettings::UseSettingsFile(value);
        } else if (key == QLatin1String("pmh")) {
            r.PopupHide = 1;
        } else if (key == QLatin1String("nsb")) {
            s.SB_U = 0;
        } else if (key == QLatin1String("sbl")) {
            r.SpeedBarSlide = 0;
        } else if (key == QLatin1String("aln")) {
            s.ALGON = 1;
        }
    }
}

void RunSelfTest() {
    log(QStringLiteral("Running Self Test..."));
    QPointer<frmSelfTest> win = new frmSelfTest;
    win->show();
    modNetCmds::SetDataReceived(0);
    modNetCmds::OpenNetCom(win, QStringLiteral("\\") + modNetCom::GetLogonName());
    modAppFnc::Delay(kSelfTestMs);
    modNetCmds::CloseNetCom(1);
    QCoreApplication::processEvents();
    if (modNetCmds::DataReceived() == 1) {
        log(QStringLiteral("Self Test PASSED"));
        modAppFnc::ShowMsg(lang("SubMain_SLF_Passed"), 0, 1);
    } else {
        log(QStringLiteral("Self Test FAILED"));
        modAppFnc::ShowMsg(lang("SubMain_SLF_Failed"), 0, 1);
        if (win) win->close();
        Terminate();
        return;
    }
    if (win) win->close();
}

bool Main() {
    try {
        return runMain();
    } catch (const std::exception& e) {
        failed(QStringLiteral("1: ") + QString::fromLocal8Bit(e.what()));
    } catch (...) {
        failed(QStringLiteral("1: Unknown error"));
    }
    return false;
}

void Restart() {
    if (frmMain* main = frmMain::Loaded()) main->CloseByCode();
    frmSpeedBar::Unload();
    QCoreApplication::processEvents();
    Main();
}

void Terminate() {
    modTerminate::Terminate();
}

void EndBySystem() {
    if (frmMain* main = frmMain::Loaded())
        main->CloseByCode();
    else if (modNetCmds::IsOpen())
        modNetCmds::CloseNetCom(0); // still signing in: say goodbye all the same
    Terminate();
}

} // namespace modMain
