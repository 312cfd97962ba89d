#include "AddBookWindow.h"
#include "AddConstantWindow.h"
#include "AppFixture.h"
#include "ConstantsWindow.h"
#include "DBGridEh.h"
#include "DBNavigator.h"
#include "EventConsole.h"
#include "FbDatabase.h"
#include "FbQuery.h"
#include "FieldsWindow.h"
#include "Language.h"
#include "LookupWindow.h"
#include "MainWindow.h"
#include "SettingsList.h"
#include "UserPrompts.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace
{

const char *const kFiles[] = {".authorconst", ".yearconst",  ".seriaconst", ".publisherconst",
                              ".placeconst",  ".genreconst", ".classconst"};
const char *const kLists[] = {"ConstLst_Author", "ConstLst_Year",  "ConstLst_Seria", "ConstLst_Publisher",
                              "ConstLst_Place",  "ConstLst_Genre", "ConstLst_Class"};
const QString kLoaded = u"[Const] module: constants loaded"_s;
const QString kLoadError = u"[Const] module: error on constants loading!"_s;
const QString kSaved = u"[Const] module: constants saved"_s;
const QString kSaveError = u"[Const] module: error on constants saving!"_s;

template <typename T> T *child(QWidget *window, const char *name)
{
    T *found = window->findChild<T *>(QLatin1String(name));
    if (!found)
        qFatal("no control %s", name);
    return found;
}

QByteArray fileBytes(const QString &name)
{
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeFile(const QString &name, const QByteArray &bytes)
{
    QFile file(name);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(name));
}

// All seven files, each holding the given bytes.
void writeAllFiles(const QByteArray &bytes)
{
    for (const char *name : kFiles)
        writeFile(QString::fromLatin1(name), bytes);
}

QStringList items(const QListWidget *list)
{
    QStringList texts;
    for (int row = 0; row < list->count(); ++row)
        texts << list->item(row)->text();
    return texts;
}

QStringList constList(int field)
{
    return items(child<QListWidget>(ConstantsF, kLists[field]));
}

QStringList comboItems(const char *name)
{
    auto *box = child<QComboBox>(add, name);
    QStringList texts;
    for (int i = 0; i < box->count(); ++i)
        texts << box->itemText(i);
    return texts;
}

// The console messages logged since the given count of lines.
QStringList messagesSince(qsizetype lines)
{
    return AppFixture::consoleMessages().mid(lines);
}

void addConstant(int field, const QString &value)
{
    child<QListWidget>(ConstantsF, "FieldsList")->setCurrentRow(field);
    ConstantsF->NewConstEd()->setText(value);
    ConstantsF->Button1Click();
}

void execute(const QString &sql)
{
    FbQuery q(MainF->IBDatabase1());
    q.setSqlText(sql);
    q.execSQL();
}

void insertBook(const QString &author, const QString &genre, const QString &seria = QString())
{
    execute(
        u"INSERT INTO book (title, author, iyear, publisher, genre, seria) VALUES ('T', '%1', '2001', 'P', '%2', %3)"_s
            .arg(author, genre, seria.isEmpty() ? u"NULL"_s : u"'%1'"_s.arg(seria)));
}

// Answers the add-constant prompt once it is shown, noting the value it offered.
void answerPrompt(const char *button, QString *offered)
{
    QTimer::singleShot(0, AddConstF, [button, offered] {
        *offered = child<QLabel>(AddConstF, "ConstValue")->text();
        child<QPushButton>(AddConstF, button)->click();
    });
}

} // namespace

class TestConstantWindows : public QObject
{
    Q_OBJECT
private slots:
    void init();

    void startWithoutFilesLogsLoadingError();
    void addingKeepsDuplicatesAndWritesEveryFile();
    void addCutsToFieldWidth_data();
    void addCutsToFieldWidth();
    void addRefusesCharacterOutsideCodePage();
    void deleteWithoutSelectionSavesUnchanged();
    void deleteRemovesSelectedValue();
    void keyboardAddsAndDeletes();
    void loadingStopsAtFirstUnreadableFile();
    void savingStopsAtFirstUnwritableFile();
    void savingKeepsFilesTheListsNeverHeld();
    void fieldListsStayInStepAndFieldIsRemembered();
    void fieldListsFollowClicksAndThePrompt();
    void hidingCopiesListsIntoAddWindow();
    void languageReachesEveryControl();

