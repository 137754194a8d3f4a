#pragma once
// Sounds: the system beep and wave files. Wave files play through the desktop's sound
// service when one of its players is installed, otherwise the system beeps.
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
// Replaces the backend (tests record what would be heard); nullptr restores the real one.
void setBackend(Backend* backend);
} // namespace Sound
