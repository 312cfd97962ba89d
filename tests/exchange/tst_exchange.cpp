#include "AppFixture.h"
#include "BookImportBatch.h"
#include "CsvExport.h"
#include "CsvFormat.h"
#include "DbWorker.h"
#include "EventConsole.h"
#include "ExchangeActions.h"
#include "FbDatabase.h"
#include "FbQuery.h"
#include "FbTransaction.h"
#include "ImportBooksWindow.h"
#include "Language.h"
#include "LibrarySchema.h"
#include "MainWindow.h"
#include "SettingsList.h"
#include "TestLibrary.h"
#include "TextCodec.h"
#include "UserPrompts.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QProcess>
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

void addBook(const QStringList &v) // title, author, year, publisher, genre, description
{
    execute(QStringLiteral("INSERT INTO book (title, author, iyear, publisher, genre, description) VALUES ('%1', "
                           "'%2', '%3', '%4', '%5', '%6')")
                .arg(QString(v[0]).replace("'", "''"), v[1], v[2], v[3], v[4], QString(v[5]).replace("'", "''")));
}

// Every book without its id, in title order: what a round trip must give back.
QStringList books(FbDatabase *db = nullptr)
{
    return TestLibrary::rows(
        *(db ? db : MainF->IBDatabase1()),
        QStringLiteral("SELECT title, author, iyear, seria, publisher, place, genre, description, clas FROM "
                       "book ORDER BY title, id"));
}

QAction *menuItem(const char *name)
{
    auto *action = MainF->findChild<QAction *>(QLatin1String(name));
    if (!action)
        qFatal("no menu item %s", name);
    return action;
}

const auto fileBytes = TestLibrary::fileBytes;
const auto writeFile = TestLibrary::writeFile;

QStringList csvRecords(const QString &path)
{
    const QByteArray bytes = fileBytes(path);
    QStringList out;
    for (const Csv::Record &r : Csv::parse(Csv::decode(bytes, Csv::detectEncoding(bytes)), QLatin1Char(',')).records)
        out << r.fields.join(QLatin1Char('|'));
    return out;
}

// The import window on a file, as the menu item opens it.
ImportBooksWindow *openImport(const QString &path)
{
    UserPrompts::setNextFileName(path);
    menuItem("ImportBooks1")->trigger();
    return ExchangeActions::importWindow(MainF);
}

// Import as a click on the window's button does it, until the worker has reported.
void clickImport(ImportBooksWindow *window)
{
    QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("ImportBtn")), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!window->worker()->running() && !window->reportLines().isEmpty(), 30000);
}

QString memo(ImportBooksWindow *window)
{
    return window->findChild<QPlainTextEdit *>(QStringLiteral("ReportMemo"))->toPlainText();
}

const QStringList kTricky[] = {
    {"Война и мир", "Толстой", "1869", "Русский вестник", "Роман", "Том 1, \"Часть\" 1\r\nвторая строка"},
    {"O'Brien, a life", "Smith", "2001", "P", "G", ""},
    {"Dune", "Herbert", "1965", "Chilton", "SF", "'; DROP TABLE book; --"},
};

// Cells a spreadsheet would run as formulas.
const QStringList kFormulas = {"=HYPERLINK(\"http://x\",\"y\")", "-Anon", "1999", "@P", "+G", "'=already quoted"};

} // namespace

class TestExchange : public QObject
{
    Q_OBJECT
private slots:
    void menuItemsAtTheEndInEveryLanguage();
    void exportThenImportGivesBackTheSameBooks();
    void exportFollowsTheListAsItStands();
    void cancelledExportWritesNothing();
    void importReportsRejectedRowsAndStoresTheRest();
    void importIsAllOrNothing();
    void importRejectsRowsOfAnotherEncodingOrWithNul();
    void binaryFileIsNotImported();
    void stoppedImportStoresNothing();
    void stopEndsTheImportWaitingInTheEngine();
    void backupAndRestoreFromTheMenus();
    void restoreNeverOverALibrary();
    void backupAndRestoreCanBeStopped_data();
    void backupAndRestoreCanBeStopped();
    void convertToUnicodeFromTheMenu();
    void unicodeLibraryRoundTrips();
    void exportToAFullDiskSaysSo();
};

