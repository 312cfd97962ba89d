#include "AddBookWindow.h"
#include "AppFixture.h"
#include "AppState.h"
#include "DBGridEh.h"
#include "DbWorker.h"
#include "EventConsole.h"
#include "FbDatabase.h"
#include "FbQuery.h"
#include "FbTransaction.h"
#include "LangStr.h"
#include "LibrarySchema.h"
#include "Language.h"
#include "MainWindow.h"
#include "Settings.h"
#include "SettingsList.h"
#include "SqlPage.h"
#include "TestLibrary.h"
#include "UserPrompts.h"
#include "ViewBookWindow.h"
#include "ui_MainWindow.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QProgressDialog>
#include <QScrollBar>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

namespace {

void execute(const QString &sql)
{
    FbQuery q(MainF->IBDatabase1());
    q.setSqlText(sql);
    q.execSQL();
}

void addBookAndLoan()
{
    execute(QStringLiteral("INSERT INTO book (title, author, iyear, publisher, genre)  VALUES ('T', 'A', '2001', 'P', "
                           "'G')"));
    execute(QStringLiteral("INSERT INTO given (given_id, given_to, given_date) SELECT id, 'Ann', '2026-12-01' FROM book"));
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void opensOnBookPageWithBooks();
    void longBookListCanBeStopped_data();
    void longBookListCanBeStopped();
    void rerunGoesStraightToTheNewRows();
    void loanListShownAfterStart();
    void closingSequence_data();
    void closingSequence();
    void countersEmptyUntilFirstTick();
    void bookCountRunsOnlyAtTickAfterChange();
    void connectionIndicators();
    void lostConnectionShownAndMadeAnew();
    void libraryOpenInAnotherProgram();
    void libraryWithoutIndexesGetsThemOnce();
    void closeDuringIndexBuildLosesNothing();
    void shortcutsFromFocusedEditField_data();
    void shortcutsFromFocusedEditField();
    void pageLinksAndColours();
    void leftFrameCollapseFollowsSettings();
    void collapsedStripExpandsOnClick();
    void navigatorFollowsPageOnShow();
    void sqlLabelDoubleClickKeepsLinkColours();
    void consoleSlidesInToFortyEight();
    void everyWindowSwitchesLanguage();
    void profilePathAcceptance_data();
    void profilePathAcceptance();
};

void TestMainWindow::opensOnBookPageWithBooks()
{
    AppFixture app;
    app.start(false);
    MainF->setActivePage(2); // a start page chosen in the settings does not survive the first show
    execute(QStringLiteral("INSERT INTO book (title, author, iyear, publisher, genre)  VALUES ('Кобзар', 'Шевченко', "
                           "'1840', 'Дніпро', 'Поезія')"));
    MainF->show();
    Ui::TMainF *ui = MainF->form();
    QCOMPARE(ui->PageControl1->currentIndex(), 0);
    QVERIFY(MainF->IBQuery1()->active());
    QCOMPARE(ui->DBGridEh1->model()->data(ui->DBGridEh1->model()->index(0, 0)).toString(), QStringLiteral("Кобзар"));
    QCOMPARE(AppFixture::consoleMessages().last(), QStringLiteral("{SQL} select * from BOOK"));
    QCOMPARE(MainF->BookBaseSql(), QStringLiteral("select * from BOOK\r\n"));
    QCOMPARE(ui->DBGridEh1->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Id"));
    QCOMPARE(ui->DBGridEh1->model()->columnCount(), 10);
}

void TestMainWindow::loanListShownAfterStart()
{
    AppFixture app;
    app.start(false);
    addBookAndLoan();
    MainF->show();
    // Not read until the page is first seen: starting and book moves do not wait for it.
    QVERIFY(MainF->IBQuery1()->active());
    QVERIFY(!MainF->IBQuery5()->active());
    MainF->LeftGivenBooksLnkClick();
    Ui::TMainF *ui = MainF->form();
    QVERIFY(MainF->IBQuery5()->active());
    QCOMPARE(ui->DBGridEh2->model()->rowCount(), 1);
    QCOMPARE(ui->DBGridEh2->model()->data(ui->DBGridEh2->model()->index(0, 2)).toString(), QStringLiteral("Ann"));
    // Opened as a refresh opens it: orderings apply to it, and the book list was loaded first.
    QVERIFY(MainF->GivenBaseSql().startsWith(QStringLiteral("SELECT given.given_id")));
    QVERIFY(MainF->IBQuery1()->active());

    // Back on the book page, moves leave the loans alone until their page is shown again.
    execute(QStringLiteral("INSERT INTO book (title, author, iyear, publisher, genre) VALUES ('Second', 'A', '2002', "
                           "'P', 'G')"));
    execute(QStringLiteral("INSERT INTO given (given_id, given_to) SELECT id, 'Bob' FROM book WHERE title = 'Second'"));
    MainF->LeftBooksLnkClick();
    MainF->LeftRefreshAllLbClick();
    QSignalSpy reopened(MainF->IBQuery5(), &FbQuery::opened);
    MainF->IBQuery1()->next();
    MainF->IBQuery1()->first();
    QCOMPARE(reopened.count(), 0);
    QCOMPARE(ui->DBGridEh2->model()->rowCount(), 1);
    MainF->LeftGivenBooksLnkClick();
    QCOMPARE(reopened.count(), 1);
    QCOMPARE(ui->DBGridEh2->model()->rowCount(), 2);
    MainF->IBQuery1()->next();
    QCOMPARE(reopened.count(), 2);
}

void TestMainWindow::closingSequence_data()
{
    QTest::addColumn<bool>("closeAfterAdding");
    QTest::addColumn<QString>("autolog");
    QTest::newRow("option on, autolog on") << true << QStringLiteral("1");
    QTest::newRow("option off, autolog off") << false << QStringLiteral("0");
}

void TestMainWindow::closingSequence()
{
    QFETCH(bool, closeAfterAdding);
    QFETCH(QString, autolog);
    AppFixture app;
    QFile oldLog(app.path(QStringLiteral("logfile.txt")));
    QVERIFY(oldLog.open(QIODevice::WriteOnly));
    oldLog.write("old\r\n");
    oldLog.close();
    QFile marker(app.path(QStringLiteral(".add")));
    QVERIFY(marker.open(QIODevice::WriteOnly));
    marker.close();
    app.start();
    QVERIFY(add->findChild<QCheckBox *>(QStringLiteral("CheckBox1"))->isChecked()); // read from .add
    add->findChild<QCheckBox *>(QStringLiteral("CheckBox1"))->setChecked(closeAfterAdding);
    settingsList().setValue(QStringLiteral("Autolog"), autolog);
    app.closeMainWindow();

    QCOMPARE(QFile::exists(app.path(QStringLiteral(".add"))), closeAfterAdding);
    if (closeAfterAdding)
        QCOMPARE(QFileInfo(app.path(QStringLiteral(".add"))).size(), 0);
    QVERIFY(QFile::exists(app.path(QStringLiteral(".dbconnection"))));
    QFile log(app.path(QStringLiteral("logfile.txt")));
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QByteArray bytes = log.readAll();
    if (autolog == QLatin1String("1")) {
        QVERIFY(bytes.endsWith(": Work ending;\r\n"));
        QCOMPARE(bytes.count("\r\n"), EventConsole::lines().size());
    } else {
        QCOMPARE(bytes, QByteArray("old\r\n"));
    }
}

void TestMainWindow::countersEmptyUntilFirstTick()
{
    AppFixture app;
    app.start();
    addBookAndLoan();
    Ui::TMainF *ui = MainF->form();
    QVERIFY(ui->lbBookCount->text().isEmpty());
    QVERIFY(ui->lbGivenBookCount->text().isEmpty());
    QVERIFY(ui->Label8->isHidden());
    MainF->Timer2Timer();
    QTRY_COMPARE(ui->lbBookCount->text(), QStringLiteral("1"));
    QCOMPARE(ui->lbGivenBookCount->text(), QStringLiteral("1"));
    QVERIFY(!ui->Label8->isHidden());
    // The total follows the book list once open; the loan count only after it was closed.
    execute(QStringLiteral("DELETE FROM given"));
    execute(QStringLiteral("INSERT INTO book (title, author, iyear, publisher, genre)  VALUES ('U', 'A', '2001', "
                           "'P', 'G')"));
    MainF->RefreshBooks();
    MainF->Timer2Timer();
    QTRY_COMPARE(ui->lbBookCount->text(), QStringLiteral("2"));
    QCOMPARE(ui->lbGivenBookCount->text(), QStringLiteral("1"));
    MainF->ConnectDatabase();
    MainF->Timer2Timer();
    QTRY_COMPARE(ui->lbGivenBookCount->text(), QStringLiteral("0"));
    QVERIFY(ui->Label8->isHidden());
    QVERIFY(ui->lbGivenBookCount->isHidden());
}

void TestMainWindow::bookCountRunsOnlyAtTickAfterChange()
{
    AppFixture app;
    app.start();
    for (const char *title : {"A", "B", "C"})
        execute(QStringLiteral("INSERT INTO book (title, author, iyear, publisher, genre) VALUES ('%1', 'A', '2001', "
                               "'P', 'G')")
                    .arg(QLatin1String(title)));
    MainF->RefreshBooks();
    Ui::TMainF *ui = MainF->form();
    auto *counter = MainF->findChild<DbWorker *>(QStringLiteral("CounterWorker"));
    QVERIFY(counter);
    QSignalSpy counts(counter, &DbWorker::finished);
    MainF->Timer2Timer();
    QTRY_COMPARE(ui->lbBookCount->text(), QStringLiteral("3"));
    QCOMPARE(counts.count(), 1);

    // Moves count nothing; the tick after them counts once, an idle tick not at all.
    MainF->IBQuery1()->next();
    MainF->IBQuery1()->next();
    QVERIFY(!counter->running());
    MainF->Timer2Timer();
    QTRY_COMPARE(counts.count(), 2);
    MainF->Timer2Timer();
    QVERIFY(!counter->running());
    QCOMPARE(counts.count(), 2);

    // A change made on the SQL page, without a reload, shows at the next tick.
    MainF->sqlPage()->findChild<QRadioButton *>(QStringLiteral("rbWrite"))->setChecked(true);
    MainF->sqlPage()->edSQL()->setText(
        QStringLiteral("INSERT INTO book (title, author, iyear, publisher, genre) VALUES ('D', 'A', '2001', 'P', 'G')"));
    QTest::mouseClick(MainF->sqlPage()->findChild<QPushButton *>(QStringLiteral("SqlOkBtn")), Qt::LeftButton);
    QCOMPARE(ui->lbBookCount->text(), QStringLiteral("3"));
    QTRY_VERIFY(!MainF->sqlPage()->worker()->running());
    MainF->Timer2Timer();
    QTRY_COMPARE(ui->lbBookCount->text(), QStringLiteral("4"));

    execute(QStringLiteral("DELETE FROM book WHERE title = 'A'"));
    MainF->RefreshBooks();
    MainF->Timer2Timer();
    QTRY_COMPARE(ui->lbBookCount->text(), QStringLiteral("3"));
    // Every count ran beside the window, none on its own attachment.
    QCOMPARE(MainF->IBQuery3()->totalFetched(), 0);
}

void TestMainWindow::connectionIndicators()
{
    AppFixture app;
    app.start();
    Ui::TMainF *ui = MainF->form();
    QVERIFY(MainF->IBDatabase1()->connected());
    QTRY_VERIFY_WITH_TIMEOUT(ui->ConnectedImg->isVisibleTo(MainF), 1500);
    QVERIFY(ui->lbSQL->isVisibleTo(MainF));
    MainF->ConnectedImgClick();
    QVERIFY(!MainF->IBDatabase1()->connected());
    QVERIFY(!MainF->IBQuery1()->active()); // closing the connection closes every list
    QVERIFY(ui->lbBookCount->text().isEmpty());
    QTRY_VERIFY_WITH_TIMEOUT(!ui->lbSQL->isVisibleTo(MainF), 700);
    QTRY_VERIFY_WITH_TIMEOUT(ui->DisconnectedImg->isVisibleTo(MainF), 1500);
    QVERIFY(!ui->ConnectedImg->isVisibleTo(MainF));
    MainF->DisconnectedImgClick();
    QVERIFY(MainF->IBDatabase1()->connected());
    QCOMPARE(ui->lbBookCount->text(), QStringLiteral("0"));
    QCOMPARE(MainF->windowTitle(), QStringLiteral("::: Bibliora  v2.3 ::: BETA_04 Application preview - ") +
                                       MainF->IBDatabase1()->databaseName());
}

void TestMainWindow::longBookListCanBeStopped_data()
{
    QTest::addColumn<bool>("bySignal"); // as a termination signal stops every worker
    QTest::newRow("Cancel") << false;
    QTest::newRow("signal") << true;
}

// A list whose first row would take hours: the window's timers go on, Cancel (or a termination
// signal) stops it in the engine, and the next reload works.
void TestMainWindow::longBookListCanBeStopped()
{
    QFETCH(bool, bySignal);
    AppFixture app;
    app.start();
    addBookAndLoan();
    MainF->RefreshBooks();
    QCOMPARE(MainF->form()->DBGridEh1->model()->rowCount(), 1);
    const QString everyBook = MainF->CurrentBookSql();
    MainF->setCurrentBookSql(QStringLiteral("select book.* from rdb$database left join book on 1 = 1 where (select "
                                            "count(*) from rdb$fields a, rdb$fields b, rdb$fields c, rdb$fields d) > 0"));
    UserPrompts::clearShownMessages();
    // While the window waits, the list shows no rows of the statement before.
    int rowsWhileWaiting = -1;
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, [&] {
        if (MainF->findChild<QProgressDialog *>())
            rowsWhileWaiting = MainF->form()->DBGridEh1->model()->rowCount();
    });
    look.start(10);
    {
        const ProgressStopper stopper(bySignal, 3);
        MainF->RefreshBooks();
        QVERIFY(stopper.ticks() >= 3);
    }
    QCOMPARE(rowsWhileWaiting, 0);
    QCOMPARE(AppFixture::consoleMessages().last(), QStringLiteral("Reading the book list was stopped"));
    QCOMPARE(UserPrompts::shownMessages(), QStringList());
    QVERIFY(!MainF->IBQuery1()->active());

    MainF->setCurrentBookSql(everyBook);
    MainF->RefreshBooks();
    QVERIFY(MainF->IBQuery1()->active());
    QVERIFY(!MainF->findChild<QProgressDialog *>());
}

// A reload, a search or an ordering that answers at once takes the grid from the old rows to
// the new: no empty list, no one-row list, no scroll bar that goes and comes back between.
void TestMainWindow::rerunGoesStraightToTheNewRows()
{
    AppFixture app;
    app.start();
    for (int i = 0; i < 150; ++i)
        execute(QStringLiteral("INSERT INTO book (title, author, iyear, publisher, genre) VALUES ('T%1', 'A', '2001', "
                               "'P', 'G')")
                    .arg(i, 3, 10, QLatin1Char('0')));
    DBGridEh *grid = MainF->form()->DBGridEh1;
    MainF->RefreshBooks();
    QTRY_VERIFY(grid->verticalScrollBar()->maximum() > 0);
    const int shown = grid->model()->rowCount();
    QVector<int> rowsAtReset;
    QObject::connect(grid->model(), &QAbstractItemModel::modelReset, grid,
                     [&] { rowsAtReset << grid->model()->rowCount(); });
    QVector<int> scrollMaximum;
    QObject::connect(grid->verticalScrollBar(), &QScrollBar::rangeChanged, grid,
                     [&](int, int maximum) { scrollMaximum << maximum; });
    MainF->RefreshBooks();
    MainF->setCurrentBookSql(QStringLiteral("SELECT * FROM book ORDER BY title DESC"));
    MainF->RefreshBooks();
    QCOMPARE(rowsAtReset, QVector<int>({shown, shown}));
    QVERIFY2(!scrollMaximum.contains(0), qPrintable(QString::number(scrollMaximum.size())));
    QCOMPARE(MainF->IBQuery1()->fieldText(QStringLiteral("TITLE")), QStringLiteral("T149"));

    // A statement the engine refuses leaves the list closed and empty.
    UserPrompts::clearShownMessages();
    MainF->setCurrentBookSql(QStringLiteral("SELECT * FROM no_such_table"));
    emit MainF->form()->GeneralRefreshImg->clicked();
    QCOMPARE(UserPrompts::shownMessages().size(), 1);
    QVERIFY(!MainF->IBQuery1()->active());
    QCOMPARE(grid->model()->rowCount(), 0);
}

void TestMainWindow::lostConnectionShownAndMadeAnew()
{
    AppFixture app;
    app.start();
    Ui::TMainF *ui = MainF->form();
    QVERIFY(MainF->IBDatabase1()->connected());
    // The attachment is ended from outside, as a stopped server or a shut-down database ends it.
    {
        FbDatabase admin;
        FbTransaction tr(&admin);
        admin.setDatabaseName(MainF->IBDatabase1()->databaseName());
        admin.setParams(TestLibrary::defaultParams());
        FbQuery kill(&admin);
        kill.setSqlText(QStringLiteral("DELETE FROM mon$attachments WHERE mon$attachment_id <> current_connection "
                                       "AND mon$system_flag = 0"));
        kill.execSQL();
    }
    UserPrompts::clearShownMessages();
    emit ui->GeneralRefreshImg->clicked();
    QCOMPARE(UserPrompts::shownMessages().size(), 1);
    const QStringList said = UserPrompts::shownMessages().first().split(QLatin1Char('\r'));
    QCOMPARE(said.first(), QStringLiteral("The connection to the library has been lost. It will be made anew with "
                                          "the next action."));
    QVERIFY(said.size() > 1 && !said.at(1).isEmpty()); // the engine's own text below
    QVERIFY(!MainF->IBDatabase1()->connected());
    QTRY_VERIFY_WITH_TIMEOUT(ui->DisconnectedImg->isVisibleTo(MainF), 1500);

    emit ui->GeneralRefreshImg->clicked();
    QCOMPARE(UserPrompts::shownMessages().size(), 1);
    QVERIFY(MainF->IBDatabase1()->connected());
    QVERIFY(MainF->IBQuery1()->active());
    QTRY_VERIFY_WITH_TIMEOUT(ui->ConnectedImg->isVisibleTo(MainF), 1500);
}

void TestMainWindow::libraryOpenInAnotherProgram()
{
    AppFixture app;
    QProcess other;
    other.start(QStringLiteral(CHILD_PROCESS), {QStringLiteral("hold"), app.path(QStringLiteral("LIBRARY.GDB"))});
    QVERIFY(other.waitForReadyRead(20000));
    QCOMPARE(other.readLine().trimmed(), QByteArray("ready"));
    app.start();
    other.kill();
    other.waitForFinished();

    QVERIFY(!UserPrompts::shownMessages().isEmpty());
    const QStringList said = UserPrompts::shownMessages().first().split(QLatin1Char('\r'));
    QCOMPARE(said.first(), QStringLiteral("The library is open in another program. Close it there and try again."));
    QVERIFY2(said.value(1).contains(QLatin1String("already opened")), qPrintable(said.value(1)));
    QVERIFY(!MainF->IBDatabase1()->connected());
}

void TestMainWindow::libraryWithoutIndexesGetsThemOnce()
{
    AppFixture::Files files;
    files.profile = true;
    AppFixture app(files);
    TestLibrary::dropOrderingIndexes(app.path(QStringLiteral("LIBRARY.GDB")));
    app.start();
    // The window is up with its list while the indexes are built beside it.
    QVERIFY(MainF->IBQuery1()->active());
    const QString adding = QStringLiteral("Adding indexes for arranging the book list ...");
    const QString added = QStringLiteral("Indexes for arranging the book list added");
    QTRY_VERIFY(AppFixture::consoleMessages().contains(added));
    QStringList log = AppFixture::consoleMessages();
    QCOMPARE(log.count(adding), 1);
    QCOMPARE(log.count(added), 1);
    QVERIFY(log.indexOf(added) > log.indexOf(adding));
    QVERIFY(log.filter(QStringLiteral("Adding index 1 of 19 ")).size() == 1);
    QVERIFY(LibrarySchema::missingIndexes(*MainF->IBDatabase1()).isEmpty());

    MainF->ConnectDatabase();
    QVERIFY(!MainF->findChild<DbWorker *>(QStringLiteral("IndexWorker"))->running()
            || MainF->findChild<DbWorker *>(QStringLiteral("IndexWorker"))->wait(60000));
    log = AppFixture::consoleMessages();
    QCOMPARE(log.count(adding), 1);
    QCOMPARE(log.count(added), 1);
}

void TestMainWindow::closeDuringIndexBuildLosesNothing()
{
    AppFixture::Files files;
    files.profile = true;
    const QString keep = QDir(QDir::tempPath()).filePath(QStringLiteral("bibliora-index-close-%1.gdb")
                                                             .arg(QCoreApplication::applicationPid()));
    QFile::remove(keep);
    const int books = 60000;
    {
        AppFixture app(files);
        const QString library = app.path(QStringLiteral("LIBRARY.GDB"));
        {
            FbDatabase db;
            FbTransaction tr(&db);
            db.setDatabaseName(library);
            db.setParams(TestLibrary::defaultParams());
            FbQuery fill(&db);
            fill.setSqlText(QStringLiteral("EXECUTE BLOCK AS DECLARE i INT = 0; BEGIN WHILE (i < %1) DO BEGIN "
                                           "INSERT INTO book (title, author, iyear, publisher, genre, description) "
                                           "VALUES ('Title ' || :i, 'Author ' || MOD(:i * 7, 1000), '2001', 'P', "
                                           "'G', 'A description of book ' || :i); i = i + 1; END END")
                                .arg(books));
            fill.execSQL();
            db.close();
        }
        TestLibrary::dropOrderingIndexes(library);
        app.start();
        auto *indexer = MainF->findChild<DbWorker *>(QStringLiteral("IndexWorker"));
        QVERIFY(indexer->running());
        // Closed as soon as the build has begun: the closing waits for the worker to give up.
        QSignalSpy begun(indexer, &DbWorker::progress);
        QVERIFY(begun.wait(60000));
        app.closeMainWindow();
        QVERIFY(!indexer->running());
        const QStringList log = AppFixture::consoleMessages();
        QVERIFY2(!log.filter(QStringLiteral("Not all indexes for arranging the book list were added")).isEmpty(),
                 qPrintable(log.join(QLatin1Char('\n'))));
        MainF->IBDatabase1()->close();
        QVERIFY(QFile::copy(library, keep));
    }
    FbDatabase db;
    FbTransaction tr(&db);
    db.setDatabaseName(keep);
    db.setParams(TestLibrary::defaultParams());
    QVERIFY(!LibrarySchema::missingIndexes(db).isEmpty());
    QCOMPARE(TestLibrary::rows(db, QStringLiteral("SELECT count(*) FROM book")), QStringList{QString::number(books)});
    db.close();

    // The next start builds what is missing and nothing else.
    AppFixture again(files);
    QVERIFY(QFile::remove(again.path(QStringLiteral("LIBRARY.GDB"))));
    QVERIFY(QFile::rename(keep, again.path(QStringLiteral("LIBRARY.GDB"))));
    again.start();
    QTRY_VERIFY_WITH_TIMEOUT(
        AppFixture::consoleMessages().contains(QStringLiteral("Indexes for arranging the book list added")), 120000);
    QVERIFY(LibrarySchema::missingIndexes(*MainF->IBDatabase1()).isEmpty());
}

void TestMainWindow::shortcutsFromFocusedEditField_data()
{
    QTest::addColumn<QKeySequence>("keys");
    QTest::addColumn<QString>("window");
    QTest::newRow("Ctrl+A add book") << QKeySequence(QStringLiteral("Ctrl+A")) << QStringLiteral("add");
    QTest::newRow("Ctrl+E edit book") << QKeySequence(QStringLiteral("Ctrl+E")) << QStringLiteral("cng");
    QTest::newRow("Ctrl+D delete book") << QKeySequence(QStringLiteral("Ctrl+D")) << QStringLiteral("del");
    QTest::newRow("Ctrl+S settings") << QKeySequence(QStringLiteral("Ctrl+S")) << QStringLiteral("Settings");
    QTest::newRow("Ctrl+B view book") << QKeySequence(QStringLiteral("Ctrl+B")) << QStringLiteral("ViewF");
}

void TestMainWindow::shortcutsFromFocusedEditField()
{
    QFETCH(QKeySequence, keys);
    QFETCH(QString, window);
    AppFixture app;
    app.start();
    MainF->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(MainF));
    MainF->LeftSqlLnkClick();
    QLineEdit *edSQL = MainF->sqlPage()->edSQL();
    edSQL->setText(QStringLiteral("select 1 from rdb$database"));
    edSQL->setFocus();
    QTRY_VERIFY(edSQL->hasFocus());
    QTest::keySequence(edSQL, keys);
    QWidget *shown = nullptr;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->objectName() == window)
            shown = w;
    QVERIFY2(shown && shown->isVisible(), qPrintable(window));
    QVERIFY(!edSQL->hasSelectedText()); // the edit field did not take the key
}

