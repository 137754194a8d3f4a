#pragma once
// Stand-ins for the chat side: a room that records what it is handed, a main window that
// answers user records and blocks, and an attention backend that records flashes.
#include "core/ChatRooms.h"
#include "core/MainWindowLink.h"
#include "core/modAppFnc.h"
#include "platform/Attention.h"

#include <QStringList>
#include <memory>
#include <vector>

struct RoomRecorder : ChatRoom {
    QStringList members;
    // "msg|<packet>|<from>|<soundPlayed>", "add|<name>", "show" (opened by the user), "show unasked"
    // (opened by a line from the network), "close"
    QStringList calls;
    bool HaveUser(const QString& name) override {
        for (const QString& m : members)
            if (modAppFnc::SameNoCase(m, name)) return true;
        return false;
    }
    void AddMsg(const QString& packet, const QString& from, bool soundPlayed) override {
        calls << QStringLiteral("msg|%1|%2|%3").arg(packet, from).arg(soundPlayed ? 1 : 0);
    }
    void AddUser(const QString& name) override {
        calls << QStringLiteral("add|") + name;
        // A room refuses what the chat window refuses.
        if (name.isEmpty() || name.startsWith(QLatin1Char('\\')) || HaveUser(name)) return;
        members << name;
    }
    void ShowRoom(Opener by) override {
        calls << (by == Opener::Network ? QStringLiteral("show unasked") : QStringLiteral("show"));
    }
    void CloseRoom() override {
        calls << QStringLiteral("close");
        ChatRooms::Leave(this);
    }
};

// Makes RoomRecorders and keeps them for the test to look at.
struct RoomFactory {
    std::vector<std::unique_ptr<RoomRecorder>> made;
    RoomFactory() {
        ChatRooms::SetFactory([this]() -> ChatRoom* {
            made.push_back(std::make_unique<RoomRecorder>());
            return made.back().get();
        });
    }
    ~RoomFactory() { ChatRooms::SetFactory({}); }
};

struct MainRecorder : MainWindowLink {
    QStringList blocked;
    QStringList calls;
    QVariant font = QStringLiteral("Arial"), colour = QStringLiteral("0");
    MainRecorder() {
        SetHolder([this] { return this; });
    }
    ~MainRecorder() override { SetHolder({}); }
    QVariant GetUserInfo(const QString& name, int what) const override {
        if (what == 0) return IsBlocked(name);
        if (what == 1) return colour;
        if (what == 2) return font;
        return QString();
    }
    bool IsBlocked(const QString& name) const override {
        for (const QString& b : blocked)
            if (modAppFnc::SameNoCase(b, name)) return true;
        return false;
    }
    void AddBlock(const QString& name) override {
        calls << QStringLiteral("block|") + name;
        blocked << name;
    }
    void RemBlock(const QString& name) override {
        calls << QStringLiteral("unblock|") + name;
        blocked.removeIf([&](const QString& b) { return modAppFnc::SameNoCase(b, name); });
    }
    void AddU2Chat(ChatRoom* room) override {
        calls << QStringLiteral("addu2chat");
        for (const QString& n : selected)
            if (ChatRooms::IsOpen(room)) room->AddUser(n);
    }
    QStringList selected;
};

struct AttentionRecorder : Attention::Backend {
    bool active = false;
    QStringList flashes; // "1" invert, "0" back to normal
    Slot<Attention::Backend>::Override use{Attention::backend(), *this};
    bool IsActive(const QWidget*) override { return active; }
    void Flash(QWidget*, bool invert) override { flashes << QString::number(invert ? 1 : 0); }
};
