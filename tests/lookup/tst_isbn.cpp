#include "BarcodeImage.h"
#include "Ean13Picture.h"
#include "BookRecord.h"
#include "GoogleBooksSource.h"
#include "Isbn.h"
#include "IsbnLookup.h"
#include "LoopbackServer.h"
#include "OpenLibrarySource.h"
#include "SourceList.h"
#include "SruSource.h"
#include "Z3950Source.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpSocket>
#include <QPainter>
#include <QRandomGenerator>
#include <QTransform>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QDeadlineTimer>
#include <QThread>
#include <QtTest>

#include <memory>

Q_DECLARE_METATYPE(Isbn::Problem)
Q_DECLARE_METATYPE(SourceAnswer::Kind)
Q_DECLARE_METATYPE(IsbnLookup::Outcome)
Q_DECLARE_METATYPE(IsbnLookup::SourceResult)

namespace
{

std::unique_ptr<IsbnSource> source(const QString &kind)
{
    if (kind == QLatin1String("openlibrary"))
        return std::make_unique<OpenLibrarySource>(QStringLiteral("http://127.0.0.1"));
    if (kind == QLatin1String("google"))
        return std::make_unique<GoogleBooksSource>(QStringLiteral("http://127.0.0.1"), QString());
    if (kind == QLatin1String("z3950"))
        return std::make_unique<Z3950Source>(QStringLiteral("127.0.0.1:210/Default"));
    return std::make_unique<SruSource>(QStringLiteral("http://127.0.0.1/sru"));
}

QStringList fields(const BookRecord &r)
{
    return {r.title, r.author, r.year, r.seria, r.publisher, r.place, r.genre, r.description, r.clas};
}

SourceList loopbackList(const LoopbackServer &server, const QStringList &prefixes, int timeoutMs = 5000)
{
    SourceList list;
    list.timeoutMs = timeoutMs;
    for (const QString &prefix : prefixes) {
        const SourceSetting::Kind kind = prefix.startsWith(QLatin1String("/ol"))   ? SourceSetting::Kind::OpenLibrary
                                         : prefix.startsWith(QLatin1String("/gb")) ? SourceSetting::Kind::GoogleBooks
                                                                                   : SourceSetting::Kind::Sru;
        list.sources.append({kind, true, server.base(prefix)});
    }
    return list;
}

} // namespace

class TestIsbn : public QObject
{
    Q_OBJECT
private slots:
    void checkDigits_data();
    void checkDigits();
    void mappingPerSource_data();
    void mappingPerSource();
    void answersThatAreNotTheBook_data();
    void answersThatAreNotTheBook();
    void sourceListFile();
    void lookupGoesOnToTheNextSource_data();
    void lookupGoesOnToTheNextSource();
    void lookupOfflineAndStop();
    void z3950AgainstYazTestServer();
    void z3950UnimarcInItsOwnCharacterSet_data();
    void z3950UnimarcInItsOwnCharacterSet();
    void ean13FromGeneratedPictures_data();
    void ean13FromGeneratedPictures();
};

void TestIsbn::checkDigits_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("isbn13");
    QTest::addColumn<Isbn::Problem>("problem");
    using P = Isbn::Problem;
    QTest::newRow("isbn-13") << "9780140449136" << "9780140449136" << P::None;
    QTest::newRow("hyphens and blanks") << " 978-0-14-044913 6 " << "9780140449136" << P::None;
    QTest::newRow("isbn-10 to 13") << "0-14-044913-2" << "9780140449136" << P::None;
    QTest::newRow("isbn-10 with X") << "080442957x" << "9780804429573" << P::None;
    QTest::newRow("979 prefix") << "979-10-90636-07-1" << "9791090636071" << P::None;
    QTest::newRow("13 wrong check digit") << "9780140449137" << "" << P::CheckDigit;
    QTest::newRow("10 wrong check digit") << "0140449133" << "" << P::CheckDigit;
    QTest::newRow("X inside") << "01404X9132" << "" << P::Character;
    QTest::newRow("EAN that is no book") << "4006381333931" << "" << P::Character;
    QTest::newRow("letters") << "ISBN 97801404" << "" << P::Character;
    QTest::newRow("too short") << "978014044913" << "" << P::Length;
    QTest::newRow("empty") << " - " << "" << P::Empty;
}

