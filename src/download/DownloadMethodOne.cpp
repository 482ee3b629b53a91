// Download method one: one row at a time through the Inet control, with a Referer line, the
// size limit, the extension from the headers, 2048-byte reads and the stall limit.

#include "download/fFileDownload.h"

#include "app/Globals.h"
#include "download/SaveNaming.h"
#include "platform/Clock.h"
#include "platform/EventPump.h"
#include "platform/Inet.h"
#include "platform/ReportList.h"
#include "util/HeaderText.h"
#include "util/PathNames.h"
#include "util/Sound.h"

#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>

namespace Lunovex {

namespace {

constexpr int kChunkBytes = 2048;

bool overSizeLimit(double bytes)
{
    return bytes / 1024 / 1024 > Globals().MaxFileSizeMB;
}

bool isWebPageExtension(const QString& extension)
{
    const QString e = extension.toLower();
    return e == QLatin1String("htm") || e == QLatin1String("html") || e == QLatin1String("xml");
}

// "Content-Length" as a number when it is one, else 0.
double announcedLength(const QString& header)
{
    bool ok = false;
    const double value = TrimSpaces(header).toDouble(&ok);
    return ok && value > 0 ? value : 0;
}

bool isNumber(const QString& text, double* value)
{
    bool ok = false;
    *value = text.toDouble(&ok);
    return ok;
}

} // namespace

void fFileDownload::Inet下载当前文件(const DownloadItem& item)
{
    if (Inet1->StillExecuting() || DownloadBusy) {
        item.setState(Waiting);
        item.setSizeText(QStringLiteral("等待重新下载"));
        return;
    }
    DownloadBusy = true;
    Inet下载文件(item);
    DownloadBusy = false;
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
    double lastGrowth = Clock::seconds();
    configureConnection(address);
    DownloadBusy = true;
    StatusPanels[1]->setText(QStringLiteral("正在下载:") + item.BaseName());

    const QString referer = item.RefererPage().isEmpty() ? UrlSiteRoot(address) : item.RefererPage();
    Inet1->Execute(address, QStringLiteral("GET"), {},
                   QStringLiteral("Referer: ") + referer + QStringLiteral("\r\n"));
    EventPump::serve();
    EventPump::waitUntil([&] { return !Inet1->StillExecuting(); }, Timing::current().headerWait, Inet1,
                         &Inet::StateChanged);

    const QString headers = Inet1->GetHeader();
    if (headers.isEmpty()) {
        Inet1->Cancel();
        item.setState(Failed);
        finishTransfer(item);
        return;
    }

    const double length = announcedLength(Inet1->GetHeader(QStringLiteral("Content-Length")));
    if (overSizeLimit(length)) {
        Inet1->Cancel();
        item.setState(Finished);
        item.setProgressText(QStringLiteral("大文件，跳过"));
        finishTransfer(item);
        return;
    }

    const QString extension = ResponseExtension(Inet1->GetHeader(QStringLiteral("Content-Type")), headers);
    const QString statusLine = headers.section(QStringLiteral("\r\n"), 0, 0);
    const bool statusOk = statusLine.contains(QStringLiteral("200")) &&
                          statusLine.contains(QStringLiteral("OK"), Qt::CaseInsensitive);

    item.setBaseName(SafeFileName(item.BaseName()));
    const QString created = CreateWholeFolderPath(item.TargetFolder());
    if (created.isEmpty()) {
        // Nothing may be written anywhere but the row's own folder, and no box comes up from a transfer.
        Inet1->Cancel();
        item.setState(Failed);
        item.setSizeText(QStringLiteral("下载失败"));
        finishTransfer(item);
        return;
    }
    item.setTargetFolder(created + PathSeparator());
    if (!extension.isEmpty()) item.setExtension(extension);

    QString path;
    if (selectedPolicy() == NamePolicy::rename()) {
        QString name = item.BaseName();
        path = MakeNumberedSavePath(item.TargetFolder(), &name, item.Extension(), NamePolicy::rename());
        item.setBaseName(name);
    } else {
        path = ItemFilePath(item);
    }

    if (IsFilePresent(path)) QFile::remove(path);
    if (IsFilePresent(path)) {
        const QString oldLength = QString::number(QFileInfo(path).size());
        item.setState(Failed);
        item.setSizeText(oldLength);
        item.setReceivedText(oldLength);
        item.setProgressText(QStringLiteral("无法替换"));
        Inet1->Cancel();
        finishTransfer(item);
        return;
    }

    if (length <= 0 && !statusOk) {
        FetchWithOpenUrl(item, path);
        CorrectItemFileType(item);
        finishTransfer(item);
        return;
    }

    item.setSizeText(length > 0 ? QString::number(qint64(length)) : QStringLiteral("未知"));
    item.setReceivedText(QStringLiteral("0"));
    EventPump::serve();
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !IsFilePresent(path)) {
        item.setSizeText(QStringLiteral("下载失败"));
        item.setState(Failed);
        finishTransfer(item);
        return;
    }

