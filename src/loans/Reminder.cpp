#include "Reminder.h"

#include "FbQuery.h"
#include "LangStr.h"
#include "LoanRecords.h"

#include <QLocale>
#include <QUrlQuery>

namespace {
QString dayText(const QDate &date)
{
    return QLocale::system().toString(date, QLocale::ShortFormat);
}

QVariant firstValue(FbDatabase &db, const QString &statement)
{
    try {
        FbQuery query(&db);
        query.setSqlText(statement);
        query.open();
        const QVariant value = query.isEmpty() ? QVariant() : query.value(0, 0);
        query.close();
        return value;
    } catch (const std::exception &) {
        return {};
    }
}
} // namespace

namespace Reminder {

QString subject(const Loan &loan)
{
    return LangStr(QStringLiteral("lremsubj")).arg(loan.title);
}

QString body(const Loan &loan)
{
    const QString text = loan.due.isValid()
                             ? LangStr(QStringLiteral("lremdue")).arg(loan.borrower, loan.title, dayText(loan.given),
                                                                       dayText(loan.due))
                             : LangStr(QStringLiteral("lremnodue")).arg(loan.borrower, loan.title, dayText(loan.given));
    return text;
}

QUrl mailtoUrl(const Loan &loan)
{
    QUrl url;
    url.setScheme(QStringLiteral("mailto"));
    url.setPath(loan.email);
    QUrlQuery query;
    // Spaces as %20: mail programs do not all read "+" as a space.
    query.addQueryItem(QStringLiteral("subject"), QString::fromLatin1(QUrl::toPercentEncoding(subject(loan))));
    query.addQueryItem(QStringLiteral("body"), QString::fromLatin1(QUrl::toPercentEncoding(body(loan))));
    url.setQuery(query.query(QUrl::FullyEncoded), QUrl::StrictMode);
    return url;
}

void completeFromLibrary(FbDatabase &db, const QString &bookId, Loan &loan)
{
    const QVariant due = firstValue(db, LoanRecords::dueOfBookStatement(bookId));
    if (due.isValid() && !due.isNull())
        loan.due = due.toDate();
    const QVariant email = firstValue(db, LoanRecords::emailOfStatement(loan.borrower));
    if (email.isValid() && !email.isNull())
        loan.email = email.toString().trimmed();
}

} // namespace Reminder
