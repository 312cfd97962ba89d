#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The columns of BOOK that an import fills, and how the headers of other catalogues name them.
namespace BookColumns
{

enum Field { Title, Author, Year, Seria, Publisher, Place, Genre, Description, Clas, FieldCount };

struct Column {
    const char *name;     // column of BOOK
    const char *labelKey; // catalogue key of the field's label
    int width;            // longest text the column holds
    bool obligatory;
};
const Column &column(int field);

// The book field a header names (case, blanks and punctuation aside), or -1.
int matchHeader(const QString &header);
// For each book field, the index of the first header that names it, or -1.
QList<int> autoMapping(const QStringList &headers);

} // namespace BookColumns
