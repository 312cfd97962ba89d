#include "LibraryConversion.h"

#include "BookIsbnTable.h"
#include "BookSearchCopy.h"
#include "FbDatabase.h"
#include "FbError.h"
#include "FbTransaction.h"
#include "LoanSchema.h"
#include "OwnTransaction.h"

namespace {

QString literal(QString text)
{
    text.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + text + QLatin1Char('\'');
}

bool hasTable(OwnTransaction &tr, const QString &table)
{
    return !tr.column(QStringLiteral("SELECT RDB$RELATION_NAME FROM RDB$RELATIONS WHERE RDB$RELATION_NAME = ") +
                      literal(table))
                .isEmpty();
}

// Stored (not computed) columns, in their order.
QStringList storedColumns(OwnTransaction &tr, const QString &table)
{
    return tr.column(QStringLiteral("SELECT rf.RDB$FIELD_NAME FROM RDB$RELATION_FIELDS rf JOIN RDB$FIELDS f "
                                    "ON f.RDB$FIELD_NAME = rf.RDB$FIELD_SOURCE WHERE rf.RDB$RELATION_NAME = ") +
                     literal(table) +
                     QStringLiteral(" AND f.RDB$COMPUTED_BLR IS NULL ORDER BY rf.RDB$FIELD_POSITION"));
}

qint64 rowCount(OwnTransaction &tr, const QString &table)
{
    return tr.column(QStringLiteral("SELECT count(*) FROM ") + table).value(0).toLongLong();
}

// Rows read from the old library through the new one's engine and inserted as they come.
QString copyStatement(const QString &table, const QStringList &columns, const QString &sourceName,
                      const QStringList &sourceParams)
{
    QString declare, into, values;
    for (int i = 0; i < columns.size(); ++i) {
        declare += QStringLiteral("DECLARE V%1 TYPE OF COLUMN %2.%3; ").arg(i).arg(table, columns[i]);
        into += (i ? QStringLiteral(", :V") : QStringLiteral(":V")) + QString::number(i);
    }
    QString credentials;
    const QString user = FbDatabase::paramIn(sourceParams, QStringLiteral("user_name")).trimmed();
    if (!user.isEmpty())
        credentials = QStringLiteral(" AS USER ") + literal(user) + QStringLiteral(" PASSWORD ") +
                      literal(FbDatabase::paramIn(sourceParams, QStringLiteral("password")));
    const QString select = QStringLiteral("SELECT ") + columns.join(QStringLiteral(", ")) + QStringLiteral(" FROM ") + table;
    return QStringLiteral("EXECUTE BLOCK RETURNS (N BIGINT) AS ") + declare +
           QStringLiteral("BEGIN N = 0; FOR EXECUTE STATEMENT ") + literal(select) + QStringLiteral(" ON EXTERNAL ") +
           literal(sourceName) + credentials + QStringLiteral(" INTO ") + into + QStringLiteral(" DO BEGIN INSERT INTO ") +
           table + QStringLiteral(" (") + columns.join(QStringLiteral(", ")) + QStringLiteral(") VALUES (") + into +
           QStringLiteral("); N = N + 1; END SUSPEND; END");
}

// The highest book id the old library has given out, deleted books included, so that a new book
// never takes the id of one the loan history remembers.
qint64 lastBookId(OwnTransaction &source)
{
    qint64 last = source.column(QStringLiteral("SELECT coalesce(max(ID), 0) FROM BOOK")).value(0).toLongLong();
    const QString generator = source.column(QStringLiteral(
        "SELECT RDB$GENERATOR_NAME FROM RDB$RELATION_FIELDS WHERE RDB$RELATION_NAME = 'BOOK' AND RDB$FIELD_NAME = 'ID'"))
                                  .value(0);
    if (!generator.isEmpty())
        last = qMax(last, source.column(QStringLiteral("SELECT GEN_ID(\"%1\", 0) FROM RDB$DATABASE").arg(generator))
                              .value(0)
                              .toLongLong());
    if (hasTable(source, QStringLiteral("LOAN_HISTORY")))
        last = qMax(last, source.column(QStringLiteral("SELECT coalesce(max(BOOK_ID), 0) FROM LOAN_HISTORY"))
                              .value(0)
                              .toLongLong());
    return last;
}

} // namespace

namespace LibraryConversion {

QStringList tables()
{
    return {QStringLiteral("BOOK"), QStringLiteral("GIVEN"), QStringLiteral("LOAN_HISTORY"), QStringLiteral("BORROWER"),
            QString::fromLatin1(BookIsbnTable::kTable)};
}

QList<Count> convert(FbDatabase &target, const QString &sourceName, const QStringList &sourceParams,
                     const std::function<bool(int done, int total, const QString &table)> &step)
{
    // What the program adds on connect, so that every table of the old library has its place.
    LoanSchema::addMissing(target);
    BookIsbnTable::ensure(target);
    BookSearchCopy::addIfMissing(target);

    FbDatabase source;
    source.setDatabaseName(sourceName);
    source.setParams(sourceParams);
    source.open();
    OwnTransaction from(source);
    QList<Count> counts;
    const QStringList all = tables();
    for (int i = 0; i < all.size(); ++i) {
        const QString &table = all[i];
        if (!hasTable(from, table))
            continue;
        if (step && !step(i, all.size(), table))
            throw FbError(QStringLiteral("The conversion was stopped"));
        OwnTransaction to(target);
        QStringList columns = storedColumns(from, table);
        const QStringList targetColumns = storedColumns(to, table);
        columns.removeIf([&targetColumns](const QString &c) { return !targetColumns.contains(c); });
        Count count{table, rowCount(from, table), 0};
        if (count.source > 0)
            count.copied = to.column(copyStatement(table, columns, sourceName, sourceParams)).value(0).toLongLong();
        if (rowCount(to, table) != count.source || count.copied != count.source)
            throw FbError(QStringLiteral("%1: %2 rows in the library, %3 copied").arg(table).arg(count.source).arg(count.copied));
        if (table == QLatin1String("BOOK"))
            to.execute(QStringLiteral("ALTER TABLE BOOK ALTER COLUMN ID RESTART WITH %1").arg(lastBookId(from)));
        to.commit();
        counts << count;
    }
    if (step)
        step(all.size(), all.size(), QString());
    return counts;
}

} // namespace LibraryConversion
