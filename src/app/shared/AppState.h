#pragma once

#include <QColor>
#include <QString>

class FbDatabase;
class FbQuery;
class DataSource;

// Values the main window holds for every window of the program.
namespace AppState {
// The current directory at start-up with a separator appended; prefix of the program's files.
QString baseDirectory();
void setBaseDirectory(const QString &directory);
// The colour in which dialog windows paint themselves when shown.
QColor themeColor();
void setThemeColor(const QColor &color);
} // namespace AppState

// The main window's shared objects and routines, for the windows of the other folders.
class MainWindowApi
{
public:
    virtual ~MainWindowApi() = default;

    virtual FbDatabase *IBDatabase1() = 0;
    virtual FbQuery *IBQuery1() = 0; // book list; the book windows run their statements through it
    virtual FbQuery *IBQuery2() = 0; // SQL page
    virtual FbQuery *IBQuery5() = 0; // loan list and loan statements
    virtual FbQuery *IBQuery6() = 0; // probe of GIVEN
    virtual DataSource *DataSource1() = 0; // current book
    virtual DataSource *DataSource4() = 0; // current loan

    virtual QString CurrentBookSql() const = 0;
    virtual void setCurrentBookSql(const QString &sql) = 0;
    virtual QString BookBaseSql() const = 0;
    virtual void setBookBaseSql(const QString &sql) = 0;
    virtual QString GivenBaseSql() const = 0;
    virtual void setGivenBaseSql(const QString &sql) = 0;

    virtual void ConnectDatabase() = 0;
    virtual void DisconnectDatabase() = 0;
    virtual void UpgradeDatabaseStructure() = 0;
    virtual void RefreshBooks() = 0;
    virtual void RefreshGiven() = 0;
    // Puts the database path into the information page and the caption after a connection.
    virtual void showConnectedPath(const QString &path) = 0;
};

MainWindowApi *mainApi();
void setMainApi(MainWindowApi *api);
