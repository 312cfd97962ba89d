#include "AddBookWindow.h"
#include "ChangeBookWindow.h"
#include "AppFixture.h"
#include "ConnectionSettings.h"
#include "FbDatabase.h"
#include "FbError.h"
#include "FbQuery.h"
#include "FbTransaction.h"
#include "LendWindow.h"
#include "LibrarySchema.h"
#include "LoanSchema.h"
#include "DBGridEh.h"
#include "QueryModel.h"
#include "ReturnWindow.h"
#include "MainWindow.h"
#include "UserPrompts.h"

#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTcpServer>
#include <QtTest>

#include <memory>

namespace
{

// A program's connection to the library on the server, under one account.
struct Program {
    FbDatabase db;
    FbTransaction tr{&db};
    Program(const QString &path, const QString &user, const QString &password)
    {
        db.setDatabaseName(path);
        db.setParams({QStringLiteral("user_name=") + user, QStringLiteral("password=") + password,
                      QStringLiteral("lc_ctype=WIN1251")});
    }
    void exec(const QString &sql)
    {
        FbQuery q(&db);
        q.setSqlText(sql);
        q.execSQL();
    }
    QStringList column(const QString &sql)
    {
        FbQuery q(&db);
        q.setSqlText(sql);
        q.open();
        q.fetchAll();
        QStringList values;
        for (int r = 0; r < q.fetchedCount(); ++r)
            values << FbQuery::displayText(q.value(r, 0));
        return values;
    }
};

int freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    return probe.serverPort();
}

} // namespace

// The program against a real Firebird server on the loopback address: the server of Debian's
// package, with its own port, configuration, users and lock directory, started and stopped here.
class TestFbServer : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void login_data();
    void login();
    void twoAccountsWorkSideBySide();
    void serverStoppedAndBack();
    void programOnTheServer();
    void editsNeverOverwriteEachOther();
    void backupWrittenOnThisMachine();
    void loansSeenByBothPrograms();

private:
    bool runScript(const QString &command);
    void connectAs(const QString &user, const QString &password);

    QString m_dir = QStringLiteral(SERVER_DIR);
    int m_port = 0;
    QString m_file;
    QString m_path; // host/port:file
    QString m_skipReason;
};

bool TestFbServer::runScript(const QString &command)
{
    QProcess script;
    QStringList args{command, m_dir};
    if (command == QLatin1String("start"))
        args << QString::number(m_port);
    script.start(QStringLiteral(SERVER_SCRIPT), args);
    script.waitForFinished(120000);
    m_skipReason = QString::fromLocal8Bit(script.readAllStandardError()).trimmed();
    return script.exitStatus() == QProcess::NormalExit && script.exitCode() == 0;
}

void TestFbServer::initTestCase()
{
    runScript(QStringLiteral("stop")); // one left by a run that died
    m_port = freePort();
    if (!runScript(QStringLiteral("start")))
        QSKIP(qPrintable(QStringLiteral("no Firebird server to test with: ") + m_skipReason));
    m_file = QStringLiteral("%1/library-%2.gdb").arg(m_dir).arg(QCoreApplication::applicationPid());
    QFile::remove(m_file);
    m_path = QStringLiteral("127.0.0.1/%1:%2").arg(m_port).arg(m_file);
    // Creating a library through the server needs an account the client library takes from here.
    qputenv("ISC_USER", "SYSDBA");
    qputenv("ISC_PASSWORD", "serverpw");
    LibrarySchema::create(m_path);
    qunsetenv("ISC_USER");
    qunsetenv("ISC_PASSWORD");
    Program owner(m_path, QStringLiteral("SYSDBA"), QStringLiteral("serverpw"));
    owner.exec(QStringLiteral("GRANT ALL ON book TO ANN"));
    owner.exec(QStringLiteral("GRANT ALL ON given TO ANN"));
}

void TestFbServer::cleanupTestCase()
{
    if (m_port && runScript(QStringLiteral("stop")))
        QFile::remove(m_file);
}

void TestFbServer::login_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("owner") << "SYSDBA"
                           << "serverpw" << true;
    QTest::newRow("second account") << "ANN"
                                    << "annpw" << true;
    QTest::newRow("wrong password") << "ANN"
                                    << "quietlamp" << false;
}

