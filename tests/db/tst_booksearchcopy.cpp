#include "BookSearchCopy.h"
#include "FbDatabase.h"
#include "FbError.h"
#include "FbQuery.h"
#include "FbTransaction.h"
#include "TestLibrary.h"

#include <QtTest>

#include <memory>

// The folded copy of BOOK that the forgiving search reads, in a Windows-1251 and a Unicode library.
class TestBookSearchCopy : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void engineFoldsAsTheProgram_data();
    void engineFoldsAsTheProgram();
    void forgivingFinds_data();
    void forgivingFinds();
    void copyFollowsChanges();
    void olderLibraryGetsItsCopy();
    void startsWithUsesAnIndex();

private:
    struct Library {
        std::unique_ptr<TestLibrary> files;
        std::unique_ptr<FbDatabase> db;
        std::unique_ptr<FbTransaction> tr;
    };
    Library &library(bool unicode) { return unicode ? m_unicode : m_win1251; }
    static void open(Library &lib, bool unicode);
    static qint64 addBook(FbDatabase &db, const QString &title);
    static void exec(FbDatabase &db, const QString &sql);
    static QString value(FbDatabase &db, const QString &sql);

    Library m_win1251;
    Library m_unicode;
};

void TestBookSearchCopy::open(Library &lib, bool unicode)
{
    lib.files = std::make_unique<TestLibrary>(true, unicode);
    lib.db = std::make_unique<FbDatabase>();
    lib.tr = std::make_unique<FbTransaction>(lib.db.get());
    lib.files->configure(*lib.db);
    lib.db->open();
}

void TestBookSearchCopy::initTestCase()
{
    open(m_win1251, false);
    open(m_unicode, true);
}

void TestBookSearchCopy::cleanupTestCase()
{
    for (Library *lib : {&m_win1251, &m_unicode})
        lib->db->close();
}

void TestBookSearchCopy::exec(FbDatabase &db, const QString &sql)
{
    FbQuery q(&db);
    q.setSqlText(sql);
    q.execSQL();
}

QString TestBookSearchCopy::value(FbDatabase &db, const QString &sql)
{
    return TestLibrary::rows(db, sql).value(0);
}

qint64 TestBookSearchCopy::addBook(FbDatabase &db, const QString &title)
{
    exec(db, QStringLiteral("INSERT INTO book (title, author, iyear, publisher, genre) VALUES ('%1', 'A', '0000', 'P', 'G')")
                 .arg(QString(title).replace(QLatin1Char('\''), QLatin1String("''"))));
    return value(db, QStringLiteral("SELECT MAX(id) FROM book")).toLongLong();
}

void TestBookSearchCopy::engineFoldsAsTheProgram_data()
{
    QTest::addColumn<bool>("unicode");
    QTest::addColumn<QString>("title");
    const QStringList words{QStringLiteral("Толстой"), QStringLiteral("ёлка Ёлка"), QStringLiteral("Єва є"),
                            QStringLiteral("Їжак ї Ігор і"), QStringLiteral("ґанок Ґ"), QStringLiteral("O'Brien 50%_x"),
                            QStringLiteral("Ўладзімір ђ љ ѓ ќ ћ џ ј ѕ њ ў")};
    const QStringList latin{QStringLiteral("Les Misérables"), QStringLiteral("Gdańsk Łódź"),
                            QStringLiteral("Straße ÆØÅ çñü"), QStringLiteral("ŠŽČ ĞİŞ ÿ")};
    for (const QString &w : words) {
        QTest::addRow("win1251 %s", qPrintable(w)) << false << w;
        QTest::addRow("unicode %s", qPrintable(w)) << true << w;
    }
    for (const QString &w : latin)
        QTest::addRow("unicode %s", qPrintable(w)) << true << w;
}

