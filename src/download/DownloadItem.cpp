#include "download/DownloadItem.h"

#include "platform/ReportList.h"

#include <QStringList>

namespace Lunovex {

DownloadItem::DownloadItem(ReportList* list, int row) : list_(list), id_(list->rowId(row)) {}

int DownloadItem::row() const
{
    return list_->indexOfId(id_);
}

QString DownloadItem::AddressList() const
{
    return list_->key(row());
}

QString DownloadItem::BaseName() const
{
    return list_->text(row());
}

void DownloadItem::setBaseName(const QString& name) const
{
    list_->setText(row(), name);
}

QString DownloadItem::Extension() const
{
    return list_->cell(row(), ColumnType);
}

void DownloadItem::setExtension(const QString& extension) const
{
    list_->setCell(row(), ColumnType, extension);
}

QString DownloadItem::SizeText() const
{
    return list_->cell(row(), ColumnSize);
}

void DownloadItem::setSizeText(const QString& text) const
{
    list_->setCell(row(), ColumnSize, text);
}

QString DownloadItem::ReceivedText() const
{
    return list_->cell(row(), ColumnReceived);
}

void DownloadItem::setReceivedText(const QString& text) const
{
    list_->setCell(row(), ColumnReceived, text);
}

QString DownloadItem::ProgressText() const
{
    return list_->cell(row(), ColumnProgress);
}

void DownloadItem::setProgressText(const QString& text) const
{
    list_->setCell(row(), ColumnProgress, text);
}

QString DownloadItem::TargetFolder() const
{
    return list_->cell(row(), ColumnFolder);
}

void DownloadItem::setTargetFolder(const QString& folder) const
{
    list_->setCell(row(), ColumnFolder, folder);
}

QString DownloadItem::RefererPage() const
{
    return list_->tag(row()).toString();
}

// The icon list holds the four states in order, so a state's icon is its number less one.
ItemState DownloadItem::stateAt(const ReportList* list, int row)
{
    return ItemState(list->icon(row) + 1);
}

void DownloadItem::setStateAt(ReportList* list, int row, ItemState state)
{
    list->setIcon(row, int(state) - 1);
}

ItemState DownloadItem::state() const
{
    return stateAt(list_, row());
}

void DownloadItem::setState(ItemState state) const
{
    setStateAt(list_, row(), state);
}

void DownloadItem::clearProgress() const
{
    setSizeText({});
    setReceivedText({});
    setProgressText({});
}

bool IsWebPageExtension(const QString& extension, WebPageKinds kinds)
{
    const QString e = extension.toLower();
    return e == QLatin1String("htm") || e == QLatin1String("html") ||
           (kinds == WebPageKinds::HtmHtmlXml && e == QLatin1String("xml"));
}

QString 选择url(const QString& addressList)
{
    const qsizetype bar = addressList.indexOf(QLatin1Char('|'));
    return bar >= 0 ? addressList.left(bar) : addressList;
}

QString 对调url(const QString& addressList)
{
    const QStringList parts = addressList.split(QLatin1Char('|'));
    if (parts.size() == 2) return parts[1] + QLatin1Char('|') + parts[0];
    if (parts.size() == 3) return parts[2] + QLatin1Char('|') + parts[0] + QLatin1Char('|') + parts[1];
    return addressList;
}

QString ItemFilePath(const QString& targetFolder, const QString& baseName, const QString& extension)
{
    return extension.isEmpty() ? targetFolder + baseName
                               : targetFolder + baseName + QLatin1Char('.') + extension;
}

QString ItemFilePath(const DownloadItem& item)
{
    return ItemFilePath(item.TargetFolder(), item.BaseName(), item.Extension());
}

} // namespace Lunovex
