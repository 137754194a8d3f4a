// The main window's user list: the model the network layer fills, the block list, the
// groups, the drawing and the mouse.
#include "mainwin/frmMainList.h"

#include "controls/chameleonButton.h"
#include "core/ChatRooms.h"
#include "core/PeerInfo.h"
#include "core/frmImgs.h"
#include "core/modAppFnc.h"
#include "core/modGDI.h"
#include "core/modGlobals.h"
#include "core/modGroups.h"
#include "core/modLangConst.h"
#include "core/modNetCmds.h"
#include "mainwin/frmMain.h"
#include "platform/Colors.h"
#include "platform/Input.h"

#include <QAction>
#include <QCoreApplication>
#include <QLabel>
#include <QLoggingCategory>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScrollBar>
#include <cmath>

using modGlobals::Run;
using modGlobals::Sets;

// Off unless asked for (QT_LOGGING_RULES="qx3.users.info=true"): every change of the user list.
Q_LOGGING_CATEGORY(lcUsers, "qx3.users", QtWarningMsg)

using modLangConst::lang;

namespace {
const QString& Sep() {
    return modGlobals::Sep();
}
constexpr quint32 kListBack = 0xFFFFFF;

quint32 colourOf(const QVariant& v) {
    bool ok = false;
    const qlonglong n = v.toString().trimmed().toLongLong(&ok);
    return ok ? static_cast<quint32>(n) & 0xFFFFFFu : 0u;
}

} // namespace

// --- the list control ------------------------------------------------------------------------

frmMainList::frmMainList(frmMain* owner) : QWidget(owner->body), win(owner) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::ClickFocus);
}

void frmMainList::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, win->picLstBuf);
}

void frmMainList::resizeEvent(QResizeEvent*) {
    win->picList_Resize();
}

void frmMainList::mousePressEvent(QMouseEvent* e) {
    const int button = Input::MouseButton(e->button());
    if (button == 0) return;
    const int shift = Input::ShiftState(e->modifiers());
    QPointer<frmMain> guard(win);
    win->picList_MouseDown(button, shift, int(e->position().x()), int(e->position().y()));
    if (guard && button == 2 && win->GetNSel() > 0) {
        win->mnuActionSel->setDefaultAction(win->mnuActionSelS[0]);
        win->mnuActionSel->popup(e->globalPosition().toPoint());
    }
}

// The second press of a double click is the double click alone.
void frmMainList::mouseDoubleClickEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton) win->picList_DblClick();
}

void frmMainList::wheelEvent(QWheelEvent* e) {
    if (!win->vsbLst->isHidden()) QCoreApplication::sendEvent(win->vsbLst, e);
}

// --- the model ---------------------------------------------------------------------------------

QString frmMain::recordField(int index, int field) const {
    return modAppFnc::GetField(lstUStatList.List(index), field, modGlobals::kSep);
}

bool frmMain::IsOnLine(const QString& name) const {
    for (const QString& n : lstUsersList.items())
        if (modAppFnc::SameNoCase(n, name)) return true;
    return false;
}

QVariant frmMain::GetUserInfo(const QString& name, int what) const {
    const auto& s = Sets();
    if (modAppFnc::SameNoCase(name, s.UNAME)) {
        switch (what) {
        case 0:
            return false;
        case 1:
            return s.UCOL;
        case 2:
            return s.UFNT;
        case 3:
            return int(Run().OwnStatus);
        default:
            return QString();
        }
    }
    if (what == 0) return IsBlocked(name);
    static const int fieldOf[6] = {0, 2, 4, 3, 5, 6};
    if (what < 1 || what > 5) return QString();
    if (lstUsersList.ListCount() == 0) return QString();
    if (!IsOnLine(name)) {
        // Somebody no longer listed: a newcomer's values, never another user's.
        static const char* fresh[6] = {"", "0", "Arial", "0", "0", "1"};
        return QString::fromLatin1(fresh[what]);
    }
    return recordField(modNetCmds::FindUser(name), fieldOf[what]);
}

int frmMain::GetUserPic(const QString& name) const {
    if (IsBlocked(name)) return 3;
    bool ok = false;
    const int st = GetUserInfo(name, 3).toString().toInt(&ok);
    // A status a peer made up never borrows another icon (3 is "blocked by me").
    return ok && st >= 0 && st <= 2 ? st : -1;
}

