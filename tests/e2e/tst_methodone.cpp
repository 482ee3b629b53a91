#include "app/Globals.h"
#include "app/Settings.h"
#include "download/fFileDownload.h"
#include "platform/Clock.h"
#include "platform/EventPump.h"
#include "platform/Inet.h"
#include "platform/ReportList.h"
#include "platform/SoundOutput.h"
#include "support/FixtureServer.h"
#include "support/ScriptedPrompts.h"
#include "support/TestEnvironment.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTcpServer>

using Lunovex::Test::control;
using Lunovex::Test::FixtureServer;
using Lunovex::Test::Route;
using Lunovex::Test::ScriptedPrompts;

namespace Lunovex {

namespace {

// A PDF that takes about two seconds, so that a test can act while it comes in.
Route slowPdf()
{
    Route r = Route::pdf(400000);
    r.throttleBytes = 4096;
    r.throttleMs = 20;
    return r;
}

QStringList filesIn(const QString& dir)
{
    return QDir(dir).entryList(QDir::Files, QDir::Name);
}

struct Expect
{
    ItemState state;
    QString size, received, progress;
};

} // namespace

// Method one row by row against the fixture server, and a whole run through the window.
class MethodOneTest : public QObject
{
    Q_OBJECT

    FixtureServer server;
    QString dir;
    fFileDownload* w = nullptr;
    QStringList sounds;
    ScriptedPrompts* prompts = nullptr;

    // Adds a row for the path and runs the scheduler until the list is finished.
    DownloadItem download(const QString& path, const QString& name, const QString& referer = {})
    {
        w->AddDownloadItem(server.url(path), name, QStringLiteral("pdf"), dir, referer);
        const DownloadItem it = w->item(w->list()->count() - 1);
        w->StartDownloads();
        const bool done = EventPump::waitUntil(
            [&] { return w->检测是否下载列表完毕() && !w->DownloadBusy(); }, milliseconds(20000));
        if (!done) qWarning("the run did not finish");
        return it;
    }

    static void check(const DownloadItem& it, const Expect& e)
    {
        QCOMPARE(it.state(), e.state);
        QCOMPARE(it.SizeText(), e.size);
        QCOMPARE(it.ReceivedText(), e.received);
        QCOMPARE(it.ProgressText(), e.progress);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(server.start());
        Timing& t = Timing::current();
        t.supervisionTick = milliseconds(20);
        t.schedulingTick = milliseconds(20);
        t.chunkWait = milliseconds(30);
        t.transferStall = milliseconds(700);
        t.headerWait = milliseconds(3000);
        SoundOutput::setTestListener(
            [this](const QString& path) { sounds.append(QFileInfo(path).fileName()); });
    }

    void init()
    {
        ResetGlobals();
        SaveSetting(Setting::DownloadMethod(), QStringLiteral("1"));
        SaveSetting(Setting::DuplicateNamePolicy(), QStringLiteral("重命名"));
        dir = Test::freshFolder(QStringLiteral("m1")) + QLatin1Char('/');
        prompts = new ScriptedPrompts;
        w = new fFileDownload;
        sounds.clear();
    }

    void cleanup()
    {
        prompts->answer(PromptAnswer::Yes);
        w->close();
        delete prompts;
    }

    void connectionSettings_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<int>("port");
        QTest::addColumn<int>("protocol");
        QTest::newRow("port in the address") << "http://host:8080/doc.pdf" << 8080 << int(Inet::icHTTP);
        QTest::newRow("https") << "https://host/doc.pdf" << 443 << int(Inet::icHTTPS);
        QTest::newRow("plain http") << "http://host/doc.pdf" << 80 << int(Inet::icHTTP);
        QTest::newRow("port not numeric") << "http://host:abc/doc.pdf" << 80 << int(Inet::icHTTP);
        QTest::newRow("no path") << "http://host:81" << 80 << int(Inet::icHTTP);
    }
    void connectionSettings()
    {
        QFETCH(QString, address);
        QFETCH(int, port);
        QFETCH(int, protocol);
        w->configureConnection(address);
        QCOMPARE(w->Inet1->RemotePort, port);
        QCOMPARE(w->Inet1->Protocol, protocol);
        QCOMPARE(w->Inet1->AccessType, int(Inet::icUseDefault));

        Globals().ProxyEnabled = 1;
        Globals().ProxyAddress = QStringLiteral("proxy.example.org");
        Globals().ProxyPort = QStringLiteral("3128");
        w->configureConnection(QStringLiteral("http://host/doc.pdf"));
        QCOMPARE(w->Inet1->AccessType, int(Inet::icNamedProxy));
        QCOMPARE(w->Inet1->Proxy, QStringLiteral("proxy.example.org:3128"));
        QCOMPARE(w->Inet1->RemotePort, 3128);
    }

