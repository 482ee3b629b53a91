#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>

class QSaveFile;

namespace Lunovex {

class HttpGet;

// The asynchronous read of a control: fetches an address from the network (never from a cache),
// following redirects, and streams the final answer's body into a temporary file beside the
// target, so memory stays flat. The target is replaced only by commit() after completion; until then an
// existing file there is untouched. Destroying the reader ends its transfer and raises nothing more.
class AsyncRead : public QObject
{
    Q_OBJECT

public:
    explicit AsyncRead(QObject* parent = nullptr);
    ~AsyncRead() override;

    // propertyName comes back with every report, as the control's host expects.
    void start(const QString& url, const QString& targetPath, const QString& propertyName);
    void cancel();

    qint64 bytesRead() const { return bytesRead_; }
    // The announced total, 0 while it is unknown; at the end of a whole body, its size.
    qint64 bytesMax() const { return bytesMax_; }
    QString propertyName() const { return propertyName_; }
    // The final answer's HTTP status, 0 before it (or without one).
    int status() const { return status_; }
    QString retryAfter() const { return retryAfter_; } // the final answer's Retry-After

    // After completion: moves the body over the target (true when it is there now), or throws it away.
    bool commit();
    void discard();

signals:
    void progress(qint64 bytesRead, qint64 bytesMax, const QString& propertyName);
    // Once, when the read has ended; bytesRead is 0 when nothing usable came.
    void completed(qint64 bytesRead, qint64 bytesMax, const QString& propertyName);

private:
    void finish();

    void take();

    QPointer<HttpGet> get_;
    std::unique_ptr<QSaveFile> body_;
    QString propertyName_;
    qint64 bytesRead_ = 0;
    qint64 bytesMax_ = 0;
    int status_ = 0;
    QString retryAfter_;
    bool failed_ = false;
};

} // namespace Lunovex
