#include "platform/ReportList.h"
#include "support/TestEnvironment.h"
#include "util/ControlHelpers.h"

#include <QComboBox>
#include <QFile>
#include <QListView>
#include <QPointer>
#include <QStyle>
#include <QTextLayout>

#include <cmath>

using namespace Lunovex;

namespace {

// The height a row of the list's font needs: one laid-out line of Latin and Chinese text.
int rowHeightNeededFor(const QWidget& list)
{
    QTextLayout layout(QStringLiteral("Ag国字"), list.font());
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    return int(std::ceil(line.height())) + 2;
}

QStringList items(const QComboBox& combo)
{
    QStringList list;
    for (int i = 0; i < combo.count(); ++i)
        list.append(combo.itemText(i));
    return list;
}

} // namespace

class ControlHelpersTest : public QObject
{
    Q_OBJECT

    QString dir;

    QString write(const QString& name, const QByteArray& content)
    {
        return Test::writeFile(dir + QLatin1Char('/') + name, content);
    }

private slots:
    void init() { dir = Test::freshFolder(QStringLiteral("controls")); }

    void loadComboFromFile_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("repeats ignore case, empty lines skipped")
            << QByteArray("/d/a\r\n/D/A\r\n\r\n  /d/b  \r\n") << QStringList{"/d/a", "/d/b"};
        QTest::newRow("invalid bytes and NULs skipped")
            << QByteArray("/d/\xff\xfe bad\n/d/good\n/d/nul") + '\0' + "x\n/d/more\n"
            << QStringList{"/d/good", "/d/more"};
        QTest::newRow("no final line break") << QByteArray("/d/only") << QStringList{"/d/only"};
        QTest::newRow("a line too long to be a folder")
            << QByteArray("/d/1\n") + QByteArray(200 * 1024, 'x') + "\n/d/2\n"
            << QStringList{"/d/1", "/d/2"};
    }
    void loadComboFromFile()
    {
        QFETCH(QByteArray, content);
        QFETCH(QStringList, expected);
        QComboBox combo;
        combo.addItem(QStringLiteral("old"));
        LoadComboFromFile(&combo, write(QStringLiteral("SaveList.dat"), content));
        QCOMPARE(items(combo), expected);
    }

    void loadComboTakesTheFirstHundredUsableLines()
    {
        QByteArray content;
        content += "\xc3\x28\n\n"; // unusable lines do not count
        for (int i = 0; i < 10000; ++i)
            content += "/folder/" + QByteArray::number(i) + "\n";
        QComboBox combo;
        LoadComboFromFile(&combo, write(QStringLiteral("big.dat"), content));
        QCOMPARE(combo.count(), 100);
        QCOMPARE(combo.itemText(0), QStringLiteral("/folder/0"));
        QCOMPARE(combo.itemText(99), QStringLiteral("/folder/99"));
    }

    void loadComboFromMissingFileLeavesTheBox()
    {
        QComboBox combo;
        combo.addItem(QStringLiteral("kept"));
        LoadComboFromFile(&combo, dir + QStringLiteral("/missing.dat"));
        QCOMPARE(items(combo), QStringList{QStringLiteral("kept")});
    }

    void saveComboToFile()
    {
        QComboBox combo;
        const QString path = dir + QStringLiteral("/out.dat");
        QVERIFY(SaveComboToFile(&combo, path));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("\r\n"));
        f.close();

        combo.addItems({QStringLiteral("/d/下载"), QStringLiteral("/d/b")});
        QVERIFY(SaveComboToFile(&combo, path));
        QComboBox back;
        LoadComboFromFile(&back, path);
        QCOMPARE(items(back), items(combo));

        QVERIFY(!SaveComboToFile(&combo, dir + QStringLiteral("/no/such/folder/out.dat")));
    }

    void fitComboDropWidth()
    {
        QComboBox combo;
        combo.move(0, 0);
        for (int i = 0; i < 8; ++i)
            combo.addItem(QStringLiteral("entry %1").arg(i));
        combo.addItem(QStringLiteral("/a/much/longer/entry"));
        combo.removeItem(0);
        const int text = combo.fontMetrics().horizontalAdvance(QStringLiteral("/a/much/longer/entry"));
        FitComboDropWidth(&combo); // 8 entries
        QCOMPARE(combo.view()->minimumWidth(), text + 7);
        combo.addItem(QStringLiteral("x"));
        FitComboDropWidth(&combo); // 9 entries
        QCOMPARE(combo.view()->minimumWidth(),
                 text + 7 + combo.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &combo));
    }

    // Rows of the sizes the windows ask for (13 and 17 pixels) never clip a line of Chinese.
    void rowsFitChineseText_data()
    {
        QTest::addColumn<int>("points");
        for (int points = 9; points <= 14; ++points)
            QTest::addRow("%d pt", points) << points;
    }
    void rowsFitChineseText()
    {
        QFETCH(int, points);
        const QString title = QStringLiteral("细胞迁移与组织修复的研究 Cell migration");
        for (int asked : {13, 17}) {
            ReportList list;
            list.addColumn(QStringLiteral("标题"), 400);
            list.setFont(QFont(list.font().family(), points));
            list.addRow(QStringLiteral("k"), title);
            list.addRow(QStringLiteral("l"), title);
            PaintListStripes(&list, false, asked);
            list.resize(500, 200);
            list.show();
            QVERIFY(QTest::qWaitForWindowExposed(&list));
            QTextLayout layout(title, list.font());
            layout.beginLayout();
            const QTextLine line = layout.createLine();
            layout.endLayout();
            const QRect row = list.visualRect(list.model()->index(0, 0));
            QVERIFY2(row.height() >= std::ceil(line.height()),
                     qPrintable(
                         QStringLiteral("%1 px row for a %2 px line").arg(row.height()).arg(line.height())));
            QCOMPARE(list.rowHeight(), row.height());
        }
    }

    void listStripesAndColumns()
    {
        ReportList list;
        list.addColumn(QStringLiteral("文件名"), 50);
        list.addColumn(QStringLiteral("大小"), 50, Qt::AlignRight);
        list.addRow(QStringLiteral("k"), QStringLiteral("a rather long file name.pdf"));
        list.resize(400, 200);

        // The heights asked for, raised to what the font needs (a small font needs less than 40).
        list.setFont(QFont(list.font().family(), 9));
        PaintListStripes(&list, false, 40);
        QCOMPARE(list.rowHeight(), 40);
        PaintListStripes(&list, false, 0);
        const int fontRow = list.fontMetrics().boundingRect(QStringLiteral("b")).height() + 1;
        QCOMPARE(list.rowHeight(), std::max(fontRow, rowHeightNeededFor(list)));
        PaintListStripes(&list, true, 0);
        QCOMPARE(list.rowHeight(), std::max(fontRow + 4, rowHeightNeededFor(list)));

        // The first row is pale green, the second white, also below the last row.
        PaintListStripes(&list, false, 40);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        const QImage shot = list.viewport()->grab().toImage();
        QCOMPARE(shot.pixelColor(shot.width() - 3, 8), QColor(231, 248, 237));
        QCOMPARE(shot.pixelColor(shot.width() - 3, 40 + 8), QColor(Qt::white));
        QCOMPARE(shot.pixelColor(shot.width() - 3, 80 + 8), QColor(231, 248, 237));

        SetListColumnWidth(&list, 0, 999); // out of range: ignored
        SetListColumnWidth(&list, 3, 999);
        QCOMPARE(list.columnWidth(0), 50);
        SetListColumnWidth(&list, 2, 80);
        QCOMPARE(list.columnWidth(1), 80);
        AutoSizeListColumns(&list, kFitContentsAndHeader);
        QVERIFY(list.columnWidth(0) >=
                list.fontMetrics().horizontalAdvance(QStringLiteral("a rather long file name.pdf")));
    }

    void controlExists()
    {
        QPointer<QObject> slot;
        QVERIFY(!ControlExists(slot));
        auto* object = new QObject;
        slot = object;
        QVERIFY(ControlExists(slot));
        delete object;
        QVERIFY(!ControlExists(slot));
        QVERIFY(!ControlExists(static_cast<QObject*>(nullptr)));
    }
};

LUNOVEX_TEST_MAIN(ControlHelpersTest)
#include "tst_controlhelpers.moc"
