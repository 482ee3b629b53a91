#include "FixtureServer.h"

#include <QPointer>

#include <QTcpSocket>
#include <QTimer>
#include <sys/socket.h>

namespace Lunovex::Test {

Route Route::pdf(qint64 bytes)
{
    Route r;
    r.generatedBytes = bytes;
    r.headers = {{"Content-Type", "application/pdf"}};
    return r;
}

Route Route::html(const QByteArray& page)
{
    Route r;
    r.body = page;
    r.headers = {{"Content-Type", "text/html; charset=utf-8"}};
    return r;
}

namespace {

constexpr qint64 kPiece = 64 * 1024;
constexpr qint64 kMaxQueued = 256 * 1024;

// The bytes [offset, offset + n) of a generated body of total bytes: a PDF header, a repeating
// alphabet, and the end-of-file marker a whole PDF ends with (when the body has room for both).
QByteArray generated(qint64 offset, qint64 n, qint64 total)
{
    static const QByteArray tail = "\n%%EOF\n";
    static const QByteArray head = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
    static const QByteArray pattern = [] {
        QByteArray p;
        for (qint64 i = 0; i < kPiece + 26; ++i)
            p.append(char('a' + i % 26));
        return p;
    }();
    QByteArray out;
    out.reserve(n);
    qint64 at = offset;
    for (; at < head.size() && at < offset + n; ++at)
        out.append(head[at]);
    const qint64 tailStart = total >= head.size() + tail.size() ? total - tail.size() : total;
    while (at < offset + n && at < tailStart) {
        const qint64 take = std::min<qint64>({offset + n - at, tailStart - at, kPiece});
        out.append(pattern.constData() + at % 26, take);
        at += take;
    }
    for (; at < offset + n; ++at)
        out.append(tail[at - tailStart]);
    return out;
}

} // namespace

QByteArray Route::pdfBody(qint64 bytes)
{
    return generated(0, bytes, bytes);
}

// One connection: reads a request, answers it as its route says, then closes.
class FixtureServer::Connection : public QObject
{
public:
    Connection(FixtureServer* server, QTcpSocket* socket) : QObject(server), server_(server), socket_(socket)
    {
        socket_->setParent(this);
        connect(socket_, &QTcpSocket::readyRead, this, &Connection::readRequest);
        connect(socket_, &QTcpSocket::bytesWritten, this, &Connection::pump);
        connect(socket_, &QTcpSocket::disconnected, this, &QObject::deleteLater);
    }

private:
    void readRequest()
    {
        if (answered_) return;
        buffer_ += socket_->readAll();
        const qsizetype end = buffer_.indexOf("\r\n\r\n");
        if (end < 0) return;
        answered_ = true;

        const QList<QByteArray> lines = buffer_.left(end).split('\n');
        const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
        ReceivedRequest request;
        request.method = requestLine.value(0);
        QByteArray target = requestLine.value(1);
        if (target.startsWith("http://") || target.startsWith("https://")) {
            request.viaProxy = true;
            const QUrl absolute(QString::fromLatin1(target));
            target = absolute.path(QUrl::FullyEncoded).toLatin1();
            if (absolute.hasQuery()) target += '?' + absolute.query(QUrl::FullyEncoded).toLatin1();
        }
        request.path = target;
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const qsizetype colon = lines[i].indexOf(':');
            if (colon > 0)
                request.headers.insert(lines[i].left(colon).trimmed().toLower(),
                                       lines[i].mid(colon + 1).trimmed());
        }
        server_->record(request);

        const QByteArray bare = request.path.left(request.path.indexOf('?') >= 0 ? request.path.indexOf('?')
                                                                                 : request.path.size());
        Route decided;
        const auto handler = server_->handlers_.constFind(bare);
        if (handler != server_->handlers_.constEnd()) decided = (*handler)(request);
        const Route* found =
            handler != server_->handlers_.constEnd() ? &decided : server_->find(request.path);
        route_ = found ? *found
                       : Route::html("<html><head><title>404</title></head><body>Not Found</body></html>");
        if (!found) {
            route_.status = 404;
            route_.reason = "Not Found";
        }
        if (!route_.requireCookie.isEmpty() &&
            !request.headers.value("cookie").contains(route_.requireCookie)) {
            route_ = Route::html(route_.deniedBody);
            route_.status = 403;
            route_.reason = "Forbidden";
        }
        if (route_.delayMs > 0)
            QTimer::singleShot(route_.delayMs, this, &Connection::sendHead);
        else
            sendHead();
    }

    qint64 bodySize() const
    {
        return route_.generatedBytes >= 0 ? route_.generatedBytes : route_.body.size();
    }