void TestMainWindow::pageLinksAndColours()
{
    AppFixture app;
    app.start();
    Ui::TMainF *ui = MainF->form();
    const QColor blue(0, 0, 255);
    const QColor gray(128, 128, 128);
    MainF->LeftInfoLnkClick();
    QCOMPARE(ui->PageControl1->currentIndex(), 2);
    QCOMPARE(ui->LeftInfoLnk->textColor(), blue);
    QCOMPARE(ui->LeftBooksLnk->textColor(), gray);
    ui->PageControl1->setCurrentIndex(1); // a tab header click colours the same way
    QCOMPARE(ui->LeftGivenBooksLnk->textColor(), blue);
    QCOMPARE(ui->LeftInfoLnk->textColor(), gray);
    emit ui->LeftGivenBooksLnk->mouseEntered();
    QCOMPARE(ui->LeftGivenBooksLnk->textColor(), QColor(255, 0, 0));
    emit ui->LeftGivenBooksLnk->mouseLeft();
    QCOMPARE(ui->LeftGivenBooksLnk->textColor(), blue);
    // Refresh does nothing on the information page.
    MainF->LeftInfoLnkClick();
    const int lines = EventConsole::lines().size();
    MainF->GeneralRefreshImgClick();
    QCOMPARE(EventConsole::lines().size(), lines);
}

