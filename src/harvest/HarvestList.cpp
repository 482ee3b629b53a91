// The search window's harvest list: the articles taken from result pages, waiting to be handed to
// the download list. Adding, sorting, the removal commands and the export of the titles.

#include "harvest/fWebSearch.h"

#include "app/CaptionWithBox.h"
#include "harvest/HarvestColumns.h"
#include "platform/Prompts.h"
#include "platform/ReportList.h"
#include "util/ControlHelpers.h"
#include "util/HeaderText.h"

#include <QAction>
#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSaveFile>
#include <QVBoxLayout>

namespace Lunovex {

QWidget* fWebSearch::buildHarvestList()
{
    auto* panel = new QWidget(this);
    auto* heading = new QLabel(QStringLiteral("待下载列表："), panel);
    Label1 = Named(new QLabel(QStringLiteral("0"), panel), "Label1");
    Command7 = Named(new QPushButton(QStringLiteral("导出数据..."), panel), "Command7");
    Command9 = Named(new QPushButton(QStringLiteral("加入本页到列表"), panel), "Command9");
    Command4 = Named(new QPushButton(QStringLiteral("加入全部到列表"), panel), "Command4");
    Command4->setAutoFillBackground(true);
    auto* pauseCaption = Named(new CaptionWithBox(QStringLiteral("限速延时：        秒"), panel), "Label2");
    Combo2 = Named(new QComboBox(pauseCaption), "Combo2");
    pauseCaption->setBox(Combo2, QStringLiteral("60"));

    ListView1 = Named(new ReportList(panel), "ListView1");
    // Addresses count as the same only when they are written the same: paths on the publisher's
    // server are case-sensitive, so two spellings may be two articles.
    ListView1->setKeysCaseInsensitive(false);
    ListView1->addColumn(QStringLiteral("标题"), 420);
    ListView1->addColumn(QStringLiteral("类型"), 50);
    ListView1->addColumn(QStringLiteral("分析状态"), 80);
    ListView1->addColumn(QStringLiteral("保存路径"), 200);
    ListView1->addColumn(QStringLiteral("TYPE"), 50);
    PaintListStripes(ListView1, false, 13);

    auto* top = new QHBoxLayout;
    top->addWidget(heading);
    top->addWidget(Label1);
    top->addStretch(1);
    top->addWidget(pauseCaption);
    top->addWidget(Command9);
    top->addWidget(Command4);
    top->addWidget(Command7);
    auto* layout = new QVBoxLayout(panel);
    layout->addLayout(top);
    layout->addWidget(ListView1, 1);
    layout->addWidget(buildAnalysisBar());

    connect(ListView1, &ReportList::columnHeaderClicked, this, &fWebSearch::ListView1_ColumnClick);
    connect(ListView1, &ReportList::contextMenuRequestedAt, this,
            [this](int, const QPoint& at) { menu清除->popup(at); });
    connect(Command7, &QPushButton::clicked, this, &fWebSearch::Command7_Click);
    connect(Command9, &QPushButton::clicked, this, &fWebSearch::Command9_Click);
    connect(Command4, &QPushButton::clicked, this, &fWebSearch::Command4_Click);
    return panel;
}

void fWebSearch::buildRemovalMenu()
{
    menu清除 = AddNamedMenu(menuBar(), "menu清除", QStringLiteral("清除(&C)"));
    const auto add = [this](const char* name, const QString& caption, auto handler) {
        connect(AddMenuEntry(menu清除, name, caption), &QAction::triggered, this, handler);
    };
    add("menu清除选中项", QStringLiteral("清除选中项"),
        [this] { removeEntriesWhere([this](int row) { return ListView1->isSelected(row); }); });
    // "成功" marks no status this window writes; the entries handed over ("分析完成") are the
    // successful ones, so they go too.
    add("menu清除分析成功项", QStringLiteral("清除成功项"), [this] {
        removeEntriesWhere([this](int row) {
            const QString status = ListView1->cell(row, HarvestStatus);
            return status == QStringLiteral("分析完成") || status.contains(QStringLiteral("成功"));
        });
    });
    add("menu清除标题含指定字符项", QStringLiteral("清除标题含指定字符项"), [this] { removeByTitle(true); });
    add("menu清除标题不含指定字符项", QStringLiteral("清除标题不含指定字符项"),
        [this] { removeByTitle(false); });
    add("menu清空全部", QStringLiteral("清空全部"), &fWebSearch::清空全部);
}

void fWebSearch::加入LV1(const QString& title, const QString& pdfAddress, const QString& sourcePage,
                         const QString& type, const QString& saveFolder, const QString& marker)
{
    const int row = ListView1->addRow(pdfAddress, title);
    if (row < 0) return; // the first entry for an address wins
    ListView1->setCell(row, HarvestType, type);
    ListView1->setTag(row, sourcePage);
    ListView1->setCell(row, HarvestSaveFolder, saveFolder);
    ListView1->setCell(row, HarvestMarker, marker);
}

void fWebSearch::updateCountLabel()
{
    Label1->setText(QString::number(ListView1->count()));
}

void fWebSearch::ListView1_ColumnClick(int column)
{
    if (isBusy()) {
        MsgBox(this, QStringLiteral("正在工作，停止后方可排序！"), PromptIcon::Information);
        return;
    }
    sortOrder_ = sortOrder_ == Qt::DescendingOrder ? Qt::AscendingOrder : Qt::DescendingOrder;
    ListView1->sortOnce(column, sortOrder_);
}

bool fWebSearch::refusedWhileAnalysing()
{
    if (AnalysisStopped) return false;
    MsgBox(this, QStringLiteral("正在分析，不能清除！"), PromptIcon::Critical);
    return true;
}

void fWebSearch::removeEntriesWhere(const std::function<bool(int row)>& drop)
{
    if (refusedWhileAnalysing() || ListView1->count() == 0) return;
    ListView1->beginBatch();
    ListView1->removeRowsWhere(drop);
    ListView1->endBatch();
    updateCountLabel();
}

void fWebSearch::removeByTitle(bool containing)
{
    if (refusedWhileAnalysing()) return;
    const std::optional<QString> text = InputBox(this, QStringLiteral("请输入指定字符："));
    if (!text || text->isEmpty()) return;
    removeEntriesWhere(
        [&](int row) { return ListView1->text(row).contains(*text, Qt::CaseInsensitive) == containing; });
}

void fWebSearch::清空全部()
{
    if (refusedWhileAnalysing()) return;
    if (AskQuestion(this, QStringLiteral("您确定要清空辛辛苦苦搜索的列表数据吗？")) != PromptAnswer::Yes)
        return;
    ListView1->clear();
    updateCountLabel();
}

void fWebSearch::Command7_Click()
{
    if (ListView1->count() == 0) return;
    QString path = Prompts::current().saveFileName(this, QStringLiteral("导出数据"), QString(),
                                                   QStringLiteral("*.txt (*.txt)"));
    if (path.isEmpty()) return;
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".txt");
    QByteArray text;
    for (int row = 0; row < ListView1->count(); ++row)
        text += ListView1->text(row).toLocal8Bit() + "\r\n";
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit())
        return; // the export ends without a message
    const double kilobytes = double(QFileInfo(path).size()) / 1024;
    MsgBox(this,
           QStringLiteral("保存文件完毕：") +
               QLocale(QLocale::English, QLocale::UnitedStates).toString(kilobytes, 'f', 2) +
               QStringLiteral("KB"),
           PromptIcon::Information);
}

} // namespace Lunovex
