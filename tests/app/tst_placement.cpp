// Where windows open, on the screen the test runs with (CTest runs it on a 1280x1024 and a
// 1366x768 screen), in each language.
#include "AddBookWindow.h"
#include "AddConstantWindow.h"
#include "AppFixture.h"
#include "ConstantsWindow.h"
#include "Language.h"
#include "MainWindow.h"
#include "RegisterWindow.h"
#include "SavedQueriesWindow.h"
#include "SettingsList.h"
#include "Splash.h"
#include "ui_Splash.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace
{

QString describe(const QWidget *window)
{
    const QRect f = window->frameGeometry();
    return u"%1 at %2,%3 %4x%5"_s.arg(window->objectName()).arg(f.x()).arg(f.y()).arg(f.width()).arg(f.height());
}

// On the screen, whole, and over or beside its owner (not off in a corner).
QString misplaced(const QWidget *window, const QWidget *owner)
{
    const QRect screen = window->screen()->availableGeometry();
    if (!screen.contains(window->frameGeometry()))
        return describe(window) + u" runs off the screen"_s;
    const QRect near = owner->frameGeometry().adjusted(-40, -40, 40, 40);
    if (!near.intersects(window->frameGeometry()))
        return describe(window) + u" far from "_s + describe(owner);
    return {};
}

void switchLanguage(const QString &language)
{
    settingsList().setValue(u"Language"_s, language);
    ApplyLanguage();
}

} // namespace

class TestPlacement : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void firstStartFitsBesideTheSplash_data();
    void firstStartFitsBesideTheSplash();
    void modalWindowsOpenOverTheirOwner_data();
    void modalWindowsOpenOverTheirOwner();
    void statementFieldHasItsWidth_data();
    void statementFieldHasItsWidth();
};

void TestPlacement::initTestCase()
{
    qInfo() << "screen" << QGuiApplication::primaryScreen()->geometry();
}

void TestPlacement::firstStartFitsBesideTheSplash_data()
{
    QTest::addColumn<int>("language");
    QTest::newRow("English") << 0;
    QTest::newRow("Russian") << 1;
    QTest::newRow("Ukrainian") << 2;
}

void TestPlacement::firstStartFitsBesideTheSplash()
{
    QFETCH(int, language);
    AppFixture::Files files;
    files.settings = false;
    AppFixture app(files);
    bool waited = false;
    AppFixture::atFirstStartWait([&] {
        waited = true;
        SplashF->form()->LanguageCb->setCurrentIndex(language);
        SplashF->LanguageCbChange(language);
    });
    app.start(false);
    QVERIFY(waited);
    QApplication::processEvents();
    const QRect screen = SplashF->screen()->availableGeometry();
    QString problem;
    for (const QWidget *window : {static_cast<QWidget *>(SplashF), static_cast<QWidget *>(RegisterF)})
        if (!screen.contains(window->frameGeometry()))
            problem += describe(window) + u" runs off the screen; "_s;
    if (RegisterF->frameGeometry().intersects(SplashF->frameGeometry()))
        problem += describe(RegisterF) + u" covers the splash; "_s;
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
}

void TestPlacement::modalWindowsOpenOverTheirOwner_data()
{
    QTest::addColumn<QStringList>("languages");
    QTest::newRow("Ukrainian then English") << QStringList{u"ua"_s, u"en"_s};
    QTest::newRow("Russian") << QStringList{u"ru"_s};
}

void TestPlacement::modalWindowsOpenOverTheirOwner()
{
    QFETCH(QStringList, languages);
    AppFixture app;
    app.start();
    QVERIFY(QTest::qWaitForWindowExposed(MainF));
    QStringList problems;
    const auto inspectWhenShown = [&problems](QWidget *window, const QWidget *owner) {
        QTimer::singleShot(0, window, [&problems, window, owner] {
            const QString problem = misplaced(window, owner);
            if (!problem.isEmpty())
                problems << problem;
            window->close();
        });
    };
    for (const QString &language : std::as_const(languages)) {
        switchLanguage(language);
        // The saved-queries window, from the SQL page's "Load".
        inspectWhenShown(sqlF, MainF);
        MainF->findChild<QPushButton *>(u"SQLLoad"_s)->click();
        // The add-constant prompt, from the add-book window, after Escape closed an open list.
        add->show();
        add->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(add));
        add->setConstantLists({{u"Alpha"_s, u"Beta"_s}});
        auto *author = add->findChild<QComboBox *>(u"addAuthor"_s);
        author->setFocus();
        author->setEditText(u"Old"_s);
        QTest::keyClick(author->lineEdit(), Qt::Key_Down, Qt::AltModifier);
        QTRY_VERIFY(QApplication::activePopupWidget());
        QTest::keyClick(QApplication::activePopupWidget()->focusWidget(), Qt::Key_Escape);
        QTRY_VERIFY(!QApplication::activePopupWidget());
        inspectWhenShown(AddConstF, add);
        QTest::mouseClick(add->findChild<QLabel *>(u"Image1"_s), Qt::LeftButton);
        add->hide();
    }
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u'\n')));
}

void TestPlacement::statementFieldHasItsWidth_data()
{
    QTest::addColumn<QString>("language");
    QTest::newRow("English") << u"en"_s;
    QTest::newRow("Russian") << u"ru"_s;
    QTest::newRow("Ukrainian") << u"ua"_s;
}

// The SQL page's statement field is 395 pixels wide in the main window's size; the buttons beside
// it keep their whole captions and the group stays inside the page, in every language.
void TestPlacement::statementFieldHasItsWidth()
{
    QFETCH(QString, language);
    AppFixture app;
    app.start();
    QVERIFY(QTest::qWaitForWindowExposed(MainF));
    switchLanguage(language);
    MainF->findChild<QAction *>(u"Sql1"_s)->trigger();
    auto *field = MainF->findChild<QLineEdit *>(u"edSQL"_s);
    QTRY_VERIFY(field->isVisible());
    QWidget *group = field->parentWidget();
    const auto captionsWhole = [group] {
        for (const char *name : {"Button18", "SQLSave", "SQLLoad"}) {
            auto *button = group->findChild<QPushButton *>(QString::fromLatin1(name));
            if (button->width() < button->fontMetrics().horizontalAdvance(button->text()) + 12)
                return false;
        }
        return true;
    };
    QTRY_VERIFY(captionsWhole());
    QVERIFY(group->parentWidget()->rect().contains(group->geometry()));
    if (language == u"en"_s)
        QTRY_VERIFY2(field->width() >= 395, qPrintable(QString::number(field->width())));
}

QTEST_MAIN(TestPlacement)
#include "tst_placement.moc"
