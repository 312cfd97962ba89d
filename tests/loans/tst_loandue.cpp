#include "AppFixture.h"
#include "AppState.h"
#include "Borrowers.h"
#include "ClickableLabel.h"
#include "DBGridEh.h"
#include "DbWorker.h"
#include "EventConsole.h"
#include "FbDatabase.h"
#include "FbQuery.h"
#include "FbTransaction.h"
#include "GivenSnapshot.h"
#include "LangStr.h"
#include "LendWindow.h"
#include "LoanActions.h"
#include "LoanChangeWindow.h"
#include "LoanDueDates.h"
#include "LoanRecords.h"
#include "LoanSchema.h"
#include "LoanStatements.h"
#include "MainWindow.h"
#include "Reminder.h"
#include "ReturnWindow.h"
#include "Settings.h"
#include "SettingsList.h"
#include "TestLibrary.h"
#include "UserPrompts.h"
#include "ViewBookWindow.h"

#include <QCheckBox>
#include <QClipboard>
#include <QCompleter>
#include <QDateEdit>
#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolButton>
#include <QUrlQuery>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

void execute(FbDatabase *db, const QString &sql)
{
    FbQuery q(db);
    q.setSqlText(sql);
    q.execSQL();
}

void execute(const QString &sql)
{
    execute(MainF->IBDatabase1(), sql);
}

QStringList rows(const QString &sql)
{
    return TestLibrary::rows(*MainF->IBDatabase1(), sql);
}

QString iso(const QDate &date)
{
    return date.toString(u"yyyy-MM-dd"_s);
}

// Dates as the rows show them.
QString shown(const QDate &date)
{
    return date.isValid() ? FbQuery::displayText(date) : QString();
}

template <typename T>
T *child(QWidget *parent, const char *name)
{
    T *w = parent->findChild<T *>(QString::fromLatin1(name));
    if (!w)
        qFatal("no control %s", name);
    return w;
}

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

void click(QWidget *parent, const char *name)
{
    QTest::mouseClick(child<QAbstractButton>(parent, name), Qt::LeftButton);
}

// The lend window filled in as a user would; due invalid: "No due date".
void lendWithDue(const QString &borrower, const QDate &given, const QDate &due)
{
    GivenF->show();
    auto *name = child<QLineEdit>(GivenF, "GivenToEd");
    name->clear();
    QTest::keyClicks(name, borrower);
    child<QDateEdit>(GivenF, "DateTimePicker1")->setDate(given);
    if (due.isValid())
        child<QDateEdit>(GivenF, "DueDatePicker")->setDate(due);
    else
        click(GivenF, "NoDueDate");
    click(GivenF, "Button1");
}

// A library on disk with loans made by another program, before the main one starts.
struct OtherProgram {
    FbDatabase db;
    FbTransaction tr{&db};
    explicit OtherProgram(const QString &path)
    {
        db.setDatabaseName(path);
        db.setParams(TestLibrary::defaultParams());
    }
};

} // namespace

class TestLoanDue : public QObject
{
    Q_OBJECT
public slots:
    void takeUrl(const QUrl &url) { m_urls << url; }

private slots:
    void dueStates_data();
    void dueStates();
    void emailForms_data();
    void emailForms();
    void upgradeOnceAndOlderStatementsStillWork();
    void lendAndReturn_data();
    void lendAndReturn();
    void historyKeptForEveryDeleteAndDeletedBook();
    void extendDueDate();
    void dueDatesReadAgainOnlyWhenChanged();
    void startNotice_data();
    void startNotice();
    void reminderInThreeLanguages_data();
    void reminderInThreeLanguages();
    void borrowersBook();
    void readOnlyLibraryWithoutNewTables();
    void loanPeriodFromSettings();

private:
    QList<QUrl> m_urls;
};

void TestLoanDue::dueStates_data()
{
    QTest::addColumn<int>("daysLeft");
    QTest::addColumn<int>("state");
    QTest::newRow("yesterday") << -1 << int(LoanRecords::DueState::Overdue);
    QTest::newRow("today") << 0 << int(LoanRecords::DueState::Soon);
    QTest::newRow("in 3 days") << 3 << int(LoanRecords::DueState::Soon);
    QTest::newRow("in 4 days") << 4 << int(LoanRecords::DueState::Later);
}

