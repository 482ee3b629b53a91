#include "util/ControlHelpers.h"

#include "platform/ReportList.h"
#include "util/HeaderText.h"

#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMenu>
#include <QSaveFile>
#include <QScreen>
#include <QScrollBar>
#include <QStringDecoder>
#include <QStyle>

#include <algorithm>

namespace Lunovex {

void LoadComboFromFile(QComboBox* combo, const QString& path)
{
    QFile file(path);
    if (!file.exists() || !file.open(QIODevice::ReadOnly)) return;
    combo->clear();
    int taken = 0;
    while (taken < 100 && !file.atEnd()) {
        QByteArray bytes = file.readLine(64 * 1024);
        if (!bytes.endsWith('\n') && !file.atEnd()) {
            // A line too long to be a folder: skip the rest of it.
            while (!file.atEnd() && !file.readLine(64 * 1024).endsWith('\n')) {
            }
            continue;
        }
        while (bytes.endsWith('\n') || bytes.endsWith('\r'))
            bytes.chop(1);
        if (bytes.contains('\0')) continue;
        QStringDecoder decode(QStringDecoder::System);
        const QString line = TrimSpaces(decode(bytes));
        if (decode.hasError() || line.isEmpty()) continue;
        ++taken;
        if (combo->findText(line, Qt::MatchFixedString) < 0) // MatchFixedString ignores case
            combo->addItem(line);
    }
}

bool SaveComboToFile(const QComboBox* combo, const QString& path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    QByteArray text;
    for (int i = 0; i < combo->count(); ++i)
        text += combo->itemText(i).toLocal8Bit() + "\r\n";
    if (combo->count() == 0) text = "\r\n";
    file.write(text);
    return file.commit();
}

void FitComboDropWidth(QComboBox* combo)
{
    int longest = -1;
    for (int i = 0; i < combo->count(); ++i)
        if (longest < 0 || combo->itemText(i).size() > combo->itemText(longest).size()) longest = i;
    if (longest < 0) return;

    int width = combo->fontMetrics().horizontalAdvance(combo->itemText(longest)) + 7;
    if (combo->count() >= 9) width += combo->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, combo);
    if (const QScreen* screen = combo->screen()) {
        const int room = screen->geometry().right() - combo->mapToGlobal(QPoint(0, 0)).x();
        if (room > 0) width = std::min(width, room);
    }
    combo->view()->setMinimumWidth(width);
}

void PaintListStripes(ReportList* list, bool tallerRows, int rowHeight)
{
    int height = list->fontMetrics().boundingRect(QStringLiteral("b")).height() + 1;
    if (tallerRows) height += 4;
    if (rowHeight > 0) height = rowHeight;
    list->setRowHeight(height);
    list->setStripes(QColor(231, 248, 237), QColor(Qt::white));
}

void SetListColumnWidth(ReportList* list, int column, int width)
{
    if (column < 1 || column > list->columnCount()) return;
    const int index = column - 1;
    if (width == kFitContentsAndHeader)
        list->resizeColumnToContents(index);
    else if (width == kFitContents)
        list->setColumnWidth(index, static_cast<QAbstractItemView*>(list)->sizeHintForColumn(index));
    else
        list->setColumnWidth(index, width);
}

void AutoSizeListColumns(ReportList* list, int width)
{
    for (int column = 1; column <= list->columnCount(); ++column)
        SetListColumnWidth(list, column, width);
}

QAction* AddMenuEntry(QMenu* menu, const char* name, const QString& caption)
{
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromUtf8(name));
    return action;
}

void NameMenu(QMenu* menu, const char* name)
{
    menu->setObjectName(QString::fromUtf8(name));
    menu->menuAction()->setObjectName(QString::fromUtf8(name));
}

} // namespace Lunovex
