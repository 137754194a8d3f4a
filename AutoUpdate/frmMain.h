#pragma once
// The update program's main window: the chosen list with the details of the selected record,
// its refresh from the web site, and the installation of one record at a time (Installer),
// whose status and progress it shows.
#include "AutoUpdate/Installer.h"
#include "AutoUpdate/modListSort.h"
#include "platform/Inet.h"
#include "platform/LoadedWindow.h"

#include <QTimer>
#include <QWidget>

class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace AutoUpdate {

class frmMain : public QWidget, private Installer::Listener {
    Q_OBJECT
  public:
    // The one main window, created on first use.
    static frmMain* Load();
    static frmMain* Loaded(); // nullptr before the first Load
    ~frmMain() override;

    // Shows the window; the list is refreshed once from the event loop right after.
    void Display();

    // The list's web address: QX3_UPDATE_SITE (default "http://www.example.com") and the path.
    static QString ListAddress(bool skins);

    // Controls.
    QLabel* LBL = nullptr; // heading
    QGroupBox* Frame1 = nullptr;
    QListWidget* lstUpdates = nullptr;
    QCheckBox* CHKupdates = nullptr;
    QLabel* lblUpdates = nullptr;
    QLabel* lblSource = nullptr;
    QLabel* lblTarget = nullptr;
    QLabel* lblSize = nullptr;
    QPlainTextEdit* txtDes = nullptr;
    QLabel* LBLstatus = nullptr;
    QLabel* lblP = nullptr;
    QFrame* fraDown = nullptr;
    static constexpr int kLamps = 10;
    QFrame* SH[kLamps] = {};
    QPushButton* cmdDownload = nullptr;
    QPushButton* cmdRefresh = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* CMDother = nullptr; // "&Menu"
    QPushButton* cmdEnd = nullptr;

    Inet INet;
    modListSort::Lists Lists; // lstUDL and what lstUpdates shows
    QString UpdateFile;       // the local copy: "qx3.upd" or "skins.upd"
    bool SkipDownload = false;
    bool Dload = false;
    qint16 PERdown = 0;

    // Event handlers.
    void Form_Activate();
    void cmdRefresh_Click();
    void CHKupdates_Click();
    void lstUpdates_Click();
    void cmdDownload_Click();
    void cmdCancel_Click();
    void CMDother_Click();
    void cmdEnd_Click();
    void Timer2_Timer();

    // Lamp colours, 0x00BBGGRR.
    static constexpr quint32 kRed = 0xFF, kGreen = 0xFF00, kMoving = 0xFF582F;
    quint32 LampColor(int i) const;

  protected:
    // Closing stops a download or the list's fetch and ends the program.
    void closeEvent(QCloseEvent* event) override;

  private:
    friend class LoadedWindow<frmMain>;
    frmMain();
    void status(const QString& text) override;
    void progress(qint16 percent, const QString& text) override;
    void showLists();
    void errorBox(int code);
    void restrict();
    void setLamp(int i, quint32 color);
    void allLampsRed();
    void setBusy(bool busy);
    void enableAfter();
    void resetAfterDownload();
    // The refresh with the installed version as last read (reading it means reading the whole
    // messenger).
    void refreshList();
    // Escape: stops the download, or the list's fetch.
    void stopWaiting();
    // While the list is fetched only "&Exit", the close box and Escape act.
    void setFetching(bool on);

    QTimer Timer2;
    int sweep_ = -1;
    bool fetching_ = false;
    bool ending_ = false; // closed while the list was fetched: nothing more is done
    // The window was closed during a download: the program ends once the download has returned
    // and its temporary files are gone.
    bool endAfterDownload_ = false;
    quint32 lamps_[kLamps] = {};
    Installer installer_{INet, *this}; // last: it goes first, before the controls it reports to
};

} // namespace AutoUpdate
