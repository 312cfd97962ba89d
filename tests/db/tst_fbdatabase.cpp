#include "DataSource.h"
#include "FbDatabase.h"
#include "FbError.h"
#include "FbQuery.h"
#include "FbTransaction.h"
#include "LibraryCatalog.h"
#include "LibrarySchema.h"
#include "LoanSchema.h"
#include "OwnTransaction.h"
#include "LockDirectory.h"
#include "TestLibrary.h"

#include <QProcess>
#include <QSignalSpy>
#include <QtTest>

#include <ibase.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString toolPath(const char *envName, const char *builtIn)
{
    const QByteArray env = qgetenv(envName);
    return env.isEmpty() ? QString::fromLocal8Bit(builtIn) : QString::fromLocal8Bit(env);
}

QString insertBook(const QString &title, const QString &author = QStringLiteral("Author"))
{
    return QStringLiteral("INSERT INTO book (title, author, iyear, publisher, genre)  VALUES ('%1', '%2', '2001', "
                          "'Publisher', 'Genre')")
        .arg(title, author);
}

// A connection with its transaction, as the main window holds them.
struct Connection {
    FbDatabase db;
    FbTransaction tr{&db};
    explicit Connection(const TestLibrary &lib, const QString &lcCtype = QStringLiteral("WIN1251"))
    {
        lib.configure(db);
        QStringList params = TestLibrary::defaultParams();
        params.last() = QStringLiteral("lc_ctype=") + lcCtype;
        db.setParams(params);
    }
    void exec(const QString &sql)
    {
        FbQuery q(&db);
        q.setSqlText(sql);
        q.execSQL();
    }
    QVariant scalar(const QString &sql)
    {
        FbQuery q(&db);
        q.setSqlText(sql);
        q.open();
        return q.value(0, 0);
    }
};

// Books "Книга 0" … titled by their number, each description the prefix and the number.
void addNumberedBooks(Connection &c, int count, const QString &descriptionPrefix)
{
    c.exec(QStringLiteral("EXECUTE BLOCK AS DECLARE i INT = 0; BEGIN WHILE (i < %1) DO BEGIN "
                          "INSERT INTO book (title, author, iyear, publisher, genre, description) VALUES "
                          "('Книга ' || :i, 'Автор', '2001', 'P', 'G', '%2' || :i); i = i + 1; END END")
               .arg(count)
               .arg(descriptionPrefix));
}

} // namespace

class TestFbDatabase : public QObject
{
    Q_OBJECT
private slots:
    void insertGetsNewUniqueId();
    void rowsAffectedCountsTheRowsTouched();
    void deletingLentBookFailsWithEngineMessage();
    void statementForms_data();
    void statementForms();
    void textRoundTrip_data();
    void textRoundTrip();
    void unencodableTextIsRefusedBeforeSending();
    void closingCommitsAndClosesQueries();
    void changeSurvivesKilledProcess();
    void openListStaysOpenAfterChange();
    void openingWhileDisconnectedConnects();
    void loginPrompt();
    void badStatementCarriesEngineText();
    void masterParameterAndRerun();
    void reRunStatementFollowsItsText();
    void lazyFetching();
    void fetchedCellsKeepTypesAndNulls();
    void rerunFreesOldRows();
    void longResultKeepsEveryRow();
    void orderingUsesItsIndex_data();
    void orderingUsesItsIndex();
    void missingIndexesAddedOnce();
    void catalogueNamesWhatTheLibraryHas_data();
    void catalogueNamesWhatTheLibraryHas();
    void catalogueKeptOnlyWhileConnecting();
    void catalogueTooLongForOneTextIsReadByRows();
    void singleValueSelect();
    void failedIndexUpgradeLeavesLibraryAsItWas();
    void indexesBuiltOneByOneKeepWhatIsDone();
    void movesAndCurrentRow();
    void secondEngineIsRefused();
    void lostConnectionIsDroppedAndMadeAnew();
    void mklibraryRefusesExistingFile();
    void mklibrarySample();
    void lockDirectoryIsUsable();
    void lockDirectoryTrust_data();
    void lockDirectoryTrust();
    void hostileLockDirectoryIsRefused_data();
    void hostileLockDirectoryIsRefused();
    void hostilePrivateBaseGivesNewDirectory();
    void serverPaths_data();
    void serverPaths();
};

void TestFbDatabase::insertGetsNewUniqueId()
{
    TestLibrary lib;
    Connection c(lib);
    c.exec(insertBook(QStringLiteral("One")));
    c.exec(insertBook(QStringLiteral("Two")));
    c.exec(QStringLiteral("DELETE FROM book WHERE title = 'Two'"));
    c.exec(insertBook(QStringLiteral("Three")));
    FbQuery q(&c.db);
    q.setSqlText(QStringLiteral("SELECT id FROM book ORDER BY id"));
    q.open();
    q.fetchAll();
    QCOMPARE(q.fetchedCount(), 2);
    QVERIFY(q.value(0, 0).toInt() > 0);
    QVERIFY(q.value(1, 0).toInt() > q.value(0, 0).toInt());
}

void TestFbDatabase::rowsAffectedCountsTheRowsTouched()
{
    TestLibrary lib;
    Connection c(lib);
    FbQuery q(&c.db);
    const auto run = [&q](const QString &sql) {
        q.setSqlText(sql);
        q.execSQL();
        return q.rowsAffected();
    };
    QCOMPARE(run(insertBook(QStringLiteral("One"))), 1);
    QCOMPARE(run(insertBook(QStringLiteral("Two"))), 1);
    QCOMPARE(run(QStringLiteral("UPDATE book SET genre = 'G'")), 2);
    QCOMPARE(run(QStringLiteral("DELETE FROM book WHERE id = 987654;")), 0);
    QCOMPARE(run(QStringLiteral("DELETE FROM book WHERE title = 'One'")), 1);
    QVERIFY_THROWS_EXCEPTION(FbError, run(QStringLiteral("DELETE FROM nosuchtable")));
    QCOMPARE(q.rowsAffected(), -1); // a failed statement says nothing
}