void TestIsbn::checkDigits()
{
    QFETCH(QString, typed);
    QFETCH(QString, isbn13);
    QFETCH(Isbn::Problem, problem);
    const Isbn::Checked checked = Isbn::check(typed);
    QCOMPARE(checked.problem, problem);
    QCOMPARE(checked.isbn13, isbn13);
}

void TestIsbn::mappingPerSource_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("isbn");
    QTest::addColumn<QStringList>("expected"); // title … class, cut and fitted as stored
    QTest::newRow("Open Library") << "openlibrary" << "openlibrary_9780140449136.json" << "9780140449136"
                                  << QStringList{"Crime and Punishment", "Fyodor Dostoyevsky", "2003", "",
                                                 "Penguin Books", "London", "Fiction",
                                                 "Translated with an introduction and notes by David McDuff.",
                                                 "891.73/3"};
    // Cut to the column widths; a Latin accent and a typographic hyphen fitted to Windows-1251.
    QTest::newRow("Google Books, second volume carries the ISBN")
        << "google" << "google_9780140449136.json" << "9780140449136"
        << QStringList{"Crime and Punishment: A New Translation with an Introduction and", "Fedor Dostoevskij", "2003",
                       "", "Penguin UK", "", "Fiction",
                       "Raskolnikov-a former student-commits a murder. The novel follows his conscience. The novel "
                       "follows his conscience. The novel follows his conscience. The novel follows his conscience. "
                       "The novel follows his conscience. The novel follows his conscience. The",
                       ""};
    QTest::newRow("SRU MARC 21, Russian") << "sru" << "sru_marc21_9785170906307.xml" << "9785170906307"
                                          << QStringList{"Мастер и Маргарита: роман", "Булгаков, Михаил Афанасьевич",
                                                         "2015", "Эксклюзивная классика", "АСТ", "Москва",
                                                         "Русская литература", "Роман о дьяволе в Москве",
                                                         "821.161.1-31"};
    QTest::newRow("SRU UNIMARC, Ukrainian") << "sru" << "sru_unimarc_9789660354128.xml" << "9789660354128"
                                            << QStringList{"Кобзар: вибрані твори", "Шевченко, Тарас Григорович",
                                                           "2012", "Бібліотека української класики", "Дніпро", "Київ",
                                                           "Поезія", "Збірка поезій", "821.161.2-1"};
}

void TestIsbn::mappingPerSource()
{
    QFETCH(QString, kind);
    QFETCH(QString, file);
    QFETCH(QString, isbn);
    QFETCH(QStringList, expected);
    const SourceAnswer answer = source(kind)->read(LoopbackServer::answer(file), isbn);
    QCOMPARE(answer.kind, SourceAnswer::Kind::Found);
    QCOMPARE(fields(RecordMapping::fitted(answer.record)), expected);
    // A Unicode library keeps the letters Windows-1251 lacks; the widths are the same.
    const QStringList unicode =
        fields(RecordMapping::fitted(answer.record, ConnectionCharset::fromLcCtype(QStringLiteral("UTF8"))));
    if (kind == QLatin1String("google"))
        QCOMPARE(unicode.value(1), QStringLiteral("Fëdor Dostoevskij"));
    else
        QCOMPARE(unicode, expected);
}

void TestIsbn::answersThatAreNotTheBook_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("file");
    QTest::addColumn<SourceAnswer::Kind>("expected");
    using K = SourceAnswer::Kind;
    QTest::newRow("Open Library: nothing") << "openlibrary" << "openlibrary_empty.json" << K::NotFound;
    QTest::newRow("Open Library: another book") << "openlibrary" << "openlibrary_9780140449136.json" << K::OtherIsbn;
    QTest::newRow("Open Library: garbage") << "openlibrary" << "garbage.html" << K::Garbage;
    QTest::newRow("Google: nothing") << "google" << "google_none.json" << K::NotFound;
    QTest::newRow("Google: another ISBN") << "google" << "google_other.json" << K::OtherIsbn;
    QTest::newRow("Google: garbage") << "google" << "garbage.html" << K::Garbage;
    QTest::newRow("SRU: no records") << "sru" << "sru_zero.xml" << K::NotFound;
    QTest::newRow("SRU: another ISBN") << "sru" << "sru_other.xml" << K::OtherIsbn;
    QTest::newRow("SRU: garbage") << "sru" << "garbage.html" << K::Garbage;
    QTest::newRow("SRU: JSON instead") << "sru" << "google_none.json" << K::Garbage;
    QTest::newRow("Z39.50: no records") << "z3950" << "z3950_zero.xml" << K::NotFound;
}

