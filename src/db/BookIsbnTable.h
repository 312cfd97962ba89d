#pragma once

#include <QString>

class FbDatabase;

// The ISBN, source and cover of a book, in a table of their own keyed by the book's id and
// deleted with the book. BOOK itself and the statements on it stay as they are.
namespace BookIsbnTable {
constexpr const char *kTable = "BOOK_ISBN";
constexpr int kIsbnLength = 13;
constexpr int kSourceLength = 40;

// Creates the table in a transaction of its own when the connected library lacks it; true when
// it was created. Run it before the connection's own transaction has used BOOK.
bool ensure(FbDatabase &db);
} // namespace BookIsbnTable
