#pragma once

#include "app/DeferredClose.h"
#include "download/DownloadItem.h"
#include "download/SaveNaming.h"
#include "transfer/Downloader.h"
#include "util/Guard.h"

#include <QMainWindow>
#include <QPointer>
#include <QRandomGenerator>

#include <array>
#include <functional>
#include <optional>

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QMenu;
class QPushButton;
class QRadioButton;
class QTimer;

namespace Lunovex {

class Inet;
class LoginPanel;
class ReportList;
struct TransferResult;

// The download window: the download list and its options, the scheduler that starts rows, and
// download method one. Its members are spread over one file per area:
//   FileDownloadWindow.cpp  controls, load and close, list queries, row clicks
//   DownloadScheduler.cpp   start, stop, the scheduling and supervision ticks, the method switch
//   DownloadMethodOne.cpp   the Inet transfer of one row (itself an InetTransfer) and its outcome
//   DownloadMethodTwo.cpp   up to six rows at once in Downloader slots
//   DownloadListCommands.cpp the menus and the commands over the list
// The web login panel over the list is a LoginPanel of its own.
class fFileDownload : public QMainWindow
{
    Q_OBJECT

public:
    explicit fFileDownload(QWidget* parent = nullptr);
    ~fFileDownload() override;

    // Adds a Waiting row; a row with the same address list is left as it is (false).
    bool AddDownloadItem(const QString& addressList, const QString& baseName, const QString& extension,
                         const QString& saveFolder, const QString& refererPage);

    ReportList* list() const { return ListView3; }
    DownloadItem item(int row) const { return DownloadItem(ListView3, row); }
    // A method-one transfer is on the call stack, or a method-two slot is loaded.
    bool DownloadBusy() const;

    // List-wide queries.
    int 统计未下载项数目() const;
    bool 检测是否下载列表完毕() const;
    int CountLoadedSlots() const;
    int CountProblemItems() const;
    void UpdateStatusCounts();

    void StartDownloads();
    void StopDownloads();

    // The method label and the slot box show the method (the settings dialog reaches this by name).
    Q_INVOKABLE void applyDownloadMethod(int method) { setDownloadMethod(method); }

signals:
    // The list asked for its context menu (the list commands hang their menu here).
    void listMenuRequested(const QPoint& globalPos);

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class MethodOneTest; // reaches the transfer's rare outcomes directly

    // FileDownloadWindow.cpp
    void buildControls();
    QWidget* buildOptionPanel();
    void buildMenus();
    void Form_Load();
    void InitDownloadList();
    bool confirmClose();
    void Form_Unload();
    void ListView3_ItemClick(int row);
    void ListView3_DblClick();
    void ListView3_ContextMenu(const QPoint& globalPos);
    void StatusPanel2_Click();
    void Command1_Click();
    void updateRowCountLabel();
    NamePolicy selectedPolicy() const;
    QRadioButton* policyButton(NamePolicy policy) const;
    int slotCount() const;
    double secondsSinceLastFinish() const;

    // DownloadListCommands.cpp
    bool IsTransferActive() const;
    bool refusedWhileTransferring();
    void DeleteItemFile(const DownloadItem& item);
    void RequeueItem(const DownloadItem& item, bool forceXxx);
    void ListView3_ColumnClick(int column);
    void 随机排序列表();
    void redownloadWhere(const std::function<bool(const DownloadItem&)>& matches, bool forceXxx);
    void 重新下载选中项();
    void 重新下载出错项();
    void 重新下载网页类型文件项();
    void 重新下载出错项和网页项();
    void 重新下载文件大小小于指定数字的项();
    void removeRows(const std::function<bool(int row)>& drop);
    void 清空();
    void deleteFilesWhere(const std::function<bool(const DownloadItem&)>& matches);
    void 取消下载选中项();
    std::optional<DownloadItem> selectedItem() const;
    void 打开下载文件();
    void 打开文件所在文件夹();
    void 用记事本打开文件();
    void 复制名称();
    void 检查文件是否存在();
    void 检查并纠正磁盘文件类型();
    void 打开文件判断类型();
    void 导出名称(bool unfinishedOnly);
    void 批量替换网址();

