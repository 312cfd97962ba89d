#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>
#include <utility>

class ConnectionCharset;

// The statements the book windows and the search bar run. Pure text work, no widgets.
namespace BookStatements
{

// Longest texts of the columns of BOOK.
inline constexpr int kTitleLength = 65;
inline constexpr int kAuthorLength = 35;
inline constexpr int kYearLength = 4;
inline constexpr int kSeriaLength = 35;
inline constexpr int kPublisherLength = 35;
inline constexpr int kPlaceLength = 50;
inline constexpr int kGenreLength = 25;
inline constexpr int kDescriptionLength = 255;
inline constexpr int kClasLength = 45;

// The text as a string literal body: each single quote doubled, so a quote never ends the literal.
QString escaped(const QString &text);
// The text cut to the longest text of its column.
QString cut(const QString &text, int length);

// An identifier as typed by the user; nothing when it is not a whole number.
std::optional<qint64> parseId(const QString &text);

// Search: the entry of "Search by" (0 title … 8 class, 9 Id) and the text to look for.
inline constexpr int kSearchFieldCount = 10;
inline constexpr int kSearchById = 9;
// Empty when the field is out of range; nothing when an Id search text is not a whole number.
std::optional<QString> searchSql(int field, const QString &text);

// Ordering: the entry of "Arrange by" (0 Id, 1 title … 9 class) appended to the base statement.
inline constexpr int kOrderFieldCount = 10;
// The base statement without the ordering clause a reload may have carried over.
QString unorderedBase(const QString &base);
// Empty when the base is empty or the field is out of range.
QString orderSql(const QString &base, int field, bool ascending);
// The "Arrange by" entry that orders by a column of the book list (any case); -1 for none.
int orderFieldOfColumn(const QString &column);

// The fields of a book, in the order of the add and change windows.
struct BookFields {
    QString title, author, year, seria, publisher, place, genre, description, clas;
};

// Insert: which obligatory fields were missing (their label keys) and whether the year was no number.
struct InsertStatement {
    QString sql;             // set only when the book is ready
    QStringList missingKeys; // ltitle, lauthor, lyear, lpub, lgenre, in that order
    bool badYear = false;
    bool ready() const { return !sql.isEmpty(); }
};
// unknownWord and noneWord are the substitutes for empty obligatory fields when those are allowed.
InsertStatement insertSql(const BookFields &book, bool allowEmpty, const QString &unknownWord, const QString &noneWord);

// One changed field: the label key of its row, the text to store and the statement that writes it.
struct FieldUpdate {
    QString BookFields::*field;
    QString labelKey;
    QString value;
    QString sql;
};
// One UPDATE per field whose text differs from the stored one, in the window's order.
QVector<FieldUpdate> fieldUpdates(const BookFields &stored, const BookFields &edited, const QString &id);
QStringList updateSqls(const BookFields &stored, const BookFields &edited, const QString &id);
// For a library on a server, where another program may change the book meanwhile: touches the
// book (taking its lock) only while every field still holds what the window loaded; one row or none.
QString guardSql(const BookFields &loaded, const QString &id);
// The nine fields of the book as stored now, in the window's order.
QString currentFieldsSql(const QString &id);
// Each field's label key with its member, in the window's order.
QVector<std::pair<QString, QString BookFields::*>> labelledFields();

// The fields with the label keys of their rows, in the window's order.
QVector<std::pair<QString, QString>> labelledFields(const BookFields &book);
// A character the library cannot hold, and the label key of the field that holds it.
struct Unstorable {
    QString labelKey;
    QString character;
};
std::optional<Unstorable> firstUnstorable(const QVector<std::pair<QString, QString>> &fields,
                                          const ConnectionCharset &charset);

QString deleteSql(qint64 id);

} // namespace BookStatements
