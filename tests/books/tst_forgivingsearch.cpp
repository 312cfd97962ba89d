#include "AppFixture.h"
#include "AppState.h"
#include "BookSearchBar.h"
#include "ClickableLabel.h"
#include "ConnectionProfileFile.h"
#include "DBGridEh.h"
#include "DbWorker.h"
#include "EventConsole.h"
#include "FbDatabase.h"
#include "FbQuery.h"
#include "FbTransaction.h"
#include "GivenSnapshot.h"
#include "LendWindow.h"
#include "LibrarySchema.h"
#include "MainWindow.h"
#include "ReturnWindow.h"
#include "SettingsList.h"
#include "TextCodec.h"
#include "TestLibrary.h"
#include "UserPrompts.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFrame>
#include <QLineEdit>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace
{
void execute(const QString &sql)
{
    FbQuery q(MainF->IBDatabase1());
    q.setSqlText(sql);
    q.execSQL();
}

void addBook(const QString &title, const QString &author)
{
    execute(u"INSERT INTO book (title, author, iyear, publisher, genre) VALUES ('%1', '%2', '2001', 'P', 'G')"_s.arg(
        title, author));
}

int rowCount()
{
    FbQuery *list = MainF->IBQuery1();
    if (!list->active())
        return -1;
    list->fetchAll();
    return list->fetchedCount();
}

QStringList sqlLines()
{
    QStringList sql;
    for (const QString &line : AppFixture::consoleMessages())
        if (line.startsWith(u"{SQL} "_s))
            sql << line.mid(6);
    return sql;
}

template <typename T> T *child(QObject *parent, const char *name)
{
    T *found = parent->findChild<T *>(QLatin1String(name));
    if (!found)
        qFatal("no control %s", name);
    return found;
}

BookSearchBar *searchBar()
{
    return child<QFrame>(MainF, "SearchBar")->findChild<BookSearchBar *>();
}

void search(int field, const QString &text)
{
    BookSearchBar *bar = searchBar();
    child<QComboBox>(bar, "SelList2")->setCurrentIndex(field);
    child<QLineEdit>(bar, "edSel2")->setText(text);
    QTest::mouseClick(child<QLabel>(bar, "SearchImg"), Qt::LeftButton);
}

QString settingsFile()
{
    QFile file(AppState::baseDirectory() + u".settings"_s);
    file.open(QIODevice::ReadOnly);
    return QString::fromLatin1(file.readAll());
}

DBGridEh *bookGrid()
{
    return child<DBGridEh>(MainF, "DBGridEh1");
}

// The title cell of the row showing the book with that title.
QModelIndex titleCell(const QString &title)
{
    FbQuery *list = MainF->IBQuery1();
    list->fetchAll();
    const int titleField = list->fieldIndex(u"TITLE"_s);
    for (int row = 0; row < list->fetchedCount(); ++row)
        if (list->value(row, titleField).toString() == title)
            for (int column = 0; column < bookGrid()->model()->columnCount(); ++column)
                if (bookGrid()->columnField(column).compare(u"TITLE"_s, Qt::CaseInsensitive) == 0)
                    return bookGrid()->model()->index(row, column);
    return {};
}
} // namespace

class TestForgivingSearch : public QObject
{
    Q_OBJECT
private slots:
    void init() { UserPrompts::clearShownMessages(); }
    void nothingFoundOffersTheForgivingResult();
    void ignoreCaseSearchesForgivingAndIsRemembered();
    void filterAsYouTypeRunsOneSearchPerPause();
    void lentBooksAreMarkedUntilReturned();
    void lentMarksReadLoansOnlyWhenChanged();
    void unicodeLibraryStoresAndFindsAccents_data();
    void unicodeLibraryStoresAndFindsAccents();
    void olderLibraryIsFilledBesideTheWindow();
};