    // DownloadScheduler.cpp
    static void enable(QTimer* timer);
    void Timer_Down_Timer();
    void scheduleMethodOne();
    void scheduleMethodTwo();
    void Timer1_Timer();
    void Command26_Click();
    void setDownloadMethod(int method);
    void autoRedownload();
    void scrollToStartedRow(int row);
    void pauseForPublisher(const QString& retryAfter);
    void showPublisherPause(qint64 secondsLeft);

    // DownloadMethodTwo.cpp
    void 多线程下载(int slot, int row, const QString& address, const QString& path);
    void Downloader1_DownloadProgress(int slot, qint64 received, qint64 total);
    void Downloader1_DownloadComplete(int slot, qint64 received, qint64 total);
    void Downloader1_DownloadError(int slot);
    void Downloader1_DownloadThrottled(int slot, const QString& retryAfter);
    void writeSlotProgress(const DownloadItem& item, qint64 received, qint64 total);
    void unloadSlot(int slot);

    // DownloadMethodOne.cpp
    void Inet下载当前文件(const DownloadItem& item);
    void Inet下载文件(const DownloadItem& item);
    void configureConnection(const QString& address);
    void showOutcome(const DownloadItem& item, const TransferResult& result);
    void finishTransfer(const DownloadItem& item);
    void Inet1_StateChanged(int state);

    // Controls
    ReportList* ListView3 = nullptr;
    QLabel* Label1 = nullptr; // row count
    QLabel* Label4 = nullptr; // "下载列表："
    QLabel* Label7 = nullptr; // download method
    QPushButton* Command26 = nullptr;
    QLabel* Label2 = nullptr;
    QComboBox* Combo1 = nullptr; // slots of method two
    QLabel* Label5 = nullptr;
    QComboBox* Combo2 = nullptr; // interval between transfers
    QLabel* Label8 = nullptr;
    QRadioButton* Option1 = nullptr; // 跳过
    QRadioButton* Option2 = nullptr; // 覆盖
    QRadioButton* Option3 = nullptr; // 重命名
    QCheckBox* Check3 = nullptr;     // automatic re-download
    QComboBox* Combo4 = nullptr;
    QCheckBox* Check4 = nullptr;     // automatic start
    QCheckBox* Check5 = nullptr;     // stop after problem rows
    QCheckBox* Check6 = nullptr;     // sounds
    QPushButton* Command1 = nullptr; // 网页登录
    LoginPanel* PicWebBK = nullptr;
    QPushButton* Command4 = nullptr;
    QPushButton* Command31 = nullptr;
    QLabel* Shape1 = nullptr; // running indicator
    std::array<QLabel*, 4> StatusPanels{};
    QMenu* menu下载 = nullptr;
    QAction* menu下载全部 = nullptr;
    QAction* menu停止下载 = nullptr;
    QAction* menu自动定位到下载项 = nullptr;
    QAction* menu退出本下载窗口 = nullptr;
    QTimer* Timer1 = nullptr;
    QTimer* Timer_Down = nullptr;
    Inet* Inet1 = nullptr;
    // Method two's slots 1 to 6; a slot is free exactly when its instance does not exist.
    std::array<QPointer<Downloader>, 7> Downloader1{};
    // The row each slot works on, followed by id (positions move when rows are sorted or removed).
    std::array<std::optional<DownloadItem>, 7> slotItem_{};

    // Shared state of the scheduler and the methods
    double LastFinishTime = 0;
    // Commands that wait in the event loop (a method-one transfer, a web login): a close meanwhile
    // only hides the window, which goes once the last of them has returned.
    DeferredClose waitsOnStack_{this};
    Guard methodOneTransfer_;    // a method-one transfer is on the call stack (one at most)
    double pausedUntil_ = 0;     // the publisher asked for a pause until then (Clock seconds)
    int throttledInARow_ = 0;    // such answers one after another, each doubling the pause
    bool stopRequested_ = false; // "停止下载" asks the method-one transfer to end after its chunk
    bool unloaded_ = false;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder; // the last column sort; the first click sorts descending
    QRandomGenerator random_ = QRandomGenerator::securelySeeded(); // the shuffle's, seeded once
};

} // namespace Lunovex
