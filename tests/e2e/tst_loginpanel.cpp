#include "app/Globals.h"
#include "app/Settings.h"
#include "download/fFileDownload.h"
#include "platform/Browser.h"
#include "platform/EventPump.h"
#include "platform/ReportList.h"
#include "support/FixtureServer.h"
#include "support/ScriptedPrompts.h"
#include "support/TestEnvironment.h"

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

using Lunovex::Test::control;
using Lunovex::Test::FixtureServer;
using Lunovex::Test::ReceivedRequest;
using Lunovex::Test::Route;
using Lunovex::Test::ScriptedPrompts;

namespace Lunovex {

namespace {

const QByteArray kWelcome = "<html><head><title>Welcome</title></head><body>in</body></html>";

QByteArray page(const QByteArray& body)
{
    return "<html><head><title>Sign in</title></head><body>" + body + "</body></html>";
}

// A journal whose PDFs need a session that lapses after a few files: every login gives a new
// session, and a PDF asked without the current one gets the sign-in page.
struct LapsingSite
{
    int session = 0;
    int servedInSession = 0;
    int perSession = 3;
    QList<QByteArray> cookiesOfPdfs; // the cookie each PDF was asked with

    void install(FixtureServer& server)
    {
        server.route(QStringLiteral("/j/login"),
                     Route::html(page(
                         "<form action='/j/session'><input name='username'>"
                         "<input name='password' type='password'><input type='submit' value='go'></form>")));
        server.handle(QStringLiteral("/j/session"), [this](const ReceivedRequest& r) {
            Route welcome = Route::html(kWelcome);
            if (r.path.contains("username=reader") && r.path.contains("password=s3cret")) {
                ++session;
                servedInSession = 0;
                welcome.setCookie = "sess=" + QByteArray::number(session) + "; Path=/";
            }
            return welcome;
        });
        for (int i = 1; i <= 8; ++i)
            server.handle(QStringLiteral("/j/%1.pdf").arg(i), [this, i](const ReceivedRequest& r) {
                const QByteArray cookie = r.headers.value("cookie");
                const bool valid = session > 0 && cookie.contains("sess=" + QByteArray::number(session)) &&
                                   servedInSession < perSession;
                if (!valid) return Route::html(page("<a href='/j/login'>Sign in</a>"));
                ++servedInSession;
                cookiesOfPdfs.append(cookie);
                return Route::pdf(10000 + i);
            });
    }
};

} // namespace

// The download window's web login against login pages of every kind, and automatic logins when a
// run's session lapses.
class LoginPanelTest : public QObject
{
    Q_OBJECT

    FixtureServer server;
    ScriptedPrompts* prompts = nullptr;
    fFileDownload* w = nullptr;
    QString dir;
    int pageNumber = 0;

    template <typename T> T* c(const char* name) { return control<T>(w, name); }
    Browser* web() { return c<Browser>("Web1"); }

    void setAccount(const QString& address, const QString& user = QStringLiteral("reader"),
                    const QString& password = QStringLiteral("s3cret"))
    {
        c<QLineEdit>("Text1")->setText(address);
        c<QLineEdit>("Text2")->setText(user);
        c<QLineEdit>("Text3")->setText(password);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(server.start());
        server.route(QStringLiteral("/lp/done"), Route::html(kWelcome));
        Timing& t = Timing::current();
        t.loginWaitLong = milliseconds(5000);
        t.loginWaitShort = milliseconds(200);
        t.supervisionTick = milliseconds(20);
        t.schedulingTick = milliseconds(20);
        t.downloaderTick = milliseconds(20);
        t.chunkWait = milliseconds(30);
    }

    void init()
    {
        ResetGlobals();
        dir = Test::freshFolder(QStringLiteral("login")) + QLatin1Char('/');
        prompts = new ScriptedPrompts;
        w = new fFileDownload;
        w->show();
    }

    void cleanup()
    {
        prompts->answer(PromptAnswer::Yes);
        w->close();
        delete prompts;
    }

    void panelControlsAndPlace()
    {
        QVERIFY(!c<QWidget>("PicWebBK")->isVisible());
        QCOMPARE(c<QPushButton>("Command1")->text(), QStringLiteral("网页登录"));
        QCOMPARE(c<QLineEdit>("Text3")->echoMode(), QLineEdit::Password);
        QVERIFY(c<QRadioButton>("Option4")->isChecked());
        QCOMPARE(c<QComboBox>("Combo3")->currentText(), QStringLiteral("下载到网页文件(htm/html/asp)文件"));
        c<QPushButton>("Command1")->click();
        QVERIFY(c<QWidget>("PicWebBK")->isVisible());
        w->resize(w->width() + 40, w->height() + 30);
        QTRY_COMPARE(c<QWidget>("PicWebBK")->geometry(), w->list()->geometry());
        c<QCheckBox>("Check1")->setChecked(true); // refresh every minute
        QVERIFY(c<QTimer>("Timer2")->isActive());
        QCOMPARE(c<QTimer>("Timer2")->interval(), int(Timing::current().loginRefreshTick.count()));
        c<QCheckBox>("Check1")->setChecked(false);
        QVERIFY(!c<QTimer>("Timer2")->isActive());
        c<QPushButton>("Command3")->click();
        QVERIFY(!c<QWidget>("PicWebBK")->isVisible());
    }

