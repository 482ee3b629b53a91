#include "app/Globals.h"
#include "app/Settings.h"
#include "download/fFileDownload.h"
#include "platform/EventPump.h"
#include "platform/ReportList.h"
#include "support/FixtureServer.h"
#include "support/ScriptedPrompts.h"
#include "support/TestEnvironment.h"
#include "transfer/Downloader.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTimer>

using Lunovex::Test::control;
using Lunovex::Test::FixtureServer;
using Lunovex::Test::Route;
using Lunovex::Test::ScriptedPrompts;

namespace Lunovex {

class MethodTwoTest : public QObject
{
    Q_OBJECT

    FixtureServer server;
    QString dir;

private slots:
    void initTestCase()
    {
        QVERIFY(server.start());
        Timing& t = Timing::current();
        t.supervisionTick = milliseconds(20);
        t.schedulingTick = milliseconds(20);
        t.downloaderTick = milliseconds(20);
        t.downloaderTimeout = milliseconds(400);
        t.transferStall = milliseconds(1000);
    }

    void init()
    {
        ResetGlobals();
        SaveSetting(Setting::DownloadMethod(), QStringLiteral("2"));
        SaveSetting(Setting::DuplicateNamePolicy(), QStringLiteral("重命名"));
        dir = Test::freshFolder(QStringLiteral("m2")) + QLatin1Char('/');
    }

    void downloaderReportsAndCleansTheAddress()
    {
        server.route(QStringLiteral("/d.pdf"), Route::pdf(30000));
        Downloader d;
        QSignalSpy complete(&d, &Downloader::DownloadComplete);
        QSignalSpy progress(&d, &Downloader::DownloadProgress);
        const QString target = dir + QStringLiteral("d.pdf");
        d.BeginDownload(QStringLiteral(" ") + server.url(QStringLiteral("/d.pdf?a=1&AMP;b=2")) +
                            QStringLiteral(" "),
                        target);
        QCOMPARE(Test::readFile(target), QByteArray("\x01\x00", 2)); // the name is reserved at once
        QVERIFY(complete.wait(5000));
        QCOMPARE(complete.first().at(0).toLongLong(), 30000);
        QCOMPARE(complete.first().at(1).toLongLong(), 30000);
        QCOMPARE(complete.first().at(2).toString(), target);
        QVERIFY(!progress.isEmpty());
        QCOMPARE(QFileInfo(target).size(), 30000);
        QCOMPARE(server.requestsFor(QStringLiteral("/d.pdf")).last().path, QByteArray("/d.pdf?a=1&b=2"));
        QCOMPARE(QDir(dir).entryList(QDir::Files), QStringList{QStringLiteral("d.pdf")}); // no temporary left
    }

    void existingFileIsWholeUntilTheBodyHasCome()
    {
        Route slow = Route::pdf(40000);
        slow.throttleBytes = 4000;
        slow.throttleMs = 20;
        server.route(QStringLiteral("/slow.pdf"), slow);
        const QString target = Test::writeFile(dir + QStringLiteral("old.pdf"), "the old file");
        Downloader d;
        QSignalSpy complete(&d, &Downloader::DownloadComplete);
        QSignalSpy progress(&d, &Downloader::DownloadProgress);
        d.BeginDownload(server.url(QStringLiteral("/slow.pdf")), target);
        QVERIFY(progress.wait(5000));
        QCOMPARE(Test::readFile(target), QByteArray("the old file"));
        QVERIFY(complete.wait(5000));
        QCOMPARE(QFileInfo(target).size(), 40000);
    }

    void silentServerTimesOut()
    {
        Route silent = Route::pdf(1000);
        silent.delayMs = 60000;
        server.route(QStringLiteral("/silent.pdf"), silent);
        Downloader d;
        QSignalSpy error(&d, &Downloader::DownloadError);
        d.BeginDownload(server.url(QStringLiteral("/silent.pdf")), dir + QStringLiteral("silent.pdf"));
        QVERIFY(error.wait(5000));
        QCOMPARE(error.first().at(0).toString(), QStringLiteral("超时"));
        // The placeholder that kept the name taken goes with the row that did not get its file.
        QVERIFY(!QFile::exists(dir + QStringLiteral("silent.pdf")));
    }

