#include "AppFixture.h"
#include "AppState.h"
#include "DBGridEh.h"
#include "DataSource.h"
#include "EventConsole.h"
#include "FbDatabase.h"
#include "FbQuery.h"
#include "LangStr.h"
#include "Language.h"
#include "LendWindow.h"
#include "LibrarySchema.h"
#include "LoanChangeWindow.h"
#include "LoanList.h"
#include "LoanSearchBar.h"
#include "MainWindow.h"
#include "ReturnWindow.h"
#include "SettingsList.h"
#include "UserPrompts.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

void execute(const QString &sql)
{
    FbQuery q(MainF->IBDatabase1());
    q.setSqlText(sql);
    q.execSQL();
}

QList<QStringList> rows(const QString &sql)
{
    FbQuery q(MainF->IBDatabase1());
    q.setSqlText(sql);
    q.open();
    q.fetchAll();
    QList<QStringList> all;
    for (int r = 0; r < q.fetchedCount(); ++r) {
        QStringList row;
        for (int c = 0; c < q.fieldCount(); ++c)
            row << FbQuery::displayText(q.value(r, c));
        all << row;
    }
    return all;
}

// Books "First", "Second", "Third" (ids in that order), the book list on the first.
void addBooks()
{
    for (const char *title : {"First", "Second", "Third"})
        execute(u"INSERT INTO book (title, author, iyear, publisher, genre) VALUES ('%1', 'A', '2001', 'P', 'G')"_s.arg(
            QString::fromLatin1(title)));
    mainApi()->RefreshBooks();
    mainApi()->IBQuery1()->first();
}

QString currentBookId()
{
    return mainApi()->IBQuery1()->fieldText(u"ID"_s);
}

void lend(const QString &borrower)
{
    GivenF->show();
    GivenF->findChild<QLineEdit *>(u"GivenToEd"_s)->setText(borrower);
    GivenF->Button1Click();
}

QStringList sqlLines()
{
    QStringList sql;
    for (const QString &line : EventConsole::lines()) {
        const qsizetype at = line.indexOf(u": {SQL} "_s);
        if (at >= 0)
            sql << line.mid(at + 8);
    }
    return sql;
}

template <typename T>
T *child(QWidget *parent, const char *name)
{
    T *w = parent->findChild<T *>(QString::fromLatin1(name));
    if (!w)
        qFatal("no control %s", name);
    return w;
}

} // namespace

class TestLoanWindows : public QObject
{
    Q_OBJECT
private slots:
    void firstOpenCreatesLoanTable();
    void lendTwiceThenReturnBoth();
    void emptyBorrowerKeepsWindowOpen();
    void changeRenamesEveryLoanOfTheBook();
    void failedActionsTellTheUser();
    void lendWritesTheDayThePickerShows();
    void searchAndOrdering();
    void idSearchNeedsWholeNumber();
    void enterAndTitleClicksOnTheLoanPage();
    void loanListFollowsBookList();
    void barActsOnTheFieldItShowsAfterLanguageSwitch();
};

void TestLoanWindows::firstOpenCreatesLoanTable()
{
    AppFixture::Files files;
    files.library = false;
    AppFixture app(files);
    LibrarySchema::create(app.path(u"LIBRARY.GDB"_s), false);
    app.start();
    // No loan table yet: the program starts without a word about the loan list.
    QVERIFY(UserPrompts::shownMessages().isEmpty());
    addBooks();
    UserPrompts::clearShownMessages();
    const int before = EventConsole::lines().size();

    GivenF->show();
    QCOMPARE(UserPrompts::shownMessages().size(), 1);
    QVERIFY(UserPrompts::shownMessages().first().startsWith(u"Bibliora going to modify database structure\r"_s));
    const QStringList logged = AppFixture::consoleMessages().mid(before);
    QVERIFY(logged.contains(LangStr(u"cdbmod1"_s)));
    QVERIFY(logged.contains(LangStr(u"cdbmod2"_s)));
    QVERIFY(std::any_of(logged.begin(), logged.end(),
                        [](const QString &l) { return l.startsWith(u"{SQL} create table GIVEN"_s); }));
    QVERIFY(logged.contains(LangStr(u"cdbconnd"_s)));
    QVERIFY(MainF->IBDatabase1()->connected());
    QCOMPARE(rows(u"SELECT count(*) FROM given"_s), (QList<QStringList>{{u"0"_s}}));

    // Once there, the table is left alone and the window works.
    GivenF->hide();
    const int second = EventConsole::lines().size();
    // The reconnection closed the book list: with no current book the window just closes.
    lend(u"Ann"_s);
    QVERIFY(!GivenF->isVisible());
    QCOMPARE(rows(u"SELECT count(*) FROM given"_s), (QList<QStringList>{{u"0"_s}}));
    mainApi()->RefreshBooks();
    lend(u"Ann"_s);
    QCOMPARE(UserPrompts::shownMessages().size(), 1);
    QVERIFY(!AppFixture::consoleMessages().mid(second).contains(LangStr(u"cdbmod1"_s)));
    QCOMPARE(rows(u"SELECT given_to FROM given"_s), (QList<QStringList>{{u"Ann"_s}}));
}

