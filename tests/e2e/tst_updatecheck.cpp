#include "app/Globals.h"
#include "app/UpdateCheck.h"
#include "app/fCover.h"
#include "platform/Clock.h"
#include "support/FixtureServer.h"
#include "support/RecordingShell.h"
#include "support/ScriptedPrompts.h"
#include "support/TestEnvironment.h"
#include "transfer/uXMLHTTP.h"
#include "util/Product.h"

#include <QFile>
#include <QLabel>
#include <QSignalSpy>
#include <QTimer>

using Lunovex::Test::control;
using Lunovex::Test::FixtureServer;
using Lunovex::Test::RecordingShell;
using Lunovex::Test::Route;
using Lunovex::Test::ScriptedPrompts;

namespace Lunovex {

// The XMLHTTP control against the fixture server, and the start window's update check on it.
class UpdateCheckTest : public QObject
{
    Q_OBJECT

    FixtureServer server;
    QString dir;

private slots:
    void initTestCase()
    {
        QVERIFY(server.start());
        Timing::current().startWindowDelay = milliseconds(10);
    }

    void init()
    {
        ResetGlobals();
        dir = Test::freshFolder(QStringLiteral("xh")) + QLatin1Char('/');
        qunsetenv("LUNOVEX_MAKER_SITE");
    }

    // 200 with a save file: the body replaces the old file before OnDateArrived; an empty body writes
    // nothing and still raises it; DownOK follows the request.
    void answersAndTheSaveFile()
    {
        server.route(QStringLiteral("/x/file.txt"), Route::html("new body"));
        server.route(QStringLiteral("/x/empty.txt"), Route::html(""));
        const QString target = Test::writeFile(dir + QStringLiteral("saved.txt"), "old body");
        uXMLHTTP x;
        QSignalSpy arrived(&x, &uXMLHTTP::OnDateArrived);
        QSignalSpy polled(&x, &uXMLHTTP::OnReadyStateChange);
        x.SetRequestHeader(QStringLiteral("X-Early"), QStringLiteral("1")); // before Open_: nothing
        QVERIFY(!x.findChild<QTimer*>(QStringLiteral("tmrReader"))->isActive());
        QVERIFY(x.Open_(QStringLiteral("get"), server.url(QStringLiteral("/x/file.txt")), target));
        x.SetRequestHeader(QStringLiteral("X-Late"), QStringLiteral("2"));
        QVERIFY(!x.DownOK());
        x.Send_();
        QVERIFY(x.findChild<QTimer*>(QStringLiteral("tmrReader"))->isActive());
        QVERIFY(arrived.wait(5000));
        QVERIFY(x.DownOK());
        QVERIFY(!polled.isEmpty());
        QVERIFY(!x.findChild<QTimer*>(QStringLiteral("tmrReader"))->isActive()); // idle again
        QCOMPARE(x.Status(), 200);
        QCOMPARE(x.StatusText(), QStringLiteral("OK"));
        QCOMPARE(x.ResponseText(), QStringLiteral("new body"));
        QCOMPARE(Test::readFile(target), QByteArray("new body"));
        const auto sent = server.requestsFor(QStringLiteral("/x/file.txt")).last();
        QVERIFY(!sent.headers.contains("x-early"));
        QCOMPARE(sent.headers.value("x-late"), QByteArray("2"));
        QVERIFY(x.GetAllResponseHeaders().contains(QStringLiteral("Content-Type: text/html")));

        QVERIFY(x.Open_(QStringLiteral("GET"), server.url(QStringLiteral("/x/empty.txt")), dir + "none.txt"));
        x.Send_();
        QVERIFY(arrived.wait(5000));
        QVERIFY(!QFile::exists(dir + QStringLiteral("none.txt")));
    }

    void errorStatusesAndAbort_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("text");
        QTest::newRow("404") << 404 << QStringLiteral("没有发现文件?查询或URl");
        QTest::newRow("418, no description") << 418 << QString();
        QTest::newRow("503") << 503 << QStringLiteral("服务器过载或暂停维修");
    }
    void errorStatusesAndAbort()
    {
        QFETCH(int, status);
        QFETCH(QString, text);
        Route r = Route::html("no");
        r.status = status;
        r.reason = "Whatever";
        server.route(QStringLiteral("/x/status"), r);
        uXMLHTTP x;
        QStringList texts;
        connect(&x, &uXMLHTTP::OnDateErr, this, [&](QString& t) { texts << t; });
        QVERIFY(x.Open_(QStringLiteral("GET"), server.url(QStringLiteral("/x/status"))));
        x.Send_();
        QTRY_COMPARE(texts.size(), 1);
        QCOMPARE(texts.first(), text);
        QVERIFY(x.DownOK());

        Route slow = Route::html("late");
        slow.delayMs = 300;
        server.route(QStringLiteral("/x/slow"), slow);
        QSignalSpy arrived(&x, &uXMLHTTP::OnDateArrived);
        QVERIFY(x.Open_(QStringLiteral("GET"), server.url(QStringLiteral("/x/slow"))));
        x.Send_();
        x.Abort_();
        QTest::qWait(600);
        QCOMPARE(arrived.size(), 0);
        QCOMPARE(texts.size(), 1);
        QVERIFY(!x.Open_(QStringLiteral("GET"), QStringLiteral("not an address"))); // said to the caller
    }

