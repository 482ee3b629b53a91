#pragma once

#include <QList>
#include <QString>
#include <QUrl>

#include <memory>
#include <vector>

namespace Lunovex {

class Dom;

// One element of a parsed page. Cheap to copy; valid while its Dom lives. A null element stands for
// "nothing there" and answers every question with empty text.
//
// Lookups see the page as the live page's scripts do: the content of a <template> and of a
// <noscript> (text, while scripts run) holds no elements. Every walk is a loop over the page's nodes
// in document order, never a recursion, so no page is too deep for it.
class DomElement
{
public:
    DomElement() = default;

    bool isNull() const { return dom_ == nullptr; }
    QString tagName() const; // lower case
    QString attribute(const QString& name) const;
    QString className() const { return attribute(QStringLiteral("class")); }
    QString name() const { return attribute(QStringLiteral("name")); }
    QString type() const { return attribute(QStringLiteral("type")); }
    QString value() const { return attribute(QStringLiteral("value")); }
    // The address of an anchor resolved against the page (its base), as the live page has it.
    QString href() const;
    QString innerHTML() const;
    QString outerHTML() const;
    // The text as it reads: text nodes joined, white space runs made one space, trimmed. With a
    // maxLength, gathering stops once that many characters have come together.
    QString innerText(qsizetype maxLength = -1) const;
    // Whether innerHTML() holds text, ignoring case. The page is serialised once, at the first
    // question about that text, so asking it of every element costs what one serialisation does.
    bool innerHTMLContains(const QString& text) const;
    // Descendants in document order whose tag matches without regard to case ("*" for all).
    QList<DomElement> getElementsByTagName(const QString& tag) const;
    // Where the element stands in the page's document order; elements of one page compare by it.
    int documentPosition() const { return index_; }
    // Whether other lies inside this element.
    bool hasDescendant(const DomElement& other) const;
    // Where the element stands among the page's elements of its tag (0-based, -1 when the live page
    // does not count it), so that a click or a value can be sent back to the same element.
    int indexAmongTag() const;

private:
    friend class Dom;
    DomElement(const Dom* dom, int index) : dom_(dom), index_(index) {}
    const Dom* dom_ = nullptr;
    int index_ = -1;
};

// A page read without a browser, kept as a compact list of its nodes in document order (about 30
// bytes a node besides its text), whatever its depth.
// - fromSnapshot() reads the live page's tree as the browser's snapshot script wrote it: the tree
//   itself, node for node, with no parser in between.
// - parse() reads markup with gumbo, an HTML5 parser; its cost grows with depth times size, so it is
//   for markup of ordinary depth (tests, saved pages), not for what a hostile page builds by script.
// Not for two threads at once: the first innerHTMLContains() question fills a cache.
class Dom
{
public:
    static std::unique_ptr<Dom> parse(const QString& html, const QString& url);

    // The script that writes the live page's tree for fromSnapshot(); its value is [address, tree].
    // Run it in the application's own script world.
    static QString snapshotScript();
    // nullptr when the text is no tree the script wrote.
    static std::unique_ptr<Dom> fromSnapshot(const QString& tree, const QString& url);

    ~Dom();
    Dom(const Dom&) = delete;
    Dom& operator=(const Dom&) = delete;

    QString url() const { return url_; }
    DomElement documentElement() const;
    DomElement getElementById(const QString& id) const;
    // Every element of the page in document order whose tag matches ("*" for all).
    QList<DomElement> getElementsByTagName(const QString& tag) const;

private:
    friend class DomElement;
    struct Node;
    struct Attribute;
    struct MarkupIndex;
    struct WantedTag;
    class Builder;
    Dom();
    void finish(const QString& url);
    QUrl baseUrl() const;
    QString tagOf(int index) const;
    QStringView textOf(int index) const;
    const Attribute* findAttribute(int index, const QString& name) const;
    bool matches(const WantedTag& wanted, int index) const;
    QList<DomElement> elementsIn(int begin, int end, const QString& tag) const;
    template <typename Visit> void forEachLiveElement(int begin, int end, Visit visit) const;
    void serialize(int begin, int end, QString& out, MarkupIndex* index) const;
    const MarkupIndex& markupIndex(const QString& text) const;

    std::vector<Node> nodes_; // every node of the page, in document order
    std::vector<Attribute> attributes_;
    QString strings_; // the texts, comments, attribute names and values, and unknown tag names
    int rootIndex_ = -1;
    QString url_;
    QUrl base_; // what addresses resolve against: the page's <base>, else its own address
    mutable std::unique_ptr<MarkupIndex> markup_;
};

} // namespace Lunovex
