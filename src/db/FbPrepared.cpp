#include "FbPrepared.h"

#include "FbApi.h"
#include "FbDatabase.h"
#include "FbError.h"
#include "FbTransaction.h"

#include <cstdlib>

struct FbPrepared::Handle {
    isc_stmt_handle statement = 0;
    XSQLDA *in = nullptr;
    QVector<QByteArray> buffers;
    QVector<short> nulls;
    ~Handle()
    {
        ISC_STATUS_ARRAY status;
        if (statement)
            isc_dsql_free_statement(status, &statement, DSQL_drop);
        std::free(in);
    }
};

namespace
{
XSQLDA *allocSqlda(int n)
{
    auto *p = static_cast<XSQLDA *>(std::calloc(1, XSQLDA_LENGTH(n)));
    p->version = SQLDA_VERSION1;
    p->sqln = static_cast<ISC_SHORT>(n);
    return p;
}
} // namespace

FbPrepared::FbPrepared(FbDatabase *database, const QString &statement)
    : m_database(database), m_handle(std::make_unique<Handle>())
{
    if (!database->connected())
        database->open();
    FbTransaction *tr = database->defaultTransaction();
    tr->ensureStarted();
    const QByteArray sql = database->charset().encode(statement);
    ISC_STATUS_ARRAY status;
    isc_dsql_allocate_statement(status, database->handle(), &m_handle->statement);
    FbApi::check(status);
    isc_dsql_prepare(status, tr->handle(), &m_handle->statement, 0, sql.constData(),
                     static_cast<unsigned short>(database->sqlDialect()), nullptr);
    FbApi::check(status);
    m_handle->in = allocSqlda(1);
    isc_dsql_describe_bind(status, &m_handle->statement, 1, m_handle->in);
    FbApi::check(status);
    const int count = m_handle->in->sqld;
    if (count > m_handle->in->sqln) {
        std::free(m_handle->in);
        m_handle->in = allocSqlda(count);
        isc_dsql_describe_bind(status, &m_handle->statement, 1, m_handle->in);
        FbApi::check(status);
    }
    m_handle->buffers.resize(count);
    m_handle->nulls.resize(count);
    for (int i = 0; i < count; ++i) {
        XSQLVAR &var = m_handle->in->sqlvar[i];
        const bool text = (var.sqltype & ~1) == SQL_TEXT || (var.sqltype & ~1) == SQL_VARYING;
        var.sqltype = SQL_TEXT + 1;
        var.sqlsubtype = text ? var.sqlsubtype : 0;
        var.sqlscale = 0;
        var.sqlind = &m_handle->nulls[i];
    }
}

FbPrepared::~FbPrepared() = default;

int FbPrepared::parameterCount() const
{
    return m_handle->in->sqld;
}

void FbPrepared::execute(const QList<QString> &values)
{
    XSQLDA *in = m_handle->in;
    for (int i = 0; i < in->sqld; ++i) {
        const QString value = values.value(i);
        m_handle->buffers[i] = m_database->charset().encode(value);
        m_handle->nulls[i] = value.isNull() ? -1 : 0;
        XSQLVAR &var = in->sqlvar[i];
        var.sqllen = static_cast<ISC_SHORT>(m_handle->buffers[i].size());
        var.sqldata = m_handle->buffers[i].data();
    }
    ISC_STATUS_ARRAY status;
    isc_dsql_execute(status, m_database->defaultTransaction()->handle(), &m_handle->statement,
                     static_cast<unsigned short>(m_database->sqlDialect()), in);
    FbApi::check(status);
}

void FbPrepared::executeWithBlob(const QByteArray &bytes)
{
    if (m_handle->in->sqld != 1)
        throw FbError(QStringLiteral("A statement with one BLOB parameter was expected"));
    ISC_STATUS_ARRAY status;
    isc_tr_handle *tr = m_database->defaultTransaction()->handle();
    ISC_QUAD id{};
    isc_blob_handle blob = 0;
    isc_create_blob2(status, m_database->handle(), tr, &blob, &id, 0, nullptr);
    FbApi::check(status);
    constexpr qsizetype kSegment = 32 * 1024;
    for (qsizetype at = 0; at < bytes.size() && status[1] == 0; at += kSegment) {
        const qsizetype length = qMin(kSegment, bytes.size() - at);
        isc_put_segment(status, &blob, static_cast<unsigned short>(length), bytes.constData() + at);
    }
    ISC_STATUS_ARRAY closing;
    if (status[1] != 0) {
        isc_cancel_blob(closing, &blob);
        FbApi::raise(status);
    }
    isc_close_blob(status, &blob);
    FbApi::check(status);
    XSQLVAR &var = m_handle->in->sqlvar[0];
    const XSQLVAR asText = var;
    m_handle->nulls[0] = 0;
    var.sqltype = SQL_BLOB + 1;
    var.sqlsubtype = 0;
    var.sqllen = sizeof id;
    var.sqldata = reinterpret_cast<char *>(&id);
    isc_dsql_execute(status, tr, &m_handle->statement, static_cast<unsigned short>(m_database->sqlDialect()),
                     m_handle->in);
    var = asText;
    FbApi::check(status);
}