// A library made before the folded copy: the program adds it on connect and a worker fills it.
void TestForgivingSearch::olderLibraryIsFilledBesideTheWindow()
{
    AppFixture app;
    {
        FbDatabase db;
        FbTransaction tr(&db);
        db.setDatabaseName(app.path(u"LIBRARY.GDB"_s));
        db.setParams(TestLibrary::defaultParams());
        for (const char *drop : {"DROP TRIGGER BOOK_SEARCH_KEEP", "DROP TRIGGER BOOK_SEARCH_DROP", "DROP TABLE BOOK_SEARCH"}) {
            FbQuery q(&db);
            q.setSqlText(QString::fromLatin1(drop));
            q.execSQL();
            db.close();
        }
        FbQuery add(&db);
        add.setSqlText(u"INSERT INTO book (title, author, iyear, publisher, genre) VALUES ('Ёлка', 'A', '1', 'P', 'G')"_s);
        add.execSQL();
        db.close();
    }
    app.start();
    QVERIFY(AppFixture::consoleMessages().contains(u"Preparing the search that ignores case ..."_s));
    QTRY_VERIFY_WITH_TIMEOUT(AppFixture::consoleMessages().contains(u"Search that ignores case: ready"_s), 60000);
    search(0, u"елка"_s);
    QCOMPARE(child<ClickableLabel>(searchBar(), "ForgivingOffer")->text(), u"Found 1 ignoring case"_s);
}

void TestForgivingSearch::nothingFoundOffersTheForgivingResult()
{
    AppFixture app;
    app.start();
    addBook(u"Война и мир"_s, u"Лев Толстой"_s);
    addBook(u"Анна Каренина"_s, u"Лев Толстой"_s);
    addBook(u"Мёртвые души"_s, u"Гоголь"_s);
    search(1, u"толстой"_s);
    // The document's search ran as it always did, and found nothing.
    QCOMPARE(sqlLines().last(), u"SELECT * FROM book WHERE author like '%толстой%'"_s);
    QCOMPARE(rowCount(), 0);
    QCOMPARE(bookGrid()->statusText(), u"Nothing found"_s);
    auto *offer = child<ClickableLabel>(searchBar(), "ForgivingOffer");
    QVERIFY(offer->isVisible());
    QCOMPARE(offer->text(), u"Found 2 ignoring case"_s);

    QTest::mouseClick(offer, Qt::LeftButton);
    QVERIFY(!offer->isVisible());
    QCOMPARE(rowCount(), 2);
    QVERIFY(sqlLines().last().startsWith(u"SELECT book.* FROM BOOK_SEARCH"_s));
    QCOMPARE(bookGrid()->statusText(), QString());
    // The forgiving result can be ordered like any other.
    child<QComboBox>(searchBar(), "SelList3")->setCurrentIndex(1);
    QTest::mouseClick(child<QLabel>(searchBar(), "ArrangeDownImg"), Qt::LeftButton);
    QCOMPARE(rowCount(), 2);
    QCOMPARE(MainF->IBQuery1()->fieldText(u"TITLE"_s), u"Анна Каренина"_s);
    QVERIFY(UserPrompts::shownMessages().isEmpty());

    // Nothing to offer when even the forgiving search finds nothing.
    search(0, u"толстый"_s);
    QVERIFY(!offer->isVisible());
    // "мертвые" finds "Мёртвые" only ignoring case and ё.
    search(0, u"мертвые"_s);
    QCOMPARE(offer->text(), u"Found 1 ignoring case"_s);
    // A reload of the list leaves no stale offer behind.
    MainF->LeftRefreshAllLbClick();
    QVERIFY(!offer->isVisible());
}

void TestForgivingSearch::ignoreCaseSearchesForgivingAndIsRemembered()
{
    {
        AppFixture app;
        app.start();
        addBook(u"Ёлка"_s, u"Чуковский"_s);
        addBook(u"Їжак"_s, u"Х"_s);
        addBook(u"50% скидка"_s, u"Y"_s);
        auto *toggle = child<QCheckBox>(searchBar(), "IgnoreCaseChk");
        QVERIFY(!toggle->isChecked());
        QTest::mouseClick(toggle, Qt::LeftButton, {}, QPoint(4, toggle->height() / 2));
        QVERIFY(toggle->isChecked());
        QVERIFY(settingsFile().contains(u"Ignorecase=1\r\n"_s));

        const int before = sqlLines().size();
        search(0, u"елка"_s);
        QCOMPARE(rowCount(), 1);
        // One statement ran, the forgiving one.
        QCOMPARE(sqlLines().size(), before + 1);
        QVERIFY(sqlLines().last().contains(u"S_TITLE like '%ЕЛКА%'"_s));
        search(0, u"ижак"_s);
        QCOMPARE(rowCount(), 1);
        search(0, u"5%"_s);
        QCOMPARE(rowCount(), 0); // "%" is no wildcard here
        QCOMPARE(bookGrid()->statusText(), u"Nothing found"_s);
        // Id has no forgiving form: its own statement runs.
        search(9, u"1"_s);
        QCOMPARE(sqlLines().last(), u"SELECT * FROM book WHERE id = 1"_s);
        app.closeMainWindow();
    }
}

