#include "support/TestEnvironment.h"
#include "util/HeaderText.h"

using namespace Lunovex;

class HeaderTextTest : public QObject
{
    Q_OBJECT

private slots:
    void contentDispositionLine_data()
    {
        QTest::addColumn<QString>("block");
        QTest::addColumn<QString>("expected");
        QTest::newRow("capitals")
            << "HTTP/1.1 200 OK\r\nCONTENT-DISPOSITION: attachment; filename=a.pdf\r\nX: y"
            << "attachment; filename=a.pdf";
        QTest::newRow("no such line") << "HTTP/1.1 200 OK\r\nContent-Type: application/pdf"
                                      << "";
        QTest::newRow("indented, first line wins")
            << "HTTP/1.1 200 OK\r\n   content-disposition:   inline  \r\nContent-Disposition: attachment"
            << "inline";
        QTest::newRow("space before colon does not match") << "Content-Disposition : attachment"
                                                           << "";
        QTest::newRow("empty block") << ""
                                     << "";
    }
    void contentDispositionLine()
    {
        QFETCH(QString, block);
        QFETCH(QString, expected);
        QCOMPARE(从网络文件Header获取ContentDisposition(block), expected);
    }

    void dispositionExtension_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("extension");
        QTest::newRow("quoted, case kept") << "attachment; filename=\"Report 2019.PDF\""
                                           << "PDF";
        QTest::newRow("semicolon inside quotes cuts") << "attachment; filename=\"a;b.pdf\""
                                                      << "";
        QTest::newRow("seven letters") << "attachment; filename=archive.torrent"
                                       << "";
        QTest::newRow("no dot") << "attachment; filename=notes"
                                << "";
        QTest::newRow("only extension") << "attachment; filename=.pdf"
                                        << "pdf";
        QTest::newRow("starred form only") << "attachment; filename*=UTF-8''x.pdf"
                                           << "";
        QTest::newRow("both forms: plain wins") << "attachment; filename*=UTF-8''x.doc; filename=x.pdf"
                                                << "pdf";
        QTest::newRow("apostrophes removed") << "inline; FILENAME='paper.djvu'"
                                             << "djvu";
        QTest::newRow("letters stop at digit") << "attachment; filename=movie.mp4"
                                               << "mp";
        QTest::newRow("no file name") << "inline"
                                      << "";
    }
    void dispositionExtension()
    {
        QFETCH(QString, value);
        QFETCH(QString, extension);
        QString got = QStringLiteral("stale");
        从下载头信息ContentDisposition获取文件名(value, &got);
        QCOMPARE(got, extension);
    }

    void mimeTypes_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("extension");
        QTest::newRow("pdf") << "application/pdf"
                             << "pdf";
        QTest::newRow("pdf in capitals") << "Application/PDF"
                                         << "pdf";
        QTest::newRow("plain text") << "text/plain"
                                    << "txt";
        QTest::newRow("tiff") << "image/tiff"
                              << "tif";
        QTest::newRow("octet-stream") << "application/octet-stream"
                                      << "";
        QTest::newRow("powerpoint") << "application/vnd.ms-powerpoint"
                                    << "ppt";
        QTest::newRow("realmedia") << "application/vnd.rn-realmedia"
                                   << "rm";
        QTest::newRow("html") << "text/html"
                              << "html";
        QTest::newRow("mpeg4 through the letter filter") << "video/mpeg4"
                                                         << "mp";
        QTest::newRow("g3fax through the letter filter") << "image/g3fax"
                                                         << "g";
        QTest::newRow("javascript too long") << "text/javascript"
                                             << "";
        QTest::newRow("unlisted subtype") << "application/json"
                                          << "json";
        QTest::newRow("unlisted type") << "chemical/x-pdb"
                                       << "x";
        QTest::newRow("no slash") << "text"
                                  << "text";
        QTest::newRow("two slashes") << "a/b/c"
                                     << "a";
        QTest::newRow("star subtype") << "image/*"
                                      << "";
        QTest::newRow("empty subtype") << "application/"
                                       << "";
        QTest::newRow("spaces inside subtype") << "application / p d f"
                                               << "pdf";
        QTest::newRow("mail message") << "message/rfc822"
                                      << "mht";
        QTest::newRow("empty") << ""
                               << "";
    }
    void mimeTypes()
    {
        QFETCH(QString, type);
        QFETCH(QString, extension);
        QCOMPARE(MimeTypeToExtension(type), extension);
    }

    void siteRoot_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("root");
        QTest::newRow("path cut") << "a://b/c/d.pdf"
                                  << "a://b";
        QTest::newRow("no path") << "a://b"
                                 << "a://b";
        QTest::newRow("slash right after scheme") << "a:///c"
                                                  << "a:///c";
        QTest::newRow("relative, long first segment") << "bcde/f"
                                                      << "bcde";
        QTest::newRow("relative, short first segment") << "ab/c"
                                                       << "ab/c";
        QTest::newRow("port kept") << "https://journals.example.org:8443/doi/pdf/1"
                                   << "https://journals.example.org:8443";
    }
    void siteRoot()
    {
        QFETCH(QString, url);
        QFETCH(QString, root);
        QCOMPARE(UrlSiteRoot(url), root);
    }

    void lineBreaks()
    {
        const QString text = QStringLiteral("  \t\r\nx");
        QCOMPARE(StripLineBreaks(text), QStringLiteral("x"));
        QCOMPARE(RemoveLineBreaks(text), QStringLiteral("  \tx"));
        QCOMPARE(RemoveLineBreaks(QStringLiteral("a\rb\nc") + QChar(0) + QStringLiteral("d")),
                 QStringLiteral("abcd"));
        QCOMPARE(StripLineBreaks(QStringLiteral(" a\tb ") + QChar(0)), QStringLiteral("ab"));
    }

    void trimSpacesLeavesTabs()
    {
        QCOMPARE(TrimSpaces(QStringLiteral("  \ta \t  ")), QStringLiteral("\ta \t"));
        QCOMPARE(TrimSpaces(QStringLiteral("    ")), QString());
    }
};

LUNOVEX_TEST_MAIN(HeaderTextTest)
#include "tst_headertext.moc"
