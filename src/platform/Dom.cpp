#include "platform/Dom.h"

#include <gumbo.h>

#include <algorithm>
#include <cstdint>

namespace Lunovex {

// One node of the page in document order.
struct Dom::Node
{
    enum Kind : std::uint8_t { Element, Text, Comment };
    enum Flag : std::uint8_t { Html = 1, RawText = 2 };
    int end;            // one past the last node of its subtree
    int text;           // text and comment: the data; element: its name when gumbo knows no such tag
    int textLength;     //   (both in strings_)
    int firstAttribute; // in attributes_
    int attributeCount;
    std::uint16_t tag; // GumboTag
    Kind kind;
    std::uint8_t flags; // Html: an element of the HTML namespace; RawText: the text of a script, a style...
};

struct Dom::Attribute
{
    int name, nameLength, value, valueLength; // in strings_
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

GumboTag tagFromName(const QString& lowered)
{
    // By length: a name may hold a NUL, and "ul\0x" is no "ul".
    const QByteArray utf8 = lowered.toUtf8();
    return gumbo_tagn_enum(utf8.constData(), unsigned(utf8.size()));
}

bool isVoid(GumboTag tag)
{
    switch (tag) {
    case GUMBO_TAG_AREA:
    case GUMBO_TAG_BASE:
    case GUMBO_TAG_BASEFONT:
    case GUMBO_TAG_BGSOUND:
    case GUMBO_TAG_BR:
    case GUMBO_TAG_COL:
    case GUMBO_TAG_EMBED:
    case GUMBO_TAG_FRAME:
    case GUMBO_TAG_HR:
    case GUMBO_TAG_IMG:
    case GUMBO_TAG_INPUT:
    case GUMBO_TAG_KEYGEN:
    case GUMBO_TAG_LINK:
    case GUMBO_TAG_META:
    case GUMBO_TAG_PARAM:
    case GUMBO_TAG_SOURCE:
    case GUMBO_TAG_TRACK:
    case GUMBO_TAG_WBR:
        return true;
    default:
        return false;
    }
}

// Elements whose text the page's markup carries as it is, unescaped.
bool holdsRawText(GumboTag tag)
{
    switch (tag) {
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

// Content the live page holds as no elements: a template's (a fragment of its own) and, while
// scripts run, a noscript's (text).
bool holdsInertContent(GumboTag tag)
{
    return tag == GUMBO_TAG_TEMPLATE || tag == GUMBO_TAG_NOSCRIPT;
}

void appendEscaped(QString& out, QStringView text, bool attribute)
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

// "12:" and then twelve characters, as the snapshot script writes every text.
bool readCounted(const QString& tree, qsizetype& at, QStringView& text)
{
    qsizetype length = 0;
    const qsizetype digitsFrom = at;
    while (at < tree.size() && tree.at(at) >= QLatin1Char('0') && tree.at(at) <= QLatin1Char('9')) {
        length = length * 10 + (tree.at(at).unicode() - '0');
        if (length > tree.size()) return false;
        ++at;
    }
    if (at == digitsFrom || at >= tree.size() || tree.at(at) != QLatin1Char(':')) return false;
    ++at;
    if (length > tree.size() - at) return false;
    text = QStringView(tree).mid(at, length);
    at += length;
    return true;
}

} // namespace

// Appends nodes in document order, keeping the elements still open.
class Dom::Builder
{
public:
    explicit Builder(Dom& dom) : dom_(dom) {}

    void open(GumboTag tag, const QString& loweredName, bool html)
    {
        const int index = int(dom_.nodes_.size());
        Node node{index + 1,
                  0,
                  0,
                  int(dom_.attributes_.size()),
                  0,
                  std::uint16_t(tag),
                  Node::Element,
                  std::uint8_t(html ? Node::Html : 0)};
        if (tag == GUMBO_TAG_UNKNOWN) {
            node.text = store(loweredName);
            node.textLength = int(loweredName.size());
        }
        dom_.nodes_.push_back(node);
        if (open_.empty() && dom_.rootIndex_ < 0) dom_.rootIndex_ = index;
        open_.push_back(index);
    }
    void open(const QString& name, bool html)
    {
        const QString lowered = name.toLower();
        open(tagFromName(lowered), lowered, html);
    }
    // Only right after open(), before anything inside the element.
    bool attribute(QStringView name, QStringView value)
    {
        if (open_.empty() || open_.back() != int(dom_.nodes_.size()) - 1) return false;
        dom_.attributes_.push_back({store(name), int(name.size()), store(value), int(value.size())});
        ++dom_.nodes_.back().attributeCount;
        return true;
    }
    bool close()
    {
        if (open_.empty()) return false;
        dom_.nodes_[size_t(open_.back())].end = int(dom_.nodes_.size());
        open_.pop_back();
        return true;
    }
    void text(QStringView data, Node::Kind kind = Node::Text)
    {
        std::uint8_t flags = 0;
        if (kind == Node::Text && !open_.empty()) {
            const Node& parent = dom_.nodes_[size_t(open_.back())];
            if ((parent.flags & Node::Html) && holdsRawText(GumboTag(parent.tag))) flags = Node::RawText;
        }
        const int index = int(dom_.nodes_.size());
        dom_.nodes_.push_back(
            {index + 1, store(data), int(data.size()), 0, 0, GUMBO_TAG_UNKNOWN, kind, flags});
    }
    void finish()
    {
        while (close()) {
        }
        dom_.nodes_.shrink_to_fit();
        dom_.attributes_.shrink_to_fit();
        dom_.strings_.squeeze();
    }

private:
    int store(QStringView text)
    {
        const int at = int(dom_.strings_.size());
        dom_.strings_ += text;
        return at;
    }

    Dom& dom_;
    std::vector<int> open_;
};

Dom::Dom() = default;
Dom::~Dom() = default;

std::unique_ptr<Dom> Dom::parse(const QString& html, const QString& url)
{
    std::unique_ptr<Dom> dom(new Dom);
    const QByteArray source = html.toUtf8();
    GumboOptions options = kGumboDefaultOptions;
    // Nobody reads the parse errors; kept, each holds a copy of the open elements, which on a
    // broken page grows with the square of its size.
    options.max_errors = 0;
    GumboOutput* output = gumbo_parse_with_options(&options, source.constData(), size_t(source.size()));
    if (output) {
        // gumbo's tree costs some 200 bytes a node: it is copied into the compact list at once, by a
        // loop over the tree, and let go.
        Builder builder(*dom);
        struct Open
        {
            const GumboNode* node;
            unsigned next;
        };
        std::vector<Open> open{{output->document, 0}};
        while (!open.empty()) {
            const GumboNode* parent = open.back().node;
            const GumboVector& children = parent->type == GUMBO_NODE_DOCUMENT ? parent->v.document.children
                                                                              : parent->v.element.children;
            if (open.back().next >= children.length) {
                if (parent->type != GUMBO_NODE_DOCUMENT) builder.close();
                open.pop_back();
                continue;
            }
            const auto* child = static_cast<const GumboNode*>(children.data[open.back().next++]);
            switch (child->type) {
            case GUMBO_NODE_ELEMENT:
            case GUMBO_NODE_TEMPLATE: {
                const GumboElement& e = child->v.element;
                QString name;
                if (e.tag == GUMBO_TAG_UNKNOWN) {
                    GumboStringPiece original = e.original_tag;
                    gumbo_tag_from_original_text(&original);
                    name = QString::fromUtf8(original.data, qsizetype(original.length)).toLower();
                }
                builder.open(e.tag, name, e.tag_namespace == GUMBO_NAMESPACE_HTML);
                for (unsigned a = 0; a < e.attributes.length; ++a) {
                    const auto* attribute = static_cast<const GumboAttribute*>(e.attributes.data[a]);
                    builder.attribute(QString::fromUtf8(attribute->name),
                                      QString::fromUtf8(attribute->value));
                }
                open.push_back({child, 0});
                break;
            }
            case GUMBO_NODE_TEXT:
            case GUMBO_NODE_WHITESPACE:
            case GUMBO_NODE_CDATA:
                builder.text(QString::fromUtf8(child->v.text.text));
                break;
            case GUMBO_NODE_COMMENT:
                builder.text(QString::fromUtf8(child->v.text.text), Node::Comment);
                break;
            default:
                break;
            }
        }
        builder.finish();
        gumbo_destroy_output(&options, output);
    }
    dom->finish(url);
    return dom;
}

QString Dom::snapshotScript()
{
    // The tree node for node, by a loop (no recursion, so no depth is too deep): "<" or "{" (an
    // element of another namespace) and its counted name, "=" and a counted name and value for each
    // attribute, its content, ">" at its end; "t" and "c" with counted data for text and comments.
    // A template's content is written as the template's own; the page's scripts share the document
    // but not this script's objects.
    return QStringLiteral(R"JS(
(function () {
  var root = document.documentElement;
  if (!root) return [document.URL, ''];
  function counted(s) { return s.length + ':' + s; }
  var out = [], work = [root];
  while (work.length) {
    var n = work.pop();
    if (n === null) { out.push('>'); continue; }
    var kind = n.nodeType;
    if (kind === 3 || kind === 4) { out.push('t' + counted(n.data)); continue; }
    if (kind === 8) { out.push('c' + counted(n.data)); continue; }
    if (kind !== 1) continue;
    out.push((n.namespaceURI === 'http://www.w3.org/1999/xhtml' ? '<' : '{') + counted(n.localName));
    for (var a = 0, attributes = n.attributes; a < attributes.length; ++a)
      out.push('=' + counted(attributes[a].name) + counted(attributes[a].value));
    work.push(null);
    var children = (n.localName === 'template' && n.content ? n.content : n).childNodes;
    for (var c = children.length - 1; c >= 0; --c) work.push(children[c]);
  }
  return [document.URL, out.join('')];
})()
)JS");
}

std::unique_ptr<Dom> Dom::fromSnapshot(const QString& tree, const QString& url)
{
    std::unique_ptr<Dom> dom(new Dom);
    Builder builder(*dom);
    qsizetype at = 0;
    QStringView first, second;
    while (at < tree.size()) {
        const QChar token = tree.at(at++);
        bool ok = true;
        switch (token.unicode()) {
        case '<':
        case '{':
            ok = readCounted(tree, at, first);
            if (ok) builder.open(first.toString(), token == QLatin1Char('<'));
            break;
        case '=':
            ok = readCounted(tree, at, first) && readCounted(tree, at, second) &&
                 builder.attribute(first, second);
            break;
        case '>':
            ok = builder.close();
            break;
        case 't':
        case 'c':
            ok = readCounted(tree, at, first);
            if (ok) builder.text(first, token == QLatin1Char('t') ? Node::Text : Node::Comment);
            break;
        default:
            ok = false;
        }
        if (!ok) return nullptr;
    }
    builder.finish();
    if (dom->rootIndex_ < 0) return nullptr;
    dom->finish(url);
    return dom;
}

void Dom::finish(const QString& url)
{
    url_ = url;
    base_ = baseUrl();
}

QString Dom::tagOf(int index) const
{
    const Node& node = nodes_[size_t(index)];
    if (node.tag != GUMBO_TAG_UNKNOWN)
        return QString::fromLatin1(gumbo_normalized_tagname(GumboTag(node.tag)));
    return strings_.mid(node.text, node.textLength);
}

QStringView Dom::textOf(int index) const
{
    const Node& node = nodes_[size_t(index)];
    return QStringView(strings_).mid(node.text, node.textLength);
}

const Dom::Attribute* Dom::findAttribute(int index, const QString& name) const
{
    const Node& node = nodes_[size_t(index)];
    for (int a = node.firstAttribute; a < node.firstAttribute + node.attributeCount; ++a) {
        const Attribute& attribute = attributes_[size_t(a)];
        if (QStringView(strings_)
                .mid(attribute.name, attribute.nameLength)
                .compare(name, Qt::CaseInsensitive) == 0)
            return &attribute;
    }
    return nullptr;
}

// A tag asked for, matched by gumbo's number where it knows the name.
struct Dom::WantedTag
{
    explicit WantedTag(const QString& name)
        : all(name == QLatin1String("*")), lowered(name.toLower()), tag(tagFromName(lowered))
    {}
    bool all;
    QString lowered;
    GumboTag tag;
};

bool Dom::matches(const WantedTag& wanted, int index) const
{
    const Node& node = nodes_[size_t(index)];
    if (wanted.all) return true;
    if (wanted.tag != GUMBO_TAG_UNKNOWN) return node.tag == wanted.tag;
    return node.tag == GUMBO_TAG_UNKNOWN && textOf(index) == wanted.lowered;
}

// Visits the elements of [begin, end) that the live page's lookups see, in document order.
template <typename Visit> void Dom::forEachLiveElement(int begin, int end, Visit visit) const
{
    for (int i = begin; i < end; ++i) {
        const Node& node = nodes_[size_t(i)];
        if (node.kind != Node::Element) continue;
        visit(i);
        if (holdsInertContent(GumboTag(node.tag))) i = node.end - 1;
    }
}

QList<DomElement> Dom::elementsIn(int begin, int end, const QString& tag) const
{
    QList<DomElement> found;
    const WantedTag wanted(tag);
    forEachLiveElement(begin, end, [&](int i) {
        if (matches(wanted, i)) found.append(DomElement(this, i));
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
        out += QLatin1String("</") + tagOf(i) + QLatin1Char('>');
    };
    for (int i = begin; i < end; ++i) {
        while (!open.empty() && nodes_[size_t(open.back())].end <= i)
            close();
        const Node& node = nodes_[size_t(i)];
        if (node.kind == Node::Text) {
            if (node.flags & Node::RawText)
                out += textOf(i);
            else
                appendEscaped(out, textOf(i), false);
        } else if (node.kind == Node::Comment) {
            out += QLatin1String("<!--");
            out += textOf(i);
            out += QLatin1String("-->");
        } else {
            out += QLatin1Char('<') + tagOf(i);
            for (int a = node.firstAttribute; a < node.firstAttribute + node.attributeCount; ++a) {
                const Attribute& attribute = attributes_[size_t(a)];
                out += QLatin1Char(' ');
                out += QStringView(strings_).mid(attribute.name, attribute.nameLength);
                out += QLatin1String("=\"");
                appendEscaped(out, QStringView(strings_).mid(attribute.value, attribute.valueLength), true);
                out += QLatin1Char('"');
            }
            out += QLatin1Char('>');
            if (index) index->innerBegin[size_t(i)] = index->innerEnd[size_t(i)] = out.size();
            if (!((node.flags & Node::Html) && isVoid(GumboTag(node.tag)))) open.push_back(i);
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
    serialize(0, int(nodes_.size()), markup, index.get());
    for (qsizetype at = markup.indexOf(text, 0, Qt::CaseInsensitive); at >= 0;
         at = markup.indexOf(text, at + 1, Qt::CaseInsensitive))
        index->hits.push_back(at);
    markup_ = std::move(index);
    return *markup_;
}

QString DomElement::tagName() const
{
    return isNull() ? QString() : dom_->tagOf(index_);
}

QString DomElement::attribute(const QString& name) const
{
    if (isNull()) return {};
    const Dom::Attribute* a = dom_->findAttribute(index_, name);
    return a ? dom_->strings_.mid(a->value, a->valueLength) : QString();
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
        const Dom::Node& node = dom_->nodes_[size_t(i)];
        if (node.kind == Dom::Node::Text) {
            text += dom_->textOf(i);
        } else if (node.kind == Dom::Node::Element) {
            const auto tag = GumboTag(node.tag);
            // What is never rendered adds no text.
            if (tag == GUMBO_TAG_SCRIPT || tag == GUMBO_TAG_STYLE || holdsInertContent(tag))
                i = node.end - 1;
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
    const Dom::WantedTag wanted(tagName());
    int index = -1;
    int seen = 0;
    dom_->forEachLiveElement(0, index_ + 1, [&](int i) {
        if (!dom_->matches(wanted, i)) return;
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
    int match = -1;
    forEachLiveElement(0, int(nodes_.size()), [&](int i) {
        if (match >= 0) return;
        const Attribute* a = findAttribute(i, QStringLiteral("id"));
        if (a && QStringView(strings_).mid(a->value, a->valueLength) == id) match = i;
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