    void completeWithAnnouncedLength()
    {
        server.route(QStringLiteral("/ok.pdf"), Route::pdf(5000));
        const DownloadItem it = download(QStringLiteral("/ok.pdf"), QStringLiteral("Cells: a study?"));
        check(it, {Finished, "5000", "5000", "100%"});
        QCOMPARE(it.BaseName(), QStringLiteral("Cells a study"));
        QCOMPARE(filesIn(dir), QStringList{QStringLiteral("Cells a study.pdf")});
        QCOMPARE(QFileInfo(dir + QStringLiteral("Cells a study.pdf")).size(), 5000);
        // No referring page: the address's site root.
        QCOMPARE(server.requestsFor(QStringLiteral("/ok.pdf")).last().headers.value("referer"),
                 server.url(QString()).toLatin1());
        QCOMPARE(control<QLabel>(w, "StatusBar1Panel2")->text(), QStringLiteral("完成下载:Cells a study"));
        QCOMPARE(control<QLabel>(w, "StatusBar1Panel3")->text(),
                 QStringLiteral("12 该请求已经完成，并且所有数据均已接收到。"));
    }

    void completeWithoutLength_data()
    {
        QTest::addColumn<QByteArray>("reason");
        QTest::newRow("200 OK") << QByteArray("OK");
        QTest::newRow("200 ok in lower case") << QByteArray("ok");
    }
    void completeWithoutLength()
    {
        QFETCH(QByteArray, reason);
        Route r = Route::pdf(9000);
        r.chunked = true;
        r.reason = reason;
        const QString path = QStringLiteral("/nolength-%1.pdf").arg(QString::fromLatin1(reason));
        server.route(path, r);
        const DownloadItem it = download(path, QStringLiteral("n"), QStringLiteral("https://h/results"));
        check(it, {Finished, "9000", "9000", "100%"});
        QCOMPARE(server.requestsFor(path).last().headers.value("referer"), QByteArray("https://h/results"));
        QCOMPARE(server.requestsFor(path).size(), 1); // no fallback
    }

    void announcedLengthOverTheLimit()
    {
        server.route(QStringLiteral("/big.pdf"), Route::pdf(11534336));
        const DownloadItem it = download(QStringLiteral("/big.pdf"), QStringLiteral("big"));
        check(it, {Finished, "", "", "大文件，跳过"});
        QVERIFY(filesIn(dir).isEmpty());
    }

    void receivedSizeOverTheLimit()
    {
        Globals().MaxFileSizeMB = 0.01;
        Route r = Route::pdf(100000);
        r.chunked = true;
        server.route(QStringLiteral("/growing.pdf"), r);
        const DownloadItem it = download(QStringLiteral("/growing.pdf"), QStringLiteral("growing"));
        QCOMPARE(it.state(), Finished);
        QCOMPARE(it.SizeText(), QStringLiteral("未知"));
        QCOMPARE(it.ProgressText(), QStringLiteral("大文件，跳过"));
        QVERIFY(it.ReceivedText().toInt() > 10485);
        // The part is not the article: left under its name it would pass for the file ("跳过").
        QVERIFY(filesIn(dir).isEmpty());
    }

