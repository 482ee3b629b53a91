#pragma once

#include <QMainWindow>

#include <functional>

class QCheckBox;
class QComboBox;
class QTimer;
class QLabel;
class QMenu;
class QPushButton;

namespace Lunovex {

class Browser;
class ReportList;

// The search window: the embedded browser, the harvest list with its commands, taking a result page
// into the list, the hand-off to the download list, the menu entry that opens the download window, and
// the closing rule: the start window returns when this closes and the download window is not loaded.
// Its members are spread over one file per area:
//   fWebSearch.cpp    controls, load and close
//   HarvestList.cpp   the harvest list: adding, sorting, removing, exporting
//   HandOff.cpp       handing entries to the download list
//   ExtractPage.cpp   taking the articles of the result page shown
//   Analysis.cpp      the analysis commands that hand entries over
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

    // Run-state flags: true when nothing runs (or a stop was asked for).
    bool HarvestStopped = true;
    bool AnalysisStopped = true;
    bool PageLoading = false;
    bool isBusy() const { return !HarvestStopped || !AnalysisStopped; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* buildBrowserBar();
    void Command3_Click();

    // ExtractPage.cpp
    void Command9_Click();

    // Analysis.cpp
    QWidget* buildAnalysisBar();
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

    Browser* WebBrowser1 = nullptr;
    QComboBox* Combo1 = nullptr;     // visited addresses
    QPushButton* Command3 = nullptr; // "打开"
    QPushButton* Command9 = nullptr; // "加入本页到列表"
    int ExtractSavePathFlag = 1;
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
