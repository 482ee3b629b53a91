#include "support/ScriptedPrompts.h"
#include "support/TestEnvironment.h"
#include "util/PathNames.h"

#include <QDir>
#include <QFile>

using namespace Lunovex;
using Lunovex::Test::ScriptedPrompts;

class PathNamesTest : public QObject
{
    Q_OBJECT

    QString dir;

private slots:
    void init() { dir = Test::freshFolder(QStringLiteral("paths")); }

    void existenceTests()
    {
        QDir(dir).mkdir(QStringLiteral("sub"));
        Test::writeFile(dir + QStringLiteral("/a.pdf"));
        QVERIFY(IsFilePresent(dir + QStringLiteral("/a.pdf")));
        QVERIFY(IsFilePresent(QStringLiteral("  ") + dir + QStringLiteral("/a.pdf  ")));
        QVERIFY(IsFilePresent(QStringLiteral("FILE://") + dir + QStringLiteral("/a.pdf")));
        QVERIFY(!IsFilePresent(dir + QStringLiteral("/sub")));
        QVERIFY(!IsFilePresent(QString()));
        QVERIFY(!IsFilePresent(dir + QStringLiteral("/missing.pdf")));

        QVERIFY(IsFolderPresent(dir + QStringLiteral("/sub")));
        QVERIFY(!IsFolderPresent(dir + QStringLiteral("/a.pdf")));
        QVERIFY(!IsFolderPresent(QStringLiteral("   ")));
    }

