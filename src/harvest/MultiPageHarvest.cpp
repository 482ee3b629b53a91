// Taking every result page into the harvest list: extract the page shown, follow its next-page link,
// wait for the new page and the chosen pause, and so on until there is no next page or the user
// stops the run. All waits serve the event loop, so the stop button and the browser keep working.

#include "harvest/fWebSearch.h"

#include "app/Globals.h"
#include "harvest/ResultExtraction.h"
#include "platform/Browser.h"
#include "platform/Clock.h"
#include "platform/Dom.h"
#include "platform/EventPump.h"
#include "platform/ReportList.h"
#include "util/ControlHelpers.h"

#include <QComboBox>
#include <QPushButton>

namespace Lunovex {

namespace {

const QString kIdleCaption = QStringLiteral("加入全部到列表");
const QString kRunningCaption = QStringLiteral("停止加入全部");

void setButtonColour(QPushButton* button, const QColor& colour)
{
    QPalette palette = button->palette();
    palette.setColor(QPalette::Button, colour);
    button->setPalette(palette);
}

} // namespace

void fWebSearch::Command4_Click()
{
    if (Command4->text() != kIdleCaption) {
        HarvestStopped = true; // the running loop winds down at its next look
        return;
    }
    // A close accepted while a stopped run unwinds waits for it.
    const DeferredClose::Scope waiting(deferredClose_);
    Command4->setText(kRunningCaption);
    setButtonColour(Command4, QColor(255, 0, 0));
    PicPanWeb->setEnabled(false);
    HarvestStopped = false;
    runSaveFolder_ = extractionSaveFolder();

    do {
        EventPump::serve();
        if (!下一页()) break;
        EventPump::serve();
    } while (!HarvestStopped);

    AddCurrentPage(runSaveFolder_);
    setButtonColour(Command4, palette().color(QPalette::Window));
    Command4->setText(kIdleCaption);
    HarvestStopped = true;
    PicPanWeb->setEnabled(true);
    AutoSizeListColumns(ListView1, kFitContentsAndHeader);
}

bool fWebSearch::下一页()
{
    // One snapshot serves the extraction; the pager is read on the live page, where it is clicked.
    const std::unique_ptr<Dom> page = WebBrowser1->snapshot();
    addEntriesOf(page.get(), runSaveFolder_);
    updateCountLabel();
    if (!page) return false;

    const Timing& timing = Timing::current();
    const QString clickedOn = WebBrowser1->locationUrl();
    const int entriesBefore = ListView1->count();
    PageLoading = true;
    if (!WebBrowser1->runScript(NextPageLinkScript(NextPageAction::Click)).toBool()) {
        PageLoading = false;
        return false;
    }
    EventPump::waitUntil([this] { return HarvestStopped; }, timing.pageSettle);
    if (HarvestStopped) return false;
    // A page that never finishes loading is taken as it stands after the limit.
    EventPump::waitUntil([this] { return HarvestStopped || (!WebBrowser1->busy() && !PageLoading); },
                         timing.pageLoad, WebBrowser1, &Browser::documentComplete);
    if (HarvestStopped) return false;
    限速延时_提取信息();
    AddCurrentPage(runSaveFolder_);
    // A next link that leads nowhere (or back to its own page) would be followed for ever: when the
    // browser still shows the page it was clicked on and nothing new came in, the run ends here.
    return WebBrowser1->locationUrl() != clickedOn || ListView1->count() != entriesBefore;
}

void fWebSearch::限速延时_提取信息()
{
    const double start = Clock::seconds();
    const double unit = double(Timing::current().pauseSecond.count()) / 1000.0;
    // The pause is read on every pass, so a change during the wait counts at once.
    const auto over = [&] {
        return HarvestStopped || Combo2->currentText().toInt() * unit <= Clock::seconds() - start;
    };
    EventPump::serve();
    if (over()) return;
    EventPump::waitUntil(over, milliseconds::max(), Combo2, &QComboBox::currentIndexChanged);
}

} // namespace Lunovex
