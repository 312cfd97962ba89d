#include "LoanRecords.h"

#include <QRegularExpression>

namespace LoanRecords {

QString dateLiteral(const QDate &date)
{
    return QLatin1Char('\'') + date.toString(QStringLiteral("yyyy-MM-dd")) + QLatin1Char('\'');
}

QString quoted(const QString &text)
{
    QString inner = text;
    inner.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + inner + QLatin1Char('\'');
}

DueState dueState(const QDate &due, const QDate &today)
{
    if (!due.isValid())
        return DueState::None;
    const qint64 left = today.daysTo(due);
    if (left < 0)
        return DueState::Overdue;
    return left <= kDueSoonDays ? DueState::Soon : DueState::Later;
}

QString dueDatesStatement()
{
    return QStringLiteral("SELECT given_id, MIN(due_date) AS due_date FROM given WHERE due_date IS NOT NULL "
                          "GROUP BY given_id");
}

QString overdueCountStatement()
{
    return QStringLiteral("SELECT count(*) FROM given WHERE due_date < CURRENT_DATE");
}

QString setDueStatement(const QString &id, const QString &borrower, const QDate &given, const QDate &due)
{
    return QStringLiteral("UPDATE given SET due_date = ") + dateLiteral(due) + QStringLiteral(" WHERE given_id = ") +
           id + QStringLiteral(" AND given_to = ") + quoted(borrower.left(kMaxNameLength)) +
           QStringLiteral(" AND given_date = ") + dateLiteral(given) + QStringLiteral(" AND due_date IS NULL");
}

QString dueOfBookStatement(const QString &id)
{
    return QStringLiteral("SELECT MIN(due_date) FROM given WHERE given_id = ") + id;
}

QString emailOfStatement(const QString &name)
{
    return QStringLiteral("SELECT email FROM borrower WHERE name = ") + quoted(name.left(kMaxNameLength));
}

QString extendStatement(const QString &id, int days)
{
    return QStringLiteral("UPDATE given SET due_date = COALESCE(due_date, CURRENT_DATE) + %1 WHERE given_id = %2")
        .arg(days)
        .arg(id);
}

QString bookHistoryStatement(const QString &id)
{
    return QStringLiteral("SELECT given_to, given_date, due_date, returned_date FROM loan_history "
                          "WHERE book_id = ") +
           id + QStringLiteral(" ORDER BY returned_date DESC, given_date DESC");
}

QString historyStatement()
{
    return QStringLiteral("SELECT book_id, title, given_to, given_date, due_date, returned_date FROM loan_history "
                          "ORDER BY returned_date, given_date");
}

QString borrowerLoansStatement(const QString &name)
{
    const QString who = quoted(name.left(kMaxNameLength));
    return QStringLiteral("SELECT given.given_id AS book_id, book.title, given.given_date, given.due_date, "
                          "CAST(NULL AS DATE) AS returned_date FROM given, book WHERE given.given_id = book.id "
                          "AND given.given_to = ") +
           who +
           QStringLiteral(" UNION ALL SELECT book_id, title, given_date, due_date, returned_date FROM loan_history "
                          "WHERE given_to = ") +
           who + QStringLiteral(" ORDER BY 5 DESC NULLS FIRST, 3 DESC");
}

QString borrowersStatement()
{
    return QStringLiteral("SELECT name, phone, email, note FROM borrower ORDER BY name");
}

QString namesOnlyInLoansStatement()
{
    return QStringLiteral("SELECT given_to FROM given WHERE given_to NOT IN (SELECT name FROM borrower) UNION "
                          "SELECT given_to FROM loan_history WHERE given_to NOT IN (SELECT name FROM borrower) "
                          "ORDER BY 1");
}

QString addBorrowerStatement(const Borrower &b)
{
    return QStringLiteral("INSERT INTO borrower (name, phone, email, note) VALUES (%1, %2, %3, %4)")
        .arg(quoted(b.name.left(kMaxNameLength)), quoted(b.phone.left(kMaxPhoneLength)),
             quoted(b.email.left(kMaxEmailLength)), quoted(b.note.left(kMaxNoteLength)));
}

QString changeBorrowerStatement(const QString &oldName, const Borrower &b)
{
    return QStringLiteral("UPDATE borrower SET name = %1, phone = %2, email = %3, note = %4 WHERE name = %5")
        .arg(quoted(b.name.left(kMaxNameLength)), quoted(b.phone.left(kMaxPhoneLength)),
             quoted(b.email.left(kMaxEmailLength)), quoted(b.note.left(kMaxNoteLength)), quoted(oldName));
}

QString deleteBorrowerStatement(const QString &name)
{
    return QStringLiteral("DELETE FROM borrower WHERE name = ") + quoted(name);
}

bool emailFormOk(const QString &email)
{
    static const QRegularExpression form(QStringLiteral("^[^@\\s]+@[^@\\s.]+(\\.[^@\\s.]+)+$"));
    return email.isEmpty() || form.match(email).hasMatch();
}

} // namespace LoanRecords
