// The command-line parser on any line. Whatever the line, the user's name stays a valid name
// of at most 20 characters, the colour one of the sixteen, and the switches' flags 0 or 1.
//
// A line holding "sts" (any letter case) is left out: it runs the network self test, which
// waits three seconds by design and parses nothing.
#include "FuzzEnv.h"
#include "Project/modMain.h"
#include "core/modAppFnc.h"
#include "core/modNetCom.h"
#include "platform/Ansi.h"

namespace {
FuzzEnv::Env* env;

bool isPaletteColour(qint32 colour) {
    for (int i = 0; i < 16; ++i)
        if (colour == static_cast<qint32>(modGlobals::PaletteColor(i))) return true;
    return false;
}
bool isFlag(qint16 v) {
    return v == 0 || v == 1;
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // "-set:" may name any file, which may be no settings file: the end is recorded.
    env = &FuzzEnv::init();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString line = Ansi::decode(FuzzEnv::bytes(data, size));
    if (line.contains(QLatin1String("sts"), Qt::CaseInsensitive)) return -1; // not kept in the corpus
    FuzzEnv::forget(*env);
    auto& s = modGlobals::Sets();
    auto& r = modGlobals::Run();
    s = modGlobals::Settings{};
    s.UNAME = QStringLiteral("Old");
    s.UCOL = static_cast<qint32>(modGlobals::PaletteColor(0));
    s.SB_U = 1;
    s.ALGON = 0;
    r.SettingsFile = QStringLiteral("User.con");
    r.NetLog = r.PopupHide = 0;
    r.SpeedBarSlide = 1;

    modMain::ApplyCommandLine(line);

    FuzzEnv::check(s.UNAME.size() <= 20, "a name longer than 20 characters");
    FuzzEnv::check(s.UNAME == QLatin1String("Old") || s.UNAME == modNetCom::GetLogonName() ||
                       (modAppFnc::IsValidName(s.UNAME) && !modAppFnc::IsEveryoneName(s.UNAME)),
                   "an invalid name was taken");
    FuzzEnv::check(isPaletteColour(s.UCOL), "a colour outside the sixteen");
    FuzzEnv::check(isFlag(s.SB_U) && isFlag(s.ALGON) && isFlag(r.NetLog) && isFlag(r.PopupHide) &&
                       isFlag(r.SpeedBarSlide),
                   "a flag other than 0 or 1");
    return 0;
}
