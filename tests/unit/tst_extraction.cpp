#include "harvest/ResultExtraction.h"
#include "platform/Dom.h"
#include "support/TestEnvironment.h"

#include <QFile>

using namespace Lunovex;

namespace {

QString fixture(const char* name)
{
    QFile f(QStringLiteral(LUNOVEX_FIXTURES "/") + QString::fromLatin1(name));
    if (!f.open(QIODevice::ReadOnly)) qFatal("no fixture %s", name);
    return QString::fromUtf8(f.readAll());
}

} // namespace

class ExtractionTest : public QObject
{
    Q_OBJECT

private slots:
    void domLookups()
    {
        const auto dom =
            Dom::parse(QStringLiteral("<html><head><base href='https://h.example/dir/'></head><body>"
                                      "<div id='box' class='a b'><P>one <b>two</b>\n  three</P>"
                                      "<a href='x.pdf' name='n'>link</a><input type='text' value='v'></div>"
                                      "<script>var s = '<p>';</script></body></html>"),
                       QStringLiteral("https://h.example/page"));
        const DomElement box = dom->getElementById(QStringLiteral("box"));
        QVERIFY(!box.isNull());
        QCOMPARE(box.className(), QStringLiteral("a b"));
        QCOMPARE(box.getElementsByTagName(QStringLiteral("p")).size(), 1);
        QCOMPARE(box.getElementsByTagName(QStringLiteral("P")).first().innerText(),
                 QStringLiteral("one two three"));
        const DomElement link = box.getElementsByTagName(QStringLiteral("A")).first();
        QCOMPARE(link.href(), QStringLiteral("https://h.example/dir/x.pdf"));
        QCOMPARE(link.name(), QStringLiteral("n"));
        const DomElement input = box.getElementsByTagName(QStringLiteral("input")).first();
        QCOMPARE(input.type(), QStringLiteral("text"));
        QCOMPARE(input.value(), QStringLiteral("v"));
        QVERIFY(box.innerHTML().startsWith(QStringLiteral("<p>one <b>two</b>")));
        QVERIFY(box.outerHTML().startsWith(QStringLiteral("<div id=\"box\" class=\"a b\">")));
        QCOMPARE(dom->getElementsByTagName(QStringLiteral("p")).size(), 1); // the script's text is no element
        QCOMPARE(link.indexAmongTag(), 0);
        QVERIFY(dom->getElementById(QStringLiteral("none")).isNull());
        QCOMPARE(DomElement().innerText(), QString());

        // Document order and containment.
        const QList<DomElement> all = dom->getElementsByTagName(QStringLiteral("*"));
        for (qsizetype i = 1; i < all.size(); ++i)
            QVERIFY(all[i - 1].documentPosition() < all[i].documentPosition());
        QVERIFY(box.hasDescendant(link));
        QVERIFY(!link.hasDescendant(box));
        QVERIFY(!box.hasDescendant(box));
    }

    // The tree as the snapshot script writes it: counted names, attributes, texts; nothing parsed.
    void snapshotTrees()
    {
        const auto dom = Dom::fromSnapshot(
            QStringLiteral("<4:html<4:body<2:ul=2:id16:allTabsContainer<2:li<3:div=5:class9:art_title"
                           "<1:a=4:href11:/doi/full/tt5:A <b>>><3:img=3:src14:/sfxbutton.gif>>>c3: x "
                           "<8:template<1:a>>{3:svg<1:a>>>>"),
            QStringLiteral("https://h/results"));
        QVERIFY(dom);
        QCOMPARE(dom->documentElement().tagName(), QStringLiteral("html"));
        const QList<ExtractedEntry> entries = ExtractResultEntries(dom.get());
        QCOMPARE(entries.size(), 1);
        QCOMPARE(entries.first().Title, QStringLiteral("A <b>"));
        QCOMPARE(entries.first().PdfAddress, QStringLiteral("https://h/doi/pdf/t?needAccess=true"));
        QCOMPARE(dom->getElementsByTagName(QStringLiteral("a")).size(),
                 2); // the template's is not the page's
        QVERIFY(dom->documentElement().innerHTML().contains(QStringLiteral("A &lt;b&gt;</a>")));
        QVERIFY(dom->documentElement().innerHTML().contains(QStringLiteral("<!-- x -->")));
    }

