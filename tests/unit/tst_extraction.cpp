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
