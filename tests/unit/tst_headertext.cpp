#include "support/TestEnvironment.h"
#include "util/HeaderText.h"

#include <QTimeZone>

using namespace Lunovex;

class HeaderTextTest : public QObject
{
    Q_OBJECT

private slots:
    void retryAfter_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<qint64>("seconds"); // -1: nothing
        QTest::newRow("seconds") << "120" << qint64(120);
        QTest::newRow("spaces") << " 5 " << qint64(5);
        QTest::newRow("RFC 1123 date") << "Fri, 11 Dec 2026 12:02:00 GMT" << qint64(120);
        QTest::newRow("RFC 850 date") << "Friday, 11-Dec-26 12:01:00 GMT" << qint64(60);
        QTest::newRow("asctime date") << "Fri Dec 11 12:00:30 2026" << qint64(30);
        QTest::newRow("a date past") << "Thu, 10 Dec 2026 12:00:00 GMT" << qint64(0);
        QTest::newRow("negative") << "-5" << qint64(-1);
        QTest::newRow("garbage") << "soon" << qint64(-1);
        QTest::newRow("empty") << "" << qint64(-1);
    }
    void retryAfter()
    {
        QFETCH(QString, value);
        QFETCH(qint64, seconds);
        const QDateTime now(QDate(2026, 12, 11), QTime(12, 0), QTimeZone::utc());
        const std::optional<qint64> got = RetryAfterSeconds(value, now);
        QCOMPARE(got.value_or(-1), seconds);
    }

    void publisherPause_data()
    {
        QTest::addColumn<qint64>("retryAfter"); // -1: no header
        QTest::addColumn<qint64>("interval");
        QTest::addColumn<int>("inARow");
        QTest::addColumn<qint64>("pause");
        QTest::newRow("as asked") << qint64(30) << qint64(0) << 1 << qint64(30);
        QTest::newRow("no header: at least a minute") << qint64(-1) << qint64(5) << 1 << qint64(60);
        QTest::newRow("no header: the longer interval") << qint64(-1) << qint64(90) << 1 << qint64(90);
        QTest::newRow("second in a row doubles") << qint64(30) << qint64(0) << 2 << qint64(60);
        QTest::newRow("third in a row") << qint64(-1) << qint64(0) << 3 << qint64(240);
        QTest::newRow("capped") << qint64(-1) << qint64(0) << 9 << qint64(600);
        QTest::newRow("asked too long") << qint64(86400) << qint64(0) << 1 << qint64(600);
    }
    void publisherPause()
    {
        QFETCH(qint64, retryAfter);
        QFETCH(qint64, interval);
        QFETCH(int, inARow);
        QFETCH(qint64, pause);
        const std::optional<qint64> asked =
            retryAfter >= 0 ? std::optional<qint64>(retryAfter) : std::nullopt;
        QCOMPARE(PublisherPauseSeconds(asked, interval, inARow), pause);
        QVERIFY(AsksToSlowDown(429, QString()));
        QVERIFY(AsksToSlowDown(503, QStringLiteral("10")));
        QVERIFY(!AsksToSlowDown(503, QString()));
        QVERIFY(!AsksToSlowDown(200, QStringLiteral("10")));
    }

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
