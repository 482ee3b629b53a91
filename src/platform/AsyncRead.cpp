#include "platform/AsyncRead.h"

#include "platform/HttpGet.h"
#include "platform/Network.h"

#include <QSaveFile>

namespace Lunovex {

AsyncRead::AsyncRead(QObject* parent) : QObject(parent) {}

AsyncRead::~AsyncRead()
{
    cancel();
}

void AsyncRead::start(const QString& url, const QString& targetPath, const QString& propertyName)
{
    cancel();
    propertyName_ = propertyName;
    bytesRead_ = 0;
    bytesMax_ = 0;
    status_ = 0;
    retryAfter_.clear();
    failed_ = false;

    body_ = std::make_unique<QSaveFile>(targetPath);
    if (!body_->open(QIODevice::WriteOnly)) failed_ = true;

    auto* get = new HttpGet(this);
    get->setReadBufferSize(Network::kReadBufferBytes);
    get_ = get;
    connect(get, &HttpGet::headersReceived, this, [this, get] {
        bytesMax_ = std::max<qint64>(get->answer().contentLength(), 0);
        status_ = get->answer().status();
        retryAfter_ = QString::fromLatin1(get->answer().header("Retry-After"));
        // The size is known before the first byte: a host may turn a file down on it at once.
        if (bytesMax_ > 0) emit progress(bytesRead_, bytesMax_, propertyName_);
    });
    connect(get, &HttpGet::readyRead, this, [this] {
        take();
        emit progress(bytesRead_, bytesMax_, propertyName_);
    });
    connect(get, &HttpGet::finished, this, &AsyncRead::finish);
    HttpGet::Request request;
    request.url = QUrl(url);
    get->start(request);
}

void AsyncRead::take()
{
    const QByteArray data = get_->readAll();
    if (body_ && !failed_ && body_->write(data) != data.size()) failed_ = true;
    bytesRead_ += data.size();
}

void AsyncRead::finish()
{
    HttpGet* get = get_;
    if (!get) return;
    take();
    // A transfer that failed brought no body, whatever had come of it; a whole body of unknown
    // length now knows its size.
    if (get->failed() || failed_)
        bytesRead_ = 0;
    else if (bytesMax_ == 0)
        bytesMax_ = bytesRead_;
    get_ = nullptr;
    get->disconnect(this);
    get->deleteLater();
    emit completed(bytesRead_, bytesMax_, propertyName_);
}

void AsyncRead::cancel()
{
    ReleaseHttpGet(get_);
    discard();
}

bool AsyncRead::commit()
{
    if (!body_) return false;
    const bool ok = body_->commit();
    body_.reset();
    return ok;
}

void AsyncRead::discard()
{
    if (body_) {
        body_->cancelWriting();
        body_.reset();
    }
}

} // namespace Lunovex
