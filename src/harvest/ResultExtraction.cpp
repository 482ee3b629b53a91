#include "harvest/ResultExtraction.h"

#include "platform/Dom.h"
#include "util/HeaderText.h"

namespace Lunovex {

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

    for (const DomElement& item : container.getElementsByTagName(QStringLiteral("li"))) {
        if (!item.innerHTML().contains(QStringLiteral("/sfxbutton.gif"), Qt::CaseInsensitive)) continue;
        DomElement titleBlock;
        for (const DomElement& div : item.getElementsByTagName(QStringLiteral("div"))) {
            if (div.className().toLower() == QLatin1String("art_title")) {
                titleBlock = div;
                break;
            }
        }
        if (titleBlock.isNull()) continue;
        const QList<DomElement> links = titleBlock.getElementsByTagName(QStringLiteral("a"));
        if (links.isEmpty()) continue;
        const QString title = TrimSpaces(links.first().innerText());
        const QString href = TrimSpaces(links.first().href());
        if (title.isEmpty() || href.isEmpty()) continue;
        entries.append({title, PdfAddressFromArticleLink(href), page->url()});
    }
    return entries;
}

int NextPageLinkIndex(const Dom& page)
{
    const QList<DomElement> items = page.getElementsByTagName(QStringLiteral("li"));
    for (qsizetype i = items.size() - 1; i >= 0; --i) {
        if (items[i].className().trimmed().toLower() != QLatin1String("pagelink-with-arrow")) continue;
        const QList<DomElement> links = items[i].getElementsByTagName(QStringLiteral("a"));
        if (links.isEmpty() || links.first().className().toLower().trimmed() != QLatin1String("nextpage"))
            return -1;
        return links.first().indexAmongTag();
    }
    return -1;
}

} // namespace Lunovex
