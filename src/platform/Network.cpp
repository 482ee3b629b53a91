#include "platform/Network.h"

#include <QCoreApplication>
#include <QNetworkAccessManager>
#include <QNetworkCookieJar>
#include <QNetworkRequest>
#include <QUrl>

namespace Lunovex::Network {

namespace {

QString& agent()
{
    // Until the embedded browser reports its own: the string of the Chromium that Qt 6.4 carries.
    static QString ua =
        QStringLiteral("Mozilla/5.0 (X11; Linux x86_64) AppleWebKit/537.36 (KHTML, like Gecko) "
                       "Chrome/102.0.5005.177 Safari/537.36");
    return ua;
}

} // namespace

QNetworkCookieJar* cookieJar()
{
    static QNetworkCookieJar* jar = new QNetworkCookieJar(QCoreApplication::instance());
    return jar;
}

QNetworkAccessManager* sharedManager()
{
    static QNetworkAccessManager* manager = [] {
        auto* m = new QNetworkAccessManager(QCoreApplication::instance());
        shareCookies(m);
        return m;
    }();
    return manager;
}

void shareCookies(QNetworkAccessManager* manager)
{
    QNetworkCookieJar* jar = cookieJar();
    QObject* owner = jar->parent();
    manager->setCookieJar(jar);
    jar->setParent(owner); // the manager must not delete the shared jar
}

QString userAgent()
{
    return agent();
}

void setUserAgent(const QString& userAgent)
{
    agent() = userAgent;
}

bool IsWebAddress(const QUrl& url)
{
    const QString scheme = url.scheme(); // QUrl keeps schemes in lower case
    return url.isValid() && (scheme == QLatin1String("http") || scheme == QLatin1String("https")) &&
           !url.host().isEmpty();
}

bool IsWebAddress(const QString& address)
{
    return IsWebAddress(QUrl(address));
}

QNetworkRequest browserRequest(const QString& url)
{
    QNetworkRequest request{QUrl(url)};
    request.setHeader(QNetworkRequest::UserAgentHeader, agent());
    return request;
}

} // namespace Lunovex::Network
