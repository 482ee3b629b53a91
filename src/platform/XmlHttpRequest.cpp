#include "platform/XmlHttpRequest.h"

#include "platform/HttpGet.h"
#include "platform/Network.h"

namespace Lunovex {

XmlHttpRequest::XmlHttpRequest(QObject* parent) : QObject(parent) {}

XmlHttpRequest::~XmlHttpRequest()
{
    abort();
}

bool XmlHttpRequest::open(const QString& method, const QString& url)
{
    if (!Network::IsWebAddress(url)) return false;
    abort();
    method_ = method.trimmed().toUpper();
    url_ = url;
    headers_.clear();
    body_.clear();
    state_ = Opened;
    return true;
}

bool XmlHttpRequest::setRequestHeader(const QString& name, const QString& value)
{
    if (state_ != Opened || get_) return false;
    headers_.append({name.toLatin1(), value.toUtf8()});
    return true;
}

void XmlHttpRequest::send(const QByteArray& body)
{
    if (state_ != Opened || get_) return;
    auto* get = new HttpGet(this);
    get_ = get;
    connect(get, &HttpGet::headersReceived, this, [this] { state_ = HeadersReceived; });
    connect(get, &HttpGet::readyRead, this, [this, get] {
        state_ = Loading;
        body_ += get->readAll();
    });
    connect(get, &HttpGet::finished, this, [this, get] {
        if (get->failed())
            body_.clear();
        else
            body_ += get->readAll();
        state_ = Done;
    });
    HttpGet::Request request;
    request.url = QUrl(url_);
    request.method = method_.toLatin1();
    request.body = body;
    request.headers = headers_;
    get->start(request);
}

void XmlHttpRequest::abort()
{
    ReleaseHttpGet(get_);
    state_ = Unsent;
}

int XmlHttpRequest::status() const
{
    return get_ && get_->headersIn() && !get_->failed() ? get_->answer().status() : 0;
}

QString XmlHttpRequest::statusText() const
{
    return get_ && get_->headersIn() && !get_->failed() ? QString::fromLatin1(get_->answer().reason())
                                                        : QString();
}

QString XmlHttpRequest::responseHeader(const QString& name) const
{
    return get_ && get_->headersIn() ? QString::fromUtf8(get_->answer().header(name.toLatin1())) : QString();
}

QString XmlHttpRequest::allResponseHeaders() const
{
    if (!get_ || !get_->headersIn()) return {};
    QStringList lines;
    for (const auto& [name, value] : get_->answer().headers())
        lines << QString::fromLatin1(name) + QStringLiteral(": ") + QString::fromUtf8(value);
    return lines.join(QStringLiteral("\r\n"));
}

} // namespace Lunovex
