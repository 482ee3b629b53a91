#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>

namespace Lunovex {

class HttpGet;

// An asynchronous HTTP request as a script's XMLHttpRequest offers it: open, headers, send, abort,
// and its state read at any time. Runs on an HttpGet, so it shares cookies, user agent, redirects
// and TLS checks with every other transfer. A transfer that fails completes with status 0.
class XmlHttpRequest : public QObject
{
    Q_OBJECT

public:
    enum ReadyState { Unsent = 0, Opened = 1, HeadersReceived = 2, Loading = 3, Done = 4 };

    explicit XmlHttpRequest(QObject* parent = nullptr);
    ~XmlHttpRequest() override;

    // False, and nothing changes, when the address is no web address.
    bool open(const QString& method, const QString& url);
    // False when the request is not open (or already sent).
    bool setRequestHeader(const QString& name, const QString& value);
    void send(const QByteArray& body = {});
    void abort();

    int readyState() const { return state_; }
    int status() const;
    QString statusText() const;
    QString responseHeader(const QString& name) const;
    QString allResponseHeaders() const; // "Name: value" lines joined by CR LF
    QByteArray responseBody() const { return body_; }
    QString responseText() const { return QString::fromUtf8(body_); }

private:
    QPointer<HttpGet> get_;
    QString method_;
    QString url_;
    QList<QPair<QByteArray, QByteArray>> headers_;
    QByteArray body_;
    int state_ = Unsent;
};

} // namespace Lunovex
