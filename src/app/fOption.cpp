// The settings dialog: load from the globals, confirm in the order the settings are stored.

#include "app/fOption.h"

#include "app/CaptionWithBox.h"
#include "app/EmulationLevel.h"
#include "app/Forms.h"
#include "app/Globals.h"
#include "app/Settings.h"
#include "platform/Prompts.h"
#include "util/ControlHelpers.h"
#include "util/PathNames.h"
#include "util/Product.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace Lunovex {

namespace {

const std::array<const char*, 5> kLevelNames = {"IE7", "IE8", "IE9", "IE10", "IE11"};

} // namespace

fOption::fOption(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("fOption"));

    Label1 = Named(new QLabel(QStringLiteral("下载方式："), this), "Label1");
    Option1 = Named(new QRadioButton(QStringLiteral("下载方式一 (支持HTTP，单线程，代理服务器下载)"), this),
                    "Option1");
    Option2 = Named(new QRadioButton(QStringLiteral("下载方式二 (支持HTTP，多线程下载)"), this), "Option2");
    Check1 = Named(new QCheckBox(QStringLiteral("下载使用代理服务器"), this), "Check1");
    Label14 = Named(new QLabel(QStringLiteral("地址："), this), "Label14");
    Text6 = Named(new QLineEdit(this), "Text6");
    Label15 = Named(new QLabel(QStringLiteral("端口："), this), "Label15");
    Text8 = Named(new QLineEdit(this), "Text8");
    Text8->setMaximumWidth(80);
    // Example names from the ranges kept for documentation, which never lead anywhere real.
    Label6 = Named(new QLabel(QStringLiteral("(如：proxy.example.com 或者 192.0.2.10)"), this), "Label6");
    Label10 = Named(new QLabel(QStringLiteral("(如：3128 或者 80 等等)"), this), "Label10");
    auto* sizeLabel = new CaptionWithBox(QStringLiteral("下载文件大小不超过：       MB"), this);
    Label2 = Named(sizeLabel, "Label2");
    Text1 = Named(new QLineEdit(QStringLiteral("10"), sizeLabel), "Text1");
    sizeLabel->setBox(Text1, QStringLiteral("10000"));
    Check2 = Named(new QCheckBox(QStringLiteral("提取网页信息时，提示下载保存路径"), this), "Check2");

    Frame1 = Named(new QGroupBox(QStringLiteral("设置本软件内嵌浏览器模拟版本号"), this), "Frame1");
    auto* levels = new QHBoxLayout;
    for (size_t i = 0; i < OptionIE.size(); ++i) {
        OptionIE[i] = new QRadioButton(QString::fromLatin1(kLevelNames[i]), Frame1);
        OptionIE[i]->setObjectName(QStringLiteral("OptionIE%1").arg(i));
        levels->addWidget(OptionIE[i]);
    }
    OptionIE10 = Named(new QRadioButton(QStringLiteral("默认"), Frame1), "OptionIE10");
    OptionIE10->setChecked(true);
    levels->addWidget(OptionIE10);
    levels->addStretch(1);
    Label9 = Named(new QLabel(QStringLiteral("(修改IE版本以后，需要重启软件才能生效！)"), Frame1), "Label9");
    // Chromium has no document modes: the choice is kept and shown, and says so.
    auto* engineNote =
        new QLabel(QStringLiteral("(内嵌浏览器为Chromium：此版本号只作记录，不改变网页显示。)"), Frame1);
    engineNote->setObjectName(QStringLiteral("LabelEngineNote"));
    auto* frameRows = new QVBoxLayout(Frame1);
    frameRows->addLayout(levels);
    frameRows->addWidget(Label9);
    frameRows->addWidget(engineNote);

    Command1 = Named(new QPushButton(QStringLiteral("确定"), this), "Command1");
    Command1->setDefault(true);
    Command2 = Named(new QPushButton(QStringLiteral("关闭"), this), "Command2");

    auto* grid = new QGridLayout;
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(Option1, 0, 1, 1, 4);
    grid->addWidget(Option2, 1, 1, 1, 4);
    grid->addWidget(Check1, 2, 0, 1, 5);
    grid->addWidget(Label14, 3, 0);
    grid->addWidget(Text6, 3, 1, 1, 2);
    grid->addWidget(Label15, 3, 3);
    grid->addWidget(Text8, 3, 4);
    grid->addWidget(Label6, 4, 1, 1, 2);
    grid->addWidget(Label10, 4, 3, 1, 2);
    grid->addWidget(Label2, 5, 0, 1, 5);
    grid->addWidget(Check2, 6, 0, 1, 5);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    auto* rows = new QVBoxLayout(this);
    rows->addLayout(grid);
    rows->addWidget(Frame1);
    rows->addLayout(buttons);

    connect(Command1, &QPushButton::clicked, this, &fOption::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &QDialog::reject);
    Form_Load();
}

