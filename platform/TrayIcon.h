#pragma once
// One icon in the desktop's notification area, as a replaceable service: the built-in backend
// uses the desktop's tray through Qt; tests install one that records every call. The shell's
// answer is given back but callers may ignore it; whether the icon is really on screen is asked
// live with IsShown, and a change of it (a tray that comes or goes) is reported.
#include "platform/Slot.h"

#include <QIcon>
#include <QObject>
#include <QString>
#include <memory>

class QMenu;

namespace TrayIcon {

// The mouse messages an icon reports: button up, double click, right button up, right double click.
inline constexpr int kLeftUp = 514;
inline constexpr int kLeftDouble = 515;
inline constexpr int kRightUp = 517;
inline constexpr int kRightDouble = 518;
// The tool tip holds at most this many characters.
inline constexpr int kTipLength = 63;

class Icon : public QObject {
    Q_OBJECT
  public:
    // Each returns false when the tray refused the request.
    virtual bool Add(const QIcon& icon, const QString& tip) = 0;
    virtual bool Modify(const QIcon& icon, const QString& tip) = 0;
    virtual bool Delete() = 0;
    // True while the icon is added and a tray is there to show it.
    virtual bool IsShown() const = 0;
    // The menu the tray offers for the icon; nullptr for none. Not owned.
    virtual void SetMenu(QMenu* menu) = 0;
    // True when the tray (or Qt for it) pops the menu up itself on a right click.
    virtual bool ShowsMenuItself() const = 0;

  signals:
    // One of the mouse messages above.
    void Notify(int message);
    void ShownChanged(bool shown);
};

class Backend {
  public:
    virtual ~Backend() = default;
    virtual std::unique_ptr<Icon> Create() = 0;
};

Slot<Backend>& backend();

} // namespace TrayIcon
