#include "app/Globals.h"
#include "app/Settings.h"
#include "download/UrlReplace.h"
#include "download/fFileDownload.h"
#include "platform/EventPump.h"
#include "platform/ReportList.h"
#include "support/RecordingShell.h"
#include "support/ScriptedPrompts.h"
#include "support/TestEnvironment.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTimer>

using namespace Lunovex;
using Lunovex::Test::RecordingShell;
using Lunovex::Test::ScriptedPrompts;

namespace {

struct Row
{
    const char* address;
    const char* name;
    const char* extension;
    ItemState state;
    const char* size;
    const char* received;
    const char* progress;
};

QStringList column(ReportList* list, int c)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts.append(list->cell(i, c));
    return texts;
}

} // namespace

class ListCommandsTest : public QObject
{
    Q_OBJECT

    QString dir;
    fFileDownload* w = nullptr;
    ScriptedPrompts* prompts = nullptr;

    void fill(const QList<Row>& rows)
    {
        for (const Row& r : rows) {
            w->AddDownloadItem(QString::fromUtf8(r.address), QString::fromUtf8(r.name),
                               QString::fromUtf8(r.extension), dir, QString());
            const DownloadItem it = w->item(w->list()->count() - 1);
            it.setState(r.state);
            it.setSizeText(QString::fromUtf8(r.size));
            it.setReceivedText(QString::fromUtf8(r.received));
            it.setProgressText(QString::fromUtf8(r.progress));
        }
    }

    void trigger(const char* name) { w->findChild<QAction*>(QString::fromUtf8(name))->trigger(); }

private slots:
    void init()
    {
        ResetGlobals();
        dir = Test::freshFolder(QStringLiteral("commands")) + QLatin1Char('/');
        prompts = new ScriptedPrompts;
        w = new fFileDownload;
    }

    void cleanup()
    {
        prompts->answer(PromptAnswer::Yes);
        w->StopDownloads();
        w->close();
        delete prompts;
    }

    void menuTreeCarriesItsNames()
    {
        for (const char* name : {"menu下载",
                                 "menu全选专利列表",
                                 "menu全不选",
                                 "menu随机排序列表",
                                 "menu自动列宽",
                                 "menu重新下载",
                                 "menu重新下载选中项",
                                 "menu重新下载出错项",
                                 "menu重新下载文件类型为HTM和HTML项",
                                 "menu重新下载出错项和网页项",
                                 "menu重新下载文件大小小于指定数字的项",
                                 "menu清除",
                                 "menu清除选中项",
                                 "menu清除全部出错项",
                                 "menu清除完成项",
                                 "menu清空",
                                 "menu删除",
                                 "menu删除网页类型文件项",
                                 "menu删除出错项",
                                 "menu下载全部",
                                 "menu停止下载",
                                 "menu取消下载选中项",
                                 "menu打开下载文件",
                                 "menu打开文件所在文件夹",
                                 "menu用记事本打开文件",
                                 "menu复制名称",
                                 "menu批量替换网址",
                                 "menu导出名称",
                                 "menu导出全部名称",
                                 "menu导出未完成项名称",
                                 "menu退出本下载窗口",
                                 "menu资料检索分析窗口",
                                 "设置",
                                 "menu自动定位到下载项",
                                 "menu检查文件是否存在",
                                 "menu检查并纠正磁盘文件类型",
                                 "menu清空IE浏览器缓存",
                                 "menu打开文件判断类型",
                                 "关于",
                                 "menu给软件作者建议"})
            QVERIFY2(w->findChild<QAction*>(QString::fromUtf8(name)), name);
        QCOMPARE(w->findChild<QAction*>(QStringLiteral("menu重新下载文件类型为HTM和HTML项"))->text(),
                 QStringLiteral("网页类型文件(HTM/HTML/xml)项"));
    }

