#include "conversation/AlertWindows.h"

#include "conversation/frmInfo.h"
#include "conversation/frmMsgHist.h"
#include "conversation/frmPop.h"
#include "core/PeerInfo.h"
#include "core/modAppFnc.h"
#include "core/modGlobals.h"
#include "platform/Colors.h"
#include "platform/OuterGeometry.h"
#include "platform/Twips.h"
#include "platform/WindowShow.h"

#include <QTextEdit>

void AlertWindows::Install() {
    static AlertWindows windows;
    Notices::Windows().set(&windows);
}

frmPop* AlertWindows::MakePop(const QString& text, const QString& sender) {
    auto* pop = new frmPop;
    QPalette pal = pop->lblMsg->palette();
    pal.setColor(QPalette::Text, Colors::fromBgr(PeerInfo::Colour(sender)));
    pop->lblMsg->setPalette(pal);
    pop->lblMsg->setFont(PeerInfo::Font(sender, pop->lblMsg->font()));
    pop->setWindowTitle(sender);
    pop->SetMsg(text);
    const qint32 left = modAppFnc::GetWorkArea(0, pop), top = modAppFnc::GetWorkArea(1, pop);
    const QRect area(left, top, modAppFnc::GetWorkArea(2, pop) - left, modAppFnc::GetWorkArea(3, pop) - top);
    const QSize outer = pop->Outer()->OuterSizeTwips();
    const double dx = Twips::dpiX(pop), dy = Twips::dpiY(pop);
    const QPoint laidOut(Twips::fromPx(pop->frameGeometry().x(), dx),
                         Twips::fromPx(pop->frameGeometry().y(), dy));
    const QPoint at = frmPop::CornerTwips(modGlobals::Sets().ALTPOS, area, outer, laidOut);
    pop->Outer()->SetOuterTwips(at.x(), at.y(), outer.width(), outer.height());
    return pop;
}

QObject* AlertWindows::ShowPop(const QString& text, const QString& sender) {
    frmPop* pop = MakePop(text, sender);
    modAPIFunc::SetTopMost(pop, true);
    WindowShow::Unasked(pop);
    return pop;
}

void AlertWindows::AddToHistory(const QString& sender, const QString& text) {
    frmMsgHist::Load().AddMsg(sender, text);
}

QObject* AlertWindows::ShowInfo(const QString& text, const QString& sender) {
    auto* w = new frmInfo;
    w->SetFrom(sender, PeerInfo::Colour(sender), PeerInfo::FontName(sender), modGlobals::Sets().INV == 1);
    w->SetText(text);
    WindowShow::Unasked(w);
    return w;
}
