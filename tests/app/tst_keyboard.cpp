#include "AddBookWindow.h"
#include "AppFixture.h"
#include "DBGridEh.h"
#include "FbQuery.h"
#include "LangStr.h"
#include "Language.h"
#include "MainWindow.h"
#include "MenuAccelerators.h"
#include "Settings.h"
#include "SettingsList.h"
#include "TestLibrary.h"
#include "ViewBookWindow.h"
#include "ui_MainWindow.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
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

void switchLanguage(const QString &language)
{
    settingsList().setValue(u"Language"_s, language);
    ApplyLanguage();
}

void showActive(QWidget *window)
{
    window->show();
    window->raise();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
}

QMenu *openMenu()
{
    return qobject_cast<QMenu *>(QApplication::activePopupWidget());
}

void closePopups()
{
    while (QWidget *popup = QApplication::activePopupWidget())
        popup->close();
}

} // namespace

class TestKeyboard : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { closePopups(); }

    void openDropDownAnswersEnterAndEscape_data();
    void openDropDownAnswersEnterAndEscape();
    void everyMenuHasItsLetter_data();
    void everyMenuHasItsLetter();
    void menuBarOpensFromKeyboard_data();
    void menuBarOpensFromKeyboard();
    void tabLeavesTheListAndCtrlTabSwitchesPages_data();
    void tabLeavesTheListAndCtrlTabSwitchesPages();
    void settingsLinksByKeyboard();
    void viewWindowClosesWithEscape();
};

void TestKeyboard::openDropDownAnswersEnterAndEscape_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("Enter chooses the highlighted constant") << int(Qt::Key_Return);
    QTest::newRow("Escape closes the list only") << int(Qt::Key_Escape);
}

void TestKeyboard::openDropDownAnswersEnterAndEscape()
{
    QFETCH(int, key);
    AppFixture app;
    app.start();
    showActive(add);
    auto *author = add->findChild<QComboBox *>(u"addAuthor"_s);
    add->setConstantLists({{u"Alpha"_s, u"Beta"_s, u"Gamma"_s}});
    for (const char *name : {"addTitle", "addPublisher", "addGenre"}) {
        if (auto *edit = add->findChild<QLineEdit *>(QLatin1String(name)); edit && !qobject_cast<QComboBox *>(edit->parent()))
            edit->setText(u"T"_s);
        else
            add->findChild<QComboBox *>(QLatin1String(name))->setEditText(u"T"_s);
    }
    author->setFocus();
    author->setEditText(u"Old"_s);
    // The list opens from the keyboard, as a user opens it.
    QTest::keyClick(author->lineEdit(), Qt::Key_Down, Qt::AltModifier);
    QTRY_VERIFY(author->view()->isVisible());
    author->view()->setCurrentIndex(author->model()->index(1, 0));
    QTest::keyClick(QApplication::activePopupWidget()->focusWidget(), Qt::Key(key));

    QTRY_VERIFY(!author->view()->isVisible());
    QVERIFY(add->isVisible());
    QCOMPARE(author->currentText(), key == Qt::Key_Return ? u"Beta"_s : u"Old"_s);
    QCOMPARE(TestLibrary::rows(*MainF->IBDatabase1(), u"SELECT count(*) FROM book"_s), QStringList{u"0"_s});
    // The window's own keys work again once the list is closed.
    QTest::keyClick(author->lineEdit(), Qt::Key_Escape);
    QVERIFY(!add->isVisible());
}

void TestKeyboard::everyMenuHasItsLetter_data()
{
    QTest::addColumn<QString>("language");
    QTest::newRow("en") << u"en"_s;
    QTest::newRow("ru") << u"ru"_s;
    QTest::newRow("ua") << u"ua"_s;
}

void TestKeyboard::everyMenuHasItsLetter()
{
    QFETCH(QString, language);
    AppFixture app;
    app.start();
    switchLanguage(u"ru"_s); // a text set again by a switch gets its letter again
    switchLanguage(language);
    Ui::TMainF *ui = MainF->form();
    QCOMPARE(ui->File1->title().remove(u'&'), LangStr(u"lfile"_s));
    QCOMPARE(ui->N5->text().remove(u'&'), LangStr(u"lsettings"_s));
    const auto checkLetters = [](const QList<QAction *> &actions, const QString &where) {
        QString taken;
        for (const QAction *action : actions) {
            if (action->isSeparator())
                continue;
            const QChar letter = MenuAccelerators::accelerator(action->text());
            QVERIFY2(!letter.isNull(), qPrintable(where + u": "_s + action->text()));
            QVERIFY2(!taken.contains(letter), qPrintable(where + u": "_s + action->text() + u" repeats "_s + letter));
            taken.append(letter);
        }
    };
    checkLetters(ui->MainMenu1->actions(), u"menu bar"_s);
    for (QAction *title : ui->MainMenu1->actions()) {
        if (title->menu())
            checkLetters(title->menu()->actions(), title->text());
    }
}

