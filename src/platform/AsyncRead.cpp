#include "platform/AsyncRead.h"

#include "platform/Network.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSaveFile>

namespace Lunovex {

namespace {

constexpr int kMaxRedirects = 20;

} // namespace

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
    failed_ = false;

    body_ = std::make_unique<QSaveFile>(targetPath);
    if (!body_->open(QIODevice::WriteOnly)) failed_ = true;

    QNetworkRequest request = Network::browserRequest(url);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(kMaxRedirects);
    QNetworkReply* reply = Network::sharedManager()->get(request);
    reply->setReadBufferSize(Network::kReadBufferBytes);
    reply_ = reply;

    connect(reply, &QNetworkReply::readyRead, this, [this, reply] {
        const QByteArray data = reply->readAll();
        if (body_ && !failed_ && body_->write(data) != data.size()) failed_ = true;
        bytesRead_ += data.size();
    });
    connect(reply, &QNetworkReply::downloadProgress, this, [this](qint64, qint64 total) {
        bytesMax_ = std::max<qint64>(total, 0);
        emit progress(bytesRead_, bytesMax_, propertyName_);
    });
    connect(reply, &QNetworkReply::finished, this, &AsyncRead::finish);
}

void AsyncRead::finish()
{
    QNetworkReply* reply = reply_;
    if (!reply) return;
    if (const QByteArray rest = reply->readAll(); !rest.isEmpty()) {
        if (body_ && !failed_ && body_->write(rest) != rest.size()) failed_ = true;
        bytesRead_ += rest.size();
    }
    // A transport error or a body shorter than announced is no body at all.
    const bool transportError = reply->error() != QNetworkReply::NoError &&
                                !reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid();
    if (transportError || failed_ || (bytesMax_ > 0 && bytesRead_ < bytesMax_)) bytesRead_ = 0;
    reply_ = nullptr;
    reply->disconnect(this);
    reply->deleteLater();
    emit completed(bytesRead_, bytesMax_, propertyName_);
}

void AsyncRead::cancel()
{
    if (reply_) {
        QNetworkReply* reply = reply_;
        reply_ = nullptr;
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
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