void TestMainWindow::leftFrameCollapseFollowsSettings()
{
    AppFixture app;
    app.start();
    Ui::TMainF *ui = MainF->form();
    // A click on the pictures themselves: the release that collapses must not expand again.
    QTest::mouseClick(ui->LeftHideImg, Qt::LeftButton, {}, ui->LeftHideImg->rect().center());
    QCOMPARE(ui->MainLeftFrame->width(), 10);
    QVERIFY(!ui->Panel12->isEnabled());
    QVERIFY(ui->LeftUnhideImg->isVisibleTo(MainF));
    QVERIFY(Settings->findChild<QCheckBox *>(QStringLiteral("SettingsHideLeftFrame"))->isChecked());
    QApplication::processEvents();
    QTest::mouseClick(ui->LeftUnhideImg, Qt::LeftButton, {}, ui->LeftUnhideImg->rect().center());
    QCOMPARE(ui->MainLeftFrame->width(), 185);
    QVERIFY(ui->Panel13->isEnabled());
    QVERIFY(!Settings->findChild<QCheckBox *>(QStringLiteral("SettingsHideLeftFrame"))->isChecked());
}

void TestMainWindow::collapsedStripExpandsOnClick()
{
    AppFixture app;
    app.start();
    Ui::TMainF *ui = MainF->form();
    MainF->LeftHideImgClick();
    QApplication::processEvents();
    // The expand picture fills the strip's width instead of peeping out of its margins.
    QCOMPARE(ui->LeftUnhideImg->mapTo(ui->MainLeftFrame, QPoint(0, 0)).x(), 0);
    QCOMPARE(ui->LeftUnhideImg->width(), 10);
    // Anywhere on the strip, far from the picture, a click brings the frame back.
    QTest::mouseClick(ui->MainLeftFrame, Qt::LeftButton, {}, QPoint(5, 40));
    QCOMPARE(ui->MainLeftFrame->width(), 185);
    QVERIFY(ui->Panel12->isEnabled() && ui->Panel12->isVisibleTo(MainF));
    QVERIFY(!Settings->findChild<QCheckBox *>(QStringLiteral("SettingsHideLeftFrame"))->isChecked());
    // Expanded, a click on the frame's background does nothing.
    QTest::mouseClick(ui->MainLeftFrame, Qt::LeftButton, {}, QPoint(5, ui->MainLeftFrame->height() - 40));
    QCOMPARE(ui->MainLeftFrame->width(), 185);
}

