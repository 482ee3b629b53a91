#include "download/DownloadItem.h"
#include "download/SaveNaming.h"
#include "platform/ReportList.h"
#include "support/TestEnvironment.h"

#include <QFile>

using namespace Lunovex;

namespace {

// A download list with one row: folder, name, extension as given.
struct OneRow
{
    ReportList list;
    DownloadItem item() { return DownloadItem(&list, 0); }

    OneRow(const QString& folder, const QString& name, const QString& extension)
    {
        for (int i = 0; i < 6; ++i)
            list.addColumn(QString::number(i), 50);
        list.addRow(QStringLiteral("https://h/doi/pdf/1?needAccess=true"), name, Waiting - 1);
        list.setCell(0, ColumnType, extension);
        list.setCell(0, ColumnFolder, folder);
    }
};

} // namespace

class SaveNamingTest : public QObject
{
    Q_OBJECT

    QString dir;

private slots:
    void init() { dir = Test::freshFolder(QStringLiteral("naming")) + QLatin1Char('/'); }

    void addressLists()
    {
        QCOMPARE(选择url(QStringLiteral("x|y|z")), QStringLiteral("x"));
        QCOMPARE(选择url(QStringLiteral("x")), QStringLiteral("x"));
        QCOMPARE(对调url(QStringLiteral("x|y")), QStringLiteral("y|x"));
        QCOMPARE(对调url(QStringLiteral("x|y|z")), QStringLiteral("z|x|y"));
        QCOMPARE(对调url(QStringLiteral("x")), QStringLiteral("x"));
        QCOMPARE(对调url(QStringLiteral("a|b|c|d")), QStringLiteral("a|b|c|d"));
        QCOMPARE(ItemFilePath(QStringLiteral("/d/"), QStringLiteral("p"), QStringLiteral("pdf")),
                 QStringLiteral("/d/p.pdf"));
        QCOMPARE(ItemFilePath(QStringLiteral("/d/"), QStringLiteral("p"), QString()), QStringLiteral("/d/p"));
    }

    void initialBaseName()
    {
        QCOMPARE(InitialBaseName(
                     QStringLiteral("x"),
                     QStringLiteral("https://h/doi/pdf/10.1080/00207543.2017.1234567?needAccess=true"), true),
                 QStringLiteral("00207543.2017"));
        QCOMPARE(InitialBaseName(QStringLiteral("  A study\r\nof: things?  "), QString(), false),
                 QStringLiteral("A studyof things"));
        // A title that cleans to nothing gives no hidden ".pdf": the server's name, else a word.
        QCOMPARE(
            InitialBaseName(QStringLiteral("..."), QStringLiteral("https://h/doi/pdf/10.1/abc.x?y"), false),
            QStringLiteral("abc"));
        QCOMPARE(InitialBaseName(QStringLiteral(" ?.. "), QStringLiteral("https://h/"), false),
                 QStringLiteral("未命名"));
        QCOMPARE(InitialBaseName(QStringLiteral(". . x . ."), QString(), false), QStringLiteral("x"));
    }

    void numberedSavePath_data()
    {
        QTest::addColumn<QStringList>("present");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("policy");
        QTest::addColumn<QString>("chosen");
        QTest::newRow("next free number") << QStringList{"paper.pdf", "paper[001].pdf"} << "paper"
                                          << "重命名"
                                          << "paper[002]";
        QTest::newRow("numeric suffix numbers on") << QStringList{"paper[7].pdf"} << "paper[7]"
                                                   << "重命名"
                                                   << "paper[007]";
        QTest::newRow("non-numeric brackets become corner marks") << QStringList{"paper[x].pdf"} << "paper[x]"
                                                                  << "重命名"
                                                                  << "paper『x』";
        QTest::newRow("corner-mark name taken too")
            << QStringList{"paper[x].pdf", "paper『x』.pdf"} << "paper[x]"
            << "重命名"
            << "paper『x』[001]";
        QTest::newRow("nothing present: name unchanged") << QStringList{} << "paper[3]"
                                                         << "重命名"
                                                         << "paper[3]";
        QTest::newRow("overwrite never numbers") << QStringList{"paper.pdf"} << "paper"
                                                 << "覆盖"
                                                 << "paper";
        QTest::newRow("four digits stay") << QStringList{"p[1233].pdf", "p[1234].pdf"} << "p[1233]"
                                          << "重命名"
                                          << "p[1235]";
    }
    void numberedSavePath()
    {
        QFETCH(QStringList, present);
        QFETCH(QString, name);
        QFETCH(QString, policy);
        QFETCH(QString, chosen);
        for (const QString& file : present)
            Test::writeFile(dir + file);
        QString got = name;
        QCOMPARE(
            MakeNumberedSavePath(dir.chopped(1), &got, QStringLiteral("pdf"), NamePolicyFromText(policy)),
            dir + chosen + QStringLiteral(".pdf"));
        QCOMPARE(got, chosen);
    }

