#include "platform/HttpGet.h"

#include "platform/Network.h"

#include <QNetworkCookie>
#include <QNetworkCookieJar>
#include <QNetworkProxyFactory>
#include <QSslSocket>
#include <QTcpSocket>

namespace Lunovex {

namespace {

constexpr qint64 kSocketRead = 64 * 1024;

bool isRedirect(int status)
{
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

bool hasHeader(const QList<QPair<QByteArray, QByteArray>>& headers, const QByteArray& name)
{
    for (const auto& header : headers)
        if (header.first.compare(name, Qt::CaseInsensitive) == 0) return true;
    return false;
}

QByteArray hostHeader(const QUrl& url)
{
    QByteArray host = url.host(QUrl::FullyEncoded).toLatin1();
    if (host.contains(':')) host = '[' + host + ']';
    const int defaultPort = url.scheme() == QLatin1String("https") ? 443 : 80;
    if (url.port(defaultPort) != defaultPort) host += ':' + QByteArray::number(url.port());
    return host;
}

QNetworkProxy effectiveProxy(const QNetworkProxy& asked, const QUrl& url)
{
    if (asked.type() != QNetworkProxy::DefaultProxy) return asked;
    const QList<QNetworkProxy> proxies = QNetworkProxyFactory::proxyForQuery(QNetworkProxyQuery(url));
    const QNetworkProxy chosen = proxies.value(0, QNetworkProxy(QNetworkProxy::NoProxy));
    return chosen.type() == QNetworkProxy::DefaultProxy ? QNetworkProxy(QNetworkProxy::NoProxy) : chosen;
}

QNetworkReply::NetworkError networkError(QAbstractSocket::SocketError error)
{
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError:
        return QNetworkReply::ConnectionRefusedError;
    case QAbstractSocket::RemoteHostClosedError:
        return QNetworkReply::RemoteHostClosedError;
    case QAbstractSocket::HostNotFoundError:
        return QNetworkReply::HostNotFoundError;
    case QAbstractSocket::SocketTimeoutError:
        return QNetworkReply::TimeoutError;
    case QAbstractSocket::SslHandshakeFailedError:
    case QAbstractSocket::SslInternalError:
    case QAbstractSocket::SslInvalidUserDataError:
        return QNetworkReply::SslHandshakeFailedError;
    case QAbstractSocket::ProxyConnectionRefusedError:
        return QNetworkReply::ProxyConnectionRefusedError;
    case QAbstractSocket::ProxyConnectionClosedError:
        return QNetworkReply::ProxyConnectionClosedError;
    case QAbstractSocket::ProxyNotFoundError:
        return QNetworkReply::ProxyNotFoundError;
    case QAbstractSocket::ProxyConnectionTimeoutError:
        return QNetworkReply::ProxyTimeoutError;
    case QAbstractSocket::ProxyAuthenticationRequiredError:
        return QNetworkReply::ProxyAuthenticationRequiredError;
    default:
        return QNetworkReply::UnknownNetworkError;
    }
}

} // namespace

HttpGet::HttpGet(QObject* parent) : QObject(parent)
{
    stall_.setSingleShot(true);
    connect(&stall_, &QTimer::timeout, this,
            [this] { fail(QNetworkReply::TimeoutError, QStringLiteral("the server sent nothing in time")); });
}

HttpGet::~HttpGet()
{
    abort();
}

void HttpGet::start(const Request& request)
{
    request_ = request;
    redirects_ = 0;
    connectTo(request.url);
}

void HttpGet::connectTo(const QUrl& url)
{
    dropSocket();
    url_ = url;
    parser_ = HttpParser(request_.method == "HEAD");
    body_.clear();
    bodyRead_ = 0;
    peerClosed_ = false;
    headersIn_ = false;
    receiving_ = false;

    if (!Network::IsWebAddress(url)) {
        fail(QNetworkReply::ProtocolUnknownError, QStringLiteral("not a web address"));
        return;
    }
    const bool tls = url.scheme() == QLatin1String("https");
    if (tls && !QSslSocket::supportsSsl()) {
        fail(QNetworkReply::SslHandshakeFailedError, QStringLiteral("TLS is not available"));
        return;
    }
    QTcpSocket* socket = tls ? new QSslSocket(this) : new QTcpSocket(this);
    socket_ = socket;
    if (readBufferSize_ > 0) socket->setReadBufferSize(readBufferSize_);

    const QNetworkProxy proxy = effectiveProxy(request_.proxy, url);
    viaPlainProxy_ = !tls && proxy.type() == QNetworkProxy::HttpProxy;
    socket->setProxy(viaPlainProxy_ ? QNetworkProxy(QNetworkProxy::NoProxy) : proxy);

    connect(socket, &QTcpSocket::hostFound, this, [this] {
        emit step(Resolved);
        emit step(Connecting);
    });
    connect(socket, &QTcpSocket::readyRead, this, &HttpGet::pull);
    connect(socket, &QTcpSocket::disconnected, this, [this] {
        peerClosed_ = true;
        pull();
    });
    connect(socket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError error) {
        if (error == QAbstractSocket::RemoteHostClosedError) {
            // A close and a reset both come this way; what came before them is still read.
            peerClosed_ = true;
            pull();
        } else if (socket_) {
            fail(networkError(error), socket_->errorString());
        }
    });

