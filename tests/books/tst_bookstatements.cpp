#include "BookStatements.h"

#include <QtTest>

using namespace BookStatements;

Q_DECLARE_METATYPE(BookFields)

class TestBookStatements : public QObject
{
    Q_OBJECT
private slots:
    void search_data();
    void search();
    void order_data();
    void order();
    void insert_data();
    void insert();
    void update_data();
    void update();
    void deleteStatement();
};

void TestBookStatements::search_data()
{
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("sql");
    const QString s = QStringLiteral("SELECT * FROM book WHERE ");
    const char *columns[] = {"title", "author", "publisher", "seria", "genre", "iyear", "description", "place", "clas"};
    for (int i = 0; i < 9; ++i)
        QTest::addRow("%s", columns[i]) << i << QStringLiteral("abc") << true
                                        << s + QLatin1String(columns[i]) + QStringLiteral(" like '%abc%'");
    QTest::newRow("empty text") << 0 << QString() << true << s + QStringLiteral("title like '%%'");
    QTest::newRow("apostrophe doubled") << 1 << QStringLiteral("O'Brien") << true
                                        << s + QStringLiteral("author like '%O''Brien%'");
    QTest::newRow("cyrillic") << 0 << QStringLiteral("Кобзар") << true << s + QStringLiteral("title like '%Кобзар%'");
    QTest::newRow("id") << 9 << QStringLiteral("12") << true << s + QStringLiteral("id = 12");
    QTest::newRow("id with blanks") << 9 << QStringLiteral(" 7 ") << true << s + QStringLiteral("id = 7");
    QTest::newRow("id not a number") << 9 << QStringLiteral("12 or 1=1") << false << QString();
    QTest::newRow("id prompt text") << 9 << QStringLiteral("Search for?") << false << QString();
    QTest::newRow("id empty") << 9 << QString() << false << QString();
    QTest::newRow("no field") << -1 << QStringLiteral("abc") << true << QString();
}

void TestBookStatements::search()
{
    QFETCH(int, field);
    QFETCH(QString, text);
    QFETCH(bool, accepted);
    QFETCH(QString, sql);
    const std::optional<QString> built = searchSql(field, text);
    QCOMPARE(built.has_value(), accepted);
    if (accepted)
        QCOMPARE(*built, sql);
}

void TestBookStatements::order_data()
{
    QTest::addColumn<QString>("base");
    QTest::addColumn<int>("field");
    QTest::addColumn<bool>("ascending");
    QTest::addColumn<QString>("sql");
    const QString search = QStringLiteral("SELECT * FROM book WHERE title like '%abc%'\r\n");
    const QString all = QStringLiteral("SELECT * from book\r\n");
    QTest::newRow("after search, author up") << search << 2 << true << search + QStringLiteral(" ORDER BY author ASC;");
    QTest::newRow("after search, id down") << search << 0 << false << search + QStringLiteral(" ORDER BY id DESC;");
    QTest::newRow("after all books, year") << all << 6 << true << all + QStringLiteral(" ORDER BY iyear ASC;");
    QTest::newRow("after all books, class down") << all << 9 << false << all + QStringLiteral(" ORDER BY clas DESC;");
    // A reload of an ordered list makes the ordered statement the base.
    QTest::newRow("after reload of an ordering") << all + QStringLiteral(" ORDER BY title DESC;\r\n") << 3 << true
                                                 << all + QStringLiteral(" ORDER BY publisher ASC;");
    QTest::newRow("never loaded") << QString() << 1 << true << QString();
    QTest::newRow("no field") << all << -1 << true << QString();
}

void TestBookStatements::order()
{
    QFETCH(QString, base);
    QFETCH(int, field);
    QFETCH(bool, ascending);
    QFETCH(QString, sql);
    QCOMPARE(orderSql(base, field, ascending), sql);
}