void TestFbDatabase::deletingLentBookFailsWithEngineMessage()
{
    TestLibrary lib;
    Connection c(lib);
    c.exec(insertBook(QStringLiteral("Lent")));
    const int id = c.scalar(QStringLiteral("SELECT id FROM book")).toInt();
    c.exec(QStringLiteral("INSERT INTO given (given_id, given_to, given_date) VALUES (%1, 'Ann', '2026-12-01')").arg(id));
    try {
        c.exec(QStringLiteral("DELETE FROM book WHERE id = %1").arg(id));
        QFAIL("the lent book was deleted");
    } catch (const FbError &e) {
        QVERIFY2(e.message().contains(QLatin1String("FOREIGN KEY"), Qt::CaseInsensitive), qPrintable(e.message()));
    }
    QCOMPARE(c.scalar(QStringLiteral("SELECT count(*) FROM book")).toInt(), 1);
}

void TestFbDatabase::statementForms_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("firstTitle");
    QTest::newRow("closing semicolon") << QStringList{QStringLiteral("SELECT * FROM GIVEN;")} << QString();
    QTest::newRow("semicolon and blanks") << QStringList{QStringLiteral("SELECT title FROM book ;  ")}
                                          << QStringLiteral("b");
    QTest::newRow("order by on second line")
        << QStringList{QStringLiteral("SELECT * from book"), QStringLiteral("ORDER BY title DESC")}
        << QStringLiteral("c");
    QTest::newRow("three lines, semicolon at end")
        << QStringList{QStringLiteral("SELECT *"), QStringLiteral("from book"), QStringLiteral("ORDER BY title;")}
        << QStringLiteral("a");
}

