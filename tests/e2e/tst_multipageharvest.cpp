// Walking result pages by their pager in the real embedded browser: where a run ends, the stop
// button during the pause, and pages that never finish loading.

#include "app/Settings.h"
#include "harvest/ResultExtraction.h"
#include "harvest/fWebSearch.h"
#include "platform/Browser.h"
#include "platform/EventPump.h"
#include "platform/ReportList.h"
#include "support/FixtureServer.h"
#include "support/PageWait.h"
#include "support/ScriptedPrompts.h"
#include "support/TestEnvironment.h"

#include <QComboBox>
#include <QPushButton>
#include <QTimer>

using namespace Lunovex;
using Lunovex::Test::control;
using Lunovex::Test::FixtureServer;
using Lunovex::Test::Route;
using Lunovex::Test::ScriptedPrompts;

namespace {

// A result page of the publisher's structure: one full-text item per title, then the pager.
QByteArray resultPage(const QStringList& titles, const QByteArray& pager)
{
    QByteArray page = "<html><head><title>Results</title></head><body><ul id='allTabsContainer'>";
    for (const QString& title : titles)
        page += "<li><div class='art_title'><a href='/doi/full/" + title.toUtf8() + "'>" + title.toUtf8() +
                "</a></div><img src='/sfxbutton.gif'></li>";
    return page + "</ul><ul>" + pager + "</ul></body></html>";
}

// As many items nested one in another as the browser keeps nested.
constexpr int kNestedItems = 250;

QByteArray item(const QByteArray& href, const QByteArray& title)
{
    return "<li><div class='art_title'><a href='" + href + "'>" + title +
           "</a></div><img src='/sfxbutton.gif'></li>";
}

QByteArray arrow(const char* linkClass, const char* href)
{
    return QByteArray("<li class=' PageLink-With-Arrow '><a class='") + linkClass + "' href='" + href +
           "'>&rsaquo;</a></li>";
}

} // namespace

class MultiPageHarvestTest : public QObject
{
    Q_OBJECT

    FixtureServer server;
    fWebSearch* w = nullptr;
    ScriptedPrompts* prompts = nullptr;

    void open(const QString& path)
    {
        w->browser()->navigate(server.url(path));
        QVERIFY(Test::waitForPage(w->browser(), server.url(path)));
    }

    QStringList titles() const
    {
        QStringList list;
        for (int i = 0; i < w->harvestList()->count(); ++i)
            list << w->harvestList()->text(i);
        return list;
    }

    QPushButton* harvestButton() const { return control<QPushButton>(w, "Command4"); }

