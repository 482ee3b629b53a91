// Hostile pages against flat pages of the same size, through the road "加入本页到列表" takes: a
// snapshot of the live page, parsed, and the extraction. Each hostile page is measured against a
// page with as many elements side by side, in the same run: a page built by script 200,000 levels
// deep, 50,000 tags never closed, and 4,000 result items nested one in another. Goal: at most 3x
// the time of the flat page, memory under 10x the page's size, no crash. Memory is the heap held
// while the parsed page and its entries are alive, against the size of the snapshot's markup.

#include "BenchSupport.h"

#include "harvest/ResultExtraction.h"
#include "platform/Browser.h"
#include "platform/Dom.h"
#include "platform/EventPump.h"
#include "support/TestEnvironment.h"

#include <QElapsedTimer>

#include <cstdio>
#include <malloc.h>

using namespace Lunovex;

namespace {

constexpr int kRounds = 3;

QByteArray item(int i)
{
    const QByteArray n = QByteArray::number(i);
    return "<li><div class='art_title'><a href='/doi/full/10.5555/mv." + n + "'>Article " + n +
           "</a></div><img src='/sfxbutton.gif'>";
}

// A tree of count divs built by script (out of sight, as the engine's own layout of a shown tree that
// deep takes minutes), each inside the one before or all side by side.
QByteArray scriptBuilt(int count, bool nested)
{
    return "<html><body><ul id='allTabsContainer'>" + item(0) +
           "</li></ul><div id='top' style='display:none'>"
           "</div><script>var root = document.getElementById('top'), e = root;"
           "for (var i = 0; i < " +
           QByteArray::number(count) +
           "; ++i) {"
           "  var d = document.createElement('div');" +
           (nested ? "e = e.appendChild(d);" : "root.appendChild(d);") + "}</script></body></html>";
}

QByteArray unclosedTags(int count, bool closed)
{
    return "<html><body><ul id='allTabsContainer'>" + item(0) + "</li></ul>" +
           QByteArray(closed ? "<div></div>" : "<div>").repeated(count) + "</body></html>";
}

QByteArray resultItems(int count, bool nested)
{
    QByteArray page = "<html><body><ul id='allTabsContainer'>";
    for (int i = 0; i < count; ++i)
        page += item(i) + (nested ? "<ul>" : "</li>");
    return page + "</ul></body></html>";
}

struct Reading
{
    double ms = 1e9;
    double heldTimesPage = 0; // heap held while the page is read, against the snapshot's size
    qsizetype snapshotBytes = 0;
    qsizetype entries = 0;
    bool read = false;
};

Reading measure(Browser* browser, const Bench::ServerThread& server, const QString& path)
{
    Reading r;
    browser->navigate(server.url(path));
    EventPump::waitUntil([&] { return !browser->busy() && browser->locationUrl() == server.url(path); },
                         milliseconds(120'000), browser, &Browser::documentComplete);
    for (int round = 0; round < kRounds; ++round) {
        // The heap in use rather than the resident size: freed memory that a later page reuses does not
        // show in the resident size, so its readings would depend on the order of the pages.
        const size_t before = mallinfo2().uordblks;
        QElapsedTimer t;
        t.start();
        const std::unique_ptr<Dom> page = browser->snapshot(milliseconds(120'000));
        QList<ExtractedEntry> entries;
        EventPump::runAside([&] { entries = ExtractResultEntries(page.get()); });
        r.ms = std::min(r.ms, Bench::elapsedMs(t));
        if (!page) continue;
        const double heldBytes = double(mallinfo2().uordblks) - double(before);
        r.read = true;
        r.entries = entries.size();
        r.snapshotBytes = page->documentElement().outerHTML().toUtf8().size();
        r.heldTimesPage =
            std::max(r.heldTimesPage, heldBytes / double(std::max<qsizetype>(1, r.snapshotBytes)));
    }
    return r;
}

} // namespace

int main(int argc, char** argv)
{
    Test::TestEnvironment environment;
    QApplication app(argc, argv);
    environment.prepare(app);

    struct Case
    {
        const char* name;
        QByteArray hostile, flat;
    };
    const QList<Case> cases = {
        {"built by script, 200,000 levels deep", scriptBuilt(200'000, true), scriptBuilt(200'000, false)},
        {"50,000 tags never closed", unclosedTags(50'000, false), unclosedTags(50'000, true)},
        {"4,000 result items nested", resultItems(4'000, true), resultItems(4'000, false)},
    };
    Bench::ServerThread server([&](Test::FixtureServer& s) {
        for (int i = 0; i < cases.size(); ++i) {
            s.route(QStringLiteral("/hostile-%1").arg(i), Test::Route::html(cases[i].hostile));
            s.route(QStringLiteral("/flat-%1").arg(i), Test::Route::html(cases[i].flat));
        }
    });

    auto* browser = new Browser;
    browser->resize(1000, 700);
    browser->show();
    bool allWithin = true;
    for (int i = 0; i < cases.size(); ++i) {
        const Reading flat = measure(browser, server, QStringLiteral("/flat-%1").arg(i));
        const Reading hostile = measure(browser, server, QStringLiteral("/hostile-%1").arg(i));
        const double ratio = hostile.ms / flat.ms;
        const bool within = hostile.read && ratio <= 3 && hostile.heldTimesPage < 10;
        allWithin = allWithin && within;
        std::printf("%s: %.1f ms against %.1f ms flat, ratio %.2f (goal <= 3); snapshot %.2f MB, "
                    "memory held %.1fx of it (goal < 10; the flat page %.1fx), %lld entries (flat: %lld)%s\n",
                    cases[i].name, hostile.ms, flat.ms, ratio, double(hostile.snapshotBytes) / 1e6,
                    hostile.heldTimesPage, flat.heldTimesPage, static_cast<long long>(hostile.entries),
                    static_cast<long long>(flat.entries), within ? "" : "  <-- OUTSIDE THE GOAL");
    }
    delete browser;
    return allWithin ? 0 : 2;
}
