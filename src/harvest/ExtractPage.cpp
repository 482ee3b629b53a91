// Taking the result page shown in the browser into the harvest list.

#include "harvest/fWebSearch.h"

#include "app/Globals.h"
#include "app/fSeleFileSavePath.h"
#include "harvest/ResultExtraction.h"
#include "platform/Browser.h"
#include "platform/Dom.h"
#include "platform/EventPump.h"
#include "platform/Log.h"
#include "platform/ReportList.h"
#include "util/ControlHelpers.h"

namespace Lunovex {

int fWebSearch::ExtractResultPage(const QString& saveFolder)
{
    return addEntriesOf(WebBrowser1->snapshot().get(), saveFolder);
}

int fWebSearch::addEntriesOf(const Dom* page, const QString& saveFolder)
{
    QList<ExtractedEntry> entries;
    EventPump::runAside([&] { entries = ExtractResultEntries(page); });
    for (const ExtractedEntry& e : entries)
        加入LV1(e.Title, e.PdfAddress, e.SourcePage, QStringLiteral("pdf"), saveFolder, QStringLiteral("ss"));
    qCInfo(lcHarvest).nospace().noquote() << "page " << LoggableAddress(page ? page->url() : QString())
                                          << ": " << entries.size() << " entries with full text";
    return int(entries.size());
}

void fWebSearch::AddCurrentPage(const QString& saveFolder)
{
    ExtractResultPage(saveFolder);
    updateCountLabel();
}

bool fWebSearch::askSaveFolder()
{
    return fSeleFileSavePath::ask(this);
}

QString fWebSearch::extractionSaveFolder()
{
    if (Globals().ExtractSavePathFlag != 1) return {};
    // The dialog's outcome is not asked: after Cancel the save folder as it stood is used.
    askSaveFolder();
    return Globals().SaveFolder;
}

void fWebSearch::Command9_Click()
{
    const DeferredClose::Scope waiting(deferredClose_);
    AddCurrentPage(extractionSaveFolder());
    AutoSizeListColumns(ListView1, kFitContentsAndHeader);
}

} // namespace Lunovex
