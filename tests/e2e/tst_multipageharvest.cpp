// Walking result pages by their pager in the real embedded browser: where a run ends, the stop
// button during the pause, and pages that never finish loading.

#include "app/Settings.h"
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
