#include "DBFieldWidgets.h"
#include "DBGridEh.h"
#include "DBNavigator.h"
#include "DataSource.h"
#include "FbDatabase.h"
#include "FbQuery.h"
#include "FbTransaction.h"
#include "GridCellDelegate.h"
#include "GridFindDialog.h"
#include "GridSearchProgress.h"
#include "QueryModel.h"
#include "TestLibrary.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QStyledItemDelegate>
#include <QToolButton>
#include <QtTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

constexpr int kBigRows = 100000;

// 100 000 rows N = 0..99999 with the title "Book " and N in six digits, in order of N.
const QString kBigResult =
    u"WITH RECURSIVE d (n) AS (SELECT 0 FROM RDB$DATABASE UNION ALL SELECT n + 1 FROM d WHERE n < 9), "
    "nums (n) AS (SELECT a.n + 10 * b.n + 100 * c.n + 1000 * e.n + 10000 * f.n "
    "FROM d a CROSS JOIN d b CROSS JOIN d c CROSS JOIN d e CROSS JOIN d f) "
    "SELECT n AS N, 'Book ' || LPAD(CAST(n AS VARCHAR(6)), 6, '0') AS TITLE FROM nums ORDER BY n"_s;

// The small library, in the order of "ORDER BY title".
struct Book {
    const char *title;
    const char *author;
    const char *description;
};
constexpr Book kBooks[] = {
    {"Anna Karenina", "Tolstoy", "Novel"},
    {"Dead Souls", "Gogol", "Poem in prose"},
    {"Gogol", "Nabokov", nullptr},
    {"Master and Margarita", "Bulgakov", "Novel"},
    {"The Nose", "Gogol", "Story"},
    {"War and Peace", "Tolstoy", "Novel"},
};
constexpr int kBookCount = int(std::size(kBooks));

QString sqlText(const char *text)
{
    return text ? u"'%1'"_s.arg(QString::fromLatin1(text)) : u"NULL"_s;
}

} // namespace

class TestGrid : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void currentRowMovesWithQueryBothWays();
    void largeResultFetchesOnlyWhatIsShown();
    void incrementalSearch_data();
    void incrementalSearch();
    void searchTextResets();
    void findDialog_data();
    void findDialog();
    void findDialogOpensOnCtrlF();
    void longSearchCanBeStopped_data();
    void longSearchCanBeStopped();
    void navigatorMovesAndEnables();
    void navigatorActsOnSourceBoundBeforeAction();
    void fieldWidgetsFollowCurrentRow();
    void fieldsOfHiddenWindowCatchUpWhenShown();
    void columnDefinitions();
    void columnsFollowResultWithoutDefinitions();
    void fetchErrorIsReportedOnce();
    void cellsDrawnAsTheStyleDrawsThem();
    void gridLinesWhereTheViewDrawsThem();

private:
    // An open query over the library; it and its data source live until the test ends.
    FbQuery *openQuery(const QString &sql);
    DataSource *sourceOf(FbQuery *query);
    void exec(const QString &sql);

    TestLibrary m_lib;
    std::unique_ptr<FbDatabase> m_db;
    std::unique_ptr<FbTransaction> m_tr;
    std::vector<std::unique_ptr<QObject>> m_owned;
};

void TestGrid::initTestCase()
{
    QVERIFY(m_lib.isValid());
    m_db = std::make_unique<FbDatabase>();
    m_tr = std::make_unique<FbTransaction>(m_db.get());
    m_lib.configure(*m_db);
    for (const Book &book : kBooks)
        exec(u"INSERT INTO book (title, author, iyear, publisher, genre, description) "
             "VALUES (%1, %2, '1900', 'Publisher', 'Classic', %3)"_s.arg(sqlText(book.title), sqlText(book.author),
                                                                         sqlText(book.description)));
}

void TestGrid::exec(const QString &sql)
{
    FbQuery query(m_db.get());
    query.setSqlText(sql);
    query.execSQL();
}

FbQuery *TestGrid::openQuery(const QString &sql)
{
    auto *query = new FbQuery(m_db.get());
    m_owned.emplace_back(query);
    query->setSqlText(sql);
    query->open();
    return query;
}

DataSource *TestGrid::sourceOf(FbQuery *query)
{
    auto *source = new DataSource;
    m_owned.emplace_back(source);
    source->setDataSet(query);
    return source;
}

