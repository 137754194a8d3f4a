#include "controls/clsTAppBar.h"

#include "controls/modAppBar.h"
#include "platform/Registry.h"

#include <QTimer>
#include <QtEndian>
#include <cstdlib>

using AppBarShell::Rect;
namespace Abs = AppBarShell;

namespace {
bool docked(qint32 e) {
    return e >= Abs::kLeft && e <= Abs::kBottom;
}
// Integer division truncating towards zero, as the slide's formula wants it.
qint32 step(qint32 from, qint32 to, qint64 d, qint32 total) {
    return from - static_cast<qint32>(static_cast<qint64>(from - to) * d / total);
}
} // namespace

QString clsTAppBar::DefaultRegKey() {
    return QStringLiteral("Software\\Talkvane3\\AppBar");
}

clsTAppBar::clsTAppBar(std::shared_ptr<AppBarDesktop> desktop, QObject* parent)
    : QObject(parent), desktop_(desktop ? std::move(desktop) : modAppBar::RealDesktop()),
      regRoot_(Registry::CurrentUser), regKey_(DefaultRegKey()) {
    const auto m = metrics();
    s_.FloatMaxWidth = m.cxScreen;
    s_.FloatMaxHeight = m.cyScreen;
    s_.DockedMaxWidth = m.cxScreen / 2;
    s_.DockedMaxHeight = m.cyScreen / 2;
    timer100_ = new QTimer(this);
    connect(timer100_, &QTimer::timeout, this, &clsTAppBar::OnTimer);
    slideTimer_ = new QTimer(this);
    slideTimer_->setInterval(kSlideStepMs);
    connect(slideTimer_, &QTimer::timeout, this, &clsTAppBar::OnSlideTick);
}

clsTAppBar::~clsTAppBar() {
    if (window_) Detach();
}

// --- binding -------------------------------------------------------------------------------

void clsTAppBar::Extends(QWidget* form) {
    if (!form) return;
    if (window_) Detach();
    // One bar per process: a bar still bound elsewhere lets go first.
    modAppBar::Attach(form, this);
    ownWindow_ = modAppBar::MakeWindow(form);
    window_ = ownWindow_.get();
    Init();
}

void clsTAppBar::Extends(AppBarWindow* window) {
    if (!window) return;
    if (window_) Detach();
    window_ = window;
    Init();
}

void clsTAppBar::Init() {
    startTimer100();
    SetFloatRect(window_->WindowRect());
    AppBarMessage(Abs::New, Abs::kFloat, 0, nullptr);
    UpdateBar();
}

void clsTAppBar::Detach() {
    if (!window_) return;
    Shutdown();
    if (modAppBar::AttachedBar() == this) modAppBar::Release();
    window_ = nullptr;
    ownWindow_.reset();
}

void clsTAppBar::Shutdown() {
    timer100_->stop();
    cancelSlide();
    SetEdge(Abs::kNone);
}

void clsTAppBar::startTimer100() {
    timer100_->start(qMax(kMinTimerMs, s_.SlideTime));
}

// --- shell messages --------------------------------------------------------------------------

qintptr clsTAppBar::AppBarMessage(Abs::Message msg, qint32 edge, qintptr lParam, Rect* rc) const {
    Abs::Data d;
    d.hWnd = window_ ? window_->Handle() : nullptr;
    d.uCallbackMessage = kCallbackMessage;
    d.uEdge = edge;
    if (rc) d.rc = *rc;
    d.lParam = lParam;
    const qintptr r = Abs::shell()->Send(msg, d);
    if (rc) *rc = d.rc;
    return r;
}

qint32 clsTAppBar::GetAutoHideEdge() const {
    const qintptr me = reinterpret_cast<qintptr>(window_ ? window_->Handle() : nullptr);
    for (qint32 e = Abs::kLeft; e <= Abs::kBottom; ++e)
        if (AppBarMessage(Abs::GetAutoHideBar, e, 0, nullptr) == me && me != 0) return e;
    return Abs::kNone;
}

// --- properties ------------------------------------------------------------------------------

qint32 clsTAppBar::Edge() const {
    return dragEdge_ != Abs::kNone ? dragEdge_ : s_.Edge;
}

