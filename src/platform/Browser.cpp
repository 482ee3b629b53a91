#include "platform/Browser.h"

#include "platform/Dom.h"
#include "platform/EventPump.h"
#include "platform/Log.h"
#include "platform/Network.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QNetworkCookieJar>
#include <QTimer>
#include <QVariant>
#include <QWebEngineCookieStore>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>

#include <unistd.h>

namespace Lunovex {

namespace {

bool mayOpenAsNewWindow(const QUrl& url)
{
    return Network::IsWebAddress(url) || url.toString() == QLatin1String("about:blank");
}

} // namespace

// Keeps pages from closing the browser, opens new windows in it and silences script dialogs.
class Browser::Page final : public QWebEnginePage
{
public:
    Page(QWebEngineProfile* profile, Browser* browser) : QWebEnginePage(profile, browser), browser_(browser)
    {}

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType, bool isMainFrame) override
    {
        if (isMainFrame) qCDebug(lcBrowser).noquote() << "navigating to" << LoggableAddress(url.toString());
        emit browser_->beforeNavigate(url);
        return true;
    }

    QWebEnginePage* createWindow(WebWindowType) override;

    void javaScriptAlert(const QUrl& origin, const QString& message) override
    {
        if (!browser_->silent()) QWebEnginePage::javaScriptAlert(origin, message);
    }

    // Unseen, a question is never answered yes for the user.
    bool javaScriptConfirm(const QUrl& origin, const QString& message) override
    {
        return browser_->silent() ? false : QWebEnginePage::javaScriptConfirm(origin, message);
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

// Stands in for a new window: it loads nothing itself, catches the first address the window is
// sent to and hands it to the browser. A window that names no address goes after a while.
class Browser::NewWindowCatcher final : public QWebEnginePage
{
public:
    NewWindowCatcher(QWebEngineProfile* profile, Browser* browser)
        : QWebEnginePage(profile, browser), browser_(browser)
    {
        connect(this, &QWebEnginePage::urlChanged, this, &NewWindowCatcher::take);
        QTimer::singleShot(Timing::current().newWindowWait, this, [this] { deleteLater(); });
    }

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType, bool isMainFrame) override
    {
        if (isMainFrame) take(url);
        return false;
    }

private:
    void take(const QUrl& url)
    {
        if (taken_ || url.isEmpty()) return;
        taken_ = true;
        browser_->openNewWindow(url);
        deleteLater();
    }

    Browser* browser_;
    bool taken_ = false;
};

QWebEnginePage* Browser::Page::createWindow(WebWindowType)
{
    return new NewWindowCatcher(profile(), browser_);
}

void Browser::openNewWindow(const QUrl& url)
{
    // file:, data:, blob:, javascript: and the like stay where they are, whatever the engine allows.
    if (!mayOpenAsNewWindow(url)) {
        qCInfo(lcBrowser).noquote() << "a new window of" << url.scheme() << "was refused";
        return;
    }
    emit newWindowRequested(url);
    load(url);
}

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

QVariant Browser::runScript(const QString& script, milliseconds limit)
{
    // The answer may come after the wait has given up: it then lands in the shared state alone.
    auto answer = std::make_shared<std::optional<QVariant>>();
    page()->runJavaScript(script, QWebEngineScript::ApplicationWorld,
                          [answer](const QVariant& value) { *answer = value; });
    EventPump::waitUntil([&] { return answer->has_value(); }, limit);
    return answer->value_or(QVariant());
}

std::unique_ptr<Dom> Browser::snapshot(milliseconds limit)
{
    // The address and the tree in one call, so that both are of the same document.
    const QVariantList parts = runScript(Dom::snapshotScript(), limit).toList();
    if (parts.size() != 2) return nullptr;
    const QString tree = parts[1].toString();
    const QString url = parts[0].toString();
    if (tree.isEmpty()) return nullptr;
    // A large page takes a while to read: the window keeps serving events meanwhile.
    std::unique_ptr<Dom> dom;
    EventPump::runAside([&] { dom = Dom::fromSnapshot(tree, url); });
    return dom;
}

QString Browser::pageSource(milliseconds limit)
{
    return runScript(QStringLiteral("document.documentElement ? document.documentElement.outerHTML : ''"),
                     limit)
        .toString();
}

namespace {

// A text as a script's string literal.
QString scriptString(const QString& text)
{
    return QString::fromUtf8(QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact))
        .mid(1)
        .chopped(1);
}

} // namespace

void Browser::clickElement(const QString& tag, int index)
{
    page()->runJavaScript(
        QStringLiteral("(function(){var e=document.getElementsByTagName(%1)[%2]; if(e) e.click();})()")
            .arg(scriptString(tag))
            .arg(index),
        QWebEngineScript::ApplicationWorld);
}

void Browser::setElementValue(const QString& tag, int index, const QString& value)
{
    runScript(QStringLiteral("(function(){var e=document.getElementsByTagName(%1)[%2]; if(!e) return false;"
                             "e.value=%3; e.dispatchEvent(new Event('input',{bubbles:true}));"
                             "e.dispatchEvent(new Event('change',{bubbles:true})); return true;})()")
                  .arg(scriptString(tag))
                  .arg(index)
                  .arg(scriptString(value)));
}

} // namespace Lunovex
