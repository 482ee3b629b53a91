// Download method two: up to six rows at once, each in a Downloader slot of its own. The slots
// report through their events; the handlers write the row, free the slot and note the end time.

#include "download/fFileDownload.h"

#include "app/Globals.h"
#include "download/LoginPanel.h"
#include "download/SaveNaming.h"
#include "platform/Clock.h"
#include "platform/Log.h"
#include "platform/ReportList.h"
#include "util/Sound.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>

namespace Lunovex {

void fFileDownload::多线程下载(int slot, int row, const QString& address, const QString& path)
{
    auto* downloader = new Downloader(this);
    Downloader1[size_t(slot)] = downloader;
    slotItem_[size_t(slot)] = item(row);
    connect(downloader, &Downloader::DownloadProgress, this,
            [this, slot](qint64 received, qint64 total, const QString&) {
                Downloader1_DownloadProgress(slot, received, total);
            });
    connect(downloader, &Downloader::DownloadComplete, this,
            [this, slot](qint64 received, qint64 total, const QString&) {
                Downloader1_DownloadComplete(slot, received, total);
            });
    connect(downloader, &Downloader::DownloadThrottled, this,
            [this, slot](const QString& retryAfter, const QString&) {
                Downloader1_DownloadThrottled(slot, retryAfter);
            });
    connect(downloader, &Downloader::DownloadError, this,
            [this, slot](const QString&, const QString&) { Downloader1_DownloadError(slot); });

    const DownloadItem it = item(row);
    it.setState(Downloading);
    scrollToStartedRow(row);
    it.clearProgress();
    downloader->BeginDownload(address, path);
}

void fFileDownload::writeSlotProgress(const DownloadItem& item, qint64 received, qint64 total)
{
    item.setSizeText(QString::number(total));
    item.setReceivedText(QString::number(received));
    item.setProgressText(QString::number(qint64(double(received) / double(total) * 100)) + QLatin1Char('%'));
}

void fFileDownload::Downloader1_DownloadProgress(int slot, qint64 received, qint64 total)
{
    const std::optional<DownloadItem>& it = slotItem_[size_t(slot)];
    if (slot == 0 || !it || !it->exists()) return;
    if (total <= 0 || total < received) return;
    writeSlotProgress(*it, received, total);
    if (double(total) / 1024 / 1024 > Globals().MaxFileSizeMB) {
        qCInfo(lcTransfers).nospace().noquote()
            << "method two " << LoggableAddress(选择url(it->AddressList())) << ": over the size limit, "
            << total << " bytes announced";
        it->setState(Finished);
        it->setProgressText(QStringLiteral("大文件，跳过"));
        LastFinishTime = Clock::seconds();
        unloadSlot(slot);
    }
}

void fFileDownload::Downloader1_DownloadComplete(int slot, qint64 received, qint64 total)
{
    const std::optional<DownloadItem> it = slotItem_[size_t(slot)];
    if (slot == 0 || !it || !it->exists()) return;
    throttledInARow_ = 0;
    if (total > 0 && total >= received) writeSlotProgress(*it, received, total);
    it->setState(it->ProgressText() == QStringLiteral("100%") ? Finished : Failed);
    unloadSlot(slot);
    CorrectItemFileType(*it);
    KeepOnlyWholePdf(*it);
    StatusPanels[1]->setText(QStringLiteral("完成下载:") + it->BaseName());
    if (Check6->isChecked()) {
        if (IsWebPageExtension(it->Extension(), WebPageKinds::HtmHtml)) PlayWaveSound(101);
        if (it->state() == Failed) PlayWaveSound(103);
    }
    LastFinishTime = Clock::seconds();
    if (PicWebBK->autoLoginArmed() && IsWebPageExtension(it->Extension(), WebPageKinds::HtmHtml))
        PicWebBK->LoginToSite(false);
}

void fFileDownload::Downloader1_DownloadError(int slot)
{
    const std::optional<DownloadItem> it = slotItem_[size_t(slot)];
    if (slot == 0) return;
    if (it) it->setState(Failed);
    unloadSlot(slot);
    LastFinishTime = Clock::seconds();
}

// The row waits again, and the run pauses as the publisher asked.
void fFileDownload::Downloader1_DownloadThrottled(int slot, const QString& retryAfter)
{
    const std::optional<DownloadItem> it = slotItem_[size_t(slot)];
    if (slot == 0) return;
    if (it) {
        it->setState(Waiting);
        it->clearProgress();
    }
    unloadSlot(slot);
    pauseForPublisher(retryAfter);
    LastFinishTime = Clock::seconds();
}

void fFileDownload::unloadSlot(int slot)
{
    if (Downloader* downloader = Downloader1[size_t(slot)]) {
        downloader->unload();
        Downloader1[size_t(slot)] = nullptr;
    }
    slotItem_[size_t(slot)].reset();
}

} // namespace Lunovex
