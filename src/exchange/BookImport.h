#pragma once

#include "BookColumns.h"
#include "CsvFormat.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

// Turns the rows of a file into insert statements for BOOK, checking each row as the add-book
// window checks a book, and says why a row is turned away. Pure text work, no database.
namespace BookImport
{

struct Options {
    bool fillEmpty = false; // empty obligatory fields take the substitutes below, as the add window does
    QString unknownWord;    // title
    QString noneWord;       // author, publisher, genre (the year takes "0000")
};

enum class Problem { MissingFields, BadYear, Unencodable };
struct Rejected {
    int line = 0;
    Problem problem = Problem::MissingFields;
    QStringList labelKeys; // catalogue keys of the fields concerned
};

struct Plan {
    QStringList statements; // one per accepted row, in file order
    QList<int> lines;       // file line of each statement
    QList<Rejected> rejected;
    int cutValues = 0; // values cut to the width of their column
    int blankRows = 0; // rows without a value in any imported column; left out silently
};

// Whether the connection can carry a text (its character set holds every character).
using TextCheck = std::function<bool(QStringView)>;

// rows: the data records without the header; mapping: for each book field the index of the
// file's column, or -1.
Plan plan(const QList<Csv::Record> &rows, const QList<int> &mapping, const Options &options,
          const TextCheck &encodable);

// The insert of one book; values in the order of BookColumns::Field, already checked and cut.
// Empty optional values are left out of the statement.
QString insertSql(const QStringList &values);

// The lines of the report: what was stored, cut and turned away, each rejected row with its line.
QStringList report(const Plan &plan, int stored);
QString problemText(const Rejected &rejected);

} // namespace BookImport
