#pragma once
// The installation of one record of the update or skin list: its files are fetched into
// temporary files beside their places (a program's beside the programs, a language file's or
// skin's in the data folder, modListSort::RootOf) and put in place once all of them
// have arrived, with the rights a new file of the user gets (programs may be run); an update
// also removes the file it replaces under another name. The installer shows nothing itself:
// it tells its listener (the main window) its status and the download's percentage.
#include <QObject>
#include <QString>

class Inet;
class QSaveFile;

namespace AutoUpdate {

class Installer : public QObject {
    Q_OBJECT
  public:
    // What the installer reports, from within Install(). Neither call may destroy it.
    class Listener {
      public:
        virtual ~Listener() = default;
        // The status line: "Downloading file" first, and last "Download complete", "Download
        // failed" or "Download canceled".
        virtual void status(const QString& text) = 0;
        // The whole percentage of the file being downloaded, each time it changes, with its text.
        // Only a transfer whose server gives its length shows it.
        virtual void progress(qint16 percent, const QString& text) = 0;
    };

    enum class Result { Installed, Failed, Stopped };

    // Fetches through `transfer`, the window's, so that Escape and a close can end its wait.
    Installer(Inet& transfer, Listener& listener, QObject* parent = nullptr);

    // The file a record installs: the name in its source (field 3) in its folder (field 4),
    // under the record's root; "" when the list's names would reach outside it.
    static QString Destination(const QString& record);
    // "35% downloaded"; 0 gives the text shown while nothing downloads.
    static QString ProgressText(qint16 percent);

    // Installs the record: a skin (`skins`) is its skin file and picture, anything else the one
    // file of field 3. Creates the Lang and Skins folders first. Waits with events passing, so
    // Stop() may come meanwhile. Unless Installed, the installed files are as they were and no
    // temporary file is left. The installer's own destruction during the wait ends it Stopped.
    Result Install(const QString& record, bool skins);
    // Cancels the transfer under way; a running Install leaves at its next turn, Stopped.
    void Stop();

  private:
    bool downloadTo(const QString& url, QSaveFile& file);
    bool installUpdate(const QString& record, const QString& destination);
    bool installSkin(const QString& record, const QString& destination);

    Inet& transfer_;
    Listener& listener_;
    bool running_ = false; // an Install runs and has not been stopped
    qint16 percent_ = 0;   // the last percentage reported
};

} // namespace AutoUpdate