void TestLoanWindows::lendTwiceThenReturnBoth()
{
    AppFixture app;
    app.start();
    addBooks();
    const QString id = currentBookId();

    lend(u"Ann"_s);
    QVERIFY(!GivenF->isVisible());
    lend(u"A borrower whose name is much longer than thirty-five"_s);
    QCOMPARE(rows(u"SELECT given_id, given_to FROM given ORDER BY given_to"_s),
             (QList<QStringList>{{id, u"A borrower whose name is much longer"_s.left(35)}, {id, u"Ann"_s}}));
    QVERIFY(UserPrompts::shownMessages().isEmpty());
    QCOMPARE(mainApi()->IBQuery5()->fieldText(u"TITLE"_s), u"First"_s);

    BackF->show();
    QCOMPARE(child<QLineEdit>(BackF, "DBEdit1")->text(), id);
    BackF->Button1Click();
    QVERIFY(!BackF->isVisible());
    QCOMPARE(rows(u"SELECT count(*) FROM given"_s), (QList<QStringList>{{u"0"_s}}));
    QCOMPARE(sqlLines().last(), u"DELETE FROM given WHERE given_id = %1;"_s.arg(id));
    QVERIFY(mainApi()->IBQuery5()->active());
    QVERIFY(mainApi()->IBQuery5()->isEmpty());
}

void TestLoanWindows::emptyBorrowerKeepsWindowOpen()
{
    AppFixture app;
    app.start();
    addBooks();
    UserPrompts::clearShownMessages();
    lend(QString());
    QCOMPARE(UserPrompts::shownMessages(),
             QStringList{u"Please type \"given to\" information\rПожалуйста введите информацию о том\r"
                         "кому отдается книга"_s});
    QVERIFY(GivenF->isVisible());
    QCOMPARE(rows(u"SELECT count(*) FROM given"_s), (QList<QStringList>{{u"0"_s}}));
}

void TestLoanWindows::changeRenamesEveryLoanOfTheBook()
{
    AppFixture app;
    app.start();
    addBooks();
    const QString first = currentBookId();
    lend(u"Ann"_s);
    lend(u"Ann"_s);
    mainApi()->IBQuery1()->next();
    lend(u"Zoe"_s);
    mainApi()->RefreshGiven();
    mainApi()->IBQuery5()->first();
    QCOMPARE(mainApi()->IBQuery5()->fieldText(u"GIVEN_ID"_s), first);

    GivenCngF->show();
    auto *name = child<QLineEdit>(GivenCngF, "ReGivenToEd");
    QCOMPARE(name->text(), u"Ann"_s);
    name->setText(u"O'Brien"_s);
    GivenCngF->Button1Click();
    QVERIFY(GivenCngF->isVisible());
    QCOMPARE(name->text(), u"O'Brien"_s);
    QCOMPARE(rows(u"SELECT given_id, given_to FROM given ORDER BY given_to"_s),
             (QList<QStringList>{{first, u"O'Brien"_s}, {first, u"O'Brien"_s},
                                 {rows(u"SELECT id FROM book WHERE title = 'Second'"_s)[0][0], u"Zoe"_s}}));
    QVERIFY(mainApi()->IBQuery5()->active());
    QCOMPARE(mainApi()->IBQuery5()->currentRow(), 0);
    QCOMPARE(sqlLines().last(), u"UPDATE given SET given_to = 'O''Brien' WHERE given_id = %1;"_s.arg(first));
    GivenCngF->hide();

    // With no current loan the modal window closes itself and the call returns.
    mainApi()->IBQuery5()->close();
    LoanSearchBar bar;
    bar.GivenCngClick();
    QVERIFY(!GivenCngF->isVisible());
}

