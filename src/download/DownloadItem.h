#pragma once

#include <QString>

namespace Lunovex {

class ReportList;

// The states of a download row, shown by its icon.
enum ItemState { Waiting = 1, Downloading = 2, Finished = 3, Failed = 4 };

// Columns of the download list: the row text and its five sub-items.
enum DownloadColumn { ColumnName = 0, ColumnType, ColumnSize, ColumnReceived, ColumnProgress, ColumnFolder };

// One row of the download list, read and written through its fields. The address list is the
// row's key, the referring page its tag, the state its icon. The item follows its row by id, so it
// stays on the same row while rows are sorted, removed around it or given a new key; once its row
// is gone, reads are empty and writes do nothing.
class DownloadItem
{
public:
    DownloadItem(ReportList* list, int row);

    // The row's current position, -1 when it is gone.
    int row() const;
    bool exists() const { return row() >= 0; }

    QString AddressList() const;
    QString BaseName() const;
    void setBaseName(const QString& name) const;
    QString Extension() const;
    void setExtension(const QString& extension) const;
    QString SizeText() const;
    void setSizeText(const QString& text) const;
    QString ReceivedText() const;
    void setReceivedText(const QString& text) const;
    QString ProgressText() const;
    void setProgressText(const QString& text) const;
    QString TargetFolder() const;
    void setTargetFolder(const QString& folder) const;
    QString RefererPage() const;
    ItemState state() const;
    void setState(ItemState state) const;
    // The state of the row at a position, for passes over the whole list that need no item.
    static ItemState stateAt(const ReportList* list, int row);
    static void setStateAt(ReportList* list, int row, ItemState state);

    // Empties "文件大小", "已下载数" and "百分比".
    void clearProgress() const;

private:
    ReportList* list_;
    quint64 id_;
};

// The two sets of web-page extensions the download window knows, named once. Method one's end steps
// (its sound and its automatic login) and the list commands that name "HTM/HTML/xml" take xml too;
// method two's end, the problem count and the automatic re-download of web pages take htm and html.
enum class WebPageKinds { HtmHtml, HtmHtmlXml };
bool IsWebPageExtension(const QString& extension, WebPageKinds kinds);

// The first of the alternative addresses "a|b|c".
QString 选择url(const QString& addressList);
// Rotates the alternatives: a|b gives b|a, a|b|c gives c|a|b; any other count is left as it is.
QString 对调url(const QString& addressList);

// folder & base, then "." & extension when there is one; folder is used as it is.
QString ItemFilePath(const QString& targetFolder, const QString& baseName, const QString& extension);
QString ItemFilePath(const DownloadItem& item);

} // namespace Lunovex
