#include "AddBookWindow.h"
#include "AppFixture.h"
#include "AppState.h"
#include "BookSearchBar.h"
#include "ChangeBookWindow.h"
#include "DBGridEh.h"
#include "DeleteBookWindow.h"
#include "EventConsole.h"
#include "FbDatabase.h"
#include "FbQuery.h"
#include "FieldsWindow.h"
#include "LangStr.h"
#include "MainWindow.h"
#include "MultiDeleteWindow.h"
#include "SettingsList.h"
#include "TestLibrary.h"
#include "UserPrompts.h"
#include "ViewBookWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

namespace
{

void execute(const QString &sql)
{
    FbQuery q(MainF->IBDatabase1());
    q.setSqlText(sql);
    q.execSQL();
}

// Every book as "id|title|author|iyear|seria", ordered by id.
QStringList books()
{
    return TestLibrary::rows(*MainF->IBDatabase1(),
                             QStringLiteral("SELECT id, title, author, iyear, seria FROM book ORDER BY id"));
}

QString insertBook(const QString &title, const QString &author, const QString &year = QStringLiteral("2001"))
{
    execute(QStringLiteral("INSERT INTO book (title, author, iyear, publisher, genre) VALUES ('%1', '%2', '%3', 'P', "
                           "'G')")
                .arg(title, author, year));
    return books().last().section(QLatin1Char('|'), 0, 0);
}

void lend(const QString &id)
{
    execute(
        QStringLiteral("INSERT INTO given (given_id, given_to, given_date) VALUES (%1, 'Ann', '2026-12-01')").arg(id));
}

template <typename T> T *child(QWidget *window, const char *name)
{
    T *found = window->findChild<T *>(QLatin1String(name));
    if (!found)
        qFatal("no control %s", name);
    return found;
}

void setText(QWidget *window, const char *name, const QString &text)
{
    if (auto *edit = window->findChild<QLineEdit *>(QLatin1String(name));
        edit && !qobject_cast<QComboBox *>(edit->parent()))
        edit->setText(text);
    else
        child<QComboBox>(window, name)->setEditText(text);
}

// The focused field of a window receives the key, as when the user presses it.
void pressIn(QWidget *field, Qt::Key key)
{
    field->setFocus();
    QWidget *target = field;
    if (auto *combo = qobject_cast<QComboBox *>(field))
        target = combo->lineEdit();
    QTest::keyClick(target, key);
}

void clickTitle(DBGridEh *grid, int column)
{
    QHeaderView *header = grid->horizontalHeader();
    const QPoint middle(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                        header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, middle);
}

int rowCount()
{
    FbQuery *list = MainF->IBQuery1();
    if (!list->active())
        return -1;
    list->fetchAll();
    return list->fetchedCount();
}

} // namespace

class TestBookWindows : public QObject
{
    Q_OBJECT
private slots:
    void init();

    void addStoresTextExactly_data();
    void addStoresTextExactly();
    void addReportsMissingFieldsAndRunsNothing();
    void addSubstitutesEmptyObligatoryFields();
    void addMarkerFile_data();
    void addMarkerFile();
    void addKeyboard();
    void addCharactersLeft();

    void changeWritesChangedFieldsOnly();
    void changeKeyboard();
    void viewFollowsCurrentBook();

    void deleteRefusesLentBook();
    void deleteKeyboardAndBadIdentifier();
    void multiDeleteCountsAndReportsRefusals();

    void searchFindsQuotedAndCyrillicText_data();
    void searchFindsQuotedAndCyrillicText();
    void searchByIdRejectsNonNumbers();
    void orderingAfterReloadStaysValid();
    void searchWithoutFieldOnlyMovesFocus();
    void enterSearchesAndEmptyResultSaysSo();
    void titleClickOrdersLikeArrangeBy();

private:
    BookSearchBar *placeSearchBar();
};

void TestBookWindows::init()
{
    UserPrompts::clearShownMessages();
}

