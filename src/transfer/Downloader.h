#pragma once

#include <QObject>
#include <QString>

class QTimer;

namespace Lunovex {

class AsyncRead;
class Inet;

// Downloads one file from an address into a local file without blocking its host: reports progress,
// completion or failure, gives up after 300 seconds without progress, and makes one synchronous
// attempt of its own when the asynchronous read brings nothing. One instance handles one file; the
// host destroys it afterwards, which ends the transfer without any further report.
class Downloader : public QObject
{
    Q_OBJECT

public:
    explicit Downloader(QObject* parent = nullptr);
    ~Downloader() override;

    void BeginDownload(const QString& url, const QString& saveFile);
    void CancelAsyncRead();

    // Ends the transfer and goes, without reporting anything more. Use this rather than delete:
    // while the fallback's synchronous fetch runs, the instance is still on the call stack and goes
    // only once it has returned.
    void unload();

signals:
    void DownloadProgress(qint64 received, qint64 total, const QString& saveFile);
    void DownloadComplete(qint64 received, qint64 total, const QString& saveFile);
    void DownloadError(const QString& message, const QString& saveFile);
    // The publisher asked to be asked less (429, or 503 with Retry-After): nothing was kept.
    void DownloadThrottled(const QString& retryAfter, const QString& saveFile);

private:
    void AsyncReadProgress(qint64 bytesRead, qint64 bytesMax, const QString& propertyName);
    void AsyncReadComplete(qint64 bytesRead, qint64 bytesMax, const QString& propertyName);
    void Timer1_Timer();
    void FetchWithInet();
    void fetchWholeBody();
    QString fetchedStatus() const;

    AsyncRead* read_ = nullptr;
    QTimer* Timer1 = nullptr;
    Inet* Inet1 = nullptr;
    QString saveFile_;
    QString address_;
    qint64 maximum_ = 0;
    qint64 received_ = 0;
    qint64 lastSeen_ = 0;
    double progressTime_ = 0;
    bool inFallback_ = false;
    bool placeholderMade_ = false; // ours to remove unless the body took its place
    void dropPlaceholder();
    bool unloadRequested_ = false;
};

} // namespace Lunovex