void TestGrid::currentRowMovesWithQueryBothWays()
{
    FbQuery *query = openQuery(u"SELECT title, author FROM book ORDER BY title"_s);
    DataSource *source = sourceOf(query);
    DBGridEh grid;
    grid.resize(600, 300);
    grid.setDataSource(source);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    QTRY_COMPARE(grid.model()->rowCount(), kBookCount);
    QCOMPARE(grid.currentIndex().row(), 0);

    QSignalSpy moves(source, &DataSource::currentRowChanged);

    // Query to grid.
    query->setCurrentRow(3);
    QCOMPARE(grid.currentIndex().row(), 3);
    QCOMPARE(grid.selectedRows(), QList<int>{3});

    // Grid to query, by key and by mouse; each move reaches the query once.
    QTest::keyClick(&grid, Qt::Key_Down);
    QCOMPARE(query->currentRow(), 4);
    const auto cellCentre = [&](int row) { return grid.visualRect(grid.model()->index(row, 1)).center(); };
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, cellCentre(1));
    QCOMPARE(query->currentRow(), 1);
    QCOMPARE(moves.count(), 3);

    // Several rows at once; the current one is the last clicked.
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, Qt::ShiftModifier, cellCentre(3));
    QCOMPARE(grid.selectedRows(), (QList<int>{1, 2, 3}));
    QCOMPARE(query->currentRow(), 3);
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, Qt::ControlModifier, cellCentre(5));
    QCOMPARE(grid.selectedRows(), (QList<int>{1, 2, 3, 5}));
    QCOMPARE(query->currentRow(), 5);

    // Never edits.
    QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, cellCentre(2));
    QTest::keyClick(&grid, Qt::Key_F2);
    QVERIFY(grid.viewport()->findChildren<QLineEdit *>().isEmpty());
    QVERIFY(!(grid.model()->flags(grid.model()->index(2, 0)) & Qt::ItemIsEditable));

    // A re-run starts both at the first row again.
    query->close();
    QCOMPARE(grid.model()->rowCount(), 0);
    query->open();
    QTRY_COMPARE(grid.model()->rowCount(), kBookCount);
    QCOMPARE(query->currentRow(), 0);
    QCOMPARE(grid.currentIndex().row(), 0);
}

void TestGrid::largeResultFetchesOnlyWhatIsShown()
{
    FbQuery *query = openQuery(kBigResult);
    DBGridEh grid;
    grid.resize(800, 600);
    grid.setDataSource(sourceOf(query));
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    // The view asks for more until its screen is full, and no further.
    QTRY_VERIFY(grid.model()->rowCount() > grid.viewport()->height() / grid.rowHeight(0));
    QTest::qWait(100);
    QVERIFY2(query->fetchedCount() <= 500, qPrintable(QString::number(query->fetchedCount())));
    QCOMPARE(grid.model()->rowCount(), query->fetchedCount());

    // Scrolling to the bottom of what is there brings one more batch, not the rest.
    const int before = query->fetchedCount();
    grid.verticalScrollBar()->setValue(grid.verticalScrollBar()->maximum());
    QTRY_VERIFY(query->fetchedCount() > before);
    QVERIFY(query->fetchedCount() <= before + 500);

    // A jump of the query far ahead fetches up to there; the grid follows and shows the row.
    query->setCurrentRow(5000);
    QCOMPARE(grid.currentIndex().row(), 5000);
    QVERIFY(grid.viewport()->rect().intersects(grid.visualRect(grid.currentIndex())));
    QVERIFY(query->fetchedCount() < 10000);

    // Ctrl+End goes to the end of the result, not of the rows fetched so far.
    QTest::keyClick(&grid, Qt::Key_End, Qt::ControlModifier);
    QVERIFY(query->allFetched());
    QCOMPARE(query->currentRow(), kBigRows - 1);
    QCOMPARE(grid.currentIndex().row(), kBigRows - 1);
    QCOMPARE(grid.model()->data(grid.currentIndex().siblingAtColumn(1)).toString(), u"Book 099999"_s);
    QTest::keyClick(&grid, Qt::Key_Home, Qt::ControlModifier);
    QCOMPARE(query->currentRow(), 0);
}

void TestGrid::incrementalSearch_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("readInVain");

    // Every search starts on row 7 of the 100 000 rows; column 0 is N, column 1 the title.
    QTest::newRow("far down, fetched on the way") << 1 << u"book 005"_s << 5000 << u"book 005"_s << false;
    QTest::newRow("any letter case") << 1 << u"BOOK 00012"_s << 120 << u"BOOK 00012"_s << false;
    QTest::newRow("from the top, above the current row") << 1 << u"book 000003"_s << 3 << u"book 000003"_s << false;
    QTest::newRow("in the current column only") << 0 << u"77"_s << 77 << u"77"_s << false;
    QTest::newRow("title text in the number column") << 0 << u"book"_s << 7 << QString() << true;
    QTest::newRow("key matching nothing is dropped") << 1 << u"book 00012z"_s << 120 << u"book 00012"_s << true;
    QTest::newRow("nothing matches") << 1 << u"x"_s << 7 << QString() << true;
}