void TestFbServer::login()
{
    QFETCH(QString, user);
    QFETCH(QString, password);
    QFETCH(bool, accepted);
    Program program(m_path, user, password);
    try {
        program.db.open();
        QVERIFY(accepted);
        QVERIFY(program.db.connected());
    } catch (const FbError &e) {
        QVERIFY2(!accepted, qPrintable(e.message()));
        QVERIFY2(e.message().contains(QStringLiteral("user name and password")), qPrintable(e.message()));
        QVERIFY(!program.db.connected());
    }
}

void TestFbServer::twoAccountsWorkSideBySide()
{
    Program first(m_path, QStringLiteral("SYSDBA"), QStringLiteral("serverpw"));
    Program second(m_path, QStringLiteral("ANN"), QStringLiteral("annpw"));
    // The first program shows its book list, which keeps its transaction open for good.
    FbQuery list(&first.db);
    list.setSqlText(QStringLiteral("select * from BOOK"));
    list.open();
    first.exec(QStringLiteral("INSERT INTO book (title, author, iyear, publisher, genre) VALUES ('Кобзар', "
                              "'Шевченко', '1840', 'П', 'Поезія')"));
    // Under the embedded file's parameters (consistency) this would wait for the first program.
    second.exec(QStringLiteral("INSERT INTO book (title, author, iyear, publisher, genre) VALUES ('Dune', "
                               "'Herbert', '1965', 'Chilton', 'SF')"));
    QCOMPARE(second.column(QStringLiteral("SELECT title FROM book WHERE author LIKE '%Шевч%'")), QStringList{"Кобзар"});
    second.exec(QStringLiteral("INSERT INTO given (given_id, given_to, given_date) SELECT id, 'Ann', '2026-12-01' "
                               "FROM book WHERE title = 'Кобзар'"));
    QVERIFY(list.active());
    // What the other program stored is seen at the next reload.
    QCOMPARE(first.column(QStringLiteral("SELECT given_to FROM given")), QStringList{"Ann"});
    QCOMPARE(first.column(QStringLiteral("SELECT title FROM book ORDER BY title")), QStringList({"Dune", "Кобзар"}));
    // The loan refuses the book's deletion on either side.
    QVERIFY_THROWS_EXCEPTION(FbError, first.exec(QStringLiteral("DELETE FROM book WHERE title = 'Кобзар'")));
}

void TestFbServer::serverStoppedAndBack()
{
    Program program(m_path, QStringLiteral("ANN"), QStringLiteral("annpw"));
    QCOMPARE(program.column(QStringLiteral("SELECT count(*) FROM rdb$database")), QStringList{"1"});
    QSignalSpy changes(&program.db, &FbDatabase::connectedChanged);
    QVERIFY(runScript(QStringLiteral("stop")));
    QTest::qWait(500);
    try {
        program.column(QStringLiteral("SELECT count(*) FROM book"));
        QFAIL("a statement ran with the server stopped");
    } catch (const FbError &e) {
        QVERIFY(!e.message().isEmpty());
    }
    QVERIFY(!program.db.connected());
    QCOMPARE(changes.size(), 1);
    QCOMPARE(changes.at(0).at(0).toBool(), false);

    QVERIFY2(runScript(QStringLiteral("start")), qPrintable(m_skipReason));
    // The next statement connects again by itself.
    QCOMPARE(program.column(QStringLiteral("SELECT count(*) FROM rdb$database")), QStringList{"1"});
    QVERIFY(program.db.connected());
}

