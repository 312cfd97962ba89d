// bench [BOOKS]: generates a library of BOOKS books (default 100000) in a temporary directory
// and measures what a user waits for: the book list's first screen, a move to the last row,
// an ordering by title, a search by author, and the total count.
#include "DBGridEh.h"
#include "DataSource.h"
#include "FbDatabase.h"
#include "FbQuery.h"
#include "GeneratedLibrary.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTextStream>

namespace {
QTextStream out(stdout);

template <typename F> double measure(F &&work)
{
    QElapsedTimer t;
    t.start();
    work();
    return t.nsecsElapsed() / 1e6;
}
} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    const int books = argc > 1 ? QString::fromLatin1(argv[1]).toInt() : 100000;
    GeneratedLibrary library(books);
    FbDatabase &db = library.database();
    const double fillMs = library.fillMs();

    FbQuery list(&db);
    DataSource source;
    source.setDataSet(&list);
    DBGridEh grid;
    grid.resize(800, 500);
    grid.setDataSource(&source);
    grid.show();
    const auto open = [&](const QString &sql) {
        list.setSqlText(sql);
        list.open();
        QApplication::processEvents();
    };
    const double firstScreen = measure([&] { open(QStringLiteral("select * from BOOK")); });
    const int fetched = list.fetchedCount();
    const double toLast = measure([&] { list.last(); QApplication::processEvents(); });
    const double ordered = measure([&] { open(QStringLiteral("select * from BOOK\r\nORDER BY title")); });
    const double search =
        measure([&] { open(QStringLiteral("SELECT * from book WHERE author LIKE '%Автор 99%'")); });
    FbQuery count(&db);
    count.setSqlText(QStringLiteral("SELECT count(*) FROM book "));
    const double counted = measure([&] { count.open(); });

    out << "books: " << books << " (generated in " << qRound(fillMs) << " ms)\n"
        << "book list, first screen: " << firstScreen << " ms, rows fetched: " << fetched << "\n"
        << "move to the last row: " << toLast << " ms\n"
        << "ordered by title, first screen: " << ordered << " ms\n"
        << "search by author, first screen: " << search << " ms\n"
        << "total count: " << counted << " ms\n";
    return 0;
}
