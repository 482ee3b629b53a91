#include "app/Globals.h"
#include "app/Settings.h"
#include "download/fFileDownload.h"
#include "platform/EventPump.h"
#include "platform/ReportList.h"
#include "support/FixtureServer.h"
#include "support/ScriptedPrompts.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

using Lunovex::Test::FixtureServer;
using Lunovex::Test::Route;
using Lunovex::Test::ScriptedPrompts;

namespace Lunovex {

namespace {

constexpr qint64 kBody = 20000;

struct Behaviour
{
    const char* name;
    Route route;
};

// Servers as they misbehave in the field, each on a path of its own.
QList<Behaviour> behaviours()
{
    const Route pdf = Route::pdf(kBody);
    QList<Behaviour> all;
    all.append({"whole", pdf});
    Route chunked = pdf;
    chunked.chunked = true;
    chunked.chunkBytes = 1000;
    all.append({"chunked-whole", chunked});

    Route cut = pdf;
    cut.closeAfter = 4000;
    all.append({"cut-before-length", cut});
    Route headersOnly = pdf;
    headersOnly.closeAfter = 0;
    all.append({"close-after-headers", headersOnly});
    Route chunkedCut = chunked;
    chunkedCut.closeAfter = 4000; // after the fourth whole chunk, without the last one
    all.append({"chunked-cut", chunkedCut});
    Route chunkedCutInside = chunked;
    chunkedCutInside.closeAfter = 3500; // inside a chunk
    all.append({"chunked-cut-inside", chunkedCutInside});
    Route chunkedReset = chunkedCut;
    chunkedReset.resetOnClose = true;
    all.append({"chunked-reset", chunkedReset});
    Route noLengthClose = pdf;
    noLengthClose.sendLength = false;
    noLengthClose.closeAfter = 4000;
    all.append({"no-length-close", noLengthClose});
    Route noLengthReset = noLengthClose;
    noLengthReset.resetOnClose = true;
    all.append({"no-length-reset", noLengthReset});

    Route redirect = Route::html("<html><body>moved <a href='/sb/whole.pdf'>here</a></body></html>");
    redirect.redirectTo = "/sb/whole.pdf";
    all.append({"redirect-with-body", redirect});
    Route loop;
    loop.redirectTo = "/sb/redirect-loop.pdf";
    all.append({"redirect-loop", loop});
    all.append({"empty", Route::html("")});
    Route garbage;
    garbage.raw = "HELLO THERE\r\nnothing: here\r\n\r\n%PDF-1.4 not really";
    all.append({"garbage-status", garbage});
    Route huge = pdf;
    huge.announcedLength = 2LL * 1024 * 1024 * 1024;
    all.append({"2gb-length", huge});
    Route hugeThenSilent = huge;
    hugeThenSilent.stallAfter = 0; // the length, and not a byte after it
    all.append({"2gb-length-then-silence", hugeThenSilent});
    Route error = Route::html("<html><head><title>Server error</title></head><body>oops</body></html>");
    error.status = 500;
    error.reason = "Internal Server Error";
    all.append({"error-page", error});
    return all;
}

} // namespace

// Every misbehaving server through both methods, in the real window: a finished row is the whole
// file, a failed row leaves nothing under its name.
class ServerBehaviourTest : public QObject
{
    Q_OBJECT

    FixtureServer server;
    QString dir;

private slots:
    void initTestCase()
    {
        QVERIFY(server.start());
        for (const Behaviour& b : behaviours())
            server.route(QStringLiteral("/sb/%1.pdf").arg(QLatin1String(b.name)), b.route);
        Timing& t = Timing::current();
        t.supervisionTick = milliseconds(20);
        t.schedulingTick = milliseconds(20);
        t.downloaderTick = milliseconds(20);
        t.downloaderTimeout = milliseconds(1500);
        t.chunkWait = milliseconds(30);
        t.transferStall = milliseconds(1500);
        t.headerWait = milliseconds(3000);
    }

    void init()
    {
        ResetGlobals();
        SaveSetting(Setting::DuplicateNamePolicy(), QStringLiteral("重命名"));
        dir = Test::freshFolder(QStringLiteral("sb")) + QLatin1Char('/');
    }

