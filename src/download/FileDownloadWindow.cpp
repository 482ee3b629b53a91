// The download window: its controls, loading and closing, the list-wide queries and row clicks.

#include "download/fFileDownload.h"

#include "app/CaptionWithBox.h"
#include "app/Forms.h"
#include "app/Globals.h"
#include "app/Settings.h"
#include "app/WindowPlacement.h"
#include "download/LoginPanel.h"
#include "platform/Browser.h"
#include "platform/Clock.h"
#include "platform/EventPump.h"
#include "platform/Inet.h"
#include "platform/Prompts.h"
#include "platform/ReportList.h"
#include "util/ControlHelpers.h"
#include "util/PathNames.h"
#include "util/Product.h"
#include "util/ShellHelpers.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

namespace Lunovex {

namespace {

// Column widths of the design, in twips.
constexpr int kColumnTwips[] = {10583, 1411, 1940, 1940, 1411, 10583};

// Status panel 2 opens its text when clicked.
class ClickableLabel final : public QLabel
{
public:
    using QLabel::QLabel;
    std::function<void()> onClick;

protected:
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        QLabel::mouseReleaseEvent(event);
        if (onClick) onClick();
    }
};

} // namespace

fFileDownload::fFileDownload(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(FormName::FileDownload);
    setAttribute(Qt::WA_DeleteOnClose);
    buildControls();
    buildMenus();
    RegisterForm(this);
    Form_Load();
}

fFileDownload::~fFileDownload()
{
    UnregisterForm(this);
}

void fFileDownload::buildControls()
{
    auto* central = new QWidget(this);
    setCentralWidget(central);

    Label4 = Named(new QLabel(QStringLiteral("下载列表："), central), "Label4");
    Label1 = Named(new QLabel(QStringLiteral("0条"), central), "Label1");

    ListView3 = Named(new ReportList(central), "ListView3");
    ListView3->setToolTip(QStringLiteral("双击鼠标：下载当前项或者打开文件"));
    const QStringList captions = {QStringLiteral("名称"),     QStringLiteral("类型"),
                                  QStringLiteral("文件大小"), QStringLiteral("已下载数"),
                                  QStringLiteral("百分比"),   QStringLiteral("保存路径")};
    for (int column = 0; column < captions.size(); ++column) {
        const bool right = column == ColumnSize || column == ColumnReceived || column == ColumnProgress;
        ListView3->addColumn(captions[column], kColumnTwips[column] / kTwipsPerPixel,
                             right ? Qt::AlignRight : Qt::AlignLeft);
    }
    ListView3->setProgressColumn(ColumnProgress);
    ListView3->setIconList({QIcon(QStringLiteral(":/icons/state-waiting.png")),
                            QIcon(QStringLiteral(":/icons/state-downloading.png")),
                            QIcon(QStringLiteral(":/icons/state-finished.png")),
                            QIcon(QStringLiteral(":/icons/state-failed.png"))});
    ListView3->setIconSize(QSize(16, 16));

    auto* heading = new QHBoxLayout;
    heading->addWidget(Label4);
    heading->addWidget(Label1);
    heading->addStretch(1);

    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(8, 6, 8, 4);
    layout->setSpacing(6);
    layout->addLayout(heading);
    layout->addWidget(ListView3, 1);
    layout->addWidget(buildOptionPanel());

    // The login panel lies over the list when shown; it follows the list's place and size.
    PicWebBK = new LoginPanel(waitsOnStack_, central);
    ListView3->installEventFilter(this);
    connect(PicWebBK, &LoginPanel::statusText, this,
            [this](const QString& text) { StatusPanels[2]->setText(text); });

    // Status bar: a caption, the current action, the transfer's state report, the counts.
    auto* panel2 = new ClickableLabel(this);
    panel2->onClick = [this] { StatusPanel2_Click(); };
    StatusPanels = {new QLabel(QStringLiteral("Marlow & Vance 文献下载"), this), panel2, new QLabel(this),
                    new QLabel(this)};
    auto* bar = Named(new QStatusBar(this), "StatusBar1");
    setStatusBar(bar);
    for (int i = 0; i < 4; ++i) {
        StatusPanels[size_t(i)]->setObjectName(QStringLiteral("StatusBar1Panel%1").arg(i + 1));
        StatusPanels[size_t(i)]->setFrameShape(QFrame::StyledPanel);
        StatusPanels[size_t(i)]->setTextInteractionFlags(Qt::NoTextInteraction);
        bar->addWidget(StatusPanels[size_t(i)], i == 1 ? 3 : 1);
    }
    panel2->setCursor(Qt::PointingHandCursor);

    Timer1 = Named(new QTimer(this), "Timer1");
    Timer1->setInterval(Timing::current().supervisionTick);
    Timer_Down = Named(new QTimer(this), "Timer_Down");
    Timer_Down->setInterval(Timing::current().schedulingTick);
    Inet1 = Named(new Inet(this), "Inet1");

    connect(Timer1, &QTimer::timeout, this, &fFileDownload::Timer1_Timer);
    connect(Timer_Down, &QTimer::timeout, this, &fFileDownload::Timer_Down_Timer);
    connect(Inet1, &Inet::StateChanged, this, &fFileDownload::Inet1_StateChanged);
    connect(ListView3, &ReportList::rowClicked, this, &fFileDownload::ListView3_ItemClick);
    connect(ListView3, &ReportList::rowDoubleClicked, this, [this](int) { ListView3_DblClick(); });
    connect(ListView3, &ReportList::contextMenuRequestedAt, this,
            [this](int, const QPoint& pos) { ListView3_ContextMenu(pos); });
}

