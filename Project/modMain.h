#pragma once
// The messenger's start, sign-out and end.
#include <QString>

namespace modMain {
// The start sequence: texts, one copy per program folder, log, network check, defaults,
// settings, skin, language, exit password, command line and splash (first run only), sign-in,
// main window. Returns false when the program ended on the way.
bool Main();
// The network self test of the switch "sts".
void RunSelfTest();
// Sign-out: the main window goes, and the start sequence runs again.
void Restart();
// The orderly end.
void Terminate();
// The desktop or the system ends the program: the main window's clean-up and the orderly end,
// no questions.
void EndBySystem();

// The command line's switches, applied in order (first run only).
void ApplyCommandLine(const QString& commandLine);
// True when "nlg", in any letter case, stands at the second character of the line or later.
bool LogSwitchedOff(const QString& commandLine);
} // namespace modMain
