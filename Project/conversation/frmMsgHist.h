#pragma once
// The alert history: the last 30 alerts received, newest first, each previewed whole in its
// sender's current colour and font. One window for the life of the program, created hidden
// on first use; hiding or closing it keeps the alerts. Nothing is saved.
#include "platform/LoadedWindow.h"

#include <QString>
#include <QTime>
#include <QWidget>
#include <array>

class QLabel;
class QListWidget;
class QTextEdit;
class chameleonButton;

class frmMsgHist : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kEntries = 30;
    // A row shows this many characters of its alert, then "...".
    static constexpr int kRowChars = 30;

    struct AlertHistEntry {
        QString From;
        QString Msg;
        QTime Time;
        // An alert from a peer with an empty name is kept too: the sender cannot mark a free slot.
        bool used = false;
    };

    // The one window, created hidden on the first call.
    static frmMsgHist& Load();
    // The window, or nullptr before the first Load.
    static frmMsgHist* Loaded();

    void SetLang();
    // Stores one alert (the 31st overwrites the oldest) and rebuilds the list.
    void AddMsg(const QString& sender, const QString& text);
    void UpdateList();
    void AddItemToList(int index);
    void ResetMsgLst();

    void lstHist_Click();
    void cmdClear_Click();
    void cmdHide_Click();

    const AlertHistEntry& Entry(int index) const { return ring_.at(static_cast<std::size_t>(index)); }
    qint16 Newest() const { return newest_; }

    QListWidget* lstHist = nullptr;
    QTextEdit* txtPrev = nullptr;
    std::array<QLabel*, 2> lblCap{};
    chameleonButton* cmdHide = nullptr;
    chameleonButton* cmdClear = nullptr;

  protected:
    void closeEvent(QCloseEvent* e) override;

  private:
    friend class LoadedWindow<frmMsgHist>;
    frmMsgHist();
    std::array<AlertHistEntry, kEntries> ring_{};
    qint16 newest_ = -1;
};