    void noHeaderBlock()
    {
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost, 0));
        const QString address = QStringLiteral("http://127.0.0.1:%1/x.pdf").arg(closed.serverPort());
        closed.close();
        w->AddDownloadItem(address, QStringLiteral("x"), QStringLiteral("pdf"), dir, QString());
        w->StartDownloads();
        QVERIFY(EventPump::waitUntil([&] { return w->检测是否下载列表完毕() && !w->DownloadBusy(); },
                                     milliseconds(10000)));
        check(w->item(0), {Failed, "", "", ""});
        QVERIFY(filesIn(dir).isEmpty());
    }

    void stallFailsAndDeletes()
    {
        Route r = Route::pdf(100000);
        r.stallAfter = 4096;
        server.route(QStringLiteral("/stall.pdf"), r);
        const DownloadItem it = download(QStringLiteral("/stall.pdf"), QStringLiteral("stall"));
        check(it, {Failed, "下载失败", "4096", "4%"});
        QVERIFY(filesIn(dir).isEmpty());
    }

    void connectionClosedEarlyFailsAtOnce_data()
    {
        QTest::addColumn<bool>("chunked");
        QTest::newRow("announced length") << false;
    }
    void connectionClosedEarlyFailsAtOnce()
    {
        QFETCH(bool, chunked);
        Timing::current().transferStall = milliseconds(60'000); // must not be what ends it
        Route r = Route::pdf(100000);
        r.chunked = chunked;
        r.closeAfter = 6000;
        server.route(QStringLiteral("/cut.pdf"), r);
        QElapsedTimer timer;
        timer.start();
        const DownloadItem it = download(QStringLiteral("/cut.pdf"), QStringLiteral("cut"));
        Timing::current().transferStall = milliseconds(700);
        QVERIFY(timer.elapsed() < 10000);
        QCOMPARE(it.state(), Failed);
        QCOMPARE(it.SizeText(), QStringLiteral("下载失败"));
        QVERIFY(filesIn(dir).isEmpty());
    }

    void stopDuringTheTransfer()
    {
        server.route(QStringLiteral("/slow.pdf"), slowPdf());
        w->AddDownloadItem(server.url(QStringLiteral("/slow.pdf")), QStringLiteral("slow"),
                           QStringLiteral("pdf"), dir, QString());
        const DownloadItem it = w->item(0);
        // The transfer runs inside the scheduling tick, so the stop must come as an event, as a
        // click of the user's would.
        bool partialSeen = false;
        QTimer user;
        connect(&user, &QTimer::timeout, this, [&] {
            if (it.ReceivedText().toInt() > 8000 && !partialSeen) {
                partialSeen = QFile::exists(dir + QStringLiteral("slow.pdf"));
                control<QPushButton>(w, "Command31")->click();
            }
        });
        user.start(10);
        control<QPushButton>(w, "Command4")->click();
        EventPump::waitUntil([&] { return it.SizeText() == QStringLiteral("下载取消"); },
                             milliseconds(10000));
        QCOMPARE(it.SizeText(), QStringLiteral("下载取消"));
        QVERIFY(partialSeen);
        QCOMPARE(it.state(), Failed);
        QVERIFY(it.ProgressText().endsWith(QLatin1Char('%')));
        QVERIFY(filesIn(dir).isEmpty());
        QVERIFY(!w->DownloadBusy());
    }

    void closingDuringATransferWaitsForIt()
    {
        server.route(QStringLiteral("/closing.pdf"), slowPdf());
        w->AddDownloadItem(server.url(QStringLiteral("/closing.pdf")), QStringLiteral("closing"),
                           QStringLiteral("pdf"), dir, QString());
        QPointer<fFileDownload> window = w;
        bool closed = false;
        QTimer user;
        connect(&user, &QTimer::timeout, this, [&] {
            if (!closed && window && window->item(0).ReceivedText().toInt() > 8000) {
                closed = true;
                prompts->answer(PromptAnswer::Yes); // "要强制关闭窗口吗？"
                window->close();
            }
        });
        user.start(10);
        w->StartDownloads();
        QVERIFY(EventPump::waitUntil([&] { return window.isNull(); }, milliseconds(10000)));
        QVERIFY(closed);
        QVERIFY(filesIn(dir).isEmpty()); // the part went with the cancelled transfer
        w = new fFileDownload;           // for cleanup()
    }

    // An answer with neither a length nor "200 OK" is fetched again whole.
    void fallbackFetchesTheWholeBody()
    {
        Route page = Route::html("<html><head><title>Not here</title></head><body>gone</body></html>");
        page.status = 404;
        page.reason = "Not Found";
        page.sendLength = false;
        server.route(QStringLiteral("/gone.pdf"), page);
        const DownloadItem it = download(QStringLiteral("/gone.pdf"), QStringLiteral("gone"));
        check(it, {Finished, "66", "66", "100%"});
        QCOMPARE(it.Extension(), QStringLiteral("htm"));
        QCOMPARE(server.requestsFor(QStringLiteral("/gone.pdf")).size(), 2);

        Route nothing = page;
        nothing.body.clear();
        server.route(QStringLiteral("/nothing.pdf"), nothing);
        const DownloadItem empty = download(QStringLiteral("/nothing.pdf"), QStringLiteral("empty"));
        check(empty, {Failed, "", "", ""});
        QVERIFY(filesIn(dir) == QStringList{QStringLiteral("gone.htm")});
    }

    // An empty answer is not the article, under this method as under the other.
    void emptyAnswerFails()
    {
        server.route(QStringLiteral("/empty.pdf"), Route::html(""));
        const DownloadItem it = download(QStringLiteral("/empty.pdf"), QStringLiteral("nothing"));
        QCOMPARE(it.state(), Failed);
        QVERIFY(filesIn(dir).isEmpty());
    }

    void fileCannotBeCreated()
    {
        QDir(dir).mkpath(QStringLiteral("taken.pdf")); // a folder where the file should go
        server.route(QStringLiteral("/taken.pdf"), Route::pdf(3000));
        const DownloadItem it = download(QStringLiteral("/taken.pdf"), QStringLiteral("taken"));
        check(it, {Failed, "下载失败", "0", ""});
    }

    // A folder that can be made only part of the way: the row fails, nothing lands in the part
    // made, and no box comes up from inside the transfer.
    void partMadeFolderFailsTheRow()
    {
        server.route(QStringLiteral("/part.pdf"), Route::pdf(3000));
        w->AddDownloadItem(server.url(QStringLiteral("/part.pdf")), QStringLiteral("part"),
                           QStringLiteral("pdf"), dir + QStringLiteral("a/?*/"), QString());
        const DownloadItem it = w->item(0);
        w->StartDownloads();
        QVERIFY(EventPump::waitUntil([&] { return w->检测是否下载列表完毕() && !w->DownloadBusy(); },
                                     milliseconds(20000)));
        QCOMPARE(it.state(), Failed);
        QCOMPARE(it.SizeText(), QStringLiteral("下载失败"));
        QVERIFY(prompts->records().isEmpty());
        QVERIFY(QDir(dir + QStringLiteral("a")).entryList(QDir::Files).isEmpty());
    }

    void oldFileCannotBeReplaced()
    {
        control<QRadioButton>(w, "Option2")->setChecked(true); // 覆盖
        const QString old = dir + QStringLiteral("locked.pdf");
        QFile f(old);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(321, 'o'));
        f.close();
        if (QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), old}) != 0)
            QSKIP("this file system cannot make a file undeletable");
        server.route(QStringLiteral("/locked.pdf"), Route::pdf(3000));
        const DownloadItem it = download(QStringLiteral("/locked.pdf"), QStringLiteral("locked"));
        QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), old});
        check(it, {Failed, "321", "321", "无法替换"});
        QCOMPARE(QFileInfo(old).size(), 321);
    }

    void busyControlLeavesTheRowWaiting()
    {
        w->AddDownloadItem(server.url(QStringLiteral("/ok.pdf")), QStringLiteral("later"),
                           QStringLiteral("pdf"), dir, QString());
        {
            const Guard::Lock running(w->methodOneTransfer_); // as if a transfer were on the stack
            QVERIFY(w->DownloadBusy());
            w->Inet下载当前文件(w->item(0));
        }
        QCOMPARE(w->item(0).state(), Waiting);
        QCOMPARE(w->item(0).SizeText(), QStringLiteral("等待重新下载"));
        QCOMPARE(w->统计未下载项数目(), 0);
        QVERIFY(!w->DownloadBusy());
    }

    void soundsAtTheirMoments()
    {
        control<QCheckBox>(w, "Check6")->setChecked(true);
        server.route(QStringLiteral("/login.pdf"),
                     Route::html("<html><head><title>Log in</title></head><body>x</body></html>"));
        const DownloadItem page = download(QStringLiteral("/login.pdf"), QStringLiteral("login"));
        QCOMPARE(page.state(), Finished);
        QCOMPARE(page.Extension(), QStringLiteral("htm"));
        QVERIFY(QFile::exists(dir + QStringLiteral("login.htm")));
        QVERIFY(EventPump::waitUntil([&] { return sounds.contains(QStringLiteral("102.wav")); },
                                     milliseconds(3000)));
        QCOMPARE(sounds.first(), QStringLiteral("101.wav"));

        sounds.clear();
        Route r = Route::pdf(100000);
        r.stallAfter = 100;
        server.route(QStringLiteral("/dead.pdf"), r);
        download(QStringLiteral("/dead.pdf"), QStringLiteral("dead"));
        QCOMPARE(sounds.first(), QStringLiteral("103.wav"));
    }

    void schedulerStartStopAndAutomaticOptions()
    {
        // An empty list: the first tick ends the run again.
        w->StartDownloads();
        QVERIFY(EventPump::waitUntil([&] { return !control<QTimer>(w, "Timer_Down")->isActive(); },
                                     milliseconds(2000)));

        // Automatic start: rows waiting and the box ticked start a run by themselves.
        server.route(QStringLiteral("/auto.pdf"), Route::pdf(1000));
        w->AddDownloadItem(server.url(QStringLiteral("/auto.pdf")), QStringLiteral("auto"),
                           QStringLiteral("pdf"), dir, QString());
        control<QCheckBox>(w, "Check4")->setChecked(true);
        QVERIFY(EventPump::waitUntil([&] { return w->item(0).state() == Finished; }, milliseconds(5000)));

        // Stop clears both automatic options, so nothing restarts the run.
        control<QCheckBox>(w, "Check3")->setChecked(true);
        control<QPushButton>(w, "Command31")->click();
        QVERIFY(!control<QCheckBox>(w, "Check4")->isChecked());
        QVERIFY(!control<QCheckBox>(w, "Check3")->isChecked());
        QVERIFY(!control<QTimer>(w, "Timer_Down")->isActive());
    }

    void skippedRowsAreMarkedWithoutAnyRequest()
    {
        control<QRadioButton>(w, "Option1")->setChecked(true); // 跳过
        for (const char* name : {"have1", "have2"}) {
            QFile f(dir + QString::fromLatin1(name) + QStringLiteral(".pdf"));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(QByteArray(77, 'x'));
        }
        for (const char* name : {"have1", "have2", "new3"}) {
            server.route(QStringLiteral("/skip/%1.pdf").arg(QString::fromLatin1(name)), Route::pdf(2000));
            w->AddDownloadItem(server.url(QStringLiteral("/skip/%1.pdf").arg(QString::fromLatin1(name))),
                               QString::fromLatin1(name), QStringLiteral("pdf"), dir.chopped(1), QString());
        }
        w->StartDownloads();
        QVERIFY(EventPump::waitUntil([&] { return w->检测是否下载列表完毕() && !w->DownloadBusy(); },
                                     milliseconds(10000)));
        check(w->item(0), {Finished, "77", "77", "已存在，跳过"});
        check(w->item(1), {Finished, "77", "77", "已存在，跳过"});
        check(w->item(2), {Finished, "2000", "2000", "100%"});
        QCOMPARE(w->item(0).TargetFolder(), dir); // given its separator
        QVERIFY(server.requestsFor(QStringLiteral("/skip/have1.pdf")).isEmpty());
        QVERIFY(server.requestsFor(QStringLiteral("/skip/have2.pdf")).isEmpty());
    }

    void intervalBetweenTransfers()
    {
        control<QComboBox>(w, "Combo2")->setCurrentText(QStringLiteral("1"));
        server.route(QStringLiteral("/gap/1.pdf"), Route::pdf(1000));
        server.route(QStringLiteral("/gap/2.pdf"), Route::pdf(1000));
        w->AddDownloadItem(server.url(QStringLiteral("/gap/1.pdf")), QStringLiteral("g1"),
                           QStringLiteral("pdf"), dir, QString());
        w->AddDownloadItem(server.url(QStringLiteral("/gap/2.pdf")), QStringLiteral("g2"),
                           QStringLiteral("pdf"), dir, QString());
        w->LastFinishTime = Clock::seconds() - 10; // the window has been open a while
        w->StartDownloads();
        QVERIFY(EventPump::waitUntil([&] { return w->item(0).state() == Finished; }, milliseconds(5000)));
        const double firstEnded = Clock::seconds();
        QVERIFY(EventPump::waitUntil([&] { return w->item(1).state() == Finished; }, milliseconds(5000)));
        QVERIFY(Clock::seconds() - firstEnded >= 0.9);
    }

    void stopAfterFiveProblemRows()
    {
        Timing::current().supervisionTick = milliseconds(5);
        control<QTimer>(w, "Timer1")->setInterval(Timing::current().supervisionTick);
        control<QTimer>(w, "Timer_Down")->setInterval(milliseconds(150));
        control<QCheckBox>(w, "Check5")->setChecked(true);
        for (int i = 1; i <= 8; ++i) // no routes: every one is a 404 page
            w->AddDownloadItem(server.url(QStringLiteral("/problem/%1.pdf").arg(i)),
                               QStringLiteral("p%1").arg(i), QStringLiteral("pdf"), dir, QString());
        w->StartDownloads();
        QVERIFY(EventPump::waitUntil([&] { return !control<QTimer>(w, "Timer_Down")->isActive(); },
                                     milliseconds(10000)));
        EventPump::sleep(milliseconds(300));
        QCOMPARE(w->CountProblemItems(), 5);
        for (int i = 5; i < 8; ++i)
            QCOMPARE(w->item(i).state(), Waiting);
        Timing::current().supervisionTick = milliseconds(20);
    }

    // Twenty rows through the real window: PDFs, a login page behind a .pdf address, one too large,
    // one that stalls, a 404 page and a PDF without a length.
    void wholeRun()
    {
        for (int i = 1; i <= 15; ++i)
            server.route(QStringLiteral("/run/%1.pdf").arg(i), Route::pdf(2000 + 1000 * i));
        server.route(
            QStringLiteral("/run/16.pdf"),
            Route::html("<html><head><title>Sign in</title></head><body><form>login</form></body></html>"));
        server.route(QStringLiteral("/run/17.pdf"), Route::pdf(11534336));
        Route stall = Route::pdf(50000);
        stall.stallAfter = 1000;
        server.route(QStringLiteral("/run/18.pdf"), stall);
        // 19 has no route: a 404 page.
        Route chunked = Route::pdf(12345);
        chunked.chunked = true;
        server.route(QStringLiteral("/run/20.pdf"), chunked);

        for (int i = 1; i <= 20; ++i) {
            // Row 2 has row 1's title: the same-name policy numbers it.
            const QString title = QStringLiteral("Article %1: part/%1?").arg(i == 2 ? 1 : i);
            w->AddDownloadItem(server.url(QStringLiteral("/run/%1.pdf?needAccess=true").arg(i)), title,
                               QStringLiteral("pdf"), dir, QStringLiteral("https://h/results"));
        }
        w->show();
        control<QPushButton>(w, "Command4")->click();
        QVERIFY(EventPump::waitUntil(
            [&] { return w->检测是否下载列表完毕() && !control<QTimer>(w, "Timer_Down")->isActive(); },
            milliseconds(60000)));
        EventPump::sleep(milliseconds(60)); // a supervision tick writes the last counts

        for (int i = 1; i <= 15; ++i) {
            const DownloadItem it = w->item(i - 1);
            const QString size = QString::number(2000 + 1000 * i);
            check(it, {Finished, size, size, "100%"});
        }
        QCOMPARE(w->item(0).BaseName(), QStringLiteral("Article 1 part1"));
        QCOMPARE(w->item(1).BaseName(), QStringLiteral("Article 1 part1[001]"));
        QCOMPARE(w->item(15).state(), Finished);
        QCOMPARE(w->item(15).Extension(), QStringLiteral("htm"));
        check(w->item(16), {Finished, "", "", "大文件，跳过"});
        QCOMPARE(w->item(17).state(), Failed);
        QCOMPARE(w->item(17).SizeText(), QStringLiteral("下载失败"));
        QCOMPARE(w->item(18).state(), Finished); // an error page is read like a file
        QCOMPARE(w->item(18).Extension(), QStringLiteral("htm"));
        check(w->item(19), {Finished, "12345", "12345", "100%"});

        QStringList expected;
        for (int i = 1; i <= 20; ++i) {
            if (i == 17 || i == 18) continue;
            const QString name =
                i == 2 ? QStringLiteral("Article 1 part1[001]") : QStringLiteral("Article %1 part%1").arg(i);
            expected.append(name + (i == 16 || i == 19 ? QStringLiteral(".htm") : QStringLiteral(".pdf")));
        }
        expected.sort();
        QCOMPARE(filesIn(dir), expected);
        QCOMPARE(QFileInfo(dir + QStringLiteral("Article 20 part20.pdf")).size(), 12345);
        QCOMPARE(control<QLabel>(w, "StatusBar1Panel4")->text(),
                 QStringLiteral("总数:20 正在下载:0 等待:0 已完成:19 失败:1"));
    }
};

} // namespace Lunovex

LUNOVEX_TEST_MAIN(Lunovex::MethodOneTest)
#include "tst_methodone.moc"
