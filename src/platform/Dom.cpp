#include "platform/Dom.h"

#include <gumbo.h>

#include <algorithm>

namespace Lunovex {

// One node of the page in document order; end is one past the last node of its subtree.
struct Dom::Node
{
    const GumboNode* node;
    int end;
};

// Where each element's inner markup lies in one serialisation of the page, and where a text occurs
// in it: the answer to "does this element's inner HTML hold the text" for every element at once.
struct Dom::MarkupIndex
{
    QString text;
    std::vector<qsizetype> innerBegin; // by node index; elements only
    std::vector<qsizetype> innerEnd;
    std::vector<qsizetype> hits; // ascending
};

namespace {

bool isElement(const GumboNode* node)
{
    return node->type == GUMBO_NODE_ELEMENT || node->type == GUMBO_NODE_TEMPLATE;
}

bool isText(const GumboNode* node)
{
    return node->type == GUMBO_NODE_TEXT || node->type == GUMBO_NODE_WHITESPACE ||
           node->type == GUMBO_NODE_CDATA;
}

const GumboVector* childrenOf(const GumboNode* node)
{
    if (node->type == GUMBO_NODE_DOCUMENT) return &node->v.document.children;
    if (isElement(node)) return &node->v.element.children;
    return nullptr;
}

// Content the live page holds as no elements: a template's (a fragment of its own) and, while
// scripts run, a noscript's (text).
bool holdsInertContent(const GumboNode* node)
{
    return node->type == GUMBO_NODE_TEMPLATE ||
           (node->type == GUMBO_NODE_ELEMENT && node->v.element.tag == GUMBO_TAG_NOSCRIPT);
}

QString tagOf(const GumboNode* node)
{
    const GumboElement& e = node->v.element;
    if (e.tag != GUMBO_TAG_UNKNOWN) return QString::fromLatin1(gumbo_normalized_tagname(e.tag));
    GumboStringPiece original = e.original_tag;
    gumbo_tag_from_original_text(&original);
    return QString::fromUtf8(original.data, qsizetype(original.length)).toLower();
}

// A tag asked for, matched by gumbo's number where it knows the name.
struct WantedTag
{
    explicit WantedTag(const QString& name) : all(name == QLatin1String("*")), lowered(name.toLower())
    {
        // By length: a name may hold a NUL, and "ul\0x" is no "ul".
        const QByteArray utf8 = lowered.toUtf8();
        tag = gumbo_tagn_enum(utf8.constData(), unsigned(utf8.size()));
    }
    bool matches(const GumboNode* node) const
    {
        if (all) return true;
        const GumboTag t = node->v.element.tag;
        if (tag != GUMBO_TAG_UNKNOWN) return t == tag;
        return t == GUMBO_TAG_UNKNOWN && tagOf(node) == lowered;
    }
    bool all;
    QString lowered;
    GumboTag tag = GUMBO_TAG_UNKNOWN;
};

bool isVoid(GumboTag tag)
{
    switch (tag) {
    case GUMBO_TAG_AREA:
    case GUMBO_TAG_BASE:
    case GUMBO_TAG_BR:
    case GUMBO_TAG_COL:
    case GUMBO_TAG_EMBED:
    case GUMBO_TAG_HR:
    case GUMBO_TAG_IMG:
    case GUMBO_TAG_INPUT:
    case GUMBO_TAG_LINK:
    case GUMBO_TAG_META:
    case GUMBO_TAG_SOURCE:
    case GUMBO_TAG_TRACK:
    case GUMBO_TAG_WBR:
        return true;
    default:
        return false;
    }
}

// Elements whose text the page's markup carries as it is, unescaped.
bool holdsRawText(const GumboNode* node)
{
    if (!node || !isElement(node)) return false;
    switch (node->v.element.tag) {
    case GUMBO_TAG_SCRIPT:
    case GUMBO_TAG_STYLE:
    case GUMBO_TAG_XMP:
    case GUMBO_TAG_IFRAME:
    case GUMBO_TAG_NOEMBED:
    case GUMBO_TAG_NOFRAMES:
    case GUMBO_TAG_PLAINTEXT:
    case GUMBO_TAG_NOSCRIPT:
        return true;
    default:
        return false;
    }
}

void appendEscaped(QString& out, const QString& text, bool attribute)
{
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '&':
            out += QLatin1String("&amp;");
            break;
        case 0xA0:
            out += QLatin1String("&nbsp;");
            break;
        case '"':
            out += attribute ? QLatin1String("&quot;") : QLatin1String("\"");
            break;
        case '<':
            out += attribute ? QLatin1String("<") : QLatin1String("&lt;");
            break;
        case '>':
            out += attribute ? QLatin1String(">") : QLatin1String("&gt;");
            break;
        default:
            out += c;
        }
    }
}

} // namespace

Dom::Dom() = default;