void clsTAppBar::SetSlideTime(qint32 ms) {
    s_.SlideTime = ms;
    if (window_) startTimer100();
}

void clsTAppBar::SetFloatRect(const Rect& r) {
    s_.FloatLeft = r.left;
    s_.FloatTop = r.top;
    s_.FloatRight = r.right;
    s_.FloatBottom = r.bottom;
}

void clsTAppBar::UpdateBar() {
    SetEdge(Edge());
}

void clsTAppBar::OnFullScreenApp(bool open) {
    fullScreen_ = open;
    UpdateBar();
}

void clsTAppBar::SetEdge(qint32 e) {
    // Before the window is bound there is nothing to place: the edge is only stored.
    if (!window_) {
        s_.Edge = e;
        return;
    }
    const qint32 hidden = GetAutoHideEdge();
    if (hidden != Abs::kNone) AppBarMessage(Abs::SetAutoHideBar, hidden, 0, nullptr);
    s_.Edge = e;
    applySizeLimits();
    if (e == Abs::kNone) {
        AppBarMessage(Abs::Remove, Abs::kFloat, 0, nullptr);
    } else if (e == Abs::kFloat) {
        Rect zero;
        AppBarMessage(Abs::SetPos, Abs::kFloat, 0, &zero);
        cancelSlide();
        MoveWindow(clamped(FloatRect(), e));
    } else if (docked(e)) {
        if (!AppBarMessage(Abs::SetAutoHideBar, Edge(), 1, nullptr) && AutoHide()) {
            SetAutoHide(false);
            ShowAutoHideError();
        }
        Rect rc = GetProposedRect(Edge());
        if (AutoHide()) {
            Rect zero;
            AppBarMessage(Abs::SetPos, Abs::kLeft, 0, &zero);
        } else {
            AppBarMessage(Abs::SetPos, e, 0, &rc);
        }
        GetAutoHideRect(shown_, rc);
        SlideWindow(rc);
    }
    if (AlwaysOnTop())
        window_->SetZOrder(fullScreen_ ? AppBarWindow::ZOrder::Bottom : AppBarWindow::ZOrder::TopMost);
    else
        window_->SetZOrder(AppBarWindow::ZOrder::NoTopMost);
    AppBarMessage(Abs::Activate, Abs::kFloat, 0, nullptr);
    SetCaptionStyle(false, e);
    switch (s_.TaskBarButton) {
    case kButtonAlways:
        window_->SetTaskbarButton(true);
        break;
    case kButtonNever:
        window_->SetTaskbarButton(false);
        break;
    case kButtonFloating:
        if (docked(e))
            window_->SetTaskbarButton(false);
        else if (e == Abs::kFloat)
            window_->SetTaskbarButton(true);
        break;
    default:
        break;
    }
}

// --- geometry --------------------------------------------------------------------------------

clsTAppBar::MinMax clsTAppBar::limitsFor(qint32 edge) const {
    const auto m = metrics();
    if (edge == Abs::kFloat)
        return {s_.FloatMinWidth, s_.FloatMinHeight, s_.FloatMaxWidth, s_.FloatMaxHeight};
    MinMax r{s_.DockedMinWidth, s_.DockedMinHeight, m.cxScreen, m.cyScreen};
    if (edge == Abs::kLeft || edge == Abs::kRight) r.maxWidth = s_.DockedMaxWidth;
    if (edge == Abs::kTop || edge == Abs::kBottom) r.maxHeight = s_.DockedMaxHeight;
    return r;
}

clsTAppBar::MinMax clsTAppBar::OnGetMinMaxInfo() const {
    return limitsFor(Edge());
}

void clsTAppBar::applySizeLimits() {
    const MinMax mm = limitsFor(Edge());
    window_->SetSizeLimits(mm.minWidth, mm.minHeight, mm.maxWidth, mm.maxHeight);
}

// The window manager keeps a window within its limits; every rectangle the bar computes is
// kept within them first, so that what it reserves is what the window covers. The minimum
// wins over a smaller maximum, as it does for the window.
Rect clsTAppBar::clamped(const Rect& r, qint32 edge) const {
    const MinMax mm = limitsFor(edge);
    auto fit = [](qint32 v, qint32 lo, qint32 hi) { return qMax(lo, hi > 0 ? qMin(v, hi) : v); };
    Rect out = r;
    out.right = out.left + fit(r.width(), mm.minWidth, mm.maxWidth);
    out.bottom = out.top + fit(r.height(), mm.minHeight, mm.maxHeight);
    return out;
}

