#pragma once

#include <QString>
#include <functional>

// Tells the user in one message box that a loan action failed, with the engine's reason.
namespace LoanFailure {
extern const char *const kLend;
extern const char *const kReturn;
extern const char *const kChange;
extern const char *const kReread;
void report(const char *what, const QString &reason);
// Runs the re-reading of the loan list after a change; a failure gets its own message.
void reread(const std::function<void()> &rerun);
} // namespace LoanFailure