void TestIsbn::answersThatAreNotTheBook()
{
    QFETCH(QString, kind);
    QFETCH(QString, file);
    QFETCH(SourceAnswer::Kind, expected);
    // Asked for a book none of the files describe, except where the answer is empty.
    QCOMPARE(source(kind)->read(LoopbackServer::answer(file), QStringLiteral("9785170906307")).kind, expected);
}

void TestIsbn::sourceListFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(SourceList::fileName());
    QCOMPARE(SourceList::read(path), SourceList::defaults());
    SourceList list;
    list.sources = {{SourceSetting::Kind::Sru, true, QStringLiteral("http://каталог.ua:210/db;x")},
                    {SourceSetting::Kind::OpenLibrary, false, QStringLiteral("https://openlibrary.org")}};
    list.googleKey = QStringLiteral("k-1");
    list.timeoutMs = 800;
    QVERIFY(list.write(path));
    QCOMPARE(SourceList::read(path), list);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("sru;1;http://\xEA\xE0\xF2\xE0\xEB\xEE\xE3.ua:210/db;x\r\n"
                                        "openlibrary;0;https://openlibrary.org\r\ngooglekey=k-1\r\ntimeout=800\r\n"));
    // Text the code page cannot hold is refused, not written changed.
    list.googleKey = QStringLiteral("ключ\u4e2d");
    QVERIFY(!list.write(path));
    QCOMPARE(SourceList::read(path).googleKey, QStringLiteral("k-1"));
}

void TestIsbn::lookupGoesOnToTheNextSource_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("file"); // empty: the first catalogue never answers
    QTest::addColumn<IsbnLookup::SourceResult>("firstResult");
    using R = IsbnLookup::SourceResult;
    QTest::newRow("time-out") << 200 << "" << R::TimedOut;
    QTest::newRow("garbage") << 200 << "garbage.html" << R::Garbage;
    QTest::newRow("another ISBN") << 200 << "google_other.json" << R::OtherIsbn;
    QTest::newRow("not found") << 200 << "google_none.json" << R::NotFound;
    QTest::newRow("server error") << 500 << "garbage.html" << R::HttpError;
}

void TestIsbn::lookupGoesOnToTheNextSource()
{
    QFETCH(int, status);
    QFETCH(QString, file);
    QFETCH(IsbnLookup::SourceResult, firstResult);
    LoopbackServer server;
    if (file.isEmpty())
        server.setRoute(QStringLiteral("/gb"), [](const QString &) { return LoopbackServer::Reply{200, {}, true}; });
    else
        server.serveFile(QStringLiteral("/gb"), file, status);
    server.serveFile(QStringLiteral("/sru"), QStringLiteral("sru_marc21_9785170906307.xml"));
    IsbnLookup lookup;
    lookup.setSources(loopbackList(server, {QStringLiteral("/gb"), QStringLiteral("/sru")}, 300));
    QSignalSpy answered(&lookup, &IsbnLookup::sourceAnswered);
    QSignalSpy found(&lookup, &IsbnLookup::found);
    lookup.start(QStringLiteral("9785170906307"));
    QVERIFY(found.wait(10000));
    QCOMPARE(answered.first().at(1).value<IsbnLookup::SourceResult>(), firstResult);
    QCOMPARE(found.first().at(0).value<BookRecord>().author, QStringLiteral("Булгаков, Михаил Афанасьевич"));
    QCOMPARE(found.first().at(1).toString(), QStringLiteral("SRU 127.0.0.1"));
    QCOMPARE(found.first().at(2).toInt(), 1);
    QVERIFY(server.requests().last().contains(QLatin1String("bath.isbn%3D9785170906307")) ||
            server.requests().last().contains(QLatin1String("bath.isbn=9785170906307")));
}

