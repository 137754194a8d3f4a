#pragma once
// A small HTTP/1.1 server on 127.0.0.1 for tests: each path answers with bytes the test chooses,
// and it can misbehave on purpose (a wrong status, a body short of its Content-Length, none at
// all, a stall, a trickle, a header without end). Every request's path is recorded.
#include "platform/Inet.h"
#include "support/ShortFloor.h"

#include <QByteArray>
#include <QHash>
#include <QPointer>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <memory>

// A transfer's silence limit, shortened for the life of this object, where a test waits for a
// server that stalls. Only there: a loaded machine may pause any transfer for a while, and a
// short limit elsewhere would end transfers that are merely slow.
class ShortIdleTimeout {
  public:
    explicit ShortIdleTimeout(bool shorten, int ms = 400)
        : previous_(Http::SetIdleTimeoutMs(shorten ? ms : Http::IdleTimeoutMs())) {}
    ~ShortIdleTimeout() { Http::SetIdleTimeoutMs(previous_); }
    ShortIdleTimeout(const ShortIdleTimeout&) = delete;
    ShortIdleTimeout& operator=(const ShortIdleTimeout&) = delete;

  private:
    int previous_;
};

// A whole body's limit and the floor of progress's window, shortened for the life of this object,
// where a test waits for a server that drips; only there, for the same reason.
class ShortLimits {
  public:
    explicit ShortLimits(int wholeMs = 1000, int floorWindowMs = 500)
        : whole_(Http::SetWholeBodyLimitMsForTests(wholeMs)), window_(floorWindowMs) {}
    ~ShortLimits() { Http::SetWholeBodyLimitMsForTests(whole_); }
    ShortLimits(const ShortLimits&) = delete;
    ShortLimits& operator=(const ShortLimits&) = delete;

  private:
    int whole_;
    ShortFloorWindow window_;
};

class HttpServer : public QObject {
  public:
    struct Reply {
        int status = 200;
        QByteArray body;
        bool contentLength = true; // send a Content-Length header
        qint64 announced = -1;     // the length announced; -1: the body's
        qint64 sendOnly = -1;      // send only this many body bytes, then...
        bool closeAfter = true;    // ...close the connection (false: stall with it open)
        int trickleMs = 0;         // send the body in pieces, one every trickleMs
        int trickleBytes = 64;
        QByteArray location;        // a Location header (redirects)
        bool endlessHeader = false; // a header line that never ends, 1 KiB every few ms
    };

    HttpServer() {
        QObject::connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* s = server_.nextPendingConnection())
                accept(s);
        });
        listening_ = server_.listen(QHostAddress::LocalHost, 0);
    }
    bool listening() const { return listening_; }
    quint16 port() const { return server_.serverPort(); }
    // "127.0.0.1:port", as a list's source field begins.
    QString host() const { return QStringLiteral("127.0.0.1:%1").arg(port()); }
    QString base() const { return QStringLiteral("http://") + host(); }

    void route(const QByteArray& path, const Reply& reply) { routes_[path] = reply; }
    void route(const QByteArray& path, const QByteArray& body) {
        Reply r;
        r.body = body;
        route(path, r);
    }
    QStringList requests; // paths in the order asked

  private:
    void accept(QTcpSocket* s) {
        s->setParent(this);
        auto buffer = std::make_shared<QByteArray>();
        QObject::connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
        QObject::connect(s, &QTcpSocket::readyRead, s, [this, s, buffer] {
            *buffer += s->readAll();
            const qsizetype end = buffer->indexOf("\r\n\r\n");
            if (end < 0) return;
            const QList<QByteArray> first = buffer->left(buffer->indexOf("\r\n")).split(' ');
            buffer->clear();
            const QByteArray path = first.size() > 1 ? first.at(1) : QByteArray("/");
            requests << QString::fromLatin1(path);
            Reply r;
            if (routes_.contains(path)) {
                r = routes_.value(path);
            } else {
                r.status = 404;
                r.body = "not here";
            }
            answer(s, r);
        });
    }

    void answer(QTcpSocket* s, const Reply& r) {
        QByteArray head = "HTTP/1.1 " + QByteArray::number(r.status) + " X\r\n";
        if (r.contentLength)
            head += "Content-Length: " + QByteArray::number(r.announced >= 0 ? r.announced : r.body.size()) +
                    "\r\n";
        if (!r.location.isEmpty()) head += "Location: " + r.location + "\r\n";
        if (r.endlessHeader) {
            s->write(head + "X-Pad: ");
            auto* timer = new QTimer(s);
            QObject::connect(timer, &QTimer::timeout, s, [s] { s->write(QByteArray(1024, 'p')); });
            timer->start(5);
            return;
        }
        head += "Connection: close\r\n\r\n";
        s->write(head);
        const QByteArray body = r.sendOnly >= 0 ? r.body.left(r.sendOnly) : r.body;
        if (r.trickleMs <= 0) {
            s->write(body);
            finish(s, r);
            return;
        }
        auto* timer = new QTimer(s);
        auto at = std::make_shared<qsizetype>(0);
        QObject::connect(timer, &QTimer::timeout, s, [this, s, timer, at, body, r] {
            s->write(body.mid(*at, r.trickleBytes));
            *at += r.trickleBytes;
            if (*at >= body.size()) {
                timer->stop();
                finish(s, r);
            }
        });
        timer->start(r.trickleMs);
    }

    void finish(QTcpSocket* s, const Reply& r) {
        if (r.closeAfter) s->disconnectFromHost();
    }

    QTcpServer server_;
    bool listening_ = false;
    QHash<QByteArray, Reply> routes_;
};
