#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace Lunovex::Test {

class FixtureServer;

// A small stand-in for the publisher's platform, served from tests/fixtures/sample-site: a search
// page, thirty results on three pages linked by their pager (some without full-text access, one
// article on two pages, one linked by its abstract), PDFs behind the PDF addresses that need the
// session cookie the result pages set and the login cookie of an account or an IP login, and one
// PDF address that answers with a sign-in page whatever the session.
class SampleSite
{
public:
    static constexpr const char* kSessionCookie = "MVSESSION=sample-7f3a";
    static constexpr const char* kLoginCookie = "MVAUTH=sample-reader";
    // The login pages: an account form (the account is demo / demo) and an IP login.
    static QString accountLoginPath() { return QStringLiteral("/action/login"); }
    static QString ipLoginPath() { return QStringLiteral("/action/ipLogin"); }

    struct Article
    {
        QString title;
        QString pdfPath; // path and query of the PDF address the harvest works out
    };

    // Installs the routes on server from the site's folder; false when a file is missing.
    // unruly: the site misbehaves as busy publishers do: every fourth PDF request is answered 429 with
    // "Retry-After: 5", and the last full-text article's PDF is cut short.
    static bool install(FixtureServer& server, const QString& folder, bool unruly = false);

    static QString homePath() { return QStringLiteral("/"); }
    static QString resultsPath(int page) { return QStringLiteral("/action/doSearch?page=%1").arg(page); }

    // The full-text articles in page order, each once, as a harvest of all three pages finds them.
    static QList<Article> fullTextArticles();
    // The PDF address that answers with the sign-in page.
    static QString signInPdfPath();
    // The contents of the PDF every other PDF address answers with.
    static QByteArray pdfBody(const QString& folder);
};

} // namespace Lunovex::Test