bool frmMain::IsBlocked(const QString& name) const {
    return PeerInfo::InBlockList(name);
}

void frmMain::AddBlock(const QString& name) {
    if (modAppFnc::SameNoCase(name, Sets().UNAME) || IsBlocked(name)) return;
    Sets().BLC += name + Sep();
    modNetCmds::SendData(QStringLiteral("V") + name + Sep() + QStringLiteral("0") + Sep());
}

void frmMain::RemBlock(const QString& name) {
    auto& blc = Sets().BLC;
    if (blc.isEmpty() || !IsBlocked(name)) return;
    modNetCmds::SendData(QStringLiteral("V") + name + Sep() + QStringLiteral("1") + Sep());
    const QStringList names = modAppFnc::ListNames(blc);
    if (names.size() < 2) {
        blc.clear();
        return;
    }
    QString rebuilt;
    bool removed = false;
    for (const QString& n : names) {
        if (!removed && modAppFnc::SameNoCase(n, name)) {
            removed = true;
            continue;
        }
        rebuilt += n + Sep();
    }
    blc = rebuilt;
}

void frmMain::InvBlock(const QString& userList) {
    MainWindowLink::InvBlock(userList);
    UListChange();
}

int frmMain::GetNSel() const {
    int n = 0;
    for (int i = 0; i < lstUStatList.ListCount(); ++i)
        n += recordField(i, 5) == QLatin1String("1");
    return n;
}

QString frmMain::InvSel(const QString& value) {
    return value == QLatin1String("0") ? QStringLiteral("1") : QStringLiteral("0");
}

void frmMain::ListSetSel(int index, const QString& value) {
    if (index < 0 || index >= lstUStatList.ListCount()) return;
    const QString old = lstUStatList.List(index);
    QString rec;
    for (int f = 1; f <= 6; ++f) {
        rec += f == 5 ? (value == QLatin1String("0") ? QStringLiteral("0") : QStringLiteral("1"))
                      : modAppFnc::GetField(old, f, modGlobals::kSep);
        rec += Sep();
    }
    lstUStatList.SetList(index, rec);
}

QString frmMain::StatDef(const QString& value) {
    const QString v = value.trimmed();
    if (v == QLatin1String("0")) return lang("Main_Stat0");
    if (v == QLatin1String("1")) return lang("Main_Stat1");
    if (v == QLatin1String("2")) return lang("Main_Stat2");
    return {};
}

void frmMain::RefStat() {
    const int n = lstUsersList.ListCount();
    const QString msg = lang("Main_StatMsg");
    const QChar bar = QLatin1Char('|');
    QString text = QString::number(n) + QLatin1Char(' ') + modAppFnc::GetField(msg, n == 1 ? 1 : 2, bar) +
                   QLatin1Char(' ') + modAppFnc::GetField(msg, 3, bar);
    if (!Sets().BLC.isEmpty()) {
        int b = 0;
        for (const QString& name : modAppFnc::ListNames(Sets().BLC))
            b += IsOnLine(name);
        if (b > 0) text += QStringLiteral(" (-") + QString::number(b) + QLatin1Char(')');
    }
    if (text != LastStatText) {
        LastStatText = text;
        lblStat->setText(text);
        lblStat->adjustSize();
    }
}

void frmMain::RefSBUList() {
    SpeedBarLink* speedBar = SpeedBarLink::Current();
    if (!speedBar) return;
    speedBar->ClearUsers();
    const int filter = Sets().SB_F;
    const QStringList names = lstUsersList.items();
    for (int i = 0; i < names.size(); ++i) {
        const QString& name = names[i];
        // This runs after every change of the list: the status comes from the record beside
        // the name, not from a search for it.
        const QString st =
            modAppFnc::SameNoCase(name, Sets().UNAME) ? GetUserInfo(name, 3).toString() : recordField(i, 3);
        bool pass = false;
        switch (filter) {
        case 0:
            pass = true;
            break;
        case 1:
            pass = !GetUserInfo(name, 0).toBool();
            break;
        case 2:
            pass = st != QLatin1String("2");
            break;
        case 3:
            pass = st == QLatin1String("0");
            break;
        default:
            break;
        }
        if (pass) speedBar->AddUser(name);
    }
    speedBar->UListChanged();
}