    void numberedSavePathWithoutExtension()
    {
        Test::writeFile(dir + QStringLiteral("notes"));
        QString name = QStringLiteral("notes");
        QCOMPARE(MakeNumberedSavePath(dir, &name, QString(), NamePolicy::Rename),
                 dir + QStringLiteral("notes[001]"));
    }

    void skipPolicy()
    {
        OneRow row(dir, QStringLiteral("paper"), QStringLiteral("pdf"));
        QVERIFY(重命名保存路径(row.item(), NamePolicy::Skip)); // nothing there yet
        Test::writeFile(dir + QStringLiteral("paper.pdf"), QByteArray(1234, 'x'));
        QVERIFY(重命名保存路径(row.item(), NamePolicy::Rename));
        QVERIFY(重命名保存路径(row.item(), NamePolicy::Overwrite));
        QCOMPARE(row.item().state(), Waiting);
        QVERIFY(!重命名保存路径(row.item(), NamePolicy::Skip));
        QCOMPARE(row.item().state(), Finished);
        QCOMPARE(row.item().SizeText(), QStringLiteral("1234"));
        QCOMPARE(row.item().ReceivedText(), QStringLiteral("1234"));
        QCOMPARE(row.item().ProgressText(), QStringLiteral("已存在，跳过"));
    }

    void responseExtension_data()
    {
        QTest::addColumn<QString>("contentType");
        QTest::addColumn<QString>("headerBlock");
        QTest::addColumn<QString>("extension");
        QTest::newRow("html with charset") << "text/html; charset=utf-8"
                                           << ""
                                           << "html";
        QTest::newRow("octet-stream with charset") << "application/octet-stream; charset=utf-8"
                                                   << ""
                                                   << "htm";
        QTest::newRow("octet-stream plain") << "application/octet-stream"
                                            << ""
                                            << "";
        QTest::newRow("disposition fills in")
            << "application/octet-stream"
            << "HTTP/1.1 200 OK\r\nContent-Disposition: attachment; filename=\"a.caj\""
            << "caj";
        QTest::newRow("pdf") << "application/pdf"
                             << ""
                             << "pdf";
        QTest::newRow("no content type") << ""
                                         << ""
                                         << "";
    }
    void responseExtension()
    {
        QFETCH(QString, contentType);
        QFETCH(QString, headerBlock);
        QFETCH(QString, extension);
        QCOMPARE(ResponseExtension(contentType, headerBlock), extension);
    }

    void typeCorrection()
    {
        const QByteArray login = "<html><head><title>Sign in</title></head><body>x</body></html>";
        OneRow row(dir, QStringLiteral("paper"), QStringLiteral("pdf"));
        Test::writeFile(dir + QStringLiteral("paper.pdf"), login);
        QVERIFY(CorrectItemFileType(row.item()));
        QCOMPARE(row.item().Extension(), QStringLiteral("htm"));
        QCOMPARE(row.item().BaseName(), QStringLiteral("paper"));
        QVERIFY(QFile::exists(dir + QStringLiteral("paper.htm")));
        QVERIFY(!QFile::exists(dir + QStringLiteral("paper.pdf")));
        QVERIFY(!CorrectItemFileType(row.item())); // right type now

        OneRow second(dir, QStringLiteral("paper2"), QStringLiteral("pdf"));
        Test::writeFile(dir + QStringLiteral("paper2.pdf"), login);
        Test::writeFile(dir + QStringLiteral("paper2.htm"), "older");
        QVERIFY(CorrectItemFileType(second.item()));
        QCOMPARE(second.item().BaseName(), QStringLiteral("paper2[0001]"));
        QCOMPARE(QFile(dir + QStringLiteral("paper2.htm")).size(), 5); // untouched

        OneRow unknown(dir, QStringLiteral("data"), QStringLiteral("pdf"));
        Test::writeFile(dir + QStringLiteral("data.pdf"), "hello");
        QVERIFY(!CorrectItemFileType(unknown.item())); // no type found: kept
        QVERIFY(QFile::exists(dir + QStringLiteral("data.pdf")));

        OneRow missing(dir, QStringLiteral("gone"), QStringLiteral("pdf"));
        QVERIFY(!CorrectItemFileType(missing.item()));

        OneRow capitals(dir, QStringLiteral("caps"), QStringLiteral("PDF"));
        Test::writeFile(dir + QStringLiteral("caps.PDF"), "%PDF-1.4 body");
        QVERIFY(!CorrectItemFileType(capitals.item())); // same type, other case
    }
};

LUNOVEX_TEST_MAIN(SaveNamingTest)
#include "tst_savenaming.moc"
