#include "EngineProbe.h"

#include "FbDatabase.h"
#include "FbError.h"
#include "FbTransaction.h"

#include <ibase.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

void check(const ISC_STATUS *status)
{
    if (status[0] == 1 && status[1] != 0) {
        char line[512];
        const ISC_STATUS *p = status;
        QString text;
        while (fb_interpret(line, sizeof line, &p))
            text += QString::fromLocal8Bit(line) + QLatin1Char('\n');
        throw FbError(text.trimmed());
    }
}

QByteArray withoutSemicolon(FbDatabase &db, QString statement)
{
    statement = statement.trimmed();
    if (statement.endsWith(QLatin1Char(';')))
        statement.chop(1);
    return db.charset().encode(statement);
}

} // namespace

namespace EngineProbe {

Fetched select(FbDatabase &db, FbTransaction &tr, const QString &statement, int maxRows)
{
    tr.ensureStarted();
    const QByteArray sql = withoutSemicolon(db, statement);
    const auto dialect = static_cast<unsigned short>(db.sqlDialect());
    ISC_STATUS_ARRAY status;
    isc_stmt_handle stmt = 0;
    isc_dsql_allocate_statement(status, db.handle(), &stmt);
    check(status);
    std::vector<char> sqldaSpace(XSQLDA_LENGTH(64));
    auto *out = reinterpret_cast<XSQLDA *>(sqldaSpace.data());
    out->version = SQLDA_VERSION1;
    out->sqln = 64;
    isc_dsql_prepare(status, tr.handle(), &stmt, 0, sql.constData(), dialect, out);
    check(status);
    std::vector<std::vector<char>> buffers(out->sqld);
    std::vector<short> nulls(out->sqld);
    for (int i = 0; i < out->sqld; ++i) {
        XSQLVAR &var = out->sqlvar[i];
        buffers[i].resize(var.sqllen + 2);
        var.sqldata = buffers[i].data();
        var.sqlind = &nulls[i];
    }
    isc_dsql_execute(status, tr.handle(), &stmt, dialect, nullptr);
    check(status);
    Fetched result;
    while ((maxRows < 0 || result.rows < maxRows) && isc_dsql_fetch(status, &stmt, 1, out) == 0) {
        ++result.rows;
        for (int i = 0; i < out->sqld; ++i) {
            const XSQLVAR &var = out->sqlvar[i];
            if ((var.sqltype & 1) && *var.sqlind < 0)
                continue;
            short length = var.sqllen;
            if ((var.sqltype & ~1) == SQL_VARYING)
                std::memcpy(&length, var.sqldata, sizeof length);
            result.dataBytes += length;
        }
    }
    isc_dsql_free_statement(status, &stmt, DSQL_drop);
    return result;
}

void execute(FbDatabase &db, FbTransaction &tr, const QString &statement)
{
    tr.ensureStarted();
    const QByteArray sql = withoutSemicolon(db, statement);
    ISC_STATUS_ARRAY status;
    isc_dsql_execute_immediate(status, db.handle(), tr.handle(), 0, sql.constData(),
                               static_cast<unsigned short>(db.sqlDialect()), nullptr);
    check(status);
    tr.commitRetaining();
}

} // namespace EngineProbe
