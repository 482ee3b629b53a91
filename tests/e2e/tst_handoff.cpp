#include "app/Forms.h"
#include "app/Globals.h"
#include "app/Settings.h"
#include "app/fSeleFileSavePath.h"
#include "download/fFileDownload.h"
#include "harvest/fWebSearch.h"
#include "platform/ReportList.h"
#include "support/ScriptedPrompts.h"
#include "support/TestEnvironment.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

using namespace Lunovex;
using Lunovex::Test::ScriptedPrompts;

class HandOffTest : public QObject
{
    Q_OBJECT

    QString dir;

    // Opens the dialog modally and lets act() work on it while it is up.
    static void withDialog(const std::function<void(fSeleFileSavePath&)>& act)
    {
        fSeleFileSavePath dialog;
        QTimer::singleShot(0, &dialog, [&] { act(dialog); });
        dialog.exec();
    }

private slots:
    void init()
    {
        ResetGlobals();
        dir = Test::freshFolder(QStringLiteral("handoff"));
        QFile::remove(fSeleFileSavePath::historyFile());
    }

    // ask() says whether the folder was confirmed, and the global says the same.
    void saveFolderDialogTellsItsCaller_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("confirmed");
        QTest::newRow("确定") << "Command2" << true;
        QTest::newRow("取消") << "Command3" << false;
    }
    void saveFolderDialogTellsItsCaller()
    {
        QFETCH(QString, button);
        QFETCH(bool, confirmed);
        Globals().SaveFolder = dir + QStringLiteral("/asked/");
        QTimer::singleShot(50, this, [&] {
            if (auto* d = qobject_cast<fSeleFileSavePath*>(QApplication::activeModalWidget()))
                d->findChild<QPushButton*>(button)->click();
        });
        QCOMPARE(fSeleFileSavePath::ask(nullptr), confirmed);
        QCOMPARE(Globals().SaveFolderDialogCancelled, !confirmed);
    }

    void saveFolderDialogConfirms()
    {
        Globals().SaveFolder = QStringLiteral("/old/place/");
        withDialog([&](fSeleFileSavePath& d) {
            QCOMPARE(d.findChild<QComboBox*>(QStringLiteral("Combo1"))->currentText(),
                     QStringLiteral("/old/place/"));
            QVERIFY(d.findChild<QRadioButton*>(QStringLiteral("Option2"))->isChecked());
            QVERIFY(Globals().SaveFolderDialogCancelled);
            d.findChild<QComboBox*>(QStringLiteral("Combo1"))->setEditText(dir + QStringLiteral("/Papers"));
            d.findChild<QRadioButton*>(QStringLiteral("Option1"))->setChecked(true);
            d.findChild<QPushButton*>(QStringLiteral("Command2"))->click();
        });
        QCOMPARE(Globals().SaveFolder, dir + QStringLiteral("/Papers/"));
        QVERIFY(QDir(dir + QStringLiteral("/Papers")).exists());
        QCOMPARE(GetSetting(Setting::SaveFolder()), dir + QStringLiteral("/Papers/"));
        QVERIFY(Globals().UseOriginalFileName);
        QVERIFY(!Globals().SaveFolderDialogCancelled);
        QFile history(fSeleFileSavePath::historyFile());
        QVERIFY(history.open(QIODevice::ReadOnly));
        QCOMPARE(history.readAll(), (dir + QStringLiteral("/Papers\r\n")).toLocal8Bit());
        history.close();

        // The same folder again is written twice and shown once.
        withDialog(
            [&](fSeleFileSavePath& d) { d.findChild<QPushButton*>(QStringLiteral("Command2"))->click(); });
        QVERIFY(history.open(QIODevice::ReadOnly));
        QCOMPARE(history.readAll().count("Papers"), 2);
        history.close();
        withDialog([&](fSeleFileSavePath& d) {
            QCOMPARE(d.findChild<QComboBox*>(QStringLiteral("Combo1"))->count(), 1);
            QVERIFY(d.findChild<QRadioButton*>(QStringLiteral("Option1"))->isChecked());
            d.findChild<QPushButton*>(QStringLiteral("Command3"))->click();
        });
        QVERIFY(Globals().SaveFolderDialogCancelled);
        QCOMPARE(Globals().SaveFolder, dir + QStringLiteral("/Papers/"));
    }

    void saveFolderThatCannotBeMade()
    {
        ScriptedPrompts prompts;
        Globals().SaveFolder = QStringLiteral("/kept/");
        withDialog([&](fSeleFileSavePath& d) {
            d.findChild<QComboBox*>(QStringLiteral("Combo1"))->setEditText(dir + QStringLiteral("/??"));
            d.findChild<QPushButton*>(QStringLiteral("Command2"))->click();
            QVERIFY(d.isVisible()); // stays open
            d.reject();
        });
        QCOMPARE(prompts.messages().last(), QStringLiteral("文件夹设置错误！"));
        QCOMPARE(Globals().SaveFolder, QStringLiteral("/kept/"));
    }

    // "~/" is the home folder; a relative path would land wherever the program runs.
    void saveFolderAsTyped()
    {
        ScriptedPrompts prompts;
        withDialog([&](fSeleFileSavePath& d) {
            d.findChild<QComboBox*>(QStringLiteral("Combo1"))->setEditText(QStringLiteral("Papers/2026"));
            d.findChild<QPushButton*>(QStringLiteral("Command2"))->click();
            QVERIFY(d.isVisible());
            QCOMPARE(prompts.messages().last(), QStringLiteral("请输入完整的文件夹路径！"));
            d.findChild<QComboBox*>(QStringLiteral("Combo1"))->setEditText(QStringLiteral("~/Papers/2026"));
            d.findChild<QPushButton*>(QStringLiteral("Command2"))->click();
        });
        QCOMPARE(Globals().SaveFolder, QDir::homePath() + QStringLiteral("/Papers/2026/"));
        QVERIFY(QFileInfo(QDir::homePath() + QStringLiteral("/Papers/2026")).isDir());
        QVERIFY(!QFileInfo::exists(QStringLiteral("Papers")) && !QFileInfo::exists(QStringLiteral("~")));
    }

    void analysisCommands()
    {
        SaveSetting(Setting::ExtractSavePathFlag(), QStringLiteral("1")); // the folder was asked for already
        Globals().SaveFolder = dir + QStringLiteral("/a/");
        ScriptedPrompts prompts;
        auto* search = new fWebSearch;
        search->findChild<QPushButton*>(QStringLiteral("Command2"))->click();
        QCOMPARE(prompts.messages().last(), QStringLiteral("列表没有数据哦！"));

        for (int i = 0; i < 4; ++i)
            search->加入LV1(QStringLiteral("T%1").arg(i), QStringLiteral("https://h/%1").arg(i), QString(),
                            QStringLiteral("pdf"), QString(), QStringLiteral("ss"));
        search->harvestList()->setCell(1, 2, QStringLiteral("分析完成"));
        search->findChild<QAction*>(QStringLiteral("menu分析未分析项"))->trigger();
        auto* downloads = qobject_cast<fFileDownload*>(FindForm(QStringLiteral("fFileDownload")));
        QVERIFY(downloads && downloads->isVisible()); // shown at the end of the command
        QCOMPARE(downloads->list()->count(), 3);      // the one handed over before was skipped
        QVERIFY(search->AnalysisStopped);
        QVERIFY(search->findChild<QWidget*>(QStringLiteral("PicPanPrograss"))->isHidden());

        // Nothing selected: "分析下载" hands over every entry, and the list keeps one row each.
        search->findChild<QPushButton*>(QStringLiteral("Command2"))->click();
        QCOMPARE(downloads->list()->count(), 4);
        for (int i = 0; i < 4; ++i)
            QCOMPARE(search->harvestList()->cell(i, 2), QStringLiteral("分析完成"));

        // Stop during a long run: the entries not reached keep their status.
        for (int i = 4; i < 3000; ++i)
            search->加入LV1(QStringLiteral("T%1").arg(i), QStringLiteral("https://h/%1").arg(i), QString(),
                            QStringLiteral("pdf"), QString(), QStringLiteral("ss"));
        // The automatic analysis ticks after the stop, while the stopped run unwinds: no run in the run.
        QTimer::singleShot(0, search, [search] {
            search->findChild<QPushButton*>(QStringLiteral("Command5"))->click();
            QMetaObject::invokeMethod(search->findChild<QTimer*>(QStringLiteral("Timer1")), "timeout");
        });
        search->findChild<QAction*>(QStringLiteral("menu分析未分析项"))->trigger();
        QVERIFY(search->harvestList()->cell(2999, 2).isEmpty());
        QVERIFY(search->AnalysisStopped);

        prompts.answer(PromptAnswer::Yes);
        downloads->close();
        search->close();
    }

    void cancelledFolderDialogChangesNothing()
    {
        SaveSetting(Setting::ExtractSavePathFlag(), QStringLiteral("0")); // ask when analysing
        ScriptedPrompts prompts;
        auto* search = new fWebSearch;
        search->加入LV1(QStringLiteral("T"), QStringLiteral("https://h/t"), QString(), QStringLiteral("pdf"),
                        QString(), QStringLiteral("ss"));
        // The user cancels the save-folder dialog whenever it comes up.
        QTimer user;
        connect(&user, &QTimer::timeout, this, [] {
            if (auto* d = qobject_cast<fSeleFileSavePath*>(QApplication::activeModalWidget()))
                d->findChild<QPushButton*>(QStringLiteral("Command3"))->click();
        });
        user.start(10);
        search->findChild<QAction*>(QStringLiteral("menu全部加入"))->trigger();
        QCOMPARE(search->harvestList()->cell(0, 2), QString());
        QVERIFY(!IsFormLoaded(QStringLiteral("fFileDownload")));

        auto* box = search->findChild<QCheckBox*>(QStringLiteral("Check3"));
        box->click();
        QVERIFY(!box->isChecked());
        QVERIFY(!search->findChild<QTimer*>(QStringLiteral("Timer1"))->isActive());
        search->close();
    }

    void entriesBecomeWaitingRows()
    {
        auto* search = new fWebSearch;
        search->加入LV1(QStringLiteral("A title:\r\nwith a break"),
                        QStringLiteral("https://h/doi/pdf/10.1080/00207543.2017.1234567?needAccess=true"),
                        QStringLiteral("https://h/results"), QStringLiteral("pdf"), QString(),
                        QStringLiteral("ss"));
        search->加入LV1(QStringLiteral("Own folder"), QStringLiteral("https://h/doi/pdf/2?needAccess=true"),
                        QStringLiteral("https://h/results"), QStringLiteral("pdf"),
                        dir + QStringLiteral("/own/"), QStringLiteral("ss"));
        Globals().SaveFolder = dir + QStringLiteral("/global/"); // at hand-off time, not at extraction
        QVERIFY(!IsFormLoaded(QStringLiteral("fFileDownload")));
        search->加入下载列表(0);
        search->加入下载列表(1);
        search->加入下载列表(1); // twice: still one row

        auto* downloads = qobject_cast<fFileDownload*>(FindForm(QStringLiteral("fFileDownload")));
        QVERIFY(downloads);
        QVERIFY(downloads->isHidden()); // loaded, not shown
        QCOMPARE(downloads->list()->count(), 2);
        const DownloadItem first = downloads->item(0);
        QCOMPARE(first.BaseName(), QStringLiteral("A titlewith a break"));
        QCOMPARE(first.TargetFolder(), dir + QStringLiteral("/global/"));
        QCOMPARE(first.RefererPage(), QStringLiteral("https://h/results"));
        QCOMPARE(first.Extension(), QStringLiteral("pdf"));
        QCOMPARE(first.state(), Waiting);
        QCOMPARE(downloads->item(1).TargetFolder(), dir + QStringLiteral("/own/"));
        QCOMPARE(search->harvestList()->cell(0, 2), QStringLiteral("分析完成"));
        QCOMPARE(search->harvestList()->cell(1, 2), QStringLiteral("分析完成"));

        // Named after the address.
        Globals().UseOriginalFileName = true;
        search->加入LV1(QStringLiteral("x"),
                        QStringLiteral("https://h/doi/pdf/10.1080/00207543.2017.7654321?needAccess=true"),
                        QString(), QStringLiteral("pdf"), QString(), QStringLiteral("ss"));
        search->加入下载列表(2);
        QCOMPARE(downloads->item(2).BaseName(), QStringLiteral("00207543.2017"));

        // Only web addresses go over, and a page that is no web page is named to no server.
        search->加入LV1(QStringLiteral("Script"), QStringLiteral("javascript:alert(1)?needAccess=true"),
                        QStringLiteral("https://h/results"), QStringLiteral("pdf"), QString(),
                        QStringLiteral("ss"));
        search->加入LV1(QStringLiteral("Local"), QStringLiteral("file:///etc/passwd?needAccess=true"),
                        QStringLiteral("https://h/results"), QStringLiteral("pdf"), QString(),
                        QStringLiteral("ss"));
        search->加入LV1(QStringLiteral("From a saved page"),
                        QStringLiteral("https://h/doi/pdf/3?needAccess=true"),
                        QStringLiteral("file:///home/someone/results.htm"), QStringLiteral("pdf"), QString(),
                        QStringLiteral("ss"));
        for (int row = 3; row < 6; ++row)
            search->加入下载列表(row);
        QCOMPARE(search->harvestList()->cell(3, 2), QStringLiteral("分析失败"));
        QCOMPARE(search->harvestList()->cell(4, 2), QStringLiteral("分析失败"));
        QCOMPARE(downloads->list()->count(), 4);
        QCOMPARE(downloads->item(3).AddressList(), QStringLiteral("https://h/doi/pdf/3?needAccess=true"));
        QCOMPARE(downloads->item(3).RefererPage(), QString());

        search->显示下载窗口();
        QVERIFY(downloads->isVisible());
        ScriptedPrompts prompts;
        prompts.answer(PromptAnswer::Yes);
        downloads->close();
        search->close();
    }
};

LUNOVEX_TEST_MAIN(HandOffTest)
#include "tst_handoff.moc"
