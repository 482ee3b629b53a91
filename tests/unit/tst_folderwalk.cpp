#include "support/TestEnvironment.h"
#include "util/FolderWalk.h"

#include <QDir>
#include <QFile>

using namespace Lunovex;

namespace {

QStringList walked(void (*walker)(const QString&, QStringList&, bool), const QString& folder, bool recursive)
{
    QStringList found{QString()};
    walker(folder, found, recursive);
    return found;
}

} // namespace

class FolderWalkTest : public QObject
{
    Q_OBJECT

    QString dir;

private slots:
    void init()
    {
        dir = Test::freshFolder(QStringLiteral("walk"));
        QDir(dir).mkpath(QStringLiteral("sub/deeper"));
        QDir(dir).mkpath(QStringLiteral("RECYCLER"));
        Test::writeFile(dir + QStringLiteral("/a.txt"), {});
        Test::writeFile(dir + QStringLiteral("/.hidden"), {});
        Test::writeFile(dir + QStringLiteral("/PageFile.SYS"), {});
        Test::writeFile(dir + QStringLiteral("/sub/b.txt"), {});
        Test::writeFile(dir + QStringLiteral("/sub/deeper/c.txt"), {});
    }

    void listFiles()
    {
        QCOMPARE(walked(ListFiles, dir, false), (QStringList{dir + "/.hidden", dir + "/a.txt", QString()}));
        QCOMPARE(walked(ListFiles, dir + "/", true),
                 (QStringList{dir + "/.hidden", dir + "/a.txt", dir + "/sub/b.txt", dir + "/sub/deeper/c.txt",
                              QString()}));
    }

    void listSubfolders()
    {
        // RECYCLER is skipped only directly under the root, so here it is listed.
        QCOMPARE(walked(ListSubfolders, dir, false),
                 (QStringList{dir + "/RECYCLER", dir + "/sub", QString()}));
        QCOMPARE(walked(ListSubfolders, dir, true),
                 (QStringList{dir + "/RECYCLER", dir + "/sub", dir + "/sub/deeper", QString()}));
        QCOMPARE(walked(ListSubfolders, QStringLiteral("Temp"), true), QStringList{QString()}); // relative
        QCOMPARE(walked(ListSubfolders, dir + "/missing", true), QStringList{QString()});
    }

    void rootListingNeverShowsRecycler()
    {
        const QStringList found = walked(ListSubfolders, QStringLiteral("/"), false);
        QCOMPARE(found.last(), QString());
        QVERIFY(found.contains(QStringLiteral("/tmp")));
        for (const QString& path : found)
            QVERIFY(path.compare(QStringLiteral("/recycler"), Qt::CaseInsensitive) != 0);
    }

    void linkLoopIsNotEntered()
    {
        QVERIFY(QFile::link(dir, dir + QStringLiteral("/sub/loop")));
        const QStringList found = walked(ListSubfolders, dir, true);
        QVERIFY(found.contains(dir + QStringLiteral("/sub/loop")));
        QVERIFY(!found.contains(dir + QStringLiteral("/sub/loop/sub")));
    }

    void urlExtension_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("extension");
        QTest::addColumn<QString>("filePart");
        QTest::newRow("query cut") << "https://h/files/paper.pdf?download=1"
                                   << "pdf"
                                   << "paper.pdf?download=1";
        QTest::newRow("script page") << "https://h/view.aspx?id=3"
                                     << "aspx"
                                     << "view.aspx?id=3";
        QTest::newRow("no dot") << "https://h/doi/10.1/abc"
                                << ""
                                << "abc";
        QTest::newRow("local path") << "/cache/x/image[1].jpeg"
                                    << "jpeg"
                                    << "image[1].jpeg";
        QTest::newRow("too long") << "https://h/a.torrent"
                                  << ""
                                  << "a.torrent";
        QTest::newRow("fragment") << "https://h/a.png#top"
                                  << "png"
                                  << "a.png";
        QTest::newRow("nested address") << "https://h/go?to=http://x/y.gif"
                                        << ""
                                        << "go?to=http://x/y.gif";
    }
    void urlExtension()
    {
        QFETCH(QString, url);
        QFETCH(QString, extension);
        QFETCH(QString, filePart);
        QString part;
        QCOMPARE(UrlExtension(url, &part), extension);
        QCOMPARE(part, filePart);
    }

    void splitPathParts_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("base");
        QTest::addColumn<QString>("extension");
        QTest::newRow("plain") << "/d/paper.pdf"
                               << "/d/"
                               << "paper"
                               << "pdf";
        QTest::newRow("dot file") << ".htaccess"
                                  << ""
                                  << ".htaccess"
                                  << "";
        QTest::newRow("long extension") << "/d/x.torrent"
                                        << "/d/"
                                        << "x.torrent"
                                        << "";
        QTest::newRow("no extension") << "/d/README"
                                      << "/d/"
                                      << "README"
                                      << "";
    }
    void splitPathParts()
    {
        QFETCH(QString, path);
        QFETCH(QString, folder);
        QFETCH(QString, base);
        QFETCH(QString, extension);
        QString gotBase, gotExtension;
        QCOMPARE(SplitPathParts(path, &gotExtension, &gotBase), folder);
        QCOMPARE(gotBase, base);
        QCOMPARE(gotExtension, extension);
    }

    void splitBracketNumber_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("rest");
        QTest::newRow("number") << "paper[003]"
                                << "003"
                                << "paper";
        QTest::newRow("not a number") << "paper[draft]"
                                      << ""
                                      << "paper[draft]";
        QTest::newRow("only the number") << "[12]"
                                         << ""
                                         << "[12]";
        QTest::newRow("last bracket counts") << "a[1][2]"
                                             << "2"
                                             << "a[1]";
        QTest::newRow("no bracket") << "paper"
                                    << ""
                                    << "paper";
    }
    void splitBracketNumber()
    {
        QFETCH(QString, name);
        QFETCH(QString, number);
        QFETCH(QString, rest);
        QString gotRest;
        QCOMPARE(SplitBracketNumber(name, &gotRest), number);
        QCOMPARE(gotRest, rest);
    }
};

LUNOVEX_TEST_MAIN(FolderWalkTest)
#include "tst_folderwalk.moc"
