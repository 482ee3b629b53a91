#pragma once

#include <QString>

class QNetworkAccessManager;
class QNetworkCookieJar;
class QNetworkRequest;
class QUrl;

namespace Lunovex {

// What every transfer shares with the embedded browser: one cookie jar (the browser's cookies are
// mirrored into it, so a login in the browser lets the next downloads through) and the browser's
// user-agent string.
namespace Network {

QNetworkCookieJar* cookieJar();
// The manager the transfers without a proxy of their own use.
QNetworkAccessManager* sharedManager();
// Gives a manager of a transfer's own the shared cookie jar (the jar stays owned here).
void shareCookies(QNetworkAccessManager* manager);

QString userAgent();
void setUserAgent(const QString& userAgent);

// A request as the browser would send it: the user agent, a bounded read buffer's worth of
// defaults, certificates verified.
QNetworkRequest browserRequest(const QString& url);

// Whether an address is one of the web's: http or https, with a host. Nothing else that a page
// names (javascript:, data:, file:, mailto:, "https:x/") is fetched or opened for it.
bool IsWebAddress(const QUrl& url);
bool IsWebAddress(const QString& address);

// How much of a body a reply may hold before the socket is slowed down.
constexpr qint64 kReadBufferBytes = 1024 * 1024;

} // namespace Network

} // namespace Lunovex
