// Handing harvest entries to the download manager: one entry becomes one waiting row of the
// download list, named after the article title or the address, in the entry's folder.

#include "harvest/fWebSearch.h"

#include "harvest/HarvestColumns.h"

#include "app/Forms.h"
#include "app/Globals.h"
#include "download/SaveNaming.h"
#include "download/fFileDownload.h"
#include "platform/EventPump.h"
#include "platform/Log.h"
#include "platform/Network.h"
#include "platform/ReportList.h"

namespace Lunovex {

namespace {

fFileDownload* downloadWindow()
{
    return qobject_cast<fFileDownload*>(LoadForm(FormName::FileDownload)); // loaded, not shown
}

} // namespace

void fWebSearch::加入下载列表(int row)
{
    const QString key = ListView1->key(row);
    const QString title = ListView1->text(row);
    const QString type = ListView1->cell(row, HarvestType);
    QString folder = ListView1->cell(row, HarvestSaveFolder);
    // Only web addresses go to the download list: an entry of another kind fails here, and a page
    // that is no web page (a local file) is not named to the server as the referring page.
    if (!Network::IsWebAddress(key)) {
        qCInfo(lcHarvest).noquote() << "an entry whose address is no web address was not handed over";
        ListView1->setCell(row, HarvestStatus, QStringLiteral("分析失败"));
        return;
    }
    QString sourcePage = ListView1->tag(row).toString();
    if (!Network::IsWebAddress(sourcePage)) sourcePage.clear();
    if (folder.isEmpty()) folder = Globals().SaveFolder;
    const QString name = InitialBaseName(title, key, Globals().UseOriginalFileName);

    // The row may move while the event queue is served: it is found again by its address.
    ListView1->setCell(row, HarvestStatus, QStringLiteral("正在分析"));
    EventPump::serve();
    downloadWindow()->AddDownloadItem(key, name, type, folder, sourcePage);
    const int now = ListView1->indexOf(key);
    if (now < 0) return;
    ListView1->setCell(now, HarvestStatus, QStringLiteral("分析完成"));
    if (ListView1->cell(now, HarvestStatus) == QStringLiteral("正在分析"))
        ListView1->setCell(now, HarvestStatus, QStringLiteral("分析失败"));
}

void fWebSearch::显示下载窗口()
{
    QWidget* downloads = FindForm(FormName::FileDownload);
    if (!downloads) return;
    if (auto* window = qobject_cast<fFileDownload*>(downloads)) window->list()->viewport()->update();
    if (downloads->isHidden()) downloads->show();
}

} // namespace Lunovex
