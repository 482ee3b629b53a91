// A page as a hostile site may serve it: reading it (as markup, or as a snapshot's tree), the walks
// and the extraction never crash, only web addresses come out, and the markup questions agree.

#include "FuzzCheck.h"

#include "harvest/ResultExtraction.h"
#include "platform/Dom.h"
#include "platform/Network.h"

#include <QString>

namespace {

void check(const Lunovex::Dom* page)
{
    using namespace Lunovex;
    if (!page) return;
    for (const ExtractedEntry& entry : ExtractResultEntries(page)) {
        FUZZ_CHECK(!entry.Title.isEmpty() && entry.Title.size() <= kMaxTitleLength);
        FUZZ_CHECK(Network::IsWebAddress(entry.PdfAddress));
    }

    // The lookups a login form or a pager needs, on every element of a small page.
    const QList<DomElement> all = page->getElementsByTagName(QStringLiteral("*"));
    if (all.size() > 200) return;
    for (const DomElement& e : all) {
        const QString needle = QStringLiteral("/sfxbutton.gif");
        FUZZ_CHECK(e.innerHTMLContains(needle) == e.innerHTML().contains(needle, Qt::CaseInsensitive));
        FUZZ_CHECK(e.outerHTML().size() >= e.innerHTML().size());
        e.innerText();
        e.href();
        FUZZ_CHECK(e.indexAmongTag() >= 0);
    }
}

} // namespace

// The input as markup, and as a tree of the kind the snapshot script writes (mostly refused).
extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size)
{
    using namespace Lunovex;
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString url = QStringLiteral("https://journals.example.org/action/doSearch");
    check(Dom::parse(text, url).get());
    check(Dom::fromSnapshot(text, url).get());
    return 0;
}