    // Ends the transfer with the file deleted and the row failed.
    const auto abandon = [&](const QString& sizeText) {
        Inet1->Cancel();
        EventPump::serve();
        file.close();
        file.remove();
        item.setSizeText(sizeText);
        item.setState(Failed);
    };

    qint64 lastLength = 0;
    bool complete = false;
    for (;;) {
        const QByteArray chunk = Inet1->GetChunk(kChunkBytes);
        EventPump::serve();
        if (!chunk.isEmpty() && file.write(chunk) != chunk.size()) {
            abandon(QStringLiteral("下载失败")); // the disk is full or gone
            break;
        }

        // Counted as written rather than asked of the file, which would flush it after every chunk.
        const qint64 fileLength = lastLength + chunk.size();
        if (fileLength > lastLength) {
            lastLength = fileLength;
            lastGrowth = Clock::seconds();
            item.setReceivedText(QString::number(fileLength));
        }
        double total = 0, received = 0;
        if (isNumber(item.SizeText(), &total) && isNumber(item.ReceivedText(), &received) && total > 0)
            item.setProgressText(QString::number(qint64(received / total * 100)) + QLatin1Char('%'));

        if (length > 0) {
            if (fileLength >= length) {
                complete = true;
                break;
            }
        } else {
            // Without a length, the end of the body counts only when the transfer ended cleanly:
            // a reset or TLS failure leaves a cut-off file that must not pass for complete.
            if (chunk.size() < 2 && Inet1->BodyComplete()) {
                complete = true;
                break;
            }
            if (overSizeLimit(double(fileLength))) {
                Inet1->Cancel();
                EventPump::serve();
                file.close();
                item.setState(Finished);
                item.setProgressText(QStringLiteral("大文件，跳过"));
                break;
            }
        }

        if (std::abs(Clock::seconds() - lastGrowth) >
            std::chrono::duration<double>(Timing::current().transferStall).count()) {
            abandon(QStringLiteral("下载失败"));
            break;
        }
        if (!DownloadBusy) {
            abandon(QStringLiteral("下载取消"));
            break;
        }
        // The transfer ended short of its length or by a transport error: no use waiting for the
        // stall limit, the rest will not come.
        if (chunk.isEmpty() && Inet1->TransferEnded() && (length > 0 || !Inet1->BodyComplete())) {
            abandon(QStringLiteral("下载失败"));
            break;
        }
    }

    // An empty answer is not the article: the row fails and keeps no file, as under method two.
    if (complete && lastLength == 0) {
        abandon(QStringLiteral("下载失败"));
        complete = false;
    }
    if (complete) {
        file.close();
        item.setState(Finished);
        double received = 0;
        if (isNumber(item.ReceivedText(), &received) && item.SizeText() == QStringLiteral("未知")) {
            item.setSizeText(item.ReceivedText());
            item.setProgressText(QStringLiteral("100%"));
        }
        CorrectItemFileType(item);
    }
    finishTransfer(item);
}

void fFileDownload::FetchWithOpenUrl(const DownloadItem& item, const QString& path)
{
    item.setSizeText(QStringLiteral("未知"));
    while (Inet1->StillExecuting()) {
        Inet1->Cancel();
        EventPump::serve();
    }
    EventPump::serve();
    const QByteArray body = Inet1->OpenURL(选择url(item.AddressList()));
    EventPump::serve();
    QFile file(path);
    if (!body.isEmpty() && file.open(QIODevice::WriteOnly) && file.write(body) == body.size()) {
        file.close();
        item.setSizeText(QString::number(QFileInfo(path).size()));
        item.setReceivedText(QString::number(body.size()));
        item.setProgressText(QStringLiteral("100%"));
        item.setState(Finished);
        return;
    }
    if (file.isOpen()) {
        file.close();
        file.remove(); // a half-written body is no file
    }
    item.clearProgress();
    item.setState(Failed);
}

void fFileDownload::finishTransfer(const DownloadItem& item)
{
    Inet1->Cancel();
    StatusPanels[1]->setText(QStringLiteral("完成下载:") + item.BaseName());
    LastFinishTime = Clock::seconds();
    if (Check6->isChecked()) {
        if (isWebPageExtension(item.Extension())) PlayWaveSound(101);
        if (item.state() == Failed) PlayWaveSound(103);
    }
    // The automatic web login starts here for web pages once the login panel exists.
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
