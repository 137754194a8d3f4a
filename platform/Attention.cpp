#include "platform/Attention.h"

#include <QApplication>
#include <QWidget>

namespace {
class RealAttention : public Attention::Backend {
  public:
    bool IsActive(const QWidget* window) override { return window && window->isActiveWindow(); }
    void Flash(QWidget* window, bool invert) override {
        // The hint lasts until the user activates the window, which is what puts it back.
        if (window && invert) QApplication::alert(window, 0);
    }
};
} // namespace

Slot<Attention::Backend>& Attention::backend() {
    static RealAttention real;
    static Slot<Backend> slot(real);
    return slot;
}