Rect clsTAppBar::GetProposedRect(qint32 edge) const {
    const auto m = metrics();
    Rect rc{0, 0, m.cxScreen, m.cyScreen};
    if (!AutoHide()) AppBarMessage(Abs::QueryPos, edge, 0, &rc);
    const Rect size = clamped(Rect{0, 0, s_.DockedWidth, s_.DockedHeight}, edge);
    switch (edge) {
    case Abs::kLeft:
        rc.right = rc.left + size.width();
        break;
    case Abs::kTop:
        rc.bottom = rc.top + size.height();
        break;
    case Abs::kRight:
        rc.left = rc.right - size.width();
        break;
    case Abs::kBottom:
        rc.top = rc.bottom - size.height();
        break;
    default:
        break;
    }
    return rc;
}

bool clsTAppBar::GetAutoHideRect(bool show, Rect& r) const {
    const qint32 e = Edge();
    if (!AutoHide() || !docked(e)) return false;
    const auto m = metrics();
    const qint32 w = r.width(), h = r.height();
    qint32 x = 0, y = 0;
    switch (e) {
    case Abs::kLeft:
        x = show ? 0 : 2 * m.cxBorder - w;
        break;
    case Abs::kTop:
        y = show ? 0 : 2 * m.cyBorder - h;
        break;
    case Abs::kRight:
        x = show ? m.cxScreen - w : m.cxScreen - 2 * m.cxBorder;
        break;
    case Abs::kBottom:
        y = show ? m.cyScreen - h : m.cyScreen - 2 * m.cyBorder;
        break;
    default:
        break;
    }
    r = Rect{x, y, x + w, y + h};
    return true;
}

void clsTAppBar::ShowAutoHideBar(bool show) {
    if (!window_) return;
    Rect rc = windowRect();
    shown_ = true;
    if (GetAutoHideRect(show, rc)) {
        shown_ = show;
        SlideWindow(rc);
    }
}

// --- sliding ---------------------------------------------------------------------------------

Rect clsTAppBar::windowRect() const {
    // While sliding, the bar is where the slide ends.
    return sliding_ ? slideTarget_ : window_->WindowRect();
}

void clsTAppBar::cancelSlide() {
    sliding_ = false;
    slideTimer_->stop();
}

void clsTAppBar::DragTo(const Rect& r) {
    if (!window_) return;
    cancelSlide();
    MoveWindow(clamped(r, Edge()));
}

void clsTAppBar::MoveWindow(const Rect& r) {
    window_->SetWindowRect(r);
}

void clsTAppBar::SlideWindow(const Rect& target) {
    const bool full = metrics().dragFullWindows;
    const Rect start = window_->WindowRect();
    cancelSlide();
    // A hidden window is placed at once; a slide time of 0 or less has no steps.
    if (full && SlideEffect() && !(start == target) && window_->IsVisible() && s_.SlideTime > 0) {
        sliding_ = true;
        slideStart_ = start;
        slideTarget_ = target;
        slideT0_ = desktop_->Now();
        slideTime_ = s_.SlideTime;
        MoveWindow(start);
        slideTimer_->start();
        return;
    }
    MoveWindow(target);
}

void clsTAppBar::OnSlideTick() {
    if (!sliding_ || !window_) return;
    const qint64 d = desktop_->Now() - slideT0_;
    if (d >= slideTime_) {
        cancelSlide();
        MoveWindow(slideTarget_);
        return;
    }
    const Rect& a = slideStart_;
    const Rect& b = slideTarget_;
    const qint32 left = step(a.left, b.left, d, slideTime_);
    const qint32 top = step(a.top, b.top, d, slideTime_);
    const qint32 w = step(a.width(), b.width(), d, slideTime_);
    const qint32 h = step(a.height(), b.height(), d, slideTime_);
    MoveWindow(Rect{left, top, left + w, top + h});
}