    void lookupListsEveryBooksValue();
    void lookupOnUnreachableLibraryShowsEngineError();

    void promptOffersYearAsNumber_data();
    void promptOffersYearAsNumber();
    void promptRefusesYearThatIsNoNumber();
    void promptNoTouchesNoFile();
    void promptAnswersByKey_data();
    void promptAnswersByKey();

    void menuAndLinksShowWindows();
};

void TestConstantWindows::init()
{
    UserPrompts::clearShownMessages();
}

void TestConstantWindows::startWithoutFilesLogsLoadingError()
{
    AppFixture app;
    app.start();
    const QStringList console = AppFixture::consoleMessages();
    const qsizetype error = console.indexOf(kLoadError);
    QVERIFY(error > console.indexOf(u"[Main] module: loaded"_s));
    QCOMPARE(console.value(error + 1), u"[Constants] module: loaded"_s);
    for (int field = 0; field < 7; ++field)
        QVERIFY(constList(field).isEmpty());
}

void TestConstantWindows::addingKeepsDuplicatesAndWritesEveryFile()
{
    AppFixture app;
    app.start();
    const qsizetype before = EventConsole::lines().size();
    addConstant(0, u"Шевченко"_s);
    addConstant(0, u"Шевченко"_s);
    addConstant(0, u"austen"_s);
    QCOMPARE(constList(0), (QStringList{u"austen"_s, u"Шевченко"_s, u"Шевченко"_s}));
    QCOMPARE(fileBytes(u".authorconst"_s), QByteArray("austen\r\n\xD8\xE5\xE2\xF7\xE5\xED\xEA\xEE\r\n"
                                                      "\xD8\xE5\xE2\xF7\xE5\xED\xEA\xEE\r\n"));
    // The first save creates all seven files.
    for (int field = 1; field < 7; ++field)
        QCOMPARE(fileBytes(QString::fromLatin1(kFiles[field])), QByteArray());
    QCOMPARE(messagesSince(before), (QStringList{kSaved, kLoaded, kSaved, kLoaded, kSaved, kLoaded}));
    QVERIFY(ConstantsF->NewConstEd()->text().isEmpty());
    QVERIFY(!child<QListWidget>(ConstantsF, "ConstLst_Author")->isHidden());
}

void TestConstantWindows::addCutsToFieldWidth_data()
{
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");
    QTest::newRow("five-digit year") << 1 << u"12345"_s << u"1234"_s;
    QTest::newRow("genre") << 5 << QString(30, u'g') << QString(25, u'g');
    QTest::newRow("place") << 4 << QString(51, u'p') << QString(50, u'p');
    // The code-page check sees only what is kept.
    QTest::newRow("emoji past the width") << 1 << u"1999😀"_s << u"1999"_s;
}

void TestConstantWindows::addCutsToFieldWidth()
{
    QFETCH(int, field);
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    AppFixture app;
    app.start();
    addConstant(field, typed);
    QCOMPARE(constList(field), QStringList{stored});
    QCOMPARE(fileBytes(QString::fromLatin1(kFiles[field])), stored.toLatin1() + "\r\n");
    QVERIFY(UserPrompts::shownMessages().isEmpty());
}

void TestConstantWindows::addRefusesCharacterOutsideCodePage()
{
    AppFixture app;
    writeAllFiles("Old\r\n");
    app.start();
    const qsizetype before = EventConsole::lines().size();
    addConstant(0, u"Lu 迅"_s);
    QCOMPARE(UserPrompts::shownMessages(),
             QStringList{
                 u"The character \"迅\" (U+8FC5) cannot be kept in a constant list.\rThe constant was not added."_s});
    QCOMPARE(constList(0), QStringList{u"Old"_s});
    QCOMPARE(fileBytes(u".authorconst"_s), QByteArray("Old\r\n"));
    QCOMPARE(messagesSince(before), QStringList());
    // The value stays where the user typed it, to be corrected.
    QCOMPARE(ConstantsF->NewConstEd()->text(), u"Lu 迅"_s);
}