void TestFbDatabase::statementForms()
{
    QFETCH(QStringList, lines);
    QFETCH(QString, firstTitle);
    TestLibrary lib;
    Connection c(lib);
    for (const char *t : {"b", "c", "a"})
        c.exec(insertBook(QString::fromLatin1(t)));
    FbQuery q(&c.db);
    q.setSql(lines);
    QCOMPARE(q.text(), lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
    FbQuery copy(&c.db);
    copy.setSqlText(q.text()); // a full text goes back in as the same lines
    QCOMPARE(copy.sql(), lines);
    q.open();
    QVERIFY(q.active());
    if (!firstTitle.isEmpty())
        QCOMPARE(q.fieldText(QStringLiteral("title")), firstTitle);
}

void TestFbDatabase::textRoundTrip_data()
{
    QTest::addColumn<QString>("lcCtype");
    QTest::addColumn<QString>("title");
    QTest::newRow("Russian, WIN1251") << QStringLiteral("WIN1251") << QStringLiteral("Война и мир «Ёлка» №5");
    QTest::newRow("Ukrainian, WIN1251") << QStringLiteral("WIN1251") << QStringLiteral("Ґанок, Їжак і Єва");
    QTest::newRow("apostrophe") << QStringLiteral("WIN1251") << QStringLiteral("O''Brien");
    QTest::newRow("Ukrainian, UNICODE_FSS") << QStringLiteral("UNICODE_FSS") << QStringLiteral("Ґанок і Ї");
    QTest::newRow("Russian, UTF8") << QStringLiteral("UTF8") << QStringLiteral("Щука съела ёжика");
}

void TestFbDatabase::textRoundTrip()
{
    QFETCH(QString, lcCtype);
    QFETCH(QString, title);
    TestLibrary lib;
    {
        Connection c(lib, lcCtype);
        c.exec(insertBook(title, QStringLiteral("Автор")));
    }
    // Read back through a WIN1251 connection: the bytes in the file are the library's own.
    Connection c(lib);
    FbQuery q(&c.db);
    q.setSqlText(QStringLiteral("SELECT title, author FROM book WHERE author = 'Автор'"));
    q.open();
    QCOMPARE(q.fieldText(QStringLiteral("TITLE")), QString(title).replace(QLatin1String("''"), QLatin1String("'")));
    QCOMPARE(c.scalar(QStringLiteral("SELECT char_length(title) FROM book")).toInt(),
             QString(title).replace(QLatin1String("''"), QLatin1String("'")).size());
}

void TestFbDatabase::unencodableTextIsRefusedBeforeSending()
{
    TestLibrary lib;
    Connection c(lib);
    try {
        c.exec(insertBook(QStringLiteral("三国演义")));
        QFAIL("text outside the character set was sent");
    } catch (const FbError &e) {
        QVERIFY2(e.message().contains(QLatin1String("WIN1251")) && e.message().contains(QStringLiteral("三")),
                 qPrintable(e.message()));
    }
    QCOMPARE(c.scalar(QStringLiteral("SELECT count(*) FROM book")).toInt(), 0);
}

void TestFbDatabase::closingCommitsAndClosesQueries()
{
    TestLibrary lib;
    {
        Connection c(lib);
        FbQuery list(&c.db);
        list.setSqlText(QStringLiteral("select * from BOOK"));
        list.open();
        QSignalSpy closed(&list, &FbQuery::closed);
        c.exec(insertBook(QStringLiteral("Kept")));
        c.db.close();
        QVERIFY(!c.db.connected());
        QVERIFY(!list.active());
        QCOMPARE(closed.count(), 1);
        QCOMPARE(list.currentRow(), -1);
    }
    Connection fresh(lib);
    QCOMPARE(fresh.scalar(QStringLiteral("SELECT count(*) FROM book WHERE title = 'Kept'")).toInt(), 1);
}

void TestFbDatabase::changeSurvivesKilledProcess()
{
    TestLibrary lib;
    QProcess child;
    child.start(toolPath("BIBLIORA_CHILD_PROCESS", CHILD_PROCESS),
                {QStringLiteral("insert"), lib.path(), QStringLiteral("Survivor")});
    QVERIFY(child.waitForStarted());
    QVERIFY(child.waitForReadyRead(20000));
    QCOMPARE(child.readLine().trimmed(), QByteArray("done"));
    child.kill(); // SIGKILL: no clean detach, no commit at close
    QVERIFY(child.waitForFinished());
    Connection c(lib);
    QCOMPARE(c.scalar(QStringLiteral("SELECT count(*) FROM book WHERE title = 'Survivor'")).toInt(), 1);
}

void TestFbDatabase::openListStaysOpenAfterChange()
{
    TestLibrary lib;
    Connection c(lib);
    c.exec(QStringLiteral("EXECUTE BLOCK AS DECLARE i INT = 0; BEGIN WHILE (i < 50) DO BEGIN "
                          "INSERT INTO book (title, author, iyear, publisher, genre) VALUES ('t' || :i, 'a', '1', "
                          "'p', 'g'); i = i + 1; END END"));
    FbQuery list(&c.db);
    list.setSqlText(QStringLiteral("SELECT * FROM book"));
    list.open();
    QVERIFY(!list.allFetched());
    c.exec(insertBook(QStringLiteral("New")));
    list.fetchAll();
    QVERIFY(list.active());
    QVERIFY(list.fetchedCount() >= 50);
}

void TestFbDatabase::openingWhileDisconnectedConnects()
{
    TestLibrary lib;
    Connection c(lib);
    QVERIFY(!c.db.connected());
    FbQuery q(&c.db);
    q.setSqlText(QStringLiteral("SELECT count(*) FROM book "));
    q.open();
    QVERIFY(c.db.connected());
    QCOMPARE(q.fieldText(QStringLiteral("COUNT")), QStringLiteral("0"));
    QCOMPARE(c.db.sqlDialect(), 3);
}

void TestFbDatabase::loginPrompt()
{
    TestLibrary lib;
    Connection c(lib);
    c.db.setLoginPrompt(true);
    QString askedFor;
    FbDatabase::setLoginHandler([&](const QString &db, QString &user, QString &) {
        askedFor = db + QLatin1Char('|') + user;
        return false;
    });
    QVERIFY_THROWS_EXCEPTION(FbError, c.db.open());
    QVERIFY(!c.db.connected());
    QCOMPARE(askedFor, lib.path() + QStringLiteral("|SYSDBA"));
    FbDatabase::setLoginHandler([](const QString &, QString &user, QString &) {
        user = QStringLiteral("READER");
        return true;
    });
    QCOMPARE(c.scalar(QStringLiteral("SELECT CURRENT_USER FROM RDB$DATABASE")).toString(), QStringLiteral("READER"));
    FbDatabase::setLoginHandler({});
}

void TestFbDatabase::badStatementCarriesEngineText()
{
    TestLibrary lib;
    Connection c(lib);
    FbQuery q(&c.db);
    q.setSqlText(QStringLiteral("SELECT * FROM nosuchtable"));
    try {
        q.open();
        QFAIL("a bad statement ran");
    } catch (const FbError &e) {
        QVERIFY2(e.message().contains(QLatin1String("NOSUCHTABLE")), qPrintable(e.message()));
    }
    QVERIFY(!q.active());
    q.setSqlText(QStringLiteral("SELECT 1 FROM RDB$DATABASE"));
    q.open(); // the connection and transaction still work
    QCOMPARE(q.value(0, 0).toInt(), 1);
}

void TestFbDatabase::masterParameterAndRerun()
{
    TestLibrary lib;
    Connection c(lib);
    c.exec(insertBook(QStringLiteral("First")));
    c.exec(insertBook(QStringLiteral("Second")));
    c.exec(QStringLiteral("INSERT INTO given (given_id, given_to) SELECT id, 'to ' || title FROM book"));
    FbQuery books(&c.db);
    books.setSqlText(QStringLiteral("SELECT * FROM book ORDER BY title"));
    DataSource booksSource;
    booksSource.setDataSet(&books);
    FbQuery loans(&c.db);
    loans.setSqlText(QStringLiteral("SELECT given_to FROM given WHERE given_id = :ID"));
    loans.setMasterSource(&booksSource);
    FbQuery count(&c.db);
    count.setSqlText(QStringLiteral("SELECT count(*) FROM book "));
    count.setMasterSource(&booksSource);

    books.open();
    loans.open();
    QCOMPARE(loans.fieldText(QStringLiteral("GIVEN_TO")), QStringLiteral("to First"));
    QSignalSpy reopened(&loans, &FbQuery::opened);
    books.next();
    QCOMPARE(reopened.count(), 1);
    QCOMPARE(loans.fieldText(QStringLiteral("GIVEN_TO")), QStringLiteral("to Second"));
    QVERIFY(!count.active()); // a closed detail stays closed when the master moves
    // Held, the detail stays as it was through the moves; released, it runs once for the row
    // the master is on then.
    loans.holdMasterMoves(true);
    books.first();
    books.next();
    books.first();
    QCOMPARE(reopened.count(), 1);
    QCOMPARE(loans.fieldText(QStringLiteral("GIVEN_TO")), QStringLiteral("to Second"));
    loans.holdMasterMoves(false);
    QCOMPARE(reopened.count(), 2);
    QCOMPARE(loans.fieldText(QStringLiteral("GIVEN_TO")), QStringLiteral("to First"));
    loans.holdMasterMoves(false);
    QCOMPARE(reopened.count(), 2);
    books.next();
    QCOMPARE(reopened.count(), 3);
    count.open();
    c.exec(insertBook(QStringLiteral("Third")));
    books.first();
    QCOMPARE(count.fieldText(QStringLiteral("COUNT")), QStringLiteral("3"));
}

void TestFbDatabase::reRunStatementFollowsItsText()
{
    TestLibrary lib;
    Connection c(lib);
    c.exec(QStringLiteral("CREATE TABLE scratch (n INTEGER)"));
    c.exec(QStringLiteral("INSERT INTO scratch VALUES (1)"));
    FbQuery q(&c.db);
    q.setSqlText(QStringLiteral("SELECT n FROM scratch"));
    q.open();
    q.close();
    // The closed query's table can go, and running it again names the missing table.
    FbQuery ddl(&c.db);
    ddl.setSqlText(QStringLiteral("DROP TABLE scratch"));
    ddl.execSQL();
    QVERIFY_THROWS_EXCEPTION(FbError, q.open());
    // A new text runs as itself, not as the statement before it.
    q.setSqlText(QStringLiteral("SELECT 2 FROM RDB$DATABASE"));
    q.open();
    QCOMPARE(q.value(0, 0).toInt(), 2);
    // Asked first whether it gives rows, a change is still made once.
    q.setSqlText(insertBook(QStringLiteral("Once")));
    QVERIFY(!q.returnsRows());
    q.execSQL();
    QCOMPARE(q.rowsAffected(), 1);
    QCOMPARE(c.scalar(QStringLiteral("SELECT count(*) FROM book")).toInt(), 1);
}

void TestFbDatabase::fetchedCellsKeepTypesAndNulls()
{
    TestLibrary lib;
    Connection c(lib);
    c.exec(insertBook(QStringLiteral("Кобзар")));
    FbQuery q(&c.db);
    // A null between values, padded CHAR, numbers, a date and a text blob in one row.
    q.setSqlText(QStringLiteral("SELECT title, seria, CAST('ab' AS CHAR(5)), id, CAST(12.34 AS NUMERIC(9,2)), "
                                "CAST(1234567890123 AS BIGINT), DATE '2026-12-01', CAST('Опис' AS BLOB SUB_TYPE TEXT), "
                                "CAST(NULL AS INTEGER), author FROM book"));
    q.open();
    QCOMPARE(q.value(0, 0).toString(), QStringLiteral("Кобзар"));
    QVERIFY(q.value(0, 1).isNull());
    QCOMPARE(q.value(0, 2).toString(), QStringLiteral("ab"));
    QVERIFY(q.value(0, 3).toInt() > 0);
    QCOMPARE(q.value(0, 4).toDouble(), 12.34);
    QCOMPARE(q.value(0, 5).toLongLong(), 1234567890123LL);
    QCOMPARE(q.value(0, 6).toDate(), QDate(2026, 12, 1));
    QCOMPARE(q.value(0, 7).toString(), QStringLiteral("Опис"));
    QVERIFY(q.value(0, 8).isNull());
    QCOMPARE(q.value(0, 9).toString(), QStringLiteral("Author"));
    QVERIFY(q.value(1, 0).isNull());
    QVERIFY(q.value(0, 10).isNull());
}

void TestFbDatabase::rerunFreesOldRows()
{
    TestLibrary lib;
    Connection c(lib);
    addNumberedBooks(c, 5000, QStringLiteral("Опис книги "));
    FbQuery q(&c.db);
    q.setSqlText(QStringLiteral("SELECT * FROM book"));
    q.open();
    q.fetchAll();
    QCOMPARE(q.fetchedCount(), 5000);
    QCOMPARE(q.value(4999, 8).toString(), QStringLiteral("Опис книги 4999"));
    const qint64 full = q.heldRowBytes();
    // A row holds about its data (some 40 bytes here), not a QVariant per cell.
    QVERIFY2(full < 5000 * 120, qPrintable(QString::number(full)));
    q.setSqlText(QStringLiteral("SELECT * FROM book WHERE id = 1"));
    q.open();
    QCOMPARE(q.fetchedCount(), 1);
    QVERIFY2(q.heldRowBytes() < full / 10, qPrintable(QString::number(q.heldRowBytes())));
    q.close();
    QCOMPARE(q.heldRowBytes(), 0);
}

void TestFbDatabase::longResultKeepsEveryRow()
{
    // Some 8 MB of rows: the blocks grow to whole huge pages of the system.
    TestLibrary lib;
    Connection c(lib);
    addNumberedBooks(c, 60000, QStringLiteral("Опис книги, досить довгий, номер "));
    FbQuery q(&c.db);
    q.setSqlText(QStringLiteral("SELECT * FROM book ORDER BY id"));
    q.open();
    q.fetchAll();
    QCOMPARE(q.fetchedCount(), 60000);
    QVERIFY2(q.heldRowBytes() > 4 * 1024 * 1024, qPrintable(QString::number(q.heldRowBytes())));
    for (const int row : {0, 1, 29999, 45000, 59999}) {
        QCOMPARE(q.value(row, 1).toString(), QStringLiteral("Книга %1").arg(row));
        QCOMPARE(q.value(row, 8).toString(), QStringLiteral("Опис книги, досить довгий, номер %1").arg(row));
    }
}

void TestFbDatabase::orderingUsesItsIndex_data()
{
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QString>("index");
    const QString base = QStringLiteral("select * from BOOK\r\n");
    const QString search = QStringLiteral("SELECT * FROM book WHERE author like '%a%'\r\n");
    QTest::newRow("id up") << base + QStringLiteral(" ORDER BY id ASC;") << QStringLiteral("PK_BOOK");
    QTest::newRow("id down") << base + QStringLiteral(" ORDER BY id DESC;") << QStringLiteral("BOOK_ID_DESC");
    for (const char *column : {"title", "author", "publisher", "seria", "genre", "iyear", "description", "place", "clas"}) {
        const QString name = QString::fromLatin1(column);
        const QString index = QStringLiteral("BOOK_") + name.toUpper();
        QTest::newRow(qPrintable(name + QStringLiteral(" up")))
            << base + QStringLiteral(" ORDER BY ") + name + QStringLiteral(" ASC;") << index + QStringLiteral("_ASC");
        QTest::newRow(qPrintable(name + QStringLiteral(" down, searched")))
            << search + QStringLiteral(" ORDER BY ") + name + QStringLiteral(" DESC;") << index + QStringLiteral("_DESC");
    }
}

void TestFbDatabase::orderingUsesItsIndex()
{
    QFETCH(QString, statement);
    QFETCH(QString, index);
    static TestLibrary lib;
    Connection c(lib);
    FbQuery q(&c.db);
    q.setSqlText(statement);
    const QString plan = q.plan();
    QVERIFY2(plan.contains(QStringLiteral("ORDER ") + index + QLatin1Char(')')), qPrintable(plan));
}

void TestFbDatabase::missingIndexesAddedOnce()
{
    TestLibrary lib;
    TestLibrary::dropOrderingIndexes(lib.path());
    Connection c(lib);
    c.exec(insertBook(QStringLiteral("B")));
    c.db.close();
    QCOMPARE(LibrarySchema::missingIndexes(c.db), LibrarySchema::indexNames());
    QCOMPARE(LibrarySchema::addMissingIndexes(c.db), LibrarySchema::indexNames());
    QVERIFY(LibrarySchema::missingIndexes(c.db).isEmpty());
    QVERIFY(LibrarySchema::addMissingIndexes(c.db).isEmpty());
    // The books and the connection's own work are untouched.
    QCOMPARE(c.scalar(QStringLiteral("SELECT count(*) FROM book")).toInt(), 1);
    FbQuery q(&c.db);
    q.setSqlText(QStringLiteral("SELECT * FROM book ORDER BY title DESC"));
    QVERIFY(q.plan().contains(QStringLiteral("BOOK_TITLE_DESC")));
}

void TestFbDatabase::catalogueNamesWhatTheLibraryHas_data()
{
    QTest::addColumn<bool>("unicode");
    QTest::addColumn<QString>("charset");
    QTest::newRow("Windows-1251 library") << false << QStringLiteral("WIN1251");
    QTest::newRow("Unicode library") << true << QStringLiteral("UTF8");
}

void TestFbDatabase::catalogueNamesWhatTheLibraryHas()
{
    QFETCH(bool, unicode);
    QFETCH(QString, charset);
    TestLibrary lib(true, unicode);
    {
        // A table named in letters Windows-1251 has not, made by another program: the reading
        // over a Windows-1251 connection still succeeds.
        FbDatabase utf8;
        lib.configure(utf8);
        QStringList params = TestLibrary::defaultParams();
        params.last() = QStringLiteral("lc_ctype=UTF8");
        utf8.setParams(params);
        utf8.open();
        OwnTransaction tr(utf8);
        tr.execute(QStringLiteral("CREATE TABLE \"书架\" (N INTEGER)"));
        tr.commit();
    }
    FbDatabase db;
    lib.configure(db);
    db.open();
    LoanSchema::addMissing(db);
    const LibraryCatalog catalog = db.catalog();
    QCOMPARE(catalog.charset(), charset);
    for (const char *table : {"BOOK", "GIVEN", "LOAN_HISTORY", "BORROWER", "BOOK_SEARCH"})
        QVERIFY2(catalog.hasRelation(QString::fromLatin1(table)), table);
    QVERIFY(!catalog.hasRelation(QStringLiteral("RDB$RELATIONS")));
    QVERIFY(catalog.hasField(QStringLiteral("GIVEN"), QStringLiteral("DUE_DATE")));
    QVERIFY(!catalog.hasField(QStringLiteral("GIVEN"), QStringLiteral("TITLE")));
    QVERIFY(catalog.hasTrigger(QStringLiteral("GIVEN_CHANGED")));
    QVERIFY(catalog.hasGenerator(QStringLiteral("GIVEN_CHANGES")));
    // Each table's indexes, and no other table's.
    const QStringList onBook = catalog.indexesOf(QStringLiteral("BOOK"));
    for (const QString &name : LibrarySchema::indexNames())
        QVERIFY2(onBook.contains(name), qPrintable(name));
    QVERIFY(!onBook.contains(QStringLiteral("GIVEN_DUE_ASC")));
    QVERIFY(catalog.indexesOf(QStringLiteral("GIVEN")).contains(QStringLiteral("GIVEN_DUE_ASC")));
    QVERIFY(catalog.hasIndex(QStringLiteral("LOAN_HISTORY_BOOK")));
    QVERIFY(!catalog.hasIndex(QStringLiteral("BOOK_DUE_ASC")));
    QVERIFY(LibrarySchema::missingIndexes(db).isEmpty());
    QVERIFY(LoanSchema::missingStatements(db).isEmpty());
}

void TestFbDatabase::catalogueKeptOnlyWhileConnecting()
{
    TestLibrary lib;
    FbDatabase db;
    lib.configure(db);
    FbDatabase other;
    lib.configure(other);
    other.open();
    const auto makeTable = [](FbDatabase &on, const QString &name) {
        OwnTransaction tr(on);
        tr.execute(QStringLiteral("CREATE TABLE %1 (N INTEGER)").arg(name));
        tr.commit();
    };
    bool checked = false;
    connect(&db, &FbDatabase::connectedChanged, this, [&](bool connected) {
        if (!connected)
            return;
        QVERIFY(!db.catalog().hasRelation(QStringLiteral("SHELF")));
        // What this connection changes while connecting is read again at the next check.
        makeTable(db, QStringLiteral("SHELF"));
        QVERIFY(db.catalog().hasRelation(QStringLiteral("SHELF")));
        checked = true;
    });
    db.open();
    QVERIFY(checked);
    // Once connected, every check reads afresh: another program's change is seen at once.
    QVERIFY(!db.catalog().hasRelation(QStringLiteral("CASE_SHELF")));
    makeTable(other, QStringLiteral("CASE_SHELF"));
    QVERIFY(db.catalog().hasRelation(QStringLiteral("CASE_SHELF")));
}

void TestFbDatabase::catalogueTooLongForOneTextIsReadByRows()
{
    TestLibrary lib;
    FbDatabase db;
    lib.configure(db);
    db.open();
    // About 34 000 bytes of names: more than the catalogue's one text holds.
    constexpr int kSequences = 800;
    const auto name = [](int i) {
        return QStringLiteral("SEQUENCE_WITH_A_LONG_NAME_%1").arg(i, 4, 10, QLatin1Char('0'));
    };
    {
        OwnTransaction tr(db);
        for (int i = 0; i < kSequences; ++i)
            tr.execute(QStringLiteral("CREATE SEQUENCE ") + name(i));
        tr.commit();
    }
    const LibraryCatalog catalog = db.catalog();
    QCOMPARE(catalog.charset(), QStringLiteral("WIN1251"));
    QVERIFY(catalog.hasRelation(QStringLiteral("BOOK")));
    QVERIFY(catalog.hasField(QStringLiteral("GIVEN"), QStringLiteral("GIVEN_TO")));
    QVERIFY(catalog.hasIndex(QStringLiteral("BOOK_TITLE_ASC")));
    for (int i = 0; i < kSequences; ++i)
        QVERIFY2(catalog.hasGenerator(name(i)), qPrintable(name(i)));
}

void TestFbDatabase::singleValueSelect()
{
    TestLibrary lib;
    FbDatabase db;
    lib.configure(db);
    db.open();
    OwnTransaction tr(db);
    QCOMPARE(selectValue(db, tr.handle(), QStringLiteral("SELECT 'O''Brien' FROM RDB$DATABASE"), 16),
             QByteArray("O'Brien"));
    QVERIFY(selectValue(db, tr.handle(), QStringLiteral("SELECT CAST(NULL AS VARCHAR(8)) FROM RDB$DATABASE"), 16)
                .isEmpty());
    try {
        selectValue(db, tr.handle(), QStringLiteral("SELECT 'longer than eight' FROM RDB$DATABASE"), 8);
        QFAIL("a value longer than its room was cut");
    } catch (const FbError &e) {
        QVERIFY(e.codes().contains(isc_string_truncation));
    }
    QVERIFY_THROWS_EXCEPTION(FbError, selectValue(db, tr.handle(), QStringLiteral("SELECT nothing FROM"), 8));
}

void TestFbDatabase::failedIndexUpgradeLeavesLibraryAsItWas()
{
    TestLibrary lib;
    TestLibrary::dropOrderingIndexes(lib.path());
    Connection c(lib);
    // A library of an older kind without CLAS: its index cannot be made, so none is. Such a
    // library has no folded copy either, whose trigger would keep CLAS.
    c.exec(QStringLiteral("DROP TRIGGER BOOK_SEARCH_KEEP"));
    c.db.close();
    c.exec(QStringLiteral("ALTER TABLE book DROP clas"));
    c.db.close();
    QVERIFY_THROWS_EXCEPTION(FbError, LibrarySchema::addMissingIndexes(c.db));
    QCOMPARE(LibrarySchema::missingIndexes(c.db), LibrarySchema::indexNames());
    c.exec(insertBook(QStringLiteral("Still works")));
    QCOMPARE(c.scalar(QStringLiteral("SELECT count(*) FROM book")).toInt(), 1);
}

void TestFbDatabase::indexesBuiltOneByOneKeepWhatIsDone()
{
    TestLibrary lib;
    TestLibrary::dropOrderingIndexes(lib.path());
    Connection c(lib);
    c.exec(insertBook(QStringLiteral("B")));
    c.db.close();
    const QStringList all = LibrarySchema::indexNames();
    // Cut short after three: those three stay, the next call builds only the rest.
    QList<int> seen;
    const QStringList first = LibrarySchema::buildMissingIndexes(c.db, [&](int done, int total, const QString &) {
        seen << done;
        return total == all.size() && done < 3;
    });
    QCOMPARE(first, all.mid(0, 3));
    QCOMPARE(seen, QList<int>({0, 1, 2, 3}));
    QCOMPARE(LibrarySchema::missingIndexes(c.db), all.mid(3));
    const QStringList rest = LibrarySchema::buildMissingIndexes(c.db, [](int, int, const QString &) { return true; });
    QCOMPARE(rest, all.mid(3));
    QVERIFY(LibrarySchema::missingIndexes(c.db).isEmpty());

    // One that cannot be built (an older library without CLAS) stops there; the ones before it stay.
    TestLibrary older;
    TestLibrary::dropOrderingIndexes(older.path());
    Connection o(older);
    // The folded search copy's trigger reads CLAS; an older library had neither.
    o.exec(QStringLiteral("DROP TRIGGER BOOK_SEARCH_KEEP"));
    o.exec(QStringLiteral("ALTER TABLE book DROP clas"));
    o.db.close();
    QVERIFY_THROWS_EXCEPTION(FbError, LibrarySchema::buildMissingIndexes(o.db, [](int, int, const QString &) { return true; }));
    QCOMPARE(LibrarySchema::missingIndexes(o.db), QStringList({QStringLiteral("BOOK_CLAS_ASC"), QStringLiteral("BOOK_CLAS_DESC")}));
    QCOMPARE(o.scalar(QStringLiteral("SELECT count(*) FROM book")).toInt(), 0);
}

void TestFbDatabase::lazyFetching()
{
    TestLibrary lib;
    Connection c(lib);
    FbQuery q(&c.db);
    q.setSqlText(QStringLiteral("WITH RECURSIVE n (i) AS (SELECT 1 FROM RDB$DATABASE UNION ALL "
                                "SELECT i + 1 FROM n WHERE i < 100000) SELECT i FROM n"));
    q.open();
    QVERIFY(q.fetchedCount() <= 1);
    QCOMPARE(q.fetchMore(100), 100);
    QCOMPARE(q.totalFetched(), qint64(q.fetchedCount()));
    q.setCurrentRow(499);
    QCOMPARE(q.currentRow(), 499);
    QVERIFY(q.fetchedCount() < 1000);
    QCOMPARE(q.fieldText(QStringLiteral("I")), QStringLiteral("500"));
}

void TestFbDatabase::movesAndCurrentRow()
{
    TestLibrary lib;
    Connection c(lib);
    for (const char *t : {"a", "b", "c"})
        c.exec(insertBook(QString::fromLatin1(t)));
    FbQuery q(&c.db);
    q.setSqlText(QStringLiteral("SELECT title FROM book ORDER BY title"));
    QSignalSpy moved(&q, &FbQuery::currentRowChanged);
    q.open();
    QCOMPARE(q.currentRow(), 0);
    q.prior();
    QCOMPARE(q.currentRow(), 0);
    q.last();
    QCOMPARE(q.fieldText(QStringLiteral("title")), QStringLiteral("c"));
    QVERIFY(q.isLast());
    q.next();
    QCOMPARE(q.currentRow(), 2);
    q.prior();
    QCOMPARE(q.fieldText(QStringLiteral("TITLE")), QStringLiteral("b"));
    QCOMPARE(moved.count(), 3); // open, last, prior: moves that change nothing say nothing
    q.setSql({QStringLiteral("SELECT title FROM book WHERE 1 = 0")});
    QVERIFY(!q.active());
    q.open();
    QCOMPARE(q.currentRow(), -1);
    QVERIFY(q.fieldValue(QStringLiteral("title")).isNull());
}

void TestFbDatabase::secondEngineIsRefused()
{
    TestLibrary lib;
    QProcess holder;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // Another engine with a lock directory of its own must still be kept out of the file.
    const QString otherLocks = lib.dir() + QStringLiteral("/other-locks");
    QDir().mkpath(otherLocks);
    env.insert(QStringLiteral("FIREBIRD_LOCK"), otherLocks);
    holder.setProcessEnvironment(env);
    holder.start(toolPath("BIBLIORA_CHILD_PROCESS", CHILD_PROCESS), {QStringLiteral("hold"), lib.path()});
    QVERIFY(holder.waitForStarted());
    QVERIFY(holder.waitForReadyRead(20000));
    QCOMPARE(holder.readLine().trimmed(), QByteArray("ready"));
    Connection c(lib);
    try {
        c.db.open();
        QFAIL("two engines opened the same file");
    } catch (const FbError &e) {
        QVERIFY2(e.message().contains(QLatin1String("lock"), Qt::CaseInsensitive), qPrintable(e.message()));
        QVERIFY(e.libraryInUse());
    }
    holder.kill();
    holder.waitForFinished();
    c.db.open();
    QVERIFY(c.db.connected());
}

void TestFbDatabase::lostConnectionIsDroppedAndMadeAnew()
{
    TestLibrary lib;
    Connection c(lib);
    c.exec(insertBook(QStringLiteral("before")));
    QSignalSpy changes(&c.db, &FbDatabase::connectedChanged);
    // Another attachment of the same engine ends this one, as a database shutdown or a dead
    // network would.
    {
        Connection admin(lib);
        admin.exec(QStringLiteral("DELETE FROM mon$attachments WHERE mon$attachment_id <> current_connection "
                                  "AND mon$system_flag = 0"));
    }
    try {
        c.exec(insertBook(QStringLiteral("lost")));
        QFAIL("a statement ran on an ended attachment");
    } catch (const FbError &e) {
        QVERIFY2(e.connectionLost(), qPrintable(e.message()));
    }
    QVERIFY(!c.db.connected());
    QCOMPARE(changes.count(), 1);
    QCOMPARE(changes.at(0).at(0).toBool(), false);
    // The next statement connects anew and works.
    c.exec(insertBook(QStringLiteral("after")));
    QVERIFY(c.db.connected());
    QCOMPARE(c.scalar(QStringLiteral("SELECT list(title, ',') FROM (SELECT title FROM book ORDER BY id)")).toString(),
             QStringLiteral("before,after"));
}

void TestFbDatabase::mklibraryRefusesExistingFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("LIBRARY.GDB"));
    const QString tool = toolPath("BIBLIORA_MKLIBRARY", MKLIBRARY);
    QCOMPARE(QProcess::execute(tool, {path}), 0);
    QProcess again;
    again.start(tool, {path});
    QVERIFY(again.waitForFinished());
    QCOMPARE(again.exitCode(), 1);
    QVERIFY(again.readAllStandardError().contains("already exists"));
    // The statements of the book windows run on it as written.
    FbDatabase db;
    FbTransaction tr(&db);
    db.setDatabaseName(path);
    db.setParams(TestLibrary::defaultParams());
    FbQuery q(&db);
    q.setSqlText(QStringLiteral("INSERT INTO book (title, author, iyear, publisher, genre, seria, place, description, "
                                "clas)  VALUES ('T', 'A', '0000', 'P', 'G', 'S', 'Pl', 'D', 'C')"));
    q.execSQL();
    q.setSqlText(QStringLiteral("UPDATE book SET title = 'T2' WHERE id = 1"));
    q.execSQL();
    q.setSqlText(QStringLiteral("SELECT * from book WHERE title LIKE '%T2%'"));
    q.open();
    QCOMPARE(q.fieldNames().mid(0, 3), (QStringList{"ID", "TITLE", "AUTHOR"}));
    QCOMPARE(q.fieldText(QStringLiteral("Id")), QStringLiteral("1"));
}

