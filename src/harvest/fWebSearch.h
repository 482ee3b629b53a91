#pragma once

#include "app/DeferredClose.h"
#include "util/Guard.h"

#include <QMainWindow>

#include <functional>

class QCheckBox;
class QComboBox;
class QTimer;
class QLabel;
class QMenu;
class QPushButton;
class QSplitter;
class QUrl;

namespace Lunovex {

class Browser;
class Dom;
class ReportList;

// The search window: the embedded browser with its history, the harvest list with its commands,
// taking result pages into the list (one page, or every page by following the pager), the analysis
// that hands entries to the download list, and the menus that open the other windows. The start window
// returns when this closes and the download window is not loaded.
// Its members are spread over one file per area:
//   fWebSearch.cpp        controls, load and close, navigation and history, the menus
//   HarvestList.cpp       the harvest list: adding, sorting, removing, exporting
//   HandOff.cpp           handing entries to the download list
//   ExtractPage.cpp       taking the articles of the result page shown
//   MultiPageHarvest.cpp  walking the result pages by their next-page links
//   Analysis.cpp          the analysis commands that hand entries over
class fWebSearch : public QMainWindow
{
    Q_OBJECT

public:
    explicit fWebSearch(QWidget* parent = nullptr);
    ~fWebSearch() override;

    ReportList* harvestList() const { return ListView1; }
    Browser* browser() const { return WebBrowser1; }

    // Adds the full-text articles of the page shown to the harvest list; how many it passed on.
    int ExtractResultPage(const QString& saveFolder);
    void AddCurrentPage(const QString& saveFolder);

    // Adds one harvested entry; an address already in the list leaves the list as it is.
    void 加入LV1(const QString& title, const QString& pdfAddress, const QString& sourcePage,
                 const QString& type, const QString& saveFolder, const QString& marker);

    // Hands one harvest entry to the download list (creating the download window hidden when
    // needed) and records the outcome in its status.
    void 加入下载列表(int row);
    // Shows the download window if it is loaded and hidden.
    void 显示下载窗口();

    // Takes the page shown, follows its next-page link and waits for the new page and the pause;
    // false when there was no next page, no document, or the run was stopped. The run's final
    // extraction takes the page shown whenever this returns false.
    bool 下一页();
    void 限速延时_提取信息();

    // Adds an address to the history unless it is blank, already there (in any letter case) or one
    // of the maker's own; an empty address stands for the page shown.
    void 记录url(const QString& address);
    bool 查找Combo1(const QString& address) const;

    // Run-state flags: true when nothing runs (or a stop was asked for).
    bool HarvestStopped = true;
    bool AnalysisStopped = true;
    bool PageLoading = false;
    bool isBusy() const { return !HarvestStopped || !AnalysisStopped; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // A command that waits in the event loop (for the page, or through a harvest or an analysis run)
    // holds a scope of it: a close meanwhile hides the window, which is deleted once it has returned.
    DeferredClose deferredClose_{this};
    // An analysis run, from its start until it has returned (also after "停止").
    Guard analysing_;

    QWidget* buildBrowserBar();
    void buildStatusBar();
    void buildBrowseMenu();
    void buildToolsMenu();
    void buildHelpMenu();
    void connectBrowserEvents();
    void Command3_Click();
    void 打开首页();
    void 打开指定网址();
    void 打开本地网页文件();
    void 网页源码另存为();
    void 显示当前网址();
    void 使用方法();
    void WebBrowser1_BeforeNavigate(const QUrl& url);
    void WebBrowser1_NewWindow(const QUrl& url);
    void WebBrowser1_DocumentComplete();

    // MultiPageHarvest.cpp
    void Command4_Click();

    // ExtractPage.cpp
    int addEntriesOf(const Dom* page, const QString& saveFolder); // nullptr: no page, nothing added
    // The save-folder dialog; false when it was cancelled.
    bool askSaveFolder();
    // The folder extractions record: with ExtractSavePathFlag at 1 the dialog asks first, else none.
    QString extractionSaveFolder();
    void Command9_Click();

    // Analysis.cpp
    QWidget* buildAnalysisBar();
    void buildAnalysisMenu();
    void Command2_Click();
    void analyse(const std::function<bool(int row)>& chosen, bool automatic);
    bool confirmSaveFolder();
    void 分析未分析项();
    void 分析失败项();
    void 分析选中项();
    void 分析全部();
    void Check3_Click();
    void Timer1_Timer();

    // HarvestList.cpp
    QWidget* buildHarvestList();
    void buildRemovalMenu();
    void updateCountLabel();
    void ListView1_ColumnClick(int column);
    bool refusedWhileAnalysing();
    void removeEntriesWhere(const std::function<bool(int row)>& drop);
    void removeByTitle(bool containing);
    void 清空全部();
    void Command7_Click();

    QSplitter* PicBar = nullptr;   // between the browser panel and the list panel
    QWidget* PicPanWeb = nullptr;  // the browser and its address bar; disabled while harvesting
    QWidget* PicPanList = nullptr; // the harvest list and its buttons
    Browser* WebBrowser1 = nullptr;
    QComboBox* Combo1 = nullptr;     // visited addresses
    QPushButton* Command3 = nullptr; // "打开"
    QPushButton* Command1 = nullptr; // "清空" the history
    QLabel* StatusPanels[3] = {};    // StatusBar1: caption, the browser's status text, emulation level
    QPushButton* Command9 = nullptr; // "加入本页到列表"
    QPushButton* Command4 = nullptr; // "加入全部到列表" / "停止加入全部"
    QString runSaveFolder_;          // the save folder of the running multi-page harvest
    QComboBox* Combo2 = nullptr;     // pause between result pages, in seconds
    QCheckBox* Check2 = nullptr;     // "禁止浏览器弹出脚本提示"
    bool pageShown_ = false;         // a document has been loaded (its address is remembered at close)
    QPushButton* Command2 = nullptr; // "分析下载"
    QPushButton* Command5 = nullptr; // "停止"
    QWidget* PicPanPrograss = nullptr;
    QLabel* Label11 = nullptr;
    QCheckBox* Check3 = nullptr; // "自动分析未分析项"
    QTimer* Timer1 = nullptr;    // automatic analysis
    QMenu* menu加入 = nullptr;
    ReportList* ListView1 = nullptr;
    QLabel* Label1 = nullptr; // entry count
    QMenu* menu清除 = nullptr;
    QPushButton* Command7 = nullptr;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder; // the first click sorts descending
};

} // namespace Lunovex
