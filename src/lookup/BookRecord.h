#pragma once

#include "TextCodec.h"
#include <QString>
#include <QStringList>

// A book as a catalogue describes it, in the program's fields.
struct BookRecord {
    QString title;
    QString author;
    QString year;
    QString seria;
    QString publisher;
    QString place;
    QString genre;
    QString description;
    QString clas;
    QString coverUrl;
    QStringList isbns; // every ISBN the record carries, as ISBN-13

    bool operator==(const BookRecord &) const = default;
};

// What a source's answer said about the ISBN asked for.
struct SourceAnswer {
    enum class Kind { Found, NotFound, Garbage, OtherIsbn };
    Kind kind = Kind::NotFound;
    BookRecord record;
};

namespace RecordMapping {
// Tidies a field: letters and their accents composed, blanks collapsed, the catalogue's closing punctuation (" /", " :", ",", ".") dropped.
QString tidy(const QString &text);
// The first four-digit year of a date text ("c2003", "2003-02-27", "[1998?]").
QString year(const QString &date);
// Makes the record's texts fit what the library holds: accents that its character set (a
// Windows-1251 library's) has no letter for are dropped from their letters, typographic dashes
// and quotes it lacks become plain ones, and each field is cut to its column's width. A Unicode
// library keeps every letter.
BookRecord fitted(BookRecord record, const ConnectionCharset &charset = ConnectionCharset());
// The record carries the ISBN (ISBN-13) asked for.
bool carries(const BookRecord &record, const QString &isbn13);
} // namespace RecordMapping