QWidget* fFileDownload::buildOptionPanel()
{
    auto* panel = Named(new QGroupBox(QStringLiteral("下载设置"), this), "PicOptions");

    Label7 = Named(new QLabel(QStringLiteral("下载方式：2"), panel), "Label7");
    Command26 = Named(new QPushButton(QStringLiteral("切换"), panel), "Command26");
    Command26->setToolTip(QStringLiteral("更改下载方式"));
    Label2 = Named(new QLabel(QStringLiteral("线程数："), panel), "Label2");
    Combo1 = Named(new QComboBox(panel), "Combo1");
    for (int i = 1; i <= 6; ++i)
        Combo1->addItem(QString::number(i));

    // The interval box sits inside its label, in the room its caption leaves between the words.
    auto* intervalLabel = new CaptionWithBox(QStringLiteral("两个文件下载间隔：        秒"), panel);
    Label5 = Named(intervalLabel, "Label5");
    Combo2 = Named(new QComboBox(Label5), "Combo2");
    intervalLabel->setBox(Combo2, QStringLiteral("600"));

    Label8 = Named(new QLabel(QStringLiteral("同名文件："), panel), "Label8");
    Option1 = Named(new QRadioButton(QStringLiteral("跳过"), panel), "Option1");
    Option2 = Named(new QRadioButton(QStringLiteral("覆盖"), panel), "Option2");
    Option3 = Named(new QRadioButton(QStringLiteral("重命名"), panel), "Option3");

    Check3 = Named(new QCheckBox(QStringLiteral("自动重新下载："), panel), "Check3");
    Combo4 = Named(new QComboBox(panel), "Combo4");
    Combo4->addItems({QStringLiteral("出错项"), QStringLiteral("文件类型为HTM和HTML项"),
                      QStringLiteral("出错项和文件类型为HTM和HTML项")});
    Check4 = Named(new QCheckBox(QStringLiteral("当有待下载项时，自动启动下载"), panel), "Check4");
    Check5 =
        Named(new QCheckBox(QStringLiteral("有5个以上下载出错或者网页文件，就停止下载"), panel), "Check5");
    Check6 = Named(new QCheckBox(QStringLiteral("声音提示"), panel), "Check6");

    Shape1 = Named(new QLabel(panel), "Shape1");
    Shape1->setFixedSize(14, 14);
    Shape1->setStyleSheet(QStringLiteral("background: #2a9d5c; border-radius: 7px;"));
    Shape1->setToolTip(QStringLiteral("正在下载"));
    Shape1->hide();
    Command1 = Named(new QPushButton(QStringLiteral("网页登录"), panel), "Command1");
    Command4 = Named(new QPushButton(QStringLiteral("开始下载"), panel), "Command4");
    Command31 = Named(new QPushButton(QStringLiteral("停止下载"), panel), "Command31");
    Command4->setMinimumWidth(96);
    Command31->setMinimumWidth(96);

    // Three short rows, so the window stays usable on a small screen.
    auto* first = new QHBoxLayout;
    first->addWidget(Label7);
    first->addWidget(Command26);
    first->addSpacing(14);
    first->addWidget(Label2);
    first->addWidget(Combo1);
    first->addSpacing(14);
    first->addWidget(Label5);
    first->addSpacing(14);
    first->addWidget(Label8);
    first->addWidget(Option1);
    first->addWidget(Option2);
    first->addWidget(Option3);
    first->addStretch(1);

    auto* second = new QHBoxLayout;
    second->addWidget(Check3);
    second->addWidget(Combo4);
    second->addSpacing(10);
    second->addWidget(Check4);
    second->addStretch(1);

    auto* third = new QHBoxLayout;
    third->addWidget(Check5);
    third->addSpacing(10);
    third->addWidget(Check6);
    third->addStretch(1);
    third->addWidget(Command1);
    third->addSpacing(10);
    third->addWidget(Shape1);
    third->addWidget(Command4);
    third->addWidget(Command31);

    auto* rows = new QVBoxLayout(panel);
    rows->setContentsMargins(8, 4, 8, 6);
    rows->addLayout(first);
    rows->addLayout(second);
    rows->addLayout(third);

    connect(Command26, &QPushButton::clicked, this, &fFileDownload::Command26_Click);
    connect(Command1, &QPushButton::clicked, this, &fFileDownload::Command1_Click);
    connect(Command4, &QPushButton::clicked, this, &fFileDownload::StartDownloads);
    connect(Command31, &QPushButton::clicked, this, &fFileDownload::StopDownloads);
    return panel;
}

