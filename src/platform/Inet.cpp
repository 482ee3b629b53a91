#include "platform/Inet.h"

#include "platform/Clock.h"
#include "platform/EventPump.h"
#include "platform/Network.h"

#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

namespace Lunovex {

namespace {

constexpr int kMaxRedirects = 20;

} // namespace

Inet::Inet(QObject* parent) : QObject(parent)
{
    Network::shareCookies(&manager_);
}

Inet::~Inet()
{
    releaseReply();
}

void Inet::applyProxy()
{
    if (AccessType == icNamedProxy && !Proxy.isEmpty()) {
        const qsizetype colon = Proxy.lastIndexOf(QLatin1Char(':'));
        const QString host = colon > 0 ? Proxy.left(colon) : Proxy;
        const int port = colon > 0 ? Proxy.mid(colon + 1).toInt() : 80;
        manager_.setProxy(QNetworkProxy(QNetworkProxy::HttpProxy, host, quint16(port > 0 ? port : 80)));
    } else {
        manager_.setProxy(QNetworkProxy(QNetworkProxy::DefaultProxy));
    }
}

QNetworkReply* Inet::start(const QNetworkRequest& request, const QString& operation, const QByteArray& data)
{
    releaseReply();
    headersIn_ = false;
    finished_ = false;
    failed_ = false;
    bytesReceived_ = 0;
    bytesRead_ = 0;
    responseCode_ = 0;
    responseInfo_.clear();
    applyProxy();

    const QByteArray verb = operation.trimmed().toUpper().toLatin1();
    QNetworkReply* reply = nullptr;
    if (verb.isEmpty() || verb == "GET")
        reply = manager_.get(request);
    else if (verb == "HEAD")
        reply = manager_.head(request);
    else if (verb == "POST")
        reply = manager_.post(request, data);
    else
        reply = manager_.sendCustomRequest(request, verb, data);
    reply->setReadBufferSize(Network::kReadBufferBytes);
    reply_ = reply;
    watch(reply);
    emit StateChanged(1);
    return reply;
}

void Inet::watch(QNetworkReply* reply)
{
    connect(reply, &QNetworkReply::socketStartedConnecting, this, [this] {
        emit StateChanged(2);
        emit StateChanged(3);
    });
    connect(reply, &QNetworkReply::requestSent, this, [this] {
        emit StateChanged(4);
        emit StateChanged(5);
        emit StateChanged(6);
    });
    connect(reply, &QNetworkReply::metaDataChanged, this, [this, reply] {
        if (headersIn_ || !reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid()) return;
        headersIn_ = true;
        emit StateChanged(7);
        emit StateChanged(8);
    });
    connect(reply, &QNetworkReply::errorOccurred, this, [this, reply](QNetworkReply::NetworkError code) {
        if (isTransportFailure(reply, code)) markFailed(reply, code);
    });
    connect(reply, &QNetworkReply::downloadProgress, this,
            [this](qint64 received, qint64) { bytesReceived_ = std::max(bytesReceived_, received); });
    connect(reply, &QNetworkReply::finished, this, [this, reply] {
        finished_ = true;
        // The error signal does not always come before the end, so the end is checked itself: an
        // error, or fewer bytes than announced, is a failure however quietly the reply ended.
        if (!failed_ && isTransportFailure(reply, reply->error())) markFailed(reply, reply->error());
        bool known = false;
        const qint64 announced = reply->header(QNetworkRequest::ContentLengthHeader).toLongLong(&known);
        if (!failed_ && known && headersIn_ && bytesReceived_ < announced &&
            reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() != 304 &&
            reply->operation() != QNetworkAccessManager::HeadOperation)
            markFailed(reply, QNetworkReply::RemoteHostClosedError);
        if (!failed_) {
            emit StateChanged(9);
            emit StateChanged(10);
            emit StateChanged(12);
        }
    });
}

bool Inet::isTransportFailure(QNetworkReply* reply, QNetworkReply::NetworkError code)
{
    if (code == QNetworkReply::NoError) return false;
    // An HTTP error status is an answer, not a transport failure: its body is read like any other.
    const bool httpStatus =
        (code >= QNetworkReply::ContentAccessDenied && code < QNetworkReply::ProtocolUnknownError) ||
        (code >= QNetworkReply::InternalServerError && code <= QNetworkReply::UnknownServerError);
    return !(httpStatus && reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid());
}

void Inet::markFailed(QNetworkReply* reply, QNetworkReply::NetworkError code)
{
    failed_ = true;
    responseCode_ = int(code);
    responseInfo_ = reply->errorString();
    emit StateChanged(11);
}

void Inet::releaseReply()
{
    if (!reply_) return;
    QNetworkReply* reply = reply_;
    reply_ = nullptr;
    reply->disconnect(this);
    if (reply->isRunning()) reply->abort();
    reply->deleteLater();
}

void Inet::Execute(const QString& url, const QString& operation, const QByteArray& inputData,
                   const QString& requestHeaders)
{
    QNetworkRequest request = Network::browserRequest(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    for (const QString& line : requestHeaders.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts)) {
        const qsizetype colon = line.indexOf(QLatin1Char(':'));
        if (colon <= 0) continue;
        request.setRawHeader(line.left(colon).trimmed().toLatin1(), line.mid(colon + 1).trimmed().toUtf8());
    }
    start(request, operation, inputData);
}

bool Inet::StillExecuting() const
{
    return reply_ && !headersIn_ && !finished_;
}

QString Inet::GetHeader() const
{
    if (!reply_ || !headersIn_) return {};
    const int status = reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QString reason =
        QString::fromLatin1(reply_->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toByteArray());
    const bool http2 = reply_->attribute(QNetworkRequest::Http2WasUsedAttribute).toBool();
    QString block = QStringLiteral("%1 %2 %3")
                        .arg(http2 ? QStringLiteral("HTTP/2") : QStringLiteral("HTTP/1.1"))
                        .arg(status)
                        .arg(reason);
    for (const auto& [name, value] : reply_->rawHeaderPairs())
        block += QStringLiteral("\r\n") + QString::fromLatin1(name) + QStringLiteral(": ") +
                 QString::fromUtf8(value);
    return block;
}

QString Inet::GetHeader(const QString& name) const
{
    if (!reply_ || !headersIn_) return {};
    return QString::fromUtf8(reply_->rawHeader(name.toLatin1()));
}

QByteArray Inet::GetChunk(int size)
{
    if (!reply_ || size <= 0) return {};
    QPointer<QNetworkReply> reply = reply_;
    if (reply->bytesAvailable() == 0 && !finished_)
        EventPump::waitUntil(
            [&] { return !reply || reply != reply_ || reply->bytesAvailable() > 0 || finished_; },
            Timing::current().chunkWait, reply.data(), &QIODevice::readyRead);
    if (!reply || reply != reply_) return {};
    const QByteArray chunk = reply->read(size);
    bytesRead_ += chunk.size();
    return chunk;
}

QByteArray Inet::OpenURL(const QString& url)
{
    QNetworkRequest request = Network::browserRequest(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(kMaxRedirects);
    request.setTransferTimeout(int(Timing::current().transferStall.count()));
    QPointer<QNetworkReply> reply = start(request, QStringLiteral("GET"), {});
    // The whole body is held here, as the caller asked for it; the read buffer must not cap it.
    reply->setReadBufferSize(0);
    EventPump::waitUntil([&] { return !reply || reply != reply_ || finished_; }, milliseconds::max());
    if (!reply || reply != reply_ || failed_) return {};
    return reply->readAll();
}

void Inet::Cancel()
{
    if (reply_ && !finished_) {
        // Ending a transfer whose announced body has all come is its completion, not a cancel,
        // even when the reply has not said so yet.
        bool known = false;
        const qint64 announced = reply_->header(QNetworkRequest::ContentLengthHeader).toLongLong(&known);
        if (known && headersIn_ && bytesRead_ >= announced) {
            releaseReply();
            finished_ = true;
            emit StateChanged(9);
            emit StateChanged(10);
            emit StateChanged(12);
            return;
        }
        failed_ = true;
        responseCode_ = int(QNetworkReply::OperationCanceledError);
        responseInfo_ = QStringLiteral("Operation canceled");
    }
    releaseReply();
    finished_ = true;
}

bool Inet::TransferEnded() const
{
    return !reply_ || finished_;
}

bool Inet::TransferFailed() const
{
    return failed_;
}

bool Inet::BodyComplete() const
{
    return reply_ && finished_ && !failed_ && reply_->bytesAvailable() == 0;
}

} // namespace Lunovex