void TestLoanDue::dueStates()
{
    QFETCH(int, daysLeft);
    QFETCH(int, state);
    const QDate today(2026, 3, 1);
    QCOMPARE(int(LoanRecords::dueState(today.addDays(daysLeft), today)), state);
    QCOMPARE(LoanRecords::dueState(QDate(), today), LoanRecords::DueState::None);
}

void TestLoanDue::emailForms_data()
{
    QTest::addColumn<QString>("email");
    QTest::addColumn<bool>("ok");
    QTest::newRow("none") << QString() << true;
    QTest::newRow("plain") << u"ann@example.org"_s << true;
    QTest::newRow("no at") << u"ann.example.org"_s << false;
    QTest::newRow("no domain dot") << u"ann@example"_s << false;
    QTest::newRow("two ats") << u"a@b@example.org"_s << false;
    QTest::newRow("space") << u"ann smith@example.org"_s << false;
}

void TestLoanDue::emailForms()
{
    QFETCH(QString, email);
    QFETCH(bool, ok);
    QCOMPARE(LoanRecords::emailFormOk(email), ok);
    QCOMPARE(Borrowers::check({u"Ann"_s, {}, email, {}}).isEmpty(), ok);
}

void TestLoanDue::upgradeOnceAndOlderStatementsStillWork()
{
    TestLibrary lib;
    FbDatabase db;
    FbTransaction tr(&db);
    lib.configure(db);
    const QStringList missing = LoanSchema::missingStatements(db);
    QCOMPARE(missing.size(), 13);
    QVERIFY(missing.contains(u"GRANT INSERT ON LOAN_HISTORY TO TRIGGER GIVEN_HISTORY"_s));
    QCOMPARE(LoanSchema::addMissing(db), missing);
    db.close();
    // A second connect finds nothing to do.
    QVERIFY(LoanSchema::missingStatements(db).isEmpty());
    QVERIFY(LoanSchema::addMissing(db).isEmpty());
    QVERIFY(LoanSchema::present(db));

    // The statements the older windows send, unchanged, on the upgraded library.
    execute(&db, u"INSERT INTO book (title, author, iyear, publisher, genre) VALUES ('Old', 'A', '2001', 'P', 'G')"_s);
    const QString id = TestLibrary::rows(db, u"SELECT id FROM book"_s).first();
    execute(&db, LoanSql::lendStatement(id, u"Ann"_s, QDate(2026, 2, 26), QLocale(QLocale::Russian)));
    execute(&db, LoanSql::changeStatement(id, u"Bob"_s));
    {
        FbQuery probe(&db);
        probe.setSqlText(u"SELECT * FROM GIVEN;"_s);
        probe.open();
    }
    QCOMPARE(TestLibrary::rows(db, LoanSql::listStatement()), QStringList{id + u"|Old|Bob|"_s + shown(QDate(2026, 2, 26))});
    execute(&db, LoanSql::returnStatement(id));
    QCOMPARE(TestLibrary::rows(db, u"SELECT book_id, title, given_to, due_date FROM loan_history"_s),
             QStringList{id + u"|Old|Bob|"_s});
    db.close();

    // A library of the older kind without GIVEN gets only what does not need it.
    TestLibrary older(false);
    FbDatabase odb;
    FbTransaction otr(&odb);
    older.configure(odb);
    const QStringList first = LoanSchema::addMissing(odb);
    QCOMPARE(first.size(), 6);
    for (const QString &statement : first)
        QVERIFY2(!statement.contains(u" ON GIVEN"_s) && !statement.contains(u"FOR GIVEN"_s) &&
                     !statement.contains(u"ALTER TABLE GIVEN"_s),
                 qPrintable(statement));
    odb.close();
}

void TestLoanDue::lendAndReturn_data()
{
    QTest::addColumn<int>("givenDaysAgo");
    QTest::addColumn<int>("dueInDays"); // -1000: no due date
    QTest::addColumn<QString>("colour"); // the row's background in the loan list
    const QString none;
    QTest::newRow("no due date") << 0 << -1000 << none;
    QTest::newRow("due later") << 0 << 30 << none;
    QTest::newRow("due soon") << 5 << 2 << LoanDueDates::kDueSoonColor.name();
    QTest::newRow("due today") << 5 << 0 << LoanDueDates::kDueSoonColor.name();
    QTest::newRow("overdue, returned late") << 20 << -6 << LoanDueDates::kOverdueColor.name();
}

