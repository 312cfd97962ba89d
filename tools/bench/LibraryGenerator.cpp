#include "LibraryGenerator.h"

#include "FbDatabase.h"
#include "FbQuery.h"
#include "FbTransaction.h"
#include "LibrarySchema.h"

#include <QElapsedTimer>

namespace {

// One statement for all books: the engine inserts them without a round trip per row.
const char *const kFill =
    "EXECUTE BLOCK AS DECLARE i INT = 0; DECLARE a INT; BEGIN WHILE (i < %1) DO BEGIN "
    "a = MOD(i * 7919, 997); "
    "INSERT INTO book (title, author, iyear, publisher, genre, seria, place, description, clas) VALUES ("
    "IIF(MOD(:i, 2) = 0, 'Повість про місто ' || :i, 'The Story of a Town ' || :i), "
    "IIF(MOD(:a, 3) = 0, 'Smith ' || :a, 'Шевченко ' || :a), "
    "1900 + MOD(:i, 120), IIF(MOD(:i, 5) = 0, 'Penguin', 'Видавництво Старого Лева'), "
    "IIF(MOD(:i, 4) = 0, 'Poetry', 'Роман'), IIF(MOD(:i, 3) = 0, NULL, 'Серія ' || MOD(:i, 50)), "
    "IIF(MOD(:i, 2) = 0, 'Київ', 'London'), 'Опис книги номер ' || :i || ', a short description', "
    "'Клас ' || MOD(:i, 20)); "
    "i = i + 1; END END";
const char *const kLend = "INSERT INTO given (given_id, given_to, given_date) "
                          "SELECT id, IIF(MOD(id, 2) = 0, 'Олена', 'John'), DATE '2026-01-01' + MOD(id, 300) "
                          "FROM book WHERE MOD(id, 10) = 0";

void dropIndexes(FbDatabase &db)
{
    FbQuery drop(&db);
    for (const QString &name : LibrarySchema::indexNames()) {
        drop.setSqlText(QStringLiteral("DROP INDEX ") + name);
        drop.execSQL();
    }
}

} // namespace

LibraryGenerator::Timings LibraryGenerator::generate(const QString &path, int books)
{
    LibrarySchema::create(path);
    FbDatabase db;
    FbTransaction tr(&db);
    db.setDatabaseName(path);
    db.setParams({QStringLiteral("user_name=SYSDBA"), QStringLiteral("lc_ctype=WIN1251")});
    // Filling a table is quicker without its indexes; they are built once at the end.
    dropIndexes(db);
    Timings timings;
    QElapsedTimer clock;
    clock.start();
    FbQuery fill(&db);
    fill.setSqlText(QString::fromUtf8(kFill).arg(books));
    fill.execSQL();
    fill.setSqlText(QString::fromUtf8(kLend));
    fill.execSQL();
    db.close();
    timings.fillMs = clock.nsecsElapsed() / 1e6;
    clock.restart();
    LibrarySchema::addMissingIndexes(db);
    db.close();
    timings.indexMs = clock.nsecsElapsed() / 1e6;
    return timings;
}
