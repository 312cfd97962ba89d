#include "AboutWindow.h"
#include "AppFixture.h"
#include "AppWindows.h"
#include "HelpWindow.h"
#include "Language.h"
#include "ClientLibrary.h"
#include "FbQuery.h"
#include "LangStr.h"
#include "ListPrint.h"
#include "MainWindow.h"
#include "PrintDBGridEh.h"
#include "SettingsList.h"
#include "UserPrompts.h"
#include "WebLinks.h"
#include "ui_MainWindow.h"

#include <QClipboard>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPrintPreviewWidget>
#include <QTextBrowser>
#include <QTextDocument>
#include <QToolButton>
#include <QPushButton>
#include <QtTest>

#include <memory>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(WebLinks::Page)

namespace {

constexpr int kBooksPage = 0;
constexpr int kGivenPage = 1;
constexpr int kInfoPage = 2;
constexpr int kSqlPage = 3;

void setLanguage(const QString &language)
{
    settingsList().setValue(u"Language"_s, language);
}

// What the print component was asked to show, read while its preview was open.
struct PreviewSeen {
    QStringList header;
    QStringList footer;
    QColor footerColor;
    DBGridEh *grid = nullptr;
    int pages = 0;
};

} // namespace

class TestInfo : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();

    void printFollowsPageOnShow_data();
    void printFollowsPageOnShow();
    void headerText();
    void aboutWindowFollowsLanguageAtEveryShow();
    void clientLibraryDescription_data();
    void clientLibraryDescription();
    void webLinks_data();
    void webLinks();
    void guideFolderFromWhereTheProgramLies_data();
    void guideFolderFromWhereTheProgramLies();
    void f1OpensTheGuideAtTheWindowInUse_data();
    void f1OpensTheGuideAtTheWindowInUse();
    void guideSearchBackAndForward();
    void guideCoversEveryMenuItem_data();
    void guideCoversEveryMenuItem();
    void linkWithoutBrowserOffersTheAddress();

private:
    // Triggers the action; the previews it opened, each closed at once.
    QList<PreviewSeen> previewsOf(const std::function<void()> &trigger);
    // Opens the about window as Info → About does and runs check while it is on show.
    void withAboutWindow(const std::function<void(TAboutBox *)> &check);

    std::unique_ptr<AppFixture> m_app;
    QList<QUrl> m_opened;
};

void TestInfo::initTestCase()
{
    AppFixture::Files files;
    files.profile = true;
    m_app = std::make_unique<AppFixture>(files);
    m_app->start();
    FbQuery insert(MainF->IBDatabase1());
    insert.setSqlText(u"INSERT INTO book (title, author, iyear, publisher, genre) VALUES ('Kobzar', 'Shevchenko', "
                      "'1840', 'Dnipro', 'Poetry')"_s);
    insert.execSQL();
    MainF->RefreshBooks();
    // The connection settings window shows the connected library at its next status tick.
    QTRY_VERIFY(connectionSettingsPath().endsWith(u"LIBRARY.GDB"_s));
    WebLinks::setOpener([this](const QUrl &url) { m_opened.append(url); });
}

void TestInfo::cleanupTestCase()
{
    WebLinks::setOpener({});
    m_app.reset();
}

void TestInfo::init()
{
    setLanguage(u"en"_s);
    m_opened.clear();
}

QList<PreviewSeen> TestInfo::previewsOf(const std::function<void()> &trigger)
{
    QList<PreviewSeen> seen;
    PrintDBGridEh *engine = MainF->PrintDBGridEh1();
    const QMetaObject::Connection watch =
        connect(engine, &PrintDBGridEh::previewOpened, this, [&seen, engine](QWidget *preview) {
            QTimer::singleShot(0, preview, [&seen, engine, preview] {
                const auto *pages = preview->findChild<QPrintPreviewWidget *>();
                seen.append({engine->PageHeader().centerText, engine->PageFooter().centerText,
                             engine->PageFooter().color, engine->dbGridEh(), pages ? pages->pageCount() : 0});
                qobject_cast<QDialog *>(preview)->reject();
            });
        });
    trigger();
    disconnect(watch);
    return seen;
}

