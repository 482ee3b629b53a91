#include "app/frmAbout.h"

#include "app/Globals.h"
#include "util/Product.h"
#include "util/ShellHelpers.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtWebEngineCore/qtwebenginecoreglobal.h>

namespace Lunovex {

namespace {

QLabel* named(QLabel* label, const char* name)
{
    label->setObjectName(QString::fromLatin1(name));
    label->setWordWrap(true);
    return label;
}

} // namespace

frmAbout::frmAbout(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(Product::windowCaption(QStringLiteral("关于")));
    const GlobalState& g = Globals();

    LabelTitle = named(new QLabel(Product::title(), this), "LabelTitle");
    QFont big = LabelTitle->font();
    big.setPointSizeF(big.pointSizeF() * 1.4);
    big.setBold(true);
    LabelTitle->setFont(big);
    LabelVersion = named(new QLabel(QStringLiteral("版本:") + Product::version(), this), "LabelVersion");
    LabelLatest = named(new QLabel(QStringLiteral("最新版本：V") + g.LatestVersion, this), "LabelLatest");
    LabelLatest->setVisible(!g.LatestVersion.isEmpty());
    // Links open through the product's own helper, as every address the product opens does.
    LabelLinks = named(new QLabel(QStringLiteral("<a href=\"%1\">软件主页</a>　<a href=\"%2\">作者网站</a>")
                                      .arg(Product::productPage(), Product::makerHomePage()),
                                  this),
                       "LabelLinks");
    LabelLinks->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    LabelLinks->setOpenExternalLinks(false);
    connect(LabelLinks, &QLabel::linkActivated, this, [](const QString& link) { OpenUrl(link); });
    LabelComponents = named(new QLabel(QStringLiteral("Qt %1，Chromium %2")
                                           .arg(QString::fromLatin1(qVersion()),
                                                QString::fromLatin1(qWebEngineChromiumVersion())),
                                       this),
                            "LabelComponents");
    LabelSystem = named(new QLabel(QStringLiteral("系统信息：%1\n系统位数：%2位\n内嵌浏览器模拟版本：%3")
                                       .arg(g.OsDescription, g.OsBitness, g.EmulationLevelName),
                                   this),
                        "LabelSystem");
    cmdOK = new QPushButton(QStringLiteral("确定"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);

    auto* rows = new QVBoxLayout(this);
    for (QWidget* w : {static_cast<QWidget*>(LabelTitle), static_cast<QWidget*>(LabelVersion),
                       static_cast<QWidget*>(LabelLatest), static_cast<QWidget*>(LabelLinks),
                       static_cast<QWidget*>(LabelComponents), static_cast<QWidget*>(LabelSystem)})
        rows->addWidget(w);
    rows->addWidget(cmdOK, 0, Qt::AlignRight);
    setMinimumWidth(420);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
}

void ShowAboutBox(QWidget* owner)
{
    frmAbout about(owner);
    about.exec();
}

} // namespace Lunovex