void TestGrid::incrementalSearch()
{
    QFETCH(int, column);
    QFETCH(QString, keys);
    QFETCH(int, row);
    QFETCH(QString, typed);
    QFETCH(bool, readInVain);

    FbQuery *query = openQuery(kBigResult);
    DBGridEh grid;
    grid.resize(800, 600);
    grid.setDataSource(sourceOf(query));
    query->setCurrentRow(7);
    grid.setCurrentIndex(grid.model()->index(7, column));

    QTest::keyClicks(&grid, keys);
    QCOMPARE(query->currentRow(), row);
    QCOMPARE(grid.currentIndex().row(), row);
    QCOMPARE(grid.currentIndex().column(), column);
    QCOMPARE(grid.searchText(), typed);
    // A match stops the fetching; a key that matches nothing reads the whole result in vain
    // and gives those rows back: only what was fetched before that key stays.
    QVERIFY(!query->allFetched());
    if (readInVain)
        QVERIFY2(query->fetchedCount() < kBigRows / 4, qPrintable(QString::number(query->fetchedCount())));
    QCOMPARE(grid.model()->rowCount(), query->fetchedCount());
    QCOMPARE(grid.model()->data(grid.currentIndex().siblingAtColumn(1)).toString(),
             query->value(row, 1).toString());
    // The rows after the kept ones come again from the re-run statement.
    QTest::keyClick(&grid, Qt::Key_End, Qt::ControlModifier);
    QCOMPARE(query->fetchedCount(), kBigRows);
    QCOMPARE(grid.model()->data(grid.currentIndex().siblingAtColumn(1)).toString(), u"Book 099999"_s);
}

void TestGrid::searchTextResets()
{
    FbQuery *query = openQuery(kBigResult);
    DBGridEh grid;
    grid.setDataSource(sourceOf(query));
    grid.setCurrentIndex(grid.model()->index(0, 1));

    QTest::keyClicks(&grid, u"book 001"_s);
    QCOMPARE(query->currentRow(), 1000);
    // Without the reset the text would read "book 001book 002" and find nothing.
    QTest::keyClick(&grid, Qt::Key_Backspace);
    QTest::keyClicks(&grid, u"book 002"_s);
    QCOMPARE(query->currentRow(), 2000);
    QTest::keyClick(&grid, Qt::Key_Escape);
    QTest::keyClicks(&grid, u"book 003"_s);
    QCOMPARE(query->currentRow(), 3000);
    QTest::keyClick(&grid, Qt::Key_Down);
    QCOMPARE(query->currentRow(), 3001);
    QTest::keyClicks(&grid, u"book 004"_s);
    QCOMPARE(query->currentRow(), 4000);

    // A pause ends the word.
    QTRY_VERIFY_WITH_TIMEOUT(grid.searchText().isEmpty(), 3 * DBGridEh::kSearchResetMs);
    QTest::keyClicks(&grid, u"book 005"_s);
    QCOMPARE(query->currentRow(), 5000);
}

void TestGrid::findDialog_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("column");
    QTest::addColumn<bool>("matchCase");
    QTest::addColumn<bool>("whole");
    QTest::addColumn<bool>("up");
    QTest::addColumn<int>("found");
    QTest::addColumn<QString>("status");

    // Rows: 0 Anna Karenina/Tolstoy, 1 Dead Souls/Gogol, 2 Gogol/Nabokov, 3 Master and Margarita/Bulgakov,
    // 4 The Nose/Gogol, 5 War and Peace/Tolstoy. Column -1 is "all columns".
    // clang-format off
    QTest::newRow("all columns, down") << 0 << u"gogol"_s << -1 << false << false << false << 1 << QString();
    QTest::newRow("next after a match") << 1 << u"gogol"_s << -1 << false << false << false << 2 << QString();
    QTest::newRow("title column only") << 2 << u"gogol"_s << 0 << false << false << false << 2 << u"continued"_s;
    QTest::newRow("author column only") << 0 << u"nabokov"_s << 1 << false << false << false << 2 << QString();
    QTest::newRow("part of a value") << 0 << u"arg"_s << -1 << false << false << false << 3 << QString();
    QTest::newRow("whole value") << 0 << u"Gogol"_s << 0 << false << true << false << 2 << QString();
    QTest::newRow("whole value, part given") << 0 << u"Gogo"_s << -1 << false << true << false << -1 << u"not found"_s;
    QTest::newRow("case ignored") << 0 << u"GOGOL"_s << -1 << false << false << false << 1 << QString();
    QTest::newRow("case matched") << 0 << u"GOGOL"_s << -1 << true << false << false << -1 << u"not found"_s;
    QTest::newRow("wraps at the bottom") << 5 << u"anna"_s << -1 << false << false << false << 0 << u"continued"_s;
    QTest::newRow("only the current row") << 3 << u"margarita"_s << -1 << false << false << false << 3
                                          << u"continued"_s;
    QTest::newRow("up") << 3 << u"gogol"_s << -1 << false << false << true << 2 << QString();
    QTest::newRow("up wraps at the top") << 1 << u"gogol"_s << -1 << false << false << true << 4 << u"continued"_s;
    QTest::newRow("not found") << 2 << u"Pushkin"_s << -1 << false << false << false << -1 << u"not found"_s;
    // clang-format on
}

