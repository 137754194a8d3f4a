#pragma once
// The notice windows as the core opens them: the alert pop-up, the alert history and the
// information window. Start-up installs them once.
#include "core/NoticeWindows.h"

class frmPop;

class AlertWindows : public NoticeWindows {
  public:
    QObject* ShowPop(const QString& text, const QString& sender) override;
    void AddToHistory(const QString& sender, const QString& text) override;
    QObject* ShowInfo(const QString& text, const QString& sender) override;

    // Makes these the windows the core opens.
    static void Install();
    // A pop-up for the alert, filled and placed as ShowPop shows it, not yet shown.
    static frmPop* MakePop(const QString& text, const QString& sender);
};