    void unloadingEndsEverythingSilently()
    {
        Route slow = Route::pdf(400000);
        slow.throttleBytes = 2000;
        slow.throttleMs = 20;
        server.route(QStringLiteral("/long.pdf"), slow);
        QPointer<Downloader> d = new Downloader;
        QSignalSpy complete(d.data(), &Downloader::DownloadComplete);
        QSignalSpy error(d.data(), &Downloader::DownloadError);
        d->BeginDownload(server.url(QStringLiteral("/long.pdf")), dir + QStringLiteral("long.pdf"));
        EventPump::sleep(milliseconds(100));
        d->unload();
        QTRY_VERIFY(d.isNull());
        EventPump::sleep(milliseconds(600)); // longer than the time-out
        QVERIFY(complete.isEmpty());
        QVERIFY(error.isEmpty());
    }

    // Three slots, ten rows: PDFs, an HTML page, one too large, one that gives nothing, two of one name.
    void threeSlotsTenRows()
    {
        for (int i = 1; i <= 6; ++i) {
            Route pdf = Route::pdf(20000 + i);
            pdf.throttleBytes = 4000; // long enough for the slots to be seen side by side
            pdf.throttleMs = 20;
            server.route(QStringLiteral("/two/%1.pdf").arg(i), pdf);
        }
        server.route(QStringLiteral("/two/page.pdf"),
                     Route::html("<html><head><title>Log in</title></head><body>x</body></html>"));
        server.route(QStringLiteral("/two/big.pdf"), Route::pdf(11534336));
        Route nothing = Route::pdf(5000);
        nothing.closeAfter = 0;
        server.route(QStringLiteral("/two/nothing.pdf"), nothing);
        server.route(QStringLiteral("/two/same.pdf"), Route::pdf(3333));

        ScriptedPrompts prompts;
        auto* w = new fFileDownload;
        control<QComboBox>(w, "Combo1")->setCurrentText(QStringLiteral("3"));
        const QStringList paths = {"/two/1.pdf",       "/two/2.pdf", "/two/page.pdf", "/two/big.pdf",
                                   "/two/nothing.pdf", "/two/3.pdf", "/two/same.pdf", "/two/same.pdf?copy",
                                   "/two/5.pdf",       "/two/6.pdf"};
        for (int i = 0; i < paths.size(); ++i) {
            const QString name = paths[i].startsWith(QLatin1String("/two/same"))
                                     ? QStringLiteral("same")
                                     : QStringLiteral("row%1").arg(i);
            w->AddDownloadItem(server.url(paths[i]), name, QStringLiteral("pdf"), dir, QString());
        }
        int mostSlots = 0;
        QTimer watch;
        connect(&watch, &QTimer::timeout, this,
                [&] { mostSlots = std::max(mostSlots, w->CountLoadedSlots() - 1); });
        watch.start(5);
        control<QPushButton>(w, "Command4")->click();
        QVERIFY(EventPump::waitUntil([&] { return w->检测是否下载列表完毕() && w->CountLoadedSlots() == 1; },
                                     milliseconds(20000)));
        QVERIFY(mostSlots <= 3);
        QVERIFY(mostSlots >= 2);

        const auto row = [&](int i) { return w->item(i); };
        QCOMPARE(row(0).state(), Finished);
        QCOMPARE(row(0).SizeText(), QStringLiteral("20001"));
        QCOMPARE(row(0).ProgressText(), QStringLiteral("100%"));
        QCOMPARE(QFileInfo(dir + QStringLiteral("row0.pdf")).size(), 20001);
        QCOMPARE(row(2).state(), Finished);
        QCOMPARE(row(2).Extension(), QStringLiteral("htm")); // written as .pdf, then corrected
        QVERIFY(QFile::exists(dir + QStringLiteral("row2.htm")));
        QCOMPARE(row(3).state(), Finished);
        QCOMPARE(row(3).ProgressText(), QStringLiteral("大文件，跳过"));
        QCOMPARE(row(4).state(), Failed);
        QCOMPARE(row(6).BaseName(), QStringLiteral("same"));
        QCOMPARE(row(7).BaseName(), QStringLiteral("same[001]"));
        QCOMPARE(QFileInfo(dir + QStringLiteral("same.pdf")).size(), 3333);
        QCOMPARE(QFileInfo(dir + QStringLiteral("same[001].pdf")).size(), 3333);
        for (int i : {1, 5, 8, 9})
            QCOMPARE(row(i).state(), Finished);
        QVERIFY(!w->DownloadBusy() || control<QTimer>(w, "Timer_Down")->isActive());
        prompts.answer(PromptAnswer::Yes);
        w->close();
    }