void TestGrid::findDialog()
{
    QFETCH(int, start);
    QFETCH(QString, text);
    QFETCH(int, column);
    QFETCH(bool, matchCase);
    QFETCH(bool, whole);
    QFETCH(bool, up);
    QFETCH(int, found);
    QFETCH(QString, status);

    FbQuery *query = openQuery(u"SELECT title, author FROM book ORDER BY title"_s);
    DBGridEh grid;
    grid.setDataSource(sourceOf(query));
    query->setCurrentRow(start);

    GridFindDialog *dialog = grid.findDialog();
    dialog->findChild<QLineEdit *>(u"FindText"_s)->setText(text);
    auto *columns = dialog->findChild<QComboBox *>(u"FindColumn"_s);
    QCOMPARE(columns->count(), 3);
    QCOMPARE(columns->itemText(1), u"TITLE"_s);
    columns->setCurrentIndex(column + 1);
    dialog->findChild<QCheckBox *>(u"MatchCase"_s)->setChecked(matchCase);
    dialog->findChild<QCheckBox *>(u"WholeValue"_s)->setChecked(whole);
    dialog->findChild<QRadioButton *>(up ? u"DirectionUp"_s : u"DirectionDown"_s)->setChecked(true);
    dialog->findChild<QPushButton *>(u"FindNext"_s)->click();

    const int expected = found >= 0 ? found : start;
    QCOMPARE(query->currentRow(), expected);
    QCOMPARE(grid.currentIndex().row(), expected);
    const QString shown = dialog->findChild<QLabel *>(u"Status"_s)->text();
    if (status.isEmpty())
        QVERIFY2(shown.isEmpty(), qPrintable(shown));
    else
        QVERIFY2(shown.contains(status), qPrintable(shown));
    if (found < 0)
        QVERIFY2(shown.contains(text), qPrintable(shown));
}

void TestGrid::longSearchCanBeStopped_data()
{
    QTest::addColumn<bool>("findDialog");
    QTest::newRow("typing") << false;
    QTest::newRow("find dialog") << true;
}

void TestGrid::longSearchCanBeStopped()
{
    QFETCH(bool, findDialog);
    FbQuery *query = openQuery(kBigResult);
    DBGridEh grid;
    grid.resize(800, 600);
    grid.setDataSource(sourceOf(query));
    grid.show();
    query->setCurrentRow(7);
    grid.setCurrentIndex(grid.model()->index(7, 1));

    // The search for text that is nowhere shows its progress window at once; the user stops it.
    GridSearchProgress::setShowAfterMs(0);
    GridSearchProgress::setCancelText(u"Скасувати"_s);
    int progressShown = 0;
    QString cancelText;
    QTimer stopper;
    connect(&stopper, &QTimer::timeout, this, [&] {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *progress = qobject_cast<QProgressDialog *>(w); progress && progress->isVisible()) {
                ++progressShown;
                cancelText = progress->findChild<QPushButton *>()->text();
                progress->cancel();
            }
    });
    stopper.start(0);
    bool found = true;
    if (findDialog) {
        grid.findDialog()->setText(u"nowhere"_s);
        found = grid.findDialog()->findNext();
        QCOMPARE(grid.findDialog()->statusText(), QString());
    } else {
        QTest::keyClicks(&grid, u"q"_s);
        found = grid.searchText() == u"q"_s;
    }
    GridSearchProgress::setShowAfterMs(400);
    GridSearchProgress::setCancelText(u"Cancel"_s);
    QVERIFY(!found);
    QCOMPARE(progressShown, 1);
    QCOMPARE(cancelText, u"Скасувати"_s);
    QCOMPARE(query->currentRow(), 7);
    QVERIFY(!query->allFetched());
}

