#include "AddBookWindow.h"
#include "AppFixture.h"
#include "BatchEntryWindow.h"
#include "CameraScanWindow.h"
#include "ChangeBookWindow.h"
#include "ClickableLabel.h"
#include "CoverFetch.h"
#include "Ean13Picture.h"
#include "EventConsole.h"
#include "FbDatabase.h"
#include "IsbnActions.h"
#include "FbQuery.h"
#include "FbTransaction.h"
#include "LangStr.h"
#include "LoopbackServer.h"
#include "MainWindow.h"
#include "SourceList.h"
#include "TestLibrary.h"
#include "UserPrompts.h"
#include "ViewBookWindow.h"

#include <QAction>
#include <QVideoFrame>
#include <QVideoFrameFormat>
#include <QVideoSink>
#include <cstring>
#include <QBuffer>
#include <QImage>
#include <QComboBox>
#include <QTableWidget>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace
{

template <typename T> T *child(QWidget *window, const char *name)
{
    T *found = window->findChild<T *>(QLatin1String(name));
    if (!found)
        qFatal("no control %s", name);
    return found;
}

QString text(QWidget *window, const char *name)
{
    if (auto *box = window->findChild<QComboBox *>(QLatin1String(name)))
        return box->currentText();
    return child<QLineEdit>(window, name)->text();
}

QStringList rows(const QString &sql)
{
    return TestLibrary::rows(*MainF->IBDatabase1(), sql);
}

void execute(const QString &sql)
{
    FbQuery q(MainF->IBDatabase1());
    q.setSqlText(sql);
    q.execSQL();
}

// The add window's ISBN box, typed into and ended with Enter as a scanner does.
void scan(const QString &isbn)
{
    QLineEdit *edit = child<QLineEdit>(add, "addIsbn");
    edit->setFocus();
    edit->clear();
    QTest::keyClicks(edit, isbn);
    QTest::keyClick(edit, Qt::Key_Return);
}

// Open Library knows one book, Google Books another, the SRU catalogue the Cyrillic ones.
void serveCatalogues(LoopbackServer &server, const QString &dir)
{
    // The recorded answers name the services' own cover addresses; here they lead to loopback.
    const QByteArray covers = server.base(QStringLiteral("/covers")).toLatin1();
    const auto answer = [covers](const char *file) {
        return LoopbackServer::answer(QLatin1String(file))
            .replace("https://covers.openlibrary.org", covers)
            .replace("http://books.google.com", covers);
    };
    server.setRoute(QStringLiteral("/ol"), [answer](const QString &target) {
        return LoopbackServer::Reply{200, answer(target.contains(QLatin1String("9780140449136"))
                                                     ? "openlibrary_9780140449136.json"
                                                     : "openlibrary_empty.json")};
    });
    server.setRoute(QStringLiteral("/gb"), [answer](const QString &target) {
        return LoopbackServer::Reply{200, answer(target.contains(QLatin1String("9780140449136"))
                                                     ? "google_9780140449136.json"
                                                     : "google_none.json")};
    });
    server.setRoute(QStringLiteral("/covers"), [](const QString &) { return LoopbackServer::Reply{404, {}}; });
    server.setRoute(QStringLiteral("/sru"), [](const QString &target) {
        const char *file = target.contains(QLatin1String("9789660354128"))   ? "sru_unimarc_9789660354128.xml"
                           : target.contains(QLatin1String("9785170906307")) ? "sru_marc21_9785170906307.xml"
                                                                             : "sru_zero.xml";
        return LoopbackServer::Reply{200, LoopbackServer::answer(QLatin1String(file))};
    });
    SourceList list;
    list.sources = {{SourceSetting::Kind::OpenLibrary, true, server.base(QStringLiteral("/ol"))},
                    {SourceSetting::Kind::GoogleBooks, true, server.base(QStringLiteral("/gb"))},
                    {SourceSetting::Kind::Sru, true, server.base(QStringLiteral("/sru/db"))}};
    QVERIFY(list.write(dir + QLatin1Char('/') + SourceList::fileName()));
}

} // namespace

