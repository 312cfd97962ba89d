#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class QIODevice;

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

// A cell a spreadsheet would run as a formula (=, +, -, @, tab, CR first) gets a leading "'";
// so does one that only looks so after quotes, so that reading it back is exact.
QString spreadsheetSafe(const QString &value);
// Removes the one "'" that spreadsheetSafe added.
QString fromSpreadsheetSafe(const QString &value);

// The encoding the records of the whole text agree on most (see EncodingVote).
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

// ---- Files read a piece at a time, as bytes: the delimiter, quotes and line breaks are ASCII in
// both encodings, so records are split before their text is decoded.

// How the bytes of a record read as text.
enum class TextKind { Ascii, Utf8, Other };

struct RawRecord {
    int line = 0;
    QList<QByteArray> fields;
    bool control = false; // holds a NUL or another control byte (tab and line breaks aside)
    bool cut = false;     // a field was longer than kFieldLimit and only its start was kept
};
constexpr qsizetype kFieldLimit = 64 * 1024;

TextKind textKind(const RawRecord &record);
// Whether a record of this kind reads right in the encoding.
bool agrees(TextKind kind, Encoding encoding);
QStringList decodeFields(const RawRecord &record, Encoding encoding);

// The encoding of a file decided by all its records: a BOM means UTF-8; otherwise whichever of
// UTF-8 and Windows-1251 more records read as (UTF-8 when none tells).
class EncodingVote
{
public:
    explicit EncodingVote(bool bom = false) : m_bom(bom) {}
    void add(TextKind kind);
    Encoding verdict() const;

private:
    bool m_bom;
    qint64 m_utf8 = 0;
    qint64 m_other = 0;
};

// Splits bytes into records as they arrive; memory stays bounded by the longest record.
class Splitter
{
public:
    explicit Splitter(char delimiter) : m_delimiter(delimiter) {}
    void feed(const char *data, qsizetype size, QList<RawRecord> &out);
    void finish(QList<RawRecord> &out);
    int unclosedQuoteLine() const { return m_unclosedQuoteLine; }

private:
    void append(char c);
    void endField();
    void endRecord(QList<RawRecord> &out);

    enum class State { Unquoted, Quoted, QuoteInQuoted };
    char m_delimiter;
    State m_state = State::Unquoted;
    RawRecord m_record;
    QByteArray m_field;
    bool m_started = false;
    char m_previous = 0;
    int m_line = 1;
    int m_quoteLine = 0;
    int m_unclosedQuoteLine = 0;
};

// A CSV file read record by record from a device, with its BOM noticed and skipped.
class Reader
{
public:
    Reader(QIODevice &device, char delimiter);
    bool next(RawRecord &record); // false at the end
    bool bom() const { return m_bom; }
    qint64 bytesRead() const { return m_bytesRead; }
    int unclosedQuoteLine() const { return m_splitter.unclosedQuoteLine(); }

private:
    QIODevice &m_device;
    Splitter m_splitter;
    QList<RawRecord> m_pending;
    qsizetype m_index = 0;
    qint64 m_bytesRead = 0;
    bool m_bom = false;
    bool m_atEnd = false;
};

// Whether the first records of a file are those of some binary file rather than of CSV text:
// control bytes in its first record, or in more than a quarter of them.
bool looksBinary(const QList<RawRecord> &head);

} // namespace Csv
