#pragma once
// The splash window: the logo and the version for a few seconds at the first start, in the
// bottom-right corner of the work area, with a lamp that fades from red to green and back.
// The start-up gives tmrDelay its interval and starts it; when it fires the window unloads.
#include <QWidget>
#include <array>

class QLabel;
class QPainter;
class QTimer;

class frmSplash : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kDelay = 8000;
    // About the system's timer tick: the lamp steps once a tick, a cycle every 40 steps.
    static constexpr int kSpotInterval = 16;
    static constexpr qint16 kSpotStep = 5;
    static constexpr qint16 kSpotCycle = 200;
    static constexpr int kSpotRadius = 7;

    explicit frmSplash(QWidget* parent = nullptr);

    // The lamp's phase after one step: 0 to 200, back to 0 past 200.
    static qint16 NextSpotPhase(qint16 phase);
    // The lamp colour (0x00BBGGRR) at a phase: pure red at 0 and 200, pure green at 100.
    static quint32 SpotColor(qint16 phase);
    // Draws the lamp of `phase` as a filled circle around `centre`.
    static void DrawSpot(QPainter& p, QPoint centre, qint16 phase);
    // "major.minor.revision" of the program's version.
    static QString VersionText();

    QLabel* imgLogo = nullptr;
    std::array<QLabel*, 3> LBL{};
    QLabel* lblVer = nullptr;
    QTimer* tmrDelay = nullptr;
    QTimer* tmrSpot = nullptr;
    qint16 spotPhase = 0;

    void tmrDelay_Timer();
    void tmrSpot_Timer();
    // Where the lamp is drawn: 15 left of the inner right edge, 15 below the top.
    QPoint SpotCentre() const { return {width() - 15, 15}; }

  protected:
    void paintEvent(QPaintEvent* e) override;

  private:
    void Form_Load();
};
