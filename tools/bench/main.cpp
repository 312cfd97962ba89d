// bench [BOOKS]: generates a library of BOOKS books (default 100000) in a temporary directory
// and measures what a user waits for: the book list's first screen, a move to the last row,
// an ordering by title, a search by author, the total count, the constants lookup, the SQL
// page's reading statement over the whole table with its re-run when the book list's row moves;
// then an export of the whole library to CSV and an import of IMPORT rows of that file (default
// 10000) into an empty library.
#include "BookColumns.h"
#include "BookImport.h"
#include "BookImportBatch.h"
#include "CsvExport.h"
#include "CsvFormat.h"
#include "DBGridEh.h"
#include "ExchangeFiles.h"
#include "DataSource.h"
#include "FbDatabase.h"
#include "FbQuery.h"
#include "FbTransaction.h"
#include "GeneratedLibrary.h"
#include "LibrarySchema.h"

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
    const double lookup = measure([&] { open(QStringLiteral("select author from book")); });
    const int lookupFetched = list.fetchedCount();
    FbQuery count(&db);
    count.setSqlText(QStringLiteral("SELECT count(*) FROM book "));
    const double counted = measure([&] { count.open(); });

    // The SQL page's result follows the book list's current row, as IBQuery2 does.
    open(QStringLiteral("select * from BOOK"));
    FbQuery sqlResult(&db);
    sqlResult.setMasterSource(&source);
    DataSource sqlSource;
    sqlSource.setDataSet(&sqlResult);
    DBGridEh sqlGrid;
    sqlGrid.resize(800, 500);
    sqlGrid.setDataSource(&sqlSource);
    sqlGrid.show();
    const double sqlFirst = measure([&] {
        sqlResult.setSqlText(QStringLiteral("SELECT * FROM book "));
        sqlResult.open();
        QApplication::processEvents();
    });
    const int sqlFetched = sqlResult.fetchedCount();
    const double sqlRerun = measure([&] { list.next(); QApplication::processEvents(); });
    FbQuery all(&db);
    all.setSqlText(QStringLiteral("SELECT * FROM book ORDER BY id"));
    const QString csv = library.filePath(QStringLiteral("books.csv"));
    int exported = 0;
    const double exportMs = measure([&] { exported = CsvExport::writeQuery(all, csv, {}); });

    const int importRows = argc > 2 ? QString::fromLatin1(argv[2]).toInt() : 10000;
    const QString importPath = library.filePath(QStringLiteral("IMPORT.GDB"));
    LibrarySchema::create(importPath);
    FbDatabase target;
    FbTransaction targetTr(&target);
    target.setDatabaseName(importPath);
    target.setParams(db.params());
    BookImport::Plan plan;
    const double checkMs = measure([&] {
        const QByteArray bytes = ExchangeFiles::readAll(csv);
        const QString text = Csv::decode(bytes, Csv::detectEncoding(bytes));
        const Csv::Parsed parsed = Csv::parse(text, Csv::detectDelimiter(text));
        const QList<Csv::Record> rows = parsed.records.mid(1, importRows);
        plan = BookImport::plan(rows, BookColumns::autoMapping(parsed.records.value(0).fields), {},
                                [](QStringView t) { return Win1251::canEncode(t); });
    });
    BookImportBatch::Outcome stored;
    const double storeMs = measure([&] { stored = BookImportBatch::run(&target, plan, {}); });

    out << "books: " << books << " (generated in " << qRound(fillMs) << " ms)\n"
        << "book list, first screen: " << firstScreen << " ms, rows fetched: " << fetched << "\n"
        << "move to the last row: " << toLast << " ms\n"
        << "ordered by title, first screen: " << ordered << " ms\n"
        << "search by author, first screen: " << search << " ms\n"
        << "total count: " << counted << " ms\n"
        << "constants lookup by author, first screen: " << lookup << " ms, rows fetched: " << lookupFetched << "\n"
        << "SQL page, SELECT * FROM book, first screen: " << sqlFirst << " ms, rows fetched: " << sqlFetched << "\n"
        << "SQL page result re-run on a book list move: " << sqlRerun << " ms\n"
        << "export of the library to CSV: " << exportMs << " ms, rows: " << exported << "\n"
        << "import of " << stored.stored << " rows from CSV: " << qRound(checkMs + storeMs)
        << " ms (read and check " << qRound(checkMs) << " ms, store in one batch " << qRound(storeMs) << " ms)\n";
    return 0;
}
