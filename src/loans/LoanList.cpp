#include "LoanList.h"

#include "AppState.h"
#include "DataSource.h"
#include "FbQuery.h"
#include "LoanStatements.h"

namespace LoanList {

QVector<GridColumn> loanGridColumns()
{
    return {
        {QStringLiteral("GIVEN_ID"), QStringLiteral("GIVEN_ID"), 8},
        {QStringLiteral("TITLE"), QStringLiteral("TITLE"), 40},
        {QStringLiteral("GIVEN_TO"), QStringLiteral("GIVEN_TO"), LoanSql::kMaxBorrowerLength},
        {QStringLiteral("GIVEN_DATE"), QStringLiteral("GIVEN_DATE"), 12},
        // Not a field of the list's statement: filled from the due dates read beside it.
        {QStringLiteral("DUE_DATE"), QStringLiteral("DUE_DATE"), 12},
    };
}

void refreshLoanList(MainWindowApi *api)
{
    FbQuery *query = api->IBQuery5();
    query->setSqlText(LoanSql::listStatement());
    query->open();
    api->setGivenBaseSql(query->text());
}

void followBookList(MainWindowApi *api)
{
    api->IBQuery5()->setMasterSource(api->DataSource1());
}

} // namespace LoanList