void TestFbServer::programOnTheServer()
{
    AppFixture app;
    app.start();
    using Rule = TConnectionSettings::SetRule;
    ConnectionSettings->setParamValue(QStringLiteral("user_name"), QStringLiteral("ANN"), Rule::OrInsert);
    ConnectionSettings->setParamValue(QStringLiteral("password"), QStringLiteral("wrong"), Rule::OrInsert);
    // The connection window's "Apply" with the server path: connects and fills the list.
    const auto apply = [this] {
        UserPrompts::clearShownMessages();
        ConnectionSettings->DbFilePath()->setText(m_path);
        ConnectionSettings->Button2Click();
    };
    apply();
    QVERIFY(!MainF->IBDatabase1()->connected());
    QVERIFY(AppFixture::consoleMessages().contains(QStringLiteral("Connecting to database: error!")));
    QCOMPARE(UserPrompts::shownMessages(), QStringList{"Error while connecting...\nОшибка при подключении!"});

    ConnectionSettings->setParamValue(QStringLiteral("password"), QStringLiteral("annpw"), Rule::OrInsert);
    apply();
    QVERIFY(MainF->IBDatabase1()->connected());
    QVERIFY(UserPrompts::shownMessages().isEmpty());
    QVERIFY(AppFixture::consoleMessages().contains(QStringLiteral("Connected to: ") + m_path));
    QVERIFY(MainF->IBQuery1()->active());

    // Add a book through the add window, then lend it through the lend window.
    add->show();
    add->findChild<QLineEdit *>(QStringLiteral("addTitle"))->setText(QStringLiteral("Server book"));
    for (const char *name : {"addAuthor", "addYear", "addPublisher", "addGenre"})
        add->findChild<QComboBox *>(QLatin1String(name))->setEditText(QStringLiteral("1999"));
    add->findChild<QPushButton *>(QStringLiteral("AddBook"))->click();
    QVERIFY(AppFixture::consoleMessages().contains(QStringLiteral("New book has been added")));
    FbQuery *list = MainF->IBQuery1();
    list->fetchAll();
    for (list->first(); list->fieldText(QStringLiteral("TITLE")) != QLatin1String("Server book"); list->next())
        QVERIFY(!list->isLast());
    GivenF->show();
    GivenF->findChild<QLineEdit *>(QStringLiteral("GivenToEd"))->setText(QStringLiteral("Zoe"));
    GivenF->Button1Click();
    Program other(m_path, QStringLiteral("SYSDBA"), QStringLiteral("serverpw"));
    QCOMPARE(other.column(QStringLiteral("SELECT book.title FROM given, book WHERE given.given_id = book.id AND "
                                         "given.given_to = 'Zoe'")),
             QStringList{"Server book"});

    // The server goes away: the reload shows the engine's message and the program is disconnected.
    QVERIFY(runScript(QStringLiteral("stop")));
    UserPrompts::clearShownMessages();
    runGuarded([] { mainApi()->RefreshBooks(); });
    QCOMPARE(UserPrompts::shownMessages().size(), 1);
    QVERIFY(!UserPrompts::shownMessages().first().isEmpty());
    QVERIFY(!MainF->IBDatabase1()->connected());
    QTRY_VERIFY(MainF->findChild<QWidget *>(QStringLiteral("DisconnectedImg"))->isVisible());

    // Back again: the connection switch connects and the list fills.
    QVERIFY2(runScript(QStringLiteral("start")), qPrintable(m_skipReason));
    MainF->DisconnectedImgClick();
    QVERIFY(MainF->IBDatabase1()->connected());
    mainApi()->RefreshBooks();
    list->fetchAll();
    QVERIFY(list->fetchedCount() >= 1);
}

void TestFbServer::connectAs(const QString &user, const QString &password)
{
    using Rule = TConnectionSettings::SetRule;
    ConnectionSettings->setParamValue(QStringLiteral("user_name"), user, Rule::OrInsert);
    ConnectionSettings->setParamValue(QStringLiteral("password"), password, Rule::OrInsert);
    ConnectionSettings->DbFilePath()->setText(m_path);
    ConnectionSettings->Button2Click();
    QVERIFY(MainF->IBDatabase1()->connected());
}

