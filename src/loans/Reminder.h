#pragma once

#include <QDate>
#include <QString>
#include <QUrl>

class FbDatabase;

// The short reminder sent to a borrower, in the interface language.
namespace Reminder {
struct Loan {
    QString borrower, title, email;
    QDate given, due; // due may be invalid: no due date
};
QString subject(const Loan &loan);
QString body(const Loan &loan);
// mailto: with the borrower's address (may be empty), the subject and the body.
QUrl mailtoUrl(const Loan &loan);
// Fills the due date and the e-mail address of a book's loan from the library (left as they are
// when the library cannot tell).
void completeFromLibrary(FbDatabase &db, const QString &bookId, Loan &loan);
} // namespace Reminder
