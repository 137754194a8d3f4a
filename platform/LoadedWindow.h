#pragma once
// The one loaded window of a kind (the main window, the options, the speed bar, the progress,
// the history, the image window): a guarded pointer that reads nullptr once the window is gone.
//
//   namespace { LoadedWindow<frmPrg> gLoaded; }            // in the window's .cpp
//   frmPrg* frmPrg::Loaded() { return gLoaded.Loaded(); }  // reading makes nothing
//   frmPrg& frmPrg::Load() { return *gLoaded.Load(); }     // made when none is loaded
//
// A window that others reach during its own load holds itself at the start of its constructor.
// A window that is closed before it is destroyed releases itself as it goes (its close, its
// clean-up) and in its destructor, so that nothing reaches a closing window through Loaded().
#include <QPointer>

template <class Window> class LoadedWindow {
  public:
    LoadedWindow() = default;
    LoadedWindow(const LoadedWindow&) = delete;
    LoadedWindow& operator=(const LoadedWindow&) = delete;

    // The loaded window, or nullptr.
    Window* Loaded() const { return window_.data(); }
    // The loaded window, constructed first when there is none (a window with a private
    // constructor befriends LoadedWindow<itself>).
    Window* Load() {
        if (!window_) window_ = new Window;
        return window_.data();
    }
    void Hold(Window* window) { window_ = window; }
    // Nothing when another window (or none) is the loaded one.
    void Release(const Window* window) {
        if (window_.data() == window) window_ = nullptr;
    }

  private:
    QPointer<Window> window_;
};
