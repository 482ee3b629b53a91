#include "platform/Clock.h"
#include "platform/EventPump.h"
#include "platform/Inet.h"
#include "platform/Network.h"
#include "support/FixtureServer.h"
#include "support/TestEnvironment.h"

#include <QFile>
#include <QNetworkCookie>
#include <QNetworkCookieJar>
#include <QSignalSpy>
#include <QSslKey>
#include <QSslServer>
#include <QSslSocket>
#include <QTcpServer>

using namespace Lunovex;
using Lunovex::Test::FixtureServer;
using Lunovex::Test::ReceivedRequest;
using Lunovex::Test::Route;

namespace {

// Reads the whole body the way the download loop does.
QByteArray readAll(Inet& inet, int chunk = 2048)
{
    QByteArray body;
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 10000) {
        const QByteArray piece = inet.GetChunk(chunk);
        body += piece;
        if (piece.isEmpty() && inet.TransferEnded()) break;
    }
    return body;
}

bool waitHeaders(Inet& inet)
{
    return EventPump::waitUntil([&] { return !inet.StillExecuting(); }, milliseconds(5000));
}

QByteArray fixture(const char* name)
{
    QFile f(QStringLiteral(LUNOVEX_FIXTURES "/tls/") + QLatin1String(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A TLS server on loopback with a self-signed certificate for 127.0.0.1, answering every request
// with a small PDF.
class TlsServer : public QObject
{
public:
    TlsServer()
    {
        QSslConfiguration config = QSslConfiguration::defaultConfiguration();
        config.setLocalCertificate(QSslCertificate(fixture("cert.pem")));
        config.setPrivateKey(QSslKey(fixture("key.pem"), QSsl::Rsa));
        server_.setSslConfiguration(config);
        connect(&server_, &QTcpServer::pendingConnectionAvailable, this, [this] {
            while (QTcpSocket* socket = server_.nextPendingConnection())
                connect(socket, &QTcpSocket::readyRead, socket, [socket] {
                    if (!socket->readAll().contains("\r\n\r\n")) return;
                    socket->write("HTTP/1.1 200 OK\r\nContent-Type: application/pdf\r\nContent-Length: 9\r\n"
                                  "Connection: close\r\n\r\n%PDF-1.4\n");
                    socket->disconnectFromHost();
                });
        });
        server_.listen(QHostAddress::LocalHost);
    }
    QString url() const
    {
        return QStringLiteral("https://127.0.0.1:%1/secure.pdf").arg(server_.serverPort());
    }

private:
    QSslServer server_;
};

} // namespace

class InetTest : public QObject
{
    Q_OBJECT

    FixtureServer server;

private slots:
    void initTestCase()
    {
        QVERIFY(server.start());
        Timing::current().chunkWait = milliseconds(50);
    }

    void headerBlockAndChunkedReads()
    {
        Route pdf = Route::pdf(10000);
        pdf.headers.append(qMakePair(QByteArray("X-Note"), QByteArray("hello")));
        server.route(QStringLiteral("/a.pdf"), pdf);
        Inet inet;
        QSignalSpy states(&inet, &Inet::StateChanged);
        inet.Execute(server.url(QStringLiteral("/a.pdf")), QStringLiteral("GET"), {},
                     QStringLiteral("Referer: http://127.0.0.1/page\r\n"));
        QVERIFY(inet.StillExecuting());
        QVERIFY(waitHeaders(inet));

        const QStringList lines = inet.GetHeader().split(QStringLiteral("\r\n"));
        QCOMPARE(lines.first(), QStringLiteral("HTTP/1.1 200 OK"));
        QVERIFY(lines.contains(QStringLiteral("Content-Length: 10000")));
        QCOMPARE(inet.GetHeader(QStringLiteral("content-type")), QStringLiteral("application/pdf"));
        QCOMPARE(inet.GetHeader(QStringLiteral("X-Missing")), QString());

        const QByteArray body = readAll(inet);
        QCOMPARE(body.size(), 10000);
        QVERIFY(body.startsWith("%PDF-1.4"));
        QVERIFY(inet.BodyComplete());
        QVERIFY(!inet.TransferFailed());
        QCOMPARE(inet.GetChunk(2048), QByteArray()); // the end reads empty, again and again

        QList<int> seen;
        for (const auto& args : states)
            seen.append(args.first().toInt());
        QCOMPARE(seen.first(), 1);
        QVERIFY(seen.contains(8));
        QCOMPARE(seen.last(), 12);

        // What went out: our Referer, the browser's user agent.
        const auto request = server.requestsFor(QStringLiteral("/a.pdf")).last();
        QCOMPARE(request.method, QByteArray("GET"));
        QCOMPARE(request.headers.value("referer"), QByteArray("http://127.0.0.1/page"));
        QCOMPARE(QString::fromLatin1(request.headers.value("user-agent")), Network::userAgent());
    }

    void chunkedBodyWithoutLength()
    {
        Route r = Route::pdf(70000);
        r.chunked = true;
        server.route(QStringLiteral("/chunked.pdf"), r);
        Inet inet;
        inet.Execute(server.url(QStringLiteral("/chunked.pdf")), QStringLiteral("GET"));
        QVERIFY(waitHeaders(inet));
        QCOMPARE(inet.GetHeader(QStringLiteral("Content-Length")), QString());
        QCOMPARE(readAll(inet).size(), 70000);
        QVERIFY(inet.BodyComplete());
    }

    // Both follow redirects: the header block and the body are the final answer's.
    void redirectsEndAtTheFinalAnswer()
    {
        Route moved = Route::html("<html><body>moved</body></html>");
        moved.redirectTo = server.url(QStringLiteral("/target.pdf")).toLatin1();
        moved.setCookie = "hop=1; Path=/";
        server.route(QStringLiteral("/moved"), moved);
        server.route(QStringLiteral("/target.pdf"), Route::pdf(3000));

        Inet inet;
        inet.Execute(server.url(QStringLiteral("/moved")), QStringLiteral("GET"), {},
                     QStringLiteral("Referer: http://127.0.0.1/page\r\n"));
        QVERIFY(waitHeaders(inet));
        QVERIFY(inet.GetHeader().startsWith(QStringLiteral("HTTP/1.1 200 OK")));
        QCOMPARE(inet.GetHeader(QStringLiteral("Content-Type")), QStringLiteral("application/pdf"));
        QCOMPARE(readAll(inet), Route::pdfBody(3000));
        QVERIFY(inet.BodyComplete());
        const ReceivedRequest hop = server.requestsFor(QStringLiteral("/target.pdf")).last();
        QCOMPARE(hop.headers.value("referer"), QByteArray("http://127.0.0.1/page"));
        QVERIFY(hop.headers.value("cookie").contains("hop=1")); // set by the redirect itself

        QCOMPARE(inet.OpenURL(server.url(QStringLiteral("/moved"))), Route::pdfBody(3000));

        Route loop;
        loop.redirectTo = "/loop";
        server.route(QStringLiteral("/loop"), loop);
        const int before = server.requestsFor(QStringLiteral("/loop")).size();
        QCOMPARE(inet.OpenURL(server.url(QStringLiteral("/loop"))), QByteArray()); // gives up after 20
        QVERIFY(inet.TransferFailed());
        QCOMPARE(server.requestsFor(QStringLiteral("/loop")).size() - before, 21);
        inet.Execute(server.url(QStringLiteral("/loop")), QStringLiteral("GET"));
        QVERIFY(waitHeaders(inet));
        QCOMPARE(inet.GetHeader(), QString());
        QVERIFY(inet.TransferFailed());
    }

    void transportFailuresAreNotCompletion_data()
    {
        QTest::addColumn<bool>("chunked");
        QTest::addColumn<bool>("reset");
        QTest::newRow("closed short of its length") << false << false;
        QTest::newRow("reset short of its length") << false << true;
        QTest::newRow("chunked, closed inside a chunk") << true << false;
        QTest::newRow("chunked, reset inside a chunk") << true << true;
    }
    void transportFailuresAreNotCompletion()
    {
        QFETCH(bool, chunked);
        QFETCH(bool, reset);
        Route r = Route::pdf(200000);
        r.chunked = chunked;
        r.closeAfter = 5000;
        r.resetOnClose = reset;
        server.route(QStringLiteral("/cut.pdf"), r);
        Inet inet;
        inet.Execute(server.url(QStringLiteral("/cut.pdf")), QStringLiteral("GET"));
        QVERIFY(waitHeaders(inet));
        const QByteArray body = readAll(inet);
        QVERIFY(body.size() < 200000);
        QVERIFY(inet.TransferEnded());
        QVERIFY(inet.TransferFailed());
        QVERIFY(!inet.BodyComplete());
    }

    void cancelAtAnyTime()
    {
        Route slow = Route::pdf(1000000);
        slow.throttleBytes = 2000;
        slow.throttleMs = 20;
        server.route(QStringLiteral("/slow.pdf"), slow);
        Inet inet;
        inet.Cancel(); // nothing runs: harmless
        inet.Execute(server.url(QStringLiteral("/slow.pdf")), QStringLiteral("GET"));
        inet.Cancel(); // before the headers
        QVERIFY(!inet.StillExecuting());
        QVERIFY(inet.TransferEnded());
        QCOMPARE(inet.GetHeader(), QString());

        inet.Execute(server.url(QStringLiteral("/slow.pdf")), QStringLiteral("GET"));
        QVERIFY(waitHeaders(inet));
        QVERIFY(!inet.GetChunk(2048).isEmpty() || !inet.GetChunk(2048).isEmpty());
        inet.Cancel(); // in the middle of the body
        QVERIFY(inet.TransferEnded());
        QVERIFY(inet.TransferFailed());
        QCOMPARE(inet.GetChunk(2048), QByteArray());
    }

    void stalledBodyReadsEmptyWithoutEnding()
    {
        Route stall = Route::pdf(100000);
        stall.stallAfter = 4096;
        server.route(QStringLiteral("/stall.pdf"), stall);
        Inet inet;
        inet.Execute(server.url(QStringLiteral("/stall.pdf")), QStringLiteral("GET"));
        QVERIFY(waitHeaders(inet));
        QByteArray body;
        for (int i = 0; i < 10; ++i)
            body += inet.GetChunk(2048);
        QCOMPARE(body.size(), 4096);
        QVERIFY(!inet.TransferEnded()); // still open, just silent
        inet.Cancel();
    }

    void refusedConnectionHasNoHeaders()
    {
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost, 0));
        const quint16 port = closed.serverPort();
        closed.close();
        Inet inet;
        QSignalSpy states(&inet, &Inet::StateChanged);
        inet.Execute(QStringLiteral("http://127.0.0.1:%1/x.pdf").arg(port), QStringLiteral("GET"));
        QVERIFY(waitHeaders(inet));
        QCOMPARE(inet.GetHeader(), QString());
        QVERIFY(inet.TransferFailed());
        QVERIFY(inet.ResponseCode() != 0);
        QVERIFY(!inet.ResponseInfo().isEmpty());
        QCOMPARE(states.last().first().toInt(), 11);
    }

    void httpErrorPagesAreAnswersNotFailures()
    {
        Inet inet;
        inet.Execute(server.url(QStringLiteral("/nowhere.pdf")), QStringLiteral("GET"));
        QVERIFY(waitHeaders(inet));
        QVERIFY(inet.GetHeader().startsWith(QStringLiteral("HTTP/1.1 404 Not Found")));
        QVERIFY(readAll(inet).contains("Not Found"));
        QVERIFY(inet.BodyComplete());
    }

    void cookiesAreSharedWithEveryTransfer()
    {
        Route setter = Route::html("<html><body>results</body></html>");
        setter.setCookie = "session=abc123; Path=/";
        server.route(QStringLiteral("/results"), setter);
        Route guarded = Route::pdf(1000);
        guarded.requireCookie = "session=abc123";
        server.route(QStringLiteral("/guarded.pdf"), guarded);

        Inet first;
        first.Execute(server.url(QStringLiteral("/guarded.pdf")), QStringLiteral("GET"));
        QVERIFY(waitHeaders(first));
        QVERIFY(first.GetHeader().startsWith(QStringLiteral("HTTP/1.1 403")));

        first.Execute(server.url(QStringLiteral("/results")), QStringLiteral("GET"));
        QVERIFY(waitHeaders(first));
        readAll(first);

        Inet second; // another transfer sees the cookie the first one received
        second.Execute(server.url(QStringLiteral("/guarded.pdf")), QStringLiteral("GET"));
        QVERIFY(waitHeaders(second));
        QVERIFY(second.GetHeader().startsWith(QStringLiteral("HTTP/1.1 200")));
        QCOMPARE(readAll(second).size(), 1000);

        // A cookie put into the shared jar (as the browser does) goes out too.
        Network::cookieJar()->insertCookie([this] {
            QNetworkCookie c("lang", "zh");
            c.setDomain(QStringLiteral("127.0.0.1"));
            c.setPath(QStringLiteral("/"));
            return c;
        }());
        second.Execute(server.url(QStringLiteral("/a.pdf")), QStringLiteral("GET"));
        QVERIFY(waitHeaders(second));
        QVERIFY(
            server.requestsFor(QStringLiteral("/a.pdf")).last().headers.value("cookie").contains("lang=zh"));
    }

    // Certificates are verified: one nobody vouches for fails the transfer; the same server
    // trusted reads as any other.
    void tlsCertificatesAreVerified()
    {
        if (!QSslSocket::supportsSsl()) QSKIP("no TLS backend");
        TlsServer tls;
        Inet inet;
        inet.Execute(tls.url(), QStringLiteral("GET"));
        QVERIFY(waitHeaders(inet));
        QCOMPARE(inet.GetHeader(), QString());
        QVERIFY(inet.TransferFailed());
        QCOMPARE(inet.ResponseCode(), int(QNetworkReply::SslHandshakeFailedError));

        const QSslConfiguration before = QSslConfiguration::defaultConfiguration();
        QSslConfiguration trusting = before;
        trusting.addCaCertificate(QSslCertificate(fixture("cert.pem")));
        QSslConfiguration::setDefaultConfiguration(trusting);
        inet.Execute(tls.url(), QStringLiteral("GET"));
        QVERIFY(waitHeaders(inet));
        QCOMPARE(readAll(inet), QByteArray("%PDF-1.4\n"));
        QVERIFY(inet.BodyComplete());
        QSslConfiguration::setDefaultConfiguration(before);
    }

    void namedProxyCarriesTheRequest()
    {
        server.route(QStringLiteral("/via-proxy.pdf"), Route::pdf(2000));
        Inet inet;
        inet.AccessType = Inet::icNamedProxy;
        inet.Proxy = QStringLiteral("127.0.0.1:%1").arg(server.port());
        inet.Execute(QStringLiteral("http://journals.example.org/via-proxy.pdf"), QStringLiteral("GET"));
        QVERIFY(waitHeaders(inet));
        QCOMPARE(readAll(inet).size(), 2000);
        const auto requests = server.requestsFor(QStringLiteral("/via-proxy.pdf"));
        QCOMPARE(requests.size(), 1);
        QVERIFY(requests.first().viaProxy);
        QCOMPARE(requests.first().headers.value("host"), QByteArray("journals.example.org"));

        // Back to no proxy for the next request.
        inet.AccessType = Inet::icUseDefault;
        inet.Execute(server.url(QStringLiteral("/via-proxy.pdf")), QStringLiteral("GET"));
        QVERIFY(waitHeaders(inet));
        QVERIFY(!server.requestsFor(QStringLiteral("/via-proxy.pdf")).last().viaProxy);
    }
};

LUNOVEX_TEST_MAIN(InetTest)
#include "tst_inet.moc"
