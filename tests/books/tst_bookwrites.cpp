// The book windows write only where the user meant: to the book a window was loaded with, all
// fields or none, and a statement that touched nothing is never reported as done.
#include "AddBookWindow.h"
#include "AppFixture.h"
#include "AppState.h"
#include "BookSearchBar.h"
#include "ChangeBookWindow.h"
#include "DeleteBookWindow.h"
#include "EventConsole.h"
#include "FbDatabase.h"
#include "FbQuery.h"
#include "LangStr.h"
#include "MainWindow.h"
#include "MultiDeleteWindow.h"
#include "SettingsList.h"
#include "TestLibrary.h"
#include "UserPrompts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
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

// Every book as "id|title|iyear|genre", ordered by id.
QStringList books()
{
    return TestLibrary::rows(*MainF->IBDatabase1(), u"SELECT id, title, iyear, genre FROM book ORDER BY id"_s);
}

QString insertBook(const QString &title)
{
    execute(u"INSERT INTO book (title, author, iyear, publisher, genre) VALUES ('%1', 'A', '2001', 'P', 'G')"_s.arg(
        QString(title).replace(u'\'', u"''"_s)));
    return books().last().section(u'|', 0, 0);
}

template <typename T> T *child(QWidget *window, const char *name)
{
    T *found = window->findChild<T *>(QLatin1String(name));
    if (!found)
        qFatal("no control %s", name);
    return found;
}

QLineEdit *edit(QWidget *window, const char *name)
{
    return child<QLineEdit>(window, name);
}

void setCombo(QWidget *window, const char *name, const QString &text)
{
    child<QComboBox>(window, name)->setEditText(text);
}

QStringList sqlSince(int line)
{
    QStringList sql;
    for (const QString &message : AppFixture::consoleMessages().mid(line))
        if (message.startsWith(u"{SQL} "_s))
            sql << message;
    return sql;
}

int listRows()
{
    FbQuery *list = MainF->IBQuery1();
    if (!list->active())
        return -1;
    list->fetchAll();
    return list->fetchedCount();
}

void fillAddWindow(const QString &title, const QString &year)
{
    edit(add, "addTitle")->setText(title);
    setCombo(add, "addAuthor", u"A"_s);
    setCombo(add, "addYear", year);
    setCombo(add, "addPublisher", u"P"_s);
    setCombo(add, "addGenre", u"G"_s);
}

} // namespace

class TestBookWrites : public QObject
{
    Q_OBJECT
private slots:
    void init();

    void changeWritesToTheBookItWasLoadedWith_data();
    void changeWritesToTheBookItWasLoadedWith();
    void changeChecksEveryFieldBeforeTheFirstStatement();
    void changeWithoutBookRunsNothing();
    void changeKeepsTypedTextWhenAStatementFails();
    void changeNamesTheFieldThatFailed();

    void deleteOfMissingIdentifierSaysSo();
    void refusedDeleteBringsTheListBack();
    void multiDeleteNamesIdentifiersWithoutBook();

    void addNamesUnstorableCharacterBeforeLogging();
    void secondBoxOfAnActionStaysAboveTheAddWindow();

    void searchTakesPercentAndUnderscoreLiterally_data();
    void searchTakesPercentAndUnderscoreLiterally();
    void searchPromptClearsInEveryLanguage_data();
    void searchPromptClearsInEveryLanguage();
};

void TestBookWrites::init()
{
    UserPrompts::clearShownMessages();
}

void TestBookWrites::changeWritesToTheBookItWasLoadedWith_data()
{
    QTest::addColumn<bool>("reload");
    QTest::newRow("another row made current") << false;
    QTest::newRow("list reloaded") << true;
}

void TestBookWrites::changeWritesToTheBookItWasLoadedWith()
{
    QFETCH(bool, reload);
    AppFixture app;
    app.start();
    const QString first = insertBook(u"One"_s);
    const QString second = insertBook(u"Two"_s);
    MainF->RefreshBooks();
    cng->show();
    edit(cng, "cngYear")->setText(u"1998"_s);
    if (reload) {
        // A reload made from the main window puts the row on the second book.
        MainF->IBQuery1()->setSqlText(u"SELECT * FROM book ORDER BY id DESC"_s);
        MainF->IBQuery1()->open();
    } else {
        MainF->IBQuery1()->next();
    }
    QCOMPARE(edit(cng, "getId")->text(), second);

    const int before = EventConsole::lines().size();
    child<QPushButton>(cng, "Button1")->click();
    QCOMPARE(books(), (QStringList{first + u"|One|1998|G"_s, second + u"|Two|2001|G"_s}));
    QCOMPARE(sqlSince(before).first(), u"{SQL} UPDATE book SET iyear = '1998' WHERE id = %1"_s.arg(first));
    QCOMPARE(sqlSince(before).size(), 2); // the statement and the reload
    QVERIFY(!cng->isVisible());
}