std::unique_ptr<Dom> Dom::parse(const QString& html, const QString& url)
{
    std::unique_ptr<Dom> dom(new Dom);
    dom->source_ = html.toUtf8();
    dom->url_ = url;
    GumboOptions options = kGumboDefaultOptions;
    // Nobody reads the parse errors; kept, each holds a copy of the open elements, which on a
    // broken page grows with the square of its size.
    options.max_errors = 0;
    dom->output_ = gumbo_parse_with_options(&options, dom->source_.constData(), size_t(dom->source_.size()));
    dom->indexNodes();
    dom->base_ = dom->baseUrl();
    return dom;
}

Dom::~Dom()
{
    if (output_) gumbo_destroy_output(&kGumboDefaultOptions, output_);
}

// Lays the tree out in document order, each node knowing where its subtree ends: every later walk
// is a loop over a range.
void Dom::indexNodes()
{
    if (!output_) return;
    struct Open
    {
        const GumboNode* node;
        unsigned next;
        int index; // -1 for the document
    };
    std::vector<Open> open{{output_->document, 0, -1}};
    while (!open.empty()) {
        Open& top = open.back();
        const GumboVector* children = childrenOf(top.node);
        if (top.next >= children->length) {
            if (top.index >= 0) nodes_[size_t(top.index)].end = int(nodes_.size());
            open.pop_back();
            continue;
        }
        const auto* child = static_cast<const GumboNode*>(children->data[top.next++]);
        const int index = int(nodes_.size());
        nodes_.push_back({child, index + 1});
        if (child == output_->root) rootIndex_ = index;
        if (isElement(child)) open.push_back({child, 0, index});
    }
}

// Visits the elements of [begin, end) that the live page's lookups see, in document order.
template <typename Visit> void Dom::forEachLiveElement(int begin, int end, Visit visit) const
{
    for (int i = begin; i < end; ++i) {
        const GumboNode* node = nodes_[size_t(i)].node;
        if (!isElement(node)) continue;
        visit(i);
        if (holdsInertContent(node)) i = nodes_[size_t(i)].end - 1;
    }
}

QList<DomElement> Dom::elementsIn(int begin, int end, const QString& tag) const
{
    QList<DomElement> found;
    const WantedTag wanted(tag);
    forEachLiveElement(begin, end, [&](int i) {
        if (wanted.matches(nodes_[size_t(i)].node)) found.append(DomElement(this, i));
    });
    return found;
}

// Writes the markup of the nodes in [begin, end) as a browser serialises them; with an index, notes
// where each element's inner markup begins and ends.
void Dom::serialize(int begin, int end, QString& out, MarkupIndex* index) const
{
    std::vector<int> open;
    const auto close = [&] {
        const int i = open.back();
        open.pop_back();
        if (index) index->innerEnd[size_t(i)] = out.size();
        out += QLatin1String("</") + tagOf(nodes_[size_t(i)].node) + QLatin1Char('>');
    };
    for (int i = begin; i < end; ++i) {
        while (!open.empty() && nodes_[size_t(open.back())].end <= i)
            close();
        const GumboNode* node = nodes_[size_t(i)].node;
        if (isText(node)) {
            const QString text = QString::fromUtf8(node->v.text.text);
            if (holdsRawText(node->parent))
                out += text;
            else
                appendEscaped(out, text, false);
        } else if (node->type == GUMBO_NODE_COMMENT) {
            out += QLatin1String("<!--") + QString::fromUtf8(node->v.text.text) + QLatin1String("-->");
        } else if (isElement(node)) {
            out += QLatin1Char('<') + tagOf(node);
            const GumboVector& attributes = node->v.element.attributes;
            for (unsigned a = 0; a < attributes.length; ++a) {
                const auto* attribute = static_cast<const GumboAttribute*>(attributes.data[a]);
                out += QLatin1Char(' ') + QString::fromUtf8(attribute->name) + QLatin1String("=\"");
                appendEscaped(out, QString::fromUtf8(attribute->value), true);
                out += QLatin1Char('"');
            }
            out += QLatin1Char('>');
            if (index) index->innerBegin[size_t(i)] = index->innerEnd[size_t(i)] = out.size();
            if (!isVoid(node->v.element.tag)) open.push_back(i);
        }
    }
    while (!open.empty())
        close();
}

const Dom::MarkupIndex& Dom::markupIndex(const QString& text) const
{
    if (markup_ && markup_->text == text) return *markup_;
    auto index = std::make_unique<MarkupIndex>();
    index->text = text;
    index->innerBegin.assign(nodes_.size(), 0);
    index->innerEnd.assign(nodes_.size(), 0);
    QString markup;
    markup.reserve(source_.size());
    serialize(0, int(nodes_.size()), markup, index.get());
    for (qsizetype at = markup.indexOf(text, 0, Qt::CaseInsensitive); at >= 0;
         at = markup.indexOf(text, at + 1, Qt::CaseInsensitive))
        index->hits.push_back(at);
    markup_ = std::move(index);
    return *markup_;
}