    void columnSortPadsNumbers()
    {
        fill({{"a", "a", "pdf", Finished, "999", "999", "100%"},
              {"b", "b", "pdf", Finished, "1000", "1000", "100%"},
              {"c", "c", "pdf", Downloading, "未知", "12", ""},
              {"d", "d", "pdf", Finished, "0050", "50", "大文件，跳过"},
              {"e", "e", "pdf", Downloading, "200", "114", "57%"}});
        emit w->list()->header()->sectionClicked(ColumnSize); // first click: descending
        QCOMPARE(column(w->list(), ColumnSize), (QStringList{"未知", "1000", "999", "200", "50"}));
        emit w->list()->header()->sectionClicked(ColumnProgress); // ascending
        QCOMPARE(column(w->list(), ColumnProgress), (QStringList{"", "57%", "100%", "100%", "大文件，跳过"}));

        // Not while a run is on.
        w->StartDownloads();
        emit w->list()->header()->sectionClicked(ColumnName);
        QCOMPARE(prompts->messages().last(), QStringLiteral("停止下载后方可排序！"));
    }

    void requeueRotatesAddressesAndMarksWebPages()
    {
        fill({{"https://h/a|https://h/b", "name", "html", Failed, "10", "10", "100%"},
              {"https://h/other", "other", "pdf", Finished, "5", "5", "100%"}});
        Test::writeFile(dir + QStringLiteral("name.html"));
        Test::writeFile(dir + QStringLiteral("name.xxx"));
        trigger("menu重新下载出错项");
        const DownloadItem it = w->item(0);
        QCOMPARE(it.state(), Waiting);
        QCOMPARE(it.Extension(), QStringLiteral("xxx"));
        QCOMPARE(it.SizeText(), QString());
        QCOMPARE(it.AddressList(), QStringLiteral("https://h/b|https://h/a"));
        QVERIFY(!QFile::exists(dir + QStringLiteral("name.html")));
        QVERIFY(!QFile::exists(dir + QStringLiteral("name.xxx")));
        QCOMPARE(w->item(1).state(), Finished); // not failed: left alone
    }

    void requeueSmallFiles()
    {
        fill({{"a", "a", "pdf", Finished, "3456", "3456", "100%"},
              {"b", "b", "pdf", Finished, "3456", "3000", "86%"},
              {"c", "c", "pdf", Finished, "9000", "9000", "100%"}});
        // As the user types it, with a group separator: five thousand, not nothing.
        prompts->answerText(QStringLiteral("5,000"));
        trigger("menu重新下载文件大小小于指定数字的项");
        QCOMPARE(prompts->records().last().caption, Prompts::defaultCaption());
        QCOMPARE(w->item(0).state(), Waiting);
        QCOMPARE(w->item(1).state(), Finished);
        QCOMPARE(w->item(2).state(), Finished);
        prompts->answerText(QStringLiteral("abc"));
        trigger("menu重新下载文件大小小于指定数字的项"); // not a number: nothing
        QCOMPARE(w->item(2).state(), Finished);
    }

    void removalIsRefusedWhileRunning()
    {
        fill({{"a", "a", "pdf", Finished, "1", "1", "100%"}, {"b", "b", "pdf", Failed, "", "", ""}});
        w->StartDownloads();
        trigger("menu清除完成项");
        QCOMPARE(prompts->messages().last(), QStringLiteral("停止下载以后，才能执行此操作！"));
        QCOMPARE(w->list()->count(), 2);
        w->StopDownloads();
        trigger("menu清除完成项");
        QCOMPARE(w->list()->count(), 1);
        QCOMPARE(w->item(0).BaseName(), QStringLiteral("b"));

        prompts->answer(PromptAnswer::No);
        trigger("menu清空");
        QCOMPARE(w->list()->count(), 1);
        prompts->answer(PromptAnswer::Yes);
        trigger("menu清空");
        QCOMPARE(w->list()->count(), 0);
        QCOMPARE(prompts->records().last().icon, PromptIcon::None);
        QCOMPARE(w->findChild<QLabel*>(QStringLiteral("Label1"))->text(), QStringLiteral("0条"));
    }