void TestGrid::findDialogOpensOnCtrlF()
{
    FbQuery *query = openQuery(kBigResult);
    DBGridEh grid;
    grid.setDataSource(sourceOf(query));
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));

    QTest::keyClick(&grid, Qt::Key_F, Qt::ControlModifier);
    GridFindDialog *dialog = grid.findChild<GridFindDialog *>();
    QVERIFY(dialog);
    QTRY_VERIFY(dialog->isVisible());

    // Typed into the dialog and run by Enter, the default button; rows are fetched on the way.
    auto *text = dialog->findChild<QLineEdit *>(u"FindText"_s);
    QTest::keyClicks(text, u"Book 050000"_s);
    QTest::keyClick(text, Qt::Key_Return);
    QCOMPARE(query->currentRow(), 50000);
    QCOMPARE(grid.currentIndex().row(), 50000);
    QVERIFY(query->fetchedCount() < kBigRows);

    dialog->findChild<QPushButton *>(u"Close"_s)->click();
    QVERIFY(!dialog->isVisible());
}

void TestGrid::navigatorMovesAndEnables()
{
    FbQuery *query = openQuery(u"SELECT title FROM book ORDER BY title ROWS 3"_s);
    DataSource *source = sourceOf(query);
    DBNavigator navigator;
    navigator.setDataSource(source);
    DBGridEh grid;
    grid.setDataSource(source);

    const auto button = [&](const QString &name) { return navigator.findChild<QToolButton *>(name); };
    const auto enabled = [&] {
        QString flags;
        for (const QString &name : {u"First"_s, u"Prior"_s, u"Next"_s, u"Last"_s})
            flags += button(name)->isEnabled() ? u'1' : u'0';
        return flags;
    };

    QCOMPARE(enabled(), u"0011"_s);
    button(u"Next"_s)->click();
    QCOMPARE(query->currentRow(), 1);
    QCOMPARE(grid.currentIndex().row(), 1);
    QCOMPARE(enabled(), u"1111"_s);
    button(u"Last"_s)->click();
    QCOMPARE(query->currentRow(), 2);
    QCOMPARE(grid.currentIndex().row(), 2);
    QCOMPARE(enabled(), u"1100"_s);
    button(u"Prior"_s)->click();
    QCOMPARE(query->currentRow(), 1);
    button(u"First"_s)->click();
    QCOMPARE(query->currentRow(), 0);
    QCOMPARE(enabled(), u"0011"_s);

    // Moves made elsewhere update the buttons too.
    QTest::keyClick(&grid, Qt::Key_Down);
    QTest::keyClick(&grid, Qt::Key_Down);
    QCOMPARE(query->currentRow(), 2);
    QCOMPARE(enabled(), u"1100"_s);

    query->close();
    QCOMPARE(enabled(), u"0000"_s);
    query->setSqlText(u"SELECT title FROM book WHERE title = 'none'"_s);
    query->open();
    QCOMPARE(enabled(), u"0000"_s);
}

void TestGrid::navigatorActsOnSourceBoundBeforeAction()
{
    FbQuery *books = openQuery(u"SELECT title FROM book ORDER BY title"_s);
    FbQuery *loans = openQuery(u"SELECT title FROM book ORDER BY title DESC"_s);
    DataSource *booksSource = sourceOf(books);
    DataSource *loansSource = sourceOf(loans);
    DBNavigator navigator;
    navigator.setDataSource(booksSource);
    QSignalSpy before(&navigator, &DBNavigator::beforeAction);
    connect(&navigator, &DBNavigator::beforeAction, &navigator, [&] { navigator.setDataSource(loansSource); });

    navigator.findChild<QToolButton *>(u"Next"_s)->click();
    QCOMPARE(before.count(), 1);
    QCOMPARE(before.at(0).at(0).value<DBNavigator::Button>(), DBNavigator::Next);
    QCOMPARE(loans->currentRow(), 1);
    QCOMPARE(books->currentRow(), 0);
    QCOMPARE(navigator.dataSource(), loansSource);
}

