#pragma once

#include <QByteArray>
#include <QString>

// Rewriting the program's small files: whole or not at all.
namespace SafeFile
{

// Replaces the file by the bytes through a temporary file that takes its place only when it is
// complete, so a crash or a full disk never leaves a truncated file. Throws FileError.
void write(const QString &path, const QByteArray &bytes);

// Keeps a copy of a file the program could not read before it is rewritten: path + ".bak"
// (an older copy is replaced). Returns the copy's name, or empty when nothing could be copied.
QString keepCopy(const QString &path);

} // namespace SafeFile