void clsTAppBar::SetCaptionStyle(bool onlyUnderFullDrag, qint32 e) {
    if (!onlyUnderFullDrag || metrics().dragFullWindows) window_->SetCaption(e == Abs::kFloat);
}

void clsTAppBar::ShowAutoHideError() {
    desktop_->ShowInfo(window_->Caption(),
                       QStringLiteral("There is already an auto hidden window on this edge.") +
                           QStringLiteral("\n\r") +
                           QStringLiteral("Only one auto hidden window is allowed on each edge."));
}

// --- events ----------------------------------------------------------------------------------

void clsTAppBar::OnAppBarNotify(int code, qintptr param) {
    if (code == Abs::kPosChanged)
        OnPosChanged();
    else if (code == Abs::kFullScreenApp)
        OnFullScreenApp(param != 0);
}

void clsTAppBar::OnPosChanged() {
    if (AutoHide() || s_.Edge == Abs::kFloat) return;
    UpdateBar();
}

void clsTAppBar::OnWindowPosChanged() {
    AppBarMessage(Abs::WindowPosChanged, Abs::kFloat, 0, nullptr);
}

void clsTAppBar::OnActivate(int code) {
    if (code == 0) ShowAutoHideBar(false);
    AppBarMessage(Abs::Activate, Abs::kFloat, 0, nullptr);
}

void clsTAppBar::OnTimer() {
    if (!window_ || window_->IsActive()) return;
    const auto m = metrics();
    Rect rc = windowRect();
    rc.left -= 2 * m.cxDoubleClk;
    rc.right += 2 * m.cxDoubleClk;
    rc.top -= 2 * m.cyDoubleClk;
    rc.bottom += 2 * m.cyDoubleClk;
    const QPoint pt = desktop_->Pointer();
    const bool inside = pt.x() >= rc.left && pt.x() <= rc.right && pt.y() >= rc.top && pt.y() <= rc.bottom;
    if (!inside) ShowAutoHideBar(false);
}

void clsTAppBar::OnNcMouseMove() {
    ShowAutoHideBar(true);
}

int clsTAppBar::OnNcHitTest(int c, QPoint pt) const {
    if (c == HTCLIENT && desktop_->PrimaryButtonDown()) c = HTCAPTION;
    const qint32 e = Edge();
    const bool h0 = s_.HorzSizeInc == 0, v0 = s_.VertSizeInc == 0;
    if (e == Abs::kFloat) {
        switch (c) {
        case HTLEFT:
        case HTRIGHT:
            if (h0) c = HTBORDER;
            break;
        case HTTOP:
        case HTBOTTOM:
            if (v0) c = HTBORDER;
            break;
        case HTTOPLEFT:
        case HTTOPRIGHT:
        case HTBOTTOMLEFT:
        case HTBOTTOMRIGHT: {
            const bool top = c == HTTOPLEFT || c == HTTOPRIGHT;
            const bool left = c == HTTOPLEFT || c == HTBOTTOMLEFT;
            if (h0 && v0)
                c = HTBORDER;
            else if (h0)
                c = top ? HTTOP : HTBOTTOM;
            else if (v0)
                c = left ? HTLEFT : HTRIGHT;
            break;
        }
        default:
            break;
        }
    } else if (docked(e) && c >= HTLEFT && c <= HTBOTTOMRIGHT && window_) {
        const Rect client = window_->ClientRect();
        int want = HTBORDER;
        if (e == Abs::kLeft && pt.x() >= client.right) want = HTRIGHT;
        if (e == Abs::kTop && pt.y() >= client.bottom) want = HTBOTTOM;
        if (e == Abs::kRight && pt.x() < client.left) want = HTLEFT;
        if (e == Abs::kBottom && pt.y() < client.top) want = HTTOP;
        const bool horizontal = e == Abs::kLeft || e == Abs::kRight;
        if ((horizontal && h0) || (!horizontal && v0)) want = HTBORDER;
        c = want;
    }
    return c;
}

void clsTAppBar::OnEnterSizeMove() {
    dragEdge_ = s_.Edge;
}

