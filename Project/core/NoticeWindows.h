#pragma once
// The windows the core opens for what arrives from others: an alert's pop-up, its line in the
// alert history, and an information answer. The conversation windows provide them and start-up
// installs them; the built-in default shows nothing (the core on its own has no windows).
#include "platform/Slot.h"

#include <QString>

class QObject;

// Each window opened is returned (nullptr when none was), so the core can count the ones still
// open: what the network can make us open is bounded.
class NoticeWindows {
  public:
    virtual ~NoticeWindows() = default;
    // A new pop-up in the sender's colour and font, sized to the text, placed in the corner
    // ALTPOS names, shown on top.
    virtual QObject* ShowPop(const QString& text, const QString& sender) = 0;
    virtual void AddToHistory(const QString& sender, const QString& text) = 0;
    // A new information window with the sender's answer.
    virtual QObject* ShowInfo(const QString& text, const QString& sender) = 0;
};

namespace Notices {
Slot<NoticeWindows>& Windows();
}