class TestIsbnWindows : public QObject
{
    Q_OBJECT
private slots:
    void init() { UserPrompts::clearShownMessages(); }
    void tableIsMadeOnConnect();
    void scannerFillsAddWindowAndNextSource();
    void cyrillicBookFromUnimarc();
    void wrongCheckDigitIsSaidAndNothingSent();
    void barcodeFromPhotoFile();
    void cameraOfferedOnlyWhereThereIsOne();
    void cameraWindowReadsTheBarcodeInSight();
    void duplicateWarningNamesTheBook();
    void changeAndViewWindows();
    void coverIsFetchedStoredAndShown_data();
    void coverIsFetchedStoredAndShown();
    void batchStoresAllOrNothing();
    void liveServices();
};

void TestIsbnWindows::tableIsMadeOnConnect()
{
    AppFixture app;
    app.start();
    QCOMPARE(rows(QStringLiteral("SELECT COUNT(*) FROM rdb$relations WHERE rdb$relation_name = 'BOOK_ISBN'")),
             QStringList{QStringLiteral("1")});
    QVERIFY(AppFixture::consoleMessages().contains(LangStr(QStringLiteral("cisbntable"))));
    // Once there, a reconnection leaves it alone.
    UserPrompts::clearShownMessages();
    MainF->ConnectDatabase();
    QCOMPARE(AppFixture::consoleMessages().count(LangStr(QStringLiteral("cisbntable"))), 1);
}

void TestIsbnWindows::scannerFillsAddWindowAndNextSource()
{
    AppFixture app;
    LoopbackServer server;
    serveCatalogues(server, app.dir());
    app.start();
    add->show();
    scan(QStringLiteral("978-0-14-044913-6"));
    QTRY_COMPARE(text(add, "addTitle"), QStringLiteral("Crime and Punishment"));
    QCOMPARE(text(add, "addAuthor"), QStringLiteral("Fyodor Dostoyevsky"));
    QCOMPARE(text(add, "addYear"), QStringLiteral("2003"));
    QCOMPARE(text(add, "addPublisher"), QStringLiteral("Penguin Books"));
    QCOMPARE(text(add, "addClas"), QStringLiteral("891.73/3"));
    QCOMPARE(text(add, "addIsbn"), QStringLiteral("9780140449136"));
    QCOMPARE(child<QLabel>(add, "IsbnStatus")->text(), LangStr(QStringLiteral("cisbnfilled")).arg("Open Library"));
    // Enter in the ISBN box looked up; it did not add the book.
    QCOMPARE(rows(QStringLiteral("SELECT COUNT(*) FROM book")), QStringList{QStringLiteral("0")});

    // The next source replaces the whole record, the fields it lacks included.
    QTest::mouseClick(child<ClickableLabel>(add, "IsbnNextLnk"), Qt::LeftButton);
    QTRY_COMPARE(child<QLabel>(add, "IsbnStatus")->text(), LangStr(QStringLiteral("cisbnfilled")).arg("Google Books"));
    QCOMPARE(text(add, "addAuthor"), QStringLiteral("Fedor Dostoevskij"));
    QCOMPARE(text(add, "addPlace"), QString());
    QCOMPARE(text(add, "addTitle"), QStringLiteral("Crime and Punishment: A New Translation with an Introduction and"));

    // The source that filled the window is stored with the book.
    child<QPushButton>(add, "AddBook")->click();
    QCOMPARE(rows(QStringLiteral("SELECT b.author, i.isbn, i.source FROM book b JOIN book_isbn i ON i.book_id = b.id")),
             QStringList{QStringLiteral("Fedor Dostoevskij|9780140449136|Google Books")});

    // A book none of them knows.
    scan(QStringLiteral("9780804429573"));
    QTRY_COMPARE(child<QLabel>(add, "IsbnStatus")->text(), LangStr(QStringLiteral("cisbnnone")));
    QVERIFY(child<ClickableLabel>(add, "IsbnNextLnk")->isHidden());
}

