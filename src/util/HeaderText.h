#pragma once

#include <QString>

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

} // namespace Lunovex
