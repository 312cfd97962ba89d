#include "ExchangeFiles.h"

#include "CsvFormat.h"
#include "FileError.h"

#include <QFile>
#include <QSaveFile>

QByteArray ExchangeFiles::readAll(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw FileError(QStringLiteral("%1: %2").arg(path, file.errorString()));
    return file.readAll();
}

void ExchangeFiles::writeText(const QString &path, const QStringList &lines)
{
    QSaveFile file(path);
    QByteArray bytes = Csv::byteOrderMark();
    for (const QString &line : lines)
        bytes += line.toUtf8() + "\r\n";
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw FileError(QStringLiteral("%1: %2").arg(path, file.errorString()));
}