    void badServersEndInTheirStates()
    {
        Route loop;
        loop.redirectTo = "/bad/loop.pdf";
        server.route(QStringLiteral("/bad/loop.pdf"), loop);
        Route error = Route::html("<html><head><title>Server error</title></head><body>oops</body></html>");
        error.status = 500;
        error.reason = "Internal Server Error";
        server.route(QStringLiteral("/bad/500.pdf"), error);
        Route stall = Route::pdf(100000);
        stall.stallAfter = 0;
        server.route(QStringLiteral("/bad/stall.pdf"), stall);
        Route cut = Route::pdf(100000);
        cut.closeAfter = 3000;
        server.route(QStringLiteral("/bad/cut.pdf"), cut);
        server.route(QStringLiteral("/bad/empty.pdf"), Route::html(""));
        server.route(QStringLiteral("/bad/big.pdf"), Route::pdf(11534336)); // over the 10 MB limit

        ScriptedPrompts prompts;
        auto* w = new fFileDownload;
        control<QComboBox>(w, "Combo1")->setCurrentText(QStringLiteral("4"));
        for (const char* name : {"loop", "500", "stall", "cut", "empty", "big"})
            w->AddDownloadItem(server.url(QStringLiteral("/bad/%1.pdf").arg(QString::fromLatin1(name))),
                               QString::fromLatin1(name), QStringLiteral("pdf"), dir, QString());
        w->StartDownloads();
        QVERIFY(EventPump::waitUntil([&] { return w->检测是否下载列表完毕() && w->CountLoadedSlots() == 1; },
                                     milliseconds(20000)));
        QCOMPARE(w->item(0).state(), Failed);   // redirected forever
        QCOMPARE(w->item(1).state(), Finished); // an error page is saved as the page it is
        QCOMPARE(w->item(1).Extension(), QStringLiteral("htm"));
        QCOMPARE(w->item(2).state(), Failed); // timed out
        QCOMPARE(w->item(3).state(), Failed); // cut short, and the whole-file attempt too
        QCOMPARE(w->item(4).state(), Failed); // an empty answer is not the article
        QCOMPARE(w->item(5).ProgressText(), QStringLiteral("大文件，跳过"));
        // A row that does not end with its file leaves nothing under its name: not even the
        // placeholder that kept the name taken while it ran.
        for (const char* name : {"loop", "stall", "cut", "empty", "big"})
            QVERIFY2(!QFile::exists(dir + QString::fromLatin1(name) + QStringLiteral(".pdf")), name);
        prompts.answer(PromptAnswer::Yes);
        w->close();
    }

