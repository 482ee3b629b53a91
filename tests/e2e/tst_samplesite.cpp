// The whole road on the sample publisher site, in the real embedded browser: search, take every
// result page into the harvest list, hand it to the download list, download with method one.

#include "app/Forms.h"
#include "app/Globals.h"
#include "app/Settings.h"
#include "app/fSeleFileSavePath.h"
#include "download/fFileDownload.h"
#include "harvest/HarvestColumns.h"
#include "harvest/fWebSearch.h"
#include "platform/Browser.h"
#include "platform/EventPump.h"
#include "platform/ReportList.h"
#include "support/FixtureServer.h"
#include "support/PageWait.h"
#include "support/SampleSite.h"
#include "support/ScriptedPrompts.h"
#include "support/TestEnvironment.h"
#include "util/Product.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>

using namespace Lunovex;
using Lunovex::Test::control;
using Lunovex::Test::FixtureServer;
using Lunovex::Test::SampleSite;
using Lunovex::Test::ScriptedPrompts;
using Lunovex::Test::waitForPage;

namespace {

const QString kSite = QStringLiteral(LUNOVEX_FIXTURES "/sample-site");

// Confirms the save-folder dialog with folder as soon as it is up.
void confirmSaveFolderWhenAsked(const QString& folder)
{
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, poll, [poll, folder] {
        auto* dialog = qobject_cast<fSeleFileSavePath*>(QApplication::activeModalWidget());
        if (!dialog) return;
        control<QComboBox>(dialog, "Combo1")->setEditText(folder);
        control<QPushButton>(dialog, "Command2")->click();
        poll->deleteLater();
    });
    poll->start(10);
}

} // namespace

class SampleSiteTest : public QObject
{
    Q_OBJECT

    FixtureServer server;

private slots:
    void initTestCase()
    {
        QVERIFY(server.start());
        QVERIFY(SampleSite::install(server, kSite));
        Product::setPublisherHomePage(server.url(SampleSite::homePath()));
        Timing& t = Timing::current();
        t.pageSettle = milliseconds(100);
        t.supervisionTick = milliseconds(20);
        t.schedulingTick = milliseconds(20);
        t.loginWaitShort = milliseconds(200);
    }

