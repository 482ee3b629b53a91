#include "app/Application.h"
#include "app/fCover.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    Lunovex::InitApplication(app);
    Lunovex::fCover cover;
    cover.Form_Load();
    return app.exec();
}
