#include "platform/AppFolder.h"
#include "platform/EventPump.h"
#include "platform/SoundOutput.h"
#include "support/RecordingShell.h"
#include "support/ScriptedPrompts.h"
#include "support/TestEnvironment.h"
#include "util/ShellHelpers.h"
#include "util/Sound.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QUrlQuery>

using namespace Lunovex;
using Lunovex::Test::RecordingShell;
using Lunovex::Test::ScriptedPrompts;

class ShellHelpersTest : public QObject
{
    Q_OBJECT

    QString dir;

private slots:
    void init() { dir = Test::freshFolder(QStringLiteral("shell")); }
    void cleanup()
    {
        SoundOutput::setTestListener({});
        SetApplicationFolderOverride(QString());
    }

    void soundsAreWrittenOnFirstUseAndPlayed()
    {
        const QString appFolder = dir + QStringLiteral("/My Programs");
        QDir().mkpath(appFolder);
        SetApplicationFolderOverride(appFolder);
        QStringList played;
        SoundOutput::setTestListener([&](const QString& path) { played.append(path); });

        for (int number : {101, 102, 103}) {
            const QString path = appFolder + QStringLiteral("/%1.wav").arg(number);
            QVERIFY(!QFile::exists(path));
            PlayWaveSound(number);
            QFile wav(path);
            QVERIFY(wav.open(QIODevice::ReadOnly));
            const QByteArray head = wav.read(12);
            QCOMPARE(head.left(4), QByteArray("RIFF"));
            QCOMPARE(head.mid(8, 4), QByteArray("WAVE"));
            QVERIFY(wav.size() > 1000);
        }
        // A space in the folder: the short form is the path itself here.
        QCOMPARE(played,
                 (QStringList{appFolder + "/101.wav", appFolder + "/102.wav", appFolder + "/103.wav"}));

        // An existing file is played as it is, not rewritten.
        QFile mine(appFolder + QStringLiteral("/101.wav"));
        QVERIFY(mine.open(QIODevice::WriteOnly));
        mine.write("mine");
        mine.close();
        PlayWaveSound(101);
        QCOMPARE(QFileInfo(appFolder + QStringLiteral("/101.wav")).size(), 4);

        // A number without a sound plays nothing.
        PlayWaveSound(999);
        QCOMPARE(played.size(), 4);
    }

    void soundWithoutAudioDeviceNeitherCrashesNorHangs()
    {
        SetApplicationFolderOverride(dir);
        QElapsedTimer timer;
        timer.start();
        PlayWaveSound(102);
        PlayWaveSound(102);
        EventPump::sleep(milliseconds(300));
        QVERIFY(timer.elapsed() < 5000);
    }

    void openUrlFallsBackToTheBrowser()
    {
        RecordingShell shell;
        OpenUrl(QStringLiteral("https://journals.example.org/search?q=x"));
        QCOMPARE(shell.calls, QStringList{QStringLiteral("openUrl https://journals.example.org/search?q=x")});

        shell.calls.clear();
        shell.acceptOpenUrl = false;
        OpenUrl(QStringLiteral("https://journals.example.org/"), true);
        QCOMPARE(shell.calls, (QStringList{QStringLiteral("openUrl https://journals.example.org/"),
                                           QStringLiteral("startBrowser https://journals.example.org/")}));
    }

