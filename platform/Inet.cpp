#include "platform/Inet.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

namespace {
class ManagerTransport : public Http::Transport {
  public:
    QNetworkReply* get(const QNetworkRequest& request) override {
        static QNetworkAccessManager* manager = new QNetworkAccessManager;
        return manager->get(request);
    }
};
int idleTimeout = Http::kIdleTimeoutMs;
int wholeBodyLimit = Http::kWholeBodyLimitMs;

// The Content-Length the server announced; -1 when there is none or it is no number.
qint64 announcedLength(const QNetworkReply* reply) {
    if (!reply->hasRawHeader("Content-Length")) return -1;
    bool ok = false;
    const qint64 n = reply->rawHeader("Content-Length").trimmed().toLongLong(&ok);
    return ok && n >= 0 ? n : -1;
}
} // namespace

Slot<Http::Transport>& Http::transport() {
    static ManagerTransport builtIn;
    static Slot<Transport> slot(builtIn);
    return slot;
}

int Http::IdleTimeoutMs() {
    return idleTimeout;
}

int Http::SetIdleTimeoutMs(int ms) {
    return std::exchange(idleTimeout, ms);
}

int Http::SetWholeBodyLimitMsForTests(int ms) {
    return std::exchange(wholeBodyLimit, ms);
}

Inet::Inet(QObject* parent) : QObject(parent) {
    idle_.setSingleShot(true);
    connect(&idle_, &QTimer::timeout, this,
            [this] { fail(QStringLiteral("Time-out: no data from the server")); });
    whole_.setSingleShot(true);
    connect(&whole_, &QTimer::timeout, this,
            [this] { fail(QStringLiteral("Time-out: the answer takes too long")); });
}

Inet::~Inet() {
    drop();
}

void Inet::drop() {
    idle_.stop();
    whole_.stop();
    floor_.stop();
    if (!reply_) return;
    QNetworkReply* r = reply_;
    reply_ = nullptr;
    r->disconnect(this);
    r->abort();
    r->deleteLater();
}

void Inet::fail(const QString& why) {
    if (error_.isEmpty()) error_ = why;
    finished_ = true;
    drop();
    emit progressed();
}

bool Inet::start(const QString& url) {
    drop();
    error_.clear();
    headers_ = false;
    finished_ = false;
    received_ = 0;
    counted_ = 0;
    const QUrl u(url, QUrl::TolerantMode);
    const QString scheme = u.scheme().toLower();
    if (!u.isValid() || u.host().isEmpty() ||
        (scheme != QLatin1String("http") && scheme != QLatin1String("https"))) {
        fail(QStringLiteral("Not a web address: ") + url);
        return false;
    }
    QNetworkRequest request(u);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    // Bytes as they are on the server, so that they can be counted against Content-Length.
    request.setRawHeader("Accept-Encoding", "identity");
    QNetworkReply* r = Http::transport()->get(request);
    if (!r) {
        fail(QStringLiteral("No transport"));
        return false;
    }
    reply_ = r;
    connect(r, &QNetworkReply::metaDataChanged, this, [this] {
        idle_.start(Http::IdleTimeoutMs());
        if (!reply_) return;
        const QVariant status = reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute);
        // A redirect's own headers are not the response yet.
        if (status.isValid() && status.toInt() >= 300 && status.toInt() < 400) return;
        if (floor_.running() && announcedLength(reply_) > Http::kMaxDownload) {
            fail(QStringLiteral("The answer is too long"));
            return;
        }
        headers_ = true;
        emit progressed();
    });
    connect(r, &QNetworkReply::readyRead, this, [this] {
        idle_.start(Http::IdleTimeoutMs());
        emit progressed();
    });
    connect(r, &QNetworkReply::downloadProgress, this, [this](qint64 received) { onProgress(received); });
    connect(r, &QNetworkReply::finished, this, [this] { onFinished(); });
    idle_.start(Http::IdleTimeoutMs());
    return true;
}

void Inet::onProgress(qint64 received) {
    idle_.start(Http::IdleTimeoutMs());
    // A redirect starts its body's count again.
    floor_.moved(received >= counted_ ? received - counted_ : received);
    counted_ = received;
    // Only a download counts against its cap; a whole body has a smaller one of its own.
    if (floor_.running() && received > Http::kMaxDownload) fail(QStringLiteral("The answer is too long"));
}

void Inet::onFinished() {
    // The network's part is over: what is left is the reader's to take, at its own pace.
    idle_.stop();
    whole_.stop();
    floor_.stop();
    if (!reply_) return;
    const int status = reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply_->error() != QNetworkReply::NoError) {
        error_ = reply_->errorString();
    } else if (status < 200 || status > 299) {
        error_ = QStringLiteral("HTTP status %1").arg(status);
    }
    headers_ = true;
    finished_ = true;
    if (!error_.isEmpty()) {
        // What arrived of a failed transfer is worth nothing.
        drop();
    }
    emit progressed();
}

std::optional<QByteArray> Inet::OpenURL(const QString& url) {
    blocking_ = true;
    const std::optional<QByteArray> body = fetchWhole(url);
    blocking_ = false;
    return body;
}

std::optional<QByteArray> Inet::fetchWhole(const QString& url) {
    if (!start(url)) return std::nullopt;
    whole_.start(wholeBodyLimit);
    QByteArray body;
    QEventLoop loop;
    const QPointer<Inet> self(this);
    auto take = [&] {
        if (!reply_) return;
        body += reply_->readAll();
        received_ = body.size();
        if (body.size() > Http::kMaxWholeBody) fail(QStringLiteral("The answer is too long"));
    };
    connect(this, &Inet::progressed, &loop, [&] {
        take();
        if (finished_) loop.quit();
    });
    while (self && !finished_)
        loop.exec();
    if (!self) return std::nullopt;
    take();
    const qint64 announced = reply_ ? announcedLength(reply_) : -1;
    if (error_.isEmpty() && announced >= 0 && body.size() < announced)
        error_ = QStringLiteral("The answer is shorter than announced");
    drop();
    if (!error_.isEmpty()) return std::nullopt;
    return body;
}

void Inet::Execute(const QString& operation) {
    if (operation.compare(QLatin1String("GET"), Qt::CaseInsensitive) != 0) {
        drop();
        error_ = QStringLiteral("Only GET is supported");
        finished_ = true;
        return;
    }
    if (!start(URL)) return;
    floor_.start();
}

bool Inet::StillExecuting() const {
    return reply_ && !headers_ && !finished_;
}

QString Inet::GetHeader(const QString& name) const {
    if (!reply_ || !headers_) return {};
    return QString::fromLatin1(reply_->rawHeader(name.toLatin1()));
}

QByteArray Inet::GetChunk(qint64 max) {
    const QPointer<Inet> self(this);
    while (self && reply_ && max > 0) {
        if (reply_->bytesAvailable() > 0) {
            const QByteArray chunk = reply_->read(max);
            received_ += chunk.size();
            return chunk;
        }
        if (finished_) {
            const qint64 announced = announcedLength(reply_);
            if (error_.isEmpty() && announced >= 0 && received_ < announced)
                error_ = QStringLiteral("The answer is shorter than announced");
            drop();
            return {};
        }
        QEventLoop loop;
        connect(this, &Inet::progressed, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return {};
}

void Inet::Cancel() {
    if (reply_) error_ = QStringLiteral("Cancelled");
    finished_ = true;
    drop();
    emit progressed();
}
