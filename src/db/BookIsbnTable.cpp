#include "BookIsbnTable.h"

#include "FbDatabase.h"
#include "OwnTransaction.h"

namespace {

const char *const kCreateSql[] = {
    "CREATE TABLE BOOK_ISBN (BOOK_ID INTEGER NOT NULL, ISBN VARCHAR(13) NOT NULL, SOURCE VARCHAR(40), "
    "COVER BLOB SUB_TYPE 0, CONSTRAINT PK_BOOK_ISBN PRIMARY KEY (BOOK_ID), "
    "CONSTRAINT FK_BOOK_ISBN_BOOK FOREIGN KEY (BOOK_ID) REFERENCES BOOK (ID) ON DELETE CASCADE)",
    "CREATE INDEX BOOK_ISBN_ISBN ON BOOK_ISBN (ISBN)",
};

} // namespace

bool BookIsbnTable::ensure(FbDatabase &db)
{
    if (!db.connected())
        db.open();
    if (db.catalog().hasRelation(QStringLiteral("BOOK_ISBN")))
        return false;
    // The table must be committed before its index refers to it.
    for (const char *sql : kCreateSql) {
        OwnTransaction tr(db);
        tr.execute(QString::fromLatin1(sql));
        tr.commit();
    }
    return true;
}
