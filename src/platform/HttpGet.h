#pragma once

#include "platform/HttpParser.h"

#include <QNetworkProxy>
#include <QNetworkReply>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QUrl>

#include <chrono>

class QTcpSocket;

namespace Lunovex {

// One HTTP/1.1 request on a connection of its own, answered by one response that HttpParser
// frames, so that the transfers know exactly whether a body came whole. (Qt's own HTTP stack
// finishes a reply without an error when the connection closes while it still has unread bytes,
// chunked or not; a cut-off body then looks complete.)
//
// Redirects are followed (at most Network::kMaxRedirects, never from https to http); the headers
// and body reported are the final answer's. Requests carry the shared cookies and store the ones
// set by every answer, redirects included. TLS certificates are verified. Everything runs on the
// event loop; nothing here blocks.
class HttpGet : public QObject
{
    Q_OBJECT

public:
    // The steps of a request, numbered as the Internet Transfer control reports them.
    enum Step {
        Resolving = 1,
        Resolved = 2,
        Connecting = 3,
        Connected = 4,
        Sending = 5,
        Sent = 6,
        Receiving = 7,
        Received = 8,
        Closing = 9,
        Closed = 10
    };
    Q_ENUM(Step)

    struct Request
    {
        QUrl url;
        QByteArray method = "GET";
        QByteArray body;
        // Sent as given; Host, Connection and Content-Length are ours, and User-Agent, Accept and
        // Cookie are added when the list has none.
        QList<QPair<QByteArray, QByteArray>> headers;
        QNetworkProxy proxy{QNetworkProxy::DefaultProxy};
        bool followRedirects = true;
        // Fails the request when nothing at all comes for this long (0: wait for ever).
        std::chrono::milliseconds stallTimeout{0};
    };

    explicit HttpGet(QObject* parent = nullptr);
    ~HttpGet() override;

    void start(const Request& request);
    // Ends the request at once; nothing is reported after it.
    void abort();

    // The final answer's status line and headers, once headersReceived() has come.
    bool headersIn() const { return headersIn_; }
    const HttpParser& answer() const { return parser_; }

    // The body's bytes not read yet. Reading makes room for more to come off the connection.
    qint64 bytesAvailable() const { return body_.size() - bodyRead_; }
    QByteArray read(qint64 maxSize);
    QByteArray readAll() { return read(bytesAvailable()); }

    bool isFinished() const { return finished_; }
    // Finished without the whole answer: refused, reset, cut short, not HTTP, TLS, time-out.
    bool failed() const { return failed_; }
    QString errorString() const { return error_; }
    // What failed, in Qt's network error numbers (NoError while nothing has).
    QNetworkReply::NetworkError error() const { return errorCode_; }

    // How much body may wait unread before the connection is slowed down (0: no bound).
    void setReadBufferSize(qint64 bytes) { readBufferSize_ = bytes; }

signals:
    void step(int step);
    void headersReceived();
    void readyRead();
    void finished(); // once, whole or failed

private:
    void connectTo(const QUrl& url);
    void sendRequest();
    void pull();
    void schedulePull();
    void answerComplete();
    void redirect();
    void storeCookies();
    void fail(QNetworkReply::NetworkError code, const QString& why);
    void finish();
    void dropSocket();

    Request request_;
    QUrl url_; // the address now asked (after redirects)
    int redirects_ = 0;
    bool viaPlainProxy_ = false; // an http address through an HTTP proxy: the absolute address is sent
    QPointer<QTcpSocket> socket_;
    HttpParser parser_;
    QByteArray body_;
    QByteArray incoming_; // the buffer socket reads land in
    qint64 bodyRead_ = 0;
    qint64 readBufferSize_ = 0;
    bool peerClosed_ = false;
    bool pullQueued_ = false;
    bool headersIn_ = false;
    bool receiving_ = false;
    bool finished_ = false;
    bool failed_ = false;
    QString error_;
    QNetworkReply::NetworkError errorCode_ = QNetworkReply::NoError;
    QTimer stall_;
};

// Lets go of a request its holder no longer wants: it ends at once, reports nothing more, and goes
// once control is back in the event loop (it may be the one whose signal is being handled).
void ReleaseHttpGet(QPointer<HttpGet>& get);

} // namespace Lunovex
