#include "platform/ReportList.h"

#include <QTextLayout>
#include <cmath>

#include "platform/Clock.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

namespace Lunovex {

namespace {

struct Row
{
    QString key;
    QStringList cells; // one per column, column 0 is the row's text
    QVariant tag;
    int icon = -1;
    int position = 0;
    quint64 id = 0;
};

struct Column
{
    QString caption;
    Qt::Alignment alignment;
};

} // namespace

class ReportList::Model final : public QAbstractTableModel
{
public:
    explicit Model(QObject* parent) : QAbstractTableModel(parent)
    {
        repaint_.setSingleShot(true);
        connect(&repaint_, &QTimer::timeout, this, &Model::flush);
    }

    std::vector<std::unique_ptr<Row>> rows;
    QHash<QString, Row*> byKey;
    QHash<quint64, Row*> byId;
    quint64 nextId = 1;
    QList<Column> columns;
    QList<QIcon> icons;
    bool caseInsensitive = false;

    QString normalisedKey(const QString& key) const { return caseInsensitive ? key.toLower() : key; }

    Row* rowAt(int row) const
    {
        return row >= 0 && row < int(rows.size()) ? rows[size_t(row)].get() : nullptr;
    }

    int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : int(rows.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : int(columns.size());
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        const Row* row = rowAt(index.row());
        if (!row || index.column() >= columns.size()) return {};
        switch (role) {
        case Qt::DisplayRole:
        case Qt::ToolTipRole:
            return row->cells.value(index.column());
        case Qt::DecorationRole:
            if (index.column() == 0 && row->icon >= 0 && row->icon < icons.size()) return icons[row->icon];
            return {};
        case Qt::TextAlignmentRole:
            return QVariant(columns[index.column()].alignment | Qt::AlignVCenter);
        default:
            return {};
        }
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || section < 0 || section >= columns.size()) return {};
        if (role == Qt::DisplayRole) return columns[section].caption;
        if (role == Qt::TextAlignmentRole) return QVariant(columns[section].alignment | Qt::AlignVCenter);
        return {};
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
    }

    // A written row waits for the next repaint tick.
    void markChanged(int row)
    {
        dirtyFirst_ = std::min(dirtyFirst_, row);
        dirtyLast_ = std::max(dirtyLast_, row);
        if (!repaint_.isActive()) repaint_.start(Timing::current().listRepaint);
    }

    void flush()
    {
        repaint_.stop();
        const int last = std::min(dirtyLast_, int(rows.size()) - 1);
        if (dirtyFirst_ <= last && !columns.isEmpty())
            emit dataChanged(index(dirtyFirst_, 0), index(last, int(columns.size()) - 1));
        dirtyFirst_ = std::numeric_limits<int>::max();
        dirtyLast_ = -1;
    }

    void appendColumn(const Column& column)
    {
        const int at = int(columns.size());
        beginInsertColumns({}, at, at);
        columns.append(column);
        for (auto& row : rows)
            row->cells.append(QString());
        endInsertColumns();
    }

    void appendRow(std::unique_ptr<Row> row)
    {
        const int at = int(rows.size());
        row->position = at;
        row->id = nextId++;
        byId.insert(row->id, row.get());
        beginInsertRows({}, at, at);
        if (!row->key.isEmpty()) byKey.insert(normalisedKey(row->key), row.get());
        rows.push_back(std::move(row));
        endInsertRows();
    }

    // Removes rows first..last; positions after them are renumbered only when asked, so a batch
    // of removals pays for it once.
    void removeRange(int first, int last, bool renumber)
    {
        flush();
        beginRemoveRows({}, first, last);
        for (int i = first; i <= last; ++i) {
            if (!rows[size_t(i)]->key.isEmpty()) byKey.remove(normalisedKey(rows[size_t(i)]->key));
            byId.remove(rows[size_t(i)]->id);
        }
        rows.erase(rows.begin() + first, rows.begin() + last + 1);
        if (renumber) renumberFrom(first);
        endRemoveRows();
    }

    void removeAll()
    {
        flush();
        beginResetModel();
        rows.clear();
        byKey.clear();
        byId.clear();
        endResetModel();
    }

    void renumberFrom(int first)
    {
        for (size_t i = size_t(std::max(first, 0)); i < rows.size(); ++i)
            rows[i]->position = int(i);
    }

