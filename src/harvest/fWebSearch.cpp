// The search window itself: its controls, loading and closing, the browser's navigation and the
// history of visited addresses, and the menus that open the other windows.

#include "harvest/fWebSearch.h"

#include "app/Forms.h"
#include "app/Globals.h"
#include "app/Settings.h"
#include "app/fOption.h"
#include "app/frmAbout.h"
#include "download/fFileDownload.h"
#include "platform/Browser.h"
#include "platform/EventPump.h"
#include "platform/Prompts.h"
#include "util/ControlHelpers.h"
#include "util/HeaderText.h"
#include "util/Product.h"
#include "util/ShellHelpers.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QSaveFile>
#include <QSplitter>
#include <QStatusBar>
#include <QStringConverter>
#include <QVBoxLayout>

namespace Lunovex {

namespace {

// Script prompts are silenced except on https pages.
bool isHttps(const QString& address)
{
    return address.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
}

bool isBlankPage(const QString& address)
{
    return address.toLower() == QLatin1String("about:blank");
}

} // namespace

fWebSearch::fWebSearch(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(FormName::WebSearch);
    // The search window is the one that hands articles over: it knows how the download window is made.
    RegisterFormFactory(FormName::FileDownload, [] { return new fFileDownload; });
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(Product::windowCaption(QStringLiteral("Marlow & Vance 马洛-万斯数据检索分析")));
    setWindowIcon(QApplication::windowIcon());
    // 9000 × 5000 twips.
    setMinimumSize(600, 333);
    resize(1100, 800);

    WebBrowser1 = Named(new Browser(this), "WebBrowser1");
    PicBar = Named(new QSplitter(Qt::Vertical, this), "PicBar");
    PicBar->setChildrenCollapsible(false);
    PicPanWeb = Named(new QWidget(PicBar), "PicPanWeb");
    auto* webLayout = new QVBoxLayout(PicPanWeb);
    webLayout->setContentsMargins(0, 0, 0, 0);
    webLayout->setSpacing(0);
    webLayout->addWidget(buildBrowserBar());
    webLayout->addWidget(WebBrowser1, 1);
    PicPanList = Named(buildHarvestList(), "PicPanList");
    PicBar->addWidget(PicPanWeb);
    PicBar->addWidget(PicPanList);
    PicBar->setStretchFactor(0, 3);
    PicBar->setStretchFactor(1, 2);
    PicBar->setSizes({480, 320});
    setCentralWidget(PicBar);
    buildStatusBar();

    // The menu bar, in its order; "加入" is only ever a pop-up.
    buildAnalysisMenu();
    buildBrowseMenu();
    buildRemovalMenu();
    buildToolsMenu();
    buildHelpMenu();
    menu加入->menuAction()->setVisible(false);
    connectBrowserEvents();
    RegisterForm(this);

    Globals().ExtractSavePathFlag = GetSettingInt(Setting::ExtractSavePathFlag());
    Combo1->clear();
    for (int seconds = 0; seconds <= 60; ++seconds)
        Combo2->addItem(QString::number(seconds));
    Combo2->setCurrentIndex(10);
    Combo2->setCurrentIndex(std::clamp(GetSettingInt(Setting::SearchPauseIndex()), 0, 60));
    Check2->setChecked(false);
    WebBrowser1->navigate(QStringLiteral("about:blank"));
    HarvestStopped = true;
    AnalysisStopped = true;

    // The page last shown comes back; the first time, the publisher's home page.
    const QString last = TrimSpaces(GetSetting(Setting::SearchPageUrl()));
    if (!last.isEmpty()) {
        Check2->setChecked(!isHttps(last));
        WebBrowser1->navigate(last);
    } else {
        打开首页();
    }
    StatusPanels[2]->setText(Globals().EmulationLevelName);
}

QWidget* fWebSearch::buildBrowserBar()
{
    auto* bar = new QWidget(this);
    auto* label = new QLabel(QStringLiteral("访问历史："), bar);
    Combo1 = Named(new QComboBox(bar), "Combo1");
    Combo1->setEditable(true);
    Combo1->setToolTip(QStringLiteral("点击网址，打开历史网页"));
    Combo1->setInsertPolicy(QComboBox::NoInsert);
    Combo1->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    Combo1->setMinimumContentsLength(20);
    Command3 = Named(new QPushButton(QStringLiteral("打开"), bar), "Command3");
    Command1 = Named(new QPushButton(QStringLiteral("清空"), bar), "Command1");
    Check2 = Named(new QCheckBox(QStringLiteral("禁止浏览器弹出脚本提示"), bar), "Check2");
    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->addWidget(label);
    layout->addWidget(Combo1, 1);
    layout->addWidget(Command3);
    layout->addWidget(Command1);
    layout->addWidget(Check2);
    connect(Check2, &QCheckBox::toggled, this, [this](bool on) { WebBrowser1->setSilent(on); });
    connect(Command3, &QPushButton::clicked, this, &fWebSearch::Command3_Click);
    // Picking an entry of the history opens it, as the tooltip says.
    connect(Combo1, &QComboBox::activated, this, &fWebSearch::Command3_Click);
    connect(Command1, &QPushButton::clicked, Combo1, &QComboBox::clear);
    return bar;
}

void fWebSearch::buildStatusBar()
{
    auto* bar = Named(new QStatusBar(this), "StatusBar1");
    setStatusBar(bar);
    StatusPanels[0] = new QLabel(QStringLiteral("Marlow & Vance 数据检索"), bar);
    StatusPanels[1] = new QLabel(bar);
    StatusPanels[2] = new QLabel(bar);
    for (int i = 0; i < 3; ++i) {
        StatusPanels[i]->setObjectName(QStringLiteral("StatusBar1Panel%1").arg(i + 1));
        StatusPanels[i]->setFrameShape(QFrame::StyledPanel);
        bar->addWidget(StatusPanels[i], i == 1 ? 4 : 1);
    }
}

void fWebSearch::buildBrowseMenu()
{
    QMenu* browse = AddNamedMenu(menuBar(), "menu浏览", QStringLiteral("浏览(&B)"));
    connect(AddMenuEntry(browse, "menu打开首页", QStringLiteral("打开Marlow && Vance查询首页")),
            &QAction::triggered, this, &fWebSearch::打开首页);
    connect(AddMenuEntry(browse, "menu打开指定网址", QStringLiteral("打开指定网址...")), &QAction::triggered,
            this, &fWebSearch::打开指定网址);
    connect(AddMenuEntry(browse, "menu打开本地网页文件", QStringLiteral("打开本地网页文件")),
            &QAction::triggered, this, &fWebSearch::打开本地网页文件);
    browse->addSeparator();
    connect(AddMenuEntry(browse, "menu后退", QStringLiteral("后退")), &QAction::triggered, WebBrowser1,
            &Browser::goBack);
    connect(AddMenuEntry(browse, "menu前进", QStringLiteral("前进")), &QAction::triggered, WebBrowser1,
            &Browser::goForward);
    browse->addSeparator();
    connect(AddMenuEntry(browse, "menu关闭本窗口", QStringLiteral("关闭本窗口")), &QAction::triggered, this,
            &QWidget::close);
}

void fWebSearch::buildToolsMenu()
{
    QMenu* tools = AddNamedMenu(menuBar(), "menu工具", QStringLiteral("工具(&T)"));
    connect(AddMenuEntry(tools, "menu设置", QStringLiteral("设置")), &QAction::triggered, this,
            [this] { ShowSettingsDialog(this); });
    connect(AddMenuEntry(tools, "menu设置下载保存路径", QStringLiteral("设置下载保存路径")),
            &QAction::triggered, this, &fWebSearch::askSaveFolder);
    connect(AddMenuEntry(tools, "menu打开下载窗口", QStringLiteral("打开下载窗口")), &QAction::triggered,
            this, [] { ShowForm(FormName::FileDownload); });
    tools->addSeparator();
    // With the cache viewer.
    AddMenuEntry(tools, "menu查看IE浏览器缓存", QStringLiteral("查看IE浏览器缓存"))->setEnabled(false);
    AddMenuEntry(tools, "menu清空IE浏览器缓存", QStringLiteral("清空IE浏览器缓存"))->setEnabled(false);
    connect(AddMenuEntry(tools, "menu网页源码另存为", QStringLiteral("网页源码另存为")), &QAction::triggered,
            this, &fWebSearch::网页源码另存为);
    connect(AddMenuEntry(tools, "menu显示当前网址", QStringLiteral("显示当前网址")), &QAction::triggered,
            this, &fWebSearch::显示当前网址);
}

void fWebSearch::buildHelpMenu()
{
    QMenu* help = AddNamedMenu(menuBar(), "menu帮助", QStringLiteral("帮助(&H)"));
    connect(AddMenuEntry(help, "menu关于", QStringLiteral("关于(&A)")), &QAction::triggered, this,
            [this] { ShowAboutBox(this); });
    help->addSeparator();
    const auto page = [this](QMenu* menu, const char* name, const QString& caption, const QString& address,
                             bool newWindow) {
        connect(AddMenuEntry(menu, name, caption), &QAction::triggered, this,
                [address, newWindow] { OpenUrl(address, newWindow); });
    };
    page(help, "menu最新版本", QStringLiteral("最新版本"), Product::productPage(), false);
    connect(AddMenuEntry(help, "menu使用方法", QStringLiteral("使用方法")), &QAction::triggered, this,
            &fWebSearch::使用方法);
    page(help, "menu售后服务", QStringLiteral("售后服务"), Product::makerPage(QStringLiteral("support/")),
         true);
    QMenu* sites = AddNamedMenu(help, "menu作者网站", QStringLiteral("作者网站"));
    page(sites, "menu辰星软件", QStringLiteral("辰星软件"), Product::makerHomePage(), true);
    page(sites, "menu墨舟软件", QStringLiteral("墨舟软件"), Product::sisterSitePage(), true);
    page(help, "menu软件定制", QStringLiteral("软件定制"), Product::makerPage(QStringLiteral("custom/")),
         true);
}

void fWebSearch::connectBrowserEvents()
{
    connect(WebBrowser1, &Browser::statusTextChanged, StatusPanels[1], &QLabel::setText);
    connect(WebBrowser1, &QWebEngineView::titleChanged, this, [this] { 记录url(QString()); });
    connect(WebBrowser1, &Browser::beforeNavigate, this, &fWebSearch::WebBrowser1_BeforeNavigate);
    connect(WebBrowser1, &Browser::newWindowRequested, this, &fWebSearch::WebBrowser1_NewWindow);
    connect(WebBrowser1, &Browser::documentComplete, this, &fWebSearch::WebBrowser1_DocumentComplete);
}

void fWebSearch::WebBrowser1_BeforeNavigate(const QUrl& url)
{
    const QString address = url.toString();
    statusBar()->setVisible(!Product::isMakerSiteAddress(address));
    记录url(address);
}

// The browser opens the new window's page itself; the window records where it went.
void fWebSearch::WebBrowser1_NewWindow(const QUrl& url)
{
    记录url(url.toString());
}

void fWebSearch::WebBrowser1_DocumentComplete()
{
    PageLoading = false;
    pageShown_ = true;
    记录url(QString());
}

void fWebSearch::记录url(const QString& address)
{
    const QString url = address.isEmpty() ? TrimSpaces(WebBrowser1->locationUrl()) : address;
    if (url.isEmpty() || isBlankPage(url)) return;
    if (查找Combo1(url) || Product::isMakerSiteAddress(url)) return;
    const QString typed = Combo1->currentText();
    Combo1->addItem(url);
    FitComboDropWidth(Combo1);
    Combo1->setEditText(typed);
}

bool fWebSearch::查找Combo1(const QString& address) const
{
    const QString wanted = address.toLower();
    for (int i = 0; i < Combo1->count(); ++i)
        if (Combo1->itemText(i).toLower() == wanted) return true;
    return false;
}

void fWebSearch::Command3_Click()
{
    const QString address = TrimSpaces(Combo1->currentText());
    if (!address.isEmpty()) WebBrowser1->navigate(address);
}

void fWebSearch::打开首页()
{
    Check2->setChecked(true);
    WebBrowser1->navigate(Product::publisherHomePage());
}

void fWebSearch::打开指定网址()
{
    const std::optional<QString> answer =
        Prompts::current().input(this, QStringLiteral("请输入需要打开的网址："), QStringLiteral("请输入..."),
                                 GetSetting(Setting::SearchOtherUrl()));
    const QString address = TrimSpaces(answer.value_or(QString()));
    Check2->setChecked(!isHttps(address));
    if (address.isEmpty()) return;
    SaveSetting(Setting::SearchOtherUrl(), address);
    WebBrowser1->navigate(address);
}

void fWebSearch::打开本地网页文件()
{
    const QString path = Prompts::current().openFileName(this, QStringLiteral("打开本地网页文件"), QString(),
                                                         QStringLiteral("*.htm;*.html (*.htm *.html)"));
    if (!path.isEmpty()) WebBrowser1->load(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
}

void fWebSearch::网页源码另存为()
{
    // A save dialog: the source goes to a new file as readily as over an old one.
    QString path = Prompts::current().saveFileName(this, QStringLiteral("网页源码另存为"), QString(),
                                                   QStringLiteral("*.htm (*.htm)"));
    if (path.isEmpty()) return;
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".htm");
    if (!pageShown_) return;
    const DeferredClose::Scope waiting(deferredClose_);
    const QString source = WebBrowser1->pageSource();
    if (source.isEmpty()) return;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return;
    file.write(QStringEncoder(QStringConverter::System).encode(source));
    if (!file.commit()) return;
    MsgBox(this, QStringLiteral("已经保存！"), PromptIcon::Information);
}

void fWebSearch::显示当前网址()
{
    MsgBox(this, pageShown_ ? WebBrowser1->locationUrl() : QString(), PromptIcon::None);
}

void fWebSearch::使用方法()
{
    static const char16_t* const lines[] = {
        u"1、点击菜单“浏览” => “打开Marlow && Vance查询首页”；",
        u"2、输入关键词检索，出现检索结果界面；",
        u"3、点击按钮“加入本页到列表”或者“加入全部到列表”；",
        u"4、点击按钮“分析下载”，弹出菜单，点击任意菜单，如“分析全部”，弹出下载窗口；",
        u"5、下载方式有1，2两种，自行看情况选择，点击“开始下载”按钮，就可以下载回全部pdf文件。",
        u"6、你也可以通过第三方网站进入Marlow && Vance查询首页，点击菜单“浏览”=>“打开指定网址...”，"
        u"然后输入第三方网站的网址。",
        u"7、网页里面的文章后面，必须有“Open "
        u"URL”图标，方可下载，否则就代表你的网站账号，没有下载pdf全文的权限。",
        u"8、测试账号网站账号， 请在IE浏览器登陆， 然后手动下载看看行不行，如果不能下载  "
        u"当然在软件里面也无法下载。",
    };
    QString text;
    for (const char16_t* line : lines)
        text += QString::fromUtf16(line) + QStringLiteral("\r\n");
    Prompts::current().message(this, text, PromptIcon::Information, PromptButtons::Ok,
                               QStringLiteral("软件使用方法"));
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
    ShowStartWindowUnlessLoaded(FormName::FileDownload);
    const QString shown = WebBrowser1->locationUrl();
    if (pageShown_ && !shown.isEmpty() && !isBlankPage(shown)) SaveSetting(Setting::SearchPageUrl(), shown);
    deferredClose_.closing();
}

} // namespace Lunovex
