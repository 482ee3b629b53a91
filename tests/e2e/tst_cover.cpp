#include "app/Forms.h"
#include "app/Globals.h"
#include "app/Settings.h"
#include "app/fCover.h"
#include "support/TestEnvironment.h"
#include "util/Product.h"

#include <QAction>
#include <QDir>
#include <QEventLoop>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

using namespace Lunovex;
using Lunovex::Test::control;

class CoverTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { ResetGlobals(); }

    void startUpSequence()
    {
        fCover cover;
        auto* search = control<QPushButton>(&cover, "Command1");
        QVERIFY(!search->isEnabled());
        cover.Form_Load();
        QVERIFY(cover.isVisible());
        QVERIFY(!search->isEnabled()); // not before the timer

        QCOMPARE(cover.windowTitle(), QStringLiteral("Marlow & Vance 文献下载器"));
        QCOMPARE(control<QLabel>(&cover, "Label2")->text(), QStringLiteral("版本:") + Product::version());
        QVERIFY(QRegularExpression(QStringLiteral("^版本:\\d+\\.\\d+\\.\\d+$"))
                    .match(control<QLabel>(&cover, "Label2")->text())
                    .hasMatch());
        QVERIFY(control<QLabel>(&cover, "Label5")->isHidden());
        QCOMPARE(control<QLabel>(&cover, "Label5")->text(), QStringLiteral("正在加载组件，请稍候..."));
        QVERIFY(control<QLabel>(&cover, "Label3")->isHidden());
        QCOMPARE(control<QLabel>(&cover, "Label3")->text(), QStringLiteral("最新版本："));
        QCOMPARE(control<QLabel>(&cover, "Label4")->text(),
                 QStringLiteral("(该软件仅用于科研人员辅助少量下载；请不要恶意下载和大量下载！)"));
        QCOMPARE(control<QPushButton>(&cover, "Command3")->text(), QStringLiteral("退出软件"));
        QCOMPARE(search->text(), QStringLiteral("资料检索下载"));
        QVERIFY(!control<QLabel>(&cover, "Image1")->pixmap().isNull());
        QVERIFY(!control<QLabel>(&cover, "Label1")->text().isEmpty());
        auto* timer = control<QTimer>(&cover, "Timer1");
        QVERIFY(timer->isSingleShot());
        QCOMPARE(timer->interval(), 100);

        // First start without settings.
        QCOMPARE(Globals().SaveFolder, QDir::homePath() + QStringLiteral("/12345"));
        QCOMPARE(Globals().MaxFileSizeMB, 10.0);

        QTRY_VERIFY_WITH_TIMEOUT(search->isEnabled(), 2000);
        QVERIFY(!timer->isActive());
    }

    void storedValuesAreLoaded()
    {
        SaveSetting(Setting::SaveFolder(), QStringLiteral("/data/papers/"));
        SaveSetting(Setting::MaxFileSize(), QStringLiteral("abc"));
        {
            fCover cover;
            cover.Form_Load();
            QCOMPARE(Globals().SaveFolder, QStringLiteral("/data/papers/")); // unchanged, not checked
            QCOMPARE(Globals().MaxFileSizeMB, 10.0);                         // did not convert
        }
        SaveSetting(Setting::MaxFileSize(), QStringLiteral("25"));
        fCover again;
        again.Form_Load();
        QCOMPARE(Globals().MaxFileSizeMB, 25.0);
    }

    void searchWindowComesAndGoes()
    {
        fCover cover;
        cover.Form_Load();
        auto* search = control<QPushButton>(&cover, "Command1");
        QTRY_VERIFY(search->isEnabled());
        QVERIFY(IsFormLoaded(QStringLiteral("FCOVER")));

        search->click();
        QVERIFY(cover.isHidden());
        QPointer<QWidget> web = FindForm(QStringLiteral("fWebSearch"));
        QVERIFY(web);
        QVERIFY(web->isVisible());
        QCOMPARE(web->windowTitle(),
                 QStringLiteral("Marlow & Vance 马洛-万斯数据检索分析-Marlow & Vance 文献下载器"));
        QVERIFY(IsFormLoaded(QStringLiteral("fwebsearch")));

        web->close();
        QVERIFY(cover.isVisible());
        QVERIFY(!IsFormLoaded(QStringLiteral("fWebSearch")));
        QTRY_VERIFY(web.isNull()); // deleted on close

        // Open again: a fresh search window, and from it the download window.
        search->click();
        QWidget* again = FindForm(QStringLiteral("fWebSearch"));
        QVERIFY(again);
        again->findChild<QAction*>(QStringLiteral("menu打开下载窗口"))->trigger();
        QWidget* downloads = FindForm(QStringLiteral("fFileDownload"));
        QVERIFY(downloads && downloads->isVisible());
        again->close();
        QVERIFY(cover.isHidden()); // the download window is still open
        downloads->close();
        QVERIFY(cover.isVisible());
    }

    void startWindowReturnsOnlyAfterTheLastMainWindow()
    {
        fCover cover;
        cover.Form_Load();
        QTRY_VERIFY(control<QPushButton>(&cover, "Command1")->isEnabled());
        control<QPushButton>(&cover, "Command1")->click();

        // A download window stands open beside the search window.
        QWidget download;
        download.setObjectName(QStringLiteral("fFileDownload"));
        RegisterForm(&download);
        QVERIFY(IsFormLoaded(QStringLiteral("FFILEDOWNLOAD")));

        FindForm(QStringLiteral("fWebSearch"))->close();
        QVERIFY(cover.isHidden());

        // The download window closes last.
        UnregisterForm(&download);
        ShowStartWindowUnlessLoaded(QStringLiteral("fWebSearch"));
        QVERIFY(cover.isVisible());
    }

    // Runs last: it ends the application's event loops.
    void exitEndsTheApplication()
    {
        auto* cover = new fCover;
        cover->Form_Load();
        QTRY_VERIFY(control<QPushButton>(cover, "Command1")->isEnabled());
        control<QPushButton>(cover, "Command1")->click();
        QPointer<QWidget> web = FindForm(QStringLiteral("fWebSearch"));
        QVERIFY(web);

        QEventLoop loop;
        QTimer::singleShot(0, cover, [cover] { control<QPushButton>(cover, "Command3")->click(); });
        QTimer::singleShot(5000, &loop, [&] { loop.exit(99); });
        QCOMPARE(loop.exec(), 0); // the application's quit ended this loop too
        QVERIFY(web.isNull());    // the other windows are gone
        QVERIFY(!cover->isVisible());
        delete cover;
        QVERIFY(!IsFormLoaded(QStringLiteral("fCover")));
    }
};

LUNOVEX_TEST_MAIN(CoverTest)
#include "tst_cover.moc"