void TestExchange::menuItemsAtTheEndInEveryLanguage()
{
    AppFixture app;
    app.start();
    const auto lastItems = [](const char *menu, int count) {
        QStringList names;
        const QList<QAction *> actions = MainF->findChild<QMenu *>(QLatin1String(menu))->actions();
        for (qsizetype i = actions.size() - count; i < actions.size(); ++i)
            names << actions.at(i)->objectName();
        return names;
    };
    // Export and import follow the Library menu's own items; later features add theirs after them.
    QStringList library;
    for (QAction *action : MainF->findChild<QMenu *>(QStringLiteral("Library1"))->actions())
        library << action->objectName();
    const QStringList exchange{"ExportBooks1", "ExportAllBooks1", "ExportGiven1", "ExportHistory1", "ImportBooks1"};
    const qsizetype first = library.indexOf(exchange.first());
    QVERIFY(first > 0);
    QCOMPARE(library.mid(first, exchange.size()), exchange);
    QCOMPARE(lastItems("Base1", 3), QStringList({"Backup1", "Restore1", "ConvertUnicode1"}));
    QCOMPARE(menuItem("Backup1")->text().remove(u'&'), QStringLiteral("Backup ..."));
    settingsList().setValue(QStringLiteral("Language"), QStringLiteral("ua"));
    ApplyLanguage();
    QCOMPARE(menuItem("ImportBooks1")->text().remove(u'&'), QStringLiteral("Імпорт книжок ..."));
    settingsList().setValue(QStringLiteral("Language"), QStringLiteral("ru"));
    ApplyLanguage();
    QCOMPARE(menuItem("Restore1")->text().remove(u'&'), QStringLiteral("Восстановить ..."));
    settingsList().setValue(QStringLiteral("Language"), QStringLiteral("en"));
}

void TestExchange::exportThenImportGivesBackTheSameBooks()
{
    AppFixture app;
    app.start();
    for (const QStringList &book : kTricky)
        addBook(book);
    addBook(kFormulas);
    const QStringList before = books();
    const QString file = app.path(QStringLiteral("all.csv"));
    UserPrompts::setNextFileName(file);
    menuItem("ExportAllBooks1")->trigger();

    const QByteArray bytes = fileBytes(file);
    QVERIFY(bytes.startsWith(Csv::byteOrderMark()));
    QVERIFY(bytes.contains("ID,TITLE,AUTHOR,IYEAR,SERIA,PUBLISHER,PLACE,GENRE,DESCRIPTION,CLAS\r\n"));
    QVERIFY(AppFixture::consoleMessages().contains(QStringLiteral("List exported to the file %1: 4").arg(file)));
    // A spreadsheet shows these cells as text instead of running them.
    QVERIFY(bytes.contains(",\"'=HYPERLINK(\"\"http://x\"\",\"\"y\"\")\",'-Anon,1999,,'@P,,'+G,''=already quoted,"));

    execute(QStringLiteral("DELETE FROM book"));
    QVERIFY(books().isEmpty());
    ImportBooksWindow *window = openImport(file);
    QVERIFY(window->isVisible());
    QCOMPARE(window->findChild<QLabel *>(QStringLiteral("EncodingNameLb"))->text(), QStringLiteral("UTF-8 (BOM)"));
    QCOMPARE(window->mapping(), QList<int>({1, 2, 3, 4, 5, 6, 7, 8, 9})); // every column but ID
    clickImport(window);
    QCOMPARE(books(), before);
    QVERIFY(memo(window).startsWith(QStringLiteral("Books imported: 4\n")));
    QVERIFY(!window->findChild<QPushButton *>(QStringLiteral("ImportBtn"))->isEnabled());
    QVERIFY(AppFixture::consoleMessages().contains(QStringLiteral("Books imported from the file %1: 4").arg(file)));
    QCOMPARE(MainF->IBQuery1()->fetchedCount(), 4); // the list was reloaded
}

