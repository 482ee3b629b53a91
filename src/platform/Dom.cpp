#include "platform/Dom.h"

#include <gumbo.h>

#include <QStringList>

#include <functional>

namespace Lunovex {

namespace {

const GumboNode* asNode(const GumboInternalNode* node)
{
    return reinterpret_cast<const GumboNode*>(node);
}

bool isElement(const GumboNode* node)
{
    return node && (node->type == GUMBO_NODE_ELEMENT || node->type == GUMBO_NODE_TEMPLATE);
}

QString tagOf(const GumboNode* node)
{
    if (!isElement(node)) return {};
    const GumboElement& e = node->v.element;
    if (e.tag != GUMBO_TAG_UNKNOWN) return QString::fromLatin1(gumbo_normalized_tagname(e.tag));
    GumboStringPiece original = e.original_tag;
    gumbo_tag_from_original_text(&original);
    return QString::fromUtf8(original.data, qsizetype(original.length)).toLower();
}

// Visits the element descendants of node in document order.
void forEachDescendant(const GumboNode* node, const std::function<void(const GumboNode*)>& visit)
{
    if (!isElement(node) && !(node && node->type == GUMBO_NODE_DOCUMENT)) return;
    const GumboVector& children =
        node->type == GUMBO_NODE_DOCUMENT ? node->v.document.children : node->v.element.children;
    for (unsigned i = 0; i < children.length; ++i) {
        const auto* child = static_cast<const GumboNode*>(children.data[i]);
        if (isElement(child)) {
            visit(child);
            forEachDescendant(child, visit);
        }
    }
}

QString escapeText(const QString& text)
{
    QString out = text;
    out.replace(QLatin1Char('&'), QLatin1String("&amp;"));
    out.replace(QLatin1Char('<'), QLatin1String("&lt;"));
    out.replace(QLatin1Char('>'), QLatin1String("&gt;"));
    return out;
}

void serialize(const GumboNode* node, QString& out, bool withSelf);

void serializeChildren(const GumboNode* node, QString& out)
{
    const GumboVector& children = node->v.element.children;
    for (unsigned i = 0; i < children.length; ++i)
        serialize(static_cast<const GumboNode*>(children.data[i]), out, true);
}

void serialize(const GumboNode* node, QString& out, bool withSelf)
{
    switch (node->type) {
    case GUMBO_NODE_TEXT:
    case GUMBO_NODE_WHITESPACE:
    case GUMBO_NODE_CDATA:
        out += escapeText(QString::fromUtf8(node->v.text.text));
        return;
    case GUMBO_NODE_COMMENT:
        out += QStringLiteral("<!--") + QString::fromUtf8(node->v.text.text) + QStringLiteral("-->");
        return;
    case GUMBO_NODE_ELEMENT:
    case GUMBO_NODE_TEMPLATE:
        break;
    default:
        return;
    }
    const QString tag = tagOf(node);
    if (withSelf) {
        out += QLatin1Char('<') + tag;
        const GumboVector& attributes = node->v.element.attributes;
        for (unsigned i = 0; i < attributes.length; ++i) {
            const auto* a = static_cast<const GumboAttribute*>(attributes.data[i]);
            QString value = QString::fromUtf8(a->value);
            value.replace(QLatin1Char('&'), QLatin1String("&amp;"))
                .replace(QLatin1Char('"'), QLatin1String("&quot;"));
            out += QLatin1Char(' ') + QString::fromUtf8(a->name) + QStringLiteral("=\"") + value +
                   QLatin1Char('"');
        }
        out += QLatin1Char('>');
    }
    serializeChildren(node, out);
    if (withSelf) {
        static const QStringList voids = {"area",  "base", "br",   "col",    "embed", "hr", "img",
                                          "input", "link", "meta", "source", "track", "wbr"};
        if (!voids.contains(tag)) out += QStringLiteral("</") + tag + QLatin1Char('>');
    }
}

void collectText(const GumboNode* node, QString& out)
{
    if (node->type == GUMBO_NODE_TEXT || node->type == GUMBO_NODE_WHITESPACE ||
        node->type == GUMBO_NODE_CDATA) {
        out += QString::fromUtf8(node->v.text.text);
        return;
    }
    if (!isElement(node)) return;
    const GumboTag tag = node->v.element.tag;
    if (tag == GUMBO_TAG_SCRIPT || tag == GUMBO_TAG_STYLE) return;
    if (tag == GUMBO_TAG_BR) out += QLatin1Char(' ');
    const GumboVector& children = node->v.element.children;
    for (unsigned i = 0; i < children.length; ++i)
        collectText(static_cast<const GumboNode*>(children.data[i]), out);
}

} // namespace

QString DomElement::tagName() const
{
    return tagOf(asNode(node_));
}

QString DomElement::attribute(const QString& name) const
{
    if (!isElement(asNode(node_))) return {};
    const GumboAttribute* a =
        gumbo_get_attribute(&asNode(node_)->v.element.attributes, name.toLower().toUtf8().constData());
    return a ? QString::fromUtf8(a->value) : QString();
}

QString DomElement::href() const
{
    const QString raw = attribute(QStringLiteral("href"));
    if (raw.isNull()) return {};
    return dom_->base_.resolved(QUrl(raw.trimmed())).toString(QUrl::FullyEncoded);
}

QString DomElement::innerHTML() const
{
    if (!isElement(asNode(node_))) return {};
    QString out;
    serialize(asNode(node_), out, false);
    return out;
}

QString DomElement::outerHTML() const
{
    if (!isElement(asNode(node_))) return {};
    QString out;
    serialize(asNode(node_), out, true);
    return out;
}

QString DomElement::innerText() const
{
    if (!isElement(asNode(node_))) return {};
    QString text;
    collectText(asNode(node_), text);
    return text.simplified();
}

QList<DomElement> DomElement::getElementsByTagName(const QString& tag) const
{
    QList<DomElement> found;
    if (!isElement(asNode(node_))) return found;
    const QString wanted = tag.toLower();
    forEachDescendant(asNode(node_), [&](const GumboNode* n) {
        if (wanted == QLatin1String("*") || tagOf(n) == wanted)
            found.append(DomElement(dom_, reinterpret_cast<const GumboInternalNode*>(n)));
    });
    return found;
}

int DomElement::indexAmongTag() const
{
    if (!isElement(asNode(node_))) return -1;
    const QString tag = tagName();
    int index = -1;
    int seen = 0;
    forEachDescendant(dom_->output_->document, [&](const GumboNode* n) {
        if (tagOf(n) != tag) return;
        if (reinterpret_cast<const GumboInternalNode*>(n) == node_) index = seen;
        ++seen;
    });
    return index;
}

std::unique_ptr<Dom> Dom::parse(const QString& html, const QString& url)
{
    std::unique_ptr<Dom> dom(new Dom);
    dom->source_ = html.toUtf8();
    dom->url_ = url;
    dom->output_ = gumbo_parse_with_options(&kGumboDefaultOptions, dom->source_.constData(),
                                            size_t(dom->source_.size()));
    dom->base_ = dom->baseUrl();
    return dom;
}

Dom::~Dom()
{
    if (output_) gumbo_destroy_output(&kGumboDefaultOptions, output_);
}

DomElement Dom::documentElement() const
{
    return output_ ? DomElement(this, reinterpret_cast<const GumboInternalNode*>(output_->root))
                   : DomElement();
}

DomElement Dom::getElementById(const QString& id) const
{
    DomElement found;
    if (!output_) return found;
    const QByteArray wanted = id.toUtf8();
    const GumboNode* match = nullptr;
    forEachDescendant(output_->document, [&](const GumboNode* n) {
        if (match) return;
        const GumboAttribute* a = gumbo_get_attribute(&n->v.element.attributes, "id");
        if (a && wanted == a->value) match = n;
    });
    return match ? DomElement(this, reinterpret_cast<const GumboInternalNode*>(match)) : DomElement();
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
