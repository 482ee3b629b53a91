#include "app/EmulationLevel.h"
#include "app/Globals.h"
#include "platform/Registry.h"
#include "support/TestEnvironment.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>
#include <QTest>

using namespace Lunovex;

// The emulation level kept in the registry stand-in, the registry helpers and the start-up and
// shut-down steps.
class EmulationLevelTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QFile::remove(Registry::storePath());
        ResetGlobals();
    }

    void levelsAsRead_data()
    {
        QTest::addColumn<QString>("value32"); // empty: no value
        QTest::addColumn<QString>("value64");
        QTest::addColumn<QString>("bitness");
        QTest::addColumn<QString>("level");
        QTest::addColumn<int>("mode");
        QTest::newRow("no value") << ""
                                  << ""
                                  << "64"
                                  << "IE默认" << 1;
        QTest::newRow("11000") << "11000"
                               << ""
                               << "32"
                               << "IE11" << 1;
        QTest::newRow("11001") << "11001"
                               << ""
                               << "32"
                               << "IE11" << 2;
        QTest::newRow("9999") << "9999"
                              << ""
                              << "32"
                              << "IE9" << 2;
        QTest::newRow("8888") << "8888"
                              << ""
                              << "32"
                              << "IE8" << 2;
        QTest::newRow("7000") << "7000"
                              << ""
                              << "32"
                              << "IE7" << 1;
        QTest::newRow("12345") << "12345"
                               << ""
                               << "32"
                               << "IE默认" << 1;
        QTest::newRow("32-bit view first on 64") << "10000"
                                                 << "11000"
                                                 << "64"
                                                 << "IE10" << 1;
        QTest::newRow("64-bit view when 32 has none") << ""
                                                      << "8000"
                                                      << "64"
                                                      << "IE8" << 1;
        QTest::newRow("64-bit view unread on 32") << ""
                                                  << "8000"
                                                  << "32"
                                                  << "IE默认" << 1;
    }
    void levelsAsRead()
    {
        QFETCH(QString, value32);
        QFETCH(QString, value64);
        QFETCH(QString, bitness);
        QFETCH(QString, level);
        QFETCH(int, mode);
        if (!value32.isEmpty())
            QVERIFY(RegistryWriteDword(EmulationKeyPath(), EmulationValueName(), value32.toUInt(),
                                       QStringLiteral("32")));
        if (!value64.isEmpty())
            QVERIFY(RegistryWriteDword(EmulationKeyPath(), EmulationValueName(), value64.toUInt(),
                                       QStringLiteral("64")));
        int got = 0;
        QCOMPARE(GetEmulationLevel(bitness, &got), level);
        QCOMPARE(got, mode);
    }

    void levelsAsWritten_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("bitness");
        QTest::addColumn<QString>("in32");
        QTest::addColumn<QString>("in64");
        QTest::newRow("IE8 on 64 bits: both views") << "IE8" << 1 << "64"
                                                    << "8000"
                                                    << "8000";
        QTest::newRow("ie9 mode 2, any case") << "ie9" << 2 << "32"
                                              << "9999"
                                              << "Error";
        QTest::newRow("default removes") << "IE默认" << 1 << "64"
                                         << "Error"
                                         << "Error";
        QTest::newRow("unknown name removes") << "IE6" << 1 << "64"
                                              << "Error"
                                              << "Error";
        QTest::newRow("empty removes") << "" << 1 << "32"
                                       << "Error"
                                       << "Error";
    }
    void levelsAsWritten()
    {
        QFETCH(QString, name);
        QFETCH(int, mode);
        QFETCH(QString, bitness);
        QFETCH(QString, in32);
        QFETCH(QString, in64);
        RegistryWriteDword(EmulationKeyPath(), EmulationValueName(), 7000,
                           QStringLiteral("32")); // what was there goes first
        RegistryWriteDword(EmulationKeyPath(), EmulationValueName(), 7000, QStringLiteral("64"));
        if (bitness == QLatin1String("32"))
            RegistryDeleteValue(EmulationKeyPath(), EmulationValueName(), QStringLiteral("64"));
        SetEmulationLevel(name, mode, bitness);
        QCOMPARE(RegistryReadDword(EmulationKeyPath(), EmulationValueName(), QStringLiteral("32")), in32);
        QCOMPARE(RegistryReadDword(EmulationKeyPath(), EmulationValueName(), QStringLiteral("64")), in64);
    }

    void viewsAndPaths()
    {
        QVERIFY(RegistryWriteDword(EmulationKeyPath(), EmulationValueName(), 1, QStringLiteral("64")));
        QCOMPARE(Registry::lastAccessMask(), Registry::kAccess64);
        QCOMPARE(RegistryReadDword(EmulationKeyPath(), EmulationValueName(), QStringLiteral("32")),
                 QStringLiteral("Error")); // apart
        QCOMPARE(Registry::lastAccessMask(), Registry::kAccess32);
        QCOMPARE(RegistryReadString(EmulationKeyPath(), EmulationValueName(), QStringLiteral("64")),
                 QStringLiteral("Error")); // a DWORD

        // Keys are opened, never made.
        QVERIFY(!RegistryWriteDword(QStringLiteral("HKEY_CURRENT_USER\\Software\\Nowhere"),
                                    QStringLiteral("x"), 1, QStringLiteral("32")));
        QVERIFY(!RegistryDeleteValue(QStringLiteral("HKEY_CURRENT_USER\\Software\\Nowhere"),
                                     QStringLiteral("x"), QStringLiteral("32")));
        QVERIFY(RegistryDeleteValue(EmulationKeyPath(), QStringLiteral("never there"), QStringLiteral("32")));

        for (const QString& rejected :
             {QStringLiteral("HKEY_LOCAL_MACHINE\\"), QStringLiteral("SOFTWARE\\Microsoft"),
              QStringLiteral("hkey_local_machine\\SOFTWARE"), QString()}) {
            QString path = rejected;
            QCOMPARE(RegistrySplitPath(&path), RegistryRoot(0));
            QCOMPARE(RegistryReadDword(rejected, EmulationValueName(), QStringLiteral("32")),
                     QStringLiteral("Error"));
        }
        QString path = QStringLiteral("HKEY_USERS\\S-1\\Software");
        QCOMPARE(RegistrySplitPath(&path), HKEY_USERS_);
        QCOMPARE(path, QStringLiteral("S-1\\Software"));
        path = QStringLiteral("HKEY_CURRENT_CONFIG");
        QCOMPARE(RegistrySplitPath(&path), HKEY_CURRENT_CONFIG_);
        QCOMPARE(path, QString());
        QCOMPARE(RegistryRootFromName(QStringLiteral(" hkey_dyn_data ")), HKEY_DYN_DATA_);
        QCOMPARE(RegistryRootFromName(QStringLiteral("HKEY_NOWHERE")), RegistryRoot(0));
    }

    // No value at the first start: the level reads "IE默认", and the end writes 11000, so the next
    // start reads IE11. A level chosen meanwhile is left as it is.
    void startUpAndShutDown()
    {
        DetermineSystemValues();
        QVERIFY(Globals().OsBitness == QLatin1String("64") || Globals().OsBitness == QLatin1String("32"));
        QVERIFY(Globals().OsDescription.endsWith(QStringLiteral("[") + Globals().OsBitness +
                                                 QStringLiteral("位]")));
        QVERIFY(Globals().OsDescription.contains(QSysInfo::kernelVersion())); // no product name here
        QCOMPARE(Globals().EmulationLevelName, QStringLiteral("IE默认"));
        SaveEmulationLevelAtExit();
        QCOMPARE(RegistryReadDword(EmulationKeyPath(), EmulationValueName(), QStringLiteral("32")),
                 QStringLiteral("11000"));
        DetermineSystemValues();
        QCOMPARE(Globals().EmulationLevelName, QStringLiteral("IE11"));

        SetEmulationLevel(QStringLiteral("IE8"), 1, Globals().OsBitness);
        Globals().EmulationLevelName = QStringLiteral("IE8");
        SaveEmulationLevelAtExit();
        QCOMPARE(RegistryReadDword(EmulationKeyPath(), EmulationValueName(), QStringLiteral("32")),
                 QStringLiteral("8000"));
    }

    // A store that cannot be written: writes fail without a word, and the level still reads.
    void unwritableStoreIsSilent()
    {
        const QString path = Registry::storePath();
        QDir().mkpath(path); // a folder where the file should be
        QVERIFY(!RegistryWriteDword(EmulationKeyPath(), EmulationValueName(), 11000, QStringLiteral("32")));
        SetEmulationLevel(QStringLiteral("IE10"), 1, QStringLiteral("64"));
        int mode = 0;
        QVERIFY(!GetEmulationLevel(QStringLiteral("64"), &mode).isEmpty());
        QCOMPARE(mode, 1);
        QDir(path).removeRecursively();
    }
};

LUNOVEX_TEST_MAIN(EmulationLevelTest)
#include "tst_emulationlevel.moc"
