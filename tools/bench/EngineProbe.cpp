#include "EngineProbe.h"

#include "FbDatabase.h"
#include "FbError.h"
#include "FbTransaction.h"

#include <ibase.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
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

// A select prepared once, with its output buffers.
struct Prepared {
    isc_stmt_handle stmt = 0;
    std::vector<char> sqldaSpace = std::vector<char>(XSQLDA_LENGTH(64));
    std::vector<std::vector<char>> buffers;
    std::vector<short> nulls;
    XSQLDA *out() { return reinterpret_cast<XSQLDA *>(sqldaSpace.data()); }

    Prepared(FbDatabase &db, FbTransaction &tr, const QString &statement)
    {
        const QByteArray sql = withoutSemicolon(db, statement);
        ISC_STATUS_ARRAY status;
        isc_dsql_allocate_statement(status, db.handle(), &stmt);
        check(status);
        out()->version = SQLDA_VERSION1;
        out()->sqln = 64;
        isc_dsql_prepare(status, tr.handle(), &stmt, 0, sql.constData(), static_cast<unsigned short>(db.sqlDialect()),
                         out());
        check(status);
        buffers.resize(out()->sqld);
        nulls.resize(out()->sqld);
        for (int i = 0; i < out()->sqld; ++i) {
            XSQLVAR &var = out()->sqlvar[i];
            buffers[i].resize(var.sqllen + 2);
            var.sqldata = buffers[i].data();
            var.sqlind = &nulls[i];
        }
    }
    ~Prepared()
    {
        ISC_STATUS_ARRAY status;
        isc_dsql_free_statement(status, &stmt, DSQL_drop);
    }

    EngineProbe::Fetched run(FbDatabase &db, FbTransaction &tr, int maxRows)
    {
        ISC_STATUS_ARRAY status;
        isc_dsql_execute(status, tr.handle(), &stmt, static_cast<unsigned short>(db.sqlDialect()), nullptr);
        check(status);
        EngineProbe::Fetched result;
        XSQLDA *o = out();
        while ((maxRows < 0 || result.rows < maxRows) && isc_dsql_fetch(status, &stmt, 1, o) == 0) {
            ++result.rows;
            for (int i = 0; i < o->sqld; ++i) {
                const XSQLVAR &var = o->sqlvar[i];
                if ((var.sqltype & 1) && *var.sqlind < 0)
                    continue;
                short length = var.sqllen;
                if ((var.sqltype & ~1) == SQL_VARYING)
                    std::memcpy(&length, var.sqldata, sizeof length);
                result.dataBytes += length;
            }
        }
        isc_dsql_free_statement(status, &stmt, DSQL_close);
        return result;
    }
};

std::map<QString, std::unique_ptr<Prepared>> &kept()
{
    static std::map<QString, std::unique_ptr<Prepared>> statements;
    return statements;
}

} // namespace

namespace EngineProbe {

Fetched select(FbDatabase &db, FbTransaction &tr, const QString &statement, int maxRows)
{
    tr.ensureStarted();
    Prepared prepared(db, tr, statement);
    return prepared.run(db, tr, maxRows);
}

Fetched selectKept(FbDatabase &db, FbTransaction &tr, const QString &statement, int maxRows)
{
    tr.ensureStarted();
    std::unique_ptr<Prepared> &slot = kept()[statement];
    if (!slot)
        slot = std::make_unique<Prepared>(db, tr, statement);
    return slot->run(db, tr, maxRows);
}

void forgetKept()
{
    kept().clear();
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