void TestLoanWindows::failedActionsTellTheUser()
{
    AppFixture app;
    app.start();
    addBooks();
    lend(u"Ann"_s);
    mainApi()->RefreshGiven();
    UserPrompts::clearShownMessages();

    // A book that is not there breaks the foreign key.
    GivenF->show();
    child<QLineEdit>(GivenF, "DBEdit1")->setText(u"999999"_s);
    child<QLineEdit>(GivenF, "GivenToEd")->setText(u"Ann"_s);
    GivenF->Button1Click();
    QVERIFY(GivenF->isVisible());
    QCOMPARE(UserPrompts::shownMessages().size(), 1);
    QVERIFY(UserPrompts::shownMessages().first().startsWith(u"The book could not be marked as given\r"_s));
    QVERIFY(UserPrompts::shownMessages().first().contains(u"FOREIGN KEY"_s, Qt::CaseInsensitive));
    // The list is run again, as after a success, so the loans do not look lost.
    QVERIFY(mainApi()->IBQuery5()->active());
    QCOMPARE(mainApi()->IBQuery5()->fieldText(u"GIVEN_TO"_s), u"Ann"_s);
    GivenF->hide();

    BackF->show();
    child<QLineEdit>(BackF, "DBEdit1")->setText(u"1 +"_s);
    BackF->Button1Click();
    QVERIFY(BackF->isVisible());
    QCOMPARE(UserPrompts::shownMessages().size(), 2);
    QVERIFY(UserPrompts::shownMessages().last().startsWith(u"The book could not be turned back\r"_s));
    QCOMPARE(sqlLines().last(), u"DELETE FROM given WHERE given_id = 1 +;"_s);
    QVERIFY(mainApi()->IBQuery5()->active());
    BackF->hide();

    GivenCngF->show();
    child<QLineEdit>(GivenCngF, "DBEdit1")->setText(u"x"_s);
    GivenCngF->Button1Click();
    QCOMPARE(UserPrompts::shownMessages().size(), 3);
    QVERIFY(UserPrompts::shownMessages().last().startsWith(u"The borrower could not be changed\r"_s));
    QCOMPARE(rows(u"SELECT given_to FROM given"_s), (QList<QStringList>{{u"Ann"_s}}));
    QVERIFY(mainApi()->IBQuery5()->active());
    GivenCngF->hide();
}

void TestLoanWindows::lendWritesTheDayThePickerShows()
{
    AppFixture app;
    app.start();
    addBooks();
    // Day and month both below 13: a month-first reading would give another day.
    GivenF->setDateLocale(QLocale(u"en_GB"_s));
    GivenF->show();
    QCOMPARE(child<QDateEdit>(GivenF, "DateTimePicker1")->date(), QDate::currentDate());
    child<QDateEdit>(GivenF, "DateTimePicker1")->setDate(QDate(2006, 2, 5));
    child<QLineEdit>(GivenF, "GivenToEd")->setText(u"Ann"_s);
    GivenF->Button1Click();
    // The loan's statement, then the one giving it its due date.
    QVERIFY(sqlLines().last().startsWith(u"UPDATE given SET due_date = "_s));
    QCOMPARE(sqlLines().at(sqlLines().size() - 2),
             u"INSERT INTO GIVEN (given_id, given_to, given_date) VALUES (%1, 'Ann', '05.02.2006');"_s.arg(
                 currentBookId()));
    FbQuery stored(MainF->IBDatabase1());
    stored.setSqlText(u"SELECT given_date FROM given"_s);
    stored.open();
    QCOMPARE(stored.fieldValue(u"GIVEN_DATE"_s).toDate(), QDate(2006, 2, 5));
}

