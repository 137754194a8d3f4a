#pragma once
// A notification area without a screen: records what each icon is asked to do, answers as a
// tray that is there (or not, with `trayPresent`), and lets a test click the icon.
#include "platform/TrayIcon.h"

#include <QMenu>
#include <QPointer>
#include <QStringList>
#include <vector>

struct TrayRecorder : TrayIcon::Backend {
    struct FakeIcon : TrayIcon::Icon {
        TrayRecorder* owner;
        bool added = false;
        QIcon icon;
        QString tip;
        QPointer<QMenu> menu;
        explicit FakeIcon(TrayRecorder* o) : owner(o) {}
        ~FakeIcon() override {
            if (owner) std::erase(owner->icons, this);
        }
        bool Add(const QIcon& i, const QString& t) override {
            owner->calls << QStringLiteral("add|%1|%2").arg(owner->nameOf(i), t);
            added = true;
            icon = i;
            tip = t;
            return owner->trayPresent;
        }
        bool Modify(const QIcon& i, const QString& t) override {
            owner->calls << QStringLiteral("modify|%1|%2").arg(owner->nameOf(i), t);
            icon = i;
            tip = t;
            return added && owner->trayPresent;
        }
        bool Delete() override {
            owner->calls << QStringLiteral("delete");
            const bool was = added;
            added = false;
            return was;
        }
        bool IsShown() const override { return added && owner->trayPresent; }
        void SetMenu(QMenu* m) override { menu = m; }
        bool ShowsMenuItself() const override { return owner->showsMenu; }
        void click(int message) { emit Notify(message); }
    };

    QStringList calls;
    bool trayPresent = true;
    bool showsMenu = false;
    std::vector<FakeIcon*> icons;
    std::vector<std::pair<qint64, QString>> names; // icon cache keys and the names tests gave them

    Slot<TrayIcon::Backend>::Override use{TrayIcon::backend(), *this};

    ~TrayRecorder() override {
        for (FakeIcon* i : icons)
            i->owner = nullptr;
    }
    std::unique_ptr<TrayIcon::Icon> Create() override {
        auto icon = std::make_unique<FakeIcon>(this);
        icons.push_back(icon.get());
        return icon;
    }
    // A named icon, so that the calls read "modify|flash|tip".
    QIcon make(const QString& name, QColor colour) {
        QPixmap pm(16, 16);
        pm.fill(colour);
        QIcon i(pm);
        names.emplace_back(i.cacheKey(), name);
        return i;
    }
    QString nameOf(const QIcon& i) const {
        if (i.isNull()) return QStringLiteral("none");
        for (const auto& [key, name] : names)
            if (key == i.cacheKey()) return name;
        return QStringLiteral("?");
    }
    // The tray goes away (or comes back): every icon reports it.
    void setPresent(bool present) {
        trayPresent = present;
        for (FakeIcon* i : icons)
            emit i->ShownChanged(i->IsShown());
    }
    FakeIcon* last() const { return icons.empty() ? nullptr : icons.back(); }
};