void TestInfo::printFollowsPageOnShow_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("listKey"); // empty: nothing is printed
    QTest::addColumn<QString>("grid");
    QTest::newRow("books, English") << kBooksPage << u"en"_s << u"lview"_s << u"DBGridEh1"_s;
    QTest::newRow("books, Russian") << kBooksPage << u"ru"_s << u"lview"_s << u"DBGridEh1"_s;
    QTest::newRow("given books, Ukrainian") << kGivenPage << u"ua"_s << u"ldbnbks"_s << u"DBGridEh2"_s;
    QTest::newRow("information page") << kInfoPage << u"en"_s << QString() << QString();
    QTest::newRow("SQL page") << kSqlPage << u"en"_s << QString() << QString();
}

void TestInfo::printFollowsPageOnShow()
{
    QFETCH(int, page);
    QFETCH(QString, language);
    QFETCH(QString, listKey);
    QFETCH(QString, grid);
    MainF->setActivePage(page);
    setLanguage(language);
    Ui::TMainF *ui = MainF->form();

    // The menu item and the picture of the left frame, one after the other.
    const QList<PreviewSeen> previews = previewsOf([ui] {
        ui->Print1->trigger();
        QTest::mouseClick(ui->Image25, Qt::LeftButton);
    });
    if (listKey.isEmpty()) {
        QVERIFY(previews.isEmpty());
        return;
    }
    QCOMPARE(previews.size(), 2);
    const QRegularExpression header(
        u"^%1   (.+) \\((.+)\\)$"_s.arg(QRegularExpression::escape(LangStr(listKey))));
    for (const PreviewSeen &preview : previews) {
        QCOMPARE(preview.header.size(), 1);
        const QRegularExpressionMatch match = header.match(preview.header.first());
        QVERIFY2(match.hasMatch(), qPrintable(preview.header.first()));
        QCOMPARE(match.captured(1), QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat));
        QVERIFY(QTime::fromString(match.captured(2), QLocale::system().timeFormat(QLocale::LongFormat)).isValid()
                || QTime::fromString(match.captured(2), u"HH:mm:ss"_s).isValid());
        QCOMPARE(preview.footer, QStringList{u"::: Bibliora ::: Database - "_s + connectionSettingsPath()});
        QCOMPARE(preview.footerColor, QColor(128, 128, 128));
        QCOMPARE(preview.grid->objectName(), grid);
        QVERIFY(preview.pages >= 1);
    }
    QVERIFY(UserPrompts::shownMessages().isEmpty());
}

void TestInfo::headerText()
{
    const QLocale locale(QLocale::English, QLocale::UnitedKingdom);
    const QDateTime when(QDate(2006, 12, 9), QTime(14, 3, 27));
    QCOMPARE(ListPrint::headerText(u"Books"_s, when, locale),
             u"Books   "_s + locale.toString(when.date(), QLocale::ShortFormat) + u" (14:03:27)"_s);
}

void TestInfo::withAboutWindow(const std::function<void(TAboutBox *)> &check)
{
    bool checked = false;
    QTimer::singleShot(0, MainF, [&] {
        auto *about = qobject_cast<TAboutBox *>(QApplication::activeModalWidget());
        QVERIFY(about);
        check(about);
        checked = true;
        about->findChild<QPushButton *>(u"OKButton"_s)->click();
    });
    MainF->form()->N3->trigger();
    QVERIFY(checked);
}

