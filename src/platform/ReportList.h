#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QHash>
#include <QIcon>
#include <QTimer>
#include <QTreeView>
#include <QVariant>

#include <functional>
#include <memory>
#include <vector>

namespace Lunovex {

// The report-view list control: rows with a unique key, a text (column 0), sub-items (columns
// 1..n-1), a tag and a small state icon, shown in a QTreeView without a tree.
//
// Rows are plain data. Writing a field only marks the row; the view hears of changed rows from one
// coalescing timer, so a transfer may rewrite its row after every chunk without a repaint each time.
// Rows are addressed by their 0-based position; a key finds its position in constant time.
class ReportList : public QTreeView
{
    Q_OBJECT

public:
    explicit ReportList(QWidget* parent = nullptr);
    ~ReportList() override;

    // Columns: caption, width in pixels, alignment of the cells and the caption.
    int addColumn(const QString& caption, int width, Qt::Alignment alignment = Qt::AlignLeft);
    int columnCount() const;
    QString columnCaption(int column) const;

    // Keys compare exactly unless this is set before rows are added.
    void setKeysCaseInsensitive(bool insensitive);

    int count() const;
    // Appends a row; -1 (and nothing added) when the key is already taken. An empty key is no key.
    int addRow(const QString& key, const QString& text, int icon = -1);
    // Position of the row with that key, or -1.
    int indexOf(const QString& key) const;
    bool contains(const QString& key) const { return indexOf(key) >= 0; }

    QString key(int row) const;
    // A number that stays with the row for its whole life (sorting and removals leave it alone),
    // and the row's position from it in constant time; -1 once the row is gone.
    quint64 rowId(int row) const;
    int indexOfId(quint64 id) const;
    // False (key unchanged) when another row holds the new key.
    bool setKey(int row, const QString& key);

    QString text(int row) const { return cell(row, 0); }
    void setText(int row, const QString& text) { setCell(row, 0, text); }
    // column 0 is the text, 1..n-1 the sub-items.
    QString cell(int row, int column) const;
    void setCell(int row, int column, const QString& text);

    QVariant tag(int row) const;
    void setTag(int row, const QVariant& tag);

    // Index into the icon list, -1 for none.
    void setIconList(const QList<QIcon>& icons);
    int icon(int row) const;
    void setIcon(int row, int icon);

    bool isSelected(int row) const;
    void setSelected(int row, bool selected);
    QList<int> selectedRows() const;
    int currentRow() const;
    void setCurrentRow(int row);

    void removeRow(int row);
    // Removes every row for which drop(row) holds, in one pass.
    void removeRowsWhere(const std::function<bool(int row)>& drop);
    void clear();

    // Sorts once by a column's text, case-insensitively and stably; later rows are not kept sorted.
    void sortOnce(int column, Qt::SortOrder order);
    // Sorts once by a key computed per row (for columns that need their own order).
    void sortOnceBy(const std::function<QString(int row)>& sortKey, Qt::SortOrder order);

    // Puts the rows in a new order: newOrder[i] is the present position of the row that goes to i.
    // Rows keep their ids, keys and selection marks.
    void reorderRows(const std::vector<int>& newOrder);

    // Row height in pixels (0: the font's), raised to what the list's font needs for a line of Latin
    // and Chinese text, so that no text clips at any font size.
    void setRowHeight(int pixels);
    int rowHeight() const;
    // Cells of this column that read "57%" get a bar of that length behind their text.
    void setProgressColumn(int column);

    // Rows alternate between the two colours, also below the last row.
    void setStripes(const QColor& upper, const QColor& lower);

    // Hides the list during a pass over many rows, shows it again after.
    void beginBatch();
    void endBatch();

    // Tells the view about the rows written so far now instead of at the next repaint tick.
    void flushChanges();

signals:
    void rowClicked(int row);
    void rowDoubleClicked(int row);
    void contextMenuRequestedAt(int row, const QPoint& globalPos);
    void columnHeaderClicked(int column);

protected:
    void paintEvent(QPaintEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    class Model;
    class Delegate;
    Model* model_ = nullptr;
    Delegate* delegate_ = nullptr;
    void measureTextHeight();
    QColor stripeUpper_, stripeLower_;
    int batchDepth_ = 0;
    bool wasVisibleBeforeBatch_ = false;
};

} // namespace Lunovex