void TestLoanWindows::searchAndOrdering()
{
    AppFixture app;
    app.start();
    addBooks();
    lend(u"Zoe"_s);
    mainApi()->IBQuery1()->next();
    lend(u"O'Brien"_s);
    mainApi()->IBQuery1()->next();
    lend(u"Ann"_s);

    LoanSearchBar bar;
    auto *arrange = child<QComboBox>(&bar, "SelList4");
    auto *searchBy = child<QComboBox>(&bar, "SelList5");
    auto *text = child<QLineEdit>(&bar, "EdSel3");
    QCOMPARE(arrange->currentIndex(), -1);
    QCOMPARE(arrange->currentText(), LangStr(u"larrgby"_s));
    QCOMPARE(searchBy->currentText(), LangStr(u"lsrchby"_s));
    QCOMPARE(text->text(), LangStr(u"lsrchw"_s));
    FbQuery *list = mainApi()->IBQuery5();
    const auto column = [list](const char *field) {
        QStringList values;
        list->fetchAll();
        for (int r = 0; r < list->fetchedCount(); ++r)
            values << FbQuery::displayText(list->value(r, list->fieldIndex(QString::fromLatin1(field))));
        return values;
    };

    // The prompt left in the box is searched for as it stands.
    searchBy->setCurrentIndex(0);
    bar.GivenSrchClick();
    QVERIFY(list->active());
    QVERIFY(list->isEmpty());
    QVERIFY(sqlLines().last().endsWith(u" and title like '%Search for?%'"_s));

    text->setText(u"O'B"_s);
    searchBy->setCurrentIndex(1);
    bar.GivenSrchClick();
    QCOMPARE(column("GIVEN_TO"), QStringList{u"O'Brien"_s});
    QCOMPARE(mainApi()->GivenBaseSql(), sqlLines().last() + u"\r\n"_s);

    mainApi()->RefreshGiven();
    arrange->setCurrentIndex(2);
    bar.GivenArrDownClick();
    QCOMPARE(column("GIVEN_TO"), (QStringList{u"Ann"_s, u"O'Brien"_s, u"Zoe"_s}));
    arrange->setCurrentIndex(1);
    bar.GivenArrUpClick();
    QCOMPARE(column("TITLE"), (QStringList{u"Third"_s, u"Second"_s, u"First"_s}));
    QCOMPARE(list->text().count(u"ORDER BY"_s), 1);
    QVERIFY(sqlLines().last().endsWith(u"book.id\r\n ORDER BY title DESC;"_s));

    // An ordering keeps the last search.
    text->setText(u"e"_s);
    searchBy->setCurrentIndex(1);
    bar.GivenSrchClick();
    bar.GivenArrDownClick();
    QCOMPARE(column("GIVEN_TO"), (QStringList{u"Zoe"_s, u"O'Brien"_s}));
}

void TestLoanWindows::idSearchNeedsWholeNumber()
{
    AppFixture app;
    app.start();
    addBooks();
    lend(u"Ann"_s);
    LoanSearchBar bar;
    FbQuery *list = mainApi()->IBQuery5();
    const QStringList before = list->sql();
    const QString base = mainApi()->GivenBaseSql();
    UserPrompts::clearShownMessages();

    child<QComboBox>(&bar, "SelList5")->setCurrentIndex(3);
    bar.GivenSrchClick();
    QCOMPARE(UserPrompts::shownMessages().size(), 1);
    QVERIFY(UserPrompts::shownMessages().first().startsWith(u"Search by id needs a whole number"_s));
    QCOMPARE(list->sql(), before);
    QVERIFY(list->active());
    QCOMPARE(mainApi()->GivenBaseSql(), base);

    child<QLineEdit>(&bar, "EdSel3")->setText(currentBookId());
    bar.GivenSrchClick();
    QCOMPARE(UserPrompts::shownMessages().size(), 1);
    QCOMPARE(list->fieldText(u"GIVEN_TO"_s), u"Ann"_s);

    // Ordering before any refresh or search does nothing.
    mainApi()->setGivenBaseSql(QString());
    const int logged = sqlLines().size();
    child<QComboBox>(&bar, "SelList4")->setCurrentIndex(0);
    bar.GivenArrDownClick();
    QCOMPARE(sqlLines().size(), logged);
}

