#include "harvest/fWebSearch.h"

#include "app/Forms.h"
#include "app/Globals.h"
#include "app/Settings.h"
#include "download/fFileDownload.h"
#include "platform/Browser.h"
#include "util/HeaderText.h"
#include "util/Product.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QSplitter>
#include <QVBoxLayout>

namespace Lunovex {

fWebSearch::fWebSearch(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("fWebSearch"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(Product::windowCaption(QStringLiteral("Marlow & Vance 马洛-万斯数据检索分析")));
    resize(1100, 800);
    WebBrowser1 = new Browser(this);
    WebBrowser1->setObjectName(QStringLiteral("WebBrowser1"));
    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->setObjectName(QStringLiteral("PicBar"));
    auto* top = new QWidget(splitter);
    auto* topLayout = new QVBoxLayout(top);
    topLayout->setContentsMargins(0, 0, 0, 0);
    topLayout->addWidget(buildBrowserBar());
    topLayout->addWidget(WebBrowser1, 1);
    splitter->addWidget(top);
    splitter->addWidget(buildHarvestList());
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);
    splitter->setSizes({480, 320});
    setCentralWidget(splitter);
    ExtractSavePathFlag = GetSettingInt(Setting::ExtractSavePathFlag());
    Globals().ExtractSavePathFlag = ExtractSavePathFlag;

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

QWidget* fWebSearch::buildBrowserBar()
{
    auto* bar = new QWidget(this);
    auto* label = new QLabel(QStringLiteral("访问历史："), bar);
    Combo1 = new QComboBox(bar);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->setEditable(true);
    Combo1->setToolTip(QStringLiteral("点击网址，打开历史网页"));
    Combo1->setInsertPolicy(QComboBox::NoInsert);
    Command3 = new QPushButton(QStringLiteral("打开"), bar);
    Command3->setObjectName(QStringLiteral("Command3"));
    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(6, 4, 6, 2);
    layout->addWidget(label);
    layout->addWidget(Combo1, 1);
    layout->addWidget(Command3);
    connect(Command3, &QPushButton::clicked, this, &fWebSearch::Command3_Click);
    connect(WebBrowser1, &Browser::documentComplete, this, [this](const QUrl& url, bool) {
        PageLoading = false;
        const QString address = url.toString();
        if (!address.isEmpty() && address != QLatin1String("about:blank") && Combo1->findText(address) < 0)
            Combo1->insertItem(0, address);
        Combo1->setEditText(address);
    });
    return bar;
}

void fWebSearch::Command3_Click()
{
    const QString address = TrimSpaces(Combo1->currentText());
    if (!address.isEmpty()) WebBrowser1->navigate(address);
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
