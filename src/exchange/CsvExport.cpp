#include "CsvExport.h"

#include "CsvFormat.h"
#include "FbQuery.h"
#include "FileError.h"
#include "LangStr.h"

#include <QDateTime>
#include <QFileInfo>
#include <QSaveFile>
#include <QStorageInfo>

#include <cerrno>

namespace
{
constexpr int kChunk = 500;

// Why the file could not be written: a full disk is named as such (the system's own text for it
// reaches Qt as "Unknown error").
[[noreturn]] void fail(QSaveFile &file, const QString &path)
{
    const int error = errno;
    const QString folder = QFileInfo(path).absolutePath();
    if (error == ENOSPC || error == EDQUOT || QStorageInfo(folder).bytesAvailable() == 0)
        throw FileError(LangStr(QStringLiteral("cexpdiskfull")).arg(path));
    throw FileError(QStringLiteral("%1: %2").arg(path, file.errorString()));
}

void write(QSaveFile &file, const QString &path, const QByteArray &bytes)
{
    if (file.write(bytes) != bytes.size())
        fail(file, path);
}
} // namespace

QString CsvExport::valueText(const QVariant &value)
{
    if (value.typeId() == QMetaType::QDate)
        return value.toDate().toString(Qt::ISODate);
    if (value.typeId() == QMetaType::QDateTime)
        return value.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    return FbQuery::displayText(value);
}

int CsvExport::writeQuery(FbQuery &query, const QString &path, const Progress &progress)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw FileError(QStringLiteral("%1: %2").arg(path, file.errorString()));
    query.open();
    write(file, path, Csv::byteOrderMark() + Csv::record(query.fieldNames()).toUtf8());
    int written = 0;
    for (;;) {
        while (written < query.fetchedCount()) {
            QStringList values;
            for (int c = 0; c < query.fieldCount(); ++c)
                values << Csv::spreadsheetSafe(valueText(query.value(written, c)));
            write(file, path, Csv::record(values).toUtf8());
            ++written;
        }
        if (progress && !progress(written)) {
            file.cancelWriting();
            return -1;
        }
        if (query.allFetched())
            break;
        query.fetchMore(kChunk);
    }
    if (!file.commit())
        fail(file, path);
    return written;
}