    void shuffleMovesEveryRowOnce()
    {
        QList<Row> rows;
        static QList<QByteArray> names;
        names.clear();
        for (int i = 0; i < 50; ++i)
            names.append(QByteArray::number(i));
        for (const QByteArray& n : names)
            rows.append({n.constData(), n.constData(), "pdf", Waiting, "", "", ""});
        fill(rows);
        trigger("menu随机排序列表");
        QCOMPARE(prompts->messages().last(), QStringLiteral("随机排序完成！"));
        QStringList sorted = column(w->list(), ColumnName);
        std::sort(sorted.begin(), sorted.end(),
                  [](const QString& a, const QString& b) { return a.toInt() < b.toInt(); });
        QStringList expected;
        for (int i = 0; i < 50; ++i)
            expected.append(QString::number(i));
        QCOMPARE(sorted, expected); // a permutation: nothing lost, nothing doubled
        for (int i = 0; i < 50; ++i)
            QCOMPARE(w->list()->indexOf(QString::number(i)) >= 0, true);
    }

    void fileCommandsOnTheSelectedRow()
    {
        RecordingShell shell;
        fill({{"a", "paper", "pdf", Finished, "1", "1", "100%"}});
        w->list()->setSelected(0, true);
        trigger("menu打开下载文件");
        QCOMPARE(prompts->messages().last(), QStringLiteral("该文件不存在！"));
        const QString path = dir + QStringLiteral("paper.pdf");
        Test::writeFile(path, QByteArray(2097153, 'x'));
        trigger("menu用记事本打开文件");
        QCOMPARE(prompts->messages().last(), QStringLiteral("该文件太大，超过了2M，不便于用记事本打开！"));
        QFile::resize(path, 2097152);
        trigger("menu用记事本打开文件");
        QCOMPARE(shell.calls.last(), QStringLiteral("openInTextEditor ") + path);
        trigger("menu打开文件所在文件夹");
        QCOMPARE(shell.calls.last(), QStringLiteral("showInFolder ") + path);
        trigger("menu复制名称");
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("paper"));
    }

    void exportAndChecks()
    {
        fill({{"a", "done1", "pdf", Finished, "1", "1", "100%"},
              {"b", "done2", "pdf", Finished, "1", "1", "100%"}});
        const QString out = dir + QStringLiteral("names.txt");
        prompts->answerText(out);
        trigger("menu导出未完成项名称");
        QCOMPARE(QFileInfo(out).size(), 0);
        prompts->answerText(out);
        trigger("menu导出全部名称");
        QFile f(out);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("done1\r\ndone2\r\n"));
        f.close();
        prompts->answerText(dir + QStringLiteral("no/such/folder/names.txt"));
        trigger("menu导出全部名称");
        QCOMPARE(prompts->records().last().icon, PromptIcon::Critical);

        Test::writeFile(dir + QStringLiteral("done1.pdf"),
                        "<html><head><title>x</title></head><body></body></html>");
        trigger("menu检查文件是否存在");
        QCOMPARE(w->item(0).ProgressText(), QStringLiteral("100%"));
        QCOMPARE(w->item(1).ProgressText(), QStringLiteral("不存在"));
        trigger("menu检查并纠正磁盘文件类型");
        QCOMPARE(prompts->messages().last(), QStringLiteral("纠正文件类型：1个."));
        QCOMPARE(w->item(0).Extension(), QStringLiteral("htm"));
    }

    void addressReplacementKeepsKeysUnique()
    {
        fill({{"https://OLD.example/x", "x", "pdf", Waiting, "", "", ""},
              {"https://new.example/x", "y", "pdf", Waiting, "", "", ""},
              {"https://old.example/z", "z", "pdf", Waiting, "", "", ""},
              {"old", "w", "pdf", Waiting, "", "", ""}});
        QCOMPARE(ReplaceInAddresses(w->list(), QStringLiteral("old"), QStringLiteral("new")), 1);
        QCOMPARE(w->list()->key(0), QStringLiteral("https://OLD.example/x")); // would equal row 2's
        QCOMPARE(w->list()->key(2), QStringLiteral("https://new.example/z")); // capitals matched lower case
        QCOMPARE(w->list()->key(3), QStringLiteral("new"));
        QCOMPARE(ReplaceInAddresses(w->list(), QStringLiteral("new"), QString()),
                 1); // "new" would become empty
        QCOMPARE(w->list()->key(3), QStringLiteral("new"));

        UrlReplace dialog(w->list(), w);
        dialog.findChild<QPushButton*>(QStringLiteral("Command1"))->click();
        QCOMPARE(prompts->messages().last(), QStringLiteral("请输入字符串！"));
    }

    void remainingCommandsAndTheirRules()
    {
        fill({{"a", "page", "htm", Finished, "1", "1", "100%"},
              {"b", "bad", "pdf", Failed, "下载失败", "3", "1%"},
              {"c", "queued", "pdf", Waiting, "", "", ""}});
        Test::writeFile(dir + QStringLiteral("page.htm"));
        Test::writeFile(dir + QStringLiteral("bad.pdf"));

        // The context menu offers stopping while a run is on, and emptying otherwise.
        const auto entry = [this](const char* name) {
            return w->findChild<QAction*>(QString::fromUtf8(name));
        };
        w->StartDownloads();
        emit w->list()->contextMenuRequestedAt(0, QPoint(10, 10));
        QVERIFY(!entry("menu清空")->isEnabled());
        QVERIFY(!entry("menu清除")->isEnabled());
        QVERIFY(!entry("menu全选专利列表")->isEnabled());
        QVERIFY(entry("menu停止下载")->isEnabled());
        trigger("menu检查并纠正磁盘文件类型");
        QCOMPARE(prompts->messages().last(), QStringLiteral("停止下载以后，才能执行此操作！"));
        w->StopDownloads();
        if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
        emit w->list()->contextMenuRequestedAt(0, QPoint(10, 10));
        QVERIFY(entry("menu清空")->isEnabled());
        QVERIFY(!entry("menu停止下载")->isEnabled());
        if (QWidget* popup = QApplication::activePopupWidget()) popup->close();

        // Deleting the files of web pages: the row stays, its size columns are emptied.
        trigger("menu删除网页类型文件项");
        QVERIFY(!QFile::exists(dir + QStringLiteral("page.htm")));
        QCOMPARE(w->item(0).state(), Finished);
        QCOMPARE(w->item(0).SizeText(), QString());
        trigger("menu删除出错项");
        QVERIFY(!QFile::exists(dir + QStringLiteral("bad.pdf")));

        // Cancelling a queued row: it fails and the scheduler passes it by.
        w->list()->setSelected(2, true);
        trigger("menu取消下载选中项");
        QCOMPARE(w->item(2).state(), Failed);

        // Any file's type.
        prompts->answerText(Test::writeFile(dir + QStringLiteral("some.bin"), "%PDF-1.5 body"));
        trigger("menu打开文件判断类型");
        QCOMPARE(prompts->messages().last(), QStringLiteral("文件类型为：pdf"));
        prompts->answerText(Test::writeFile(dir + QStringLiteral("other.bin"), "hello"));
        trigger("menu打开文件判断类型");
        QCOMPARE(prompts->messages().last(), QStringLiteral("目前还无法判断。"));
    }

    void replacementThatMatchesEveryAddress()
    {
        fill({{"https://h/1", "1", "pdf", Waiting, "", "", ""},
              {"https://h/2", "2", "pdf", Waiting, "", "", ""}});
        // Every address would become the same text: the first takes it, the second keeps its own.
        QCOMPARE(ReplaceInAddresses(w->list(), QStringLiteral("https://h/"), QString()), 0);
        QCOMPARE(ReplaceInAddresses(w->list(), QStringLiteral("1"), QStringLiteral("2")), 1);
        QCOMPARE(w->list()->count(), 2);
        QCOMPARE(w->list()->key(0), QStringLiteral("1"));
        QCOMPARE(w->list()->key(1), QStringLiteral("2"));
    }

    void automaticRedownloadRequeuesFailedRows()
    {
        fill({{"https://h/a", "a", "pdf", Failed, "下载失败", "", ""}});
        w->findChild<QCheckBox*>(QStringLiteral("Check3"))->setChecked(true);
        QVERIFY(EventPump::waitUntil([&] { return w->item(0).state() != Failed; }, milliseconds(3000)));
        QVERIFY(w->findChild<QTimer*>(QStringLiteral("Timer_Down"))->isActive());
        w->StopDownloads();
        QVERIFY(!w->findChild<QCheckBox*>(QStringLiteral("Check3"))->isChecked());
    }
};

LUNOVEX_TEST_MAIN(ListCommandsTest)
#include "tst_listcommands.moc"
