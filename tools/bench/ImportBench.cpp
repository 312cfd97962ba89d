#include "ImportBench.h"

#include "BookColumns.h"
#include "BookImportBatch.h"
#include "CsvFormat.h"
#include "FbDatabase.h"
#include "FbError.h"
#include "FbTransaction.h"
#include "LibrarySchema.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

#include <ibase.h>

#include <vector>

namespace
{

const char *const kColumns[] = {"TITLE", "AUTHOR", "IYEAR", "SERIA", "PUBLISHER", "PLACE", "GENRE", "DESCRIPTION",
                                "CLAS"};

// One generated book, the same in the file and in the engine's loop.
QStringList bookRow(int i)
{
    static const QStringList authors = {QStringLiteral("Шевченко"), QStringLiteral("Tolkien"),
                                        QStringLiteral("Котляревський"), QStringLiteral("Herbert")};
    return {QStringLiteral("Книга %1 Book").arg(i),
            authors.at(i % authors.size()),
            QString::number(1900 + i % 120),
            i % 3 ? QString() : QStringLiteral("Серія %1").arg(i % 50),
            QStringLiteral("Видавництво %1").arg(i % 200),
            QStringLiteral("Київ"),
            QStringLiteral("Роман"),
            QStringLiteral("A description of book %1, with a comma").arg(i),
            QString()};
}

double memoryMb(const char *key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(qstrlen(key)).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

void writeCsv(const QString &path, int rows)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    QStringList header;
    for (const char *c : kColumns)
        header << QLatin1String(c);
    file.write(Csv::byteOrderMark() + Csv::record(header).toUtf8());
    QByteArray chunk;
    for (int i = 0; i < rows; ++i) {
        chunk += Csv::record(bookRow(i)).toUtf8();
        if (chunk.size() > (1 << 20)) {
            file.write(chunk);
            chunk.clear();
        }
    }
    file.write(chunk);
}

void openLibrary(FbDatabase &db, const QString &library)
{
    db.setDatabaseName(library);
    db.setParams({QStringLiteral("user_name=SYSDBA"), QStringLiteral("password=quietlamp"),
                  QStringLiteral("lc_ctype=WIN1251")});
    db.open();
}

void check(const ISC_STATUS *status)
{
    if (status[0] == 1 && status[1] != 0) {
        char line[512];
        const ISC_STATUS *p = status;
        QString text;
        while (fb_interpret(line, sizeof line, &p))
            text += QString::fromLocal8Bit(line) + QLatin1Char(' ');
        throw FbError(text.trimmed());
    }
}

// The engine alone: one prepared insert through the raw client API, every row bound as text,
// one commit at the end.
int engineInsert(FbDatabase &db, FbTransaction &tr, int rows)
{
    tr.ensureStarted();
    QStringList columns, marks;
    for (const char *c : kColumns) {
        columns << QLatin1String(c);
        marks << QStringLiteral("?");
    }
    const QByteArray sql = QStringLiteral("INSERT INTO book (%1) VALUES (%2)")
                               .arg(columns.join(QLatin1Char(',')), marks.join(QLatin1Char(',')))
                               .toLatin1();
    const auto dialect = static_cast<unsigned short>(db.sqlDialect());
    ISC_STATUS_ARRAY status;
    isc_stmt_handle stmt = 0;
    isc_dsql_allocate_statement(status, db.handle(), &stmt);
    check(status);
    isc_dsql_prepare(status, tr.handle(), &stmt, 0, sql.constData(), dialect, nullptr);
    check(status);
    std::vector<char> space(XSQLDA_LENGTH(9));
    auto *in = reinterpret_cast<XSQLDA *>(space.data());
    in->version = SQLDA_VERSION1;
    in->sqln = 9;
    isc_dsql_describe_bind(status, &stmt, 1, in);
    check(status);
    std::vector<QByteArray> buffers(9);
    std::vector<short> nulls(9);
    for (int i = 0; i < rows; ++i) {
        const QStringList row = bookRow(i);
        for (int c = 0; c < 9; ++c) {
            XSQLVAR &var = in->sqlvar[c];
            buffers[c] = db.charset().encode(row.at(c));
            nulls[c] = row.at(c).isEmpty() ? -1 : 0;
            var.sqltype = SQL_TEXT + 1;
            var.sqlscale = 0;
            var.sqllen = static_cast<ISC_SHORT>(buffers[c].size());
            var.sqldata = buffers[c].data();
            var.sqlind = &nulls[c];
        }
        isc_dsql_execute(status, tr.handle(), &stmt, dialect, in);
        check(status);
    }
    isc_dsql_free_statement(status, &stmt, DSQL_drop);
    tr.commitRetaining();
    return rows;
}

struct Figures {
    double ms = 0;
    double growthMb = 0;
    int rows = 0;
};

Figures runChild(const QString &program, const QString &side, const QString &csv, const QString &library, int rows)
{
    QFile::remove(library);
    LibrarySchema::create(library);
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(program, {QStringLiteral("--import-child"), side, csv, library, QString::number(rows)});
    child.waitForFinished(-1);
    const QStringList parts = QString::fromLatin1(child.readAllStandardOutput()).trimmed().split(QLatin1Char(' '));
    QFile::remove(library);
    return {parts.value(0).toDouble(), parts.value(1).toDouble(), parts.value(2).toInt()};
}

} // namespace

