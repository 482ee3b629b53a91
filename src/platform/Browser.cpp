#include "platform/Browser.h"

#include "platform/Dom.h"
#include "platform/EventPump.h"
#include "platform/Network.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QNetworkCookieJar>
#include <QVariant>
#include <QWebEngineCookieStore>
#include <QWebEnginePage>
#include <QWebEngineProfile>

#include <unistd.h>

namespace Lunovex {

// Keeps pages from closing the browser, opens new windows in it and silences script dialogs.
class Browser::Page final : public QWebEnginePage
{
public:
    Page(QWebEngineProfile* profile, Browser* browser) : QWebEnginePage(profile, browser), browser_(browser)
    {}

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType, bool) override
    {
        emit browser_->beforeNavigate(url);
        return true;
    }

    QWebEnginePage* createWindow(WebWindowType) override
    {
        // A page of its own catches the new window's first address, which then opens here.
        auto* catcher = new QWebEnginePage(profile(), this);
        connect(catcher, &QWebEnginePage::urlChanged, this, [this, catcher](const QUrl& url) {
            if (url.isEmpty()) return;
            emit browser_->newWindowRequested(url);
            browser_->load(url);
            catcher->deleteLater();
        });
        return catcher;
    }

    void javaScriptAlert(const QUrl& origin, const QString& message) override
    {
        if (!browser_->silent()) QWebEnginePage::javaScriptAlert(origin, message);
    }

    bool javaScriptConfirm(const QUrl& origin, const QString& message) override
    {
        return browser_->silent() ? true : QWebEnginePage::javaScriptConfirm(origin, message);
    }

    bool javaScriptPrompt(const QUrl& origin, const QString& message, const QString& initial,
                          QString* result) override
    {
        return browser_->silent() ? false
                                  : QWebEnginePage::javaScriptPrompt(origin, message, initial, result);
    }

private:
    Browser* browser_;
};

void Browser::prepareProcess()
{
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
}

QWebEngineProfile* Browser::sharedProfile()
{
    static QWebEngineProfile* profile = [] {
        auto* p = new QWebEngineProfile(QStringLiteral("Lunovex"), QCoreApplication::instance());
        Network::setUserAgent(p->httpUserAgent());
        // Whatever the browser's session knows, the transfers know too.
        QWebEngineCookieStore* store = p->cookieStore();
        QObject::connect(store, &QWebEngineCookieStore::cookieAdded, Network::cookieJar(),
                         [](const QNetworkCookie& c) { Network::cookieJar()->insertCookie(c); });
        QObject::connect(store, &QWebEngineCookieStore::cookieRemoved, Network::cookieJar(),
                         [](const QNetworkCookie& c) { Network::cookieJar()->deleteCookie(c); });
        store->loadAllCookies();
        return p;
    }();
    return profile;
}

Browser::Browser(QWidget* parent) : QWebEngineView(parent)
{
    setPage(new Page(sharedProfile(), this));
    connect(page(), &QWebEnginePage::linkHovered, this, &Browser::statusTextChanged);
    connect(page(), &QWebEnginePage::loadStarted, this, [this] { loading_ = true; });
    connect(page(), &QWebEnginePage::loadFinished, this, [this](bool ok) {
        loading_ = false;
        emit documentComplete(url(), ok);
    });
    // A page's script may ask to close the window; the browser stays.
    connect(page(), &QWebEnginePage::windowCloseRequested, this, [] {});
}

Browser::~Browser() = default;

void Browser::navigate(const QString& address)
{
    load(QUrl::fromUserInput(address));
}

void Browser::goBack()
{
    back();
}

void Browser::goForward()
{
    forward();
}

QVariant Browser::evaluate(const QString& script, milliseconds limit)
{
    // The answer may come after the wait has given up: it then lands in the shared state alone.
    auto answer = std::make_shared<std::optional<QVariant>>();
    page()->runJavaScript(script, [answer](const QVariant& value) { *answer = value; });
    EventPump::waitUntil([&] { return answer->has_value(); }, limit);
    return answer->value_or(QVariant());
}

std::unique_ptr<Dom> Browser::snapshot(milliseconds limit)
{
    // The address and the markup in one call, so that both are of the same document.
    const QVariantList parts =
        evaluate(QStringLiteral(
                     "[document.URL, document.documentElement ? document.documentElement.outerHTML : '']"),
                 limit)
            .toList();
    if (parts.size() != 2) return nullptr;
    const QString html = parts[1].toString();
    const QString url = parts[0].toString();
    if (html.isEmpty()) return nullptr;
    // A large page takes a while to parse: the window keeps serving events meanwhile.
    std::unique_ptr<Dom> dom;
    EventPump::runAside([&] { dom = Dom::parse(html, url); });
    return dom;
}

QString Browser::pageSource(milliseconds limit)
{
    return evaluate(QStringLiteral("document.documentElement ? document.documentElement.outerHTML : ''"),
                    limit)
        .toString();
}

void Browser::clickElement(const QString& tag, int index)
{
    page()->runJavaScript(
        QStringLiteral("(function(){var e=document.getElementsByTagName(%1)[%2]; if(e) e.click();})()")
            .arg(QString::fromUtf8(QJsonDocument(QJsonArray{tag}).toJson(QJsonDocument::Compact))
                     .mid(1)
                     .chopped(1))
            .arg(index));
}

} // namespace Lunovex
