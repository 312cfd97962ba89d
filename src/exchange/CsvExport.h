#pragma once

#include <QString>
#include <functional>

class FbQuery;

// Writes the rows of a query to a CSV file: UTF-8 with a BOM, a header of the field names, dates
// as yyyy-MM-dd. The file is written whole or not at all.
namespace CsvExport
{

// Rows written so far; returning false cancels.
using Progress = std::function<bool(int rows)>;

// Runs the open-able query and writes every row. Returns the number of rows, or -1 when
// cancelled (no file is written then). Throws FbError or FileError.
int writeQuery(FbQuery &query, const QString &path, const Progress &progress);

// One value as the file holds it.
QString valueText(const QVariant &value);

} // namespace CsvExport