BookSearchBar *TestBookWindows::placeSearchBar()
{
    // The main window places the bar in its frame on the books page.
    auto *frame = MainF->findChild<QFrame *>(QStringLiteral("SearchBar"));
    auto *bar = frame->findChild<BookSearchBar *>();
    if (!bar || frame->layout()->indexOf(bar) < 0)
        qFatal("the books page has no search bar in its frame");
    return bar;
}

void TestBookWindows::addStoresTextExactly_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("author");
    QTest::addColumn<QString>("year");
    QTest::addColumn<QString>("storedTitle");
    QTest::addColumn<QString>("storedYear");
    QTest::addColumn<QString>("statementTitle");
    QTest::newRow("apostrophes") << QStringLiteral("It's 'quoted'") << QStringLiteral("O'Brien")
                                 << QStringLiteral("1999") << QStringLiteral("It's 'quoted'") << QStringLiteral("1999")
                                 << QStringLiteral("It''s ''quoted''");
    QTest::newRow("cyrillic") << QStringLiteral("Кобзар") << QStringLiteral("Шевченко") << QStringLiteral("0099")
                              << QStringLiteral("Кобзар") << QStringLiteral("99") << QStringLiteral("Кобзар");
    QTest::newRow("longer than the column")
        << QString(64, QLatin1Char('x')) + QStringLiteral("'yz") << QStringLiteral("A") << QStringLiteral("2000")
        << QString(64, QLatin1Char('x')) + QStringLiteral("'") << QStringLiteral("2000")
        << QString(64, QLatin1Char('x')) + QStringLiteral("''");
}

void TestBookWindows::addStoresTextExactly()
{
    QFETCH(QString, title);
    QFETCH(QString, author);
    QFETCH(QString, year);
    QFETCH(QString, storedTitle);
    QFETCH(QString, storedYear);
    QFETCH(QString, statementTitle);
    AppFixture app;
    app.start();
    add->show();
    // The title box cuts a typed text at its longest; a pasted or picked one is cut when built.
    child<QLineEdit>(add, "addTitle")->setMaxLength(100);
    setText(add, "addTitle", title);
    setText(add, "addAuthor", author);
    setText(add, "addYear", year);
    setText(add, "addPublisher", QStringLiteral("P"));
    setText(add, "addGenre", QStringLiteral("G"));
    child<QPushButton>(add, "AddBook")->click();

    const QStringList stored = books();
    QCOMPARE(stored.size(), 1);
    QCOMPARE(stored.first().section(QLatin1Char('|'), 1),
             storedTitle + QLatin1Char('|') + author + QLatin1Char('|') + storedYear + QLatin1Char('|'));
    // The console view drops the closing ";" of every line, statements included.
    const QStringList console = AppFixture::consoleMessages();
    QVERIFY(console.contains(
        QStringLiteral("{SQL} INSERT INTO book (title, author, iyear, publisher, genre)  VALUES ('") + statementTitle +
        QStringLiteral("', '") + QString(author).replace(QLatin1Char('\''), QStringLiteral("''")) +
        QStringLiteral("', '") + storedYear + QStringLiteral("', 'P', 'G')")));
    QCOMPARE(console.at(console.size() - 2), QStringLiteral("New book has been added"));
    QCOMPARE(console.last(), QStringLiteral("{SQL} select * from BOOK"));
    QCOMPARE(child<QLabel>(add, "Label17")->text(), QStringLiteral("New book has been added!"));
    QCOMPARE(rowCount(), 1);
    QVERIFY(UserPrompts::shownMessages().isEmpty());
}

