// A Windows-1251 library copied into a new Unicode library: every table, ids kept, counts checked.
#include "FbDatabase.h"
#include "FbError.h"
#include "FbQuery.h"
#include "FbTransaction.h"
#include "LibraryConversion.h"
#include "LibrarySchema.h"
#include "LoanSchema.h"
#include "BookIsbnTable.h"
#include "TestLibrary.h"
#include "TextCodec.h"

#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

void execute(FbDatabase &db, const QString &sql)
{
    FbQuery q(&db);
    q.setSqlText(sql);
    q.execSQL();
}

} // namespace

class TestLibraryConversion : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void everyTableCopiedWithItsIds();
    void stoppedLeavesTheOldLibraryAsItWas();

private:
    void openTarget();
    std::unique_ptr<TestLibrary> m_old;
    FbDatabase m_source;
    std::unique_ptr<FbTransaction> m_sourceTr;
    QString m_targetPath;
    FbDatabase m_target;
    std::unique_ptr<FbTransaction> m_targetTr;
};

void TestLibraryConversion::init()
{
    m_old = std::make_unique<TestLibrary>();
    m_old->configure(m_source);
    m_sourceTr = std::make_unique<FbTransaction>(&m_source);
    m_source.open();
    LoanSchema::addMissing(m_source);
    BookIsbnTable::ensure(m_source);
    for (const char *title : {"Кобзар", "O'Brien і Ґанок", "Gone", "Ёлка"})
        execute(m_source, u"INSERT INTO book (title, author, iyear, publisher, genre) VALUES ('%1', 'Шевченко', '1840', "
                          "'П', 'Поезія')"_s.arg(QString::fromUtf8(title).replace(u"'"_s, u"''"_s)));
    execute(m_source, u"INSERT INTO given (given_id, given_to, given_date, due_date) VALUES (1, 'Олена', '2026-11-01', "
                      "'2026-12-01')"_s);
    execute(m_source, u"INSERT INTO given (given_id, given_to, given_date) VALUES (3, 'Ann', '2026-10-01')"_s);
    execute(m_source, u"DELETE FROM given WHERE given_id = 3"_s); // into the history
    execute(m_source, u"DELETE FROM book WHERE id = 3"_s);          // the history keeps it
    execute(m_source, u"INSERT INTO borrower (name, phone, email) VALUES ('Олена', '555', 'o@example.org')"_s);
    execute(m_source, u"INSERT INTO book_isbn (book_id, isbn, source, cover) VALUES (1, '9789660000000', 'Open Library', "
                      "x'FFD8FF00E0')"_s);
    m_targetPath = m_old->dir() + u"/unicode.gdb"_s;
    LibrarySchema::create(m_targetPath, true, true);
}

void TestLibraryConversion::openTarget()
{
    m_target.setDatabaseName(m_targetPath);
    m_target.setParams({u"user_name=SYSDBA"_s, u"lc_ctype=UTF8"_s});
    m_targetTr = std::make_unique<FbTransaction>(&m_target);
    m_target.open();
}

void TestLibraryConversion::cleanup()
{
    m_targetTr.reset();
    m_target.close();
    m_sourceTr.reset();
    m_source.close();
    m_old.reset();
}

void TestLibraryConversion::everyTableCopiedWithItsIds()
{
    const QStringList queries{u"SELECT id, title, author FROM book ORDER BY id"_s,
                              u"SELECT given_id, given_to, given_date, due_date FROM given"_s,
                              u"SELECT book_id, title, given_to, given_date FROM loan_history"_s,
                              u"SELECT name, phone, email FROM borrower"_s,
                              u"SELECT book_id, isbn, source, octet_length(cover) FROM book_isbn"_s};
    QList<QStringList> before;
    for (const QString &q : queries)
        before << TestLibrary::rows(m_source, q);
    openTarget();
    QStringList steps;
    const QList<LibraryConversion::Count> counts = LibraryConversion::convert(
        m_target, m_source.databaseName(), m_source.sessionParams(), [&steps](int, int, const QString &table) {
            steps << table;
            return true;
        });
    QCOMPARE(steps, (QStringList{u"BOOK"_s, u"GIVEN"_s, u"LOAN_HISTORY"_s, u"BORROWER"_s, u"BOOK_ISBN"_s, QString()}));
    QCOMPARE(counts.size(), 5);
    QCOMPARE(counts.first().source, 3);
    for (int i = 0; i < queries.size(); ++i)
        QCOMPARE(TestLibrary::rows(m_target, queries[i]), before[i]);
    QCOMPARE(TestLibrary::rows(m_target, u"SELECT title FROM book WHERE id = 2"_s), QStringList{u"O'Brien і Ґанок"_s});
    // Now the library takes what Windows-1251 cannot, and a new book never reuses the deleted book's id.
    execute(m_target, u"INSERT INTO book (title, author, iyear, publisher, genre) VALUES ('Les Misérables', 'Hugo', "
                      "'1862', 'P', 'G')"_s);
    QCOMPARE(TestLibrary::rows(m_target, u"SELECT id FROM book WHERE author = 'Hugo'"_s), QStringList{u"5"_s});
    // The forgiving search copy was filled as the books came in.
    QCOMPARE(TestLibrary::rows(m_target, u"SELECT count(*) FROM book_search"_s), QStringList{u"4"_s});
    // The old library is as it was.
    QCOMPARE(TestLibrary::rows(m_source, queries.first()), before.first());
}

void TestLibraryConversion::stoppedLeavesTheOldLibraryAsItWas()
{
    const QStringList books = TestLibrary::rows(m_source, u"SELECT id, title FROM book ORDER BY id"_s);
    openTarget();
    QVERIFY_THROWS_EXCEPTION(FbError, LibraryConversion::convert(m_target, m_source.databaseName(),
                                                                 m_source.sessionParams(),
                                                                 [](int done, int, const QString &) { return done < 1; }));
    QCOMPARE(TestLibrary::rows(m_source, u"SELECT id, title FROM book ORDER BY id"_s), books);
}

QTEST_GUILESS_MAIN(TestLibraryConversion)
#include "tst_libraryconversion.moc"