void TestLoanWindows::loanListFollowsBookList()
{
    AppFixture app;
    app.start();
    addBooks();
    lend(u"Ann"_s);
    mainApi()->IBQuery1()->next();
    lend(u"Bob"_s);
    FbQuery *list = mainApi()->IBQuery5();
    MainF->LeftGivenBooksLnkClick();
    list->last();
    QCOMPARE(list->currentRow(), 1);
    mainApi()->IBQuery1()->first();
    QVERIFY(list->active());
    QCOMPARE(list->currentRow(), 0);
    // Moves made while the book page is shown: the loans run again once their page is shown.
    MainF->LeftBooksLnkClick();
    list->last();
    mainApi()->IBQuery1()->next();
    QCOMPARE(list->currentRow(), 1);
    MainF->LeftGivenBooksLnkClick();
    QCOMPARE(list->currentRow(), 0);
}

void TestLoanWindows::barActsOnTheFieldItShowsAfterLanguageSwitch()
{
    AppFixture app;
    app.start();
    addBooks();
    lend(u"Zoe"_s);
    mainApi()->IBQuery1()->next();
    lend(u"Ann"_s);
    mainApi()->RefreshGiven();
    auto *bar = MainF->findChild<LoanSearchBar *>();
    auto *arrange = child<QComboBox>(bar, "SelList4");
    auto *searchBy = child<QComboBox>(bar, "SelList5");
    arrange->setCurrentIndex(2); // "Given to"
    searchBy->setCurrentIndex(0);

    settingsList().setValue(u"Language"_s, u"ru"_s);
    ApplyLanguage();
    QCOMPARE(arrange->currentText(), LangStr(u"larrgby"_s));
    // The box shows no field: ordering or searching runs nothing.
    const int before = sqlLines().size();
    bar->GivenArrDownClick();
    bar->GivenSrchClick();
    QCOMPARE(sqlLines().size(), before);

    // The field now chosen is the one ordered by, the former one too when chosen again.
    arrange->setCurrentIndex(1);
    bar->GivenArrUpClick();
    QVERIFY(sqlLines().last().endsWith(u" ORDER BY title DESC;"_s));
    arrange->setCurrentIndex(1);
    ApplyLanguage();
    arrange->setCurrentIndex(1);
    bar->GivenArrDownClick();
    QVERIFY(sqlLines().last().endsWith(u" ORDER BY title ASC;"_s));
}

void TestLoanWindows::enterAndTitleClicksOnTheLoanPage()
{
    AppFixture app;
    app.start();
    addBooks();
    lend(u"Zoe"_s);
    mainApi()->IBQuery1()->next();
    lend(u"Ann"_s);
    MainF->LeftGivenBooksLnkClick();
    auto *grid = MainF->findChild<DBGridEh *>(u"DBGridEh2"_s);
    auto *bar = MainF->findChild<LoanSearchBar *>();
    FbQuery *list = mainApi()->IBQuery5();

    child<QComboBox>(bar, "SelList5")->setCurrentIndex(1);
    auto *text = child<QLineEdit>(bar, "EdSel3");
    text->setText(u"Nobody"_s);
    QTest::keyClick(text, Qt::Key_Return);
    QVERIFY(sqlLines().last().endsWith(u" and given_to like '%Nobody%'"_s));
    QVERIFY(list->isEmpty());
    QCOMPARE(grid->statusText(), u"Nothing found"_s);
    mainApi()->RefreshGiven();
    QCOMPARE(grid->statusText(), QString());

    QHeaderView *header = grid->horizontalHeader();
    const auto clickTitle = [header](int column) {
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          {header->sectionViewportPosition(column) + header->sectionSize(column) / 2, header->height() / 2});
    };
    clickTitle(2); // GIVEN_TO
    QVERIFY(sqlLines().last().endsWith(u"book.id\r\n ORDER BY given_to ASC;"_s));
    QCOMPARE(list->fieldText(u"GIVEN_TO"_s), u"Ann"_s);
    QCOMPARE(child<QComboBox>(bar, "SelList4")->currentIndex(), 2);
    clickTitle(2);
    QVERIFY(sqlLines().last().endsWith(u"book.id\r\n ORDER BY given_to DESC;"_s));
    QCOMPARE(list->fieldText(u"GIVEN_TO"_s), u"Zoe"_s);
}

QTEST_MAIN(TestLoanWindows)
#include "tst_loanwindows.moc"