void fOption::Form_Load()
{
    const GlobalState& g = Globals();
    setWindowTitle(Product::windowCaption(QStringLiteral("设置")));
    Check1->setChecked(g.ProxyEnabled == 1);
    Text6->setText(g.ProxyAddress);
    Text8->setText(g.ProxyPort);
    if (g.DownloadMethod == 1) Option1->setChecked(true);
    if (g.DownloadMethod == 2) Option2->setChecked(true);
    Check2->setChecked(g.ExtractSavePathFlag == 1);
    Text1->setText(QString::number(g.MaxFileSizeMB));
    for (size_t i = 0; i < OptionIE.size(); ++i)
        if (g.EmulationLevelName == QLatin1String(kLevelNames[i])) OptionIE[i]->setChecked(true);
}

void fOption::Command1_Click()
{
    GlobalState& g = Globals();
    QWidget* downloads = FindForm(FormName::FileDownload);
    if (Option1->isChecked() || Option2->isChecked()) {
        g.DownloadMethod = Option1->isChecked() ? 1 : 2;
        // The open download window's method label and slot box follow at once.
        if (downloads)
            QMetaObject::invokeMethod(downloads, "applyDownloadMethod", Q_ARG(int, g.DownloadMethod));
    }
    SaveSetting(Setting::DownloadMethod(), g.DownloadMethod);

    g.ProxyEnabled = Check1->isChecked() ? 1 : 0;
    SaveSetting(Setting::ProxyEnabled(), g.ProxyEnabled);
    g.ProxyAddress = Text6->text().trimmed();
    SaveSetting(Setting::ProxyAddress(), g.ProxyAddress);
    g.ProxyPort = Text8->text().trimmed();
    SaveSetting(Setting::ProxyPort(), g.ProxyPort);
    bool portNumeric = false;
    g.ProxyPort.toInt(&portNumeric);
    if (g.ProxyEnabled == 1 && (g.ProxyAddress.isEmpty() || !portNumeric))
        MsgBox(this, QStringLiteral("代理服务器网址或者端口格式不对！"), PromptIcon::Critical); // and go on

    g.ExtractSavePathFlag = Check2->isChecked() ? 1 : 0;
    SaveSetting(Setting::ExtractSavePathFlag(), g.ExtractSavePathFlag);

    // A size that is no number leaves the limit as it was.
    if (const std::optional<double> size = ParseNumber(Text1->text())) g.MaxFileSizeMB = *size;
    SaveSetting(Setting::MaxFileSize(), g.MaxFileSizeMB);

    g.EmulationLevelName.clear();
    for (size_t i = 0; i < OptionIE.size(); ++i)
        if (OptionIE[i]->isChecked()) g.EmulationLevelName = QString::fromLatin1(kLevelNames[i]);
    SetEmulationLevel(g.EmulationLevelName, 1, g.OsBitness);
    accept();
}

void ShowSettingsDialog(QWidget* owner)
{
    fOption dialog(owner);
    dialog.setWindowIcon(owner ? owner->windowIcon() : QIcon());
    dialog.exec();
}

} // namespace Lunovex
