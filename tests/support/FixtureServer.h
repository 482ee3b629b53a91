#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QMutex>
#include <QObject>
#include <QPair>
#include <QTcpServer>
#include <QUrl>

#include <functional>

namespace Lunovex::Test {

// What the server answers on one path.
struct Route
{
    int status = 200;
    QByteArray reason = "OK";
    QList<QPair<QByteArray, QByteArray>> headers; // sent after the status line, before the defaults
    QByteArray body;
    qint64 generatedBytes = -1; // >= 0: a body of that many bytes made on the fly ("%PDF-1.4" first)
    bool sendLength = true;     // a Content-Length header (not with chunked)
    bool chunked = false;       // Transfer-Encoding: chunked
    int delayMs = 0;            // before the status line
    qint64 stallAfter = -1;     // >= 0: send that many body bytes, then nothing (the connection stays)
    qint64 closeAfter = -1;     // >= 0: send that many body bytes, then close the connection
    bool resetOnClose = false;  // with closeAfter: reset the connection instead of closing it
    QByteArray setCookie;       // a Set-Cookie header
    QByteArray requireCookie;   // "name=value" the request must carry, else 403 with the body below
    QByteArray deniedBody = "<html><head><title>Sign in</title></head><body>login</body></html>";
    QByteArray redirectTo; // answers 302 with this Location
    int throttleBytes = 0; // with throttleMs: this many bytes each throttleMs
    int throttleMs = 0;
    qint64 announcedLength = -1; // >= 0: the Content-Length sent, whatever the body's size
    int chunkBytes = 0;          // with chunked: the size of each chunk (0: 64 KiB)
    QByteArray raw;              // not empty: sent as the whole answer, status line and all, then closed

    static Route pdf(qint64 bytes);
    // The body a pdf(bytes) route sends.
    static QByteArray pdfBody(qint64 bytes);
    static Route html(const QByteArray& page);
};

struct ReceivedRequest
{
    QByteArray method;
    QByteArray path;                       // path and query
    QHash<QByteArray, QByteArray> headers; // names in lower case
    bool viaProxy = false;                 // the request line carried an absolute address
};

// A small HTTP/1.1 server on loopback for the transfer tests: routes by path (with or without the
// query), records every request, and answers one request per connection.
class FixtureServer : public QObject
{
    Q_OBJECT

public:
    explicit FixtureServer(QObject* parent = nullptr);
    ~FixtureServer() override;

    bool start(quint16 port = 0); // 0: any free port
    quint16 port() const;
    QString url(const QString& path) const;

    void route(const QString& path, const Route& route);
    // A route decided per request (a session that logs in and lapses); it wins over a fixed one.
    void handle(const QString& path, std::function<Route(const ReceivedRequest&)> handler);

    QList<ReceivedRequest> requests() const;
    QList<ReceivedRequest> requestsFor(const QString& path) const;

private:
    class Connection;
    void accept();
    const Route* find(const QByteArray& path) const;
    void record(const ReceivedRequest& request);

    QTcpServer server_;
    QHash<QByteArray, Route> routes_;
    QHash<QByteArray, std::function<Route(const ReceivedRequest&)>> handlers_;
    mutable QMutex mutex_;
    QList<ReceivedRequest> requests_;
};

} // namespace Lunovex::Test
