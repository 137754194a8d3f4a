#include "controls/ctlTaskBarIcon.h"

#include "controls/PropertyBag.h"

#include <QGuiApplication>
#include <QMenu>
#include <QTimer>

namespace {
qint16 shiftNow() {
    const Qt::KeyboardModifiers m = QGuiApplication::queryKeyboardModifiers();
    return static_cast<qint16>((m & Qt::ShiftModifier ? 1 : 0) | (m & Qt::ControlModifier ? 2 : 0) |
                               (m & Qt::AltModifier ? 4 : 0));
}

QVariant pictureValue(const ctlTaskBarIcon::Picture& p) {
    return QVariant::fromValue(QList<QVariant>{static_cast<int>(p.type), QVariant::fromValue(p.image)});
}
ctlTaskBarIcon::Picture pictureFrom(const QVariant& v) {
    const QList<QVariant> l = v.toList();
    if (l.size() != 2) return {};
    ctlTaskBarIcon::Picture p;
    const int t = l[0].toInt();
    p.type = t == 3   ? ctlTaskBarIcon::Picture::Type::Icon
             : t == 1 ? ctlTaskBarIcon::Picture::Type::Bitmap
                      : ctlTaskBarIcon::Picture::Type::None;
    p.image = l[1].value<QIcon>();
    return p;
}
} // namespace

ctlTaskBarIcon::ctlTaskBarIcon(QObject* parent) : QObject(parent), icon_(TrayIcon::backend().get().Create()) {
    Timer1 = new QTimer(this);
    Timer2 = new QTimer(this);
    connect(Timer1, &QTimer::timeout, this, &ctlTaskBarIcon::Timer1_Timer);
    connect(Timer2, &QTimer::timeout, this, &ctlTaskBarIcon::Timer2_Timer);
    connect(icon_.get(), &TrayIcon::Icon::Notify, this,
            [this](int message) { OnMouseMessage(float(message)); });
    connect(icon_.get(), &TrayIcon::Icon::ShownChanged, this, [this](bool shown) {
        if (enabled_) emit TrayShownChanged(shown);
    });
}

ctlTaskBarIcon::~ctlTaskBarIcon() {
    // No icon is left behind in the tray.
    if (enabled_) icon_->Delete();
}

QString ctlTaskBarIcon::cutTip(const QString& tip) {
    return tip.left(TrayIcon::kTipLength);
}

void ctlTaskBarIcon::showIcon(const QIcon& icon) {
    shown_ = icon;
    icon_->Modify(icon, cutTip(tip_));
}

void ctlTaskBarIcon::startTimer(QTimer* t, qint32 ms) {
    // A time of 0 or less would tick without pause: such a timer does not tick at all.
    if (ms <= 0) return;
    t->setInterval(ms);
    t->start();
}

void ctlTaskBarIcon::SetEnabled(bool v) {
    if (v == enabled_) return;
    if (v) {
        if (!baseIcon_.IsIcon()) return;
        shown_ = baseIcon_.image;
        icon_->Add(shown_, cutTip(tip_));
        enabled_ = true;
    } else {
        enabled_ = false;
        SetFlash(false);
        SetAnimate(false);
        icon_->Delete();
    }
    emit PropertyChanged(QStringLiteral("Enabled"));
}

void ctlTaskBarIcon::SetBaseIcon(const Picture& p) {
    if (!p.IsIcon()) SetEnabled(false);
    baseIcon_ = p;
    if (p.IsIcon() && enabled_ && !flash_ && !animate_) showIcon(p.image);
    emit PropertyChanged(QStringLiteral("BaseIcon"));
}

void ctlTaskBarIcon::SetFlashIcon(const Picture& p) {
    if (!p.IsIcon()) SetFlash(false);
    flashIcon_ = p;
    emit PropertyChanged(QStringLiteral("FlashIcon"));
}

void ctlTaskBarIcon::SetTip(const QString& s) {
    tip_ = s;
    if (enabled_) icon_->Modify(shown_, cutTip(tip_));
    emit PropertyChanged(QStringLiteral("Tip"));
}

bool ctlTaskBarIcon::ResetIcons() {
    frames_.clear();
    emit PropertyChanged(QStringLiteral("PictureIndex"));
    return false;
}

void ctlTaskBarIcon::SetFlash(bool v) {
    if (v == flash_) return;
    if (v) {
        if (!enabled_ || animate_ || !flashIcon_.IsIcon()) return;
        flashPhase_ = true;
        startTimer(Timer1, flashTime_);
        flash_ = true;
    } else {
        Timer1->stop();
        flash_ = false;
        showIcon(baseIcon_.image);
    }
    emit PropertyChanged(QStringLiteral("Flash"));
}

