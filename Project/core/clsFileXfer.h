#pragma once
// File transfer between two copies over the broadcast datagrams "1" to "7": the offer, the
// answer, the size, then stop-and-wait chunks of kChunk bytes, each acknowledged. One transfer
// is current at a time per copy, as sender or as receiver; own offers may wait beside it.
//
//   "1" S: R␁F␁          offer             "2" R: S␁answer␁F␁   "y" accept, "n" decline, "c" busy
//   "3" S: R␁F␁size␁     size              "4" R: S␁F␁          ready
//   "5" R: S␁            chunk taken       "6" S: R␁bytes       one chunk, bytes as 1252 characters
//   "7" S: R␁            end of file
#include "core/NetHooks.h"
#include "platform/Slot.h"

#include <QElapsedTimer>
#include <QString>
#include <memory>
#include <vector>

class QFile;
class QSaveFile;
class QTimer;
class QWidget;

// The progress window as the transfer drives it; there is one per program. The built-in one
// shows nothing (a copy without windows).
class XferProgress {
  public:
    virtual ~XferProgress() = default;
    // Loads the window when it is not loaded, sets its labels and shows it without waiting.
    virtual void Open(const QString& /*to*/, const QString& /*file*/) {}
    virtual void SetPrg(qint64 /*done*/, qint64 /*total*/) {}
    // 0 waiting for the reply, 1 transferring, 2 complete.
    virtual void SetStat(int /*state*/) {}
    virtual void Unload() {}
};

namespace XferWindows {
Slot<XferProgress>& progress();
} // namespace XferWindows

class clsFileXfer : public NetHooks::FileTransfer {
  public:
    static constexpr int kChunk = 250;
    // Silence of the other side, while this side waits on it, that ends the transfer.
    static constexpr int kTimeoutMs = 30000;
    // The progress window is redrawn at most this often during a transfer.
    static constexpr int kRedrawMs = 250;
    // Pending events (the windows' repaints, a click) run at most this often during a transfer.
    static constexpr int kEventsMs = 5;
    // The received file is written in blocks of this size; each write is checked.
    static constexpr int kWriteBlock = 64 * 1024;

    static clsFileXfer& Instance();
    // Makes the instance the network layer's file-transfer hook.
    static void Install();

    // The offer of modAppFnc::SendFileTo: asks for a file and offers it to the one user of `users`.
    void Offer(const QString& users, QWidget* owner);
    // A transfer datagram under the peer's name from another address than the one the peer's
    // first datagram came from is ignored, and the first such one is logged.
    void OnData(QChar letter, const QString& sender, const QString& payload,
                const DatagramSource& from) override;
    // The network layer closes or opens: the current transfer ends without a word.
    void NetReset() override;

    // True from the accept ("y" sent or taken) to the end of the transfer.
    bool Current() const;
    // Tests shorten the silence that ends a transfer, from now on; 0 puts kTimeoutMs back.
    void SetTimeoutMs(int ms);

    clsFileXfer(const clsFileXfer&) = delete;
    clsFileXfer& operator=(const clsFileXfer&) = delete;
    ~clsFileXfer() override;

  private:
    clsFileXfer();

    enum class Step { WaitSize, WaitData, WaitReady, WaitAck };
    struct Transfer {
        bool sending = false;
        QString peer;             // the other user
        DatagramSource peerAt;    // where the peer's offer or answer came from
        bool strayLogged = false; // a datagram from elsewhere was logged
        QString wireF;            // F as it travels
        QString path;             // sender: the file the user chose; receiver: where the file goes
        qint64 size = 0, done = 0;
        Step step = Step::WaitSize;
        int prg = 0; // the progress window it owns, 0 for none
        std::unique_ptr<QFile> in;
        std::unique_ptr<QSaveFile> out;
        QByteArray unwritten; // received bytes not yet written to `out`
    };
    struct PendingOffer {
        QString to;
        QString sentF; // F as the other side reads it back (after the 1252 round trip)
        QString path;
        int prg = 0;
    };

    void onOffer(const QString& sender, const QString& F, const DatagramSource& from);
    void onAnswer(const QString& sender, const QString& answer, const QString& F, const DatagramSource& from);
    void onSize(const QString& sizeText);
    void onChunk(const QString& chunk);
    void onEnd();
    // Writes what was received and not yet written; false (and the transfer failed) when the
    // system refuses.
    bool writeOut();
    // Runs pending events unless that was done less than kEventsMs ago; false when the current
    // transfer ended meanwhile.
    bool letEventsRun();
    void sendStep();
    bool expects(const QString& sender, Step step) const;
    void begin(std::unique_ptr<Transfer> t);
    // Ends the current transfer: the partial file removed, the busy flag cleared.
    std::unique_ptr<Transfer> finish();
    // Ends the current transfer and tells the user; `reason` is the system's, "" when the peer
    // broke the exchange.
    void fail(const QString& reason = QString());
    void timedOut();
    void silenceCheck();
    void touch();
    bool drawNow();
    int openPrg(const QString& to, const QString& file);
    void unloadPrg(int id);
    bool shows(int id) const { return id != 0 && id == prgShown_; }

    std::unique_ptr<Transfer> cur_;
    std::vector<PendingOffer> offers_;
    int asking_ = 0;     // questions about offers now open
    quint64 epoch_ = 0;  // changes whenever a transfer starts or ends, or the layer resets
    quint64 resets_ = 0; // changes whenever the layer closes or opens
    int prgSerial_ = 0, prgShown_ = 0;
    QString lastChosen_;
    QTimer* timer_ = nullptr;
    QElapsedTimer drawn_;
    QElapsedTimer eventsRun_;
    QElapsedTimer heardAt_; // the other side was last heard, or this side last acted
    int timeoutMs_ = kTimeoutMs;
};
