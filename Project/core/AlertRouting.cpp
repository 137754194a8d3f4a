// The alert half of the routing: alerts and information answers from others, and the requests
// that ask for those answers.
#include "core/NoticeWindows.h"
#include "core/PeerInfo.h"
#include "core/modAppFnc.h"
#include "core/modGlobals.h"
#include "core/modNetCmds.h"
#include "platform/Sound.h"

namespace modAppFnc {

void ShowAlertPop(const QString& text, const QString& sender) {
    if (PeerInfo::IsBlocked(sender)) return;
    Notices::Windows()->ShowPop(text, sender);
    PlaySnd(modGlobals::Sets().ALTSND);
    Notices::Windows()->AddToHistory(sender, text);
}

void ShowUserInfo(const QString& text, const QString& sender) {
    Notices::Windows()->ShowInfo(text, sender);
    Sound::beep();
}

void RequestUserInfo(const QString& userList, int mode) {
    QString what;
    if (mode == 0)
        what = QStringLiteral("P");
    else if (mode == 1)
        what = QStringLiteral("U");
    else
        return;
    for (const QString& name : ListNames(userList))
        modNetCmds::SendData(QStringLiteral("R") + name + modGlobals::Sep() + what);
}

} // namespace modAppFnc
