#pragma once
// The progress window of the one file transfer a copy runs at a time: who, which file, the
// state, the bytes done of the total, the percentage and a bar. One instance per program,
// loaded by the file-transfer code, which sets the labels before it shows the window.
#include "platform/LoadedWindow.h"

#include <QString>
#include <QWidget>
#include <array>

class QFrame;
class QLabel;

class frmPrg : public QWidget {
    Q_OBJECT
  public:
    // Makes this window the one the file transfer drives.
    static void Install();
    // The one window, created hidden on the first call.
    static frmPrg& Load();
    // The loaded window, or nullptr (never loaded, or unloaded).
    static frmPrg* Loaded();
    ~frmPrg() override;

    void SetLang();
    // 0 waiting, 1 transferring, 2 complete; any other state empties the text.
    void SetStat(qint16 state);
    // Byte counts; a negative count reads as 0 and `done` is cut to `total`. A total of 0
    // shows "0 / 0" and leaves the percentage and the bar as they were.
    void SetPrg(qint64 done, qint64 total);
    // Closes and destroys the window.
    void Unload();

    // floor(done * 100 / total) and round(done * width / total), exact for every count up to
    // the 64-bit maximum; `done` must not exceed `total`, and `total` must be positive.
    static int Percent(qint64 done, qint64 total);
    static int BarWidth(qint64 done, qint64 total, int width);

    // The width of the filled part of the bar, in pixels.
    int BarFill() const { return barFill_; }

    QLabel* lblTo = nullptr;
    QLabel* lblFile = nullptr;
    QLabel* lblStat = nullptr;
    QLabel* lblByt = nullptr;
    QLabel* lblP = nullptr;
    QWidget* picPrg = nullptr;
    std::array<QLabel*, 2> lblCap{};
    QFrame* Line1 = nullptr;

  protected:
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

  private:
    friend class LoadedWindow<frmPrg>;
    frmPrg();
    int barFill_ = 0;
};