void TestFbDatabase::mklibrarySample()
{
    QTemporaryDir dir;
    // A folder that does not exist yet is made.
    const QString path = dir.filePath(QStringLiteral("Sample/shelf/LIBRARY.GDB"));
    const QString tool = toolPath("BIBLIORA_MKLIBRARY", MKLIBRARY);
    for (const QString &bad : {QStringLiteral("x"), QStringLiteral("-1")})
        QCOMPARE(QProcess::execute(tool, {QStringLiteral("--sample"), bad, path}), 2);
    QVERIFY(!QFile::exists(path));
    QCOMPARE(QProcess::execute(tool, {QStringLiteral("--sample"), QStringLiteral("40"), path}), 0);

    FbDatabase db;
    FbTransaction tr(&db);
    db.setDatabaseName(path);
    db.setParams(TestLibrary::defaultParams());
    FbQuery q(&db);
    const auto count = [&q](const char *sql) {
        q.close();
        q.setSqlText(QString::fromUtf8(sql));
        q.open();
        return q.fieldText(QStringLiteral("COUNT")).toInt();
    };
    QCOMPARE(count("SELECT count(*) FROM book"), 40);
    QVERIFY(count("SELECT count(*) FROM book WHERE title LIKE '%Кобзар%'") > 0);
    QVERIFY(count("SELECT count(*) FROM book WHERE author = 'Jane Austen'") > 0);
    // A few loans, each of a book on the shelf, none of one book twice.
    const int loans = count("SELECT count(*) FROM given");
    QVERIFY(loans >= 3 && loans <= 5);
    QCOMPARE(count("SELECT count(DISTINCT given_id) FROM given g JOIN book b ON b.id = g.given_id"), loans);
}

