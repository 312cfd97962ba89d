#include "BookIsbnTable.h"

#include "FbApi.h"
#include "FbDatabase.h"

namespace {

const char *const kExistsSql = "SELECT COUNT(*) FROM RDB$RELATIONS WHERE RDB$RELATION_NAME = 'BOOK_ISBN'";
const char *const kCreateSql[] = {
    "CREATE TABLE BOOK_ISBN (BOOK_ID INTEGER NOT NULL, ISBN VARCHAR(13) NOT NULL, SOURCE VARCHAR(40), "
    "COVER BLOB SUB_TYPE 0, CONSTRAINT PK_BOOK_ISBN PRIMARY KEY (BOOK_ID), "
    "CONSTRAINT FK_BOOK_ISBN_BOOK FOREIGN KEY (BOOK_ID) REFERENCES BOOK (ID) ON DELETE CASCADE)",
    "CREATE INDEX BOOK_ISBN_ISBN ON BOOK_ISBN (ISBN)",
};

bool failed(const ISC_STATUS *status)
{
    return status[0] == 1 && status[1] != 0;
}

// A transaction of its own, rolled back unless committed, so a failure leaves the library as it was.
class DdlTransaction
{
public:
    explicit DdlTransaction(FbDatabase &db) : m_db(db)
    {
        static const char tpb[] = {isc_tpb_version3, isc_tpb_write, isc_tpb_concurrency, isc_tpb_nowait};
        ISC_STATUS_ARRAY status;
        isc_start_transaction(status, &m_handle, 1, db.handle(), static_cast<unsigned short>(sizeof tpb), tpb);
        FbApi::check(status);
    }
    ~DdlTransaction()
    {
        if (m_handle) {
            ISC_STATUS_ARRAY status;
            isc_rollback_transaction(status, &m_handle);
        }
    }
    bool tableExists()
    {
        ISC_STATUS_ARRAY status;
        isc_stmt_handle stmt = 0;
        isc_dsql_allocate_statement(status, m_db.handle(), &stmt);
        FbApi::check(status);
        XSQLDA out{};
        out.version = SQLDA_VERSION1;
        out.sqln = 1;
        ISC_INT64 count = 0;
        short null = 0;
        isc_dsql_prepare(status, &m_handle, &stmt, 0, kExistsSql, static_cast<unsigned short>(m_db.sqlDialect()), &out);
        if (!failed(status)) {
            out.sqlvar[0].sqltype = SQL_INT64 + 1;
            out.sqlvar[0].sqlscale = 0;
            out.sqlvar[0].sqldata = reinterpret_cast<char *>(&count);
            out.sqlvar[0].sqlind = &null;
            isc_dsql_execute(status, &m_handle, &stmt, static_cast<unsigned short>(m_db.sqlDialect()), nullptr);
            if (!failed(status))
                isc_dsql_fetch(status, &stmt, 1, &out);
        }
        ISC_STATUS_ARRAY freeStatus;
        isc_dsql_free_statement(freeStatus, &stmt, DSQL_drop);
        FbApi::check(status);
        return count > 0;
    }
    void execute(const char *sql)
    {
        ISC_STATUS_ARRAY status;
        isc_dsql_execute_immediate(status, m_db.handle(), &m_handle, 0, sql,
                                   static_cast<unsigned short>(m_db.sqlDialect()), nullptr);
        FbApi::check(status);
    }
    void commit()
    {
        ISC_STATUS_ARRAY status;
        isc_commit_transaction(status, &m_handle);
        FbApi::check(status);
        m_handle = 0;
    }

private:
    FbDatabase &m_db;
    isc_tr_handle m_handle = 0;
};

} // namespace

bool BookIsbnTable::ensure(FbDatabase &db)
{
    if (!db.connected())
        db.open();
    {
        DdlTransaction probe(db);
        if (probe.tableExists())
            return false;
    }
    // The table must be committed before its index refers to it.
    for (const char *sql : kCreateSql) {
        DdlTransaction tr(db);
        tr.execute(sql);
        tr.commit();
    }
    return true;
}