void TestConstantWindows::deleteWithoutSelectionSavesUnchanged()
{
    AppFixture app;
    writeAllFiles("b\r\nA\r\n\r\nc");
    app.start();
    QCOMPARE(constList(0), (QStringList{u""_s, u"A"_s, u"b"_s, u"c"_s}));
    const qsizetype before = EventConsole::lines().size();
    ConstantsF->DelConstLbClick();
    QCOMPARE(messagesSince(before), (QStringList{kSaved, kLoaded}));
    // Rewritten in sorted order, every line ended.
    for (const char *name : kFiles)
        QCOMPARE(fileBytes(QString::fromLatin1(name)), QByteArray("\r\nA\r\nb\r\nc\r\n"));
}

void TestConstantWindows::deleteRemovesSelectedValue()
{
    AppFixture app;
    writeAllFiles("A\r\nB\r\n");
    app.start();
    ConstantsF->show();
    child<QListWidget>(ConstantsF, "FieldsList2")->setCurrentRow(3);
    child<QListWidget>(ConstantsF, "ConstLst_Publisher")->setCurrentRow(0);
    ConstantsF->DelConstLbClick();
    QCOMPARE(constList(3), QStringList{u"B"_s});
    QCOMPARE(fileBytes(u".publisherconst"_s), QByteArray("B\r\n"));
    QCOMPARE(fileBytes(u".authorconst"_s), QByteArray("A\r\nB\r\n"));
}

// Enter in the value box adds the typed value and keeps the window open; with the box empty it
// closes the window as OK does. Delete in a list removes the chosen value.
void TestConstantWindows::keyboardAddsAndDeletes()
{
    AppFixture app;
    writeAllFiles("A\r\n");
    app.start();
    ConstantsF->show();
    QVERIFY(QTest::qWaitForWindowExposed(ConstantsF));
    child<QListWidget>(ConstantsF, "FieldsList")->setCurrentRow(0);
    QLineEdit *value = ConstantsF->NewConstEd();
    QTest::keyClicks(value, u"Franko"_s);
    QTest::keyClick(value, Qt::Key_Return);
    QVERIFY(ConstantsF->isVisible());
    QCOMPARE(constList(0), (QStringList{u"A"_s, u"Franko"_s}));
    QCOMPARE(fileBytes(u".authorconst"_s), QByteArray("A\r\nFranko\r\n"));
    QVERIFY(value->text().isEmpty());

    auto *authors = child<QListWidget>(ConstantsF, "ConstLst_Author");
    authors->setCurrentRow(0);
    QTest::keyClick(authors, Qt::Key_Delete);
    QCOMPARE(constList(0), QStringList{u"Franko"_s});
    QCOMPARE(fileBytes(u".authorconst"_s), QByteArray("Franko\r\n"));

    QTest::keyClick(value, Qt::Key_Return);
    QTRY_VERIFY(!ConstantsF->isVisible());
    QCOMPARE(constList(0), QStringList{u"Franko"_s});
}

void TestConstantWindows::loadingStopsAtFirstUnreadableFile()
{
    AppFixture app;
    writeAllFiles("Old\r\n");
    app.start();
    writeAllFiles("New\r\n");
    QVERIFY(QFile::remove(u".seriaconst"_s));
    const qsizetype before = EventConsole::lines().size();
    ConstantsF->LoadConstantLists();
    QCOMPARE(messagesSince(before), QStringList{kLoadError});
    // The author file comes before the series file; the year file after it.
    QCOMPARE(constList(0), QStringList{u"New"_s});
    for (int field = 1; field < 7; ++field)
        QCOMPARE(constList(field), QStringList{u"Old"_s});
}