void TestMainWindow::navigatorFollowsPageOnShow()
{
    AppFixture app;
    app.start();
    Ui::TMainF *ui = MainF->form();
    MainF->IBQuery5()->close();
    MainF->LeftGivenBooksLnkClick();
    MainF->DBNavigator1BeforeAction(); // a navigator click binds it to the (closed) loan list
    QCOMPARE(ui->DBNavigator1->dataSource(), MainF->DataSource4());
    MainF->LeftBooksLnkClick();
    QCOMPARE(ui->DBNavigator1->dataSource(), MainF->DataSource1());
    ui->PageControl1->setCurrentIndex(1); // by a tab header too
    QCOMPARE(ui->DBNavigator1->dataSource(), MainF->DataSource4());
    MainF->LeftInfoLnkClick(); // other pages keep the binding
    QCOMPARE(ui->DBNavigator1->dataSource(), MainF->DataSource4());
}

void TestMainWindow::sqlLabelDoubleClickKeepsLinkColours()
{
    AppFixture app;
    app.start();
    Ui::TMainF *ui = MainF->form();
    QTRY_VERIFY(ui->lbSQL->isVisible());
    QTest::mouseDClick(ui->lbSQL, Qt::LeftButton);
    QCOMPARE(ui->PageControl1->currentIndex(), 3);
    QCOMPARE(ui->LeftBooksLnk->textColor(), QColor(0, 0, 255));
    QCOMPARE(ui->LeftSqlLnk->textColor(), QColor(128, 128, 128));
}