void TestInfo::aboutWindowFollowsLanguageAtEveryShow()
{
    TAboutBox *first = nullptr;
    for (const QString &language : {u"ru"_s, u"ua"_s, u"en"_s}) {
        setLanguage(language);
        withAboutWindow([&](TAboutBox *about) {
            if (!first)
                first = about;
            QCOMPARE(about, first); // made once, then shown again
            QVERIFY(about->isModal());
            QVERIFY(about->windowOpacity() < 1.0); // fading in anew
            const auto text = [about](const char *name) {
                return about->findChild<QLabel *>(QString::fromLatin1(name))->text();
            };
            QCOMPARE(about->windowTitle(), LangStr(u"labout"_s));
            QCOMPARE(text("Label16"), LangStr(u"labout"_s));
            QCOMPARE(text("Version"), LangStr(u"labver"_s));
            QCOMPARE(text("Label4"), LangStr(u"labbld"_s));
            QCOMPARE(text("Label10"), LangStr(u"labforw"_s));
            QCOMPARE(text("Copyright"), LangStr(u"labauth"_s));
            QCOMPARE(text("Label2"), LangStr(u"labl2"_s));
            QCOMPARE(text("Label13"), LangStr(u"lab13"_s));
            QCOMPARE(text("Label14"), LangStr(u"lab14"_s));
            QCOMPARE(text("Label15"), LangStr(u"lab15"_s));
            QCOMPARE(text("Label12"), u"2.3"_s);
            QCOMPARE(text("Label11"), u"83"_s);
            // The engine as the client library reports it, not a fixed version.
            QCOMPARE(text("Label1"), LangStr(u"labl1"_s).arg(ClientLibrary::description()));
            QVERIFY(text("Label1").contains(QRegularExpression(u"Firebird \\d+\\.\\d+\\.\\d+ \\(libfbclient"_s)));
            QVERIFY(!about->findChild<QLabel *>(u"ProgramIcon"_s)->pixmap().isNull());
            QVERIFY(about->findChild<QPushButton *>(u"OKButton"_s)->isDefault());
            QTRY_COMPARE(about->windowOpacity(), 1.0);
        });
    }
    QVERIFY(!first->isVisible());
    QCOMPARE(first->windowOpacity(), 0.0);
}

void TestInfo::clientLibraryDescription_data()
{
    QTest::addColumn<QString>("version");
    QTest::addColumn<QString>("library");
    QTest::addColumn<QString>("expected");
    QTest::newRow("Linux client") << u"LI-V6.3.11.33703 Firebird 3.0"_s
                                  << u"/usr/lib/x86_64-linux-gnu/libfbclient.so.2"_s
                                  << u"Firebird 3.0.11 (libfbclient.so.2)"_s;
    QTest::newRow("Windows client") << u"WI-V6.3.7.33374 Firebird 3.0"_s << u"C:/Firebird/fbclient.dll"_s
                                    << u"Firebird 3.0.7 (fbclient.dll)"_s;
    QTest::newRow("no release number") << u"Firebird 4.0"_s << QString() << u"Firebird 4.0"_s;
    QTest::newRow("unknown text kept") << u" Some engine "_s << u"/lib/libgds.so"_s << u"Some engine (libgds.so)"_s;
}

void TestInfo::clientLibraryDescription()
{
    QFETCH(QString, version);
    QFETCH(QString, library);
    QFETCH(QString, expected);
    QCOMPARE(ClientLibrary::describe(version, library), expected);
}

void TestInfo::webLinks_data()
{
    QTest::addColumn<QString>("trigger");
    QTest::addColumn<WebLinks::Page>("page");
    QTest::newRow("Info: updates") << u"N12"_s << WebLinks::Page::Updates;
    QTest::newRow("Info: site 1") << u"N13"_s << WebLinks::Page::Site;
    QTest::newRow("Info: site 2") << u"N21"_s << WebLinks::Page::SiteMirror;
    QTest::newRow("about: picture") << u"ProgramIcon"_s << WebLinks::Page::About;
    QTest::newRow("about: site") << u"Label5"_s << WebLinks::Page::Site;
    QTest::newRow("about: engine") << u"Label1"_s << WebLinks::Page::Engine;
    QTest::newRow("about: grid library") << u"Label2"_s << WebLinks::Page::GridLibrary;
    QTest::newRow("about: Debian") << u"Label21"_s << WebLinks::Page::Debian;
    QTest::newRow("about: Unicode") << u"Label23"_s << WebLinks::Page::Unicode;
}

