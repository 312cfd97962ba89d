#include "AppFixture.h"
#include "AppState.h"
#include "DbWorker.h"
#include "DBGridEh.h"
#include "EventConsole.h"
#include "FbDatabase.h"
#include "FbQuery.h"
#include "MainWindow.h"
#include "SavedQueriesWindow.h"
#include "SqlPage.h"
#include "TerminationSignals.h"
#include "TestLibrary.h"
#include "UserPrompts.h"

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include <csignal>
#include <memory>
#include <unistd.h>

using namespace Qt::StringLiterals;

// The SQL page and the saved-queries window of one running program with the books "First",
// "Second", "Third"; each test starts from an empty statement run as "Query".
class TestSqlPage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();

    void startCreatesAnEmptyList();
    void builderButtonAppends_data();
    void builderButtonAppends();
    void fieldListAndClear();
    void builtSelectListsTheBooks();
    void parameterFollowsTheBookList();
    void writingStatementChangesTheLibrary();
    void readingStatementRunsOnceOffTheLists();
    void longStatementRunsWhole();
    void changeOfSeveralRowsKeptOnlyWhenConfirmed_data();
    void changeOfSeveralRowsKeptOnlyWhenConfirmed();
    void longStatementCanBeStopped_data();
    void longStatementCanBeStopped();
    void failingRunLogsOnceAndShowsWhy_data();
    void failingRunLogsOnceAndShowsWhy();

    void savingAppendsToTheListAndTheFile();
    void editedListIsWrittenWithTheSavedStatement();
    void emptyLastLineSurvivesLoadAndSave();
    void statementTheFileCannotHoldIsRefused();
    void clearEmptiesTheFileAtOnce();
    void unreadableFileIsKeptBeforeItIsReplaced();
    void loadShowsTheListModalAndEnterOrEscCloses_data();
    void loadShowsTheListModalAndEnterOrEscCloses();

private:
    template <typename T> static T *control(const char *name)
    {
        T *found = MainF->sqlPage()->findChild<T *>(QString::fromLatin1(name));
        if (!found)
            found = sqlF->findChild<T *>(QString::fromLatin1(name));
        return found;
    }
    static QLineEdit *edSQL() { return MainF->sqlPage()->edSQL(); }
    static void run(const QString &statement, bool reading = true);
    static void waitForStatement();
    static QStringList sqlLines();
    static QStringList gridColumn(int column);
    static QByteArray savedBytes();
    static void writeSaved(const QByteArray &bytes);
    static QPlainTextEdit *memo() { return control<QPlainTextEdit>("Memo1"); }

    std::unique_ptr<AppFixture> m_app;
};

void TestSqlPage::run(const QString &statement, bool reading)
{
    (reading ? control<QRadioButton>("rbRead") : control<QRadioButton>("rbWrite"))->setChecked(true);
    edSQL()->setText(statement);
    control<QPushButton>("SqlOkBtn")->click();
    waitForStatement();
}

void TestSqlPage::waitForStatement()
{
    QTRY_VERIFY_WITH_TIMEOUT(!MainF->sqlPage()->worker()->running(), 30000);
}

QStringList TestSqlPage::sqlLines()
{
    QStringList sql;
    for (const QString &line : EventConsole::lines()) {
        const qsizetype at = line.indexOf(u": {SQL} "_s);
        if (at >= 0)
            sql << line.mid(at + 8);
    }
    return sql;
}

QStringList TestSqlPage::gridColumn(int column)
{
    QueryModel *model = MainF->sqlPage()->DBGridEh3()->queryModel();
    QStringList texts;
    for (int row = 0; row < model->rowCount(); ++row)
        texts << model->cellText(row, column);
    return texts;
}