    // Reorders the rows as order says (order[new] = old position), keeping selections and the
    // current row on the same rows.
    void reorder(const std::vector<int>& order)
    {
        flush();
        emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
        std::vector<int> newPosition(order.size());
        for (size_t i = 0; i < order.size(); ++i)
            newPosition[size_t(order[i])] = int(i);
        std::vector<std::unique_ptr<Row>> sorted(rows.size());
        for (size_t i = 0; i < order.size(); ++i)
            sorted[i] = std::move(rows[size_t(order[i])]);
        rows = std::move(sorted);
        renumberFrom(0);
        const QModelIndexList before = persistentIndexList();
        QModelIndexList after;
        after.reserve(before.size());
        for (const QModelIndex& index : before)
            after.append(index.isValid() ? this->index(newPosition[size_t(index.row())], index.column())
                                         : QModelIndex());
        changePersistentIndexList(before, after);
        emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    }

private:
    QTimer repaint_;
    int dirtyFirst_ = std::numeric_limits<int>::max();
    int dirtyLast_ = -1;
};

// Gives every row the list's fixed height when one is set, and draws the progress bars.
class ReportList::Delegate final : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    int rowHeight = 0;
    int textHeight = 0; // what one line of the list's font needs, fallback fonts included
    int progressColumn = -1;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        if (index.column() == progressColumn) {
            const QString text = index.data().toString();
            bool ok = false;
            const int percent = text.endsWith(QLatin1Char('%')) ? text.chopped(1).toInt(&ok) : 0;
            if (ok && percent > 0) {
                QRect bar = option.rect.adjusted(2, 2, -2, -2);
                bar.setWidth(bar.width() * std::min(percent, 100) / 100);
                painter->save();
                painter->setRenderHint(QPainter::Antialiasing);
                painter->setPen(Qt::NoPen);
                painter->setBrush(percent >= 100 ? QColor(158, 214, 178) : QColor(160, 196, 240));
                painter->drawRoundedRect(bar, 2, 2);
                painter->restore();
            }
        }
        QStyledItemDelegate::paint(painter, option, index);
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(std::max(rowHeight > 0 ? rowHeight : size.height(), textHeight));
        return size;
    }
};

ReportList::ReportList(QWidget* parent)
    : QTreeView(parent), model_(new Model(this)), delegate_(new Delegate(this))
{
    setModel(model_);
    setItemDelegate(delegate_);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    measureTextHeight();
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setTextElideMode(Qt::ElideRight);
    header()->setStretchLastSection(false);
    header()->setSectionsMovable(false);
    header()->setSectionsClickable(true);
    connect(header(), &QHeaderView::sectionClicked, this, &ReportList::columnHeaderClicked);
    connect(this, &QAbstractItemView::clicked, this,
            [this](const QModelIndex& index) { emit rowClicked(index.row()); });
    connect(this, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { emit rowDoubleClicked(index.row()); });
}

ReportList::~ReportList() = default;

int ReportList::addColumn(const QString& caption, int width, Qt::Alignment alignment)
{
    const int column = int(model_->columns.size());
    model_->appendColumn({caption, alignment});
    setColumnWidth(column, width);
    return column;
}

int ReportList::columnCount() const
{
    return int(model_->columns.size());
}

QString ReportList::columnCaption(int column) const
{
    return column >= 0 && column < model_->columns.size() ? model_->columns[column].caption : QString();
}

void ReportList::setKeysCaseInsensitive(bool insensitive)
{
    model_->caseInsensitive = insensitive;
    model_->byKey.clear();
    for (auto& row : model_->rows)
        if (!row->key.isEmpty()) model_->byKey.insert(model_->normalisedKey(row->key), row.get());
}

int ReportList::count() const
{
    return int(model_->rows.size());
}

int ReportList::addRow(const QString& key, const QString& text, int icon)
{
    if (!key.isEmpty() && model_->byKey.contains(model_->normalisedKey(key))) return -1;
    auto row = std::make_unique<Row>();
    row->key = key;
    row->cells.resize(std::max<qsizetype>(1, model_->columns.size()));
    row->cells[0] = text;
    row->icon = icon;
    model_->appendRow(std::move(row));
    return count() - 1;
}

