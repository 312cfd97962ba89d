#include "DbWorker.h"
#include "LoginDialog.h"
#include "MainWindow.h"
#include "RuntimeDirectory.h"
#include "Splash.h"
#include "Startup.h"
#include "TerminationSignals.h"
#include "UserPrompts.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>

int main(int argc, char *argv[])
{
    RuntimeDirectory::prepare();
    QApplication app(argc, argv);
    installLoginDialog();
    // A signal ends the program as closing the main window does, once the windows exist.
    bool windowsExist = false;
    bool ended = false;
    const auto end = [&] {
        if (!windowsExist) {
            // Only the first run's wait for the language runs events this early: it is let go,
            // and the closing follows once start-up has returned.
            if (auto *closeAllowed =
                    SplashF ? SplashF->findChild<QCheckBox *>(QStringLiteral("CloseAllowed")) : nullptr)
                closeAllowed->setChecked(true);
            return;
        }
        if (ended)
            return;
        ended = true;
        // Long statements running off the window's thread are cancelled in the engine first.
        DbWorker::stopAll();
        // The session is ending: nobody is there to answer a message box of the closing.
        UserPrompts::setAutoAnswer(true);
        MainF->close();
        // A box or dialog waiting for the user runs a loop of its own, which quitting the
        // application does not end before the main loop runs.
        for (QWidget *window : QApplication::topLevelWidgets())
            if (auto *dialog = qobject_cast<QDialog *>(window); dialog && dialog->isVisible() && dialog->isModal())
                dialog->done(QDialog::Rejected);
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
