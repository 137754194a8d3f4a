#include "core/NoticeWindows.h"

namespace {
class NoWindows : public NoticeWindows {
  public:
    QObject* ShowPop(const QString&, const QString&) override { return nullptr; }
    void AddToHistory(const QString&, const QString&) override {}
    QObject* ShowInfo(const QString&, const QString&) override { return nullptr; }
};
} // namespace

Slot<NoticeWindows>& Notices::Windows() {
    static NoWindows none;
    static Slot<NoticeWindows> slot(none);
    return slot;
}