    emit step(Resolving);
    if (request_.stallTimeout.count() > 0) stall_.start(request_.stallTimeout);
    const quint16 port = quint16(url.port(tls ? 443 : 80));
    if (tls) {
        auto* ssl = static_cast<QSslSocket*>(socket);
        connect(ssl, &QSslSocket::encrypted, this, &HttpGet::sendRequest);
        ssl->connectToHostEncrypted(url.host(), port);
    } else if (viaPlainProxy_) {
        connect(socket, &QTcpSocket::connected, this, &HttpGet::sendRequest);
        socket->connectToHost(proxy.hostName(), proxy.port());
    } else {
        connect(socket, &QTcpSocket::connected, this, &HttpGet::sendRequest);
        socket->connectToHost(url.host(), port);
    }
}

void HttpGet::sendRequest()
{
    if (!socket_) return;
    emit step(Connected);
    emit step(Sending);
    QByteArray target = viaPlainProxy_ ? url_.toEncoded(QUrl::RemoveFragment | QUrl::RemoveUserInfo)
                                       : url_.path(QUrl::FullyEncoded).toLatin1();
    if (target.isEmpty()) target = "/";
    if (!viaPlainProxy_ && url_.hasQuery()) target += '?' + url_.query(QUrl::FullyEncoded).toLatin1();

    QByteArray message = request_.method + ' ' + target + " HTTP/1.1\r\nHost: " + hostHeader(url_) + "\r\n";
    const auto& headers = request_.headers;
    for (const auto& [name, value] : headers) {
        if (name.compare("Host", Qt::CaseInsensitive) == 0 ||
            name.compare("Connection", Qt::CaseInsensitive) == 0 ||
            name.compare("Content-Length", Qt::CaseInsensitive) == 0)
            continue;
        // A line break in a value would start a header of the caller's choosing.
        if (name.contains('\r') || name.contains('\n') || value.contains('\r') || value.contains('\n'))
            continue;
        message += name + ": " + value + "\r\n";
    }
    if (!hasHeader(headers, "User-Agent"))
        message += "User-Agent: " + Network::userAgent().toLatin1() + "\r\n";
    if (!hasHeader(headers, "Accept")) message += "Accept: */*\r\n";
    if (!hasHeader(headers, "Cookie")) {
        QByteArray cookies;
        for (const QNetworkCookie& cookie : Network::cookieJar()->cookiesForUrl(url_))
            cookies += (cookies.isEmpty() ? "" : "; ") + cookie.toRawForm(QNetworkCookie::NameAndValueOnly);
        if (!cookies.isEmpty()) message += "Cookie: " + cookies + "\r\n";
    }
    if (!request_.body.isEmpty() || request_.method == "POST")
        message += "Content-Length: " + QByteArray::number(request_.body.size()) + "\r\n";
    message += "Connection: close\r\n\r\n" + request_.body;
    socket_->write(message);
    emit step(Sent);
}

void HttpGet::schedulePull()
{
    if (pullQueued_) return;
    pullQueued_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            pullQueued_ = false;
            pull();
        },
        Qt::QueuedConnection);
}

