#include "ExchangeFiles.h"

#include "CsvFormat.h"
#include "FileError.h"
#include "SafeFile.h"

#include <QFile>

QByteArray ExchangeFiles::readAll(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw FileError(QStringLiteral("%1: %2").arg(path, file.errorString()));
    return file.readAll();
}

void ExchangeFiles::writeText(const QString &path, const QStringList &lines)
{
    QByteArray bytes = Csv::byteOrderMark();
    for (const QString &line : lines)
        bytes += line.toUtf8() + "\r\n";
    SafeFile::write(path, bytes, SafeFile::reportingAs(QStringLiteral("%1: %2")));
}