void TestIsbn::lookupOfflineAndStop()
{
    LoopbackServer server;
    const quint16 closedPort = server.serverPort();
    server.close(); // nothing listens there any more: the catalogues cannot be reached
    SourceList list;
    list.sources = {{SourceSetting::Kind::OpenLibrary, true, QStringLiteral("http://127.0.0.1:%1").arg(closedPort)},
                    {SourceSetting::Kind::Sru, true, QStringLiteral("http://127.0.0.1:%1/sru").arg(closedPort)}};
    IsbnLookup lookup;
    lookup.setSources(list);
    QSignalSpy without(&lookup, &IsbnLookup::finishedWithout);
    lookup.start(QStringLiteral("9780140449136"));
    QVERIFY(without.wait(10000));
    QCOMPARE(without.first().at(0).value<IsbnLookup::Outcome>(), IsbnLookup::Outcome::Offline);

    // Stop drops the request under way and says so once.
    LoopbackServer hanging;
    hanging.setRoute(QStringLiteral("/ol"), [](const QString &) { return LoopbackServer::Reply{200, {}, true}; });
    lookup.setSources(loopbackList(hanging, {QStringLiteral("/ol")}));
    without.clear();
    lookup.start(QStringLiteral("9780140449136"));
    QTRY_COMPARE(hanging.requests().size(), 1);
    lookup.stop();
    QCOMPARE(without.size(), 1);
    QCOMPARE(without.first().at(0).value<IsbnLookup::Outcome>(), IsbnLookup::Outcome::Stopped);
    QVERIFY(!lookup.running());
}

// A Z39.50 server program started on a free loopback port, which it answers on when this returns.
quint16 startZ3950Server(QProcess &server, const QString &program)
{
    quint16 port = 0;
    {
        QTcpServer probe;
        if (!probe.listen(QHostAddress::LocalHost))
            return 0;
        port = probe.serverPort();
    }
    server.start(program, {QStringLiteral("tcp:127.0.0.1:%1").arg(port)});
    if (!server.waitForStarted())
        return 0;
    QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired()) {
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, port);
        if (socket.waitForConnected(200))
            return port;
        QThread::msleep(20);
    }
    return 0;
}

void TestIsbn::z3950AgainstYazTestServer()
{
    const QString ztest = QStandardPaths::findExecutable(QStringLiteral("yaz-ztest"));
    if (ztest.isEmpty())
        QSKIP("yaz-ztest (Debian package yaz, from scripts/install-deps) is not installed");
    QProcess server;
    const quint16 port = startZ3950Server(server, ztest);
    QVERIFY(port != 0);
    // The test server answers every search with its sample MARC 21 record, which carries no ISBN.
    const Z3950Source source(QStringLiteral("127.0.0.1:%1/Default").arg(port));
    QCOMPARE(source.name(), QStringLiteral("Z39.50 127.0.0.1"));
    const QByteArray records = source.fetch(QStringLiteral("9780140449136"), 5000);
    const SourceAnswer answer = source.read(records, QStringLiteral("9780140449136"));
    QCOMPARE(answer.kind, SourceAnswer::Kind::Found);
    const BookRecord book = RecordMapping::fitted(answer.record);
    QCOMPARE(book.title, QStringLiteral("How to program a computer"));
    QCOMPARE(book.author, QStringLiteral("Jack Collins"));

    // Through a lookup: the blocking search runs in a worker, the window's thread only waits for signals.
    SourceList list;
    list.sources = {{SourceSetting::Kind::Z3950, true, QStringLiteral("127.0.0.1:%1/Default").arg(port)}};
    list.timeoutMs = 3000;
    IsbnLookup lookup;
    lookup.setSources(list);
    QSignalSpy found(&lookup, &IsbnLookup::found);
    QSignalSpy without(&lookup, &IsbnLookup::finishedWithout);
    lookup.start(QStringLiteral("9780140449136"));
    QVERIFY(lookup.running());
    QVERIFY(found.wait(10000));
    QCOMPARE(found.first().at(1).toString(), QStringLiteral("Z39.50 127.0.0.1"));

    server.kill();
    server.waitForFinished();
    // Nobody there any more.
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, source.fetch(QStringLiteral("9780140449136"), 2000));
    lookup.start(QStringLiteral("9780140449136"));
    QVERIFY(without.wait(10000));
    QCOMPARE(without.first().at(0).value<IsbnLookup::Outcome>(), IsbnLookup::Outcome::Offline);
}

void TestIsbn::ean13FromGeneratedPictures_data()
{
    QTest::addColumn<QImage>("picture");
    QTest::addColumn<QString>("digits");
    const QString book = QStringLiteral("9780140449136");
    QTest::newRow("clean") << drawEan13(book, 3) << book;
    QTest::newRow("photo, turned 4 degrees") << photographed(drawEan13(QStringLiteral("9785170906307"), 4), 4)
                                             << QStringLiteral("9785170906307");
    QImage upsideDown = drawEan13(QStringLiteral("9789660354128"), 3).transformed(QTransform().rotate(180));
    QTest::newRow("upside down") << upsideDown << QStringLiteral("9789660354128");
    QImage blank(300, 200, QImage::Format_RGB32);
    blank.fill(Qt::white);
    QTest::newRow("no barcode") << blank << QString();
    QTest::newRow("not a picture") << QImage() << QString();
}

