#include "app/Application.h"
#include "app/fCover.h"
#include "platform/Browser.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    Lunovex::Browser::prepareProcess();
    QApplication app(argc, argv);
    Lunovex::InitApplication(app);
    Lunovex::fCover cover;
    cover.Form_Load();
    return app.exec();
}
