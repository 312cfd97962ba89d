#include "FbDatabase.h"
#include "FbQuery.h"
#include "FbTransaction.h"
#include "LoanStatements.h"
#include "TestLibrary.h"

#include <QtTest>

using namespace Qt::StringLiterals;

namespace {
const QString kList = u"SELECT given.given_id, book.title, given.given_to, given.given_date FROM given, book "
                      "where given.given_id = book.id"_s;
} // namespace

class TestLoanStatements : public QObject
{
    Q_OBJECT
private slots:
    void actionStatements_data();
    void actionStatements();
    void searchStatements_data();
    void searchStatements();
    void orderStatements_data();
    void orderStatements();
    void dateLiteral_data();
    void dateLiteral();
    void dateRoundTrip_data();
    void dateRoundTrip();
};

void TestLoanStatements::actionStatements_data()
{
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QString>("expected");
    const QLocale ru(u"ru_RU"_s);
    const QDate day(2006, 2, 26);
    QTest::newRow("lend") << LoanSql::lendStatement(u"17"_s, u"neighbour"_s, day, ru)
                          << u"INSERT INTO GIVEN (given_id, given_to, given_date) VALUES (17, 'neighbour', "
                             "'26.02.2006');"_s;
    QTest::newRow("lend apostrophe") << LoanSql::lendStatement(u"3"_s, u"O'Brien"_s, day, ru)
                                     << u"INSERT INTO GIVEN (given_id, given_to, given_date) VALUES (3, 'O''Brien', "
                                        "'26.02.2006');"_s;
    QTest::newRow("lend cut to 35") << LoanSql::lendStatement(u"3"_s, QString(40, u'x'), day, ru)
                                    << u"INSERT INTO GIVEN (given_id, given_to, given_date) VALUES (3, '"_s +
                                           QString(35, u'x') + u"', '26.02.2006');"_s;
    QTest::newRow("return") << LoanSql::returnStatement(u"17"_s) << u"DELETE FROM given WHERE given_id = 17;"_s;
    QTest::newRow("change") << LoanSql::changeStatement(u"17"_s, u"Ann"_s)
                            << u"UPDATE given SET given_to = 'Ann' WHERE given_id = 17;"_s;
    QTest::newRow("change apostrophe") << LoanSql::changeStatement(u"17"_s, u"d'Arc"_s)
                                       << u"UPDATE given SET given_to = 'd''Arc' WHERE given_id = 17;"_s;
}

void TestLoanStatements::actionStatements()
{
    QFETCH(QString, statement);
    QFETCH(QString, expected);
    QCOMPARE(statement, expected);
}

void TestLoanStatements::searchStatements_data()
{
    QTest::addColumn<int>("item");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("condition");
    const int ok = int(LoanSql::SearchResult::Status::Ok);
    QTest::newRow("title") << 0 << u"War"_s << ok << u"title like '%War%'"_s;
    QTest::newRow("title empty") << 0 << QString() << ok << u"title like '%%'"_s;
    QTest::newRow("prompt left in box") << 0 << u"Search for?"_s << ok << u"title like '%Search for?%'"_s;
    QTest::newRow("given to apostrophe") << 1 << u"O'Brien"_s << ok << u"given_to like '%O''Brien%'"_s;
    // Typed wildcards are matched as themselves; only then is there an ESCAPE clause.
    QTest::newRow("given to percent") << 1 << u"50%"_s << ok << u"given_to like '%50\\%%' ESCAPE '\\'"_s;
    QTest::newRow("title underscore") << 0 << u"a_b's"_s << ok << u"title like '%a\\_b''s%' ESCAPE '\\'"_s;
    QTest::newRow("date as typed") << 2 << u"26.02.2006"_s << ok << u"given_date = '26.02.2006'"_s;
    QTest::newRow("id") << 3 << u"17"_s << ok << u"given_id = 17"_s;
    QTest::newRow("id blanks") << 3 << u" 17 "_s << ok << u"given_id = 17"_s;
    const int badId = int(LoanSql::SearchResult::Status::BadId);
    QTest::newRow("id empty") << 3 << QString() << badId << QString();
    QTest::newRow("id text") << 3 << u"Search for?"_s << badId << QString();
    QTest::newRow("id injection") << 3 << u"1 or 1=1"_s << badId << QString();
    QTest::newRow("id fraction") << 3 << u"1.5"_s << badId << QString();
    QTest::newRow("no field") << -1 << u"War"_s << int(LoanSql::SearchResult::Status::NoField) << QString();
}

void TestLoanStatements::searchStatements()
{
    QFETCH(int, item);
    QFETCH(QString, text);
    QFETCH(int, status);
    QFETCH(QString, condition);
    const LoanSql::SearchResult result = LoanSql::searchStatement(item, text);
    QCOMPARE(int(result.status), status);
    QCOMPARE(result.statement, condition.isEmpty() ? QString() : kList + u" and "_s + condition);
}