    void sendHead()
    {
        if (!route_.raw.isEmpty()) {
            done_ = true;
            socket_->write(route_.raw);
            socket_->disconnectFromHost();
            return;
        }
        if (!route_.redirectTo.isEmpty()) {
            route_.status = route_.status == 200 ? 302 : route_.status;
            route_.reason = "Found";
            route_.headers.append({"Location", route_.redirectTo});
        }
        QByteArray head = "HTTP/1.1 " + QByteArray::number(route_.status) + ' ' + route_.reason + "\r\n";
        for (const auto& [name, value] : route_.headers)
            head += name + ": " + value + "\r\n";
        if (!route_.setCookie.isEmpty()) head += "Set-Cookie: " + route_.setCookie + "\r\n";
        if (route_.chunked)
            head += "Transfer-Encoding: chunked\r\n";
        else if (route_.sendLength)
            head += "Content-Length: " +
                    QByteArray::number(route_.announcedLength >= 0 ? route_.announcedLength : bodySize()) +
                    "\r\n";
        head += "Connection: close\r\n\r\n";
        socket_->write(head);
        headSent_ = true;
        if (route_.throttleMs > 0) {
            auto* timer = new QTimer(this);
            connect(timer, &QTimer::timeout, this, [this] { send(route_.throttleBytes); });
            timer->start(route_.throttleMs);
        } else {
            pump();
        }
    }

    // Sends the next pieces of the body while the socket's queue is short.
    void pump()
    {
        if (route_.throttleMs <= 0) send(std::numeric_limits<int>::max());
    }

    void send(int budget)
    {
        if (!headSent() || done_) return;
        const qint64 total = bodySize();
        qint64 limit = total;
        if (route_.stallAfter >= 0) limit = std::min(limit, route_.stallAfter);
        if (route_.closeAfter >= 0) limit = std::min(limit, route_.closeAfter);

        const qint64 piece = route_.chunked && route_.chunkBytes > 0 ? route_.chunkBytes : kPiece;
        while (sent_ < limit && budget > 0 && socket_->bytesToWrite() < kMaxQueued) {
            const qint64 n = std::min({piece, limit - sent_, qint64(budget)});
            const QByteArray bytes =
                route_.generatedBytes >= 0 ? generated(sent_, n, total) : route_.body.mid(sent_, n);
            if (route_.chunked) {
                // A chunk cut by closeAfter announces its whole size: the cut falls inside the chunk.
                const qint64 announced =
                    sent_ + n == limit && limit < total ? std::min(piece, total - sent_) : n;
                socket_->write(QByteArray::number(announced, 16) + "\r\n" + bytes +
                               (announced == n ? "\r\n" : ""));
            } else {
                socket_->write(bytes);
            }
            sent_ += n;
            budget -= int(n);
        }
        if (sent_ < limit) return;
        if (route_.closeAfter >= 0 && route_.closeAfter < total) {
            done_ = true;
            if (route_.resetOnClose) {
                socket_->flush();
                const linger reset{1, 0};
                ::setsockopt(int(socket_->socketDescriptor()), SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
                socket_->abort();
            } else {
                socket_->disconnectFromHost(); // once what was queued has gone out
            }
            return;
        }
        if (route_.stallAfter >= 0 && route_.stallAfter < total) return; // and nothing more, ever
        done_ = true;
        if (route_.chunked) socket_->write("0\r\n\r\n");
        socket_->disconnectFromHost();
    }

    bool headSent() const { return headSent_; }

    FixtureServer* server_;
    QTcpSocket* socket_;
    QByteArray buffer_;
    Route route_;
    bool answered_ = false;
    bool headSent_ = false;
    bool done_ = false;
    qint64 sent_ = 0;
};

FixtureServer::FixtureServer(QObject* parent) : QObject(parent)
{
    connect(&server_, &QTcpServer::newConnection, this, &FixtureServer::accept);
}

FixtureServer::~FixtureServer() = default;

bool FixtureServer::start(quint16 port)
{
    return server_.listen(QHostAddress::LocalHost, port);
}

quint16 FixtureServer::port() const
{
    return server_.serverPort();
}

QString FixtureServer::url(const QString& path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(port()).arg(path);
}

void FixtureServer::route(const QString& path, const Route& route)
{
    routes_.insert(path.toLatin1(), route);
}

void FixtureServer::handle(const QString& path, std::function<Route(const ReceivedRequest&)> handler)
{
    handlers_.insert(path.toLatin1(), std::move(handler));
}

const Route* FixtureServer::find(const QByteArray& path) const
{
    auto it = routes_.constFind(path);
    if (it == routes_.constEnd())
        it = routes_.constFind(path.left(path.indexOf('?') >= 0 ? path.indexOf('?') : path.size()));
    return it == routes_.constEnd() ? nullptr : &it.value();
}

void FixtureServer::record(const ReceivedRequest& request)
{
    QMutexLocker lock(&mutex_);
    requests_.append(request);
}

QList<ReceivedRequest> FixtureServer::requests() const
{
    QMutexLocker lock(&mutex_);
    return requests_;
}

QList<ReceivedRequest> FixtureServer::requestsFor(const QString& path) const
{
    QList<ReceivedRequest> matching;
    for (const ReceivedRequest& r : requests())
        if (r.path == path.toLatin1() || r.path.startsWith(path.toLatin1() + '?')) matching.append(r);
    return matching;
}

void FixtureServer::accept()
{
    while (QTcpSocket* socket = server_.nextPendingConnection())
        new Connection(this, socket);
}

} // namespace Lunovex::Test