void TestIsbnWindows::cyrillicBookFromUnimarc()
{
    AppFixture app;
    LoopbackServer server;
    serveCatalogues(server, app.dir());
    app.start();
    add->show();
    scan(QStringLiteral("978-966-03-5412-8"));
    QTRY_COMPARE(text(add, "addTitle"), QStringLiteral("Кобзар: вибрані твори"));
    child<QPushButton>(add, "AddBook")->click();
    QCOMPARE(rows(QStringLiteral("SELECT title, author, iyear, seria, publisher, place, genre, description, clas FROM "
                                 "book")),
             QStringList{QStringLiteral("Кобзар: вибрані твори|Шевченко, Тарас Григорович|2012|Бібліотека "
                                        "української класики|Дніпро|Київ|Поезія|Збірка поезій|821.161.2-1")});
    // The console tells which catalogues said what.
    const QStringList console = AppFixture::consoleMessages();
    QVERIFY(console.contains(QStringLiteral("ISBN 9789660354128, Open Library: ") + LangStr("cisbnrnone")));
    QVERIFY(console.contains(QStringLiteral("ISBN 9789660354128, SRU 127.0.0.1: ") + LangStr("cisbnrfound")));
}

void TestIsbnWindows::wrongCheckDigitIsSaidAndNothingSent()
{
    AppFixture app;
    LoopbackServer server;
    serveCatalogues(server, app.dir());
    app.start();
    add->show();
    QLineEdit *edit = child<QLineEdit>(add, "addIsbn");
    edit->setFocus();
    QTest::keyClicks(edit, QStringLiteral("978014044913"));
    QCOMPARE(child<QLabel>(add, "IsbnStatus")->text(), QString()); // still being typed
    QTest::keyClicks(edit, QStringLiteral("7"));
    QCOMPARE(child<QLabel>(add, "IsbnStatus")->text(), LangStr(QStringLiteral("cisbncheck")));
    QTest::keyClick(edit, Qt::Key_Return);
    QTest::mouseClick(child<ClickableLabel>(add, "IsbnLookupLnk"), Qt::LeftButton);
    QCOMPARE(server.requests(), QStringList());

    // Adding with it is refused before anything is run.
    for (const char *name : {"addTitle", "addAuthor", "addYear", "addPublisher", "addGenre"})
        if (auto *box = add->findChild<QComboBox *>(QLatin1String(name)))
            box->setEditText(QStringLiteral("1999"));
        else
            child<QLineEdit>(add, name)->setText(QStringLiteral("T"));
    child<QPushButton>(add, "AddBook")->click();
    QCOMPARE(UserPrompts::shownMessages().value(0),
             LangStr(QStringLiteral("cisbnrefused")) + LangStr(QStringLiteral("cisbncheck")));
    QCOMPARE(rows(QStringLiteral("SELECT COUNT(*) FROM book")), QStringList{QStringLiteral("0")});
}

