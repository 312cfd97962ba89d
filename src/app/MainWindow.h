#pragma once

#include "AppState.h"

#include <QPointer>
#include <QKeySequence>
#include <QList>
#include <QMainWindow>
#include <QTimer>
#include <memory>

class BookSearchBar;
class DataSource;
class DbWorker;
class FbDatabase;
class FbQuery;
class FbTransaction;
class PrintDBGridEh;
class LoanSearchBar;
class QLineEdit;
class SqlPage;

namespace Ui {
class TMainF;
}

// The frame of the program: left navigation frame, the four pages, console, menus, timers,
// and the one connection with its queries that every window works through.
class TMainF : public QMainWindow, public MainWindowApi
{
    Q_OBJECT
public:
    static constexpr const char *kBaseTitle = "::: Bibliora  v2.3 ::: BETA_04 Application preview";
    static constexpr const char *kDesignTitle = "::: Bibliora  v2.3 ::: BETA_03  Application preview";
    static constexpr const char *kInitialBookSql = "select * from BOOK";
    static constexpr int kLeftFrameWidth = 185;
    static constexpr int kLeftFrameCollapsed = 10;

    explicit TMainF(QWidget *parent = nullptr);
    ~TMainF() override;

    Ui::TMainF *form() const { return ui.get(); }
    SqlPage *sqlPage() const { return m_sqlPage; }

    // MainWindowApi
    FbDatabase *IBDatabase1() override { return m_database; }
    FbQuery *IBQuery1() override { return m_query1; }
    FbQuery *IBQuery2() override { return m_query2; }
    FbQuery *IBQuery5() override { return m_query5; }
    FbQuery *IBQuery6() override { return m_query6; }
    DataSource *DataSource1() override { return m_source1; }
    DataSource *DataSource4() override { return m_source4; }
    FbQuery *IBQuery3() { return m_query3; }
    FbQuery *IBQuery7() { return m_query7; }
    FbTransaction *IBTransaction1() { return m_transaction; }
    PrintDBGridEh *PrintDBGridEh1() { return m_print; }

    QString CurrentBookSql() const override { return m_currentBookSql; }
    void setCurrentBookSql(const QString &sql) override { m_currentBookSql = sql; }
    QString BookBaseSql() const override { return m_bookBaseSql; }
    void setBookBaseSql(const QString &sql) override { m_bookBaseSql = sql; }
    QString GivenBaseSql() const override { return m_givenBaseSql; }
    void setGivenBaseSql(const QString &sql) override { m_givenBaseSql = sql; }

    void ConnectDatabase() override;
    void DisconnectDatabase() override;
    void UpgradeDatabaseStructure() override;
    void RefreshBooks() override;
    void RefreshGiven() override;
    void showConnectedPath(const QString &path) override;

    // What the settings window changes on the frame.
    void setClockVisible(bool visible);
    void setConsoleShown(bool shown);
    void setOpacityValue(int value); // 255: opacity off
    void showOpacityLabel(int value);
    void setTabHeaderVisible(int page, bool visible);
    void setTabsOnTop(bool onTop);
    void setActivePage(int page);
    bool leftFrameCollapsed() const;
    // A profile path the connection takes: an existing ".gdb" file (any case), or one on a server.
    static bool acceptedLibraryPath(const QString &path);

public slots:
    void LeftHideImgClick();
    void LeftUnhideImgClick();
    void LeftBooksLnkClick();
    void LeftGivenBooksLnkClick();
    void LeftInfoLnkClick();
    void LeftSqlLnkClick();
    void GeneralRefreshImgClick();
    void RefreshImgClick();
    void LeftRefreshAllLbClick();
    void Timer2Timer();
    // The counters' 12-second timer (the benchmark holds it still while it times other things).
    QTimer *counterTimer() { return &Timer2; }
    void Label5Click();
    void Label8Click();
    void Label6Click();
    void Button19Click();
    void ConnectedImgClick();
    void DisconnectedImgClick();
    void DBNavigator1BeforeAction();
    void PageControl1Change(int index);
    void Register1Click();
    void N4Click();
    void N1Click();
    void N6Click();
    void N5Click();
    void ViewBookClick();
    void Print1Click();
    void Image24Click();
    void lbSQLDblClick();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    QPointer<QWidget> m_keyWindow; // where the last shortcut was typed
    QPointer<QDialog> m_newLibraryWindow;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void FormCreate();
    void FormShow();
    void showLoansFirstSeen();
    void holdHiddenLists(int shownPage);
    void FormClose();
    void createDatabaseObjects();
    void connectSignals();
    void setupMenus();
    void setupLinks();
    void markPageLinks();
    void Timer1Timer();
    void SQLTimerTimer();
    void Timer3Timer();
    void Timer4Timer();
    void BarAnimTimerTimer();
    void reloadBooks(const QString &statement);
    void showLeftFrameCollapsed(bool collapsed);
    // F10, a lone Alt and Ctrl+Tab / Ctrl+PageDown: the menu bar and the pages by keyboard.
    bool keyboardNavigation(QObject *watched, QEvent *event);
    void openMenuBar();
    void stepPage(int step);
    // Gives a library made before the ordering indexes existed its indexes, in the background;
    // the console tells how far it has come.
    void addMissingIndexes();
    void indexProgress(qint64 done, qint64 total);
    void countsArrived(const QVariant &figures);
    void showCounters();

    std::unique_ptr<Ui::TMainF> ui;
    SqlPage *m_sqlPage = nullptr; // the contents of the page SQL
    bool m_firstShowDone = false;
    bool m_loansSeen = false;
    bool m_keepLinkColours = false;
    bool m_pressedOnCollapsedFrame = false;
    bool m_altAlone = false; // Alt went down and nothing else came yet
    BookSearchBar *m_bookBar = nullptr;
    LoanSearchBar *m_loanBar = nullptr;
    // The book total changed or may have: the next tick counts again.
    bool m_bookCountStale = false;
    // Which counters hold a figure of the open connection.
    bool m_bookCounted = false;
    bool m_givenCounted = false;
    // Off the window's thread: the counters' counts, and the indexes of an older library.
    DbWorker *m_counter = nullptr;
    DbWorker *m_indexer = nullptr;
    QList<QKeySequence> m_shortcuts;

    FbDatabase *m_database = nullptr;
    FbDatabase *m_sqlDatabase = nullptr; // follows m_database
    FbTransaction *m_transaction = nullptr;
    FbQuery *m_query1 = nullptr;
    FbQuery *m_query2 = nullptr;
    FbQuery *m_query3 = nullptr;
    FbQuery *m_query5 = nullptr;
    FbQuery *m_query6 = nullptr;
    FbQuery *m_query7 = nullptr;
    DataSource *m_source1 = nullptr;
    DataSource *m_source2 = nullptr;
    DataSource *m_source3 = nullptr;
    DataSource *m_source4 = nullptr;
    DataSource *m_source7 = nullptr;
    PrintDBGridEh *m_print = nullptr;

    QString m_currentBookSql;
    QString m_bookBaseSql;
    QString m_givenBaseSql;

    QTimer Timer1;
    QTimer Timer2;
    QTimer SQLTimer;
    QTimer Timer3;
    QTimer Timer4;
    QTimer BarAnimTimer;
};

extern TMainF *MainF;