void TestConstantWindows::savingStopsAtFirstUnwritableFile()
{
    AppFixture app;
    writeAllFiles("Old\r\n");
    QVERIFY(QFile::remove(u".yearconst"_s));
    QVERIFY(QDir().mkdir(u".yearconst"_s));
    app.start();
    QCOMPARE(constList(0), QStringList{u"Old"_s});
    const qsizetype before = EventConsole::lines().size();
    addConstant(0, u"New"_s);
    addConstant(4, u"Kyiv"_s);
    // Author and series are written before the year fails; the rest are left as they were.
    QCOMPARE(messagesSince(before), (QStringList{kSaveError, kSaveError}));
    QCOMPARE(fileBytes(u".authorconst"_s), QByteArray("New\r\nOld\r\n"));
    QCOMPARE(fileBytes(u".placeconst"_s), QByteArray("Old\r\n"));
    // Loading stopped at the year as well, so the place list never held the file's value.
    QCOMPARE(constList(4), QStringList{u"Kyiv"_s});
}

void TestConstantWindows::savingKeepsFilesTheListsNeverHeld()
{
    AppFixture app;
    writeAllFiles("Old\r\n");
    QVERIFY(QFile::remove(u".authorconst"_s));
    app.start();
    addConstant(0, u"New"_s);
    QCOMPARE(fileBytes(u".authorconst"_s), QByteArray("New\r\n"));
    for (int field = 1; field < 7; ++field) {
        const QString name = QString::fromLatin1(kFiles[field]);
        QCOMPARE(fileBytes(name), QByteArray());
        QCOMPARE(fileBytes(name + u".bak"_s), QByteArray("Old\r\n"));
    }
    // Once the lists hold their files, a save keeps no copies.
    for (int field = 1; field < 7; ++field)
        QVERIFY(QFile::remove(QString::fromLatin1(kFiles[field]) + u".bak"_s));
    addConstant(1, u"1999"_s);
    QCOMPARE(fileBytes(u".yearconst"_s), QByteArray("1999\r\n"));
    QVERIFY(!QFile::exists(u".seriaconst.bak"_s));
}

void TestConstantWindows::fieldListsStayInStepAndFieldIsRemembered()
{
    AppFixture app;
    app.start();
    auto *upper = child<QListWidget>(ConstantsF, "FieldsList");
    auto *lower = child<QListWidget>(ConstantsF, "FieldsList2");
    const auto shownList = [] {
        QStringList shown;
        for (const char *name : kLists)
            if (!child<QListWidget>(ConstantsF, name)->isHidden())
                shown << QString::fromLatin1(name);
        return shown;
    };
    ConstantsF->show();
    QCOMPARE(upper->currentRow(), 0);
    QCOMPARE(shownList(), QStringList{u"ConstLst_Author"_s});
    upper->setCurrentRow(5);
    QCOMPARE(lower->currentRow(), 5);
    QCOMPARE(shownList(), QStringList{u"ConstLst_Genre"_s});
    lower->setCurrentRow(2);
    QCOMPARE(upper->currentRow(), 2);
    QCOMPARE(shownList(), QStringList{u"ConstLst_Seria"_s});

    child<QPushButton>(ConstantsF, "Button4")->click(); // OK
    QVERIFY(!ConstantsF->isVisible());
    ConstantsF->show();
    QCOMPARE(upper->currentRow(), 2);
    QCOMPARE(lower->currentRow(), 2);
    QCOMPARE(shownList(), QStringList{u"ConstLst_Seria"_s});

    // Closing (Escape) does not remember the field.
    upper->setCurrentRow(6);
    QTest::keyClick(ConstantsF, Qt::Key_Escape);
    QVERIFY(!ConstantsF->isVisible());
    ConstantsF->show();
    QCOMPARE(upper->currentRow(), 2);
}

