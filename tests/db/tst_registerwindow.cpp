#include "AppFixture.h"
#include "AppState.h"
#include "ClickableLabel.h"
#include "ConnectionSettings.h"
#include "DatabaseFileDialog.h"
#include "FbDatabase.h"
#include "FbQuery.h"
#include "FbTransaction.h"
#include "LibraryCharset.h"
#include "LibrarySchema.h"
#include "TextCodec.h"
#include "MainWindow.h"
#include "RegisterWindow.h"
#include "Splash.h"
#include "UserPrompts.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace
{

const QString kMissingPath =
    u"Please type valid database file path\rПожалуйста, введите корректный путь к базе данных"_s;

template <typename T> T *control(const char *name)
{
    return RegisterF->findChild<T *>(QString::fromLatin1(name));
}

QLineEdit *pathBox()
{
    return control<QLineEdit>("DbPathEd");
}

QString profilePath()
{
    return ConnectionSettings->generalValue(ProfileKey::dbFilePath);
}

QString profileCharset()
{
    return ConnectionSettings->paramValue(ProfileKey::lcCtype);
}

QStringList bookTitles()
{
    FbQuery *books = MainF->IBQuery1();
    QStringList titles;
    if (!books->active())
        return titles;
    books->fetchAll();
    for (int row = 0; row < books->fetchedCount(); ++row)
        titles << FbQuery::displayText(books->value(row, books->fieldIndex(u"TITLE"_s)));
    return titles;
}

// A library of an earlier run beside the default one, holding one book.
QString makeOldLibrary(const AppFixture &app)
{
    QDir(app.dir()).mkdir(u"old"_s);
    const QString path = app.path(u"old/Books.GDB"_s);
    LibrarySchema::create(path);
    FbDatabase db;
    db.setDatabaseName(path);
    db.setParams(MainF->IBDatabase1()->params());
    FbTransaction transaction(&db);
    FbQuery insert(&db);
    insert.setSqlText(
        u"INSERT INTO book (title, author, iyear, publisher, genre) VALUES ('Old book', 'A', '1999', 'P', 'G')"_s);
    insert.execSQL();
    db.close();
    return path;
}

// The registration window as the menu item "Register" shows it, on a started program.
void showRegistration()
{
    MainF->Register1Click();
    QVERIFY(RegisterF->isVisible());
}

} // namespace

class TestRegisterWindow : public QObject
{
    Q_OBJECT

private slots:
    void firstStartChoosesByTheDefaultLibrary_data();
    void firstStartChoosesByTheDefaultLibrary();
    void registerDefaultLibrary();
    void registerExistingLibrary();
    void pathThatIsNoFileKeepsTheWindow_data();
    void pathThatIsNoFileKeepsTheWindow();
    void serverPathIsTakenWithoutFileCheck();
    void closePictureChangesNothing();
    void fileDialogListsLibrariesInAnyLetterCase();
    void newLibraryOfEitherKind_data();
    void newLibraryOfEitherKind();
};

void TestRegisterWindow::firstStartChoosesByTheDefaultLibrary_data()
{
    QTest::addColumn<bool>("library");
    QTest::newRow("with LIBRARY.GDB") << true;
    QTest::newRow("without LIBRARY.GDB") << false;
}

void TestRegisterWindow::firstStartChoosesByTheDefaultLibrary()
{
    QFETCH(bool, library);
    AppFixture::Files files;
    files.settings = false;
    files.library = library;
    AppFixture app(files);
    bool checked = false;
    AppFixture::atFirstStartWait([&] {
        [&] {
            QVERIFY(RegisterF && RegisterF->isVisible());
            auto *defaultChoice = control<QRadioButton>("NewlibraryRb");
            QCOMPARE(defaultChoice->isEnabled(), library);
            QCOMPARE(defaultChoice->isChecked(), library);
            QCOMPARE(control<QRadioButton>("LibraryV2Rb")->isChecked(), !library);
            for (const char *label : {"Label2", "Label3", "Label10", "Label11", "Label12"})
                QCOMPARE(control<QLabel>(label)->isEnabled(), library);
            for (const char *always : {"LibraryV15Rb", "Label7", "Label8"})
                QVERIFY(!control<QWidget>(always)->isEnabled());
            QCOMPARE(pathBox()->isEnabled(), !library);
            QCOMPARE(pathBox()->text(), library ? AppState::baseDirectory() + u"LIBRARY.GDB"_s : QString());
            QCOMPARE(RegisterF->focusWidget(), library ? control<QWidget>("Register") : pathBox());
            checked = true;
        }();
    });
    app.start(false);
    QVERIFY(checked);
}