void TestIsbnWindows::barcodeFromPhotoFile()
{
    AppFixture app;
    LoopbackServer server;
    serveCatalogues(server, app.dir());
    app.start();
    add->show();
    const QString photo = app.path(QStringLiteral("back cover.jpg"));
    QVERIFY(photographed(drawEan13(QStringLiteral("9785170906307"), 4), -3).save(photo, "JPG", 85));
    UserPrompts::setNextFileName(photo);
    QTest::mouseClick(child<ClickableLabel>(add, "IsbnPictureLnk"), Qt::LeftButton);
    QTRY_COMPARE(text(add, "addTitle"), QStringLiteral("Мастер и Маргарита: роман"));
    QCOMPARE(text(add, "addIsbn"), QStringLiteral("9785170906307"));

    QImage blank(400, 300, QImage::Format_RGB32);
    blank.fill(Qt::white);
    QVERIFY(blank.save(photo, "JPG"));
    UserPrompts::setNextFileName(photo);
    QTest::mouseClick(child<ClickableLabel>(add, "IsbnPictureLnk"), Qt::LeftButton);
    QCOMPARE(child<QLabel>(add, "IsbnStatus")->text(), LangStr(QStringLiteral("cisbnnobar")));
    QCOMPARE(text(add, "addTitle"), QStringLiteral("Мастер и Маргарита: роман"));
    add->hide();

    // The batch window takes a photo as a scan; a picture without a barcode adds nothing.
    MainF->findChild<QAction *>(QStringLiteral("BatchEntry1"))->trigger();
    auto *window = MainF->findChild<BatchEntryWindow *>();
    QVERIFY(window && window->isVisible());
    UserPrompts::setNextFileName(photo);
    QTest::mouseClick(child<QPushButton>(window, "batchPicture"), Qt::LeftButton);
    QCOMPARE(child<QLabel>(window, "batchStatus")->text(), LangStr(QStringLiteral("cisbnnobar")));
    auto *list = child<QTableWidget>(window, "batchList");
    QCOMPARE(list->rowCount(), 0);
    QVERIFY(photographed(drawEan13(QStringLiteral("9785170906307"), 4), 2).save(photo, "JPG", 85));
    UserPrompts::setNextFileName(photo);
    QTest::mouseClick(child<QPushButton>(window, "batchPicture"), Qt::LeftButton);
    QCOMPARE(list->rowCount(), 1);
    QTRY_COMPARE(list->item(0, 1)->text(), LangStr("lbatchfound"));
    window->close();
}

void TestIsbnWindows::cameraOfferedOnlyWhereThereIsOne()
{
    AppFixture app;
    app.start();
    add->show();
    QCOMPARE(child<ClickableLabel>(add, "IsbnCameraLnk")->isVisibleTo(add), CameraScanWindow::cameraPresent());
    BatchEntryWindow *batch = IsbnActions::batchWindow(MainF);
    batch->show();
    QCOMPARE(child<QPushButton>(batch, "batchCamera")->isVisible(), CameraScanWindow::cameraPresent());
    batch->hide();
}

// A frame as a camera would deliver it.
static QVideoFrame cameraFrame(const QImage &picture)
{
    const QImage image = picture.convertToFormat(QImage::Format_RGBA8888);
    QVideoFrame frame(QVideoFrameFormat(image.size(), QVideoFrameFormat::Format_RGBA8888));
    if (!frame.map(QVideoFrame::WriteOnly))
        return {};
    for (int y = 0; y < image.height(); ++y)
        std::memcpy(frame.bits(0) + y * frame.bytesPerLine(0), image.constScanLine(y), size_t(image.width()) * 4);
    frame.unmap();
    return frame;
}

// Frames without a barcode pass; the first with one closes the window with its digits.
void TestIsbnWindows::cameraWindowReadsTheBarcodeInSight()
{
    AppFixture app;
    app.start();
    CameraScanWindow window(add);
    window.show();
    QImage empty(640, 480, QImage::Format_RGB32);
    empty.fill(Qt::lightGray);
    window.videoSink()->setVideoFrame(cameraFrame(empty));
    QVERIFY(window.isVisible());
    QCOMPARE(window.digits(), QString());
    const QImage page = photographed(drawEan13(QStringLiteral("9780140449136"), 3), 4);
    // Frames are read a few times a second: the camera keeps sending until one is read.
    QTRY_VERIFY_WITH_TIMEOUT((window.videoSink()->setVideoFrame(cameraFrame(page)), !window.isVisible()), 10000);
    QCOMPARE(window.result(), int(QDialog::Accepted));
    QCOMPARE(window.digits(), QStringLiteral("9780140449136"));
}

