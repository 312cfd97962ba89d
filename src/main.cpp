#include "LoginDialog.h"
#include "MainWindow.h"
#include "RuntimeDirectory.h"
#include "Startup.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    RuntimeDirectory::prepare();
    QApplication app(argc, argv);
    installLoginDialog();
    Startup::run();
    MainF->show();
    return app.exec();
}