    void autoLoginRefusesMissingSettings()
    {
        c<QCheckBox>("Check2")->setChecked(true);
        QVERIFY(!c<QCheckBox>("Check2")->isChecked());
        c<QLineEdit>("Text1")->setText(QStringLiteral("http://127.0.0.1/"));
        c<QCheckBox>("Check2")->setChecked(true);
        QVERIFY(!c<QCheckBox>("Check2")->isChecked());
        QCOMPARE(prompts->messages(),
                 (QStringList{QStringLiteral("必须先设置登录网址！"),
                              QStringLiteral("帐号登录,必须先设置登录帐号和登录密码！")}));
        c<QRadioButton>("Option5")->setChecked(true); // an IP login needs no account
        c<QCheckBox>("Check2")->setChecked(true);
        QVERIFY(c<QCheckBox>("Check2")->isChecked());
    }

    void loginPages_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("ipLogin");
        QTest::addColumn<QByteArray>("submitted"); // the query sent, empty: nothing sent
        const QByteArray form = "<form action='/lp/done'>";
        QTest::newRow("account fields, then the button")
            << form + "<input name='UserName'><input name='Password' type='password'><input "
                      "type='submit'></form>"
            << false << QByteArray("UserName=reader&Password=s3cret");
        QTest::newRow("the button before the fields")
            << form + "<input type='submit'><input name='user'><input name='passwd' type='password'></form>"
            << false << QByteArray();
        QTest::newRow("a single account field")
            << form + "<input name='user'><input type='submit'></form>" << false << QByteArray();
        QTest::newRow("IP login") << form + "<input type='hidden' name='via' value='ip'><input type='submit' "
                                            "id='submitip'></form>"
                                  << true << QByteArray("via=ip");
        QTest::newRow("IP login without its button")
            << form + "<input type='submit' id='other'></form>" << true << QByteArray();
        QTest::newRow("a page that throws and alerts")
            << "<script>alert('x'); throw new Error('no');</script>" + form +
                   "<input name='userid'><input name='pass'><input type='submit'></form>"
            << false << QByteArray("userid=reader&pass=s3cret");
    }

    void loginPages()
    {
        QFETCH(QByteArray, body);
        QFETCH(bool, ipLogin);
        QFETCH(QByteArray, submitted);
        const QString path = QStringLiteral("/lp/form%1.html").arg(++pageNumber);
        server.route(path, Route::html(page(body)));
        setAccount(server.url(path));
        if (ipLogin) c<QRadioButton>("Option5")->setChecked(true);
        const int before = server.requestsFor(QStringLiteral("/lp/done")).size();

        QElapsedTimer timer;
        timer.start();
        c<QPushButton>("Command5")->click();
        QVERIFY(timer.elapsed() >= Timing::current().loginWaitShort.count()); // the pause comes every time
        QVERIFY(c<QPushButton>("Command5")->isEnabled());

        const QList<ReceivedRequest> sent = server.requestsFor(QStringLiteral("/lp/done")).mid(before);
        if (submitted.isEmpty()) {
            QCOMPARE(sent.size(), 0);
        } else {
            QCOMPARE(sent.size(), 1);
            QCOMPARE(sent.first().path, "/lp/done?" + submitted);
        }
    }

    // The typed http address sends the browser to another host: the account stays here.
    void accountOnlyForTheLoginHost()
    {
        server.route(QStringLiteral("/lp/elsewhere.html"),
                     Route::html(page("<form action='/lp/done'><input name='user'><input name='password'>"
                                      "<input type='submit'></form>")));
        Route moved;
        moved.redirectTo =
            QStringLiteral("http://localhost:%1/lp/elsewhere.html").arg(server.port()).toLatin1();
        server.route(QStringLiteral("/lp/moved"), moved);
        setAccount(server.url(QStringLiteral("/lp/moved")));
        const int before = server.requestsFor(QStringLiteral("/lp/done")).size();
        c<QPushButton>("Command5")->click();
        QCOMPARE(server.requestsFor(QStringLiteral("/lp/done")).size(), before);
        QCOMPARE(c<QLabel>("StatusBar1Panel3")->text(),
                 QStringLiteral("登录页既非https也不在登录网址的主机上，未填写帐号"));
    }