void TestConstantWindows::fieldListsFollowClicksAndThePrompt()
{
    AppFixture app;
    app.start();
    auto *upper = child<QListWidget>(ConstantsF, "FieldsList");
    auto *lower = child<QListWidget>(ConstantsF, "FieldsList2");
    const auto clickRow = [](QListWidget *list, int row) {
        const QRect item = list->visualItemRect(list->item(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, item.center());
    };
    ConstantsF->show();
    QVERIFY(QTest::qWaitForWindowExposed(ConstantsF));
    // The add-book window's picture chose Genre: the prompt's value lands in Genre, and the lower
    // list names the list shown.
    add->show();
    child<QComboBox>(add, "addGenre")->setEditText(u"Poetry"_s);
    QString offered;
    answerPrompt("Button1", &offered);
    QTest::mouseClick(child<QLabel>(add, "Image6"), Qt::LeftButton);
    QCOMPARE(constList(5), QStringList{u"Poetry"_s});
    QCOMPARE(upper->currentRow(), 5);
    QCOMPARE(lower->currentRow(), 5);
    QVERIFY(!child<QListWidget>(ConstantsF, kLists[5])->isHidden());

    // A click on the current upper item brings the lower one in step, though the row stays.
    ConstantsF->selectField(1);
    { const QSignalBlocker quiet(lower); lower->setCurrentRow(3); }
    clickRow(upper, 1);
    QCOMPARE(lower->currentRow(), 1);
    QVERIFY(!child<QListWidget>(ConstantsF, kLists[1])->isHidden());
    { const QSignalBlocker quiet(upper); upper->setCurrentRow(4); }
    clickRow(lower, 1);
    QCOMPARE(upper->currentRow(), 1);
}

void TestConstantWindows::hidingCopiesListsIntoAddWindow()
{
    AppFixture app;
    app.start();
    add->show();
    child<QComboBox>(add, "addAuthor")->setEditText(u"typed"_s);
    child<QAction>(MainF, "Constants1")->trigger();
    addConstant(0, u"Austen"_s);
    addConstant(6, u"821"_s);
    QVERIFY(comboItems("addAuthor").isEmpty());
    child<QPushButton>(ConstantsF, "Button4")->click(); // OK
    QCOMPARE(comboItems("addAuthor"), QStringList{u"Austen"_s});
    QCOMPARE(comboItems("addClas"), QStringList{u"821"_s});
    QCOMPARE(child<QComboBox>(add, "addAuthor")->currentText(), u"typed"_s);

    // The add-book window takes fresh copies each time it is shown.
    add->hide();
    addConstant(0, u"Byron"_s);
    add->show();
    QCOMPARE(comboItems("addAuthor"), (QStringList{u"Austen"_s, u"Byron"_s}));
}

void TestConstantWindows::languageReachesEveryControl()
{
    AppFixture app;
    app.start();
    settingsList().setValue(u"Language"_s, u"ru"_s);
    ApplyLanguage();
    for (const LanguageMap::Entry &entry : LanguageMap::entries()) {
        QWidget *window = nullptr;
        for (QWidget *w : {static_cast<QWidget *>(ConstantsF), static_cast<QWidget *>(LookupF),
                           static_cast<QWidget *>(AddConstF), static_cast<QWidget *>(FieldsF)})
            if (w->objectName() == entry.window)
                window = w;
        if (window && !entry.control.isEmpty())
            QVERIFY2(window->findChild<QObject *>(entry.control), qPrintable(entry.window + u'.' + entry.control));
    }
    QCOMPARE(child<QLabel>(AddConstF, "Label1")->text(), u"Добавить новую константу со значением:"_s);
    QCOMPARE(AddConstF->windowTitle(), u"Добавить новую константу ?"_s);
    QCOMPARE(child<QLabel>(ConstantsF, "DelConstLb")->text(), u"Удалить константа"_s);
    QCOMPARE(child<QListWidget>(ConstantsF, "FieldsList2")->item(6)->text(), u"Оценка"_s);
    QCOMPARE(LookupF->windowTitle(), u"Найти значение константы"_s);
    QCOMPARE(child<QCheckBox>(FieldsF, "FieldsAllowEmptyChk")->text(), u"Разрешить пустые обязательные поля"_s);
    settingsList().setValue(u"Language"_s, u"en"_s);
}

void TestConstantWindows::lookupListsEveryBooksValue()
{
    AppFixture app;
    app.start();
    insertBook(u"Франко"_s, u"Poetry"_s, u"S1"_s);
    insertBook(u"Франко"_s, u"Drama"_s);
    insertBook(u"Austen"_s, u"Novel"_s);
    insertBook(u"Франко"_s, u"Poetry"_s);
    ConstantsF->show();
    const auto lookup = [](int field) {
        child<QListWidget>(ConstantsF, "FieldsList")->setCurrentRow(field);
        child<QPushButton>(ConstantsF, "Button3")->click();
        FbQuery *query = LookupF->IBQuery1();
        query->fetchAll();
        QStringList values;
        for (int row = 0; row < query->fetchedCount(); ++row)
            values << FbQuery::displayText(query->value(row, 0));
        values.sort();
        return values;
    };
    QCOMPARE(lookup(0), (QStringList{u"Austen"_s, u"Франко"_s, u"Франко"_s, u"Франко"_s}));
    QVERIFY(LookupF->isVisible());
    QCOMPARE(lookup(5), (QStringList{u"Drama"_s, u"Novel"_s, u"Poetry"_s, u"Poetry"_s}));
    QCOMPARE(lookup(2), (QStringList{u""_s, u""_s, u""_s, u"S1"_s}));

    // Every row the user moves to lands in the constants window's edit box.
    lookup(0);
    auto *grid = child<DBGridEh>(LookupF, "DBGridEh1");
    QCOMPARE(grid->model()->columnCount(), 1);
    FbQuery *query = LookupF->IBQuery1();
    child<DBNavigator>(LookupF, "DBNavigator1")->press(DBNavigator::Last);
    QCOMPARE(ConstantsF->NewConstEd()->text(), query->fieldText(u"author"_s));
    child<DBNavigator>(LookupF, "DBNavigator1")->press(DBNavigator::First);
    QCOMPARE(ConstantsF->NewConstEd()->text(), FbQuery::displayText(query->value(0, 0)));
    child<QPushButton>(LookupF, "Button1")->click(); // OK
    QVERIFY(!LookupF->isVisible());
    const QString chosen = ConstantsF->NewConstEd()->text();
    ConstantsF->Button1Click();
    QCOMPARE(constList(0), QStringList{chosen});
    QVERIFY(UserPrompts::shownMessages().isEmpty());
}

void TestConstantWindows::lookupOnUnreachableLibraryShowsEngineError()
{
    AppFixture app;
    app.start();
    FbDatabase *db = MainF->IBDatabase1();
    db->close();
    db->setDatabaseName(app.path(u"no-such-library.gdb"_s));
    ConstantsF->show();
    child<QPushButton>(ConstantsF, "Button3")->click();
    QCOMPARE(UserPrompts::shownMessages().size(), 1);
    QVERIFY(!UserPrompts::shownMessages().first().isEmpty());
    QVERIFY(!LookupF->isVisible());
    QVERIFY(ConstantsF->isVisible());
}

void TestConstantWindows::promptOffersYearAsNumber_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("offered");
    QTest::newRow("leading zeros") << u"0042"_s << u"42"_s;
    QTest::newRow("negative") << u"-7"_s << u"-7"_s;
}

