#pragma once

#include "BookImport.h"
#include "CsvFormat.h"

#include <QMetaType>

#include <functional>

class FbDatabase;

// An import file read a piece at a time: its first rows for the window, then every row checked and
// stored in one batch on a connection: all of them or none. Memory stays bounded whatever the size.
namespace BookImportBatch
{

// The start of a file, for its preview and the matching of its columns.
struct Head {
    QChar delimiter = QLatin1Char(',');
    Csv::Encoding encoding = Csv::Encoding::Utf8; // what the first rows read as
    QList<Csv::Record> records;                   // the header and the first rows, decoded
    bool binary = false;                          // not a CSV file at all
};
// Throws FileError.
Head readHead(const QString &path, int records);

struct Request {
    QString path;
    QList<int> mapping;
    BookImport::Options options;
};

struct Outcome {
    int stored = 0; // rows stored; 0 unless every row went in
    bool cancelled = false;
    bool binary = false;
    int failedLine = 0; // file line of the row the library refused
    QString error;      // the engine's text for it
    Csv::Encoding encoding = Csv::Encoding::Utf8; // decided from the whole file
    int unclosedQuoteLine = 0;
    BookImport::Tally tally;
};

// Bytes dealt with so far out of all (the file is read twice: for its encoding, then its rows).
using Progress = std::function<void(qint64 done, qint64 total)>;
using StopCheck = std::function<bool()>;

// Throws FileError when the file cannot be read, FbError when the insert cannot be prepared.
Outcome run(FbDatabase *database, const Request &request, const Progress &progress, const StopCheck &stop);

} // namespace BookImportBatch

Q_DECLARE_METATYPE(BookImportBatch::Outcome)
