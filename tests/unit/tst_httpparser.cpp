#include "platform/HttpParser.h"

#include <QTest>

using namespace Lunovex;

namespace {

struct Parsed
{
    HttpParser parser;
    QByteArray body;
};

// Feeds the answer in pieces of the given size (0: whole), then ends the stream when asked.
Parsed parse(const QByteArray& answer, int piece, bool endStream, bool head = false)
{
    Parsed p{HttpParser(head), {}};
    const int step = piece > 0 ? piece : int(std::max<qsizetype>(answer.size(), 1));
    for (qsizetype at = 0; at < answer.size(); at += step)
        p.parser.feed(answer.constData() + at, std::min<qsizetype>(step, answer.size() - at), &p.body);
    if (endStream && !p.parser.done() && !p.parser.failed()) p.parser.endOfStream();
    return p;
}

} // namespace

// Where a body ends, as the connection delivers it in any pieces.
class HttpParserTest : public QObject
{
    Q_OBJECT

private slots:
    void framing_data()
    {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<bool>("closed");     // the connection ended after the answer
        QTest::addColumn<QString>("outcome"); // done, failed, open (still waiting)
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");

        const QByteArray ok = "HTTP/1.1 200 OK\r\n";
        QTest::newRow("length") << ok + "Content-Length: 5\r\n\r\nhello" << false << "done" << 200
                                << QByteArray("hello");
        QTest::newRow("bytes after the length are not the body")
            << ok + "Content-Length: 2\r\n\r\nhello" << false << "done" << 200 << QByteArray("he");
        QTest::newRow("short of its length")
            << ok + "Content-Length: 9\r\n\r\nhello" << true << "failed" << 200 << QByteArray("hello");
        QTest::newRow("close after headers") << ok + "Content-Length: 9\r\n\r\n"
                                             << true << "failed" << 200 << QByteArray();
        QTest::newRow("empty by its length") << ok + "Content-Length: 0\r\n\r\n"
                                             << false << "done" << 200 << QByteArray();
        QTest::newRow("chunked")
            << ok + "Transfer-Encoding: chunked\r\n\r\n5;x=y\r\nhello\r\n1\r\n!\r\n0\r\nT: 1\r\n\r\n"
            << false << "done" << 200 << QByteArray("hello!");
        QTest::newRow("chunked, no last chunk") << ok + "Transfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n"
                                                << true << "failed" << 200 << QByteArray("hello");
        QTest::newRow("chunked, cut inside a chunk") << ok + "Transfer-Encoding: chunked\r\n\r\n9\r\nhello"
                                                     << true << "failed" << 200 << QByteArray("hello");
        QTest::newRow("chunked, waiting for the last chunk")
            << ok + "Transfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n"
            << false << "open" << 200 << QByteArray("hello");
        QTest::newRow("chunked wins over a length")
            << ok + "Content-Length: 2\r\nTransfer-Encoding: gzip, chunked\r\n\r\n3\r\nabc\r\n0\r\n\r\n"
            << false << "done" << 200 << QByteArray("abc");
        QTest::newRow("chunk longer than its size")
            << ok + "Transfer-Encoding: chunked\r\n\r\n2\r\nabc\r\n0\r\n\r\n"
            << false << "failed" << 200 << QByteArray("ab");
        QTest::newRow("chunk size not hex") << ok + "Transfer-Encoding: chunked\r\n\r\nzz\r\n"
                                            << false << "failed" << 200 << QByteArray();
        QTest::newRow("chunk size past any body")
            << ok + "Transfer-Encoding: chunked\r\n\r\n1000000000000000\r\n"
            << false << "failed" << 200 << QByteArray();
        QTest::newRow("framed by the close")
            << ok + "\r\nhello" << true << "done" << 200 << QByteArray("hello");
        QTest::newRow("framed by the close, still open")
            << ok + "\r\nhello" << false << "open" << 200 << QByteArray("hello");
        QTest::newRow("interim answer first")
            << "HTTP/1.1 100 Continue\r\n\r\n" + ok + "Content-Length: 2\r\n\r\nhi" << false << "done" << 200
            << QByteArray("hi");
        QTest::newRow("no body for 304")
            << QByteArray("HTTP/1.1 304 Not Modified\r\nContent-Length: 9\r\n\r\n") << false << "done" << 304
            << QByteArray();
        QTest::newRow("LF only, folded header, no reason")
            << QByteArray("HTTP/1.0 404\nX: a\n b\nContent-Length: 1\n\nz") << false << "done" << 404
            << QByteArray("z");
        QTest::newRow("garbage status line")
            << QByteArray("HELLO THERE\r\n\r\nbody") << true << "failed" << 0 << QByteArray();
        QTest::newRow("HTTP/2 is not what was asked")
            << QByteArray("HTTP/2 200 OK\r\n\r\n") << true << "failed" << 0 << QByteArray();
        QTest::newRow("two lengths that differ") << ok + "Content-Length: 2\r\nContent-Length: 3\r\n\r\nabc"
                                                 << false << "failed" << 200 << QByteArray();
        QTest::newRow("length not a number") << ok + "Content-Length: 1e3\r\n\r\n"
                                             << false << "failed" << 200 << QByteArray();
        QTest::newRow("header line without a name") << ok + ": x\r\n\r\n"
                                                    << false << "failed" << 200 << QByteArray();
        QTest::newRow("headers without end")
            << ok + "X: " + QByteArray(70000, 'a') << false << "failed" << 200 << QByteArray();
        QTest::newRow("nothing at all") << QByteArray() << true << "failed" << 0 << QByteArray();
    }

    void framing()
    {
        QFETCH(QByteArray, answer);
        QFETCH(bool, closed);
        QFETCH(QString, outcome);
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        for (int piece : {0, 1, 3, 7}) {
            const Parsed p = parse(answer, piece, closed);
            const QString seen = p.parser.done()     ? QStringLiteral("done")
                                 : p.parser.failed() ? QStringLiteral("failed")
                                                     : QStringLiteral("open");
            QCOMPARE(seen, outcome);
            QCOMPARE(p.body, body);
            if (status != 0) QCOMPARE(p.parser.status(), status);
            QCOMPARE(p.parser.bodyBytes(), qint64(body.size()));
        }
    }

    void headerValues()
    {
        const Parsed p =
            parse("HTTP/1.1 302 Found\r\nlocation: /next\r\nSet-Cookie: a=1\r\nSet-Cookie: b=2\r\n"
                  "Content-Length: 0\r\n\r\n",
                  0, false);
        QVERIFY(p.parser.done());
        QCOMPARE(p.parser.version(), QByteArray("HTTP/1.1"));
        QCOMPARE(p.parser.reason(), QByteArray("Found"));
        QCOMPARE(p.parser.header("Location"), QByteArray("/next"));
        QCOMPARE(p.parser.headers().size(), 4);
        QCOMPARE(p.parser.contentLength(), 0);
        QVERIFY(parse("HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\n", 0, false, true).parser.done()); // HEAD
    }
};

QTEST_GUILESS_MAIN(HttpParserTest)
#include "tst_httpparser.moc"
