#include "app/fSeleFileSavePath.h"

#include "app/Globals.h"
#include "app/Settings.h"
#include "platform/AppFolder.h"
#include "platform/Prompts.h"
#include "util/ControlHelpers.h"
#include "util/HeaderText.h"
#include "util/PathNames.h"
#include "util/ShellHelpers.h"

#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace Lunovex {

QString fSeleFileSavePath::historyFile()
{
    return ApplicationFolder() + PathSeparator() + QStringLiteral("SaveList.dat");
}

fSeleFileSavePath::fSeleFileSavePath(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("fSeleFileSavePath"));
    setWindowTitle(QStringLiteral("选择下载保存路径－辰星软件"));
    // Stays above every other window without being moved or resized.
    setWindowFlag(Qt::WindowStaysOnTopHint);

    Label1 = Named(new QLabel(QStringLiteral("保存到文件夹："), this), "Label1");
    Combo1 = Named(new QComboBox(this), "Combo1");
    Combo1->setEditable(true);
    Combo1->setEditText(QDir::rootPath());
    Combo1->setMinimumWidth(360);
    Combo1->setInsertPolicy(QComboBox::NoInsert);
    Command1 = Named(new QPushButton(QStringLiteral("..."), this), "Command1");
    Label3 = Named(new QLabel(QStringLiteral("保存文件名为："), this), "Label3");
    Option1 = Named(new QRadioButton(QStringLiteral("原文件名"), this), "Option1");
    Option2 = Named(new QRadioButton(QStringLiteral("文章标题名称"), this), "Option2");
    Option2->setChecked(true);
    Command2 = Named(new QPushButton(QStringLiteral("确定"), this), "Command2");
    Command2->setDefault(true);
    Command3 = Named(new QPushButton(QStringLiteral("取消"), this), "Command3");

    auto* grid = new QGridLayout(this);
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(Combo1, 0, 1);
    grid->addWidget(Command1, 0, 2);
    auto* names = new QHBoxLayout;
    names->addWidget(Option1);
    names->addWidget(Option2);
    names->addStretch(1);
    grid->addWidget(Label3, 1, 0);
    grid->addLayout(names, 1, 1, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Command2);
    buttons->addWidget(Command3);
    grid->addLayout(buttons, 2, 0, 1, 3);

    connect(Command1, &QPushButton::clicked, this, &fSeleFileSavePath::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &fSeleFileSavePath::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, [this] {
        Globals().SaveFolderDialogCancelled = true;
        reject();
    });
    Form_Load();
}

bool fSeleFileSavePath::ask(QWidget* owner)
{
    fSeleFileSavePath dialog(owner);
    const bool confirmed = dialog.exec() == QDialog::Accepted;
    Globals().SaveFolderDialogCancelled = !confirmed;
    return confirmed;
}

void fSeleFileSavePath::Form_Load()
{
    if (Globals().UseOriginalFileName) Option1->setChecked(true);
    LoadComboFromFile(Combo1, historyFile());
    FitComboDropWidth(Combo1);
    Combo1->setEditText(Globals().SaveFolder);
    Globals().SaveFolderDialogCancelled = true;
}

void fSeleFileSavePath::Command1_Click()
{
    Combo1->setEditText(
        BrowseForFolder(this, Combo1->currentText(), QStringLiteral("请选择要浏览的文件夹:"), false));
}

void fSeleFileSavePath::Command2_Click()
{
    GlobalState& g = Globals();
    g.UseOriginalFileName = Option1->isChecked();
    // "~/Papers" is the home folder's Papers; a relative path would be made wherever the program runs.
    const QString typed = ExpandHomeFolder(TrimSpaces(Combo1->currentText()));
    if (!QDir::isAbsolutePath(typed)) {
        MsgBox(this, QStringLiteral("请输入完整的文件夹路径！"), PromptIcon::Critical);
        return;
    }
    const QString requested = WithTrailingSeparator(typed);
    const QString folder = CreateFolderPath(requested, this);
    Combo1->setEditText(folder);
    // A folder made only part of the way (a segment unusable as a name) is not the folder asked
    // for: saving into its parent instead would put the files where the user did not choose.
    const bool whole =
        !folder.isEmpty() && folder.count(PathSeparator()) == requested.chopped(1).count(PathSeparator());
    if (!whole) {
        MsgBox(this, QStringLiteral("文件夹设置错误！"), PromptIcon::Critical);
        return;
    }
    g.SaveFolder = WithTrailingSeparator(folder);
    SaveSetting(Setting::SaveFolder(), g.SaveFolder);
    g.SaveFolderDialogCancelled = false;
    Combo1->addItem(TrimSpaces(folder));
    SaveComboToFile(Combo1, historyFile());
    accept();
}

} // namespace Lunovex
