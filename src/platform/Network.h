#pragma once

#include <QString>

class QNetworkCookieJar;
class QUrl;

namespace Lunovex {

// What every transfer shares with the embedded browser: one cookie jar (the browser's cookies are
// mirrored into it, so a login in the browser lets the next downloads through) and the browser's
// user-agent string.
namespace Network {

QNetworkCookieJar* cookieJar();

QString userAgent();
void setUserAgent(const QString& userAgent);

// Whether an address is one of the web's: http or https, with a host. Nothing else that a page
// names (javascript:, data:, file:, mailto:, "https:x/") is fetched or opened for it.
bool IsWebAddress(const QUrl& url);
bool IsWebAddress(const QString& address);

// How much of a body a reply may hold before the socket is slowed down.
constexpr qint64 kReadBufferBytes = 1024 * 1024;

// How many redirects a transfer follows before it gives up.
constexpr int kMaxRedirects = 20;

} // namespace Network

} // namespace Lunovex
