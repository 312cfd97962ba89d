#include "FbQuery.h"

#include "DataSource.h"
#include "FbApi.h"
#include "FbDatabase.h"
#include "FbTransaction.h"
#include "FetchedRows.h"

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QTime>

#include <cstdlib>
#include <cstring>

namespace {

constexpr int kFirstBatch = 1;

struct SqldaDeleter {
    void operator()(XSQLDA *p) const { std::free(p); }
};
using Sqlda = std::unique_ptr<XSQLDA, SqldaDeleter>;

Sqlda allocSqlda(int n)
{
    n = qMax(n, 1);
    auto *p = static_cast<XSQLDA *>(std::calloc(1, XSQLDA_LENGTH(n)));
    p->version = SQLDA_VERSION1;
    p->sqln = static_cast<ISC_SHORT>(n);
    return Sqlda(p);
}

bool isSelect(int type)
{
    return type == isc_info_sql_stmt_select || type == isc_info_sql_stmt_select_for_upd;
}

// Names of :NAME parameters outside quotes and comments, each replaced by "?".
QString replaceNamedParameters(const QString &sql, QStringList *names)
{
    QString out;
    out.reserve(sql.size());
    const auto isIdent = [](QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$'); };
    for (qsizetype i = 0; i < sql.size(); ++i) {
        const QChar c = sql[i];
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            const qsizetype end = sql.indexOf(c, i + 1);
            const qsizetype stop = end < 0 ? sql.size() - 1 : end;
            out += sql.mid(i, stop - i + 1);
            i = stop;
        } else if (c == QLatin1Char('-') && sql.mid(i, 2) == QLatin1String("--")) {
            const qsizetype end = sql.indexOf(QLatin1Char('\n'), i);
            const qsizetype stop = end < 0 ? sql.size() - 1 : end;
            out += sql.mid(i, stop - i + 1);
            i = stop;
        } else if (c == QLatin1Char('/') && sql.mid(i, 2) == QLatin1String("/*")) {
            const qsizetype end = sql.indexOf(QLatin1String("*/"), i + 2);
            const qsizetype stop = end < 0 ? sql.size() - 1 : end + 1;
            out += sql.mid(i, stop - i + 1);
            i = stop;
        } else if (c == QLatin1Char(':') && i + 1 < sql.size() && isIdent(sql[i + 1]) && !sql[i + 1].isDigit()) {
            qsizetype j = i + 1;
            while (j < sql.size() && isIdent(sql[j]))
                ++j;
            names->append(sql.mid(i + 1, j - i - 1));
            out += QLatin1Char('?');
            i = j - 1;
        } else {
            out += c;
        }
    }
    return out;
}

// The engine takes one statement without a closing ";".
QString withoutClosingSemicolon(QString sql)
{
    qsizetype end = sql.size();
    while (end > 0 && sql[end - 1].isSpace())
        --end;
    if (end > 0 && sql[end - 1] == QLatin1Char(';'))
        sql.truncate(end - 1);
    return sql;
}

QString paramText(const QVariant &v)
{
    switch (v.typeId()) {
    case QMetaType::QDate:
        return v.toDate().toString(Qt::ISODate);
    case QMetaType::QTime:
        return v.toTime().toString(QStringLiteral("HH:mm:ss.zzz"));
    case QMetaType::QDateTime:
        return v.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
    case QMetaType::Bool:
        return v.toBool() ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    default:
        return v.toString();
    }
}

} // namespace

// The rows an executed statement touched, from the engine's record counts; -1 when unknown.
qint64 FbApi::affectedRows(isc_stmt_handle *handle)
{
    const char item[] = {isc_info_sql_records};
    char info[64] = {};
    ISC_STATUS_ARRAY status;
    isc_dsql_sql_info(status, handle, sizeof item, item, sizeof info, info);
    if ((status[0] == 1 && status[1] != 0) || info[0] != isc_info_sql_records)
        return -1;
    qint64 count = 0;
    const char *p = info + 3; // item, two bytes of length
    while (p < info + sizeof info && *p != isc_info_end) {
        const char kind = *p;
        const short length = static_cast<short>(isc_vax_integer(p + 1, 2));
        const qint64 value = isc_vax_integer(p + 3, length);
        if (kind == isc_info_req_insert_count || kind == isc_info_req_update_count ||
            kind == isc_info_req_delete_count)
            count += value;
        p += 3 + length;
    }
    return count;
}

