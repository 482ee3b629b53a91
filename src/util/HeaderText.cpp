#include "util/HeaderText.h"

#include <QLocale>
#include <QStringList>
#include <QTimeZone>

#include <vector>

namespace Lunovex {

QString TrimSpaces(const QString& text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first] == QLatin1Char(' '))
        ++first;
    while (last > first && text[last - 1] == QLatin1Char(' '))
        --last;
    return text.mid(first, last - first);
}

QString 从网络文件Header获取ContentDisposition(const QString& headerBlock)
{
    static const QString name = QStringLiteral("content-disposition:");
    const QStringList lines = headerBlock.split(QStringLiteral("\r\n"));
    for (const QString& rawLine : lines) {
        const QString line = TrimSpaces(rawLine);
        if (line.left(name.size()).toLower() == name) return TrimSpaces(line.mid(name.size()));
    }
    return {};
}

QString 从下载头信息ContentDisposition获取文件名(const QString& disposition, QString* extension)
{
    if (extension) extension->clear();
    static const QString marker = QStringLiteral("filename=");
    const QString value = TrimSpaces(disposition);
    const qsizetype at = value.indexOf(marker, 0, Qt::CaseInsensitive);
    if (at < 0) return {};

    QString name = TrimSpaces(value.mid(at + marker.size()));
    const qsizetype semicolon = name.indexOf(QLatin1Char(';'));
    if (semicolon >= 0) name = TrimSpaces(name.left(semicolon));
    name.remove(QLatin1Char('"'));
    name.remove(QLatin1Char('\''));
    name = StripLineBreaks(name);

    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot >= 0 && extension) *extension = ExtensionLetterFilter(TrimSpaces(name.mid(dot + 1)));
    return name;
}

QString ExtensionLetterFilter(const QString& candidate)
{
    qsizetype n = 0;
    while (n < candidate.size()) {
        const QChar c = candidate[n];
        if (!((c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
              (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))))
            break;
        ++n;
    }
    return n > 5 ? QString() : candidate.left(n);
}

namespace {

struct MimeRule
{
    const char* type;
    const char* subtypes;  // separated by spaces
    const char* extension; // nullptr: the subtype itself
};

// Matching runs top to bottom inside a type; the first listed subtype wins.
const std::vector<MimeRule>& mimeRules()
{
    static const std::vector<MimeRule> rules{
        {"application", "octet-stream", ""},
        {"application", "x-shockwave-flash", "swf"},
        {"application", "x-javascript", "js"},
        {"application", "vnd.rn-realmedia", "rm"},
        {"application", "vnd.ms-wpl", "wpl"},
        {"application", "kdh", "kdh"},
        {"application", "caj", "caj"},
        {"application", "pdf", "pdf"},
        {"application", "caa", "caa"},
        {"application", "nh", "nh"},
        {"application", "vnd.ms-works", "wps"},
        {"application", "ppt vnd.ms-powerpoint", "ppt"},
        {"application", "doc msword", "doc"},
        {"application", "docx vnd.openxmlformats-officedocument.wordprocessingml.document", "docx"},
        {"application", "rtf", "rtf"},
        {"application", "xls vnd.ms-excel x-excel", "xls"},
        {"application", "xlsx vnd.openxmlformats-officedocument.spreadsheetml.sheet", "xlsx"},
        {"application", "pptx vnd.openxmlformats-officedocument.presentationml.presentation", "pptx"},
        {"application", "pps", "pps"},
        {"application", "ppsx vnd.openxmlformats-officedocument.presentationml.slideshow", "ppsx"},
        {"application", "dll x-msdownload", "dll"},
        {"application", "tar x-tar", "tar"},
        {"application", "tgz x-compressed", "tgz"},
        {"application", "zip x-zip-compressed", "zip"},
        {"application", "z x-compress", "z"},
        {"text", "html txt htm xml css", nullptr},
        {"text", "plain", "txt"},
        {"image", "jpg jpeg gif png bmp tif pjpeg g3fax ief", nullptr},
        {"image", "tiff", "tif"},
        {"image", "x-png", "png"},
        {"image", "x-ms-bmp", "bmp"},
        {"image", "x-icon", "ico"},
        {"video", "mpeg", "mpeg"},
        {"video", "mpeg4", "mp4"},
        {"video", "x-msvideo", "avi"},
        {"video", "x-ms-asf", "asf"},
        {"video", "x-ms-wmv", "wmv"},
        {"video", "quicktime", "mov"},
        {"audio", "amr", "amr"},
        {"audio", "x-ms-wma", "wma"},
        {"audio", "x-wav", "wav"},
        {"audio", "x-pn-realaudio", "ram"},
        {"audio", "midi", "mid"},
        {"audio", "x-mpegurl", "mpeg"},
        {"message", "rfc822", "mht"},
    };
    return rules;
}

QString mimeCandidate(const QString& type, const QString& subtype)
{
    bool typeListed = false;
    for (const MimeRule& rule : mimeRules()) {
        if (type != QLatin1String(rule.type)) continue;
        typeListed = true;
        const QStringList listed = QString::fromLatin1(rule.subtypes).split(QLatin1Char(' '));
        if (listed.contains(subtype)) return rule.extension ? QString::fromLatin1(rule.extension) : subtype;
    }
    if (typeListed && (subtype.isEmpty() || subtype == QLatin1String("*"))) return {};
    return subtype;
}

} // namespace

