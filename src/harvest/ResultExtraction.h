#pragma once

#include <QList>
#include <QString>

namespace Lunovex {

class Dom;

// One article of a result page that the account may read in full.
struct ExtractedEntry
{
    QString Title;
    QString PdfAddress;
    QString SourcePage;
};

// The PDF address of an article link: "/full/" and "/abs/" become "/pdf/" (any letter case),
// "?needAccess=true" is appended, "&amp;" becomes "&".
QString PdfAddressFromArticleLink(const QString& href);

// The full-text articles of a result page, in page order: the "LI" items of "allTabsContainer" that
// carry the link-resolver icon, titled by the first link of their first "art_title" block. A page of
// another structure (or no page) gives nothing.
QList<ExtractedEntry> ExtractResultEntries(const Dom* page);

// The next-page link of a result page, as its index among the page's "A" elements (-1: none): the
// first "A" of the last pager arrow ("LI" of class "pagelink-with-arrow"), when its class is "nextpage"
// (both trimmed, any letter case). An earlier arrow (the previous page) is never looked at.
int NextPageLinkIndex(const Dom& page);

} // namespace Lunovex
