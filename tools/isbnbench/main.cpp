// isbnbench [BOOKS] [RUNS]: the ISBN lookup against recorded catalogue answers served on loopback.
// 1. Each source: the median time of a lookup beside the raw HTTP round trip of the same request,
//    in RUNS alternating pairs; the difference is the program's own overhead.
// 2. Batch entry of 1 000 scanned books into a generated library of BOOKS books (default 10 000):
//    the longest and the median time the window takes to answer a scan, and the time to store them.
#include "BatchEntryWindow.h"
#include "ConnectionProfileFile.h"
#include "FbDatabase.h"
#include "IsbnLookup.h"
#include "LibraryGenerator.h"
#include "LoopbackServer.h"
#include "MainWindow.h"
#include "RuntimeDirectory.h"
#include "Startup.h"
#include "UserPrompts.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>

namespace
{

QTextStream out(stdout);

double median(QVector<double> values)
{
    std::sort(values.begin(), values.end());
    const qsizetype n = values.size();
    return n == 0 ? 0 : n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

QString isbnFor(int n)
{
    const QString twelve = QStringLiteral("978") + QStringLiteral("%1").arg(n, 9, 10, QLatin1Char('0'));
    int sum = 0;
    for (int i = 0; i < 12; ++i)
        sum += (i % 2 ? 3 : 1) * (twelve.at(i).unicode() - '0');
    return twelve + QChar(u'0' + (10 - sum % 10) % 10);
}

QString isbnIn(const QString &target)
{
    const qsizetype at = target.indexOf(QLatin1String("978"));
    return at < 0 ? QString() : target.mid(at, 13);
}

// An Open Library answer for whatever ISBN is asked.
QByteArray openLibraryAnswer(const QString &isbn)
{
    return QStringLiteral("{\"ISBN:%1\": {\"title\": \"Book %1\", \"authors\": [{\"name\": \"Author\"}], "
                          "\"publishers\": [{\"name\": \"Publisher\"}], \"publish_date\": \"2001\", "
                          "\"subjects\": [{\"name\": \"Fiction\"}], \"identifiers\": {\"isbn_13\": [\"%1\"]}}}")
        .arg(isbn)
        .toUtf8();
}

double rawRoundTrip(QNetworkAccessManager &network, const QUrl &url)
{
    QElapsedTimer clock;
    clock.start();
    QNetworkReply *reply = network.get(QNetworkRequest(url));
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    loop.exec();
    reply->readAll();
    reply->deleteLater();
    return clock.nsecsElapsed() / 1e6;
}

double lookupTime(IsbnLookup &lookup, const QString &isbn)
{
    QElapsedTimer clock;
    clock.start();
    QEventLoop loop;
    const auto done = QObject::connect(&lookup, &IsbnLookup::found, &loop, &QEventLoop::quit);
    const auto without = QObject::connect(&lookup, &IsbnLookup::finishedWithout, &loop, [&loop] {
        out << "  lookup failed\n";
        loop.quit();
    });
    lookup.start(isbn);
    loop.exec();
    QObject::disconnect(done);
    QObject::disconnect(without);
    return clock.nsecsElapsed() / 1e6;
}

void measureSources(LoopbackServer &server, int runs)
{
    struct Case {
        const char *name;
        SourceSetting::Kind kind;
        const char *prefix;
        const char *isbn;
    };
    const Case cases[] = {
        {"Open Library", SourceSetting::Kind::OpenLibrary, "/ol", "9780140449136"},
        {"Google Books", SourceSetting::Kind::GoogleBooks, "/gb", "9780140449136"},
        {"SRU, MARC 21", SourceSetting::Kind::Sru, "/sru", "9785170906307"},
        {"SRU, UNIMARC", SourceSetting::Kind::Sru, "/sru", "9789660354128"},
    };
    QNetworkAccessManager network;
    out << "source            lookup ms   raw HTTP ms   overhead ms\n";
    for (const Case &c : cases) {
        SourceList list;
        list.sources = {{c.kind, true, server.base(QLatin1String(c.prefix))}};
        IsbnLookup lookup;
        lookup.setSources(list);
        // The same request the source sends, by the raw client.
        QUrl url;
        const QString isbn = QLatin1String(c.isbn);
        if (c.kind == SourceSetting::Kind::OpenLibrary)
            url = QUrl(server.base(QStringLiteral("/ol")) + QStringLiteral("/api/books?bibkeys=ISBN:") + isbn +
                       QStringLiteral("&jscmd=data&format=json"));
        else if (c.kind == SourceSetting::Kind::GoogleBooks)
            url = QUrl(server.base(QStringLiteral("/gb")) + QStringLiteral("/books/v1/volumes?q=isbn:") + isbn);
        else
            url = QUrl(server.base(QStringLiteral("/sru")) +
                       QStringLiteral("?version=1.1&operation=searchRetrieve&query=bath.isbn%3D") + isbn +
                       QStringLiteral("&maximumRecords=5&recordSchema=marcxml"));
        QVector<double> raw, looked;
        rawRoundTrip(network, url); // warm
        lookupTime(lookup, isbn);
        for (int i = 0; i < runs; ++i) {
            raw << rawRoundTrip(network, url);
            looked << lookupTime(lookup, isbn);
        }
        const double l = median(looked), r = median(raw);
        out << QStringLiteral("%1 %2 %3 %4\n")
                   .arg(QLatin1String(c.name), -16)
                   .arg(l, 10, 'f', 2)
                   .arg(r, 13, 'f', 2)
                   .arg(l - r, 13, 'f', 2);
    }
    out.flush();
}

void measureBatch(LoopbackServer &server, int books)
{
    QTemporaryDir dir;
    const QString library = QDir(dir.path()).filePath(QStringLiteral("LIBRARY.GDB"));
    LibraryGenerator::generate(library, books);
    QFile settings(QDir(dir.path()).filePath(QStringLiteral(".settings")));
    if (settings.open(QIODevice::WriteOnly))
        settings.write("Showtime=1\r\nShowconsole=1\r\nLanguage=en\r\nAutolog=0\r\nHideleftframe=0\r\n"
                       "Transparency=255\r\nShowbookstab=0\r\nShowgivenbookstab=0\r\nShowinfotab=0\r\n"
                       "Showsqltab=0\r\nTabsontop=0\r\nDeftab=books\r\n");
    settings.close();
    ConnectionProfileFile::write(QDir(dir.path()).filePath(QStringLiteral(".dbconnection")),
                                 {QStringLiteral("WIN1251"), QStringLiteral("SYSDBA"), QStringLiteral("quietlamp"),
                                  library, QStringLiteral("0")});
    SourceList list;
    list.sources = {{SourceSetting::Kind::OpenLibrary, true, server.base(QStringLiteral("/batch"))}};
    list.write(QDir(dir.path()).filePath(SourceList::fileName()));
    QDir::setCurrent(dir.path());
    UserPrompts::setAutoAnswer(true);
    Startup::run();
    MainF->show();
    MainF->findChild<QAction *>(QStringLiteral("BatchEntry1"))->trigger();
    auto *window = MainF->findChild<BatchEntryWindow *>();
    auto *scanBox = window->findChild<QLineEdit *>(QStringLiteral("batchIsbn"));
    QVector<double> answers;
    const int scans = 1000;
    for (int i = 0; i < scans; ++i) {
        scanBox->setText(isbnFor(500000 + i));
        QElapsedTimer clock;
        clock.start();
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(scanBox, &enter);
        answers << clock.nsecsElapsed() / 1e6;
        QApplication::processEvents(); // the scanner's pace: the window gets its events between scans
    }
    QElapsedTimer lookups;
    lookups.start();
    const auto waiting = [window] {
        for (const BatchEntry::Item &item : window->batch().items())
            if (item.result == BatchEntry::Result::Waiting)
                return true;
        return false;
    };
    while (waiting())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
    const double lookupMs = lookups.nsecsElapsed() / 1e6;
    QElapsedTimer store;
    store.start();
    window->findChild<QPushButton *>(QStringLiteral("batchStore"))->click();
    const double storeMs = store.nsecsElapsed() / 1e6;
    out << "batch entry, " << scans << " scans into a library of " << books << " books:\n"
        << QStringLiteral("  window answers a scan: median %1 ms, longest %2 ms (goal 50 ms)\n")
               .arg(median(answers), 0, 'f', 2)
               .arg(*std::max_element(answers.begin(), answers.end()), 0, 'f', 2)
        << QStringLiteral("  lookups finished %1 ms after the last scan\n").arg(lookupMs, 0, 'f', 0)
        << QStringLiteral("  storing them: %1 ms (goal 2000 ms); %2\n")
               .arg(storeMs, 0, 'f', 0)
               .arg(UserPrompts::shownMessages().value(UserPrompts::shownMessages().size() - 1));
    out.flush();
    MainF->IBDatabase1()->close();
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    RuntimeDirectory::prepare();
    QApplication app(argc, argv);
    const int books = qMax(0, app.arguments().value(1, QStringLiteral("10000")).toInt());
    const int runs = qMax(1, app.arguments().value(2, QStringLiteral("30")).toInt());
    LoopbackServer server;
    server.serveFile(QStringLiteral("/ol"), QStringLiteral("openlibrary_9780140449136.json"));
    server.serveFile(QStringLiteral("/gb"), QStringLiteral("google_9780140449136.json"));
    server.setRoute(QStringLiteral("/sru"), [](const QString &target) {
        return LoopbackServer::Reply{200, LoopbackServer::answer(target.contains(QLatin1String("9789660354128"))
                                                                     ? QStringLiteral("sru_unimarc_9789660354128.xml")
                                                                     : QStringLiteral("sru_marc21_9785170906307.xml"))};
    });
    server.setRoute(QStringLiteral("/batch"),
                    [](const QString &target) { return LoopbackServer::Reply{200, openLibraryAnswer(isbnIn(target))}; });
    measureSources(server, runs);
    measureBatch(server, books);
    std::_Exit(0);
}