void TestFbDatabase::lockDirectoryIsUsable()
{
    const QString dir = LockDirectory::prepare();
    QVERIFY(!dir.isEmpty());
    QCOMPARE(qgetenv("FIREBIRD_LOCK"), QFile::encodeName(dir));
    QFile probe(dir + QStringLiteral("/.probe"));
    QVERIFY(probe.open(QIODevice::WriteOnly));
    probe.remove();
}

void TestFbDatabase::lockDirectoryTrust_data()
{
    QTest::addColumn<bool>("directory");
    QTest::addColumn<uint>("owner");
    QTest::addColumn<uint>("mode");
    QTest::addColumn<bool>("trusted");
    const uint me = 1000;
    const uint other = 1001;
    QTest::newRow("root's, 0755") << true << 0u << 0755u << true;
    QTest::newRow("mine, 0700") << true << me << 0700u << true;
    QTest::newRow("mine, group may write") << true << me << 0770u << false;
    QTest::newRow("root's, everybody may write, sticky") << true << 0u << 01777u << false;
    QTest::newRow("another user's, 0755") << true << other << 0755u << false;
    QTest::newRow("server package's firebird:firebird 0770") << true << other << 0770u << false;
    QTest::newRow("symbolic link") << false << me << 0777u << false;
}

void TestFbDatabase::lockDirectoryTrust()
{
    QFETCH(bool, directory);
    QFETCH(uint, owner);
    QFETCH(uint, mode);
    QFETCH(bool, trusted);
    const LockDirectory::Entry entry{true, directory, owner, mode};
    QCOMPARE(LockDirectory::trusted(entry, 1000), trusted);
}

