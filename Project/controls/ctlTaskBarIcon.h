#pragma once
// The notification-area icon of the main window: one icon with a tool tip, which can flash
// between two pictures or cycle through frames on timers, and turns the tray's mouse messages
// into events. Requests are followed, not the tray's answers: Enabled says the icon was asked
// for; whether a tray really shows it is TrayShown. Event arguments are references (as the push
// button's); connect directly.
#include "platform/TrayIcon.h"

#include <QIcon>
#include <QObject>
#include <QPointer>
#include <QString>
#include <memory>
#include <vector>

class PropertyBag;
class QMenu;
class QTimer;

class ctlTaskBarIcon : public QObject {
    Q_OBJECT
  public:
    // A picture as a property holds it; only an icon can be shown in the tray.
    struct Picture {
        enum class Type { None = 0, Bitmap = 1, Icon = 3 };
        Type type = Type::None;
        QIcon image;
        static Picture FromIcon(const QIcon& icon) { return {icon.isNull() ? Type::None : Type::Icon, icon}; }
        static Picture FromBitmap(const QIcon& image) {
            return {image.isNull() ? Type::None : Type::Bitmap, image};
        }
        bool IsIcon() const { return type == Type::Icon && !image.isNull(); }
    };

    static constexpr qint32 kDefaultTime = 500; // ms

    // Creates its tray icon from the tray backend in use.
    explicit ctlTaskBarIcon(QObject* parent = nullptr);
    ~ctlTaskBarIcon() override;

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool v);
    const Picture& BaseIcon() const { return baseIcon_; }
    void SetBaseIcon(const Picture& p);
    const Picture& FlashIcon() const { return flashIcon_; }
    void SetFlashIcon(const Picture& p);
    QString Tip() const { return tip_; }
    void SetTip(const QString& s);
    // Drops every animation frame; returns false. Neither timer stops.
    bool ResetIcons();
    bool Flash() const { return flash_; }
    void SetFlash(bool v);
    bool Animate() const { return animate_; }
    void SetAnimate(bool v);
    const Picture& AddIcon() const { return addIcon_; }
    // Stores the picture; an icon is appended as an animation frame.
    void SetAddIcon(const Picture& p);
    // Milliseconds; stored only, a running timer keeps its rate. 0 or less: no ticks.
    qint32 AnimationTime() const { return animationTime_; }
    void SetAnimationTime(qint32 ms);
    qint32 FlashTime() const { return flashTime_; }
    void SetFlashTime(qint32 ms);
    // The number of animation frames held. It has no setter.
    qint32 PictureIndex() const { return static_cast<qint32>(frames_.size()); }

    // Whether a tray really shows the icon now (asked live).
    bool TrayShown() const;
    // The menu the tray offers on a right click (not owned), and its default item.
    void SetMenu(QMenu* menu);
    // True when the tray pops that menu up itself, so a RightClick handler must not.
    bool MenuShownByTray() const;

    // The window design: restores values only (no icon added, no timer, no frames).
    void ReadProperties(const PropertyBag& bag);
    void WriteProperties(PropertyBag& bag) const;

    // The tray's mouse message as the control receives it (X the message, Y 0).
    void OnMouseMessage(float X);
    // The timers' ticks.
    void Timer1_Timer();
    void Timer2_Timer();

    QTimer* Timer1 = nullptr; // flashing
    QTimer* Timer2 = nullptr; // animation

  signals:
    void LeftClick(qint16& Button, qint16& Shift, float& X, float& Y);
    void LeftDbClick(qint16& Button, qint16& Shift, float& X, float& Y);
    void RightClick(qint16& Button, qint16& Shift, float& X, float& Y);
    void RightDbClick(qint16& Button, qint16& Shift, float& X, float& Y);
    // A property was set; `key` is its key in the window design.
    void PropertyChanged(const QString& key);
    // A tray came or went while the icon was enabled.
    void TrayShownChanged(bool shown);

  private:
    void showIcon(const QIcon& icon);
    static QString cutTip(const QString& tip);
    static void startTimer(QTimer* t, qint32 ms);

    std::unique_ptr<TrayIcon::Icon> icon_;
    QPointer<QMenu> menu_;
    bool enabled_ = false;
    Picture baseIcon_, flashIcon_, addIcon_;
    QString tip_;
    bool flash_ = false;
    bool animate_ = false;
    qint32 animationTime_ = kDefaultTime;
    qint32 flashTime_ = kDefaultTime;
    std::vector<QIcon> frames_;
    bool flashPhase_ = false;
    qint32 frame_ = 0;
    QIcon shown_; // the picture last handed to the tray
};
