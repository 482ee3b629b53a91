#include "app/Settings.h"
#include "app/WindowPlacement.h"
#include "platform/AppFolder.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

using namespace Lunovex;

Q_DECLARE_METATYPE(Lunovex::SettingKey)

class SettingsTest : public QObject
{
    Q_OBJECT

private slots:
    void defaultsOfEveryValue_data()
    {
        QTest::addColumn<SettingKey>("setting");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("defaultValue");
        const auto row = [](const char* name, const SettingKey& k, const char* section, const char* key,
                            const QString& def) {
            QTest::newRow(name) << k << QString::fromUtf8(section) << QString::fromUtf8(key) << def;
        };
        row("save folder", Setting::SaveFolder(), "设置", "下载文件保存路径",
            QDir::homePath() + QStringLiteral("/12345"));
        row("size limit", Setting::MaxFileSize(), "设置", "文件最大值", "10");
        row("method", Setting::DownloadMethod(), "设置", "下载方式", "2");
        row("proxy on", Setting::ProxyEnabled(), "设置", "代理服务器有效", "0");
        row("proxy address", Setting::ProxyAddress(), "设置", "代理服务器网址", "");
        row("proxy port", Setting::ProxyPort(), "设置", "代理服务器端口", "");
        row("ask at extraction", Setting::ExtractSavePathFlag(), "设置", "提取网页信息时提示下载保存路径",
            "1");
        row("threads", Setting::ThreadCountIndex(), "下载", "线程", "2");
        row("same name", Setting::DuplicateNamePolicy(), "专利下载", "重复文件名设置",
            QStringLiteral("重命名"));
        row("pause", Setting::SearchPauseIndex(), "fWebSearch", "combo2", "10");
        row("page", Setting::SearchPageUrl(), "fWebSearch", "Web1Url", "");
        row("other page", Setting::SearchOtherUrl(), "fWebSearch", "otherUrl", "");
        row("copy folder", Setting::CopyDestinationFolder(), "Form_Copy_Move", "目的文件夹",
            ApplicationFolder());
        row("copy option", Setting::CopyOptionIndex(), "Form_Copy_Move", "OpIndex", "4");
    }
    void defaultsOfEveryValue()
    {
        QFETCH(SettingKey, setting);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, defaultValue);
        QCOMPARE(setting.section, section);
        QCOMPARE(setting.key, key);
        QCOMPARE(setting.defaultValue, defaultValue);
        QCOMPARE(GetSetting(setting), defaultValue); // nothing stored yet
    }

    void valuesRoundTripUnderTheApplicationTitle()
    {
        SaveSetting(QStringLiteral("设置"), QStringLiteral("代理服务器网址"),
                    QStringLiteral("proxy.example.org"));
        QCOMPARE(GetSetting(Setting::ProxyAddress()), QStringLiteral("proxy.example.org"));
        SaveSetting(Setting::SearchPageUrl(), QStringLiteral("https://h/a?b=1&c=%20"));
        QCOMPARE(GetSetting(QStringLiteral("fWebSearch"), QStringLiteral("Web1Url"), QStringLiteral("x")),
                 QStringLiteral("https://h/a?b=1&c=%20"));
        QCOMPARE(GetSetting(QStringLiteral("无"), QStringLiteral("无"), QStringLiteral("默认")),
                 QStringLiteral("默认"));

        // Kept in the per-user config folder (the test's own), in a file named after the title.
        const QString file = qEnvironmentVariable("XDG_CONFIG_HOME") +
                             QStringLiteral("/Lunovex/Marlow & Vance 文献下载器.ini");
        QVERIFY2(QFile::exists(file), qPrintable(file));
    }

    void numbersThatDoNotConvertKeepTheDefault_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<double>("read");
        QTest::newRow("letters") << "abc" << 10.0;
        QTest::newRow("empty") << "" << 10.0;
        QTest::newRow("decimal") << "25.5" << 25.5;
        QTest::newRow("spaces") << " 3 " << 3.0;
        QTest::newRow("infinite") << "1e999" << 10.0;
    }
    void numbersThatDoNotConvertKeepTheDefault()
    {
        QFETCH(QString, stored);
        QFETCH(double, read);
        SaveSetting(Setting::MaxFileSize(), stored);
        QCOMPARE(GetSettingDouble(Setting::MaxFileSize()), read);
    }

    void wholeNumbers()
    {
        SaveSetting(Setting::DownloadMethod(), QStringLiteral("1"));
        QCOMPARE(GetSettingInt(Setting::DownloadMethod()), 1);
        SaveSetting(Setting::DownloadMethod(), QStringLiteral("zwei"));
        QCOMPARE(GetSettingInt(Setting::DownloadMethod()), 2);
        SaveSetting(Setting::DownloadMethod(), QStringLiteral("99999999999"));
        QCOMPARE(GetSettingInt(Setting::DownloadMethod()), 2);
        SaveSetting(Setting::MaxFileSize(), 12.5);
        QCOMPARE(GetSetting(Setting::MaxFileSize()), QStringLiteral("12.5"));
        SaveSetting(Setting::ThreadCountIndex(), 3);
        QCOMPARE(GetSetting(Setting::ThreadCountIndex()), QStringLiteral("3"));
    }

    void screenResolutionText()
    {
        const QSize size = QGuiApplication::primaryScreen()->size();
        QCOMPARE(ScreenResolutionText(), QStringLiteral("%1*%2").arg(size.width()).arg(size.height()));
    }

    void placementFirstRunMaximises()
    {
        QWidget window;
        window.setObjectName(QStringLiteral("fFirstRun"));
        RestoreWindowPlacement(&window);
        QVERIFY(window.windowState() & Qt::WindowMaximized);
    }

    void placementClosedMaximisedOpensMaximised()
    {
        QWidget window;
        window.setObjectName(QStringLiteral("fMax"));
        window.showMaximized();
        QTRY_VERIFY(window.isMaximized());
        SaveWindowPlacement(&window);
        QCOMPARE(GetSetting(QStringLiteral("fMax"), QStringLiteral("分辨率")), QStringLiteral("0*0"));
        QCOMPARE(GetSetting(QStringLiteral("fMax"), QStringLiteral("宽"), QStringLiteral("none")),
                 QStringLiteral("none"));

        QWidget again;
        again.setObjectName(QStringLiteral("fMax"));
        RestoreWindowPlacement(&again);
        QVERIFY(again.windowState() & Qt::WindowMaximized);
    }

    void placementAtNormalSizeComesBack()
    {
        QWidget window;
        window.setObjectName(QStringLiteral("fNormal"));
        window.move(40, 30);
        window.resize(500, 300);
        SaveWindowPlacement(&window);
        QCOMPARE(GetSetting(QStringLiteral("fNormal"), QStringLiteral("分辨率")), ScreenResolutionText());
        QCOMPARE(GetSetting(QStringLiteral("fNormal"), QStringLiteral("宽")), QStringLiteral("7500"));
        QCOMPARE(GetSetting(QStringLiteral("fNormal"), QStringLiteral("高")), QStringLiteral("4500"));
        QCOMPARE(GetSetting(QStringLiteral("fNormal"), QStringLiteral("左")), QStringLiteral("600"));
        QCOMPARE(GetSetting(QStringLiteral("fNormal"), QStringLiteral("上")), QStringLiteral("450"));

        QWidget again;
        again.setObjectName(QStringLiteral("fNormal"));
        RestoreWindowPlacement(&again);
        QVERIFY(!(again.windowState() & Qt::WindowMaximized));
        QCOMPARE(again.pos(), QPoint(40, 30));
        QCOMPARE(again.size(), QSize(500, 300));

        // Another screen resolution: maximised.
        SaveSetting(QStringLiteral("fNormal"), QStringLiteral("分辨率"), QStringLiteral("1*1"));
        QWidget elsewhere;
        elsewhere.setObjectName(QStringLiteral("fNormal"));
        RestoreWindowPlacement(&elsewhere);
        QVERIFY(elsewhere.windowState() & Qt::WindowMaximized);
    }

    void placementLowerBounds()
    {
        const QString name = QStringLiteral("fBounds");
        SaveSetting(name, QStringLiteral("分辨率"), ScreenResolutionText());
        SaveSetting(name, QStringLiteral("上"), QStringLiteral("-500"));
        SaveSetting(name, QStringLiteral("左"), QStringLiteral("abc")); // does not convert: default 100
        SaveSetting(name, QStringLiteral("宽"), QStringLiteral("100"));
        SaveSetting(name, QStringLiteral("高"), QStringLiteral("10"));
        QWidget window;
        window.setObjectName(name);
        RestoreWindowPlacement(&window);
        QCOMPARE(window.pos(), QPoint(100 / kTwipsPerPixel, 0));
        QCOMPARE(window.size(), QSize(4000 / kTwipsPerPixel, 3000 / kTwipsPerPixel));
    }
};

LUNOVEX_TEST_MAIN(SettingsTest)
#include "tst_settings.moc"
