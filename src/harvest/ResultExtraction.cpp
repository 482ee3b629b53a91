#include "harvest/ResultExtraction.h"

#include "platform/Dom.h"
#include "platform/Network.h"
#include "util/HeaderText.h"

#include <algorithm>

namespace Lunovex {

namespace {

// The first of elements (in document order) that lies inside container; null when none does.
DomElement firstInside(const DomElement& container, const QList<DomElement>& elements)
{
    const auto after =
        std::upper_bound(elements.begin(), elements.end(), container.documentPosition(),
                         [](int position, const DomElement& e) { return position < e.documentPosition(); });
    return after != elements.end() && container.hasDescendant(*after) ? *after : DomElement();
}

} // namespace

QString PdfAddressFromArticleLink(const QString& href)
{
    QString address = href;
    address.replace(QStringLiteral("/full/"), QStringLiteral("/pdf/"), Qt::CaseInsensitive);
    address.replace(QStringLiteral("/abs/"), QStringLiteral("/pdf/"), Qt::CaseInsensitive);
    address += QStringLiteral("?needAccess=true");
    address.replace(QStringLiteral("&amp;"), QStringLiteral("&"), Qt::CaseInsensitive);
    return address;
}

QList<ExtractedEntry> ExtractResultEntries(const Dom* page)
{
    QList<ExtractedEntry> entries;
    if (!page) return entries;
    const DomElement container = page->getElementById(QStringLiteral("allTabsContainer"));
    if (container.isNull()) return entries;

    // Items may nest inside one another: each item's first title block and each block's first link
    // are looked up among all of the container's, so no item walks the items inside it.
    QList<DomElement> titleBlocks;
    for (const DomElement& div : container.getElementsByTagName(QStringLiteral("div")))
        if (div.className().toLower() == QLatin1String("art_title")) titleBlocks.append(div);
    const QList<DomElement> links = container.getElementsByTagName(QStringLiteral("a"));

    for (const DomElement& item : container.getElementsByTagName(QStringLiteral("li"))) {
        if (!item.innerHTMLContains(QStringLiteral("/sfxbutton.gif"))) continue;
        const DomElement titleBlock = firstInside(item, titleBlocks);
        if (titleBlock.isNull()) continue;
        const DomElement link = firstInside(titleBlock, links);
        if (link.isNull()) continue;
        const QString title = TrimSpaces(link.innerText(kMaxTitleLength));
        const QString href = TrimSpaces(link.href());
        if (title.isEmpty() || href.isEmpty() || !Network::IsWebAddress(href)) continue;
        entries.append({title, PdfAddressFromArticleLink(href), page->url()});
    }
    return entries;
}

QString NextPageLinkScript(NextPageAction action)
{
    // Class names are read as attributes: an element of another namespace has no className text.
    static const QString script = QStringLiteral(R"JS(
(function (click) {
  function classOf(e) { return (e.getAttribute('class') || '').trim().toLowerCase(); }
  var items = document.getElementsByTagName('li');
  for (var i = items.length - 1; i >= 0; --i) {
    if (classOf(items[i]) !== 'pagelink-with-arrow') continue;
    var link = items[i].getElementsByTagName('a')[0];
    if (!link || classOf(link) !== 'nextpage') return false;
    if (click) link.click();
    return true;
  }
  return false;
})(%1)
)JS");
    return script.arg(action == NextPageAction::Click ? QStringLiteral("true") : QStringLiteral("false"));
}

} // namespace Lunovex
