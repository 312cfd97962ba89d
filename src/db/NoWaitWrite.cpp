#include "NoWaitWrite.h"

#include "FbApi.h"
#include "FbDatabase.h"

NoWaitWrite::NoWaitWrite(FbDatabase *database) : m_database(database)
{
    if (!m_database->connected())
        m_database->open();
    static const char tpb[] = {isc_tpb_version3, isc_tpb_write, isc_tpb_read_committed, isc_tpb_rec_version,
                               isc_tpb_nowait};
    ISC_STATUS_ARRAY status;
    isc_tr_handle handle = 0;
    isc_start_transaction(status, &handle, 1, m_database->handle(), static_cast<unsigned short>(sizeof tpb), tpb);
    FbApi::check(status);
    m_handle = handle;
}

NoWaitWrite::~NoWaitWrite()
{
    if (!m_handle)
        return;
    ISC_STATUS_ARRAY status;
    isc_tr_handle handle = m_handle;
    isc_rollback_transaction(status, &handle);
}

qint64 NoWaitWrite::exec(const QString &sql)
{
    const QByteArray bytes = m_database->charset().encode(sql);
    ISC_STATUS_ARRAY status;
    isc_stmt_handle statement = 0;
    isc_dsql_allocate_statement(status, m_database->handle(), &statement);
    FbApi::check(status);
    isc_tr_handle transaction = m_handle;
    isc_dsql_prepare(status, &transaction, &statement, 0, bytes.constData(),
                     static_cast<unsigned short>(m_database->sqlDialect()), nullptr);
    if (!(status[0] == 1 && status[1] != 0))
        isc_dsql_execute(status, &transaction, &statement, 1, nullptr);
    ISC_STATUS_ARRAY freeStatus;
    const qint64 rows = (status[0] == 1 && status[1] != 0) ? -1 : FbApi::affectedRows(&statement);
    isc_dsql_free_statement(freeStatus, &statement, DSQL_drop);
    FbApi::check(status);
    return rows;
}

void NoWaitWrite::commit()
{
    ISC_STATUS_ARRAY status;
    isc_tr_handle handle = m_handle;
    isc_commit_transaction(status, &handle);
    FbApi::check(status);
    m_handle = 0;
}