void TestGrid::fieldWidgetsFollowCurrentRow()
{
    FbQuery *query = openQuery(u"SELECT * FROM book ORDER BY title"_s);
    DataSource *source = sourceOf(query);
    DBText title;
    DBEdit author;
    DBMemo description;
    DBEdit missing;
    title.setDataSource(source);
    title.setDataField(u"TITLE"_s);
    author.setDataSource(source);
    author.setDataField(u"author"_s);
    description.setDataField(u"Description"_s);
    description.setDataSource(source);
    missing.setDataSource(source);
    missing.setDataField(u"NOSUCH"_s);

    QCOMPARE(title.text(), u"Anna Karenina"_s);
    QCOMPARE(author.text(), u"Tolstoy"_s);
    QCOMPARE(description.toPlainText(), u"Novel"_s);
    QCOMPARE(missing.text(), QString());

    // The user may type, but the next move replaces the text and nothing reaches the database.
    author.clear();
    QTest::keyClicks(&author, u"Typed"_s);
    QCOMPARE(author.text(), u"Typed"_s);
    query->next();
    QCOMPARE(title.text(), u"Dead Souls"_s);
    QCOMPARE(author.text(), u"Gogol"_s);
    query->next();
    QCOMPARE(title.text(), u"Gogol"_s);
    QCOMPARE(description.toPlainText(), QString());
    QCOMPARE(openQuery(u"SELECT count(*) FROM book WHERE author = 'Typed'"_s)->value(0, 0).toInt(), 0);

    query->close();
    QCOMPARE(title.text(), QString());
    QCOMPARE(author.text(), QString());
    QCOMPARE(description.toPlainText(), QString());
    query->open();
    QCOMPARE(title.text(), u"Anna Karenina"_s);

    // The source switched to another query.
    source->setDataSet(openQuery(u"SELECT title FROM book ORDER BY title DESC"_s));
    QCOMPARE(title.text(), u"War and Peace"_s);
    QCOMPARE(author.text(), QString());
}

namespace {
// A window that reads its fields as it is shown, as the book and loan windows do.
class ReadsFieldsOnShow : public QWidget
{
public:
    DBText *title = new DBText(this);
    DBEdit *author = new DBEdit(this);
    DBText *hiddenTitle = new DBText(this);
    QStringList readOnShow;

protected:
    void showEvent(QShowEvent *event) override
    {
        QWidget::showEvent(event);
        readOnShow = {title->text(), author->text(), hiddenTitle->text()};
    }
};
} // namespace

void TestGrid::fieldsOfHiddenWindowCatchUpWhenShown()
{
    FbQuery *query = openQuery(u"SELECT * FROM book ORDER BY title"_s);
    DataSource *source = sourceOf(query);
    ReadsFieldsOnShow window;
    window.hiddenTitle->hide();
    for (DBText *field : {window.title, window.hiddenTitle}) {
        field->setDataField(u"TITLE"_s);
        field->setDataSource(source);
    }
    window.author->setDataField(u"AUTHOR"_s);
    window.author->setDataSource(source);

    // Moves while the window is hidden; it shows the book that is current when it opens.
    query->next();
    query->next();
    window.show();
    QCOMPARE(window.readOnShow, QStringList({u"Gogol"_s, u"Nabokov"_s, u"Gogol"_s}));
    // Shown, every field (one hidden on its own, read by code) follows each move at once.
    query->prior();
    QCOMPARE(window.title->text(), u"Dead Souls"_s);
    QCOMPARE(window.hiddenTitle->text(), u"Dead Souls"_s);
    QCOMPARE(window.author->text(), u"Gogol"_s);

    window.hide();
    query->first();
    query->close();
    query->open();
    query->last();
    window.show();
    QCOMPARE(window.readOnShow, QStringList({u"War and Peace"_s, u"Tolstoy"_s, u"War and Peace"_s}));
}

void TestGrid::columnDefinitions()
{
    FbQuery *query = openQuery(u"SELECT * FROM book ORDER BY title"_s);
    DBGridEh grid;
    grid.resize(800, 400);
    grid.setColumns({{u"TITLE"_s, u"Title"_s, 65},
                     {u"Id"_s, u"Id"_s, 4},
                     {u"NOSUCH"_s, u"Missing"_s, 10},
                     {u"DESCRIPTION"_s, u"Description"_s, 255}});
    grid.setDataSource(sourceOf(query));
    QAbstractItemModel *model = grid.model();
    QTRY_COMPARE(model->rowCount(), kBookCount);

    QCOMPARE(model->columnCount(), 4);
    QStringList titles;
    for (int column = 0; column < 4; ++column)
        titles << model->headerData(column, Qt::Horizontal).toString();
    QCOMPARE(titles, (QStringList{u"Title"_s, u"Id"_s, u"Missing"_s, u"Description"_s}));
    QCOMPARE(model->index(0, 0).data().toString(), u"Anna Karenina"_s);
    QVERIFY(model->index(0, 1).data().toInt() > 0);
    for (int row = 0; row < kBookCount; ++row)
        QCOMPARE(model->index(row, 2).data().toString(), QString());

    // Green bold titles, no row indicator, no sorting by title.
    QCOMPARE(qvariant_cast<QBrush>(model->headerData(0, Qt::Horizontal, Qt::ForegroundRole)).color(),
             QColor(0, 0x80, 0));
    QVERIFY(qvariant_cast<QFont>(model->headerData(0, Qt::Horizontal, Qt::FontRole)).bold());
    // The titles are drawn in that colour, and in the one the owner sets later.
    const auto titlePixels = [&grid](const QColor &colour) {
        const QImage drawn = grid.horizontalHeader()->grab().toImage();
        int count = 0;
        for (int y = 0; y < drawn.height(); ++y)
            for (int x = 0; x < drawn.width(); ++x)
                count += drawn.pixelColor(x, y) == colour;
        return count;
    };
    QVERIFY(titlePixels(QColor(0, 0x80, 0)) > 0);
    grid.setTitleColor(Qt::red);
    QVERIFY(titlePixels(Qt::red) > 0);
    QCOMPARE(titlePixels(QColor(0, 0x80, 0)), 0);
    QVERIFY(grid.verticalHeader()->isHidden());
    QVERIFY(!grid.isSortingEnabled());
    QCOMPARE(grid.horizontalHeader()->sectionResizeMode(0), QHeaderView::Interactive);

    // Widths follow the characters, but a 255-character field does not take the whole grid.
    QVERIFY(grid.columnWidth(1) < grid.columnWidth(2));
    QVERIFY(grid.columnWidth(2) < grid.columnWidth(0));
    QVERIFY(grid.columnWidth(3) < grid.width() / 2);
    // A width the user set survives a reload.
    grid.setColumnWidth(0, 123);
    query->close();
    query->open();
    QCOMPARE(grid.columnWidth(0), 123);

    // A new language renames a column.
    grid.setColumnTitle(0, u"Название"_s);
    QCOMPARE(model->headerData(0, Qt::Horizontal).toString(), u"Название"_s);

    // The title row stays when the list closes.
    query->close();
    QCOMPARE(model->rowCount(), 0);
    QCOMPARE(model->columnCount(), 4);
}

