#include "app/EmulationLevel.h"
#include "app/Globals.h"
#include "app/Settings.h"
#include "app/fOption.h"
#include "app/frmAbout.h"
#include "download/fFileDownload.h"
#include "platform/Registry.h"
#include "support/RecordingShell.h"
#include "support/ScriptedPrompts.h"
#include "support/TestEnvironment.h"
#include "util/Product.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

using Lunovex::Test::control;
using Lunovex::Test::ScriptedPrompts;

namespace Lunovex {

// The settings dialog: what it shows of the globals, what its confirm stores and in which order, and
// the open download window following it.
class SettingsDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        ResetGlobals();
        Globals().OsBitness = QStringLiteral("64");
    }

    void loadShowsTheGlobals_data()
    {
        QTest::addColumn<int>("method");
        QTest::addColumn<QString>("level");
        QTest::addColumn<QString>("methodButton"); // empty: neither
        QTest::addColumn<QString>("levelButton");
        QTest::newRow("method one, IE9") << 1 << "IE9"
                                         << "Option1"
                                         << "OptionIE2";
        QTest::newRow("method two, IE11") << 2 << "IE11"
                                          << "Option2"
                                          << "OptionIE4";
        QTest::newRow("no level value yet") << 2 << "IE默认"
                                            << "Option2"
                                            << "OptionIE10";
        QTest::newRow("a name not exactly as listed") << 2 << "ie9"
                                                      << "Option2"
                                                      << "OptionIE10";
        QTest::newRow("a method that is neither") << 3 << ""
                                                  << ""
                                                  << "OptionIE10";
    }
    void loadShowsTheGlobals()
    {
        QFETCH(int, method);
        QFETCH(QString, level);
        QFETCH(QString, methodButton);
        QFETCH(QString, levelButton);
        GlobalState& g = Globals();
        g.DownloadMethod = method;
        g.EmulationLevelName = level;
        g.ProxyEnabled = 1;
        g.ProxyAddress = QStringLiteral("proxy.example.com");
        g.ProxyPort = QStringLiteral("3128");
        g.MaxFileSizeMB = 12.5;
        g.ExtractSavePathFlag = 0;
        fOption dialog;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("设置-") + QCoreApplication::applicationName());
        for (const char* name : {"Option1", "Option2"})
            QCOMPARE(control<QRadioButton>(&dialog, name)->isChecked(), methodButton == QLatin1String(name));
        QVERIFY(control<QRadioButton>(&dialog, levelButton.toLatin1().constData())->isChecked());
        QVERIFY(control<QCheckBox>(&dialog, "Check1")->isChecked());
        QCOMPARE(control<QLineEdit>(&dialog, "Text6")->text(), QStringLiteral("proxy.example.com"));
        QCOMPARE(control<QLineEdit>(&dialog, "Text8")->text(), QStringLiteral("3128"));
        QCOMPARE(control<QLineEdit>(&dialog, "Text1")->text(), QStringLiteral("12.5"));
        QVERIFY(!control<QCheckBox>(&dialog, "Check2")->isChecked());
    }

    // Confirm stores every value; the open download window follows the method at once.
    void confirmStoresAndTheDownloadWindowFollows()
    {
        ScriptedPrompts prompts;
        auto* downloads = new fFileDownload;
        {
            fOption dialog;
            control<QRadioButton>(&dialog, "Option1")->setChecked(true);
            control<QCheckBox>(&dialog, "Check1")->setChecked(true);
            control<QLineEdit>(&dialog, "Text6")->setText(QStringLiteral(" 192.0.2.10 "));
            control<QLineEdit>(&dialog, "Text8")->setText(QStringLiteral("8080"));
            control<QLineEdit>(&dialog, "Text1")->setText(QStringLiteral("25"));
            control<QCheckBox>(&dialog, "Check2")->setChecked(false);
            control<QRadioButton>(&dialog, "OptionIE1")->setChecked(true);
            control<QPushButton>(&dialog, "Command1")->click();
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
        }
        QCOMPARE(control<QLabel>(downloads, "Label7")->text(), QStringLiteral("下载方式：1"));
        QVERIFY(!control<QComboBox>(downloads, "Combo1")->isEnabled());
        QCOMPARE(GetSetting(Setting::DownloadMethod()), QStringLiteral("1"));
        QCOMPARE(GetSetting(Setting::ProxyEnabled()), QStringLiteral("1"));
        QCOMPARE(GetSetting(Setting::ProxyAddress()), QStringLiteral("192.0.2.10"));
        QCOMPARE(GetSetting(Setting::ProxyPort()), QStringLiteral("8080"));
        QCOMPARE(GetSetting(Setting::MaxFileSize()), QStringLiteral("25"));
        QCOMPARE(GetSetting(Setting::ExtractSavePathFlag()), QStringLiteral("0"));
        QCOMPARE(Globals().EmulationLevelName, QStringLiteral("IE8"));
        QCOMPARE(RegistryReadDword(EmulationKeyPath(), EmulationValueName(), QStringLiteral("32")),
                 QStringLiteral("8000"));
        QCOMPARE(RegistryReadDword(EmulationKeyPath(), EmulationValueName(), QStringLiteral("64")),
                 QStringLiteral("8000"));
        QVERIFY(prompts.messages().isEmpty());

        control<QComboBox>(downloads, "Combo1")->setCurrentIndex(3);
        {
            fOption dialog;
            control<QRadioButton>(&dialog, "Option2")->setChecked(true);
            control<QRadioButton>(&dialog, "OptionIE10")->setChecked(true); // 默认
            control<QPushButton>(&dialog, "Command1")->click();
        }
        QCOMPARE(control<QLabel>(downloads, "Label7")->text(), QStringLiteral("下载方式：2"));
        QVERIFY(control<QComboBox>(downloads, "Combo1")->isEnabled());
        QCOMPARE(control<QComboBox>(downloads, "Combo1")->currentText(), QStringLiteral("1"));
        QCOMPARE(Globals().EmulationLevelName, QString());
        QCOMPARE(RegistryReadDword(EmulationKeyPath(), EmulationValueName(), QStringLiteral("32")),
                 QStringLiteral("Error")); // removed
        prompts.answer(PromptAnswer::Yes);
        downloads->close();
    }

    // A proxy without an address: the message comes once, and the values are stored all the same;
    // a size that is no number keeps the last one.
    void badValuesAreStoredOrKept()
    {
        ScriptedPrompts prompts;
        Globals().MaxFileSizeMB = 7;
        fOption dialog;
        control<QCheckBox>(&dialog, "Check1")->setChecked(true);
        control<QLineEdit>(&dialog, "Text6")->setText(QString());
        control<QLineEdit>(&dialog, "Text8")->setText(QStringLiteral("80"));
        control<QLineEdit>(&dialog, "Text1")->setText(QStringLiteral("abc"));
        control<QPushButton>(&dialog, "Command1")->click();
        QCOMPARE(prompts.messages(), QStringList{QStringLiteral("代理服务器网址或者端口格式不对！")});
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(GetSetting(Setting::ProxyEnabled()), QStringLiteral("1"));
        QCOMPARE(Globals().MaxFileSizeMB, 7.0);
        QCOMPARE(GetSetting(Setting::MaxFileSize()), QStringLiteral("7"));
    }

    void closeStoresNothing()
    {
        SaveSetting(Setting::ProxyPort(), QStringLiteral("1"));
        fOption dialog;
        control<QLineEdit>(&dialog, "Text8")->setText(QStringLiteral("9999"));
        control<QPushButton>(&dialog, "Command2")->click();
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(GetSetting(Setting::ProxyPort()), QStringLiteral("1"));
    }

    // The about box, modal from the menu: versions, the newer release found, the system, the links.
    void aboutBox()
    {
        ScriptedPrompts prompts;
        Test::RecordingShell shell;
        GlobalState& g = Globals();
        g.LatestVersion = QStringLiteral("9.9.9");
        g.OsDescription = QStringLiteral("Debian GNU/Linux 12 (Linux 6.1)[64位]");
        g.EmulationLevelName = QStringLiteral("IE11");
        auto* downloads = new fFileDownload;
        downloads->show();
        QStringList seen;
        QTimer::singleShot(200, this, [&] {
            auto* about = qobject_cast<frmAbout*>(QApplication::activeModalWidget());
            if (!about) return;
            for (const char* name :
                 {"LabelTitle", "LabelVersion", "LabelLatest", "LabelComponents", "LabelSystem"})
                seen << control<QLabel>(about, name)->text();
            emit control<QLabel>(about, "LabelLinks")->linkActivated(Product::productPage());
            control<QPushButton>(about, "cmdOK")->click();
        });
        downloads->findChild<QAction*>(QStringLiteral("关于"))->trigger();
        QCOMPARE(seen.size(), 5);
        QCOMPARE(seen[0], Product::title());
        QCOMPARE(seen[1], QStringLiteral("版本:") + Product::version());
        QCOMPARE(seen[2], QStringLiteral("最新版本：V9.9.9"));
        QVERIFY(seen[3].contains(QString::fromLatin1(qVersion())));
        QVERIFY(seen[4].contains(g.OsDescription) && seen[4].contains(QStringLiteral("64位")) &&
                seen[4].contains(QStringLiteral("IE11")));
        QCOMPARE(shell.calls, QStringList{QStringLiteral("openUrl ") + Product::productPage()});
        prompts.answer(PromptAnswer::Yes);
        downloads->close();
    }

    // Through the real window: the menu opens it modally, and its own button closes it.
    void openedModallyFromTheMenu()
    {
        ScriptedPrompts prompts;
        auto* downloads = new fFileDownload;
        downloads->show();
        bool seen = false;
        QTimer::singleShot(200, this, [&] {
            auto* dialog = qobject_cast<fOption*>(QApplication::activeModalWidget());
            seen = dialog && dialog->isVisible();
            if (dialog) control<QPushButton>(dialog, "Command2")->click();
        });
        downloads->findChild<QAction*>(QStringLiteral("设置"))->trigger();
        QVERIFY(seen);
        prompts.answer(PromptAnswer::Yes);
        downloads->close();
    }
};

} // namespace Lunovex

LUNOVEX_TEST_MAIN(Lunovex::SettingsDialogTest)
#include "tst_settingsdialog.moc"
