#include "platform/Sound.h"

#include <QApplication>
#include <QProcess>
#include <QStandardPaths>

namespace {
class SystemSound : public Sound::Backend {
  public:
    void beep() override { QApplication::beep(); }
    void playWave(const QString& path, bool wait) override {
        const QString player = findPlayer();
        if (player.isEmpty()) {
            beep();
            return;
        }
        if (wait)
            QProcess::execute(player, {path});
        else if (!QProcess::startDetached(player, {path}))
            beep();
    }

  private:
    static QString findPlayer() {
        for (const char* name : {"pw-play", "paplay", "aplay"}) {
            const QString p = QStandardPaths::findExecutable(QString::fromLatin1(name));
            if (!p.isEmpty()) return p;
        }
        return {};
    }
};

} // namespace

Slot<Sound::Backend>& Sound::backend() {
    static SystemSound builtIn;
    static Slot<Backend> slot(builtIn);
    return slot;
}

void Sound::beep() {
    backend()->beep();
}
void Sound::playWave(const QString& path, bool wait) {
    backend()->playWave(path, wait);
}