void TestFbServer::editsNeverOverwriteEachOther()
{
    AppFixture app;
    app.start();
    connectAs(QStringLiteral("ANN"), QStringLiteral("annpw"));
    Program other(m_path, QStringLiteral("SYSDBA"), QStringLiteral("serverpw"));
    other.exec(QStringLiteral("INSERT INTO book (title, author, iyear, publisher, genre) VALUES ('Shared', 'First', "
                              "'2000', 'P', 'G')"));
    const QString id = other.column(QStringLiteral("SELECT id FROM book WHERE title = 'Shared'")).value(0);
    const auto book = [&] {
        return other.column(QStringLiteral("SELECT title || '/' || author FROM book WHERE id = ") + id).value(0);
    };
    const auto openBook = [&](const QString &typed) {
        mainApi()->RefreshBooks();
        FbQuery *list = MainF->IBQuery1();
        list->fetchAll();
        for (list->first(); list->fieldText(QStringLiteral("ID")) != id; list->next())
            QVERIFY(!list->isLast());
        cng->show();
        auto *title = cng->findChild<QLineEdit *>(QStringLiteral("cngTitle"));
        title->selectAll();
        QTest::keyClicks(title, typed);
    };
    const auto save = [] {
        UserPrompts::clearShownMessages();
        QTest::mouseClick(cng->findChild<QPushButton *>(QStringLiteral("Button1")), Qt::LeftButton);
    };
    const auto typedTitle = [] { return cng->findChild<QLineEdit *>(QStringLiteral("cngTitle"))->text(); };

    // Another program changes the author while the window is open: nothing is written, the window
    // stays with the typed title and shows the author stored now.
    openBook(QStringLiteral("Mine"));
    other.exec(QStringLiteral("UPDATE book SET author = 'Second' WHERE id = ") + id);
    save();
    QCOMPARE(book(), QStringLiteral("Shared/Second"));
    QVERIFY(cng->isVisible());
    QCOMPARE(typedTitle(), QStringLiteral("Mine"));
    QCOMPARE(cng->findChild<QLineEdit *>(QStringLiteral("cngAuthor"))->text(), QStringLiteral("Second"));
    QCOMPARE(UserPrompts::shownMessages().size(), 1);
    QVERIFY2(UserPrompts::shownMessages().first().startsWith(QStringLiteral("Someone else has changed this book")) &&
                 UserPrompts::shownMessages().first().contains(QStringLiteral("Author: Second")),
             qPrintable(UserPrompts::shownMessages().first()));

    // Another program is in the middle of changing it: refused at once, nothing written.
    {
        FbBatch unfinished(&other.tr);
        other.exec(QStringLiteral("UPDATE book SET genre = 'Half' WHERE id = ") + id);
        save();
        QCOMPARE(UserPrompts::shownMessages(),
                 QStringList{"Another user is changing this book right now. What you typed is kept in the window; "
                             "try again shortly."});
        QVERIFY(cng->isVisible());
    }
    QCOMPARE(book(), QStringLiteral("Shared/Second"));

    // Saved again with nobody in the way: the typed title over the other program's author.
    save();
    QVERIFY(UserPrompts::shownMessages().isEmpty());
    QVERIFY(!cng->isVisible());
    QCOMPARE(book(), QStringLiteral("Mine/Second"));

    // Deleted by another program meanwhile.
    openBook(QStringLiteral("Gone"));
    other.exec(QStringLiteral("DELETE FROM book WHERE id = ") + id);
    save();
    QCOMPARE(UserPrompts::shownMessages(),
             QStringList{"This book no longer exists: someone else has deleted it. What you typed is kept in the "
                         "window."});
    QVERIFY(cng->isVisible());
    QCOMPARE(typedTitle(), QStringLiteral("Gone"));
    cng->hide();
}

void TestFbServer::backupWrittenOnThisMachine()
{
    AppFixture app;
    app.start();
    connectAs(QStringLiteral("SYSDBA"), QStringLiteral("serverpw"));
    const QStringList titles = Program(m_path, QStringLiteral("SYSDBA"), QStringLiteral("serverpw"))
                                   .column(QStringLiteral("SELECT title FROM book ORDER BY id"));
    // A folder the server's own files are not in: only this program writes it.
    const QString backup = app.path(QStringLiteral("server-library.fbk"));
    UserPrompts::setNextFileName(backup);
    runGuarded([] { MainF->findChild<QAction *>(QStringLiteral("Backup1"))->trigger(); });
    QCOMPARE(AppFixture::consoleMessages().last(),
             QStringLiteral("Library backed up to the file %1, books: %2").arg(backup).arg(titles.size()));
    QVERIFY(!QFile::exists(m_dir + QStringLiteral("/server-library.fbk.part")));

    const QString restored = app.path(QStringLiteral("restored.gdb"));
    UserPrompts::setNextFileNames({backup, restored});
    UserPrompts::setNextAnswer(QMessageBox::No);
    runGuarded([] { MainF->findChild<QAction *>(QStringLiteral("Restore1"))->trigger(); });
    QVERIFY(AppFixture::consoleMessages().contains(QStringLiteral("Library restored to the file %1").arg(restored)));
    Program local(restored, QStringLiteral("SYSDBA"), {});
    QCOMPARE(local.column(QStringLiteral("SELECT title FROM book ORDER BY id")), titles);
}

QTEST_MAIN(TestFbServer)
#include "tst_fbserver.moc"