void TestForgivingSearch::filterAsYouTypeRunsOneSearchPerPause()
{
    AppFixture app;
    app.start();
    addBook(u"Кобзар"_s, u"Shevchenko"_s);
    addBook(u"Каменяр"_s, u"Franko"_s);
    QAction *filter = child<QAction>(MainF, "FilterAsYouType1");
    QVERIFY(!filter->isChecked());
    filter->trigger();
    QVERIFY(settingsFile().contains(u"Filterastype=1\r\n"_s));
    BookSearchBar *bar = searchBar();
    child<QComboBox>(bar, "SelList2")->setCurrentIndex(1);
    auto *box = child<QLineEdit>(bar, "edSel2");
    box->clear();
    box->setFocus();
    const int before = sqlLines().size();
    QTest::keyClicks(box, u"Shev"_s);
    QTRY_COMPARE(sqlLines().size(), before + 1);
    QCOMPARE(sqlLines().last(), u"SELECT * FROM book WHERE author like '%Shev%'"_s);
    QCOMPARE(rowCount(), 1);
    // Typing went on while the list followed: the box holds every key.
    QTest::keyClick(box, Qt::Key_Backspace);
    QTest::keyClick(box, Qt::Key_Backspace);
    QTest::keyClick(box, Qt::Key_Backspace);
    QTest::keyClick(box, Qt::Key_Backspace);
    QTRY_COMPARE(sqlLines().size(), before + 2);
    QCOMPARE(box->text(), QString());
    QCOMPARE(rowCount(), 2);
}

void TestForgivingSearch::lentBooksAreMarkedUntilReturned()
{
    AppFixture app;
    app.start();
    addBook(u"First"_s, u"A"_s);
    addBook(u"Second"_s, u"B"_s);
    MainF->RefreshBooks();
    MainF->IBQuery1()->first();
    GivenF->show();
    GivenF->findChild<QLineEdit *>(u"GivenToEd"_s)->setText(u"Ann"_s);
    GivenF->Button1Click();
    QTRY_VERIFY(titleCell(u"First"_s).data(Qt::BackgroundRole).isValid());
    QVERIFY(titleCell(u"First"_s).data(Qt::ToolTipRole).toString().startsWith(u"Lent to Ann on "_s));
    QVERIFY(!titleCell(u"Second"_s).data(Qt::BackgroundRole).isValid());
    // Only the title cell carries the mark.
    const QModelIndex title = titleCell(u"First"_s);
    QVERIFY(!title.siblingAtColumn(title.column() == 0 ? 1 : 0).data(Qt::BackgroundRole).isValid());

    QAction *mark = child<QAction>(MainF, "MarkLent1");
    mark->trigger();
    QVERIFY(!titleCell(u"First"_s).data(Qt::BackgroundRole).isValid());
    QVERIFY(settingsFile().contains(u"Hidelentmark=1\r\n"_s));
    mark->trigger();
    QVERIFY(titleCell(u"First"_s).data(Qt::BackgroundRole).isValid());

    // Taken back: the mark goes.
    MainF->RefreshGiven();
    BackF->show();
    BackF->Button1Click();
    QTRY_VERIFY(!titleCell(u"First"_s).data(Qt::BackgroundRole).isValid());
}

// A re-run of the list reads GIVEN again only when it changed, whoever changed it: here another
// attachment, as another program on a server library would.
void TestForgivingSearch::lentMarksReadLoansOnlyWhenChanged()
{
    AppFixture app;
    app.start();
    addBook(u"First"_s, u"A"_s);
    FbDatabase other;
    other.setDatabaseName(MainF->IBDatabase1()->databaseName());
    other.setParams(MainF->IBDatabase1()->sessionParams());
    FbTransaction otherTransaction(&other);
    const QString id = TestLibrary::rows(other, u"SELECT id FROM book"_s).first();
    const auto run = [&](const QString &sql) {
        FbQuery q(&other);
        q.setSqlText(sql);
        q.execSQL();
    };
    run(u"INSERT INTO given (given_id, given_to, given_date) VALUES (%1, 'Eve', CURRENT_DATE)"_s.arg(id));
    MainF->RefreshBooks();
    QTRY_VERIFY(titleCell(u"First"_s).data(Qt::BackgroundRole).isValid());
    QVERIFY(titleCell(u"First"_s).data(Qt::ToolTipRole).toString().startsWith(u"Lent to Eve on "_s));

    // GIVEN and its change counter are read beside the window, by a worker of its own.
    auto *reader = MainF->findChild<DbWorker *>(u"LentWorker"_s);
    auto *marks = MainF->findChild<GivenSnapshot *>(u"Lent"_s);
    QTRY_VERIFY(!reader->running());
    QSignalSpy checks(marks, &GivenSnapshot::checked);
    for (int i = 1; i <= 3; ++i) {
        MainF->RefreshBooks();
        QTRY_COMPARE(checks.count(), i);
        QTRY_VERIFY(!reader->running());
    }
    for (const QList<QVariant> &check : checks)
        QCOMPARE(check.first().toBool(), false);
    QVERIFY(titleCell(u"First"_s).data(Qt::BackgroundRole).isValid());

    run(u"UPDATE given SET given_to = 'Ivy'"_s);
    MainF->RefreshBooks();
    QTRY_VERIFY(titleCell(u"First"_s).data(Qt::ToolTipRole).toString().startsWith(u"Lent to Ivy on "_s));
    run(u"DELETE FROM given"_s);
    MainF->RefreshBooks();
    QTRY_VERIFY(!titleCell(u"First"_s).data(Qt::BackgroundRole).isValid());
}