void TestMainWindow::consoleSlidesInToFortyEight()
{
    AppFixture app;
    app.start();
    Ui::TMainF *ui = MainF->form();
    MainF->setConsoleShown(false);
    QCOMPARE(ui->MainBottomFrame->height(), 0);
    MainF->setConsoleShown(true);
    QTRY_COMPARE(ui->MainBottomFrame->maximumHeight(), 48);
    QTest::qWait(50);
    QCOMPARE(ui->MainBottomFrame->maximumHeight(), 48);
}

void TestMainWindow::everyWindowSwitchesLanguage()
{
    AppFixture app;
    app.start();
    Ui::TMainF *ui = MainF->form();
    for (const char *language : {"ru", "ua", "en"}) {
        settingsList().setValue(QStringLiteral("Language"), QString::fromLatin1(language));
        ApplyLanguage();
        QCOMPARE(ui->LeftAddLnk->text(), LangStr(QStringLiteral("laddb")));
        QCOMPARE(ui->LeftCaption1->text(), QStringLiteral("  ") + LangStr(QStringLiteral("lbkoprs")));
        QCOMPARE(ui->N5->text().remove(QLatin1Char('&')), LangStr(QStringLiteral("lsettings")));
        QCOMPARE(ui->DBGridEh1->model()->headerData(0, Qt::Horizontal).toString(), LangStr(QStringLiteral("ltitle")));
        QCOMPARE(Settings->findChild<QPushButton *>(QStringLiteral("Button1"))->text(), LangStr(QStringLiteral("wapply")));
    }
    QCOMPARE(ui->LeftAddLnk->text(), QStringLiteral("Add book"));
}

void TestMainWindow::profilePathAcceptance_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("mixed-case extension") << QStringLiteral("Other.GDb") << QStringLiteral("Other.GDb") << true;
    QTest::newRow("other extension") << QStringLiteral("Other.fdb") << QStringLiteral("Other.fdb") << false;
    QTest::newRow("missing file") << QString() << QStringLiteral("Missing.gdb") << false;
    QTest::newRow("on a server") << QString() << QStringLiteral("books.local:/srv/LIBRARY.GDB") << true;
}

void TestMainWindow::profilePathAcceptance()
{
    QFETCH(QString, file);
    QFETCH(QString, path);
    QFETCH(bool, accepted);
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    if (!file.isEmpty()) {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    QCOMPARE(TMainF::acceptedLibraryPath(path), accepted);
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
