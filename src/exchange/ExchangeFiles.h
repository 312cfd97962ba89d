#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Reading an import file and writing a report, for the exchange windows.
namespace ExchangeFiles
{
// The whole file. Throws FileError.
QByteArray readAll(const QString &path);
// Lines ended by CR LF, UTF-8 with a BOM; written whole or not at all. Throws FileError.
void writeText(const QString &path, const QStringList &lines);
} // namespace ExchangeFiles