void TestIsbnWindows::duplicateWarningNamesTheBook()
{
    AppFixture app;
    app.start();
    add->show();
    for (const char *name : {"addAuthor", "addYear", "addPublisher", "addGenre"})
        child<QComboBox>(add, name)->setEditText(QStringLiteral("2001"));
    child<QLineEdit>(add, "addTitle")->setText(QStringLiteral("It's mine"));
    child<QLineEdit>(add, "addIsbn")->setText(QStringLiteral("0-14-044913-2"));
    child<QPushButton>(add, "AddBook")->click();
    QCOMPARE(rows(QStringLiteral("SELECT book_id, isbn, source FROM book_isbn")),
             QStringList{QStringLiteral("1|9780140449136|")});
    execute(QStringLiteral("INSERT INTO given (given_id, given_to, given_date) VALUES (1, 'Ann', '2026-12-01')"));

    // The same ISBN typed as ISBN-13: the user is told which book it is and says No.
    child<QLineEdit>(add, "addIsbn")->setText(QStringLiteral("9780140449136"));
    UserPrompts::setNextAnswer(QMessageBox::No);
    child<QPushButton>(add, "AddBook")->click();
    const QString question = LangStr(QStringLiteral("cisbndup"))
                                 .arg(QStringLiteral("9780140449136"), QStringLiteral("1"), QStringLiteral("It's mine"),
                                      LangStr(QStringLiteral("cisbnlentto")).arg(QStringLiteral("Ann")));
    QCOMPARE(UserPrompts::shownMessages(), QStringList{question});
    QCOMPARE(rows(QStringLiteral("SELECT COUNT(*) FROM book")), QStringList{QStringLiteral("1")});

    // Yes adds the second copy with its ISBN.
    UserPrompts::setNextAnswer(QMessageBox::Yes);
    child<QPushButton>(add, "AddBook")->click();
    QCOMPARE(rows(QStringLiteral("SELECT book_id, isbn FROM book_isbn ORDER BY book_id")),
             (QStringList{QStringLiteral("1|9780140449136"), QStringLiteral("2|9780140449136")}));
}

void TestIsbnWindows::coverIsFetchedStoredAndShown_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("kept");
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImage picture(180, 270, QImage::Format_RGB32);
    picture.fill(Qt::darkRed);
    picture.save(&buffer, "PNG");
    QTest::newRow("a picture") << 200 << png << true;
    QTest::newRow("not a picture") << 200 << QByteArray("<html>no cover</html>") << false;
    QTest::newRow("no cover there") << 404 << png << false;
    QTest::newRow("too large") << 200 << png + QByteArray(CoverFetch::kMaxBytes, '\0') << false;
}

// The cover a catalogue names comes after the fields, goes into the library with the ISBN and
// shows in the view window; anything that is not a picture is dropped without a word.
void TestIsbnWindows::coverIsFetchedStoredAndShown()
{
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(bool, kept);
    AppFixture app;
    LoopbackServer server;
    serveCatalogues(server, app.dir());
    server.setRoute(QStringLiteral("/covers"), [status, body](const QString &) {
        return LoopbackServer::Reply{status, body};
    });
    app.start();
    add->show();
    scan(QStringLiteral("9780140449136"));
    QTRY_COMPARE(text(add, "addTitle"), QStringLiteral("Crime and Punishment"));
    QLabel *cover = child<QLabel>(add, "IsbnCover");
    QTRY_VERIFY(server.requests().contains(QStringLiteral("/covers/b/id/1-M.jpg")));
    QTRY_VERIFY(!add->findChild<CoverFetch *>()->running());
    QCOMPARE(cover->isVisible(), kept);
    if (kept)
        QVERIFY(cover->pixmap().width() <= 80 && cover->pixmap().height() <= 120 && !cover->pixmap().isNull());
    child<QComboBox>(add, "addGenre")->setEditText(QStringLiteral("Novel"));
    child<QPushButton>(add, "AddBook")->click();
    QCOMPARE(rows(QStringLiteral("SELECT isbn, source FROM book_isbn")),
             QStringList{QStringLiteral("9780140449136|Open Library")});
    FbQuery stored(MainF->IBDatabase1());
    stored.setSqlText(QStringLiteral("SELECT cover FROM book_isbn"));
    stored.open();
    QCOMPARE(stored.value(0, 0).toByteArray(), kept ? body : QByteArray());

    MainF->RefreshBooks();
    ViewF->show();
    QTRY_COMPARE(child<QLineEdit>(ViewF, "getIsbn")->text(), QStringLiteral("9780140449136"));
    QCOMPARE(child<QLabel>(ViewF, "getCover")->isVisible(), kept);
}

