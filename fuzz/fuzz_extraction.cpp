// A page as a hostile site may serve it, read as the harvest reads a snapshot: parsing, the walks and
// the extraction never crash, only web addresses come out, and the markup questions agree.

#include "FuzzCheck.h"

#include "harvest/ResultExtraction.h"
#include "platform/Dom.h"
#include "platform/Network.h"

#include <QString>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size)
{
    using namespace Lunovex;
    const QString html = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const std::unique_ptr<Dom> page =
        Dom::parse(html, QStringLiteral("https://journals.example.org/action/doSearch"));

    for (const ExtractedEntry& entry : ExtractResultEntries(page.get())) {
        FUZZ_CHECK(!entry.Title.isEmpty() && entry.Title.size() <= kMaxTitleLength);
        FUZZ_CHECK(Network::IsWebAddress(entry.PdfAddress));
    }

    // The lookups a login form or a pager needs, on every element of a small page.
    const QList<DomElement> all = page->getElementsByTagName(QStringLiteral("*"));
    if (all.size() > 200) return 0;
    for (const DomElement& e : all) {
        const QString needle = QStringLiteral("/sfxbutton.gif");
        FUZZ_CHECK(e.innerHTMLContains(needle) == e.innerHTML().contains(needle, Qt::CaseInsensitive));
        FUZZ_CHECK(e.outerHTML().size() >= e.innerHTML().size());
        e.innerText();
        e.href();
        FUZZ_CHECK(e.indexAmongTag() >= 0);
    }
    return 0;
}