void TestBookWindows::addReportsMissingFieldsAndRunsNothing()
{
    AppFixture app;
    app.start();
    add->show();
    setText(add, "addAuthor", QStringLiteral("A"));
    setText(add, "addPublisher", QStringLiteral("P"));
    const int linesBefore = EventConsole::lines().size();
    child<QPushButton>(add, "AddBook")->click();
    QCOMPARE(UserPrompts::shownMessages(),
             QStringList{QStringLiteral("!!! The next fields are empty:\r - Title\r - Year\r - Genre")});
    QCOMPARE(EventConsole::lines().size(), linesBefore);
    QVERIFY(books().isEmpty());
    QVERIFY(add->isVisible());

    // A year that is no number: its own message, the focus on the year, still nothing run.
    UserPrompts::clearShownMessages();
    setText(add, "addTitle", QStringLiteral("T"));
    setText(add, "addGenre", QStringLiteral("G"));
    setText(add, "addYear", QStringLiteral("19x9"));
    child<QPushButton>(add, "AddBook")->click();
    QCOMPARE(UserPrompts::shownMessages(),
             QStringList{QStringLiteral("Enter a digital value!\rВведите цифровое значение!")});
    QCOMPARE(EventConsole::lines().size(), linesBefore);
}

void TestBookWindows::addSubstitutesEmptyObligatoryFields()
{
    AppFixture app;
    app.start();
    settingsList().setValue(QStringLiteral("Language"), QStringLiteral("ru"));
    child<QCheckBox>(FieldsF, "FieldsAllowEmptyChk")->setChecked(true);
    add->show();
    setText(add, "addSeria", QStringLiteral("S"));
    child<QPushButton>(add, "AddBook")->click();
    settingsList().setValue(QStringLiteral("Language"), QStringLiteral("en"));
    QVERIFY(UserPrompts::shownMessages().isEmpty());
    QCOMPARE(books().size(), 1);
    QCOMPARE(books().first().section(QLatin1Char('|'), 1), QStringLiteral("Без имени|Нет|0000|S"));
}

void TestBookWindows::addMarkerFile_data()
{
    QTest::addColumn<bool>("marker");
    QTest::newRow("with .add") << true;
    QTest::newRow("without .add") << false;
}

