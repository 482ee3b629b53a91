#include "platform/ReportList.h"
#include "support/TestEnvironment.h"

#include <QHeaderView>
#include <QSignalSpy>

using namespace Lunovex;

namespace {

QStringList texts(const ReportList& list)
{
    QStringList t;
    for (int i = 0; i < list.count(); ++i)
        t.append(list.text(i));
    return t;
}

// A list with the columns of a download list and rows "k<n>" / text.
void fill(ReportList& list, const QStringList& rowTexts)
{
    if (list.columnCount() == 0) {
        list.addColumn(QStringLiteral("文件名"), 200);
        list.addColumn(QStringLiteral("大小"), 80, Qt::AlignRight);
    }
    for (const QString& text : rowTexts)
        list.addRow(QStringLiteral("k") + text, text);
}

} // namespace

class ReportListTest : public QObject
{
    Q_OBJECT

private slots:
    void keysAreUnique()
    {
        ReportList list;
        fill(list, {QStringLiteral("a"), QStringLiteral("b")});
        QCOMPARE(list.addRow(QStringLiteral("ka"), QStringLiteral("again")), -1);
        QCOMPARE(list.count(), 2);
        QCOMPARE(list.text(0), QStringLiteral("a")); // untouched
        QCOMPARE(list.indexOf(QStringLiteral("kb")), 1);
        QCOMPARE(list.indexOf(QStringLiteral("KB")), -1); // exact by default
        QCOMPARE(list.indexOf(QString()), -1);

        // Rows without a key are allowed and never found.
        QCOMPARE(list.addRow(QString(), QStringLiteral("nokey")), 2);
        QCOMPARE(list.addRow(QString(), QStringLiteral("nokey2")), 3);

        QVERIFY(!list.setKey(0, QStringLiteral("kb")));
        QCOMPARE(list.key(0), QStringLiteral("ka"));
        QVERIFY(list.setKey(0, QStringLiteral("kz")));
        QCOMPARE(list.indexOf(QStringLiteral("kz")), 0);
        QCOMPARE(list.indexOf(QStringLiteral("ka")), -1);
        QCOMPARE(list.addRow(QStringLiteral("ka"), QStringLiteral("reuse")), 4);
    }

    void caseInsensitiveKeys()
    {
        ReportList list;
        list.setKeysCaseInsensitive(true);
        fill(list, {QStringLiteral("Paper")});
        QCOMPARE(list.addRow(QStringLiteral("KPAPER"), QStringLiteral("dup")), -1);
        QCOMPARE(list.indexOf(QStringLiteral("kpaper")), 0);
        QCOMPARE(list.key(0), QStringLiteral("kPaper"));   // stored as given
        QVERIFY(list.setKey(0, QStringLiteral("KPaper"))); // same key in another case
        QCOMPARE(list.key(0), QStringLiteral("KPaper"));
    }

    void fieldsAreReadBackAtOnce()
    {
        ReportList list;
        fill(list, {QStringLiteral("a")});
        list.setCell(0, 1, QStringLiteral("12 KB"));
        list.setText(0, QStringLiteral("renamed.pdf"));
        list.setTag(0, QStringLiteral("https://h/page"));
        list.setIconList({QIcon(), QIcon()});
        list.setIcon(0, 1);
        QCOMPARE(list.cell(0, 1), QStringLiteral("12 KB"));
        QCOMPARE(list.text(0), QStringLiteral("renamed.pdf"));
        QCOMPARE(list.tag(0).toString(), QStringLiteral("https://h/page"));
        QCOMPARE(list.icon(0), 1);
        // Out-of-range reads and writes are harmless.
        QCOMPARE(list.cell(5, 0), QString());
        QCOMPARE(list.cell(0, 9), QString());
        list.setCell(5, 0, QStringLiteral("x"));
        list.setCell(0, 9, QStringLiteral("x"));
        QCOMPARE(list.model()->data(list.model()->index(0, 1)).toString(), QStringLiteral("12 KB"));
        QCOMPARE(list.model()->data(list.model()->index(0, 1), Qt::TextAlignmentRole).toInt() &
                     Qt::AlignRight,
                 int(Qt::AlignRight));
    }

