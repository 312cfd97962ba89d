#include "IsbnStore.h"

#include "BookIsbnTable.h"
#include "EventConsole.h"
#include "FbError.h"
#include "FbDatabase.h"
#include "FbPrepared.h"
#include "FbQuery.h"
#include "FbTransaction.h"

QString IsbnStore::literal(const QString &text)
{
    QString doubled = text;
    doubled.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + doubled + QLatin1Char('\'');
}

QString IsbnStore::ownerSql(const QString &isbn13, bool withLoans)
{
    if (!withLoans)
        return QStringLiteral("SELECT b.id, b.title FROM book_isbn i JOIN book b ON b.id = i.book_id "
                              "WHERE i.isbn = %1 ORDER BY b.id")
            .arg(literal(isbn13));
    return QStringLiteral("SELECT b.id, b.title, g.given_id, g.given_to FROM book_isbn i JOIN book b ON b.id = "
                          "i.book_id LEFT JOIN given g ON g.given_id = b.id WHERE i.isbn = %1 ORDER BY b.id")
        .arg(literal(isbn13));
}

QString IsbnStore::isbnOfSql(const QString &bookId)
{
    return QStringLiteral("SELECT isbn FROM book_isbn WHERE book_id = %1").arg(bookId.toInt());
}

QString IsbnStore::storeNewestSql(const QString &isbn13, const QString &source)
{
    return QStringLiteral("INSERT INTO book_isbn (book_id, isbn, source) SELECT MAX(id), %1, %2 FROM book")
        .arg(literal(isbn13), literal(source.left(BookIsbnTable::kSourceLength)));
}

QString IsbnStore::setIsbnSql(const QString &bookId, const QString &isbn13)
{
    if (isbn13.isEmpty())
        return QStringLiteral("DELETE FROM book_isbn WHERE book_id = %1").arg(bookId.toInt());
    return QStringLiteral("UPDATE OR INSERT INTO book_isbn (book_id, isbn) VALUES (%1, %2) MATCHING (book_id)")
        .arg(bookId.toInt())
        .arg(literal(isbn13));
}

std::optional<IsbnStore::Owner> IsbnStore::owner(FbDatabase *db, const QString &isbn13)
{
    FbQuery query(db);
    bool withLoans = true;
    try {
        query.setSqlText(ownerSql(isbn13, true));
        query.open();
    } catch (const FbError &) {
        withLoans = false;
        query.setSqlText(ownerSql(isbn13, false));
        query.open();
    }
    if (query.isEmpty())
        return std::nullopt;
    Owner o;
    o.id = query.value(0, 0).toString();
    o.title = query.value(0, 1).toString();
    if (withLoans) {
        o.lent = !query.value(0, 2).isNull();
        o.lentTo = query.value(0, 3).toString();
    }
    return o;
}

QString IsbnStore::isbnOf(FbDatabase *db, const QString &bookId)
{
    bool number = false;
    bookId.toInt(&number);
    if (!number)
        return QString();
    FbQuery query(db);
    query.setSqlText(isbnOfSql(bookId));
    query.open();
    return query.isEmpty() ? QString() : query.value(0, 0).toString();
}

QString IsbnStore::storedOfSql(const QString &bookId)
{
    return QStringLiteral("SELECT isbn, cover FROM book_isbn WHERE book_id = %1").arg(bookId.toInt());
}

IsbnStore::Stored IsbnStore::storedOf(FbDatabase *db, const QString &bookId)
{
    bool number = false;
    bookId.toInt(&number);
    if (!number)
        return {};
    FbQuery query(db);
    query.setSqlText(storedOfSql(bookId));
    query.open();
    if (query.isEmpty())
        return {};
    return {query.value(0, 0).toString(), query.value(0, 1).toByteArray()};
}

const char *const IsbnStore::kStoreNewestCoverSql =
    "UPDATE book_isbn SET cover = ? WHERE book_id = (SELECT MAX(id) FROM book)";

void IsbnStore::storeNewestCover(FbDatabase *db, const QByteArray &picture)
{
    const QString sql = QLatin1String(kStoreNewestCoverSql);
    LogSql(sql);
    db->runAttached([&] {
        FbPrepared statement(db, sql);
        statement.executeWithBlob(picture);
        db->defaultTransaction()->commitRetaining();
    });
}

void IsbnStore::run(FbDatabase *db, const QString &sql)
{
    LogSql(sql);
    FbQuery query(db);
    query.setSqlText(sql);
    query.execSQL();
}
