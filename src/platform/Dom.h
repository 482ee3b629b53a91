#pragma once

#include <QList>
#include <QString>
#include <QUrl>

#include <memory>

struct GumboInternalNode;
struct GumboInternalOutput;

namespace Lunovex {

class Dom;

// One element of a parsed page. Cheap to copy; valid while its Dom lives. A null element stands for
// "nothing there" and answers every question with empty text.
class DomElement
{
public:
    DomElement() = default;

    bool isNull() const { return node_ == nullptr; }
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
    // The text as it reads: text nodes joined, white space runs made one space, trimmed.
    QString innerText() const;
    // Descendants in document order whose tag matches without regard to case ("*" for all).
    QList<DomElement> getElementsByTagName(const QString& tag) const;
    // Where the element stands among the page's elements of its tag (0-based), so that a click or a
    // value can be sent back to the same element of the live page.
    int indexAmongTag() const;

private:
    friend class Dom;
    DomElement(const Dom* dom, const GumboInternalNode* node) : dom_(dom), node_(node) {}
    const Dom* dom_ = nullptr;
    const GumboInternalNode* node_ = nullptr;
};

// A page parsed from a snapshot of the live page (its outer HTML and address), read without a browser.
class Dom
{
public:
    static std::unique_ptr<Dom> parse(const QString& html, const QString& url);
    ~Dom();
    Dom(const Dom&) = delete;
    Dom& operator=(const Dom&) = delete;

    QString url() const { return url_; }
    DomElement documentElement() const;
    DomElement getElementById(const QString& id) const;
    QList<DomElement> getElementsByTagName(const QString& tag) const
    {
        return documentElement().getElementsByTagName(tag);
    }

private:
    friend class DomElement;
    Dom() = default;
    QUrl baseUrl() const;

    QByteArray source_; // gumbo keeps pointers into it
    GumboInternalOutput* output_ = nullptr;
    QString url_;
    QUrl base_; // what addresses resolve against: the page's <base>, else its own address
};

} // namespace Lunovex
