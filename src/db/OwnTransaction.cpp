#include "OwnTransaction.h"

#include "FbApi.h"
#include "FbDatabase.h"
#include "FbError.h"

#include <cstring>

OwnTransaction::OwnTransaction(FbDatabase &db) : m_db(db)
{
    static const char tpb[] = {isc_tpb_version3, isc_tpb_write, isc_tpb_concurrency, isc_tpb_nowait};
    ISC_STATUS_ARRAY status;
    isc_start_transaction(status, &m_handle, 1, db.handle(), static_cast<unsigned short>(sizeof tpb), tpb);
    FbApi::check(status);
}

OwnTransaction::~OwnTransaction()
{
    if (m_handle) {
        ISC_STATUS_ARRAY status;
        isc_rollback_transaction(status, &m_handle);
    }
}

namespace
{

QByteArray encoded(const FbDatabase &db, const QString &statement)
{
    bool ok = true;
    const QByteArray bytes = db.charset().encode(statement, &ok);
    if (!ok)
        throw FbError(QStringLiteral("The statement holds characters the library cannot hold"));
    return bytes;
}

} // namespace

QStringList selectColumn(FbDatabase &db, unsigned int *transaction, const QString &select, int width)
{
    const QByteArray sql = encoded(db, select);
    ISC_STATUS_ARRAY status;
    isc_stmt_handle stmt = 0;
    isc_dsql_allocate_statement(status, db.handle(), &stmt);
    FbApi::check(status);
    XSQLDA out{};
    out.version = SQLDA_VERSION1;
    out.sqln = 1;
    isc_dsql_prepare(status, transaction, &stmt, static_cast<unsigned short>(sql.size()), sql.constData(),
                     static_cast<unsigned short>(db.sqlDialect()), &out);
    QStringList result;
    if (!(status[0] == 1 && status[1] != 0)) {
        QByteArray buffer(width + 2, '\0');
        short null = 0;
        out.sqlvar[0].sqltype = SQL_VARYING + 1;
        out.sqlvar[0].sqllen = static_cast<short>(width);
        out.sqlvar[0].sqldata = buffer.data();
        out.sqlvar[0].sqlind = &null;
        isc_dsql_execute(status, transaction, &stmt, static_cast<unsigned short>(db.sqlDialect()), nullptr);
        while (!(status[0] == 1 && status[1] != 0) && isc_dsql_fetch(status, &stmt, 1, &out) == 0) {
            short length;
            std::memcpy(&length, buffer.constData(), sizeof length);
            result << db.charset().decode(QByteArrayView(buffer.constData() + 2, length)).trimmed();
        }
    }
    ISC_STATUS_ARRAY freeStatus;
    isc_dsql_free_statement(freeStatus, &stmt, DSQL_drop);
    FbApi::check(status);
    return result;
}

QByteArray selectValue(FbDatabase &db, unsigned int *transaction, const QString &select, int width)
{
    const QByteArray sql = encoded(db, select);
    QByteArray buffer(width + 2, '\0');
    short null = 0;
    XSQLDA out{};
    out.version = SQLDA_VERSION1;
    out.sqln = 1;
    out.sqld = 1;
    out.sqlvar[0].sqltype = SQL_VARYING + 1;
    out.sqlvar[0].sqllen = static_cast<short>(width);
    out.sqlvar[0].sqldata = buffer.data();
    out.sqlvar[0].sqlind = &null;
    ISC_STATUS_ARRAY status;
    isc_dsql_exec_immed2(status, db.handle(), transaction, static_cast<unsigned short>(sql.size()), sql.constData(),
                         static_cast<unsigned short>(db.sqlDialect()), nullptr, &out);
    FbApi::check(status);
    if (null)
        return {};
    short length;
    std::memcpy(&length, buffer.constData(), sizeof length);
    return buffer.mid(2, length);
}

void OwnTransaction::execute(QString statement)
{
    if (statement.endsWith(QLatin1Char(';')))
        statement.chop(1);
    const QByteArray sql = encoded(m_db, statement);
    ISC_STATUS_ARRAY status;
    isc_dsql_execute_immediate(status, m_db.handle(), &m_handle, static_cast<unsigned short>(sql.size()),
                               sql.constData(), static_cast<unsigned short>(m_db.sqlDialect()), nullptr);
    m_db.forgetCatalog();
    FbApi::check(status);
}

QStringList OwnTransaction::column(const QString &select, int width)
{
    return selectColumn(m_db, &m_handle, select, width);
}

void OwnTransaction::commit()
{
    ISC_STATUS_ARRAY status;
    isc_commit_transaction(status, &m_handle);
    m_db.forgetCatalog();
    FbApi::check(status);
    m_handle = 0;
}
