#pragma once

#include "QueryModel.h"

#include <QVector>

class MainWindowApi;

// The loan list of the main window's loans page (query IBQuery5, grid DBGridEh2).
namespace LoanList {
// The grid's columns: the fields of the list statement, titled with their names.
QVector<GridColumn> loanGridColumns();
// Re-runs the list with every loan and remembers the statement as the base of orderings.
void refreshLoanList(MainWindowApi *api);
// Makes an open loan list re-run, back on its first row, whenever the book list's current row
// moves or the book list is re-run.
void followBookList(MainWindowApi *api);
} // namespace LoanList