void TestBookWrites::changeChecksEveryFieldBeforeTheFirstStatement()
{
    AppFixture app;
    app.start();
    const QString id = insertBook(u"One"_s);
    MainF->RefreshBooks();
    cng->show();
    // The title and year come before the genre: not one of them may be written.
    edit(cng, "cngTitle")->setText(u"Renamed"_s);
    edit(cng, "cngYear")->setText(u"1998"_s);
    edit(cng, "cngGenre")->setText(u"Poetry 詩"_s);
    const int before = EventConsole::lines().size();
    child<QPushButton>(cng, "Button1")->click();

    QCOMPARE(books(), QStringList{id + u"|One|2001|G"_s});
    QCOMPARE(EventConsole::lines().size(), before);
    QCOMPARE(UserPrompts::shownMessages(),
             QStringList{LangStr(u"cbadchar"_s).arg(u"詩"_s, u"U+8A69"_s, LangStr(u"lgenre"_s))});
    QVERIFY(UserPrompts::shownMessages().first().startsWith(u"The character \"詩\" (U+8A69) in the field \"Genre\""_s));
    QVERIFY(cng->isVisible());
    QCOMPARE(edit(cng, "cngTitle")->text(), u"Renamed"_s);
    QCOMPARE(edit(cng, "cngGenre")->text(), u"Poetry 詩"_s);

    // Corrected, the same window writes both fields.
    edit(cng, "cngGenre")->setText(u"Poetry"_s);
    child<QPushButton>(cng, "Button1")->click();
    QCOMPARE(books(), QStringList{id + u"|Renamed|1998|Poetry"_s});
    QVERIFY(!cng->isVisible());
}

void TestBookWrites::changeWithoutBookRunsNothing()
{
    AppFixture app;
    app.start();
    insertBook(u"One"_s);
    MainF->IBQuery1()->close(); // no current book
    cng->show();
    QVERIFY(edit(cng, "getId")->text().isEmpty());
    edit(cng, "cngTitle")->setText(u"Typed"_s);
    const int before = EventConsole::lines().size();
    child<QPushButton>(cng, "Button1")->click();
    QCOMPARE(EventConsole::lines().size(), before);
    QCOMPARE(UserPrompts::shownMessages(), QStringList{LangStr(u"cnobook"_s)});
    QVERIFY(cng->isVisible());
    QCOMPARE(edit(cng, "cngTitle")->text(), u"Typed"_s);
}

void TestBookWrites::changeKeepsTypedTextWhenAStatementFails()
{
    AppFixture app;
    app.start();
    const QString id = insertBook(u"One"_s);
    MainF->RefreshBooks();
    cng->show();
    edit(cng, "cngTitle")->setText(u"Renamed"_s);
    execute(u"DELETE FROM book WHERE id = "_s + id); // gone behind the window's back
    child<QPushButton>(cng, "Button1")->click();

    QVERIFY(AppFixture::consoleMessages().contains(LangStr(u"cupder"_s)));
    QVERIFY(!AppFixture::consoleMessages().contains(u"Book № %1 updated"_s.arg(id)));
    QCOMPARE(UserPrompts::shownMessages(), QStringList{LangStr(u"cfldnupd"_s).arg(LangStr(u"ltitle"_s))});
    QVERIFY(cng->isVisible());
    QCOMPARE(edit(cng, "cngTitle")->text(), u"Renamed"_s);
    QCOMPARE(listRows(), 0); // the list is open again, not closed by the statement
}

