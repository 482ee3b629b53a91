#include "app/Forms.h"
#include "app/Globals.h"
#include "app/Settings.h"
#include "download/fFileDownload.h"
#include "platform/ReportList.h"
#include "support/RecordingShell.h"
#include "support/ScriptedPrompts.h"
#include "support/TestEnvironment.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

using namespace Lunovex;
using Lunovex::Test::control;
using Lunovex::Test::RecordingShell;
using Lunovex::Test::ScriptedPrompts;

namespace {

QString panel(QWidget* window, int n)
{
    return control<QLabel>(window, QStringLiteral("StatusBar1Panel%1").arg(n).toLatin1().constData())->text();
}

} // namespace

class DownloadWindowTest : public QObject
{
    Q_OBJECT

    QString dir;

private slots:
    void init()
    {
        ResetGlobals();
        dir = Test::freshFolder(QStringLiteral("window")) + QLatin1Char('/');
    }

    void firstOpenWithoutSettings()
    {
        QPointer<fFileDownload> w = new fFileDownload;
        QCOMPARE(w->windowTitle(), QStringLiteral("文件下载-Marlow & Vance 文献下载器"));
        QVERIFY(w->windowState() & Qt::WindowMaximized);
        QCOMPARE(control<QLabel>(w, "Label7")->text(), QStringLiteral("下载方式：2"));
        QVERIFY(control<QComboBox>(w, "Combo1")->isEnabled());
        QCOMPARE(control<QComboBox>(w, "Combo1")->currentText(), QStringLiteral("3"));
        QVERIFY(control<QRadioButton>(w, "Option3")->isChecked());
        QCOMPARE(control<QComboBox>(w, "Combo2")->currentText(), QStringLiteral("0"));
        QCOMPARE(control<QComboBox>(w, "Combo2")->count(), 601);
        QCOMPARE(control<QComboBox>(w, "Combo4")->currentText(), QStringLiteral("出错项"));
        QCOMPARE(control<QLabel>(w, "Label5")->text(), QStringLiteral("两个文件下载间隔：        秒"));
        for (const char* box : {"Check3", "Check4", "Check5", "Check6"})
            QVERIFY(!control<QCheckBox>(w, box)->isChecked());
        QCOMPARE(control<QPushButton>(w, "Command4")->text(), QStringLiteral("开始下载"));
        QCOMPARE(control<QPushButton>(w, "Command31")->text(), QStringLiteral("停止下载"));
        QVERIFY(control<QTimer>(w, "Timer1")->isActive());
        QVERIFY(!control<QTimer>(w, "Timer_Down")->isActive());
        QCOMPARE(Globals().MaxFileSizeMB, 10.0);

        ReportList* list = w->list();
        QCOMPARE(list->columnCount(), 6);
        QStringList captions;
        for (int c = 0; c < 6; ++c)
            captions.append(list->columnCaption(c));
        QCOMPARE(captions, (QStringList{"名称", "类型", "文件大小", "已下载数", "百分比", "保存路径"}));
        QCOMPARE(list->columnWidth(0), 10583 / 15);

        // An empty list.
        QVERIFY(w->检测是否下载列表完毕());
        QCOMPARE(w->统计未下载项数目(), 0);
        w->UpdateStatusCounts();
        QCOMPARE(panel(w, 4), QStringLiteral("总数:0 正在下载:0 等待:0 已完成:0 失败:0"));
        w->close(); // nothing to ask
        QTRY_VERIFY(w.isNull());
        QCOMPARE(GetSetting(Setting::DuplicateNamePolicy()), QStringLiteral("重命名"));
        QCOMPARE(GetSetting(Setting::DownloadMethod()), QStringLiteral("2"));
        QCOMPARE(GetSetting(Setting::ThreadCountIndex()), QStringLiteral("2"));
    }

    void storedOptionsAndTheMethodSwitch()
    {
        SaveSetting(Setting::DownloadMethod(), QStringLiteral("1"));
        SaveSetting(Setting::DuplicateNamePolicy(), QStringLiteral(" 跳过 "));
        SaveSetting(Setting::MaxFileSize(), QStringLiteral("25"));
        auto* w = new fFileDownload;
        QCOMPARE(control<QLabel>(w, "Label7")->text(), QStringLiteral("下载方式：1"));
        QVERIFY(!control<QComboBox>(w, "Combo1")->isEnabled());
        QCOMPARE(control<QComboBox>(w, "Combo1")->currentText(), QStringLiteral("1"));
        QVERIFY(control<QRadioButton>(w, "Option1")->isChecked());
        QCOMPARE(Globals().MaxFileSizeMB, 25.0);

        control<QPushButton>(w, "Command26")->click();
        QCOMPARE(Globals().DownloadMethod, 2);
        QCOMPARE(control<QLabel>(w, "Label7")->text(), QStringLiteral("下载方式：2"));
        QVERIFY(control<QComboBox>(w, "Combo1")->isEnabled());
        QCOMPARE(control<QComboBox>(w, "Combo1")->currentText(), QStringLiteral("1"));
        control<QPushButton>(w, "Command26")->click();
        QCOMPARE(Globals().DownloadMethod, 1);
        control<QRadioButton>(w, "Option2")->setChecked(true);
        w->close();
        QCOMPARE(GetSetting(Setting::DownloadMethod()), QStringLiteral("1"));
        QCOMPARE(GetSetting(Setting::ThreadCountIndex()), QStringLiteral("0"));
        QCOMPARE(GetSetting(Setting::DuplicateNamePolicy()), QStringLiteral("覆盖"));
    }

