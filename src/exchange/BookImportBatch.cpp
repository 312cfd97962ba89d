#include "BookImportBatch.h"

#include "FbDatabase.h"
#include "FbError.h"
#include "FbPrepared.h"
#include "FbTransaction.h"
#include "FileError.h"

#include <QFile>

namespace
{

constexpr int kBinaryHead = 64;        // records looked at to tell a binary file
constexpr qint64 kDelimiterHead = 65536;
constexpr int kStep = 512;             // records between progress reports and stop checks

void openFile(QFile &file)
{
    if (!file.open(QIODevice::ReadOnly))
        throw FileError(QStringLiteral("%1: %2").arg(file.fileName(), file.errorString()));
}

char delimiterOf(QFile &file)
{
    const QByteArray head = file.peek(kDelimiterHead);
    return static_cast<char>(Csv::detectDelimiter(QString::fromLatin1(head)).unicode());
}

// The first pass: the encoding all records vote for, and whether the file is text at all.
Csv::Encoding voteEncoding(QFile &file, char delimiter, bool *binary, const BookImportBatch::Progress &progress,
                           const BookImportBatch::StopCheck &stop, qint64 total)
{
    Csv::Reader reader(file, delimiter);
    QList<Csv::RawRecord> head;
    Csv::RawRecord record;
    bool first = true;
    Csv::EncodingVote vote;
    for (int n = 1; reader.next(record); ++n) {
        if (first) {
            vote = Csv::EncodingVote(reader.bom());
            first = false;
        }
        vote.add(Csv::textKind(record));
        if (head.size() < kBinaryHead)
            head << record;
        if (n % kStep == 0) {
            if (stop && stop())
                return vote.verdict();
            if (progress)
                progress(reader.bytesRead(), total);
        }
    }
    *binary = Csv::looksBinary(head);
    return vote.verdict();
}

} // namespace

BookImportBatch::Head BookImportBatch::readHead(const QString &path, int records)
{
    QFile file(path);
    openFile(file);
    Head head;
    const char delimiter = delimiterOf(file);
    head.delimiter = QLatin1Char(delimiter);
    Csv::Reader reader(file, delimiter);
    QList<Csv::RawRecord> raw;
    Csv::RawRecord record;
    while (raw.size() < qMax(records, kBinaryHead) && reader.next(record))
        raw << record;
    head.binary = Csv::looksBinary(raw);
    Csv::EncodingVote vote(reader.bom());
    for (const Csv::RawRecord &r : raw)
        vote.add(Csv::textKind(r));
    head.encoding = vote.verdict();
    for (int i = 0; i < raw.size() && i < records; ++i)
        head.records.append({raw.at(i).line, Csv::decodeFields(raw.at(i), head.encoding)});
    return head;
}

BookImportBatch::Outcome BookImportBatch::run(FbDatabase *database, const Request &request,
                                              const Progress &progress, const StopCheck &stop)
{
    Outcome outcome;
    QFile file(request.path);
    openFile(file);
    const qint64 total = 2 * file.size();
    const char delimiter = delimiterOf(file);
    outcome.encoding = voteEncoding(file, delimiter, &outcome.binary, progress, stop, total);
    if (stop && stop()) {
        outcome.cancelled = true;
        return outcome;
    }
    if (outcome.binary)
        return outcome;
    file.seek(0);

    if (!database->connected())
        database->open(); // the connection's character set decides what text it can carry
    const ConnectionCharset charset = database->charset();
    const auto encodable = [&charset](QStringView text) { return charset.firstUnencodable(text) < 0; };
    FbTransaction *transaction = database->defaultTransaction();
    FbBatch batch(transaction);
    FbPrepared insert(database, BookImport::insertStatement());

    Csv::Reader reader(file, delimiter);
    Csv::RawRecord raw;
    reader.next(raw); // the header
    int stored = 0;
    for (int n = 1; reader.next(raw); ++n) {
        // A connection closed meanwhile has dropped the batch: going on would store the rest alone.
        if (n % kStep == 0) {
            if ((stop && stop()) || !transaction->inBatch()) {
                outcome.cancelled = true;
                return outcome;
            }
            if (progress)
                progress(total / 2 + reader.bytesRead(), total);
        }
        if (raw.control) {
            outcome.tally.reject({raw.line, BookImport::Problem::ControlCharacter, {}});
            continue;
        }
        if (!Csv::agrees(Csv::textKind(raw), outcome.encoding)) {
            outcome.tally.reject({raw.line, BookImport::Problem::WrongEncoding, {}});
            continue;
        }
        const Csv::Record record{raw.line, Csv::decodeFields(raw, outcome.encoding)};
        const auto values = BookImport::check(record, request.mapping, request.options, encodable, outcome.tally);
        if (!values)
            continue;
        try {
            insert.execute(BookImport::parameters(*values));
        } catch (const FbError &e) {
            outcome.failedLine = raw.line;
            outcome.error = e.message();
            return outcome;
        }
        ++stored;
    }
    outcome.unclosedQuoteLine = reader.unclosedQuoteLine();
    batch.commit();
    outcome.stored = stored;
    if (progress)
        progress(total, total);
    return outcome;
}
