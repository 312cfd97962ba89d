#pragma once

#include <QStringList>

class FbDatabase;

// What the loans need beyond GIVEN: a due date on each loan, the borrowers' book, the loan
// history kept by a trigger on GIVEN, and a counter of GIVEN's changes (GIVEN_CHANGES). Added on
// connect to a library that lacks them; an older program ignores them (its statements name their
// columns, and the due date may stay empty).
namespace LoanSchema {
// The statements that bring a library up to date, in order, for what it lacks. Empty when
// nothing is missing. Statements on GIVEN are left out while GIVEN itself is missing.
QStringList missingStatements(FbDatabase &db);
// Runs the missing statements in transactions of their own (tables and column first, then the
// trigger and indexes that use them); a failure (FbError) leaves that step undone. Returns the
// statements run.
QStringList addMissing(FbDatabase &db);
// Whether the connected library has the due-date column and the history (false when unsure).
bool present(FbDatabase &db);
} // namespace LoanSchema
