// The main window's hand-drawn user list control: shows the buffer the window draws and hands
// the mouse to the window.
#include "mainwin/frmMainList.h"

#include "mainwin/frmMain.h"
#include "platform/Input.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScrollBar>

frmMainList::frmMainList(frmMain* owner) : QWidget(owner->body), win_(owner) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::ClickFocus);
}

void frmMainList::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, win_->picLstBuf);
}

void frmMainList::resizeEvent(QResizeEvent*) {
    win_->picList_Resize();
}

void frmMainList::mousePressEvent(QMouseEvent* e) {
    const int button = Input::MouseButton(e->button());
    if (button == 0) return;
    const int shift = Input::ShiftState(e->modifiers());
    QPointer<frmMain> guard(win_);
    win_->picList_MouseDown(button, shift, int(e->position().x()), int(e->position().y()));
    if (guard && button == 2 && win_->GetNSel() > 0) {
        win_->mnuActionSel->setDefaultAction(win_->mnuActionSelS[0]);
        win_->mnuActionSel->popup(e->globalPosition().toPoint());
    }
}

// The second press of a double click is the double click alone.
void frmMainList::mouseDoubleClickEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton) win_->picList_DblClick();
}

void frmMainList::wheelEvent(QWheelEvent* e) {
    if (!win_->vsbLst->isHidden()) QCoreApplication::sendEvent(win_->vsbLst, e);
}