void TestLoanStatements::orderStatements_data()
{
    QTest::addColumn<QString>("base");
    QTest::addColumn<int>("item");
    QTest::addColumn<bool>("ascending");
    QTest::addColumn<QString>("expected");
    const QString base = kList + u"\r\n"_s;
    QTest::newRow("id asc") << base << 0 << true << base + u" ORDER BY given_id ASC;"_s;
    QTest::newRow("title desc") << base << 1 << false << base + u" ORDER BY title DESC;"_s;
    QTest::newRow("given to desc") << base << 2 << false << base + u" ORDER BY given_to DESC;"_s;
    QTest::newRow("date asc") << base << 3 << true << base + u" ORDER BY given_date ASC;"_s;
    const QString search = kList + u" and given_to like '%A%'\r\n"_s;
    QTest::newRow("keeps search") << search << 2 << true << search + u" ORDER BY given_to ASC;"_s;
    QTest::newRow("before any refresh") << QString() << 1 << true << QString();
    QTest::newRow("no field") << base << -1 << true << QString();
}

void TestLoanStatements::orderStatements()
{
    QFETCH(QString, base);
    QFETCH(int, item);
    QFETCH(bool, ascending);
    QFETCH(QString, expected);
    QCOMPARE(LoanSql::orderStatement(base, item, ascending), expected);
}

void TestLoanStatements::dateLiteral_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("expected");
    QTest::newRow("C") << u"C"_s << u"05.02.1970"_s;
    QTest::newRow("en_US") << u"en_US"_s << u"2/5/1970"_s;
    QTest::newRow("en_GB") << u"en_GB"_s << u"05.02.1970"_s;
    QTest::newRow("de_DE") << u"de_DE"_s << u"05.02.1970"_s;
    QTest::newRow("ru_RU") << u"ru_RU"_s << u"05.02.1970"_s;
    QTest::newRow("uk_UA") << u"uk_UA"_s << u"05.02.1970"_s;
    QTest::newRow("en_CA") << u"en_CA"_s << u"1970-02-05"_s;
    QTest::newRow("ja_JP") << u"ja_JP"_s << u"1970-02-05"_s;
    QTest::newRow("nl_NL") << u"nl_NL"_s << u"05.02.1970"_s;
    QTest::newRow("ar_EG") << u"ar_EG"_s << u"05.02.1970"_s;
}

void TestLoanStatements::dateLiteral()
{
    QFETCH(QString, locale);
    QFETCH(QString, expected);
    QCOMPARE(LoanSql::dateLiteral(QDate(1970, 2, 5), QLocale(locale)), expected);
}

void TestLoanStatements::dateRoundTrip_data()
{
    QTest::addColumn<QString>("locale");
    for (const char *name : {"C", "en_US", "en_GB", "de_DE", "ru_RU", "uk_UA", "fr_FR", "pl_PL", "nl_NL", "en_CA",
                             "ja_JP", "zh_CN", "hu_HU", "ko_KR", "fa_IR", "ar_EG"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

// What the program writes is read back by the engine as the same day.
void TestLoanStatements::dateRoundTrip()
{
    QFETCH(QString, locale);
    TestLibrary library;
    FbDatabase db;
    FbTransaction transaction(&db);
    library.configure(db);
    db.open();
    FbQuery book(&db);
    book.setSqlText(u"INSERT INTO book (title, author, iyear, publisher, genre) VALUES ('T', 'A', '2001', 'P', 'G')"_s);
    book.execSQL();
    book.setSqlText(u"SELECT id FROM book"_s);
    book.open();
    const QString id = book.fieldText(u"ID"_s);
    book.close();

    const QList<QDate> days = {QDate(1970, 2, 5), QDate(2006, 2, 26), QDate(2026, 12, 1), QDate(1999, 11, 3)};
    FbQuery q(&db);
    for (const QDate &day : days) {
        q.setSqlText(LoanSql::lendStatement(id, u"x"_s, day, QLocale(locale)));
        q.execSQL();
    }
    q.setSqlText(u"SELECT given_date FROM given"_s);
    q.open();
    q.fetchAll();
    QList<QDate> read;
    for (int row = 0; row < q.fetchedCount(); ++row)
        read << q.value(row, 0).toDate();
    std::sort(read.begin(), read.end());
    QList<QDate> sorted = days;
    std::sort(sorted.begin(), sorted.end());
    QCOMPARE(read, sorted);
    db.close();
}

QTEST_GUILESS_MAIN(TestLoanStatements)
#include "tst_loanstatements.moc"