void TestRegisterWindow::registerDefaultLibrary()
{
    AppFixture app;
    app.start();
    ConnectionSettings->setParamValue(ProfileKey::lcCtype, u"UTF8"_s, TConnectionSettings::SetRule::OrRemove);
    ConnectionSettings->DbFilePath()->setText(u"typed before"_s);
    showRegistration();
    control<QPushButton>("Register")->click();

    const QString library = AppState::baseDirectory() + u"LIBRARY.GDB"_s;
    QCOMPARE(UserPrompts::shownMessages(), QStringList());
    QCOMPARE(profileCharset(), u"WIN1251"_s);
    QCOMPARE(profilePath(), library);
    QVERIFY(MainF->IBDatabase1()->connected());
    QCOMPARE(MainF->IBDatabase1()->databaseName(), library);
    QVERIFY(MainF->IBQuery1()->active());
    QCOMPARE(ConnectionSettings->DbFilePath()->text(), QString());
    QVERIFY(!RegisterF->isVisible());
}

void TestRegisterWindow::registerExistingLibrary()
{
    AppFixture app;
    app.start();
    const QString old = makeOldLibrary(app);
    showRegistration();
    control<QRadioButton>("LibraryV2Rb")->click();
    QCOMPARE(RegisterF->focusWidget(), pathBox());
    UserPrompts::setNextFileName(old);
    control<QPushButton>("Button3")->click();
    QCOMPARE(pathBox()->text(), old);
    QCOMPARE(pathBox()->toolTip(), old);
    // A cancelled dialog gives the file chosen the last time.
    control<QPushButton>("Button3")->click();
    QCOMPARE(pathBox()->text(), old);

    control<QPushButton>("Register")->click();
    QCOMPARE(UserPrompts::shownMessages(), QStringList());
    QCOMPARE(profilePath(), old);
    QCOMPARE(MainF->IBDatabase1()->databaseName(), old);
    QCOMPARE(bookTitles(), QStringList{u"Old book"_s});
    QVERIFY(!RegisterF->isVisible());
}

void TestRegisterWindow::pathThatIsNoFileKeepsTheWindow_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("empty") << QString();
    QTest::newRow("missing file") << u"/no/such/dir/LIBRARY.GDB"_s;
    QTest::newRow("a directory") << u"/tmp"_s;
}

void TestRegisterWindow::pathThatIsNoFileKeepsTheWindow()
{
    QFETCH(QString, path);
    AppFixture app;
    app.start();
    ConnectionSettings->setParamValue(ProfileKey::lcCtype, u"UTF8"_s, TConnectionSettings::SetRule::OrRemove);
    const QString before = profilePath();
    showRegistration();
    control<QRadioButton>("LibraryV2Rb")->click();
    pathBox()->setText(path);
    control<QPushButton>("Register")->click();

    QCOMPARE(UserPrompts::shownMessages(), QStringList{kMissingPath});
    QVERIFY(RegisterF->isVisible());
    QCOMPARE(RegisterF->focusWidget(), pathBox());
    QCOMPARE(profilePath(), before);
    QCOMPARE(profileCharset(), u"WIN1251"_s); // set all the same
}

void TestRegisterWindow::serverPathIsTakenWithoutFileCheck()
{
    AppFixture app;
    app.start();
    showRegistration();
    control<QRadioButton>("LibraryV2Rb")->click();
    const QString server = u"127.0.0.1:/srv/library/LIBRARY.GDB"_s;
    pathBox()->setText(server);
    control<QPushButton>("Register")->click();
    QCOMPARE(profilePath(), server);
    QVERIFY(!UserPrompts::shownMessages().contains(kMissingPath));
}

void TestRegisterWindow::closePictureChangesNothing()
{
    AppFixture app;
    app.start();
    ConnectionSettings->setParamValue(ProfileKey::lcCtype, u"UTF8"_s, TConnectionSettings::SetRule::OrRemove);
    ConnectionSettings->setGeneralValue(ProfileKey::dbFilePath, u"kept.gdb"_s, TConnectionSettings::SetRule::OrRemove);
    showRegistration();
    control<QRadioButton>("LibraryV2Rb")->click();
    pathBox()->setText(app.path(u"LIBRARY.GDB"_s));
    emit control<ClickableLabel>("Image1")->clicked();
    QVERIFY(!RegisterF->isVisible());
    QCOMPARE(profileCharset(), u"UTF8"_s);
    QCOMPARE(profilePath(), u"kept.gdb"_s);
    QCOMPARE(UserPrompts::shownMessages(), QStringList());
}