    void checkIdle() const
    {
        QCOMPARE(harvestButton()->text(), QStringLiteral("加入全部到列表"));
        QVERIFY(w->HarvestStopped);
        QVERIFY(control<QWidget>(w, "PicPanWeb")->isEnabled());
    }

private slots:
    void initTestCase()
    {
        QVERIFY(server.start());
        SaveSetting(Setting::ExtractSavePathFlag(), QStringLiteral("0"));
        Timing& t = Timing::current();
        t.pageSettle = milliseconds(50);
        t.pageLoad = milliseconds(600);
        t.pauseSecond = milliseconds(100);

        server.route(QStringLiteral("/never"), Route::html(resultPage({QStringLiteral("never")}, {})));
        server.route(QStringLiteral("/single"),
                     Route::html(resultPage({QStringLiteral("a1"), QStringLiteral("a2")}, {})));
        // Walking from the end, the previous-page arrow is met first: the earlier arrow is never looked at.
        server.route(
            QStringLiteral("/last"),
            Route::html(resultPage({QStringLiteral("l1")}, arrow("nextPage", "/never") + "<li>1</li>" +
                                                               arrow("prevPage", "/never"))));
        server.route(QStringLiteral("/fragment"),
                     Route::html(resultPage({QStringLiteral("f1")}, arrow("nextpage", "#more"))));
        server.route(
            QStringLiteral("/script"),
            Route::html(resultPage({QStringLiteral("s1")}, arrow("NEXTPAGE", "javascript:void(0)"))));
        server.route(QStringLiteral("/self"),
                     Route::html(resultPage({QStringLiteral("r1")}, arrow("nextPage", "/self"))));
        server.route(QStringLiteral("/missing"),
                     Route::html(resultPage({QStringLiteral("m1")}, arrow("nextPage", "/no-such-page"))));

        // Pages that are not what the harvest looks for still end the run normally.
        server.route(QStringLiteral("/text"), [] {
            Route r;
            r.body =
                "<li class='pagelink-with-arrow'><a class='nextpage' href='/never'>not a link here</a></li>";
            r.headers = {{"Content-Type", "text/plain"}};
            return r;
        }());
        server.route(
            QStringLiteral("/malformed"),
            Route::html(
                "<html><body><ul id='allTabsContainer'><li><div class='art_title'><a "
                "href='/doi/full/x'>broken</div><img src='/sfxbutton.gif'><li><div class='art_title'"));
        // Twenty megabytes around three items.
        QByteArray huge = resultPage({QStringLiteral("h1"), QStringLiteral("h2"), QStringLiteral("h3")},
                                     arrow("nextPage", "/c"));
        huge.insert(huge.indexOf("<ul id="),
                    "<div style='display:none'>" + QByteArray(20 << 20, 'x') + "</div>");
        server.route(QStringLiteral("/huge"), Route::html(huge));
        // A page whose script keeps changing it while it is read.
        QByteArray changing =
            resultPage({QStringLiteral("k1"), QStringLiteral("k2")}, arrow("nextPage", "/c"));
        changing.replace("</body>", "<div id='clock'></div><script>setInterval(function () {"
                                    "var d = document.getElementById('clock'); d.textContent = Date.now();"
                                    "var p = document.createElement('p'); document.body.appendChild(p);"
                                    "document.body.removeChild(p); }, 1);</script></body>");
        server.route(QStringLiteral("/changing"), Route::html(changing));

        // Hostile pages: a tree built by script 20,000 levels deep (out of sight: the engine's own layout
        // of a shown one takes minutes), 8,000 tags never closed, items nested in items, addresses that
        // are not the web's.
        QByteArray deep = resultPage({QStringLiteral("deep")}, arrow("nextPage", "/c"));
        deep.replace("</body>",
                     "<div id='top' style='display:none'></div><script>"
                     "var e = document.getElementById('top');"
                     "for (var i = 0; i < 20000; ++i) e = e.appendChild(document.createElement('div'));"
                     "</script></body>");
        server.route(QStringLiteral("/deep"), Route::html(deep));
        QByteArray unclosed = resultPage({QStringLiteral("unclosed")}, arrow("nextPage", "/c"));
        unclosed.replace("</body>", QByteArray("<div>").repeated(8000) + "</body>");
        server.route(QStringLiteral("/unclosed"), Route::html(unclosed));
        QByteArray nested = "<html><body><ul id='allTabsContainer'>";
        for (int i = 0; i < kNestedItems; ++i)
            nested += "<li><div class='art_title'><a href='/doi/full/n" + QByteArray::number(i) + "'>n" +
                      QByteArray::number(i) + "</a></div><img src='/sfxbutton.gif'><ul>";
        server.route(QStringLiteral("/nested"), Route::html(nested + "</body></html>"));
        server.route(QStringLiteral("/not-web"),
                     Route::html("<html><body><ul id='allTabsContainer'>" +
                                 item("javascript:alert(1)", "script") +
                                 item("mailto:someone@example.org", "mail") +
                                 item("data:text/html,x", "data") + item("file:///etc/passwd", "file") +
                                 item("/doi/full/web", "web") + "</ul></body></html>"));
        server.route(QStringLiteral("/base-without-host"),
                     Route::html("<html><head><base href='https:x/'></head><body><ul id='allTabsContainer'>" +
                                 item("doi/full/1", "hostless") + "</ul></body></html>"));
        // Links the live page does not count as links stand before the pager.
        const QByteArray hidden = "<noscript><a href='/never'>no</a></noscript>"
                                  "<template><a href='/never'>no</a><li class='pagelink-with-arrow'>"
                                  "<a class='nextpage' href='/never'>no</a></li></template>";
        server.route(
            QStringLiteral("/hidden-1"),
            Route::html(resultPage({QStringLiteral("h-1")}, hidden + arrow("nextPage", "/hidden-2"))));
        server.route(
            QStringLiteral("/hidden-2"),
            Route::html(resultPage({QStringLiteral("h-2")}, hidden + arrow("nextPage", "/hidden-3"))));
        server.route(QStringLiteral("/hidden-3"), Route::html(resultPage({QStringLiteral("h-3")}, hidden)));

        server.route(QStringLiteral("/a"),
                     Route::html(resultPage({QStringLiteral("a")}, arrow("nextPage", "/b"))));
        server.route(QStringLiteral("/b"),
                     Route::html(resultPage({QStringLiteral("b")}, arrow("nextPage", "/c"))));
        server.route(QStringLiteral("/c"), Route::html(resultPage({QStringLiteral("c")}, {})));
        // A page that never finishes: everything but its end comes, then nothing more.
        const QByteArray stalled = resultPage({QStringLiteral("slow")}, arrow("nextPage", "/c"));
        Route hanging = Route::html(stalled + QByteArray(4096, ' ') + "<!-- end -->");
        hanging.stallAfter = stalled.size() + 4096;
        server.route(QStringLiteral("/hanging"), hanging);
        server.route(QStringLiteral("/to-hanging"),
                     Route::html(resultPage({QStringLiteral("before")}, arrow("nextPage", "/hanging"))));
    }