void TestGrid::columnsFollowResultWithoutDefinitions()
{
    FbQuery *query = openQuery(u"SELECT id, title, author FROM book ORDER BY title"_s);
    DBGridEh grid;
    grid.setDataSource(sourceOf(query));
    QAbstractItemModel *model = grid.model();
    const auto titles = [&] {
        QStringList names;
        for (int column = 0; column < model->columnCount(); ++column)
            names << model->headerData(column, Qt::Horizontal).toString();
        return names;
    };
    QCOMPARE(titles(), (QStringList{u"ID"_s, u"TITLE"_s, u"AUTHOR"_s}));
    QCOMPARE(model->index(0, 2).data().toString(), u"Tolstoy"_s);

    query->setSqlText(u"SELECT genre, count(*) AS books FROM book GROUP BY genre"_s);
    QCOMPARE(model->columnCount(), 0);
    query->open();
    QCOMPARE(titles(), (QStringList{u"GENRE"_s, u"BOOKS"_s}));
    QCOMPARE(model->index(0, 1).data().toInt(), kBookCount);
}

void TestGrid::fetchErrorIsReportedOnce()
{
    // Row 150 divides by zero while it is fetched.
    FbQuery *query = openQuery(u"WITH RECURSIVE r (n) AS (SELECT 0 FROM RDB$DATABASE UNION ALL "
                               "SELECT n + 1 FROM r WHERE n < 299) SELECT n, 1 / (n - 150) AS x FROM r"_s);
    DBGridEh grid;
    QSignalSpy failed(&grid, &DBGridEh::fetchFailed);
    grid.setDataSource(sourceOf(query));
    QAbstractItemModel *model = grid.model();
    for (int i = 0; i < 10 && model->canFetchMore({}); ++i)
        model->fetchMore({});
    QCOMPARE(failed.count(), 1);
    QVERIFY2(failed.at(0).at(0).toString().contains(u"divide"_s, Qt::CaseInsensitive),
             qPrintable(failed.at(0).at(0).toString()));
    QVERIFY(!model->canFetchMore({}));
    // The rows before the failing one are shown.
    QCOMPARE(model->rowCount(), query->fetchedCount());
    QVERIFY(model->rowCount() >= 100 && model->rowCount() <= 150);

    // The view retrying on its own would report again.
    grid.resize(400, 300);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    grid.verticalScrollBar()->setValue(grid.verticalScrollBar()->maximum());
    QTest::qWait(50);
    QCOMPARE(failed.count(), 1);
}

namespace {

// Where a cell's text lies: the box of the pixels that differ from the cell's own background.
QRect inkOf(const QImage &drawn, QRect cell)
{
    cell.adjust(0, 0, -1, -1); // the grid line
    const QRgb background = drawn.pixel(cell.topLeft() + QPoint(1, 1));
    QRect ink;
    for (int y = cell.top(); y <= cell.bottom(); ++y)
        for (int x = cell.left(); x <= cell.right(); ++x)
            if (drawn.pixel(x, y) != background)
                ink |= QRect(x, y, 1, 1);
    return ink;
}

} // namespace

