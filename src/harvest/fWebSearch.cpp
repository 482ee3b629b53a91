#include "harvest/fWebSearch.h"

#include "app/Forms.h"
#include "app/Globals.h"
#include "app/Settings.h"
#include "download/fFileDownload.h"
#include "platform/Browser.h"
#include "platform/Prompts.h"
#include "util/HeaderText.h"
#include "util/Product.h"

#include <QCheckBox>
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
    for (int seconds = 0; seconds <= 60; ++seconds)
        Combo2->addItem(QString::number(seconds));
    Combo2->setCurrentIndex(10);
    Combo2->setCurrentIndex(std::clamp(GetSettingInt(Setting::SearchPauseIndex()), 0, 60));
    Check2->setChecked(false);
    // The page last shown comes back.
    const QString last = TrimSpaces(GetSetting(Setting::SearchPageUrl()));
    if (!last.isEmpty()) {
        Check2->setChecked(last.left(8).toLower() != QLatin1String("https://"));
        WebBrowser1->navigate(last);
    }

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
    Check2 = new QCheckBox(QStringLiteral("禁止浏览器弹出脚本提示"), bar);
    Check2->setObjectName(QStringLiteral("Check2"));
    auto* pauseLabel = new QLabel(QStringLiteral("翻页暂停(秒)："), bar);
    Combo2 = new QComboBox(bar);
    Combo2->setObjectName(QStringLiteral("Combo2"));
    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(6, 4, 6, 2);
    layout->addWidget(label);
    layout->addWidget(Combo1, 1);
    layout->addWidget(Command3);
    layout->addWidget(Check2);
    layout->addWidget(pauseLabel);
    layout->addWidget(Combo2);
    connect(Check2, &QCheckBox::toggled, this, [this](bool on) { WebBrowser1->setSilent(on); });
    connect(Command3, &QPushButton::clicked, this, &fWebSearch::Command3_Click);
    connect(WebBrowser1, &Browser::documentComplete, this, [this](const QUrl& url, bool) {
        PageLoading = false;
        pageShown_ = true;
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
    if (isBusy()) {
        MsgBox(this, QStringLiteral("正在工作，停止以后才能关闭！"), PromptIcon::Critical);
        event->ignore();
        return;
    }
    event->accept();
    SaveSetting(Setting::SearchPauseIndex(), Combo2->currentIndex());
    UnregisterForm(this);
    ShowStartWindowUnlessLoaded(QStringLiteral("fFileDownload"));
    const QString shown = WebBrowser1->url().toString();
    if (pageShown_ && !shown.isEmpty() && shown != QLatin1String("about:blank"))
        SaveSetting(Setting::SearchPageUrl(), shown);
}

} // namespace Lunovex