struct FbStatement {
    isc_stmt_handle handle = 0;
    int type = 0;
    Sqlda out;
    Sqlda in;
    QVector<QByteArray> outBuffers;
    QVector<short> outNulls;
    QVector<QByteArray> inBuffers;
    QVector<short> inNulls;
    bool cursorOpen = false;
};

FbQuery::FbQuery(FbDatabase *database, QObject *parent)
    : QObject(parent)
    , m_database(database)
    , m_rows(std::make_unique<FetchedRows>())
{
    database->registerQuery(this);
}

FbQuery::~FbQuery()
{
    if (m_database)
        m_database->unregisterQuery(this);
    freeStatement();
}

FbTransaction *FbQuery::transaction() const
{
    return m_database->defaultTransaction();
}

void FbQuery::setSql(const QStringList &lines)
{
    close();
    // A statement prepared for other text must not run again.
    if (lines != m_sql)
        freeStatement();
    m_sql = lines;
}

void FbQuery::setSqlText(const QString &statement)
{
    QStringList lines = statement.isEmpty() ? QStringList() : statement.split(QStringLiteral("\r\n"));
    // A full text as text() gives it ends with CR LF; that is no extra empty line.
    if (lines.size() > 1 && lines.last().isEmpty())
        lines.removeLast();
    setSql(lines);
}

QString FbQuery::text() const
{
    QString all;
    for (const QString &line : m_sql)
        all += line + QStringLiteral("\r\n");
    return all;
}

void FbQuery::setMasterSource(DataSource *master)
{
    if (m_master)
        disconnect(m_master, nullptr, this, nullptr);
    m_master = master;
    if (master)
        connect(master, &DataSource::currentRowChanged, this, &FbQuery::masterChanged);
}

void FbQuery::holdMasterMoves(bool held)
{
    m_masterHeld = held;
    if (!held && m_behindMaster)
        masterChanged();
}

void FbQuery::masterChanged()
{
    if (!m_active)
        return;
    if (m_masterHeld) {
        m_behindMaster = true;
        return;
    }
    m_behindMaster = false;
    // A detail that cannot run again stays closed; its owner sees an empty list.
    try {
        close();
        open();
    } catch (const FbError &e) {
        qWarning("Detail query failed: %s", qPrintable(e.message()));
    }
}