void TestLoanDue::lendAndReturn()
{
    QFETCH(int, givenDaysAgo);
    QFETCH(int, dueInDays);
    QFETCH(QString, colour);
    AppFixture app;
    app.start();
    addBooks();
    const QString id = currentBookId();
    const QDate today = QDate::currentDate();
    const QDate given = today.addDays(-givenDaysAgo);
    const QDate due = dueInDays == -1000 ? QDate() : today.addDays(dueInDays);

    lendWithDue(u"Ann O'Neil"_s, given, due);
    QVERIFY(!GivenF->isVisible());
    QCOMPARE(rows(u"SELECT given_id, given_to, given_date, due_date FROM given"_s),
             QStringList{u"%1|Ann O'Neil|%2|%3"_s.arg(id, shown(given), shown(due))});

    // The loan list: the due date beside the list's own columns, and the row's colour.
    MainF->LeftGivenBooksLnkClick();
    mainApi()->RefreshGiven();
    auto *grid = MainF->findChild<DBGridEh *>(u"DBGridEh2"_s);
    QueryModel *model = grid->queryModel();
    QCOMPARE(model->columnCount(), 5);
    // The due dates are read beside the window.
    QTRY_COMPARE(model->data(model->index(0, 4)).toString(), shown(due));
    const QVariant background = model->data(model->index(0, 1), Qt::BackgroundRole);
    QCOMPARE(background.isValid() ? background.value<QBrush>().color().name() : QString(), colour);
    auto *legend = child<QLabel>(MainF, "LoanLegend");
    QVERIFY(legend->text().contains(LangStr(u"lduelegover"_s).arg(dueInDays < 0 && dueInDays != -1000 ? 1 : 0)));

    // Taken back: the loan goes to the history with the day it came back.
    BackF->show();
    click(BackF, "Button1");
    QCOMPARE(rows(u"SELECT count(*) FROM given"_s), QStringList{u"0"_s});
    QCOMPARE(rows(u"SELECT book_id, title, given_to, given_date, due_date, returned_date FROM loan_history"_s),
             QStringList{u"%1|First|Ann O'Neil|%2|%3|%4"_s.arg(id, shown(given), shown(due), shown(today))});
}

void TestLoanDue::historyKeptForEveryDeleteAndDeletedBook()
{
    AppFixture app;
    app.start();
    addBooks();
    const QString id = currentBookId();
    lendWithDue(u"Ann"_s, QDate::currentDate(), QDate());
    // Due before the loan: refused, nothing stored, the window stays.
    UserPrompts::clearShownMessages();
    lendWithDue(u"Bob"_s, QDate::currentDate(), QDate::currentDate().addDays(-1));
    QCOMPARE(UserPrompts::shownMessages(), QStringList{LangStr(u"lduebefore"_s)});
    QVERIFY(GivenF->isVisible());
    QCOMPARE(rows(u"SELECT given_to FROM given"_s), QStringList{u"Ann"_s});
    GivenF->hide();

    // A return typed on the SQL page by hand, then the book deleted: the history keeps both.
    execute(mainApi()->IBQuery2()->database(), u"DELETE FROM given WHERE given_id = "_s + id);
    execute(u"DELETE FROM book WHERE id = "_s + id);
    QCOMPARE(rows(u"SELECT book_id, title, given_to FROM loan_history"_s), QStringList{id + u"|First|Ann"_s});

    // The view window of a book shows its past loans; of a book never lent, none.
    mainApi()->RefreshBooks();
    const QString second = currentBookId();
    lendWithDue(u"Cy"_s, QDate::currentDate(), QDate());
    BackF->show();
    click(BackF, "Button1");
    ViewF->show();
    auto *label = child<QLabel>(ViewF, "LoanHistoryLabel");
    QCOMPARE(label->text(), LangStr(u"lpastloans"_s).arg(1));
    QCOMPARE(child<DBGridEh>(ViewF, "LoanHistoryGrid")->queryModel()->data(
                 child<DBGridEh>(ViewF, "LoanHistoryGrid")->queryModel()->index(0, 0)).toString(),
             u"Cy"_s);
    mainApi()->IBQuery1()->next();
    QVERIFY(currentBookId() != second);
    QTRY_COMPARE(label->text(), LangStr(u"lpastloans"_s).arg(0));
    ViewF->hide();
}