void TestKeyboard::menuBarOpensFromKeyboard_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<int>("key");
    QTest::newRow("F10") << u"en"_s << int(Qt::Key_F10);
    QTest::newRow("Alt alone") << u"ru"_s << int(Qt::Key_Alt);
    QTest::newRow("Alt and the letter") << u"ua"_s << 0;
}

void TestKeyboard::menuBarOpensFromKeyboard()
{
    QFETCH(QString, language);
    QFETCH(int, key);
    AppFixture app;
    app.start();
    switchLanguage(language);
    showActive(MainF);
    Ui::TMainF *ui = MainF->form();
    ui->DBGridEh1->setFocus();
    if (key) {
        QTest::keyClick(ui->DBGridEh1, Qt::Key(key));
        QTRY_VERIFY(openMenu());
        QCOMPARE(openMenu(), ui->File1);
        QTest::keyClick(openMenu(), Qt::Key_Escape);
        closePopups();
    }
    // The books menu by its letter, then "Add book" by its letter: the add window opens.
    const QChar books = MenuAccelerators::accelerator(ui->N7->title());
    QTest::sendKeyEvent(QTest::Click, ui->DBGridEh1, Qt::Key(books.toUpper().unicode()), QString(books),
                        Qt::AltModifier);
    QTRY_COMPARE(openMenu(), ui->N7);
    const QChar addLetter = MenuAccelerators::accelerator(ui->N8->text());
    QTest::sendKeyEvent(QTest::Click, openMenu(), Qt::Key(addLetter.toUpper().unicode()), QString(addLetter),
                        Qt::NoModifier);
    QTRY_VERIFY(add->isVisible());
}

void TestKeyboard::tabLeavesTheListAndCtrlTabSwitchesPages_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("page");
    QTest::newRow("Ctrl+Tab") << int(Qt::Key_Tab) << int(Qt::ControlModifier) << 1;
    QTest::newRow("Ctrl+PageDown") << int(Qt::Key_PageDown) << int(Qt::ControlModifier) << 1;
    QTest::newRow("Ctrl+Shift+Tab") << int(Qt::Key_Backtab) << int(Qt::ControlModifier | Qt::ShiftModifier) << 3;
    QTest::newRow("Ctrl+PageUp") << int(Qt::Key_PageUp) << int(Qt::ControlModifier) << 3;
}

void TestKeyboard::tabLeavesTheListAndCtrlTabSwitchesPages()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, page);
    AppFixture app;
    app.start();
    execute(u"INSERT INTO book (title, author, iyear, publisher, genre) VALUES ('T', 'A', '2001', 'P', 'G')"_s);
    MainF->RefreshBooks();
    showActive(MainF);
    Ui::TMainF *ui = MainF->form();
    QTRY_COMPARE(ui->DBGridEh1->model()->rowCount(), 1);
    ui->DBGridEh1->setFocus();
    ui->DBGridEh1->setCurrentIndex(ui->DBGridEh1->model()->index(0, 0));
    QTest::keyClick(ui->DBGridEh1, Qt::Key_Tab);
    QVERIFY(!ui->DBGridEh1->hasFocus());
    QCOMPARE(ui->DBGridEh1->currentIndex().column(), 0);
    ui->DBGridEh1->setFocus();
    QTest::keyClick(ui->DBGridEh1, Qt::Key_Backtab, Qt::ShiftModifier);
    QVERIFY(!ui->DBGridEh1->hasFocus());

    ui->DBGridEh1->setFocus();
    QTest::keyClick(ui->DBGridEh1, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(ui->PageControl1->currentIndex(), page);
}

void TestKeyboard::settingsLinksByKeyboard()
{
    AppFixture app;
    app.start();
    showActive(Settings);
    auto *others = Settings->findChild<QGroupBox *>(u"GroupBox2"_s);
    QVERIFY(!others->isVisible());
    QWidget *link = Settings->findChild<QWidget *>(u"Label7"_s);
    for (int i = 0; i < 40 && QApplication::focusWidget() != link; ++i)
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : Settings, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), link);
    QTest::keyClick(link, Qt::Key_Space);
    QVERIFY(others->isVisible());
    QWidget *general = Settings->findChild<QWidget *>(u"Label8"_s);
    for (int i = 0; i < 40 && QApplication::focusWidget() != general; ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget(), general);
    QTest::keyClick(general, Qt::Key_Return);
    QVERIFY(!others->isVisible());
}

void TestKeyboard::viewWindowClosesWithEscape()
{
    AppFixture app;
    app.start();
    showActive(ViewF);
    QWidget *field = ViewF->focusWidget() ? ViewF->focusWidget() : ViewF;
    QTest::keyClick(field, Qt::Key_Escape);
    QVERIFY(!ViewF->isVisible());
}

QTEST_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