    void rowsQueriesAndCounts()
    {
        Globals().SaveFolder = dir;
        auto* w = new fFileDownload;
        QVERIFY(w->AddDownloadItem(QStringLiteral("https://h/a.pdf"), QStringLiteral("A"),
                                   QStringLiteral("pdf"), QString(), QStringLiteral("https://h/results")));
        QVERIFY(w->AddDownloadItem(QStringLiteral("https://h/b.pdf"), QStringLiteral("B"),
                                   QStringLiteral("pdf"), QStringLiteral("/elsewhere/"), QString()));
        QVERIFY(!w->AddDownloadItem(QStringLiteral("https://h/a.pdf"), QStringLiteral("other"),
                                    QStringLiteral("htm"), QString(), QString()));
        QVERIFY(
            !w->AddDownloadItem(QString(), QStringLiteral("no address"), QString(), QString(), QString()));
        QCOMPARE(w->list()->count(), 2);
        const DownloadItem a = w->item(0);
        QCOMPARE(a.BaseName(), QStringLiteral("A"));
        QCOMPARE(a.TargetFolder(), dir); // the global save folder
        QCOMPARE(a.RefererPage(), QStringLiteral("https://h/results"));
        QCOMPARE(a.state(), Waiting);
        QCOMPARE(w->item(1).TargetFolder(), QStringLiteral("/elsewhere/"));

        QVERIFY(!w->检测是否下载列表完毕());
        QCOMPARE(w->统计未下载项数目(), 2);
        w->item(1).setSizeText(QStringLiteral("等待重新下载"));
        QCOMPARE(w->统计未下载项数目(), 1);
        w->item(1).setState(Failed);
        w->item(0).setExtension(QStringLiteral("HTML"));
        QCOMPARE(w->CountProblemItems(), 2);
        w->UpdateStatusCounts();
        QCOMPARE(panel(w, 4), QStringLiteral("总数:2 正在下载:0 等待:1 已完成:0 失败:1"));

        // Rows still waiting: closing asks, and No keeps the window.
        ScriptedPrompts prompts;
        prompts.answer(PromptAnswer::No);
        QVERIFY(!w->close());
        QCOMPARE(prompts.messages(),
                 QStringList{QStringLiteral("正在下载文件或者下载没有完成，要强制关闭窗口吗？")});
        QCOMPARE(prompts.records().first().icon, PromptIcon::Question);
        QVERIFY(IsFormLoaded(QStringLiteral("fFileDownload")));
        prompts.answer(PromptAnswer::Yes);
        QVERIFY(w->close());
        QVERIFY(!IsFormLoaded(QStringLiteral("fFileDownload")));
    }

    void clicksOnRows()
    {
        auto* w = new fFileDownload;
        w->show();
        w->AddDownloadItem(QStringLiteral("https://h/done.pdf"), QStringLiteral("done"),
                           QStringLiteral("pdf"), dir, QString());
        w->AddDownloadItem(QStringLiteral("https://h/bad.pdf"), QStringLiteral("bad"), QStringLiteral("pdf"),
                           dir, QString());
        w->item(0).setState(Finished);
        w->item(0).setSizeText(QStringLiteral("10"));
        w->item(0).setReceivedText(QStringLiteral("10"));
        w->item(0).setProgressText(QStringLiteral("100%"));
        w->item(1).setState(Failed);
        w->item(1).setSizeText(QStringLiteral("下载失败"));
        QFile partial(dir + QStringLiteral("bad.pdf"));
        QVERIFY(partial.open(QIODevice::WriteOnly));
        partial.close();

        ScriptedPrompts prompts;
        RecordingShell shell;
        ReportList* list = w->list();
        // A finished row whose file is gone.
        list->setCurrentRow(0);
        list->setSelected(0, true);
        emit list->rowDoubleClicked(0);
        QCOMPARE(prompts.messages(), QStringList{QStringLiteral("文件不存在！")});
        QCOMPARE(w->item(0).state(), Finished);
        // With its file there it opens.
        QFile done(dir + QStringLiteral("done.pdf"));
        QVERIFY(done.open(QIODevice::WriteOnly));
        done.close();
        emit list->rowDoubleClicked(0);
        QCOMPARE(shell.calls, QStringList{QStringLiteral("openFile ") + dir + QStringLiteral("done.pdf")});
        emit list->rowClicked(0);
        QCOMPARE(panel(w, 2), dir + QStringLiteral("done.pdf"));

        // A failed row: its partial file goes and it waits again.
        list->setSelected(0, false);
        list->setCurrentRow(1);
        list->setSelected(1, true);
        emit list->rowDoubleClicked(1);
        QVERIFY(!QFile::exists(dir + QStringLiteral("bad.pdf")));
        QCOMPARE(w->item(1).state(), Waiting);
        QCOMPARE(w->item(1).SizeText(), QString());
        QCOMPARE(w->统计未下载项数目(), 1); // queued again
        emit list->rowClicked(1);
        QCOMPARE(panel(w, 2), QString());

        prompts.answer(PromptAnswer::Yes);
        w->close();
    }

    void placementComesBack()
    {
        auto* w = new fFileDownload;
        w->showNormal();
        w->setWindowState(Qt::WindowNoState);
        w->move(30, 40);
        w->resize(900, 600);
        w->close();
        auto* again = new fFileDownload;
        QVERIFY(!(again->windowState() & Qt::WindowMaximized));
        QCOMPARE(again->size(), QSize(900, 600));
        again->close();
    }
};

LUNOVEX_TEST_MAIN(DownloadWindowTest)
#include "tst_downloadwindow.moc"