void TestLoanDue::extendDueDate()
{
    AppFixture app;
    app.start();
    addBooks();
    const QDate today = QDate::currentDate();
    lendWithDue(u"Ann"_s, today.addDays(-10), today.addDays(-1));
    lendWithDue(u"Bob"_s, today, QDate());
    mainApi()->RefreshGiven();
    mainApi()->IBQuery5()->first();
    GivenCngF->show();
    QCOMPARE(child<QLabel>(GivenCngF, "DueShown")->text(), LangStr(u"lduenow"_s).arg(shown(today.addDays(-1))));
    auto *days = child<QSpinBox>(GivenCngF, "ExtendDays");
    days->setValue(5);
    click(GivenCngF, "ExtendBtn");
    // Every loan of the book: one from its due date, the one without from today.
    QCOMPARE(rows(u"SELECT given_to, due_date FROM given ORDER BY given_to"_s),
             (QStringList{u"Ann|"_s + shown(today.addDays(4)), u"Bob|"_s + shown(today.addDays(5))}));
    QVERIFY(GivenCngF->isVisible());
    GivenCngF->hide();
}

// The loan list re-runs with every move in the book list; the due dates beside it are read again
// only when GIVEN changed, here by another program.
void TestLoanDue::dueDatesReadAgainOnlyWhenChanged()
{
    AppFixture app;
    app.start();
    addBooks();
    const QDate today = QDate::currentDate();
    lendWithDue(u"Ann"_s, today, today.addDays(3));
    MainF->LeftGivenBooksLnkClick();
    mainApi()->RefreshGiven();
    QueryModel *model = MainF->findChild<DBGridEh *>(u"DBGridEh2"_s)->queryModel();
    QTRY_COMPARE(model->data(model->index(0, 4)).toString(), shown(today.addDays(3)));

    // Read beside the window, with GIVEN's change counter, by a worker of their own.
    auto *reader = MainF->findChild<DbWorker *>(u"DueDatesWorker"_s);
    auto *dueDates = MainF->findChild<GivenSnapshot *>(u"DueDates"_s);
    QTRY_VERIFY(!reader->running());
    QSignalSpy checks(dueDates, &GivenSnapshot::checked);
    const auto reads = [&checks] {
        return std::count_if(checks.begin(), checks.end(), [](const QList<QVariant> &c) { return c.first().toBool(); });
    };
    FbQuery *books = mainApi()->IBQuery1();
    books->next();
    books->first();
    QTRY_VERIFY(checks.count() >= 1 && !reader->running());
    QCOMPARE(reads(), 0);
    QCOMPARE(model->data(model->index(0, 4)).toString(), shown(today.addDays(3)));

    OtherProgram other(MainF->IBDatabase1()->databaseName());
    FbQuery change(&other.db);
    change.setSqlText(u"UPDATE given SET due_date = '%1'"_s.arg(today.addDays(9).toString(Qt::ISODate)));
    change.execSQL();
    books->next();
    QTRY_COMPARE(model->data(model->index(0, 4)).toString(), shown(today.addDays(9)));
    QTRY_VERIFY(!reader->running());
    QCOMPARE(reads(), 1);
}

void TestLoanDue::startNotice_data()
{
    QTest::addColumn<int>("overdue");
    QTest::newRow("none") << 0;
    QTest::newRow("three") << 3;
}

