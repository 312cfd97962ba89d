#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QStringList>

class QPlainTextEdit;

// Appends one event line: date and time, ": ", the message, ";".
void LogEvent(const QString &message);
// Appends one SQL line: date and time, ": ", "{SQL} ", the statement as it will run.
void LogSql(const QString &statement);

namespace EventConsole {
// The memo that shows the console (the main window's bar). Lines logged before it is attached
// are kept and shown once it is.
void attach(QPlainTextEdit *bar);
// Every line logged in this run, in order (a line may hold line breaks of its own).
QStringList lines();
// Forget every line (for tests that start the program anew in one process).
void reset();

// The system's long time format without a time zone, as the clock and the console show it.
QString longTime(const QTime &time, const QLocale &locale = QLocale::system());
// The date-and-time prefix: short date, a blank, long time (no time at exactly midnight).
QString timeStamp(const QDateTime &when, const QLocale &locale = QLocale::system());
QString eventLine(const QDateTime &when, const QString &message, const QLocale &locale = QLocale::system());
QString sqlLine(const QDateTime &when, const QString &statement, const QLocale &locale = QLocale::system());

// logfile.txt: the console lines, each ended by CR LF, Windows-1251; replaces the file.
// Throws FileError.
void writeLogFile(const QString &path, const QStringList &lines);
// The lines of a log file, split at CR LF, CR or LF. Throws FileError.
QStringList readLogFile(const QString &path);
} // namespace EventConsole
