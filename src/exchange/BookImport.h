#pragma once

#include "BookColumns.h"
#include "CsvFormat.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

// Checks the rows of a file as the add-book window checks a book, and says why a row is turned
// away. Pure text work, no database.
namespace BookImport
{

struct Options {
    bool fillEmpty = false; // empty obligatory fields take the substitutes below, as the add window does
    QString unknownWord;    // title
    QString noneWord;       // author, publisher, genre (the year takes "0000")
};

enum class Problem { MissingFields, BadYear, Unencodable, WrongEncoding, ControlCharacter };
struct Rejected {
    int line = 0;
    Problem problem = Problem::MissingFields;
    QStringList labelKeys; // catalogue keys of the fields concerned
};

// What the checks made of the rows so far. Only the first kListed rejected rows are kept with
// their line, so that a file of a million bad rows does not fill the memory.
struct Tally {
    static constexpr int kListed = 1000;
    QList<Rejected> rejected;
    int rejectedCount = 0;
    int cutValues = 0; // values cut to the width of their column
    int blankRows = 0; // rows without a value in any imported column; left out silently
    void reject(const Rejected &rejected);
};

// Whether the connection can carry a text (its character set holds every character).
using TextCheck = std::function<bool(QStringView)>;

// The values of an accepted row in the order of BookColumns::Field, checked and cut; nothing
// when the row is blank or rejected (the tally says which). mapping: for each book field the
// index of the file's column, or -1.
std::optional<QStringList> check(const Csv::Record &row, const QList<int> &mapping, const Options &options,
                                 const TextCheck &encodable, Tally &tally);

struct Plan : Tally {
    QList<QStringList> rows; // accepted rows, in file order
    QList<int> lines;        // file line of each
};
// Every row of a short list checked at once.
Plan plan(const QList<Csv::Record> &rows, const QList<int> &mapping, const Options &options,
          const TextCheck &encodable);

// The insert of one book with a "?" for each column of BookColumns::Field.
QString insertStatement();
// The parameters of insertStatement for checked values: an empty optional value is NULL, as when
// the add-book window leaves it out.
QList<QString> parameters(const QStringList &values);

// The lines of the report: what was stored, cut and turned away, each rejected row with its line.
QStringList report(const Tally &tally, int stored);
QString problemText(const Rejected &rejected);

} // namespace BookImport
