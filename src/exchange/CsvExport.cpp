#include "CsvExport.h"

#include "CsvFormat.h"
#include "FbQuery.h"
#include "FileError.h"

#include <QDateTime>
#include <QSaveFile>

namespace
{
constexpr int kChunk = 500;

void write(QSaveFile &file, const QByteArray &bytes)
{
    if (file.write(bytes) != bytes.size())
        throw FileError(file.errorString());
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
    write(file, Csv::byteOrderMark() + Csv::record(query.fieldNames()).toUtf8());
    int written = 0;
    for (;;) {
        while (written < query.fetchedCount()) {
            QStringList values;
            for (int c = 0; c < query.fieldCount(); ++c)
                values << Csv::spreadsheetSafe(valueText(query.value(written, c)));
            write(file, Csv::record(values).toUtf8());
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
        throw FileError(QStringLiteral("%1: %2").arg(path, file.errorString()));
    return written;
}
