#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

class FbDatabase;

// The statements on the ISBN table, run on the library's connection.
namespace IsbnStore {

struct Owner {
    QString id;
    QString title;
    bool lent = false;
    QString lentTo;
};

// A text as an SQL literal, single quotes doubled.
QString literal(const QString &text);

QString ownerSql(const QString &isbn13, bool withLoans);
QString isbnOfSql(const QString &bookId);
// The ISBN of the book just added: the newest id, in the same transaction as the insert.
QString storeNewestSql(const QString &isbn13, const QString &source);
// Empty isbn13 removes the book's ISBN.
QString setIsbnSql(const QString &bookId, const QString &isbn13);

// The book that already has this ISBN; GIVEN may be missing in a library of the older kind.
std::optional<Owner> owner(FbDatabase *db, const QString &isbn13);
QString isbnOf(FbDatabase *db, const QString &bookId);

// What the view window shows of a book: its ISBN and its cover picture (empty when none).
struct Stored {
    QString isbn;
    QByteArray cover;
};
QString storedOfSql(const QString &bookId);
Stored storedOf(FbDatabase *db, const QString &bookId);
// The cover of the book just added, beside its ISBN; logged, durable at once. Throws FbError.
extern const char *const kStoreNewestCoverSql;
void storeNewestCover(FbDatabase *db, const QByteArray &picture);
// Logged and run; throws FbError.
void run(FbDatabase *db, const QString &sql);

} // namespace IsbnStore