void TestForgivingSearch::unicodeLibraryStoresAndFindsAccents_data()
{
    QTest::addColumn<QString>("profileCharset");
    QTest::newRow("profile says UTF8") << u"UTF8"_s;
    // The profile every user has: the connection follows the library, the profile's file stays.
    QTest::newRow("profile says WIN1251") << u"WIN1251"_s;
}

void TestForgivingSearch::unicodeLibraryStoresAndFindsAccents()
{
    QFETCH(QString, profileCharset);
    AppFixture app(AppFixture::Files{true, false, false, false});
    LibrarySchema::create(app.path(u"LIBRARY.GDB"_s), true, true);
    ConnectionProfileFile::write(app.path(u".dbconnection"_s), {profileCharset, u"SYSDBA"_s, u"quietlamp"_s,
                                                                 app.path(u"LIBRARY.GDB"_s), u"0"_s});
    const QByteArray profile = TestLibrary::fileBytes(app.path(u".dbconnection"_s));
    app.start();
    QCOMPARE(MainF->IBDatabase1()->charset().kind(), ConnectionCharset::Kind::Utf8);
    // What the add window checks before it writes: the library can hold these.
    QCOMPARE(MainF->IBDatabase1()->charset().firstUnencodable(u"Les Misérables Gdańsk Straße"), -1);
    addBook(u"Les Misérables"_s, u"Hugo"_s);
    addBook(u"Gdańsk"_s, u"Grass"_s);
    addBook(u"Straße"_s, u"X"_s);
    addBook(u"Кобзар"_s, u"Шевченко"_s);
    search(0, u"Misérables"_s);
    QCOMPARE(rowCount(), 1);
    QCOMPARE(MainF->IBQuery1()->fieldText(u"TITLE"_s), u"Les Misérables"_s);
    search(0, u"gdansk"_s);
    QCOMPARE(rowCount(), 0);
    QCOMPARE(child<ClickableLabel>(searchBar(), "ForgivingOffer")->text(), u"Found 1 ignoring case"_s);
    search(0, u"straß"_s);
    QCOMPARE(child<ClickableLabel>(searchBar(), "ForgivingOffer")->text(), u"Found 1 ignoring case"_s);
    // Cyrillic before Latin, as a Ukrainian reader expects.
    child<QComboBox>(searchBar(), "SelList3")->setCurrentIndex(1);
    MainF->LeftRefreshAllLbClick();
    QTest::mouseClick(child<QLabel>(searchBar(), "ArrangeDownImg"), Qt::LeftButton);
    QCOMPARE(MainF->IBQuery1()->fieldText(u"TITLE"_s), u"Кобзар"_s);
    // A worker's own attachment speaks UTF8 too.
    FbDatabase worker;
    worker.setDatabaseName(MainF->IBDatabase1()->databaseName());
    worker.setParams(MainF->IBDatabase1()->sessionParams());
    FbTransaction workerTransaction(&worker);
    QCOMPARE(TestLibrary::rows(worker, u"SELECT title FROM book WHERE author = 'Grass'"_s), QStringList{u"Gdańsk"_s});
    app.closeMainWindow();
    QCOMPARE(TestLibrary::fileBytes(app.path(u".dbconnection"_s)), profile);
}

QTEST_MAIN(TestForgivingSearch)
#include "tst_forgivingsearch.moc"