    void openFileWithShell()
    {
        RecordingShell shell;
        ScriptedPrompts prompts;
        OpenFileWithShell(dir + QStringLiteral("/missing.pdf"), nullptr);
        QCOMPARE(prompts.messages(), QStringList{QStringLiteral("文件不存在！")});
        QCOMPARE(prompts.records().first().icon, PromptIcon::Critical);
        QVERIFY(shell.calls.isEmpty());

        QFile f(dir + QStringLiteral("/a.pdf"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        OpenFileWithShell(dir + QStringLiteral("/a.pdf"), nullptr);
        QCOMPARE(shell.calls, QStringList{QStringLiteral("openFile ") + dir + QStringLiteral("/a.pdf")});
    }

    void openFolderAndSelect()
    {
        RecordingShell shell;
        QVERIFY(!OpenFolderAndSelect(dir + QStringLiteral("/missing.pdf")));
        QVERIFY(!OpenFolderAndSelect(dir)); // a folder is no file
        QVERIFY(shell.calls.isEmpty());

        const QString file = dir + QStringLiteral("/a.pdf");
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        QVERIFY(OpenFolderAndSelect(QStringLiteral(" ") + file + QStringLiteral(" ")));
        QCOMPARE(shell.calls, QStringList{QStringLiteral("showInFolder ") + file});
        shell.acceptShowInFolder = false;
        QVERIFY(!OpenFolderAndSelect(file));
    }

    void suggestionMail()
    {
        RecordingShell shell;
        SendSuggestionMail(nullptr);
        QCOMPARE(shell.calls.size(), 1);
        const QUrl link(shell.calls.first().mid(QStringLiteral("openUrl ").size()), QUrl::StrictMode);
        QCOMPARE(link.scheme(), QStringLiteral("mailto"));
        QCOMPARE(link.path(), QStringLiteral("feedback@lunovex.example.org"));
        const QUrlQuery query(link);
        QCOMPARE(query.queryItemValue(QStringLiteral("subject"), QUrl::FullyDecoded),
                 QStringLiteral("我要对[Marlow & Vance 文献下载器]提建议"));
        const QString expected =
            QStringLiteral("软件名称：Marlow & Vance 文献下载器") + QStringLiteral(" 姓名：") +
            QString(10, QLatin1Char(' ')) + QStringLiteral(" Email：") + QString(11, QLatin1Char(' ')) +
            QStringLiteral(" 联系地址：") + QString(11, QLatin1Char(' ')) + QStringLiteral(" 邮编：") +
            QString(14, QLatin1Char(' ')) + QStringLiteral(" 电话：") + QString(20, QLatin1Char(' ')) +
            QStringLiteral(" 日期：") +
            QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat);
        QCOMPARE(query.queryItemValue(QStringLiteral("body"), QUrl::FullyDecoded), expected);
    }

    void browseForFolder_data()
    {
        QTest::addColumn<QString>("start");  // "@" stands for the test folder
        QTest::addColumn<QString>("answer"); // empty: cancelled
        QTest::addColumn<QString>("shownAt");
        QTest::addColumn<QString>("result");
        QTest::newRow("cancel returns the start folder") << "@/Papers/"
                                                         << ""
                                                         << "@/"
                                                         << "@/Papers/";
        QTest::newRow("start without separator") << "@/Papers"
                                                 << ""
                                                 << "@/"
                                                 << "@/Papers/";
        QTest::newRow("chosen folder gets a separator") << "@/Papers/"
                                                        << "@/chosen"
                                                        << "@/"
                                                        << "@/chosen/";
        QTest::newRow("empty start opens at the root") << ""
                                                       << ""
                                                       << "/"
                                                       << "/";
        QTest::newRow("missing parent opens at the root") << "/no/such/place/x/"
                                                          << ""
                                                          << "/"
                                                          << "/no/such/place/x/";
    }
    void browseForFolder()
    {
        QFETCH(QString, start);
        QFETCH(QString, answer);
        QFETCH(QString, shownAt);
        QFETCH(QString, result);
        QDir().mkpath(dir + QStringLiteral("/Papers"));
        const auto at = [this](QString s) { return s.replace(QLatin1Char('@'), dir); };
        ScriptedPrompts prompts;
        if (answer.isEmpty())
            prompts.cancelNext();
        else
            prompts.answerText(at(answer));
        QCOMPARE(BrowseForFolder(nullptr, at(start), QStringLiteral("请选择文件夹"), false), at(result));
        QCOMPARE(prompts.records().size(), 1);
        QCOMPARE(prompts.records().first().kind, ScriptedPrompts::Kind::Folder);
        QCOMPARE(prompts.records().first().start, at(shownAt));
        QCOMPARE(prompts.records().first().text, QStringLiteral("请选择文件夹"));
    }
};

LUNOVEX_TEST_MAIN(ShellHelpersTest)
#include "tst_shellhelpers.moc"
