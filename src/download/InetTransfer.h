#pragma once

#include "download/DownloadItem.h"
#include "download/SaveNaming.h"

#include <QFile>

#include <functional>

namespace Lunovex {

class Inet;

// What became of a method-one transfer. The row's final texts follow from this alone (the
// download window maps each outcome in one place).
enum class TransferOutcome {
    Complete,           // the whole body is in the file
    CompleteByFallback, // the whole-body fetch brought it
    NoAnswer,           // no header block came
    TooLarge,           // over the size limit, as announced or as it came
    FolderFailed,       // the row's folder could not be made whole
    CannotReplace,      // an old file at the path could not be deleted
    CannotCreate,       // the file could not be made
    CannotWrite,        // a write failed (the disk is full or gone)
    Stalled,            // nothing new came for the stall limit
    Cancelled,          // the run was stopped
    CutShort,           // the body ended before its end: cut off, reset, not HTTP
    Empty,              // a whole answer without a body: not the article
    NothingByFallback,  // the whole-body fetch brought nothing
    Throttled,          // the publisher asked to be asked less (429, 503 with Retry-After)
};

// The outcome's name, for the log.
const char* TransferOutcomeName(TransferOutcome outcome);

struct TransferResult
{
    TransferOutcome outcome = TransferOutcome::NoAnswer;
    qint64 announced = 0; // the announced length, 0 when there was none
    qint64 received = 0;  // body bytes written; for CannotReplace the old file's length
    int status = 0;       // the answer's HTTP status, 0 without an answer
    QString retryAfter;   // the answer's Retry-After, when it had one
};

// One row fetched through the window's Inet control into the row's file. run() returns once the
// transfer has ended, serving events meanwhile; on the way it settles the row's name, folder and
// extension and keeps its progress columns ("文件大小", "已下载数", "百分比") up to date, and
// every exit goes through one place that ends the request and keeps the file only when it is whole.
class InetTransfer
{
public:
    // stopRequested is asked after every chunk.
    InetTransfer(Inet& inet, const DownloadItem& item, NamePolicy policy,
                 std::function<bool()> stopRequested);

    TransferResult run();

private:
    TransferResult readBody(double& lastGrowth);
    TransferResult fetchWhole();
    TransferResult finish(TransferOutcome outcome);

    Inet& inet_;
    DownloadItem item_;
    NamePolicy policy_;
    std::function<bool()> stopRequested_;
    QString path_;
    QFile file_;
    bool fileIsOurs_ = false; // made by this transfer, so it goes unless it is whole
    TransferResult result_;
};

} // namespace Lunovex
