#include "app/Application.h"

#include "util/Product.h"

#include <QApplication>
#include <QIcon>

namespace Lunovex {

void InitApplication(QApplication& app)
{
    QCoreApplication::setOrganizationName(Product::executableName());
    QCoreApplication::setApplicationName(Product::title());
    QCoreApplication::setApplicationVersion(Product::version());
    QGuiApplication::setApplicationDisplayName(Product::title());
    // Every window takes the start window's icon, which is the application's.
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/lunovex.png")));
    // Only the start window ends the application; the main windows bring it back.
    app.setQuitOnLastWindowClosed(false);
}

} // namespace Lunovex
