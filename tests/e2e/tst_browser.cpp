// The embedded browser over pages that try to steer it: pages that redefine what a snapshot reads,
// trees deeper than any parser builds, new windows to addresses that are not web pages, and script dialogs
// in silent mode.

#include "harvest/ResultExtraction.h"
#include "platform/Browser.h"
#include "platform/Dom.h"
#include "platform/EventPump.h"
#include "support/FixtureServer.h"
#include "support/PageWait.h"
#include "support/TestEnvironment.h"

#include <QSignalSpy>
#include <QWebEnginePage>

using namespace Lunovex;
using Lunovex::Test::FixtureServer;
using Lunovex::Test::Route;
using Lunovex::Test::waitForPage;

namespace {

// How deep the elements of markup nest, read from the markup itself.
int nestingOf(const QString& markup, const QString& tag)
{
    int depth = 0, deepest = 0;
    const QString open = QLatin1Char('<') + tag, close = QStringLiteral("</") + tag + QLatin1Char('>');
    for (qsizetype at = 0; at < markup.size(); ++at) {
        if (markup.mid(at, close.size()) == close)
            --depth;
        else if (markup.mid(at, open.size()) == open)
            deepest = std::max(deepest, ++depth);
    }
    return deepest;
}

} // namespace

class BrowserTest : public QObject
{
    Q_OBJECT

    FixtureServer server;
    Browser* browser = nullptr;

    void open(const QString& path)
    {
        browser->navigate(server.url(path));
        QVERIFY(waitForPage(browser, server.url(path)));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(server.start());
        Timing::current().newWindowWait = milliseconds(300);
    }

    void init()
    {
        browser = new Browser;
        browser->resize(800, 600);
        browser->show();
    }

    void cleanup() { delete browser; }

    void snapshotIgnoresWhatThePageRedefines()
    {
        server.route(
            QStringLiteral("/lying"),
            Route::html(
                "<html><body><ul id='allTabsContainer'><li><div class='art_title'><a href='/doi/full/1'>"
                "Real</a></div><img src='/sfxbutton.gif'></li></ul>"
                "<ul><li class='pagelink-with-arrow'><a class='nextpage' href='/next'>&gt;</a></li></ul>"
                "<script>"
                "Object.defineProperty(Element.prototype, 'outerHTML', {get: function () {"
                "  return '<html><body><ul id=allTabsContainer><li><div class=art_title>"
                "<a href=javascript:alert(1)>Fake</a></div><img "
                "src=/sfxbutton.gif></li></ul></body></html>'; }});"
                "Object.defineProperty(document, 'URL', {get: function () { return 'https://evil.example/'; "
                "}});"
                "document.getElementsByTagName = function () { return []; };"
                "Element.prototype.getElementsByTagName = function () { return []; };"
                "HTMLElement.prototype.click = function () { document.title = 'fake click'; };"
                "</script></body></html>"));
        open(QStringLiteral("/lying"));

        const std::unique_ptr<Dom> page = browser->snapshot();
        QVERIFY(page);
        QCOMPARE(page->url(), server.url(QStringLiteral("/lying")));
        const QList<ExtractedEntry> entries = ExtractResultEntries(page.get());
        QCOMPARE(entries.size(), 1);
        QCOMPARE(entries.first().Title, QStringLiteral("Real"));
        QVERIFY(browser->pageSource().contains(QStringLiteral("Real</a>")));
        QVERIFY(browser->runScript(NextPageLinkScript(NextPageAction::Find)).toBool());

        // The click is the element's own, not the page's replacement.
        server.route(QStringLiteral("/next"), Route::html("<html><body>next</body></html>"));
        browser->runScript(NextPageLinkScript(NextPageAction::Click));
        QVERIFY(waitForPage(browser, server.url(QStringLiteral("/next"))));
    }