void TestInfo::webLinks()
{
    QFETCH(QString, trigger);
    QFETCH(WebLinks::Page, page);
    if (auto *action = MainF->findChild<QAction *>(trigger)) {
        action->trigger();
    } else {
        withAboutWindow([&](TAboutBox *about) {
            auto *label = about->findChild<QLabel *>(trigger);
            QVERIFY(label);
            if (trigger == u"ProgramIcon"_s)
                QTest::mouseDClick(label, Qt::LeftButton);
            else
                QTest::mouseClick(label, Qt::LeftButton);
        });
    }
    QCOMPARE(m_opened, QList<QUrl>{WebLinks::address(page)});
    const QUrl url = WebLinks::address(page);
    // The program's own pages are the user guide beside it; the credits are the projects' sites.
    if (url.isLocalFile())
        QCOMPARE(QFileInfo(url.toLocalFile()).dir().path(), WebLinks::guideFolder());
    else
        QCOMPARE(url.scheme(), u"https"_s);
}

void TestInfo::guideFolderFromWhereTheProgramLies_data()
{
    QTest::addColumn<QStringList>("folders");
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("guide");
    QTest::newRow("build tree: beside the program")
        << QStringList{u"build/src/guide"_s} << u"build/src"_s << u"build/src/guide"_s;
    QTest::newRow("installed: in the shared data")
        << QStringList{u"usr/lib/bibliora"_s, u"usr/share/bibliora/guide"_s} << u"usr/lib/bibliora"_s
        << u"usr/share/bibliora/guide"_s;
    // Nothing found: still the installed place, never a folder of the build tree.
    QTest::newRow("installed without its guide")
        << QStringList{u"opt/lib/bibliora"_s, u"build/src/guide"_s} << u"opt/lib/bibliora"_s
        << u"opt/share/bibliora/guide"_s;
}

void TestInfo::guideFolderFromWhereTheProgramLies()
{
    QFETCH(QStringList, folders);
    QFETCH(QString, program);
    QFETCH(QString, guide);
    QTemporaryDir root;
    for (const QString &folder : folders)
        QVERIFY(QDir(root.path()).mkpath(folder));
    QCOMPARE(WebLinks::guideFolderFor(root.filePath(program)), root.filePath(guide));
}

void TestInfo::f1OpensTheGuideAtTheWindowInUse_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("page"); // below the guide folder, with its anchor
    QTest::newRow("main window, English") << u"en"_s << u"MainF"_s << u"menus.html#main"_s;
    QTest::newRow("add window, Russian") << u"ru"_s << u"add"_s << u"ru/menus.html#add"_s;
    QTest::newRow("settings, Ukrainian") << u"ua"_s << u"Settings"_s << u"ua/menus.html#settings"_s;
}

void TestInfo::f1OpensTheGuideAtTheWindowInUse()
{
    QFETCH(QString, language);
    QFETCH(QString, window);
    QFETCH(QString, page);
    setLanguage(language);
    QWidget *inUse = nullptr;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->objectName() == window)
            inUse = w;
    QVERIFY(inUse);
    inUse->show();
    inUse->raise();
    inUse->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(inUse));
    QWidget *focus = inUse->focusWidget() ? inUse->focusWidget() : inUse;
    QTest::keyClick(focus, Qt::Key_F1);
    QVERIFY(HelpF && HelpF->isVisible());
    const QUrl shown = HelpF->currentPage();
    QCOMPARE(QDir(WebLinks::guideFolder()).relativeFilePath(shown.toLocalFile()) + u'#' + shown.fragment(), page);
    QVERIFY(m_opened.isEmpty()); // no browser
    // Over the program's window, not in a corner of the screen; the page fills the window's height.
    QVERIFY(HelpF->frameGeometry().contains(MainF->frameGeometry().center()));
    QTRY_VERIFY(HelpF->findChild<QTextBrowser *>(u"Browser"_s)->height() > HelpF->height() * 3 / 4);
    HelpF->close();
    if (inUse != MainF)
        inUse->hide();
    setLanguage(u"en"_s);
}