void TestExchange::exportFollowsTheListAsItStands()
{
    AppFixture app;
    app.start();
    for (const QStringList &book : kTricky)
        addBook(book);
    execute(QStringLiteral("INSERT INTO given (given_id, given_to, given_date) SELECT id, 'Ann', '2026-12-01' FROM "
                           "book WHERE title = 'Dune'"));
    FbQuery *list = MainF->IBQuery1();
    list->setSqlText(QStringLiteral("SELECT * FROM book WHERE iyear > '1900' ORDER BY title DESC"));
    list->open();
    const QString file = app.path(QStringLiteral("list.csv"));
    UserPrompts::setNextFileName(file);
    menuItem("ExportBooks1")->trigger();
    QStringList titles;
    for (const QString &record : csvRecords(file).mid(1))
        titles << record.section(QLatin1Char('|'), 1, 1);
    QCOMPARE(titles, QStringList({"O'Brien, a life", "Dune"}));

    const QString loans = app.path(QStringLiteral("loans"));
    UserPrompts::setNextFileName(loans); // no suffix: the file gets ".csv"
    menuItem("ExportGiven1")->trigger();
    const QStringList records = csvRecords(loans + QStringLiteral(".csv"));
    QCOMPARE(records.size(), 2);
    QCOMPARE(records.at(1).section(QLatin1Char('|'), 1), QStringLiteral("Dune|Ann|2026-12-01"));
}

void TestExchange::cancelledExportWritesNothing()
{
    AppFixture app;
    app.start();
    addBook(kTricky[2]);
    const QString file = app.path(QStringLiteral("kept.csv"));
    writeFile(file, "old content");
    FbQuery query(MainF->IBDatabase1());
    query.setSqlText(QStringLiteral("SELECT * FROM book"));
    QCOMPARE(CsvExport::writeQuery(query, file, [](int) { return false; }), -1);
    QCOMPARE(fileBytes(file), QByteArray("old content"));
}

void TestExchange::importReportsRejectedRowsAndStoresTheRest()
{
    AppFixture app;
    app.start();
    // A spreadsheet saved in Windows-1251 with semicolons, as a Russian Excel writes it.
    const QString file = app.path(QStringLiteral("ru.csv"));
    writeFile(file, Win1251::encode(QStringLiteral("Название;Автор;Год издания;Издательство;Жанр;ISBN\r\n"
                                                   "Мастер и Маргарита;Булгаков;1967;Москва;Роман;1\r\n"
                                                   "Без автора;;1990;П;Ж;2\r\n"
                                                   "Плохой год;А;около 1900;П;Ж;3\r\n"
                                                   "\r\n"
                                                   "\"Длинное, очень длинное название книги, которое не помещается в "
                                                   "столбец\";Автор;2001;П;Ж;4\r\n")));
    ImportBooksWindow *window = openImport(file);
    QCOMPARE(window->findChild<QLabel *>(QStringLiteral("EncodingNameLb"))->text(), QStringLiteral("Windows-1251"));
    QCOMPARE(window->findChild<QComboBox *>(QStringLiteral("MapYear"))->currentText(),
             QStringLiteral("3: Год издания"));
    clickImport(window);
    QCOMPARE(books().size(), 2);
    QCOMPARE(window->reportLines(),
             QStringList({"Books imported: 2", "Values cut to the column width: 1", "Rows rejected: 2",
                          "Line 3: empty obligatory fields: Author", "Line 4: the year is not a number"}));

    const QString report = app.path(QStringLiteral("report.txt"));
    UserPrompts::setNextFileName(report);
    window->findChild<QPushButton *>(QStringLiteral("SaveReportBtn"))->click();
    QCOMPARE(fileBytes(report),
             Csv::byteOrderMark() + window->reportLines().join(QStringLiteral("\r\n")).toUtf8() + "\r\n");
}

void TestExchange::importIsAllOrNothing()
{
    AppFixture app;
    app.start();
    addBook(kTricky[2]);
    // The library refuses the third row, which every check of the file lets through.
    execute(QStringLiteral("CREATE UNIQUE INDEX book_title_once ON book (title)"));
    const QString file = app.path(QStringLiteral("dup.csv"));
    writeFile(file,
              "Title,Author,Year,Publisher,Genre\nOne,A,2001,P,G\nTwo,A,2001,P,G\nDune,A,2001,P,G\nFour,A,2001,P,G\n");
    ImportBooksWindow *window = openImport(file);
    clickImport(window);
    QCOMPARE(books().size(), 1);
    const QStringList report = window->reportLines();
    QCOMPARE(report.at(0), QStringLiteral("The library refused a row; nothing has been imported"));
    QVERIFY2(report.at(1).startsWith(QStringLiteral("Line 4: ")), qPrintable(report.at(1)));
    QVERIFY(report.contains(QStringLiteral("Books imported: 0")));
    QVERIFY(AppFixture::consoleMessages().contains(QStringLiteral("Books imported from the file %1: 0").arg(file)));
    // Nothing is left pending either: after a reconnection the library still holds one book.
    MainF->ConnectDatabase();
    QCOMPARE(books().size(), 1);
}

