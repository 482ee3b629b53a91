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

} // namespace Lunovex
