// Response headers and page texts as a server may send them: the header helpers and the extension
// they give never crash, and an extension is a short run of letters.

#include "FuzzCheck.h"

#include "download/SaveNaming.h"
#include "util/HeaderText.h"

#include <QString>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    using namespace Lunovex;

    const QString disposition = 从网络文件Header获取ContentDisposition(text);
    QString extension;
    从下载头信息ContentDisposition获取文件名(disposition, &extension);
    从下载头信息ContentDisposition获取文件名(text, &extension);
    const QString filtered = ExtensionLetterFilter(text);
    FUZZ_CHECK(filtered.size() <= 5);
    MimeTypeToExtension(text);
    UrlSiteRoot(text);
    FUZZ_CHECK(!StripLineBreaks(text).contains(QLatin1Char('\n')));
    FUZZ_CHECK(!RemoveLineBreaks(text).contains(QLatin1Char('\r')));
    const QString trimmed = TrimSpaces(text);
    FUZZ_CHECK(!trimmed.startsWith(QLatin1Char(' ')) && !trimmed.endsWith(QLatin1Char(' ')));

    // The first line as a content type, the whole as the header block.
    const QString contentType = text.section(QLatin1Char('\n'), 0, 0);
    const QString fromHeaders = ResponseExtension(contentType, text);
    for (const QChar c : fromHeaders)
        FUZZ_CHECK(c != QLatin1Char('/') && c != QLatin1Char('\\') && c != QChar(0));
    return 0;
}