void TestExchange::importRejectsRowsOfAnotherEncodingOrWithNul()
{
    AppFixture app;
    app.start();
    const QString file = app.path(QStringLiteral("mixed.csv"));
    writeFile(file, QStringLiteral("Title,Author,Year,Publisher,Genre\r\n"
                                   "Кобзар,Шевченко,1840,Київ,Поезія\r\n")
                            .toUtf8() +
                        Win1251::encode(QStringLiteral("Енеида,Котляревский,1798,СПб,Поэма\r\n")) +
                        QByteArray("Bad\0row,A,2001,P,G\r\n", 20) +
                        QStringLiteral("\"Енеїда\",Котляревський,1798,Полтава,Поема\r\n").toUtf8());
    ImportBooksWindow *window = openImport(file);
    QCOMPARE(window->findChild<QLabel *>(QStringLiteral("EncodingNameLb"))->text(), QStringLiteral("UTF-8"));
    clickImport(window);
    QCOMPARE(books(), QStringList({"Енеїда|Котляревський|1798||Полтава||Поема||",
                                   "Кобзар|Шевченко|1840||Київ||Поезія||"}));
    QCOMPARE(window->reportLines(),
             QStringList({"Books imported: 2", "Values cut to the column width: 0", "Rows rejected: 2",
                          "Line 3: the text is not in the encoding of the rest of the file",
                          "Line 4: the row holds a NUL byte or another control character"}));
}

void TestExchange::binaryFileIsNotImported()
{
    AppFixture app;
    app.start();
    const QString file = app.path(QStringLiteral("picture.csv"));
    writeFile(file, QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\x01\0\n\x08\x06\0\0\0\x1f\xf3\xff" "a", 34));
    ImportBooksWindow *window = openImport(file);
    QCOMPARE(memo(window), QStringLiteral("The file is not a CSV file; nothing has been imported"));
    QVERIFY(!window->findChild<QPushButton *>(QStringLiteral("ImportBtn"))->isEnabled());
}

void TestExchange::stoppedImportStoresNothing()
{
    AppFixture app;
    app.start();
    const QString file = app.path(QStringLiteral("many.csv"));
    QByteArray bytes = "Title,Author,Year,Publisher,Genre\n";
    for (int i = 0; i < 2000; ++i)
        bytes += QByteArray::number(i) + ",A,2001,P,G\n";
    writeFile(file, bytes);
    BookImportBatch::Request request;
    request.path = file;
    request.mapping = {0, 1, 2, -1, 3, -1, 4, -1, -1};
    qint64 lastDone = 0, lastTotal = 0;
    int checks = 0;
    const BookImportBatch::Outcome outcome = BookImportBatch::run(
        MainF->IBDatabase1(), request,
        [&](qint64 done, qint64 total) {
            QVERIFY(done >= lastDone);
            lastDone = done;
            lastTotal = total;
        },
        [&checks] { return ++checks > 6; }); // a Stop while the rows are being stored
    QVERIFY(outcome.cancelled);
    QCOMPARE(outcome.stored, 0);
    QCOMPARE(lastTotal, 2 * bytes.size());
    QVERIFY(lastDone > bytes.size()); // the second reading had begun
    QVERIFY(books().isEmpty());
    MainF->ConnectDatabase();
    QVERIFY(books().isEmpty());
}

void TestExchange::stopEndsTheImportWaitingInTheEngine()
{
    AppFixture app;
    app.start();
    execute(QStringLiteral("CREATE UNIQUE INDEX book_title_once ON book (title)"));
    const QString file = app.path(QStringLiteral("waits.csv"));
    writeFile(file, "Title,Author,Year,Publisher,Genre\nOne,A,2001,P,G\nDune,A,2001,P,G\nThree,A,2001,P,G\n");
    ImportBooksWindow *window = openImport(file);
    {
        // The window's own connection holds an unstored "Dune": the import's "Dune" waits for it.
        FbBatch held(MainF->IBDatabase1()->defaultTransaction());
        execute(QStringLiteral("INSERT INTO book (title, author, iyear, publisher, genre) VALUES ('Dune', 'A', "
                               "'2001', 'P', 'G')"));
        QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("ImportBtn")), Qt::LeftButton);
        auto *progress = window->findChild<QProgressDialog *>(QStringLiteral("ImportProgress"));
        QTRY_VERIFY(progress->isVisible());
        QVERIFY(window->worker()->running());
        QTest::mouseClick(progress->findChild<QPushButton *>(), Qt::LeftButton);
        // Sooner than the engine's lock wait of 5 s would give up by itself.
        QTRY_VERIFY_WITH_TIMEOUT(!window->worker()->running(), 4000);
    }
    QCOMPARE(window->reportLines(), QStringList{QStringLiteral("Import cancelled; nothing has been imported")});
    QVERIFY(window->findChild<QPushButton *>(QStringLiteral("ImportBtn"))->isEnabled());
    MainF->ConnectDatabase();
    QVERIFY(books().isEmpty());
}