    void snapshotTreesThatAreNone_data()
    {
        QTest::addColumn<QString>("tree");
        QTest::newRow("empty") << "";
        QTest::newRow("text only") << "t1:x";
        QTest::newRow("count past the end") << "<4:html t99:x>";
        QTest::newRow("no count") << "<html>";
        QTest::newRow("huge count") << "<99999999999999999999:html>";
        QTest::newRow("attribute after content") << "<4:htmlt1:x=2:id1:x>";
        QTest::newRow("close without open") << "<4:html>>";
        QTest::newRow("unknown token") << "<4:html?>";
    }
    void snapshotTreesThatAreNone()
    {
        QFETCH(QString, tree);
        QVERIFY(!Dom::fromSnapshot(tree, QStringLiteral("https://h/")));
    }

    // What the live page's scripts see: no elements in a template's content or in a noscript.
    void lookupsSeeThePageAsItsScriptsDo()
    {
        const auto dom = Dom::parse(QStringLiteral("<body><a id='one' href='/1'>1</a>"
                                                   "<noscript><a id='two' href='/2'>2</a></noscript>"
                                                   "<template><a id='three' href='/3'>3</a></template>"
                                                   "<a id='four' href='/4'>4</a></body>"),
                                    QStringLiteral("https://h/"));
        const QList<DomElement> links = dom->getElementsByTagName(QStringLiteral("a"));
        QCOMPARE(links.size(), 2);
        QCOMPARE(links[1].attribute(QStringLiteral("id")), QStringLiteral("four"));
        QCOMPARE(links[1].indexAmongTag(), 1);
        QVERIFY(dom->getElementById(QStringLiteral("two")).isNull());
        QVERIFY(dom->getElementById(QStringLiteral("three")).isNull());
        QCOMPARE(dom->getElementsByTagName(QStringLiteral("template")).size(), 1);
        QCOMPARE(dom->documentElement().innerText(), QStringLiteral("14"));
        QCOMPARE(dom->documentElement().innerText(1), QStringLiteral("1"));
    }

    // The markup question answered without serialising each element agrees with serialising it.
    void innerHTMLContains_data()
    {
        QTest::addColumn<QString>("page");
        QTest::newRow("attribute") << "<li id='x'><img src='/Images/SFXButton.gif'></li>";
        QTest::newRow("text") << "<li id='x'>see /sfxbutton.gif here</li>";
        QTest::newRow("comment") << "<li id='x'><!-- /sfxbutton.gif --></li>";
        QTest::newRow("own attribute only") << "<li id='x' title='/sfxbutton.gif'>nothing</li>";
        QTest::newRow("in a sibling") << "<li id='x'>a</li><li><img src='/sfxbutton.gif'></li>";
        QTest::newRow("end tag of an element so named") << "<li id='x'><sfxbutton.gif></sfxbutton.gif></li>";
        QTest::newRow("nested items")
            << "<li id='x'><ul><li><ul><li><img src='/sfxbutton.gif'></li></ul></li></ul></li>";
        QTest::newRow("raw script text") << "<li id='x'><script>var s = '/sfxbutton.gif';</script></li>";
    }
    void innerHTMLContains()
    {
        QFETCH(QString, page);
        const auto dom =
            Dom::parse(QStringLiteral("<ul>") + page + QStringLiteral("</ul>"), QStringLiteral("https://h/"));
        for (const DomElement& e : dom->getElementsByTagName(QStringLiteral("*"))) {
            const QString needle = QStringLiteral("/sfxbutton.gif");
            QCOMPARE(e.innerHTMLContains(needle), e.innerHTML().contains(needle, Qt::CaseInsensitive));
        }
        QVERIFY(!dom->getElementById(QStringLiteral("x")).isNull());
    }

    // Only web addresses become entries.
    void articleAddresses_data()
    {
        QTest::addColumn<QString>("base");
        QTest::addColumn<QString>("href");
        QTest::addColumn<bool>("taken");
        QTest::newRow("relative") << ""
                                  << "/doi/full/1" << true;
        QTest::newRow("http") << ""
                              << "http://other.example/doi/full/1" << true;
        QTest::newRow("javascript") << ""
                                    << "javascript:alert(1)" << false;
        QTest::newRow("javascript split by a line break") << ""
                                                          << "java\nscript:alert(1)" << false;
        QTest::newRow("mailto") << ""
                                << "mailto:a@example.org" << false;
        QTest::newRow("data") << ""
                              << "data:text/html,x" << false;
        QTest::newRow("file") << ""
                              << "file:///etc/passwd" << false;
        QTest::newRow("base without a host") << "https:x/"
                                             << "doi/full/1" << false;
        QTest::newRow("base of another scheme") << "file:///tmp/"
                                                << "doi/full/1" << false;
    }
    void articleAddresses()
    {
        QFETCH(QString, base);
        QFETCH(QString, href);
        QFETCH(bool, taken);
        const QString head = base.isEmpty() ? QString() : QStringLiteral("<base href='%1'>").arg(base);
        const auto dom = Dom::parse(
            QStringLiteral("<html><head>%1</head><body><ul id='allTabsContainer'><li><div class='art_title'>"
                           "<a href='%2'>Title</a></div><img src='/sfxbutton.gif'></li></ul></body></html>")
                .arg(head, href),
            QStringLiteral("https://journals.example.org/results"));
        QCOMPARE(ExtractResultEntries(dom.get()).size(), taken ? 1 : 0);
    }

