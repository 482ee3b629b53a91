#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

namespace Lunovex {

// Pure text rules over response headers and page texts: the saved file's extension from the
// response headers, an address's site root, and line-break removal for titles.

// The value of the first Content-Disposition line of a header block (lines joined by CR LF).
QString 从网络文件Header获取ContentDisposition(const QString& headerBlock);

// The extension (no dot) of the file name a Content-Disposition value announces, in *extension.
// The name itself is returned but no caller needs it.
QString 从下载头信息ContentDisposition获取文件名(const QString& disposition, QString* extension);

// The extension (no dot) for a content type without parameters; empty when the type gives none.
QString MimeTypeToExtension(const QString& contentType);

// Keeps the leading run of ASCII letters; a run longer than five letters gives empty text.
QString ExtensionLetterFilter(const QString& candidate);

// Scheme and host (with port) of an address; the whole address when it has no path.
QString UrlSiteRoot(const QString& url);

// Without CR LF, NUL, LF, CR and tab, trimmed of spaces.
QString StripLineBreaks(const QString& text);
// Without CR LF, CR, LF and NUL; tabs and spaces stay.
QString RemoveLineBreaks(const QString& text);

// Trims leading and trailing spaces only (never tabs or other white space).
QString TrimSpaces(const QString& text);

// The seconds a "Retry-After" value asks for: a number of seconds, or an HTTP date (RFC 1123, RFC 850
// or asctime form) counted from now; nothing when it is neither. A date past gives 0.
std::optional<qint64> RetryAfterSeconds(const QString& value, const QDateTime& now);

// The publisher asks to be asked less: 429, or 503 with a Retry-After.
bool AsksToSlowDown(int status, const QString& retryAfter);

// How long a run pauses when the publisher says it is asked too much (429, or 503 with Retry-After):
// what it asked for, else the chosen interval but at least 60 seconds; doubled for every such answer
// in a row before this one; at most 600 seconds.
qint64 PublisherPauseSeconds(std::optional<qint64> retryAfter, qint64 intervalSeconds, int inARow);

} // namespace Lunovex
