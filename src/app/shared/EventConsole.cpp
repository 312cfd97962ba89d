#include "EventConsole.h"

#include "FileError.h"
#include "SafeFile.h"
#include "TextCodec.h"

#include <QFile>
#include <QPlainTextEdit>
#include <QPointer>

namespace
{
struct ConsoleState {
    QStringList lines;
    QPointer<QPlainTextEdit> bar;
};

ConsoleState &state()
{
    static ConsoleState s;
    return s;
}

void append(const QString &line)
{
    ConsoleState &s = state();
    s.lines.append(line);
    if (s.bar)
        s.bar->appendPlainText(line);
}

// Qt's long time formats carry the time zone ("t"), which the console lines have never shown.
QString withoutTimeZone(const QString &format)
{
    QString result;
    bool quoted = false;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format[i];
        if (c == QLatin1Char('\'')) {
            quoted = !quoted;
            result += c;
        } else if (!quoted && c == QLatin1Char('t')) {
            while (!result.isEmpty() && result.back().isSpace())
                result.chop(1);
        } else {
            result += c;
        }
    }
    return result.trimmed();
}

// Splits at CR LF, CR or LF; text ending in a break gives an empty last part.
QStringList splitAtBreaks(const QString &text)
{
    QString unified = text;
    unified.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return unified.split(QLatin1Char('\n'));
}
} // namespace

void LogEvent(const QString &message)
{
    append(EventConsole::eventLine(QDateTime::currentDateTime(), message));
}

void LogSql(const QString &statement)
{
    append(EventConsole::sqlLine(QDateTime::currentDateTime(), statement));
}

void EventConsole::attach(QPlainTextEdit *bar)
{
    ConsoleState &s = state();
    s.bar = bar;
    if (!bar)
        return;
    // Nobody undoes a console line: kept for undo, every line the program logs would be held a
    // second time and recorded on each append.
    bar->setUndoRedoEnabled(false);
    bar->clear();
    for (const QString &line : std::as_const(s.lines))
        bar->appendPlainText(line);
}

QStringList EventConsole::lines()
{
    return state().lines;
}

void EventConsole::reset()
{
    ConsoleState &s = state();
    s.lines.clear();
    if (s.bar)
        s.bar->clear();
}

QString EventConsole::longTime(const QTime &time, const QLocale &locale)
{
    return locale.toString(time, withoutTimeZone(locale.timeFormat(QLocale::LongFormat)));
}

QString EventConsole::timeStamp(const QDateTime &when, const QLocale &locale)
{
    const QString date = locale.toString(when.date(), locale.dateFormat(QLocale::ShortFormat));
    if (when.time() == QTime(0, 0))
        return date;
    return date + QLatin1Char(' ') + longTime(when.time(), locale);
}

QString EventConsole::eventLine(const QDateTime &when, const QString &message, const QLocale &locale)
{
    return timeStamp(when, locale) + QStringLiteral(": ") + message + QLatin1Char(';');
}

QString EventConsole::sqlLine(const QDateTime &when, const QString &statement, const QLocale &locale)
{
    return timeStamp(when, locale) + QStringLiteral(": {SQL} ") + statement;
}

void EventConsole::writeLogFile(const QString &path, const QStringList &lines)
{
    // A message with line breaks of its own is several lines of the file, all ended alike.
    QByteArray bytes;
    for (const QString &line : lines)
        for (const QString &part : splitAtBreaks(line))
            bytes += Win1251::encode(part) + "\r\n";
    SafeFile::write(path, bytes);
}

QStringList EventConsole::readLogFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw FileError(QStringLiteral("Cannot open log file \"%1\". %2").arg(path, file.errorString()));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw FileError(QStringLiteral("Cannot read log file \"%1\". %2").arg(path, file.errorString()));
    if (bytes.isEmpty())
        return {};
    QStringList lines = splitAtBreaks(Win1251::decode(bytes));
    // The last line's own terminator does not start another line.
    if (lines.last().isEmpty())
        lines.removeLast();
    return lines;
}