void TestLoanDue::startNotice()
{
    QFETCH(int, overdue);
    AppFixture app;
    {
        OtherProgram other(app.path(u"LIBRARY.GDB"_s));
        LoanSchema::addMissing(other.db);
        // The fifth loan has no due date: it must not come first in the list ordered by due date.
        for (int book = 0; book < 5; ++book) {
            execute(&other.db, u"INSERT INTO book (title, author, iyear, publisher, genre) VALUES ('B%1', 'A', '2001', "
                               "'P', 'G')"_s.arg(book));
            const QString id = TestLibrary::rows(other.db, u"SELECT max(id) FROM book"_s).first();
            const QDate due = QDate::currentDate().addDays(book < overdue ? -1 - book : 10);
            execute(&other.db, u"INSERT INTO GIVEN (given_id, given_to, given_date) VALUES (%1, 'Ann', '%2')"_s.arg(
                                   id, iso(QDate::currentDate().addDays(-20))));
            if (book < 4)
                execute(&other.db,
                        LoanRecords::setDueStatement(id, u"Ann"_s, QDate::currentDate().addDays(-20), due));
        }
        other.db.close();
    }
    UserPrompts::clearShownMessages();
    app.start();
    QVERIFY(UserPrompts::shownMessages().isEmpty());
    // Counted beside the window once it shows.
    QTRY_VERIFY(!LoanActions::overdueNotice()->findChild<DbWorker *>(u"OverdueWorker"_s));
    const QString text = LoanDueDates::overdueText(overdue);
    QCOMPARE(AppFixture::consoleMessages().count(text), overdue ? 1 : 0);
    ClickableLabel *notice = LoanActions::overdueNotice();
    QVERIFY(notice);
    QCOMPARE(notice->isVisible(), overdue > 0);
    if (!overdue)
        return;
    QCOMPARE(notice->text(), u"3 books are overdue"_s);
    QTest::mouseClick(notice, Qt::LeftButton);
    QCOMPARE(MainF->findChild<QTabWidget *>()->currentIndex(), 1);
    QVERIFY(mainApi()->IBQuery5()->text().contains(u"ORDER BY due_date ASC"_s));
    // Soonest first: the one most overdue on top, drawn red.
    QCOMPARE(mainApi()->IBQuery5()->fieldText(u"TITLE"_s), u"B2"_s);
    QueryModel *model = MainF->findChild<DBGridEh *>(u"DBGridEh2"_s)->queryModel();
    QTRY_COMPARE(model->data(model->index(0, 0), Qt::BackgroundRole).value<QBrush>().color(),
                 LoanDueDates::kOverdueColor);
    QVERIFY(!model->data(model->index(3, 0), Qt::BackgroundRole).isValid());
    QCOMPARE(model->data(model->index(4, 1)).toString(), u"B4"_s);

    // Taking the most overdue book back lowers the notice's count.
    BackF->show();
    click(BackF, "Button1");
    QTRY_COMPARE(notice->text(), LoanDueDates::overdueText(2));
    QVERIFY(!notice->isHidden());
}

void TestLoanDue::reminderInThreeLanguages_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("expected");
    QTest::newRow("en") << u"en"_s << u"a friendly reminder about the book \"First\""_s;
    QTest::newRow("ru") << u"ru"_s << u"Напоминаю о книге \"First\""_s;
    QTest::newRow("ua") << u"ua"_s << u"Нагадую про книжку \"First\""_s;
}

void TestLoanDue::reminderInThreeLanguages()
{
    QFETCH(QString, language);
    QFETCH(QString, expected);
    AppFixture app;
    app.start();
    addBooks();
    QVERIFY(Borrowers::add(*MainF->IBDatabase1(), {u"Ann Lee"_s, {}, u"ann@example.org"_s, {}}).isEmpty());
    const QDate given(2026, 1, 5);
    lendWithDue(u"Ann Lee"_s, given, QDate(2026, 2, 4));
    mainApi()->RefreshGiven();
    settingsList().setValue(u"Language"_s, language);

    m_urls.clear();
    QDesktopServices::setUrlHandler(u"mailto"_s, this, "takeUrl");
    GivenCngF->show();
    click(GivenCngF, "RemindBtn");
    QDesktopServices::unsetUrlHandler(u"mailto"_s);
    QCOMPARE(m_urls.size(), 1);
    const QUrl url = m_urls.first();
    QCOMPARE(url.scheme(), u"mailto"_s);
    QCOMPARE(url.path(), u"ann@example.org"_s);
    const QUrlQuery query(url);
    const QString body = query.queryItemValue(u"body"_s, QUrl::FullyDecoded);
    QVERIFY2(body.contains(expected), qPrintable(body));
    QVERIFY(body.contains(u"Ann Lee"_s));
    QVERIFY(body.contains(shown(given)));
    QVERIFY(body.contains(shown(QDate(2026, 2, 4))));
    QVERIFY(query.queryItemValue(u"subject"_s, QUrl::FullyDecoded).contains(u"First"_s));

    click(GivenCngF, "CopyReminderBtn");
    QCOMPARE(QGuiApplication::clipboard()->text(), body);
    GivenCngF->hide();
    settingsList().setValue(u"Language"_s, u"en"_s);
}