void TestExchange::backupAndRestoreFromTheMenus()
{
    AppFixture app;
    app.start();
    for (const QStringList &book : kTricky)
        addBook(book);
    const QStringList before = books();
    const QString backup = app.path(QStringLiteral("library.fbk"));
    writeFile(backup, "an older backup"); // replaced whole
    UserPrompts::setNextFileName(backup);
    menuItem("Backup1")->trigger();
    QVERIFY(MainF->IBDatabase1()->connected());
    QVERIFY(QFileInfo(backup).size() > 0);
    QVERIFY(!QFile::exists(backup + QStringLiteral(".part")));
    QCOMPARE(AppFixture::consoleMessages().last(),
             QStringLiteral("Library backed up to the file %1, books: 3").arg(backup));

    const QString restored = app.path(QStringLiteral("restored.gdb"));
    UserPrompts::setNextFileNames({backup, restored});
    UserPrompts::setNextAnswer(QMessageBox::Yes); // register it
    menuItem("Restore1")->trigger();
    QVERIFY(AppFixture::consoleMessages().contains(QStringLiteral("Library restored to the file %1").arg(restored)));
    QCOMPARE(UserPrompts::shownMessages().last(),
             QStringLiteral("The library has been restored.\rUse it as the library now?"));
    QCOMPARE(QFileInfo(MainF->IBDatabase1()->databaseName()).absoluteFilePath(), restored);
    QCOMPARE(books(), before);
    // Each file dialog says what it asks for and suggests a name.
    const QStringList dialogs = UserPrompts::askedFileDialogs();
    QCOMPARE(dialogs.mid(dialogs.size() - 3),
             QStringList({QStringLiteral("Backup ... | library.fbk"), QStringLiteral("Restore ... | "), QStringLiteral("Restore to a new library file | restored.gdb")}));
}

void TestExchange::restoreNeverOverALibrary()
{
    AppFixture app;
    app.start();
    addBook(kTricky[2]);
    const QString backup = app.path(QStringLiteral("library.fbk"));
    UserPrompts::setNextFileName(backup);
    menuItem("Backup1")->trigger();
    execute(QStringLiteral("DELETE FROM book"));

    const QString library = app.path(QStringLiteral("LIBRARY.GDB"));
    UserPrompts::clearShownMessages();
    UserPrompts::setNextFileNames({backup, library});
    menuItem("Restore1")->trigger();
    QCOMPARE(UserPrompts::shownMessages(),
             QStringList{"The file exists already.\rA library is restored only into a new file."});
    QVERIFY(books().isEmpty());

    // A file that is no backup: the error is shown and no half-made library is left behind.
    const QString notBackup = app.path(QStringLiteral("notes.fbk"));
    writeFile(notBackup, "not a backup");
    const QString target = app.path(QStringLiteral("new.gdb"));
    UserPrompts::setNextFileNames({notBackup, target});
    menuItem("Restore1")->trigger();
    QCOMPARE(AppFixture::consoleMessages().last(), QStringLiteral("Error! The library has not been restored"));
    QCOMPARE(UserPrompts::shownMessages().size(), 2);
    QVERIFY(!QFile::exists(target));
}