Rect clsTAppBar::OnMoving(const Rect& proposed) {
    Rect rc = proposed;
    const QPoint pt = desktop_->Pointer();
    const qint32 choice = GetEdgeFromPoint(pt);
    if (dragEdge_ != Abs::kFloat && choice == Abs::kFloat) {
        const Rect f = clamped(FloatRect(), Abs::kFloat);
        const qint32 w = f.width(), h = f.height();
        rc.left = pt.x() - w / 2;
        rc.top = pt.y();
        rc.right = rc.left + w;
        rc.bottom = rc.top + h;
    }
    dragEdge_ = choice;
    if (docked(choice)) rc = GetProposedRect(choice);
    SetCaptionStyle(true, choice);
    return rc;
}

void clsTAppBar::OnExitSizeMove() {
    const qint32 a = dragEdge_;
    dragEdge_ = Abs::kNone;
    if (!window_) return;
    const Rect r = window_->WindowRect();
    if (a == s_.Edge && docked(a)) {
        if (a == Abs::kTop || a == Abs::kBottom)
            s_.DockedHeight = r.height();
        else
            s_.DockedWidth = r.width();
    }
    if (a == Abs::kFloat) {
        if (s_.Edge != Abs::kFloat) {
            const Rect work = metrics().workArea;
            qint32 w = r.width(), h = r.height();
            // A bar dropped at full width (or height) would float as wide as the screen.
            if (r.height() >= work.height() || r.width() >= work.width()) {
                w = s_.FloatRight - s_.FloatLeft;
                h = s_.FloatBottom - s_.FloatTop;
            }
            SetFloatRect(Rect{r.left, r.top, r.left + w, r.top + h});
        } else {
            SetFloatRect(r);
        }
    }
    SetEdge(a);
}

Rect clsTAppBar::OnSizing(int side, const Rect& proposed) const {
    const bool floating = s_.Edge == Abs::kFloat;
    const qint32 bw = floating ? s_.FloatMinWidth : s_.DockedMinWidth;
    const qint32 bh = floating ? s_.FloatMinHeight : s_.DockedMinHeight;
    qint32 w = proposed.width(), h = proposed.height();
    if (s_.HorzSizeInc != 0) w = bw + s_.HorzSizeInc * ((w - bw + s_.HorzSizeInc / 2) / s_.HorzSizeInc);
    if (s_.VertSizeInc != 0) h = bh + s_.VertSizeInc * ((h - bh + s_.VertSizeInc / 2) / s_.VertSizeInc);
    Rect r = proposed;
    const bool left = side == WMSZ_LEFT || side == WMSZ_TOPLEFT || side == WMSZ_BOTTOMLEFT;
    const bool right = side == WMSZ_RIGHT || side == WMSZ_TOPRIGHT || side == WMSZ_BOTTOMRIGHT;
    const bool top = side == WMSZ_TOP || side == WMSZ_TOPLEFT || side == WMSZ_TOPRIGHT;
    const bool bottom = side == WMSZ_BOTTOM || side == WMSZ_BOTTOMLEFT || side == WMSZ_BOTTOMRIGHT;
    if (left) r.left = r.right - w;
    if (right) r.right = r.left + w;
    if (top) r.top = r.bottom - h;
    if (bottom) r.bottom = r.top + h;
    return r;
}

qint32 clsTAppBar::GetEdgeFromPoint(QPoint pt) const {
    if (desktop_->CtrlDown() && (s_.AllowedEdges & kAllowFloat)) return Abs::kFloat;
    return EdgeFromPoint(s_.AllowedEdges, pt);
}

qint32 clsTAppBar::EdgeFromPoint(qint32 allowed, QPoint pt) const {
    const auto m = metrics();
    const bool canFloat = allowed & kAllowFloat;
    if (canFloat) {
        Rect a = m.workArea;
        a.left += m.cxVScroll;
        a.right -= m.cxVScroll;
        a.top += m.cyHScroll;
        a.bottom -= m.cyHScroll;
        const bool inside = pt.x() >= a.left && pt.x() < a.right && pt.y() >= a.top && pt.y() < a.bottom;
        if ((allowed & 15) == 0 || inside) return Abs::kFloat;
    }
    const qint64 dx = pt.x() - m.cxScreen / 2, dy = pt.y() - m.cyScreen / 2;
    qint32 e;
    if (std::llabs(dx) * m.cyScreen < std::llabs(dy) * m.cxScreen)
        e = dy < 0 ? Abs::kTop : Abs::kBottom;
    else
        e = dx < 0 ? Abs::kLeft : Abs::kRight;
    const qint32 bit = e == Abs::kLeft    ? kAllowLeft
                       : e == Abs::kTop   ? kAllowTop
                       : e == Abs::kRight ? kAllowRight
                                          : kAllowBottom;
    if (!(allowed & bit)) return canFloat ? Abs::kFloat : s_.Edge;
    return e;
}

