#pragma once

#include "FbApi.h"
#include "FbDatabase.h"

#include <QString>
#include <QStringList>

#include <cstring>

// A transaction of its own on the attachment, rolled back unless committed.
class OwnTransaction
{
public:
    explicit OwnTransaction(FbDatabase &db)
        : m_db(db)
    {
        static const char tpb[] = {isc_tpb_version3, isc_tpb_write, isc_tpb_concurrency, isc_tpb_nowait};
        ISC_STATUS_ARRAY status;
        isc_start_transaction(status, &m_handle, 1, db.handle(), static_cast<unsigned short>(sizeof tpb), tpb);
        FbApi::check(status);
    }
    ~OwnTransaction()
    {
        if (m_handle) {
            ISC_STATUS_ARRAY status;
            isc_rollback_transaction(status, &m_handle);
        }
    }
    void execute(QString statement)
    {
        if (statement.endsWith(QLatin1Char(';')))
            statement.chop(1);
        const QByteArray sql = statement.toLatin1();
        ISC_STATUS_ARRAY status;
        isc_dsql_execute_immediate(status, m_db.handle(), &m_handle, 0, sql.constData(),
                                   static_cast<unsigned short>(m_db.sqlDialect()), nullptr);
        FbApi::check(status);
    }
    // The first column (a name) of every row of a select.
    QStringList names(const QString &select)
    {
        const QByteArray sql = select.toLatin1();
        ISC_STATUS_ARRAY status;
        isc_stmt_handle stmt = 0;
        isc_dsql_allocate_statement(status, m_db.handle(), &stmt);
        FbApi::check(status);
        XSQLDA out{};
        out.version = SQLDA_VERSION1;
        out.sqln = 1;
        isc_dsql_prepare(status, &m_handle, &stmt, 0, sql.constData(), static_cast<unsigned short>(m_db.sqlDialect()),
                         &out);
        QStringList result;
        if (!(status[0] == 1 && status[1] != 0)) {
            QByteArray buffer(out.sqlvar[0].sqllen + 2, '\0');
            short null = 0;
            out.sqlvar[0].sqltype = SQL_VARYING + 1;
            out.sqlvar[0].sqldata = buffer.data();
            out.sqlvar[0].sqlind = &null;
            isc_dsql_execute(status, &m_handle, &stmt, static_cast<unsigned short>(m_db.sqlDialect()), nullptr);
            while (!(status[0] == 1 && status[1] != 0) && isc_dsql_fetch(status, &stmt, 1, &out) == 0) {
                short length;
                std::memcpy(&length, buffer.constData(), sizeof length);
                result << QString::fromLatin1(buffer.constData() + 2, length).trimmed();
            }
        }
        ISC_STATUS_ARRAY freeStatus;
        isc_dsql_free_statement(freeStatus, &stmt, DSQL_drop);
        FbApi::check(status);
        return result;
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
