#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Comma-separated values as spreadsheets read and write them (RFC 4180): fields with a
// delimiter, a quote or a line break are quoted, quotes inside doubled, records end with CR LF.
namespace Csv
{

enum class Encoding { Utf8Bom, Utf8, Windows1251 };

// What a file starts with so that spreadsheets take it for UTF-8.
QByteArray byteOrderMark();
QString field(const QString &value, QChar delimiter = QLatin1Char(','));
// One record with its closing CR LF.
QString record(const QStringList &values, QChar delimiter = QLatin1Char(','));

// A BOM means UTF-8; so does text that is valid UTF-8; anything else is Windows-1251.
Encoding detectEncoding(const QByteArray &bytes);
// The text without the BOM.
QString decode(const QByteArray &bytes, Encoding encoding);

// The delimiter of a file: comma, semicolon or tab, whichever the first record holds most of
// outside quotes (comma when none).
QChar detectDelimiter(const QString &text);

struct Record {
    int line = 0; // line of the file on which the record starts, from 1
    QStringList fields;
};
struct Parsed {
    QList<Record> records;
    int unclosedQuoteLine = 0; // a quote opened on this line was never closed (0: none)
};
// Splits text into records; line breaks inside quotes belong to the field. Blank lines give
// no record.
Parsed parse(const QString &text, QChar delimiter);

} // namespace Csv