void frmMain::AddU2Chat(ChatRoom* frm) {
    // Each refusal below waits in a nested loop, where the chat window may close.
    bool any = false;
    const QStringList names = lstUsersList.items(); // a chat window may change the list meanwhile
    for (const QString& name : names) {
        if (GetUserInfo(name, 4).toString() != QLatin1String("1")) continue;
        any = true;
        if (modAppFnc::UserInChat(name))
            modAppFnc::ShowMsg(name + lang("Main_UserInChat"), 0, 3);
        else if (ChatRooms::IsOpen(frm))
            frm->AddUser(name);
    }
    if (!any) modAppFnc::ShowMsg(lang("Main_SelUserMsg"), 0, 3);
}

void frmMain::UpdateGrpLst() {
    for (std::size_t i = 1; i < mnuActionAlertGrpI.size(); ++i)
        delete mnuActionAlertGrpI[i];
    mnuActionAlertGrpI.resize(1);
    const QString& grps = Sets().GRPS;
    int counter = -1;
    for (const modGroups::Group& g : modGroups::Read(grps)) {
        ++counter;
        if (counter > 0) {
            QAction* a = mnuActionGrp->addAction(QString());
            connect(a, &QAction::triggered, this, [this, counter] { mnuActionAlertGrpI_Click(counter); });
            mnuActionAlertGrpI.push_back(a);
        }
        QAction* item = mnuActionAlertGrpI[counter];
        item->setText(g.name);
        item->setData(modGroups::UserList(g.members));
    }
    for (std::size_t i = 1; i < mnuPopAlertGrpI.size(); ++i)
        delete mnuPopAlertGrpI[i];
    mnuPopAlertGrpI.resize(1);
    for (std::size_t k = 0; k < mnuActionAlertGrpI.size(); ++k) {
        if (k > 0) {
            QAction* a = mnuPopGrp->addAction(QString());
            const int i = static_cast<int>(k);
            connect(a, &QAction::triggered, this, [this, i] { mnuActionAlertGrpI_Click(i); });
            mnuPopAlertGrpI.push_back(a);
        }
        mnuPopAlertGrpI[k]->setText(mnuActionAlertGrpI[k]->text());
        mnuPopAlertGrpI[k]->setData(mnuActionAlertGrpI[k]->data());
    }
    const bool on = !grps.isEmpty();
    mnuActionGrp->setEnabled(on);
    mnuPopGrp->setEnabled(on);
    cmdSB[1]->SetEnabled(on);
    if (SpeedBarLink* speedBar = SpeedBarLink::Current(); Sets().SB_U == 1 && speedBar)
        speedBar->GrpLstChange();
}

// --- drawing -------------------------------------------------------------------------------------

