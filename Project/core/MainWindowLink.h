#pragma once
// What the conversation windows ask of the main window: a user's record, blocking, and adding
// the main window's selection to a room. The main window answers while it is loaded; before
// it (sign-in, self test) and after its clean-up there is none.
#include "core/PeerInfo.h"

#include <QString>
#include <QVariant>
#include <functional>

class ChatRoom;

class MainWindowLink {
  public:
    virtual ~MainWindowLink() = default;
    // `what`: 0 blocked by me (bool), 1 colour, 2 font name, 3 status, 4 selected,
    // 5 accepts me.
    virtual QVariant GetUserInfo(const QString& name, int what) const = 0;
    // The colour and font of GetUserInfo, read together. The main window reads its list once.
    virtual PeerInfo::Look GetUserLook(const QString& name) const;
    virtual bool IsBlocked(const QString& name) const = 0;
    virtual void AddBlock(const QString& name) = 0;
    virtual void RemBlock(const QString& name) = 0;
    // Blocks every listed user (names each followed by the separator) I do not block, and
    // unblocks every one I do.
    virtual void InvBlock(const QString& userList);
    // Adds every user selected in the main window to the room (refusing those in a room).
    virtual void AddU2Chat(ChatRoom* room) = 0;

    // The loaded main window, or nullptr: what the holder reads now.
    static MainWindowLink* Loaded();
    // Where Loaded() reads. The main window points it at the one holder of its loaded window as
    // it loads, so the link lets go of the window exactly when that holder does; a test points it
    // at its stand-in. An empty holder: there is no main window.
    using Holder = std::function<MainWindowLink*()>;
    static void SetHolder(Holder holder);
};
