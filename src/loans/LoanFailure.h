#pragma once

#include <QString>
#include <functional>

// Tells the user in one message box that a loan action failed, with the engine's reason.
namespace LoanFailure {
extern const char *const kLend;
extern const char *const kReturn;
extern const char *const kChange;
extern const char *const kExtend;
extern const char *const kReread;
void report(const char *what, const QString &reason);
// Runs the re-reading of the loan list after a change; a failure gets its own message.
void reread(const std::function<void()> &rerun);
// A failed loan statement leaves the loan list closed; it is run again as after a success, so
// the loans do not look lost. The failure has been reported already, so a failing re-run is quiet.
void rereadAfterFailure();
} // namespace LoanFailure