int ReportList::indexOf(const QString& key) const
{
    if (key.isEmpty()) return -1;
    const Row* row = model_->byKey.value(model_->normalisedKey(key));
    return row ? row->position : -1;
}

quint64 ReportList::rowId(int row) const
{
    const Row* r = model_->rowAt(row);
    return r ? r->id : 0;
}

int ReportList::indexOfId(quint64 id) const
{
    const Row* r = model_->byId.value(id);
    return r ? r->position : -1;
}

QString ReportList::key(int row) const
{
    const Row* r = model_->rowAt(row);
    return r ? r->key : QString();
}

bool ReportList::setKey(int row, const QString& key)
{
    Row* r = model_->rowAt(row);
    if (!r) return false;
    const QString newKey = model_->normalisedKey(key);
    if (newKey == model_->normalisedKey(r->key)) {
        r->key = key;
        return true;
    }
    if (!key.isEmpty() && model_->byKey.contains(newKey)) return false;
    if (!r->key.isEmpty()) model_->byKey.remove(model_->normalisedKey(r->key));
    r->key = key;
    if (!key.isEmpty()) model_->byKey.insert(newKey, r);
    return true;
}

QString ReportList::cell(int row, int column) const
{
    const Row* r = model_->rowAt(row);
    return r ? r->cells.value(column) : QString();
}

void ReportList::setCell(int row, int column, const QString& text)
{
    Row* r = model_->rowAt(row);
    if (!r || column < 0 || column >= r->cells.size() || r->cells[column] == text) return;
    r->cells[column] = text;
    model_->markChanged(row);
}

QVariant ReportList::tag(int row) const
{
    const Row* r = model_->rowAt(row);
    return r ? r->tag : QVariant();
}

void ReportList::setTag(int row, const QVariant& tag)
{
    if (Row* r = model_->rowAt(row)) r->tag = tag;
}

void ReportList::setIconList(const QList<QIcon>& icons)
{
    model_->icons = icons;
    if (count() > 0)
        emit model_->dataChanged(model_->index(0, 0), model_->index(count() - 1, 0), {Qt::DecorationRole});
}

int ReportList::icon(int row) const
{
    const Row* r = model_->rowAt(row);
    return r ? r->icon : -1;
}

void ReportList::setIcon(int row, int icon)
{
    Row* r = model_->rowAt(row);
    if (!r || r->icon == icon) return;
    r->icon = icon;
    model_->markChanged(row);
}

bool ReportList::isSelected(int row) const
{
    return model_->rowAt(row) && selectionModel()->isRowSelected(row, {});
}

void ReportList::setSelected(int row, bool selected)
{
    if (!model_->rowAt(row) || columnCount() == 0) return;
    selectionModel()->select(model_->index(row, 0),
                             (selected ? QItemSelectionModel::Select : QItemSelectionModel::Deselect) |
                                 QItemSelectionModel::Rows);
}