    void searchHarvestAnalyseDownload()
    {
        SaveSetting(Setting::DownloadMethod(), QStringLiteral("1"));
        const QString saveFolder = Test::freshFolder(QStringLiteral("papers"));
        ScriptedPrompts prompts;

        // The first opening shows the publisher's home page; a search leads to the first result page.
        auto* w = new fWebSearch;
        w->show();
        Browser* browser = w->browser();
        QVERIFY(waitForPage(browser, server.url(SampleSite::homePath())));
        QVERIFY(control<QCheckBox>(w, "Check2")->isChecked());
        browser->clickElement(QStringLiteral("button"), 0);
        QVERIFY(waitForPage(browser, server.url(QStringLiteral("/action/doSearch?q=cells"))));

        // Every page, with no pause between them; the page cannot be used while the run goes on.
        control<QComboBox>(w, "Combo2")->setCurrentIndex(0);
        auto* harvest = control<QPushButton>(w, "Command4");
        QStringList seenWhileRunning;
        QTimer watch;
        connect(&watch, &QTimer::timeout, this, [&] {
            seenWhileRunning << harvest->text() + (control<QWidget>(w, "PicPanWeb")->isEnabled() ? "+" : "-");
        });
        watch.start(50);
        confirmSaveFolderWhenAsked(saveFolder);
        harvest->click(); // runs to the last page in here
        watch.stop();
        QVERIFY(seenWhileRunning.contains(QStringLiteral("停止加入全部-")));
        QCOMPARE(harvest->text(), QStringLiteral("加入全部到列表"));
        QVERIFY(w->HarvestStopped);
        QVERIFY(control<QWidget>(w, "PicPanWeb")->isEnabled());
        QVERIFY(browser->locationUrl().endsWith(SampleSite::resultsPath(3)));
        for (int page = 2; page <= 3; ++page)
            QCOMPARE(server.requestsFor(SampleSite::resultsPath(page)).size(), 1);

        // Exactly the full-text articles, once each, in page order, with the folder chosen.
        const QList<SampleSite::Article> articles = SampleSite::fullTextArticles();
        ReportList* list = w->harvestList();
        QCOMPARE(list->count(), articles.size());
        for (int i = 0; i < articles.size(); ++i) {
            QCOMPARE(list->text(i), articles[i].title);
            QCOMPARE(list->key(i), server.url(articles[i].pdfPath));
            QCOMPARE(list->cell(i, HarvestSaveFolder), saveFolder + QLatin1Char('/'));
        }

        // "分析下载" with nothing selected hands every entry over.
        control<QPushButton>(w, "Command2")->click();
        for (int i = 0; i < list->count(); ++i)
            QCOMPARE(list->cell(i, HarvestStatus), QStringLiteral("分析完成"));
        auto* downloads = qobject_cast<fFileDownload*>(FindForm(QStringLiteral("fFileDownload")));
        QVERIFY(downloads && downloads->isVisible());
        QCOMPARE(downloads->list()->count(), articles.size());

        // The full texts need a login: the panel logs in with the demo account.
        control<QPushButton>(downloads, "Command1")->click();
        control<QLineEdit>(downloads, "Text1")->setText(server.url(SampleSite::accountLoginPath()));
        control<QLineEdit>(downloads, "Text2")->setText(QStringLiteral("demo"));
        control<QLineEdit>(downloads, "Text3")->setText(QStringLiteral("demo"));
        control<QPushButton>(downloads, "Command5")->click();
        QCOMPARE(server.requestsFor(QStringLiteral("/action/doLogin")).size(), 1);
        control<QPushButton>(downloads, "Command3")->click();

        control<QComboBox>(downloads, "Combo2")->setCurrentText(QStringLiteral("0"));
        control<QPushButton>(downloads, "Command4")->click();
        QVERIFY(EventPump::waitUntil(
            [&] {
                for (int i = 0; i < downloads->list()->count(); ++i)
                    if (downloads->item(i).state() != Finished) return false;
                return !downloads->DownloadBusy();
            },
            milliseconds(60'000)));

        // Named after the titles (what a file name cannot hold left out); the sign-in answer is a page.
        const QByteArray pdf = SampleSite::pdfBody(kSite);
        QStringList expected;
        for (const SampleSite::Article& a : articles) {
            QString name = a.title;
            name.remove(QLatin1Char(':'));
            expected << name + (a.pdfPath == SampleSite::signInPdfPath() ? QStringLiteral(".htm")
                                                                         : QStringLiteral(".pdf"));
        }
        QCOMPARE(expected.filter(QStringLiteral("Coastal erosion models")).size(), 1);
        QStringList onDisk = QDir(saveFolder).entryList(QDir::Files);
        onDisk.sort();
        expected.sort();
        QCOMPARE(onDisk, expected);
        for (const QString& name : expected) {
            QFile file(saveFolder + QLatin1Char('/') + name);
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QByteArray content = file.readAll();
            if (name.endsWith(QLatin1String(".pdf")))
                QCOMPARE(content, pdf);
            else
                QVERIFY(content.contains("Sign in"));
        }

        // The transfers went with the session the browser was given and the login's.
        for (const SampleSite::Article& a : articles) {
            const auto requests = server.requestsFor(a.pdfPath.section(QLatin1Char('?'), 0, 0));
            QVERIFY(!requests.isEmpty());
            for (const auto& r : requests)
                QVERIFY2(r.headers.value("cookie").contains(SampleSite::kSessionCookie) &&
                             r.headers.value("cookie").contains(SampleSite::kLoginCookie),
                         r.path.constData());
        }

        prompts.answer(PromptAnswer::Yes);
        downloads->close();
        w->close();
    }
};

LUNOVEX_TEST_MAIN(SampleSiteTest)
#include "tst_samplesite.moc"