int ImportBench::child(const QStringList &args)
{
    const QString side = args.value(0);
    FbDatabase db;
    FbTransaction tr(&db);
    openLibrary(db, args.value(2));
    const int rows = args.value(3).toInt();
    const double before = memoryMb("VmRSS:");
    QElapsedTimer clock;
    clock.start();
    int stored = 0;
    try {
        if (side == QLatin1String("engine")) {
            stored = engineInsert(db, tr, rows);
        } else {
            BookImportBatch::Request request;
            request.path = args.value(1);
            request.mapping = BookColumns::autoMapping(BookImportBatch::readHead(request.path, 1).records.value(0).fields);
            const BookImportBatch::Outcome outcome = BookImportBatch::run(&db, request, {}, {});
            stored = outcome.stored;
            if (outcome.failedLine > 0)
                QTextStream(stderr) << "line " << outcome.failedLine << ": " << outcome.error << Qt::endl;
        }
    } catch (const std::exception &e) {
        QTextStream(stderr) << e.what() << Qt::endl;
    }
    const double ms = clock.nsecsElapsed() / 1e6;
    const double growth = memoryMb("VmHWM:") - before;
    db.close();
    QTextStream(stdout) << ms << ' ' << growth << ' ' << stored << Qt::endl;
    return 0;
}

int ImportBench::run(const QString &program, const QStringList &sizes)
{
    QTextStream out(stdout);
    // In memory where the system offers it: the figures are then those of the program and the engine,
    // not of a disk shared with other work.
    QTemporaryDir dir(QFileInfo(QStringLiteral("/dev/shm")).isWritable() ? QStringLiteral("/dev/shm/bench-import-XXXXXX")
                                                                         : QDir::tempPath() + QStringLiteral("/bench-import-XXXXXX"));
    const QString csv = QDir(dir.path()).filePath(QStringLiteral("books.csv"));
    const QString library = QDir(dir.path()).filePath(QStringLiteral("IMPORT.GDB"));
    out << "in " << dir.path() << ": import of a CSV file (UTF-8, 9 columns) into an empty library; engine: the same rows through one "
           "prepared insert; memory: growth of the peak over the start\n";
    out << "rows       file MB  program ms  engine ms  ratio  program MB  engine MB  (goal: ratio <= 1.50, "
           "program MB <= 64)\n";
    out.flush();
    for (const QString &size : sizes) {
        const int rows = size.toInt();
        writeCsv(csv, rows);
        const double fileMb = QFileInfo(csv).size() / 1048576.0;
        const Figures program_ = runChild(program, QStringLiteral("program"), csv, library, rows);
        const Figures engine = runChild(program, QStringLiteral("engine"), csv, library, rows);
        out << QStringLiteral("%1 %2 %3 %4 %5 %6 %7%8\n")
                   .arg(rows, -10)
                   .arg(fileMb, 7, 'f', 1)
                   .arg(qRound(program_.ms), 11)
                   .arg(qRound(engine.ms), 10)
                   .arg(engine.ms > 0 ? program_.ms / engine.ms : 0, 6, 'f', 2)
                   .arg(program_.growthMb, 11, 'f', 1)
                   .arg(engine.growthMb, 10, 'f', 1)
                   .arg(program_.rows == rows && engine.rows == rows
                            ? QString()
                            : QStringLiteral("  (stored %1 / %2 rows!)").arg(program_.rows).arg(engine.rows));
        out.flush();
        QFile::remove(csv);
    }
    return 0;
}
