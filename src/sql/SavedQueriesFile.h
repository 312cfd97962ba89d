#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// sql.txt, the user's saved SQL statements: one statement per line, Windows-1251, every line
// ended by CR LF; when read, a line ends at CR, LF or both. All errors are FileError.
namespace SavedQueriesFile
{
inline const QString kFileName = QStringLiteral("sql.txt");
// A list of statements is a few kilobytes; anything far larger is not such a list.
constexpr qint64 kMaxBytes = 1024 * 1024;

// Refuses a character the code page cannot hold rather than storing "?".
QByteArray encode(const QStringList &lines);
// Refuses bytes that are no text (control characters other than tab, CR, LF); path names the
// file in the message.
QStringList decode(const QByteArray &bytes, const QString &path);

QStringList read(const QString &path);
// Replaces the file only when the whole list has been written.
void write(const QString &path, const QStringList &lines);
// Copies the file beside itself under a name not yet taken (path + ".bak", ".bak2", ...);
// returns that name.
QString keepCopy(const QString &path);
} // namespace SavedQueriesFile
