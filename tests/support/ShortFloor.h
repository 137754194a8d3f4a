#pragma once
// The floor of progress's window, shortened for the life of this object, where a test waits for
// a server that drips; only there, since a loaded machine may slow any transfer for a while.
#include "platform/ProgressFloor.h"

class ShortFloorWindow {
  public:
    explicit ShortFloorWindow(int ms = 500) : previous_(ProgressFloor::SetWindowMsForTests(ms)) {}
    ~ShortFloorWindow() { ProgressFloor::SetWindowMsForTests(previous_); }
    ShortFloorWindow(const ShortFloorWindow&) = delete;
    ShortFloorWindow& operator=(const ShortFloorWindow&) = delete;

  private:
    int previous_;
};