// --- the registry record -----------------------------------------------------------------------

QByteArray clsTAppBar::Record() const {
    QByteArray b(kRecordSize, '\0');
    auto put32 = [&b](int at, qint32 v) { qToLittleEndian<qint32>(v, b.data() + at); };
    auto put16 = [&b](int at, qint16 v) { qToLittleEndian<qint16>(v, b.data() + at); };
    put32(0, s_.RecordSize);
    put32(4, s_.Edge);
    put32(8, s_.AllowedEdges);
    put16(12, s_.AutoHide);
    put16(14, s_.AlwaysOnTop);
    put16(16, s_.SlideEffect);
    put32(20, s_.SlideTime);
    put32(24, s_.HorzSizeInc);
    put32(28, s_.VertSizeInc);
    put32(32, s_.DockedWidth);
    put32(36, s_.DockedHeight);
    put32(40, s_.FloatLeft);
    put32(44, s_.FloatTop);
    put32(48, s_.FloatRight);
    put32(52, s_.FloatBottom);
    put32(56, s_.FloatMinWidth);
    put32(60, s_.FloatMinHeight);
    put32(64, s_.FloatMaxWidth);
    put32(68, s_.FloatMaxHeight);
    put32(72, s_.DockedMinWidth);
    put32(76, s_.DockedMinHeight);
    put32(80, s_.DockedMaxWidth);
    put32(84, s_.DockedMaxHeight);
    put16(88, static_cast<qint16>(s_.TaskBarButton & 0xFFFF));
    return b;
}

bool clsTAppBar::SetRecord(const QByteArray& bytes) {
    if (bytes.size() != kRecordSize) return false;
    // The record is read into a zeroed buffer two bytes longer: the high half of the last
    // field is always 0.
    QByteArray b = bytes + QByteArray(2, '\0');
    auto get32 = [&b](int at) { return qFromLittleEndian<qint32>(b.constData() + at); };
    auto get16 = [&b](int at) { return qFromLittleEndian<qint16>(b.constData() + at); };
    s_.RecordSize = get32(0);
    s_.Edge = get32(4);
    s_.AllowedEdges = get32(8);
    s_.AutoHide = get16(12);
    s_.AlwaysOnTop = get16(14);
    s_.SlideEffect = get16(16);
    s_.SlideTime = get32(20);
    s_.HorzSizeInc = get32(24);
    s_.VertSizeInc = get32(28);
    s_.DockedWidth = get32(32);
    s_.DockedHeight = get32(36);
    s_.FloatLeft = get32(40);
    s_.FloatTop = get32(44);
    s_.FloatRight = get32(48);
    s_.FloatBottom = get32(52);
    s_.FloatMinWidth = get32(56);
    s_.FloatMinHeight = get32(60);
    s_.FloatMaxWidth = get32(64);
    s_.FloatMaxHeight = get32(68);
    s_.DockedMinWidth = get32(72);
    s_.DockedMinHeight = get32(76);
    s_.DockedMaxWidth = get32(80);
    s_.DockedMaxHeight = get32(84);
    s_.TaskBarButton = get32(88);
    return true;
}

bool clsTAppBar::LoadSettings() {
    const auto v = Registry::queryValue(regRoot_, regKey_, QString());
    if (!v) return false;
    // The value's type is not checked: text counts by its bytes.
    const QByteArray bytes = v->type == Registry::Type::Binary ? v->bytes : v->text.toLatin1();
    return SetRecord(bytes);
}

bool clsTAppBar::SaveSettings() const {
    Registry::Value v;
    v.type = Registry::Type::Binary;
    v.bytes = Record();
    return Registry::setValue(regRoot_, regKey_, QString(), v);
}