void ctlTaskBarIcon::SetAnimate(bool v) {
    if (v == animate_) return;
    if (v) {
        if (flash_ || !enabled_ || frames_.empty()) return;
        startTimer(Timer2, animationTime_);
        animate_ = true;
    } else {
        Timer2->stop();
        showIcon(baseIcon_.image);
        animate_ = false;
    }
    emit PropertyChanged(QStringLiteral("Animate"));
}

void ctlTaskBarIcon::SetAddIcon(const Picture& p) {
    addIcon_ = p;
    if (p.IsIcon()) {
        frames_.push_back(p.image);
        emit PropertyChanged(QStringLiteral("PictureIndex"));
    }
    emit PropertyChanged(QStringLiteral("AddIcon"));
}

void ctlTaskBarIcon::SetAnimationTime(qint32 ms) {
    animationTime_ = ms;
    emit PropertyChanged(QStringLiteral("AnimationTime"));
}

void ctlTaskBarIcon::SetFlashTime(qint32 ms) {
    flashTime_ = ms;
    emit PropertyChanged(QStringLiteral("FlashTime"));
}

bool ctlTaskBarIcon::TrayShown() const {
    return enabled_ && icon_->IsShown();
}

void ctlTaskBarIcon::SetMenu(QMenu* menu) {
    menu_ = menu;
    icon_->SetMenu(menu);
}

bool ctlTaskBarIcon::MenuShownByTray() const {
    return menu_ && icon_->ShowsMenuItself();
}

void ctlTaskBarIcon::OnMouseMessage(float X) {
    qint16 button = 0, shift = shiftNow();
    float x = X, y = 0;
    if (X == float(TrayIcon::kLeftUp))
        emit LeftClick(button, shift, x, y);
    else if (X == float(TrayIcon::kLeftDouble))
        emit LeftDbClick(button, shift, x, y);
    else if (X == float(TrayIcon::kRightUp))
        emit RightClick(button, shift, x, y);
    else if (X == float(TrayIcon::kRightDouble))
        emit RightDbClick(button, shift, x, y);
}

void ctlTaskBarIcon::Timer1_Timer() {
    if (flashPhase_) {
        showIcon(flashIcon_.image);
        flashPhase_ = false;
    } else {
        showIcon(baseIcon_.image);
        flashPhase_ = true;
    }
}

void ctlTaskBarIcon::Timer2_Timer() {
    const qint32 count = PictureIndex();
    if (count < 1) return;
    ++frame_;
    if (frame_ > count) frame_ = 1;
    showIcon(frames_[size_t(frame_ - 1)]);
}

void ctlTaskBarIcon::ReadProperties(const PropertyBag& bag) {
    addIcon_ = pictureFrom(bag.ReadProperty(QStringLiteral("AddIcon"), QVariant()));
    baseIcon_ = pictureFrom(bag.ReadProperty(QStringLiteral("BaseIcon"), QVariant()));
    flashIcon_ = pictureFrom(bag.ReadProperty(QStringLiteral("FlashIcon"), QVariant()));
    enabled_ = bag.ReadProperty(QStringLiteral("Enabled"), false).toBool();
    tip_ = bag.ReadProperty(QStringLiteral("Tip"), QString()).toString();
    flash_ = bag.ReadProperty(QStringLiteral("Flash"), false).toBool();
    animate_ = bag.ReadProperty(QStringLiteral("Animate"), false).toBool();
    animationTime_ = bag.ReadProperty(QStringLiteral("AnimationTime"), kDefaultTime).toInt();
    flashTime_ = bag.ReadProperty(QStringLiteral("FlashTime"), kDefaultTime).toInt();
    // The stored frame count comes without its frames: the count stays what is held.
}

void ctlTaskBarIcon::WriteProperties(PropertyBag& bag) const {
    bag.WriteProperty(QStringLiteral("BaseIcon"), pictureValue(baseIcon_));
    bag.WriteProperty(QStringLiteral("FlashIcon"), pictureValue(flashIcon_));
    bag.WriteProperty(QStringLiteral("AddIcon"), pictureValue(addIcon_));
    auto put = [&bag](const char* key, const QVariant& v, const QVariant& def) {
        if (v != def) bag.WriteProperty(QString::fromLatin1(key), v);
    };
    put("Enabled", enabled_, false);
    put("Tip", tip_, QString());
    put("Flash", flash_, false);
    put("Animate", animate_, false);
    put("AnimationTime", animationTime_, kDefaultTime);
    put("FlashTime", flashTime_, kDefaultTime);
    put("PictureIndex", PictureIndex(), 0);
}
