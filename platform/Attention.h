#pragma once
// Whether a window is the active one, and asking for the user's attention by flashing its
// caption (here: the window manager's urgency hint, which ends when the window is activated).
#include "platform/Slot.h"

class QWidget;

namespace Attention {
class Backend {
  public:
    virtual ~Backend() = default;
    virtual bool IsActive(const QWidget* window) = 0;
    // `invert` true toggles the caption; false puts it back to normal.
    virtual void Flash(QWidget* window, bool invert) = 0;
};
Slot<Backend>& backend();
} // namespace Attention
