// bench [BOOKS]: generates a library of BOOKS books (default 100000) in a temporary directory
// and measures what a user waits for: the book list's first screen, a move to the last row,
// an ordering by title, a search by author, the total count, the constants lookup, and the SQL
// page's reading statement over the whole table with its re-run when the book list's row moves.
#include "DBGridEh.h"
#include "DataSource.h"
#include "FbDatabase.h"
#include "FbQuery.h"
#include "FbTransaction.h"
#include "LibrarySchema.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
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
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("LIBRARY.GDB"));
    LibrarySchema::create(path);
    FbDatabase db;
    FbTransaction tr(&db);
    db.setDatabaseName(path);
    db.setParams({QStringLiteral("user_name=SYSDBA"), QStringLiteral("lc_ctype=WIN1251")});
    FbQuery fill(&db);
    fill.setSqlText(QStringLiteral(
        "EXECUTE BLOCK AS DECLARE i INT = 0; BEGIN WHILE (i < %1) DO BEGIN "
        "INSERT INTO book (title, author, iyear, publisher, genre, seria, place, description, clas) VALUES "
        "('Книга ' || :i, 'Автор ' || mod(:i, 997), mod(:i, 120) + 1900, 'Издательство', 'Роман', 'Серия', "
        "'Київ', 'Опис книги номер ' || :i, 'Клас'); i = i + 1; END END")
                         .arg(books));
    const double fillMs = measure([&] { fill.execSQL(); });

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

    out << "books: " << books << " (generated in " << qRound(fillMs) << " ms)\n"
        << "book list, first screen: " << firstScreen << " ms, rows fetched: " << fetched << "\n"
        << "move to the last row: " << toLast << " ms\n"
        << "ordered by title, first screen: " << ordered << " ms\n"
        << "search by author, first screen: " << search << " ms\n"
        << "total count: " << counted << " ms\n"
        << "constants lookup by author, first screen: " << lookup << " ms, rows fetched: " << lookupFetched << "\n"
        << "SQL page, SELECT * FROM book, first screen: " << sqlFirst << " ms, rows fetched: " << sqlFetched << "\n"
        << "SQL page result re-run on a book list move: " << sqlRerun << " ms\n";
    return 0;
}