void TestConstantWindows::promptOffersYearAsNumber()
{
    QFETCH(QString, typed);
    QFETCH(QString, offered);
    AppFixture app;
    app.start();
    add->show();
    child<QComboBox>(add, "addYear")->setEditText(typed);
    QString shown;
    answerPrompt("Button1", &shown); // Yes
    QMetaObject::invokeMethod(child<QLabel>(add, "Image2"), "clicked");
    QCOMPARE(shown, offered);
    QCOMPARE(constList(1), QStringList{offered});
    QCOMPARE(fileBytes(u".yearconst"_s), offered.toLatin1() + "\r\n");
    // The drop-down offers the new constant at once; the typed text stays.
    QCOMPARE(comboItems("addYear"), QStringList{offered});
    QCOMPARE(child<QComboBox>(add, "addYear")->currentText(), typed);
}

void TestConstantWindows::promptRefusesYearThatIsNoNumber()
{
    AppFixture app;
    app.start();
    add->show();
    child<QComboBox>(add, "addYear")->setEditText(u"19a9"_s);
    bool prompted = false;
    QTimer::singleShot(0, AddConstF, [&prompted] {
        prompted = AddConstF->isVisible();
        AddConstF->reject();
    });
    QMetaObject::invokeMethod(child<QLabel>(add, "Image2"), "clicked");
    QCOMPARE(UserPrompts::shownMessages(), QStringList{u"Enter a digital value!\rВведите цифровое значение!"_s});
    QCoreApplication::processEvents();
    QVERIFY(!prompted);
    QCOMPARE(fileBytes(u".yearconst"_s), QByteArray("<missing>"));
}