void TestExchange::backupAndRestoreCanBeStopped_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<bool>("bySignal"); // stopped as a termination signal stops every worker
    QTest::addColumn<QString>("said");
    QTest::newRow("backup, Cancel") << "Backup1" << false << "The backup was stopped; no backup file was written.";
    QTest::newRow("backup, signal") << "Backup1" << true << "The backup was stopped; no backup file was written.";
    QTest::newRow("restore, Cancel") << "Restore1" << false << "The restore was stopped; no library was made.";
    QTest::newRow("restore, signal") << "Restore1" << true << "The restore was stopped; no library was made.";
}

// The work runs off the window's thread: the window's own timer stops it midway, and whatever
// was under the name stays as it was.
void TestExchange::backupAndRestoreCanBeStopped()
{
    QFETCH(QString, item);
    QFETCH(bool, bySignal);
    QFETCH(QString, said);
    AppFixture app;
    app.start();
    // Enough books that the work lasts well beyond the first turn of the window's loop.
    execute(QStringLiteral("EXECUTE BLOCK AS DECLARE i INT = 0; BEGIN WHILE (i < 60000) DO BEGIN "
                           "INSERT INTO book (title, author, iyear, publisher, genre) VALUES "
                           "('Title ' || :i, 'Author', '2000', 'P', 'G'); i = i + 1; END END"));
    const QString backup = app.path(QStringLiteral("library.fbk"));
    const QString target = app.path(QStringLiteral("restored.gdb"));
    if (item == QLatin1String("Backup1")) {
        writeFile(backup, "an older backup");
        UserPrompts::setNextFileName(backup);
    } else {
        UserPrompts::setNextFileName(backup);
        menuItem("Backup1")->trigger();
        QVERIFY(QFileInfo(backup).size() > 1000000);
        UserPrompts::setNextFileNames({backup, target});
    }
    const QByteArray backupBefore = fileBytes(backup);
    const QStringList filesBefore = QDir(app.path(QString())).entryList(QDir::NoDotAndDotDot | QDir::AllEntries);

    UserPrompts::clearShownMessages();
    {
        const ProgressStopper stopper(bySignal, 1);
        menuItem(item.toLatin1().constData())->trigger();
        QVERIFY(stopper.ticks() > 0);
    }
    QCOMPARE(AppFixture::consoleMessages().last(), said);
    QVERIFY(UserPrompts::shownMessages().isEmpty()); // a stop is no error
    QCOMPARE(fileBytes(backup), backupBefore);
    QCOMPARE(QDir(app.path(QString())).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), filesBefore);
    QVERIFY(MainF->IBDatabase1()->connected());
}

// The open Windows-1251 library copied into a new Unicode one, which then takes any script.
void TestExchange::convertToUnicodeFromTheMenu()
{
    AppFixture app;
    app.start();
    for (const QStringList &book : kTricky)
        addBook(book);
    const QStringList before = books();
    const QString oldLibrary = MainF->IBDatabase1()->databaseName();

    // Never over a file.
    const QString taken = app.path(QStringLiteral("taken.gdb"));
    writeFile(taken, "somebody's file");
    UserPrompts::setNextFileName(taken);
    menuItem("ConvertUnicode1")->trigger();
    QCOMPARE(UserPrompts::shownMessages().last(),
             QStringLiteral("The file exists already.\rThe library is converted only into a new file."));
    QCOMPARE(TestLibrary::fileBytes(taken), QByteArray("somebody's file"));

    const QString converted = app.path(QStringLiteral("unicode.gdb"));
    UserPrompts::setNextFileName(converted);
    UserPrompts::setNextAnswer(QMessageBox::Yes); // use it
    menuItem("ConvertUnicode1")->trigger();
    QVERIFY(AppFixture::consoleMessages().contains(QStringLiteral("Library converted to Unicode: ") + converted));
    QVERIFY(AppFixture::consoleMessages().contains(QStringLiteral("BOOK: 3 rows copied")));
    QCOMPARE(QFileInfo(MainF->IBDatabase1()->databaseName()).absoluteFilePath(), converted);
    QCOMPARE(MainF->IBDatabase1()->charset().kind(), ConnectionCharset::Kind::Utf8);
    // The same books; the Unicode library orders Cyrillic titles before Latin ones.
    QStringList after = books();
    after.sort();
    QStringList expected = before;
    expected.sort();
    QCOMPARE(after, expected);
    addBook({QStringLiteral("Les Misérables"), QStringLiteral("Hugo"), QStringLiteral("1862"), QStringLiteral("P"),
             QStringLiteral("G"), QString()});
    QCOMPARE(books().size(), before.size() + 1);
    const QStringList dialogs = UserPrompts::askedFileDialogs();
    QVERIFY(dialogs.last().startsWith(QStringLiteral("The new Unicode library file | ")));
    QVERIFY(dialogs.last().endsWith(QStringLiteral("-unicode.gdb")));
    QVERIFY(QFile::exists(oldLibrary));

    // A Unicode library is not converted again.
    menuItem("ConvertUnicode1")->trigger();
    QCOMPARE(UserPrompts::shownMessages().last(), QStringLiteral("This library is in Unicode already."));
}

