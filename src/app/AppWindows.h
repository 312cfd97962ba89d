#pragma once

#include <QString>
#include <QStringList>

// The main window's ways into the other windows of the program.
enum class AppWindow {
    Settings,
    ConnectionSettings,
    Register,
    Constants,
    Fields,
    AddBook,
    ChangeBook,
    DeleteBook,
    MultiDelete,
    Lend,
    Return,
    About,
};

// Shows a window (the delete and about windows are made on first use). The lend and return
// windows open only when there is a current book or loan.
void showAppWindow(AppWindow window);

// Links between windows of different folders, made once they all exist.
void connectWindows();
// The add-book window's ties to the constant lists, the add-constant prompt and the fields window.
void connectConstantWindows();

bool viewWindowShown();
void toggleViewWindow();
void hideSplash();
void showLogViewer();

// The profile the next connection is made with, as the connection settings window holds it.
struct ConnectionRequest {
    QStringList params;
    QString databasePath;
    QString loginPrompt;
};
ConnectionRequest currentConnectionRequest();
QString connectionSettingsPath();
// Puts a path into the connection settings window and applies it there.
void applyPathInConnectionSettings(const QString &path);
void saveConnectionProfileAtExit();
void setSettingsHideLeftFrame(bool checked);
bool addWindowClosesAfterAdding();