    void newWindowOpensInTheLoginBrowser()
    {
        server.route(QStringLiteral("/lp/links.html"),
                     Route::html(page("<a id='out' href='/lp/done' target='_blank'>elsewhere</a>")));
        setAccount(server.url(QStringLiteral("/lp/links.html")));
        c<QPushButton>("Command2")->click();
        web()->runScript(QStringLiteral("document.getElementById('out').click()"));
        QTRY_COMPARE_WITH_TIMEOUT(web()->url().path(), QStringLiteral("/lp/done"), 5000);
        QTRY_COMPARE(c<QLabel>("StatusBar1Panel3")->text(), QStringLiteral("Welcome")); // the page's title
    }

    // Addresses that lead nowhere: the routine ends after its waits, the window keeps serving
    // events, and the automatic login stays armed.
    void badLoginAddresses_data()
    {
        QTest::addColumn<QString>("address");
        QTest::newRow("not an address") << QStringLiteral("::: not a url");
        QTest::newRow("a page that never answers") << QStringLiteral("/lp/silent");
        QTest::newRow("nobody listening") << QStringLiteral("http://127.0.0.1:1/login");
    }
    void badLoginAddresses()
    {
        QFETCH(QString, address);
        Route silent = Route::html(page("x"));
        silent.delayMs = 60000;
        server.route(QStringLiteral("/lp/silent"), silent);
        Timing::current().loginWaitLong = milliseconds(800);
        setAccount(address.startsWith(QLatin1Char('/')) ? server.url(address) : address);
        c<QCheckBox>("Check2")->setChecked(true);
        int ticks = 0;
        QTimer tick;
        connect(&tick, &QTimer::timeout, this, [&] { ++ticks; });
        tick.start(20);
        QElapsedTimer timer;
        timer.start();
        c<QPushButton>("Command5")->click();
        Timing::current().loginWaitLong = milliseconds(5000);
        QVERIFY(timer.elapsed() < 15000);
        QVERIFY(ticks > 10);
        QVERIFY(c<QCheckBox>("Check2")->isChecked());
        QVERIFY(c<QPushButton>("Command5")->isEnabled());
    }

    void secondLoginWhileOneRunsIsIgnored()
    {
        server.route(QStringLiteral("/lp/noform.html"), Route::html(page("<p>no form</p>")));
        setAccount(server.url(QStringLiteral("/lp/noform.html")));
        QTimer::singleShot(50, this, [this] { c<QPushButton>("Command5")->click(); });
        c<QPushButton>("Command5")->click();
        QCOMPARE(server.requestsFor(QStringLiteral("/lp/noform.html")).size(), 1);
    }

    // A run whose session lapses every three files logs in again by itself, re-fetches the rows that
    // came as web pages, and ends with every PDF whole.
    void lapsingSessionEndToEnd_data()
    {
        QTest::addColumn<int>("method");
        QTest::newRow("method one") << 1;
        QTest::newRow("method two, three slots") << 2;
    }
    void lapsingSessionEndToEnd()
    {
        QFETCH(int, method);
        w->close();
        SaveSetting(Setting::DownloadMethod(), QString::number(method));
        SaveSetting(Setting::DuplicateNamePolicy(), QStringLiteral("覆盖"));
        w = new fFileDownload;
        LapsingSite site;
        site.install(server);
        if (method == 2) c<QComboBox>("Combo1")->setCurrentText(QStringLiteral("3"));
        setAccount(server.url(QStringLiteral("/j/login")));
        c<QCheckBox>("Check2")->setChecked(true);
        c<QComboBox>("Combo4")->setCurrentIndex(1); // 文件类型为HTM和HTML项
        c<QCheckBox>("Check3")->setChecked(true);
        for (int i = 1; i <= 8; ++i)
            w->AddDownloadItem(server.url(QStringLiteral("/j/%1.pdf").arg(i)), QStringLiteral("a%1").arg(i),
                               QStringLiteral("pdf"), dir, QString());
        w->StartDownloads();
        const auto allPdf = [&] {
            for (int row = 0; row < w->list()->count(); ++row)
                if (w->item(row).state() != Finished || w->item(row).Extension() != QStringLiteral("pdf"))
                    return false;
            return true;
        };
        QVERIFY(EventPump::waitUntil(allPdf, milliseconds(60000)));
        c<QPushButton>("Command31")->click();
        for (int i = 1; i <= 8; ++i)
            QCOMPARE(QFileInfo(dir + QStringLiteral("a%1.pdf").arg(i)).size(), 10000 + i);
        QVERIFY(site.session >= 3); // it lapsed, and was logged in again
        for (const QByteArray& cookie : site.cookiesOfPdfs)
            QVERIFY(cookie.contains("sess="));
    }
};

} // namespace Lunovex

LUNOVEX_TEST_MAIN(Lunovex::LoginPanelTest)
#include "tst_loginpanel.moc"