// What the triggers store is what the program makes of a typed word.
void TestBookSearchCopy::engineFoldsAsTheProgram()
{
    QFETCH(bool, unicode);
    QFETCH(QString, title);
    FbDatabase &db = *library(unicode).db;
    const qint64 id = addBook(db, title);
    QCOMPARE(value(db, QStringLiteral("SELECT s_title FROM book_search WHERE book_id = %1").arg(id)),
             BookSearchCopy::fold(title));
}

void TestBookSearchCopy::forgivingFinds_data()
{
    QTest::addColumn<bool>("unicode");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("found");
    struct Case {
        const char *name;
        const char16_t *stored;
        const char16_t *typed;
        bool found;
        bool win1251;
    };
    const Case cases[] = {
        {"case", u"Лев Толстой", u"толстой", true, true},
        {"upper typed", u"война и мир", u"ВОЙНА", true, true},
        {"yo typed", u"Елка", u"ёлка", true, true},
        {"yo stored", u"Ёлка", u"елка", true, true},
        {"ye", u"Єва", u"ева", true, true},
        {"i", u"Іван", u"иван", true, true},
        {"yi", u"Їжак", u"іжак", true, true},
        {"ghe", u"Ґанок", u"ганок", true, true},
        {"other letter", u"Толстой", u"толстый", false, true},
        {"percent literal", u"Скидка 50%", u"50%", true, true},
        {"percent no wildcard", u"Скидка 500", u"5%0", false, true},
        {"underscore literal", u"a_b", u"A_B", true, true},
        {"underscore no wildcard", u"axb", u"a_b", false, true},
        {"apostrophe", u"O'Brien", u"o'brien", true, true},
        {"accent typed", u"Les Miserables", u"misérables", true, true},
        {"accent stored", u"Les Misérables", u"MISERABLES", true, false},
        {"polish", u"Gdańsk", u"gdansk", true, false},
        {"sharp s", u"Straße", u"STRAßE", true, false},
    };
    for (const Case &c : cases) {
        QTest::addRow("win1251 %s", c.name) << false << QString::fromUtf16(c.stored) << QString::fromUtf16(c.typed)
                                            << c.found;
        QTest::addRow("unicode %s", c.name) << true << QString::fromUtf16(c.stored) << QString::fromUtf16(c.typed)
                                            << c.found;
    }
}

void TestBookSearchCopy::forgivingFinds()
{
    QFETCH(bool, unicode);
    QFETCH(QString, stored);
    QFETCH(QString, typed);
    QFETCH(bool, found);
    FbDatabase &db = *library(unicode).db;
    if (!unicode && db.charset().firstUnencodable(stored) >= 0)
        QSKIP("a Windows-1251 library cannot hold it");
    const qint64 id = addBook(db, stored);
    const QString condition = BookSearchCopy::condition(0, typed);
    const QStringList ids = TestLibrary::rows(db, BookSearchCopy::selectSql(condition));
    const bool listed = std::any_of(ids.cbegin(), ids.cend(), [id](const QString &row) {
        return row.startsWith(QString::number(id) + QLatin1Char('|'));
    });
    QCOMPARE(listed, found);
    QCOMPARE(value(db, BookSearchCopy::countSql(condition + QStringLiteral(" AND book_id = %1").arg(id))),
             found ? QStringLiteral("1") : QStringLiteral("0"));
}

