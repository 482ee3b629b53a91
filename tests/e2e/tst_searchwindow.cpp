#include "app/Globals.h"
#include "app/Settings.h"
#include "harvest/fWebSearch.h"
#include "platform/Browser.h"
#include "platform/EventPump.h"
#include "platform/Inet.h"
#include "platform/Network.h"
#include "platform/ReportList.h"
#include "support/FixtureServer.h"
#include "support/PageWait.h"
#include "support/ScriptedPrompts.h"
#include "support/TestEnvironment.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QNetworkCookie>
#include <QNetworkCookieJar>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTimer>
#include <QWebEngineProfile>

using namespace Lunovex;
using Lunovex::Test::control;
using Lunovex::Test::FixtureServer;
using Lunovex::Test::Route;
using Lunovex::Test::ScriptedPrompts;
using Lunovex::Test::waitForPage;

namespace {

QStringList entries(const QComboBox* combo)
{
    QStringList list;
    for (int i = 0; i < combo->count(); ++i)
        list << combo->itemText(i);
    return list;
}

// The captions of a menu in order, a separator as "-".
QStringList captions(const QMenu* menu)
{
    QStringList list;
    for (const QAction* a : menu->actions())
        list << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return list;
}

} // namespace

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
        server.route(QStringLiteral("/popup"),
                     Route::html("<html><body><script>window.open('/target');</script></body></html>"));
        server.route(QStringLiteral("/target"), Route::html("<html><head><title>Target</title></head><body>"
                                                            "<p>the page asked for</p></body></html>"));
    }

    void init() { SaveSetting(Setting::SearchPageUrl(), QString()); }

    void menusInTheirOrder()
    {
        fWebSearch w;
        QStringList bar;
        for (const QAction* a : w.menuBar()->actions())
            bar << a->text() + (a->isVisible() ? QString() : QStringLiteral(" (hidden)"));
        QCOMPARE(bar, (QStringList{"加入 (hidden)", "浏览(&B)", "清除(&C)", "工具(&T)", "帮助(&H)"}));
        QCOMPARE(captions(control<QMenu>(&w, "menu浏览")),
                 (QStringList{"打开Marlow && Vance查询首页", "打开指定网址...", "打开本地网页文件", "-",
                              "后退", "前进", "-", "关闭本窗口"}));
        QCOMPARE(captions(control<QMenu>(&w, "menu工具")),
                 (QStringList{"设置", "设置下载保存路径", "打开下载窗口", "-", "查看IE浏览器缓存",
                              "清空IE浏览器缓存", "网页源码另存为", "显示当前网址"}));
        QCOMPARE(captions(control<QMenu>(&w, "menu帮助")),
                 (QStringList{"关于(&A)", "-", "最新版本", "使用方法", "售后服务", "作者网站", "软件定制"}));
        QCOMPARE(captions(control<QMenu>(&w, "menu作者网站")), (QStringList{"辰星软件", "墨舟软件"}));
        QCOMPARE(w.minimumSize(), QSize(600, 333));
    }

    void historyRules()
    {
        fWebSearch w;
        auto* history = control<QComboBox>(&w, "Combo1");
        history->setEditText(QStringLiteral("typed by hand"));
        for (const char* address : {"about:blank", "ABOUT:BLANK", "", "http://h/Page", "HTTP://H/page",
                                    "https://lunovex.example.org/x", "http://mirror/?from=MOZHOU.example.org",
                                    "http://h/other", "http://h/page"})
            w.记录url(QString::fromUtf8(address));
        QCOMPARE(entries(history), (QStringList{"http://h/Page", "http://h/other"}));
        QVERIFY(w.查找Combo1(QStringLiteral("http://H/OTHER")));
        QCOMPARE(history->currentText(), QStringLiteral("typed by hand"));
        control<QPushButton>(&w, "Command1")->click();
        QCOMPARE(history->count(), 0);
    }

    void newWindowOpensInTheSameBrowser()
    {
        fWebSearch w;
        w.show();
        w.browser()->navigate(server.url(QStringLiteral("/popup")));
        QVERIFY(waitForPage(w.browser(), server.url(QStringLiteral("/target"))));
        QCOMPARE(
            entries(control<QComboBox>(&w, "Combo1")).filter(server.url(QStringLiteral("/target"))).size(),
            1);
        const QWidgetList windows = QApplication::topLevelWidgets();
        QCOMPARE(std::count_if(windows.begin(), windows.end(), [](QWidget* t) { return t->isVisible(); }), 1);
        QVERIFY(w.statusBar()->isVisible());
        // The maker's own pages go without the status bar.
        w.browser()->navigate(QStringLiteral("https://lunovex.example.org/"));
        QVERIFY(EventPump::waitUntil([&] { return !w.statusBar()->isVisible(); }, milliseconds(10'000)));
        QVERIFY(entries(control<QComboBox>(&w, "Combo1")).filter(QStringLiteral("lunovex")).isEmpty());
    }

    void pageCommands()
    {
        ScriptedPrompts prompts;
        fWebSearch w;
        w.show();
        // "打开指定网址...": remembered, trimmed; silent mode unless the address is https.
        SaveSetting(Setting::SearchOtherUrl(), QStringLiteral("http://before/"));
        prompts.answerText(QStringLiteral("  ") + server.url(QStringLiteral("/target")) +
                           QStringLiteral(" "));
        control<QAction>(&w, "menu打开指定网址")->trigger();
        QCOMPARE(prompts.records().last().start, QStringLiteral("http://before/"));
        QCOMPARE(prompts.records().last().text, QStringLiteral("请输入需要打开的网址："));
        QCOMPARE(prompts.records().last().caption, QStringLiteral("请输入..."));
        QCOMPARE(GetSetting(Setting::SearchOtherUrl()), server.url(QStringLiteral("/target")));
        QVERIFY(control<QCheckBox>(&w, "Check2")->isChecked());
        QVERIFY(waitForPage(w.browser(), server.url(QStringLiteral("/target"))));
        prompts.answerText(QStringLiteral("HTTPS://unused.example/"));
        prompts.cancelNext(); // the second time: cancelled, nothing remembered
        control<QAction>(&w, "menu打开指定网址")->trigger();
        QVERIFY(!control<QCheckBox>(&w, "Check2")->isChecked());
        w.browser()->stop();
        w.browser()->navigate(server.url(QStringLiteral("/target")));
        QVERIFY(waitForPage(w.browser(), server.url(QStringLiteral("/target"))));
        control<QAction>(&w, "menu打开指定网址")->trigger();
        QVERIFY(control<QCheckBox>(&w, "Check2")->isChecked());
        QCOMPARE(GetSetting(Setting::SearchOtherUrl()), QStringLiteral("HTTPS://unused.example/"));

        // The address shown, in a plain box.
        prompts.clear();
        control<QAction>(&w, "menu显示当前网址")->trigger();
        QCOMPARE(prompts.messages(), QStringList{server.url(QStringLiteral("/target"))});
        QCOMPARE(prompts.records().last().icon, PromptIcon::None);

        // The page source, as the live page has it, into a .htm file.
        const QString dir = Test::freshFolder(QStringLiteral("source"));
        Test::writeFile(dir + QStringLiteral("/page.htm"), "old contents, longer than the new ones will be");
        prompts.clear();
        prompts.answerText(dir + QStringLiteral("/page"));
        control<QAction>(&w, "menu网页源码另存为")->trigger();
        QFile saved(dir + QStringLiteral("/page.htm"));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        const QByteArray source = saved.readAll();
        QVERIFY(source.startsWith("<html>"));
        QVERIFY(source.contains("<p>the page asked for</p>"));
        QVERIFY(!source.contains("old contents"));
        QCOMPARE(prompts.messages(), QStringList{QStringLiteral("已经保存！")});
        prompts.clear();
        prompts.cancelNext();
        control<QAction>(&w, "menu网页源码另存为")->trigger();
        QVERIFY(prompts.messages().isEmpty());

        // The usage text: eight lines, each ended by CR LF.
        control<QAction>(&w, "menu使用方法")->trigger();
        const auto usage = prompts.records().last();
        QCOMPARE(usage.caption, QStringLiteral("软件使用方法"));
        QCOMPARE(usage.icon, PromptIcon::Information);
        const QStringList lines = usage.text.split(QStringLiteral("\r\n"));
        QCOMPARE(lines.size(), 9);
        QVERIFY(lines.last().isEmpty());
        QCOMPARE(lines.first(), QStringLiteral("1、点击菜单“浏览” => “打开Marlow && Vance查询首页”；"));
        QVERIFY(lines[7].startsWith(QStringLiteral("8、测试账号网站账号， 请在IE浏览器登陆")));
    }

    // Through the real dialog: the source goes to a file that does not exist yet.
    void pageSourceToANewFileThroughTheDialog()
    {
        fWebSearch w;
        w.show();
        w.browser()->navigate(server.url(QStringLiteral("/target")));
        QVERIFY(waitForPage(w.browser(), server.url(QStringLiteral("/target"))));
        const QString path = Test::freshFolder(QStringLiteral("new-source")) + QStringLiteral("/saved");
        bool accepted = false;
        QStringList messages;
        QTimer user;
        connect(&user, &QTimer::timeout, this, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
                // As a user does: the new name typed into the name box, then Enter.
                auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
                QVERIFY(name);
                name->setText(path);
                QTest::keyClick(name, Qt::Key_Return);
                accepted = !dialog->isVisible();
                if (!accepted) dialog->reject();
            } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                messages << box->text();
                box->accept();
            }
        });
        user.start(20);
        control<QAction>(&w, "menu网页源码另存为")->trigger();
        QVERIFY(accepted);
        QFile saved(path + QStringLiteral(".htm"));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QVERIFY(saved.readAll().contains("<p>the page asked for</p>"));
        QCOMPARE(messages, QStringList{QStringLiteral("已经保存！")});
    }

    void closedWhileTakingThePage()
    {
        SaveSetting(Setting::ExtractSavePathFlag(), QStringLiteral("0"));
        QPointer<fWebSearch> w = new fWebSearch;
        w->show();
        w->browser()->navigate(server.url(QStringLiteral("/results")));
        QVERIFY(waitForPage(w->browser(), server.url(QStringLiteral("/results"))));
        // The close comes while the command waits for the page: the window hides and goes afterwards.
        QTimer::singleShot(0, w, [&] { w->close(); });
        control<QPushButton>(w, "Command9")->click();
        QVERIFY(w);
        QVERIFY(!w->isVisible());
        QCOMPARE(w->harvestList()->count(), 2);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!w);
    }

    void reopensOnThePageAndPauseLastUsed()
    {
        {
            auto* w = new fWebSearch;
            w->show();
            w->browser()->navigate(server.url(QStringLiteral("/target")));
            QVERIFY(waitForPage(w->browser(), server.url(QStringLiteral("/target"))));
            control<QComboBox>(w, "Combo2")->setCurrentIndex(3);
            w->close();
        }
        QCOMPARE(GetSetting(Setting::SearchPageUrl()), server.url(QStringLiteral("/target")));
        auto* w = new fWebSearch;
        w->show();
        QVERIFY(waitForPage(w->browser(), server.url(QStringLiteral("/target"))));
        QCOMPARE(control<QComboBox>(w, "Combo2")->currentText(), QStringLiteral("3"));
        QVERIFY(control<QCheckBox>(w, "Check2")->isChecked()); // not https
        w->close();
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
