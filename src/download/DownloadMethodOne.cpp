// Download method one: one row at a time through the window's Inet control. The transfer itself is
// an InetTransfer; here are the connection settings, the outcome's texts in the row, and the end
// steps every transfer goes through.

#include "download/fFileDownload.h"

#include "app/Globals.h"
#include "download/InetTransfer.h"
#include "download/LoginPanel.h"
#include "download/SaveNaming.h"
#include "platform/Clock.h"
#include "platform/Inet.h"
#include "platform/Log.h"
#include "platform/ReportList.h"
#include "util/Sound.h"

#include <QCheckBox>
#include <QLabel>

namespace Lunovex {

void fFileDownload::Inet下载当前文件(const DownloadItem& item)
{
    if (Inet1->StillExecuting() || DownloadBusy()) {
        item.setState(Waiting);
        item.setSizeText(QStringLiteral("等待重新下载"));
        return;
    }
    // The transfer serves the event queue until it ends; a close meanwhile only hides the window.
    const DeferredClose::Scope waiting(waitsOnStack_);
    const Guard::Lock transfer(methodOneTransfer_);
    stopRequested_ = false;
    Inet下载文件(item);
}

void fFileDownload::configureConnection(const QString& address)
{
    const GlobalState& g = Globals();
    if (g.ProxyEnabled == 1) {
        Inet1->AccessType = Inet::icNamedProxy;
        Inet1->RemotePort = g.ProxyPort.toInt();
        Inet1->Proxy = g.ProxyAddress + QLatin1Char(':') + g.ProxyPort;
    } else {
        Inet1->AccessType = Inet::icUseDefault;
        Inet1->Proxy.clear();
        // The port between the host and the first "/" after "scheme://" (positions from the 9th on).
        Inet1->RemotePort = 80;
        const qsizetype slash = address.indexOf(QLatin1Char('/'), 8);
        if (slash > 8) {
            const QStringList hostPort = address.mid(8, slash - 8).split(QLatin1Char(':'));
            bool numeric = false;
            const int port = hostPort.size() == 2 ? hostPort[1].toInt(&numeric) : 0;
            if (numeric) Inet1->RemotePort = port;
        }
    }
    if (address.left(8).toLower() == QLatin1String("https://")) {
        Inet1->Protocol = Inet::icHTTPS;
        Inet1->RemotePort = 443;
    } else {
        Inet1->Protocol = Inet::icHTTP;
    }
}

void fFileDownload::Inet下载文件(const DownloadItem& item)
{
    const QString address = 选择url(item.AddressList());
    configureConnection(address);
    StatusPanels[1]->setText(QStringLiteral("正在下载:") + item.BaseName());

    InetTransfer transfer(*Inet1, item, selectedPolicy(), [this] { return stopRequested_; });
    const TransferResult result = transfer.run();
    showOutcome(item, result);
    qCInfo(lcTransfers).nospace().noquote()
        << "method one " << LoggableAddress(address) << ": status " << result.status << ", "
        << TransferOutcomeName(result.outcome) << ", " << result.received << " of " << result.announced
        << " bytes";
    if (result.outcome == TransferOutcome::Throttled)
        pauseForPublisher(result.retryAfter);
    else if (result.status != 0)
        throttledInARow_ = 0;
    if (result.outcome == TransferOutcome::Complete ||
        result.outcome == TransferOutcome::CompleteByFallback) {
        CorrectItemFileType(item);
        KeepOnlyWholePdf(item);
    }
    finishTransfer(item);
}

// What each outcome leaves in the row. A column not written here keeps what the transfer last
// wrote into it (the size announced or "未知", the bytes so far, the last percentage).
void fFileDownload::showOutcome(const DownloadItem& item, const TransferResult& result)
{
    const QString received = QString::number(result.received);
    switch (result.outcome) {
    case TransferOutcome::Complete:
        item.setState(Finished);
        if (item.SizeText() == QStringLiteral("未知")) {
            item.setSizeText(received);
            item.setProgressText(QStringLiteral("100%"));
        }
        break;
    case TransferOutcome::CompleteByFallback:
        item.setState(Finished);
        item.setSizeText(received);
        item.setReceivedText(received);
        item.setProgressText(QStringLiteral("100%"));
        break;
    case TransferOutcome::TooLarge:
        item.setState(Finished);
        item.setProgressText(QStringLiteral("大文件，跳过"));
        break;
    case TransferOutcome::NoAnswer:
        item.setState(Failed);
        break;
    case TransferOutcome::CannotReplace:
        item.setState(Failed);
        item.setSizeText(received);
        item.setReceivedText(received);
        item.setProgressText(QStringLiteral("无法替换"));
        break;
    case TransferOutcome::FolderFailed:
    case TransferOutcome::CannotCreate:
    case TransferOutcome::CannotWrite:
    case TransferOutcome::Stalled:
    case TransferOutcome::CutShort:
    case TransferOutcome::Empty:
        item.setState(Failed);
        item.setSizeText(QStringLiteral("下载失败"));
        break;
    case TransferOutcome::Cancelled:
        item.setState(Failed);
        item.setSizeText(QStringLiteral("下载取消"));
        break;
    case TransferOutcome::NothingByFallback:
        item.setState(Failed);
        item.clearProgress();
        break;
    case TransferOutcome::Throttled:
        item.setState(Waiting);
        item.clearProgress();
        break;
    }
}

void fFileDownload::finishTransfer(const DownloadItem& item)
{
    Inet1->Cancel();
    StatusPanels[1]->setText(QStringLiteral("完成下载:") + item.BaseName());
    LastFinishTime = Clock::seconds();
    if (Check6->isChecked()) {
        if (IsWebPageExtension(item.Extension(), WebPageKinds::HtmHtmlXml)) PlayWaveSound(101);
        if (item.state() == Failed) PlayWaveSound(103);
    }
    // A web page where a file was asked for: the session has most likely lapsed.
    if (PicWebBK->autoLoginArmed() && IsWebPageExtension(item.Extension(), WebPageKinds::HtmHtmlXml))
        PicWebBK->LoginToSite(false);
}

void fFileDownload::Inet1_StateChanged(int state)
{
    static const char* const texts[] = {
        "0 无状态可报告。",
        "1 正在查询所指定的主机的 IP 地址...",
        "2 已成功地找到所指定的主机的 IP 地址。",
        "3 正在与主机连接...",
        "4 已与主机连接成功。",
        "5 正在向主机发送请求...",
        "6 发送请求已成功。",
        "7 正在接收主机的响应...",
        "8 已成功地接收到主机的响应。",
        "9 正在解除与主机的连接...",
        "10 已成功地与主机解除了连接。",
    };
    const QString codeAndInfo =
        QString::number(Inet1->ResponseCode()) + QLatin1Char(':') + Inet1->ResponseInfo();
    QString text;
    if (state >= 0 && state <= 10)
        text = QString::fromUtf8(texts[state]);
    else if (state == 11)
        text = QStringLiteral("11 与主机通讯时出现了错误:") + codeAndInfo;
    else if (state == 12)
        text = QStringLiteral("12 该请求已经完成，并且所有数据均已接收到。");
    else
        text = codeAndInfo;
    StatusPanels[2]->setText(text);
}

} // namespace Lunovex