void TestIsbnWindows::changeAndViewWindows()
{
    AppFixture app;
    app.start();
    execute(QStringLiteral("INSERT INTO book (title, author, iyear, publisher, genre) VALUES ('T', 'A', '1', 'P', 'G')"));
    MainF->RefreshBooks();
    ViewF->show();
    QCOMPARE(child<QLineEdit>(ViewF, "getIsbn")->text(), QString());

    cng->show();
    QLineEdit *isbn = child<QLineEdit>(cng, "cngIsbn");
    QCOMPARE(isbn->text(), QString());
    // A mistyped ISBN keeps every field of the book as it was.
    child<QLineEdit>(cng, "cngTitle")->setText(QStringLiteral("New title"));
    isbn->setText(QStringLiteral("9780140449137"));
    child<QPushButton>(cng, "Button1")->click();
    QCOMPARE(rows(QStringLiteral("SELECT title FROM book")), QStringList{QStringLiteral("T")});
    QVERIFY(cng->isVisible());

    isbn->setText(QStringLiteral("080442957X"));
    child<QPushButton>(cng, "Button1")->click();
    QCOMPARE(rows(QStringLiteral("SELECT b.title, i.isbn FROM book b JOIN book_isbn i ON i.book_id = b.id")),
             QStringList{QStringLiteral("New title|9780804429573")});
    QTRY_COMPARE(child<QLineEdit>(ViewF, "getIsbn")->text(), QStringLiteral("9780804429573"));

    // Emptied: the ISBN goes; the book stays.
    cng->show();
    QCOMPARE(child<QLineEdit>(cng, "cngIsbn")->text(), QStringLiteral("9780804429573"));
    child<QLineEdit>(cng, "cngIsbn")->clear();
    child<QPushButton>(cng, "Button1")->click();
    QCOMPARE(rows(QStringLiteral("SELECT COUNT(*) FROM book_isbn")), QStringList{QStringLiteral("0")});

    // Deleted with its book.
    execute(QStringLiteral("INSERT INTO book_isbn (book_id, isbn) VALUES (1, '9780804429573')"));
    execute(QStringLiteral("DELETE FROM book WHERE id = 1"));
    QCOMPARE(rows(QStringLiteral("SELECT COUNT(*) FROM book_isbn")), QStringList{QStringLiteral("0")});
}

