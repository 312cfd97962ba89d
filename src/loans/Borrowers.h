#pragma once

#include "LoanRecords.h"

#include <QList>
#include <QStringList>

class FbDatabase;

// The borrowers' book, read and written on the program's own connection: every change is
// durable as soon as its statement succeeds, and logged as the other loan statements are.
namespace Borrowers {
// Names in alphabetical order; empty when the library has no borrowers' book.
QStringList names(FbDatabase &db);
QList<LoanRecords::Borrower> all(FbDatabase &db);
// Names lent to without being added to the book; empty when the library has no history.
QStringList namesOnlyInLoans(FbDatabase &db);
// Each returns the reason it was refused or failed (the engine's text), empty on success.
QString add(FbDatabase &db, const LoanRecords::Borrower &borrower);
QString change(FbDatabase &db, const QString &oldName, const LoanRecords::Borrower &borrower);
QString remove(FbDatabase &db, const QString &name);
// What is wrong with a borrower as typed (empty name, e-mail not of the form a@b.c); empty when fine.
QString check(const LoanRecords::Borrower &borrower);
} // namespace Borrowers
