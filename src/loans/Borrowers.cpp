#include "Borrowers.h"

#include "EventConsole.h"
#include "FbDatabase.h"
#include "FbQuery.h"
#include "LangStr.h"

namespace {
QString run(FbDatabase &db, const QString &statement)
{
    try {
        FbQuery query(&db);
        query.setSqlText(statement);
        LogSql(statement);
        query.execSQL();
        return {};
    } catch (const std::exception &e) {
        return QString::fromStdString(e.what());
    }
}
} // namespace

namespace Borrowers {

QList<LoanRecords::Borrower> all(FbDatabase &db)
{
    QList<LoanRecords::Borrower> result;
    try {
        FbQuery query(&db);
        query.setSqlText(LoanRecords::borrowersStatement());
        query.open();
        query.fetchAll();
        for (int row = 0; row < query.fetchedCount(); ++row)
            result.append({query.value(row, 0).toString(), query.value(row, 1).toString(),
                           query.value(row, 2).toString(), query.value(row, 3).toString()});
    } catch (const std::exception &) {
        // No borrowers' book in this library: nothing to offer.
    }
    return result;
}

QStringList names(FbDatabase &db)
{
    QStringList result;
    for (const LoanRecords::Borrower &b : all(db))
        result << b.name;
    return result;
}

QStringList namesOnlyInLoans(FbDatabase &db)
{
    QStringList result;
    try {
        FbQuery query(&db);
        query.setSqlText(LoanRecords::namesOnlyInLoansStatement());
        query.open();
        query.fetchAll();
        for (int row = 0; row < query.fetchedCount(); ++row)
            result << query.value(row, 0).toString();
    } catch (const std::exception &) {
        // No history or borrowers' book in this library.
    }
    return result;
}

QString check(const LoanRecords::Borrower &borrower)
{
    if (borrower.name.trimmed().isEmpty())
        return LangStr(QStringLiteral("lborrnoname"));
    if (!LoanRecords::emailFormOk(borrower.email.trimmed()))
        return LangStr(QStringLiteral("lborrbademail"));
    return {};
}

QString add(FbDatabase &db, const LoanRecords::Borrower &borrower)
{
    const QString problem = check(borrower);
    return problem.isEmpty() ? run(db, LoanRecords::addBorrowerStatement(borrower)) : problem;
}

QString change(FbDatabase &db, const QString &oldName, const LoanRecords::Borrower &borrower)
{
    const QString problem = check(borrower);
    return problem.isEmpty() ? run(db, LoanRecords::changeBorrowerStatement(oldName, borrower)) : problem;
}

QString remove(FbDatabase &db, const QString &name)
{
    return run(db, LoanRecords::deleteBorrowerStatement(name));
}

} // namespace Borrowers