// Takes what the connection has into the parser, as far as the unread body leaves room.
void HttpGet::pull()
{
    QPointer<HttpGet> alive = this;
    while (socket_ && !finished_ && socket_->bytesAvailable() > 0 &&
           (readBufferSize_ <= 0 || bytesAvailable() < readBufferSize_)) {
        incoming_.resize(kSocketRead);
        const qint64 got = socket_->read(incoming_.data(), kSocketRead);
        if (got <= 0) break;
        if (request_.stallTimeout.count() > 0) stall_.start(request_.stallTimeout);
        if (!receiving_) {
            receiving_ = true;
            emit step(Receiving);
            if (!alive) return;
        }
        const qint64 before = body_.size();
        const bool hadHeaders = parser_.headersComplete();
        parser_.feed(incoming_.constData(), got, &body_);
        if (!hadHeaders && parser_.headersComplete()) {
            if (isRedirect(parser_.status()) && request_.followRedirects &&
                !parser_.header("Location").isEmpty()) {
                redirect();
                return;
            }
            storeCookies();
            headersIn_ = true;
            emit step(Received);
            emit headersReceived();
            if (!alive) return;
        }
        if (parser_.failed()) {
            fail(QNetworkReply::ProtocolFailure, parser_.error());
            return;
        }
        if (body_.size() > before) {
            emit readyRead();
            if (!alive) return;
        }
        if (parser_.done()) {
            answerComplete();
            return;
        }
    }
    if (!socket_ || finished_) return;
    if (peerClosed_ && socket_->bytesAvailable() == 0) {
        parser_.endOfStream();
        if (parser_.done())
            answerComplete();
        else
            fail(QNetworkReply::RemoteHostClosedError, parser_.error());
    }
}

void HttpGet::redirect()
{
    storeCookies();
    const QUrl next = url_.resolved(QUrl::fromEncoded(parser_.header("Location")));
    if (++redirects_ > Network::kMaxRedirects) {
        fail(QNetworkReply::TooManyRedirectsError, QStringLiteral("too many redirects"));
        return;
    }
    if (!Network::IsWebAddress(next) ||
        (url_.scheme() == QLatin1String("https") && next.scheme() != QLatin1String("https"))) {
        fail(QNetworkReply::InsecureRedirectError,
             QStringLiteral("a redirect to an address that may not be followed"));
        return;
    }
    if (parser_.status() == 303 ||
        ((parser_.status() == 301 || parser_.status() == 302) && request_.method == "POST")) {
        request_.method = "GET";
        request_.body.clear();
    }
    connectTo(next);
}

void HttpGet::storeCookies()
{
    QList<QNetworkCookie> cookies;
    for (const auto& [name, value] : parser_.headers())
        if (name.compare("Set-Cookie", Qt::CaseInsensitive) == 0)
            cookies += QNetworkCookie::parseCookies(value);
    if (!cookies.isEmpty()) Network::cookieJar()->setCookiesFromUrl(cookies, url_);
}

void HttpGet::answerComplete()
{
    emit step(Closing);
    dropSocket();
    emit step(Closed);
    finish();
}

void HttpGet::fail(QNetworkReply::NetworkError code, const QString& why)
{
    if (finished_) return;
    failed_ = true;
    errorCode_ = code;
    error_ = why;
    dropSocket();
    finish();
}

void HttpGet::finish()
{
    if (finished_) return;
    finished_ = true;
    stall_.stop();
    emit finished();
}

QByteArray HttpGet::read(qint64 maxSize)
{
    const qint64 n = std::min(maxSize, bytesAvailable());
    if (n <= 0) return {};
    QByteArray out = body_.mid(bodyRead_, n);
    bodyRead_ += n;
    if (bodyRead_ == body_.size()) {
        body_.resize(0); // keeps its room for the next bytes
        bodyRead_ = 0;
    } else if (bodyRead_ > kSocketRead && bodyRead_ * 2 > body_.size()) {
        body_.remove(0, bodyRead_); // keeps the buffer's cost linear in what passes through it
        bodyRead_ = 0;
    }
    if (socket_ && socket_->bytesAvailable() > 0) schedulePull();
    return out;
}

void HttpGet::abort()
{
    stall_.stop();
    dropSocket();
    finished_ = true;
}

void ReleaseHttpGet(QPointer<HttpGet>& get)
{
    if (!get) return;
    HttpGet* request = get;
    get = nullptr;
    request->disconnect();
    request->abort();
    request->deleteLater();
}

void HttpGet::dropSocket()
{
    if (!socket_) return;
    QTcpSocket* socket = socket_;
    socket_ = nullptr;
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
}

} // namespace Lunovex
