#include "LoginDialog.h"
#include "MainWindow.h"
#include "Startup.h"
#include "TerminationSignals.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    installLoginDialog();
    // A signal ends the program as closing the main window does, once the windows exist.
    bool windowsExist = false;
    bool ended = false;
    const auto end = [&] {
        if (!windowsExist || ended)
            return;
        ended = true;
        MainF->close();
        QCoreApplication::quit();
    };
    TerminationSignals::install(end);
    Startup::run();
    windowsExist = true;
    if (TerminationSignals::received())
        end();
    if (!ended)
        MainF->show(); // may wait in a message box, where a signal can end the program
    if (ended)
        return 0;
    return app.exec();
}
