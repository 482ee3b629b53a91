#include "platform/Inet.h"

#include "platform/Clock.h"
#include "platform/EventPump.h"
#include "platform/Network.h"

namespace Lunovex {

Inet::Inet(QObject* parent) : QObject(parent) {}

Inet::~Inet()
{
    release();
}

QNetworkProxy Inet::proxy() const
{
    if (AccessType != icNamedProxy || Proxy.isEmpty()) return QNetworkProxy(QNetworkProxy::DefaultProxy);
    const qsizetype colon = Proxy.lastIndexOf(QLatin1Char(':'));
    const QString host = colon > 0 ? Proxy.left(colon) : Proxy;
    const int port = colon > 0 ? Proxy.mid(colon + 1).toInt() : 80;
    return QNetworkProxy(QNetworkProxy::HttpProxy, host, quint16(port > 0 ? port : 80));
}

HttpGet* Inet::start(const QString& url, const QString& operation, const QByteArray& data,
                     const QString& requestHeaders, std::chrono::milliseconds stallTimeout)
{
    release();
    finished_ = false;
    failed_ = false;
    responseCode_ = 0;
    responseInfo_.clear();

    HttpGet::Request request;
    request.url = QUrl(url);
    const QByteArray verb = operation.trimmed().toUpper().toLatin1();
    request.method = verb.isEmpty() ? QByteArray("GET") : verb;
    request.body = data;
    for (const QString& line : requestHeaders.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts)) {
        const qsizetype colon = line.indexOf(QLatin1Char(':'));
        if (colon <= 0) continue;
        request.headers.append(
            {line.left(colon).trimmed().toLatin1(), line.mid(colon + 1).trimmed().toUtf8()});
    }
    request.proxy = proxy();
    request.stallTimeout = stallTimeout;

    auto* get = new HttpGet(this);
    get->setReadBufferSize(Network::kReadBufferBytes);
    get_ = get;
    connect(get, &HttpGet::step, this, &Inet::StateChanged);
    connect(get, &HttpGet::finished, this, [this, get] {
        finished_ = true;
        if (get->failed()) {
            failed_ = true;
            responseCode_ = int(get->error());
            responseInfo_ = get->errorString();
            emit StateChanged(11);
        } else {
            emit StateChanged(12);
        }
    });
    get->start(request);
    return get;
}

void Inet::release()
{
    ReleaseHttpGet(get_);
}

void Inet::Execute(const QString& url, const QString& operation, const QByteArray& inputData,
                   const QString& requestHeaders)
{
    start(url, operation, inputData, requestHeaders, milliseconds(0));
}

bool Inet::StillExecuting() const
{
    return get_ && !get_->headersIn() && !finished_;
}

QString Inet::GetHeader() const
{
    if (!get_ || !get_->headersIn()) return {};
    const HttpParser& answer = get_->answer();
    QString block = QString::fromLatin1(answer.version()) + QLatin1Char(' ') +
                    QString::number(answer.status()) + QLatin1Char(' ') +
                    QString::fromLatin1(answer.reason());
    for (const auto& [name, value] : answer.headers())
        block += QStringLiteral("\r\n") + QString::fromLatin1(name) + QStringLiteral(": ") +
                 QString::fromUtf8(value);
    return block;
}

QString Inet::GetHeader(const QString& name) const
{
    if (!get_ || !get_->headersIn()) return {};
    return QString::fromUtf8(get_->answer().header(name.toLatin1()));
}

QByteArray Inet::GetChunk(int size)
{
    if (!get_ || size <= 0) return {};
    QPointer<HttpGet> get = get_;
    if (get->bytesAvailable() == 0 && !finished_)
        EventPump::waitUntil([&] { return !get || get != get_ || get->bytesAvailable() > 0 || finished_; },
                             Timing::current().chunkWait, get.data(), &HttpGet::readyRead);
    if (!get || get != get_) return {};
    return get->read(size);
}

QByteArray Inet::OpenURL(const QString& url)
{
    QPointer<HttpGet> get = start(url, QStringLiteral("GET"), {}, {}, Timing::current().transferStall);
    // The whole body is held here, as the caller asked for it; the read buffer must not cap it.
    get->setReadBufferSize(0);
    EventPump::waitUntil([&] { return !get || get != get_ || finished_; }, milliseconds::max(), get.data(),
                         &HttpGet::finished);
    if (!get || get != get_ || failed_) return {};
    return get->readAll();
}

void Inet::Cancel()
{
    if (get_ && !finished_) {
        failed_ = true;
        responseCode_ = int(QNetworkReply::OperationCanceledError);
        responseInfo_ = QStringLiteral("Operation canceled");
    }
    release();
    finished_ = true;
}

bool Inet::TransferEnded() const
{
    return !get_ || finished_;
}

bool Inet::TransferFailed() const
{
    return failed_;
}

bool Inet::BodyComplete() const
{
    return get_ && finished_ && !failed_ && get_->bytesAvailable() == 0;
}

} // namespace Lunovex
