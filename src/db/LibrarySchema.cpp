#include "LibrarySchema.h"

#include "BookSearchCopy.h"
#include "FbApi.h"
#include "FbDatabase.h"
#include "FbError.h"
#include "FbQuery.h"
#include "FbTransaction.h"

#include <QFile>
#include <QFileInfo>

#include <cstring>

// The script is compiled into this static library; its resource must be registered by hand.
static void initSchemaResource()
{
    Q_INIT_RESOURCE(schema);
}

namespace {

bool isIndexStatement(const QString &statement)
{
    return statement.startsWith(QLatin1String("CREATE INDEX"))
        || statement.startsWith(QLatin1String("CREATE DESCENDING INDEX"));
}

QString indexName(const QString &statement)
{
    const QStringList words = statement.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    const qsizetype at = words.indexOf(QStringLiteral("INDEX"));
    return at >= 0 && at + 1 < words.size() ? words.at(at + 1) : QString();
}

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

// The text columns of a Unicode library take this collation: Ukrainian and Russian letters in
// their readers' order (Ґ after Г, Є after Е, І and Ї after И, Ё beside Е), Latin after them.
void useUkrainianCollation(FbDatabase &db)
{
    db.open();
    OwnTransaction tr(db);
    tr.execute(QStringLiteral("CREATE COLLATION UNICODE_UK FOR UTF8 FROM UNICODE 'LOCALE=uk_UA'"));
    tr.execute(QStringLiteral("ALTER CHARACTER SET UTF8 SET DEFAULT COLLATION UNICODE_UK"));
    tr.commit();
}

QStringList missingIn(OwnTransaction &tr)
{
    const QStringList present =
        tr.names(QStringLiteral("SELECT RDB$INDEX_NAME FROM RDB$INDICES WHERE RDB$RELATION_NAME = 'BOOK'"));
    QStringList missing;
    for (const QString &name : LibrarySchema::indexNames())
        if (!present.contains(name))
            missing << name;
    return missing;
}

} // namespace

QStringList LibrarySchema::indexNames()
{
    QStringList names;
    for (const QString &statement : statements())
        if (isIndexStatement(statement))
            names << indexName(statement);
    return names;
}

QStringList LibrarySchema::missingIndexes(FbDatabase &db)
{
    if (!db.connected())
        db.open();
    OwnTransaction tr(db);
    return missingIn(tr);
}

QStringList LibrarySchema::addMissingIndexes(FbDatabase &db,
                                             const std::function<void(const QStringList &)> &beforeBuilding)
{
    if (!db.connected())
        db.open();
    OwnTransaction tr(db);
    const QStringList missing = missingIn(tr);
    if (missing.isEmpty())
        return {};
    if (beforeBuilding)
        beforeBuilding(missing);
    for (const QString &statement : statements())
        if (isIndexStatement(statement) && missing.contains(indexName(statement)))
            tr.execute(statement);
    // The indexes are built here; a failure rolls every one of them back.
    tr.commit();
    return missing;
}

QStringList LibrarySchema::statements()
{
    initSchemaResource();
    QFile file(QStringLiteral(":/db/schema.sql"));
    if (!file.open(QIODevice::ReadOnly))
        throw FbError(QStringLiteral("The library creation script is missing from the program"));
    QStringList result;
    QString current;
    for (const QString &line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(QLatin1String("--")))
            continue;
        current += (current.isEmpty() ? QString() : QStringLiteral("\n")) + line.trimmed();
        if (trimmed.endsWith(QLatin1Char(';'))) {
            result << current;
            current.clear();
        }
    }
    return result;
}

QString LibrarySchema::lcCtypeFor(bool unicode)
{
    return unicode ? QStringLiteral("UTF8") : QString::fromLatin1(kCharacterSet);
}

void LibrarySchema::create(const QString &path, bool withGiven, bool unicode)
{
    if (QFileInfo::exists(path))
        throw FbError(QStringLiteral("%1 already exists; it was left as it is").arg(path));
    FbDatabase::createDatabase(path, lcCtypeFor(unicode),
                               unicode ? QStringLiteral("UNICODE") : QString::fromLatin1(kCollation));
    FbDatabase db;
    FbTransaction tr(&db);
    db.setDatabaseName(path);
    db.setParams({QStringLiteral("user_name=SYSDBA"), QStringLiteral("lc_ctype=") + lcCtypeFor(unicode)});
    if (unicode)
        useUkrainianCollation(db);
    FbQuery query(&db);
    for (const QString &statement : statements()) {
        if ((!withGiven && statement.contains(QLatin1String("CREATE TABLE GIVEN"))) || isIndexStatement(statement))
            continue;
        query.setSqlText(statement);
        query.execSQL();
    }
    // The indexes in one commit rather than one each, once the tables are committed.
    db.close();
    addMissingIndexes(db);
    BookSearchCopy::addIfMissing(db);
    db.close();
}