    void versionReplies_data()
    {
        QTest::addColumn<QString>("reply");
        QTest::addColumn<bool>("newer");
        QTest::newRow("1.0.5") << "1.0.5" << true;
        QTest::newRow("1.0.4, the same") << "1.0.4" << false;
        QTest::newRow("1.0.3") << "1.0.3" << false;
        QTest::newRow("two parts") << "1.0" << false;
        QTest::newRow("four parts") << "1.0.5.1" << false;
        QTest::newRow("letters") << "a.b.c" << false;
        QTest::newRow("21 characters") << "1.0.50000000000000000" << false;
        QTest::newRow("spaces and a line end") << " 2.0.0\r\n" << true;
        QTest::newRow("an empty part") << "1..5" << false;
    }
    void versionReplies()
    {
        QFETCH(QString, reply);
        QFETCH(bool, newer);
        QCOMPARE(IsNewerRelease(reply, QStringLiteral("1.0.4")), newer);
    }

    void singlePrecisionSum()
    {
        QCOMPARE(VersionNumber(QStringLiteral("1.0.10000")), VersionNumber(QStringLiteral("1.1.0")));
        QVERIFY(!IsNewerRelease(QStringLiteral("1.0.10000"), QStringLiteral("1.1.0")));
    }

    // The start window asks the maker's site named by the environment; a newer release shows the
    // notice, opens the product page and says so; an error status asks for the network; no site, no
    // request.
    void startWindowChecksOnce_data()
    {
        QTest::addColumn<bool>("siteSet");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("message"); // empty: none
        QTest::newRow("newer") << true << 200 << QByteArray("99.0.0\n")
                               << QStringLiteral("有新版本发布，请下载安装升级！");
        QTest::newRow("the same") << true << 200 << QByteArray("0.0.0") << QString();
        QTest::newRow("server error")
            << true << 500 << QByteArray("oops") << QStringLiteral("请保持网络畅通！");
        QTest::newRow("a megabyte of bytes") << true << 200 << QByteArray(1 << 20, '\x07') << QString();
        QTest::newRow("no site") << false << 200 << QByteArray("99.0.0") << QString();
    }
    void startWindowChecksOnce()
    {
        QFETCH(bool, siteSet);
        QFETCH(int, status);
        QFETCH(QByteArray, reply);
        QFETCH(QString, message);
        Route r = Route::html(reply);
        r.status = status;
        server.route(QStringLiteral("/site/") + Product::executableName() + QStringLiteral("/newver.txt"), r);
        const int before = server.requests().size();
        if (siteSet) qputenv("LUNOVEX_MAKER_SITE", server.url(QStringLiteral("/site")).toUtf8());
        ScriptedPrompts prompts;
        RecordingShell shell;
        {
            fCover cover;
            cover.Form_Load();
            QTest::qWait(400);
            const bool newer = message == QStringLiteral("有新版本发布，请下载安装升级！");
            QCOMPARE(control<QLabel>(&cover, "Label3")->isVisible(), newer);
            if (newer) {
                QCOMPARE(control<QLabel>(&cover, "Label3")->text(),
                         QStringLiteral("有最新版本：V99.0.0可以下载升级。"));
                QCOMPARE(Globals().LatestVersion, QStringLiteral("99.0.0"));
                const QString page = QStringLiteral("openUrl ") + server.url(QStringLiteral("/site/")) +
                                     Product::executableName() + QLatin1Char('/');
                QCOMPARE(shell.calls, QStringList{page});
                QTest::mouseClick(control<QLabel>(&cover, "Label3"), Qt::LeftButton); // opens it again
                QCOMPARE(shell.calls, (QStringList{page, page}));
            }
            QCOMPARE(prompts.messages(), message.isEmpty() ? QStringList() : QStringList{message});
            cover.hide();
        }
        QCOMPARE(server.requests().size() - before, siteSet ? 1 : 0);
        qunsetenv("LUNOVEX_MAKER_SITE");
    }
};

} // namespace Lunovex

LUNOVEX_TEST_MAIN(Lunovex::UpdateCheckTest)
#include "tst_updatecheck.moc"
