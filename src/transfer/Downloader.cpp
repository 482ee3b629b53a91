#include "transfer/Downloader.h"

#include "platform/AsyncRead.h"
#include "platform/Clock.h"
#include "platform/EventPump.h"
#include "platform/Inet.h"
#include "platform/Log.h"
#include "util/HeaderText.h"
#include "util/PathNames.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTimer>

namespace Lunovex {

Downloader::Downloader(QObject* parent)
    : QObject(parent), read_(new AsyncRead(this)), Timer1(new QTimer(this)), Inet1(new Inet(this))
{
    setObjectName(QStringLiteral("Downloader1"));
    Timer1->setInterval(Timing::current().downloaderTick);
    connect(Timer1, &QTimer::timeout, this, &Downloader::Timer1_Timer);
    connect(read_, &AsyncRead::progress, this, &Downloader::AsyncReadProgress);
    connect(read_, &AsyncRead::completed, this, &Downloader::AsyncReadComplete);
}

Downloader::~Downloader()
{
    // Unloading ends everything and reports nothing.
    Timer1->stop();
    read_->disconnect(this);
    Inet1->disconnect(this);
    Inet1->Cancel();
    dropPlaceholder();
}

// A row that does not end with its file leaves nothing under its name; a file that was there before
// the row started was never a placeholder of ours.
void Downloader::dropPlaceholder()
{
    if (!placeholderMade_) return;
    placeholderMade_ = false;
    QFile file(saveFile_);
    if (file.size() == 2 && file.open(QIODevice::ReadOnly) && file.readAll() == QByteArray("\x01\x00", 2)) {
        file.close();
        file.remove();
    }
}

void Downloader::BeginDownload(const QString& url, const QString& saveFile)
{
    saveFile_ = saveFile;
    // The placeholder makes the name count as taken while the read runs, so a row started in
    // another slot in the same tick is numbered. An existing file is left whole until the body has come.
    if (!IsFilePresent(saveFile)) {
        QFile placeholder(saveFile);
        placeholderMade_ =
            placeholder.open(QIODevice::WriteOnly) && placeholder.write(QByteArray("\x01\x00", 2)) == 2;
    }
    progressTime_ = Clock::seconds();
    Timer1->start();
    address_ =
        TrimSpaces(QString(url).replace(QStringLiteral("&amp;"), QStringLiteral("&"), Qt::CaseInsensitive));
    read_->start(address_, saveFile, saveFile);
}

void Downloader::unload()
{
    disconnect(this, nullptr, nullptr, nullptr); // no report reaches the host any more
    Timer1->stop();
    read_->cancel();
    Inet1->Cancel();
    dropPlaceholder();
    if (inFallback_)
        unloadRequested_ = true;
    else
        deleteLater();
}

void Downloader::CancelAsyncRead()
{
    read_->cancel();
}

void Downloader::AsyncReadProgress(qint64 bytesRead, qint64 bytesMax, const QString& propertyName)
{
    if (bytesMax < 1) return;
    maximum_ = bytesMax;
    received_ = bytesRead;
    emit DownloadProgress(bytesRead, bytesMax, propertyName);
}

void Downloader::AsyncReadComplete(qint64 bytesRead, qint64 bytesMax, const QString& propertyName)
{
    if (AsksToSlowDown(read_->status(), read_->retryAfter())) {
        read_->discard();
        Timer1->stop();
        dropPlaceholder();
        qCInfo(lcTransfers).nospace().noquote() << "method two " << LoggableAddress(address_) << ": status "
                                                << read_->status() << ", asked to slow down";
        emit DownloadThrottled(read_->retryAfter(), saveFile_);
        return;
    }
    if (bytesMax < 1 || bytesRead < 1) {
        read_->discard();
        FetchWithInet();
        return;
    }
    if (!read_->commit()) {
        FetchWithInet();
        return;
    }
    placeholderMade_ = false;
    qCInfo(lcTransfers).nospace().noquote() << "method two " << LoggableAddress(address_) << ": status "
                                            << read_->status() << ", complete, " << bytesRead << " bytes";
    emit DownloadComplete(bytesRead, bytesMax, propertyName);
}

void Downloader::Timer1_Timer()
{
    if (received_ == lastSeen_) {
        if (std::abs(Clock::seconds() - progressTime_) >=
            std::chrono::duration<double>(Timing::current().downloaderTimeout).count()) {
            read_->cancel();
            Timer1->stop();
            dropPlaceholder();
            qCInfo(lcTransfers).nospace().noquote()
                << "method two " << LoggableAddress(address_) << ": timed out";
            emit DownloadError(QStringLiteral("超时"), saveFile_);
        }
        return;
    }
    lastSeen_ = received_;
    progressTime_ = Clock::seconds();
}

void Downloader::FetchWithInet()
{
    inFallback_ = true;
    fetchWholeBody();
    inFallback_ = false;
    if (unloadRequested_) deleteLater();
}

// The whole-body fetch's status line, for the log.
QString Downloader::fetchedStatus() const
{
    const QString line = Inet1->GetHeader().section(QStringLiteral("\r\n"), 0, 0);
    return line.isEmpty() ? QStringLiteral("no answer") : line;
}

void Downloader::fetchWholeBody()
{
    while (Inet1->StillExecuting()) {
        Inet1->Cancel();
        EventPump::serve();
    }
    EventPump::serve();
    const QByteArray body = Inet1->OpenURL(address_);
    EventPump::serve();
    // Written beside the target and put in its place whole: a failed write leaves what was there.
    QSaveFile file(saveFile_);
    if (!body.isEmpty() && file.open(QIODevice::WriteOnly) && file.write(body) == body.size() &&
        file.commit()) {
        placeholderMade_ = false;
        const qint64 length = QFileInfo(saveFile_).size();
        qCInfo(lcTransfers).nospace().noquote()
            << "method two " << LoggableAddress(address_) << ": " << fetchedStatus()
            << ", complete by the whole-body fetch, " << length << " bytes";
        emit DownloadComplete(length, length, saveFile_);
        return;
    }
    dropPlaceholder();
    qCInfo(lcTransfers).nospace().noquote()
        << "method two " << LoggableAddress(address_) << ": " << fetchedStatus() << ", failed ("
        << Inet1->ResponseInfo() << ")";
    emit DownloadError(QStringLiteral("无法下载"), saveFile_);
}

} // namespace Lunovex