    void writesReachTheViewCoalesced()
    {
        ReportList list;
        fill(list, {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
        QSignalSpy changed(list.model(), &QAbstractItemModel::dataChanged);
        for (int i = 0; i < 1000; ++i) {
            list.setCell(0, 1, QString::number(i));
            list.setCell(2, 1, QString::number(i));
        }
        QCOMPARE(changed.size(), 0);
        QTRY_COMPARE(changed.size(), 1);
        QCOMPARE(changed.first().at(0).toModelIndex().row(), 0);
        QCOMPARE(changed.first().at(1).toModelIndex().row(), 2);
        list.setCell(1, 1, QStringLiteral("now"));
        list.flushChanges();
        QCOMPARE(changed.size(), 2);
    }

    void selectionMarks()
    {
        ReportList list;
        fill(list, {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d")});
        list.setSelected(3, true);
        list.setSelected(1, true);
        QCOMPARE(list.selectedRows(), (QList<int>{1, 3}));
        QVERIFY(list.isSelected(1));
        QVERIFY(!list.isSelected(0));
        list.setSelected(1, false);
        QCOMPARE(list.selectedRows(), QList<int>{3});
        QVERIFY(!list.isSelected(99));
    }

    void removingRowsKeepsKeysAndPositions()
    {
        ReportList list;
        fill(list, {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d"),
                    QStringLiteral("e")});
        list.setSelected(4, true);
        list.removeRow(1);
        QCOMPARE(texts(list), (QStringList{"a", "c", "d", "e"}));
        QCOMPARE(list.indexOf(QStringLiteral("kc")), 1);
        QCOMPARE(list.indexOf(QStringLiteral("kb")), -1);
        QCOMPARE(list.selectedRows(), QList<int>{3}); // still on "e"

        list.removeRowsWhere([&](int row) { return list.text(row) != QLatin1String("d"); });
        QCOMPARE(texts(list), QStringList{"d"});
        QCOMPARE(list.indexOf(QStringLiteral("kd")), 0);
        QCOMPARE(list.addRow(QStringLiteral("ka"), QStringLiteral("a")), 1); // its key is free again

        list.clear();
        QCOMPARE(list.count(), 0);
        QCOMPARE(list.indexOf(QStringLiteral("kd")), -1);
        list.removeRow(0); // nothing there: harmless
    }

    void rowIdsFollowTheirRows()
    {
        ReportList list;
        fill(list, {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
        const quint64 c = list.rowId(2);
        const quint64 a = list.rowId(0);
        QVERIFY(c != a && c != 0);
        list.sortOnce(0, Qt::DescendingOrder);
        QCOMPARE(list.indexOfId(c), 0);
        list.removeRow(0);
        QCOMPARE(list.indexOfId(c), -1);
        QCOMPARE(list.indexOfId(a), 1);
        list.removeRowsWhere([](int) { return true; });
        QCOMPARE(list.indexOfId(a), -1);
        fill(list, {QStringLiteral("x")});
        list.clear();
        QCOMPARE(list.indexOfId(list.rowId(0)), -1);
    }

    void batchRemovalOfAlternateRows()
    {
        ReportList list;
        QStringList many;
        for (int i = 0; i < 1000; ++i)
            many.append(QString::number(i));
        fill(list, many);
        list.removeRowsWhere([&](int row) { return list.text(row).toInt() % 2 == 1; });
        QCOMPARE(list.count(), 500);
        for (int i = 0; i < 500; ++i) {
            QCOMPARE(list.text(i), QString::number(2 * i));
            QCOMPARE(list.indexOf(QStringLiteral("k") + QString::number(2 * i)), i);
        }
    }

    void sortOnceIsStableAndCaseInsensitive()
    {
        ReportList list;
        fill(list, {QStringLiteral("b"), QStringLiteral("B"), QStringLiteral("a"), QStringLiteral("C")});
        list.setCell(0, 1, QStringLiteral("2"));
        list.setCell(1, 1, QStringLiteral("1"));
        list.setCell(2, 1, QStringLiteral("1"));
        list.setCell(3, 1, QStringLiteral("0"));
        list.setSelected(2, true); // "a"
        list.sortOnce(0, Qt::AscendingOrder);
        QCOMPARE(texts(list), (QStringList{"a", "b", "B", "C"}));
        QCOMPARE(list.indexOf(QStringLiteral("kC")), 3);
        QCOMPARE(list.selectedRows(), QList<int>{0}); // the selection went with "a"

        list.sortOnce(1, Qt::DescendingOrder);
        QCOMPARE(texts(list), (QStringList{"b", "a", "B", "C"}));

        // Rows added later are not kept sorted.
        list.addRow(QStringLiteral("k0"), QStringLiteral("0"));
        QCOMPARE(list.text(4), QStringLiteral("0"));

        list.sortOnceBy([&](int row) { return list.text(row).toLower() == QLatin1String("b") ? "0" : "1"; },
                        Qt::AscendingOrder);
        QCOMPARE(texts(list), (QStringList{"b", "B", "a", "C", "0"}));
    }

    void clicksReportTheRow()
    {
        ReportList list;
        fill(list, {QStringLiteral("a"), QStringLiteral("b")});
        list.resize(300, 200);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        QSignalSpy clicked(&list, &ReportList::rowClicked);
        QSignalSpy doubleClicked(&list, &ReportList::rowDoubleClicked);
        QSignalSpy header(&list, &ReportList::columnHeaderClicked);
        const QRect second = list.visualRect(list.model()->index(1, 0));
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, second.center());
        QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, second.center());
        QCOMPARE(clicked.first().first().toInt(), 1);
        QCOMPARE(doubleClicked.first().first().toInt(), 1);
        QCOMPARE(list.currentRow(), 1);
        emit list.header()->sectionClicked(1);
        QCOMPARE(header.first().first().toInt(), 1);
    }
};

LUNOVEX_TEST_MAIN(ReportListTest)
#include "tst_reportlist.moc"