    void splitFileName_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("base");
        QTest::addColumn<QString>("extension");
        QTest::newRow("six letters") << "/x/paper.backup"
                                     << "paper"
                                     << "backup";
        QTest::newRow("seven letters") << "/x/paper.archive"
                                       << "paper.archive"
                                       << "";
        QTest::newRow("last dot") << "/x/a.b.pdf"
                                  << "a.b"
                                  << "pdf";
        QTest::newRow("no dot") << "/x/README"
                                << "README"
                                << "";
        QTest::newRow("trimmed") << "  /x/ name .pdf "
                                 << "name"
                                 << "pdf";
    }
    void splitFileName()
    {
        QFETCH(QString, path);
        QFETCH(QString, base);
        QFETCH(QString, extension);
        QString gotBase;
        QCOMPARE(SplitFileName(path, &gotBase), extension);
        QCOMPARE(gotBase, base);
    }

    void fileNameFromPath_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("withoutExtension");
        QTest::addColumn<QString>("name");
        QTest::newRow("address") << "https://h/doi/pdf/10.1/abc.pdf?needAccess=true" << false
                                 << "abc.pdf?needAccess=true";
        QTest::newRow("without extension") << "/d/paper.final.pdf" << true << "paper.final";
        QTest::newRow("backslashes") << "C:\\d\\x.pdf" << false << "x.pdf";
        QTest::newRow("no separator") << "x.pdf" << true << "x";
    }
    void fileNameFromPath()
    {
        QFETCH(QString, path);
        QFETCH(bool, withoutExtension);
        QFETCH(QString, name);
        QCOMPARE(FileNameFromPath(path, withoutExtension), name);
    }

    void safeFileName_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("safe");
        QTest::newRow("forbidden characters") << "What? A <new> theory: part 1/2"
                                              << "What A new theory part 12";
        QTest::newRow("double quotes anywhere") << "\"Quoted\" \"title\""
                                                << "Quoted title";
        QTest::newRow("only dots") << "....."
                                   << "";
        QTest::newRow("only forbidden") << "\\/:*?\"<>|"
                                        << "";
        QTest::newRow("dots at both ends") << "..a.b.."
                                           << "a.b";
        QTest::newRow("dot-dot segment") << ".."
                                         << "";
        QTest::newRow("line breaks and NUL") << QString("a\r\nb\nc\rd") + QChar(0) + "e"
                                             << "abcde";
        QTest::newRow("tabs stay") << "a\tb"
                                   << "a\tb";
        QTest::newRow("emoji kept whole") << QString::fromUtf8("Cells \xF0\x9F\xA7\xAC study")
                                          << QString::fromUtf8("Cells \xF0\x9F\xA7\xAC study");
        QTest::newRow("the byte cut ends on a dot")
            << QString(199, QLatin1Char('a')) + QStringLiteral(".bcd") << QString(199, QLatin1Char('a'));
        QTest::newRow("dots the cut leaves at the end")
            << QString(197, QLatin1Char('a')) + QStringLiteral("...x") << QString(197, QLatin1Char('a'));
    }
    void safeFileName()
    {
        QFETCH(QString, text);
        QFETCH(QString, safe);
        QCOMPARE(SafeFileName(text), safe);
        QCOMPARE(SafeFileName(safe), safe); // a safe name stays as it is
    }

    void safeFileNameByteLimit()
    {
        // 150 Chinese characters are 450 bytes in UTF-8: 66 whole characters fit in 200 bytes.
        const QString chinese(150, QChar(0x6587));
        QCOMPARE(SafeFileName(chinese), QString(66, QChar(0x6587)));

        const QString ascii(1000, QLatin1Char('a'));
        QCOMPARE(SafeFileName(ascii).size(), 200);

        // An emoji is four bytes and never cut in half.
        QString emoji = QString(198, QLatin1Char('a')) + QString::fromUtf8("\xF0\x9F\x98\x80");
        QCOMPARE(SafeFileName(emoji), QString(198, QLatin1Char('a')));
        QVERIFY(SafeFileName(emoji).toLocal8Bit().size() <= 200);
    }

    void limitAnsiBytes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("max");
        QTest::addColumn<QString>("kept");
        QTest::newRow("fits") << "abc" << 3 << "abc";
        QTest::newRow("ascii cut") << "abcdef" << 4 << "abcd";
        QTest::newRow("inside a 3-byte character") << QString::fromUtf8("ab\xE6\x96\x87") << 4 << "ab";
        QTest::newRow("inside a surrogate pair") << QString::fromUtf8("a\xF0\x9F\x98\x80") << 4 << "a";
        QTest::newRow("zero") << "abc" << 0 << "";
    }
    void limitAnsiBytes()
    {
        QFETCH(QString, text);
        QFETCH(int, max);
        QFETCH(QString, kept);
        const QString got = LimitAnsiBytes(text, max);
        QCOMPARE(got, kept);
        QVERIFY(got.toLocal8Bit().size() <= max);
        QCOMPARE(QString::fromLocal8Bit(got.toLocal8Bit()), got); // valid text
    }

    void createFolderPath_data()
    {
        QTest::addColumn<QString>("relative"); // under the test folder
        QTest::addColumn<QString>("result");   // relative, or "-" for empty
        QTest::addColumn<bool>("error");
        QTest::addColumn<bool>("whole"); // every segment made: what the transfers ask for
        QTest::newRow("two new folders, trailing separator") << "下载/新文件夹/"
                                                             << "下载/新文件夹" << false << true;
        QTest::newRow("forbidden character dropped") << "a/b?c"
                                                     << "a/bc" << false << true;
        QTest::newRow("unusable segment stops with error") << "a/?"
                                                              "?/b"
                                                           << "a" << true << false;
        QTest::newRow("dot-dot cannot climb out") << "a/../../etc"
                                                  << "a" << true << false;
        QTest::newRow("empty segment stops") << "a//b"
                                             << "a" << false << false;
        QTest::newRow("line break in a segment") << "a/x\ny"
                                                 << "a/xy" << false << true;
        QTest::newRow("spaces around the last segment") << "a/ papers  "
                                                        << "a/papers" << false << true;
        QTest::newRow("spaces around a middle segment") << "a/ b /c"
                                                        << "a/b/c" << false << true;
    }
    void createFolderPath()
    {
        QFETCH(QString, relative);
        QFETCH(QString, result);
        QFETCH(bool, error);
        QFETCH(bool, whole);
        ScriptedPrompts prompts;
        const QString got = CreateFolderPath(dir + QLatin1Char('/') + relative);
        QCOMPARE(got, result == QLatin1String("-") ? QString() : dir + QLatin1Char('/') + result);
        QVERIFY(IsFolderPresent(got));
        QCOMPARE(prompts.messages(),
                 error ? QStringList{QStringLiteral("文件夹名称有误！不能创建文件夹！")} : QStringList());
        if (error) QCOMPARE(prompts.records().first().icon, PromptIcon::Critical);
        prompts.clear();
        QCOMPARE(CreateWholeFolderPath(dir + QLatin1Char('/') + relative), whole ? got : QString());
        QVERIFY(prompts.records().isEmpty()); // never a word to the user
    }

    void createFolderPathNetworkWithoutServer()
    {
        ScriptedPrompts prompts;
        QCOMPARE(CreateFolderPath(QStringLiteral("///x")), QString());
        QCOMPARE(prompts.messages(), QStringList{QStringLiteral("文件夹名称有误！不能创建文件夹！")});
    }

    void createFolderPathNeverLeavesTheFolder()
    {
        // Whatever the title, a folder made from it lands inside the folder asked for.
        ScriptedPrompts prompts;
        const QStringList nasty = {QStringLiteral(".."),        QStringLiteral("../.."),
                                   QStringLiteral("..\\.."),    QString(1000, QLatin1Char('x')),
                                   QStringLiteral("a\nb/../c"), QString(QChar(0)) + QStringLiteral("z")};
        for (const QString& title : nasty) {
            const QString got = CreateFolderPath(dir + QLatin1Char('/') + title);
            if (!got.isEmpty()) QVERIFY2(QDir::cleanPath(got).startsWith(dir), qPrintable(got));
        }
    }

    void uniqueFilePath()
    {
        const QString paper = dir + QStringLiteral("/paper.pdf");
        QCOMPARE(UniqueFilePath(paper), paper); // free already
        Test::writeFile(paper);
        Test::writeFile(dir + QStringLiteral("/paper[0001].pdf"));
        QCOMPARE(UniqueFilePath(paper), dir + QStringLiteral("/paper[0002].pdf"));

        // A numbered name restarts from the bare name.
        QFile::remove(paper);
        Test::writeFile(dir + QStringLiteral("/paper[0003].pdf"));
        QCOMPARE(UniqueFilePath(dir + QStringLiteral("/paper[0003].pdf")), paper);

        // Non-numeric brackets stay part of the name.
        Test::writeFile(dir + QStringLiteral("/paper[abc].pdf"));
        QCOMPARE(UniqueFilePath(dir + QStringLiteral("/paper[abc].pdf")),
                 dir + QStringLiteral("/paper[abc][0001].pdf"));

        // No extension; a folder of the same name also counts as taken.
        Test::writeFile(dir + QStringLiteral("/notes"));
        QDir(dir).mkdir(QStringLiteral("notes[0001]"));
        QCOMPARE(UniqueFilePath(dir + QStringLiteral("/notes")), dir + QStringLiteral("/notes[0002]"));

        // The text tested is the text numbered: spaces around and file:/// addresses.
        QCOMPARE(UniqueFilePath(QStringLiteral("  ") + paper.chopped(4) + QStringLiteral("[0003].pdf ")),
                 paper);
        Test::writeFile(paper);
        QCOMPARE(UniqueFilePath(QStringLiteral(" ") + paper + QStringLiteral(" ")),
                 dir + QStringLiteral("/paper[0002].pdf"));
        QCOMPARE(UniqueFilePath(QStringLiteral("file://") + paper), dir + QStringLiteral("/paper[0002].pdf"));

        // The cut at 100 never halves a character.
        const QString emojiName =
            QString(99, QLatin1Char('E')) + QString::fromUtf8("\xF0\x9F\x98\x80") + QStringLiteral("tail");
        Test::writeFile(dir + QLatin1Char('/') + emojiName + QStringLiteral(".pdf"));
        QCOMPARE(UniqueFilePath(dir + QLatin1Char('/') + emojiName + QStringLiteral(".pdf")),
                 dir + QLatin1Char('/') + QString(99, QLatin1Char('E')) + QStringLiteral(".pdf"));

        // Long bases are cut to 100 characters before numbering.
        const QString longName = QString(120, QLatin1Char('L'));
        Test::writeFile(dir + QLatin1Char('/') + longName + QStringLiteral(".pdf"));
        QCOMPARE(UniqueFilePath(dir + QLatin1Char('/') + longName + QStringLiteral(".pdf")),
                 dir + QLatin1Char('/') + QString(100, QLatin1Char('L')) + QStringLiteral(".pdf"));
    }

    void numericText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("numeric");
        QTest::newRow("digits") << "0003" << true;
        QTest::newRow("spaces") << " 12 " << true;
        QTest::newRow("decimal") << "1.5" << true;
        QTest::newRow("letters") << "abc" << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("nan") << "nan" << false;
        QTest::newRow("group separator") << "5,000" << true;
    }
    void numericText()
    {
        QFETCH(QString, text);
        QFETCH(bool, numeric);
        QCOMPARE(IsNumericText(text), numeric);
        QCOMPARE(ParseNumber(text).has_value(), numeric);
        if (text == QLatin1String("5,000")) QCOMPARE(*ParseNumber(text), 5000.0);
    }

    void homeFolder()
    {
        const QString home = QDir::toNativeSeparators(QDir::homePath());
        QCOMPARE(ExpandHomeFolder(QStringLiteral("~")), home);
        QCOMPARE(ExpandHomeFolder(QStringLiteral("~/Papers")), home + QStringLiteral("/Papers"));
        QCOMPARE(ExpandHomeFolder(QStringLiteral("~other/x")), QStringLiteral("~other/x"));
        QCOMPARE(ExpandHomeFolder(QStringLiteral("/a/~/b")), QStringLiteral("/a/~/b"));
    }
};

LUNOVEX_TEST_MAIN(PathNamesTest)
#include "tst_pathnames.moc"