void TestBookStatements::insert_data()
{
    QTest::addColumn<BookFields>("book");
    QTest::addColumn<bool>("allowEmpty");
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QStringList>("missing");
    QTest::addColumn<bool>("badYear");

    const BookFields minimal{QStringLiteral("T"),
                             QStringLiteral("A"),
                             QStringLiteral("1999"),
                             {},
                             QStringLiteral("P"),
                             {},
                             QStringLiteral("G"),
                             {},
                             {}};
    QTest::newRow("obligatory only")
        << minimal << false
        << QStringLiteral(
               "INSERT INTO book (title, author, iyear, publisher, genre)  VALUES ('T', 'A', '1999', 'P', 'G');")
        << QStringList() << false;
    BookFields withSeria = minimal;
    withSeria.seria = QStringLiteral("S");
    QTest::newRow("with seria")
        << withSeria << false
        << QStringLiteral("INSERT INTO book (title, author, iyear, publisher, genre, seria)  VALUES ('T', 'A', '1999', "
                          "'P', 'G', 'S');")
        << QStringList() << false;
    BookFields full = minimal;
    full.seria = QStringLiteral("S");
    full.place = QStringLiteral("Kyiv");
    full.description = QStringLiteral("D");
    full.clas = QStringLiteral("C");
    QTest::newRow("all optional")
        << full << false
        << QStringLiteral("INSERT INTO book (title, author, iyear, publisher, genre, seria, place, description, clas)  "
                          "VALUES ('T', 'A', '1999', 'P', 'G', 'S', 'Kyiv', 'D', 'C');")
        << QStringList() << false;
    BookFields year = minimal;
    year.year = QStringLiteral("0099");
    QTest::newRow("leading zeros dropped")
        << year << false
        << QStringLiteral(
               "INSERT INTO book (title, author, iyear, publisher, genre)  VALUES ('T', 'A', '99', 'P', 'G');")
        << QStringList() << false;
    BookFields quotes = minimal;
    quotes.author = QStringLiteral("O'Brien");
    quotes.title = QStringLiteral("'");
    QTest::newRow("quotes doubled")
        << quotes << false
        << QStringLiteral(
               "INSERT INTO book (title, author, iyear, publisher, genre)  VALUES ('''', 'O''Brien', '1999', "
               "'P', 'G');")
        << QStringList() << false;
    BookFields longTexts = minimal;
    longTexts.title = QString(70, QLatin1Char('x'));
    longTexts.genre = QString(24, QLatin1Char('g')) + QStringLiteral("''");
    QTest::newRow("cut to the column, then quoted")
        << longTexts << false
        << QStringLiteral("INSERT INTO book (title, author, iyear, publisher, genre)  VALUES ('%1', 'A', '1999', 'P', "
                          "'%2''');")
               .arg(QString(65, QLatin1Char('x')), QString(24, QLatin1Char('g')))
        << QStringList() << false;
    BookFields onlySeria;
    onlySeria.seria = QStringLiteral("S");
    QTest::newRow("empty allowed")
        << onlySeria << true
        << QStringLiteral(
               "INSERT INTO book (title, author, iyear, publisher, genre, seria)  VALUES ('Unknown', 'None', "
               "'0000', 'None', 'None', 'S');")
        << QStringList() << false;
    QTest::newRow("empty not allowed") << BookFields{} << false << QString()
                                       << QStringList{QStringLiteral("ltitle"), QStringLiteral("lauthor"),
                                                      QStringLiteral("lyear"), QStringLiteral("lpub"),
                                                      QStringLiteral("lgenre")}
                                       << false;
    BookFields letters = minimal;
    letters.year = QStringLiteral("19x9");
    letters.title.clear();
    QTest::newRow("year not a number") << letters << true << QString() << QStringList() << true;
}

void TestBookStatements::insert()
{
    QFETCH(BookFields, book);
    QFETCH(bool, allowEmpty);
    QFETCH(QString, sql);
    QFETCH(QStringList, missing);
    QFETCH(bool, badYear);
    const InsertStatement built = insertSql(book, allowEmpty, QStringLiteral("Unknown"), QStringLiteral("None"));
    QCOMPARE(built.sql, sql);
    QCOMPARE(built.missingKeys, missing);
    QCOMPARE(built.badYear, badYear);
    QCOMPARE(built.ready(), !sql.isEmpty());
}

void TestBookStatements::update_data()
{
    QTest::addColumn<BookFields>("edited");
    QTest::addColumn<QStringList>("sqls");
    const BookFields stored{QStringLiteral("T"),
                            QStringLiteral("A"),
                            QStringLiteral("1999"),
                            QStringLiteral("S"),
                            QStringLiteral("P"),
                            {},
                            QStringLiteral("G"),
                            {},
                            {}};
    QTest::newRow("unchanged") << stored << QStringList();
    BookFields year = stored;
    year.year = QStringLiteral("1998");
    QTest::newRow("year") << year << QStringList{QStringLiteral("UPDATE book SET iyear = '1998' WHERE id = 12;")};
    BookFields two = stored;
    two.genre = QStringLiteral("Poetry");
    two.title = QStringLiteral("O'Hara");
    QTest::newRow("title and genre, title first")
        << two
        << QStringList{QStringLiteral("UPDATE book SET title = 'O''Hara' WHERE id = 12;"),
                       QStringLiteral("UPDATE book SET genre = 'Poetry' WHERE id = 12;")};
    BookFields cleared = stored;
    cleared.seria.clear();
    QTest::newRow("seria cleared") << cleared
                                   << QStringList{QStringLiteral("UPDATE book SET seria = '' WHERE id = 12;")};
    BookFields others = stored;
    others.place = QStringLiteral("Львів");
    others.description = QString(300, QLatin1Char('d'));
    others.clas = QStringLiteral("C");
    others.author = QStringLiteral("B");
    others.publisher = QStringLiteral("Q");
    QTest::newRow("every other column, cut")
        << others
        << QStringList{
               QStringLiteral("UPDATE book SET author = 'B' WHERE id = 12;"),
               QStringLiteral("UPDATE book SET publisher = 'Q' WHERE id = 12;"),
               QStringLiteral("UPDATE book SET place = 'Львів' WHERE id = 12;"),
               QStringLiteral("UPDATE book SET description = '%1' WHERE id = 12;").arg(QString(255, QLatin1Char('d'))),
               QStringLiteral("UPDATE book SET clas = 'C' WHERE id = 12;")};
}

void TestBookStatements::update()
{
    const BookFields stored{QStringLiteral("T"),
                            QStringLiteral("A"),
                            QStringLiteral("1999"),
                            QStringLiteral("S"),
                            QStringLiteral("P"),
                            {},
                            QStringLiteral("G"),
                            {},
                            {}};
    QFETCH(BookFields, edited);
    QFETCH(QStringList, sqls);
    QCOMPARE(updateSqls(stored, edited, QStringLiteral("12")), sqls);
}

void TestBookStatements::deleteStatement()
{
    QCOMPARE(deleteSql(12), QStringLiteral("DELETE FROM book WHERE id = 12;"));
    QCOMPARE(parseId(QStringLiteral("abc")), std::nullopt);
    QCOMPARE(parseId(QStringLiteral("999")), std::optional<qint64>(999));
}


QTEST_GUILESS_MAIN(TestBookStatements)
#include "tst_bookstatements.moc"