void TestBookWrites::changeNamesTheFieldThatFailed()
{
    AppFixture app;
    app.start();
    const QString id = insertBook(u"One"_s);
    // The library refuses one genre, as a rule of its own would.
    execute(u"CREATE EXCEPTION bad_genre 'refused'"_s);
    execute(u"CREATE TRIGGER refuse_genre FOR book BEFORE UPDATE AS BEGIN "
            u"IF (NEW.genre = 'Bad') THEN EXCEPTION bad_genre; END"_s);
    MainF->RefreshBooks();
    cng->show();
    edit(cng, "cngTitle")->setText(u"Renamed"_s);
    edit(cng, "cngGenre")->setText(u"Bad"_s);
    child<QPushButton>(cng, "Button1")->click();

    QCOMPARE(UserPrompts::shownMessages(), QStringList{LangStr(u"cfldnupd"_s).arg(LangStr(u"lgenre"_s))});
    QCOMPARE(books(), QStringList{id + u"|Renamed|2001|G"_s});
    QVERIFY(cng->isVisible());
    QCOMPARE(edit(cng, "cngGenre")->text(), u"Bad"_s);
    QCOMPARE(listRows(), 1);

    // Corrected, only the field still to write is written.
    edit(cng, "cngGenre")->setText(u"Good"_s);
    const int before = EventConsole::lines().size();
    child<QPushButton>(cng, "Button1")->click();
    QCOMPARE(sqlSince(before).first(), u"{SQL} UPDATE book SET genre = 'Good' WHERE id = %1"_s.arg(id));
    QCOMPARE(sqlSince(before).size(), 2); // the statement and the reload
    QCOMPARE(books(), QStringList{id + u"|Renamed|2001|Good"_s});
    QVERIFY(!cng->isVisible());
}

void TestBookWrites::deleteOfMissingIdentifierSaysSo()
{
    AppFixture app;
    app.start();
    insertBook(u"One"_s);
    MainF->RefreshBooks();
    auto *window = new Tdel(MainF);
    window->show();
    child<QCheckBox>(window, "CloseAfterDel")->setChecked(true);
    edit(window, "delBook")->setText(u"987654"_s);
    child<QPushButton>(window, "Button2")->click();

    QCOMPARE(UserPrompts::shownMessages(), QStringList{u"No book has the identifier 987654"_s});
    const QStringList console = AppFixture::consoleMessages();
    QVERIFY(!console.contains(u"Book № 987654 has been deleted"_s));
    QVERIFY(console.contains(u"No book has the identifier 987654"_s));
    QVERIFY(window->isVisible());
    QCOMPARE(books().size(), 1);
    QCOMPARE(listRows(), 1);
}

void TestBookWrites::refusedDeleteBringsTheListBack()
{
    AppFixture app;
    app.start();
    const QString lent = insertBook(u"Lent"_s);
    insertBook(u"Free"_s);
    execute(u"INSERT INTO given (given_id, given_to, given_date) VALUES (%1, 'Ann', '2026-12-01')"_s.arg(lent));
    MainF->RefreshBooks();
    auto *window = new Tdel(MainF);
    window->show();
    edit(window, "delBook")->setText(lent);
    child<QPushButton>(window, "Button2")->click();
    QCOMPARE(UserPrompts::shownMessages(), QStringList{LangStr(u"ldlterre"_s)});
    QCOMPARE(listRows(), 2);
}

void TestBookWrites::multiDeleteNamesIdentifiersWithoutBook()
{
    AppFixture app;
    app.start();
    const QString id = insertBook(u"One"_s);
    insertBook(u"Two"_s);
    MainF->RefreshBooks();
    MultiDelF->show();
    auto *mark = child<QLabel>(MultiDelF, "MarkToDelLb");
    QTest::mouseClick(mark, Qt::LeftButton);
    QTest::mouseClick(mark, Qt::LeftButton); // the same book twice
    child<QPushButton>(MultiDelF, "Button2")->click();

    const QString summary = u"1 books deleted!\r1 книг удалено!\rNo book has the identifier "_s + id;
    QCOMPARE(UserPrompts::shownMessages(), QStringList{summary});
    QCOMPARE(AppFixture::consoleMessages().count(u"Book № %1 has been deleted"_s.arg(id)), 1);
    QCOMPARE(books().size(), 1);
}

void TestBookWrites::addNamesUnstorableCharacterBeforeLogging()
{
    AppFixture app;
    app.start();
    add->show();
    fillAddWindow(u"Sun 🌞"_s, u"1999"_s);
    const int before = EventConsole::lines().size();
    child<QPushButton>(add, "AddBook")->click();

    QCOMPARE(UserPrompts::shownMessages(),
             QStringList{LangStr(u"cbadchar"_s).arg(u"🌞"_s, u"U+1F31E"_s, LangStr(u"ltitle"_s))});
    QCOMPARE(EventConsole::lines().size(), before);
    QVERIFY(books().isEmpty());
    QVERIFY(add->isVisible());
    QCOMPARE(edit(add, "addTitle")->text(), u"Sun 🌞"_s);
}