    void init()
    {
        prompts = new ScriptedPrompts;
        w = new fWebSearch;
        w->show();
        control<QComboBox>(w, "Combo2")->setCurrentIndex(0);
    }

    void cleanup()
    {
        w->close();
        delete prompts;
    }

    void runEndsOnItsOwn_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QStringList>("entries");
        QTest::newRow("no pager") << "/single" << QStringList{"a1", "a2"};
        QTest::newRow("last page") << "/last" << QStringList{"l1"};
        QTest::newRow("link to a fragment") << "/fragment" << QStringList{"f1"};
        QTest::newRow("link to a script") << "/script" << QStringList{"s1"};
        QTest::newRow("link to its own page") << "/self" << QStringList{"r1"};
        QTest::newRow("link to a missing page") << "/missing" << QStringList{"m1"};
        QTest::newRow("three pages") << "/a" << QStringList{"a", "b", "c"};
        QTest::newRow("a page that never finishes") << "/to-hanging" << QStringList{"before", "slow", "c"};
        QTest::newRow("not HTML") << "/text" << QStringList{};
        QTest::newRow("malformed") << "/malformed" << QStringList{"broken"};
        QTest::newRow("20 MB") << "/huge" << QStringList{"h1", "h2", "h3", "c"};
        QTest::newRow("changing while read") << "/changing" << QStringList{"k1", "k2", "c"};
        QTest::newRow("20,000 levels deep") << "/deep" << QStringList{"deep", "c"};
        QTest::newRow("8,000 unclosed tags") << "/unclosed" << QStringList{"unclosed", "c"};
        QStringList nested;
        for (int i = 0; i < kNestedItems; ++i)
            nested << QStringLiteral("n%1").arg(i);
        QTest::newRow("items nested in items") << "/nested" << nested;
        QTest::newRow("addresses that are not the web's") << "/not-web" << QStringList{"web"};
        QTest::newRow("a base without a host") << "/base-without-host" << QStringList{};
        QTest::newRow("links in noscript and template before the pager")
            << "/hidden-1" << QStringList{"h-1", "h-2", "h-3"};
    }
    void runEndsOnItsOwn()
    {
        QFETCH(QString, start);
        QFETCH(QStringList, entries);
        open(start);
        harvestButton()->click(); // the whole run happens in here
        QCOMPARE(titles(), entries);
        checkIdle();
        QVERIFY(server.requestsFor(QStringLiteral("/never")).isEmpty());
        QVERIFY(prompts->records().isEmpty()); // no message in any case
        for (int i = 0; i < w->harvestList()->count(); ++i)
            QVERIFY(w->harvestList()->key(i).startsWith(server.url(QStringLiteral("/doi/pdf/"))));
    }

    // The pager rule as the live page answers it.
    void nextPageRule_data()
    {
        QTest::addColumn<QString>("pager");
        QTest::addColumn<bool>("found");
        const QString arrow =
            QStringLiteral("<li class=' PageLink-With-Arrow '><a class='%1' href='/p'>&gt;</a></li>");
        QTest::newRow("no pager") << QString() << false;
        QTest::newRow("next arrow") << arrow.arg(QStringLiteral(" NextPage ")) << true;
        QTest::newRow("after numbers")
            << QStringLiteral("<li><a href='/1'>1</a></li>") + arrow.arg(QStringLiteral("nextpage")) << true;
        QTest::newRow("last page: the earlier arrow is never looked at")
            << arrow.arg(QStringLiteral("nextpage")) + arrow.arg(QStringLiteral("prevPage")) << false;
        QTest::newRow("arrow without a link")
            << QStringLiteral("<li class='pagelink-with-arrow'><span>&gt;</span></li>") << false;
        QTest::newRow("another class on the item")
            << QStringLiteral("<li class='pagelink-with-arrow x'><a "
                              "class='nextpage' href='/p'>&gt;</a></li>")
            << false;
        QTest::newRow("an arrow of a template is not the page's")
            << arrow.arg(QStringLiteral("nextpage")) +
                   QStringLiteral("<template><li class='pagelink-with-arrow'><a>x</a></li></template>")
            << true;
    }
    void nextPageRule()
    {
        QFETCH(QString, pager);
        QFETCH(bool, found);
        server.route(
            QStringLiteral("/pager"),
            Route::html(
                ("<html><body><a href='/home'>home</a><ul>" + pager + "</ul></body></html>").toUtf8()));
        open(QStringLiteral("/pager"));
        QCOMPARE(w->browser()->runScript(NextPageLinkScript(NextPageAction::Find)).toBool(), found);
    }

    void stopDuringThePause()
    {
        open(QStringLiteral("/a"));
        control<QComboBox>(w, "Combo2")->setCurrentIndex(60); // six seconds here
        const int requestsForC = int(server.requestsFor(QStringLiteral("/c")).size());
        QStringList whileRunning;
        QTimer stopper;
        connect(&stopper, &QTimer::timeout, this, [&] {
            if (!w->browser()->locationUrl().endsWith(QLatin1String("/b")) || w->browser()->busy()) return;
            stopper.stop();
            // Busy: neither closing nor sorting.
            w->close();
            emit w->harvestList()->columnHeaderClicked(0);
            whileRunning = prompts->messages();
            harvestButton()->click();
            whileRunning << harvestButton()->text();
        });
        stopper.start(20);
        harvestButton()->click();
        QCOMPARE(whileRunning,
                 (QStringList{QStringLiteral("正在工作，停止以后才能关闭！"),
                              QStringLiteral("正在工作，停止后方可排序！"), QStringLiteral("停止加入全部")}));
        QVERIFY(w->isVisible());
        QCOMPARE(titles(), (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
        QCOMPARE(int(server.requestsFor(QStringLiteral("/c")).size()), requestsForC);
        checkIdle();
    }
};

LUNOVEX_TEST_MAIN(MultiPageHarvestTest)
#include "tst_multipageharvest.moc"