void fFileDownload::Form_Load()
{
    setWindowTitle(Product::windowCaption(QStringLiteral("文件下载")));
    Combo4->setCurrentIndex(0);
    FitComboDropWidth(Combo4);
    LastFinishTime = Clock::seconds();
    InitDownloadList();

    GlobalState& g = Globals();
    g.DownloadMethod = GetSettingInt(Setting::DownloadMethod());
    setDownloadMethod(g.DownloadMethod);
    if (g.DownloadMethod != 1)
        Combo1->setCurrentIndex(
            std::clamp(GetSettingInt(Setting::ThreadCountIndex()), 0, Combo1->count() - 1));

    g.DuplicateNamePolicy = GetSetting(Setting::DuplicateNamePolicy());
    policyButton(NamePolicyFromText(g.DuplicateNamePolicy))->setChecked(true);

    g.ProxyAddress = GetSetting(Setting::ProxyAddress());
    g.ProxyPort = GetSetting(Setting::ProxyPort());
    g.ProxyEnabled = GetSettingInt(Setting::ProxyEnabled());
    g.MaxFileSizeMB = GetSettingDouble(Setting::MaxFileSize());

    resize(1000, 660);
    RestoreWindowPlacement(this);

    for (int seconds = 0; seconds <= 600; ++seconds)
        Combo2->addItem(QString::number(seconds));
    Combo2->setCurrentIndex(0);

    PicWebBK->prepare();

    Timer1->start();
}

void fFileDownload::InitDownloadList()
{
    ListView3->clear();
    PaintListStripes(ListView3, false, 17);
}

QRadioButton* fFileDownload::policyButton(NamePolicy policy) const
{
    switch (policy) {
    case NamePolicy::Skip:
        return Option1;
    case NamePolicy::Overwrite:
        return Option2;
    case NamePolicy::Rename:
        break;
    }
    return Option3;
}

NamePolicy fFileDownload::selectedPolicy() const
{
    for (NamePolicy policy : {NamePolicy::Skip, NamePolicy::Overwrite})
        if (policyButton(policy)->isChecked()) return policy;
    return NamePolicy::Rename;
}

int fFileDownload::slotCount() const
{
    return Combo1->currentText().toInt();
}

double fFileDownload::secondsSinceLastFinish() const
{
    return std::abs(Clock::seconds() - LastFinishTime);
}

bool fFileDownload::AddDownloadItem(const QString& addressList, const QString& baseName,
                                    const QString& extension, const QString& saveFolder,
                                    const QString& refererPage)
{
    if (addressList.isEmpty()) return false;
    const int row = ListView3->addRow(addressList, baseName, Waiting - 1);
    if (row < 0) return false;
    ListView3->setCell(row, ColumnType, extension);
    ListView3->setCell(row, ColumnFolder, saveFolder.isEmpty() ? Globals().SaveFolder : saveFolder);
    ListView3->setTag(row, refererPage);
    return true;
}

int fFileDownload::统计未下载项数目() const
{
    int count = 0;
    for (int row = 0; row < ListView3->count(); ++row)
        if (ListView3->cell(row, ColumnSize).isEmpty() && ListView3->cell(row, ColumnReceived).isEmpty() &&
            ListView3->cell(row, ColumnProgress).isEmpty())
            ++count;
    return count;
}

bool fFileDownload::检测是否下载列表完毕() const
{
    for (int row = 0; row < ListView3->count(); ++row) {
        const ItemState state = DownloadItem::stateAt(ListView3, row);
        if (state != Finished && state != Failed) return false;
    }
    return true;
}

int fFileDownload::CountLoadedSlots() const
{
    // Instance 0 of the slot array is always there.
    int loaded = 1;
    for (size_t k = 1; k < Downloader1.size(); ++k)
        if (ControlExists(Downloader1[k])) ++loaded;
    return loaded;
}

int fFileDownload::CountProblemItems() const
{
    int problems = 0;
    for (int row = 0; row < ListView3->count(); ++row) {
        if (IsWebPageExtension(ListView3->cell(row, ColumnType), WebPageKinds::HtmHtml) ||
            DownloadItem::stateAt(ListView3, row) == Failed)
            ++problems;
    }
    return problems;
}

