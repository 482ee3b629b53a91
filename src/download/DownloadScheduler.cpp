// The download window's scheduler: start and stop, the scheduling tick that starts the next rows,
// the supervision tick that counts, ends the run and applies the automatic options, and the switch
// between the two download methods.

#include "download/fFileDownload.h"

#include "app/Globals.h"
#include "download/SaveNaming.h"
#include "platform/Clock.h"
#include "platform/Inet.h"
#include "platform/ReportList.h"
#include "util/ControlHelpers.h"
#include "util/HeaderText.h"
#include "util/PathNames.h"
#include "util/Sound.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QTimer>

#include <cmath>

namespace Lunovex {

// Enabling a running timer leaves it running as it was: restarting it on every supervision tick
// would keep the scheduling tick from ever coming.
void fFileDownload::enable(QTimer* timer)
{
    if (!timer->isActive()) timer->start();
}

void fFileDownload::StartDownloads()
{
    enable(Timer_Down);
}

void fFileDownload::StopDownloads()
{
    Check4->setChecked(false);
    Check3->setChecked(false);
    Inet1->Cancel();
    Timer_Down->stop();
    stopRequested_ = true; // a method-one transfer ends after its current chunk
    for (int k = 1; k < int(Downloader1.size()); ++k)
        unloadSlot(k);
    for (int row = 0; row < ListView3->count(); ++row)
        if (DownloadItem::stateAt(ListView3, row) == Downloading)
            DownloadItem::setStateAt(ListView3, row, Failed);
}

// Busy is what runs, not a flag kept by the ticks: after a switch of method, or a stop, nothing is
// left set by the method that is no longer in use.
bool fFileDownload::DownloadBusy() const
{
    return methodOneTransfer_.isLocked() || CountLoadedSlots() > 1;
}

void fFileDownload::Timer_Down_Timer()
{
    if (ListView3->count() == 0) {
        Timer_Down->stop();
        return;
    }
    if (secondsSinceLastFinish() <= Combo2->currentText().toDouble()) return;
    if (const double left = pausedUntil_ - Clock::seconds(); left > 0) {
        showPublisherPause(qint64(std::ceil(left)));
        return;
    }
    if (Globals().DownloadMethod == 1)
        scheduleMethodOne();
    else
        scheduleMethodTwo();
}

// The publisher asked to be asked less: the whole run waits as long as it said (or the chosen
// interval, at least a minute), longer each time it asks again in a row.
void fFileDownload::pauseForPublisher(const QString& retryAfter)
{
    ++throttledInARow_;
    const qint64 seconds =
        PublisherPauseSeconds(RetryAfterSeconds(retryAfter, QDateTime::currentDateTimeUtc()),
                              Combo2->currentText().toLongLong(), throttledInARow_);
    pausedUntil_ = Clock::seconds() + double(seconds);
    showPublisherPause(seconds);
}

void fFileDownload::showPublisherPause(qint64 secondsLeft)
{
    StatusPanels[1]->setText(QStringLiteral("服务器要求暂停下载，%1秒后继续").arg(secondsLeft));
}

void fFileDownload::scheduleMethodOne()
{
    // One row at a time: after a switch from method two its slots end first.
    if (DownloadBusy()) return;
    const NamePolicy policy = selectedPolicy();
    int chosen = -1;
    for (int row = 0; row < ListView3->count() && chosen < 0; ++row) {
        const DownloadItem it = item(row);
        if (it.state() != Waiting) continue;
        it.setBaseName(SafeFileName(it.BaseName()));
        it.setTargetFolder(WithTrailingSeparator(it.TargetFolder()));
        if (重命名保存路径(it, policy)) chosen = row;
    }
    if (chosen < 0) return;

    const DownloadItem it = item(chosen);
    it.setState(Downloading);
    scrollToStartedRow(chosen);
    it.clearProgress();
    Inet下载当前文件(it);
}

void fFileDownload::scheduleMethodTwo()
{
    const NamePolicy policy = selectedPolicy();
    for (int k = 1; k <= slotCount() && k < int(Downloader1.size()); ++k) {
        if (ControlExists(Downloader1[size_t(k)])) continue;
        int chosen = -1;
        for (int row = 0; row < ListView3->count() && chosen < 0; ++row) {
            const DownloadItem it = item(row);
            if (it.state() != Waiting) continue;
            it.setBaseName(SafeFileName(it.BaseName()));
            const QString folder = CreateWholeFolderPath(it.TargetFolder());
            if (folder.isEmpty()) {
                // Nothing may land anywhere but the row's own folder, and no box comes up from a tick.
                it.setState(Failed);
                it.setSizeText(QStringLiteral("下载失败"));
                continue;
            }
            it.setTargetFolder(folder + PathSeparator());
            if (重命名保存路径(it, policy)) chosen = row;
        }
        if (chosen < 0) continue;

        const DownloadItem it = item(chosen);
        it.setState(Downloading);
        scrollToStartedRow(chosen);
        QString name = it.BaseName();
        const QString path = MakeNumberedSavePath(it.TargetFolder(), &name, it.Extension(), policy);
        it.setBaseName(name);
        多线程下载(k, chosen, 选择url(it.AddressList()), path);
    }
}

void fFileDownload::scrollToStartedRow(int row)
{
    if (menu自动定位到下载项->isChecked()) ListView3->scrollTo(ListView3->model()->index(row, 0));
}

void fFileDownload::Timer1_Timer()
{
    if (检测是否下载列表完毕()) {
        menu下载全部->setEnabled(true);
        if (Timer_Down->isActive()) {
            Timer_Down->stop();
            if (Check6->isChecked()) PlayWaveSound(102);
        }
    } else {
        menu下载全部->setEnabled(!Timer_Down->isActive());
    }

    Shape1->setVisible(Timer_Down->isActive());

    // The busy flag needs no keeping: DownloadBusy() reads what runs.

    UpdateStatusCounts();

    if (Check4->isChecked() && 统计未下载项数目() >= 1) enable(Timer_Down);

    if (Check3->isChecked() && !Timer_Down->isActive()) autoRedownload();

    if (Check5->isChecked() && CountProblemItems() >= 5 && Timer_Down->isActive()) {
        Timer_Down->stop();
        if (Check6->isChecked()) PlayWaveSound(102);
    }
}

void fFileDownload::Command26_Click()
{
    setDownloadMethod(Globals().DownloadMethod == 2 ? 1 : 2);
}

void fFileDownload::setDownloadMethod(int method)
{
    Globals().DownloadMethod = method == 1 ? 1 : 2;
    Label7->setText(QStringLiteral("下载方式：%1").arg(Globals().DownloadMethod));
    Combo1->setCurrentIndex(0); // the text "1"
    Combo1->setEnabled(Globals().DownloadMethod != 1);
}

} // namespace Lunovex
