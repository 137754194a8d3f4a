#pragma once
// Sounds: the system beep and wave files. Wave files play through the desktop's sound
// service when one of its players is installed, otherwise the system beeps.
#include "platform/Slot.h"

#include <QString>

namespace Sound {
class Backend {
  public:
    virtual ~Backend() = default;
    virtual void beep() = 0;
    virtual void playWave(const QString& path, bool wait) = 0;
};
void beep();
void playWave(const QString& path, bool wait);
// The backend in use: the desktop's players by default; tests record what would be heard.
Slot<Backend>& backend();
} // namespace Sound