QByteArray TestSqlPage::savedBytes()
{
    QFile file(AppState::baseDirectory() + u"sql.txt"_s);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void TestSqlPage::writeSaved(const QByteArray &bytes)
{
    QFile file(AppState::baseDirectory() + u"sql.txt"_s);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

void TestSqlPage::initTestCase()
{
    m_app = std::make_unique<AppFixture>();
    m_app->start();
    for (const char *title : {"First", "Second", "Third"}) {
        FbQuery insert(MainF->IBDatabase1());
        insert.setSqlText(
            u"INSERT INTO book (title, author, iyear, publisher, genre) VALUES ('%1', 'A', '2001', 'P', 'G')"_s.arg(
                QString::fromLatin1(title)));
        insert.execSQL();
    }
    MainF->RefreshBooks();
    MainF->LeftSqlLnkClick();
}

void TestSqlPage::cleanupTestCase()
{
    m_app.reset();
}

void TestSqlPage::init()
{
    edSQL()->clear();
    control<QRadioButton>("rbRead")->setChecked(true);
    MainF->IBQuery2()->clearSql();
    MainF->IBQuery1()->first();
    UserPrompts::clearShownMessages();
}

void TestSqlPage::startCreatesAnEmptyList()
{
    QVERIFY(QFile::exists(m_app->path(u"sql.txt"_s)));
    QCOMPARE(savedBytes(), QByteArray());
    QCOMPARE(sqlF->lines(), QStringList());
}

void TestSqlPage::builderButtonAppends_data()
{
    QTest::addColumn<QStringList>("buttons");
    QTest::addColumn<QString>("statement");
    QTest::newRow("SELECT * FROM book") << QStringList{u"Button1"_s, u"Button17"_s, u"Button4"_s, u"Button5"_s}
                                        << u"SELECT * FROM book "_s;
    QTest::newRow("VALUES takes no blank") << QStringList{u"Button10"_s, u"Button13"_s} << u"VALUES("_s;
    QTest::newRow("INSERT INTO book") << QStringList{u"Button2"_s, u"Button9"_s, u"Button5"_s}
                                      << u"INSERT INTO book "_s;
    QTest::newRow("UPDATE SET WHERE =") << QStringList{u"Button3"_s, u"Button12"_s, u"Button7"_s, u"Button6"_s}
                                        << u"UPDATE SET WHERE  = "_s;
    QTest::newRow("DELETE and the bar") << QStringList{u"Button8"_s, u"Button11"_s} << u"DELETE  "_s;
    QTest::newRow("quote, comma, brackets")
        << QStringList{u"Button13"_s, u"Button16"_s, u"Button15"_s, u"Button16"_s, u"Button14"_s} << u"(',')"_s;
}

void TestSqlPage::builderButtonAppends()
{
    QFETCH(QStringList, buttons);
    QFETCH(QString, statement);
    for (const QString &name : buttons)
        control<QPushButton>(name.toLatin1().constData())->click();
    QCOMPARE(edSQL()->text(), statement);
    QCOMPARE(MainF->sqlPage()->focusWidget(), edSQL());
}

void TestSqlPage::fieldListAndClear()
{
    auto *fields = control<QListWidget>("SQLFields");
    QCOMPARE(fields->count(), 10);
    edSQL()->setText(u"select "_s);
    fields->setCurrentRow(9);
    emit fields->itemDoubleClicked(fields->currentItem());
    QCOMPARE(edSQL()->text(), u"select id"_s);

    control<QPushButton>("Button18")->click();
    QCOMPARE(edSQL()->text(), QString());
    QCOMPARE(MainF->sqlPage()->focusWidget(), edSQL());
}

void TestSqlPage::builtSelectListsTheBooks()
{
    for (const char *name : {"Button1", "Button17", "Button4", "Button5"})
        control<QPushButton>(name)->click();
    // Enter in the statement field runs it.
    QTest::keyClick(edSQL(), Qt::Key_Return);
    waitForStatement();
    QCOMPARE(UserPrompts::shownMessages(), QStringList());
    QCOMPARE(sqlLines().last(), u"SELECT * FROM book "_s);
    const int title = MainF->IBQuery2()->fieldIndex(u"TITLE"_s);
    QVERIFY(title >= 0);
    QCOMPARE(gridColumn(title), (QStringList{u"First"_s, u"Second"_s, u"Third"_s}));
}

void TestSqlPage::parameterFollowsTheBookList()
{
    run(u"select title from book where id = :ID"_s);
    QCOMPARE(gridColumn(0), QStringList{u"First"_s});
    const int logged = sqlLines().size();
    MainF->IBQuery1()->next();
    QCOMPARE(gridColumn(0), QStringList{u"Second"_s});
    QCOMPARE(sqlLines().size(), logged); // a re-run is no run of the user's
}

// The engine runs a reading statement once (a sequence it steps shows how often), on an
// attachment of its own: the book list's work goes on meanwhile.
void TestSqlPage::readingStatementRunsOnceOffTheLists()
{
    run(u"create sequence sql_page_runs"_s, false);
    run(u"select gen_id(sql_page_runs, 1) from rdb$database"_s);
    QCOMPARE(gridColumn(0), QStringList{u"1"_s});
    QCOMPARE(TestLibrary::rows(*MainF->IBDatabase1(), u"select gen_id(sql_page_runs, 0) from rdb$database"_s),
             QStringList{u"1"_s});
    QVERIFY(MainF->IBQuery2()->database() != MainF->IBDatabase1());
    // It follows the library the main connection opens, and closes with it.
    MainF->IBDatabase1()->close();
    QVERIFY(!MainF->IBQuery2()->database()->connected());
    MainF->ConnectDatabase();
    run(u"select count(*) from book"_s);
    QCOMPARE(MainF->IBQuery2()->database()->databaseName(), MainF->IBDatabase1()->databaseName());
    QCOMPARE(gridColumn(0), QStringList{u"3"_s});
    run(u"drop sequence sql_page_runs"_s, false);
}

void TestSqlPage::writingStatementChangesTheLibrary()
{
    run(u"update book set author = 'Changed' where title = 'Third'"_s, false);
    QCOMPARE(UserPrompts::shownMessages(), QStringList());
    QCOMPARE(MainF->IBQuery2()->active(), false);
    FbQuery check(MainF->IBDatabase1());
    check.setSqlText(u"select author from book where title = 'Third'"_s);
    check.open();
    QCOMPARE(check.fieldText(u"AUTHOR"_s), u"Changed"_s);
}

void TestSqlPage::changeOfSeveralRowsKeptOnlyWhenConfirmed_data()
{
    QTest::addColumn<QString>("statement");
    QTest::addColumn<int>("answer"); // 0: no question expected
    QTest::addColumn<QString>("question");
    QTest::addColumn<QStringList>("authors");
    QTest::addColumn<QString>("console");
    const QStringList before{u"A"_s, u"A"_s, u"A"_s};
    QTest::newRow("three rows, no") << u"update book set author = 'X'"_s << int(QMessageBox::No)
                                    << u"3 rows will be changed. Keep the change?"_s << before
                                    << u"The change was not kept; the library is as it was"_s;
    QTest::newRow("three rows, yes") << u"update book set author = 'X'"_s << int(QMessageBox::Yes)
                                     << u"3 rows will be changed. Keep the change?"_s
                                     << QStringList{u"X"_s, u"X"_s, u"X"_s} << u"Rows changed: 3"_s;
    QTest::newRow("two rows deleted, no") << u"delete from book where title <> 'First'"_s << int(QMessageBox::No)
                                          << u"2 rows will be changed. Keep the change?"_s << before
                                          << u"The change was not kept; the library is as it was"_s;
    QTest::newRow("one row, no question") << u"update book set author = 'Y' where title = 'Second'"_s << 0 << QString()
                                          << QStringList{u"A"_s, u"Y"_s, u"A"_s} << u"Rows changed: 1"_s;
    QTest::newRow("no row, no question") << u"update book set author = 'Y' where title = 'None'"_s << 0 << QString()
                                         << before << u"Rows changed: 0"_s;
}

void TestSqlPage::changeOfSeveralRowsKeptOnlyWhenConfirmed()
{
    QFETCH(QString, statement);
    QFETCH(int, answer);
    QFETCH(QString, question);
    QFETCH(QStringList, authors);
    QFETCH(QString, console);
    const auto authorsNow = [] {
        return TestLibrary::rows(*MainF->IBDatabase1(), u"select author from book order by title"_s);
    };
    // A library of three books by A; each row starts from it.
    const auto reset = [] {
        FbQuery q(MainF->IBDatabase1());
        q.setSqlText(u"delete from book"_s);
        q.execSQL();
        for (const char *title : {"First", "Second", "Third"}) {
            q.setSqlText(u"INSERT INTO book (title, author, iyear, publisher, genre) VALUES ('%1', 'A', '2001', 'P', "
                         "'G')"_s.arg(QString::fromLatin1(title)));
            q.execSQL();
        }
    };
    reset();
    if (answer)
        UserPrompts::setNextAnswer(QMessageBox::StandardButton(answer));
    control<QRadioButton>("rbWrite")->setChecked(true);
    edSQL()->setText(statement);
    QTest::keyClick(edSQL(), Qt::Key_Return);
    waitForStatement();
    QCOMPARE(UserPrompts::shownMessages(), question.isEmpty() ? QStringList() : QStringList{question});
    QVERIFY2(AppFixture::consoleMessages().contains(console), qPrintable(AppFixture::consoleMessages().join('\n')));
    // Durable as the console says: a new connection sees the same.
    MainF->ConnectDatabase();
    QCOMPARE(authorsNow(), authors);
    reset();
    MainF->RefreshBooks();
}

void TestSqlPage::longStatementCanBeStopped_data()
{
    QTest::addColumn<QString>("statement");
    QTest::addColumn<bool>("reading");
    QTest::addColumn<QString>("how"); // the Stop button, the routine a signal runs, or a real SIGTERM
    // Billions of rows: it would run for hours.
    const QString huge = u"(select count(*) from rdb$fields a, rdb$fields b, rdb$fields c, rdb$fields d)"_s;
    QTest::newRow("reading, Stop") << u"select %1 from rdb$database"_s.arg(huge) << true << u"Stop"_s;
    QTest::newRow("writing, Stop") << u"update book set author = 'Gone' where %1 > 0"_s.arg(huge) << false
                                   << u"Stop"_s;
    QTest::newRow("reading, stop all") << u"select %1 from rdb$database"_s.arg(huge) << true << u"stopAll"_s;
    QTest::newRow("writing, SIGTERM") << u"update book set author = 'Gone' where %1 > 0"_s.arg(huge) << false
                                      << u"SIGTERM"_s;
}

void TestSqlPage::longStatementCanBeStopped()
{
    QFETCH(QString, statement);
    QFETCH(bool, reading);
    QFETCH(QString, how);
    const QStringList authors = TestLibrary::rows(*MainF->IBDatabase1(), u"select author from book order by id"_s);
    (reading ? control<QRadioButton>("rbRead") : control<QRadioButton>("rbWrite"))->setChecked(true);
    edSQL()->setText(statement);
    QTest::keyClick(edSQL(), Qt::Key_Return);
    auto *stop = control<QPushButton>("SqlStopBtn");
    QVERIFY(MainF->sqlPage()->worker()->running());
    QVERIFY(stop->isVisible());
    // The window goes on: a timer of its thread fires while the engine works.
    QTimer tick;
    QSignalSpy ticks(&tick, &QTimer::timeout);
    tick.start(20);
    QTRY_VERIFY(ticks.count() >= 3);
    QVERIFY(MainF->sqlPage()->worker()->running());
    if (how == u"SIGTERM"_s) {
        // The signal may reach any thread, the engine's own handler included, while the engine
        // works; the program's routine (here: only the stopping part of it) runs on this thread.
        bool routineRan = false;
        TerminationSignals::install([&routineRan] {
            routineRan = true;
            DbWorker::stopAll();
        });
        QCOMPARE(::kill(::getpid(), SIGTERM), 0);
        QTRY_VERIFY(routineRan);
        TerminationSignals::install({});
    } else if (how == u"stopAll"_s) {
        DbWorker::stopAll();
    } else {
        QTest::mouseClick(stop, Qt::LeftButton);
    }
    waitForStatement();
    QVERIFY(!stop->isVisible());
    QCOMPARE(UserPrompts::shownMessages(), QStringList());
    QVERIFY(AppFixture::consoleMessages().contains(u"The statement was stopped"_s));
    QVERIFY(!MainF->IBQuery2()->active());
    QCOMPARE(TestLibrary::rows(*MainF->IBDatabase1(), u"select author from book order by id"_s), authors);
}

void TestSqlPage::longStatementRunsWhole()
{
    QString statement = u"select title from book where title <> '"_s;
    statement += QString(10000 - statement.size() - 1, u'x') + u"'"_s;
    QCOMPARE(statement.size(), 10000);
    run(statement);
    QCOMPARE(UserPrompts::shownMessages(), QStringList());
    QCOMPARE(sqlLines().last(), statement);
    QCOMPARE(gridColumn(0).size(), 3);
}

void TestSqlPage::failingRunLogsOnceAndShowsWhy_data()
{
    QTest::addColumn<QString>("statement");
    QTest::addColumn<bool>("reading");
    QTest::addColumn<QString>("message");
    QTest::newRow("engine refuses") << u"select * from nosuchtable"_s << true << u"NOSUCHTABLE"_s;
    QTest::newRow("empty statement") << u""_s << true << u"SQL"_s;
    QTest::newRow("reading run as Edit") << u"select * from book"_s << false
                                         << u"The statement returns rows: run it as \"Query\"."_s;
    QTest::newRow("writing run as Query")
        << u"delete from book"_s << true << u"The statement returns no rows: run it as \"Edit\"."_s;
    QTest::newRow("parameter no column of the book list")
        << u"select * from book where id = :NOPE"_s << true << u"The parameter :NOPE is no column of the book list."_s;
    QTest::newRow("unencodable character") << u"select * from book where title = '日'"_s << true << u"\"日\""_s;
}

void TestSqlPage::failingRunLogsOnceAndShowsWhy()
{
    QFETCH(QString, statement);
    QFETCH(bool, reading);
    QFETCH(QString, message);
    run(u"select title from book"_s);
    QCOMPARE(gridColumn(0).size(), 3);
    const QStringList before = sqlLines();

    run(statement, reading);
    QCOMPARE(sqlLines(), QStringList(before) << statement);
    QCOMPARE(UserPrompts::shownMessages().size(), 1);
    QVERIFY2(UserPrompts::shownMessages().first().contains(message), qPrintable(UserPrompts::shownMessages().first()));
    QCOMPARE(MainF->sqlPage()->DBGridEh3()->queryModel()->rowCount(), 0);
    // Nothing was run the wrong way: the books are all there.
    FbQuery count(MainF->IBDatabase1());
    count.setSqlText(u"select count(*) from book"_s);
    count.open();
    QCOMPARE(count.value(0, 0).toInt(), 3);
}

void TestSqlPage::savingAppendsToTheListAndTheFile()
{
    auto *save = control<QPushButton>("SQLSave");
    save->click(); // an empty statement is not saved
    QCOMPARE(savedBytes(), QByteArray());
    edSQL()->setText(u"select * from book where author = 'Гоголь'"_s);
    save->click();
    save->click();
    const QByteArray line = "select * from book where author = '\xc3\xee\xe3\xee\xeb\xfc'\r\n";
    QCOMPARE(savedBytes(), line + line);
    QCOMPARE(sqlF->lines(), QStringList(2, edSQL()->text()));
    sqlF->findChild<QAction *>(u"N3"_s)->trigger();
}

void TestSqlPage::editedListIsWrittenWithTheSavedStatement()
{
    memo()->setPlainText(u"typed in the list\nsecond line\n"_s);
    edSQL()->setText(u"select 1 from rdb$database"_s);
    control<QPushButton>("SQLSave")->click();
    QCOMPARE(savedBytes(), QByteArray("typed in the list\r\nsecond line\r\nselect 1 from rdb$database\r\n"));
    QCOMPARE(memo()->toPlainText(), u"typed in the list\nsecond line\nselect 1 from rdb$database\n"_s);
    sqlF->findChild<QAction *>(u"N3"_s)->trigger();
}

void TestSqlPage::statementTheFileCannotHoldIsRefused()
{
    writeSaved("kept\r\n");
    sqlF->findChild<QAction *>(u"N1"_s)->trigger();
    edSQL()->setText(u"select '日本' from rdb$database"_s);
    control<QPushButton>("SQLSave")->click();
    QCOMPARE(UserPrompts::shownMessages().size(), 1);
    QVERIFY(UserPrompts::shownMessages().first().contains(u"\"日\""_s));
    QCOMPARE(sqlF->lines(), QStringList{u"kept"_s});
    QCOMPARE(savedBytes(), QByteArray("kept\r\n"));
    QCOMPARE(edSQL()->text(), u"select '日本' from rdb$database"_s);
    sqlF->findChild<QAction *>(u"N3"_s)->trigger();
}

void TestSqlPage::emptyLastLineSurvivesLoadAndSave()
{
    writeSaved("one\r\n\r\n");
    sqlF->findChild<QAction *>(u"N1"_s)->trigger();
    QCOMPARE(sqlF->lines(), (QStringList{u"one"_s, u""_s}));
    sqlF->findChild<QAction *>(u"N2"_s)->trigger();
    QCOMPARE(savedBytes(), QByteArray("one\r\n\r\n"));
    sqlF->findChild<QAction *>(u"N3"_s)->trigger();
}

void TestSqlPage::clearEmptiesTheFileAtOnce()
{
    writeSaved("one\rtwo\n");
    sqlF->findChild<QAction *>(u"N1"_s)->trigger();
    QCOMPARE(sqlF->lines(), (QStringList{u"one"_s, u"two"_s}));
    sqlF->findChild<QAction *>(u"N3"_s)->trigger();
    QCOMPARE(savedBytes(), QByteArray());
    QCOMPARE(memo()->toPlainText(), QString());
}

void TestSqlPage::unreadableFileIsKeptBeforeItIsReplaced()
{
    writeSaved("in the list\r\n");
    sqlF->findChild<QAction *>(u"N1"_s)->trigger();
    const QByteArray binary("\x01\x02 not text\r\n", 13);
    writeSaved(binary);
    sqlF->findChild<QAction *>(u"N1"_s)->trigger();
    QCOMPARE(UserPrompts::shownMessages().size(), 1);
    QVERIFY(UserPrompts::shownMessages().first().contains(u"not text"_s));
    QCOMPARE(sqlF->lines(), QStringList{u"in the list"_s}); // the list as it was

    edSQL()->setText(u"select 2 from rdb$database"_s);
    control<QPushButton>("SQLSave")->click();
    QCOMPARE(savedBytes(), QByteArray("in the list\r\nselect 2 from rdb$database\r\n"));
    QFile kept(m_app->path(u"sql.txt.bak"_s));
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), binary);
    QVERIFY(AppFixture::consoleMessages().last().endsWith(u"sql.txt.bak\""_s));
    sqlF->findChild<QAction *>(u"N3"_s)->trigger();
}

void TestSqlPage::loadShowsTheListModalAndEnterOrEscCloses_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("Enter") << int(Qt::Key_Return);
    QTest::newRow("Esc") << int(Qt::Key_Escape);
}

void TestSqlPage::loadShowsTheListModalAndEnterOrEscCloses()
{
    QFETCH(int, key);
    bool shownModal = false;
    QTimer::singleShot(0, this, [&] {
        shownModal = sqlF->isVisible() && sqlF->isModal();
        QWidget *focus = sqlF->focusWidget() ? sqlF->focusWidget() : sqlF;
        QTest::keyClick(focus, Qt::Key(key));
    });
    QTimer::singleShot(3000, sqlF, &QWidget::hide); // a key that failed must not hang the test
    control<QPushButton>("SQLLoad")->click();
    QVERIFY(shownModal);
    QVERIFY(!sqlF->isVisible());
}

QTEST_MAIN(TestSqlPage)
#include "tst_sqlpage.moc"
