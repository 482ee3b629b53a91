#include "harvest/fWebSearch.h"

#include "app/Forms.h"
#include "util/Product.h"

#include <QCloseEvent>

namespace Lunovex {

fWebSearch::fWebSearch(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("fWebSearch"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(Product::windowCaption(QStringLiteral("Marlow & Vance 马洛-万斯数据检索分析")));
    resize(1000, 700);
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
