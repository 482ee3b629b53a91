#include "app/Globals.h"
#include "app/Settings.h"
#include "harvest/fWebSearch.h"
#include "platform/Browser.h"
#include "platform/EventPump.h"
#include "platform/Inet.h"
#include "platform/Network.h"
#include "platform/ReportList.h"
#include "support/FixtureServer.h"
#include "support/ScriptedPrompts.h"
#include "support/TestEnvironment.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QNetworkCookie>
#include <QNetworkCookieJar>
#include <QPushButton>
#include <QSignalSpy>
#include <QWebEngineProfile>

using namespace Lunovex;
using Lunovex::Test::FixtureServer;
using Lunovex::Test::Route;
using Lunovex::Test::ScriptedPrompts;

class SearchWindowTest : public QObject
{
    Q_OBJECT

    FixtureServer server;

private slots:
    void initTestCase()
    {
        QVERIFY(server.start());
        Route page =
            Route::html("<html><head><title>Results</title></head><body><ul id='allTabsContainer'>"
                        "<li><div class='art_title'><a href='/doi/full/10.1/a'>Alpha article</a></div><img "
                        "src='/sfxbutton.gif'></li>"
                        "<li><div class='art_title'><a href='/doi/abs/10.1/b'>Beta article</a></div><img "
                        "src='/sfxbutton.gif'></li>"
                        "<li><div class='art_title'><a href='/doi/full/10.1/c'>No access</a></div></li>"
                        "</ul><script>window.close(); alert('hello');</script></body></html>");
        page.setCookie = "session=s3cr3t; Path=/";
        server.route(QStringLiteral("/results"), page);
        Route pdf = Route::pdf(4000);
        pdf.requireCookie = "session=s3cr3t";
        server.route(QStringLiteral("/doi/pdf/10.1/a"), pdf);
    }

    void resultPageIntoTheHarvestList()
    {
        SaveSetting(Setting::ExtractSavePathFlag(), QStringLiteral("0"));
        ScriptedPrompts prompts;
        auto* w = new fWebSearch;
        w->show();
        Browser* browser = w->browser();
        browser->setSilent(true);
        QSignalSpy loaded(browser, &Browser::documentComplete);
        browser->navigate(server.url(QStringLiteral("/results")));
        QVERIFY(loaded.wait(30000));
        QVERIFY(w->isVisible()); // the page's script could not close it

        w->findChild<QPushButton*>(QStringLiteral("Command9"))->click();
        ReportList* list = w->harvestList();
        QCOMPARE(list->count(), 2);
        QCOMPARE(list->text(0), QStringLiteral("Alpha article"));
        QCOMPARE(list->key(0), server.url(QStringLiteral("/doi/pdf/10.1/a?needAccess=true")));
        QCOMPARE(list->key(1), server.url(QStringLiteral("/doi/pdf/10.1/b?needAccess=true")));
        QCOMPARE(list->tag(0).toString(), server.url(QStringLiteral("/results")));
        QCOMPARE(w->findChild<QLabel*>(QStringLiteral("Label1"))->text(), QStringLiteral("2"));
        w->findChild<QPushButton*>(QStringLiteral("Command9"))->click(); // the same page again: nothing new
        QCOMPARE(list->count(), 2);

        // The session the browser got lets the transfers through, with the browser's user agent.
        QVERIFY(EventPump::waitUntil(
            [&] {
                for (const QNetworkCookie& c :
                     Network::cookieJar()->cookiesForUrl(QUrl(server.url(QStringLiteral("/doi/pdf/10.1/a")))))
                    if (c.name() == "session") return true;
                return false;
            },
            milliseconds(5000)));
        Inet inet;
        inet.Execute(server.url(QStringLiteral("/doi/pdf/10.1/a?needAccess=true")), QStringLiteral("GET"));
        QVERIFY(EventPump::waitUntil([&] { return !inet.StillExecuting(); }, milliseconds(5000)));
        QVERIFY(inet.GetHeader().startsWith(QStringLiteral("HTTP/1.1 200")));
        const auto request = server.requestsFor(QStringLiteral("/doi/pdf/10.1/a")).last();
        QVERIFY(request.headers.value("cookie").contains("session=s3cr3t"));
        QCOMPARE(QString::fromLatin1(request.headers.value("user-agent")),
                 Browser::sharedProfile()->httpUserAgent());
        w->close();
    }
};

LUNOVEX_TEST_MAIN(SearchWindowTest)
#include "tst_searchwindow.moc"
