#include "platform/TrayIcon.h"

#include <QMenu>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QTimer>

namespace {
// How often the tray's presence is checked: Qt reports no tray that comes or goes.
constexpr int kCheckMs = 2000;

class SystemIcon : public TrayIcon::Icon {
  public:
    SystemIcon() {
        QObject::connect(&icon_, &QSystemTrayIcon::activated, this,
                         [this](QSystemTrayIcon::ActivationReason r) {
                             switch (r) {
                             case QSystemTrayIcon::Trigger:
                                 emit Notify(TrayIcon::kLeftUp);
                                 break;
                             case QSystemTrayIcon::DoubleClick:
                                 emit Notify(TrayIcon::kLeftDouble);
                                 break;
                             case QSystemTrayIcon::Context:
                                 emit Notify(TrayIcon::kRightUp);
                                 break;
                             default:
                                 break;
                             }
                         });
        check_.setInterval(kCheckMs);
        QObject::connect(&check_, &QTimer::timeout, this, [this] {
            const bool now = IsShown();
            if (now == lastShown_) return;
            lastShown_ = now;
            emit ShownChanged(now);
        });
    }
    bool Add(const QIcon& icon, const QString& tip) override {
        icon_.setIcon(icon);
        icon_.setToolTip(tip);
        icon_.show();
        lastShown_ = IsShown();
        check_.start();
        return lastShown_;
    }
    bool Modify(const QIcon& icon, const QString& tip) override {
        if (!icon_.isVisible()) return false;
        // Setting an unchanged icon makes some trays flicker.
        if (icon.cacheKey() != icon_.icon().cacheKey()) icon_.setIcon(icon);
        if (tip != icon_.toolTip()) icon_.setToolTip(tip);
        return IsShown();
    }
    bool Delete() override {
        const bool was = icon_.isVisible();
        icon_.hide();
        check_.stop();
        lastShown_ = false;
        return was;
    }
    // isVisible() stays true with no tray to show the icon in.
    bool IsShown() const override { return icon_.isVisible() && QSystemTrayIcon::isSystemTrayAvailable(); }
    void SetMenu(QMenu* menu) override { icon_.setContextMenu(menu); }
    bool ShowsMenuItself() const override { return icon_.contextMenu() != nullptr; }

  private:
    QSystemTrayIcon icon_;
    QTimer check_;
    bool lastShown_ = false;
};

class SystemBackend : public TrayIcon::Backend {
  public:
    std::unique_ptr<TrayIcon::Icon> Create() override { return std::make_unique<SystemIcon>(); }
};
} // namespace

Slot<TrayIcon::Backend>& TrayIcon::backend() {
    static SystemBackend builtIn;
    static Slot<Backend> slot(builtIn);
    return slot;
}
