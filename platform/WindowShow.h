#pragma once
// How windows come up on the desktop, whoever opened them. A box (message, question, input) is
// tied to the window the user is answering for: transient for the window of ours that is active
// as it opens, above it, and kept on top with it when that window is; with none of ours active
// it comes up on top of everything. A window the user asked for comes up in front with the
// keyboard, back from minimised if it was. A window nobody asked for (what the network opened)
// never takes the keyboard from what the user is typing: it asks for attention instead.
class QWidget;

namespace WindowShow {

// Before the box is shown (exec or show). `box` is a top-level window.
void AsBox(QWidget* box);

// Shows `window` (again) as the user asked for it: normal or maximised as it was before it was
// minimised, raised, and active.
void Asked(QWidget* window);

// Marks `window`, not shown yet, as one nobody asked for: it will come up without taking the
// keyboard and ask for attention once shown, however it is shown (show or exec).
void MarkUnasked(QWidget* window);
// MarkUnasked, then shows it.
void Unasked(QWidget* window);

// What arrived from the network opens the next window (a message box, deep inside the layer that
// opens it): the window made while the scope lives takes the mark with TakeUnasked. Nested loops
// that run inside that window open windows of their own, which the user may have asked for: the
// mark goes to the first taker only.
class UnaskedScope {
  public:
    UnaskedScope();
    ~UnaskedScope();
    UnaskedScope(const UnaskedScope&) = delete;
    UnaskedScope& operator=(const UnaskedScope&) = delete;

  private:
    bool previous_;
};
// True once per scope: for the window that is being made for it.
bool TakeUnasked();

} // namespace WindowShow