void TestIsbn::ean13FromGeneratedPictures()
{
    QFETCH(QImage, picture);
    QFETCH(QString, digits);
    // Through a real file, as a photo is opened.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("photo.jpg"));
    if (!picture.isNull())
        QVERIFY(picture.save(path, "JPG", 90));
    QCOMPARE(BarcodeImage::readEan13(path), digits);
}

void TestIsbn::z3950UnimarcInItsOwnCharacterSet_data()
{
    QTest::addColumn<QString>("isbn");
    QTest::addColumn<QString>("charset"); // as field 100 names it
    QTest::addColumn<QStringList>("fields"); // title, author, place, publisher, year, class
    QTest::newRow("UTF-8, Ukrainian") << "9789660354128" << "utf-8"
                                      << QStringList{"Кобзар", "Шевченко, Тарас", "Київ", "Дніпро", "2012", "821.161.2-1"};
    QTest::newRow("Windows-1251, Russian")
        << "9785170906307" << "windows-1251"
        << QStringList{"Мастер и Маргарита", "Булгаков, Михаил", "Москва", "АСТ", "2015", "821.161.1-31"};
    QTest::newRow("ISO 5426, Polish") << "9788373271005" << "iso5426"
                                      << QStringList{"Pan Tadeusz", "Mickiewicz, Adam", "Gdańsk",
                                                     "Wydawnictwo Morskie", "2010", "821.162.1-1"};
}

// UNIMARC records as ISO 2709 over Z39.50, each decoded from the character set it names.
void TestIsbn::z3950UnimarcInItsOwnCharacterSet()
{
    QFETCH(QString, isbn);
    QFETCH(QString, charset);
    QFETCH(QStringList, fields);
    const QByteArray recorded = LoopbackServer::answer(QStringLiteral("z3950_unimarc_%1.mrc").arg(isbn));
    QCOMPARE(QString::fromLatin1(Z3950Source::unimarcCharset(recorded)), charset);

    QProcess server;
    const quint16 port = startZ3950Server(server, QStringLiteral(UNIMARC_ZTEST));
    QVERIFY(port != 0);
    const Z3950Source source(QStringLiteral("127.0.0.1:%1/Default").arg(port), Z3950Source::Syntax::Unimarc);
    QCOMPARE(source.name(), QStringLiteral("Z39.50 UNIMARC 127.0.0.1"));
    const SourceAnswer answer = source.read(source.fetch(isbn, 5000), isbn);
    QCOMPARE(answer.kind, SourceAnswer::Kind::Found);
    const BookRecord book = RecordMapping::fitted(answer.record, ConnectionCharset::fromLcCtype(QStringLiteral("UTF8")));
    QCOMPARE((QStringList{book.title, book.author, book.place, book.publisher, book.year, book.clas}), fields);
    QVERIFY(book.isbns.contains(isbn));
    // A book the catalogue does not have.
    QCOMPARE(source.read(source.fetch(QStringLiteral("9780140449136"), 5000), QStringLiteral("9780140449136")).kind,
             SourceAnswer::Kind::NotFound);

    // Chosen in the list of catalogues, as the settings window keeps it.
    SourceList list;
    list.sources = {{SourceSetting::Kind::Z3950Unimarc, true, QStringLiteral("127.0.0.1:%1/Default").arg(port)}};
    QTemporaryDir dir;
    const QString file = dir.filePath(SourceList::fileName());
    QVERIFY(list.write(file));
    IsbnLookup lookup;
    lookup.setSources(SourceList::read(file));
    lookup.setLibraryCharset(ConnectionCharset::fromLcCtype(QStringLiteral("UTF8")));
    QSignalSpy found(&lookup, &IsbnLookup::found);
    lookup.start(isbn);
    QVERIFY(found.wait(10000));
    QCOMPARE(found.first().at(0).value<BookRecord>().title, fields.first());
    server.kill();
    server.waitForFinished();
}

QTEST_MAIN(TestIsbn)
#include "tst_isbn.moc"
