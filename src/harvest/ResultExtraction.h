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

// The longest title taken from a link: a title runs to a few hundred characters, and a link that
// holds a whole page is no title.
constexpr qsizetype kMaxTitleLength = 2000;

// The full-text articles of a result page, in page order: the "LI" items of "allTabsContainer" that
// carry the link-resolver icon, titled by the first link of their first "art_title" block, whose
// address is a web address (http or https with a host). A page of another structure (or no page)
// gives nothing. The cost grows with the page's size, however its items nest.
QList<ExtractedEntry> ExtractResultEntries(const Dom* page);

enum class NextPageAction { Find, Click };

// A script for the live page (run in the application's own script world) that looks for the
// next-page link and, with Click, clicks it there and then: the first "A" of the last pager arrow
// ("LI" of class "pagelink-with-arrow"), when its class is "nextpage" (both trimmed, any letter
// case). An earlier arrow (the previous page) is never looked at. The script's value is true when
// there was such a link. Finding and clicking in one step, on the page as it is, means that the
// link clicked is the link the rule found.
QString NextPageLinkScript(NextPageAction action);

} // namespace Lunovex
