#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class ConnectionCharset;
class FbDatabase;

// The forgiving search's copy of the searchable columns of BOOK: table BOOK_SEARCH, one row per
// book keyed by its id, each text folded (letter case, ё/е, є/е, і/и, ї/і, ґ/г, Latin accents).
// Triggers on BOOK keep it, so every writer (the SQL page, imports, other programs on a server)
// is covered; BOOK itself keeps its columns, which the book list shows.
namespace BookSearchCopy
{
constexpr const char *kTable = "BOOK_SEARCH";

// Copy column of a BOOK column ("TITLE" -> "S_TITLE").
QString copyColumn(const QString &bookColumn);
// The BOOK columns that have a copy, in the order of "Search by" (title … class).
QStringList bookColumns();

// A typed word folded as the engine folds the stored texts.
QString fold(const QString &text);
// The engine's expression that folds a text expression, for a library of that character set
// (pairs the character set cannot hold are left out: such letters never reach it).
QString foldExpression(const QString &expression, const ConnectionCharset &charset);

// What the library lacks of the copy: nothing, the indexes only (the filling was cut short), or all.
enum class Missing { Nothing, Indexes, All };
Missing missing(FbDatabase &db);
// The table and its triggers, when missing (quick: nothing is read). Run it before the
// connection's own transaction has used BOOK.
void createTable(FbDatabase &db);
// Fills the copy for the books that have no row in it and builds its missing indexes: long at a
// million books, so the program runs it on a worker's attachment.
void fillAndIndex(FbDatabase &db);
// Creates what is missing, fills the copy for the books already there and builds its indexes,
// each step committed in a transaction of its own. Run it before the connection's own
// transaction has used BOOK. beforeFilling is called only when there is something to do.
// Returns whether anything was done. Throws FbError.
bool addIfMissing(FbDatabase &db, const std::function<void()> &beforeFilling = {});

// Where the copy is searched.
enum class Match { Contains, StartsWith };
// The condition on the copy for a "Search by" entry (0 title … 8 class): text folded, quoted,
// '%' and '_' literal. Empty for an entry without a copy (Id).
QString condition(int field, const QString &text, Match match = Match::Contains);
// The books that meet it, with the columns of BOOK.
QString selectSql(const QString &condition);
QString countSql(const QString &condition);
} // namespace BookSearchCopy
