#include "harvest/fWebSearch.h"

#include "app/Forms.h"
#include "download/fFileDownload.h"
#include "util/Product.h"

#include <QCloseEvent>
#include <QMenuBar>

namespace Lunovex {

fWebSearch::fWebSearch(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("fWebSearch"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(Product::windowCaption(QStringLiteral("Marlow & Vance 马洛-万斯数据检索分析")));
    resize(1000, 700);
    setCentralWidget(buildHarvestList());

    buildRemovalMenu();
    QMenu* tools = menuBar()->addMenu(QStringLiteral("工具(&T)"));
    tools->setObjectName(QStringLiteral("menu工具"));
    QAction* openDownloads = tools->addAction(QStringLiteral("打开下载窗口"));
    openDownloads->setObjectName(QStringLiteral("menu打开下载窗口"));
    connect(openDownloads, &QAction::triggered, this, [] {
        QWidget* downloads = FindForm(QStringLiteral("fFileDownload"));
        if (!downloads) downloads = new fFileDownload;
        downloads->show();
        downloads->raise();
    });
    RegisterForm(this);
}

fWebSearch::~fWebSearch()
{
    UnregisterForm(this);
}

void fWebSearch::closeEvent(QCloseEvent* event)
{
    event->accept();
    UnregisterForm(this);
    ShowStartWindowUnlessLoaded(QStringLiteral("fFileDownload"));
}

} // namespace Lunovex