    void partMadeFolderFailsTheRow()
    {
        server.route(QStringLiteral("/part2.pdf"), Route::pdf(3000));
        ScriptedPrompts prompts;
        auto* w = new fFileDownload;
        w->AddDownloadItem(server.url(QStringLiteral("/part2.pdf")), QStringLiteral("part"),
                           QStringLiteral("pdf"), dir + QStringLiteral("a/?*/"), QString());
        w->StartDownloads();
        QVERIFY(EventPump::waitUntil([&] { return w->检测是否下载列表完毕(); }, milliseconds(20000)));
        QCOMPARE(w->item(0).state(), Failed);
        QCOMPARE(w->item(0).SizeText(), QStringLiteral("下载失败"));
        QVERIFY(prompts.records().isEmpty());
        QVERIFY(QDir(dir + QStringLiteral("a")).entryList(QDir::Files).isEmpty());
        QVERIFY(server.requestsFor(QStringLiteral("/part2.pdf")).isEmpty());
        prompts.answer(PromptAnswer::Yes);
        w->close();
    }

    // "切换" to method one while slots run: the slots finish, then method one takes the rest.
    void switchToMethodOneMidRun()
    {
        Route slow = Route::pdf(60000);
        slow.throttleBytes = 6000;
        slow.throttleMs = 20;
        for (int i = 1; i <= 5; ++i)
            server.route(QStringLiteral("/switch/%1.pdf").arg(i), slow);
        ScriptedPrompts prompts;
        auto* w = new fFileDownload;
        control<QComboBox>(w, "Combo1")->setCurrentText(QStringLiteral("2"));
        for (int i = 1; i <= 5; ++i)
            w->AddDownloadItem(server.url(QStringLiteral("/switch/%1.pdf").arg(i)),
                               QStringLiteral("s%1").arg(i), QStringLiteral("pdf"), dir, QString());
        control<QPushButton>(w, "Command4")->click();
        QVERIFY(EventPump::waitUntil([&] { return w->CountLoadedSlots() == 3; }, milliseconds(5000)));
        control<QPushButton>(w, "Command26")->click();
        QCOMPARE(Globals().DownloadMethod, 1);
        QVERIFY(EventPump::waitUntil([&] { return w->检测是否下载列表完毕() && !w->DownloadBusy(); },
                                     milliseconds(20000)));
        QCOMPARE(w->CountLoadedSlots(), 1);
        for (int i = 0; i < 5; ++i) {
            QCOMPARE(w->item(i).state(), Finished);
            QCOMPARE(QFileInfo(dir + QStringLiteral("s%1.pdf").arg(i + 1)).size(), 60000);
        }
        prompts.answer(PromptAnswer::Yes);
        w->close();
    }

    void stopDuringTransfers()
    {
        Route slow = Route::pdf(400000);
        slow.throttleBytes = 2000;
        slow.throttleMs = 20;
        for (int i = 1; i <= 4; ++i)
            server.route(QStringLiteral("/stop/%1.pdf").arg(i), slow);
        ScriptedPrompts prompts;
        auto* w = new fFileDownload;
        control<QComboBox>(w, "Combo1")->setCurrentText(QStringLiteral("3"));
        for (int i = 1; i <= 4; ++i)
            w->AddDownloadItem(server.url(QStringLiteral("/stop/%1.pdf").arg(i)),
                               QStringLiteral("s%1").arg(i), QStringLiteral("pdf"), dir, QString());
        control<QPushButton>(w, "Command4")->click();
        QVERIFY(EventPump::waitUntil([&] { return w->CountLoadedSlots() == 4; }, milliseconds(5000)));
        QVERIFY(
            EventPump::waitUntil([&] { return w->item(0).ReceivedText().toInt() > 0; }, milliseconds(5000)));
        control<QPushButton>(w, "Command31")->click();
        QCOMPARE(w->CountLoadedSlots(), 1);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(w->item(i).state(), Failed);
        QCOMPARE(w->item(3).state(), Waiting);
        const QString before = w->item(0).ReceivedText();
        EventPump::sleep(milliseconds(300));
        QCOMPARE(w->item(0).ReceivedText(), before); // nothing reports into the rows any more
        QCOMPARE(w->item(0).state(), Failed);
        prompts.answer(PromptAnswer::Yes);
        w->close();
    }
};

} // namespace Lunovex

LUNOVEX_TEST_MAIN(Lunovex::MethodTwoTest)
#include "tst_methodtwo.moc"