    void deepTreesAreReadWhole_data()
    {
        QTest::addColumn<QByteArray>("page");
        QTest::addColumn<int>("divs"); // every one of them is kept
        QTest::addColumn<int>(
            "depth"); // how deep they nest, as the page has them (0: as the parser left them)
        const QByteArray item =
            "<ul id='allTabsContainer'><li><div class='art_title'><a href='/doi/full/deep'>"
            "After the depths</a></div><img src='/sfxbutton.gif'></li></ul>";
        // Out of sight: the engine's own layout of a tree that deep, shown, takes it minutes.
        QTest::newRow("built by script, 20,000 levels")
            << "<html><body><div id='top' style='display:none'></div>" + item +
                   "<script>var e = document.getElementById('top');"
                   "for (var i = 0; i < 20000; ++i) e = e.appendChild(document.createElement('div'));"
                   "e.textContent = 'bottom';</script></body></html>"
            << 20001 + 1 << 20001;
        QTest::newRow("markup, 3,000 unclosed")
            << "<html><body>" + item + QByteArray("<div>").repeated(3000) + "bottom</body></html>" << 3001
            << 0;
        QTest::newRow("built by script inside a template")
            << "<html><body>" + item +
                   "<template id='t'></template><script>var e = document.getElementById('t').content;"
                   "for (var i = 0; i < 5000; ++i) e = e.appendChild(document.createElement('div'));"
                   "e.textContent = 'bottom';</script></body></html>"
            << 5001 << 5000;
    }
    void deepTreesAreReadWhole()
    {
        QFETCH(QByteArray, page);
        QFETCH(int, divs);
        QFETCH(int, depth);
        server.route(QStringLiteral("/deep"), Route::html(page));
        open(QStringLiteral("/deep"));

        const std::unique_ptr<Dom> dom = browser->snapshot();
        QVERIFY(dom);
        const QString markup = dom->documentElement().outerHTML();
        if (depth > 0) QCOMPARE(nestingOf(markup, QStringLiteral("div")), depth);
        QCOMPARE(int(markup.count(QStringLiteral("<div"))), divs);
        QVERIFY(markup.contains(QStringLiteral(">bottom<")));
        const QList<ExtractedEntry> entries = ExtractResultEntries(dom.get());
        QCOMPARE(entries.size(), 1);
        QCOMPARE(entries.first().Title, QStringLiteral("After the depths"));
    }

    void newWindowsOpenOnlyWebPages_data()
    {
        QTest::addColumn<QString>("address"); // BASE: the server's address
        QTest::addColumn<bool>("followed");
        QTest::newRow("http") << "BASE/popup" << true;
        QTest::newRow("about:blank") << "about:blank" << true;
        QTest::newRow("file") << "file:///etc/hostname" << false;
        QTest::newRow("data") << "data:text/html,<img src='BASE/ran'>" << false;
        QTest::newRow("javascript") << "javascript:document.title='ran'" << false;
        QTest::newRow("blob") << "blob" << false;
    }
    void newWindowsOpenOnlyWebPages()
    {
        QFETCH(QString, address);
        QFETCH(bool, followed);
        address.replace(QStringLiteral("BASE"), server.url(QString()).chopped(1));
        server.route(QStringLiteral("/popup"), Route::html("<html><body>popup</body></html>"));
        server.route(QStringLiteral("/ran"), Route::html("ran"));
        const QByteArray target = address == QLatin1String("blob")
                                      ? "URL.createObjectURL(new Blob([\"<img src='" +
                                            server.url(QStringLiteral("/ran")).toUtf8() +
                                            "'>\"], {type: 'text/html'}))"
                                      : "\"" + address.toUtf8() + "\"";
        server.route(QStringLiteral("/opener"), Route::html("<html><body>opener<script>window.open(" +
                                                            target + ");</script></body></html>"));
        QSignalSpy requested(browser, &Browser::newWindowRequested);
        browser->navigate(server.url(QStringLiteral("/opener")));

        if (followed) {
            QTRY_COMPARE(requested.size(), 1);
            QTRY_COMPARE(browser->url(), QUrl(address));
        } else {
            QVERIFY(waitForPage(browser, server.url(QStringLiteral("/opener"))));
            EventPump::sleep(milliseconds(500));
            QCOMPARE(requested.size(), 0);
            QCOMPARE(browser->locationUrl(), server.url(QStringLiteral("/opener")));
            QVERIFY(server.requestsFor(QStringLiteral("/ran")).isEmpty()); // nothing of it ever ran
            QVERIFY(browser->title() != QLatin1String("ran"));
        }
        // The stand-in for the new window goes, followed or not.
        QTRY_COMPARE(browser->findChildren<QWebEnginePage*>().size(), 1);
    }

    void aNewWindowThatNamesNoAddressGoes()
    {
        server.route(QStringLiteral("/empty-opener"),
                     Route::html("<html><body><script>var w = window.open('');</script></body></html>"));
        open(QStringLiteral("/empty-opener"));
        QTRY_COMPARE_WITH_TIMEOUT(browser->findChildren<QWebEnginePage*>().size(), 1, 5000);
        QCOMPARE(browser->locationUrl(), server.url(QStringLiteral("/empty-opener")));
    }

    void silentModeAnswersScriptQuestionsWithCancel()
    {
        browser->setSilent(true);
        server.route(QStringLiteral("/questions"),
                     Route::html("<html><body><script>document.title = "
                                 "'confirm ' + confirm('Delete?') + ', prompt ' + prompt('Name?', 'x');"
                                 "</script></body></html>"));
        open(QStringLiteral("/questions"));
        QTRY_COMPARE(browser->title(), QStringLiteral("confirm false, prompt null"));
    }
};

LUNOVEX_TEST_MAIN(BrowserTest)
#include "tst_browser.moc"
