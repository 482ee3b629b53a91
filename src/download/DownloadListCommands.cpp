// The download window's list commands: the menu tree, selecting, sorting and shuffling rows,
// re-queuing, removing, deleting files, the file commands, checks, export and address replacement.

#include "download/fFileDownload.h"

#include "app/Forms.h"
#include "app/fOption.h"
#include "app/frmAbout.h"
#include "download/SaveNaming.h"
#include "download/UrlReplace.h"
#include "platform/Inet.h"
#include "platform/Prompts.h"
#include "platform/ReportList.h"
#include "platform/Shell.h"
#include "util/ControlHelpers.h"
#include "util/FileTypeSniff.h"
#include "util/HeaderText.h"
#include "util/PathNames.h"
#include "util/Product.h"
#include "util/ShellHelpers.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSaveFile>
#include <QTimer>

#include <numeric>

namespace Lunovex {

namespace {

bool isDone(ItemState state)
{
    return state == Finished || state == Failed;
}

// A number's text as the sort sees it: twelve digits with leading zeros; other text as it is.
QString padded(const QString& text)
{
    bool ok = false;
    const double value = text.toDouble(&ok);
    return ok ? QStringLiteral("%1").arg(qint64(std::llround(value)), 12, 10, QLatin1Char('0')) : text;
}

} // namespace

void fFileDownload::buildMenus()
{
    QMenu* list = menu下载 = AddNamedMenu(menuBar(), "menu下载", QStringLiteral("列表操作(&D)"));
    const auto on = [this](QAction* action, auto handler) {
        connect(action, &QAction::triggered, this, handler);
    };

    on(AddMenuEntry(list, "menu全选专利列表", QStringLiteral("全选")), [this] { ListView3->selectAll(); });
    on(AddMenuEntry(list, "menu全不选", QStringLiteral("全不选")), [this] { ListView3->clearSelection(); });
    on(AddMenuEntry(list, "menu随机排序列表", QStringLiteral("随机排序列表(打乱)")),
       &fFileDownload::随机排序列表);
    on(AddMenuEntry(list, "menu自动列宽", QStringLiteral("自动调整列宽")), [this] {
        AutoSizeListColumns(ListView3, kFitContentsAndHeader);
        PaintListStripes(ListView3, false, 17);
    });
    list->addSeparator();
    QMenu* again = AddNamedMenu(list, "menu重新下载", QStringLiteral("重新下载"));
    on(AddMenuEntry(again, "menu重新下载选中项", QStringLiteral("选中项")), &fFileDownload::重新下载选中项);
    on(AddMenuEntry(again, "menu重新下载出错项", QStringLiteral("出错项")), &fFileDownload::重新下载出错项);
    on(AddMenuEntry(again, "menu重新下载文件类型为HTM和HTML项",
                    QStringLiteral("网页类型文件(HTM/HTML/xml)项")),
       &fFileDownload::重新下载网页类型文件项);
    on(AddMenuEntry(again, "menu重新下载出错项和网页项", QStringLiteral("重新下载出错项和网页类型文件项")),
       &fFileDownload::重新下载出错项和网页项);
    on(AddMenuEntry(again, "menu重新下载文件大小小于指定数字的项",
                    QStringLiteral("文件大小小于指定数字的项")),
       &fFileDownload::重新下载文件大小小于指定数字的项);
    list->addSeparator();
    QMenu* remove = AddNamedMenu(list, "menu清除", QStringLiteral("清除"));
    on(AddMenuEntry(remove, "menu清除选中项", QStringLiteral("选中项")),
       [this] { removeRows([this](int row) { return ListView3->isSelected(row); }); });
    on(AddMenuEntry(remove, "menu清除全部出错项", QStringLiteral("全部出错项")),
       [this] { removeRows([this](int row) { return item(row).state() == Failed; }); });
    on(AddMenuEntry(remove, "menu清除完成项", QStringLiteral("完成项")),
       [this] { removeRows([this](int row) { return item(row).state() == Finished; }); });
    on(AddMenuEntry(list, "menu清空", QStringLiteral("清空")), &fFileDownload::清空);
    QMenu* files = AddNamedMenu(list, "menu删除", QStringLiteral("删除文件"));
    on(AddMenuEntry(files, "menu删除网页类型文件项", QStringLiteral("网页类型文件(HTM/HTML/xml)项")), [this] {
        deleteFilesWhere([](const DownloadItem& it) {
            return IsWebPageExtension(it.Extension(), WebPageKinds::HtmHtmlXml) && isDone(it.state());
        });
    });
    on(AddMenuEntry(files, "menu删除出错项", QStringLiteral("出错项")),
       [this] { deleteFilesWhere([](const DownloadItem& it) { return it.state() == Failed; }); });
    list->addSeparator();
    menu下载全部 = AddMenuEntry(list, "menu下载全部", QStringLiteral("开始下载"));
    menu停止下载 = AddMenuEntry(list, "menu停止下载", QStringLiteral("停止下载"));
    on(menu下载全部, &fFileDownload::StartDownloads);
    on(menu停止下载, &fFileDownload::StopDownloads);
    on(AddMenuEntry(list, "menu取消下载选中项", QStringLiteral("取消下载选中项")),
       &fFileDownload::取消下载选中项);
    list->addSeparator();
    on(AddMenuEntry(list, "menu打开下载文件", QStringLiteral("打开下载文件")), &fFileDownload::打开下载文件);
    on(AddMenuEntry(list, "menu打开文件所在文件夹", QStringLiteral("打开所在文件夹")),
       &fFileDownload::打开文件所在文件夹);
    on(AddMenuEntry(list, "menu用记事本打开文件", QStringLiteral("用记事本打开文件")),
       &fFileDownload::用记事本打开文件);
    list->addSeparator();
    on(AddMenuEntry(list, "menu复制名称", QStringLiteral("复制名称")), &fFileDownload::复制名称);
    on(AddMenuEntry(list, "menu批量替换网址", QStringLiteral("批量替换网址")), &fFileDownload::批量替换网址);
    QMenu* names = AddNamedMenu(list, "menu导出名称", QStringLiteral("导出名称"));
    on(AddMenuEntry(names, "menu导出全部名称", QStringLiteral("全部")), [this] { 导出名称(false); });
    on(AddMenuEntry(names, "menu导出未完成项名称", QStringLiteral("未完成项")), [this] { 导出名称(true); });
    list->addSeparator();
    menu退出本下载窗口 = AddMenuEntry(list, "menu退出本下载窗口", QStringLiteral("关闭本下载窗口"));
    on(menu退出本下载窗口, &QWidget::close);

    QMenu* window = AddNamedMenu(menuBar(), "menu窗口", QStringLiteral("窗口(&W)"));
    on(AddMenuEntry(window, "menu资料检索分析窗口", QStringLiteral("资料检索分析窗口")),
       [] { ShowForm(FormName::WebSearch); });

    QMenu* tools = AddNamedMenu(menuBar(), "menu工具", QStringLiteral("工具(&T)"));
    on(AddMenuEntry(tools, "设置", QStringLiteral("设置")), [this] { ShowSettingsDialog(this); });
    menu自动定位到下载项 = AddMenuEntry(tools, "menu自动定位到下载项", QStringLiteral("自动定位到下载项"));
    menu自动定位到下载项->setCheckable(true);
    tools->addSeparator();
    on(AddMenuEntry(tools, "menu检查文件是否存在", QStringLiteral("检查文件是否存在")),
       &fFileDownload::检查文件是否存在);
    on(AddMenuEntry(tools, "menu检查并纠正磁盘文件类型", QStringLiteral("检查并纠正磁盘文件类型")),
       &fFileDownload::检查并纠正磁盘文件类型);
    tools->addSeparator();
    AddMenuEntry(tools, "menu清空IE浏览器缓存", QStringLiteral("清空IE浏览器缓存"))
        ->setEnabled(false); // with the cache viewer
    on(AddMenuEntry(tools, "menu打开文件判断类型", QStringLiteral("打开文件判断类型")),
       &fFileDownload::打开文件判断类型);

    QMenu* help = AddNamedMenu(menuBar(), "menu帮助", QStringLiteral("帮助(&H)"));
    on(AddMenuEntry(help, "关于", QStringLiteral("关于")), [this] { ShowAboutBox(this); });
    on(AddMenuEntry(help, "menu给软件作者建议", QStringLiteral("给软件作者建议")),
       [this] { SendSuggestionMail(this); });
    on(AddMenuEntry(help, "menu最新版本", QStringLiteral("最新版本")),
       [] { OpenUrl(Product::productPage()); });
    on(AddMenuEntry(help, "menu辰星软件淘宝店", QStringLiteral("辰星软件淘宝店")),
       [] { OpenUrl(Product::makerPage(QStringLiteral("shop/"))); });
    QMenu* sites = AddNamedMenu(help, "menu作者网站", QStringLiteral("作者网站"));
    connect(sites, &QMenu::aboutToShow, this, [] { OpenUrl(Product::sisterSitePage(), true); });
    on(AddMenuEntry(sites, "menu辰星软件", QStringLiteral("辰星软件")),
       [] { OpenUrl(Product::makerHomePage(), true); });
    on(AddMenuEntry(sites, "menu墨舟软件", QStringLiteral("墨舟软件")),
       [] { OpenUrl(Product::sisterSitePage(), true); });
    on(AddMenuEntry(help, "menu软件教程和问答", QStringLiteral("软件教程和问答")),
       [] { OpenUrl(Product::makerPage(QStringLiteral("help/")), true); });
    on(AddMenuEntry(help, "menu软件定制", QStringLiteral("软件定制")),
       [] { OpenUrl(Product::makerPage(QStringLiteral("custom/")), true); });

    connect(ListView3, &ReportList::columnHeaderClicked, this, &fFileDownload::ListView3_ColumnClick);
}

bool fFileDownload::IsTransferActive() const
{
    return Timer_Down->isActive() || Inet1->StillExecuting() || methodOneTransfer_.isLocked() ||
           CountLoadedSlots() > 1;
}

bool fFileDownload::refusedWhileTransferring()
{
    if (!IsTransferActive()) return false;
    MsgBox(this, QStringLiteral("停止下载以后，才能执行此操作！"), PromptIcon::Information);
    return true;
}

void fFileDownload::DeleteItemFile(const DownloadItem& it)
{
    const QString path = ItemFilePath(it);
    if (IsFilePresent(path)) QFile::remove(path);
}

void fFileDownload::RequeueItem(const DownloadItem& it, bool forceXxx)
{
    DeleteItemFile(it);
    it.setState(Waiting);
    if (forceXxx || IsWebPageExtension(it.Extension(), WebPageKinds::HtmHtml))
        it.setExtension(QStringLiteral("xxx"));
    it.clearProgress();
    DeleteItemFile(it);
    // The next alternative address goes first; a rotation that meets another row's key is skipped.
    ListView3->setKey(it.row(), 对调url(it.AddressList()));
}

void fFileDownload::ListView3_ColumnClick(int column)
{
    if (Timer_Down->isActive() || DownloadBusy()) {
        MsgBox(this, QStringLiteral("停止下载后方可排序！"), PromptIcon::Information);
        return;
    }
    sortOrder_ = sortOrder_ == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    ListView3->beginBatch();
    if (column == ColumnSize || column == ColumnReceived) {
        // Numbers sort as numbers: padded for the sort, then written plainly.
        ListView3->sortOnceBy([this, column](int row) { return padded(ListView3->cell(row, column)); },
                              sortOrder_);
        for (int row = 0; row < ListView3->count(); ++row) {
            bool ok = false;
            const double value = ListView3->cell(row, column).toDouble(&ok);
            if (ok) ListView3->setCell(row, column, QString::number(qint64(std::llround(value))));
        }
    } else if (column == ColumnProgress) {
        const auto withoutPercent = [this](int row) {
            return QString(ListView3->cell(row, ColumnProgress)).remove(QLatin1Char('%'));
        };
        ListView3->sortOnceBy([&](int row) { return padded(withoutPercent(row)); }, sortOrder_);
        for (int row = 0; row < ListView3->count(); ++row) {
            bool ok = false;
            const double value = withoutPercent(row).toDouble(&ok);
            if (ok)
                ListView3->setCell(row, ColumnProgress,
                                   QString::number(qint64(std::llround(value))) + QLatin1Char('%'));
        }
    } else {
        ListView3->sortOnce(column, sortOrder_);
    }
    ListView3->endBatch();
}

void fFileDownload::随机排序列表()
{
    if (refusedWhileTransferring()) return;
    // Each pass moves a row chosen evenly among the first n to the end, so every row moves once.
    const int rows = ListView3->count();
    std::vector<int> order(static_cast<size_t>(rows));
    std::iota(order.begin(), order.end(), 0);
    for (int n = rows; n >= 1; --n) {
        const int r = int(random_.bounded(quint32(n)));
        const int taken = order[size_t(r)];
        order.erase(order.begin() + r);
        order.push_back(taken);
    }
    ListView3->beginBatch();
    ListView3->clearSelection();
    ListView3->reorderRows(order);
    ListView3->endBatch();
    MsgBox(this, QStringLiteral("随机排序完成！"), PromptIcon::Information);
}

void fFileDownload::redownloadWhere(const std::function<bool(const DownloadItem&)>& matches, bool forceXxx)
{
    ListView3->beginBatch();
    for (int row = 0; row < ListView3->count(); ++row) {
        const DownloadItem it = item(row);
        if (matches(it)) RequeueItem(it, forceXxx);
    }
    ListView3->endBatch();
}

void fFileDownload::重新下载选中项()
{
    redownloadWhere(
        [this](const DownloadItem& it) { return ListView3->isSelected(it.row()) && isDone(it.state()); },
        false);
}

void fFileDownload::重新下载出错项()
{
    redownloadWhere([](const DownloadItem& it) { return it.state() == Failed; }, false);
}

void fFileDownload::重新下载网页类型文件项()
{
    redownloadWhere(
        [](const DownloadItem& it) {
            return isDone(it.state()) && IsWebPageExtension(it.Extension(), WebPageKinds::HtmHtmlXml);
        },
        true);
}

void fFileDownload::重新下载出错项和网页项()
{
    redownloadWhere(
        [](const DownloadItem& it) {
            return it.state() == Failed ||
                   (it.state() == Finished && IsWebPageExtension(it.Extension(), WebPageKinds::HtmHtml));
        },
        false);
}

void fFileDownload::重新下载文件大小小于指定数字的项()
{
    const std::optional<QString> answer = InputBox(this, QStringLiteral("请输入数字："));
    // Read by the routine that accepted it: "5,000" is five thousand, not nothing.
    const std::optional<double> number = ParseNumber(answer ? TrimSpaces(*answer) : QString());
    if (!number) return;
    const float limit = float(*number);
    redownloadWhere(
        [limit](const DownloadItem& it) {
            if (!isDone(it.state())) return false;
            bool sizeOk = false, receivedOk = false;
            const float size = QString(it.SizeText()).remove(QLatin1Char(',')).toFloat(&sizeOk);
            const float received = QString(it.ReceivedText()).remove(QLatin1Char(',')).toFloat(&receivedOk);
            return sizeOk && receivedOk && received == size && limit > size;
        },
        false);
}

void fFileDownload::removeRows(const std::function<bool(int row)>& drop)
{
    if (refusedWhileTransferring()) return;
    ListView3->beginBatch();
    ListView3->removeRowsWhere(drop);
    ListView3->endBatch();
    updateRowCountLabel();
}

void fFileDownload::清空()
{
    if (refusedWhileTransferring()) return;
    if (AskQuestion(this, QStringLiteral("您确定要清空列表的所有信息吗？"), PromptButtons::YesNo,
                    PromptIcon::None) == PromptAnswer::Yes)
        ListView3->clear();
    updateRowCountLabel();
}

void fFileDownload::deleteFilesWhere(const std::function<bool(const DownloadItem&)>& matches)
{
    ListView3->beginBatch();
    for (int row = 0; row < ListView3->count(); ++row) {
        const DownloadItem it = item(row);
        if (!matches(it)) continue;
        it.clearProgress();
        DeleteItemFile(it);
    }
    ListView3->endBatch();
}

void fFileDownload::取消下载选中项()
{
    if (DownloadBusy()) {
        MsgBox(this, QStringLiteral("停止下载后方可设置！"), PromptIcon::Critical);
        return;
    }
    ListView3->beginBatch();
    for (int row : ListView3->selectedRows())
        if (item(row).state() == Waiting) item(row).setState(Failed);
    ListView3->endBatch();
}

std::optional<DownloadItem> fFileDownload::selectedItem() const
{
    const QList<int> selected = ListView3->selectedRows();
    if (selected.isEmpty()) return std::nullopt;
    const int current = ListView3->currentRow();
    return item(selected.contains(current) ? current : selected.first());
}

void fFileDownload::打开下载文件()
{
    const std::optional<DownloadItem> it = selectedItem();
    if (!it) return;
    const QString path = ItemFilePath(*it);
    if (IsFilePresent(path))
        OpenFileWithShell(path, this);
    else
        MsgBox(this, QStringLiteral("该文件不存在！"), PromptIcon::Critical);
}

void fFileDownload::打开文件所在文件夹()
{
    const std::optional<DownloadItem> it = selectedItem();
    if (!it) return;
    if (!IsFolderPresent(it->TargetFolder())) {
        MsgBox(this, QStringLiteral("文件夹不存在！"), PromptIcon::Critical);
        return;
    }
    const QString path = ItemFilePath(*it);
    if (!IsFilePresent(path)) {
        Shell::current().openFolder(it->TargetFolder());
        return;
    }
    if (!OpenFolderAndSelect(path)) MsgBox(this, QStringLiteral("打开失败！"), PromptIcon::Critical);
}

void fFileDownload::用记事本打开文件()
{
    const std::optional<DownloadItem> it = selectedItem();
    if (!it) return;
    const QString path = ItemFilePath(*it);
    if (!IsFilePresent(path)) {
        MsgBox(this, QStringLiteral("该文件不存在！"), PromptIcon::Critical);
        return;
    }
    if (QFileInfo(path).size() / 1024.0 > 2048) {
        MsgBox(this, QStringLiteral("该文件太大，超过了2M，不便于用记事本打开！"), PromptIcon::Critical);
        return;
    }
    Shell::current().openInTextEditor(path);
}

void fFileDownload::复制名称()
{
    const std::optional<DownloadItem> it = selectedItem();
    if (!it) return;
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(it->BaseName());
}

void fFileDownload::检查文件是否存在()
{
    ListView3->beginBatch();
    for (int row = 0; row < ListView3->count(); ++row)
        if (!IsFilePresent(ItemFilePath(item(row)))) item(row).setProgressText(QStringLiteral("不存在"));
    ListView3->endBatch();
}

void fFileDownload::检查并纠正磁盘文件类型()
{
    if (refusedWhileTransferring()) return;
    int corrected = 0;
    ListView3->beginBatch();
    for (int row = 0; row < ListView3->count(); ++row)
        if (CorrectItemFileType(item(row))) ++corrected;
    ListView3->endBatch();
    MsgBox(this, QStringLiteral("纠正文件类型：%1个.").arg(corrected), PromptIcon::Information);
}

void fFileDownload::打开文件判断类型()
{
    const QString path = Prompts::current().openFileName(this, QStringLiteral("打开文件判断类型"), QString(),
                                                         QStringLiteral("*.* (*)"));
    if (path.isEmpty()) return;
    const QString type = 打开文件判断文件类型(path);
    MsgBox(this, type.isEmpty() ? QStringLiteral("目前还无法判断。") : QStringLiteral("文件类型为：") + type,
           PromptIcon::Information);
}

void fFileDownload::导出名称(bool unfinishedOnly)
{
    if (ListView3->count() == 0) return;
    const QString path = Prompts::current().saveFileName(this, QStringLiteral("导出名称"), QString(),
                                                         QStringLiteral("*.txt (*.txt)"));
    if (path.isEmpty()) return;
    QByteArray text;
    for (int row = 0; row < ListView3->count(); ++row)
        if (!unfinishedOnly || item(row).state() != Finished)
            text += item(row).BaseName().toLocal8Bit() + "\r\n";
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit())
        MsgBox(this, file.errorString(), PromptIcon::Critical);
}

void fFileDownload::批量替换网址()
{
    UrlReplace dialog(ListView3, this);
    dialog.exec();
}

void fFileDownload::autoRedownload()
{
    const int choice = Combo4->currentIndex();
    if (choice == 0 || choice == 2) 重新下载出错项();
    if (choice == 1 || choice == 2) 重新下载网页类型文件项();
    enable(Timer_Down);
}

} // namespace Lunovex