void TestLoanDue::borrowersBook()
{
    AppFixture app;
    app.start();
    addBooks();
    QAction *item = MainF->findChild<QAction *>(u"Borrowers1"_s);
    QVERIFY(item);
    QVERIFY(item->text().contains(u'&'));
    item->trigger();
    auto *window = MainF->findChild<QDialog *>(u"BorrowersF"_s);
    QVERIFY(window && window->isVisible());

    const auto type = [window](const char *name, const QString &text) {
        auto *edit = child<QLineEdit>(window, name);
        edit->clear();
        QTest::keyClicks(edit, text);
    };
    // A bad address and a name the library cannot hold are refused; the typed text stays.
    click(window, "NewBtn");
    type("NameEd", u"Ann"_s);
    type("EmailEd", u"ann-at-example.org"_s);
    UserPrompts::clearShownMessages();
    click(window, "SaveBtn");
    QCOMPARE(UserPrompts::shownMessages().size(), 1);
    QVERIFY(UserPrompts::shownMessages().first().contains(LangStr(u"lborrbademail"_s)));
    QCOMPARE(child<QLineEdit>(window, "EmailEd")->text(), u"ann-at-example.org"_s);
    child<QLineEdit>(window, "NameEd")->setText(u"Ann 李"_s);
    type("EmailEd", u"ann@example.org"_s);
    click(window, "SaveBtn");
    QCOMPARE(UserPrompts::shownMessages().size(), 2);
    QCOMPARE(rows(u"SELECT count(*) FROM borrower"_s), QStringList{u"0"_s});
    type("NameEd", u"Ann"_s);
    type("PhoneEd", u"555-01"_s);
    click(window, "SaveBtn");
    QCOMPARE(rows(u"SELECT name, phone, email FROM borrower"_s), QStringList{u"Ann|555-01|ann@example.org"_s});

    // The lend window offers the name; a new one is added with one click.
    GivenF->show();
    auto *given = child<QLineEdit>(GivenF, "GivenToEd");
    QVERIFY(given->completer());
    given->completer()->setCompletionPrefix(u"an"_s);
    QCOMPARE(given->completer()->currentCompletion(), u"Ann"_s);
    given->clear();
    QTest::keyClicks(given, u"Dan"_s);
    click(GivenF, "AddBorrowerBtn");
    QCOMPARE(rows(u"SELECT name FROM borrower ORDER BY name"_s), (QStringList{u"Ann"_s, u"Dan"_s}));
    GivenF->hide();

    // A borrower's loans, current and past.
    lendWithDue(u"Ann"_s, QDate::currentDate(), QDate());
    BackF->show();
    click(BackF, "Button1");
    mainApi()->IBQuery1()->next();
    lendWithDue(u"Ann"_s, QDate::currentDate(), QDate());
    window->hide();
    item->trigger();
    auto *list = child<QListWidget>(window, "BorrowerList");
    QCOMPARE(list->currentItem()->text(), u"Ann"_s);
    QueryModel *loans = child<DBGridEh>(window, "BorrowerLoans")->queryModel();
    QTRY_COMPARE(loans->rowCount(), 2);
    QCOMPARE(loans->data(loans->index(0, 0)).toString(), u"Second"_s);
    QCOMPARE(loans->data(loans->index(0, 3)).toString(), QString());
    QCOMPARE(loans->data(loans->index(1, 0)).toString(), u"First"_s);
    QCOMPARE(loans->data(loans->index(1, 3)).toString(), shown(QDate::currentDate()));
    window->hide();

    // Lent to a typed name never added to the book: listed after the book's names, its loan shown,
    // and Save adds it to the book.
    mainApi()->IBQuery1()->next();
    lendWithDue(u"Zoe O'Hara"_s, QDate::currentDate(), QDate());
    item->trigger();
    QCOMPARE(list->count(), 3);
    QListWidgetItem *zoe = list->item(2);
    QCOMPARE(zoe->text(), u"Zoe O'Hara"_s);
    QVERIFY(zoe->font().italic());
    list->setCurrentItem(zoe);
    QCOMPARE(child<QLineEdit>(window, "NameEd")->text(), u"Zoe O'Hara"_s);
    QTRY_COMPARE(loans->rowCount(), 1);
    QCOMPARE(loans->data(loans->index(0, 0)).toString(), u"Third"_s);
    click(window, "SaveBtn");
    QCOMPARE(rows(u"SELECT name FROM borrower ORDER BY name"_s), (QStringList{u"Ann"_s, u"Dan"_s, u"Zoe O'Hara"_s}));
    QCOMPARE(list->count(), 3);
    QVERIFY(!list->currentItem()->font().italic());
    window->hide();
}

