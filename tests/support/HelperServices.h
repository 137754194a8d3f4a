#pragma once
// The services of the helper programs that the tests start (netpeer, companions): messages
// printed instead of shown, and no sound.
#include "core/MessageService.h"
#include "platform/Sound.h"

#include <QString>
#include <cstdio>

// Every message is printed as "MSG <text>" with CR LF as "|"; a question is answered `reply`.
struct PrintingMessages : MessageService {
    int reply = 0;
    int Show(const QString& text, int buttons, int) override {
        std::printf("MSG %s\n",
                    qPrintable(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("|"))));
        std::fflush(stdout);
        return buttons == 1 ? reply : 0;
    }
};

// No sound card and no windowing here: the beep of a message is silent.
struct Silence : Sound::Backend {
    void beep() override {}
    void playWave(const QString&, bool) override {}
};