QString MimeTypeToExtension(const QString& contentType)
{
    if (contentType.isEmpty()) return {};
    const QStringList pieces = contentType.split(QLatin1Char('/'));
    const QString type = TrimSpaces(pieces.first()).toLower();
    if (pieces.size() != 2) return ExtensionLetterFilter(type);
    QString subtype = TrimSpaces(pieces[1]);
    subtype.remove(QLatin1Char(' '));
    return ExtensionLetterFilter(mimeCandidate(type, subtype.toLower()));
}

QString UrlSiteRoot(const QString& url)
{
    const qsizetype scheme = url.indexOf(QStringLiteral("://"));
    if (scheme >= 0) {
        const qsizetype slash = url.indexOf(QLatin1Char('/'), scheme + 3);
        return slash > scheme + 3 ? url.left(slash) : url;
    }
    // 1-based: a "/" at position 4 or later cuts; index 3 or later here.
    const qsizetype slash = url.indexOf(QLatin1Char('/'));
    return slash >= 3 ? url.left(slash) : url;
}

QString StripLineBreaks(const QString& text)
{
    QString s = text;
    s.remove(QStringLiteral("\r\n"));
    s.remove(QChar(0));
    s.remove(QLatin1Char('\n'));
    s.remove(QLatin1Char('\r'));
    s.remove(QLatin1Char('\t'));
    return TrimSpaces(s);
}

QString RemoveLineBreaks(const QString& text)
{
    QString s = text;
    s.remove(QStringLiteral("\r\n"));
    s.remove(QLatin1Char('\r'));
    s.remove(QLatin1Char('\n'));
    s.remove(QChar(0));
    return s;
}

std::optional<qint64> RetryAfterSeconds(const QString& value, const QDateTime& now)
{
    const QString text = value.trimmed();
    bool numeric = false;
    const qint64 seconds = text.toLongLong(&numeric);
    if (numeric) return seconds >= 0 ? std::optional<qint64>(seconds) : std::nullopt;
    // HTTP dates are in English and in GMT, whatever the user's locale.
    const QLocale c = QLocale::c();
    for (const QString& format :
         {QStringLiteral("ddd, dd MMM yyyy HH:mm:ss 'GMT'"), QStringLiteral("dd-MMM-yy HH:mm:ss 'GMT'"),
          QStringLiteral("ddd MMM d HH:mm:ss yyyy")}) {
        QString input = text;
        if (format.startsWith(QLatin1String("ddd MMM")))
            input.replace(QStringLiteral("  "), QStringLiteral(" "));
        // A two-digit year's weekday would be checked against the wrong century: it is left out.
        if (format.startsWith(QLatin1String("dd-"))) input = input.section(QStringLiteral(", "), 1);
        QDateTime when = c.toDateTime(input, format);
        if (!when.isValid()) continue;
        if (format.contains(QLatin1String("yy ")) && when.date().year() < 1970) when = when.addYears(100);
        when.setTimeZone(QTimeZone::utc());
        return std::max<qint64>(0, now.secsTo(when));
    }
    return std::nullopt;
}

bool AsksToSlowDown(int status, const QString& retryAfter)
{
    return status == 429 || (status == 503 && !retryAfter.trimmed().isEmpty());
}

qint64 PublisherPauseSeconds(std::optional<qint64> retryAfter, qint64 intervalSeconds, int inARow)
{
    constexpr qint64 kMaxPause = 600;
    qint64 pause = retryAfter ? *retryAfter : std::max<qint64>(60, intervalSeconds);
    for (int i = 1; i < inARow && pause < kMaxPause; ++i)
        pause *= 2;
    return std::clamp<qint64>(pause, 0, kMaxPause);
}

} // namespace Lunovex
