#include "platform/Network.h"

#include <QCoreApplication>
#include <QNetworkCookieJar>
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

} // namespace Lunovex::Network
