#pragma once
// The windows that take a new skin at once when the options are saved: the main window and
// the chat windows join this registry while they exist.
class SkinnableWindow {
  public:
    enum class Kind { Main, Chat };
    // Leaves the registry, so a window that goes never gets re-skinned.
    virtual ~SkinnableWindow();
    virtual void SetSkin() = 0;
    // Hidden chat windows keep their old skin until they are next loaded.
    virtual bool IsSkinVisible() const = 0;
};

namespace SkinWindows {
void Register(SkinnableWindow* window, SkinnableWindow::Kind kind);
void Unregister(SkinnableWindow* window);
} // namespace SkinWindows
