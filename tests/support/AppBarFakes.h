#pragma once
// A desktop for the toolbar without a screen: a shell that records every message (and can
// refuse auto-hide or keep a strip of its own at the top), a window that records what it is
// asked to do, and a desktop with metrics, pointer, keys and a clock the test sets.
#include "controls/clsTAppBar.h"

#include <QRegularExpression>
#include <QStringList>
#include <QWidget>

struct ShellRecorder : AppBarShell::BasicShell {
    QStringList log;
    bool refuseAutoHide = false;
    int topStrip = 0; // another bar's strip at the top of the screen: QUERYPOS docks below it
    Slot<AppBarShell::Shell>::Override use{AppBarShell::shell(), *this};

    static QString rect(const AppBarShell::Rect& r) {
        return QStringLiteral("%1,%2,%3,%4").arg(r.left).arg(r.top).arg(r.right).arg(r.bottom);
    }
    qintptr Send(AppBarShell::Message m, AppBarShell::Data& d) override {
        using namespace AppBarShell;
        static const char* names[] = {
            "NEW",        "REMOVE",   "QUERYPOS",       "SETPOS",         "GETSTATE",
            "TASKBARPOS", "ACTIVATE", "GETAUTOHIDEBAR", "SETAUTOHIDEBAR", "WINDOWPOSCHANGED"};
        QString line = QString::fromLatin1(names[m]);
        if (m == QueryPos || m == SetPos) line += QStringLiteral(" %1 %2").arg(d.uEdge).arg(rect(d.rc));
        if (m == SetAutoHideBar) line += QStringLiteral(" %1 %2").arg(d.uEdge).arg(d.lParam ? 1 : 0);
        if (m == SetAutoHideBar && d.lParam && refuseAutoHide) {
            log << line + QStringLiteral(" refused");
            return 0;
        }
        if (m == QueryPos && topStrip > 0) {
            if (d.uEdge == kTop) d.rc.top += topStrip;
            if (d.uEdge == kLeft || d.uEdge == kRight) d.rc.top += topStrip;
        }
        if (m != GetAutoHideBar && m != WindowPosChanged) log << line;
        return BasicShell::Send(m, d);
    }
    QStringList only(const QString& prefix) const {
        return log.filter(QRegularExpression(QLatin1Char('^') + prefix));
    }
};

struct WindowRecorder : AppBarWindow {
    QWidget handle; // never shown: the shell knows the bar by it
    AppBarShell::Rect rect{100, 100, 500, 181};
    QStringList log;
    QList<AppBarShell::Rect> moves;
    bool active = false, visible = true;
    ZOrder z = ZOrder::NoTopMost;
    bool caption = true, taskbar = true;
    int minW = 0, minH = 0, maxW = 0, maxH = 0;

    QWidget* Handle() const override { return const_cast<QWidget*>(&handle); }
    AppBarShell::Rect WindowRect() const override { return rect; }
    AppBarShell::Rect ClientRect() const override {
        return {rect.left + 4, rect.top + 4, rect.right - 4, rect.bottom - 4};
    }
    void SetWindowRect(const AppBarShell::Rect& r) override {
        rect = r;
        moves << r;
    }
    void SetSizeLimits(int a, int b, int c, int d) override { minW = a, minH = b, maxW = c, maxH = d; }
    void SetZOrder(ZOrder v) override { z = v; }
    void SetCaption(bool on) override {
        if (on != caption) log << QStringLiteral("caption %1").arg(on);
        caption = on;
    }
    bool SetTaskbarButton(bool on) override {
        if (on == taskbar) return false;
        taskbar = on;
        return true;
    }
    bool IsActive() const override { return active; }
    bool IsVisible() const override { return visible; }
    QString Caption() const override { return QStringLiteral("SpeedBar - Talkvane3"); }
};

struct DesktopRecorder : AppBarDesktop {
    Metrics m;
    QPoint pointer{500, 400};
    bool ctrl = false, primary = false;
    qint64 now = 1000;
    QStringList infos;
    DesktopRecorder() {
        m.cxScreen = 1024;
        m.cyScreen = 768;
        m.workArea = {0, 0, 1024, 738};
    }
    Metrics GetMetrics() const override { return m; }
    QPoint Pointer() const override { return pointer; }
    bool CtrlDown() const override { return ctrl; }
    bool PrimaryButtonDown() const override { return primary; }
    qint64 Now() const override { return now; }
    void ShowInfo(const QString& title, const QString& text) override {
        infos << title + QLatin1Char('|') + text;
    }
};