void fFileDownload::UpdateStatusCounts()
{
    std::array<int, 5> perState{};
    for (int row = 0; row < ListView3->count(); ++row) {
        const ItemState state = DownloadItem::stateAt(ListView3, row);
        if (state >= Waiting && state <= Failed) ++perState[size_t(state)];
    }
    StatusPanels[3]->setText(QStringLiteral("总数:%1 正在下载:%2 等待:%3 已完成:%4 失败:%5")
                                 .arg(ListView3->count())
                                 .arg(perState[Downloading])
                                 .arg(perState[Waiting])
                                 .arg(perState[Finished])
                                 .arg(perState[Failed]));
}

void fFileDownload::ListView3_ItemClick(int row)
{
    const QString path = ItemFilePath(item(row));
    StatusPanels[1]->setText(IsFilePresent(path) ? path : QString());
}

void fFileDownload::ListView3_DblClick()
{
    const int row = ListView3->currentRow();
    if (row < 0 || !ListView3->isSelected(row)) return;
    const DownloadItem it = item(row);
    const QString path = ItemFilePath(it);
    switch (it.state()) {
    case Finished:
        if (IsFilePresent(path))
            OpenFileWithShell(path, this);
        else
            MsgBox(this, QStringLiteral("文件不存在！"), PromptIcon::Critical);
        break;
    case Failed:
        if (IsFilePresent(path)) QFile::remove(path);
        it.setState(Waiting);
        it.clearProgress();
        break;
    default:
        break;
    }
}

void fFileDownload::ListView3_ContextMenu(const QPoint& globalPos)
{
    // While a run is active the list may not be emptied; stopping is what is on offer.
    const bool running = DownloadBusy() || Timer_Down->isActive();
    for (QAction* action : menu下载->actions()) {
        const QString name = action->objectName();
        if (name == QStringLiteral("menu清除") || name == QStringLiteral("menu清空") ||
            name == QStringLiteral("menu全选专利列表"))
            action->setEnabled(!running);
    }
    menu停止下载->setEnabled(running);
    emit listMenuRequested(globalPos);
    menu下载->popup(globalPos);
}

void fFileDownload::StatusPanel2_Click()
{
    const QString text = StatusPanels[1]->text();
    if (!text.isEmpty()) OpenUrl(text);
}

void fFileDownload::updateRowCountLabel()
{
    Label1->setText(QString::number(ListView3->count()) + QStringLiteral("条"));
}

void fFileDownload::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) updateRowCountLabel();
    QMainWindow::changeEvent(event);
}

void fFileDownload::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    PaintListStripes(ListView3, false, 17);
    if (PicWebBK->isVisible()) PicWebBK->showOver(ListView3);
}

// The list's own moves and resizes come after the window's, when its layout has placed it.
bool fFileDownload::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ListView3 && (event->type() == QEvent::Resize || event->type() == QEvent::Move) &&
        PicWebBK->isVisible())
        PicWebBK->showOver(ListView3);
    return QMainWindow::eventFilter(watched, event);
}

void fFileDownload::Command1_Click()
{
    PicWebBK->showOver(ListView3);
    if (PicWebBK->autoLoginArmed() || PicWebBK->refreshing()) return;
    if (const std::optional<DownloadItem> selected = selectedItem())
        PicWebBK->browser()->navigate(选择url(selected->AddressList()));
}

bool fFileDownload::confirmClose()
{
    SaveSetting(Setting::DuplicateNamePolicy(), NamePolicyText(selectedPolicy()));
    SaveSetting(Setting::DownloadMethod(), Globals().DownloadMethod);

    const bool busy = IsTransferActive() || !检测是否下载列表完毕();
    return !busy || AskQuestion(this, QStringLiteral("正在下载文件或者下载没有完成，要强制关闭窗口吗？")) ==
                        PromptAnswer::Yes;
}

void fFileDownload::closeEvent(QCloseEvent* event)
{
    if (unloaded_) {
        event->accept();
        return;
    }
    if (!confirmClose()) {
        event->ignore();
        return;
    }
    Form_Unload();
    // A transfer's loop may still run on this window's stack: then it hides now and goes afterwards.
    waitsOnStack_.closing();
    event->accept();
}

void fFileDownload::Form_Unload()
{
    unloaded_ = true;
    Timer1->stop();
    Timer_Down->stop();
    StopDownloads();
    Inet1->Cancel();
    SaveWindowPlacement(this);
    SaveSetting(Setting::ThreadCountIndex(), Combo1->currentIndex());
    EventPump::serve();
    EventPump::serve();
    UnregisterForm(this);
    ShowStartWindowUnlessLoaded(FormName::WebSearch);
}

} // namespace Lunovex
