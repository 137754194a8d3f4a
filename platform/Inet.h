#pragma once
// HTTP transfers for the update program: a whole body in one blocking call (`OpenURL`), or one
// GET started with `Execute` and read piece by piece with `GetChunk` while the window stays
// alive. Single-threaded: every wait is a nested event loop in which the user's input is
// handled too, so that the user can Cancel it. Everything from the server is untrusted: a
// transfer fails on a connection error, a status outside 2xx (after redirects), a time-out
// without a byte, a body shorter than its Content-Length or longer than the program keeps, a
// whole body that takes longer than kWholeBodyLimitMs, and a download slower than the
// ProgressFloor.
#include "platform/ProgressFloor.h"
#include "platform/Slot.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <optional>

class QNetworkReply;
class QNetworkRequest;

namespace Http {

// Where requests go: the built-in transport is one QNetworkAccessManager for the program.
class Transport {
  public:
    virtual ~Transport() = default;
    // A new reply the caller owns.
    virtual QNetworkReply* get(const QNetworkRequest& request) = 0;
};
Slot<Transport>& transport();

// Time without a byte after which a transfer fails, in milliseconds.
inline constexpr int kIdleTimeoutMs = 30000;
// The longest an OpenURL takes in all, in milliseconds, however the server sends.
inline constexpr int kWholeBodyLimitMs = 60000;
// The largest body that OpenURL holds in memory.
inline constexpr qint64 kMaxWholeBody = 16 * 1024 * 1024;
// The largest body a GET started with Execute delivers (it goes to a file).
inline constexpr qint64 kMaxDownload = 256 * 1024 * 1024;
int IdleTimeoutMs();
// For tests only, which would otherwise wait for the limit: the silence time-out and the whole
// body's limit for transfers started from now on. Each returns the previous value.
int SetIdleTimeoutMs(int ms);
int SetWholeBodyLimitMsForTests(int ms);

} // namespace Http

class Inet : public QObject {
    Q_OBJECT
  public:
    explicit Inet(QObject* parent = nullptr);
    ~Inet() override;

    // The body of a GET. The wait is a nested loop with every event passing, so Cancel() may
    // come meanwhile; nullopt on failure, with the reason in Error(). A body over kMaxWholeBody,
    // or one not whole within kWholeBodyLimitMs, fails.
    std::optional<QByteArray> OpenURL(const QString& url);

    // The address of the next Execute.
    QString URL;
    // Starts a GET of URL and returns at once; any request still under way is cancelled. The
    // transfer fails when it moves less than the ProgressFloor or more than kMaxDownload.
    void Execute(const QString& operation = QStringLiteral("GET"));
    // True until the response headers came or the request failed.
    bool StillExecuting() const;
    // A response header's value; "" when absent or before the headers came.
    QString GetHeader(const QString& name) const;
    // Up to `max` bytes of the body, waiting for them with all events running. Empty at the end
    // of the body, after Cancel, and on failure (see Error()).
    QByteArray GetChunk(qint64 max);
    // Stops the request under way; Error() then says so.
    void Cancel();

    // True while OpenURL waits.
    bool Blocking() const { return blocking_; }

    // Why the last transfer failed; "" when it did not. Stays until cleared.
    QString Error() const { return error_; }
    void ClearError() { error_.clear(); }

  signals:
    // Something happened to the request under way: bytes, the end, a failure.
    void progressed();

  private:
    std::optional<QByteArray> fetchWhole(const QString& url);
    bool start(const QString& url);
    void fail(const QString& why);
    void onFinished();
    void onProgress(qint64 received);
    void drop();

    QPointer<QNetworkReply> reply_;
    QTimer idle_;
    QTimer whole_; // the whole body's limit, while OpenURL waits
    ProgressFloor floor_{[this] { fail(QStringLiteral("The server sends too slowly")); }};
    qint64 counted_ = 0; // bytes the floor has been told of
    bool blocking_ = false;
    bool headers_ = false;
    bool finished_ = false;
    qint64 received_ = 0;
    QString error_;
};
