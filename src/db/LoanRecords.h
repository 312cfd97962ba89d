#pragma once

#include <QDate>
#include <QString>

// Statements on what the loans keep beside GIVEN: due dates, the borrowers' book, the loan
// history. Pure text, no widgets; dates are written yyyy-MM-dd, which the engine reads alike
// whatever the user's regional settings.
namespace LoanRecords {
constexpr int kMaxNameLength = 35;
constexpr int kMaxPhoneLength = 35;
constexpr int kMaxEmailLength = 80;
constexpr int kMaxNoteLength = 255;
constexpr int kDueSoonDays = 3;
constexpr int kDefaultLoanPeriod = 30;

QString dateLiteral(const QDate &date);
QString quoted(const QString &text);

// How a loan stands on a day: no due date, not yet due, due within kDueSoonDays, or overdue.
enum class DueState { None, Later, Soon, Overdue };
DueState dueState(const QDate &due, const QDate &today);

// Every book's earliest due date: rows of GIVEN_ID, DUE_DATE.
QString dueDatesStatement();
QString overdueCountStatement();
// Gives the loan just written by the lend statement (same book, borrower and day, no due date yet) its due date.
QString setDueStatement(const QString &id, const QString &borrower, const QDate &given, const QDate &due);
// The earliest due date of a book's loans (one row, empty when none).
QString dueOfBookStatement(const QString &id);
// A borrower's e-mail address (no row when the name is not in the borrowers' book).
QString emailOfStatement(const QString &name);
// Moves the due date of a book's loans days later (from today where there was none).
QString extendStatement(const QString &id, int days);

// A book's past loans, latest return first: GIVEN_TO, GIVEN_DATE, DUE_DATE, RETURNED_DATE.
QString bookHistoryStatement(const QString &id);
// The whole history: BOOK_ID, TITLE, GIVEN_TO, GIVEN_DATE, DUE_DATE, RETURNED_DATE.
QString historyStatement();
// A borrower's loans, current ones first (RETURNED_DATE empty): BOOK_ID, TITLE, GIVEN_DATE, DUE_DATE, RETURNED_DATE.
QString borrowerLoansStatement(const QString &name);

struct Borrower {
    QString name, phone, email, note;
};
QString borrowersStatement();
// Names that have current or past loans but are not in the borrowers' book, in order: NAME.
QString namesOnlyInLoansStatement();
QString addBorrowerStatement(const Borrower &b);
QString changeBorrowerStatement(const QString &oldName, const Borrower &b);
QString deleteBorrowerStatement(const QString &name);
// An e-mail address of the form local@domain.tld (empty counts as none given).
bool emailFormOk(const QString &email);
} // namespace LoanRecords