void frmMain::DrawList() {
    const int n = lstUsersList.ListCount();
    const int bufH = picLstBuf.height(), bufW = picLstBuf.width();
    const int v = bufH / kRowHeight;
    if (picList->height() >= n * kRowHeight) {
        vsbLst->blockSignals(true);
        vsbLst->setValue(0);
        vsbLst->setMaximum(0);
        vsbLst->blockSignals(false);
        vsbLst->hide();
    } else {
        vsbLst->blockSignals(true);
        vsbLst->setMaximum(n - v);
        vsbLst->blockSignals(false);
        vsbLst->show();
    }
    const int top = vsbLst->value();
    if (picLstBuf.isNull()) return;
    const auto& icons = frmImgs::Load().picImgLst;
    struct IconDraw {
        int icon, y;
        quint32 back;
    };
    std::vector<IconDraw> iconDraws;
    {
        modGDI::DC dc(picLstBuf);
        dc.FillRect({0, 0, bufW, bufH}, kListBack);
        if (n > 0) {
            for (int i = top; i < n; ++i) {
                const QString name = lstUsersList.List(i);
                const int icon = GetUserPic(name);
                const int rowTop = (i - top) * kRowHeight;
                const int y =
                    static_cast<int>(std::nearbyint((kRowHeight - icons[0].height()) / 2.0 + rowTop + 1));
                quint32 iconBack = kListBack;
                if (GetUserInfo(name, 4).toString() == QLatin1String("1")) {
                    int right = bufW - 2;
                    if (!vsbLst->isHidden()) right -= vsbLst->width(); // shown, even while the window is not
                    dc.SetPenColor(0x000000);
                    modGDI::DrawLine(dc, 2, rowTop + 1, right, rowTop + 1);
                    modGDI::DrawLine(dc, 1, rowTop + 2, 1, rowTop + 20);
                    modGDI::DrawLine(dc, right, rowTop + 2, right, rowTop + 20);
                    modGDI::DrawLine(dc, 2, rowTop + 20, right, rowTop + 20);
                    if (Sets().INV == 1) {
                        const quint32 inverse = 0xFFFFFFu - colourOf(GetUserInfo(name, 1));
                        modGDI::DrawBox(dc, 2, rowTop + 2, right - 2, 18, inverse, false);
                        iconBack = inverse;
                    }
                }
                // A status that is not one of the four icons draws none.
                if (icon >= 0 && icon <= 3) iconDraws.push_back({icon, y, icon <= 1 ? iconBack : kListBack});
                QFont f = font();
                f.setFamily(GetUserInfo(name, 2).toString());
                f.setStrikeOut(GetUserInfo(name, 5).toString() != QLatin1String("1"));
                dc.SetFont(f);
                modGDI::TextColor(dc, colourOf(GetUserInfo(name, 1)));
                modGDI::DrawTextAt(dc, name, icons[0].width() + 6, y);
                if (bufH < y) break;
            }
        } else {
            dc.SetFont(font());
            modGDI::TextColor(dc, 0x000000);
            const QString text = lang("Main_NoUsers");
            const int x = static_cast<int>(std::nearbyint(bufW / 2.0 - dc.TextSize(text).width() / 2.0));
            modGDI::DrawTextAt(dc, text, x, 3);
        }
    }
    // The icons go on last, each over its background: only the Online and Busy icons take the
    // row's inverse colour, the others keep the list's.
    QPainter p(&picLstBuf);
    for (const IconDraw& d : iconDraws) {
        const QImage& img = icons[d.icon];
        p.fillRect(3, d.y, img.width(), img.height(), Colors::fromBgr(d.back));
        p.drawImage(3, d.y, img);
    }
}

void frmMain::UListChange() {
    if (lcUsers().isInfoEnabled()) {
        QStringList shown;
        for (const QString& r : lstUStatList.items())
            shown << QString(r).replace(modGlobals::kSep, QLatin1Char('|'));
        qCInfo(lcUsers).noquote() << "users:" << shown.join(QLatin1Char(';'));
    }
    DrawList();
    picList->update();
    RefStat();
    const bool any = lstUsersList.ListCount() > 0;
    cmdBB[0]->SetEnabled(any);
    cmdBB[1]->SetEnabled(any);
    mnuActionSel->setEnabled(any);
    if (!Sets().GRPS.isEmpty()) cmdSB[1]->SetEnabled(any);
    if (Sets().SB_U == 1) RefSBUList();
}

void frmMain::picList_Resize() {
    picLstBuf = QImage(picList->size(), QImage::Format_RGB32);
    vsbLst->setGeometry(picList->width() - vsbLst->sizeHint().width(), 0, vsbLst->sizeHint().width(),
                        picList->height());
    UListChange();
}

// --- mouse ---------------------------------------------------------------------------------------

void frmMain::picList_MouseDown(int button, int shift, int /*x*/, int y) {
    const int n = lstUsersList.ListCount();
    if (n == 0) return;
    int row = vsbLst->value() + y / kRowHeight;
    if (row > n - 1 || button == 4) row = -1;
    if (shift == 0) {
        for (int i = 0; i < n; ++i)
            if (i != row && (button == 1 || button == 4)) ListSetSel(i, QStringLiteral("0"));
        if (row >= 0) ListSetSel(row, QStringLiteral("1"));
    } else if (shift == 1) {
        // An anchor left behind by users who have gone counts only as far as the list goes.
        const int from = qMax(0, qMin(row, LastClicked)), to = qMin(n - 1, qMax(row, LastClicked));
        for (int i = 0; i < n; ++i)
            ListSetSel(i, (i >= from && i <= to) ? QStringLiteral("1") : QStringLiteral("0"));
    } else if (shift == 2) {
        if (row >= 0) ListSetSel(row, InvSel(recordField(row, 5)));
    }
    LastClicked = row;
    UListChange();
}

void frmMain::picList_DblClick() {
    if (GetNSel() > 0) mnuActionSelS[0]->trigger();
}