void TestFbDatabase::hostileLockDirectoryIsRefused_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("everybody may write") << QStringLiteral("world-writable");
    QTest::newRow("symbolic link to a good directory") << QStringLiteral("link");
    QTest::newRow("symbolic link above a good directory") << QStringLiteral("link above");
    QTest::newRow("another user's") << QStringLiteral("foreign");
    QTest::newRow("server package's, user outside its group") << QStringLiteral("server-group");
}

void TestFbDatabase::hostileLockDirectoryIsRefused()
{
    QFETCH(QString, kind);
    QTemporaryDir tmp;
    QString hostile = tmp.filePath(QStringLiteral("locks"));
    const QByteArray hostileName = QFile::encodeName(hostile);
    if (kind == QLatin1String("link")) {
        QVERIFY(QDir().mkdir(tmp.filePath(QStringLiteral("good"))));
        QVERIFY(QFile::link(tmp.filePath(QStringLiteral("good")), hostile));
    } else if (kind == QLatin1String("link above")) {
        // Another account's link could be re-pointed once the directory below it was checked.
        QVERIFY(QDir().mkpath(tmp.filePath(QStringLiteral("good/locks"))));
        QCOMPARE(chmod(QFile::encodeName(tmp.filePath(QStringLiteral("good/locks"))).constData(), 0700), 0);
        QVERIFY(QFile::link(tmp.filePath(QStringLiteral("good")), tmp.filePath(QStringLiteral("alink"))));
        hostile = tmp.filePath(QStringLiteral("alink/locks"));
    } else {
        QVERIFY(QDir().mkdir(hostile));
        QCOMPARE(chmod(hostileName.constData(), kind == QLatin1String("world-writable") ? 0777 : 0770), 0);
        if (kind != QLatin1String("world-writable") && chown(hostileName.constData(), 65534, 65534) != 0)
            QSKIP("giving a directory away needs root");
    }
    const QString base = tmp.filePath(QStringLiteral("runtime"));
    const QString chosen = LockDirectory::choose(hostile, hostile, base);
    QCOMPARE(chosen, base + QStringLiteral("/firebird"));
    const LockDirectory::Entry entry = LockDirectory::inspect(chosen);
    QVERIFY(entry.directory);
    QCOMPARE(entry.owner, getuid());
    QCOMPARE(entry.mode, mode_t(0700));

    // The engine works with the private directory.
    TestLibrary lib;
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("FIREBIRD_LOCK"), chosen);
    child.setProcessEnvironment(env);
    child.start(toolPath("BIBLIORA_CHILD_PROCESS", CHILD_PROCESS), {QStringLiteral("hold"), lib.path()});
    QVERIFY(child.waitForReadyRead(20000));
    QCOMPARE(child.readLine().trimmed(), QByteArray("ready"));
    child.kill();
    child.waitForFinished();
    QVERIFY(!QDir(chosen).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

void TestFbDatabase::hostilePrivateBaseGivesNewDirectory()
{
    QTemporaryDir tmp;
    const QString hostile = tmp.filePath(QStringLiteral("locks"));
    QVERIFY(QDir().mkdir(hostile));
    QCOMPARE(chmod(QFile::encodeName(hostile).constData(), 0777), 0);
    // Someone else made the user's private place first, open to all.
    const QString base = tmp.filePath(QStringLiteral("runtime"));
    QVERIFY(QDir().mkdir(base));
    QCOMPARE(chmod(QFile::encodeName(base).constData(), 0777), 0);
    const QString chosen = LockDirectory::choose(hostile, hostile, base);
    QVERIFY(!chosen.isEmpty());
    QVERIFY2(!chosen.startsWith(base) && chosen != hostile, qPrintable(chosen));
    const LockDirectory::Entry entry = LockDirectory::inspect(chosen);
    QVERIFY(entry.directory);
    QCOMPARE(entry.owner, getuid());
    QCOMPARE(entry.mode, mode_t(0700));
    QDir(chosen).removeRecursively();
}

void TestFbDatabase::serverPaths_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("server");
    QTest::newRow("plain file") << QStringLiteral("LIBRARY.GDB") << false;
    QTest::newRow("absolute path") << QStringLiteral("/home/ann/LIBRARY.GDB") << false;
    QTest::newRow("windows drive") << QStringLiteral("C:\\Lib\\LIBRARY.GDB") << false;
    QTest::newRow("host:path") << QStringLiteral("books.local:/srv/LIBRARY.GDB") << true;
    QTest::newRow("host/port:path") << QStringLiteral("10.0.0.5/3051:/srv/LIBRARY.GDB") << true;
    QTest::newRow("inet url") << QStringLiteral("inet://books/srv/LIBRARY.GDB") << true;
    QTest::newRow("unc") << QStringLiteral("\\\\books\\LIBRARY.GDB") << true;
}

void TestFbDatabase::serverPaths()
{
    QFETCH(QString, name);
    QFETCH(bool, server);
    QCOMPARE(FbDatabase::isServerPath(name), server);
}

QTEST_GUILESS_MAIN(TestFbDatabase)
#include "tst_fbdatabase.moc"