void TestLoanDue::readOnlyLibraryWithoutNewTables()
{
    AppFixture app;
    {
        OtherProgram other(app.path(u"LIBRARY.GDB"_s));
        execute(&other.db, u"INSERT INTO book (title, author, iyear, publisher, genre) VALUES ('X', 'A', '2001', 'P', 'G')"_s);
        const QString id = TestLibrary::rows(other.db, u"SELECT id FROM book"_s).first();
        execute(&other.db, LoanSql::lendStatement(id, u"Ann"_s, QDate(2026, 2, 26), QLocale(QLocale::Russian)));
        other.db.close();
    }
    QProcess gfix;
    gfix.start(u"gfix"_s, {u"-mode"_s, u"read_only"_s, u"-user"_s, u"SYSDBA"_s, app.path(u"LIBRARY.GDB"_s)});
    QVERIFY(gfix.waitForFinished(60000));
    QCOMPARE(gfix.exitCode(), 0);

    app.start();
    const QStringList console = AppFixture::consoleMessages();
    QVERIFY(std::any_of(console.begin(), console.end(),
                        [](const QString &l) { return l.startsWith(LangStr(u"cloanupgerr"_s)); }));
    QVERIFY(!LoanActions::overdueNotice()->isVisible());
    // The loan list, the book's view and the borrowers' book work without what is missing.
    mainApi()->RefreshBooks();
    mainApi()->RefreshGiven();
    QCOMPARE(mainApi()->IBQuery5()->fieldText(u"GIVEN_TO"_s), u"Ann"_s);
    QueryModel *model = MainF->findChild<DBGridEh *>(u"DBGridEh2"_s)->queryModel();
    QCOMPARE(model->data(model->index(0, 4)).toString(), QString());
    ViewF->show();
    QCOMPARE(child<QLabel>(ViewF, "LoanHistoryLabel")->text(), LangStr(u"lnohistory"_s));
    ViewF->hide();
    QVERIFY(Borrowers::names(*MainF->IBDatabase1()).isEmpty());
    GivenF->show();
    QVERIFY(GivenF->isVisible());
    GivenF->hide();
}

void TestLoanDue::loanPeriodFromSettings()
{
    AppFixture app;
    app.start();
    addBooks();
    Settings->show();
    auto *period = child<QSpinBox>(Settings, "LoanPeriodSpin");
    QCOMPARE(period->value(), 30);
    period->setValue(14);
    click(Settings, "Button1");
    QFile file(app.path(u".settings"_s));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().contains("\r\nloan_period=14\r\n"));
    GivenF->show();
    QCOMPARE(child<QDateEdit>(GivenF, "DueDatePicker")->date(), QDate::currentDate().addDays(14));
    // The due date follows a changed loan date.
    child<QDateEdit>(GivenF, "DateTimePicker1")->setDate(QDate(2026, 1, 1));
    QCOMPARE(child<QDateEdit>(GivenF, "DueDatePicker")->date(), QDate(2026, 1, 15));
    GivenF->hide();
}

QTEST_MAIN(TestLoanDue)
#include "tst_loandue.moc"
