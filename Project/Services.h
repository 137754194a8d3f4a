#pragma once
// The messenger's composition root: every replaceable service and hook the layers declare gets
// the program's own implementation here, once, before the start sequence runs. The core and the
// windows declare what they need and never install anything themselves; tests install only the
// pieces they exercise, or this whole set where they run the start sequence as the program does.
namespace Services {
// The message window, chat windows, notice and transfer windows, the network layer's router,
// chat-room registry and file transfer, sign-out's restart and the orderly end's first step.
// Called once, before modMain::Main.
void Install();
} // namespace Services