void TestBookWindows::addMarkerFile()
{
    QFETCH(bool, marker);
    AppFixture app;
    if (marker) {
        QFile file(app.path(QStringLiteral(".add")));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    app.start();
    QCOMPARE(add->closesAfterAdding(), marker);
    QCOMPARE(child<QCheckBox>(add, "CheckBox1")->isChecked(), marker);

    // With the option on the window closes after the book is added; off, it stays with its texts.
    add->show();
    setText(add, "addTitle", QStringLiteral("T"));
    setText(add, "addAuthor", QStringLiteral("A"));
    setText(add, "addYear", QStringLiteral("2000"));
    setText(add, "addPublisher", QStringLiteral("P"));
    setText(add, "addGenre", QStringLiteral("G"));
    child<QPushButton>(add, "AddBook")->click();
    QCOMPARE(add->isVisible(), !marker);
    QCOMPARE(child<QLineEdit>(add, "addTitle")->text(), QStringLiteral("T"));
}

void TestBookWindows::addKeyboard()
{
    AppFixture app;
    app.start();
    add->show();
    QApplication::setActiveWindow(add);
    QCOMPARE(QApplication::focusWidget(), child<QLineEdit>(add, "addTitle"));
    setText(add, "addTitle", QStringLiteral("T"));
    setText(add, "addAuthor", QStringLiteral("A"));
    setText(add, "addYear", QStringLiteral("2000"));
    setText(add, "addPublisher", QStringLiteral("P"));
    setText(add, "addGenre", QStringLiteral("G"));
    // Enter in an editable combo box adds the book and leaves the list entries alone.
    pressIn(child<QComboBox>(add, "addGenre"), Qt::Key_Return);
    QCOMPARE(books().size(), 1);
    QCOMPARE(child<QComboBox>(add, "addGenre")->count(), 0);
    pressIn(child<QLineEdit>(add, "addDescription"), Qt::Key_Enter);
    QCOMPARE(books().size(), 2);
    pressIn(child<QComboBox>(add, "addYear"), Qt::Key_Escape);
    QVERIFY(!add->isVisible());
    QCOMPARE(books().size(), 2);
}

void TestBookWindows::addCharactersLeft()
{
    AppFixture app;
    app.start();
    add->show();
    auto *counter = child<QLabel>(add, "Sleft");
    QVERIFY(!counter->isVisible());
    QTest::keyClicks(child<QLineEdit>(add, "addTitle"), QStringLiteral("abc"));
    QVERIFY(counter->isVisible());
    QCOMPARE(counter->text(), QStringLiteral("Symbols left: 62"));
    QVERIFY(add->Timer2.isActive());

    // The year shows its counter but leaves the timer as it was.
    add->Timer2.stop();
    QTest::keyClicks(child<QComboBox>(add, "addYear")->lineEdit(), QStringLiteral("19"));
    QCOMPARE(counter->text(), QStringLiteral("Symbols left: 2"));
    QVERIFY(!add->Timer2.isActive());
    QTest::keyClicks(child<QComboBox>(add, "addYear")->lineEdit(), QStringLiteral("999"));
    QCOMPARE(child<QComboBox>(add, "addYear")->currentText(), QStringLiteral("1999"));

    add->Timer2Timer();
    QVERIFY(!counter->isVisible());
}

void TestBookWindows::changeWritesChangedFieldsOnly()
{
    AppFixture app;
    app.start();
    const QString id = insertBook(QStringLiteral("T"), QStringLiteral("A"));
    MainF->RefreshBooks();
    cng->show();
    QCOMPARE(child<QLineEdit>(cng, "cngTitle")->text(), QStringLiteral("T"));
    QCOMPARE(child<QLineEdit>(cng, "getId")->text(), id);

    // Unchanged: nothing written or logged, the window closes.
    int linesBefore = EventConsole::lines().size();
    child<QPushButton>(cng, "Button1")->click();
    QVERIFY(!cng->isVisible());
    QCOMPARE(EventConsole::lines().size(), linesBefore);

    cng->show();
    setText(cng, "cngTitle", QStringLiteral("Мій O'Hara"));
    setText(cng, "cngSeria", QStringLiteral("S'x"));
    setText(cng, "cngYear", QStringLiteral("1998"));
    linesBefore = EventConsole::lines().size();
    child<QPushButton>(cng, "Button1")->click();
    QVERIFY(!cng->isVisible());
    QCOMPARE(books(), QStringList{id + QStringLiteral("|Мій O'Hara|A|1998|S'x")});
    const QStringList added = AppFixture::consoleMessages().mid(linesBefore);
    const QString updated = QStringLiteral("Book № ") + id + QStringLiteral(" updated");
    const QString reload = QStringLiteral("{SQL} select * from BOOK");
    QCOMPARE(added, (QStringList{
                        QStringLiteral("{SQL} UPDATE book SET title = 'Мій O''Hara' WHERE id = %1").arg(id),
                        updated,
                        reload,
                        QStringLiteral("{SQL} UPDATE book SET iyear = '1998' WHERE id = %1").arg(id),
                        updated,
                        reload,
                        QStringLiteral("{SQL} UPDATE book SET seria = 'S''x' WHERE id = %1").arg(id),
                        updated,
                        reload,
                    }));
    // The boxes hold the book again at the next showing.
    cng->show();
    QCOMPARE(child<QLineEdit>(cng, "cngTitle")->text(), QStringLiteral("Мій O'Hara"));
}

void TestBookWindows::changeKeyboard()
{
    AppFixture app;
    app.start();
    insertBook(QStringLiteral("T"), QStringLiteral("A"));
    MainF->RefreshBooks();
    cng->show();
    QApplication::setActiveWindow(cng);
    QCOMPARE(QApplication::focusWidget(), child<QLineEdit>(cng, "cngTitle"));
    setText(cng, "cngGenre", QStringLiteral("Poetry"));
    pressIn(child<QLineEdit>(cng, "cngClas"), Qt::Key_Escape);
    QVERIFY(!cng->isVisible());
    QCOMPARE(books().first().section(QLatin1Char('|'), 1, 1), QStringLiteral("T"));

    cng->show();
    setText(cng, "cngAuthor", QStringLiteral("B"));
    pressIn(child<QLineEdit>(cng, "cngPlace"), Qt::Key_Return);
    QVERIFY(!cng->isVisible());
    QCOMPARE(books().first().section(QLatin1Char('|'), 2, 2), QStringLiteral("B"));
}

void TestBookWindows::viewFollowsCurrentBook()
{
    AppFixture app;
    app.start();
    insertBook(QStringLiteral("First"), QStringLiteral("A"));
    insertBook(QStringLiteral("Другий"), QStringLiteral("B"));
    MainF->RefreshBooks();
    MainF->setGeometry(200, 150, 700, 500);
    ViewF->show();
    // Shown over the middle of the main window, not in a corner of the screen.
    QVERIFY((ViewF->frameGeometry().center() - MainF->frameGeometry().center()).manhattanLength() <= 2);
    QCOMPARE(ViewF->titleLine(), QStringLiteral(" ::: First ::: "));
    MainF->IBQuery1()->next();
    QCOMPARE(ViewF->titleLine(), QStringLiteral(" ::: Другий ::: "));
    QCOMPARE(child<QLineEdit>(ViewF, "getAuthor")->text(), QStringLiteral("B"));
    QVERIFY(child<QLineEdit>(ViewF, "getAuthor")->isReadOnly());
}

void TestBookWindows::deleteRefusesLentBook()
{
    AppFixture app;
    app.start();
    const QString lent = insertBook(QStringLiteral("Lent"), QStringLiteral("A"));
    const QString free = insertBook(QStringLiteral("Free"), QStringLiteral("B"));
    lend(lent);
    MainF->RefreshBooks();
    auto *window = new Tdel(MainF);
    window->show();
    child<QCheckBox>(window, "CloseAfterDel")->setChecked(true);
    setText(window, "delBook", lent);
    child<QPushButton>(window, "Button2")->click();
    QCOMPARE(UserPrompts::shownMessages(), QStringList{LangStr(QStringLiteral("ldlterre"))});
    QCOMPARE(books().size(), 2);
    QVERIFY(window->isVisible());
    QCOMPARE(child<QLineEdit>(window, "delBook")->text(), lent);

    setText(window, "delBook", free);
    child<QPushButton>(window, "Button2")->click();
    QCOMPARE(books().size(), 1);
    QVERIFY(!window->isVisible());
    const QStringList console = AppFixture::consoleMessages();
    QCOMPARE(console.mid(console.size() - 3),
             (QStringList{QStringLiteral("{SQL} DELETE FROM book WHERE id = %1").arg(free),
                          QStringLiteral("Book № %1 has been deleted").arg(free),
                          QStringLiteral("{SQL} select * from BOOK")}));
    QCOMPARE(rowCount(), 1);
}

void TestBookWindows::deleteKeyboardAndBadIdentifier()
{
    AppFixture app;
    app.start();
    const QString id = insertBook(QStringLiteral("T"), QStringLiteral("A"));
    MainF->RefreshBooks();
    auto *window = new Tdel(MainF);
    window->show();
    QApplication::setActiveWindow(window);
    auto *box = child<QLineEdit>(window, "delBook");
    QCOMPARE(QApplication::focusWidget(), box);

    box->setText(QStringLiteral("abc"));
    pressIn(box, Qt::Key_Return);
    QCOMPARE(UserPrompts::shownMessages(),
             QStringList{QStringLiteral("Please enter a valid ID value!\rВведите корректное значение ID!")});
    QVERIFY(box->text().isEmpty());

    // A click on the current identifier puts it into the box; Enter deletes it.
    QTest::mouseClick(child<QLabel>(window, "DBText1"), Qt::LeftButton);
    QCOMPARE(box->text(), id);
    pressIn(box, Qt::Key_Enter);
    QVERIFY(books().isEmpty());
    pressIn(box, Qt::Key_Escape);
    QVERIFY(!window->isVisible());
}

void TestBookWindows::multiDeleteCountsAndReportsRefusals()
{
    AppFixture app;
    app.start();
    const QString first = insertBook(QStringLiteral("One"), QStringLiteral("A"));
    const QString lent = insertBook(QStringLiteral("Two"), QStringLiteral("B"));
    insertBook(QStringLiteral("Three"), QStringLiteral("C"));
    lend(lent);
    MainF->RefreshBooks();
    MultiDelF->show();
    auto *mark = child<QLabel>(MultiDelF, "MarkToDelLb");
    QTest::mouseClick(mark, Qt::LeftButton);
    QTest::mouseClick(mark, Qt::LeftButton); // the same book twice
    MainF->IBQuery1()->next();
    QTest::mouseClick(child<QLabel>(MultiDelF, "DBText1"), Qt::LeftButton);
    QCOMPARE(child<QLabel>(MultiDelF, "Label6")->text(), QStringLiteral("3"));
    auto *list = child<QListWidget>(MultiDelF, "DelList");
    QCOMPARE(list->item(2)->text(), lent);

    pressIn(list, Qt::Key_Return);
    // The second mark of the same book deletes nothing and is named, not counted.
    QCOMPARE(UserPrompts::shownMessages(),
             (QStringList{LangStr(QStringLiteral("ldlterre")),
                          QStringLiteral("1 books deleted!\r1 книг удалено!\rNo book has the identifier ") + first}));
    QCOMPARE(books().size(), 2);
    QVERIFY(!books().join(QLatin1Char(',')).contains(QStringLiteral("|One|")));
    QCOMPARE(list->count(), 0);
    QCOMPARE(child<QLabel>(MultiDelF, "Label6")->text(), QStringLiteral("0"));
    QVERIFY(AppFixture::consoleMessages().contains(QStringLiteral("Book № %1 has been deleted").arg(first)));
    QCOMPARE(rowCount(), 2);
    QVERIFY(MultiDelF->isVisible());
    pressIn(list, Qt::Key_Escape);
    QVERIFY(!MultiDelF->isVisible());
}

void TestBookWindows::searchFindsQuotedAndCyrillicText_data()
{
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("statement");
    QTest::addColumn<int>("rows");
    QTest::newRow("author with apostrophe")
        << 1 << QStringLiteral("O'Br") << QStringLiteral("SELECT * FROM book WHERE author like '%O''Br%'") << 1;
    QTest::newRow("cyrillic title") << 0 << QStringLiteral("обза")
                                    << QStringLiteral("SELECT * FROM book WHERE title like '%обза%'") << 1;
    QTest::newRow("year") << 5 << QStringLiteral("19") << QStringLiteral("SELECT * FROM book WHERE iyear like '%19%'")
                          << 2;
    QTest::newRow("no match") << 3 << QStringLiteral("'")
                              << QStringLiteral("SELECT * FROM book WHERE seria like '%''%'") << 0;
    QTest::newRow("longer than the column")
        << 5 << QStringLiteral("19140") << QStringLiteral("SELECT * FROM book WHERE iyear like '%19140%'") << 0;
}

void TestBookWindows::searchFindsQuotedAndCyrillicText()
{
    QFETCH(int, field);
    QFETCH(QString, text);
    QFETCH(QString, statement);
    QFETCH(int, rows);
    AppFixture app;
    app.start();
    insertBook(QStringLiteral("Dubliners"), QStringLiteral("O''Brien"), QStringLiteral("1914"));
    insertBook(QStringLiteral("Кобзар"), QStringLiteral("Шевченко"), QStringLiteral("1840"));
    insertBook(QStringLiteral("Other"), QStringLiteral("X"), QStringLiteral("1999"));
    BookSearchBar *bar = placeSearchBar();
    child<QComboBox>(bar, "SelList2")->setCurrentIndex(field);
    setText(bar, "edSel2", text);
    QTest::mouseClick(child<QLabel>(bar, "SearchImg"), Qt::LeftButton);
    QCOMPARE(AppFixture::consoleMessages().last(), QStringLiteral("{SQL} ") + statement);
    QCOMPARE(MainF->CurrentBookSql(), statement);
    QCOMPARE(MainF->BookBaseSql(), statement + QStringLiteral("\r\n"));
    QCOMPARE(rowCount(), rows);
    QVERIFY(UserPrompts::shownMessages().isEmpty());
}

void TestBookWindows::searchByIdRejectsNonNumbers()
{
    AppFixture app;
    app.start();
    const QString id = insertBook(QStringLiteral("T"), QStringLiteral("A"));
    insertBook(QStringLiteral("U"), QStringLiteral("B"));
    MainF->RefreshBooks();
    BookSearchBar *bar = placeSearchBar();
    child<QComboBox>(bar, "SelList2")->setCurrentIndex(9);
    setText(bar, "edSel2", QStringLiteral("1 or 1=1"));
    const int linesBefore = EventConsole::lines().size();
    QTest::mouseClick(child<QLabel>(bar, "SearchImg"), Qt::LeftButton);
    QCOMPARE(UserPrompts::shownMessages(),
             QStringList{QStringLiteral("Please enter a valid ID value!\rВведите корректное значение ID!")});
    QCOMPARE(EventConsole::lines().size(), linesBefore);
    QCOMPARE(MainF->CurrentBookSql(), QStringLiteral("select * from BOOK"));
    QCOMPARE(rowCount(), 2);

    setText(bar, "edSel2", id);
    QTest::mouseClick(child<QLabel>(bar, "SearchImg"), Qt::LeftButton);
    QCOMPARE(rowCount(), 1);
    QCOMPARE(MainF->IBQuery1()->fieldText(QStringLiteral("TITLE")), QStringLiteral("T"));
}

void TestBookWindows::orderingAfterReloadStaysValid()
{
    AppFixture app;
    app.start();
    insertBook(QStringLiteral("b"), QStringLiteral("Ann"));
    insertBook(QStringLiteral("a"), QStringLiteral("Ann"));
    insertBook(QStringLiteral("c"), QStringLiteral("Bob"));
    BookSearchBar *bar = placeSearchBar();

    child<QComboBox>(bar, "SelList2")->setCurrentIndex(1);
    setText(bar, "edSel2", QStringLiteral("Ann"));
    QTest::mouseClick(child<QLabel>(bar, "SearchImg"), Qt::LeftButton);
    child<QComboBox>(bar, "SelList3")->setCurrentIndex(1);
    QTest::mouseClick(child<QLabel>(bar, "ArrangeUpImg"), Qt::LeftButton);
    const QString search = QStringLiteral("SELECT * FROM book WHERE author like '%Ann%'");
    QCOMPARE(AppFixture::consoleMessages().last(),
             QStringLiteral("{SQL} ") + search + QStringLiteral("\r\n ORDER BY title DESC"));
    QCOMPARE(MainF->IBQuery1()->fieldText(QStringLiteral("TITLE")), QStringLiteral("b"));

    // A reload keeps the ordered statement; the next ordering replaces its clause.
    MainF->RefreshBooks();
    QTest::mouseClick(child<QLabel>(bar, "ArrangeDownImg"), Qt::LeftButton);
    QCOMPARE(MainF->CurrentBookSql(), search + QStringLiteral("\r\n ORDER BY title ASC;"));
    QCOMPARE(rowCount(), 2);
    QCOMPARE(MainF->IBQuery1()->fieldText(QStringLiteral("TITLE")), QStringLiteral("a"));

    // After "All books", the ordering orders every book.
    MainF->LeftRefreshAllLbClick();
    child<QComboBox>(bar, "SelList3")->setCurrentIndex(0);
    QTest::mouseClick(child<QLabel>(bar, "ArrangeUpImg"), Qt::LeftButton);
    QCOMPARE(MainF->CurrentBookSql(), QStringLiteral("SELECT * from book\r\n ORDER BY id DESC;"));
    QCOMPARE(rowCount(), 3);
    QCOMPARE(MainF->IBQuery1()->fieldText(QStringLiteral("TITLE")), QStringLiteral("c"));
    QVERIFY(UserPrompts::shownMessages().isEmpty());
}

void TestBookWindows::searchWithoutFieldOnlyMovesFocus()
{
    AppFixture app;
    app.start();
    BookSearchBar *bar = placeSearchBar();
    QApplication::setActiveWindow(MainF);
    const int linesBefore = EventConsole::lines().size();
    QTest::mouseClick(child<QLabel>(bar, "SearchImg"), Qt::LeftButton);
    QCOMPARE(QApplication::focusWidget(), child<QComboBox>(bar, "SelList2"));
    QTest::mouseClick(child<QLabel>(bar, "ArrangeDownImg"), Qt::LeftButton);
    QCOMPARE(QApplication::focusWidget(), child<QComboBox>(bar, "SelList3"));
    QCOMPARE(EventConsole::lines().size(), linesBefore);

    // The prompt goes on a mouse click and comes back when the field is left empty.
    auto *edit = child<QLineEdit>(bar, "edSel2");
    edit->setText(QStringLiteral("Искать что?"));
    QTest::mouseClick(edit, Qt::LeftButton);
    QVERIFY(edit->text().isEmpty());
    child<QComboBox>(bar, "SelList2")->setFocus();
    QCOMPARE(edit->text(), QStringLiteral("Search for?"));
}

void TestBookWindows::enterSearchesAndEmptyResultSaysSo()
{
    AppFixture app;
    app.start();
    insertBook(QStringLiteral("Кобзар"), QStringLiteral("Шевченко"));
    auto *grid = MainF->findChild<DBGridEh *>(QStringLiteral("DBGridEh1"));
    BookSearchBar *bar = placeSearchBar();
    child<QComboBox>(bar, "SelList2")->setCurrentIndex(0);
    setText(bar, "edSel2", QStringLiteral("Заповіт"));
    pressIn(child<QLineEdit>(bar, "edSel2"), Qt::Key_Return);
    QCOMPARE(MainF->CurrentBookSql(), QStringLiteral("SELECT * FROM book WHERE title like '%Заповіт%'"));
    QCOMPARE(rowCount(), 0);
    QCOMPARE(grid->statusText(), QStringLiteral("Nothing found"));
    QVERIFY(UserPrompts::shownMessages().isEmpty());
    // The note goes with the rows it was said of.
    MainF->LeftRefreshAllLbClick();
    QCOMPARE(grid->statusText(), QString());
    setText(bar, "edSel2", QStringLiteral("обза"));
    pressIn(child<QLineEdit>(bar, "edSel2"), Qt::Key_Enter);
    QCOMPARE(rowCount(), 1);
    QCOMPARE(grid->statusText(), QString());
}

void TestBookWindows::titleClickOrdersLikeArrangeBy()
{
    AppFixture app;
    app.start();
    insertBook(QStringLiteral("b"), QStringLiteral("Bob"));
    insertBook(QStringLiteral("a"), QStringLiteral("Ann"));
    insertBook(QStringLiteral("c"), QStringLiteral("Cid"));
    MainF->RefreshBooks();
    auto *grid = MainF->findChild<DBGridEh *>(QStringLiteral("DBGridEh1"));
    auto *arrangeBy = child<QComboBox>(placeSearchBar(), "SelList3");
    clickTitle(grid, 2); // "Author"
    QCOMPARE(MainF->CurrentBookSql(), QStringLiteral("select * from BOOK\r\n ORDER BY author ASC;"));
    QCOMPARE(arrangeBy->currentText(), QStringLiteral("Author"));
    QCOMPARE(MainF->IBQuery1()->fieldText(QStringLiteral("TITLE")), QStringLiteral("a"));
    clickTitle(grid, 2);
    QCOMPARE(MainF->CurrentBookSql(), QStringLiteral("select * from BOOK\r\n ORDER BY author DESC;"));
    QCOMPARE(MainF->IBQuery1()->fieldText(QStringLiteral("TITLE")), QStringLiteral("c"));
    clickTitle(grid, 1); // "Id": another column starts ascending
    QCOMPARE(MainF->CurrentBookSql(), QStringLiteral("select * from BOOK\r\n ORDER BY id ASC;"));
    QCOMPARE(arrangeBy->currentText(), QStringLiteral("Id"));
    QCOMPARE(AppFixture::consoleMessages().last(), QStringLiteral("{SQL} select * from BOOK\r\n ORDER BY id ASC"));
}

QTEST_MAIN(TestBookWindows)
#include "tst_bookwindows.moc"