void TestBookWrites::secondBoxOfAnActionStaysAboveTheAddWindow()
{
    AppFixture app;
    app.start();
    add->show();
    QApplication::setActiveWindow(add);
    edit(add, "addTitle")->setText(u"T"_s);
    setCombo(add, "addYear", u"19x9"_s); // the year message, then the empty-fields report

    // Real boxes this time, closed as they come; each is looked at while it is open.
    struct Seen {
        QWidget *owner;
        bool onTop;
    };
    QList<Seen> seen;
    QTimer closer;
    closer.setInterval(10);
    QObject::connect(&closer, &QTimer::timeout, [&seen] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        seen.append({box->parentWidget(), box->windowFlags().testFlag(Qt::WindowStaysOnTopHint)});
        box->done(QMessageBox::Ok);
        // A box that closes hands activation elsewhere, as a window manager may do.
        QApplication::setActiveWindow(MainF);
    });
    closer.start();
    UserPrompts::setAutoAnswer(false);
    child<QPushButton>(add, "AddBook")->click();
    UserPrompts::setAutoAnswer(true);
    closer.stop();

    QCOMPARE(seen.size(), 2);
    for (const Seen &box : seen) {
        QCOMPARE(box.owner, static_cast<QWidget *>(add));
        QVERIFY(box.onTop);
    }
}

void TestBookWrites::searchTakesPercentAndUnderscoreLiterally_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("found");
    QTest::addColumn<QString>("condition");
    QTest::newRow("percent") << u"100%"_s << QStringList{u"100% sure"_s} << u"title like '%100\\%%' ESCAPE '\\'"_s;
    QTest::newRow("underscore") << u"a_b"_s << QStringList{u"a_b"_s} << u"title like '%a\\_b%' ESCAPE '\\'"_s;
    QTest::newRow("with a backslash") << u"\\_"_s << QStringList{u"c\\_d"_s} << u"title like '%\\\\\\_%' ESCAPE '\\'"_s;
    // Ordinary text keeps its exact statement.
    QTest::newRow("plain") << u"100"_s << QStringList{u"100% sure"_s, u"1000 nights"_s} << u"title like '%100%'"_s;
    QTest::newRow("backslash alone") << u"c\\"_s << QStringList{u"c\\_d"_s} << u"title like '%c\\%'"_s;
}

void TestBookWrites::searchTakesPercentAndUnderscoreLiterally()
{
    QFETCH(QString, text);
    QFETCH(QStringList, found);
    QFETCH(QString, condition);
    AppFixture app;
    app.start();
    for (const QString &title : {u"100% sure"_s, u"1000 nights"_s, u"a_b"_s, u"axb"_s, u"c\\_d"_s})
        insertBook(title);
    auto *bar = MainF->findChild<BookSearchBar *>();
    edit(bar, "edSel2")->setText(text);
    child<QComboBox>(bar, "SelList2")->setCurrentIndex(0);
    bar->SearchImgClick();

    QCOMPARE(AppFixture::consoleMessages().last(), u"{SQL} SELECT * FROM book WHERE "_s + condition);
    FbQuery *list = MainF->IBQuery1();
    list->fetchAll();
    QStringList titles;
    for (int r = 0; r < list->fetchedCount(); ++r)
        titles << FbQuery::displayText(list->value(r, list->fieldIndex(u"TITLE"_s)));
    titles.sort();
    QCOMPARE(titles, found);
}

void TestBookWrites::searchPromptClearsInEveryLanguage_data()
{
    QTest::addColumn<QString>("written");
    QTest::addColumn<QString>("current");
    QTest::newRow("ru") << u"ru"_s << u"ru"_s;
    QTest::newRow("ua") << u"ua"_s << u"ua"_s;
    QTest::newRow("ua prompt, en interface") << u"ua"_s << u"en"_s;
}

void TestBookWrites::searchPromptClearsInEveryLanguage()
{
    QFETCH(QString, written);
    QFETCH(QString, current);
    AppFixture app;
    app.start();
    auto *bar = MainF->findChild<BookSearchBar *>();
    auto *field = edit(bar, "edSel2");
    settingsList().setValue(u"Language"_s, written);
    field->clear();
    bar->edSel2Exit(); // the prompt of that language is put back
    QCOMPARE(field->text(), LangStr(u"lsrchw"_s));
    settingsList().setValue(u"Language"_s, current);
    QTest::mouseClick(field, Qt::LeftButton);
    QVERIFY(field->text().isEmpty());
}

QTEST_MAIN(TestBookWrites)
#include "tst_bookwrites.moc"
