// Download method one's transfer of one row: a GET with a Referer line, the size limit, the
// extension from the headers, the save path under the same-name policy, then 2048-byte reads into
// the file until the body is whole, the stall limit passes, the run is stopped or the body breaks
// off. An answer with neither a length nor "200 OK" is fetched again whole.

#include "download/InetTransfer.h"

#include "app/Globals.h"
#include "platform/Clock.h"
#include "platform/EventPump.h"
#include "platform/Inet.h"
#include "util/HeaderText.h"
#include "util/PathNames.h"

#include <QFileInfo>

namespace Lunovex {

namespace {

constexpr int kChunkBytes = 2048;

bool overSizeLimit(double bytes)
{
    return bytes / 1024 / 1024 > Globals().MaxFileSizeMB;
}

// "Content-Length" as a number when it is one, else 0.
qint64 announcedLength(const QString& header)
{
    bool ok = false;
    const qint64 value = TrimSpaces(header).toLongLong(&ok);
    return ok && value > 0 ? value : 0;
}

bool isNumber(const QString& text, double* value)
{
    bool ok = false;
    *value = text.toDouble(&ok);
    return ok;
}

double secondsOf(milliseconds duration)
{
    return std::chrono::duration<double>(duration).count();
}

} // namespace

const char* TransferOutcomeName(TransferOutcome outcome)
{
    switch (outcome) {
    case TransferOutcome::Complete:
        return "complete";
    case TransferOutcome::CompleteByFallback:
        return "complete by the whole-body fetch";
    case TransferOutcome::NoAnswer:
        return "no answer";
    case TransferOutcome::TooLarge:
        return "over the size limit";
    case TransferOutcome::FolderFailed:
        return "folder could not be made";
    case TransferOutcome::CannotReplace:
        return "old file could not be replaced";
    case TransferOutcome::CannotCreate:
        return "file could not be made";
    case TransferOutcome::CannotWrite:
        return "file could not be written";
    case TransferOutcome::Stalled:
        return "stalled";
    case TransferOutcome::Cancelled:
        return "cancelled";
    case TransferOutcome::CutShort:
        return "cut short";
    case TransferOutcome::Empty:
        return "empty answer";
    case TransferOutcome::NothingByFallback:
        return "nothing by the whole-body fetch";
    case TransferOutcome::Throttled:
        return "asked to slow down";
    }
    return "?";
}

InetTransfer::InetTransfer(Inet& inet, const DownloadItem& item, NamePolicy policy,
                           std::function<bool()> stopRequested)
    : inet_(inet), item_(item), policy_(policy), stopRequested_(std::move(stopRequested))
{}

TransferResult InetTransfer::run()
{
    const QString address = 选择url(item_.AddressList());
    double lastGrowth = Clock::seconds();

    const QString referer = item_.RefererPage().isEmpty() ? UrlSiteRoot(address) : item_.RefererPage();
    inet_.Execute(address, QStringLiteral("GET"), {},
                  QStringLiteral("Referer: ") + referer + QStringLiteral("\r\n"));
    EventPump::serve();
    EventPump::waitUntil([&] { return !inet_.StillExecuting(); }, Timing::current().headerWait, &inet_,
                         &Inet::StateChanged);

    const QString headers = inet_.GetHeader();
    if (headers.isEmpty()) return finish(TransferOutcome::NoAnswer);
    const QString statusLine = headers.section(QStringLiteral("\r\n"), 0, 0);
    result_.status = statusLine.section(QLatin1Char(' '), 1, 1).toInt();
    result_.retryAfter = inet_.GetHeader(QStringLiteral("Retry-After"));
    // Not a page to keep, nor a sign that the session lapsed: the row waits for the pause.
    if (AsksToSlowDown(result_.status, result_.retryAfter)) return finish(TransferOutcome::Throttled);

    result_.announced = announcedLength(inet_.GetHeader(QStringLiteral("Content-Length")));
    if (overSizeLimit(double(result_.announced))) return finish(TransferOutcome::TooLarge);

    const QString extension = ResponseExtension(inet_.GetHeader(QStringLiteral("Content-Type")), headers);
    const bool statusOk = statusLine.contains(QStringLiteral("200")) &&
                          statusLine.contains(QStringLiteral("OK"), Qt::CaseInsensitive);

    item_.setBaseName(SafeFileName(item_.BaseName()));
    // Nothing may be written anywhere but the row's own folder, and no box comes up from a transfer.
    const QString folder = CreateWholeFolderPath(item_.TargetFolder());
    if (folder.isEmpty()) return finish(TransferOutcome::FolderFailed);
    item_.setTargetFolder(folder + PathSeparator());
    if (!extension.isEmpty()) item_.setExtension(extension);

    if (policy_ == NamePolicy::Rename) {
        QString name = item_.BaseName();
        path_ = MakeNumberedSavePath(item_.TargetFolder(), &name, item_.Extension(), NamePolicy::Rename);
        item_.setBaseName(name);
    } else {
        path_ = ItemFilePath(item_);
    }

    if (IsFilePresent(path_)) QFile::remove(path_);
    if (IsFilePresent(path_)) {
        result_.received = QFileInfo(path_).size();
        return finish(TransferOutcome::CannotReplace);
    }

    if (result_.announced <= 0 && !statusOk) return fetchWhole();

    item_.setSizeText(result_.announced > 0 ? QString::number(result_.announced) : QStringLiteral("未知"));
    item_.setReceivedText(QStringLiteral("0"));
    EventPump::serve();
    file_.setFileName(path_);
    fileIsOurs_ = file_.open(QIODevice::WriteOnly);
    if (!fileIsOurs_ || !IsFilePresent(path_)) return finish(TransferOutcome::CannotCreate);
    return readBody(lastGrowth);
}

TransferResult InetTransfer::readBody(double& lastGrowth)
{
    const qint64 length = result_.announced;
    for (;;) {
        const QByteArray chunk = inet_.GetChunk(kChunkBytes);
        EventPump::serve();
        if (!chunk.isEmpty() && file_.write(chunk) != chunk.size())
            return finish(TransferOutcome::CannotWrite);

        // Counted as written rather than asked of the file, which would flush it after every chunk.
        if (!chunk.isEmpty()) {
            result_.received += chunk.size();
            lastGrowth = Clock::seconds();
            item_.setReceivedText(QString::number(result_.received));
        }
        double total = 0, received = 0;
        if (isNumber(item_.SizeText(), &total) && isNumber(item_.ReceivedText(), &received) && total > 0)
            item_.setProgressText(QString::number(qint64(received / total * 100)) + QLatin1Char('%'));

        if (length > 0) {
            if (result_.received >= length) return finish(TransferOutcome::Complete);
        } else {
            // The end of a body without a length counts only when the transfer ended whole: a
            // short read in the middle, or a connection that broke off, is no end.
            if (chunk.size() < 2 && inet_.BodyComplete())
                return finish(result_.received == 0 ? TransferOutcome::Empty : TransferOutcome::Complete);
            if (overSizeLimit(double(result_.received))) return finish(TransferOutcome::TooLarge);
        }

        if (std::abs(Clock::seconds() - lastGrowth) > secondsOf(Timing::current().transferStall))
            return finish(TransferOutcome::Stalled);
        if (stopRequested_()) return finish(TransferOutcome::Cancelled);
        // The body broke off: no use waiting for the stall limit, the rest will not come.
        if (chunk.isEmpty() && inet_.TransferEnded() && (length > 0 || !inet_.BodyComplete()))
            return finish(TransferOutcome::CutShort);
    }
}

TransferResult InetTransfer::fetchWhole()
{
    item_.setSizeText(QStringLiteral("未知"));
    while (inet_.StillExecuting()) {
        inet_.Cancel();
        EventPump::serve();
    }
    EventPump::serve();
    const QByteArray body = inet_.OpenURL(选择url(item_.AddressList()));
    EventPump::serve();
    if (body.isEmpty()) return finish(TransferOutcome::NothingByFallback);
    file_.setFileName(path_);
    fileIsOurs_ = file_.open(QIODevice::WriteOnly);
    if (!fileIsOurs_ || file_.write(body) != body.size()) return finish(TransferOutcome::CannotWrite);
    result_.received = body.size();
    return finish(TransferOutcome::CompleteByFallback);
}

// Every way out: the request ends, and the file stays only when it holds the whole body. A file
// that was there before the transfer is never touched here.
TransferResult InetTransfer::finish(TransferOutcome outcome)
{
    inet_.Cancel();
    EventPump::serve();
    if (file_.isOpen()) file_.close();
    const bool whole = outcome == TransferOutcome::Complete || outcome == TransferOutcome::CompleteByFallback;
    if (fileIsOurs_ && !whole) file_.remove();
    result_.outcome = outcome;
    return result_;
}

} // namespace Lunovex
