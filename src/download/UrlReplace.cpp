#include "download/UrlReplace.h"

#include "platform/Prompts.h"
#include "platform/ReportList.h"
#include "util/ControlHelpers.h"
#include "util/HeaderText.h"
#include "util/Product.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace Lunovex {

int ReplaceInAddresses(ReportList* list, const QString& find, const QString& replacement)
{
    int kept = 0;
    list->beginBatch();
    for (int row = 0; row < list->count(); ++row) {
        const QString key = QString(list->key(row)).replace(find, replacement, Qt::CaseInsensitive);
        if (key != list->key(row) && (key.isEmpty() || !list->setKey(row, key))) ++kept;
        list->setTag(row, list->tag(row).toString().replace(find, replacement, Qt::CaseInsensitive));
    }
    list->endBatch();
    return kept;
}

UrlReplace::UrlReplace(ReportList* list, QWidget* parent) : QDialog(parent), list_(list)
{
    setObjectName(QStringLiteral("UrlReplace"));
    setWindowTitle(Product::windowCaption(QStringLiteral("网址批量替换")));
    Label1 = Named(new QLabel(QStringLiteral("所有网址中的字符串："), this), "Label1");
    Text1 = Named(new QLineEdit(this), "Text1");
    Label2 = Named(new QLabel(QStringLiteral("将被全部替换为字符串："), this), "Label2");
    Text2 = Named(new QLineEdit(this), "Text2");
    Command1 = Named(new QPushButton(QStringLiteral("替换"), this), "Command1");
    Command1->setDefault(true);
    Command2 = Named(new QPushButton(QStringLiteral("取消"), this), "Command2");

    auto* grid = new QGridLayout(this);
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(Text1, 1, 0);
    grid->addWidget(Label2, 2, 0);
    grid->addWidget(Text2, 3, 0);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    grid->addLayout(buttons, 4, 0);
    setMinimumWidth(460);

    connect(Command1, &QPushButton::clicked, this, &UrlReplace::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &QDialog::reject);
}

void UrlReplace::Command1_Click()
{
    if (TrimSpaces(Text1->text()).isEmpty()) {
        MsgBox(this, QStringLiteral("请输入字符串！"), PromptIcon::Critical);
        return;
    }
    ReplaceInAddresses(list_, Text1->text(), Text2->text());
    accept();
    MsgBox(parentWidget(), QStringLiteral("全部网址替换完成！"), PromptIcon::Information);
}

} // namespace Lunovex