    void rowMatchesItsFile_data()
    {
        QTest::addColumn<int>("method");
        QTest::addColumn<QString>("behaviour");
        QTest::addColumn<int>("state");
        QTest::addColumn<QString>("progress");
        QTest::addColumn<QString>("file"); // the name on disk, empty: nothing at all
        QTest::addColumn<QByteArray>("bytes");

        const QByteArray whole = Route::pdfBody(kBody);
        for (int method : {1, 2}) {
            const auto row = [method](const char* behaviour) -> QTestData& {
                return QTest::addRow("%s, method %d", behaviour, method)
                       << method << QString::fromLatin1(behaviour);
            };
            row("whole") << int(Finished) << "100%"
                         << "whole.pdf" << whole;
            row("chunked-whole") << int(Finished) << "100%"
                                 << "chunked-whole.pdf" << whole;
            row("cut-before-length") << int(Failed) << ""
                                     << "" << QByteArray();
            row("close-after-headers") << int(Failed) << ""
                                       << "" << QByteArray();
            row("chunked-cut") << int(Failed) << ""
                               << "" << QByteArray();
            row("chunked-cut-inside") << int(Failed) << ""
                                      << "" << QByteArray();
            row("chunked-reset") << int(Failed) << ""
                                 << "" << QByteArray();
            // A body that ends where the connection ends: a close and a reset read alike to the
            // transport, and what came is taken; the PDF it is not whole, so the row fails after all.
            row("no-length-close") << int(Failed) << "文件不完整"
                                   << "" << QByteArray();
            row("no-length-reset") << int(Failed) << "文件不完整"
                                   << "" << QByteArray();
            row("redirect-with-body") << int(Finished) << "100%"
                                      << "redirect-with-body.pdf" << whole;
            row("redirect-loop") << int(Failed) << ""
                                 << "" << QByteArray();
            row("empty") << int(Failed) << ""
                         << "" << QByteArray();
            row("garbage-status") << int(Failed) << ""
                                  << "" << QByteArray();
            row("2gb-length") << int(Finished) << "大文件，跳过"
                              << "" << QByteArray();
            row("2gb-length-then-silence") << int(Finished) << "大文件，跳过"
                                           << "" << QByteArray();
            row("error-page")
                << int(Finished) << "100%"
                << "error-page.htm"
                << QByteArray("<html><head><title>Server error</title></head><body>oops</body></html>");
        }
    }

    void rowMatchesItsFile()
    {
        QFETCH(int, method);
        QFETCH(QString, behaviour);
        QFETCH(int, state);
        QFETCH(QString, progress);
        QFETCH(QString, file);
        QFETCH(QByteArray, bytes);

        SaveSetting(Setting::DownloadMethod(), QString::number(method));
        ScriptedPrompts prompts;
        auto* w = new fFileDownload;
        w->AddDownloadItem(server.url(QStringLiteral("/sb/%1.pdf").arg(behaviour)), behaviour,
                           QStringLiteral("pdf"), dir, QString());
        const DownloadItem it = w->item(0);
        w->StartDownloads();
        QVERIFY(EventPump::waitUntil(
            [&] { return w->检测是否下载列表完毕() && !w->DownloadBusy() && w->CountLoadedSlots() == 1; },
            milliseconds(20000)));

        QCOMPARE(int(it.state()), state);
        if (!progress.isEmpty()) QCOMPARE(it.ProgressText(), progress);
        const QStringList onDisk = QDir(dir).entryList(QDir::Files);
        if (file.isEmpty()) {
            QCOMPARE(onDisk, QStringList());
        } else {
            QCOMPARE(onDisk, QStringList{file});
            QCOMPARE(Test::readFile(dir + file), bytes);
            QCOMPARE(it.ReceivedText(), QString::number(bytes.size()));
        }
        prompts.answer(PromptAnswer::Yes);
        w->close();
    }

    // A publisher that answers 429 with Retry-After: the row waits again, the run pauses as long as
    // asked (the status bar says so), and the next try fetches the file; nothing of the 429 is kept.
    void publisherPaceIsHonoured_data()
    {
        QTest::addColumn<int>("method");
        QTest::addColumn<int>("status");
        QTest::newRow("429, method 1") << 1 << 429;
        QTest::newRow("429, method 2") << 2 << 429;
        QTest::newRow("503, method 1") << 1 << 503;
        QTest::newRow("503, method 2") << 2 << 503;
    }
    void publisherPaceIsHonoured()
    {
        QFETCH(int, method);
        QFETCH(int, status);
        const QString path = QStringLiteral("/pace/%1-%2.pdf").arg(method).arg(status);
        QList<qint64> askedAt;
        QElapsedTimer clock;
        clock.start();
        server.handle(path, [&](const Test::ReceivedRequest&) {
            askedAt << clock.elapsed();
            if (askedAt.size() > 1) return Route::pdf(kBody);
            Route busy =
                Route::html("<html><head><title>Too many</title></head><body>slow down</body></html>");
            busy.status = status;
            busy.reason = "Too Many Requests";
            busy.headers.append(qMakePair(QByteArray("Retry-After"), QByteArray("1")));
            return busy;
        });
        SaveSetting(Setting::DownloadMethod(), QString::number(method));
        ScriptedPrompts prompts;
        auto* w = new fFileDownload;
        w->AddDownloadItem(server.url(path), QStringLiteral("paced"), QStringLiteral("pdf"), dir, QString());
        const DownloadItem it = w->item(0);
        bool pauseShown = false;
        QTimer watch;
        connect(&watch, &QTimer::timeout, this, [&] {
            pauseShown |= w->findChild<QLabel*>(QStringLiteral("StatusBar1Panel2"))
                              ->text()
                              .startsWith(QStringLiteral("服务器要求暂停下载"));
        });
        watch.start(10);
        w->StartDownloads();
        QVERIFY(EventPump::waitUntil([&] { return it.state() == Finished && !w->DownloadBusy(); },
                                     milliseconds(20000)));
        QCOMPARE(askedAt.size(), 2);
        QVERIFY(askedAt[1] - askedAt[0] >= 900);
        QVERIFY(pauseShown);
        QCOMPARE(QDir(dir).entryList(QDir::Files), QStringList{QStringLiteral("paced.pdf")});
        prompts.answer(PromptAnswer::Yes);
        w->close();
    }
};

} // namespace Lunovex

LUNOVEX_TEST_MAIN(Lunovex::ServerBehaviourTest)
#include "tst_serverbehaviours.moc"
