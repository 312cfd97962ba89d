#pragma once

#include <QByteArray>
#include <QLatin1String>
#include <QString>
#include <QStringList>

// The seven constant lists of frequent book field values and their files: one value a line,
// Windows-1251, CR LF. Nothing here knows a widget.
namespace ConstantListFiles
{

inline constexpr int FieldCount = 7;

// One book field with a constant list; the index is the field's position in the field lists.
struct Field {
    QLatin1String item;      // entry of the field lists
    QLatin1String fileName;  // bare name, opened in the current directory
    int width;               // the book column's width: longest value kept
    QLatin1String lookupSql; // "Lookup in library"
    QLatin1String lookupColumn;
};

// Author, Year, Seria, Publisher, Place, Genre, Class.
const Field &field(int index);

// The order in which the files are read and written: Author, Seria, Year, Publisher, Place,
// Genre, Class (by field index).
const int *fileOrder();

// The position at which value joins an alphabetically sorted list (any case), after its equals.
qsizetype sortedPosition(const QStringList &list, const QString &value);
// The values in alphabetical order (any case); equal values keep their order.
QStringList sorted(QStringList values);

// Every line a value, empty lines included; a last line without a line end counts; a line ends
// at CR LF, CR or LF.
QStringList parse(const QByteArray &bytes);
// Each value followed by CR LF. Characters the code page cannot hold must be refused earlier.
QByteArray serialize(const QStringList &values);

// The first character of text that the files cannot hold (a surrogate pair whole), or empty.
QString firstUnstorableCharacter(const QString &text);

// Both throw FileError: a missing, unreadable or directory path; a file that cannot be written.
// Writing replaces the file only once the new content is complete.
QStringList read(const QString &path);
void write(const QString &path, const QStringList &values);

// Keeps the file as it is under its name with ".bak" appended (an older copy is replaced), for a
// file about to be rewritten from a list that never held its content. Throws FileError.
void keepOldCopy(const QString &path);

} // namespace ConstantListFiles
