#include "app/fCover.h"

#include "app/EmulationLevel.h"
#include "app/Forms.h"
#include "app/Globals.h"
#include "app/Settings.h"
#include "harvest/fWebSearch.h"
#include "platform/Clock.h"
#include "platform/EventPump.h"
#include "transfer/uXMLHTTP.h"
#include "util/Product.h"
#include "util/ShellHelpers.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace Lunovex {

namespace {

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setMinimumSize(118, 34);
    return button;
}

} // namespace

fCover::fCover(QWidget* parent) : QWidget(parent)
{
    setObjectName(FormName::Cover);
    buildControls();
    RegisterForm(this);
    RegisterFormFactory(FormName::WebSearch, [] { return new fWebSearch; });
}

fCover::~fCover()
{
    DestroyOtherForms(this);
    UnregisterForm(this);
}

void fCover::buildControls()
{
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(0x1d, 0x35, 0x57));
    palette.setColor(QPalette::WindowText, QColor(0xee, 0xf2, 0xf7));
    setPalette(palette);

    Image1 = makeLabel(this, "Image1", QString());
    Image1->setPixmap(QPixmap(QStringLiteral(":/images/cover.png")));
    Image1->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    Label1 = makeLabel(
        this, "Label1",
        QStringLiteral("Marlow & Vance 是一家历史悠久的学术出版机构，旗下期刊平台收录数百种同行评审期刊，"
                       "涵盖人文社会科学、自然科学、工程技术与医学等领域，并提供回溯至创刊号的过刊全文。\n\n"
                       "本软件帮助拥有访问权限（个人账号或机构 IP）的研究人员在平台内检索文献，"
                       "把可阅读全文的文章整理成列表，再按标题命名、排队下载到自己选择的文件夹。"));
    Label1->setWordWrap(true);
    QFont bodyFont = Label1->font();
    bodyFont.setPointSizeF(bodyFont.pointSizeF() * 1.05);
    Label1->setFont(bodyFont);

    Label4 = makeLabel(this, "Label4",
                       QStringLiteral("(该软件仅用于科研人员辅助少量下载；请不要恶意下载和大量下载！)"));
    Label4->setWordWrap(true);
    Label4->setStyleSheet(QStringLiteral("color: #ffb4a8;"));

    Label5 = makeLabel(this, "Label5", QStringLiteral("正在加载组件，请稍候..."));
    Label5->setStyleSheet(QStringLiteral("color: #c9d6e8;"));

    Label2 = makeLabel(this, "Label2", QStringLiteral("版本："));
    Label3 = makeLabel(this, "Label3", QStringLiteral("最新版本："));
    Label3->setStyleSheet(QStringLiteral("color: yellow;"));
    Label3->setCursor(Qt::PointingHandCursor);
    Label3->hide();
    Label3->installEventFilter(this);

    Command1 = makeButton(this, "Command1", QStringLiteral("资料检索下载"));
    Command1->setEnabled(false);
    Command1->setDefault(true);
    Command3 = makeButton(this, "Command3", QStringLiteral("退出软件"));

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setSingleShot(true);
    Timer1->setInterval(Timing::current().startWindowDelay);

    auto* title = new QLabel(Product::title(), this);
    QFont titleFont = title->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.6);
    titleFont.setBold(true);
    title->setFont(titleFont);

    auto* text = new QVBoxLayout;
    text->setSpacing(10);
    text->addWidget(title);
    text->addWidget(Label1);
    text->addWidget(Label4);
    text->addStretch(1);
    text->addWidget(Label5);

    auto* top = new QHBoxLayout;
    top->setSpacing(22);
    top->addWidget(Image1);
    top->addLayout(text, 1);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(Label2);
    bottom->addSpacing(16);
    bottom->addWidget(Label3);
    bottom->addStretch(1);
    bottom->addWidget(Command1);
    bottom->addWidget(Command3);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 22, 24, 18);
    layout->setSpacing(16);
    layout->addLayout(top, 1);
    layout->addLayout(bottom);

    setFixedSize(680, 400);

    connect(Timer1, &QTimer::timeout, this, &fCover::Timer1_Timer);
    uXMLHTTP2 = new uXMLHTTP(this);
    uXMLHTTP2->setObjectName(QStringLiteral("uXMLHTTP2"));
    connect(uXMLHTTP2, &uXMLHTTP::OnDateArrived, this, &fCover::uXMLHTTP2_OnDateArrived);
    connect(uXMLHTTP2, &uXMLHTTP::OnDateErr, this, [this](QString&) { uXMLHTTP2_OnDateErr(); });
    connect(Command1, &QPushButton::clicked, this, &fCover::Command1_Click);
    connect(Command3, &QPushButton::clicked, this, &QWidget::close);
}

void fCover::Form_Load()
{
    setWindowTitle(Product::title());
    Label2->setText(QStringLiteral("版本:") + Product::version());
    show();
    EventPump::serve(); // the window, with its loading note, is up for the rest of the sequence
    determineSystemValues();
    Globals().MaxFileSizeMB = GetSettingDouble(Setting::MaxFileSize());
    Globals().SaveFolder = GetSetting(Setting::SaveFolder());
    Timer1->start();
    Label5->hide();
}

void fCover::determineSystemValues()
{
    DetermineSystemValues();
}

void fCover::Timer1_Timer()
{
    Timer1->stop();
    CheckForNewVersion();
    Command1->setEnabled(true);
}

void fCover::Command1_Click()
{
    hide();
    ShowForm(FormName::WebSearch);
}

// Label3, once shown, opens the product page.
bool fCover::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Label3 && event->type() == QEvent::MouseButtonRelease) OpenUrl(Product::productPage());
    return QWidget::eventFilter(watched, event);
}

void fCover::closeEvent(QCloseEvent* event)
{
    event->accept();
    Form_Unload();
}

void fCover::Form_Unload()
{
    if (unloaded_) return;
    unloaded_ = true;
    saveEmulationLevel();
    // The whole application ends: the other windows go without their own close handlers.
    DestroyOtherForms(this);
    QCoreApplication::exit(0);
}

void fCover::saveEmulationLevel()
{
    SaveEmulationLevelAtExit();
}

} // namespace Lunovex