QString DomElement::tagName() const
{
    return isNull() ? QString() : tagOf(dom_->nodes_[size_t(index_)].node);
}

QString DomElement::attribute(const QString& name) const
{
    if (isNull()) return {};
    const GumboNode* node = dom_->nodes_[size_t(index_)].node;
    const GumboAttribute* a =
        gumbo_get_attribute(&node->v.element.attributes, name.toLower().toUtf8().constData());
    return a ? QString::fromUtf8(a->value) : QString();
}

QString DomElement::href() const
{
    QString raw = attribute(QStringLiteral("href"));
    if (raw.isNull()) return {};
    // As a browser reads an address: tabs and line breaks inside go, controls and spaces around.
    raw.remove(QLatin1Char('\t')).remove(QLatin1Char('\n')).remove(QLatin1Char('\r'));
    qsizetype from = 0, to = raw.size();
    while (from < to && raw.at(from).unicode() <= 0x20)
        ++from;
    while (to > from && raw.at(to - 1).unicode() <= 0x20)
        --to;
    return dom_->base_.resolved(QUrl(raw.mid(from, to - from))).toString(QUrl::FullyEncoded);
}

QString DomElement::innerHTML() const
{
    QString out;
    if (!isNull()) dom_->serialize(index_ + 1, dom_->nodes_[size_t(index_)].end, out, nullptr);
    return out;
}

QString DomElement::outerHTML() const
{
    QString out;
    if (!isNull()) dom_->serialize(index_, dom_->nodes_[size_t(index_)].end, out, nullptr);
    return out;
}

QString DomElement::innerText(qsizetype maxLength) const
{
    if (isNull()) return {};
    QString text;
    const int end = dom_->nodes_[size_t(index_)].end;
    for (int i = index_ + 1; i < end && (maxLength < 0 || text.size() < maxLength); ++i) {
        const GumboNode* node = dom_->nodes_[size_t(i)].node;
        if (isText(node)) {
            text += QString::fromUtf8(node->v.text.text);
        } else if (isElement(node)) {
            const GumboTag tag = node->v.element.tag;
            // What is never rendered adds no text.
            if (tag == GUMBO_TAG_SCRIPT || tag == GUMBO_TAG_STYLE || holdsInertContent(node))
                i = dom_->nodes_[size_t(i)].end - 1;
            else if (tag == GUMBO_TAG_BR)
                text += QLatin1Char(' ');
        }
    }
    if (maxLength >= 0) text.truncate(maxLength);
    return text.simplified();
}

bool DomElement::innerHTMLContains(const QString& text) const
{
    if (isNull()) return false;
    if (text.isEmpty()) return true;
    const Dom::MarkupIndex& index = dom_->markupIndex(text);
    const qsizetype begin = index.innerBegin[size_t(index_)];
    const auto hit = std::lower_bound(index.hits.begin(), index.hits.end(), begin);
    return hit != index.hits.end() && *hit + text.size() <= index.innerEnd[size_t(index_)];
}

QList<DomElement> DomElement::getElementsByTagName(const QString& tag) const
{
    if (isNull()) return {};
    return dom_->elementsIn(index_ + 1, dom_->nodes_[size_t(index_)].end, tag);
}

bool DomElement::hasDescendant(const DomElement& other) const
{
    return !isNull() && other.dom_ == dom_ && other.index_ > index_ &&
           other.index_ < dom_->nodes_[size_t(index_)].end;
}

int DomElement::indexAmongTag() const
{
    if (isNull()) return -1;
    const WantedTag wanted(tagName());
    int index = -1;
    int seen = 0;
    dom_->forEachLiveElement(0, index_ + 1, [&](int i) {
        if (!wanted.matches(dom_->nodes_[size_t(i)].node)) return;
        if (i == index_) index = seen;
        ++seen;
    });
    return index;
}

DomElement Dom::documentElement() const
{
    return rootIndex_ >= 0 ? DomElement(this, rootIndex_) : DomElement();
}

QList<DomElement> Dom::getElementsByTagName(const QString& tag) const
{
    return elementsIn(0, int(nodes_.size()), tag);
}

DomElement Dom::getElementById(const QString& id) const
{
    const QByteArray wanted = id.toUtf8();
    int match = -1;
    forEachLiveElement(0, int(nodes_.size()), [&](int i) {
        if (match >= 0) return;
        const GumboAttribute* a = gumbo_get_attribute(&nodes_[size_t(i)].node->v.element.attributes, "id");
        if (a && wanted == a->value) match = i;
    });
    return match >= 0 ? DomElement(this, match) : DomElement();
}

QUrl Dom::baseUrl() const
{
    const QUrl page(url_);
    for (const DomElement& base : getElementsByTagName(QStringLiteral("base"))) {
        const QString href = base.attribute(QStringLiteral("href"));
        if (!href.isEmpty()) return page.resolved(QUrl(href.trimmed()));
    }
    return page;
}

} // namespace Lunovex
