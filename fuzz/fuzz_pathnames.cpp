// File names made from titles and addresses a page may carry: the name helpers never crash, a safe
// name is one visible name (no separator, no line break, no dot at either end) within its byte limit
// and stays as it is when made safe again, an article's name is never empty, and a byte limit holds.

#include "FuzzCheck.h"

#include "download/SaveNaming.h"
#include "util/PathNames.h"

#include <QString>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size)
{
    using namespace Lunovex;
    // The first byte chooses a byte limit; the rest is the text.
    const int limit = size > 0 ? data[0] : 0;
    const QString text = size > 0
                             ? QString::fromUtf8(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1))
                             : QString();

    const QString safe = SafeFileName(text);
    FUZZ_CHECK(!safe.contains(QLatin1Char('/')) && !safe.contains(QLatin1Char('\\')));
    FUZZ_CHECK(!safe.contains(QLatin1Char('\n')) && !safe.contains(QLatin1Char('\r')) &&
               !safe.contains(QChar(0)));
    FUZZ_CHECK(safe.toLocal8Bit().size() <= 200);
    FUZZ_CHECK(!safe.startsWith(QLatin1Char('.')) && !safe.endsWith(QLatin1Char('.')));
    FUZZ_CHECK(SafeFileName(safe) == safe);
    FUZZ_CHECK(LimitAnsiBytes(text, limit).toLocal8Bit().size() <= limit);

    QString base;
    const QString extension = SplitFileName(text, &base);
    FUZZ_CHECK(extension.size() <= 6);
    FileNameFromPath(text, true);
    FileNameFromPath(text, false);
    IsNumericText(text);

    for (bool fromAddress : {false, true}) {
        const QString name = InitialBaseName(text, text, fromAddress);
        FUZZ_CHECK(!name.isEmpty() && !name.startsWith(QLatin1Char('.')));
        FUZZ_CHECK(!name.contains(QLatin1Char('/')) && name.toLocal8Bit().size() <= 200);
    }
    return 0;
}