void TestFbServer::loansSeenByBothPrograms()
{
    // The owner's program brings the library up to date for due dates and history; a second
    // account cannot alter GIVEN itself.
    Program owner(m_path, QStringLiteral("SYSDBA"), QStringLiteral("serverpw"));
    LoanSchema::addMissing(owner.db);
    QVERIFY(LoanSchema::missingStatements(owner.db).isEmpty());
    owner.exec(QStringLiteral("GRANT SELECT ON loan_history TO ANN"));
    owner.exec(QStringLiteral("GRANT ALL ON borrower TO ANN"));
    owner.exec(QStringLiteral("DELETE FROM given"));
    owner.exec(QStringLiteral("INSERT INTO book (title, author, iyear, publisher, genre) VALUES ('Lent', 'A', "
                              "'2001', 'P', 'G')"));
    const QString id = owner.column(QStringLiteral("SELECT max(id) FROM book WHERE title = 'Lent'")).value(0);
    owner.exec(QStringLiteral("DELETE FROM loan_history WHERE book_id = ") + id);

    AppFixture app;
    app.start();
    connectAs(QStringLiteral("ANN"), QStringLiteral("annpw"));
    mainApi()->RefreshBooks();
    FbQuery *list = MainF->IBQuery1();
    list->fetchAll();
    for (list->first(); list->fieldText(QStringLiteral("ID")) != id; list->next())
        QVERIFY(!list->isLast());

    // Lent here with a due date: the other program sees the date.
    const QDate today = QDate::currentDate();
    GivenF->show();
    auto *name = GivenF->findChild<QLineEdit *>(QStringLiteral("GivenToEd"));
    name->clear();
    QTest::keyClicks(name, QStringLiteral("Ann"));
    GivenF->findChild<QDateEdit *>(QStringLiteral("DateTimePicker1"))->setDate(today.addDays(-10));
    GivenF->findChild<QDateEdit *>(QStringLiteral("DueDatePicker"))->setDate(today.addDays(5));
    QTest::mouseClick(GivenF->findChild<QPushButton *>(QStringLiteral("Button1")), Qt::LeftButton);
    QVERIFY(!GivenF->isVisible());
    const auto shown = [](const QDate &date) { return FbQuery::displayText(date); };
    QCOMPARE(owner.column(QStringLiteral("SELECT due_date FROM given WHERE given_id = ") + id),
             QStringList{shown(today.addDays(5))});

    // The other program moves the date back: after a refresh this program shows it overdue.
    owner.exec(QStringLiteral("UPDATE given SET due_date = CURRENT_DATE - 1 WHERE given_id = ") + id);
    MainF->LeftGivenBooksLnkClick();
    mainApi()->RefreshGiven();
    QueryModel *loans = MainF->findChild<DBGridEh *>(QStringLiteral("DBGridEh2"))->queryModel();
    QCOMPARE(loans->rowCount(), 1);
    QTRY_COMPARE(loans->data(loans->index(0, 4)).toString(), shown(today.addDays(-1)));
    QVERIFY(loans->data(loans->index(0, 1), Qt::BackgroundRole).isValid());

    // Taken back by the other program: this program's loan list empties and the history holds it.
    owner.exec(QStringLiteral("DELETE FROM given WHERE given_id = ") + id);
    mainApi()->RefreshGiven();
    QCOMPARE(loans->rowCount(), 0);
    Program annSees(m_path, QStringLiteral("ANN"), QStringLiteral("annpw"));
    QCOMPARE(annSees.column(QStringLiteral("SELECT title || '|' || given_to || '|' || due_date FROM loan_history "
                                           "WHERE book_id = ") + id),
             QStringList{QStringLiteral("Lent|Ann|") + today.addDays(-1).toString(QStringLiteral("yyyy-MM-dd"))});

    // And the other way round: returned here, the history the owner reads has it.
    owner.exec(QStringLiteral("INSERT INTO given (given_id, given_to, given_date, due_date) VALUES (") + id +
               QStringLiteral(", 'Bob', CURRENT_DATE, CURRENT_DATE + 7)"));
    mainApi()->RefreshBooks();
    list = MainF->IBQuery1();
    list->fetchAll();
    for (list->first(); list->fieldText(QStringLiteral("ID")) != id; list->next())
        QVERIFY(!list->isLast());
    BackF->show();
    QTest::mouseClick(BackF->findChild<QPushButton *>(QStringLiteral("Button1")), Qt::LeftButton);
    QCOMPARE(owner.column(QStringLiteral("SELECT given_to || '|' || returned_date FROM loan_history WHERE book_id = ") +
                          id + QStringLiteral(" AND given_to = 'Bob'")),
             QStringList{QStringLiteral("Bob|") + today.toString(QStringLiteral("yyyy-MM-dd"))});
}