QList<int> ReportList::selectedRows() const
{
    QList<int> rows;
    for (const QModelIndex& index : selectionModel()->selectedRows())
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

int ReportList::currentRow() const
{
    const QModelIndex index = currentIndex();
    return index.isValid() ? index.row() : -1;
}

void ReportList::setCurrentRow(int row)
{
    if (model_->rowAt(row) && columnCount() > 0)
        selectionModel()->setCurrentIndex(model_->index(row, 0), QItemSelectionModel::NoUpdate);
}

void ReportList::removeRow(int row)
{
    if (model_->rowAt(row)) model_->removeRange(row, row, true);
}

void ReportList::removeRowsWhere(const std::function<bool(int row)>& drop)
{
    // Walk from the end so each removal leaves the positions still to be tested alone, and remove
    // runs of neighbours in one step. drop() may read the rows it is asked about, but not look rows
    // up by key: positions are renumbered once at the end.
    int row = count() - 1;
    while (row >= 0) {
        if (!drop(row)) {
            --row;
            continue;
        }
        const int last = row;
        while (row - 1 >= 0 && drop(row - 1))
            --row;
        model_->removeRange(row, last, false);
        --row;
    }
    model_->renumberFrom(0);
}

void ReportList::clear()
{
    model_->removeAll();
}

void ReportList::sortOnce(int column, Qt::SortOrder order)
{
    sortOnceBy([this, column](int row) { return cell(row, column); }, order);
}

void ReportList::sortOnceBy(const std::function<QString(int row)>& sortKey, Qt::SortOrder order)
{
    std::vector<QString> keys(static_cast<size_t>(count()));
    for (int i = 0; i < count(); ++i)
        keys[size_t(i)] = sortKey(i);
    std::vector<int> permutation(keys.size());
    std::iota(permutation.begin(), permutation.end(), 0);
    std::stable_sort(permutation.begin(), permutation.end(), [&](int a, int b) {
        const int c = QString::compare(keys[size_t(a)], keys[size_t(b)], Qt::CaseInsensitive);
        return order == Qt::AscendingOrder ? c < 0 : c > 0;
    });
    model_->reorder(permutation);
}

void ReportList::reorderRows(const std::vector<int>& newOrder)
{
    if (int(newOrder.size()) != count()) return;
    std::vector<bool> seen(newOrder.size());
    for (int from : newOrder) {
        if (from < 0 || from >= count() || seen[size_t(from)])
            return; // not a permutation: leave the rows as they are
        seen[size_t(from)] = true;
    }
    model_->reorder(newOrder);
}

void ReportList::setRowHeight(int pixels)
{
    delegate_->rowHeight = std::max(0, pixels);
    doItemsLayout();
}

void ReportList::measureTextHeight()
{
    // Chinese comes from a fallback font that is often taller than the list's own: a laid-out line
    // of both tells the height the primary font's metrics would not.
    QTextLayout layout(QStringLiteral("Ag\u56fd\u5b57"), font());
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    delegate_->textHeight = int(std::ceil(line.height())) + 2;
}

void ReportList::changeEvent(QEvent* event)
{
    QTreeView::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        measureTextHeight();
        doItemsLayout();
    }
}

int ReportList::rowHeight() const
{
    if (delegate_->rowHeight > 0) return std::max(delegate_->rowHeight, delegate_->textHeight);
    if (count() > 0) return std::max(1, QTreeView::rowHeight(model_->index(0, 0)));
    return fontMetrics().height() + 2;
}

void ReportList::setProgressColumn(int column)
{
    delegate_->progressColumn = column;
    viewport()->update();
}

void ReportList::setStripes(const QColor& upper, const QColor& lower)
{
    stripeUpper_ = upper;
    stripeLower_ = lower;
    viewport()->update();
}

void ReportList::beginBatch()
{
    // Repaints are held back rather than the list hidden, so the window's layout does not jump.
    if (batchDepth_++ == 0) {
        wasVisibleBeforeBatch_ = updatesEnabled();
        setUpdatesEnabled(false);
    }
}

void ReportList::endBatch()
{
    if (batchDepth_ > 0 && --batchDepth_ == 0) {
        model_->flush();
        setUpdatesEnabled(wasVisibleBeforeBatch_);
    }
}

void ReportList::flushChanges()
{
    model_->flush();
}

void ReportList::paintEvent(QPaintEvent* event)
{
    if (stripeUpper_.isValid() && stripeLower_.isValid()) {
        // Bands line up with the rows: find the first visible row and paint outwards from its top.
        const int height = rowHeight();
        int firstRow = 0;
        int top = 0;
        const QModelIndex first = indexAt(QPoint(0, 0));
        if (first.isValid()) {
            firstRow = first.row();
            top = visualRect(first).top();
        } else if (count() > 0) {
            const QRect last = visualRect(model_->index(count() - 1, 0));
            firstRow = count();
            top = last.bottom() + 1;
        }
        QPainter painter(viewport());
        int rowIndex = firstRow;
        for (int y = top; y < viewport()->height(); y += height, ++rowIndex)
            painter.fillRect(QRect(0, y, viewport()->width(), height),
                             rowIndex % 2 == 0 ? stripeUpper_ : stripeLower_);
    }
    QTreeView::paintEvent(event);
}

void ReportList::contextMenuEvent(QContextMenuEvent* event)
{
    const QModelIndex index = indexAt(viewport()->mapFromGlobal(event->globalPos()));
    emit contextMenuRequestedAt(index.isValid() ? index.row() : -1, event->globalPos());
}

} // namespace Lunovex