    void resultPage()
    {
        const auto dom = Dom::parse(fixture("result-page.html"),
                                    QStringLiteral("https://journals.example.org/action/doSearch?q=cells"));
        const QList<ExtractedEntry> entries = ExtractResultEntries(dom.get());
        QStringList titles, addresses;
        for (const ExtractedEntry& e : entries) {
            titles.append(e.Title);
            addresses.append(e.PdfAddress);
            QCOMPARE(e.SourcePage, QStringLiteral("https://journals.example.org/action/doSearch?q=cells"));
        }
        QCOMPARE(titles, (QStringList{"Cell migration in tissue", "Capitals & more", "The same article",
                                      "The same article again", "First title block"}));
        QCOMPARE(addresses,
                 (QStringList{"https://journals.example.org/doi/pdf/10.1000/one?needAccess=true",
                              "https://journals.example.org/doi/pdf/10.1000/three?x=1&y=2?needAccess=true",
                              "https://journals.example.org/doi/pdf/10.1000/six?needAccess=true",
                              "https://journals.example.org/doi/pdf/10.1000/six?needAccess=true",
                              "https://journals.example.org/doi/pdf/10.1000/eight?needAccess=true"}));
    }

    void pagesOfAnotherKind_data()
    {
        QTest::addColumn<QString>("page");
        QTest::newRow("no container") << "<html><body><ul><li><div class='art_title'><a href='/a'>x</a></div>"
                                         "<img src='/sfxbutton.gif'></li></ul></body></html>";
        QTest::newRow("not HTML") << "%PDF-1.4 binary \x01\x02 garbage";
        QTest::newRow("empty") << "";
        QTest::newRow("malformed") << "<div id='allTabsContainer'><li><div class='art_title'><a "
                                      "href='/doi/full/z'>Z<li><img src='/sfxbutton.gif'";
        // Read as it comes, without the browser's depth limit: every walk is a loop all the same.
        QTest::newRow("16,000 levels deep")
            << QStringLiteral("<div>").repeated(16000) +
                   "<ul id='allTabsContainer'><li><div class='art_title'>"
                   "<a href='/doi/full/d'>D</a></div><img src='/sfxbutton.gif'>";
        QTest::newRow("8,000 unclosed tags")
            << "<ul id='allTabsContainer'>" + QStringLiteral("<div>").repeated(8000);
    }
    void pagesOfAnotherKind()
    {
        QFETCH(QString, page);
        const auto dom = Dom::parse(page, QStringLiteral("https://h/x"));
        const QList<ExtractedEntry> entries = ExtractResultEntries(dom.get());
        QVERIFY(entries.size() <= 1); // a broken page gives what can be read, and never a crash
        QCOMPARE(ExtractResultEntries(nullptr).size(), 0);
    }

    void addressRule_data()
    {
        QTest::addColumn<QString>("href");
        QTest::addColumn<QString>("pdf");
        QTest::newRow("full") << "https://h/doi/full/1"
                              << "https://h/doi/pdf/1?needAccess=true";
        QTest::newRow("abs") << "https://h/doi/abs/1"
                             << "https://h/doi/pdf/1?needAccess=true";
        QTest::newRow("FULL") << "https://h/doi/FULL/1"
                              << "https://h/doi/pdf/1?needAccess=true";
        QTest::newRow("query kept, text appended") << "https://h/doi/full/1?a=b"
                                                   << "https://h/doi/pdf/1?a=b?needAccess=true";
        QTest::newRow("amp") << "https://h/doi/pdf/1?a=1&amp;b=2"
                             << "https://h/doi/pdf/1?a=1&b=2?needAccess=true";
    }
    void addressRule()
    {
        QFETCH(QString, href);
        QFETCH(QString, pdf);
        QCOMPARE(PdfAddressFromArticleLink(href), pdf);
    }
};

LUNOVEX_TEST_MAIN(ExtractionTest)
#include "tst_extraction.moc"