void TestRegisterWindow::fileDialogListsLibrariesInAnyLetterCase()
{
    const QString filter = DatabaseFileDialog::filter();
    const QString patterns = filter.mid(filter.lastIndexOf(u'(') + 1).chopped(1);
    const auto listed = [&](const QString &name) {
        for (const QString &pattern : patterns.split(u' ', Qt::SkipEmptyParts))
            if (QRegularExpression(QRegularExpression::wildcardToRegularExpression(pattern)).match(name).hasMatch())
                return true;
        return false;
    };
    for (const QString &name : {u"LIBRARY.GDB"_s, u"library.gdb"_s, u"Books.Gdb"_s, u"x.gDB"_s})
        QVERIFY2(listed(name), qPrintable(name));
    for (const QString &name : {u"LIBRARY.FDB"_s, u"notes.gdb.txt"_s})
        QVERIFY2(!listed(name), qPrintable(name));
}

void TestRegisterWindow::newLibraryOfEitherKind_data()
{
    QTest::addColumn<QString>("choice");
    QTest::addColumn<QString>("charset");
    QTest::newRow("Unicode") << QStringLiteral("UnicodeRb") << QStringLiteral("UTF8");
    QTest::newRow("Windows-1251") << QStringLiteral("Win1251Rb") << QStringLiteral("WIN1251");
}

// Database → New library: made in a folder that did not exist yet, used at once when the user
// agrees, and never made over a file.
void TestRegisterWindow::newLibraryOfEitherKind()
{
    QFETCH(QString, choice);
    QFETCH(QString, charset);
    AppFixture app;
    app.start();
    MainF->findChild<QAction *>(QStringLiteral("NewLibrary1"))->trigger();
    auto *window = MainF->findChild<QDialog *>(QStringLiteral("NewLibraryF"));
    QVERIFY(window && window->isVisible());
    const QString path = app.path(QStringLiteral("shelf/new.gdb"));
    window->findChild<QLineEdit *>(QStringLiteral("PathEd"))->setText(app.path(QStringLiteral("shelf/new")));
    window->findChild<QRadioButton *>(choice)->setChecked(true);
    UserPrompts::setNextAnswer(QMessageBox::Yes);
    QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("CreateBtn")), Qt::LeftButton);
    QVERIFY(!window->isVisible());
    QVERIFY(AppFixture::consoleMessages().contains(QStringLiteral("New library made: ") + path));
    QCOMPARE(QFileInfo(MainF->IBDatabase1()->databaseName()).absoluteFilePath(), path);
    QCOMPARE(LibraryCharset::of(*MainF->IBDatabase1()), charset);
    QCOMPARE(MainF->IBDatabase1()->charset().kind() == ConnectionCharset::Kind::Utf8, charset == QStringLiteral("UTF8"));

    // The same name again: refused, the library that is there (now in use) keeps its book.
    {
        FbQuery insert(MainF->IBDatabase1());
        insert.setSqlText(QStringLiteral("INSERT INTO book (title, author, iyear, publisher, genre) VALUES ('Kept', "
                                         "'A', '2001', 'P', 'G')"));
        insert.execSQL();
    }
    UserPrompts::clearShownMessages();
    MainF->findChild<QAction *>(QStringLiteral("NewLibrary1"))->trigger();
    window->findChild<QLineEdit *>(QStringLiteral("PathEd"))->setText(path);
    QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("CreateBtn")), Qt::LeftButton);
    QCOMPARE(UserPrompts::shownMessages(),
             QStringList{QStringLiteral("The file exists already.\rA new library is made only into a new file.")});
    QVERIFY(window->isVisible());
    FbDatabase check;
    FbTransaction checkTr(&check);
    check.setDatabaseName(path);
    check.setParams({QStringLiteral("user_name=SYSDBA"), QStringLiteral("lc_ctype=") + charset});
    FbQuery titles(&check);
    titles.setSqlText(QStringLiteral("SELECT title FROM book"));
    titles.open();
    QCOMPARE(titles.fieldText(QStringLiteral("TITLE")), QStringLiteral("Kept"));
    window->close();
}

QTEST_MAIN(TestRegisterWindow)
#include "tst_registerwindow.moc"
