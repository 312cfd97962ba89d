#include "LoanFailure.h"

#include "AppState.h"
#include "UserPrompts.h"

namespace LoanFailure {
const char *const kLend = "The book could not be marked as given\rКнигу не удалось отметить как выданную";
const char *const kReturn = "The book could not be turned back\rКнигу не удалось вернуть в библиотеку";
const char *const kChange = "The borrower could not be changed\rНе удалось изменить запись о выдаче";
const char *const kExtend = "The due date could not be changed\rНе удалось изменить срок возврата";
const char *const kReread = "The list of given books could not be read again\r"
                            "Не удалось перечитать список выданных книг";

void report(const char *what, const QString &reason)
{
    UserPrompts::message(UserPrompts::Kind::Error, QString::fromUtf8(what) + QStringLiteral("\r\r") + reason);
}

void reread(const std::function<void()> &rerun)
{
    try {
        rerun();
    } catch (const std::exception &e) {
        report(kReread, QString::fromStdString(e.what()));
    }
}
void rereadAfterFailure()
{
    try {
        mainApi()->RefreshGiven();
    } catch (const std::exception &) {
    }
}
} // namespace LoanFailure
