#pragma once
// The one shape of a replaceable service (message box, dialogs, sound, input box, the end of the
// program, tray backend, HTTP transfer, sockets): a slot holds the implementation in use, which
// is the built-in default until someone sets another; a scoped override puts one in for its
// lifetime and restores whatever was there before, so overrides nest.
//
//   namespace Sound { Slot<Backend>& backend(); }          // declared by the service
//   Sound::backend().get().beep();                          // callers
//   Slot<Sound::Backend>::Override rec(Sound::backend(), myRecorder); // tests
#include <utility>

template <class Interface> class Slot {
  public:
    explicit Slot(Interface& builtIn) : builtIn_(&builtIn), current_(&builtIn) {}
    Slot(const Slot&) = delete;
    Slot& operator=(const Slot&) = delete;

    Interface& get() const { return *current_; }
    Interface* operator->() const { return current_; }
    bool isBuiltIn() const { return current_ == builtIn_; }
    // The default, whatever is in use now (a test may want the real thing over its recorder).
    Interface& byDefault() const { return *builtIn_; }
    // nullptr puts the default back. Returns what was in use.
    Interface* set(Interface* impl) { return std::exchange(current_, impl ? impl : builtIn_); }
    // Makes `impl` the default from now on (the program puts its own window in place of a plain
    // one at start); an override in force stays in force.
    void setDefault(Interface& impl) {
        if (current_ == builtIn_) current_ = &impl;
        builtIn_ = &impl;
    }

    // Puts `impl` in for its own lifetime; the previous implementation comes back after.
    class Override {
      public:
        Override(Slot& slot, Interface& impl) : slot_(slot), previous_(slot.set(&impl)) {}
        ~Override() { slot_.set(previous_); }
        Override(const Override&) = delete;
        Override& operator=(const Override&) = delete;

      private:
        Slot& slot_;
        Interface* previous_;
    };

  private:
    Interface* builtIn_;
    Interface* current_;
};
