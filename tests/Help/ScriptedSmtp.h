#pragma once
// A misbehaving SMTP server on 127.0.0.1 for the support mail program's tests: it answers each
// command with the next reply of its script, sends a reply in chunks that arrive as separate
// reads, stays silent, hangs up when told to, or reads in drips.
#include <QByteArray>
#include <QList>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <memory>

class ScriptedSmtp : public QObject {
  public:
    struct Reply {
        QList<QByteArray> chunks; // none: say nothing
        bool closeAfter = false;
    };
    // [0] the greeting, then one reply per command line; after a "354" reply, the data up to the
    // end-of-data line counts as one command. Past the end of the script: silence.
    QList<Reply> script;
    // Hang up once this many bytes of message data have come in (-1: never).
    qint64 closeInDataAfter = -1;
    // Read at most dripBytes every dripMs, with a small receive buffer, so that what the client
    // sends backs up (0: read as it comes).
    int dripMs = 0;
    qint64 dripBytes = 64;
    // Everything each connection received, in order of connection.
    QList<QByteArray> received;

    bool start() {
        connect(&server_, &QTcpServer::newConnection, this, [this] { accept(); });
        return server_.listen(QHostAddress::LocalHost, 0);
    }
    quint16 port() const { return server_.serverPort(); }
    // The client of the newest connection still holds its end open.
    bool clientOpen() const { return !conns_.empty() && conns_.back()->socket && conns_.back()->open; }

  private:
    struct Conn {
        QPointer<QTcpSocket> socket;
        int index = 0;
        bool inData = false;
        bool open = true;
        QByteArray buffer;
        int number = 0;
    };

    void accept() {
        while (QTcpSocket* s = server_.nextPendingConnection()) {
            auto c = std::make_shared<Conn>();
            c->socket = s;
            c->number = static_cast<int>(received.size());
            received << QByteArray();
            conns_.push_back(c);
            if (dripMs > 0) {
                s->setReadBufferSize(dripBytes);
                s->setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, 4096);
                auto* tick = new QTimer(s);
                connect(tick, &QTimer::timeout, this, [this, c] { read(*c); });
                tick->start(dripMs);
            } else {
                connect(s, &QTcpSocket::readyRead, this, [this, c] { read(*c); });
            }
            connect(s, &QTcpSocket::disconnected, this, [c] { c->open = false; });
            reply(*c);
        }
    }

    void read(Conn& c) {
        if (!c.socket) return;
        const QByteArray bytes = c.socket->readAll();
        received[c.number] += bytes;
        // The end of the data is looked for in what is new only: a long message stays fast.
        qsizetype from = qMax<qsizetype>(0, c.buffer.size() - 4);
        c.buffer += bytes;
        for (;;) {
            if (c.inData) {
                if (closeInDataAfter >= 0 && c.buffer.size() >= closeInDataAfter) {
                    c.socket->abort();
                    c.open = false;
                    return;
                }
                const qsizetype end = c.buffer.indexOf("\r\n.\r\n", from);
                if (end < 0) return;
                c.buffer.remove(0, end + 5);
                from = 0;
                c.inData = false;
                reply(c);
                continue;
            }
            const qsizetype eol = c.buffer.indexOf("\r\n");
            if (eol < 0) return;
            c.buffer.remove(0, eol + 2);
            from = 0;
            const bool data = reply(c);
            if (data) c.inData = true;
        }
    }

    // Sends the next reply; true when it opens the data.
    bool reply(Conn& c) {
        if (c.index >= script.size()) return false;
        const Reply r = script.at(c.index++);
        sendChunks(c.socket, r.chunks, 0, r.closeAfter);
        return !r.chunks.isEmpty() && r.chunks.first().startsWith("354");
    }

    void sendChunks(QPointer<QTcpSocket> s, QList<QByteArray> chunks, int i, bool closeAfter) {
        if (!s) return;
        if (i >= chunks.size()) {
            if (closeAfter) s->disconnectFromHost();
            return;
        }
        s->write(chunks.at(i));
        s->flush();
        // Apart in time, so that each chunk is a read of its own at the other end.
        QTimer::singleShot(i + 1 < chunks.size() ? 60 : 0, this,
                           [this, s, chunks, i, closeAfter] { sendChunks(s, chunks, i + 1, closeAfter); });
    }

    QTcpServer server_;
    std::vector<std::shared_ptr<Conn>> conns_;
};
