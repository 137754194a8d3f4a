#include "core/NoticeWindows.h"

namespace {
class NoWindows : public NoticeWindows {
  public:
    void ShowPop(const QString&, const QString&) override {}
    void AddToHistory(const QString&, const QString&) override {}
    void ShowInfo(const QString&, const QString&) override {}
};
} // namespace

Slot<NoticeWindows>& Notices::Windows() {
    static NoWindows none;
    static Slot<NoticeWindows> slot(none);
    return slot;
}