void TestIsbnWindows::batchStoresAllOrNothing()
{
    AppFixture app;
    LoopbackServer server;
    serveCatalogues(server, app.dir());
    {
        // The library refuses one title, so that the batch meets a refusal halfway.
        FbDatabase db;
        FbTransaction tr(&db);
        db.setDatabaseName(app.path(QStringLiteral("LIBRARY.GDB")));
        db.setParams(TestLibrary::defaultParams());
        FbQuery q(&db);
        for (const char *sql : {"CREATE EXCEPTION refused_title 'refused by the library'",
                                "CREATE TRIGGER refuse_title FOR book BEFORE INSERT AS BEGIN IF (NEW.title = "
                                "'Refuse me') THEN EXCEPTION refused_title; END"}) {
            q.setSqlText(QLatin1String(sql));
            q.execSQL();
        }
        db.close();
    }
    app.start();
    MainF->findChild<QAction *>(QStringLiteral("BatchEntry1"))->trigger();
    auto *window = MainF->findChild<BatchEntryWindow *>();
    QVERIFY(window && window->isVisible());
    QLineEdit *scanBox = child<QLineEdit>(window, "batchIsbn");
    for (const char *isbn : {"9780140449136", "9785170906307", "9780804429573", "9780140449137", "0140449132"}) {
        QTest::keyClicks(scanBox, QLatin1String(isbn));
        QTest::keyClick(scanBox, Qt::Key_Return);
    }
    auto *list = child<QTableWidget>(window, "batchList");
    const auto results = [list] {
        QStringList texts;
        for (int row = 0; row < list->rowCount(); ++row)
            texts << list->item(row, 1)->text();
        return texts;
    };
    QTRY_COMPARE(results(), (QStringList{LangStr("lbatchfound"), LangStr("lbatchfound"), LangStr("lbatchnone"),
                                         LangStr("lbatchrefused"), LangStr("lbatchowned")}));
    QCOMPARE(list->item(1, 3)->text(), QStringLiteral("Булгаков, Михаил Афанасьевич"));

    // The book not found is finished by hand in the list, with the title the library refuses.
    const char *byHand[] = {"Refuse me", "Author", "1999", "Publisher", "Genre"};
    for (int c = 0; c < 5; ++c)
        list->item(2, 2 + c)->setText(QLatin1String(byHand[c]));
    UserPrompts::clearShownMessages();
    child<QPushButton>(window, "batchStore")->click();
    QVERIFY(UserPrompts::shownMessages().value(0).startsWith(LangStr(QStringLiteral("cbatchfailed"))));
    QCOMPARE(rows(QStringLiteral("SELECT COUNT(*) FROM book")), QStringList{QStringLiteral("0")});
    QCOMPARE(rows(QStringLiteral("SELECT COUNT(*) FROM book_isbn")), QStringList{QStringLiteral("0")});
    QCOMPARE(list->rowCount(), 5);

    list->item(2, 2)->setText(QStringLiteral("By hand"));
    child<QPushButton>(window, "batchStore")->click();
    QCOMPARE(UserPrompts::shownMessages().last(), LangStr(QStringLiteral("cbatchstored")).arg(3));
    QCOMPARE(rows(QStringLiteral("SELECT b.title, i.isbn, i.source FROM book b JOIN book_isbn i ON i.book_id = b.id "
                                 "ORDER BY b.id")),
             (QStringList{QStringLiteral("Crime and Punishment|9780140449136|Open Library"),
                          QStringLiteral("Мастер и Маргарита: роман|9785170906307|SRU 127.0.0.1"),
                          QStringLiteral("By hand|9780804429573|")}));
    QCOMPARE(list->rowCount(), 0);

    // Scanned again: the list names the copy the library holds.
    QTest::keyClicks(scanBox, QStringLiteral("9785170906307"));
    QTest::keyClick(scanBox, Qt::Key_Return);
    QCOMPARE(list->item(0, 1)->text(), LangStr(QStringLiteral("lbatchowned")));
    const QString owner = rows(QStringLiteral("SELECT book_id FROM book_isbn WHERE isbn = '9785170906307'")).value(0);
    QCOMPARE(list->item(0, 7)->text(), LangStr(QStringLiteral("cbatchowned"))
                                           .arg(owner, QStringLiteral("Мастер и Маргарита: роман"), LangStr("cisbnshelf")));
}

void TestIsbnWindows::liveServices()
{
    if (qEnvironmentVariableIsEmpty("BIBLIORA_LIVE_ISBN"))
        QSKIP("asks the real Open Library and Google Books over the internet; set BIBLIORA_LIVE_ISBN=1 to run it");
    AppFixture app;
    SourceList list = SourceList::defaults();
    list.timeoutMs = 15000;
    QVERIFY(list.write(app.path(SourceList::fileName())));
    app.start();
    add->show();
    scan(QStringLiteral("9780140449136"));
    QTRY_VERIFY_WITH_TIMEOUT(text(add, "addTitle").contains(QLatin1String("Crime"), Qt::CaseInsensitive), 60000);
}

QTEST_MAIN(TestIsbnWindows)
#include "tst_isbnwindows.moc"