// Titles only Unicode holds survive export and import, and backup and restore.
void TestExchange::unicodeLibraryRoundTrips()
{
    AppFixture app(AppFixture::Files{true, false, false, false});
    LibrarySchema::create(app.path(QStringLiteral("LIBRARY.GDB")), true, true);
    app.start();
    for (const char *title : {"Les Misérables", "Gdańsk", "Straße", "Кобзар"})
        addBook({QString::fromUtf8(title), QStringLiteral("Автор"), QStringLiteral("2001"), QStringLiteral("P"),
                 QStringLiteral("G"), QStringLiteral("Łódź, ё")});
    const QStringList before = books();
    QCOMPARE(before.size(), 4);

    const QString file = app.path(QStringLiteral("all.csv"));
    UserPrompts::setNextFileName(file);
    menuItem("ExportAllBooks1")->trigger();
    execute(QStringLiteral("DELETE FROM book"));
    ImportBooksWindow *window = openImport(file);
    clickImport(window);
    QCOMPARE(books(), before);
    window->close();

    const QString backup = app.path(QStringLiteral("unicode.fbk"));
    UserPrompts::setNextFileName(backup);
    menuItem("Backup1")->trigger();
    const QString restored = app.path(QStringLiteral("restored.gdb"));
    UserPrompts::setNextFileNames({backup, restored});
    UserPrompts::setNextAnswer(QMessageBox::Yes);
    menuItem("Restore1")->trigger();
    QCOMPARE(QFileInfo(MainF->IBDatabase1()->databaseName()).absoluteFilePath(), restored);
    QCOMPARE(MainF->IBDatabase1()->charset().kind(), ConnectionCharset::Kind::Utf8);
    QCOMPARE(books(), before);
}

// A disk that fills up during the export: the message says so, the file that was there stays.
void TestExchange::exportToAFullDiskSaysSo()
{
    AppFixture app;
    const QString disk = app.path(QStringLiteral("small-disk"));
    QVERIFY(QDir().mkdir(disk));
    QProcess mount;
    mount.start(QStringLiteral("mount"), {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                                          QStringLiteral("size=16k"), QStringLiteral("tmpfs"), disk});
    if (!mount.waitForFinished(20000) || mount.exitCode() != 0)
        QSKIP("a small file system cannot be mounted here (needs root)");
    auto unmount = qScopeGuard([&disk] { QProcess::execute(QStringLiteral("umount"), {disk}); });
    app.start();
    for (int i = 0; i < 300; ++i)
        addBook({QStringLiteral("Book %1 with a long enough title to fill a small disk").arg(i), QStringLiteral("A"),
                 QStringLiteral("2001"), QStringLiteral("P"), QStringLiteral("G"), QString(200, u'x')});
    const QString file = disk + QStringLiteral("/all.csv");
    writeFile(file, "the older export");
    UserPrompts::clearShownMessages();
    UserPrompts::setNextFileName(file);
    menuItem("ExportAllBooks1")->trigger();
    QCOMPARE(UserPrompts::shownMessages().size(), 1);
    QVERIFY2(UserPrompts::shownMessages().first().startsWith(
                 QStringLiteral("The disk is full: %1 could not be written.").arg(file)),
             qPrintable(UserPrompts::shownMessages().first()));
    QCOMPARE(fileBytes(file), QByteArray("the older export"));
}

QTEST_MAIN(TestExchange)
#include "tst_exchange.moc"