void TestBookSearchCopy::copyFollowsChanges()
{
    FbDatabase &db = *m_win1251.db;
    const qint64 id = addBook(db, QStringLiteral("Анна Каренина"));
    const auto copied = [&db, id](const QString &column) {
        return value(db, QStringLiteral("SELECT %1 FROM book_search WHERE book_id = %2").arg(column).arg(id));
    };
    QCOMPARE(copied(QStringLiteral("s_title")), QStringLiteral("АННА КАРЕНИНА"));
    exec(db, QStringLiteral("UPDATE book SET author = 'Лёв' WHERE id = %1").arg(id));
    QCOMPARE(copied(QStringLiteral("s_author")), QStringLiteral("ЛЕВ"));
    exec(db, QStringLiteral("UPDATE book SET seria = NULL WHERE id = %1").arg(id));
    QCOMPARE(copied(QStringLiteral("s_seria")), QString());
    exec(db, QStringLiteral("UPDATE book SET id = %1 WHERE id = %2").arg(id + 1000).arg(id));
    QCOMPARE(copied(QStringLiteral("COUNT(*)")), QStringLiteral("0"));
    QCOMPARE(value(db, QStringLiteral("SELECT s_title FROM book_search WHERE book_id = %1").arg(id + 1000)),
             QStringLiteral("АННА КАРЕНИНА"));
    exec(db, QStringLiteral("DELETE FROM book WHERE id = %1").arg(id + 1000));
    QCOMPARE(value(db, QStringLiteral("SELECT COUNT(*) FROM book_search WHERE book_id = %1").arg(id + 1000)),
             QStringLiteral("0"));
}

// A library made before the copy existed gets it, filled, on the first call; the second finds nothing to do.
void TestBookSearchCopy::olderLibraryGetsItsCopy()
{
    TestLibrary files;
    FbDatabase db;
    FbTransaction tr(&db);
    files.configure(db);
    db.open();
    for (const char *drop : {"DROP TRIGGER BOOK_SEARCH_KEEP", "DROP TRIGGER BOOK_SEARCH_DROP", "DROP TABLE BOOK_SEARCH"}) {
        exec(db, QString::fromLatin1(drop));
        db.close(); // commits the change
        db.open();
    }
    addBook(db, QStringLiteral("Ёлка"));
    addBook(db, QStringLiteral("Їжак"));
    db.close();
    QCOMPARE(BookSearchCopy::missing(db), BookSearchCopy::Missing::All);
    int announced = 0;
    QVERIFY(BookSearchCopy::addIfMissing(db, [&announced] { ++announced; }));
    QCOMPARE(announced, 1);
    QCOMPARE(BookSearchCopy::missing(db), BookSearchCopy::Missing::Nothing);
    QCOMPARE(TestLibrary::rows(db, QStringLiteral("SELECT s_title FROM book_search ORDER BY book_id")),
             QStringList({QStringLiteral("ЕЛКА"), QStringLiteral("ИЖАК")}));
    QVERIFY(!BookSearchCopy::addIfMissing(db, [&announced] { ++announced; }));
    QCOMPARE(announced, 1);
    // A filling cut short before the indexes: finished on the next call without doubling rows.
    db.close();
    db.open();
    exec(db, QStringLiteral("DROP INDEX BOOK_SEARCH_GENRE"));
    db.close();
    QCOMPARE(BookSearchCopy::missing(db), BookSearchCopy::Missing::Indexes);
    QVERIFY(BookSearchCopy::addIfMissing(db));
    QCOMPARE(BookSearchCopy::missing(db), BookSearchCopy::Missing::Nothing);
    QCOMPARE(value(db, QStringLiteral("SELECT COUNT(*) FROM book_search")), QStringLiteral("2"));
    db.close();
}

void TestBookSearchCopy::startsWithUsesAnIndex()
{
    FbQuery q(m_unicode.db.get());
    q.setSqlText(BookSearchCopy::selectSql(BookSearchCopy::condition(1, QStringLiteral("Толс"), BookSearchCopy::Match::StartsWith)));
    QVERIFY2(q.plan().contains(QLatin1String("BOOK_SEARCH_AUTHOR")), qPrintable(q.plan()));
    q.setSqlText(BookSearchCopy::selectSql(BookSearchCopy::condition(0, QStringLiteral("толс"))));
    // The copy is read first, BOOK by its key.
    QVERIFY2(q.plan().contains(QLatin1String("BOOK_SEARCH NATURAL")), qPrintable(q.plan()));
}

QTEST_GUILESS_MAIN(TestBookSearchCopy)
#include "tst_booksearchcopy.moc"
