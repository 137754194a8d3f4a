#pragma once
// The router the network layer hands chat lines, alerts and information replies to: each
// call goes to its modAppFnc procedure. Start-up installs it together with the chat-room
// registry; windows reach the core's rooms and the main window through the interfaces in
// ChatRooms.h and MainWindowLink.h.
#include "core/NetHooks.h"

class AppRouter : public NetHooks::Router {
  public:
    void ShowAlertPop(const QString& text, const QString& sender) override;
    void RouteChatMsg(const QString& data, const QString& sender) override;
    void ShowUserInfo(const QString& text, const QString& sender) override;

    // Installs the one router and the chat-room registry as the network layer's hooks.
    static void Install();
};