void TestConstantWindows::promptNoTouchesNoFile()
{
    AppFixture app;
    writeAllFiles("Old\r\n");
    app.start();
    add->show();
    // Lists changed on disk since the start are picked up by the copy after the prompt.
    writeFile(u".authorconst"_s, "Newer\r\n");
    ConstantsF->LoadConstantLists();
    child<QComboBox>(add, "addAuthor")->setEditText(u"Austen"_s);
    const qsizetype before = EventConsole::lines().size();
    QString shown;
    answerPrompt("Button2", &shown); // No
    QMetaObject::invokeMethod(child<QLabel>(add, "Image1"), "clicked");
    QCOMPARE(shown, u"Austen"_s);
    QCOMPARE(messagesSince(before), QStringList());
    QCOMPARE(fileBytes(u".authorconst"_s), QByteArray("Newer\r\n"));
    QCOMPARE(comboItems("addAuthor"), QStringList{u"Newer"_s});
    QCOMPARE(child<QComboBox>(add, "addAuthor")->currentText(), u"Austen"_s);
    QVERIFY(!AddConstF->isVisible());
}

void TestConstantWindows::promptAnswersByKey_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QStringList>("stored");
    QTest::newRow("Enter is yes") << int(Qt::Key_Return) << QStringList{u"Drama"_s};
    QTest::newRow("Escape is no") << int(Qt::Key_Escape) << QStringList();
}

void TestConstantWindows::promptAnswersByKey()
{
    QFETCH(int, key);
    QFETCH(QStringList, stored);
    AppFixture app;
    app.start();
    add->show();
    child<QComboBox>(add, "addGenre")->setEditText(u"Drama"_s);
    QTimer::singleShot(0, AddConstF, [key] { QTest::keyClick(AddConstF, Qt::Key(key)); });
    QMetaObject::invokeMethod(child<QLabel>(add, "Image6"), "clicked");
    QVERIFY(!AddConstF->isVisible());
    QCOMPARE(constList(5), stored);
    QCOMPARE(comboItems("addGenre"), stored);
}

void TestConstantWindows::menuAndLinksShowWindows()
{
    AppFixture app;
    app.start();
    auto *allowEmpty = child<QCheckBox>(FieldsF, "FieldsAllowEmptyChk");
    QVERIFY(!allowEmpty->isChecked());
    child<QAction>(MainF, "Fields1")->trigger();
    QVERIFY(FieldsF->isVisible());
    allowEmpty->setChecked(true);
    QMetaObject::invokeMethod(child<QLabel>(FieldsF, "Image1"), "clicked"); // the close picture
    QVERIFY(!FieldsF->isVisible());
    QVERIFY(allowEmpty->isChecked());

    child<QAction>(MainF, "Constants1")->trigger();
    QVERIFY(ConstantsF->isVisible());
    ConstantsF->hide();
    add->show();
    QMetaObject::invokeMethod(child<QLabel>(add, "Label13"), "clicked"); // "constants!"
    QVERIFY(ConstantsF->isVisible());
    QMetaObject::invokeMethod(child<QLabel>(add, "Label19"), "clicked"); // "customize"
    QVERIFY(FieldsF->isVisible());
    child<QPushButton>(FieldsF, "Button1")->click();
    QVERIFY(!FieldsF->isVisible());
}

QTEST_MAIN(TestConstantWindows)
#include "tst_constantwindows.moc"