// The grid's own cell drawing keeps the laid-out texts of earlier paints. What it draws, first
// time or again, lies where the style's item delegate puts it, elided alike; glyphs may differ
// by their subpixel placement only.
void TestGrid::cellsDrawnAsTheStyleDrawsThem()
{
    QStandardItemModel model(0, 3);
    const QStringList texts{u"Anna Karenina"_s, u"O'Brien"_s, u"Кобзар і Ґанок"_s,
                            u"A title long enough that the column shows only its beginning and an ellipsis"_s,
                            u"two\nlines"_s, QString(), u"<b>not bold</b>"_s};
    for (const QString &text : texts) {
        auto *number = new QStandardItem;
        number->setData(int(text.size()), Qt::DisplayRole);
        number->setData(QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter), Qt::TextAlignmentRole);
        // The same text again, in a bold font of its own.
        auto *bold = new QStandardItem(text);
        QFont font = bold->font();
        font.setBold(true);
        bold->setFont(font);
        model.appendRow({new QStandardItem(text), number, bold});
    }
    QTableView view;
    view.setModel(&model);
    view.setWordWrap(false);
    view.setSelectionBehavior(QAbstractItemView::SelectRows);
    view.resize(700, 300);
    view.setColumnWidth(2, 400);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    view.setCurrentIndex(model.index(2, 0));
    QStyledItemDelegate styles;
    GridCellDelegate grids;
    const auto drawnBy = [&view](QAbstractItemDelegate *delegate) {
        view.setItemDelegate(delegate);
        return view.viewport()->grab().toImage();
    };

    // A narrower first column elides its texts anew; a wider one shows them whole again.
    for (const int width : {150, 90, 400}) {
        view.setColumnWidth(0, width);
        const QImage expected = drawnBy(&styles);
        const QImage mine = drawnBy(&grids);
        QCOMPARE(view.viewport()->grab().toImage(), mine); // again, from the kept texts
        for (int row = 0; row < model.rowCount(); ++row) {
            for (int column = 0; column < model.columnCount(); ++column) {
                const QRect cell = view.visualRect(model.index(row, column));
                const QRect want = inkOf(expected, cell);
                const QRect got = inkOf(mine, cell);
                const QString where = u"width %1, row %2, column %3: %4 against %5"_s.arg(width).arg(row).arg(column).arg(
                    QDebug::toString(got), QDebug::toString(want));
                QVERIFY2(want.isNull() == got.isNull(), qPrintable(where));
                const QMargins apart(got.left() - want.left(), got.top() - want.top(), got.right() - want.right(),
                                     got.bottom() - want.bottom());
                QVERIFY2(qAbs(apart.left()) <= 1 && qAbs(apart.top()) <= 1 && qAbs(apart.right()) <= 1
                             && qAbs(apart.bottom()) <= 1,
                         qPrintable(where));
            }
        }
    }
}

// The grid fills its lines itself; they are the view's own lines, pixel for pixel: scrolled,
// with a column narrowed or hidden, and below the last row.
void TestGrid::gridLinesWhereTheViewDrawsThem()
{
    FbQuery *query = openQuery(u"SELECT title, author, iyear, description FROM book ORDER BY title"_s);
    DBGridEh grid;
    grid.resize(420, 400);
    grid.setDataSource(sourceOf(query));
    QTRY_COMPARE(grid.model()->rowCount(), kBookCount);
    QTableView twin;
    twin.setModel(grid.model());
    twin.setSelectionModel(grid.selectionModel());
    twin.setItemDelegate(grid.itemDelegate());
    twin.setWordWrap(false);
    twin.setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    twin.verticalHeader()->hide();
    twin.verticalHeader()->setDefaultSectionSize(grid.verticalHeader()->defaultSectionSize());
    twin.resize(grid.size());
    const auto sameLook = [&] {
        for (int column = 0; column < grid.model()->columnCount(); ++column) {
            twin.setColumnWidth(column, grid.columnWidth(column));
            twin.setColumnHidden(column, grid.isColumnHidden(column));
        }
        twin.horizontalScrollBar()->setValue(grid.horizontalScrollBar()->value());
        return twin.viewport()->grab().toImage() == grid.viewport()->grab().toImage();
    };
    QVERIFY(sameLook());
    grid.setColumnWidth(1, 37);
    QVERIFY(sameLook());
    grid.setColumnHidden(2, true);
    QVERIFY(sameLook());
    grid.setColumnWidth(3, 900);
    grid.horizontalScrollBar()->setValue(150);
    QVERIFY(sameLook());
}

QTEST_MAIN(TestGrid)
#include "tst_grid.moc"