void TestInfo::guideSearchBackAndForward()
{
    MainF->form()->N11->trigger();
    QVERIFY(HelpF->isVisible());
    const QUrl first = HelpF->currentPage();
    auto *search = HelpF->findChild<QLineEdit *>(u"SearchEd"_s);
    search->setFocus();
    QTest::keyClicks(search, u"backup of the open library"_s);
    QTest::keyClick(search, Qt::Key_Return);
    const QUrl found = HelpF->currentPage();
    QCOMPARE(QFileInfo(found.toLocalFile()).fileName(), u"menus.html"_s);
    QCOMPARE(HelpF->findChild<QTextBrowser *>(u"Browser"_s)->textCursor().selectedText(),
             u"backup of the open library"_s);
    // Pages that do not hold the text leave the list.
    auto *pages = HelpF->findChild<QListWidget *>(u"PagesList"_s);
    int listed = 0;
    for (int row = 0; row < pages->count(); ++row)
        listed += pages->item(row)->isHidden() ? 0 : 1;
    QCOMPARE(listed, 1);

    // A link to another page, then back and forward.
    auto *browser = HelpF->findChild<QTextBrowser *>(u"Browser"_s);
    emit browser->anchorClicked(QUrl(u"updates.html"_s));
    QCOMPARE(QFileInfo(HelpF->currentPage().toLocalFile()).fileName(), u"updates.html"_s);
    QTest::mouseClick(HelpF->findChild<QToolButton *>(u"BackBtn"_s), Qt::LeftButton);
    QCOMPARE(HelpF->currentPage().adjusted(QUrl::RemoveFragment), found.adjusted(QUrl::RemoveFragment));
    QTest::mouseClick(HelpF->findChild<QToolButton *>(u"ForwardBtn"_s), Qt::LeftButton);
    QCOMPARE(QFileInfo(HelpF->currentPage().toLocalFile()).fileName(), u"updates.html"_s);
    // A link to a site goes to the browser.
    emit browser->anchorClicked(QUrl(u"https://firebirdsql.org/"_s));
    QCOMPARE(m_opened, QList<QUrl>{QUrl(u"https://firebirdsql.org/"_s)});
    QTest::keyClick(browser, Qt::Key_Escape);
    QVERIFY(!HelpF->isVisible());
    Q_UNUSED(first);
}

void TestInfo::guideCoversEveryMenuItem_data()
{
    QTest::addColumn<QString>("language");
    QTest::newRow("English") << u"en"_s;
    QTest::newRow("Russian") << u"ru"_s;
    QTest::newRow("Ukrainian") << u"ua"_s;
}

void TestInfo::guideCoversEveryMenuItem()
{
    QFETCH(QString, language);
    setLanguage(language);
    ApplyLanguage();
    QString guide;
    const QDir folder(HelpWindow::languageFolder(language));
    QVERIFY(language == u"en"_s || folder.dirName() == language);
    for (const QString &file : folder.entryList({u"*.html"_s}, QDir::Files)) {
        QFile page(folder.filePath(file));
        QVERIFY(page.open(QIODevice::ReadOnly));
        QTextDocument text;
        text.setHtml(QString::fromUtf8(page.readAll()));
        guide += text.toPlainText() + u'\n';
    }
    QStringList missing;
    for (QAction *menu : MainF->menuBar()->actions()) {
        if (!menu->menu())
            continue;
        for (QAction *item : menu->menu()->actions()) {
            const QString text = item->text().remove(u'&');
            if (!item->isSeparator() && !guide.contains(text))
                missing << text;
        }
    }
    setLanguage(u"en"_s);
    ApplyLanguage();
    QVERIFY2(missing.isEmpty(), qPrintable(missing.join(u", "_s)));
}

void TestInfo::linkWithoutBrowserOffersTheAddress()
{
    QGuiApplication::clipboard()->clear();
    UserPrompts::clearShownMessages();
    UserPrompts::setNextAnswer(QMessageBox::Yes);
    WebLinks::offerAddress(QUrl(u"https://firebirdsql.org/"_s));
    QCOMPARE(UserPrompts::shownMessages(),
             QStringList{u"No web browser could open the address\rhttps://firebirdsql.org/\rCopy the address to the clipboard?"_s});
    QCOMPARE(QGuiApplication::clipboard()->text(), u"https://firebirdsql.org/"_s);
    // "No" copies nothing.
    QGuiApplication::clipboard()->clear();
    UserPrompts::setNextAnswer(QMessageBox::No);
    WebLinks::offerAddress(QUrl(u"https://www.qt.io/"_s));
    QVERIFY(QGuiApplication::clipboard()->text().isEmpty());
}

QTEST_MAIN(TestInfo)
#include "tst_info.moc"
