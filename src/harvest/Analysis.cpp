// The analysis commands: they pick harvest entries and hand them, one after another, to the
// download list, with a stop button, a progress panel and an automatic mode.

#include "harvest/fWebSearch.h"

#include "app/Globals.h"
#include "harvest/HarvestColumns.h"
#include "platform/Clock.h"
#include "platform/EventPump.h"
#include "platform/Prompts.h"
#include "platform/ReportList.h"
#include "util/ControlHelpers.h"

#include <QAction>
#include <QCheckBox>
#include <QCursor>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>

namespace Lunovex {

QWidget* fWebSearch::buildAnalysisBar()
{
    auto* bar = new QWidget(this);
    Command2 = Named(new QPushButton(QStringLiteral("分析下载"), bar), "Command2");
    Command5 = Named(new QPushButton(QStringLiteral("停止"), bar), "Command5");
    Check3 = Named(new QCheckBox(QStringLiteral("自动分析未分析项"), bar), "Check3");
    PicPanPrograss = Named(new QWidget(bar), "PicPanPrograss");
    Label11 = Named(new QLabel(QStringLiteral("正在分析，请稍候..."), PicPanPrograss), "Label11");
    Label11->setStyleSheet(QStringLiteral("color: #1d3557; font-weight: bold;"));
    auto* panel = new QHBoxLayout(PicPanPrograss);
    panel->setContentsMargins(0, 0, 0, 0);
    panel->addWidget(Label11);
    PicPanPrograss->hide();

    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Check3);
    layout->addWidget(PicPanPrograss);
    layout->addStretch(1);
    layout->addWidget(Command2);
    layout->addWidget(Command5);

    Timer1 = Named(new QTimer(this), "Timer1");
    Timer1->setInterval(Timing::current().autoAnalysisTick);

    connect(Command2, &QPushButton::clicked, this, &fWebSearch::Command2_Click);
    connect(Command5, &QPushButton::clicked, this, [this] { AnalysisStopped = true; });
    connect(Check3, &QCheckBox::clicked, this, &fWebSearch::Check3_Click);
    connect(Timer1, &QTimer::timeout, this, &fWebSearch::Timer1_Timer);
    return bar;
}

// The menu of the four commands, popped up by "分析下载"; hidden from the menu bar.
void fWebSearch::buildAnalysisMenu()
{
    menu加入 = AddNamedMenu(menuBar(), "menu加入", QStringLiteral("加入"));
    const auto add = [this](const char* name, const QString& caption, void (fWebSearch::*command)()) {
        connect(AddMenuEntry(menu加入, name, caption), &QAction::triggered, this, command);
    };
    add("menu分析未分析项", QStringLiteral("分析未分析项"), &fWebSearch::分析未分析项);
    add("menu加入分析失败项", QStringLiteral("分析失败项"), &fWebSearch::分析失败项);
    add("menu选中加入", QStringLiteral("分析选中项"), &fWebSearch::分析选中项);
    add("menu全部加入", QStringLiteral("分析全部"), &fWebSearch::分析全部);
}

void fWebSearch::Command2_Click()
{
    Command2->setEnabled(false);
    if (ListView1->count() == 0)
        MsgBox(this, QStringLiteral("列表没有数据哦！"), PromptIcon::Information);
    else if (ListView1->selectedRows().isEmpty())
        分析全部();
    else
        menu加入->exec(QCursor::pos()); // the chosen command runs to its end in here
    Command2->setEnabled(true);
}

bool fWebSearch::confirmSaveFolder()
{
    return Globals().ExtractSavePathFlag == 1 || askSaveFolder();
}

void fWebSearch::analyse(const std::function<bool(int row)>& chosen, bool automatic)
{
    const Guard::Lock running(analysing_);
    const DeferredClose::Scope waiting(deferredClose_);
    AnalysisStopped = false;
    Label11->setText(QStringLiteral("正在分析,请稍候..."));
    PicPanPrograss->show();
    PicPanPrograss->raise();
    EventPump::serve();
    if (ListView1->count() > 0 && ((automatic && Timer1->isActive()) || confirmSaveFolder())) {
        const int rows = ListView1->count();
        for (int row = 0; row < rows; ++row) {
            EventPump::serve();
            if (AnalysisStopped) break;
            if (row < ListView1->count() && chosen(row)) 加入下载列表(row);
        }
    }
    PicPanPrograss->hide();
    AnalysisStopped = true;
    显示下载窗口();
}

void fWebSearch::分析未分析项()
{
    analyse([this](int row) { return ListView1->cell(row, HarvestStatus).isEmpty(); }, true);
}

void fWebSearch::分析失败项()
{
    analyse([this](int row) { return ListView1->cell(row, HarvestStatus).contains(QStringLiteral("失败")); },
            false);
}

void fWebSearch::分析选中项()
{
    analyse([this](int row) { return ListView1->isSelected(row); }, false);
}

void fWebSearch::分析全部()
{
    analyse([](int) { return true; }, false);
}

void fWebSearch::Check3_Click()
{
    if (!Check3->isChecked()) {
        Timer1->stop();
        return;
    }
    if (confirmSaveFolder()) {
        Timer1->start();
    } else {
        Timer1->stop();
        Check3->setChecked(false);
    }
}

void fWebSearch::Timer1_Timer()
{
    // One run at a time: a tick during a run (its own or a command's) is skipped, also while a
    // stopped run is still unwinding.
    if (!AnalysisStopped || analysing_.isLocked()) return;
    分析未分析项();
}

} // namespace Lunovex
