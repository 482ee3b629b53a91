#include "harvest/ResultExtraction.h"
#include "harvest/fWebSearch.h"
#include "platform/Dom.h"
#include "platform/ReportList.h"
#include "support/ScriptedPrompts.h"
#include "support/TestEnvironment.h"

#include <QAction>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>

using namespace Lunovex;
using Lunovex::Test::ScriptedPrompts;

class HarvestListTest : public QObject
{
    Q_OBJECT

    fWebSearch* w = nullptr;
    ScriptedPrompts* prompts = nullptr;

    void add(const QString& title, const QString& address)
    {
        w->加入LV1(title, address, QStringLiteral("https://h/results"), QStringLiteral("pdf"), QString(),
                   QStringLiteral("ss"));
    }
    void trigger(const char* name) { w->findChild<QAction*>(QString::fromUtf8(name))->trigger(); }
    QString count() { return w->findChild<QLabel*>(QStringLiteral("Label1"))->text(); }
    QStringList titles()
    {
        QStringList t;
        for (int i = 0; i < w->harvestList()->count(); ++i)
            t.append(w->harvestList()->text(i));
        return t;
    }

private slots:
    void init()
    {
        prompts = new ScriptedPrompts;
        w = new fWebSearch;
    }
    void cleanup()
    {
        w->close();
        delete prompts;
    }

    void firstEntryForAnAddressWins()
    {
        ReportList* list = w->harvestList();
        QStringList headers;
        for (int c = 0; c < list->columnCount(); ++c)
            headers.append(list->columnCaption(c));
        QCOMPARE(headers, (QStringList{"标题", "类型", "分析状态", "保存路径", "TYPE"}));
        add(QStringLiteral("First"), QStringLiteral("https://h/doi/pdf/1?needAccess=true"));
        list->setCell(0, 2, QStringLiteral("分析完成"));
        add(QStringLiteral("Second"), QStringLiteral("https://h/doi/pdf/1?needAccess=true"));
        QCOMPARE(list->count(), 1);
        QCOMPARE(list->text(0), QStringLiteral("First"));
        QCOMPARE(list->cell(0, 2), QStringLiteral("分析完成"));
        QCOMPARE(list->cell(0, 1), QStringLiteral("pdf"));
        QCOMPARE(list->cell(0, 4), QStringLiteral("ss"));
        QCOMPARE(list->tag(0).toString(), QStringLiteral("https://h/results"));
    }

    void extractedPageTwiceAddsNothingNew()
    {
        QFile page(QStringLiteral(LUNOVEX_FIXTURES "/result-page.html"));
        QVERIFY(page.open(QIODevice::ReadOnly));
        const auto dom =
            Dom::parse(QString::fromUtf8(page.readAll()), QStringLiteral("https://journals.example.org/r"));
        for (int pass = 0; pass < 2; ++pass)
            for (const ExtractedEntry& e : ExtractResultEntries(dom.get()))
                add(e.Title, e.PdfAddress);
        QCOMPARE(w->harvestList()->count(),
                 4); // five entries on the page, /abs/ and /full/ of one article once
    }

    void removalCommands()
    {
        for (const char* t : {"A PDF study", "Another pdf study", "Cells", "Tissue"})
            add(QString::fromUtf8(t), QStringLiteral("https://h/") + QString::fromUtf8(t));
        prompts->answerText(QStringLiteral("PDF"));
        trigger("menu清除标题含指定字符项");
        QCOMPARE(prompts->records().last().caption, Prompts::defaultCaption());
        QCOMPARE(titles(), (QStringList{"Cells", "Tissue"}));
        QCOMPARE(count(), QStringLiteral("2"));
        prompts->answerText(QStringLiteral("cell"));
        trigger("menu清除标题不含指定字符项");
        QCOMPARE(titles(), QStringList{"Cells"});
        prompts->cancelNext();
        trigger("menu清除标题含指定字符项");
        QCOMPARE(titles(), QStringList{"Cells"});

        w->harvestList()->setCell(0, 2, QStringLiteral("分析完成"));
        add(QStringLiteral("Open"), QStringLiteral("https://h/open"));
        trigger("menu清除分析成功项");
        QCOMPARE(titles(), QStringList{"Open"});

        w->AnalysisStopped = false;
        trigger("menu清除选中项");
        QCOMPARE(prompts->messages().last(), QStringLiteral("正在分析，不能清除！"));
        w->AnalysisStopped = true;

        prompts->answer(PromptAnswer::No);
        trigger("menu清空全部");
        QCOMPARE(titles(), QStringList{"Open"});
        prompts->answer(PromptAnswer::Yes);
        trigger("menu清空全部");
        QCOMPARE(w->harvestList()->count(), 0);
        QCOMPARE(count(), QStringLiteral("0"));
        const int before = prompts->records().size();
        trigger("menu清除选中项"); // empty list: nothing, no message
        QCOMPARE(prompts->records().size(), before);
    }

    void sortIsRefusedWhileBusy()
    {
        add(QStringLiteral("b"), QStringLiteral("1"));
        add(QStringLiteral("a"), QStringLiteral("2"));
        add(QStringLiteral("c"), QStringLiteral("3"));
        w->HarvestStopped = false;
        emit w->harvestList()->header()->sectionClicked(0);
        QCOMPARE(prompts->messages().last(), QStringLiteral("正在工作，停止后方可排序！"));
        QCOMPARE(titles(), (QStringList{"b", "a", "c"}));
        w->HarvestStopped = true;
        emit w->harvestList()->header()->sectionClicked(0);
        QCOMPARE(titles(), (QStringList{"c", "b", "a"})); // first click: descending
    }

    void exportWritesTheTitles()
    {
        const QString dir = Test::freshFolder(QStringLiteral("harvest"));
        for (const char* t : {"One", "Two", "三"})
            add(QString::fromUtf8(t), QString::fromUtf8(t));
        prompts->answerText(dir + QStringLiteral("/titles"));
        w->findChild<QPushButton*>(QStringLiteral("Command7"))->click();
        QFile f(dir + QStringLiteral("/titles.txt"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("One\r\nTwo\r\n\xE4\xB8\x89\r\n"));
        QCOMPARE(prompts->messages().last(), QStringLiteral("保存文件完毕：0.01KB"));
    }
};

LUNOVEX_TEST_MAIN(HarvestListTest)
#include "tst_harvestlist.moc"
