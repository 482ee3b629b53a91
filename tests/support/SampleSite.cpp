#include "SampleSite.h"

#include "FixtureServer.h"

#include <QFile>
#include <QUrl>
#include <QUrlQuery>

#include <memory>

namespace Lunovex::Test {

namespace {

QByteArray readFile(const QString& path, bool* ok)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *ok = false;
        return {};
    }
    return file.readAll();
}

Route fileRoute(const QString& folder, const char* name, const QByteArray& type, bool* ok)
{
    Route route;
    route.body = readFile(folder + QLatin1Char('/') + QString::fromLatin1(name), ok);
    route.headers = {{"Content-Type", type}};
    return route;
}

QString doiPdfPath(int number)
{
    return QStringLiteral("/doi/pdf/10.5555/mv.%1?needAccess=true").arg(number, 3, 10, QLatin1Char('0'));
}

} // namespace

bool SampleSite::install(FixtureServer& server, const QString& folder, bool unruly)
{
    bool ok = true;
    server.route(homePath(), fileRoute(folder, "index.html", "text/html; charset=utf-8", &ok));
    server.route(QStringLiteral("/site.css"), fileRoute(folder, "site.css", "text/css", &ok));
    server.route(QStringLiteral("/templates/jsp/images/sfxbutton.gif"),
                 fileRoute(folder, "sfxbutton.gif", "image/gif", &ok));
    for (int page = 1; page <= 3; ++page) {
        const QByteArray name = "results-" + QByteArray::number(page) + ".html";
        Route results = fileRoute(folder, name.constData(), "text/html; charset=utf-8", &ok);
        results.setCookie = QByteArray(kSessionCookie) + "; Path=/";
        server.route(resultsPath(page), results);
        // A search from the form ("?q=…") shows the first page.
        if (page == 1) server.route(QStringLiteral("/action/doSearch"), results);
    }

    const Route accountLogin = fileRoute(folder, "account-login.html", "text/html; charset=utf-8", &ok);
    server.route(accountLoginPath(), accountLogin);
    server.route(ipLoginPath(), fileRoute(folder, "ip-login.html", "text/html; charset=utf-8", &ok));
    const Route loggedIn = fileRoute(folder, "logged-in.html", "text/html; charset=utf-8", &ok);
    server.handle(
        QStringLiteral("/action/doLogin"), [accountLogin, loggedIn](const ReceivedRequest& request) {
            const QUrlQuery query(QUrl::fromEncoded("http://h" + request.path));
            const bool account = query.queryItemValue(QStringLiteral("username")) == QLatin1String("demo") &&
                                 query.queryItemValue(QStringLiteral("password")) == QLatin1String("demo");
            if (!account && query.queryItemValue(QStringLiteral("via")) != QLatin1String("ip"))
                return accountLogin;
            Route welcome = loggedIn;
            welcome.setCookie = QByteArray(kLoginCookie) + "; Path=/";
            return welcome;
        });

    // The maker's side for the demo: a version file naming a newer release, and the product page.
    server.route(QStringLiteral("/Lunovex/newver.txt"), Route::html("9.0.0"));
    server.route(
        QStringLiteral("/Lunovex/"),
        Route::html("<html><head><meta charset='utf-8'><title>Lunovex</title></head>"
                    "<body><h1>Lunovex 9.0.0</h1><p>The sample site's stand-in for the maker's page.</p>"
                    "</body></html>"));

    // The full texts need the login; without it the platform answers with its sign-in page.
    const Route signIn = fileRoute(folder, "login.html", "text/html; charset=utf-8", &ok);
    Route pdf = fileRoute(folder, "article.pdf", "application/pdf", &ok);
    pdf.requireCookie = kLoginCookie;
    pdf.deniedBody = signIn.body;
    for (int number = 1; number <= 29; ++number) {
        const QString path = doiPdfPath(number);
        server.route(path.left(path.indexOf(QLatin1Char('?'))), path == signInPdfPath() ? signIn : pdf);
    }
    if (!unruly) return ok;

    Route cut = pdf;
    cut.body = pdf.body.left(pdf.body.size() / 2);
    auto asked = std::make_shared<int>(0);
    for (int number = 1; number <= 28; ++number) {
        const QString path = doiPdfPath(number);
        const Route answer = number == 28 ? cut : pdf;
        server.handle(path.left(path.indexOf(QLatin1Char('?'))), [asked, answer](const ReceivedRequest&) {
            if (++*asked % 4 != 0) return answer;
            Route busy = Route::html(
                "<html><head><title>Too many requests</title></head><body>slow down</body></html>");
            busy.status = 429;
            busy.reason = "Too Many Requests";
            busy.headers.append(qMakePair(QByteArray("Retry-After"), QByteArray("5")));
            return busy;
        });
    }
    return ok;
}

QList<SampleSite::Article> SampleSite::fullTextArticles()
{
    const QList<QPair<int, const char*>> articles = {
        {1, "Cell migration in three-dimensional matrices"},
        {2, "Mitochondrial dynamics under oxidative stress"},
        {4, "Protein folding intermediates observed by NMR"},
        {5, "Coastal erosion: models and measurements"},
        {7, "基于深度学习的蛋白质结构预测"},
        {8, "Long-term trends in urban air quality"},
        {10, "Catalysis on single-atom platinum sites"},
        {11, "Ribosome stalling and quality control"},
        {13, "Topological insulators at room temperature"},
        {14, "Gut microbiota and host metabolism"},
        {16, "CRISPR screens in primary T cells"},
        {17, "Phase transitions in active matter"},
        {19, "Perovskite solar cells: stability & efficiency"},
        {20, "Circadian clocks in peripheral tissues"},
        {21, "Deep-sea hydrothermal vent communities"},
        {23, "Antibiotic resistance genes in wastewater"},
        {24, "Sleep and synaptic homeostasis"},
        {26, "Epigenetic memory of cold exposure"},
        {27, "Graphene membranes for water desalination"},
        {28, "Social learning in wild primates"},
        {29, "Sign-in required: institutional access article"},
    };
    QList<Article> list;
    for (const auto& [number, title] : articles)
        list.append({QString::fromUtf8(title), doiPdfPath(number)});
    return list;
}

QString SampleSite::signInPdfPath()
{
    return doiPdfPath(29);
}

QByteArray SampleSite::pdfBody(const QString& folder)
{
    bool ok = true;
    return readFile(folder + QStringLiteral("/article.pdf"), &ok);
}

} // namespace Lunovex::Test