int FbQuery::fieldIndex(const QString &name) const
{
    for (int i = 0; i < m_fieldNames.size(); ++i)
        if (m_fieldNames[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

void FbQuery::freeStatement()
{
    if (!m_stmt)
        return;
    if (m_stmt->handle && m_database && m_database->connected()) {
        ISC_STATUS_ARRAY status;
        isc_dsql_free_statement(status, &m_stmt->handle, DSQL_drop);
    }
    m_stmt.reset();
    m_preparedSql.clear();
}

void FbQuery::releaseIdleStatement()
{
    if (!m_active)
        freeStatement();
}

void FbQuery::prepare()
{
    if (!m_database->connected()) {
        freeStatement();
        m_database->open();
    }
    FbTransaction *tr = transaction();
    if (!tr)
        throw FbError(QStringLiteral("The query has no transaction"));
    tr->ensureStarted();

    QStringList paramNames;
    QString sql = withoutClosingSemicolon(text());
    if (m_master)
        sql = replaceNamedParameters(sql, &paramNames);
    // The same text again (a detail following its master, a list re-run) only takes new parameters.
    if (m_stmt && sql == m_preparedSql) {
        try {
            bindParameters();
        } catch (...) {
            freeStatement();
            throw;
        }
        return;
    }
    freeStatement();
    m_paramNames = paramNames;
    const ConnectionCharset &cs = m_database->charset();
    const qsizetype bad = cs.firstUnencodable(sql);
    if (bad >= 0)
        throw FbError(QStringLiteral("The character \"%1\" cannot be stored in this library (character set %2). "
                                     "Nothing was sent to the database.")
                          .arg(sql.at(bad), cs.name()));
    const QByteArray bytes = cs.encode(sql);

    auto st = std::make_unique<FbStatement>();
    ISC_STATUS_ARRAY status;
    isc_dsql_allocate_statement(status, m_database->handle(), &st->handle);
    FbApi::check(status);
    m_stmt = std::move(st);
    m_stmt->out = allocSqlda(20);
    isc_dsql_prepare(status, tr->handle(), &m_stmt->handle, 0, bytes.constData(),
                     static_cast<unsigned short>(m_database->sqlDialect()), m_stmt->out.get());
    if (status[0] == 1 && status[1] != 0) {
        freeStatement();
        FbApi::raise(status);
    }
    if (m_stmt->out->sqld > m_stmt->out->sqln) {
        m_stmt->out = allocSqlda(m_stmt->out->sqld);
        isc_dsql_describe(status, &m_stmt->handle, 1, m_stmt->out.get());
        FbApi::check(status);
    }

    const char typeItem[] = {isc_info_sql_stmt_type};
    char info[16] = {};
    isc_dsql_sql_info(status, &m_stmt->handle, sizeof typeItem, typeItem, sizeof info, info);
    FbApi::check(status);
    if (info[0] == isc_info_sql_stmt_type) {
        const short len = static_cast<short>(isc_vax_integer(info + 1, 2));
        m_stmt->type = static_cast<int>(isc_vax_integer(info + 3, len));
    }

    XSQLDA *out = m_stmt->out.get();
    m_stmt->outBuffers.resize(out->sqld);
    m_stmt->outNulls.resize(out->sqld);
    for (int i = 0; i < out->sqld; ++i) {
        XSQLVAR &var = out->sqlvar[i];
        const int type = var.sqltype & ~1;
        const int size = type == SQL_VARYING ? var.sqllen + 2 : var.sqllen;
        m_stmt->outBuffers[i] = QByteArray(qMax(size, 8), '\0');
        var.sqldata = m_stmt->outBuffers[i].data();
        var.sqlind = &m_stmt->outNulls[i];
        var.sqltype = static_cast<ISC_SHORT>(var.sqltype | 1);
    }
    bindParameters();
    m_preparedSql = sql;
}

void FbQuery::bindParameters()
{
    if (m_paramNames.isEmpty())
        return;
    ISC_STATUS_ARRAY status;
    m_stmt->in = allocSqlda(m_paramNames.size());
    isc_dsql_describe_bind(status, &m_stmt->handle, 1, m_stmt->in.get());
    FbApi::check(status);
    XSQLDA *in = m_stmt->in.get();
    m_stmt->inBuffers.resize(in->sqld);
    m_stmt->inNulls.resize(in->sqld);
    FbQuery *master = m_master ? m_master->dataSet() : nullptr;
    for (int i = 0; i < in->sqld && i < m_paramNames.size(); ++i) {
        const QVariant value = master ? master->fieldValue(m_paramNames[i]) : QVariant();
        XSQLVAR &var = in->sqlvar[i];
        const bool text = (var.sqltype & ~1) == SQL_TEXT || (var.sqltype & ~1) == SQL_VARYING;
        m_stmt->inBuffers[i] = m_database->charset().encode(paramText(value));
        m_stmt->inNulls[i] = value.isNull() ? -1 : 0;
        var.sqltype = SQL_TEXT + 1;
        var.sqlsubtype = text ? var.sqlsubtype : 0;
        var.sqlscale = 0;
        var.sqllen = static_cast<ISC_SHORT>(m_stmt->inBuffers[i].size());
        var.sqldata = m_stmt->inBuffers[i].data();
        var.sqlind = &m_stmt->inNulls[i];
    }
}

void FbQuery::open()
{
    if (m_active)
        return;
    m_behindMaster = false;
    m_database->runAttached([this] { openCursor(); });
}

void FbQuery::openCursor()
{
    prepare();
    if (!isSelect(m_stmt->type)) {
        // Not a query: run it as a command, there is no result set to keep.
        try {
            executePrepared();
        } catch (...) {
            freeStatement();
            throw;
        }
        return;
    }
    ISC_STATUS_ARRAY status;
    isc_dsql_execute(status, transaction()->handle(), &m_stmt->handle,
                     static_cast<unsigned short>(m_database->sqlDialect()), m_stmt->in.get());
    if (status[0] == 1 && status[1] != 0) {
        freeStatement();
        FbApi::raise(status);
    }
    m_stmt->cursorOpen = true;
    startResult(FirstRow::NotFetched);
}

void FbQuery::startResult(FirstRow first)
{
    m_fieldNames.clear();
    for (int i = 0; i < m_stmt->out->sqld; ++i) {
        const XSQLVAR &var = m_stmt->out->sqlvar[i];
        m_fieldNames << m_database->charset().decode(QByteArrayView(var.aliasname, var.aliasname_length));
    }
    m_rows->reset(m_stmt->out.get());
    m_eof = false;
    m_active = true;
    if (first == FirstRow::Fetched) {
        appendFetchedRow();
        ++m_totalFetched;
    } else if (first == FirstRow::NoneThere) {
        m_eof = true;
        ISC_STATUS_ARRAY status;
        isc_dsql_free_statement(status, &m_stmt->handle, DSQL_close);
        m_stmt->cursorOpen = false;
    } else {
        fetchMore(kFirstBatch);
    }
    m_current = m_rows->isEmpty() ? -1 : 0;
    m_closeUnsaid = false;
    emit opened();
    emit currentRowChanged(m_current);
}

void FbQuery::prepareOpen()
{
    close();
    m_database->runAttached([this] { prepare(); });
    if (!isSelect(m_stmt->type)) {
        freeStatement();
        throw FbError(QStringLiteral("The statement gives no rows"));
    }
}

bool FbQuery::executeOpen()
{
    ISC_STATUS_ARRAY status;
    isc_dsql_execute(status, transaction()->handle(), &m_stmt->handle,
                     static_cast<unsigned short>(m_database->sqlDialect()), m_stmt->in.get());
    if (status[0] == 1 && status[1] != 0)
        FbApi::raise(status);
    m_stmt->cursorOpen = true;
    const ISC_STATUS rc = isc_dsql_fetch(status, &m_stmt->handle, 1, m_stmt->out.get());
    if (rc == 100)
        return false;
    if (rc != 0)
        FbApi::raise(status);
    return true;
}

void FbQuery::finishOpen(bool executed, bool firstRow)
{
    if (!m_stmt)
        return;
    if (!executed) {
        freeStatement();
        return;
    }
    startResult(firstRow ? FirstRow::Fetched : FirstRow::NoneThere);
}

bool FbQuery::returnsRows()
{
    close();
    prepare();
    // Kept prepared: the statement is usually run next.
    return isSelect(m_stmt->type);
}

QStringList FbQuery::parameterNames(const QString &sql)
{
    QStringList names;
    replaceNamedParameters(sql, &names);
    return names;
}

void FbQuery::executePrepared()
{
    ISC_STATUS_ARRAY status;
    FbTransaction *tr = transaction();
    switch (m_stmt->type) {
    case isc_info_sql_stmt_commit:
        // The program's one transaction is never ended by a statement; its work is kept.
        tr->commitRetaining();
        return;
    case isc_info_sql_stmt_rollback:
        isc_rollback_retaining(status, tr->handle());
        FbApi::check(status);
        return;
    case isc_info_sql_stmt_ddl:
        // A statement kept prepared would hold the objects it names in use.
        m_database->releaseIdleStatements(this);
        break;
    default:
        break;
    }
    if (m_stmt->type == isc_info_sql_stmt_exec_procedure)
        isc_dsql_execute2(status, tr->handle(), &m_stmt->handle, static_cast<unsigned short>(m_database->sqlDialect()),
                          m_stmt->in.get(), m_stmt->out.get());
    else
        isc_dsql_execute(status, tr->handle(), &m_stmt->handle, static_cast<unsigned short>(m_database->sqlDialect()),
                         m_stmt->in.get());
    FbApi::check(status);
    // Every change is durable as soon as its statement succeeds, unless it belongs to a batch.
    if (!isSelect(m_stmt->type) && !tr->inBatch())
        tr->commitRetaining();
}

void FbQuery::execSQL()
{
    m_database->runAttached([this] { runStatement(); });
}

void FbQuery::runStatement()
{
    m_rowsAffected = -1;
    close();
    prepare();
    try {
        executePrepared();
        m_rowsAffected = FbApi::affectedRows(&m_stmt->handle);
    } catch (...) {
        freeStatement();
        throw;
    }
}

QString FbQuery::plan()
{
    const bool ownStatement = !m_stmt;
    if (ownStatement)
        prepare();
    const char item[] = {isc_info_sql_get_plan};
    QByteArray info(32768, '\0');
    ISC_STATUS_ARRAY status;
    isc_dsql_sql_info(status, &m_stmt->handle, sizeof item, item, static_cast<short>(info.size()), info.data());
    if (ownStatement)
        freeStatement();
    FbApi::check(status);
    if (info.at(0) != isc_info_sql_get_plan)
        return {};
    const auto length = static_cast<int>(isc_vax_integer(info.constData() + 1, 2));
    return QString::fromLatin1(info.constData() + 3, length).trimmed();
}

void FbQuery::close()
{
    if (!m_active && !m_stmt)
        return;
    const bool wasActive = m_active;
    if (m_stmt && m_stmt->cursorOpen && m_database && m_database->connected()) {
        ISC_STATUS_ARRAY status;
        isc_dsql_free_statement(status, &m_stmt->handle, DSQL_close);
        m_stmt->cursorOpen = false;
    }
    m_active = false;
    m_eof = true;
    m_rows->reset();
    m_fieldNames.clear();
    m_current = -1;
    if (!wasActive)
        return;
    if (m_closeHolds > 0)
        m_closeUnsaid = true;
    else
        emit closed();
}

FbQuery::CloseHold::CloseHold(FbQuery *query)
    : m_query(query)
{
    ++m_query->m_closeHolds;
}

FbQuery::CloseHold::~CloseHold()
{
    if (m_query && --m_query->m_closeHolds == 0)
        m_query->sayHeldClose();
}

void FbQuery::sayHeldClose()
{
    if (!m_closeUnsaid)
        return;
    m_closeUnsaid = false;
    if (!m_active)
        emit closed();
}

void FbQuery::connectionClosing()
{
    close();
    freeStatement();
}

namespace {

QVariant readBlob(FbDatabase *db, FbTransaction *tr, ISC_QUAD id, bool text)
{
    ISC_STATUS_ARRAY status;
    isc_blob_handle blob = 0;
    isc_open_blob2(status, db->handle(), tr->handle(), &blob, &id, 0, nullptr);
    FbApi::check(status);
    QByteArray data;
    char segment[16384];
    unsigned short len = 0;
    for (;;) {
        const ISC_STATUS rc = isc_get_segment(status, &blob, &len, sizeof segment, segment);
        if (rc != 0 && rc != isc_segment)
            break;
        data.append(segment, len);
    }
    isc_close_blob(status, &blob);
    if (text)
        return db->charset().decode(data);
    return data;
}

} // namespace

void FbQuery::appendFetchedRow()
{
    m_rows->append(m_stmt->out.get(), [this](const char *blobId, int column) {
        ISC_QUAD id;
        std::memcpy(&id, blobId, sizeof id);
        return readBlob(m_database.data(), transaction(), id, m_stmt->out->sqlvar[column].sqlsubtype == 1);
    });
}

int FbQuery::fetchMore(int count)
{
    if (!m_active || m_eof || !m_stmt)
        return 0;
    const int first = m_rows->size();
    XSQLDA *out = m_stmt->out.get();
    ISC_STATUS_ARRAY status;
    for (int n = 0; n < count; ++n) {
        const ISC_STATUS rc = isc_dsql_fetch(status, &m_stmt->handle, 1, out);
        if (rc == 100) {
            m_eof = true;
            break;
        }
        if (rc != 0) {
            m_eof = true;
            FbApi::raise(status);
        }
        appendFetchedRow();
    }
    const int added = m_rows->size() - first;
    m_totalFetched += added;
    if (added > 0)
        emit rowsFetched(first, m_rows->size() - 1);
    if (m_eof && m_stmt->cursorOpen) {
        isc_dsql_free_statement(status, &m_stmt->handle, DSQL_close);
        m_stmt->cursorOpen = false;
    }
    return added;
}

int FbQuery::fetchedCount() const
{
    return m_rows->size();
}

qint64 FbQuery::heldRowBytes() const
{
    return m_rows->heldBytes();
}

void FbQuery::fetchAll()
{
    while (!m_eof && m_active)
        fetchMore(1024);
}

void FbQuery::keepFirstRows(int rows)
{
    rows = qMax(rows, m_current + 1);
    if (!m_active || !m_stmt || m_rows->size() <= rows)
        return;
    // A cursor only goes forward: the rows are dropped and the statement, still prepared and
    // bound, runs again up to the kept ones.
    ISC_STATUS_ARRAY status;
    if (m_stmt->cursorOpen) {
        isc_dsql_free_statement(status, &m_stmt->handle, DSQL_close);
        m_stmt->cursorOpen = false;
    }
    m_rows->reset(m_stmt->out.get());
    isc_dsql_execute(status, transaction()->handle(), &m_stmt->handle,
                     static_cast<unsigned short>(m_database->sqlDialect()), m_stmt->in.get());
    if (status[0] == 1 && status[1] != 0) {
        close();
        FbApi::raise(status);
    }
    m_stmt->cursorOpen = true;
    m_eof = false;
    while (m_rows->size() < rows && fetchMore(rows - m_rows->size()) > 0) {
    }
    m_current = qMin(m_current, m_rows->size() - 1);
}

QVariant FbQuery::value(int row, int column) const
{
    if (!m_database)
        return {};
    return m_rows->value(row, column, m_database->charset());
}

void FbQuery::setCurrentRow(int row)
{
    if (!m_active)
        return;
    while (row >= m_rows->size() && !m_eof)
        fetchMore(qMax(256, row - int(m_rows->size()) + 1));
    row = m_rows->isEmpty() ? -1 : qBound(0, row, int(m_rows->size()) - 1);
    if (row == m_current)
        return;
    m_current = row;
    emit currentRowChanged(m_current);
}

void FbQuery::first()
{
    setCurrentRow(0);
}

void FbQuery::prior()
{
    setCurrentRow(qMax(0, m_current - 1));
}

void FbQuery::next()
{
    setCurrentRow(m_current + 1);
}

void FbQuery::last()
{
    fetchAll();
    setCurrentRow(int(m_rows->size()) - 1);
}

QVariant FbQuery::fieldValue(const QString &name) const
{
    return value(m_current, fieldIndex(name));
}

QString FbQuery::fieldText(const QString &name) const
{
    return displayText(fieldValue(name));
}

QString FbQuery::displayText(const QVariant &value)
{
    if (value.isNull())
        return {};
    switch (value.typeId()) {
    case QMetaType::QDate:
        return QLocale::system().toString(value.toDate(), QLocale::ShortFormat);
    case QMetaType::QDateTime:
        return QLocale::system().toString(value.toDateTime(), QLocale::ShortFormat);
    case QMetaType::QTime:
        return value.toTime().toString(QStringLiteral("HH:mm:ss"));
    case QMetaType::Double:
        return QString::number(value.toDouble(), 'g', 15);
    default:
        return value.toString();
    }
}
